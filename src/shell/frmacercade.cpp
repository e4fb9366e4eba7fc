#include "frmacercade.h"

#include "dao.h"
#include "dialogos.h"
#include "frmderechos.h"
#include "frmpresenta.h"
#include "iconoprograma.h"
#include "korgen.h"
#include "msgbox.h"
#include "quarvel.h"
#include "settings.h"
#include "sound.h"

#include <QFrame>
#include <QLabel>
#include <QProcess>
#include <QPushButton>
#include <QStringList>

using dialogos::control;
using dialogos::twips;

namespace {

FrmAcercaDe::IniciaPrograma& iniciaPrograma() {
  static FrmAcercaDe::IniciaPrograma inicia;
  return inicia;
}

bool inicia(const QString& programa) {
  if (iniciaPrograma()) return iniciaPrograma()(programa);
  return QProcess::startDetached(programa, {});
}

}  // namespace

FrmAcercaDe::FrmAcercaDe(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("FrmAcercaDe"));
  setWindowTitle(QStringLiteral("Acerca de ") + ui::appTitle());
  setFixedSize(ui::twipsToPixels(QSizeF(6960, 3840)));

  lblProducto = control<QLabel>(this, QStringLiteral("lblProducto"), ui::appTitle(), twips(240, 180, 6480, 540));
  QFont titulo = lblProducto->font();
  titulo.setPointSize(16);
  titulo.setBold(true);
  lblProducto->setFont(titulo);
  control<QLabel>(this, QStringLiteral("lblEmpresa"), QStringLiteral("Quarvel"), twips(240, 720, 6480, 270));
  lblDependencias = control<QLabel>(this, QStringLiteral("lblDependencias"), kDependencias,
                                    twips(240, 1020, 6480, 270));
  lblVersion = control<QLabel>(this, QStringLiteral("lblVersion"), twips(240, 1380, 6480, 540));
  lblVersion->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  auto* linea = control<QFrame>(this, QStringLiteral("Line1"), twips(240, 2040, 6480, 30));
  linea->setFrameShape(QFrame::HLine);
  linea->setFrameShadow(QFrame::Sunken);

  dibujoDelIcono(this, twips(240, 2400, 960, 960));

  cmdAceptar = control<QPushButton>(this, QStringLiteral("cmdAceptar"), QStringLiteral("&Aceptar"),
                                    twips(5160, 2280, 1575, 375));
  cmdEquipo = control<QPushButton>(this, QStringLiteral("cmdEquipo"), QStringLiteral("Info. del sistema"),
                                   twips(5160, 2760, 1575, 375));
  cmdDerechos = control<QPushButton>(this, QStringLiteral("cmdDerechos"), QStringLiteral("&Derechos"),
                                     twips(5160, 3240, 1575, 375));
  cmdAceptar->setDefault(true);
  connect(cmdAceptar, &QPushButton::clicked, this, [this] { cmdAceptar_Click(); });
  connect(cmdEquipo, &QPushButton::clicked, this, [this] { cmdEquipo_Click(); });
  connect(cmdDerechos, &QPushButton::clicked, this, [this] { cmdDerechos_Click(); });
}

void FrmAcercaDe::Muestra() {
  auto& formas = ui::Forms::instance();
  if (FrmAcercaDe* forma = formas.get<FrmAcercaDe>()) formas.showModal(forma);
}

void FrmAcercaDe::Form_Load() {
  const QString sonido = dao::DBEngine::ResolvePath(quarvel::rutaPrograma + QStringLiteral("/quarvel.wav"));
  if (KorGen::ExisteArchivo(sonido)) ui::playWave(sonido);
  lblVersion->setText(TextoVersion(quarvel::rutaPrograma).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
}

void FrmAcercaDe::Form_Unload() { ui::stopSound(); }

void FrmAcercaDe::cmdAceptar_Click() {
  if (!ui::Forms::instance().unload(this)) QDialog::reject();
}

void FrmAcercaDe::reject() { cmdAceptar_Click(); }

void FrmAcercaDe::cmdEquipo_Click() { StartSysInfo(); }

void FrmAcercaDe::cmdDerechos_Click() {
  auto& formas = ui::Forms::instance();
  if (frmDerechos* derechos = formas.get<frmDerechos>()) formas.showModal(derechos);
}

bool FrmAcercaDe::DameValorClave(quint32, const QString& clave, const QString& valor, QString& resultado) {
  const QStringList partes = clave.split(QLatin1Char('\\'), Qt::SkipEmptyParts);
  if (partes.size() < 2 || valor.isEmpty()) return false;
  const QString texto = ui::GetSetting(partes[partes.size() - 2], partes.last(), valor);
  if (texto.isEmpty()) return false;
  resultado = texto;
  return true;
}

void FrmAcercaDe::StartSysInfo() {
  const QString noDisponible = QStringLiteral("La información del sistema no está disponible en este momento");
  QString programa;
  // A program named under PATH is started as it is, without looking for the file first.
  if (!DameValorClave(HKEY_LOCAL_MACHINE, QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO"),
                      QStringLiteral("PATH"), programa)) {
    QString carpeta;
    if (DameValorClave(HKEY_LOCAL_MACHINE, QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location"),
                       QStringLiteral("MSINFO"), carpeta) &&
        KorGen::ExisteArchivo(carpeta + QStringLiteral("/MSINFO32.EXE"))) {
      programa = carpeta + QStringLiteral("/MSINFO32.EXE");
    } else {
      ui::MsgBox(noDisponible, ui::vbOKOnly);
      return;
    }
  }
  if (!inicia(programa)) ui::MsgBox(noDisponible, ui::vbOKOnly);
}

void FrmAcercaDe::setIniciaPrograma(IniciaPrograma nueva) { iniciaPrograma() = std::move(nueva); }
