#include "frmpresenta.h"

#include "dialogos.h"
#include "iconoprograma.h"
#include "msgbox.h"
#include "quarvel.h"
#include "variant.h"
#include "vbdate.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QPushButton>
#include <QStringList>

using dialogos::control;
using dialogos::twips;

VersionPrograma versionPrograma() {
  const QStringList partes = QStringLiteral(TORNAVO_VERSION).split(QLatin1Char('.'));
  VersionPrograma v;
  v.Major = partes.value(0).toInt();
  v.Minor = partes.value(1).toInt();
  v.Revision = partes.value(2).toInt();
  return v;
}

QString versionCorta() {
  const VersionPrograma v = versionPrograma();
  return QStringLiteral("(V%1M%2R%3)").arg(v.Major).arg(v.Minor).arg(v.Revision);
}

QString TextoVersion(const QString& ruta) {
  const QString programa = QCoreApplication::applicationFilePath();
  QFileInfo archivo(ruta + QLatin1Char('/') + QFileInfo(programa).fileName());
  if (!archivo.isFile()) archivo = QFileInfo(programa);
  const double fecha = vb::fromQDateTime(archivo.lastModified());
  return QStringLiteral(" ") + versionCorta() + QStringLiteral("\r\nVersión: ") +
         vb::Format(vb::Variant::fromDate(fecha), QStringLiteral("dd/mmm/yyyy")) + QStringLiteral("\r\n");
}

frmPresenta::frmPresenta(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint), Ruta(quarvel::rutaPrograma) {
  setObjectName(QStringLiteral("frmPresenta"));
  setWindowTitle(ui::appTitle());
  // Modal from its first show: the start waits on it later without hiding it and showing it again.
  setWindowModality(Qt::ApplicationModal);
  setFixedSize(ui::twipsToPixels(QSizeF(6600, 3600)));

  auto* borde = control<QFrame>(this, QStringLiteral("Frame1"), twips(0, 0, 6600, 3600));
  borde->setFrameShape(QFrame::Box);
  borde->setLineWidth(2);

  auto* fabricante = control<QLabel>(this, QStringLiteral("lblEmpresa"), QStringLiteral("Quarvel"),
                                     twips(360, 240, 5880, 300));
  lblProducto = control<QLabel>(this, QStringLiteral("lblProducto"), ui::appTitle(), twips(360, 600, 5880, 780));
  QFont grande = lblProducto->font();
  grande.setPointSize(28);
  grande.setBold(true);
  lblProducto->setFont(grande);
  QFont mediana = fabricante->font();
  mediana.setPointSize(11);
  fabricante->setFont(mediana);
  lblDependencias = control<QLabel>(this, QStringLiteral("lblDependencias"), kDependencias,
                                    twips(360, 1440, 5880, 300));
  lblDependencias->setFont(mediana);
  lblVersion = control<QLabel>(this, QStringLiteral("lblVersion"), twips(360, 1920, 3960, 720));
  lblVersion->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  // Without a title bar, the splash shows the program's icon itself.
  dibujoDelIcono(this, twips(5280, 360, 960, 960));
  Command1 = control<QPushButton>(this, QStringLiteral("Command1"), QStringLiteral("&Aceptar"),
                                  twips(4920, 2880, 1335, 375));
  connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
}

void frmPresenta::Form_Load() { LlenaVersion(); }

void frmPresenta::LlenaVersion() {
  // The label shows the line ends as breaks; the text itself keeps them as written.
  lblVersion->setText(TextoVersion(Ruta).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
}

void frmPresenta::MuestraInicio(const QString& ruta) {
  auto& formas = ui::Forms::instance();
  frmPresenta* forma = formas.get<frmPresenta>();
  if (!forma) return;
  forma->Ruta = ruta;
  forma->LlenaVersion();
  formas.show(forma);
  QCoreApplication::processEvents();
}

void frmPresenta::EsperaCierre() {
  auto& formas = ui::Forms::instance();
  frmPresenta* forma = formas.find<frmPresenta>();
  if (!forma) return;
  // The splash stays on screen. Hidden and shown again at once, its window could be left unmapped
  // by the window manager still taking the first one down, and the start would wait for ever on a
  // window nobody can see.
  formas.showModal(forma);
}

void frmPresenta::Command1_Click() {
  if (!ui::Forms::instance().unload(this)) QDialog::reject();
}

void frmPresenta::reject() { Command1_Click(); }
