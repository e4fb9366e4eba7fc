#pragma once
// "Parámetros de presupuesto.": the options of the budget and budget-totals reports, opened modal by
// the report window's "Opciones". One option: whether the report ends with the VAT breakdown, stored
// as "PreImprimirIva" (0 or 1) for the report, workbook and sheet being built.
#include "forms.h"

#include <QDialog>

class QCheckBox;
class QPushButton;

namespace repgen {
class ContextoReporte;
}

class FrmOpcPresu : public QDialog, public ui::Form {
  Q_OBJECT
public:
  // The report window's report: its option variables and what it chose.
  explicit FrmOpcPresu(repgen::ContextoReporte& rep, QWidget* parent = nullptr);

  QCheckBox* Check1;
  QPushButton* Command1;  // "&Aceptar"
  QPushButton* Command2;  // "&Cancelar"

  void Form_Load() override;
  void Command1_Click();
  void Command2_Click();

protected:
  void reject() override;  // Escape closes without storing, as Cancelar does

private:
  repgen::ContextoReporte& rep_;
};
