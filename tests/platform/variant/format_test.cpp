#include "numformat.h"
#include "variant.h"
#include "vbdate.h"
#include "qt_print.h"

#include <gtest/gtest.h>

using namespace vb;
using Style = NumberFormat::Style;

namespace {

struct Case {
  const char* code;
  double value;
  const char* text;
};

void check(Style style, std::initializer_list<Case> cases) {
  for (const Case& c : cases)
    EXPECT_EQ(NumberFormat(QString::fromUtf8(c.code), style).format(c.value), QString::fromUtf8(c.text))
        << "code " << c.code << " value " << c.value;
}

}  // namespace

TEST(Format, TheProgramsFormats) {
  struct VCase { Variant v; const char* code; const char* text; };
  const VCase cases[] = {
      {1234567.891, "###,###,###,##0.00##", "1,234,567.891"},
      {1234567.8915, "###,###,###,##0.00##", "1,234,567.8915"},
      {1234567.89156, "###,###,###,##0.00##", "1,234,567.8916"},
      {0.0, "###,###,###,##0.00##", "0.00"},
      {5.0, "###,###,###,##0.00##", "5.00"},
      {-1234.5, "###,###,###,##0.00##", "-1,234.50"},
      {0.0, "$#,##.00", "$.00"},
      {0.5, "$#,##.00", "$.50"},
      {1234.5, "$#,##.00", "$1,234.50"},
      {-1234.5, "$#,##.00", "-$1,234.50"},
      {1234567.0, "$#,##.00", "$1,234,567.00"},
      {Currency::fromDouble(1234567.89), "$###,###,###,##0.00##", "$1,234,567.89"},
      {0.0, "$###,###,###,##0.00##", "$0.00"},
      {-5.125, "$###,###,###,##0.00##", "-$5.125"},
      {1234.5, "#,###,###,##0.00##", "1,234.50"},
      {1234567.0, "###,###,###,###,##0.00", "1,234,567.00"},
      {5.0, "#0.00", "5.00"},
      {12.345, "#0.00", "12.35"},  // the decimal form rounds half away from zero
      {1.005, "#0.00", "1.01"},
      {-0.001, "#0.00", "0.00"},
      {5, "00", "05"},
      {12, "00", "12"},
      {123, "00", "123"},
      {"7", "00", "07"},
      {Variant::fromDate(2009, 3, 15), "dd/mm/yyyy", "15/03/2009"},
      {Variant::fromDate(2009, 3, 15), "dd/mmm/yyyy", "15/Mar/2009"},
      {Variant::fromDate(2010, 1, 5), "dd/mmm/yyyy", "05/Ene/2010"},
      {Variant::fromDate(2009, 3, 15), "yyyy/mm/dd", "2009/03/15"},
      {Variant::fromDate(2009, 3, 15), "YYYY/MM/DD", "2009/03/15"},
      {"15/03/2009", "yyyy/mm/dd", "2009/03/15"},
      {"15/mar/2009", "YYYY/MM/DD", "2009/03/15"},
      {39887.0, "dd/mm/yyyy", "15/03/2009"},
      {1234.5, "Currency", "$1,234.50"},
      {-1234.5, "Currency", "-$1,234.50"},
      {"1234.5", "currency", "$1,234.50"},
      {1234.5, "Standard", "1,234.50"},
      {1234.5, "Fixed", "1234.50"},
      {0.125, "Percent", "12.50%"},
      {1234.5, "Scientific", "1.23E+03"},
      {1234.5, "General Number", "1234.5"},
      {Variant::fromDate(39887.75), "General Date", "15/03/2009 18:00:00"},
      {Variant::fromDate(2009, 3, 15), "Short Date", "15/03/2009"},
      {Variant::fromDate(2009, 3, 15), "Long Date", "Domingo, 15 de Marzo de 2009"},
      {Variant::fromDate(39887.75), "Short Time", "18:00"},
      {Variant::fromDate(39887.75), "Medium Time", "06:00 PM"},
      {Variant::fromDate(2009, 3, 15), "0.00", "39887.00"},
      {true, "0", "-1"},
      {"abc", "0.00", "abc"},
      {"", "0.00", ""},
      {Variant::null(), "0.00", ""},
      {Variant(), "0.00", ""},
      {1234.5, "", "1234.5"},
      {Variant::fromDate(2009, 3, 15), "", "15/03/2009"},
      {"abc", "@@@@@", "  abc"},
      {"abc", "!@@@@@", "abc  "},
      {"abc", "&&&&&", "abc"},
      {"abcdef", "@@@", "abcdef"},
      {"abc", ">", "ABC"},
      {"ABC", "<@-@", "ab-c"},
      {12, "@@@@", "  12"},
      {Variant(0.1f), "0.000000000", "0.100000000"},
      {Currency::fromScaled(123456789), "#,##0.0000", "12,345.6789"},
      {-5.0, "0.00;(0.00)", "(5.00)"},
      {-5.0, "0.00;;", "-5.00"},  // VB: an empty section takes the first one
      {0.0, "0.00;(0.00);\"cero\"", "cero"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(Format(c.v, QString::fromUtf8(c.code)), QString::fromUtf8(c.text)) << c.code;
}

TEST(NumberFormatSheet, Numbers) {
  check(Style::Sheet, {
      {"0", 2.5, "3"},
      {"0", -2.5, "-3"},
      {"0.00", 1234.567, "1234.57"},
      {"#,##0.00", 1234567.891, "1,234,567.89"},
      {"#,##0.00", 0.5, "0.50"},
      {"#,##0", 999.5, "1,000"},
      {"#,##0", 100, "100"},
      {"#,###", 0, ""},
      {"#.##", 5, "5."},
      {".00", 12.5, "12.50"},
      {"0.00##", 1.5, "1.50"},
      {"0.00##", 1.23456, "1.2346"},
      {"0.0?", 1.5, "1.5 "},
      {"???.??", 1.5, "  1.5 "},
      {"000-000", 12345, "012-345"},
      {"#,##0,", 1234567, "1,235"},
      {"0.0,,", 1234567, "1.2"},
      {"0%", 0.125, "13%"},
      {"#,##0.0000%", 0.125, "12.5000%"},
      {"0.00E+00", 1234.5, "1.23E+03"},
      {"0.00E+00", 0.000123, "1.23E-04"},
      {"0.00E+00", 0, "0.00E+00"},
      {"0.00E-00", 1234.5, "1.23E03"},
      {"0.00E+00", 9.999, "1.00E+01"},
      {"##0.0E+0", 12345, "12.3E+3"},
      {"##0.0E+0", 1234567, "1.2E+6"},
      {"$#,##0.00", 1234.5, "$1,234.50"},
      {"$#,##0.00", -1234.5, "-$1,234.50"},
      {"$#,##0.00;($#,##0.00)", -1234.5, "($1,234.50)"},
      {"0.00;-0.00;\"cero\"", 0, "cero"},
      {"0.00;;", -3, ""},  // a sheet's empty section hides the value
      {"0 \"días naturales\"", 45, "45 días naturales"},
      {"\\$0", 5, "$5"},
      {"0_)", 5, "5 "},
      {"* #,##0", 5, "5"},  // the fill is reported apart (see Fill)
      {"[$$-80A]#,##0.00", 5, "$5.00"},
      {"[Red]0.00", -5, "-5.00"},
      {"[>=100]\"big\";[<0]\"neg\";0", 150, "big"},
      {"[>=100]\"big\";[<0]\"neg\";0", -5, "neg"},
      {"[>=100]\"big\";[<0]\"neg\";0", 50, "50"},
      {"[<1]0.000;0", 0.5, "0.500"},
      {"[<1]0.000;0", 5, "5"},
      {"# ?/?", 1.25, "1 1/4"},
      {"# ?/?", 0.5, " 1/2"},
      {"# ?\?/?\?", 3.14159, "3 14/99"},
      {"# ?/?", 2, "2    "},
      {"?/8", 0.375, "3/8"},
      {" ", 1234, " "},
      {"", 12.5, "12.5"},
      {"@", 12.5, "12.5"},
      {"0.00", 1e20, "100000000000000000000.00"},
  });
}

TEST(NumberFormatSheet, General) {
  check(Style::Sheet, {
      {"General", 0, "0"},
      {"General", 12.5, "12.5"},
      {"General", -12.5, "-12.5"},
      {"General", 1234567.891234, "1234567.891"},
      {"General", -1234567.891234, "-1234567.89"},
      {"General", 0.1 + 0.2, "0.3"},
      {"General", 12345678901, "12345678901"},
      {"General", 123456789012, "1.23457E+11"},
      {"General", 0.0001, "0.0001"},
      {"General", 0.00001234, "1.234E-05"},
      {"General", 1e100, "1E+100"},
      {"General", 99999999999.9, "1E+11"},
      {"General", 1.0 / 3, "0.333333333"},
      {"0.00 General", 1, "1.00 1"},
  });
  EXPECT_EQ(NumberFormat("General", Style::Vb).format(1234567.891234), "1234567.891234");
}

TEST(NumberFormatSheet, DatesAndTimes) {
  const double t = 39887.0 + (13 * 3600 + 5 * 60 + 9) / 86400.0;  // Sunday 15/03/2009 13:05:09
  check(Style::Sheet, {
      {"dd/mm/yyyy", t, "15/03/2009"},
      {"dd/mmm/yyyy", t, "15/mar/2009"},
      {"d/m/yy", 39818, "5/1/09"},
      {"dd \"de\" mmmm \"de\" yyyy", t, "15 de marzo de 2009"},
      {"dddd d", t, "domingo 15"},
      {"ddd", 39890, "mié"},
      {"mmmmm", t, "m"},
      {"hh:mm:ss", t, "13:05:09"},
      {"h:mm AM/PM", t, "1:05 PM"},
      {"h:mm am/pm", 39887.25, "6:00 am"},
      {"h:mm A/P", 39887.0, "12:00 A"},
      {"mm:ss", t, "05:09"},
      {"m", t, "3"},
      {"h:m", t, "13:5"},
      {"[h]:mm:ss", 1.5, "36:00:00"},
      {"[mm]:ss", 0.5 / 24, "30:00"},
      {"mm:ss.0", 1.25 / 86400, "00:01.3"},
      {"yyyy-mm-dd hh:mm", t, "2009-03-15 13:05"},
      {"dd/mm/yyyy", -1, "29/12/1899"},
      {"dd/mm/yyyy", 1e9, "########"},
      {"dd/mm/yyyy h:mm", t, "15/03/2009 13:05"},
  });
}

TEST(NumberFormatSheet, BuiltinIdsAndQueries) {
  EXPECT_EQ(NumberFormat::builtinCode(0), "General");
  EXPECT_EQ(NumberFormat::builtinCode(4), "#,##0.00");
  EXPECT_EQ(NumberFormat::builtinCode(14), "dd/mm/yyyy");
  EXPECT_EQ(NumberFormat::builtinCode(49), "@");
  EXPECT_EQ(NumberFormat::builtinCode(50), "");
  EXPECT_EQ(NumberFormat::builtinCode(-1), "");
  EXPECT_EQ(NumberFormat::builtinId("dd/mm/yyyy"), 14);
  EXPECT_EQ(NumberFormat::builtinId("#,##0.00"), 4);
  EXPECT_EQ(NumberFormat::builtinId("#,###,###,##0.00##"), -1);
  // Every built-in code parses and formats a number, a date and a text without trouble.
  for (int id = 0; id < 50; ++id) {
    NumberFormat f(NumberFormat::builtinCode(id));
    EXPECT_FALSE(f.format(-1234.5678).isEmpty() && f.format(39887.5).isEmpty()) << id;
    f.formatText(QStringLiteral("x"));
  }
  EXPECT_EQ(NumberFormat(NumberFormat::builtinCode(7)).format(-1234.5), "-$1,234.50");
  EXPECT_EQ(NumberFormat(NumberFormat::builtinCode(44)).format(1234.5), " $1,234.50 ");
  EXPECT_EQ(NumberFormat(NumberFormat::builtinCode(44)).format(0), " $-   ");
  EXPECT_EQ(NumberFormat(NumberFormat::builtinCode(44)).formatText("abc"), " abc ");
}

TEST(NumberFormatSheet, FillIsReportedWhereItGoes) {
  NumberFormat::Fill fill;
  EXPECT_EQ(NumberFormat(NumberFormat::builtinCode(44)).format(1234.5, &fill), " $1,234.50 ");
  EXPECT_EQ(fill.at, 2);
  EXPECT_EQ(fill.ch, u' ');
  EXPECT_EQ(NumberFormat("$*.0.00").format(-5, &fill), "-$5.00");
  EXPECT_EQ(fill.at, 2);  // after the minus and the sign
  EXPECT_EQ(fill.ch, u'.');
  EXPECT_EQ(NumberFormat("@*-").formatText("abc", &fill), "abc");
  EXPECT_EQ(fill.at, 3);
  EXPECT_EQ(NumberFormat("0.00").format(5, &fill), "5.00");
  EXPECT_EQ(fill.at, -1);
  EXPECT_EQ(Format(5, "*x0"), "5");

  EXPECT_TRUE(NumberFormat("dd/mm/yyyy").isDate());
  EXPECT_TRUE(NumberFormat("[h]:mm").isDate());
  EXPECT_FALSE(NumberFormat("#,##0.00").isDate());
  EXPECT_FALSE(NumberFormat("0 \"d\"").isDate());
  EXPECT_TRUE(NumberFormat("@").isText());
  EXPECT_FALSE(NumberFormat("0.00").isText());
  EXPECT_EQ(NumberFormat("0;[Red]-0").color(-1), "red");
  EXPECT_EQ(NumberFormat("0;[Red]-0").color(1), "");
  EXPECT_EQ(NumberFormat("[Blue]0").color(1), "blue");
  EXPECT_EQ(NumberFormat("[Color10]0").color(1), "color10");
  EXPECT_EQ(NumberFormat("0.00;0.00;0.00;\"<\"@\">\"").formatText("abc"), "<abc>");
  EXPECT_EQ(NumberFormat("0.00").formatText("abc"), "abc");
  EXPECT_EQ(NumberFormat("0.00").code(), "0.00");
}

TEST(NumberFormatSheet, DamagedCodesNeverThrow) {
  for (const char* code : {"[", "\"", "\\", "_", "*", "0.00E+", "[>=]0", "[<abc]0", "#,##0.00;", ";;;;;", "E+00",
                           "0/", "?/0", "[h", "0.0.0", ",,,", "%%%", "dd/mm/yyyy;@;@;@;@"}) {
    NumberFormat f(QString::fromLatin1(code));
    f.format(-1234.5);
    f.format(0);
    f.format(1e300);
    f.format(std::numeric_limits<double>::quiet_NaN());
    f.formatText(QStringLiteral("x"));
    f.color(1);
  }
  EXPECT_EQ(NumberFormat("?/0").format(0.5), NumberFormat("?/0").format(0.5));
}
