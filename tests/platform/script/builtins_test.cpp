// VBScript's built-in functions and named constants, with the values and errors VBScript documents;
// texts, numbers and dates on the program's own conventions ("." decimals, "," thousands, "$",
// day-first dates, Spanish month and day names).
#include "qt_print.h"
#include "scriptcontrol.h"
#include "script_test_util.h"
#include "textfinder.h"
#include "vbdate.h"

#include <QRandomGenerator>
#include <gtest/gtest.h>

using vb::Variant;

namespace {

Variant sng(double v) { return Variant(float(v)); }
Variant dt(int y, int m, int d, int h = 0, int mi = 0, int s = 0) {
  return Variant::fromDate(vb::dateSerial(y, m, d) + (h * 3600 + mi * 60 + s) / 86400.0);
}
Variant timeOfDay(int h, int mi, int s) { return Variant::fromDate((h * 3600 + mi * 60 + s) / 86400.0); }

}  // namespace

TEST(ScriptBuiltins, ConversionsAndMath) {
  const ValueCase cases[] = {
      {"CBool(0)", Variant(false)},
      {"CBool(-2.5)", Variant(true)},
      {"CBool(\"True\")", Variant(true)},
      {"CBool(\"0\")", Variant(false)},
      {"CByte(254.5)", i16(254)},  // half to even, 0 to 255
      {"CByte(\"12\")", i16(12)},
      {"CSng(1.5)", sng(1.5)},
      {"CSng(\"0.1\") = CSng(0.1)", Variant(true)},
      {"CStr(1.5)", Variant("1.5")},
      {"CStr(True)", Variant("True")},
      {"CStr(Empty)", Variant("")},
      {"CStr(#2025-03-01#)", Variant("01/03/2025")},
      {"CDate(\"15/03/2009\")", dt(2009, 3, 15)},
      {"CDate(45717)", dt(2025, 3, 1)},
      {"Atn(1) * 4", Variant(3.141592653589793)},
      {"Atn(0)", Variant(0.0)},
      {"Cos(0)", Variant(1.0)},
      {"Sin(0)", Variant(0.0)},
      {"Tan(0)", Variant(0.0)},
      {"Exp(0)", Variant(1.0)},
      {"Log(1)", Variant(0.0)},
      {"Hex(255)", Variant("FF")},
      {"Hex(-1)", Variant("FFFF")},          // an Integer shows 16 bits
      {"Hex(-40000)", Variant("FFFF63C0")},  // a Long 32
      {"Hex(65536)", Variant("10000")},
      {"Hex(10.5)", Variant("A")},           // rounded half to even first
      {"Hex(Empty)", Variant("0")},
      {"Hex(Null)", Variant::null()},
      {"Oct(8)", Variant("10")},
      {"Oct(-1)", Variant("177777")},
      {"Oct(Null)", Variant::null()},
  };
  expectValues(cases);
}

TEST(ScriptBuiltins, RndAndRandomizeFollowVBScriptsGenerator) {
  script::ScriptControl sc;
  // A new engine starts its generator at the same place every time.
  const double first[] = {0.7055475115776062, 0.5334240198135376, 0.5795186161994934};
  for (double v : first) EXPECT_EQ(sc.eval("Rnd"), sng(v));
  EXPECT_EQ(sc.eval("Rnd(0)"), sng(first[2]));  // 0 repeats the last number
  EXPECT_EQ(sc.eval("Rnd(-1)"), sng(0.2240070104598999));  // a negative number reseeds: same value each time
  EXPECT_EQ(sc.eval("Rnd(-1)"), sng(0.2240070104598999));
  script::ScriptControl seeded;
  seeded.executeStatement("Randomize 0");
  EXPECT_EQ(seeded.eval("Rnd"), sng(0.7641412615776062));
  EXPECT_EQ(seeded.eval("Rnd(1)"), sng(0.3576427698135376));
  // Randomize without a number takes the clock, and Rnd stays in [0, 1).
  seeded.executeStatement("Randomize");
  EXPECT_EQ(seeded.eval("Rnd >= 0 And Rnd < 1"), Variant(true));
}

