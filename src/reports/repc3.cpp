// "Conceptos,cantidades y precios": every concept with its quantity, unit price and amount under
// its section headings, the sum of each page, the total and the total rounded up to the next peso.
// With several currencies every row is in national currency: the price converted by its currency's
// parity like the amount, so that quantity × price = amount on every row and rows, page sums and
// totals add up in one currency; a line after the totals names the parities used. A budget of one
// currency prints its own prices and amounts.
#include "escritores.h"
#include "escritoresinternos.h"

#include "dao.h"
#include "internos.h"
#include "korgen.h"
#include "metrics.h"
#include "quarvel.h"

namespace repgen {

namespace {

using detalle::abierto;
using detalle::Ancla;

using detalle::kFormatoCantidad;

class ConceptosPrecios {
public:
  explicit ConceptosPrecios(ContextoReporte& rep) : rep_(rep), rs_(abierto(quarvel::rsPresupuestoClon)) {}
  void escribe();

private:
  ContextoReporte& rep_;
  dao::Recordset& rs_;
  Ancla descripcion_, importe_;
  QString descripcionPendiente_;
  vb::Currency importeConcepto_;
  vb::Currency totalReporte_;
  // A budget of several currencies has its prices and amounts in national currency.
  ParidadesMoneda paridades_;

