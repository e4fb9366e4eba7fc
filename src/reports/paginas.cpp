// Page foot, title block and the amounts carried from page to page.
#include "contextoreporte.h"

#include "copiaformato.h"
#include "internos.h"
#include "korgen.h"

#include <algorithm>
#include <cmath>

namespace repgen {

using detalle::sigue;

// Copies the template's drawing objects that lie inside template rows primero..ultimo into the
// report, moved down by `desplazamiento` rows. The walk ends at the first error.
void ContextoReporte::copiaObjetosSeccion(int primero, int ultimo, int desplazamiento) {
  try {
    const int ultimoId = KorGen::UltimoObjeto(Formato);
    if (ultimoId == 0)
      return;
    for (int id = Formato.objFirstId();; id = Formato.objNextId(id)) {
      wb::ObjPos p = Formato.objPos(id);
      if (!(p.y1 <= primero - 1 || p.y2 > ultimo)) {
        p.y1 += desplazamiento;
        p.y2 += desplazamiento;
        copiaObjeto(Formato, id, Reporte, p);
      }
      if (id >= ultimoId)
        break;
    }
  } catch (const vb::Error&) {
    // An object that cannot be read or placed ends the walk; the page goes on without it.
  }
}

// Copies template rows primero..ultimo into the report from its current row: each row's height,
// every column's look, and the text of the cells that have one, with its placeholders filled. A row
// of period titles is complete once they are written. A page foot under period titles ends at their
// last column: a fiscal year with fewer periods than the template holds leaves the columns after
// its own without a look, so that they print no page of their own. Both current rows end after the
// last one.
void ContextoReporte::copiaRenglonesSeccion(int primero, int ultimo, bool titulos) {
  const int columnas =
      !titulos && ultimaColumnaReporte > 0 ? std::min(columnasFormato, ultimaColumnaReporte) : columnasFormato;
  for (int ren = primero; ren <= ultimo; ++ren) {
    Formato.setRow(ren);
    sigue([&] { Reporte.setRowHeight(Reporte.row(), Formato.rowHeight(ren)); });
    for (int col = 1; col <= columnas; ++col) {
      bool completo = false;
      sigue([&] {
        Formato.setActiveCell(ren, col);
        Reporte.setCol(col);
        copiaSeccion(Formato, Reporte);
        const QString texto = Formato.text();
        if (!KorGen::esNuloRep(vb::Variant(texto))) {
          Reporte.setText(texto);
          completo = completaEtiquetasRenglon(Reporte);
        }
      });
      if (titulos && completo)
        break;
    }
    Formato.setRow(ren + 1);
    Reporte.setRow(Reporte.row() + 1);
  }
}

void ContextoReporte::revisaSaltoHoja(bool cierre) {
  if (renPieIni == 0)
    return;
  Formato.setRow(renPieIni);
  if (cierre)
    Reporte.setRow(Reporte.row() + 1);
  const bool mueveImportes = !cierre && !escribiendoContinuacion;
  if (mueveImportes) {
    // The row that did not fit goes to the next page: out of this page's height and totals.
    sigue([&] { altoUsado -= Reporte.rowHeight(Reporte.row()); });
    sigue([&] {
      acumulaMoneda(monedaRenglon, 2, -importeRenglon);
      acumulaMoneda(monedaRenglon, 3, -importeRenglon);
    });
    sigue([&] { totalAcumulado -= importeRenglon; });
    sigue([&] {
      if (acumulaMontosPeriodo)
        acumulaMontosPeriodo(-1);
    });
  }
  // Filler row, so that the foot lands at the bottom of the printed page.
  if (altoUsado + 50 < altoUtil && !soloMuestra) {
    sigue([&] {
      const int r = Reporte.row();
      Reporte.clearRange(r, 1, r, 255, wb::Book::ClearMode::All);
      Reporte.setRowHeight(r, int(std::nearbyint((altoUtil - altoUsado) * 0.995)));
      Reporte.setRow(r + 1);
    });
  }
  const int32_t R = Reporte.row();
  copiaObjetosSeccion(renPieIni, renPieFin, R - renPieIni);
  Reporte.setRow(R);
  copiaRenglonesSeccion(renPieIni, renPieFin, false);
  if (mueveImportes) {
    sigue([&] {
      acumulaMoneda(monedaRenglon, 2, importeRenglon);
      acumulaMoneda(monedaRenglon, 3, importeRenglon);
    });
    sigue([&] { totalAcumulado += importeRenglon; });
    sigue([&] {
      if (acumulaMontosPeriodo)
        acumulaMontosPeriodo(1);
    });
  }
}

void ContextoReporte::imprimeTitulos() {
  altoUsado = 0;
  ++numeroPagina;
  if (!primeraPagina && sinRepetirTitulos) {
    // The sheet repeats the titles on the pages it makes.
    Reporte.setRow(Reporte.row() + 1);
    renFinTitulos = Reporte.row();
    Reporte.setRow(Reporte.row() - 1);
    primeraPagina = false;
    return;
  }
  const int32_t R = Reporte.row();
  sigue([&] { Reporte.clearRange(R, 1, R + (renTitulosFin - renTitulosIni), 255, wb::Book::ClearMode::All); });
  // Pictures are placed by the row the titles start at, whatever the template's first title row.
  copiaObjetosSeccion(renTitulosIni, renTitulosFin, R - renTitulosIni);
  Reporte.setRow(R);
  Formato.setRow(renTitulosIni);
  if (!primeraPagina)
    Reporte.addRowPageBreak(R);
  primeraPagina = false;
  copiaRenglonesSeccion(renTitulosIni, renTitulosFin, true);
  Reporte.setRow(Reporte.row() - 1);
  renFinTitulos = Reporte.row();
  if (sinRepetirTitulos) {
    // The titles as written on page 1 become the sheet's print titles.
    Reporte.setSelection(R, 1, renFinTitulos, 255);
    Reporte.setPrintTitlesFromSelection();
    Reporte.setActiveCell(renFinTitulos, 1);
  } else {
    Reporte.setPrintTitlesFromSelection();
  }
}

}  // namespace repgen
