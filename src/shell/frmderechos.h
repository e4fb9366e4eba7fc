#pragma once
// The rights box "Derechos reservados", opened modal from the About box; its user agreement is a
// text resource of the program.
#include "forms.h"

#include <QDialog>

class QLabel;
class QPushButton;
class QTextBrowser;

class frmDerechos : public QDialog, public ui::Form {
  Q_OBJECT
public:
  explicit frmDerechos(QWidget* parent = nullptr);

  // The user agreement shown in the box (rich text).
  static QString TextoDerechos();

  QLabel* lblProducto;
  QLabel* lblDependencias;
  QTextBrowser* rtfDerechos;
  QPushButton* cmdAceptar;
  QPushButton* cmdEquipo;

  void Form_Load() override;
  void cmdAceptar_Click();
  void cmdEquipo_Click();
  void reject() override;   // Escape unloads, as cmdAceptar does
};
