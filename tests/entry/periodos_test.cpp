// The period table of the open bid: one calendar month per period, from the project's dates and count.
#include "copiado.h"
#include "obra.h"
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
};

vb::Variant fecha(const QString& t) { return t.isEmpty() ? vb::Variant::null() : vb::Variant::fromDate(*vb::parseDate(t)); }

void PrintTo(const CasoPeriodos& c, std::ostream* os) { *os << c.nombre; }

class CalculaPeriodosTest : public ObraTest, public ::testing::WithParamInterface<CasoPeriodos> {};

TEST_P(CalculaPeriodosTest, MonthsOfTheProject) {
  const CasoPeriodos& caso = GetParam();
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
        CasoPeriodos{"no_periods_keeps_the_table", "15/03/2025", "10/06/2025", 0, {"31/12/1899-01/01/1900"}}),
    [](const auto& info) { return std::string(info.param.nombre); });

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
