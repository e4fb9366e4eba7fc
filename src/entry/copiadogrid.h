#pragma once
// The copy and paste commands of the main window on the active child window's focus control: the
// window's bound grid "Grid1" (or its cell editor) through module copiado, any other control as a
// text box. The window side of copiado.h; register both in ventanas::Registro.
#include "copiado.h"

class QWidget;

namespace ui {
class BoundGrid;
}

namespace copiado {

// Copy: the grid's marked rows as a block; from a text control its selected text.
void copiaClipboard(QWidget* control);
// Paste: into the grid as copiado::pegaTexto does; a text control takes the whole clipboard text.
void pegaClipboard(QWidget* control);

// The bound grid as the copy reads it.
class CopiaDeGrid : public GridCopia {
public:
  explicit CopiaDeGrid(ui::BoundGrid& grid) : grid_(grid) {}
  int Columnas() const override;
  bool Visible(int col) const override;
  QString Caption(int col) const override;
  std::vector<dao::Bookmark> Marcados() const override;
  QString Texto(const dao::Bookmark& fila, int col) override;

private:
  ui::BoundGrid& grid_;
};

// The bound grid of the window `forma` as a paste's destination.
class PegadoEnGrid : public DestinoPegado {
public:
  PegadoEnGrid(ui::BoundGrid& grid, const QString& forma) : grid_(grid), forma_(forma) {}
  QString Forma() const override { return forma_; }
  bool PegaCelda(const QString& texto) override;
  void PreparaBloque() override;
  void Refresca() override;

private:
  ui::BoundGrid& grid_;
  QString forma_;
};

}  // namespace copiado
