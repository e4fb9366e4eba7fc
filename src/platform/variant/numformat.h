#pragma once
// The spreadsheet number-format language ("#,##0.00", "0.00##", "$#,##0.00;(#,##0.00)", "dd/mmm/yyyy",
// "[Red]", "@", "General", ...), in Mexican Spanish conventions (decimal ".", thousands ",", "$"), never the
// machine's locale. One formatter serves VB Format (Style::Vb) and the workbook layer (Style::Sheet).
// A code is parsed once; formatting never throws.
//
// What it understands: digit placeholders 0 # ?, "." and "," (grouping between placeholders, a trailing ","
// divides by 1000), optional decimals ("0.00##"), "%", "E+00"/"E-00", fractions ("# ?/?"), literals
// ($ - + ( ) : / blank and any other character), "..." and \x, _x (a blank), *x (a fill: the text leaves it
// out and reports where it goes, for whoever knows the cell's width), up to four ";" sections, [Red]-style colours, [>=100]-style conditions, [$$-80A] currency
// tags, General, @, and dates and times: d dd ddd dddd m mm mmm mmmm mmmmm yy yyyy h hh m/mm (minutes after
// h or before s) s ss .0 AM/PM A/P [h] [m] [s]. Letters are case-insensitive ("YYYY/MM/DD").
//
// Where the styles differ:
// - Month and day names: Sheet prints the lower-case names of the Spanish locales ("15/mar/2009",
//   "domingo"); Vb prints the program's own table ("15/Mar/2009", see mesAbreviado) and capitalised names.
// - General: Sheet fits the number in 11 characters as a spreadsheet cell does ("1234567.891",
//   "1.23457E+11"); Vb prints the full text form (numberText).
// - An empty section: Sheet shows nothing; Vb formats the value with the first section.
// - "y": Sheet takes it as "yy"; Vb as the day of the year. "n"/"nn" are minutes in Vb only.
// - Text: Sheet puts the whole text at each "@"; Vb fills "@" (blank when short) and "&" placeholders
//   right to left ("!" left to right) and honours "<" and ">" (lower/upper case).
// - The fourth section is the text section in Sheet, the Null section in Vb.
// A negative number whose shown digits are all zero loses its "-" ("0.00" of -0.001 is "0.00").
#include <QString>
#include <memory>

namespace vb {

class NumberFormat {
public:
  enum class Style { Sheet, Vb };

  explicit NumberFormat(const QString& code = QStringLiteral("General"), Style style = Style::Sheet);
  ~NumberFormat();
  NumberFormat(const NumberFormat&);
  NumberFormat& operator=(const NumberFormat&);

  const QString& code() const;
  Style style() const;
  static QString builtinCode(int id);      // .xlsx built-in ids 0-49 (14 is "dd/mm/yyyy"); "" when unknown
  static int builtinId(const QString& code);  // the id whose code is exactly this one; -1 when none
  bool isDate() const;                     // the section used for positive numbers shows a date or a time
  bool isText() const;                     // "@"

  // Where a "*x" fill goes: the character x repeated at text position 'at' until the cell is full.
  struct Fill {
    QChar ch;
    int at = -1;  // -1: no fill
  };

  QString format(double value, Fill* fill = nullptr) const;  // the text shown for a number
  QString formatText(const QString& text, Fill* fill = nullptr) const;  // the text section applied to a text value
  QString color(double value) const;       // "[Red]"-style colour of the section used, lower case; "" for none

private:
  struct Impl;
  std::shared_ptr<const Impl> d_;
};

}  // namespace vb
