// What the report writers share.
#include "escritores.h"
#include "escritoresinternos.h"

#include "dao.h"
#include "internos.h"
#include "korgen.h"
#include "msgbox.h"
#include "quarvel.h"
#include "utilidades.h"

namespace repgen {

ContextoReporte::Escritor escritorReporte(int tipo) {
  switch (tipo) {
    case kPresupuesto: return reportePresupuesto;
    case kTotalesPresupuesto: return reporteTotalesPresupuesto;
    case kProgramaObra: return reporteProgramaObra;
    case kMontosMensuales: return reporteMontosMensuales;
    case kConceptosPrecios: return reporteConceptosPrecios;
  }
  return nullptr;
}

void registraEscritores(ContextoReporte& rep) {
  for (int tipo = 0; tipo < kTiposReporte; ++tipo)
    rep.setEscritor(tipo, escritorReporte(tipo));
}

namespace detalle {

namespace {

QString texto(const vb::Variant& v) { return v.isNull() ? QString() : vb::CStr(v); }

}  // namespace

Ancla buscaAncla(ContextoReporte& rep, const QString& texto, const QString& otro) {
  if (!rep.buscaEtiqueta(rep.Formato, texto) && !otro.isEmpty())
    rep.buscaEtiqueta(rep.Formato, otro);
  return {rep.colEtiqueta, rep.renEtiqueta};
}

void escribeCampo(wb::Book& celda, const vb::Variant& valor) {
  if (valor.isNull())
    return;
  if (valor.isString())
    celda.setText(valor.rawString());
  else
    celda.setNumber(vb::CDbl(valor));
}

QString descripcionConcepto(dao::Recordset& concepto) {
  const vb::Variant descri = concepto.Value(QStringLiteral("Descri"));
  if (!general::esNulo(descri))
    return vb::Trim(vb::CStr(descri));
  return vb::Trim(texto(concepto.Value(QStringLiteral("Texto"))));
}

std::optional<vb::Variant> campoConcepto(const QString& clave, dao::Recordset& concepto, QString& descripcion,
                                         int ancho) {
  if (clave == QLatin1String("{renglon}") || clave == QStringLiteral("{renglón}"))
    return concepto.Value(QStringLiteral("Renglon"));
  if (clave == QStringLiteral("{código}") || clave == QLatin1String("{codigo}"))
    return concepto.Value(QStringLiteral("Codigo"));
  if (clave == QStringLiteral("{código auxiliar}") || clave == QLatin1String("{codigo auxiliar}"))
    return concepto.Value(QStringLiteral("Codemp"));
  if (clave == QStringLiteral("{descripción}") || clave == QLatin1String("{descripcion}"))
    return vb::Variant(cortaTexto(descripcion, ancho));
  return std::nullopt;
}

void escribeContinuacion(ContextoReporte& rep, QString& descripcion, const Ancla& ancla, int ancho,
                         bool continuacion) {
  rep.escribiendoContinuacion = continuacion;
  while (!descripcion.isEmpty())
    rep.repEscribeTexto(cortaTexto(descripcion, ancho), ancla.col, ancla.col, vb::Variant(int32_t(ancla.ren)), false,
                        true, false, true, true, true);
  rep.escribiendoContinuacion = false;
}

QString remateMoneda(const QString& moneda) {
  auto& monedas = abierto(quarvel::rsMonedasClon);
  monedas.FindFirst(QStringLiteral("Moneda=") + comillas(moneda));
  return monedas.NoMatch() ? QStringLiteral("M.N.") : texto(monedas.Value(QStringLiteral("Remate")));
}

void imprimeTitulosPartida(ContextoReporte& rep, const Ancla& descripcion, const QString& partidaAnterior) {
  const QString partida = texto(abierto(quarvel::rsPresupuestoClon).Value(QStringLiteral("partida")));
  auto& partidas = abierto(quarvel::rsPartidasClon);
  for (int nivel = 1; nivel <= rep.NivelesUsados; ++nivel) {
    const QString codigo = rep.partidaNivel(partida, vb::Variant(int16_t(nivel)));
    if (codigo == rep.partidaNivel(partidaAnterior, vb::Variant(int16_t(nivel))))
      continue;
    partidas.FindFirst(QStringLiteral("Partida=") + comillas(codigo));
    if (!partidas.NoMatch())
      rep.repEscribeTexto(vb::Trim(texto(partidas.Value(QStringLiteral("Texto")))), descripcion.col, descripcion.col,
                          vb::Variant(int32_t(descripcion.ren)), true, true, false, true, false, true);
    if (vb::Trim(partida) == codigo)
      break;
  }
}

void escribeTotalesMonedas(ContextoReporte& rep, const QString& titulo, const Ancla& descripcion,
                           const Ancla& importe) {
  const std::vector<TotalDeMoneda> totales = totalesPorMoneda();
  if (totales.empty())
    return;
  const vb::Variant renDescripcion(int32_t(descripcion.ren)), renImporte(int32_t(importe.ren));
  // At the description anchor: a new row with the anchor's whole look and, unless told, its page check.
  const auto linea = [&](const QString& valor, bool paginar = true) {
    rep.repEscribeTexto(valor, descripcion.col, descripcion.col, renDescripcion, false, true, false, false, true,
                        paginar);
  };
  rep.lineaEnBlanco();
  // The heading is checked against the page with the first currency's line: when that line does not
  // fit, both go to the next page, and no page ends with the heading alone.
  linea(titulo, false);
  rep.repEscribeTexto(QStringLiteral(" "), importe.col, importe.col, renImporte, false, false, true, true, false,
                      false);
  bool primera = true;
  for (const TotalDeMoneda& t : totales) {
    const QString& moneda = t.moneda;
    const vb::Currency suma = t.importe;
    linea(KorGen::Conlet(suma, QStringLiteral("E"), t.texto, remateMoneda(moneda)), !primera);
    rep.repEscribeTexto(suma, importe.col, importe.col, renImporte, false, false, false, true, true, !primera);
    if (primera)
      rep.imprimePieyTitulos(false, true, 2, true);
    primera = false;
    if (rep.ImprimirIva != 1 || moneda != QLatin1String("PESOS"))
      continue;
    const vb::Variant iva = abierto(quarvel::rsDatosGenerales).Value(QStringLiteral("Iva"));
    const vb::Currency tasa = vb::CCur(vb::Variant((general::esNulo(iva) ? 0.0 : vb::CDbl(iva)) / 100));
    const vb::Currency impuesto = vb::CCur(vb::Variant(suma.toDouble() * tasa.toDouble()));
    const vb::Currency total = suma + impuesto;
    linea(QStringLiteral("IVA"));
    rep.repEscribeTexto(impuesto, importe.col, importe.col, renImporte, false, false, true, true, false, true);
    linea(QStringLiteral("TOTAL CON IVA"));
    rep.repEscribeTexto(total, importe.col, importe.col, renImporte, false, false, true, true, false, true);
  }
}

void mantieneEnPagina(ContextoReporte& rep, int renglones) {
  // Without a page foot the sheet makes the pages itself. A closing block may take the page's slack,
  // but not the room a spreadsheet program gives the print header and footer.
  if (rep.renPieIni != 0 && rep.altoUsado > rep.altoUtil + kHolguraPagina - 50 - kHolguraEncabezados)
    rep.imprimePieyTitulos(true, true, renglones, true);
}

void avisaSinRegistros() { ui::MsgBox(QStringLiteral("No hay registros a imprimir")); }

void avisaError(const QString& procedimiento, const vb::Error& e) {
  ui::MsgBox(QStringLiteral("Error en ") + procedimiento + QStringLiteral(": ") + QString::number(e.number()) +
             QLatin1Char(' ') + e.description());
}

}  // namespace detalle

}  // namespace repgen
