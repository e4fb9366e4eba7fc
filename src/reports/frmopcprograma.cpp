#include "frmopcprograma.h"

#include "contextoreporte.h"
#include "dao.h"
#include "dialogos.h"
#include "emulaenter.h"
#include "internos.h"
#include "msgbox.h"
#include "quarvel.h"
#include "seleccionartexto.h"
#include "twips.h"
#include "vbdate.h"

#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using dialogos::control;
using dialogos::twips;

namespace {

void aviso(const QString& texto) { ui::MsgBox(texto, ui::vbExclamation, QStringLiteral("Quarvel")); }

}  // namespace

FrmOpcPrograma::FrmOpcPrograma(repgen::ContextoReporte& rep, QWidget* parent) : QDialog(parent), rep_(rep) {
  setObjectName(QStringLiteral("FrmOpcPrograma"));
  setWindowTitle(QStringLiteral("Programa de Obra"));
  setFixedSize(ui::twipsToPixels(QSizeF(5280, 2160)));
  Frame1 = control<QGroupBox>(this, QStringLiteral("Frame1"), QStringLiteral("Rango de ejercicios"),
                              twips(120, 60, 3540, 1920));
  Check1 = control<QCheckBox>(Frame1, QStringLiteral("Check1"), QStringLiteral("Imprimir por ejercicio"),
                              twips(180, 300, 3000, 300));
  Label1 = control<QLabel>(Frame1, QStringLiteral("Label1"), QStringLiteral("Ejercicio inicial"),
                           twips(180, 840, 1560, 240));
  Text1 = control<QLineEdit>(Frame1, QStringLiteral("Text1"), twips(1860, 780, 1200, 315));
  Label2 = control<QLabel>(Frame1, QStringLiteral("Label2"), QStringLiteral("Ejercicio final"),
                           twips(180, 1380, 1560, 240));
  Text2 = control<QLineEdit>(Frame1, QStringLiteral("Text2"), twips(1860, 1320, 1200, 315));
  Command1 = control<QPushButton>(this, QStringLiteral("Command1"), QStringLiteral("&Aceptar"),
                                  twips(3840, 180, 1215, 375));
  Command2 = control<QPushButton>(this, QStringLiteral("Command2"), QStringLiteral("&Cancelar"),
                                  twips(3840, 660, 1215, 375));

  // Enter moves to the next field (the form's key preview): no button takes it as a default.
  for (QPushButton* b : {Command1, Command2}) {
    b->setAutoDefault(false);
    b->setDefault(false);
  }
  ui::installEmulaEnter(this);
  ui::installSeleccionarTexto(Text1);
  ui::installSeleccionarTexto(Text2);
  setTabOrder(Check1, Text1);
  setTabOrder(Text1, Text2);
  setTabOrder(Text2, Command1);
  setTabOrder(Command1, Command2);

  connect(Check1, &QCheckBox::clicked, this, [this] { Check1_Click(); });
  connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
  connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });
  connect(qApp, &QApplication::focusChanged, this,
          [this](QWidget* antes, QWidget* ahora) { cambioDeFoco(antes, ahora); });
}

void FrmOpcPrograma::Form_Load() {
  Check1->setChecked(rep_.ImprimePorEjercicio);
  try {
    dao::Recordset& dg = repgen::detalle::abierto(quarvel::rsDatosGenerales);
    menor_ = vb::year(vb::CDate(dg.Value(QStringLiteral("FechaInicioProy"))));
    mayor_ = vb::year(vb::CDate(dg.Value(QStringLiteral("FechaFinalProy"))));
  } catch (const vb::Error& e) {
    // Without the project's dates no year is in range; the dialog can still be cancelled.
    ui::MsgBox(QStringLiteral("Error en FrmOpcPrograma.Form_Load ") + QString::number(e.number()) +
               QLatin1Char(' ') + e.description());
  }
  const bool guardados = rep_.EjercicioInicial >= menor_ && rep_.EjercicioFinal <= mayor_;
  Text1->setText(QString::number(guardados ? rep_.EjercicioInicial : menor_));
  Text2->setText(QString::number(guardados ? rep_.EjercicioFinal : mayor_));
  Check1_Click();
}

