#include "frmacercade.h"
#include "frmderechos.h"
#include "frmpresenta.h"

#include "qt_print.h"
#include "quarvel.h"
#include "scripted_ui.h"
#include "settings.h"
#include "sound.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <gtest/gtest.h>

#include <functional>

namespace {

// Calls a function for every event of the object it filters.
class FiltroDeEventos : public QObject {
public:
  FiltroDeEventos(QObject* padre, std::function<void(QEvent*)> f) : QObject(padre), f_(std::move(f)) {}
  bool eventFilter(QObject*, QEvent* e) override {
    f_(e);
    return false;
  }

private:
  std::function<void(QEvent*)> f_;
};

class Grabadora : public ui::SoundPlayer {
public:
  void play(const QString& wav) override { tocados << wav; }
  void stop() override { ++paradas; }
  QStringList tocados;
  int paradas = 0;
};

// A program folder, a settings store of its own, and recorders for sound and started programs.
class Acerca : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    quarvel::rutaPrograma = dir_.path();
    previo_ = ui::installSoundPlayer(&grabadora_);
    FrmAcercaDe::setIniciaPrograma([this](const QString& p) {
      iniciados_ << p;
      return arranca_;
    });
  }
  void TearDown() override {
    auto& formas = ui::Forms::instance();
    for (QWidget* f : formas.loaded()) formas.unload(f);
    formas.setModalRunner({});
    QCoreApplication::processEvents();
    FrmAcercaDe::setIniciaPrograma({});
    ui::installSoundPlayer(previo_);
    quarvel::rutaPrograma.clear();
  }

  QTemporaryDir dir_;
  ui::SettingsRedirect ajustes_{dir_.filePath(QStringLiteral("ajustes"))};
  Grabadora grabadora_;
  ui::SoundPlayer* previo_ = nullptr;
  QStringList iniciados_;
  bool arranca_ = true;
};

const QRegularExpression kVersion(QStringLiteral(
    "^ \\(V\\d+M\\d+R\\d+\\)\nVersión: \\d\\d/(Ene|Feb|Mar|Abr|May|Jun|Jul|Ago|Sep|Oct|Nov|Dic)/\\d{4}\n$"));

TEST_F(Acerca, WithoutTheWaveFileTheAboutBoxOpensSilently) {
  testui::ScriptedMsgBoxes cajas;
  FrmAcercaDe* f = ui::Forms::instance().get<FrmAcercaDe>();
  ASSERT_TRUE(f);
  EXPECT_TRUE(grabadora_.tocados.isEmpty());
  EXPECT_TRUE(cajas.texts().isEmpty());
  EXPECT_TRUE(kVersion.match(f->lblVersion->text()).hasMatch()) << f->lblVersion->text().toStdString();
  EXPECT_EQ(f->lblDependencias->text(), "Para concursos con dependencias");
  f->cmdAceptar->click();
  QCoreApplication::processEvents();
  EXPECT_FALSE(ui::Forms::instance().find<FrmAcercaDe>());
}

TEST_F(Acerca, TheWaveFileOfTheProgramFolderPlaysUntilTheBoxCloses) {
  QFile wav(dir_.filePath(QStringLiteral("Quarvel.WAV")));
  ASSERT_TRUE(wav.open(QIODevice::WriteOnly));
  wav.write("RIFF");
  wav.close();
  FrmAcercaDe* f = ui::Forms::instance().get<FrmAcercaDe>();
  ASSERT_EQ(grabadora_.tocados.size(), 1);
  EXPECT_EQ(QFileInfo(grabadora_.tocados[0]).canonicalFilePath(), QFileInfo(wav).canonicalFilePath());
  const int antes = grabadora_.paradas;
  ui::Forms::instance().unload(f);
  EXPECT_GT(grabadora_.paradas, antes);
}

TEST_F(Acerca, TheSystemInformationProgramComesFromTheSettingsStore) {
  const QString herramientas = dir_.filePath(QStringLiteral("msinfo"));
  ASSERT_TRUE(QDir().mkpath(herramientas));
  const QString noDisponible = QStringLiteral("La información del sistema no está disponible en este momento");
  struct Caso {
    const char* nombre;
    std::function<void()> prepara;
    bool arranca;
    QString iniciado;   // empty: the message instead
  };
  const std::vector<Caso> casos = {
      {"nothing configured", [] {}, true, {}},
      {"a folder without the program",
       [&] { ui::SaveSetting("Microsoft", "Shared Tools Location", "MSINFO", herramientas); }, true, {}},
      {"the program in the configured folder",
       [&] {
         QFile f(herramientas + QStringLiteral("/MSINFO32.EXE"));
         ASSERT_TRUE(f.open(QIODevice::WriteOnly));
         f.write("#!/bin/sh\n");
       },
       true, herramientas + QStringLiteral("/MSINFO32.EXE")},
      {"a program path is used without looking for it",
       [] { ui::SaveSetting("Shared Tools", "MSINFO", "PATH", "/no/existe/infosistema"); }, true,
       "/no/existe/infosistema"},
      {"a program that does not start", [] {}, false, {}},
  };
  for (const Caso& c : casos) {
    SCOPED_TRACE(c.nombre);
    c.prepara();
    arranca_ = c.arranca;
    iniciados_.clear();
    testui::ScriptedMsgBoxes cajas;
    const bool mensaje = c.iniciado.isEmpty();
    if (mensaje) cajas.answer(ui::vbOK);
    FrmAcercaDe::StartSysInfo();
    if (mensaje) {
      EXPECT_EQ(cajas.texts(), QStringList{noDisponible});
      if (!cajas.shown().empty()) EXPECT_EQ(int(cajas.shown()[0].buttons), ui::vbOKOnly);
    } else {
      EXPECT_TRUE(cajas.texts().isEmpty());
      EXPECT_EQ(iniciados_, QStringList{c.iniciado});
    }
    if (!c.arranca) EXPECT_EQ(iniciados_.size(), 1);
  }
}

