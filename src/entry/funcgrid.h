#pragma once
// Class FuncGrid: the grid behaviour every list window shares (the unit prices FrmPre, the currencies
// FrmMone, the work schedule FrmPrograma, the section totals FrmParTorn): the grid placed inside its
// window, its column layout kept in "kortorn.grx", rows marked by dragging over the record selectors,
// select-all, sorting by the selected columns and deleting the marked rows. No state of its own beyond
// the pace of the drag scroll, so its operations are static.
//
// A list window is a form of the registry (ui::Forms, an MDI child) whose grid is named "Grid1" and
// bound to a data control "Data1", and which implements VentanaLista. Its handlers call:
//
//   Form_Load:    ui::UbicaForma(this); FuncGrid::UbicaGrid(objectName(), Grid1);
//   resizeEvent:  FuncGrid::Reubicagrid(this, Grid1);
//   Form_Unload:  ui::GrabaForma(this); FuncGrid::GrabaGrid(objectName(), Grid1);
//   Grid1's MouseMove(button, shift, x, y):  FuncGrid::marcaDrag(Grid1, button, shift, x, y);
//   Grid1's MouseUp(button, shift, x, y):    FuncGrid::marcaTodo(Grid1, button, shift, x, y);
//
// The main window's sort, select-all and the currencies' multiple delete come here through
// ventanas::Registro (OrdenaGrid, SeleccionaTodo) and FrmMone's Error(6159).
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <optional>

class QWidget;

namespace ui {
class BoundGrid;
class DataControl;
}  // namespace ui

// What the grid commands need of a list window besides its Name.
class VentanaLista {
public:
  virtual ~VentanaLista() = default;
  virtual ui::BoundGrid* Grid1() const = 0;
  virtual ui::DataControl* Data1() const = 0;
  // The sort command's part that depends on the window: orden (Jet sort text, "Partida,Codigo DESC")
  // goes into the Sort of the window's shared recordset and Data1 is bound to a recordset opened from
  // it, with whatever clones the window keeps for look-ups made again:
  //   FrmPre:      rsPresupuesto, then IniClon and Data1 on rsPresupuestoClon2
  //   FrmMone:     rsMonedas
  //   FrmPrograma: rsProgramaObra, then IniClon
  //   FrmParTorn:  rsTotalPartidas
  // Database errors (3117 sorting by a memo field) go to the caller.
  virtual void AplicaOrden(const QString& orden) = 0;
};

class FuncGrid {
public:
  // The grid fills its window: at (50, 50) twips, 200 narrower and 500 lower than the window's outer
  // size (frame and caption included), when the window is not minimised and is wider than 200 and
  // higher than 500 twips; otherwise the grid keeps its place.
  static void Reubicagrid(QWidget* forma, ui::BoundGrid* grid);
  // The rule itself, in twips: the grid's rectangle for a window of that outer size, nullopt to keep it.
  static std::optional<QRectF> rectanguloGrid(const QSizeF& formaTwips, bool minimizada);

  // The column layout named `nombre` (the window's Name) of the program folder's "kortorn.grx" applied
  // to the grid / the grid's columns stored there under that name. A missing file or layout, or a file
  // that cannot be written, changes nothing and shows nothing.
  static void UbicaGrid(const QString& nombre, ui::BoundGrid* grid);
  static void GrabaGrid(const QString& nombre, ui::BoundGrid* grid);
  static QString archivoLayout();  // the program folder's "kortorn.grx"

  // Left button held over the record selectors: the rows from where the drag began to the one under
  // the pointer are marked (an edit open in the active window's grid is dropped first). On the last shown row the grid scrolls one row down,
  // on the first one row up, at most once every 0.1 s.
  static void marcaDrag(ui::BoundGrid* grid, int button, int shift, double x, double y);
  // Left button released over the grid's top-left corner: the main window's select-all.
  static void marcaTodo(ui::BoundGrid* grid, int button, int shift, double x, double y);

  // Sorts the active child window (a VentanaLista; any other window: nothing) by the grid's selected
  // columns, left to right; descending puts " DESC" after the last one only. No columns selected, or
  // none bound to a field: "Es necesario seleccionar una o varias columnas para ordenar la pantalla".
  // Errors are shown here (3117: "No es posible ordenar por campos tipo memo como la descripción
  // completa"); none reaches the caller.
  static void OrdenaGrid(ui::BoundGrid* grid, bool descendente);
  // The sort text of the grid's selected columns ("" when none is bound to a field).
  static QString ordenDeColumnas(ui::BoundGrid& grid, bool descendente);

  // Deletes the marked rows of the active child window's grid after the question "Está a punto de
  // eliminar N registros. ..." (Yes/No); the recordset then moves on and the grid is bound again.
  // Errors are shown here; none reaches the caller.
  static void borradoMultiple();
  static void borradoMultiple(QWidget* ventana);

  // The select-all command on a window: every row of its grid marked.
  static void SeleccionaTodo(QWidget* ventana);

  // The list window's grid ("Grid1"), or nullptr.
  static ui::BoundGrid* gridDe(QWidget* ventana);
};