void FrmOpcPrograma::Check1_Click() {
  const bool porEjercicio = Check1->isChecked();
  Text1->setEnabled(porEjercicio);
  Text2->setEnabled(porEjercicio);
}

bool FrmOpcPrograma::revisaEjercicio(QLineEdit* caja) {
  const vb::Variant texto(caja->text());
  if (!vb::IsNumeric(texto)) {
    aviso(QStringLiteral("Debe ser un dato numérico"));
    return false;
  }
  const double ejercicio = vb::CDbl(texto);
  if (ejercicio < menor_ || ejercicio > mayor_) {
    aviso(QStringLiteral("Ejercicio fuera de rango"));
    return false;
  }
  return true;
}

void FrmOpcPrograma::Text1_Validate(bool& cancel) {
  if (!revisaEjercicio(Text1))
    cancel = true;
}

void FrmOpcPrograma::Text2_Validate(bool& cancel) {
  if (!revisaEjercicio(Text2)) {
    cancel = true;
    return;
  }
  // The two years compare as texts.
  if (Text2->text() < Text1->text()) {
    aviso(QStringLiteral("El ejercicio final no debe ser menor al ejercicio inicial"));
    cancel = true;
  }
}

void FrmOpcPrograma::cambioDeFoco(QWidget* antes, QWidget* ahora) {
  if (regresando_)
    return;
  rechazado_ = false;
  // Only a move to another control of this dialog checks the box left; Cancelar never does.
  if (!ahora || ahora->window() != this || ahora == Command2)
    return;
  if (antes != Text1 && antes != Text2)
    return;
  bool cancel = false;
  if (antes == Text1)
    Text1_Validate(cancel);
  else
    Text2_Validate(cancel);
  if (!cancel)
    return;
  rechazado_ = ahora == Command1;
  regresando_ = true;
  antes->setFocus();
  regresando_ = false;
}

void FrmOpcPrograma::Command1_Click() {
  if (rechazado_) {
    rechazado_ = false;
    return;
  }
  if (Text1->text() > Text2->text()) {
    aviso(QStringLiteral("El ejercicio inicial no debe ser mayor al ejercicio final"));
    Text1->setFocus();
    return;
  }
  // A year typed into a box the focus never left is checked here.
  for (QLineEdit* caja : {Text1, Text2}) {
    if (!revisaEjercicio(caja)) {
      caja->setFocus();
      return;
    }
  }
  try {
    rep_.ImprimePorEjercicio = Check1->isChecked();
    rep_.EjercicioInicial = vb::CInt(vb::Variant(Text1->text()));
    rep_.EjercicioFinal = vb::CInt(vb::Variant(Text2->text()));
    const QString reporte = repgen::textoReporte(rep_.tipo);
    repgen::grabaOpcion(reporte, rep_.libro, rep_.hoja, QStringLiteral("ImpPorEjer"),
                        vb::Variant(rep_.ImprimePorEjercicio));
    repgen::grabaOpcion(reporte, rep_.libro, rep_.hoja, QStringLiteral("EjerInicio"),
                        vb::Variant(rep_.EjercicioInicial));
    repgen::grabaOpcion(reporte, rep_.libro, rep_.hoja, QStringLiteral("EjerFinal"),
                        vb::Variant(rep_.EjercicioFinal));
  } catch (const vb::Error& e) {
    ui::MsgBox(QStringLiteral("Error en FrmOpcPrograma.Command1_Click ") + QString::number(e.number()) +
               QLatin1Char(' ') + e.description());
  }
  ui::Forms::instance().unload(this);
}

void FrmOpcPrograma::Command2_Click() { ui::Forms::instance().unload(this); }

void FrmOpcPrograma::reject() { Command2_Click(); }