  void completaConceptoPrecios(wb::Book& celda);
  void escribeParidades(const std::vector<std::pair<QString, vb::Currency>>& otras);
};

void ConceptosPrecios::escribe() {
  if (validaCantidadesPrograma(rep_.muestraDiferencias))
    return;
  if (abierto(quarvel::rsPrograma).RecordCount() == 0) {
    detalle::avisaSinRegistros();
    return;
  }
  calculaTotalLetra();
  if (rs_.RecordCount() == 0)
    return;
  paridades_ = ParidadesMoneda::lee();
  rs_.MoveLast();
  rs_.MoveFirst();
  descripcion_ = detalle::buscaAncla(rep_, QStringLiteral("{descripción}"), QStringLiteral("{descripcion}"));
  importe_ = detalle::buscaAncla(rep_, QStringLiteral("{importe}"));
  rep_.totalAcumulado = {};
  totalReporte_ = {};

  rep_.Reporte.setActiveCell(1, 1);
  rep_.imprimeTitulos();
  rep_.NivelMaximo();
  const int renglones = rep_.renglonesDetalle();
  const vb::Variant renDescripcion(int32_t(descripcion_.ren)), renImporte(int32_t(importe_.ren));
  QString partidaAnterior;
  const int conceptos = int(rs_.RecordCount());
  int hechos = 0;
  for (; !rs_.EOF_(); rs_.MoveNext()) {
    rep_.imprimePieyTitulos(false, true, renglones, true);
    detalle::imprimeTitulosPartida(rep_, descripcion_, partidaAnterior);
    partidaAnterior = vb::CStr(rs_.Value(QStringLiteral("partida")));
    descripcionPendiente_ = detalle::descripcionConcepto(rs_);

    importeConcepto_ = {};
    rep_.escribeDetalle([this](wb::Book& celda) { completaConceptoPrecios(celda); });
    // A page break here takes the concept and its amount to the next page.
    rep_.importeRenglon = importeConcepto_;
    rep_.imprimePieyTitulos(false, true, renglones, true);
    rep_.importeRenglon = {};

    detalle::escribeContinuacion(rep_, descripcionPendiente_, descripcion_, 255, true);
    if (rep_.pasaLimite() || rep_.soloMuestra || !rep_.avanza(++hechos, conceptos))
      break;
  }
  if (rep_.cancelado)
    return;

  // The totals, bold, each row fitted once both its cells are written. When they do not fit on
  // the page they go to the next one, so that the last page foot stays at the bottom of its page.
  rep_.repEscribeTexto(QStringLiteral("Suma Total"), importe_.col - 1, descripcion_.col, renDescripcion, true, true,
                       false, false, true, false);
  rep_.repEscribeTexto(totalReporte_, importe_.col, importe_.col, renImporte, true, false, false, true, true, false);
  rep_.repEscribeTexto(QStringLiteral("Importe del Cto. cerrado al peso inmediato sup."), descripcion_.col,
                       descripcion_.col, renDescripcion, true, true, false, false, true, false);
  rep_.repEscribeTexto(KorGen::RedondeaSuperior(totalReporte_.toDouble()), importe_.col, importe_.col, renImporte,
                       true, false, false, false, true, false);
  rep_.ajustaCifra();
  rep_.AjustaAltura();
  int cierre = 2;
  if (const auto otras = paridades_.extranjeras(); !otras.empty()) {
    escribeParidades(otras);
    ++cierre;
  }
  detalle::mantieneEnPagina(rep_, cierre);
  rep_.revisaSaltoHoja(true);
  if (rep_.pasaLimite())
    avisaLimite();
  rep_.Reporte.setPrintArea(wb::Range{1, 1, rep_.Reporte.lastRow(), rep_.Reporte.lastCol()});
  rep_.Reporte.setRow(1);
}

// The line after the totals of a budget of several currencies: "Precios en moneda nacional." and
// each other currency at its parity. On one row, running over the empty cells to its right, when it
// fits before the report's last column; else wrapped in its column.
void ConceptosPrecios::escribeParidades(const std::vector<std::pair<QString, vb::Currency>>& otras) {
  QStringList paridades;
  for (const auto& [moneda, paridad] : otras)
    paridades << moneda + QStringLiteral(" a ") + vb::Format(vb::Variant(paridad), QStringLiteral("#,##0.00##"));
  const QString nota = QStringLiteral("Precios en moneda nacional. ") + paridades.join(QStringLiteral(", "));
  rep_.repEscribeTexto(nota, descripcion_.col, descripcion_.col, vb::Variant(int32_t(descripcion_.ren)), false, true,
                       false, false, true, false);
  wb::Book& r = rep_.Reporte;
  int ancho = 0;
  for (int col = descripcion_.col; col <= r.lastCol(); ++col)
    ancho += r.colWidth(col);
  wb::Book::Alignment alineacion = r.alignment();
  if (wb::metrics::textWidth(r.cellStyle().font, nota) + 2 * wb::metrics::kCellPadTwips < ancho) {
    alineacion.wrap = false;
    r.setAlignment(alineacion);
  }
  rep_.AjustaAltura();
}

void ConceptosPrecios::completaConceptoPrecios(wb::Book& celda) {
  const QString clave = vb::LCase(celda.text());
  vb::Variant valor = vb::Variant::null();
  bool cantidad = false;
  if (auto v = detalle::campoConcepto(clave, rs_, descripcionPendiente_, 255)) {
    valor = *v;
  } else if (clave == QLatin1String("{unidad}")) {
    valor = rs_.Value(QStringLiteral("Unidad"));
  } else if (clave == QLatin1String("{volumen}")) {
    valor = rs_.Value(QStringLiteral("Cantidad"));
    cantidad = true;
  } else if (clave == QLatin1String("{precio}")) {
    valor = rs_.Value(QStringLiteral("Precio"));
    if (!valor.isNull())
      valor = paridades_.precio(valor, rs_.Value(QStringLiteral("Moneda")));
    cantidad = true;
  } else if (clave == QLatin1String("{importe}")) {
    importeConcepto_ = paridades_.importe(rs_.Value(QStringLiteral("Precio")), rs_.Value(QStringLiteral("Moneda")),
                                          rs_.Value(QStringLiteral("Cantidad")));
    valor = importeConcepto_;
    rep_.totalAcumulado += importeConcepto_;
    totalReporte_ += importeConcepto_;
  }
  detalle::escribeCampo(celda, valor);
  if (cantidad && !valor.isNull())
    celda.setNumberFormat(kFormatoCantidad);
}

}  // namespace

void reporteConceptosPrecios(ContextoReporte& rep) {
  try {
    ConceptosPrecios(rep).escribe();
  } catch (const vb::Error& e) {
    detalle::avisaError(QStringLiteral("RepC3.reporteConceptosPrecios"), e);
  }
}

}  // namespace repgen
