// Partida levels, budget totals, parity and month helpers.
#include "contextoreporte.h"

#include "dao.h"
#include "internos.h"
#include "jettext.h"
#include "korgen.h"
#include "quarvel.h"
#include "utilidades.h"
#include "vbdate.h"

#include <QHash>

#include <algorithm>

namespace repgen {

namespace {

using detalle::comillas;

QString textoDe(const vb::Variant& v) { return v.isNull() ? QString() : vb::CStr(v); }

}  // namespace

void ContextoReporte::NivelMaximo() {
  auto& dg = detalle::abierto(quarvel::rsDatosGenerales);
  NivelesUsados = 0;
  for (int k = 1; k <= 7; ++k) {
    const vb::Variant v = dg.Value(QStringLiteral("nivel%1").arg(k));
    longitudNivel[size_t(k)] = v.isNull() ? int16_t(0) : vb::CInt(v);
    if (longitudNivel[size_t(k)] > 0)
      NivelesUsados = int16_t(k);
  }
  for (int k = 2; k <= 7; ++k)
    longitudNivel[size_t(k)] = int16_t(longitudNivel[size_t(k)] + longitudNivel[size_t(k - 1)]);
}

QString ContextoReporte::partidaNivel(const QString& codigo, const vb::Variant& nivel) const {
  if (vb::Trim(codigo).isEmpty())
    return QString();
  const int n = vb::CInt(nivel);
  if (n < 1 || n > 7)
    return QString();
  return vb::Left(codigo, longitudNivel[size_t(n)]);
}

int ContextoReporte::nivelPartida(const QString& codigo) const {
  const int n = int(vb::Trim(codigo).size());
  for (int k = 1; k <= NivelesUsados && k <= 7; ++k)
    if (longitudNivel[size_t(k)] >= n)
      return k;
  return NivelesUsados + 1;
}

MonedaNacional MonedaNacional::lee() {
  MonedaNacional n;
  auto rs = detalle::abierto(quarvel::dbObra)
                .OpenRecordset(QStringLiteral("SELECT Moneda, Texto FROM Monedas WHERE Paridad = 1 ORDER BY Moneda"),
                               dao::RecordsetType::Snapshot);
  if (!rs->EOF_()) {
    n.codigo = textoDe(rs->Value(QStringLiteral("Moneda")));
    n.texto = textoDe(rs->Value(QStringLiteral("Texto")));
  }
  rs->Close();
  return n;
}

QString MonedaNacional::de(const vb::Variant& moneda) const {
  return general::esNulo(moneda) ? codigo : vb::CStr(moneda);
}

ParidadesMoneda ParidadesMoneda::lee(bool siempre) {
  ParidadesMoneda p;
  p.nacional_ = MonedaNacional::lee();
  auto rs = detalle::abierto(quarvel::dbObra)
                .OpenRecordset(QStringLiteral("SELECT DISTINCT Moneda FROM Presupuesto"), dao::RecordsetType::Snapshot);
  for (; !rs->EOF_(); rs->MoveNext()) {
    const QString m = p.nacional_.de(rs->Value(QStringLiteral("Moneda")));
    if (!p.paridades_.contains(m.toCaseFolded()))
      p.paridades_.insert(m.toCaseFolded(), {m, m == p.nacional_.codigo ? vb::Currency::fromInt(1)
                                                                        : vb::Currency::fromDouble(paridadMoneda(m))});
  }
  rs->Close();
  p.convierte_ = siempre || p.paridades_.size() > 1;
  return p;
}

vb::Currency ParidadesMoneda::factor(const vb::Variant& moneda) const {
  const vb::Currency uno = vb::Currency::fromInt(1);
  if (!convierte_ || general::esNulo(moneda))
    return uno;
  const auto it = paridades_.constFind(vb::CStr(moneda).toCaseFolded());
  return it == paridades_.constEnd() ? vb::Currency() : it->second;
}

vb::Currency ParidadesMoneda::precio(const vb::Variant& precio, const vb::Variant& moneda) const {
  return vb::Currency::fromDouble(general::valX(precio)) * factor(moneda);
}

vb::Currency ParidadesMoneda::importe(const vb::Variant& precio, const vb::Variant& moneda,
                                      const vb::Variant& cantidad) const {
  return KorGen::Redondea(this->precio(precio, moneda).toDouble() * general::valX(cantidad));
}

std::vector<std::pair<QString, vb::Currency>> ParidadesMoneda::extranjeras() const {
  std::vector<std::pair<QString, vb::Currency>> otras;
  if (!convierte_)
    return otras;
  for (const auto& [moneda, paridad] : paridades_)
    if (paridad != vb::Currency::fromInt(1))
      otras.emplace_back(moneda, paridad);
  std::sort(otras.begin(), otras.end(),
            [](const auto& a, const auto& b) { return dao::jettext::compare(a.first, b.first) < 0; });
  return otras;
}

void calculaTotalLetra() {
  auto& rs = detalle::abierto(quarvel::rsPresupuestoClon);
  const ParidadesMoneda paridades = ParidadesMoneda::lee();
  vb::Currency total;
  if (rs.RecordCount() > 0)
    for (rs.MoveFirst(); !rs.EOF_(); rs.MoveNext())
      total += paridades.importe(rs.Value(QStringLiteral("Precio")), rs.Value(QStringLiteral("Moneda")),
                                 rs.Value(QStringLiteral("Cantidad")));
  auto& dg = detalle::abierto(quarvel::rsDatosGenerales);
  dg.Edit();
  dg.SetValue(QStringLiteral("Totalletra"), vb::Format(vb::Variant(total), QStringLiteral("$###,###,###,##0.00##")));
  dg.Update();
}

vb::Currency totalMonedaNacional() {
  auto& rs = detalle::abierto(quarvel::rsPresupuestoClon);
  vb::Currency total;
  if (rs.RecordCount() == 0)
    return total;
  const ParidadesMoneda paridades = ParidadesMoneda::lee(true);
  for (rs.MoveFirst(); !rs.EOF_(); rs.MoveNext())
    total += paridades.importe(rs.Value(QStringLiteral("Precio")), rs.Value(QStringLiteral("Moneda")),
                               rs.Value(QStringLiteral("Cantidad")));
  return total;
}

std::vector<TotalDeMoneda> totalesPorMoneda() {
  const MonedaNacional nacional = MonedaNacional::lee();
  std::vector<TotalDeMoneda> totales;
  auto rs = detalle::abierto(quarvel::dbObra)
                .OpenRecordset(QStringLiteral("totalmonedas"), dao::RecordsetType::Snapshot);
  for (; !rs->EOF_(); rs->MoveNext()) {
    const vb::Variant codigo = rs->Value(QStringLiteral("Moneda"));
    const QString moneda = nacional.de(codigo);
    const vb::Variant suma = rs->Value(QStringLiteral("SumaDeImporte"));
    auto t = std::find_if(totales.begin(), totales.end(),
                          [&](const TotalDeMoneda& x) { return dao::jettext::compare(x.moneda, moneda) == 0; });
    if (t == totales.end())
      t = totales.insert(totales.end(),
                         TotalDeMoneda{moneda, general::esNulo(codigo) ? nacional.texto : QString(), {}});
    if (!general::esNulo(codigo))
      t->texto = textoDe(rs->Value(QStringLiteral("Texto")));
    t->importe += suma.isNull() ? vb::Currency() : vb::CCur(suma);
  }
  rs->Close();
  std::stable_sort(totales.begin(), totales.end(), [](const TotalDeMoneda& a, const TotalDeMoneda& b) {
    return dao::jettext::compare(a.moneda, b.moneda) < 0;
  });
  return totales;
}

double paridadMoneda(const QString& moneda) {
  auto rs = detalle::abierto(quarvel::dbObra)
                .OpenRecordset(QStringLiteral("SELECT Paridad FROM monedas WHERE Moneda=") + comillas(moneda),
                               dao::RecordsetType::Snapshot);
  double paridad = 0;
  if (!rs->EOF_())
    paridad = general::valX(rs->Value(QStringLiteral("paridad")));
  rs->Close();
  return paridad;
}

QString mesAbreviado(int mes) { return vb::mesAbreviado(mes); }

}  // namespace repgen