TEST(ScriptBuiltins, Texts) {
  const ValueCase cases[] = {
      {"Left(\"abc\", 2)", Variant("ab")},
      {"Left(\"abc\", 5)", Variant("abc")},
      {"Left(Null, 1)", Variant::null()},
      {"Left(12.5, 2)", Variant("12")},
      {"Right(\"abc\", 2)", Variant("bc")},
      {"Right(Null, 2)", Variant::null()},
      {"Mid(\"VBScript is fun!\", 3, 6)", Variant("Script")},
      {"Mid(\"abc\", 2)", Variant("bc")},
      {"Mid(\"abc\", 5)", Variant("")},
      {"Mid(Null, 1)", Variant::null()},
      {"InStr(\"XXpXXpXXPXXP\", \"P\")", i32(9)},
      {"InStr(4, \"XXpXXpXXPXXP\", \"P\", 1)", i32(6)},  // text comparison from the 4th character
      {"InStr(1, \"XXpXXpXXPXXP\", \"W\")", i32(0)},
      {"InStr(\"abc\", \"\")", i32(1)},
      {"InStr(5, \"abc\", \"c\")", i32(0)},
      {"InStr(Null, \"a\")", Variant::null()},
      {"InStrRev(\"XXpXXpXXPXXP\", \"P\", 10, 0)", i32(9)},
      {"InStrRev(\"XXpXXpXXPXXP\", \"P\", -1, 1)", i32(12)},
      {"InStrRev(\"XXpXXpXXPXXP\", \"P\", 8)", i32(0)},
      {"InStrRev(\"abc\", \"\", 2)", i32(2)},
      {"InStrRev(\"abc\", \"a\", 5)", i32(0)},
      {"InStrRev(\"a\", Null)", Variant::null()},
      {"LTrim(\"  a  \")", Variant("a  ")},
      {"RTrim(\"  a  \")", Variant("  a")},
      {"RTrim(Null)", Variant::null()},
      {"Space(3)", Variant("   ")},
      {"String(3, \"ab\")", Variant("aaa")},
      {"String(2, 65)", Variant("AA")},
      {"String(2, 321)", Variant("AA")},  // a code past 255 is taken mod 256
      {"String(Null, \"a\")", Variant::null()},
      {"Replace(\"This is a beautiful day!\", \"i\", \"##\")", Variant("Th##s ##s a beaut##ful day!")},
      {"Replace(\"This is a beautiful day!\", \"i\", \"##\", 15)", Variant("t##ful day!")},  // from start on
      {"Replace(\"This is a beautiful day!\", \"i\", \"##\", 1, 2)", Variant("Th##s ##s a beautiful day!")},
      {"Replace(\"XXpXXPXXp\", \"p\", \"Y\", 1, -1, 1)", Variant("XXYXXYXXY")},
      {"Replace(\"abc\", \"\", \"x\")", Variant("abc")},
      {"Replace(\"abc\", \"b\", \"\")", Variant("ac")},
      {"Replace(\"abc\", \"b\", \"x\", 5)", Variant("")},
      {"Replace(\"abc\", \"b\", \"x\", 1, 0)", Variant("abc")},
      {"StrComp(\"ABCD\", \"abcd\", 1)", i16(0)},
      {"StrComp(\"ABCD\", \"abcd\", 0)", i16(-1)},
      {"StrComp(\"abcd\", \"ABCD\")", i16(1)},
      {"StrComp(Null, \"a\")", Variant::null()},
      {"StrReverse(\"VBScript\")", Variant("tpircSBV")},
      {"Asc(\"Apple\")", i16(65)},
      {"Asc(\"ñ\")", i16(241)},
      {"Asc(\"€\")", i16(128)},  // the program's code page, Windows-1252
      {"AscW(\"€\")", i16(8364)},
      {"Chr(65)", Variant("A")},
      {"Chr(241)", Variant("ñ")},
      {"Chr(128)", Variant("€")},
      {"ChrW(8364)", Variant("€")},
      {"Escape(\"a b&c.ñ€\")", Variant("a%20b%26c.%F1%u20AC")},
      {"Unescape(\"a%20b%26c.%F1%u20AC%zz\")", Variant("a b&c.ñ€%zz")},
      {"RGB(255, 0, 0)", i32(255)},
      {"RGB(0, 128, 300)", i32(16744448)},  // past 255 counts as 255
      {"Len(vbCrLf & vbTab)", i32(3)},
  };
  expectValues(cases);
}

