#include "error.h"
#include "vbdate.h"
#include "qt_print.h"

#include <gtest/gtest.h>

using namespace vb;

TEST(Date, SerialsRoundTrip) {
  struct Case { int y, m, d; double serial; };
  const Case cases[] = {
      {1899, 12, 30, 0},   {1899, 12, 31, 1},     {1900, 1, 1, 2},        {1900, 2, 28, 60},
      {1900, 3, 1, 61},    {1899, 12, 29, -1},    {1800, 1, 1, -36522},   {2000, 2, 29, 36585},
      {2009, 3, 15, 39887}, {2024, 1, 1, 45292},  {100, 1, 1, -657434},   {9999, 12, 31, 2958465},
      {1601, 1, 1, -109205},
  };
  for (const auto& c : cases) {
    const QDate qd(c.y, c.m, c.d);
    EXPECT_DOUBLE_EQ(dateSerial(c.y, c.m, c.d), c.serial) << qd.toString(Qt::ISODate).toStdString();
    EXPECT_DOUBLE_EQ(fromQDate(qd), c.serial);
    EXPECT_EQ(toQDate(c.serial), qd);
    EXPECT_EQ(year(c.serial), c.y);
    EXPECT_EQ(month(c.serial), c.m);
    EXPECT_EQ(day(c.serial), c.d);
  }
}

TEST(Date, DateSerialRunsOver) {
  EXPECT_EQ(toQDate(dateSerial(2009, 13, 1)), QDate(2010, 1, 1));
  EXPECT_EQ(toQDate(dateSerial(2009, 0, 1)), QDate(2008, 12, 1));
  EXPECT_EQ(toQDate(dateSerial(2009, -11, 1)), QDate(2008, 1, 1));
  EXPECT_EQ(toQDate(dateSerial(2009, 2, 29)), QDate(2009, 3, 1));
  EXPECT_EQ(toQDate(dateSerial(2008, 2, 29)), QDate(2008, 2, 29));
  EXPECT_EQ(toQDate(dateSerial(2009, 3, 0)), QDate(2009, 2, 28));
  EXPECT_EQ(toQDate(dateSerial(9, 3, 15)), QDate(2009, 3, 15));
  EXPECT_EQ(toQDate(dateSerial(45, 3, 15)), QDate(1945, 3, 15));
  try {
    dateSerial(10000, 1, 1);
    ADD_FAILURE() << "no error";
  } catch (const Error& e) {
    EXPECT_EQ(e.number(), 5);
  }
}

TEST(Date, TimesAndNegativeSerials) {
  // Before the epoch the day counts back and the time still runs forward.
  const QDateTime t = toQDateTime(-1.25);
  EXPECT_EQ(t, QDateTime(QDate(1899, 12, 29), QTime(6, 0)));
  EXPECT_DOUBLE_EQ(fromQDateTime(t), -1.25);
  EXPECT_DOUBLE_EQ(fromQDateTime(QDateTime(QDate(2009, 3, 15), QTime(18, 0))), 39887.75);
  EXPECT_EQ(toQDate(-0.5), QDate(1899, 12, 30));
  EXPECT_EQ(hour(39887.75), 18);
  EXPECT_EQ(minute(39887.75 + 90.0 / 86400), 1);
  EXPECT_EQ(second(39887.75 + 90.0 / 86400), 30);
  // A time a hair before midnight rounds to the next day, as VB shows it.
  EXPECT_EQ(toQDateTime(39887.9999999), QDateTime(QDate(2009, 3, 16), QTime(0, 0)));
  EXPECT_EQ(weekday(39887), 1);  // 15/03/2009 was a Sunday
  EXPECT_EQ(weekday(39893), 7);
  EXPECT_FALSE(toQDate(1e9).isValid());
  EXPECT_FALSE(toQDate(std::nan("")).isValid());
  EXPECT_FALSE(splitDate(-657435).has_value());
  EXPECT_DOUBLE_EQ(today(), fromQDate(QDate::currentDate()));
}

TEST(Date, MonthAndDayTables) {
  const char* mes[] = {"Ene", "Feb", "Mar", "Abr", "May", "Jun", "Jul", "Ago", "Sep", "Oct", "Nov", "Dic"};
  for (int m = 1; m <= 12; ++m) {
    EXPECT_EQ(mesAbreviado(m), QString::fromLatin1(mes[m - 1]));
    EXPECT_EQ(monthNameShort(m), mesAbreviado(m).toLower());
  }
  EXPECT_EQ(mesAbreviado(0), "");
  EXPECT_EQ(mesAbreviado(13), "");
  EXPECT_EQ(monthNameLong(9), "septiembre");
  EXPECT_EQ(dayNameShort(4), "mié");
  EXPECT_EQ(dayNameLong(7), "sábado");
  EXPECT_EQ(dayNameLong(8), "");
}
