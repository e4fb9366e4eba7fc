// The generation driver: the template widened where the bid decides its shape, its sections found,
// the page set up, then the writer of the kind.
#include "contextoreporte.h"

#include "copiaformato.h"
#include "dao.h"
#include "internos.h"
#include "korgen.h"
#include "msgbox.h"
#include "periodos.h"
#include "puntero.h"
#include "quarvel.h"

#include <QRegularExpression>

namespace repgen {

namespace {

// Puts things back however the generation ends.
template <typename F> struct AlSalir {
  F f;
  ~AlSalir() { f(); }
};
template <typename F> AlSalir(F) -> AlSalir<F>;

int alturaRenglones(const wb::Book& hoja, int primero, int ultimo) {
  int alto = 0;
  if (primero > 0)
    for (int r = primero; r <= ultimo; ++r)
      alto += hoja.rowHeight(r);
  return alto;
}

}  // namespace

bool ContextoReporte::GeneraReporte() {
  // What the writers recalculate into the bid (amounts, the total in words) stays in memory when the
  // bid cannot be written: printing only reads it.
  dao::MemoryWrites recalculos;
  AlSalir fin{[this] {
    puntero::Normal();
    Reporte.setRepaint(true);
  }};
  cancelado = false;
  Formato.read(libro);
  // The chosen sheet is widened, not whichever the file had active.
  if (hojaIndice >= 0 && hojaIndice < Formato.numSheets())
    Formato.setSheet(hojaIndice + 1);
  if (tipo == kPresupuesto) {
    const int monedas = int(totalesPorMoneda().size());
    if (monedas == 0)
      return false;
    expandeMonedas(monedas);
  }
  if (tipo == kMontosMensuales)
    expandePeriodos();
  LeeParametros();
  if (!PreparaPagina())
    return false;
  const Escritor& escritor = escritores_[size_t(tipo)];
  if (!escritor)
    return false;
  escritor(*this);
  Reporte.setActiveCell(1, 1);
  Reporte.showActiveCell();
  return !cancelado;
}

bool ContextoReporte::GeneraMuestra() {
  AlSalir fin{[this] {
    soloMuestra = false;
    Reporte.setShowGridlines(false);
    Reporte.setShowHeadings(false);
  }};
  Reporte.clearAll();
  soloMuestra = true;
  return GeneraReporte();
}

// One currency row per currency of the bid: the template's last row (the currency row) is copied
// above itself until there is one per currency, and each copy's currency label and amount
// placeholders are numbered for its currency, so a label stands beside its own amounts.
void ContextoReporte::expandeMonedas(int monedas) {
  const int R = Formato.lastRow(), C = Formato.lastCol();
  if (R == 0 || monedas < 1)
    return;
  wb::Sheet& hojaFormato = Formato.currentSheet();
  if (monedas > 1) {
    Formato.insertRange(R, 1, R + monedas - 2, C);
    const wb::Row ultimo = *hojaFormato.row(R + monedas - 1);
    for (int i = 0; i < monedas - 1; ++i)
      hojaFormato.rowAt(R + i) = ultimo;
    hojaFormato.touch();
  }
  static const QRegularExpression numerada(QStringLiteral("^\\{(parcial|acumulado|moneda)\\d\\d"),
                                           QRegularExpression::CaseInsensitiveOption);
  for (int i = 1; i <= monedas; ++i) {
    const int ren = R + i - 1;
    const QString numero = vb::Format(vb::Variant(int32_t(i)), QStringLiteral("00"));
    for (wb::Cell& celda : hojaFormato.rowAt(ren).cells) {
      if (celda.type != wb::Cell::Type::Text)
        continue;
      const QRegularExpressionMatch m = numerada.match(celda.text);
      if (m.hasMatch())
        celda.text.replace(m.capturedLength(1) + 1, 2, numero);
    }
    hojaFormato.touch();
    Formato.setActiveCell(ren, 5);
    Formato.setText(QStringLiteral("{Moneda") + numero + QLatin1Char('}'));
    const wb::Book::FontAttr f = Formato.font();
    Formato.setFont(QStringLiteral("Arial"), 8, f.bold, f.italic, f.underline, f.strike, f.color, f.outline, f.shadow);
  }
}

// The look of "{parciales}" copied into the columns to its right that the period amounts of the
// page foot fill (one per period, and one per year subtotal), so that copying the foot's columns
// gives them their format; the same columns of the "{importe}" row get that cell's look. Exactly
// those columns: a formatted column beyond the last one the report fills would print as a page of
// its own across.
void ContextoReporte::expandePeriodos() {
  if (!buscaEtiqueta(Formato, QStringLiteral("{parciales}")))
    return;
  const int ren = renEtiqueta, col = colEtiqueta;
  auto& dg = detalle::abierto(quarvel::rsDatosGenerales);
  const vb::Variant v = dg.Value(QStringLiteral("Periodos"));
  const int periodos = v.isNull() ? 0 : vb::CInt(v);
  int ultima = col + periodos + 2;  // without a start date the years are not known
  if (periodos > 0 && !dg.Value(QStringLiteral("FechaInicioProy")).isNull()) {
    const auto columnas = columnasPeriodo(
        repgen::rangoPeriodos(vb::CDate(dg.Value(QStringLiteral("FechaInicioProy"))), periodos,
                              periodos::periodicidadDe(dg.Value(QStringLiteral("Periodicidad"))), false, 0));
    ultima = col + int(columnas.size()) - 1;
    for (const ColumnaPeriodo& c : columnas)
      ultima += c.subtotal ? 1 : 0;
  }
  for (int c = col + 1; c <= ultima; ++c) {
    Formato.setActiveCell(ren, c);
    copiaCelda(Formato, col, ren, Formato);
  }
  if (buscaEtiqueta(Formato, QStringLiteral("{importe}"))) {
    const int renImporte = renEtiqueta, colImporte = colEtiqueta;
    for (int c = col + 1; c <= ultima; ++c) {
      Formato.setActiveCell(renImporte, c);
      copiaCelda(Formato, colImporte, renImporte, Formato);
    }
  }
}

void ContextoReporte::BuscaSecciones() {
  renTitulosIni = renTitulosFin = renDetalleIni = renDetalleFin = renPieIni = renPieFin = 0;
  Formato.setActiveCell(1, 1);
  const int ultimo = Formato.lastRow();
  if (ultimo == 0)
    return;
  // Markers stand alone in their cell of the first column.
  const auto busca = [&](const QString& marca) {
    renEncontrado = 0;
    if (auto hit = Formato.find(marca, 1, 1, ultimo, 1, 2))
      renEncontrado = hit->row;
    return renEncontrado;
  };
  if (int r = busca(QStringLiteral("{titulos}")))
    renTitulosIni = r + 1;
  if (int r = busca(QStringLiteral("{detalle}"))) {
    renDetalleIni = r + 1;
    renTitulosFin = renDetalleIni - 2;
  }
  if (int r = busca(QStringLiteral("{pie de página}"))) {
    renPieIni = r + 1;
    renDetalleFin = renPieIni - 2;
  }
  if (renPieIni != 0)
    renPieFin = ultimo;
  else
    renDetalleFin = ultimo;
  if (renTitulosIni == 0)
    renTitulosFin = 0;
  if (renPieIni == 0)
    renPieFin = 0;
}

bool ContextoReporte::PreparaPagina() {
  puntero::Reloj();
  Reporte.setRepaint(false);
  Reporte.setActiveCell(1, 1);
  primeraPagina = true;
  // A new run: nothing of the previous report counts.
  numeroPagina = 0;
  altoUsado = 0;
  renFinTitulos = 0;
  ultimaColumnaReporte = 0;
  totalesMoneda.clear();
  totalAcumulado = {};
  totalesPeriodo.clear();
  totalPeriodos = {};
  columnaTotalPeriodos = 0;
  importeRenglon = {};
  monedaRenglon.clear();
  acumulaMontosPeriodo = nullptr;
  escribiendoContinuacion = false;

  if (KorGen::ExisteArchivo(libro)) {
    Reporte.read(libro);
    Formato.setSheet(hojaIndice + 1);
    hoja = Formato.sheetName(hojaIndice + 1);
    for (int i = 1; Reporte.numSheets() > 1 && i <= Reporte.numSheets();) {
      if (Reporte.sheetName(i) != hoja)
        Reporte.deleteSheets(i, 1);
      else
        ++i;
    }
  }
  Reporte.clearAll();
  recorreObjetos(Reporte);
  if (Reporte.objectsSelected())
    Reporte.editClear();
  Reporte.setActiveCell(1, 1);

  columnasFormato = Formato.lastCol();
  BuscaSecciones();
  if (renTitulosIni == 0) {
    ui::MsgBox(QStringLiteral("Necesita identificar la seccion de titulos, rectifique "));
    return false;
  }
  if (renDetalleIni == 0) {
    ui::MsgBox(QStringLiteral("Necesita identificar la seccion de detalle, rectifique "));
    return false;
  }
  const int ultimoRen = Formato.lastRow(), ultimaCol = Formato.lastCol();
  hayLogotipo = Formato.find(QStringLiteral("{logotipo}"), 1, 1, ultimoRen, ultimaCol, 2).has_value() ||
                KorGen::UltimoObjeto(Formato) != 0;

  const bool horizontal = Formato.printLandscape();
  if (horizontal && impresora->orientacion() != 2)
    impresora->setOrientacion(2);
  else if (!horizontal && impresora->orientacion() == 2)
    impresora->setOrientacion(1);
  altoPapel = impresora->altoPapel();
  const wb::PageSetup& pagina = Reporte.pageSetup();
  anchoUtil = impresora->anchoPapel() - (pagina.left + pagina.right) * kTwipsPorPulgada;

  Formato.setRowHeightAuto(1, 1, ultimoRen, 255, true);
  altoTitulos = alturaRenglones(Formato, renTitulosIni, renTitulosFin);
  altoPie = alturaRenglones(Formato, renPieIni, renPieFin);
  altoPapel -= (Reporte.printTopMargin() + Reporte.printBottomMargin()) * 2.54 * 565.0;
  sinRepetirTitulos = !hayLogotipo && renPieIni == 0;
  altoUtil = altoPapel - altoTitulos - altoPie - kHolguraPagina;

  // The print header and footer get their placeholders through a cell of the scratch sheet.
  const auto completa = [&](const QString& texto) {
    Evalua.clearRange(22, 15, 22, 15, wb::Book::ClearMode::All);
    Evalua.setActiveCell(22, 15);
    Evalua.setText(texto);
    completaEtiquetasRenglon(Evalua);
    return Evalua.text();
  };
  Reporte.setPrintHeader(completa(Reporte.printHeader()));
  Reporte.setPrintFooter(completa(Reporte.printFooter()));
  return true;
}

}  // namespace repgen