TEST(ScriptBuiltins, TextSearchesFindWhatAPlainSearchFinds) {
  // Few letters, so that near misses and overlaps abound; the library's plain search is the reference.
  QRandomGenerator rng(20250611);
  const QString letters = QString::fromUtf8("aAbBñÑ");
  auto random = [&](int maxLength) {
    QString t;
    const int n = rng.bounded(maxLength + 1);
    for (int i = 0; i < n; ++i) t += letters[rng.bounded(rng.bounded(2) ? 2 : int(letters.size()))];
    return t;
  };
  for (int round = 0; round < 4000; ++round) {
    const QString text = random(14);
    QString sought = random(5);
    if (sought.isEmpty()) sought = "a";
    for (Qt::CaseSensitivity cs : {Qt::CaseSensitive, Qt::CaseInsensitive}) {
      const script::TextFinder finder(sought, cs);
      for (qsizetype from = 0; from <= text.size(); ++from) {
        ASSERT_EQ(finder.indexIn(text, from), text.indexOf(sought, from, cs))
            << text.toStdString() << " / " << sought.toStdString() << " from " << from << " cs " << cs;
        ASSERT_EQ(finder.lastIndexIn(text, from), text.lastIndexOf(sought, from, cs))
            << text.toStdString() << " / " << sought.toStdString() << " back from " << from << " cs " << cs;
      }
    }
  }
  // Texts where each place nearly matches a long sought text: found (or not) all the same.
  const ValueCase cases[] = {
      {"InStr(String(200000, \"a\") & \"b\", String(3000, \"a\") & \"b\")", i32(197001)},
      {"InStr(String(200000, \"a\"), \"b\" & String(3000, \"a\"))", i32(0)},
      {"InStr(1, String(200000, \"a\"), String(3000, \"A\") & \"B\", vbTextCompare)", i32(0)},
      {"InStrRev(\"b\" & String(200000, \"a\"), \"b\" & String(3000, \"a\"))", i32(1)},
      {"InStrRev(String(200000, \"a\"), String(3000, \"a\") & \"b\")", i32(0)},
      {"Len(Replace(String(200000, \"a\"), \"b\" & String(3000, \"a\"), \"\"))", i32(200000)},
      {"UBound(Split(String(200000, \"a\"), String(3000, \"a\") & \"b\"))", i32(0)},
      {"UBound(Filter(Array(String(200000, \"a\")), String(3000, \"a\") & \"b\"))", i32(-1)},
  };
  expectValues(cases);
}

TEST(ScriptBuiltins, ArraysJoinSplitAndFilter) {
  const ValueCase cases[] = {
      {"UBound(Array(1, 2, 3))", i32(2)},
      {"LBound(Array(1, 2, 3))", i32(0)},
      {"UBound(Array())", i32(-1)},
      {"UBound(Array(1, 2), 1)", i32(1)},
      {"Join(Array(\"a\", \"b\", \"c\"))", Variant("a b c")},
      {"Join(Array(\"a\", 1.5, True), \"-\")", Variant("a-1.5-True")},
      {"Join(Array())", Variant("")},
      {"UBound(Split(\"a b c\"))", i32(2)},
      {"UBound(Split(\"\"))", i32(-1)},
      {"Join(Split(\"a,b,,c\", \",\"), \"|\")", Variant("a|b||c")},
      {"Join(Split(\"a,b,c\", \",\", 2), \"|\")", Variant("a|b,c")},
      {"Join(Split(\"aXbxc\", \"x\", -1, 1), \"|\")", Variant("a|b|c")},
      {"Join(Split(\"abc\", \"\"), \"|\")", Variant("abc")},
      {"Join(Filter(Array(\"Lunes\", \"Martes\", \"Sábado\"), \"es\"), \",\")", Variant("Lunes,Martes")},
      {"Join(Filter(Array(\"Lunes\", \"Martes\", \"Sábado\"), \"es\", False), \",\")", Variant("Sábado")},
      {"Join(Filter(Array(\"ABC\", \"abc\", \"x\"), \"b\", True, vbTextCompare), \",\")", Variant("ABC,abc")},
  };
  expectValues(cases);
}

