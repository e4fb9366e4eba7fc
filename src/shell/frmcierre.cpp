#include "frmcierre.h"

#include "dao.h"
#include "dialogos.h"
#include "emulaenter.h"
#include "msgbox.h"
#include "quarvel.h"
#include "seleccionartexto.h"
#include "variant.h"

#include <QApplication>
#include <QFont>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

using dialogos::control;
using dialogos::twips;

namespace {

const QString kSinObra = QStringLiteral("No hay ningun archivo abierto");

// Passwords compare and are stored without trailing blanks and in upper case.
QString clave(const QString& texto) { return vb::UCase(vb::RTrim(texto)); }

bool baseCerrada() {
  const vb::Variant v = quarvel::rsDatosGenerales->Value(QStringLiteral("BaseCerrada"));
  return !v.isNull() && v.toBool();
}

// Up and Down on a button act as Shift+Tab and Tab only (the form's key preview moves the focus);
// the button's own move to its neighbour would take the focus one control further.
class SinFlechas : public QObject {
public:
  using QObject::QObject;
  bool eventFilter(QObject*, QEvent* evento) override {
    if (evento->type() != QEvent::KeyPress) return false;
    const int tecla = static_cast<QKeyEvent*>(evento)->key();
    return tecla == Qt::Key_Up || tecla == Qt::Key_Down;
  }
};

QLabel* nota(QWidget* padre, const QString& nombre, const QString& texto, const QRect& lugar, bool negrita = false) {
  auto* l = control<QLabel>(padre, nombre, texto, lugar);
  l->setWordWrap(true);
  l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  if (negrita) {
    QFont f = l->font();
    f.setBold(true);
    l->setFont(f);
  }
  return l;
}

}  // namespace

FrmCierre::FrmCierre(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("FrmCierre"));
  setWindowTitle(QStringLiteral("Cerrar/Abrir base"));
  setFixedSize(ui::twipsToPixels(QSizeF(5760, 4680)));

  auto* marco = control<QGroupBox>(this, QStringLiteral("Frame1"), QString(), twips(120, 60, 3780, 2460));
  Cerrar = control<QRadioButton>(marco, QStringLiteral("Cerrar"), QStringLiteral("Cerrar base de datos"),
                                 twips(180, 180, 3300, 300));
  Abrir = control<QRadioButton>(marco, QStringLiteral("Abrir"), QStringLiteral("Abrir base de datos"),
                                twips(180, 510, 3300, 300));
  control<QLabel>(marco, QStringLiteral("Label1"), QStringLiteral("Contraseña para abrir base"),
                  twips(180, 930, 3300, 240));
  Contrasena = control<QLineEdit>(marco, QStringLiteral("Contraseña"), twips(180, 1170, 3360, 315));
  control<QLabel>(marco, QStringLiteral("Label2"), QStringLiteral("Confirmación de contraseña"),
                  twips(180, 1620, 3300, 240));
  Confirma = control<QLineEdit>(marco, QStringLiteral("Confirma"), twips(180, 1860, 3360, 315));
  Aceptar = control<QPushButton>(this, QStringLiteral("Aceptar"), QStringLiteral("&Aceptar"),
                                 twips(4200, 180, 1335, 375));
  Cancelar = control<QPushButton>(this, QStringLiteral("Cancelar"), QStringLiteral("&Cancelar"),
                                  twips(4200, 660, 1335, 375));

  nota(this, QStringLiteral("Label3"), QStringLiteral("Nota: "), twips(120, 2640, 720, 240), true);
  nota(this, QStringLiteral("Label4"),
       QStringLiteral("Una vez cerrada la base de datos no se podrá realizar ninguna modificación."),
       twips(840, 2640, 4740, 480));
  nota(this, QStringLiteral("Label5"), QStringLiteral("Recomendaciones:"), twips(120, 3210, 2400, 240), true);
  nota(this, QStringLiteral("Label6"), QStringLiteral("Guarde en un lugar seguro la contraseña para abrir la base."),
       twips(360, 3450, 5220, 480));
  nota(this, QStringLiteral("Label7"),
       QStringLiteral("Antes de cerrar la base por seguridad realice un respaldo de la misma."),
       twips(360, 3930, 5220, 480));

  for (QLineEdit* caja : {Contrasena, Confirma}) {
    caja->setEchoMode(QLineEdit::Password);
    ui::installSeleccionarTexto(caja);
  }
  // Enter moves to the next control (the form's key preview): no button may take it as a default.
  auto* sinFlechas = new SinFlechas(this);
  for (QPushButton* b : {Aceptar, Cancelar}) {
    b->setAutoDefault(false);
    b->setDefault(false);
    b->installEventFilter(sinFlechas);
  }
  ui::installEmulaEnter(this);
  setTabOrder(Cerrar, Abrir);
  setTabOrder(Abrir, Contrasena);
  setTabOrder(Contrasena, Confirma);
  setTabOrder(Confirma, Aceptar);
  setTabOrder(Aceptar, Cancelar);

  connect(Cerrar, &QRadioButton::clicked, this, [this] { Cerrar_Click(); });
  connect(Abrir, &QRadioButton::clicked, this, [this] { Abrir_Click(); });
  connect(Aceptar, &QPushButton::clicked, this, [this] { Aceptar_Click(); });
  connect(Cancelar, &QPushButton::clicked, this, [this] { Cancelar_Click(); });
}

