#include "currency.h"
#include "error.h"
#include "error_of.h"
#include "qt_print.h"

#include <gtest/gtest.h>

#include <limits>

using vb::Currency;

TEST(Currency, FromDoubleRoundsHalfToEvenAtTheFourthDecimal) {
  struct Case { double in; int64_t scaled; };
  const Case cases[] = {
      {1.23456, 12346},   {1.23454, 12345},  {0.5, 5000},      {-0.5, -5000},
      {2.5, 25000},       {0.00045, 4},      {0.00025, 2},     {-0.00025, -2},
      {0.00035, 4},       {1e-5, 0},         {0.00006, 1},     {900000000000000.0, 9000000000000000000},
      {-900000000000000.0, -9000000000000000000},
  };
  for (const auto& c : cases) EXPECT_EQ(Currency::fromDouble(c.in).scaled(), c.scaled) << c.in;
}

TEST(Currency, OutOfRangeIsOverflow) {
  EXPECT_EQ(errorOf([] { Currency::fromDouble(1e15); }), 6);
  EXPECT_EQ(errorOf([] { Currency::fromDouble(-1e15); }), 6);
  EXPECT_EQ(errorOf([] { Currency::fromDouble(std::numeric_limits<double>::quiet_NaN()); }), 6);
  EXPECT_EQ(errorOf([] { Currency::fromDouble(std::numeric_limits<double>::infinity()); }), 6);
  EXPECT_EQ(errorOf([] { Currency::fromInt(std::numeric_limits<int64_t>::max() / 1000); }), 6);
  const Currency max = Currency::fromScaled(std::numeric_limits<int64_t>::max());
  const Currency min = Currency::fromScaled(std::numeric_limits<int64_t>::min());
  EXPECT_EQ(errorOf([&] { max + Currency::fromScaled(1); }), 6);
  EXPECT_EQ(errorOf([&] { min - Currency::fromScaled(1); }), 6);
  EXPECT_EQ(errorOf([&] { -min; }), 6);
  EXPECT_EQ(errorOf([&] { max * Currency::fromInt(2); }), 6);
}

TEST(Currency, ArithmeticIsExact) {
  // The sum that binary doubles get wrong.
  EXPECT_EQ(Currency::fromDouble(0.1) + Currency::fromDouble(0.2), Currency::fromDouble(0.3));
  EXPECT_EQ((Currency::fromDouble(10) - Currency::fromDouble(0.0001)).scaled(), 99999);
  // 1.2345 * 1.5 = 1.85175 -> 1.8518 (half to even at 1e-4 of an exact product); 0.0005*0.5 = 0.00025 -> 0.0002
  EXPECT_EQ((Currency::fromDouble(1.2345) * Currency::fromDouble(1.5)).scaled(), 18518);
  EXPECT_EQ((Currency::fromDouble(0.0005) * Currency::fromDouble(0.5)).scaled(), 2);
  EXPECT_EQ((Currency::fromDouble(0.0015) * Currency::fromDouble(0.5)).scaled(), 8);
  EXPECT_EQ((Currency::fromDouble(-0.0005) * Currency::fromDouble(0.5)).scaled(), -2);
  // A large amount times a rate: the exact product does not overflow on the way.
  EXPECT_EQ((Currency::fromInt(100000000000) * Currency::fromDouble(0.16)).scaled(), 160000000000000);
  EXPECT_EQ((Currency::fromInt(3) * 0.5).scaled(), 15000);
  EXPECT_DOUBLE_EQ(Currency::fromInt(1) / Currency::fromInt(4), 0.25);
  EXPECT_EQ(errorOf([] { Currency::fromInt(1) / Currency(); }), 11);
  EXPECT_EQ(errorOf([] { Currency() / Currency(); }), 6);
  Currency c = Currency::fromInt(5);
  c += Currency::fromDouble(0.25);
  c -= Currency::fromInt(1);
  EXPECT_EQ(c.scaled(), 42500);
  EXPECT_LT(Currency::fromDouble(-1), Currency());
}

TEST(Currency, TextHasDotNoGroupingNoTrailingZeros) {
  struct Case { int64_t scaled; const char* text; };
  const Case cases[] = {
      {0, "0"}, {12345000, "1234.5"}, {-1, "-0.0001"}, {10000, "1"}, {-12340000, "-1234"}, {5, "0.0005"},
      {std::numeric_limits<int64_t>::max(), "922337203685477.5807"},
      {std::numeric_limits<int64_t>::min(), "-922337203685477.5808"},
  };
  for (const auto& c : cases) EXPECT_EQ(Currency::fromScaled(c.scaled).toString(), QString::fromLatin1(c.text));
}
