#include "variant.h"
#include "vbdate.h"
#include "error_of.h"
#include "qt_print.h"

#include <gtest/gtest.h>

#include <clocale>
#include <functional>
#include <string>

using namespace vb;

namespace {

const Variant kNull = Variant::null();

}  // namespace

TEST(Conversion, IntegerRoundsHalfToEven) {
  struct Case { Variant in; int expected; };
  const Case cases[] = {
      {2.5, 2},          {3.5, 4},          {-2.5, -2},        {-3.5, -4},       {2.4999, 2},
      {0.5, 0},          {1.5, 2},          {"2.5", 2},        {" 3.5 ", 4},     {"$1,234.5", 1234},
      {true, -1},        {false, 0},        {Variant(), 0},    {Currency::fromDouble(2.5), 2},
      {Currency::fromDouble(-1.5), -2},     {Currency::fromDouble(1.5001), 2}, {32767.4, 32767},
      {-32768.5, -32768}, {"&HFFFF", -1},   {"&H7FFF", 32767}, {Variant::fromDate(2.5), 2},
  };
  for (const auto& c : cases) EXPECT_EQ(CInt(c.in), c.expected) << CStr(c.in).toStdString();
}

TEST(Conversion, LongRoundsHalfToEvenAndKeepsRange) {
  EXPECT_EQ(CLng(2147483647.4), 2147483647);
  EXPECT_EQ(CLng(-2147483648.5), -2147483648);
  EXPECT_EQ(CLng("100000.5"), 100000);
  EXPECT_EQ(CLng(Currency::fromDouble(100001.5)), 100002);
  EXPECT_EQ(CLng("&HFFFFFFFF"), -1);
  EXPECT_EQ(CLng("&H10000"), 65536);
}

TEST(Conversion, ErrorsOfTheConversions) {
  struct Case { const char* what; std::function<void()> f; int number; };
  const Case cases[] = {
      {"CInt(32767.5)", [] { CInt(32767.5); }, 6},
      {"CInt(-32768.6)", [] { CInt(-32768.6); }, 6},
      {"CInt(40000)", [] { CInt(Variant(40000)); }, 6},
      {"CInt(\"40000\")", [] { CInt("40000"); }, 6},
      {"CInt(Currency 32767.5)", [] { CInt(Currency::fromDouble(32767.5)); }, 6},
      {"CLng(2147483647.5)", [] { CLng(2147483647.5); }, 6},
      {"CLng(1e300)", [] { CLng(1e300); }, 6},
      {"CCur(1e16)", [] { CCur(1e16); }, 6},
      {"CCur(\"1e16\")", [] { CCur("1e16"); }, 6},
      {"CDbl(\"1e999\")", [] { CDbl("1e999"); }, 6},
      {"CInt(Null)", [] { CInt(kNull); }, 94},
      {"CLng(Null)", [] { CLng(kNull); }, 94},
      {"CDbl(Null)", [] { CDbl(kNull); }, 94},
      {"CCur(Null)", [] { CCur(kNull); }, 94},
      {"CBool(Null)", [] { CBool(kNull); }, 94},
      {"CStr(Null)", [] { CStr(kNull); }, 94},
      {"CDate(Null)", [] { CDate(kNull); }, 94},
      {"Val(Null)", [] { Val(kNull); }, 94},
      {"CInt(\"abc\")", [] { CInt("abc"); }, 13},
      {"CDbl(\"abc\")", [] { CDbl("abc"); }, 13},
      {"CCur(\"abc\")", [] { CCur("abc"); }, 13},
      {"CDbl(\"\")", [] { CDbl(""); }, 13},
      {"CDbl(\" \")", [] { CDbl(" "); }, 13},
      {"CBool(\"abc\")", [] { CBool("abc"); }, 13},
      {"CDate(\"abc\")", [] { CDate("abc"); }, 13},
      {"CDate(\"31/02/2009\")", [] { CDate("31/02/2009"); }, 13},
      {"CDate(1e9)", [] { CDate(1e9); }, 6},
      {"Variant::fromDate(1e9)", [] { Variant::fromDate(1e9); }, 6},
  };
  for (const auto& c : cases) EXPECT_EQ(errorOf(c.f), c.number) << c.what;
}

