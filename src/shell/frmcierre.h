#pragma once
// The lock dialog "Cerrar/Abrir base": closes the open bid against changes with a password, or opens
// it again with that password. The state is the general-data row of the bid (quarvel::rsDatosGenerales):
// BaseCerrada, and Contraseña stored upper-cased without trailing blanks (one blank after a reopen).
// Passwords compare ignoring letter case and trailing blanks, not leading ones.
//
// The main window's lock command: FrmCierre::Muestra();
#include "forms.h"

#include <QDialog>

class QLineEdit;
class QPushButton;
class QRadioButton;

class FrmCierre : public QDialog, public ui::Form {
  Q_OBJECT
public:
  explicit FrmCierre(QWidget* parent = nullptr);

  // Loads the program-wide dialog and shows it modal; returns once it is closed.
  static void Muestra();

  // Controls, named as the dialog's controls (objectName "Contraseña" for Contrasena).
  QRadioButton* Cerrar;
  QRadioButton* Abrir;
  QLineEdit* Contrasena;
  QLineEdit* Confirma;
  QPushButton* Aceptar;
  QPushButton* Cancelar;

  void Form_Load() override;
  void Cerrar_Click();
  void Abrir_Click();
  void Aceptar_Click();
  void Cancelar_Click();

  void reject() override;   // Escape unloads, as Cancelar does

private:
  void HabilitaConfirma(bool habilitada);
  void Descarga();
};
