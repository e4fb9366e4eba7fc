#pragma once
// Dates as VB and Jet keep them: a serial number of days since 1899-12-30, the fraction is the time of day.
#include <QDate>
#include <QDateTime>

namespace vb {

double dateSerial(int year, int month, int day);   // VB DateSerial: month and day may run over (13 -> next year)
double fromQDate(const QDate& d);
double fromQDateTime(const QDateTime& dt);
QDate toQDate(double serial);                      // the day part; negative serials count back from 1899-12-30
QDateTime toQDateTime(double serial);
int year(double serial);
int month(double serial);
int day(double serial);
int weekday(double serial);                        // VB Weekday: 1 = Sunday ... 7 = Saturday
double today();                                    // VB Date: today's serial, no time part

// The program's own month tables (not the machine's locale).
QString mesAbreviado(int month);                   // 1 "Ene" ... 12 "Dic"; any other number ""
QString monthNameShort(int month);                 // 1 "ene" ... 12 "dic" (spreadsheet and Format "mmm")
QString monthNameLong(int month);                  // 1 "enero" ... 12 "diciembre"
QString dayNameShort(int weekday);                 // 1 "dom" ... 7 "sáb"
QString dayNameLong(int weekday);                  // 1 "domingo" ... 7 "sábado"

}  // namespace vb
