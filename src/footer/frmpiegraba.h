#pragma once
// "Grabar pie de página.": saves the bid's footer (every row of Pie) as a named format of the format
// library in the library database (CalCab, CalDet), replacing a format of that name once the user
// agrees. Opened modal by the footer page's "&Grabar formato"; every opening is a new dialog.
#include "forms.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace dao {
class Database;
}

class frmPieGraba : public QDialog, public ui::Form {
  Q_OBJECT
public:
  explicit frmPieGraba(QWidget* parent = nullptr);

  QLabel* Label1;
  QLabel* Label2;
  QLineEdit* txtNombre;   // the format's key, at most 10 characters, stored as typed
  QLineEdit* txtDescri;   // at most 40 characters; a blank one is stored as " "
  QPushButton* Command1;  // "&Aceptar"
  QPushButton* Command2;  // "&Cancelar" (Esc)

  void Command1_Click();
  void Command2_Click();
  // True when the statement's first row has a field "Total" above 0.
  bool ExisteRegistro(const QString& sentencia, dao::Database& db);

  void reject() override;  // Esc unloads, as Command2 does
};
