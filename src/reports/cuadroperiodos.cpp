#include "cuadroperiodos.h"

#include "copiaformato.h"
#include "dao.h"
#include "escritores.h"
#include "internos.h"
#include "metrics.h"
#include "msgbox.h"
#include "periodos.h"
#include "quarvel.h"

namespace repgen::detalle {

CuadroPeriodos::CuadroPeriodos(ContextoReporte& rep) : rep_(rep), rs_(abierto(quarvel::rsPresupuestoClon)) {}

QString CuadroPeriodos::clave(const QString& partida, int32_t renglon, int periodo) {
  // Sections compare ignoring letter case, as the database's criteria do.
  return partida.toCaseFolded() + QChar(0x1F) + QString::number(renglon) + QChar(0x1F) + QString::number(periodo);
}

// The whole schedule at once: one look-up per concept and period, not one search of the table.
void CuadroPeriodos::leePrograma() {
  programa_.clear();
  auto rs = abierto(quarvel::dbObra)
                .OpenRecordset(QStringLiteral("SELECT Partida, Renglon, Periodo, Volumen FROM Programa"),
                               dao::RecordsetType::ForwardOnly);
  for (; !rs->EOF_(); rs->MoveNext())
    programa_.insert(clave(vb::CStr(rs->Value(QStringLiteral("Partida"))), vb::CLng(rs->Value(QStringLiteral("Renglon"))),
                           vb::CInt(rs->Value(QStringLiteral("Periodo")))),
                     vb::CCur(rs->Value(QStringLiteral("Volumen"))));
  rs->Close();
}

std::optional<vb::Currency> CuadroPeriodos::volumen(int periodo) const {
  const auto it = programa_.constFind(clave(partida_, renglon_, periodo));
  if (it == programa_.constEnd())
    return std::nullopt;
  return it.value();
}

vb::Currency CuadroPeriodos::escribeColumnasPeriodo(wb::Book& celda,
                                                    const std::function<std::optional<vb::Currency>(int)>& valor) {
  const int ren = celda.row(), primera = celda.col();
  int col = primera;
  const auto siguiente = [&] {
    celda.setActiveCell(ren, col++);
    copiaCeldaAncho(rep_.Formato, formato_.col, formato_.ren, celda, false);
  };
  vb::Currency subtotal, total;
  for (const ColumnaPeriodo& p : columnasPeriodo(rep_.rangoPeriodos())) {
    siguiente();
    if (const std::optional<vb::Currency> v = valor(p.periodo)) {
      celda.setNumber(v->toDouble());
      celda.setNumberFormat(kFormatoCantidad);
      subtotal += *v;
      total += *v;
    } else {
      celda.setText(QStringLiteral(" "));
      celda.setNumberFormat(QStringLiteral(" "));
    }
    if (p.subtotal) {
      siguiente();
      celda.setNumber(subtotal.toDouble());
      celda.setNumberFormat(kFormatoCantidad);
      celda.setFontBold(true);
      subtotal = {};
    }
  }
  celda.setActiveCell(ren, primera);
  return total;
}

bool CuadroPeriodos::campoPropio(const QString&, vb::Variant&, QString&) { return false; }

// A detail cell: the keys of every concept report, the report's own, or the period run. A value
// that cannot be written as a number is written as text; other errors are told and the cell stays
// as the template had it.
void CuadroPeriodos::completaConcepto(wb::Book& celda) {
  const QString clave = vb::LCase(celda.text());
  if (clave == QLatin1String("{periodo}")) {
    try {
      if (abierto(quarvel::rsPrograma).RecordCount() > 0)
        escribePeriodos(celda);
    } catch (const vb::Error& e) {
      ui::MsgBox(QStringLiteral("Imprimeperiodos: Error no. ") + QString::number(e.number()) + QLatin1Char(' ') +
                 e.description());
    }
    return;
  }
  vb::Variant valor = vb::Variant::null();
  try {
    QString formato;
    if (auto v = campoConcepto(clave, rs_, descripcionPendiente_, 255))
      valor = *v;
    else if (!campoPropio(clave, valor, formato))
      return;
    escribeCampo(celda, valor);
    if (!formato.isEmpty())
      celda.setNumberFormat(formato);
  } catch (const vb::Error& e) {
    if (e.number() == 13)
      celda.setText(vb::CStr(valor));
    else
      ui::MsgBox(QStringLiteral("rcPresupuesto: Error no. ") + QString::number(e.number()) + QLatin1Char(' ') +
                 e.description());
  }
}

// A schedule wider than the paper prints in strips of periods, one page across after the other. The
// columns left of the period run (code, description, unit, quantity, the concept's amount: whatever
// the template has there) are repeated on every page across (the sheet's print titles, set once the
// pages are written), and the strips are the sheet's column breaks: so every page shows which
// concept a row is, and the pages across are the same here and in any spreadsheet program, however
// it reads the column widths. The description column then takes the width that the period columns
// leave unused on the paper, in as few strips as the widest pass needs: its rows wrap less and the
// report takes fewer pages down.
void CuadroPeriodos::ajustaAlPapel() {
  wb::Book& r = rep_.Reporte;
  if (periodo_.col <= 1)
    return;
  // The report's period columns take the width of the template's period title.
  Ancla titulo = buscaAncla(rep_, QStringLiteral("{título periodo}"), QStringLiteral("{titulo periodo}"));
  if (titulo.col == 0)
    titulo = periodo_;
  auto& dg = abierto(quarvel::rsDatosGenerales);
  const bool meses = periodos::periodicidadDe(dg.Value(QStringLiteral("Periodicidad"))) == periodos::kMensual;
  int columnas = 0;  // of the widest pass, its year subtotals included
  QStringList titulos{QStringLiteral("Total")};
  const auto cuenta = [&] {
    int n = 0;
    for (const ColumnaPeriodo& c : columnasPeriodo(rep_.rangoPeriodos())) {
      n += c.subtotal ? 2 : 1;
      titulos << tituloPeriodo(c, meses);
    }
    columnas = std::max(columnas, n);
  };
  if (rep_.ImprimePorEjercicio) {
    for (int anio = rep_.EjercicioInicial; anio <= rep_.EjercicioFinal; ++anio) {
      rep_.EjercicioActual = int16_t(anio);
      cuenta();
    }
  } else {
    rep_.EjercicioActual = 1;
    cuenta();
  }
  ajustaCifras(titulo, titulos);
  // Widths as the widest reading of them prints them.
  const double escala = wb::metrics::colWidthSpread(r.workbook().defaultFont());
  const double anchoPeriodo = rep_.Formato.colWidth(titulo.col) * escala;
  double fijas = 0;
  for (int col = 1; col < periodo_.col; ++col)
    fijas += r.colWidth(col) * escala;
  const double ancho = rep_.anchoUtil - kHolguraAncho;
  if (columnas == 0 || anchoPeriodo <= 0 || fijas + anchoPeriodo > ancho)
    return;
  const int caben = int((ancho - fijas) / anchoPeriodo);
  const int paginas = (columnas + caben - 1) / caben;
  const int porPagina = (columnas + paginas - 1) / paginas;
  for (int i = 1; i < paginas; ++i)
    r.addColPageBreak(periodo_.col + i * porPagina);
  const double sobra = (ancho - fijas - porPagina * anchoPeriodo) / escala;
  if (descripcion_.col >= 1 && descripcion_.col < periodo_.col && sobra > 0)
    r.setColWidth(descripcion_.col, r.colWidth(descripcion_.col) + int(sobra));
}

double CuadroPeriodos::anchoEnCelda(const wb::CellStyle& estilo, const QString& texto, bool negrita) {
  wb::Font fuente = estilo.font;
  fuente.bold = fuente.bold || negrita;
  return wb::metrics::textWidth(fuente, texto) + 2 * wb::metrics::kCellPadTwips + wb::metrics::indentTwips(estilo);
}

double CuadroPeriodos::anchoTextosPlantilla(int col) {
  wb::Book& f = rep_.Formato;
  double ancho = 0;
  for (const auto& [primero, ultimo] : {std::pair(rep_.renTitulosIni, rep_.renTitulosFin),
                                        std::pair(rep_.renPieIni, rep_.renPieFin)}) {
    for (int ren = primero; primero > 0 && ren <= ultimo; ++ren) {
      f.setActiveCell(ren, col);
      const QString texto = f.text();
      if (texto.contains(QLatin1Char('{')))
        continue;
      for (const QString& linea : texto.split(QLatin1Char('\n')))
        if (!linea.trimmed().isEmpty())
          ancho = std::max(ancho, anchoEnCelda(f.cellStyle(), linea));
    }
  }
  return ancho;
}

void CuadroPeriodos::escribe() {
  try {
    if (validaCantidadesPrograma(rep_.muestraDiferencias))
      return;
    if (abierto(quarvel::rsPrograma).RecordCount() == 0) {
      avisaSinRegistros();
      return;
    }
    calculaTotalLetra();
    if (rs_.RecordCount() == 0)
      return;
    rs_.MoveLast();
    periodo_ = buscaAncla(rep_, QStringLiteral("{periodo}"));
    descripcion_ = buscaAncla(rep_, QStringLiteral("{descripción}"), QStringLiteral("{descripcion}"));
    formato_ = buscaAncla(rep_, anclaFormato());
    rep_.NivelMaximo();
    rep_.Reporte.setActiveCell(1, 1);
    leePrograma();
    preparaReporte();
    ajustaAlPapel();
    if (rep_.ImprimePorEjercicio) {
      // A report that has passed the row limit has no room for a further year.
      pasadas_ = std::max(1, rep_.EjercicioFinal - rep_.EjercicioInicial + 1);
      for (int anio = rep_.EjercicioInicial; anio <= rep_.EjercicioFinal && !rep_.pasaLimite() && !rep_.cancelado;
           ++anio) {
        rep_.EjercicioActual = int16_t(anio);
        pasada();
      }
    } else {
      rep_.EjercicioActual = 1;
      pasada();
    }
    rep_.Reporte.setRow(1);
  } catch (const vb::Error& e) {
    ui::MsgBox(QStringLiteral("ErrorRepCuadro: ") + QString::number(e.number()) + QStringLiteral("  ") +
               e.description());
  }
}

void CuadroPeriodos::pasada() {
  rs_.MoveFirst();
  rep_.imprimeTitulos();
  const int renglones = rep_.renglonesDetalle();
  QString partidaAnterior;
  for (; !rs_.EOF_(); rs_.MoveNext()) {
    rep_.imprimePieyTitulos(false, true, renglones, true);
    partida_ = vb::CStr(rs_.Value(QStringLiteral("partida")));
    renglon_ = vb::CLng(rs_.Value(QStringLiteral("Renglon")));
    imprimeTitulosPartida(rep_, descripcion_, partidaAnterior);
    partidaAnterior = partida_;
    descripcionPendiente_ = descripcionConcepto(rs_);

    rep_.escribeDetalle([this](wb::Book& celda) { completaConcepto(celda); });
    conceptoEscrito();
    rep_.imprimePieyTitulos(false, true, renglones, true);
    rep_.importeRenglon = {};
    rep_.acumulaMontosPeriodo = nullptr;

    escribeContinuacion(rep_, descripcionPendiente_, descripcion_, 255, true);
    if (rep_.pasaLimite() || rep_.soloMuestra || !rep_.avanza(++hechos_, pasadas_ * int(rs_.RecordCount())))
      break;
  }
  if (rep_.cancelado)
    return;
  finPasada();
  rep_.revisaSaltoHoja(true);
  rep_.AjustaAltura();
  if (rep_.pasaLimite())
    avisaLimite();
  wb::Book& r = rep_.Reporte;
  const int ultimaColumna = rep_.ultimaColumnaReporte >= columnaMinimaArea() ? rep_.ultimaColumnaReporte : r.lastCol();
  // A later fiscal year with fewer periods must not cut an earlier year's off the print.
  columnaFinal_ = std::max(columnaFinal_, ultimaColumna);
  r.setPrintArea(wb::Range{1, 1, r.lastRow(), columnaFinal_});
  if (periodo_.col > 1)
    r.pageSetup().titleCols = std::make_pair(1, periodo_.col - 1);
  r.setRow(r.lastRow() + 1);
}

}  // namespace repgen::detalle