TEST(Conversion, CurrencyFromTextIsExactDecimal) {
  // Text converts digit by digit, so exact halves round to even at 1e-4 without binary noise.
  struct Case { const char* in; int64_t scaled; };
  const Case cases[] = {
      {"0.00005", 0},        {"0.00015", 2},         {"0.00025", 2},      {"-0.00015", -2},
      {"1.000050001", 10001}, {"1234.56789", 12345679}, {"$1,234.5", 12345000}, {"(12)", -120000},
      {"12-", -120000},      {"1E-4", 1},            {"1.5E3", 15000000}, {"922337203685477.5807", INT64_MAX},
      {"-922337203685477.5808", INT64_MIN},          {"&H10", 160000},    {"0.000049999999999999999999", 0},
  };
  for (const auto& c : cases) EXPECT_EQ(CCur(c.in).scaled(), c.scaled) << c.in;
  EXPECT_EQ(CCur(Variant(0.00035)).scaled(), 4);  // a Double converts through its scaled double
  EXPECT_EQ(CCur(Variant()).scaled(), 0);
  EXPECT_EQ(CCur(true).scaled(), -10000);
}

TEST(Conversion, DoubleAndBool) {
  EXPECT_DOUBLE_EQ(CDbl(" -12 "), -12);
  EXPECT_DOUBLE_EQ(CDbl("1E-7"), 1e-7);
  EXPECT_DOUBLE_EQ(CDbl("1D3"), 1000);
  EXPECT_DOUBLE_EQ(CDbl("$ 1,234.56"), 1234.56);
  EXPECT_DOUBLE_EQ(CDbl("-$1,234.56"), -1234.56);
  EXPECT_DOUBLE_EQ(CDbl(".5"), 0.5);
  EXPECT_DOUBLE_EQ(CDbl(Currency::fromScaled(12345)), 1.2345);
  EXPECT_DOUBLE_EQ(CDbl(Variant::fromDate(2009, 3, 15)), 39887);
  EXPECT_DOUBLE_EQ(CDbl(Variant()), 0);
  EXPECT_DOUBLE_EQ(CDbl(true), -1);
  EXPECT_TRUE(CBool("True"));
  EXPECT_TRUE(CBool("verdadero"));
  EXPECT_FALSE(CBool(" false "));
  EXPECT_TRUE(CBool("-1"));
  EXPECT_TRUE(CBool(0.1));
  EXPECT_FALSE(CBool("0"));
  EXPECT_FALSE(CBool(Variant()));
  EXPECT_TRUE(CBool(Currency::fromScaled(1)));
}

TEST(Conversion, TextForm) {
  struct Case { Variant in; const char* text; };
  const Case cases[] = {
      {Variant(), ""},
      {true, "True"},
      {false, "False"},
      {Variant(int16_t(-5)), "-5"},
      {Variant(123456), "123456"},
      {0.1 + 0.2, "0.3"},
      {1.0 / 3, "0.333333333333333"},
      {2.0 / 3, "0.666666666666667"},
      {1234567.5, "1234567.5"},
      {123456789012345.0, "123456789012345"},
      {1e15, "1E+15"},
      {1.5e-5, "1.5E-05"},
      {0.0001, "0.0001"},
      {-0.0, "0"},
      {-2.5, "-2.5"},
      {1e100, "1E+100"},
      {Variant(0.1f), "0.1"},
      {Variant(1234567.0f), "1234567"},
      {Currency::fromScaled(12345000), "1234.5"},
      {Variant::fromDate(2009, 3, 15), "15/03/2009"},
      {Variant::fromDate(39887.75), "15/03/2009 18:00:00"},
      {Variant::fromDate(0.5), "12:00:00"},
      {Variant::fromDate(-1.25), "29/12/1899 06:00:00"},
      {"  texto ", "  texto "},
  };
  for (const auto& c : cases) EXPECT_EQ(CStr(c.in), QString::fromUtf8(c.text));
  EXPECT_EQ(numberText(0.1 + 0.2), "0.3");
  EXPECT_EQ(numberText(-1234.5678), "-1234.5678");
  EXPECT_EQ(numberText(1e-7), "1E-07");
}

