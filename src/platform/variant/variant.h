#pragma once
// The VB Variant the program reasons in. Strings are QString; dates are serial doubles (see vbdate.h).
#include "currency.h"
#include "error.h"

#include <QString>
#include <cstdint>
#include <optional>

namespace vb {

// Numbers match VB's VarType().
enum class VarType : int {
  Empty = 0, Null = 1, Integer = 2, Long = 3, Single = 4, Double = 5,
  Currency = 6, Date = 7, String = 8, Boolean = 11
};

class Variant {
public:
  Variant() = default;                                   // Empty
  Variant(bool b);                                       // Boolean
  Variant(int16_t i);                                    // Integer
  Variant(int32_t l);                                    // Long
  Variant(long l);                                       // Long when it fits, else Double
  Variant(long long l);                                  // Long when it fits, else Double
  Variant(float f);                                      // Single
  Variant(double d);                                     // Double
  Variant(Currency c);                                   // Currency
  Variant(const QString& s);                             // String
  Variant(const char* utf8);                             // String
  static Variant null();
  static Variant fromDate(double serial);                // Date
  static Variant fromDate(int year, int month, int day); // Date (DateSerial rules)

  VarType type() const { return type_; }
  bool isEmpty() const { return type_ == VarType::Empty; }
  bool isNull() const { return type_ == VarType::Null; }
  bool isString() const { return type_ == VarType::String; }
  bool isNumber() const;                                 // Integer, Long, Single, Double, Currency (not Boolean, Date)

  // The stored value without conversion; only valid for the matching type.
  const QString& rawString() const { return s_; }
  double rawDouble() const { return d_; }                // Single, Double, Date
  int64_t rawInt() const { return i_; }                  // Integer, Long, Boolean (-1/0)
  Currency rawCurrency() const { return Currency::fromScaled(i_); }

  // VB conversions (CBool, CInt, CLng, CDbl, CCur, CDate, CStr): Null gives error 94,
  // text that does not convert gives 13, out of range gives 6. Empty converts to 0 / "" / False.
  bool toBool() const;
  int16_t toInteger() const;                             // half to even
  int32_t toLong() const;                                // half to even
  double toDouble() const;
  Currency toCurrency() const;                           // half to even at 1e-4
  double toDate() const;                                 // serial
  QString toString() const;                              // numbers with "." and up to 15 digits; dates dd/mm/yyyy

  // Same type and same stored value (not VB's "=": see Compare). Handy in tests and containers.
  friend bool operator==(const Variant& a, const Variant& b);

private:
  VarType type_ = VarType::Empty;
  int64_t i_ = 0;
  double d_ = 0;
  QString s_;
};

// The text form of a Double everywhere the program writes a number as text (CStr, "&", generated code,
// SQL literals): up to 15 significant digits, "." always, no grouping, no trailing zeros, exponent form
// "1.5E-05" / "1E+15" when the exponent is below -4 or at least 15.
QString numberText(double d);

// How numeric text is read. Vb: CDbl/CCur/IsNumeric of the program, Mexican conventions: blanks around,
// a leading or trailing sign, "$", thousands "," after the first digit, "(12)" for -12, exponent (E or D),
// "&H1F"/"&O17". Script: VBScript's stricter rule: blanks, sign, digits, ".", exponent, "&H"/"&O".
enum class NumberSyntax { Vb, Script };
std::optional<double> parseNumber(const QString& s, NumberSyntax syntax = NumberSyntax::Vb);

// VB tests.
bool IsNull(const Variant& v);
bool IsEmpty(const Variant& v);
bool IsNumeric(const Variant& v);     // blanks, sign, "$", thousands ",", exponent, "(12)" accepted
bool IsDate(const Variant& v);        // Date values; text such as "15/03/2009", "15/mar/2009", "2009/03/15"

// VB conversions as functions (the same rules as the members).
bool CBool(const Variant& v);
int16_t CInt(const Variant& v);
int32_t CLng(const Variant& v);
double CDbl(const Variant& v);
Currency CCur(const Variant& v);
double CDate(const Variant& v);
QString CStr(const Variant& v);

// VB Val: the leading number of a text, "." as decimal point, blanks, tabs and line feeds skipped anywhere,
// exponent E or D, "&H"/"&O" prefixes; 0 when none. Error 6 when the number is out of range.
double Val(const QString& s);
double Val(const Variant& v);         // Null gives error 94

// Comparison with VB's rules: nullopt when either side is Null (the comparison is Null);
// otherwise <0, 0, >0. Numbers (Boolean and Date included) compare numerically, text with text binary or,
// with textCompare, ignoring case (Ñ/ñ and accented letters too). A number is less than any text;
// Empty counts as 0 against a number and as "" against a text.
std::optional<int> Compare(const Variant& a, const Variant& b, bool textCompare = false);

// VB string functions.
QString Trim(const QString& s);       // blanks (spaces) only, as VB
QString LTrim(const QString& s);
QString RTrim(const QString& s);
QString UCase(const QString& s);
QString LCase(const QString& s);
QString Left(const QString& s, int n);
QString Right(const QString& s, int n);
QString Mid(const QString& s, int start, int length = -1);   // start counts from 1
int InStr(const QString& s, const QString& find, int start = 1);  // 1-based; 0 when absent

// VB Format with the program's formats ("###,###,###,##0.00##", "$#,##.00", "00", "#0.00",
// "dd/mm/yyyy", "dd/mmm/yyyy", "yyyy/mm/dd", ...): the same formatter as the spreadsheet's number formats,
// Mexican Spanish conventions (decimal ".", thousands ",", "$"), month names of the program's table.
// Null or Empty give "".
QString Format(const Variant& v, const QString& format);

}  // namespace vb
