#pragma once
// Copying the look of template cells into the report, and selecting a sheet's drawing objects.
// Both sheets are positioned by the caller; nothing here keeps state.
//
// A template cell whose formula gives an error ("#VALUE!") travels with its formula instead, by copy
// and paste, and leaves the template's current cell where the copy put it.
#include "book.h"

namespace repgen {

// Alignment, borders, font (its size rounded to whole points, halves to even), pattern and number
// format of the template's current cell onto the report's selection.
void copiaSeccion(wb::Book& plantilla, wb::Book& reporte);
// Font, pattern and number format only; no error test.
void copiaBordes(const wb::Book& plantilla, wb::Book& reporte);
// As copiaSeccion from template cell (ren, col); conAncho also gives the report's current column the
// template column's width. The template's current cell is kept.
void copiaCeldaAncho(wb::Book& plantilla, int col, int ren, wb::Book& reporte, bool conAncho);
// copiaCeldaAncho with the width.
void copiaFormatoCelda(wb::Book& plantilla, int col, int ren, wb::Book& reporte);
// As copiaSeccion from template cell (ren, col) onto the cell of `destino` at the template's current
// row and column (destino may be the template itself).
void copiaCelda(wb::Book& plantilla, int col, int ren, wb::Book& destino);
// Selects every drawing object of the sheet; none selected when it has none.
void recorreObjetos(wb::Book& hoja);
// Copies drawing object `id` of `origen` into `destino` through the clipboard (left empty) and puts
// the copy, the destination's last object, at `pos`.
void copiaObjeto(wb::Book& origen, int id, wb::Book& destino, const wb::ObjPos& pos);

// The look copiaSeccion gives a cell of style `destino` from a template cell of style `origen`.
wb::CellStyle estiloSeccion(wb::CellStyle destino, const wb::CellStyle& origen);
// The look copiaBordes gives it.
wb::CellStyle estiloBordes(wb::CellStyle destino, const wb::CellStyle& origen);

}  // namespace repgen
