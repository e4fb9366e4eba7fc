#include "ajusteprograma.h"

#include "dao.h"
#include "general.h"
#include "utilidades.h"

#include <algorithm>
#include <cmath>

namespace datgen {

namespace {

int16_t periodicidadDe(const vb::Variant& v) {
  if (general::esNulo(v) || !vb::IsNumeric(v)) return 1;
  const double p = vb::CDbl(v);
  return p == 2 || p == 3 || p == 4 ? int16_t(p) : int16_t(1);
}

vb::Variant fechaDe(const vb::Variant& v) {
  if (general::esNulo(v) || !vb::IsDate(v)) return vb::Variant::null();
  return vb::Variant::fromDate(std::floor(vb::CDate(v)));
}

bool mismoDia(const vb::Variant& a, const vb::Variant& b) {
  if (a.isNull() || b.isNull()) return a.isNull() == b.isNull();
  return vb::CDate(a) == vb::CDate(b);
}

// Two starts in the same period of a periodicity: the periods keep their numbers. No period is
// longer than a month, so days further apart never are.
bool mismoPeriodo(const vb::Variant& a, const vb::Variant& b, int16_t periodicidad) {
  if (a.isNull() || b.isNull()) return a.isNull() == b.isNull();
  const double x = std::min(vb::CDate(a), vb::CDate(b));
  const double y = std::max(vb::CDate(a), vb::CDate(b));
  if (y - x > 31) return false;
  return general::CuentaPeriodos(vb::Variant::fromDate(x), vb::Variant::fromDate(y), periodicidad) == 1;
}

int cuenta(dao::Database& obra, const QString& sql) {
  auto rs = obra.OpenRecordset(sql, dao::RecordsetType::Snapshot);
  const int n = int(rs->RecordCount());
  rs->Close();
  return n;
}

QString conceptosTexto(int n) {
  return n == 1 ? QStringLiteral("1 concepto") : QStringLiteral("%1 conceptos").arg(n);
}

// Concepts whose schedule rows match `donde`, and the same condition on a concept of Presupuesto.
const QString kConProgramaFuera =
    QStringLiteral("EXISTS (SELECT * FROM Programa AS g WHERE g.Partida = Presupuesto.Partida AND "
                   "g.Renglon = Presupuesto.Renglon AND g.Periodo > %1)");

}  // namespace

Calendario calendarioDe(dao::Recordset& datos) {
  Calendario c;
  c.inicio = fechaDe(datos.Value(QStringLiteral("FechaInicioProy")));
  c.fin = fechaDe(datos.Value(QStringLiteral("FechaFinalProy")));
  c.periodicidad = periodicidadDe(datos.Value(QStringLiteral("Periodicidad")));
  const vb::Variant periodos = datos.Value(QStringLiteral("Periodos"));
  c.periodos = general::esNulo(periodos) || !vb::IsNumeric(periodos) ? int16_t(0) : vb::CInt(periodos);
  return c;
}

AjustePrograma AjustePrograma::planea(dao::Database& obra, const Calendario& antes, const Calendario& despues) {
  AjustePrograma a;
  const bool otraPeriodicidad = antes.periodicidad != despues.periodicidad;
  if (!otraPeriodicidad && mismoDia(antes.inicio, despues.inicio) && mismoDia(antes.fin, despues.fin)) return a;

  if (otraPeriodicidad || !mismoPeriodo(antes.inicio, despues.inicio, despues.periodicidad)) {
    a.volumenes_ = Volumenes::Borra;
    a.conceptos_ = cuenta(obra, QStringLiteral("SELECT DISTINCT Partida, Renglon FROM Programa"));
  } else {
    a.periodos_ = std::max<int16_t>(despues.periodos, 0);
    a.conceptos_ = cuenta(obra, QStringLiteral("SELECT DISTINCT Partida, Renglon FROM Programa WHERE Periodo > %1")
                                    .arg(a.periodos_));
    if (a.conceptos_ > 0) a.volumenes_ = Volumenes::Recorta;
  }
  if (!despues.inicio.isNull() && !despues.fin.isNull() && vb::CDate(despues.inicio) <= vb::CDate(despues.fin)) {
    a.fechas_ = true;
    a.inicio_ = vb::CDate(despues.inicio);
    a.fin_ = vb::CDate(despues.fin);
  }
  return a;
}

QString AjustePrograma::pregunta() const {
  switch (volumenes_) {
    case Volumenes::Borra:
      return QStringLiteral(
                 "Con la nueva fecha de inicio o periodicidad cambian los periodos del programa de obra: se "
                 "borrarán los volúmenes programados de %1. ¿Desea continuar?")
          .arg(conceptosTexto(conceptos_));
    case Volumenes::Recorta:
      return QStringLiteral(
                 "Con las nuevas fechas la obra termina en el periodo %1: se borrarán los volúmenes programados "
                 "después de ese periodo de %2. ¿Desea continuar?")
          .arg(periodos_)
          .arg(conceptosTexto(conceptos_));
    case Volumenes::Quedan: break;
  }
  return {};
}

void AjustePrograma::aplica(dao::Database& obra) const {
  switch (volumenes_) {
    case Volumenes::Borra:
      obra.Execute(QStringLiteral("DELETE * FROM Programa"));
      obra.Execute(QStringLiteral("UPDATE Presupuesto SET TotalVol = 0"));
      break;
    case Volumenes::Recorta: {
      const QString n = QString::number(periodos_);
      // Each concept that loses volumes keeps the sum of the ones it still has.
      obra.Execute(QStringLiteral("UPDATE Presupuesto SET TotalVol = Nz((SELECT Sum(g.Volumen) FROM Programa AS g "
                                  "WHERE g.Partida = Presupuesto.Partida AND g.Renglon = Presupuesto.Renglon AND "
                                  "g.Periodo <= %1), 0) WHERE ")
                       .arg(n) +
                   kConProgramaFuera.arg(n));
      obra.Execute(QStringLiteral("DELETE * FROM Programa WHERE Periodo > ") + n);
      break;
    }
    case Volumenes::Quedan: break;
  }
  if (!fechas_) return;
  const QString inicio = vb::numberText(inicio_);
  const QString fin = vb::numberText(fin_);
  obra.Execute(QStringLiteral("UPDATE Presupuesto SET FechaFin = %1 WHERE FechaFin > %1").arg(fin));
  obra.Execute(QStringLiteral("UPDATE Presupuesto SET FechaIni = %1 WHERE FechaIni > %1").arg(fin));
  obra.Execute(QStringLiteral("UPDATE Presupuesto SET FechaIni = %1 WHERE FechaIni < %1").arg(inicio));
  obra.Execute(QStringLiteral("UPDATE Presupuesto SET FechaFin = %1 WHERE FechaFin < %1").arg(inicio));
}

}  // namespace datgen