TEST(ScriptBuiltins, TheArrayACallGivesIsIndexedWhereItStands) {
  const ValueCase cases[] = {
      {"Split(\"a,b,c\", \",\")(1)", Variant("b")},
      {"Array(1, 2)(1)", i16(2)},
      {"Array(Array(1, 2), 3)(0)(1)", i16(2)},
      {"Split(\"a,b,c\", \",\")(1 + 1) & Split(\"x y\")(0)", Variant("cx")},
      {"Len(Split(\"uno,dos\", \",\")(1)) * 2", i32(6)},
      {"UBound(Array(Split(\"a,b\", \",\"), 1)(0))", i32(1)},
  };
  expectValues(cases);

  script::ScriptControl sc;
  script::Module& m = sc.modules().add("M");
  // In a one-expression function body it is the only way to take one part of a text.
  m.addCode("Function Parte( S,I)\r\nParte=Split(S, \",\")(I)\r\nEnd Function\r\n"
            "Function Lista()\r\nLista=Array(10, 20, 30)\r\nEnd Function");
  EXPECT_EQ(m.eval("Parte(\"5,7,9\", 2)"), Variant("9"));
  EXPECT_EQ(m.eval("Lista()(1) + Lista(  )(2)"), i16(50));
  struct Case {
    const char* text;
    int number;
  };
  const Case errors[] = {
      {"Split(\"a,b\", \",\")(2)", 9},
      {"Array(1, 2)(-1)", 9},
      {"Array()(0)", 9},
      {"Array(1, 2)(0, 0)", 9},
      {"Array(1, 2)()", 9},
      {"Len(\"ab\")(0)", 13},
      {"Parte(\"5,7\", 5)", 9},
      {"Array(1, 2)(\"x\")", 13},
      {"Array(1, 2)(Null)", 94},
  };
  for (const Case& c : errors) {
    EXPECT_EQ(errorOf([&] { m.eval(c.text); }), c.number) << c.text;
  }
}

TEST(ScriptBuiltins, Inspection) {
  const ValueCase cases[] = {
      {"IsArray(Array())", Variant(true)},
      {"IsArray(1)", Variant(false)},
      {"IsObject(1)", Variant(false)},
      {"IsDate(\"15/03/2009\")", Variant(true)},
      {"IsDate(#2025-03-01#)", Variant(true)},
      {"IsDate(\"abc\")", Variant(false)},
      {"IsDate(5)", Variant(false)},
      {"VarType(Empty)", i16(0)},
      {"VarType(Null)", i16(1)},
      {"VarType(1)", i16(2)},
      {"VarType(40000)", i16(3)},
      {"VarType(CSng(1))", i16(4)},
      {"VarType(1.5)", i16(5)},
      {"VarType(CCur(1))", i16(6)},
      {"VarType(#2025-03-01#)", i16(7)},
      {"VarType(\"a\")", i16(8)},
      {"VarType(True)", i16(11)},
      {"VarType(Array(1))", i16(8204)},  // vbArray + vbVariant
      {"TypeName(Empty)", Variant("Empty")},
      {"TypeName(Null)", Variant("Null")},
      {"TypeName(1)", Variant("Integer")},
      {"TypeName(40000)", Variant("Long")},
      {"TypeName(CSng(1))", Variant("Single")},
      {"TypeName(1.5)", Variant("Double")},
      {"TypeName(CCur(1))", Variant("Currency")},
      {"TypeName(Now)", Variant("Date")},
      {"TypeName(\"a\")", Variant("String")},
      {"TypeName(False)", Variant("Boolean")},
      {"TypeName(Array())", Variant("Variant()")},
  };
  expectValues(cases);
}

