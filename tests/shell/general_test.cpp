#include "general.h"

#include "error_of.h"
#include "qt_print.h"
#include "utilidades.h"
#include "vbdate.h"

#include <gtest/gtest.h>

using vb::Variant;

namespace {

Variant fecha(int y, int m, int d) { return Variant::fromDate(y, m, d); }

enum Periodicidad : int16_t { Mensual = 1, Quincenal = 2, Semanal = 3, Diaria = 4 };

struct CasoPeriodos {
  const char* nombre;
  Variant ini, fin;
  int16_t periodicidad;
  int esperado;
};

void compruebaPeriodos(std::initializer_list<CasoPeriodos> casos) {
  for (const CasoPeriodos& c : casos)
    EXPECT_EQ(general::CuentaPeriodos(c.ini, c.fin, c.periodicidad), c.esperado) << c.nombre;
}

}  // namespace

TEST(CuentaPeriodos, MonthlyCountsTheCalendarMonthsTouched) {
  compruebaPeriodos({
      {"10 Jan to 5 Mar", fecha(2025, 1, 10), fecha(2025, 3, 5), Mensual, 3},
      {"a whole month", fecha(2025, 1, 1), fecha(2025, 1, 31), Mensual, 1},
      {"across a month end", fecha(2025, 1, 31), fecha(2025, 2, 1), Mensual, 2},
      {"across a year end", fecha(2024, 12, 15), fecha(2025, 1, 15), Mensual, 2},
      {"same month a year later", fecha(2024, 1, 10), fecha(2025, 1, 10), Mensual, 13},
      {"two whole years", fecha(2024, 1, 1), fecha(2025, 12, 31), Mensual, 24},
      {"one day", fecha(2025, 3, 5), fecha(2025, 3, 5), Mensual, 1},
      {"reversed", fecha(2025, 3, 5), fecha(2025, 1, 10), Mensual, 1},
      {"dates as text", Variant("10/01/2025"), Variant("05/03/2025"), Mensual, 3},
  });
}

TEST(CuentaPeriodos, FortnightlyCountsTheHalfMonthsTouched) {
  compruebaPeriodos({
      {"10 Jan to 20 Jan", fecha(2025, 1, 10), fecha(2025, 1, 20), Quincenal, 2},
      {"16 Jan to 31 Jan", fecha(2025, 1, 16), fecha(2025, 1, 31), Quincenal, 1},
      {"1 Jan to 15 Jan", fecha(2025, 1, 1), fecha(2025, 1, 15), Quincenal, 1},
      {"a whole month", fecha(2025, 1, 1), fecha(2025, 1, 31), Quincenal, 2},
      {"a whole year", fecha(2025, 1, 1), fecha(2025, 12, 31), Quincenal, 24},
      {"leap February's second half", fecha(2024, 2, 16), fecha(2024, 2, 29), Quincenal, 1},
      {"28 Feb of a leap year ends nothing", fecha(2024, 2, 16), fecha(2024, 2, 28), Quincenal, 1},
      {"February of a common year", fecha(2025, 2, 1), fecha(2025, 2, 28), Quincenal, 2},
      {"one day, the 15th", fecha(2025, 1, 15), fecha(2025, 1, 15), Quincenal, 1},
      {"one day, mid fortnight", fecha(2025, 1, 9), fecha(2025, 1, 9), Quincenal, 1},
      {"one day, a month end", fecha(2025, 4, 30), fecha(2025, 4, 30), Quincenal, 1},
      {"reversed, end inside a fortnight", fecha(2025, 1, 25), fecha(2025, 1, 20), Quincenal, 1},
      {"reversed, end on the 15th", fecha(2025, 1, 20), fecha(2025, 1, 15), Quincenal, 0},
      {"reversed, end on a month end", fecha(2025, 2, 3), fecha(2025, 1, 31), Quincenal, 0},
  });
}

TEST(CuentaPeriodos, WeeklyCountsTheMondayToSundayWeeksTouched) {
  compruebaPeriodos({
      {"Wed 1 Jan to Tue 7 Jan", fecha(2025, 1, 1), fecha(2025, 1, 7), Semanal, 2},
      {"Mon 6 Jan to Sun 12 Jan", fecha(2025, 1, 6), fecha(2025, 1, 12), Semanal, 1},
      {"Sun 5 Jan to Mon 6 Jan", fecha(2025, 1, 5), fecha(2025, 1, 6), Semanal, 2},
      {"four whole weeks", fecha(2025, 1, 6), fecha(2025, 2, 2), Semanal, 4},
      {"one day, a Sunday", fecha(2025, 1, 5), fecha(2025, 1, 5), Semanal, 1},
      {"one day, a Thursday", fecha(2025, 1, 9), fecha(2025, 1, 9), Semanal, 1},
      {"reversed, end on a Tuesday", fecha(2025, 1, 10), fecha(2025, 1, 7), Semanal, 1},
      {"reversed, end on a Sunday", fecha(2025, 1, 15), fecha(2025, 1, 12), Semanal, 0},
  });
}

