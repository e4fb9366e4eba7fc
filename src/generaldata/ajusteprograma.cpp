#include "ajusteprograma.h"

#include "dao.h"
#include "general.h"
#include "periodos.h"
#include "utilidades.h"

#include <algorithm>
#include <cmath>

namespace datgen {

namespace {

vb::Variant fechaDe(const vb::Variant& v) {
  if (general::esNulo(v) || !vb::IsDate(v)) return vb::Variant::null();
  return vb::Variant::fromDate(std::floor(vb::CDate(v)));
}

bool mismoDia(const vb::Variant& a, const vb::Variant& b) {
  if (a.isNull() || b.isNull()) return a.isNull() == b.isNull();
  return vb::CDate(a) == vb::CDate(b);
}

int cuenta(dao::Database& obra, const QString& sql) {
  auto rs = obra.OpenRecordset(sql, dao::RecordsetType::Snapshot);
  const int n = int(rs->RecordCount());
  rs->Close();
  return n;
}

int uno(dao::Database& obra, const QString& sql) {
  auto rs = obra.OpenRecordset(sql, dao::RecordsetType::Snapshot);
  const int n = vb::CLng(rs->Fields(0).Value());
  rs->Close();
  return n;
}

QString cuantos(int n, const char* singular, const char* plural) {
  return QStringLiteral("%1 %2").arg(n).arg(QString::fromUtf8(n == 1 ? singular : plural));
}

// Schedule rows whose period (the field `periodo`), as the old start numbered it, is outside the new
// project's periods.
QString fueraDeLaObra(int desplaza, int periodos, const QString& periodo = QStringLiteral("Periodo")) {
  return QStringLiteral("(%1 < %2 OR %1 > %3)").arg(periodo).arg(1 - desplaza).arg(periodos - desplaza);
}

// The key (section, row, period) is checked row by row, so a period moved in place can meet a row
// not yet moved: the rows first pass through numbers below any stored period.
constexpr int kAparte = 100000;

}  // namespace

Calendario calendarioDe(dao::Recordset& datos) {
  Calendario c;
  c.inicio = fechaDe(datos.Value(QStringLiteral("FechaInicioProy")));
  c.fin = fechaDe(datos.Value(QStringLiteral("FechaFinalProy")));
  c.periodicidad = periodos::periodicidadDe(datos.Value(QStringLiteral("Periodicidad")));
  const vb::Variant periodos = datos.Value(QStringLiteral("Periodos"));
  c.periodos = general::esNulo(periodos) || !vb::IsNumeric(periodos) ? int16_t(0) : vb::CInt(periodos);
  return c;
}

AjustePrograma AjustePrograma::planea(dao::Database& obra, const Calendario& antes, const Calendario& despues) {
  AjustePrograma a;
  if (antes.periodicidad == despues.periodicidad && mismoDia(antes.inicio, despues.inicio) &&
      mismoDia(antes.fin, despues.fin))
    return a;

  a.periodos_ = std::max<int16_t>(despues.periodos, 0);
  if (antes.periodicidad != despues.periodicidad) {
    a.borraTodo_ = true;
    a.volumenes_ = uno(obra, QStringLiteral("SELECT Count(*) FROM Programa"));
    a.conceptos_ = cuenta(obra, QStringLiteral("SELECT DISTINCT Partida, Renglon FROM Programa"));
  } else {
    // The new number of the old period 1: periods are tied to the calendar, all move alike.
    if (!antes.inicio.isNull() && !despues.inicio.isNull())
      a.desplaza_ = periodos::periodoDe(vb::CDate(antes.inicio), vb::CDate(despues.inicio), despues.periodicidad) - 1;
    const QString fuera = fueraDeLaObra(a.desplaza_, a.periodos_);
    a.volumenes_ = uno(obra, QStringLiteral("SELECT Count(*) FROM Programa WHERE ") + fuera);
    if (a.volumenes_ > 0)
      a.conceptos_ = cuenta(obra, QStringLiteral("SELECT DISTINCT Partida, Renglon FROM Programa WHERE ") + fuera);
  }
  if (!despues.inicio.isNull() && !despues.fin.isNull() && vb::CDate(despues.inicio) <= vb::CDate(despues.fin)) {
    a.fechas_ = true;
    a.inicio_ = vb::CDate(despues.inicio);
    a.fin_ = vb::CDate(despues.fin);
    a.conceptosFechas_ = uno(obra, QStringLiteral("SELECT Count(*) FROM Presupuesto WHERE FechaIni < %1 OR "
                                                  "FechaIni > %2 OR FechaFin < %1 OR FechaFin > %2")
                                       .arg(vb::numberText(a.inicio_), vb::numberText(a.fin_)));
  }
  return a;
}

QString AjustePrograma::pregunta() const {
  if (!pierdeVolumenes()) return {};
  QString texto;
  if (borraTodo_)
    texto = QStringLiteral("Con la nueva periodicidad cambian todos los periodos del programa de obra: se borrarán "
                           "todos los volúmenes programados, los de %1")
                .arg(cuantos(conceptos_, "concepto", "conceptos"));
  else if (desplaza_ == 0)
    texto = QStringLiteral("Con las nuevas fechas la obra termina en el periodo %1: se borrarán los volúmenes "
                           "programados después de ese periodo de %2")
                .arg(periodos_)
                .arg(cuantos(conceptos_, "concepto", "conceptos"));
  else
    texto = QStringLiteral("Con la nueva fecha de inicio los periodos del programa de obra se numeran desde ella y "
                           "cada volumen programado queda en su periodo: se borrarán %1 de %2 que quedan fuera de "
                           "la obra")
                .arg(cuantos(volumenes_, "volumen programado", "volúmenes programados"),
                     cuantos(conceptos_, "concepto", "conceptos"));
  if (conceptosFechas_ > 0)
    texto += QStringLiteral(" y se moverán dentro de la obra las fechas de ") +
             cuantos(conceptosFechas_, "concepto", "conceptos");
  return texto + QStringLiteral(". ¿Desea continuar?");
}

void AjustePrograma::aplica(dao::Database& obra) const {
  if (borraTodo_) {
    obra.Execute(QStringLiteral("DELETE * FROM Programa"));
    obra.Execute(QStringLiteral("UPDATE Presupuesto SET TotalVol = 0"));
  } else {
    if (volumenes_ > 0) {
      const QString fuera = fueraDeLaObra(desplaza_, periodos_, QStringLiteral("g.Periodo"));
      const QString delConcepto = QStringLiteral(
          "FROM Programa AS g WHERE g.Partida = Presupuesto.Partida AND g.Renglon = Presupuesto.Renglon AND ");
      // Each concept that loses volumes keeps the sum of the ones it still has.
      obra.Execute(QStringLiteral("UPDATE Presupuesto SET TotalVol = Nz((SELECT Sum(g.Volumen) %1 NOT %2), 0) "
                                  "WHERE EXISTS (SELECT * %1 %2)")
                       .arg(delConcepto, fuera));
      obra.Execute(QStringLiteral("DELETE * FROM Programa WHERE ") + fueraDeLaObra(desplaza_, periodos_));
    }
    if (desplaza_ != 0) {
      obra.Execute(QStringLiteral("UPDATE Programa SET Periodo = Periodo + %1").arg(desplaza_ - kAparte));
      obra.Execute(QStringLiteral("UPDATE Programa SET Periodo = Periodo + %1").arg(kAparte));
    }
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
