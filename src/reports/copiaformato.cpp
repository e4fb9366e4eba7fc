#include "copiaformato.h"

#include "error.h"

#include <cmath>

namespace repgen {

namespace {

const QString kErrorValor = QStringLiteral("#VALUE!");

// The font as the report gets it: the size goes through whole points; an underline keeps the kind
// the report cell had, or becomes a single one.
void aplicaFuente(wb::Font& f, const wb::Font& o) {
  if (!o.name.isEmpty())
    f.name = o.name;
  const int puntos = int(std::nearbyint(o.sizeTwips / 20.0));
  if (puntos > 0)
    f.sizeTwips = puntos * 20;
  f.bold = o.bold;
  f.italic = o.italic;
  if (o.underline == wb::Underline::None)
    f.underline = wb::Underline::None;
  else if (f.underline == wb::Underline::None)
    f.underline = wb::Underline::Single;
  f.strike = o.strike;
  f.color = o.color;
  f.outline = o.outline;
  f.shadow = o.shadow;
}

// Applies a change of look to the report's selection: one cell at once, a range cell by cell.
template <typename F> void aplicaSeleccion(wb::Book& reporte, F&& estilo) {
  const wb::Range sel = reporte.selection();
  if (sel.r1 == sel.r2 && sel.c1 == sel.c2) {
    reporte.setCellStyle(estilo(reporte.cellStyle()));
    return;
  }
  for (int r = sel.r1; r <= sel.r2; ++r)
    for (int c = sel.c1; c <= sel.c2; ++c) {
      reporte.setActiveCell(r, c);
      reporte.setCellStyle(estilo(reporte.cellStyle()));
    }
  reporte.setSelection(sel.r1, sel.c1, sel.r2, sel.c2);
}

// A formula that gives an error is copied with its formula. True when it was.
bool copiaError(wb::Book& plantilla, wb::Book& reporte) {
  if (plantilla.text() != kErrorValor)
    return false;
  plantilla.editCopy();
  reporte.editPaste();
  wb::Book::clearClipboard();
  return true;
}

}  // namespace

wb::CellStyle estiloSeccion(wb::CellStyle d, const wb::CellStyle& o) {
  d.h = o.h;
  d.wrap = o.wrap;
  d.v = o.v;
  d.rotation = o.rotation;
  d.left = o.left;
  d.right = o.right;
  d.top = o.top;
  d.bottom = o.bottom;
  d.shade = o.shade;
  aplicaFuente(d.font, o.font);
  d.fill = o.fill;
  d.numFmt = o.numFmt;
  return d;
}

wb::CellStyle estiloBordes(wb::CellStyle d, const wb::CellStyle& o) {
  aplicaFuente(d.font, o.font);
  d.fill = o.fill;
  d.numFmt = o.numFmt;
  return d;
}

void copiaSeccion(wb::Book& plantilla, wb::Book& reporte) {
  if (copiaError(plantilla, reporte))
    return;
  const wb::CellStyle& origen = plantilla.cellStyle();
  aplicaSeleccion(reporte, [&](const wb::CellStyle& d) { return estiloSeccion(d, origen); });
}

void copiaBordes(const wb::Book& plantilla, wb::Book& reporte) {
  const wb::CellStyle& origen = plantilla.cellStyle();
  aplicaSeleccion(reporte, [&](const wb::CellStyle& d) { return estiloBordes(d, origen); });
}

void copiaCeldaAncho(wb::Book& plantilla, int col, int ren, wb::Book& reporte, bool conAncho) {
  const int r0 = plantilla.row(), c0 = plantilla.col();
  plantilla.setActiveCell(ren, col);
  if (copiaError(plantilla, reporte))
    return;
  const wb::CellStyle origen = plantilla.cellStyle();
  aplicaSeleccion(reporte, [&](const wb::CellStyle& d) { return estiloSeccion(d, origen); });
  if (conAncho)
    reporte.setColWidth(reporte.col(), plantilla.colWidth(col));
  plantilla.setActiveCell(r0, c0);
}

void copiaFormatoCelda(wb::Book& plantilla, int col, int ren, wb::Book& reporte) {
  copiaCeldaAncho(plantilla, col, ren, reporte, true);
}

void copiaCelda(wb::Book& plantilla, int col, int ren, wb::Book& destino) {
  const int r0 = plantilla.row(), c0 = plantilla.col();
  plantilla.setActiveCell(ren, col);
  if (plantilla.text() == kErrorValor) {
    plantilla.editCopy();
    destino.setActiveCell(r0, c0);
    destino.editPaste();
    wb::Book::clearClipboard();
    return;
  }
  const wb::CellStyle origen = plantilla.cellStyle();
  destino.setActiveCell(r0, c0);
  destino.setCellStyle(estiloSeccion(destino.cellStyle(), origen));
  plantilla.setActiveCell(r0, c0);
}

void recorreObjetos(wb::Book& hoja) {
  try {
    int id = hoja.objFirstId();
    hoja.objSelect(id);
    for (;;) {
      id = hoja.objNextId(id);
      hoja.objAddSelection(id);
    }
  } catch (const vb::Error&) {
    // No further object: the walk is over.
  }
}

void copiaObjeto(wb::Book& origen, int id, wb::Book& destino, const wb::ObjPos& pos) {
  origen.objSelect(id);
  wb::Book::clearClipboard();
  origen.editCopy();
  destino.editPaste();
  wb::Book::clearClipboard();
  // The pasted object has the sheet's highest id (its objects are kept in id order).
  destino.setObjPos(destino.currentSheet().objects.back().id, pos);
}

}  // namespace repgen
