// Writing primitives: one value, one blank line or one page change in the report, each cell looking
// like a template cell, with the used page height kept in step with the rows written.
#include "contextoreporte.h"

#include "copiaformato.h"
#include "korgen.h"
#include "metrics.h"

#include <cmath>

namespace repgen {

namespace {

// The template row of a writer's call: 0 writes nothing; text that is no number is error 13.
int32_t renglonPlantilla(const vb::Variant& renFormato) { return vb::CLng(renFormato); }

void escribeNumeroOTexto(wb::Book& hoja, const vb::Variant& valor) {
  if (vb::IsNumeric(valor))
    hoja.setNumber(vb::CDbl(valor));
  else
    hoja.setText(valor.isNull() ? QString() : vb::CStr(valor));
}

}  // namespace

void ContextoReporte::repEscribeTexto(const vb::Variant& valor, int32_t col, int32_t colFormato,
                                      const vb::Variant& renFormato, bool negrita, bool renglonNuevo, bool raya,
                                      bool ajustar, bool formatoCompleto, bool paginar) {
  if (renglonNuevo)
    Reporte.setRow(Reporte.row() + 1);
  const int32_t ren = renglonPlantilla(renFormato);
  if (ren == 0 || col == 0 || colFormato == 0)
    return;
  Reporte.setCol(col);
  Formato.setActiveCell(ren, colFormato);
  if (formatoCompleto)
    copiaSeccion(Formato, Reporte);
  else
    copiaBordes(Formato, Reporte);
  escribeNumeroOTexto(Reporte, valor);
  if (negrita)
    Reporte.setFontBold(true);
  if (raya)
    subRaya();
  if (ajustar)
    AjustaAltura();
  if (paginar)
    imprimePieyTitulos(false, false, 1, true);
}

void ContextoReporte::EscribeFuente(const vb::Variant& valor, int32_t col, int32_t colFormato,
                                    const vb::Variant& renFormato, bool desplazar, int tipoFormato, bool negrita) {
  const int32_t columna = desplazar ? col + 1 : col;
  const int32_t ren = renglonPlantilla(renFormato);
  if (ren == 0 || columna == 0 || colFormato == 0)
    return;
  Reporte.setCol(columna);
  Formato.setActiveCell(ren, colFormato);
  copiaSeccion(Formato, Reporte);
  copiaBordes(Formato, Reporte);
  if (vb::IsNumeric(valor)) {
    Reporte.setNumber(vb::CDbl(valor));
    switch (tipoFormato) {
      case 1: Reporte.setNumberFormat(QStringLiteral("$#,##0.00")); break;
      case 2: Reporte.setNumberFormat(QStringLiteral("#,##0.00")); break;
      case 3: Reporte.setNumberFormat(QStringLiteral("#,##0.0000%")); break;
      default: break;
    }
  } else {
    Reporte.setText(valor.isNull() ? QString() : vb::CStr(valor));
  }
  if (negrita)
    Reporte.setFontBold(true);
}

void ContextoReporte::AjustaAltura() {
  const int r = Reporte.row();
  Reporte.setRowHeightAuto(r, 1, r, 255, true);
  altoUsado += Reporte.rowHeight(r);
}

void ContextoReporte::subRaya() {
  const wb::Book::Borders b = Reporte.border();
  Reporte.setBorder(1, b.left, b.right, b.top, b.bottom, b.shade ? 1 : 0, b.crLeft, b.crLeft, b.crRight, b.crTop,
                    b.crBottom);
  Reporte.setBorder(-1, 0, 0, -1, 0, -1, wb::kKeepColor, wb::kKeepColor, wb::kKeepColor, wb::kKeepColor,
                    wb::kKeepColor);
}

void ContextoReporte::ajustaCifra() {
  const int r = Reporte.row(), c = Reporte.col();
  const QString cifra = Reporte.workbook().displayText(Reporte.currentSheet(), r, c);
  wb::CellStyle estilo = Reporte.cellStyle();
  // The room a figure has, as the renderer measures it, less a pixel.
  const double ancho = Reporte.colWidth(c) - 2 * wb::metrics::kCellPadTwips - wb::metrics::indentTwips(estilo) -
                       wb::metrics::kTwipsPerPixel;
  const int minimo = 100;  // five points
  bool cambia = false;
  while (estilo.font.sizeTwips > minimo && wb::metrics::textWidth(estilo.font, cifra) > ancho) {
    estilo.font.sizeTwips -= 10;
    cambia = true;
  }
  if (cambia)
    Reporte.setCellStyle(estilo);
}

void ContextoReporte::lineaEnBlanco() {
  Reporte.setRow(Reporte.row() + 1);
  AjustaAltura();
}

void ContextoReporte::lineaEnBlancoSinSombra() {
  Reporte.setRow(Reporte.row() + 1);
  Reporte.setRowHeight(Reporte.row(), 50);
  altoUsado += 50;
  lineaEnBlanco();
}

void ContextoReporte::escribeDetalle(const std::function<void(wb::Book&)>& completa) {
  for (int ren = renDetalleIni; ren <= renDetalleFin; ++ren) {
    Reporte.setRow(Reporte.row() + 1);
    for (int col = 1; col <= columnasFormato; ++col) {
      Formato.setActiveCell(ren, col);
      const QString texto = Formato.text();
      if (KorGen::esNuloRep(vb::Variant(texto)))
        continue;
      Reporte.setCol(col);
      copiaSeccion(Formato, Reporte);
      Reporte.setText(texto);
      if (completa)
        completa(Reporte);
    }
    AjustaAltura();
  }
}

void ContextoReporte::imprimePieyTitulos(bool forzar, bool arrastrar, int renglones, bool sumar) {
  if (altoUsado < altoUtil && !forzar)
    return;
  const int32_t R = Reporte.row();
  // The rows written last go to the next page: with arrastrar the block of `renglones` rows, else
  // the row that did not fit.
  const int llevar = arrastrar ? std::max(1, renglones) : 1;
  if (arrastrar) {
    for (int i = 2; i <= renglones; ++i)
      altoUsado -= Reporte.rowHeight(R - i + 1);
    Reporte.setRow(std::max(1, R - renglones + 1));
  }
  const int32_t primero = Reporte.row();
  // Titles left to the sheet: the rows stay where they are and nothing is written again.
  const bool titulosPorHoja = sinRepetirTitulos && !primeraPagina;
  // The rows are kept while the closing page's foot and the next page's titles take their place.
  std::vector<wb::Row> llevados;
  wb::Sheet& hojaReporte = Reporte.currentSheet();
  if (!titulosPorHoja) {
    for (int32_t r = primero; r < primero + llevar; ++r)
      llevados.push_back(hojaReporte.row(r) ? *hojaReporte.row(r) : wb::Row{});
    // Emptied (heights kept) so that the foot and titles written over them show nothing of them.
    Reporte.clearRange(primero, 1, primero + llevar - 1, 255, wb::Book::ClearMode::All);
    Reporte.setRow(primero);
  }
  revisaSaltoHoja(false);
  imprimeTitulos();
  Reporte.setRow(Reporte.row() + (arrastrar ? renglones : 1));
  if (!titulosPorHoja) {
    const int32_t ultimo = Reporte.row();
    for (int i = 0; i < llevar; ++i)
      hojaReporte.rowAt(ultimo - llevar + 1 + i) = llevados[size_t(i)];
    hojaReporte.touch();
  }
  if (sumar)
    for (int i = 1; i <= renglones; ++i)
      altoUsado += Reporte.rowHeight(Reporte.row() - i + 1);
  Formato.setRow(renDetalleIni);
}

}  // namespace repgen
