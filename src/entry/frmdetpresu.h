#pragma once
// FrmDetPresu, "Detalle partida": the fields of the unit-price grid's current row, with buttons to
// the previous and next row. A new instance each time, shown modal; what is typed in its boxes is
// not written anywhere.
#include "forms.h"

#include <QDialog>

class QLineEdit;
class QPlainTextEdit;
class QPushButton;

class FrmDetPresu : public QDialog, public ui::Form {
  Q_OBJECT
public:
  FrmDetPresu();

  // A new instance shown modal and released when it closes.
  static void Muestra();

  void Form_Load() override;
  void CmdAnt_Click();
  void CmdSig_Click();
  void CmdCerrar_Click();

  // TxtCampo(0..9): Partida, Renglón, Código, Código auxiliar, Texto completo, Unidad, Cantidad,
  // Precio, Importe, Moneda. The full text is the one box of several lines.
  QWidget* TxtCampo[10];
  QString texto(int index) const;
  QPushButton* CmdAnt;
  QPushButton* CmdSig;
  QPushButton* CmdCerrar;

private:
  void muestraRenglon();
};
