#pragma once
// The sample bid turned into a bid of another periodicity, as a contracting body would have prepared
// it: the periodicity, the number of periods of the project's dates, and every concept's quantity
// spread evenly over the periods its own dates touch. The periods are counted here on the calendar,
// independently of the program: fortnights 1st-15th and 16th-last day, weeks Monday to Sunday, days.
// Only for tests that link the database layer.
#include "dao.h"
#include "vbdate.h"

#include <QDate>
#include <cmath>
#include <ostream>

namespace testsupport {

// A periodicity a test runs with: its code, a name for the test's title, and the number of periods of
// the sample's project (03/03/2025, a Monday, to 29/08/2025) in it.
struct CasoPeriodicidad {
  int codigo;
  const char* nombre;
  int periodos;
};
inline void PrintTo(const CasoPeriodicidad& c, std::ostream* os) { *os << c.nombre; }
inline const CasoPeriodicidad kPeriodicidades[] = {{2, "quincenal", 12}, {3, "semanal", 26}, {4, "diaria", 180}};

// The period of a day in a schedule starting on `inicio`: 1 for the period holding `inicio`.
inline int periodoCalendario(const QDate& dia, const QDate& inicio, int periodicidad) {
  const auto quincena = [](const QDate& d) { return (d.year() * 12 + d.month() - 1) * 2 + (d.day() > 15 ? 1 : 0); };
  const auto lunes = [](const QDate& d) { return d.addDays(1 - d.dayOfWeek()); };
  switch (periodicidad) {
  case 2:
    return quincena(dia) - quincena(inicio) + 1;
  case 3:
    return int(lunes(inicio).daysTo(lunes(dia)) / 7) + 1;
  case 4:
    return int(inicio.daysTo(dia)) + 1;
  default:
    return (dia.year() - inicio.year()) * 12 + dia.month() - inicio.month() + 1;
  }
}

inline QDate fechaDe(const vb::Variant& v) { return vb::toQDate(vb::CDate(v)); }

// Rewrites the bid open in `db`: Periodicidad, Periodos and the whole schedule. Each concept's
// quantity is spread in cents, cumulatively rounded, so its volumes add up to it exactly.
inline void cambiaPeriodicidad(dao::Database& db, int periodicidad) {
  auto datos = db.OpenRecordset(QStringLiteral("SELECT FechaInicioProy, FechaFinalProy FROM DatosGenerales"),
                                dao::RecordsetType::Snapshot);
  const QDate inicio = fechaDe(datos->Value(QStringLiteral("FechaInicioProy")));
  const QDate fin = fechaDe(datos->Value(QStringLiteral("FechaFinalProy")));
  datos->Close();
  db.Execute(QStringLiteral("UPDATE DatosGenerales SET Periodicidad = %1, Periodos = %2")
                 .arg(periodicidad)
                 .arg(periodoCalendario(fin, inicio, periodicidad)));
  db.Execute(QStringLiteral("DELETE FROM Programa"));
  auto conceptos = db.OpenRecordset(
      QStringLiteral("SELECT Partida, Renglon, Cantidad, FechaIni, FechaFin FROM Presupuesto"), dao::RecordsetType::Snapshot);
  auto programa = db.OpenRecordset(QStringLiteral("Programa"));
  for (; !conceptos->EOF_(); conceptos->MoveNext()) {
    const int primero = periodoCalendario(fechaDe(conceptos->Value(QStringLiteral("FechaIni"))), inicio, periodicidad);
    const int ultimo = periodoCalendario(fechaDe(conceptos->Value(QStringLiteral("FechaFin"))), inicio, periodicidad);
    const double cantidad = vb::CDbl(conceptos->Value(QStringLiteral("Cantidad")));
    const int n = ultimo - primero + 1;
    double antes = 0;
    for (int i = 1; i <= n; ++i) {
      const double hasta = std::round(cantidad * i / n * 100) / 100;
      const double volumen = hasta - antes;
      antes = hasta;
      if (std::round(volumen * 100) == 0)
        continue;
      programa->AddNew();
      programa->SetValue(QStringLiteral("Partida"), conceptos->Value(QStringLiteral("Partida")));
      programa->SetValue(QStringLiteral("Renglon"), conceptos->Value(QStringLiteral("Renglon")));
      programa->SetValue(QStringLiteral("Periodo"), int16_t(primero + i - 1));
      programa->SetValue(QStringLiteral("Volumen"), vb::CCur(vb::Variant(std::round(volumen * 100) / 100)));
      programa->Update();
    }
  }
  conceptos->Close();
  programa->Close();
  db.Execute(QStringLiteral("UPDATE Presupuesto SET TotalVol = Cantidad"));
}

}  // namespace testsupport
