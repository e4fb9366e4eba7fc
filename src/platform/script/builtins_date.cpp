// Date built-ins: Date, Time, Now, Timer, DateSerial, TimeSerial, DateValue, TimeValue, Year,
// Month, Day, Weekday, Hour, Minute, Second, DateAdd, DateDiff, DatePart, MonthName, WeekdayName.
#include "builtins_impl.h"

#include "errors.h"
#include "vbdate.h"

#include <QDateTime>
#include <cmath>

namespace script {

using vb::Variant;

namespace {

using namespace bi;

const QDate& epoch() {
  static const QDate d(1899, 12, 30);
  return d;
}

// A moment as a day from 1899-12-30 and a second of that day (the serial's own reading: before
// 1899-12-30 the whole part counts back while the fraction still runs forward).
struct Moment {
  int64_t day = 0;
  int64_t sec = 0;  // 0 .. 86399

  static Moment of(double serial) {
    const double w = std::trunc(serial);
    Moment m{int64_t(w), std::llround(std::fabs(serial - w) * 86400.0)};
    if (m.sec >= 86400) {
      m.sec -= 86400;
      m.day += 1;
    }
    return m;
  }
  // Any count of seconds from a day; error 5 outside the calendar.
  static Variant at(int64_t day, int64_t sec) {
    int64_t carry = sec / 86400;
    sec %= 86400;
    if (sec < 0) {
      sec += 86400;
      --carry;
    }
    day += carry;
    const double frac = double(sec) / 86400.0;
    const double serial = day >= 0 ? double(day) + frac : double(day) - frac;
    const QDate d = epoch().addDays(day);
    if (!d.isValid() || d.year() < 100 || d.year() > 9999) raise(errInvalidCall);
    return Variant::fromDate(serial);
  }
  QDate date() const { return epoch().addDays(day); }
  int weekday() const { return date().dayOfWeek() % 7 + 1; }  // 1 = Sunday
};

Moment momentOf(const Value& v) {
  const double serial = date(v);
  if (!vb::splitDate(serial)) raise(errInvalidCall);
  return Moment::of(serial);
}

Value bDate(const BuiltinArgs&) { return Variant::fromDate(vb::today()); }

Value bTime(const BuiltinArgs&) {
  return Variant::fromDate(QTime::currentTime().msecsSinceStartOfDay() / 1000 / 86400.0);
}

Value bNow(const BuiltinArgs&) {
  const int secs = QTime::currentTime().msecsSinceStartOfDay() / 1000;
  return Variant::fromDate(vb::today() + secs / 86400.0);
}

Value bTimer(const BuiltinArgs&) { return Variant(float(QTime::currentTime().msecsSinceStartOfDay() / 1000.0)); }

Value bDateSerial(const BuiltinArgs& a) {
  return Variant::fromDate(vb::dateSerial(whole(a[0]), whole(a[1]), whole(a[2])));
}

Value bTimeSerial(const BuiltinArgs& a) {
  return Moment::at(0, int64_t(whole(a[0])) * 3600 + int64_t(whole(a[1])) * 60 + whole(a[2]));
}

Value bDateValue(const BuiltinArgs& a) {
  if (isNull(a[0])) return Value(Variant::null());
  return Moment::at(momentOf(a[0]).day, 0);
}

Value bTimeValue(const BuiltinArgs& a) {
  if (isNull(a[0])) return Value(Variant::null());
  return Moment::at(0, momentOf(a[0]).sec);
}

// Year ... Second: Null gives Null.
template <typename F>
Value part(const Value& v, F f) {
  if (isNull(v)) return Value(Variant::null());
  return Variant(int16_t(f(momentOf(v))));
}

Value bYear(const BuiltinArgs& a) { return part(a[0], [](const Moment& m) { return m.date().year(); }); }
Value bMonth(const BuiltinArgs& a) { return part(a[0], [](const Moment& m) { return m.date().month(); }); }
Value bDay(const BuiltinArgs& a) { return part(a[0], [](const Moment& m) { return m.date().day(); }); }
Value bHour(const BuiltinArgs& a) { return part(a[0], [](const Moment& m) { return int(m.sec / 3600); }); }
Value bMinute(const BuiltinArgs& a) { return part(a[0], [](const Moment& m) { return int(m.sec / 60 % 60); }); }
Value bSecond(const BuiltinArgs& a) { return part(a[0], [](const Moment& m) { return int(m.sec % 60); }); }

// firstdayofweek: 1 (Sunday, the default) to 7; 0 is the system's, Sunday here.
int firstDay(const BuiltinArgs& a, size_t i) {
  if (!a.has(i)) return 1;
  const int32_t d = whole(a[i]);
  if (d < 0 || d > 7) raise(errInvalidCall);
  return d == 0 ? 1 : d;
}

// firstweekofyear: 1 the week of January 1 (the default), 2 the first with four days, 3 the first
// whole week; 0 is the system's, January 1 here.
int firstWeek(const BuiltinArgs& a, size_t i) {
  if (!a.has(i)) return 1;
  const int32_t w = whole(a[i]);
  if (w < 0 || w > 3) raise(errInvalidCall);
  return w == 0 ? 1 : w;
}

// Day of the week counted from the first day: 1 .. 7.
int dayOfWeek(const Moment& m, int first) { return (m.weekday() - first + 7) % 7 + 1; }

Value bWeekday(const BuiltinArgs& a) {
  const int first = firstDay(a, 1);
  if (isNull(a[0])) return Value(Variant::null());
  return Variant(int16_t(dayOfWeek(momentOf(a[0]), first)));
}

// The day (from 1899-12-30) that week 1 of the year starts on.
int64_t weekOneStart(int year, int first, int rule) {
  const Moment jan1{epoch().daysTo(QDate(year, 1, 1)), 0};
  const int into = dayOfWeek(jan1, first) - 1;  // days of the week before January 1
  const int64_t start = jan1.day - into;
  if (rule == 2) return 7 - into >= 4 ? start : start + 7;
  if (rule == 3) return into == 0 ? start : start + 7;
  return start;
}

int weekOfYear(const Moment& m, int first, int rule) {
  int year = m.date().year();
  int64_t start = weekOneStart(year, first, rule);
  if (m.day < start) start = weekOneStart(year - 1, first, rule);
  return int((m.day - start) / 7 + 1);
}

enum class Unit { Year, Quarter, Month, DayOfYear, Day, Weekday, Week, Hour, Minute, Second };

Unit unitOf(const Value& v) {
  if (isNull(v)) raise(errInvalidNull);
  const QString u = text(v).toLower();
  if (u == u"yyyy") return Unit::Year;
  if (u == u"q") return Unit::Quarter;
  if (u == u"m") return Unit::Month;
  if (u == u"y") return Unit::DayOfYear;
  if (u == u"d") return Unit::Day;
  if (u == u"w") return Unit::Weekday;
  if (u == u"ww") return Unit::Week;
  if (u == u"h") return Unit::Hour;
  if (u == u"n") return Unit::Minute;
  if (u == u"s") return Unit::Second;
  raise(errInvalidCall);
}

// DateAdd(interval, number, date): months keep the day when the month has it, else its last day.
Value bDateAdd(const BuiltinArgs& a) {
  const Unit unit = unitOf(a[0]);
  const int64_t n = whole(a[1]);
  if (isNull(a[2])) return Value(Variant::null());
  const Moment m = momentOf(a[2]);
  auto months = [&](int64_t k) {
    if (std::llabs(k) > 120000) raise(errInvalidCall);
    const QDate d = m.date().addMonths(int(k));
    return Moment::at(epoch().daysTo(d), m.sec);
  };
  switch (unit) {
    case Unit::Year: return months(n * 12);
    case Unit::Quarter: return months(n * 3);
    case Unit::Month: return months(n);
    case Unit::DayOfYear: case Unit::Day: case Unit::Weekday: return Moment::at(m.day + n, m.sec);
    case Unit::Week: return Moment::at(m.day + n * 7, m.sec);
    case Unit::Hour: return Moment::at(m.day, m.sec + n * 3600);
    case Unit::Minute: return Moment::at(m.day, m.sec + n * 60);
    case Unit::Second: return Moment::at(m.day, m.sec + n);
  }
  return Value();
}

// DateDiff(interval, date1, date2[, firstdayofweek[, firstweekofyear]]): the boundaries of the
// interval crossed from date1 to date2 ("w": whole weeks; "ww": first days of the week crossed).
Value bDateDiff(const BuiltinArgs& a) {
  const Unit unit = unitOf(a[0]);
  const int first = firstDay(a, 3);
  firstWeek(a, 4);
  if (isNull(a[1]) || isNull(a[2])) return Value(Variant::null());
  const Moment x = momentOf(a[1]), y = momentOf(a[2]);
  const QDate dx = x.date(), dy = y.date();
  int64_t r = 0;
  switch (unit) {
    case Unit::Year: r = dy.year() - dx.year(); break;
    case Unit::Quarter: r = (dy.year() * 4 + (dy.month() - 1) / 3) - (dx.year() * 4 + (dx.month() - 1) / 3); break;
    case Unit::Month: r = (dy.year() * 12 + dy.month()) - (dx.year() * 12 + dx.month()); break;
    case Unit::DayOfYear: case Unit::Day: r = y.day - x.day; break;
    case Unit::Weekday: r = (y.day - x.day) / 7; break;
    case Unit::Week:
      r = ((y.day - (dayOfWeek(y, first) - 1)) - (x.day - (dayOfWeek(x, first) - 1))) / 7;
      break;
    case Unit::Hour: r = (y.day * 24 + y.sec / 3600) - (x.day * 24 + x.sec / 3600); break;
    case Unit::Minute: r = (y.day * 1440 + y.sec / 60) - (x.day * 1440 + x.sec / 60); break;
    case Unit::Second: r = (y.day * 86400 + y.sec) - (x.day * 86400 + x.sec); break;
  }
  if (r < INT32_MIN || r > INT32_MAX) raise(errOverflow);
  return Variant(int32_t(r));
}

Value bDatePart(const BuiltinArgs& a) {
  const Unit unit = unitOf(a[0]);
  const int first = firstDay(a, 2);
  const int rule = firstWeek(a, 3);
  if (isNull(a[1])) return Value(Variant::null());
  const Moment m = momentOf(a[1]);
  const QDate d = m.date();
  int r = 0;
  switch (unit) {
    case Unit::Year: r = d.year(); break;
    case Unit::Quarter: r = (d.month() - 1) / 3 + 1; break;
    case Unit::Month: r = d.month(); break;
    case Unit::DayOfYear: r = d.dayOfYear(); break;
    case Unit::Day: r = d.day(); break;
    case Unit::Weekday: r = dayOfWeek(m, first); break;
    case Unit::Week: r = weekOfYear(m, first, rule); break;
    case Unit::Hour: r = int(m.sec / 3600); break;
    case Unit::Minute: r = int(m.sec / 60 % 60); break;
    case Unit::Second: r = int(m.sec % 60); break;
  }
  return Variant(int16_t(r));
}

// Month and day names as the program writes them ("Marzo", "Mar"; "Sábado", "Sáb").
QString capitalised(const QString& s) { return s.left(1).toUpper() + s.mid(1); }

Value bMonthName(const BuiltinArgs& a) {
  const int32_t m = whole(a[0]);
  if (m < 1 || m > 12) raise(errInvalidCall);
  const bool shortName = a.has(1) && flag(a[1]);
  return Variant(shortName ? vb::mesAbreviado(m) : capitalised(vb::monthNameLong(m)));
}

Value bWeekdayName(const BuiltinArgs& a) {
  const int32_t w = whole(a[0]);
  if (w < 1 || w > 7) raise(errInvalidCall);
  const bool shortName = a.has(1) && flag(a[1]);
  const int day = (w - 1 + firstDay(a, 2) - 1) % 7 + 1;
  return Variant(capitalised(shortName ? vb::dayNameShort(day) : vb::dayNameLong(day)));
}

const Builtin kDate[] = {
    {"date", 0, 0, bDate, true},       {"time", 0, 0, bTime, true},      {"now", 0, 0, bNow, true},
    {"timer", 0, 0, bTimer, true},     {"dateserial", 3, 3, bDateSerial}, {"timeserial", 3, 3, bTimeSerial},
    {"datevalue", 1, 1, bDateValue},   {"timevalue", 1, 1, bTimeValue},  {"year", 1, 1, bYear},
    {"month", 1, 1, bMonth},           {"day", 1, 1, bDay},              {"weekday", 1, 2, bWeekday},
    {"hour", 1, 1, bHour},             {"minute", 1, 1, bMinute},        {"second", 1, 1, bSecond},
    {"dateadd", 3, 3, bDateAdd},       {"datediff", 3, 5, bDateDiff},    {"datepart", 2, 4, bDatePart},
    {"monthname", 1, 2, bMonthName},   {"weekdayname", 1, 3, bWeekdayName},
};

}  // namespace

namespace bi {
std::span<const Builtin> dateBuiltins() { return kDate; }
}  // namespace bi

}  // namespace script
