#include "lecturas.h"

namespace entrytest {

QStringList primeraColumna(dao::Database& db, const QString& sql) {
  QStringList valores;
  const auto rs = db.OpenRecordset(sql, dao::RecordsetType::Snapshot);
  for (; !rs->EOF_(); rs->MoveNext()) {
    const vb::Variant v = rs->Fields(0).Value();
    valores << (v.isNull() ? QString() : vb::CStr(v));
  }
  return valores;
}

QStringList volumenesDe(dao::Database& db, const QString& partida, int renglon) {
  return primeraColumna(db, QStringLiteral("SELECT Periodo & ':' & Volumen FROM Programa WHERE Partida='%1' AND "
                                           "Renglon=%2 ORDER BY Periodo")
                                .arg(partida)
                                .arg(renglon));
}

QString conceptoDe(dao::Database& db, const QString& partida, int renglon) {
  return primeraColumna(db, QStringLiteral("SELECT Format(FechaIni, 'dd/mm/yyyy') & '-' & Format(FechaFin, "
                                           "'dd/mm/yyyy') & ' ' & TotalVol FROM Presupuesto WHERE Partida='%1' AND "
                                           "Renglon=%2")
                                .arg(partida)
                                .arg(renglon))
      .value(0);
}

}  // namespace entrytest
