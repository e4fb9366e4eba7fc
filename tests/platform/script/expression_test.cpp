// Values and errors of expressions, as VBScript gives them.
#include "qt_print.h"
#include "scriptcontrol.h"
#include "script_test_util.h"
#include "vbdate.h"

#include <QLocale>
#include <gtest/gtest.h>

#include <clocale>

using vb::Currency;
using vb::Variant;
using vb::VarType;

namespace {

Variant evalText(const QString& text) {
  script::ScriptControl sc;
  return sc.eval(text);
}

}  // namespace

TEST(ScriptExpressions, GiveVBScriptValuesAndSubtypes) {
  const ValueCase cases[] = {
      // precedence and associativity
      {"1 + 2 * 3", i16(7)},
      {"(1 + 2) * 3", i16(9)},
      {"10 - 2 - 3", i16(5)},
      {"2 ^ 3 ^ 2", Variant(64.0)},
      {"-2 ^ 2", Variant(-4.0)},
      {"2 ^ -1", Variant(0.5)},
      {"2 * -3 + 1", i16(-5)},
      {"7 \\ 2 * 3", i16(1)},          // "\" binds looser than "*": 7 \ 6
      {"7 Mod 3 \\ 2", i16(0)},        // Mod looser than "\": 7 Mod 1
      {"-7 Mod 3", i16(-1)},
      {"1 + 2 & 3", Variant("33")},    // "&" looser than "+"
      {"1 + 1 = 2", Variant(true)},
      {"Not 1 = 2", Variant(true)},
      {"Not 0", i16(-1)},
      {"True And False Or True", Variant(true)},
      {"5 And 3", i16(1)},
      {"5 Or 3", i16(7)},
      {"5 Xor 3", i16(6)},
      // literals in the forms a user writes
      {"1E-05 * 100000", Variant(1.0)},
      {".5 + .5", Variant(1.0)},
      {"12.5", Variant(12.5)},
      {"100", i16(100)},
      {"40000", i32(40000)},
      // subtype promotion
      {"32767 + 1", i32(32768)},
      {"2147483647 + 1", Variant(2147483648.0)},
      {"200 * 200", i32(40000)},
      {"10 / 4", Variant(2.5)},
      {"CCur(1.5) + 1", Variant(Currency::fromScaled(25000))},
      // numeric text, Empty and Null
      {"1 + \"2\"", Variant(3.0)},
      {"\"1\" + \"2\"", Variant("12")},
      {"100 + \"0.0000001\"", Variant(100.0000001)},
      {"\" 2.5 \" * 2", Variant(5.0)},
      {"Empty + 1", i16(1)},
      {"Empty & \"a\"", Variant("a")},
      {"Null + 1", Variant::null()},
      {"Null / 0", Variant::null()},
      {"Null & \"a\"", Variant("a")},
      {"Null & Null", Variant::null()},
      {"Null = Null", Variant::null()},
      {"Null And False", Variant(false)},
      {"Null Or True", Variant(true)},
      {"Null And True", Variant::null()},
      {"True + True", i16(-2)},
      // comparisons
      {"1 < \"a\"", Variant(true)},
      {"\"a\" < \"b\"", Variant(true)},
      {"\"a\" = \"A\"", Variant(false)},
      {"Empty = 0", Variant(true)},
      {"Empty = \"\"", Variant(true)},
      // number text
      {"1.5 & \"\"", Variant("1.5")},
      {"0.00001 & \"\"", Variant("1E-05")},
      {"True & \"\"", Variant("True")},
      // built-ins
      {"Round(2.5)", Variant(2.0)},
      {"Round(3.5)", Variant(4.0)},
      {"Round(-2.5)", Variant(-2.0)},
      {"Round(0.125, 2)", Variant(0.12)},
      {"Round(1.005, 2)", Variant(1.0)},
      {"Round(12.345, 2)", Variant(12.34)},
      {"Round(12.345 + \"0.0000001\", 2)", Variant(12.35)},
      {"round(7)", i16(7)},
      {"Round(Null)", Variant::null()},
      {"Round(CCur(2.345), 2)", Variant(Currency::fromScaled(23400))},
      {"Abs(-3)", i16(3)},
      {"Abs(-32768)", i32(32768)},
      {"Abs(\"-1.5\")", Variant(1.5)},
      {"Int(-2.5)", Variant(-3.0)},
      {"Fix(-2.5)", Variant(-2.0)},
      {"Int(Null)", Variant::null()},
      {"Sqr(16)", Variant(4.0)},
      {"Sgn(-5)", i16(-1)},
      {"CDbl(\"1.5\")", Variant(1.5)},
      {"CInt(2.5)", i16(2)},
      {"CLng(3.5)", i32(4)},
      {"CCur(\"1.23455\")", Variant(Currency::fromScaled(12346))},
      {"IsNumeric(\"1E-7\")", Variant(true)},
      {"IsNumeric(\"1,000\")", Variant(false)},
      {"IsNumeric(\"abc\")", Variant(false)},
      {"IsNumeric(Empty)", Variant(true)},
      {"IsNumeric(Null)", Variant(false)},
      {"IsNull(Null)", Variant(true)},
      {"IsEmpty(Empty)", Variant(true)},
      {"IsEmpty(0)", Variant(false)},
      {"Len(\"abc\")", i32(3)},
      {"Len(12.5)", i32(4)},
      {"Len(Null)", Variant::null()},
      {"Trim(\"  a b  \")", Variant("a b")},
      {"UCase(\"ñandú\")", Variant("ÑANDÚ")},
      {"LCase(\"ABC\")", Variant("abc")},
  };
  expectValues(cases);
}

