#include "dates.h"

#include "vbdate.h"

#include <QDate>
#include <QList>

namespace script {

namespace {

struct Part {
  enum Kind { Num, Word, Sep } kind;
  QString text;
};

std::optional<QList<Part>> split(const QString& s) {
  QList<Part> out;
  qsizetype i = 0;
  while (i < s.size()) {
    const QChar c = s[i];
    qsizetype j = i + 1;
    if (c.isDigit()) {
      while (j < s.size() && s[j].isDigit()) ++j;
      out.append({Part::Num, s.mid(i, j - i)});
    } else if (c.isLetter()) {
      while (j < s.size() && s[j].isLetter()) ++j;
      out.append({Part::Word, s.mid(i, j - i).toLower()});
    } else if (c == u'/' || c == u'-' || c == u',' || c == u':' || c == u'.' || c == u' ' || c == u'\t') {
      if (c != u' ' && c != u'\t') out.append({Part::Sep, QString(c)});
    } else {
      return std::nullopt;
    }
    i = j;
  }
  return out;
}

int englishMonth(const QString& w) {
  static const char* const names[] = {"january", "february", "march",     "april",   "may",      "june",
                                      "july",    "august",   "september", "october", "november", "december"};
  for (int m = 0; m < 12; ++m) {
    const QLatin1String full(names[m]);
    if (w == full || (w.size() >= 3 && full.startsWith(w))) return m + 1;
  }
  return 0;
}

std::optional<int> days(int y, int yDigits, int m, int d) {
  if (yDigits <= 2) y += y < 30 ? 2000 : 1900;
  const QDate date(y, m, d);
  if (!date.isValid() || y < 100 || y > 9999) return std::nullopt;
  return int(QDate(1899, 12, 30).daysTo(date));
}

// Items of the date part: numbers and at most one month name.
std::optional<int> datePart(const QList<Part>& items) {
  if (items.size() < 2 || items.size() > 3) return std::nullopt;
  int num[3] = {0, 0, 0}, digits[3] = {0, 0, 0};
  int word = -1, month = 0;
  for (int k = 0; k < items.size(); ++k) {
    if (items[k].kind == Part::Word) {
      if (word >= 0) return std::nullopt;
      word = k;
      month = englishMonth(items[k].text);
      if (!month) return std::nullopt;
    } else {
      if (items[k].text.size() > 4) return std::nullopt;
      num[k] = items[k].text.toInt();
      digits[k] = int(items[k].text.size());
    }
  }
  const int thisYear = QDate::currentDate().year();
  auto isYear = [&](int k) { return digits[k] > 2 || num[k] > 31; };
  if (items.size() == 3) {
    if (word < 0) {
      if (digits[0] > 2) return days(num[0], digits[0], num[1], num[2]);  // 2025-03-01
      // Month first; a first number that cannot be a month is the day.
      if (auto d = days(num[2], digits[2], num[0], num[1])) return d;
      return days(num[2], digits[2], num[1], num[0]);
    }
    if (word == 0) return days(num[2], digits[2], month, num[1]);  // March 1, 2025
    if (word == 1) {
      if (digits[0] > 2) return days(num[0], digits[0], month, num[2]);  // 2025-Mar-01
      return days(num[2], digits[2], month, num[0]);                     // 1-Mar-2025
    }
    return std::nullopt;
  }
  if (word < 0) {
    if (isYear(1)) return days(num[1], digits[1], num[0], 1);  // 3/2025
    if (isYear(0)) return days(num[0], digits[0], num[1], 1);  // 2025/3
    return days(thisYear, 4, num[0], num[1]);                  // 3/1
  }
  const int other = 1 - word;
  if (isYear(other)) return days(num[other], digits[other], month, 1);  // March 2025
  return days(thisYear, 4, month, num[other]);                         // March 1
}

// h:mm[:ss] [AM|PM]: the fraction of a day.
std::optional<double> timePart(const QList<Part>& t) {
  int vals[3] = {0, 0, 0};
  int count = 0;
  qsizetype i = 0;
  while (i < t.size() && t[i].kind == Part::Num && count < 3) {
    if (t[i].text.size() > 2) return std::nullopt;
    vals[count++] = t[i].text.toInt();
    ++i;
    if (i < t.size() && t[i].kind == Part::Sep && t[i].text == u":") ++i;
    else break;
  }
  if (count < 2 && !(count == 1 && i < t.size() && t[i].kind == Part::Word)) return std::nullopt;
  int h = vals[0];
  if (i < t.size()) {
    if (i + 1 != t.size() || t[i].kind != Part::Word) return std::nullopt;
    const QString& w = t[i].text;
    const bool pm = w == u"pm" || w == u"p";
    if (!pm && w != u"am" && w != u"a") return std::nullopt;
    if (h < 1 || h > 12) return std::nullopt;
    h = h % 12 + (pm ? 12 : 0);
  }
  if (h > 23 || vals[1] > 59 || vals[2] > 59) return std::nullopt;
  return (h * 3600 + vals[1] * 60 + vals[2]) / 86400.0;
}

}  // namespace

std::optional<double> parseDateLiteral(const QString& text) {
  const std::optional<QList<Part>> parts = split(text);
  if (!parts || parts->isEmpty()) return std::nullopt;
  const QList<Part>& p = *parts;
  // The time begins at the number in front of the first ":" (or of a closing AM/PM).
  qsizetype timeAt = p.size();
  for (qsizetype i = 1; i < p.size(); ++i) {
    if (p[i].kind == Part::Sep && p[i].text == u":" && p[i - 1].kind == Part::Num) {
      timeAt = i - 1;
      break;
    }
  }
  if (timeAt == p.size() && p.size() >= 2 && p.last().kind == Part::Word && !englishMonth(p.last().text) &&
      p[p.size() - 2].kind == Part::Num)
    timeAt = p.size() - 2;  // "1 PM"
  double time = 0;
  if (timeAt < p.size()) {
    const std::optional<double> t = timePart(p.mid(timeAt));
    if (!t) return std::nullopt;
    time = *t;
  }
  // The date items, separated by "/", "-", "." or blanks (a comma may follow a month name's day).
  QList<Part> items;
  for (qsizetype i = 0; i < timeAt; ++i) {
    if (p[i].kind != Part::Sep) items.append(p[i]);
    else if (i == 0 || i + 1 == timeAt || p[i + 1].kind == Part::Sep) return std::nullopt;
  }
  if (items.isEmpty()) return timeAt == 0 ? std::optional<double>(time) : std::nullopt;
  const std::optional<int> d = datePart(items);
  if (!d) return std::nullopt;
  return *d >= 0 ? *d + time : *d - time;
}

}  // namespace script