TEST(Conversion, IsNumeric) {
  struct Case { Variant in; bool numeric; };
  const Case cases[] = {
      {"$1,234.56", true}, {" -12 ", true},   {"(12)", true},   {"1E-7", true},  {"1e+7", true},
      {"12-", true},       {"+5", true},      {"-$5", true},    {"$-5", true},   {"5$", true},
      {".5", true},        {"5.", true},      {"&H1F", true},   {"&O17", true},  {"1D2", true},
      {"1,2", true},       {"1,234,567.89", true},
      {"", false},         {" ", false},      {"1.2.3", false}, {"abc", false},  {"12abc", false},
      {"1E", false},       {"(12", false},    {"(-12)", false}, {"-12-", false}, {",5", false},
      {"1.5,3", false},    {"$", false},      {"-", false},     {".", false},    {"15/03/2009", false},
      {"&H", false},       {"&HG", false},    {"1 2", false},   {"12%", false},
      {Variant(), true},   {kNull, false},    {true, true},     {3.5, true},     {Currency(), true},
      {Variant::fromDate(1.0), false},
  };
  for (const auto& c : cases)
    EXPECT_EQ(IsNumeric(c.in), c.numeric) << (c.in.isString() ? c.in.rawString().toStdString() : "non-text");
}

TEST(Conversion, ScriptSyntaxIsStricter) {
  EXPECT_EQ(parseNumber(" 1.5E-7 ", NumberSyntax::Script), 1.5e-7);
  EXPECT_EQ(parseNumber("-12", NumberSyntax::Script), -12);
  EXPECT_EQ(parseNumber("&H10", NumberSyntax::Script), 16);
  for (const char* bad : {"$5", "1,000", "(12)", "12-", "1D2", "", "0.0000001x"})
    EXPECT_FALSE(parseNumber(QString::fromLatin1(bad), NumberSyntax::Script).has_value()) << bad;
  EXPECT_EQ(parseNumber("$1,000"), 1000);
}

TEST(Conversion, Val) {
  struct Case { const char* in; double value; };
  const Case cases[] = {
      {"  12abc", 12},  {"1e3", 1000},     {"1E-2x", 0.01}, {"&H10", 16},    {"&HFFFF", -1},
      {"&o17", 15},     {"&H1G", 1},       {" 1 2 3", 123}, {"- 5", -5},     {"1.2.3", 1.2},
      {"abc", 0},       {"", 0},           {"1,234", 1},    {"$12", 0},      {".5", 0.5},
      {"1e", 1},        {"1e+", 1},        {"12d2", 1200},  {"\t7\n8", 78},  {"+3", 3},
      {"15/03/2009", 15},
  };
  for (const auto& c : cases) EXPECT_DOUBLE_EQ(Val(QString::fromLatin1(c.in)), c.value) << c.in;
  EXPECT_DOUBLE_EQ(Val(Variant(2.5)), 2.5);
  EXPECT_DOUBLE_EQ(Val(Variant()), 0);
}

TEST(Conversion, CompareFollowsVbRules) {
  struct Case { Variant a, b; bool text; std::optional<int> result; };
  const Case cases[] = {
      {kNull, Variant(1), false, std::nullopt},
      {"a", kNull, false, std::nullopt},
      {kNull, kNull, false, std::nullopt},
      {Variant(), Variant(), false, 0},
      {Variant(), Variant(0), false, 0},
      {Variant(), Variant(-1), false, 1},
      {Variant(), "", false, 0},
      {Variant(), "a", false, -1},
      {Variant(2), 2.0, false, 0},
      {Variant(2), 2.5, false, -1},
      {Currency::fromDouble(0.3), Currency::fromDouble(0.1) + Currency::fromDouble(0.2), false, 0},
      {Currency::fromScaled(INT64_MAX), Currency::fromScaled(INT64_MAX - 1), false, 1},
      {true, Variant(-1), false, 0},
      {Variant::fromDate(2009, 3, 15), 39887.0, false, 0},
      {Variant(1000), "2", false, -1},  // a number is less than any text
      {"2", Variant(1000), false, 1},
      {"abc", "ABC", false, 1},
      {"abc", "ABC", true, 0},
      {"ñandú", "ÑANDÚ", true, 0},
      {"a", "b", false, -1},
      {"b", "a", true, 1},
  };
  for (const auto& c : cases) EXPECT_EQ(Compare(c.a, c.b, c.text), c.result);
}

