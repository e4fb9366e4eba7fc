// The schedule's period table: one calendar month per period, from the project's start month.
#include "copiado.h"

#include "dao.h"
#include "quarvel.h"
#include "utilidades.h"
#include "vbdate.h"

#include <cmath>

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
  // Without both dates there are no months to count: the entries stay empty.
  if (general::esNulo(desde) || general::esNulo(hasta) || !vb::IsDate(desde) || !vb::IsDate(hasta))
    return;
  const double inicio = std::trunc(vb::CDate(desde));
  const double fin = std::trunc(vb::CDate(hasta));

  auto anota = [&](int k, double ultimo) {
    if (k <= periodos)
      tabla[size_t(k)] = {vb::dateSerial(vb::year(ultimo), vb::month(ultimo), 1), ultimo};
  };
  // Every month whose last day falls within the project, then the month in which it ends when that
  // is not on a month's last day.
  int k = 0;
  for (double d = ultimoDiaMes(inicio); d <= fin && k < periodos; d = ultimoDiaMes(d + 1))
    anota(++k, d);
  if (vb::day(fin + 1) != 1)
    anota(++k, ultimoDiaMes(fin));
}

}  // namespace copiado