void FrmCierre::Muestra() {
  auto& formas = ui::Forms::instance();
  if (FrmCierre* forma = formas.get<FrmCierre>()) formas.showModal(forma);
}

void FrmCierre::Form_Load() {
  if (!quarvel::obraAbierta) return;
  try {
    if (!quarvel::rsDatosGenerales) throw vb::Error(91);
    // An open bid proposes closing it, a closed one opening it.
    if (baseCerrada()) {
      Abrir->setChecked(true);
      Abrir_Click();
    } else {
      Cerrar->setChecked(true);
      Cerrar_Click();
    }
    Contrasena->clear();
    Confirma->clear();
  } catch (const vb::Error&) {
    ui::MsgBox(kSinObra, ui::vbInformation);
  }
}

void FrmCierre::HabilitaConfirma(bool habilitada) {
  Confirma->setEnabled(habilitada);
  // The window colour while it can be typed in, grey while it cannot.
  QPalette colores = Confirma->palette();
  colores.setColor(QPalette::Base, QApplication::palette().color(habilitada ? QPalette::Base : QPalette::Button));
  Confirma->setPalette(colores);
}

void FrmCierre::Cerrar_Click() {
  if (!quarvel::obraAbierta) {
    Descarga();
    return;
  }
  HabilitaConfirma(true);
  Contrasena->setFocus();
}

void FrmCierre::Abrir_Click() {
  HabilitaConfirma(false);
  Contrasena->setFocus();
}

void FrmCierre::Aceptar_Click() {
  const quarvel::RecordsetPtr datos = quarvel::rsDatosGenerales;
  // With no bid there is nothing to close or open.
  if (!quarvel::obraAbierta || !datos) {
    ui::MsgBox(kSinObra, ui::vbInformation);
    return;
  }
  const bool cerrar = Cerrar->isChecked();
  if (!cerrar && !Abrir->isChecked()) return;
  try {
    if (cerrar && baseCerrada()) {
      ui::MsgBox(QStringLiteral("La base esta cerrada"), ui::vbInformation);
      return;
    }
    if (cerrar && clave(Contrasena->text()) != clave(Confirma->text())) {
      ui::MsgBox(QStringLiteral("La confirmación de la contraseña es inválida"), ui::vbCritical);
      Contrasena->clear();
      Confirma->clear();
      Contrasena->setFocus();
      return;
    }
    if (!cerrar) {
      const vb::Variant guardada = datos->Value(QStringLiteral("Contraseña"));
      if (!guardada.isNull() && clave(guardada.toString()) != clave(Contrasena->text())) {
        ui::MsgBox(QStringLiteral("La contraseña es inválida"), ui::vbCritical);
        Contrasena->clear();
        Contrasena->setFocus();
        return;
      }
    }
    datos->Edit();
    datos->SetValue(QStringLiteral("BaseCerrada"), cerrar);
    datos->SetValue(QStringLiteral("Contraseña"), cerrar ? clave(Contrasena->text()) : QStringLiteral(" "));
    datos->Update();
  } catch (const vb::Error& e) {
    // A password the bid cannot store, or a database that fails: the bid keeps its state.
    if (datos->GetEditMode() != dao::EditMode::None) datos->CancelUpdate();
    ui::MsgBox(QStringLiteral("Error en FrmCierre.Aceptar_Click ") + QString::number(e.number()) + QLatin1Char(' ') +
               e.description());
    return;
  }
  Descarga();
}

void FrmCierre::Cancelar_Click() { Descarga(); }

void FrmCierre::reject() { Descarga(); }

void FrmCierre::Descarga() {
  if (!ui::Forms::instance().unload(this)) QDialog::reject();
}
