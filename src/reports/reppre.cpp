// The budget reports: the whole budget concept by concept ("Presupuesto") and the budget by section
// ("Totales del presupuesto").
#include "escritores.h"
#include "escritoresinternos.h"

#include "calculos.h"
#include "dao.h"
#include "internos.h"
#include "jettext.h"
#include "korgen.h"
#include "quarvel.h"
#include "utilidades.h"

#include <array>

namespace repgen {

namespace {

using detalle::abierto;
using detalle::Ancla;
using detalle::comillas;

QString texto(const vb::Variant& v) { return v.isNull() ? QString() : vb::CStr(v); }

// A text as the database compares it: letter case folded, one code point at a time.
QString plegado(const QString& s) {
  std::u32string t;
  for (const char32_t c : s.toUcs4())
    t += dao::jettext::fold(c);
  return QString::fromUcs4(t.data(), qsizetype(t.size()));
}

// The budget's amounts by section and currency, read once per report: a section's total per
// currency is the sum of the budget rows whose section code begins with the section's, as the saved
// query UnaPartida sums them, without reading the whole budget again for every section that closes.
class TotalesSeccion {
public:
  struct Total {
    QString moneda;
    QString textoMoneda;
    vb::Currency importe;
  };
  void lee(dao::Database& db, const MonedaNacional& nacional);
  // The totals of the section, one per currency, in the order of the currency codes.
  std::vector<Total> de(const QString& seccion) const;

private:
  struct Grupo {
    QString clave;  // the section code as compared
    QString moneda;
    QString textoMoneda;
    vb::Currency importe;
  };
  std::vector<Grupo> grupos_;  // by clave
};

void TotalesSeccion::lee(dao::Database& db, const MonedaNacional& nacional) {
  grupos_.clear();
  auto rs = db.OpenRecordset(
      QStringLiteral("SELECT Presupuesto.Partida, Presupuesto.Moneda, Monedas.Texto AS TextoM, "
                     "Sum(Presupuesto.Importe) AS Importe "
                     "FROM Presupuesto LEFT JOIN Monedas ON Presupuesto.Moneda = Monedas.Moneda "
                     "GROUP BY Presupuesto.Partida, Presupuesto.Moneda, Monedas.Texto"),
      dao::RecordsetType::ForwardOnly);
  for (; !rs->EOF_(); rs->MoveNext()) {
    const vb::Variant importe = rs->Value(QStringLiteral("Importe"));
    const vb::Variant moneda = rs->Value(QStringLiteral("Moneda"));
    grupos_.push_back({plegado(texto(rs->Value(QStringLiteral("Partida")))), nacional.de(moneda),
                       general::esNulo(moneda) ? nacional.texto : texto(rs->Value(QStringLiteral("TextoM"))),
                       importe.isNull() ? vb::Currency() : vb::CCur(importe)});
  }
  rs->Close();
  std::stable_sort(grupos_.begin(), grupos_.end(), [](const Grupo& a, const Grupo& b) { return a.clave < b.clave; });
}

std::vector<TotalesSeccion::Total> TotalesSeccion::de(const QString& seccion) const {
  const QString clave = plegado(seccion);
  std::vector<Total> totales;
  auto it = std::lower_bound(grupos_.begin(), grupos_.end(), clave,
                             [](const Grupo& g, const QString& c) { return g.clave < c; });
  for (; it != grupos_.end() && it->clave.startsWith(clave); ++it) {
    // A currency's rows go together whatever the letter case of its code, as the query groups them.
    auto t = std::find_if(totales.begin(), totales.end(),
                          [&](const Total& x) { return dao::jettext::compare(x.moneda, it->moneda) == 0; });
    if (t == totales.end())
      t = totales.insert(totales.end(), Total{it->moneda, it->textoMoneda, {}});
    if (t->textoMoneda.isEmpty())
      t->textoMoneda = it->textoMoneda;
    t->importe += it->importe;
  }
  std::stable_sort(totales.begin(), totales.end(),
                   [](const Total& a, const Total& b) { return dao::jettext::compare(a.moneda, b.moneda) < 0; });
  return totales;
}

// One run of the budget report.
class Presupuesto {
public:
  explicit Presupuesto(ContextoReporte& rep) : rep_(rep), rs_(abierto(quarvel::rsPresupuestoClon)) {}
  void escribe();

private:
  ContextoReporte& rep_;
  dao::Recordset& rs_;
  Ancla descripcion_, letra_, importe_;
  QString partidaActual_, partidaAnterior_;
  QString descripcionPendiente_;
  vb::Currency importeConcepto_;
  vb::Currency totalPresupuesto_;
  vb::Currency totalReporte_;
  std::array<vb::Currency, 8> totalesNivel_{};
  vb::Currency totalNacional_;
  MonedaNacional nacional_;
  TotalesSeccion totalesSeccion_;