TEST(ScriptExpressions, BadExpressionsRaiseVBScriptNumbers) {
  struct ErrorCase {
    QString text;
    int number;
  };
  const ErrorCase cases[] = {
      {"1/0", 11},
      {"0/0", 6},
      {"1 \\ 0", 11},
      {"5 Mod 0", 11},
      {"\"abc\" * 2", 13},
      {"\"\" + 1", 13},
      {"\"1,000\" * 1", 13},
      {"1E300 * 1E300", 6},
      {"(-8) ^ 0.5", 5},
      {"CInt(40000)", 6},
      {"Sqr(-1)", 5},
      {"Sqr(Null)", 94},
      {"CDbl(Null)", 94},
      {"Round(1, -1)", 5},
      {"Abs(1, 2)", 450},
      {"Round()", 450},
      {"IIf(1, 2, 3)", 13},
      {"(1 + 2", 1006},
      {"1 + 2)", 1025},
      {"1 +", 1023},
      {"1 2", 1025},
      {"\"abc", 1033},
      {"1 # 2", 1032},
      {"1E+", 1031},
      {"If", 1023},
      {QString(10000, u'(') + "1" + QString(10000, u')'), 28},
      {QString(10000, u'-') + "1", 28},
  };
  for (const ErrorCase& c : cases) {
    EXPECT_EQ(errorOf([&] { evalText(c.text); }), c.number) << c.text.left(40).toStdString();
  }
}

TEST(ScriptExpressions, FlatChainsOfOperatorsOfAnyLength) {
  // A chain of operators of one level is no deeper than one operator: it evaluates whatever its length.
  struct ChainCase {
    QString text;
    Variant expected;
  };
  const int n = 100000;
  const ChainCase cases[] = {
      {"1" + QString("+1").repeated(n), i32(n + 1)},
      {"1" + QString(" - 1").repeated(n), i32(1 - n)},
      {"2" + QString("*1").repeated(n) + "/4", Variant(0.5)},
      // Each "&" copies the text so far: a shorter chain keeps that work under the bound.
      {"\"a\"" + QString(" & \"b\"").repeated(n / 10) + " = \"a\" & String(" + QString::number(n / 10) + ", \"b\")", Variant(true)},
      {"1" + QString("+2*3-4/2").repeated(n), Variant(4.0 * n + 1)},
      {"1" + QString(" + -1 + 1").repeated(n), i16(1)},
      {"2" + QString("^1").repeated(n), Variant(2.0)},
      {"True" + QString(" And True").repeated(n) + " Or False", Variant(true)},
      {"1" + QString(" = 1").repeated(n), Variant(false)},  // True = 1 is False, and so on
      {"Len(\"ab\"" + QString(" & 1").repeated(n / 10) + ")", i32(n / 10 + 2)},
  };
  for (const ChainCase& c : cases) {
    Variant got;
    QString description;
    const int err = errorOf([&] { got = evalText(c.text); }, &description);
    EXPECT_EQ(err, 0) << c.text.left(40).toStdString() << ": " << description.toStdString();
    if (err == 0) {
      EXPECT_EQ(got, c.expected) << c.text.left(40).toStdString();
    }
  }
  // The same chain as the body of a function.
  script::ScriptControl sc;
  script::Module& m = sc.modules().add("M");
  m.addCode("Function Suma( X)\r\nSuma=X" + QString("+X").repeated(n) + "\r\nEnd Function");
  EXPECT_EQ(m.eval("Suma(2)"), i32(2 * (n + 1)));
}