TEST_F(Acerca, TheRightsBoxShowsTheProductAndTheAgreement) {
  QDialog* visto = nullptr;
  QString producto, texto;
  ui::Forms::instance().setModalRunner([&](QDialog* d) {
    visto = d;
    auto* derechos = static_cast<frmDerechos*>(d);
    producto = derechos->lblProducto->text();
    texto = derechos->rtfDerechos->toPlainText();
    derechos->cmdAceptar->click();
    return 0;
  });
  FrmAcercaDe* f = ui::Forms::instance().get<FrmAcercaDe>();
  f->cmdDerechos->click();
  ASSERT_TRUE(visto);
  EXPECT_EQ(visto->objectName(), "frmDerechos");
  EXPECT_EQ(visto->windowTitle(), "Derechos reservados");
  const VersionPrograma v = versionPrograma();
  EXPECT_EQ(producto, QStringLiteral("Quarvel® Tornavo de contratistas %1   (V%2M%1R%3)")
                          .arg(v.Minor)
                          .arg(v.Major)
                          .arg(v.Revision));
  EXPECT_TRUE(texto.contains(QStringLiteral("Contrato de uso"))) << texto.toStdString();
  QCoreApplication::processEvents();
  EXPECT_FALSE(ui::Forms::instance().find<frmDerechos>());
  EXPECT_TRUE(ui::Forms::instance().find<FrmAcercaDe>());
}

TEST_F(Acerca, TheVersionDatesTheProgramFileOfTheFolder) {
  const QString programa =
      dir_.filePath(QFileInfo(QCoreApplication::applicationFilePath()).fileName());
  QFile f(programa);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  ASSERT_TRUE(f.setFileTime(QDateTime(QDate(2009, 3, 15), QTime(10, 30)), QFileDevice::FileModificationTime));
  f.close();
  EXPECT_EQ(TextoVersion(dir_.path()), QStringLiteral(" %1\r\nVersión: 15/Mar/2009\r\n").arg(versionCorta()));
  // Without it, the running program is dated.
  const QString otro = TextoVersion(dir_.filePath(QStringLiteral("vacia")));
  EXPECT_TRUE(otro.startsWith(QStringLiteral(" ") + versionCorta() + QStringLiteral("\r\nVersión: ")));
  EXPECT_FALSE(otro.contains(QStringLiteral("2009")));
}

TEST_F(Acerca, TheSplashShowsAtStartUpAndWaitsForItsButton) {
  frmPresenta::MuestraInicio(dir_.path());
  frmPresenta* f = ui::Forms::instance().find<frmPresenta>();
  ASSERT_TRUE(f);
  EXPECT_TRUE(f->isVisible());
  EXPECT_EQ(f->Ruta, dir_.path());
  EXPECT_TRUE(kVersion.match(f->lblVersion->text()).hasMatch()) << f->lblVersion->text().toStdString();
  EXPECT_EQ(f->lblDependencias->text(), "Para concursos con dependencias");
  // From its first show to its button, the splash never leaves the screen: a window hidden and shown
  // again at once may never come back, and the start would wait on it for ever.
  int ocultada = 0;
  auto* vigia = new FiltroDeEventos(f, [&](QEvent* e) { ocultada += e->type() == QEvent::Hide; });
  f->installEventFilter(vigia);
  EXPECT_TRUE(f->isModal());
  bool modal = false;
  ui::Forms::instance().setModalRunner([&](QDialog* d) {
    modal = d == f && d->isVisible() && ocultada == 0;
    static_cast<frmPresenta*>(d)->Command1->click();
    return 0;
  });
  frmPresenta::EsperaCierre();
  EXPECT_TRUE(modal);
  QCoreApplication::processEvents();
  EXPECT_FALSE(ui::Forms::instance().find<frmPresenta>());
}

}  // namespace
