#pragma once
// FrmColGrid, "Selección de Columnas": which columns of the active list window's grid are shown. Every
// column's caption is listed, selected when the column is visible; "Aceptar" shows the selected ones and
// hides the rest. Without a list window it closes as it opens.
#include "forms.h"

#include <QDialog>
#include <QPointer>

class QGroupBox;
class QListWidget;
class QPushButton;

namespace ui {
class BoundGrid;
}

class FrmColGrid : public QDialog, public ui::Form {
  Q_OBJECT
public:
  FrmColGrid();

  // Shows the default instance modal (nothing when there is no grid to choose columns of).
  static void Muestra();

  void Form_Load() override;
  void CmdBoton_Click(int index);

  QListWidget* List1;
  QPushButton* CmdBoton[2];

private:
  QPointer<ui::BoundGrid> grid_;
};
