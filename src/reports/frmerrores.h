#pragma once
// The error list "Errores": the concepts whose quantity and programmed volumes disagree, as the
// quantity check wrote them, in a text box that can be printed on the default printer.
#include "forms.h"

#include <QDialog>

class QPlainTextEdit;
class QPushButton;

class FrmErrores : public QDialog, public ui::Form {
  Q_OBJECT
public:
  explicit FrmErrores(QWidget* parent = nullptr);

  // Loads the program-wide window, puts the text in and shows it modal; returns once it is closed.
  static void Muestra(const QString& texto);

  QPlainTextEdit* Text1;
  QPushButton* Salir;
  QPushButton* Imprimir;

  void Form_Unload() override;
  void Salir_Click();
  // The whole text on the default printer as one document, without a dialog; on the PDF printer into
  // "Errores.pdf" in the bid's folder, asking before an existing one is replaced.
  void Imprimir_Click();

  void reject() override;  // the close box and Escape unload, as Salir does

private:
  int anchoLista_ = 0;  // the list's width as the window is drawn
  void ajustaAncho();
};
