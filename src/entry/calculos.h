#pragma once
// Module Calculos: the amounts of the budget, the checks before any report is printed, and the period
// columns of the work-schedule grid. Works on the open bid of quarvel.
#include <QString>
#include <cstdint>

namespace Calculos {

// Importe = KorGen::Redondea(Precio x Cantidad) for every budget row of the open bid (rows already
// right are not written again). Database errors, and error 94 for a row without price or quantity,
// go to the caller.
void CalculaImportes();

// The checks before a report is printed or previewed, in their order; the first that fails shows its
// message (exclamation icon) and the result is true. False: every check passed. In the contractor
// edition a bid not yet locked first gets a notice, which is no failure. Database errors go to the
// caller.
bool ValidaImpresion();

// Appends n period columns to the grid: visible, captioned "Periodo 1".."Periodo n", 1000 twips wide,
// aligned right. Grid: anything with the bound grid's column collection (Columns().Count(),
// Columns().Add(index) giving the new column, SetVisible, SetCaption, SetWidth, SetAlignment).
template <class Grid>
void AgregaColumnasPeriodo(Grid& grid, int16_t n);

// Removes the grid's last columns until it has n.
template <class Grid>
void BorraColumnas(Grid& grid, int16_t n);

// ---------------------------------------------------------------------------------------------------

// The grid's alignment numbers: 1 is right.
constexpr int kAlineacionDerecha = 1;
constexpr int kAnchoPeriodo = 1000;  // twips

template <class Grid>
void AgregaColumnasPeriodo(Grid& grid, int16_t n) {
  for (int i = 1; i <= n; ++i) {
    auto& columna = grid.Columns().Add(grid.Columns().Count());
    columna.SetVisible(true);
    columna.SetCaption(QStringLiteral("Periodo ") + QString::number(i));
    columna.SetWidth(kAnchoPeriodo);
    columna.SetAlignment(kAlineacionDerecha);
  }
}

template <class Grid>
void BorraColumnas(Grid& grid, int16_t n) {
  while (grid.Columns().Count() > n)
    grid.Columns().Remove(grid.Columns().Count() - 1);
}

}  // namespace Calculos