TEST(ScriptExpressions, ErrorsCarrySpanishDescriptionsWithTheName) {
  QString description;
  EXPECT_EQ(errorOf([] { evalText("IIf(1, 2, 3)"); }, &description), 13);
  EXPECT_EQ(description, "No coinciden los tipos: 'IIf'");
  EXPECT_EQ(errorOf([] { evalText("1/0"); }, &description), 11);
  EXPECT_EQ(description, "División por cero");
  EXPECT_EQ(errorOf([] { evalText("(1"); }, &description), 1006);
  EXPECT_EQ(description, "Se esperaba ')'");
}

TEST(ScriptExpressions, DecimalPointIsAPointWhateverTheLocale) {
  const QLocale before;
  const std::string cBefore = std::setlocale(LC_NUMERIC, nullptr);
  QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
  std::setlocale(LC_NUMERIC, "de_DE.UTF-8");  // may be missing; the Qt default still changes
  Variant sum, text;
  const int err = errorOf([&] {
    sum = evalText("1.5 + \"0.25\"");
    text = evalText("1.75 & \"\"");
  });
  QLocale::setDefault(before);
  std::setlocale(LC_NUMERIC, cBefore.c_str());
  ASSERT_EQ(err, 0);
  EXPECT_EQ(sum, Variant(1.75));
  EXPECT_EQ(text, Variant("1.75"));
}

TEST(ScriptExpressions, HexOctalAndDateLiterals) {
  auto date = [](int y, int m, int d, int h = 0, int mi = 0) {
    return Variant::fromDate(vb::dateSerial(y, m, d) + (h * 60 + mi) / 1440.0);
  };
  const ValueCase cases[] = {
      {"&H10", i16(16)},
      {"&hff", i16(255)},
      {"&HFFFF", i16(-1)},  // up to 16 bits an Integer
      {"&H8000", i16(-32768)},
      {"&H10000", i32(65536)},
      {"&HFFFFFFFF", i32(-1)},
      {"&O17", i16(15)},
      {"&o177777", i16(-1)},
      {"1 + &H1F", i16(32)},
      {"\"a\" & &H41", Variant("a65")},
      {"#2025-03-01#", date(2025, 3, 1)},
      {"#03/01/2025#", date(2025, 3, 1)},  // month first, whatever the locale
      {"#3-1-25#", date(2025, 3, 1)},
      {"#13/01/2025#", date(2025, 1, 13)},  // no 13th month: the day came first
      {"#March 1, 2025#", date(2025, 3, 1)},
      {"#1-Mar-2025#", date(2025, 3, 1)},
      {"#2025-03-01 13:30#", date(2025, 3, 1, 13, 30)},
      {"#1:30 PM#", Variant::fromDate(13.5 / 24)},
      {"#2025-03-01# + 1", date(2025, 3, 2)},
      {"#2025-03-01# - #2025-02-01#", Variant(28.0)},
      {"#2025-03-01# < #2025-03-02#", Variant(true)},
  };
  expectValues(cases);
  struct ErrorCase {
    const char* text;
    int number;
  };
  const ErrorCase errors[] = {
      {"&H100000000", 1031}, {"&H1G", 1031}, {"#2025-13-45#", 1002}, {"#abc#", 1002},
      {"#2025-03-01", 1032}, {"#31/31/2025#", 1002},
  };
  for (const ErrorCase& c : errors) EXPECT_EQ(errorOf([&] { evalText(c.text); }), c.number) << c.text;
}