TEST(CuentaPeriodos, DailyCountsTheDaysBothIncluded) {
  compruebaPeriodos({
      {"1 Jan to 10 Jan", fecha(2025, 1, 1), fecha(2025, 1, 10), Diaria, 10},
      {"across a leap day", fecha(2024, 2, 28), fecha(2024, 3, 1), Diaria, 3},
      {"one day", fecha(2025, 1, 1), fecha(2025, 1, 1), Diaria, 1},
      {"reversed by one day", fecha(2025, 1, 2), fecha(2025, 1, 1), Diaria, 0},
      {"reversed", fecha(2025, 1, 10), fecha(2025, 1, 1), Diaria, -8},
      {"the largest count", fecha(2000, 1, 1), Variant::fromDate(vb::dateSerial(2000, 1, 1) + 32766), Diaria, 32767},
  });
}

TEST(CuentaPeriodos, ZeroWithoutTwoDatesOrAPeriodicity) {
  compruebaPeriodos({
      {"Null start", Variant::null(), fecha(2025, 1, 10), Mensual, 0},
      {"Null end", fecha(2025, 1, 1), Variant::null(), Diaria, 0},
      {"Empty", Variant(), fecha(2025, 1, 10), Semanal, 0},
      {"blank", Variant("   "), fecha(2025, 1, 10), Quincenal, 0},
      {"not a date", Variant("mañana"), fecha(2025, 1, 10), Mensual, 0},
      {"no periodicity", fecha(2025, 1, 1), fecha(2025, 1, 10), 0, 0},
      {"unknown periodicity", fecha(2025, 1, 1), fecha(2025, 1, 10), 5, 0},
  });
}

TEST(CuentaPeriodos, CountsBeyondIntegerOverflow) {
  const auto numeroDeError = [](const Variant& ini, const Variant& fin, int16_t periodicidad) {
    return errorOf([&] { general::CuentaPeriodos(ini, fin, periodicidad); });
  };
  EXPECT_EQ(numeroDeError(fecha(2000, 1, 1), Variant::fromDate(vb::dateSerial(2000, 1, 1) + 32767), Diaria), 6);
  EXPECT_EQ(numeroDeError(fecha(2000, 1, 10), fecha(1900, 1, 1), Diaria), 6);
  EXPECT_EQ(numeroDeError(fecha(100, 1, 1), fecha(2900, 1, 1), Mensual), 6);
}

TEST(SeparaRuta, SplitsAfterTheLastSeparator) {
  struct Caso { const char* ruta; const char* carpeta; const char* archivo; };
  const Caso casos[] = {
      {"/home/ana/obras/puente.mdb", "/home/ana/obras/", "puente.mdb"},
      {"C:\\Obras\\2009\\puente.mdb", "C:\\Obras\\2009\\", "puente.mdb"},
      {"/home/ana/C:\\viejo\\Parator1.kor", "/home/ana/C:\\viejo\\", "Parator1.kor"},
      {"C:\\Obras/2009/puente.mdb", "C:\\Obras/2009/", "puente.mdb"},
      {"puente.mdb", "", "puente.mdb"},
      {"/home/ana/obras/", "/home/ana/obras/", ""},
      {"/raiz.mdb", "/", "raiz.mdb"},
      {"", "", ""},
  };
  for (const Caso& c : casos) {
    QString carpeta = "x", archivo = "x";
    general::SeparaRuta(QString::fromUtf8(c.ruta), carpeta, archivo);
    EXPECT_EQ(carpeta, QString::fromUtf8(c.carpeta)) << c.ruta;
    EXPECT_EQ(archivo, QString::fromUtf8(c.archivo)) << c.ruta;
  }
}

TEST(Utilidades, EsNuloTreatsNullAndBlankAlike) {
  EXPECT_TRUE(general::esNulo(Variant::null()));
  EXPECT_TRUE(general::esNulo(Variant()));
  EXPECT_TRUE(general::esNulo(Variant("")));
  EXPECT_TRUE(general::esNulo(Variant("   ")));
  EXPECT_FALSE(general::esNulo(Variant(int16_t{0})));
  EXPECT_FALSE(general::esNulo(Variant(" a ")));
  EXPECT_FALSE(general::esNulo(Variant(false)));
  EXPECT_FALSE(general::esNulo(fecha(2025, 1, 1)));
}

TEST(Utilidades, BorraEnterAndQuitaEnterKeepTheLength) {
  EXPECT_EQ(general::BorraEnter("a\r\nb", false), "a  b");
  EXPECT_EQ(general::BorraEnter("a\tb\nc", false), "a\tb c");
  EXPECT_EQ(general::BorraEnter("a\tb\rc", true), "a b c");
  EXPECT_EQ(general::BorraEnter("", true), "");
  EXPECT_EQ(general::BorraEnter("Señor Ávila", true), "Señor Ávila");
  EXPECT_EQ(general::QuitaEnter("a\r\nb\tc"), "a \nb\tc");
  EXPECT_EQ(general::QuitaEnter(""), "");
}

TEST(Utilidades, ValXGivesDoubleOrZero) {
  EXPECT_DOUBLE_EQ(general::valX(Variant("12.5")), 12.5);
  EXPECT_DOUBLE_EQ(general::valX(Variant(1.23456)), 1.23456);  // not cut to four decimals
  EXPECT_DOUBLE_EQ(general::valX(Variant("1e300")), 1e300);
  EXPECT_DOUBLE_EQ(general::valX(Variant("abc")), 0);
  EXPECT_DOUBLE_EQ(general::valX(Variant::null()), 0);
  EXPECT_DOUBLE_EQ(general::valX(Variant()), 0);
}
