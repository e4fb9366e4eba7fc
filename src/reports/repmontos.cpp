// "Montos mensuales": the amount of every concept falling in each period (volume programmed times
// unit price), the year's subtotal after every December and after the last period, the concept's
// total; the page foot's period amounts; at the end the totals per period, accumulated, and both
// rounded up to the next whole peso.
#include "cuadroperiodos.h"
#include "escritores.h"

#include "copiaformato.h"
#include "dao.h"
#include "internos.h"
#include "korgen.h"
#include "metrics.h"
#include "quarvel.h"

#include <cmath>

namespace repgen {

namespace detalle {

void ajustaRedondeoPeriodos(std::vector<vb::Currency>& montos, int n, vb::Currency total) {
  vb::Currency suma;
  for (int i = 1; i <= n; ++i)
    suma += montos[size_t(i)];
  const vb::Currency diferencia = total - suma;
  if (diferencia.scaled() == 0 || n < 1)
    return;
  for (int i = n; i >= 1; --i) {
    vb::Currency& m = montos[size_t(i)];
    if (m.scaled() > 0 && (m + diferencia).scaled() > 0) {
      m += diferencia;
      return;
    }
  }
}

}  // namespace detalle

namespace {

using detalle::kFormatoCantidad;

class MontosMensuales : public detalle::CuadroPeriodos {
public:
  using CuadroPeriodos::CuadroPeriodos;

private:
  int periodos_ = 0;
  ParidadesMoneda paridades_;
  std::vector<vb::Currency> montosConcepto_;  // the current concept's amount per period (1..periodos_)
  std::vector<vb::Currency> totalesReporte_;  // every concept's amount per period, for the totals block
  vb::Currency granTotal_;                    // the amounts of the pass
  // What the concept just written added to the page's period amounts: a page break moves them.
  std::vector<std::pair<int, vb::Currency>> escritos_;

