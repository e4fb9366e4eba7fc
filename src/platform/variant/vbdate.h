#pragma once
// Dates as VB and Jet keep them: a serial number of days since 1899-12-30, the fraction is the time of day.
// Before 1899-12-30 the whole part counts back and the fraction still runs forward: -1.25 is 1899-12-29 06:00.
// Times are resolved to the second, as VB shows them.
//
// Month names: the program's own table "Ene".."Dic" (mesAbreviado) is what VB Format's "mmm" prints
// ("15/Mar/2009"); spreadsheet cell formats print the lower-case names of the Spanish locales ("15/mar/2009").
// Text dates accept either.
#include <QDate>
#include <QDateTime>
#include <optional>

namespace vb {

// The VB date range: 0100-01-01 to 9999-12-31 23:59:59.
constexpr double MinDateSerial = -657434.0;
constexpr double MaxDateSerial = 2958465.99999;
bool isValidDateSerial(double serial);

double dateSerial(int year, int month, int day);   // VB DateSerial: month and day may run over (13 -> next year);
                                                   // years 0-29 mean 2000-2029, 30-99 mean 1930-1999; Error 5 out of range
// The year a two-digit year (0-99) names, as text dates and the date boxes read it: 00-29 -> 2000-2029,
// 30-99 -> 1930-1999.
int twoDigitYear(int year);
double fromQDate(const QDate& d);                  // Error 5 for an invalid date
double fromQDateTime(const QDateTime& dt);
QDate toQDate(double serial);                      // the day part; an invalid QDate outside the VB range
QDateTime toQDateTime(double serial);
int year(double serial);                           // year/month/day/weekday/hour/minute/second: Error 5 outside the range
int month(double serial);
int day(double serial);
int weekday(double serial);                        // VB Weekday: 1 = Sunday ... 7 = Saturday
int hour(double serial);
int minute(double serial);
int second(double serial);
double today();                                    // VB Date: today's serial, no time part

// A serial split into its calendar and clock parts (seconds rounded); nullopt outside the range.
struct DateParts {
  int year, month, day, hour, minute, second;
  int weekday;     // 1 = Sunday
  int dayOfYear;   // 1..366
  bool hasTime;    // the serial has a time part
  bool hasDate;    // the whole part is not 0 (VB shows a time alone otherwise)
};
std::optional<DateParts> splitDate(double serial);

// Text dates as IsDate/CDate read them: day first for numeric dates ("15/03/2009", "15-03-09"), year first when
// the first number has four digits ("2009/03/15"), Spanish month names in any case ("15/mar/2009",
// "15 Marzo 2009"), an optional time ("15/03/2009 10:30", "10:30:15 p.m."), or a time alone.
// Two-digit years: 00-29 -> 2000s, 30-99 -> 1900s. Day and month missing-year forms ("15/03") take this year.
std::optional<double> parseDate(const QString& text);
// The text form of a date (CStr): "dd/mm/yyyy", "dd/mm/yyyy hh:mm:ss" with a time, "hh:mm:ss" for a time alone.
// Error 6 outside the range.
QString dateToString(double serial);

// The program's own month tables (not the machine's locale).
QString mesAbreviado(int month);                   // 1 "Ene" ... 12 "Dic"; any other number ""
QString monthNameShort(int month);                 // 1 "ene" ... 12 "dic" (spreadsheet "mmm")
QString monthNameLong(int month);                  // 1 "enero" ... 12 "diciembre"
QString dayNameShort(int weekday);                 // 1 "dom" ... 7 "sáb"
QString dayNameLong(int weekday);                  // 1 "domingo" ... 7 "sábado"

}  // namespace vb
