// The schedule's periods: the period of a date by the bid's periodicity, and the period table.
#include "periodos.h"

#include "copiado.h"
#include "dao.h"
#include "quarvel.h"
#include "utilidades.h"
#include "vbdate.h"

#include <algorithm>
#include <cmath>

namespace periodos {

namespace {

double dia(double fecha) { return std::trunc(fecha); }

int64_t mes(double fecha) { return int64_t(vb::year(fecha)) * 12 + vb::month(fecha) - 1; }

int64_t quincena(double fecha) { return mes(fecha) * 2 + (vb::day(fecha) > 15 ? 1 : 0); }

double lunes(double fecha) {
  const double d = dia(fecha);
  return d - (vb::weekday(d) + 5) % 7;  // Weekday: 1 Sunday, 2 Monday ... 7 Saturday
}

double desdeMes(int64_t m, int diaDelMes) { return vb::dateSerial(int(m / 12), int(m % 12) + 1, diaDelMes); }

}  // namespace

int16_t periodicidadDe(const vb::Variant& valor) {
  if (valor.isNull() || valor.isEmpty() || !vb::IsNumeric(valor))
    return kMensual;
  const double p = vb::CDbl(valor);
  for (const Periodicidad otra : {kQuincenal, kSemanal, kDiaria})
    if (p == double(otra))
      return otra;
  return kMensual;
}

int16_t periodicidadObra() {
  if (!quarvel::rsDatosGenerales)
    throw vb::Error(91);
  return periodicidadDe(quarvel::rsDatosGenerales->Value(QStringLiteral("Periodicidad")));
}

int periodoDe(double fecha, double inicio, int16_t periodicidad) {
  switch (periodicidad) {
  case kQuincenal:
    return int(quincena(fecha) - quincena(inicio)) + 1;
  case kSemanal:
    return int(std::llround((lunes(fecha) - lunes(inicio)) / 7)) + 1;
  case kDiaria:
    return int(dia(fecha) - dia(inicio)) + 1;
  default:
    return int(mes(fecha) - mes(inicio)) + 1;
  }
}

double inicioDe(double fecha, int16_t periodicidad) {
  switch (periodicidad) {
  case kQuincenal:
    return desdeMes(mes(fecha), vb::day(fecha) > 15 ? 16 : 1);
  case kSemanal:
    return lunes(fecha);
  case kDiaria:
    return dia(fecha);
  default:
    return desdeMes(mes(fecha), 1);
  }
}

double finDe(double fecha, int16_t periodicidad) {
  switch (periodicidad) {
  case kQuincenal:
    return vb::day(fecha) > 15 ? copiado::ultimoDiaMes(dia(fecha)) : desdeMes(mes(fecha), 15);
  case kSemanal:
    return lunes(fecha) + 6;
  case kDiaria:
    return dia(fecha);
  default:
    return copiado::ultimoDiaMes(dia(fecha));
  }
}

double primerDia(int periodo, double inicio, int16_t periodicidad) {
  const bool primero = periodo <= 1;
  switch (periodicidad) {
  case kQuincenal: {
    const int64_t q = quincena(inicio) + periodo - 1;
    return primero ? dia(inicio) : desdeMes(q / 2, q % 2 ? 16 : 1);
  }
  case kSemanal:
    return primero ? dia(inicio) : lunes(inicio) + 7.0 * (periodo - 1);
  case kDiaria:
    return dia(inicio) + periodo - 1;
  default:
    return desdeMes(mes(inicio) + periodo - 1, 1);
  }
}

}  // namespace periodos

namespace copiado {

double ultimoDiaMes(double fecha) {
  const int anio = vb::year(fecha);
  const int mes = vb::month(fecha);
  return (mes == 12 ? vb::dateSerial(anio + 1, 1, 1) : vb::dateSerial(anio, mes + 1, 1)) - 1;
}

void calculaPeriodos() {
  if (!quarvel::rsDatosGenerales)
    throw vb::Error(91);
  dao::Recordset& datos = *quarvel::rsDatosGenerales;
  const vb::Variant cuantos = datos.Value(QStringLiteral("Periodos"));
  if (cuantos.isNull() || vb::CInt(cuantos) <= 0)
    return;
  const int periodos = vb::CInt(cuantos);
  std::vector<quarvel::Periodo>& tabla = quarvel::tablaPeriodos;
  tabla.assign(size_t(periodos) + 1, quarvel::Periodo{});

  const vb::Variant desde = datos.Value(QStringLiteral("FechaInicioProy"));
  const vb::Variant hasta = datos.Value(QStringLiteral("FechaFinalProy"));
  // Without both dates there are no periods to count: the entries stay empty.
  if (general::esNulo(desde) || general::esNulo(hasta) || !vb::IsDate(desde) || !vb::IsDate(hasta))
    return;
  const double inicio = std::trunc(vb::CDate(desde));
  const double fin = std::trunc(vb::CDate(hasta));
  const int16_t periodicidad = periodos::periodicidadDe(datos.Value(QStringLiteral("Periodicidad")));

  auto anota = [&](int k, double ultimo) {
    if (k <= periodos)
      tabla[size_t(k)] = {periodos::inicioDe(ultimo, periodicidad), ultimo};
  };
  // Every period whose last day falls within the project, then the period in which it ends when that
  // is not on a period's last day.
  int k = 0;
  for (double d = periodos::finDe(inicio, periodicidad); d <= fin && k < periodos;
       d = periodos::finDe(d + 1, periodicidad))
    anota(++k, d);
  if (periodos::finDe(fin, periodicidad) != fin)
    anota(++k, periodos::finDe(fin, periodicidad));

  // Months are whole, as they always were; shorter periods are cut at the project's start and end.
  if (periodicidad == periodos::kMensual)
    return;
  for (quarvel::Periodo& p : tabla) {
    if (p.inicio < inicio && inicio <= p.fin)
      p.inicio = inicio;
    if (p.inicio <= fin && fin < p.fin)
      p.fin = fin;
  }
}

}  // namespace copiado