TEST(ScriptBuiltins, Dates) {
  const ValueCase cases[] = {
      {"DateSerial(2025, 3, 1)", dt(2025, 3, 1)},
      {"DateSerial(2025, 14, 1)", dt(2026, 2, 1)},  // months and days run over
      {"DateSerial(2025, 3, 0)", dt(2025, 2, 28)},
      {"DateSerial(99, 1, 1)", dt(1999, 1, 1)},
      {"DateSerial(25, 1, 1)", dt(2025, 1, 1)},
      {"TimeSerial(12, 30, 15)", timeOfDay(12, 30, 15)},
      {"TimeSerial(0, 90, 0)", timeOfDay(1, 30, 0)},
      {"Hour(TimeSerial(-1, 0, 0)) & \" \" & Day(TimeSerial(-1, 0, 0))", Variant("23 29")},  // 29/12/1899 23:00
      {"DateValue(\"15/03/2009 10:30\")", dt(2009, 3, 15)},
      {"TimeValue(\"15/03/2009 10:30\")", timeOfDay(10, 30, 0)},
      {"DateValue(Null)", Variant::null()},
      {"Year(#2025-03-01#)", i16(2025)},
      {"Month(#2025-03-01#)", i16(3)},
      {"Day(\"15/03/2009\")", i16(15)},
      {"Weekday(#2025-03-01#)", i16(7)},  // a Saturday
      {"Weekday(#2025-03-01#, vbMonday)", i16(6)},
      {"Hour(#2025-03-01 13:45:30#)", i16(13)},
      {"Minute(#2025-03-01 13:45:30#)", i16(45)},
      {"Second(#2025-03-01 13:45:30#)", i16(30)},
      {"Year(Null)", Variant::null()},
      {"Weekday(Null)", Variant::null()},
      {"DateAdd(\"m\", 1, \"31/01/1995\")", dt(1995, 2, 28)},  // no 31 February: its last day
      {"DateAdd(\"m\", 1, \"31/01/1996\")", dt(1996, 2, 29)},
      {"DateAdd(\"yyyy\", 1, #1/31/2010#)", dt(2011, 1, 31)},
      {"DateAdd(\"q\", 1, #1/31/2010#)", dt(2010, 4, 30)},
      {"DateAdd(\"m\", -1, #1/31/2010#)", dt(2009, 12, 31)},
      {"DateAdd(\"y\", 1, #1/31/2010#)", dt(2010, 2, 1)},
      {"DateAdd(\"d\", 1, #1/31/2010#)", dt(2010, 2, 1)},
      {"DateAdd(\"w\", 1, #1/31/2010#)", dt(2010, 2, 1)},
      {"DateAdd(\"ww\", 1, #1/31/2010#)", dt(2010, 2, 7)},
      {"DateAdd(\"h\", 1, #1/31/2010 8:50:00#)", dt(2010, 1, 31, 9, 50, 0)},
      {"DateAdd(\"n\", 1, #1/31/2010 8:50:00#)", dt(2010, 1, 31, 8, 51, 0)},
      {"DateAdd(\"s\", -1, #2025-03-01#)", dt(2025, 2, 28, 23, 59, 59)},
      {"DateAdd(\"d\", 1.5, #1/31/2010#)", dt(2010, 2, 2)},  // the number is rounded half to even
      {"DateDiff(\"d\", #2025-02-28#, #2025-03-01#)", i32(1)},
      {"DateDiff(\"d\", #2025-03-01#, #2025-02-01#)", i32(-28)},
      {"DateDiff(\"yyyy\", #12/31/2024#, #1/1/2025#)", i32(1)},
      {"DateDiff(\"q\", #3/31/2025#, #4/1/2025#)", i32(1)},
      {"DateDiff(\"m\", #1/31/2025#, #2/1/2025#)", i32(1)},
      {"DateDiff(\"w\", #2025-03-01#, #2025-03-14#)", i32(1)},
      {"DateDiff(\"ww\", #2025-03-01#, #2025-03-02#)", i32(1)},  // a Sunday is crossed
      {"DateDiff(\"ww\", #2025-03-02#, #2025-03-08#)", i32(0)},  // the first Sunday does not count
      {"DateDiff(\"h\", #2025-03-01 1:59#, #2025-03-01 2:00#)", i32(1)},
      {"DateDiff(\"n\", #2025-03-01#, #2025-03-02#)", i32(1440)},
      {"DateDiff(\"s\", #2025-03-01 0:00:10#, #2025-03-01#)", i32(-10)},
      {"DateDiff(\"d\", Null, #2025-03-01#)", Variant::null()},
      {"DatePart(\"yyyy\", #2025-05-10#)", i16(2025)},
      {"DatePart(\"q\", #2025-05-10#)", i16(2)},
      {"DatePart(\"y\", #2025-03-01#)", i16(60)},
      {"DatePart(\"w\", #2025-03-01#)", i16(7)},
      {"DatePart(\"ww\", #2025-01-04#)", i16(1)},  // the week of 1 January, weeks from Sunday
      {"DatePart(\"ww\", #2025-01-05#)", i16(2)},
      {"DatePart(\"ww\", #2025-01-05#, vbSunday, vbFirstFullWeek)", i16(1)},
      {"DatePart(\"ww\", #2025-01-04#, vbSunday, vbFirstFullWeek)", i16(52)},  // still a week of 2024
      {"DatePart(\"h\", #2025-03-01 13:45:30#)", i16(13)},
      {"DatePart(\"n\", #2025-03-01 13:45:30#)", i16(45)},
      {"DatePart(\"s\", #2025-03-01 13:45:30#)", i16(30)},
      {"DatePart(\"d\", Null)", Variant::null()},
      {"MonthName(3)", Variant("Marzo")},
      {"MonthName(3, True)", Variant("Mar")},
      {"WeekdayName(7)", Variant("Sábado")},
      {"WeekdayName(1, True, vbMonday)", Variant("Lun")},
      {"VarType(Date) & VarType(Time) & VarType(Now)", Variant("777")},
      {"Int(Time) = 0 And Now >= Date And Now < Date + 1", Variant(true)},
      {"VarType(Timer)", i16(4)},
  };
  expectValues(cases);
}

