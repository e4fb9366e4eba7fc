// Report placeholders: per-currency and period amounts, period titles and the general data of the
// bid, filled into title rows, page-foot rows and the print header and footer.
#include "contextoreporte.h"

#include "copiaformato.h"
#include "dao.h"
#include "internos.h"
#include "periodos.h"
#include "quarvel.h"
#include "vbdate.h"

namespace repgen {

namespace {

using detalle::comillas;

// The numeric value of two characters of a placeholder ("{parcial01}" -> 1), as a place in a table
// counted from 1.
TotalMoneda& totalMoneda(std::vector<TotalMoneda>& totales, const QString& texto, int desde) {
  const double n = vb::Val(vb::Mid(texto, desde, 2));
  if (n < 1 || n > double(totales.size()))
    throw vb::Error(9);
  return totales[size_t(n) - 1];
}

vb::Currency totalPeriodo(const std::vector<vb::Currency>& totales, int periodo) {
  if (periodo < 0 || periodo >= int(totales.size()))
    throw vb::Error(9);
  return totales[size_t(periodo)];
}

// The general placeholders and their fields of DatosGenerales.
struct CampoGeneral {
  const char16_t* etiqueta;
  const char* campo;
};
constexpr CampoGeneral kCampos[] = {
    {u"{razón social}", "nombreEmpresa"},     {u"{razon social}", "nombreEmpresa"},
    {u"{dom fiscal}", "DomicilioFiscal"},     {u"{colonia}", "ColoniaEmpresa"},
    {u"{rfc}", "RfcEmpresa"},                 {u"{cp}", "cpEmpresa"},
    {u"{telefono}", "telefonoEmpresa"},       {u"{domicilio}", "direccion"},
    {u"{ciudad}", "ciudad"},                  {u"{cmic}", "cmic"},
    {u"{infonavit}", "infonavit"},            {u"{responsable}", "responsable"},
    {u"{cargo}", "cargo"},                    {u"{dependencia}", "nomdependencia1"},
    {u"{dependencia 2}", "nomdependencia2"},  {u"{dependencia 3}", "nomdependencia3"},
    {u"{área}", "area"},                      {u"{area}", "area"},
    {u"{departamento}", "departamento"},      {u"{fecha de concurso}", "fechaconcurso"},
    {u"{número de concurso}", "numeroconcurso"}, {u"{numero de concurso}", "numeroconcurso"},
    {u"{número de contrato}", "numcontrato"}, {u"{numero de contrato}", "numcontrato"},
    {u"{importe total}", "totalletra"},       {u"{lugar de concurso}", "lugarconcurso"},
    {u"{nombre de la obra}", "nombreobra"},   {u"{nombre de la obra 2}", "nombreobra2"},
    {u"{nombre de la obra 3}", "nombreobra3"}, {u"{nombre de la obra 4}", "nombreobra4"},
    {u"{nombre de la obra 5}", "nombreobra5"}, {u"{nombre de la obra 6}", "nombreobra6"},
    {u"{lugar de la obra}", "ubicadireccion"}, {u"{ciudad de la obra}", "ubicaciudad"},
    {u"{estado de la obra}", "ubicaestado"},  {u"{fecha inicio}", "fechainicioproy"},
    {u"{fecha terminación}", "fechafinalproy"}, {u"{fecha terminacion}", "fechafinalproy"},
    {u"{imss}", "imss"},                      {u"{titulo}", "titulo"},
    {u"{titulo 2}", "titulo2"},               {u"{titulo 3}", "titulo3"},
    {u"{titulo 4}", "titulo4"},               {u"{titulo 5}", "titulo5"},
    {u"{nombre}", "nombre"},                  {u"{nombre 2}", "nombre2"},
    {u"{nombre 3}", "nombre3"},               {u"{nombre 4}", "nombre4"},
    {u"{nombre 5}", "nombre5"},
};

}  // namespace

bool escribeValor(wb::Book& hoja, const vb::Variant& valor) {
  if (valor.isNull())
    return false;
  if (vb::IsNumeric(valor))
    hoja.setNumber(vb::CDbl(valor));
  else if (vb::IsDate(valor))
    hoja.setDate(vb::CDate(valor));
  else
    hoja.setText(vb::CStr(valor));
  return true;
}

QString cortaTexto(QString& texto, int ancho) {
  QString linea;
  if (ancho < 5) {
    linea = vb::Left(texto, 255);
    texto.clear();
    return linea;
  }
  const int p = vb::InStr(texto, QStringLiteral("\r\n"));
  if (p >= 1 && p <= ancho + 1) {
    linea = vb::Left(texto, p - 1);
    texto = vb::LTrim(vb::Mid(texto, p + 2));
    return linea;
  }
  if (texto.size() <= ancho) {
    linea = texto;
    texto.clear();
    return linea;
  }
  linea = vb::Left(texto, ancho);
  qsizetype k = linea.size();
  while (k > 0 && linea[k - 1] != QLatin1Char(' '))
    --k;
  if (k > 0)  // cut after the last blank; a first line with none is cut at the width
    linea.truncate(k);
  texto = vb::LTrim(vb::Mid(texto, int(linea.size()) + 1));
  return linea;
}

EtiquetaGeneral campoEtiquetaGeneral(const QString& etiqueta) {
  const QString t = vb::LCase(vb::Trim(etiqueta));
  EtiquetaGeneral r;
  for (const CampoGeneral& c : kCampos)
    if (t == QStringView(c.etiqueta)) {
      r.tipo = EtiquetaGeneral::Campo;
      r.campo = QString::fromLatin1(c.campo);
      return r;
    }
  if (t == QLatin1String("{plazo}")) {
    auto& dg = detalle::abierto(quarvel::rsDatosGenerales);
    r.tipo = EtiquetaGeneral::Calculo;
    r.valor = vb::CDate(dg.Value(QStringLiteral("FechaFinalProy"))) -
              vb::CDate(dg.Value(QStringLiteral("FechaInicioProy"))) + 1;
  }
  return r;
}

std::optional<wb::CellRef> ContextoReporte::buscaEtiqueta(wb::Book& hoja, const QString& texto) {
  const int r0 = hoja.row(), c0 = hoja.col();
  renEtiqueta = 0;
  colEtiqueta = 0;
  std::optional<wb::CellRef> hallada;
  const int ultimoRen = hoja.lastRow(), ultimaCol = hoja.lastCol();
  if (ultimoRen > 0 && ultimaCol > 0)
    hallada = hoja.find(texto, 1, 1, ultimoRen, ultimaCol, 0);
  if (hallada) {
    renEtiqueta = hallada->row;
    colEtiqueta = hallada->col;
  }
  hoja.setActiveCell(r0, c0);
  return hallada;
}

bool ContextoReporte::completaEtiquetasRenglon(wb::Book& hoja) {
  try {
    const QString texto = hoja.text();
    const QString t = vb::LCase(texto);
    if (t.startsWith(QLatin1String("{moneda"))) {
      const QString moneda = totalMoneda(totalesMoneda, texto, 8).moneda;
      auto& rs = detalle::abierto(quarvel::rsMonedasClon);
      rs.FindFirst(QStringLiteral("Moneda=") + comillas(moneda));
      hoja.setText(rs.NoMatch() ? moneda : vb::CStr(rs.Value(QStringLiteral("Texto"))));
    } else if (t == QLatin1String("{parcial}")) {
      hoja.setNumber(totalAcumulado.toDouble());
      hoja.setNumberFormat(QStringLiteral("$##,###,###,##0.00##"));
      totalAcumulado = {};
    } else if (t == QLatin1String("{parciales}")) {
      escribeParciales(hoja);
    } else if (t.startsWith(QLatin1String("{parcial"))) {
      TotalMoneda& m = totalMoneda(totalesMoneda, texto, 9);
      hoja.setNumber(m.pagina.toDouble());
      m.pagina = {};
    } else if (t.startsWith(QLatin1String("{acumulado"))) {
      hoja.setNumber(totalMoneda(totalesMoneda, texto, 11).acumulado.toDouble());
    } else if (t == QLatin1String("{titulo periodo}") || t == QStringLiteral("{título periodo}")) {
      return escribeTitulosPeriodo(hoja);
    } else {
      escribeGenerales(hoja, texto);
    }
  } catch (const vb::Error&) {
    // A placeholder that cannot be resolved keeps what the cell already shows.
  }
  return false;
}

// {parciales}: the page's period amounts from this cell rightwards, a year subtotal after each
// year's last period and after the last period, and the total of the periods in the block's total column;
// all of them start again from 0 for the next page.
void ContextoReporte::escribeParciales(wb::Book& hoja) {
  const int r = hoja.row(), c0 = hoja.col();
  int c = c0;
  vb::Currency subtotal;
  for (const ColumnaPeriodo& p : columnasPeriodo(rangoPeriodos())) {
    const vb::Currency importe = totalPeriodo(totalesPeriodo, p.periodo);
    hoja.setActiveCell(r, c++);
    hoja.setNumber(importe.toDouble());
    // The page's amounts, as its total below: the next page starts its own.
    totalesPeriodo[size_t(p.periodo)] = {};
    subtotal += importe;
    if (p.subtotal) {
      hoja.setActiveCell(r, c++);
      hoja.setNumber(subtotal.toDouble());
      subtotal = {};
    }
  }
  if (columnaTotalPeriodos > 0) {
    hoja.setActiveCell(r, columnaTotalPeriodos);
    hoja.setNumber(totalPeriodos.toDouble());
  }
  totalPeriodos = {};
  hoja.setActiveCell(r, c0);
}

// {titulo periodo}: one title per period, a "Total" after each year's last period and after the last
// period, each with the look and width of the template's title cell; the year over the first period
// of each year, in the row above. A month is titled by its name ("Mar 2025"); a fortnight, week or day
// by its first day ("17/03"), the first period from the project's start.
QString tituloPeriodo(const ColumnaPeriodo& p, bool meses) {
  return meses ? mesAbreviado(p.mes) + QLatin1Char(' ') + QString::number(p.anio)
               : QStringLiteral("%1/%2").arg(vb::day(p.dia), 2, 10, QLatin1Char('0')).arg(p.mes, 2, 10, QLatin1Char('0'));
}

bool ContextoReporte::escribeTitulosPeriodo(wb::Book& hoja) {
  auto& dg = detalle::abierto(quarvel::rsDatosGenerales);
  const vb::Variant periodos = dg.Value(QStringLiteral("Periodos"));
  if (periodos.isNull() || vb::CInt(periodos) == 0)
    return false;
  const bool meses = periodos::periodicidadDe(dg.Value(QStringLiteral("Periodicidad"))) == periodos::kMensual;
  if (!buscaEtiqueta(Formato, QStringLiteral("{título periodo}")))
    buscaEtiqueta(Formato, QStringLiteral("{titulo periodo}"));
  const int renTitulo = renEtiqueta, colTitulo = colEtiqueta;
  Formato.setActiveCell(renTitulo, colTitulo);
  const wb::CellStyle estiloTitulo = Formato.cellStyle();
  const int r = hoja.row(), c0 = hoja.col();
  int c = c0;
  int anioEscrito = 0;
  const auto titulo = [&](const QString& texto) {
    hoja.setActiveCell(r, c);
    copiaFormatoCelda(Formato, colTitulo, renTitulo, hoja);
    hoja.setText(texto);
  };
  for (const ColumnaPeriodo& p : columnasPeriodo(rangoPeriodos())) {
    titulo(tituloPeriodo(p, meses));
    if (p.anio != anioEscrito && r > 1) {
      hoja.setActiveCell(r - 1, c);
      hoja.setCellStyle(estiloBordes(hoja.cellStyle(), estiloTitulo));
      hoja.setPattern(0, wb::kKeepColor, wb::kKeepColor);
      hoja.setText(QString::number(p.anio));
      anioEscrito = p.anio;
    }
    ++c;
    if (p.subtotal) {
      titulo(QStringLiteral("Total"));
      ultimaColumnaReporte = c++;
    }
  }
  hoja.setActiveCell(r, c0);
  return true;
}

// Any other text: its general placeholders replaced by the general data; the result written as a
// number or a date when it reads as one.
void ContextoReporte::escribeGenerales(wb::Book& hoja, const QString& texto) {
  auto& dg = detalle::abierto(quarvel::rsDatosGenerales);
  QString resultado;
  resultado.reserve(texto.size());
  for (qsizetype i = 0; i < texto.size();) {
    if (texto[i] != QLatin1Char('{')) {
      resultado += texto[i++];
      continue;
    }
    const qsizetype fin = texto.indexOf(QLatin1Char('}'), i);
    if (fin < 0) {  // an unclosed brace stays as typed
      resultado += texto.mid(i);
      break;
    }
    const QString etiqueta = texto.mid(i, fin - i + 1);
    const EtiquetaGeneral g = campoEtiquetaGeneral(etiqueta);
    if (g.tipo == EtiquetaGeneral::Campo) {
      const vb::Variant v = dg.Value(g.campo);
      if (!v.isNull())
        resultado += vb::CStr(v);
    } else if (g.tipo == EtiquetaGeneral::Calculo) {
      resultado += vb::CStr(g.valor);
    } else {
      resultado += etiqueta;
    }
    i = fin + 1;
  }
  escribeValor(hoja, vb::Variant(resultado));
}

}  // namespace repgen
