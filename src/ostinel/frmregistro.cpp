#include "frmregistro.h"

#include "cobtenerdirectorio.h"
#include "error.h"
#include "msgbox.h"
#include "settings.h"
#include "twips.h"
#include "variant.h"

#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <algorithm>

namespace {

const QString kControl = QStringLiteral("VCF132.OCX");
const QString kRegistrador = QStringLiteral("regsvr32");

// The window's measures are twips.
int px(int twips) { return ui::twipsToPixels(twips); }
QRect twipsRect(int left, int top, int width, int height) {
  return ui::twipsToPixels(QRectF(left, top, width, height));
}

template <class W>
W* control(QWidget* parent, const QString& name, const QString& caption, QRect place) {
  auto* w = new W(caption, parent);
  w->setObjectName(name);
  w->setGeometry(place);
  return w;
}

QLineEdit* textBox(QWidget* parent, const QString& name, QRect place) {
  auto* w = new QLineEdit(parent);
  w->setObjectName(name);
  w->setGeometry(place);
  return w;
}

}  // namespace

frmRegistro::frmRegistro(ProgramStarter* starter, QWidget* parent) : QWidget(parent), starter_(starter) {
  if (!starter_) {
    ownStarter_ = std::make_unique<QtProgramStarter>();
    starter_ = ownStarter_.get();
  }
  setObjectName(QStringLiteral("frmRegistro"));
  setWindowTitle(QStringLiteral("Registrar OCX"));
  setFixedSize(px(7605), px(3120));

  Frame1 = control<QGroupBox>(this, "Frame1", "Control por registrar", twipsRect(90, 150, 7410, 2370));
  Option1[0] = control<QRadioButton>(Frame1, "Option1_0", "Registrar OCX de Quil", twipsRect(195, 330, 3435, 375));
  Label1 = control<QLabel>(Frame1, "Label1", "Ruta", twipsRect(405, 705, 1590, 240));
  Text1 = textBox(Frame1, "Text1", twipsRect(390, 945, 6255, 315));
  Command2[0] = control<QPushButton>(Frame1, "Command2_0", "...", twipsRect(6645, 945, 390, 315));
  Option1[1] = control<QRadioButton>(Frame1, "Option1_1", "Registrar OCX Quarvel Tarifario",
                                     twipsRect(150, 1275, 4020, 375));
  Label3 = control<QLabel>(Frame1, "Label3", "Ruta", twipsRect(405, 1665, 1590, 240));
  Text3 = textBox(Frame1, "Text3", twipsRect(390, 1890, 6270, 315));
  Command2[1] = control<QPushButton>(Frame1, "Command2_1", "...", twipsRect(6645, 1890, 390, 315));
  Command1[0] = control<QPushButton>(this, "Command1_0", "Aceptar", twipsRect(4890, 2625, 1215, 345));
  Command1[1] = control<QPushButton>(this, "Command1_1", "Cancelar", twipsRect(6255, 2625, 1215, 345));
  Command2[1]->raise();  // Text3 reaches one pixel under its button

  for (QPushButton* b : {Command1[0], Command1[1], Command2[0], Command2[1]}) b->setAutoDefault(false);
  for (int i = 0; i < 2; ++i) {
    connect(Command1[i], &QPushButton::clicked, this, [this, i] { Command1_Click(i); });
    connect(Command2[i], &QPushButton::clicked, this, [this, i] { Command2_Click(i); });
  }
  // The labels take no focus; the option group is one stop.
  QWidget::setTabOrder(Option1[0], Option1[1]);
  QWidget::setTabOrder(Option1[1], Command1[0]);
  QWidget::setTabOrder(Command1[0], Command1[1]);
  QWidget::setTabOrder(Command1[1], Text1);
  QWidget::setTabOrder(Text1, Text3);
  QWidget::setTabOrder(Text3, Command2[0]);
  QWidget::setTabOrder(Command2[0], Command2[1]);

  // Cancelling the browse dialog leaves its file name empty, and that empties the box.
  CommonDialog1.CancelError = false;

  Form_Load();
}

