#pragma once
// "Programa de Obra": the options of the work-schedule and monthly-amounts reports, opened modal by
// the report window's "Opciones". Printing one fiscal year at a time, from a first to a last year
// within the project's years, stored as "ImpPorEjer", "EjerInicio" and "EjerFinal" for the report,
// workbook and sheet being built.
//
// A year box is checked when the focus leaves it for another control of the dialog (Cancelar
// excepted): a refused year keeps the focus in its box, as the boxes' validate events did.
#include "forms.h"

#include <QDialog>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace repgen {
class ContextoReporte;
}

class FrmOpcPrograma : public QDialog, public ui::Form {
  Q_OBJECT
public:
  explicit FrmOpcPrograma(repgen::ContextoReporte& rep, QWidget* parent = nullptr);

  QGroupBox* Frame1;      // "Rango de ejercicios"
  QCheckBox* Check1;      // "Imprimir por ejercicio"
  QLabel* Label1;
  QLineEdit* Text1;       // first year
  QLabel* Label2;
  QLineEdit* Text2;       // last year
  QPushButton* Command1;  // "&Aceptar"
  QPushButton* Command2;  // "&Cancelar"

  void Form_Load() override;
  void Check1_Click();
  void Text1_Validate(bool& cancel);
  void Text2_Validate(bool& cancel);
  void Command1_Click();
  void Command2_Click();

  // The project's years, the allowed range.
  int menor() const { return menor_; }
  int mayor() const { return mayor_; }

protected:
  void reject() override;  // Escape closes without storing

private:
  repgen::ContextoReporte& rep_;
  int menor_ = 0, mayor_ = 0;
  bool regresando_ = false;  // the focus is being put back into a refused box
  bool rechazado_ = false;   // the last move to Aceptar was refused: its click does nothing
  void cambioDeFoco(QWidget* antes, QWidget* ahora);
  bool revisaEjercicio(QLineEdit* caja);  // numeric and within the range; false after its message
};
