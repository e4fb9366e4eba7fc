// The schedule's periods: the period of a date by the bid's periodicity, and the period table of the
// open bid built from the project's dates, count and periodicity.
#include "copiado.h"
#include "general.h"
#include "obra.h"
#include "periodos.h"
#include "quarvel.h"
#include "vbdate.h"

#include "qt_print.h"

namespace entrytest {
namespace {

QString texto(double serial) { return serial == 0 ? QStringLiteral("-") : vb::dateToString(serial); }

// The table as "first-last" per period, "---" for an empty one.
QStringList tabla() {
  QStringList filas;
  for (size_t i = 1; i < quarvel::tablaPeriodos.size(); ++i)
    filas << texto(quarvel::tablaPeriodos[i].inicio) + u'-' + texto(quarvel::tablaPeriodos[i].fin);
  return filas;
}

struct CasoPeriodos {
  const char* nombre;
  QString inicio, fin;  // dd/mm/yyyy; empty: Null
  int16_t periodos;
  QStringList esperado;
  vb::Variant periodicidad = int16_t(1);
};

vb::Variant fecha(const QString& t) { return t.isEmpty() ? vb::Variant::null() : vb::Variant::fromDate(*vb::parseDate(t)); }

void PrintTo(const CasoPeriodos& c, std::ostream* os) { *os << c.nombre; }

class CalculaPeriodosTest : public ObraTest, public ::testing::WithParamInterface<CasoPeriodos> {};

TEST_P(CalculaPeriodosTest, PeriodsOfTheProject) {
  const CasoPeriodos& caso = GetParam();
  dato("Periodicidad", caso.periodicidad);
  dato("FechaInicioProy", fecha(caso.inicio));
  dato("FechaFinalProy", fecha(caso.fin));
  dato("Periodos", caso.periodos);
  quarvel::tablaPeriodos = {{}, {1, 2}};  // left from another bid
  copiado::calculaPeriodos();
  EXPECT_EQ(tabla(), caso.esperado);
}

INSTANTIATE_TEST_SUITE_P(
    Casos, CalculaPeriodosTest,
    ::testing::Values(
        CasoPeriodos{"ends_inside_a_month", "15/03/2025", "10/06/2025", 4,
                     {"01/03/2025-31/03/2025", "01/04/2025-30/04/2025", "01/05/2025-31/05/2025",
                      "01/06/2025-30/06/2025"}},
        CasoPeriodos{"ends_on_a_months_last_day", "03/10/2025", "31/12/2025", 3,
                     {"01/10/2025-31/10/2025", "01/11/2025-30/11/2025", "01/12/2025-31/12/2025"}},
        CasoPeriodos{"over_a_leap_february_into_the_next_year", "20/12/2023", "05/03/2024", 4,
                     {"01/12/2023-31/12/2023", "01/01/2024-31/01/2024", "01/02/2024-29/02/2024",
                      "01/03/2024-31/03/2024"}},
        CasoPeriodos{"february_of_a_common_year", "28/02/2023", "28/02/2023", 1, {"01/02/2023-28/02/2023"}},
        CasoPeriodos{"fewer_periods_than_months", "15/03/2025", "10/06/2025", 2,
                     {"01/03/2025-31/03/2025", "01/04/2025-30/04/2025"}},
        CasoPeriodos{"more_periods_than_months", "01/03/2025", "30/04/2025", 5,
                     {"01/03/2025-31/03/2025", "01/04/2025-30/04/2025", "---", "---", "---"}},
        CasoPeriodos{"end_before_start", "10/05/2025", "20/03/2025", 2, {"01/03/2025-31/03/2025", "---"}},
        CasoPeriodos{"no_dates", "", "10/06/2025", 2, {"---", "---"}},
        CasoPeriodos{"no_periods_keeps_the_table", "15/03/2025", "10/06/2025", 0, {"31/12/1899-01/01/1900"}},
        // A periodicity that is not stored, or none the program knows, counts months.
        CasoPeriodos{"no_periodicity_is_monthly", "15/03/2025", "10/05/2025", 3,
                     {"01/03/2025-31/03/2025", "01/04/2025-30/04/2025", "01/05/2025-31/05/2025"}, vb::Variant::null()},
        CasoPeriodos{"unknown_periodicity_is_monthly", "15/03/2025", "10/04/2025", 2,
                     {"01/03/2025-31/03/2025", "01/04/2025-30/04/2025"}, int16_t(7)},
        // Fortnights, weeks and days: the first and the last cut at the project's dates.
        CasoPeriodos{"fortnights", "10/02/2024", "20/03/2024", 4,
                     {"10/02/2024-15/02/2024", "16/02/2024-29/02/2024", "01/03/2024-15/03/2024",
                      "16/03/2024-20/03/2024"},
                     int16_t(2)},
        CasoPeriodos{"fortnights_on_their_limits", "16/03/2025", "15/04/2025", 2,
                     {"16/03/2025-31/03/2025", "01/04/2025-15/04/2025"}, int16_t(2)},
        CasoPeriodos{"weeks_over_the_new_year", "25/12/2024", "07/01/2025", 3,
                     {"25/12/2024-29/12/2024", "30/12/2024-05/01/2025", "06/01/2025-07/01/2025"}, int16_t(3)},
        CasoPeriodos{"weeks_from_monday_to_sunday", "03/03/2025", "16/03/2025", 2,
                     {"03/03/2025-09/03/2025", "10/03/2025-16/03/2025"}, int16_t(3)},
        CasoPeriodos{"more_periods_than_weeks", "03/03/2025", "05/03/2025", 3,
                     {"03/03/2025-05/03/2025", "---", "---"}, int16_t(3)},
        CasoPeriodos{"days", "30/12/2024", "01/01/2025", 3,
                     {"30/12/2024-30/12/2024", "31/12/2024-31/12/2024", "01/01/2025-01/01/2025"}, int16_t(4)},
        CasoPeriodos{"fewer_periods_than_days", "30/12/2024", "01/01/2025", 2,
                     {"30/12/2024-30/12/2024", "31/12/2024-31/12/2024"}, int16_t(4)}),
    [](const auto& info) { return std::string(info.param.nombre); });

// The period of every day of several projects, by every periodicity, is the number of periods
// CuentaPeriodos counts from the project's start to that day; a period runs from its first day to its
// last, and the next one starts the day after.
TEST(PeriodoDe, AgreesWithThePeriodCountOfTheGeneralData) {
  const double desde = *vb::parseDate("20/12/2023");
  for (double inicio = desde; inicio < desde + 75; inicio += 3)  // over a new year and a leap February
    for (int16_t p = 1; p <= 4; ++p)
      for (double dia = inicio; dia < inicio + 120; ++dia) {
        SCOPED_TRACE(vb::dateToString(inicio).toStdString() + " " + vb::dateToString(dia).toStdString() + " " +
                     std::to_string(p));
        const int n = periodos::periodoDe(dia, inicio, p);
        ASSERT_EQ(n, general::CuentaPeriodos(vb::Variant::fromDate(inicio), vb::Variant::fromDate(dia), p));
        const double primero = periodos::inicioDe(dia, p), ultimo = periodos::finDe(dia, p);
        ASSERT_LE(primero, dia);
        ASSERT_GE(ultimo, dia);
        ASSERT_EQ(periodos::periodoDe(primero - 1, inicio, p), n - 1);
        ASSERT_EQ(periodos::periodoDe(ultimo + 1, inicio, p), n + 1);
        // The first day of the period, cut at the start for all but months.
        const double esperado = p == periodos::kMensual ? primero : std::max(primero, inicio);
        ASSERT_EQ(periodos::primerDia(n, inicio, p), esperado);
      }
  // A time of day changes nothing; dates before the start give periods below 1.
  const double lunes = *vb::parseDate("03/03/2025");
  EXPECT_EQ(periodos::periodoDe(lunes + 6.75, lunes + 0.5, periodos::kSemanal), 1);
  EXPECT_EQ(periodos::periodoDe(lunes - 1, lunes, periodos::kSemanal), 0);
  EXPECT_EQ(periodos::periodoDe(lunes - 8, lunes, periodos::kSemanal), -1);
  EXPECT_EQ(periodos::periodoDe(lunes - 1, lunes, periodos::kDiaria), 0);
}

TEST(PeriodoDe, StoredPeriodicity) {
  EXPECT_EQ(periodos::periodicidadDe(vb::Variant::null()), periodos::kMensual);
  EXPECT_EQ(periodos::periodicidadDe(vb::Variant()), periodos::kMensual);
  EXPECT_EQ(periodos::periodicidadDe(int16_t(0)), periodos::kMensual);
  EXPECT_EQ(periodos::periodicidadDe(int16_t(5)), periodos::kMensual);
  EXPECT_EQ(periodos::periodicidadDe(int16_t(2)), periodos::kQuincenal);
  EXPECT_EQ(periodos::periodicidadDe(int16_t(3)), periodos::kSemanal);
  EXPECT_EQ(periodos::periodicidadDe(QStringLiteral("4")), periodos::kDiaria);
}

TEST(UltimoDiaMes, LastDayOfTheMonth) {
  struct Caso {
    QString fecha, ultimo;
  };
  for (const Caso& c : std::vector<Caso>{{"01/02/2024", "29/02/2024"},
                                         {"29/02/2024", "29/02/2024"},
                                         {"10/02/2023", "28/02/2023"},
                                         {"10/12/2023", "31/12/2023"},
                                         {"31/01/2025", "31/01/2025"},
                                         {"01/04/2025", "30/04/2025"}})
    EXPECT_EQ(vb::dateToString(copiado::ultimoDiaMes(*vb::parseDate(c.fecha))), c.ultimo) << c.fecha.toStdString();
}

}  // namespace
}  // namespace entrytest