TEST(ScriptBuiltins, FormattingOnTheProgramsConventions) {
  const ValueCase cases[] = {
      {"FormatNumber(20000)", Variant("20,000.00")},
      {"FormatNumber(20000, 5)", Variant("20,000.00000")},
      {"FormatNumber(.2, , 0)", Variant(".20")},
      {"FormatNumber(.2, , -1)", Variant("0.20")},
      {"FormatNumber(-50, , , 0)", Variant("-50.00")},
      {"FormatNumber(-50, , , -1)", Variant("(50.00)")},
      {"FormatNumber(1000000, , , , 0)", Variant("1000000.00")},
      {"FormatNumber(1000000, , , , vbUseDefault)", Variant("1,000,000.00")},
      {"FormatNumber(\"1234.56\", 1)", Variant("1,234.6")},
      {"FormatCurrency(1234.5)", Variant("$1,234.50")},
      {"FormatCurrency(-1234.5)", Variant("-$1,234.50")},
      {"FormatCurrency(-5, 0, , vbTrue)", Variant("($5)")},
      {"FormatPercent(0.125)", Variant("12.50%")},
      {"FormatPercent(0.5, 0)", Variant("50%")},
      {"FormatDateTime(#2025-03-01 13:45:30#)", Variant("01/03/2025 13:45:30")},
      {"FormatDateTime(#2025-03-01#, vbLongDate)", Variant("Sábado, 1 de Marzo de 2025")},
      {"FormatDateTime(#2025-03-01 13:45:30#, vbShortDate)", Variant("01/03/2025")},
      {"FormatDateTime(#2025-03-01 13:45:30#, vbLongTime)", Variant("13:45:30")},
      {"FormatDateTime(#2025-03-01 13:45:30#, vbShortTime)", Variant("13:45")},
  };
  expectValues(cases);
}

TEST(ScriptBuiltins, NamedConstants) {
  const ValueCase cases[] = {
      {"vbCrLf = Chr(13) & Chr(10)", Variant(true)},
      {"vbNewLine = vbCr & vbLf", Variant(true)},
      {"AscW(vbTab) & AscW(vbFormFeed) & AscW(vbVerticalTab) & AscW(vbNullChar)", Variant("912110")},
      {"vbNullString", Variant("")},
      {"vbBinaryCompare & vbTextCompare", Variant("01")},
      {"vbUseSystemDayOfWeek & vbSunday & vbMonday & vbSaturday", Variant("0127")},
      {"vbUseSystem & vbFirstJan1 & vbFirstFourDays & vbFirstFullWeek", Variant("0123")},
      {"vbGeneralDate & vbLongDate & vbShortDate & vbLongTime & vbShortTime", Variant("01234")},
      {"vbUseDefault & vbTrue & vbFalse", Variant("-2-10")},
      {"vbEmpty & vbNull & vbInteger & vbLong & vbDouble & vbString & vbBoolean", Variant("01235811")},
      {"vbArray + vbVariant", i16(8204)},
      {"vbRed & \" \" & vbBlue", Variant("255 16711680")},
  };
  expectValues(cases);
}