frmRegistro::~frmRegistro() = default;

void frmRegistro::Form_Load() {
  // Only "0" and "1" are ever written; anything else proposes the first option.
  int indice = 0;
  try {
    indice = vb::Variant(vb::Val(ui::GetSetting(kApp, kSection, "PorEjecutar", "0"))).toInteger();
  } catch (const vb::Error&) {
  }
  Option1[indice == 1 ? 1 : 0]->setChecked(true);

  cObtenerDirectorio directorio;
  const QString sistema = directorio.ObtenerCarpeta(shfolder::CSIDL_SYSTEMX86, 0);
  Text1->setText(ui::GetSetting(kApp, kSection, "rutadobrik", sistema + "/" + kControl));
  Text3->setText(ui::GetSetting(kApp, kSection, "rutakor", "C:\\KORW2000\\" + kControl));
}

void frmRegistro::Form_Resize() {
  if (isMinimized()) return;
  const QRect pantalla = screen()->geometry();
  const QSize ventana = frameGeometry().size();
  move(pantalla.left() + (pantalla.width() - ventana.width()) / 2,
       pantalla.top() + (pantalla.height() - ventana.height()) / 2);
}

void frmRegistro::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  Form_Resize();
}

void frmRegistro::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  Form_Resize();
}

void frmRegistro::Command1_Click(int Index) {
  try {
    if (Index == 0) {
      if (Option1[0]->isChecked())
        Registra(Text1, Text3, QStringLiteral("1"));
      else if (Option1[1]->isChecked())
        Registra(Text3, Text1, QStringLiteral("0"));
    } else if (Index == 1) {
      close();  // the last window: the program ends
    }
  } catch (const vb::Error& e) {
    ui::MsgBox("Mensaje :" + QString::number(e.number()) + "   " + e.description(), ui::vbOKOnly);
  }
}

void frmRegistro::Registra(const QLineEdit* elegido, const QLineEdit* otro, const QString& siguiente) {
  if (!ExisteArchivo(elegido->text())) {
    ui::MsgBox(QStringLiteral("El control OCX a registrar no existe"), ui::vbInformation,
               QStringLiteral("Regristro OCX"));
    return;
  }
  QString carpeta, archivo;
  if (ExisteArchivo(otro->text())) {
    SeparaRuta(otro->text(), carpeta, archivo);
    starter_->start(kRegistrador, {QStringLiteral("-u"), carpeta + archivo});
  }
  SeparaRuta(elegido->text(), carpeta, archivo);
  starter_->start(kRegistrador, {carpeta + archivo});

  ui::SaveSetting(kApp, kSection, "PorEjecutar", siguiente);
  ui::SaveSetting(kApp, kSection, "rutadobrik", Text1->text());
  ui::SaveSetting(kApp, kSection, "rutakor", Text3->text());
}

void frmRegistro::Command2_Click(int Index) {
  try {
    CommonDialog1.FileName.clear();
    CommonDialog1.Filter = QStringLiteral("Control OCX|") + kControl;
    CommonDialog1.DefaultExt = QStringLiteral(".OCX");
    CommonDialog1.Flags = 6148;  // hide read-only, path and file must exist
    CommonDialog1.ShowOpen();
    (Index == 0 ? Text1 : Text3)->setText(CommonDialog1.FileName);
  } catch (const vb::Error&) {
  }
}

bool frmRegistro::ExisteArchivo(const QString& ruta) {
  if (ruta.isEmpty()) return false;
  const QFileInfo info(ruta);
  return info.exists() && info.isFile();
}

void frmRegistro::SeparaRuta(const QString& ruta, QString& carpeta, QString& archivo) {
  // Either separator: this system writes "/", the stored defaults may hold "\".
  const qsizetype corte = std::max(ruta.lastIndexOf(QLatin1Char('/')), ruta.lastIndexOf(QLatin1Char('\\')));
  carpeta = ruta.left(corte + 1);
  archivo = ruta.mid(corte + 1);
}
