#pragma once
// "Reparar hojas de cálculo": rebuilds a damaged report template workbook. The file is read into one
// workbook (Anterior) and copied sheet by sheet into a fresh one (Nuevo): names, cells with their
// formats, column widths, page set-up and view settings, row heights and drawing objects; a stray
// solid black-on-white fill is removed; the source is kept under a backup name (its last three
// characters become "bak") and the rebuilt workbook takes its place.
//
// No command of the main window shows it.
#include "book.h"
#include "filedialog.h"
#include "forms.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

class frmReparar : public QDialog, public ui::Form {
  Q_OBJECT
public:
  explicit frmReparar(QWidget* parent = nullptr);

  QLabel* Label1;         // "Hoja de calculo a procesar"
  QLineEdit* Text1;       // the workbook's path
  QPushButton* Command2;  // browse
  QPushButton* Command1;  // "Reparar"
  QPushButton* Command3;  // "Salir"
  ui::CommonDialog CommonDialog1;
  wb::Book Anterior;  // the workbook as read
  wb::Book Nuevo;     // the rebuilt copy

  void Command2_Click();
  void Command1_Click();
  void Command3_Click();

  // The backup name of a workbook: the path without its last three characters, then "bak".
  static QString nombreRespaldo(const QString& ruta);

protected:
  void reject() override;  // Escape closes, as Salir does

private:
  // The drawing objects of the source's current sheet into the target's current sheet.
  void CopiaRango(wb::Book& origen, wb::Book& destino);
  void copiaHojas();
  void quitaRellenos();
  void guarda(const QString& ruta, wb::Book::FileType tipo);
};