  QString anclaFormato() const override { return QStringLiteral("{importe}"); }
  int columnaMinimaArea() const override { return 16; }
  void preparaReporte() override;
  void escribePeriodos(wb::Book& celda) override { calculaMontosConcepto(celda); }
  void conceptoEscrito() override;
  void finPasada() override { imprimeTotalesMensuales(); }
  void ajustaCifras(const detalle::Ancla& titulo, const QStringList& titulos) override;
  void calculaMontosConcepto(wb::Book& celda);
  void imprimeTotalesMensuales();
};

void MontosMensuales::preparaReporte() {
  const vb::Variant periodos = detalle::abierto(quarvel::rsDatosGenerales).Value(QStringLiteral("Periodos"));
  periodos_ = periodos.isNull() ? 0 : std::max(0, int(vb::CInt(periodos)));
  paridades_ = ParidadesMoneda::lee();
  rep_.totalesPeriodo.assign(size_t(periodos_) + 1, vb::Currency());
  totalesReporte_.assign(size_t(periodos_) + 1, vb::Currency());
  rep_.totalPeriodos = {};
  // The page foot's total of the periods goes under the concepts' totals.
  rep_.columnaTotalPeriodos = formato_.col;
}

// The amount columns (the concept's total and the periods) as wide as the widest figure this report
// prints needs, with their titles whole, never wider than the template made them: a template holds
// the largest amount any budget can have, and what this budget does not need goes to the description.
void MontosMensuales::ajustaCifras(const detalle::Ancla& titulo, const QStringList& titulos) {
  // Every figure of these columns adds amounts of the budget's concepts: none is larger than the sum
  // of their sizes.
  vb::Currency suma;
  bool negativo = false;
  for (rs_.MoveFirst(); !rs_.EOF_(); rs_.MoveNext()) {
    const vb::Currency importe = paridades_.importe(
        rs_.Value(QStringLiteral("Precio")), rs_.Value(QStringLiteral("Moneda")), rs_.Value(QStringLiteral("Cantidad")));
    negativo = negativo || importe < vb::Currency();
    suma += importe < vb::Currency() ? -importe : importe;
  }
  const QString cifra = (negativo ? QStringLiteral("-") : QString()) +
                        vb::Format(vb::Variant(KorGen::RedondeaSuperior(suma.toDouble())), QStringLiteral("#,##0.00"));
  wb::Book& f = rep_.Formato;
  // Totals and year subtotals are bold.
  f.setActiveCell(formato_.ren, formato_.col);
  const double cifras = anchoEnCelda(f.cellStyle(), cifra, true);
  f.setActiveCell(titulo.ren, titulo.col);
  double periodo = std::max(cifras, anchoTextosPlantilla(titulo.col));
  for (const QString& t : titulos)
    periodo = std::max(periodo, anchoEnCelda(f.cellStyle(), t));
  const double importe = std::max(cifras, anchoTextosPlantilla(formato_.col));
  // In whole pixels, as a workbook keeps widths, and a pixel to spare.
  const auto angosta = [](wb::Book& libro, int col, double necesario) {
    const int px = wb::metrics::kTwipsPerPixel;
    const int w = (int(std::ceil(necesario / px)) + 1) * px;
    if (col > 0 && w < libro.colWidth(col))
      libro.setColWidth(col, w);
  };
  // The period titles take their width from the template's title cell.
  angosta(f, titulo.col, periodo);
  if (formato_.col != titulo.col)
    angosta(rep_.Reporte, formato_.col, importe);
}

// The concept's amount per period, rounded, with the rounding difference against the concept's
// amount put in one period so that the cells add up to it; written from the current cell rightwards
// with the year subtotals, then the concept's total of the pass in the "{importe}" column.
void MontosMensuales::calculaMontosConcepto(wb::Book& celda) {
  escritos_.clear();
  // With several currencies the amounts are in national currency, so that periods and totals add up.
  const double precio =
      paridades_.precio(rs_.Value(QStringLiteral("Precio")), rs_.Value(QStringLiteral("Moneda"))).toDouble();
  montosConcepto_.assign(size_t(periodos_) + 1, vb::Currency());
  for (int p = 1; p <= periodos_; ++p)
    if (const std::optional<vb::Currency> v = volumen(p))
      montosConcepto_[size_t(p)] = KorGen::Redondea(v->toDouble() * precio);
  const vb::Currency total = paridades_.importe(rs_.Value(QStringLiteral("Precio")),
                                                rs_.Value(QStringLiteral("Moneda")),
                                                rs_.Value(QStringLiteral("Cantidad")));
  detalle::ajustaRedondeoPeriodos(montosConcepto_, periodos_, total);

  const int ren = celda.row(), primera = celda.col();
  const vb::Currency totalConcepto = escribeColumnasPeriodo(celda, [this](int periodo) -> std::optional<vb::Currency> {
    if (periodo > periodos_ || !volumen(periodo))
      return std::nullopt;
    const vb::Currency m = montosConcepto_[size_t(periodo)];
    rep_.totalesPeriodo[size_t(periodo)] += m;
    totalesReporte_[size_t(periodo)] += m;
    rep_.totalPeriodos += m;
    granTotal_ += m;
    escritos_.emplace_back(periodo, m);
    return m;
  });
  rep_.repEscribeTexto(totalConcepto, formato_.col, formato_.col, vb::Variant(int32_t(formato_.ren)), false, false,
                       false, false, true, false);
  celda.setNumberFormat(kFormatoCantidad);
  celda.setActiveCell(ren, primera);
}

// A page break after the concept's rows takes its period amounts to the next page with them.
void MontosMensuales::conceptoEscrito() {
  rep_.acumulaMontosPeriodo = [this](int signo) {
    for (const auto& [periodo, monto] : escritos_) {
      const vb::Currency m = signo < 0 ? -monto : monto;
      rep_.totalesPeriodo[size_t(periodo)] += m;
      rep_.totalPeriodos += m;
    }
  };
}

// The totals block under the last concept of the pass: the sum of the pass, accumulated, and both
// rounded up to the next peso, per period (with the year subtotals) and in the "{importe}" column.
void MontosMensuales::imprimeTotalesMensuales() {
  wb::Book& r = rep_.Reporte;
  const detalle::Ancla parciales = detalle::buscaAncla(rep_, QStringLiteral("{parciales}"));
  rep_.Formato.setActiveCell(parciales.ren, parciales.col);
  const QString fuente = rep_.Formato.font().name;
  const int primerRenglon = r.row() + 1;
  const QString etiquetas[] = {QStringLiteral("Suma Total"), QStringLiteral("Total Acumulado"),
                               QStringLiteral("Imp. Total redondeado al peso inmediato sup."),
                               QStringLiteral("Total Acumulado redondeado al peso inmediato sup.")};
  for (int i = 0; i < 4; ++i) {
    r.setActiveCell(primerRenglon + i, descripcion_.col - 1);
    if (descripcion_.col > 1) {
      r.setText(etiquetas[i]);
      r.setFont(fuente, 8, true, false, false, false, 0, false, false);
    }
    rep_.AjustaAltura();
  }
  const auto escribe = [&](int ren, int col, vb::Currency importe) {
    if (col < 1)
      return;
    r.setActiveCell(ren, col);
    copiaCeldaAncho(rep_.Formato, parciales.col, parciales.ren, r, false);
    r.setNumber(importe.toDouble());
    rep_.ajustaCifra();
  };
  escribe(primerRenglon, formato_.col, granTotal_);
  escribe(primerRenglon + 2, formato_.col, KorGen::RedondeaSuperior(granTotal_.toDouble()));

  const RangoPeriodos rango = rep_.rangoPeriodos();
  // Accumulated from the first period of the project, so a fiscal year carries what went before it.
  vb::Currency acumulado, subtotal;
  for (int p = 1; p < rango.primero && p <= periodos_; ++p)
    acumulado += totalesReporte_[size_t(p)];
  int col = periodo_.col;
  const auto columna = [&](vb::Currency suma) {
    escribe(primerRenglon, col, suma);
    escribe(primerRenglon + 1, col, acumulado);
    escribe(primerRenglon + 2, col, KorGen::RedondeaSuperior(suma.toDouble()));
    escribe(primerRenglon + 3, col, KorGen::RedondeaSuperior(acumulado.toDouble()));
    ++col;
  };
  for (const ColumnaPeriodo& p : columnasPeriodo(rango)) {
    const vb::Currency suma = p.periodo <= periodos_ ? totalesReporte_[size_t(p.periodo)] : vb::Currency();
    acumulado += suma;
    subtotal += suma;
    columna(suma);
    if (p.subtotal) {
      columna(subtotal);
      subtotal = {};
    }
  }
  r.setActiveCell(primerRenglon + 3, 1);
  granTotal_ = {};
  // A block that does not fit on the page goes to the next one, so that the last page foot stays
  // at the bottom of its page.
  detalle::mantieneEnPagina(rep_, 4);
}

}  // namespace

void reporteMontosMensuales(ContextoReporte& rep) { MontosMensuales(rep).escribe(); }

}  // namespace repgen