TEST(ScriptBuiltins, ArgumentRulesAndErrors) {
  struct ErrorCase {
    const char* text;
    int number;
  };
  const ErrorCase cases[] = {
      // 94: Null where VBScript does not pass it through
      {"Sgn(Null)", 94}, {"Sin(Null)", 94}, {"CBool(Null)", 94}, {"CStr(Null)", 94}, {"CDate(Null)", 94},
      {"Left(\"a\", Null)", 94}, {"Mid(\"a\", Null)", 94}, {"InStr(Null, \"a\", \"a\")", 94},
      {"Space(Null)", 94}, {"Replace(Null, \"a\", \"b\")", 94}, {"StrReverse(Null)", 94}, {"Asc(Null)", 94},
      {"Chr(Null)", 94}, {"DateSerial(Null, 1, 1)", 94},
      // 5: an argument outside what the function takes
      {"Log(0)", 5}, {"Left(\"a\", -1)", 5}, {"Mid(\"a\", 0)", 5}, {"Mid(\"a\", 1, -1)", 5},
      {"InStr(0, \"a\", \"a\")", 5}, {"InStr(1, \"a\", \"a\", 2)", 5}, {"InStrRev(\"a\", \"a\", 0)", 5},
      {"Space(-1)", 5}, {"String(-1, \"a\")", 5}, {"String(2, \"\")", 5}, {"Replace(\"a\", \"a\", \"b\", 0)", 5},
      {"Replace(\"a\", \"a\", \"b\", 1, -2)", 5}, {"StrComp(\"a\", \"b\", 3)", 5}, {"Asc(\"\")", 5},
      {"Chr(256)", 5}, {"ChrW(65536)", 5}, {"RGB(-1, 0, 0)", 5}, {"Split(\"a\", \" \", -2)", 5},
      {"DateSerial(10000, 1, 1)", 5}, {"DateAdd(\"x\", 1, #2025-03-01#)", 5},
      {"DateAdd(\"yyyy\", 9000, #2025-03-01#)", 5}, {"Weekday(#2025-03-01#, 8)", 5},
      {"DatePart(\"ww\", #2025-03-01#, 1, 4)", 5}, {"MonthName(13)", 5}, {"WeekdayName(0)", 5},
      {"FormatNumber(1, -2)", 5}, {"FormatDateTime(#2025-03-01#, 5)", 5},
      // 13: a value of the wrong kind
      {"CBool(\"abc\")", 13}, {"CByte(\"x\")", 13}, {"CDate(\"abc\")", 13}, {"Sin(\"x\")", 13},
      {"Len(Array(1))", 13}, {"UBound(1)", 13}, {"Join(\"a\")", 13}, {"Filter(\"a\", \"a\")", 13},
      {"Year(\"abc\")", 13}, {"FormatNumber(\"abc\")", 13},
      // 6: overflow
      {"CByte(256)", 6}, {"CByte(-1)", 6}, {"CSng(1E300)", 6}, {"Exp(1000)", 6}, {"Hex(3E9)", 6},
      {"CDate(1E10)", 6}, {"DateDiff(\"s\", #100-01-01#, #9999-12-31#)", 6},
      // 9: a dimension the array does not have
      {"UBound(Array(1), 2)", 9},
      // 450: argument counts, left-out arguments that are not optional
      {"Left(\"a\")", 450}, {"Mid(\"a\", 1, 1, 1)", 450}, {"Now(1)", 450}, {"vbCr(1)", 450},
      {"Left(, 1)", 450}, {"Array(1, , 2)", 450},
  };
  for (const ErrorCase& c : cases) {
    script::ScriptControl sc;
    EXPECT_EQ(errorOf([&] { sc.eval(QString::fromUtf8(c.text)); }), c.number) << c.text;
  }
  // The descriptions are the engine's Spanish ones.
  script::ScriptControl sc;
  QString description;
  EXPECT_EQ(errorOf([&] { sc.eval("Mid(\"a\", 0)"); }, &description), 5);
  EXPECT_EQ(description, "Argumento o llamada a procedimiento no válida");
  EXPECT_EQ(errorOf([&] { sc.eval("CByte(256)"); }, &description), 6);
  EXPECT_EQ(description, "Desbordamiento");
  EXPECT_EQ(errorOf([&] { sc.eval("Asc(Null)"); }, &description), 94);
  EXPECT_EQ(description, "Uso no válido de Null");
}

TEST(ScriptBuiltins, AUserFunctionOfABuiltinsNameReplacesIt) {
  script::ScriptControl sc;
  script::Module& m = sc.modules().add("M");
  m.addCode("Function Round( X,N)\r\nRound=X*10\r\nEnd Function");
  EXPECT_EQ(m.eval("round(1.234, 2)"), Variant(12.34));
  EXPECT_EQ(sc.eval("round(1.234, 2)"), Variant(1.23));  // other modules keep the built-in
  QString description;
  EXPECT_EQ(errorOf([&] { m.executeStatement("vbCrLf = 1"); }, &description), 501);  // a constant is not a variable
}