TEST(Conversion, VariantKeepsItsType) {
  EXPECT_EQ(Variant().type(), VarType::Empty);
  EXPECT_EQ(Variant::null().type(), VarType::Null);
  EXPECT_EQ(Variant(int16_t(1)).type(), VarType::Integer);
  EXPECT_EQ(Variant(1).type(), VarType::Long);
  EXPECT_EQ(Variant(1LL << 40).type(), VarType::Double);
  EXPECT_EQ(Variant(qint64(7)).type(), VarType::Long);
  EXPECT_EQ(Variant(1.0f).type(), VarType::Single);
  EXPECT_EQ(Variant(1.0).type(), VarType::Double);
  EXPECT_EQ(Variant(Currency()).type(), VarType::Currency);
  EXPECT_EQ(Variant::fromDate(1.0).type(), VarType::Date);
  EXPECT_EQ(Variant("x").type(), VarType::String);
  EXPECT_EQ(Variant(true).type(), VarType::Boolean);
  EXPECT_EQ(Variant(true).rawInt(), -1);
  EXPECT_TRUE(Variant(Currency()).isNumber());
  EXPECT_FALSE(Variant(true).isNumber());
  EXPECT_FALSE(Variant::fromDate(1.0).isNumber());
  EXPECT_EQ(Variant("x"), Variant(QStringLiteral("x")));
  EXPECT_NE(Variant(1), Variant(int16_t(1)));
}

TEST(Conversion, IsDateOfTexts) {
  for (const char* yes : {"15/03/2009", "15/mar/2009", "15/MAR/2009", "15-Mar-09", "2009/03/15", "2009-03-15",
                          "15 marzo 2009", "15/Ene/2010", "29/02/2008", "15/03/2009 10:30", "10:30",
                          "10:30:15 p.m.", "15/03", "mar 15, 2009", "15-mar.-2009", "1/1/100"})
    EXPECT_TRUE(IsDate(QString::fromLatin1(yes))) << yes;
  for (const char* no : {"", "abc", "12", "1.5", "1,5", "29/02/2009", "32/01/2009", "15/13/2009", "03/15/2009",
                         "15/xyz/2009", "25:00", "10:60", "15/03/2009/1", "15//03/2009", "15mar2009",
                         "13:00 pm", "1/1/10000", "$15/03/2009"})
    EXPECT_FALSE(IsDate(QString::fromLatin1(no))) << no;
  // Blanks: one between the items of a date, any number before the time and inside "p. m.".
  const QString blancos(40, u' ');
  for (const QString& yes : {"15/03/2009" + blancos + "10:30", "10:30" + blancos + "pm", "10:30 p." + blancos + "m.",
                             QString("15\t03\t2009")})
    EXPECT_TRUE(IsDate(yes)) << yes.toStdString();
  for (const QString& no : {QString("15  03 2009"), QString("15/03/2009/") + QString("1/").repeated(40),
                            QString("1/1/2009") + blancos + "10" + QString(":1").repeated(40),
                            QString("1") + QString(" /").repeated(100000)})
    EXPECT_FALSE(IsDate(no)) << no.left(40).toStdString();
  EXPECT_DOUBLE_EQ(CDate("15/03/2009" + blancos + "6:00" + blancos + "PM"), 39887.75);
  EXPECT_TRUE(IsDate(Variant::fromDate(1.0)));
  EXPECT_FALSE(IsDate(Variant(39887)));
  EXPECT_FALSE(IsDate(kNull));
}

