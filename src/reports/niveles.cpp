// Partida levels, budget totals, parity and month helpers.
#include "contextoreporte.h"

#include "dao.h"
#include "internos.h"
#include "korgen.h"
#include "quarvel.h"
#include "utilidades.h"
#include "vbdate.h"

#include <QHash>

namespace repgen {

namespace {

using detalle::comillas;

// Precio × Cantidad of the budget row, a Null as 0.
double importeBruto(dao::Recordset& rs, double paridad = 1) {
  return general::valX(rs.Value(QStringLiteral("Precio"))) * paridad *
         general::valX(rs.Value(QStringLiteral("Cantidad")));
}

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

ParidadesMoneda ParidadesMoneda::lee() {
  ParidadesMoneda p;
  auto rs = detalle::abierto(quarvel::dbObra)
                .OpenRecordset(QStringLiteral("SELECT DISTINCT Moneda FROM Presupuesto"), dao::RecordsetType::Snapshot);
  QStringList monedas;
  for (; !rs->EOF_(); rs->MoveNext()) {
    const vb::Variant m = rs->Value(QStringLiteral("Moneda"));
    monedas << (m.isNull() ? QString() : vb::CStr(m));
  }
  rs->Close();
  p.convierte_ = monedas.size() > 1;
  if (p.convierte_)
    for (const QString& m : monedas)
      p.paridades_.insert(m.toCaseFolded(), vb::Currency::fromDouble(paridadMoneda(m)).toDouble());
  return p;
}

double ParidadesMoneda::factor(const QString& moneda) const {
  return convierte_ ? paridades_.value(moneda.toCaseFolded(), 0.0) : 1.0;
}

vb::Currency ParidadesMoneda::importe(double precio, const QString& moneda, double cantidad) const {
  return KorGen::Redondea(precio * factor(moneda) * cantidad);
}

void calculaTotalLetra() {
  auto& rs = detalle::abierto(quarvel::rsPresupuestoClon);
  const ParidadesMoneda paridades = ParidadesMoneda::lee();
  vb::Currency total;
  if (rs.RecordCount() > 0)
    for (rs.MoveFirst(); !rs.EOF_(); rs.MoveNext()) {
      const vb::Variant m = rs.Value(QStringLiteral("Moneda"));
      total += paridades.importe(general::valX(rs.Value(QStringLiteral("Precio"))), m.isNull() ? QString() : vb::CStr(m),
                                 general::valX(rs.Value(QStringLiteral("Cantidad"))));
    }
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
  QHash<QString, double> paridades;  // one look-up per currency
  for (rs.MoveFirst(); !rs.EOF_(); rs.MoveNext()) {
    const vb::Variant m = rs.Value(QStringLiteral("Moneda"));
    const QString moneda = m.isNull() ? QString() : vb::CStr(m);
    auto it = paridades.constFind(moneda);
    if (it == paridades.constEnd())
      it = paridades.insert(moneda, vb::Currency::fromDouble(paridadMoneda(moneda)).toDouble());
    total += KorGen::Redondea(importeBruto(rs, it.value()));
  }
  return total;
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