  void imprimeTotalPartida();
  void escribeLineaImporte(const QString& linea, vb::Currency importe, const QString& letra);
  void completaRenglonConcepto(wb::Book& celda);
};

void Presupuesto::escribe() {
  Calculos::CalculaImportes();
  rep_.Clasificacion = 1;
  if (rs_.RecordCount() == 0) {
    detalle::avisaSinRegistros();
    return;
  }
  calculaTotalLetra();
  totalNacional_ = totalMonedaNacional();
  if (!rep_.cargaTotalesMoneda())
    return;
  descripcion_ = detalle::buscaAncla(rep_, QStringLiteral("{descripción}"), QStringLiteral("{descripcion}"));
  letra_ = detalle::buscaAncla(rep_, QStringLiteral("{precio con letra}"));
  importe_ = detalle::buscaAncla(rep_, QStringLiteral("{importe}"));

  nacional_ = MonedaNacional::lee();
  totalesSeccion_.lee(abierto(quarvel::dbObra), nacional_);

  rs_.MoveFirst();
  rep_.Reporte.setActiveCell(1, 1);
  rep_.imprimeTitulos();
  rep_.NivelMaximo();
  const int renglones = rep_.renglonesDetalle();
  bool primerConcepto = true;
  const int conceptos = int(rs_.RecordCount());
  int hechos = 0;
  for (; !rs_.EOF_(); rs_.MoveNext()) {
    rep_.imprimePieyTitulos(false, true, renglones, true);
    partidaActual_ = texto(rs_.Value(QStringLiteral("partida")));
    if (primerConcepto)
      primerConcepto = false;
    else
      imprimeTotalPartida();
    detalle::imprimeTitulosPartida(rep_, descripcion_, partidaAnterior_);
    partidaAnterior_ = partidaActual_;
    descripcionPendiente_ = detalle::descripcionConcepto(rs_);

    importeConcepto_ = vb::CCur(rs_.Value(QStringLiteral("Importe")));
    const QString moneda = nacional_.de(rs_.Value(QStringLiteral("Moneda")));
    totalPresupuesto_ += importeConcepto_;
    rep_.acumulaMoneda(moneda, 2, importeConcepto_);
    rep_.acumulaMoneda(moneda, 3, importeConcepto_);

    rep_.escribeDetalle([this](wb::Book& celda) { completaRenglonConcepto(celda); });
    // A page break here takes the concept to the next page with its amount.
    rep_.importeRenglon = importeConcepto_;
    rep_.monedaRenglon = moneda;
    rep_.imprimePieyTitulos(false, true, renglones, true);
    rep_.importeRenglon = {};
    importeConcepto_ = {};

    detalle::escribeContinuacion(rep_, descripcionPendiente_, descripcion_, rep_.LongitudConcepto, false);
    if (rep_.pasaLimite() || rep_.soloMuestra || !rep_.avanza(++hechos, conceptos))
      break;
  }
  if (rep_.cancelado)
    return;
  partidaActual_.clear();
  imprimeTotalPartida();

  detalle::escribeTotalesMonedas(rep_, QStringLiteral("TOTAL DEL  PRESUPUESTO"), descripcion_, importe_);
  rep_.revisaSaltoHoja(true);
  if (rep_.pasaLimite())
    avisaLimite();
}

// Total lines of the section levels that close between the previous concept and this one, the
// deepest first, one per currency of the section.
void Presupuesto::imprimeTotalPartida() {
  int profundo = rep_.NivelesUsados;
  profundo = std::min(profundo, rep_.nivelPartida(partidaAnterior_));
  auto& partidas = abierto(quarvel::rsPartidasClon);
  for (int nivel = profundo; nivel >= 1; --nivel) {
    const vb::Variant n{int16_t(nivel)};
    const QString codigo = rep_.partidaNivel(partidaAnterior_, n);
    if (codigo == rep_.partidaNivel(partidaActual_, n))
      continue;
    partidas.FindFirst(QStringLiteral("Partida=") + comillas(codigo));
    if (partidas.NoMatch())
      continue;
    const QString linea =
        vb::Left(QStringLiteral("Total  ") + vb::Trim(texto(partidas.Value(QStringLiteral("Texto")))), 70);
    for (const TotalesSeccion::Total& t : totalesSeccion_.de(codigo))
      escribeLineaImporte(linea, t.importe,
                          KorGen::Conlet(t.importe, QStringLiteral("E"), t.textoMoneda, detalle::remateMoneda(t.moneda)));
  }
}

// A total line: the text at the description, the amount in words and the amount, bold with a rule
// over it. The row is measured once all three are written, and only then checked against the page:
// amounts in words make tall rows, which must not run past the page's end.
void Presupuesto::escribeLineaImporte(const QString& linea, vb::Currency importe, const QString& letra) {
  rep_.repEscribeTexto(linea, descripcion_.col, descripcion_.col, vb::Variant(int32_t(descripcion_.ren)), false, true,
                       false, false, false, false);
  rep_.repEscribeTexto(letra, letra_.col, letra_.col, vb::Variant(int32_t(letra_.ren)), false, false, false, false,
                       true, false);
  rep_.repEscribeTexto(importe, importe_.col, importe_.col, vb::Variant(int32_t(importe_.ren)), true, false, true,
                       false, false, false);
  rep_.AjustaAltura();
  rep_.imprimePieyTitulos(false, false, 1, true);
}

void Presupuesto::completaRenglonConcepto(wb::Book& celda) {
  const QString clave = vb::LCase(celda.text());
  vb::Variant valor = vb::Variant::null();
  if (auto v = detalle::campoConcepto(clave, rs_, descripcionPendiente_, rep_.LongitudConcepto)) {
    valor = *v;
  } else if (clave == QLatin1String("{partida}")) {
    valor = rs_.Value(QStringLiteral("partida"));
  } else if (clave == QLatin1String("{unidad}")) {
    valor = rs_.Value(QStringLiteral("Unidad"));
  } else if (clave == QLatin1String("{volumen}")) {
    valor = rs_.Value(QStringLiteral("Cantidad"));
  } else if (clave == QLatin1String("{precio}")) {
    valor = rs_.Value(QStringLiteral("Precio"));
  } else if (clave == QLatin1String("{precio con letra}")) {
    auto& monedas = abierto(quarvel::rsMonedasClon);
    monedas.FindFirst(QStringLiteral("Moneda=") + comillas(nacional_.de(rs_.Value(QStringLiteral("Moneda")))));
    valor = monedas.NoMatch() ? QString()
                              : KorGen::Conlet(vb::CCur(rs_.Value(QStringLiteral("Precio"))), QStringLiteral("E"),
                                               texto(monedas.Value(QStringLiteral("Texto"))),
                                               texto(monedas.Value(QStringLiteral("Remate"))));
  } else if (clave == QLatin1String("{importe}")) {
    valor = importeConcepto_;
    totalReporte_ += importeConcepto_;
    for (int nivel = 1; nivel <= rep_.NivelesUsados && nivel <= 7; ++nivel)
      totalesNivel_[size_t(nivel)] += importeConcepto_;
  } else if (clave == QLatin1String("{porcentaje}")) {
    // A budget worth nothing in national currency has no shares.
    valor = totalNacional_.scaled() == 0
                ? 0.0
                : KorGen::redondeaEspecial(importeConcepto_.toDouble() / totalNacional_.toDouble(), 6);
  }
  detalle::escribeCampo(celda, valor);
}

// One row of the totals per section: a section's total in one currency.
struct TotalPartida {
  vb::Variant partida, textoP, total;
  QString moneda, textoM;
};

// The rows of TotalPartidas, a section's concepts without currency in its row of the national
// currency.
std::vector<TotalPartida> leeTotalesPartida(dao::Database& db) {
  const MonedaNacional nacional = MonedaNacional::lee();
  std::vector<TotalPartida> filas;
  size_t inicio = 0;  // the first row of the section being read: its rows come together
  auto rs = db.OpenRecordset(QStringLiteral("TotalPartidas"), dao::RecordsetType::Snapshot);
  for (; !rs->EOF_(); rs->MoveNext()) {
    const vb::Variant moneda = rs->Value(QStringLiteral("Moneda"));
    TotalPartida fila{rs->Value(QStringLiteral("partida")), rs->Value(QStringLiteral("TextoP")),
                      rs->Value(QStringLiteral("TotalPartida")), nacional.de(moneda),
                      general::esNulo(moneda) ? nacional.texto : texto(rs->Value(QStringLiteral("TextoM")))};
    if (filas.empty() || texto(filas.back().partida) != texto(fila.partida))
      inicio = filas.size();
    const auto igual = std::find_if(filas.begin() + qsizetype(inicio), filas.end(), [&](const TotalPartida& f) {
      return dao::jettext::compare(f.moneda, fila.moneda) == 0;
    });
    if (igual == filas.end()) {
      filas.push_back(fila);
      // By currency code within the section, as the query orders them.
      std::stable_sort(filas.begin() + qsizetype(inicio), filas.end(),
                       [](const TotalPartida& a, const TotalPartida& b) {
                         return dao::jettext::compare(a.moneda, b.moneda) < 0;
                       });
      continue;
    }
    const auto importe = [](const vb::Variant& v) { return v.isNull() ? vb::Currency() : vb::CCur(v); };
    igual->total = vb::Variant(importe(igual->total) + importe(fila.total));
    if (igual->textoM.isEmpty())
      igual->textoM = fila.textoM;
  }
  rs->Close();
  return filas;
}

// One row of the totals per section: its code, name, currency and amount.
void completaRenglonPartida(wb::Book& celda, const TotalPartida& fila) {
  const QString clave = vb::LCase(celda.text());
  vb::Variant valor;
  if (clave == QLatin1String("{partida}"))
    valor = fila.partida;
  else if (clave == QStringLiteral("{descripción partida}") || clave == QLatin1String("{descripcion partida}"))
    valor = fila.textoP;
  else if (clave == QLatin1String("{importe partida}"))
    valor = fila.total;
  else if (clave == QStringLiteral("{descripción moneda}") || clave == QLatin1String("{descripcion moneda}"))
    valor = vb::Trim(fila.textoM);
  else
    return;
  detalle::escribeCampo(celda, valor.isNull() ? vb::Variant(" ") : valor);
}

}  // namespace

void reportePresupuesto(ContextoReporte& rep) {
  try {
    Presupuesto(rep).escribe();
  } catch (const vb::Error& e) {
    detalle::avisaError(QStringLiteral("Reppre.reportePresupuesto"), e);
  }
}

void reporteTotalesPresupuesto(ContextoReporte& rep) {
  try {
    Calculos::CalculaImportes();
    const std::vector<TotalPartida> filas = leeTotalesPartida(abierto(quarvel::dbObra));
    if (filas.empty()) {
      detalle::avisaSinRegistros();
      return;
    }
    const Ancla importe = detalle::buscaAncla(rep, QStringLiteral("{importe partida}"));
    const Ancla descripcion =
        detalle::buscaAncla(rep, QStringLiteral("{descripción partida}"), QStringLiteral("{descripcion partida}"));
    rep.Reporte.setActiveCell(1, 1);
    rep.imprimeTitulos();
    // The sheet pages these rows itself: no page checks, and no page foot to close.
    int hechas = 0;
    for (const TotalPartida& fila : filas) {
      rep.escribeDetalle([&fila](wb::Book& celda) { completaRenglonPartida(celda, fila); });
      if (rep.pasaLimite() || rep.soloMuestra || !rep.avanza(++hechas, int(filas.size())))
        break;
    }
    if (rep.cancelado)
      return;
    detalle::escribeTotalesMonedas(rep, QStringLiteral("IMPORTE PRESUPUESTO"), descripcion, importe);
  } catch (const vb::Error& e) {
    detalle::avisaError(QStringLiteral("Reppre.reporteTotalesPresupuesto"), e);
  }
}

}  // namespace repgen