TEST(Conversion, CDateOfTexts) {
  struct Case { const char* in; double serial; };
  const Case cases[] = {
      {"15/03/2009", 39887},         {"15/mar/2009", 39887},  {"2009/03/15", 39887},     {"15-03-09", 39887},
      {"15/03/2009 18:00", 39887.75}, {"6:00 PM", 0.75},      {"12:00 a.m.", 0},         {"12:30 pm", 0.5 + 1.0 / 48},
      {"01/01/30", 10959},           {"01/01/29", 47119},     {"03/2009", 39873},        {"mar 2009", 39873},
      {"29/12/1899 06:00", -1.25},
  };
  for (const auto& c : cases) EXPECT_DOUBLE_EQ(CDate(c.in), c.serial) << c.in;
  const int y = QDate::currentDate().year();
  EXPECT_DOUBLE_EQ(CDate("15/03"), dateSerial(y, 3, 15));
}

TEST(Conversion, StringFunctions) {
  EXPECT_EQ(Trim("  a b  "), "a b");
  EXPECT_EQ(Trim("\ta\t"), "\ta\t");  // blanks only
  EXPECT_EQ(LTrim("  a "), "a ");
  EXPECT_EQ(RTrim("  a "), "  a");
  EXPECT_EQ(UCase("año ñandú"), "AÑO ÑANDÚ");
  EXPECT_EQ(LCase("ÁRBOL"), "árbol");
  EXPECT_EQ(Left("abc", 2), "ab");
  EXPECT_EQ(Left("abc", 5), "abc");
  EXPECT_EQ(Right("abc", 2), "bc");
  EXPECT_EQ(Mid("abcdef", 2, 3), "bcd");
  EXPECT_EQ(Mid("abcdef", 4), "def");
  EXPECT_EQ(Mid("abc", 5), "");
  EXPECT_EQ(InStr("abcabc", "c"), 3);
  EXPECT_EQ(InStr("abcabc", "c", 4), 6);
  EXPECT_EQ(InStr("abc", "x"), 0);
  EXPECT_EQ(InStr("abc", "", 2), 2);
  EXPECT_EQ(InStr("abc", "a", 9), 0);
  EXPECT_EQ(errorOf([] { Left("abc", -1); }), 5);
  EXPECT_EQ(errorOf([] { Mid("abc", 0); }), 5);
  EXPECT_EQ(errorOf([] { InStr("abc", "a", 0); }), 5);
}

TEST(Conversion, ErrorCarriesNumberAndSpanishDescription) {
  const Error standard(94);
  EXPECT_EQ(standard.number(), 94);
  EXPECT_EQ(standard.description(), "Uso no válido de Null");
  EXPECT_STREQ(standard.what(), "94 Uso no válido de Null");
  const Error own(3024, QStringLiteral("No se encontró el archivo"));
  EXPECT_EQ(own.description(), "No se encontró el archivo");
  for (int n : {5, 6, 9, 11, 13, 53, 70, 91, 438, 450, 457}) EXPECT_FALSE(Error::standardDescription(n).isEmpty()) << n;
  EXPECT_TRUE(Error::standardDescription(12345).isEmpty());
}

// Qt takes the user's locale at start-up; a comma-decimal locale must not reach number text.
TEST(NumberTextTest, IgnoresACommaDecimalProcessLocale) {
  const char* comma[] = {"es_ES.UTF-8", "de_DE.UTF-8", "fr_FR.UTF-8", "es_ES.utf8", "de_DE.utf8"};
  std::string previous = std::setlocale(LC_NUMERIC, nullptr);
  bool found = false;
  for (const char* name : comma)
    if (std::setlocale(LC_NUMERIC, name)) { found = true; break; }
  if (!found) GTEST_SKIP() << "no comma-decimal locale installed";
  const QString text = numberText(1234.5);
  const auto parsed = parseNumber(QStringLiteral("0.25"), NumberSyntax::Vb);
  const QString formatted = vb::Format(vb::Variant(1234.5), QStringLiteral("#,##0.00"));
  std::setlocale(LC_NUMERIC, previous.c_str());
  EXPECT_EQ(text, "1234.5");
  ASSERT_TRUE(parsed.has_value());
  EXPECT_DOUBLE_EQ(*parsed, 0.25);
  EXPECT_EQ(formatted, "1,234.50");
}
