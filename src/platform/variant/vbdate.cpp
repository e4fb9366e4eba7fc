#include "vbdate.h"

#include "error.h"

#include <QList>
#include <cmath>

namespace vb {

namespace {

const QDate& epoch() {
  static const QDate e(1899, 12, 30);
  return e;
}

const char16_t* const kMes[] = {u"Ene", u"Feb", u"Mar", u"Abr", u"May", u"Jun",
                                u"Jul", u"Ago", u"Sep", u"Oct", u"Nov", u"Dic"};
const char16_t* const kMonthShort[] = {u"ene", u"feb", u"mar", u"abr", u"may", u"jun",
                                       u"jul", u"ago", u"sep", u"oct", u"nov", u"dic"};
const char16_t* const kMonthLong[] = {u"enero", u"febrero", u"marzo",     u"abril",   u"mayo",      u"junio",
                                      u"julio", u"agosto",  u"septiembre", u"octubre", u"noviembre", u"diciembre"};
const char16_t* const kDayShort[] = {u"dom", u"lun", u"mar", u"mié", u"jue", u"vie", u"sáb"};
const char16_t* const kDayLong[] = {u"domingo", u"lunes", u"martes", u"miércoles", u"jueves", u"viernes", u"sábado"};

QString pick(const char16_t* const* table, int n, int i) {
  return i >= 1 && i <= n ? QString::fromUtf16(table[i - 1]) : QString();
}

DateParts partsOrThrow(double serial) {
  auto p = splitDate(serial);
  if (!p) throw Error(5);
  return *p;
}

int windowYear(int y, int digits) { return digits > 2 ? y : twoDigitYear(y); }

}  // namespace

int twoDigitYear(int y) { return y < 30 ? 2000 + y : 1900 + y; }

bool isValidDateSerial(double serial) {
  return std::isfinite(serial) && serial > MinDateSerial - 1 && serial < MaxDateSerial + 0.00001;
}

std::optional<DateParts> splitDate(double serial) {
  if (!isValidDateSerial(serial)) return std::nullopt;
  double whole = std::trunc(serial);
  long long days = static_cast<long long>(whole);
  long long secs = std::llround(std::fabs(serial - whole) * 86400.0);
  if (secs >= 86400) {  // rounds up into the next day, which is forward in time whatever the sign
    secs -= 86400;
    days += 1;
  }
  QDate d = epoch().addDays(days);
  if (!d.isValid() || d.year() < 100 || d.year() > 9999) return std::nullopt;
  DateParts p;
  p.year = d.year();
  p.month = d.month();
  p.day = d.day();
  p.hour = int(secs / 3600);
  p.minute = int(secs / 60 % 60);
  p.second = int(secs % 60);
  p.weekday = d.dayOfWeek() % 7 + 1;  // Qt: Monday 1 .. Sunday 7
  p.dayOfYear = d.dayOfYear();
  p.hasTime = secs != 0;
  p.hasDate = days != 0;
  return p;
}

double dateSerial(int y, int m, int d) {
  if (y >= 0 && y < 100) y = windowYear(y, 2);
  // Month overflow carries into the year, both ways (month 0 is December of the year before).
  int m0 = m - 1;
  int carry = m0 >= 0 ? m0 / 12 : -((-m0 + 11) / 12);
  y += carry;
  m0 -= carry * 12;
  QDate first(y, m0 + 1, 1);
  if (!first.isValid()) throw Error(5);
  double serial = static_cast<double>(epoch().daysTo(first)) + (d - 1);
  if (!isValidDateSerial(serial)) throw Error(5);
  return serial;
}

double fromQDate(const QDate& d) {
  if (!d.isValid()) throw Error(5);
  return static_cast<double>(epoch().daysTo(d));
}

double fromQDateTime(const QDateTime& dt) {
  if (!dt.isValid()) throw Error(5);
  double days = fromQDate(dt.date());
  double t = dt.time().msecsSinceStartOfDay() / 86400000.0;
  return days < 0 ? days - t : days + t;
}

QDate toQDate(double serial) {
  auto p = splitDate(serial);
  return p ? QDate(p->year, p->month, p->day) : QDate();
}

QDateTime toQDateTime(double serial) {
  auto p = splitDate(serial);
  if (!p) return QDateTime();
  return QDateTime(QDate(p->year, p->month, p->day), QTime(p->hour, p->minute, p->second));
}

int year(double serial) { return partsOrThrow(serial).year; }
int month(double serial) { return partsOrThrow(serial).month; }
int day(double serial) { return partsOrThrow(serial).day; }
int weekday(double serial) { return partsOrThrow(serial).weekday; }
int hour(double serial) { return partsOrThrow(serial).hour; }
int minute(double serial) { return partsOrThrow(serial).minute; }
int second(double serial) { return partsOrThrow(serial).second; }

double today() { return fromQDate(QDate::currentDate()); }

QString mesAbreviado(int m) { return pick(kMes, 12, m); }
QString monthNameShort(int m) { return pick(kMonthShort, 12, m); }
QString monthNameLong(int m) { return pick(kMonthLong, 12, m); }
QString dayNameShort(int w) { return pick(kDayShort, 7, w); }
QString dayNameLong(int w) { return pick(kDayLong, 7, w); }

QString dateToString(double serial) {
  auto p = splitDate(serial);
  if (!p) throw Error(6);
  QString date = QStringLiteral("%1/%2/%3")
                     .arg(p->day, 2, 10, QLatin1Char('0'))
                     .arg(p->month, 2, 10, QLatin1Char('0'))
                     .arg(p->year, 4, 10, QLatin1Char('0'));
  if (!p->hasTime && p->hasDate) return date;
  QString time = QStringLiteral("%1:%2:%3")
                     .arg(p->hour, 2, 10, QLatin1Char('0'))
                     .arg(p->minute, 2, 10, QLatin1Char('0'))
                     .arg(p->second, 2, 10, QLatin1Char('0'));
  return p->hasDate ? date + QLatin1Char(' ') + time : time;
}

// ---- text dates ----

namespace {

struct Tok {
  enum Kind { Num, Word, Sep } kind;
  QString text;
};

// A date and a time take a few dozen tokens at the most: a text of more is none, and is not split
// further (a long text of separators would take many times its size).
constexpr qsizetype kMaxDateTokens = 64;

// A run of blanks is one separator, " " or, for two or more, "  ": nothing reads more of it.
bool isBlankSep(const Tok& t) { return t.kind == Tok::Sep && t.text.startsWith(u' '); }

QList<Tok> tokenize(const QString& s, bool* ok) {
  QList<Tok> out;
  *ok = true;
  qsizetype i = 0;
  const qsizetype n = s.size();
  while (i < n) {
    if (out.size() >= kMaxDateTokens) {
      *ok = false;
      return out;
    }
    QChar c = s[i];
    qsizetype j = i + 1;
    if (c.isDigit()) {
      while (j < n && s[j].isDigit()) ++j;
      out.append({Tok::Num, s.mid(i, j - i)});
    } else if (c.isLetter()) {
      while (j < n && s[j].isLetter()) ++j;
      out.append({Tok::Word, s.mid(i, j - i).toLower()});
    } else if (c.isSpace()) {
      while (j < n && s[j].isSpace()) ++j;
      out.append({Tok::Sep, j - i == 1 ? QStringLiteral(" ") : QStringLiteral("  ")});
    } else if (c == u'/' || c == u'-' || c == u'.' || c == u',' || c == u':') {
      out.append({Tok::Sep, QString(c)});
    } else {
      *ok = false;
      return out;
    }
    i = j;
  }
  return out;
}

int monthFromWord(const QString& w) {
  for (int m = 1; m <= 12; ++m) {
    if (w == QStringView(kMonthShort[m - 1]) || w == QStringView(kMonthLong[m - 1])) return m;
  }
  if (w == u"sept" || w == u"set" || w == u"setiembre") return 9;
  return 0;
}

// The time part: tokens from 'from' on, "h:mm[:ss] [am|pm|a.m.|p.m.]".
std::optional<double> parseTime(const QList<Tok>& t, qsizetype from) {
  int vals[3] = {0, 0, 0};
  int count = 0;
  qsizetype i = from;
  while (i < t.size() && count < 3) {
    if (t[i].kind != Tok::Num || t[i].text.size() > 2) return std::nullopt;
    vals[count++] = t[i].text.toInt();
    ++i;
    if (i < t.size() && t[i].kind == Tok::Sep && t[i].text == u":") {
      ++i;
      if (i >= t.size()) return std::nullopt;
    } else {
      break;
    }
  }
  if (count < 2) return std::nullopt;
  QString rest;
  for (; i < t.size(); ++i) {
    if (t[i].kind == Tok::Num) return std::nullopt;
    if (t[i].kind == Tok::Word) rest += t[i].text;
    else if (t[i].text != u"." && !isBlankSep(t[i])) return std::nullopt;
  }
  int h = vals[0];
  if (!rest.isEmpty()) {
    bool pm;
    if (rest == u"am" || rest == u"a") pm = false;
    else if (rest == u"pm" || rest == u"p") pm = true;
    else return std::nullopt;
    if (h < 1 || h > 12) return std::nullopt;
    h = h % 12 + (pm ? 12 : 0);
  }
  if (h > 23 || vals[1] > 59 || vals[2] > 59) return std::nullopt;
  return (h * 3600 + vals[1] * 60 + vals[2]) / 86400.0;
}

std::optional<double> makeDate(int y, int yDigits, int m, int d) {
  y = windowYear(y, yDigits);
  if (y < 100 || y > 9999 || m < 1 || m > 12) return std::nullopt;
  QDate date(y, m, d);
  if (!date.isValid()) return std::nullopt;
  return static_cast<double>(epoch().daysTo(date));
}

// The date part: two or three items (numbers or a month name) with separators between them.
std::optional<double> parseDay(const QList<Tok>& t, qsizetype end) {
  // One separator between items: "/", "-" or a blank; a month name may carry a dot ("mar."), and a
  // comma may close the day in "mar 15, 2009". "1.5" or "1,5" are not dates.
  QList<Tok> items;
  QString sep;
  for (qsizetype i = 0; i < end; ++i) {
    if (t[i].kind == Tok::Sep) {
      sep += t[i].text;
      continue;
    }
    if (!items.isEmpty()) {
      const bool afterWord = items.last().kind == Tok::Word;
      const bool plain = sep == u"/" || sep == u"-" || sep == u" ";
      const bool dotted = afterWord && (sep == u"." || sep == u". " || sep == u"./" || sep == u".-");
      const bool comma = !afterWord && items.size() == 2 && items.first().kind == Tok::Word &&
                         (sep == u"," || sep == u", ");
      if (!plain && !dotted && !comma) return std::nullopt;
    } else if (!sep.isEmpty()) {
      return std::nullopt;
    }
    sep.clear();
    items.append(t[i]);
  }
  if (!sep.isEmpty() && !(sep == u"." && !items.isEmpty() && items.last().kind == Tok::Word)) return std::nullopt;
  if (items.size() < 2 || items.size() > 3) return std::nullopt;
  int num[3] = {0, 0, 0}, digits[3] = {0, 0, 0}, month[3] = {0, 0, 0};
  int words = 0, wordAt = -1;
  for (int k = 0; k < items.size(); ++k) {
    if (items[k].kind == Tok::Num) {
      if (items[k].text.size() > 4) return std::nullopt;
      num[k] = items[k].text.toInt();
      digits[k] = int(items[k].text.size());
    } else {
      month[k] = monthFromWord(items[k].text);
      if (!month[k]) return std::nullopt;
      ++words;
      wordAt = k;
    }
  }
  if (words > 1) return std::nullopt;
  const int thisYear = QDate::currentDate().year();
  if (items.size() == 3) {
    if (words == 0) {
      if (digits[0] > 2)  // 2009/03/15
        return makeDate(num[0], digits[0], num[1], num[2]);
      return makeDate(num[2], digits[2], num[1], num[0]);  // 15/03/2009
    }
    if (wordAt == 1) {
      if (digits[0] > 2) return makeDate(num[0], digits[0], month[1], num[2]);  // 2009-mar-15
      return makeDate(num[2], digits[2], month[1], num[0]);                   // 15-mar-2009
    }
    if (wordAt == 0) return makeDate(num[2], digits[2], month[0], num[1]);  // mar 15, 2009
    return std::nullopt;
  }
  // Two items: a day and a month of this year, or a month and a year.
  auto isYear = [&](int k) { return digits[k] > 2 || num[k] > 31; };
  if (words == 0) {
    if (isYear(1)) return makeDate(num[1], digits[1], num[0], 1);  // 03/2009
    if (isYear(0)) return makeDate(num[0], digits[0], num[1], 1);  // 2009/03
    return makeDate(thisYear, 4, num[1], num[0]);                  // 15/03
  }
  const int other = 1 - wordAt;
  if (isYear(other)) return makeDate(num[other], digits[other], month[wordAt], 1);  // mar 2009
  return makeDate(thisYear, 4, month[wordAt], num[other]);                         // 15 mar
}

}  // namespace

std::optional<double> parseDate(const QString& text) {
  bool ok;
  QList<Tok> t = tokenize(text.trimmed(), &ok);
  if (!ok || t.isEmpty()) return std::nullopt;
  // The time starts at the number in front of the first ':'.
  qsizetype colon = -1;
  for (qsizetype i = 0; i < t.size(); ++i) {
    if (t[i].kind == Tok::Sep && t[i].text == u":") { colon = i; break; }
  }
  if (colon < 0) return parseDay(t, t.size());
  if (colon == 0 || t[colon - 1].kind != Tok::Num) return std::nullopt;
  auto time = parseTime(t, colon - 1);
  if (!time) return std::nullopt;
  qsizetype dateEnd = colon - 1;
  while (dateEnd > 0 && t[dateEnd - 1].kind == Tok::Sep) --dateEnd;
  if (dateEnd == 0) return *time;
  if (dateEnd == colon - 1) return std::nullopt;  // no separator between date and time
  auto d = parseDay(t, dateEnd);
  if (!d) return std::nullopt;
  return *d >= 0 ? *d + *time : *d - *time;
}

}  // namespace vb
