#include "shellfixture.h"

#include "barcontrol.h"
#include "dao.h"
#include "estado_quarvel.h"
#include "forms.h"
#include "mditool.h"
#include "mditoolbar.h"
#include "printers.h"
#include "quarvel.h"
#include "ventanas.h"

#include <QCoreApplication>
#include <QDialog>
#include <QDir>
#include <QEvent>

namespace shelltest {

void ShellTest::SetUp() {
  ASSERT_TRUE(carpeta.copiada()) << "the program files must be built first";
  directorioPrevio_ = QDir::currentPath();
  ajustes_ = std::make_unique<ui::SettingsRedirect>(carpeta.archivo(QStringLiteral("ajustes")));
  ui::Forms::instance().setModalRunner([this](QDialog* d) {
    modales.append(ui::Forms::name(d));
    ui::Forms::instance().unload(d);
    return int(QDialog::Accepted);
  });
}

void ShellTest::TearDown() {
  ui::Forms::instance().descargaFormas(QString());
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  ui::Forms::instance().setModalRunner({});
  ventanas::registro() = {};
  ui::overridePrinterList(std::nullopt);
  testsupport::reiniciaQuarvel();
  QDir::setCurrent(directorioPrevio_);
  ajustes_.reset();
}

MDIToolbar* ShellTest::arranca(const QString& producto) {
  if (!mditool::Main(carpeta.ruta(), producto))
    return nullptr;
  return MDIToolbar::instancia();
}

ui::BarControl& ShellTest::barra() const { return MDIToolbar::instancia()->ActiveBar1(); }

bool ShellTest::clic(const QString& herramienta) { return barra().click(herramienta); }

void ShellTest::abre(const QString& ruta) {
  dialogos.choose(ruta);
  EXPECT_TRUE(clic(QStringLiteral("mnuAbr")));
}

QStringList ShellTest::clicables() const {
  QStringList nombres;
  for (const auto& banda : barra().bands()) {
    if (banda->name() == QLatin1String("poppresu"))
      continue;
    for (ui::Tool* t : banda->tools())
      if (!t->name().isEmpty() && barra().canClick(t) && !nombres.contains(t->name()))
        nombres.append(t->name());
  }
  nombres.sort();
  return nombres;
}

QString ShellTest::caption() const { return MDIToolbar::instancia()->windowTitle(); }

QStringList ShellTest::recientes() const {
  auto db = dao::DBEngine::OpenDatabase(carpeta.archivo(QStringLiteral("paratorn.kor")), false, true,
                                        quarvel::kConexion);
  auto rs = db->OpenRecordset(QStringLiteral("SELECT * FROM titgen"));
  QStringList lista;
  for (int n = 1; n <= 4; ++n) {
    const vb::Variant v = rs->Value(QStringLiteral("obra%1").arg(n));
    lista.append(v.isNull() ? QString() : vb::CStr(v));
  }
  return lista;
}

OtroPrograma::OtroPrograma(const QString& ruta, bool exclusivo) {
  proceso_.start(QCoreApplication::applicationDirPath() + QStringLiteral("/retiene_obra"),
                 {ruta, exclusivo ? QStringLiteral("1") : QStringLiteral("0"), quarvel::kConexion});
  if (proceso_.waitForStarted(20000) && proceso_.waitForReadyRead(20000))
    error_ = QString::fromLocal8Bit(proceso_.readLine()).trimmed().toInt();
}

OtroPrograma::~OtroPrograma() {
  proceso_.closeWriteChannel();
  if (!proceso_.waitForFinished(20000))
    proceso_.kill();
}

}  // namespace shelltest
