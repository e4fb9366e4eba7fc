// Text and array built-ins: Len, Left, Right, Mid, InStr, InStrRev, the Trims, the cases, Space,
// String, Replace, StrComp, StrReverse, Asc, AscW, Chr, ChrW, Escape, Unescape, RGB, and Array,
// Join, Split, Filter, LBound, UBound.
#include "builtins_impl.h"

#include "errors.h"
#include "operators.h"
#include "textfinder.h"

#include <algorithm>

namespace script {

using vb::Variant;

namespace {

using namespace bi;

// Windows-1252, the code page of the program's texts: its characters 128-159.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

QChar ansiChar(int code) {
  return code >= 128 && code < 160 ? QChar(kCp1252High[code - 128]) : QChar(char16_t(code));
}

int ansiCode(QChar c) {
  const char16_t u = c.unicode();
  if (u < 128 || (u >= 160 && u < 256)) return u;
  for (int k = 0; k < 32; ++k)
    if (kCp1252High[k] == u) return 128 + k;
  return '?';
}

// Functions of one text that give Null for Null.
template <typename F>
Value ofText(const Value& arg, F f) {
  if (isNull(arg)) return Value(Variant::null());
  return f(text(arg));
}

// A length or count argument: a whole number, 5 when negative.
int32_t count(const Value& v) {
  const int32_t n = whole(v);
  if (n < 0) raise(errInvalidCall);
  return n;
}

Value bLen(const BuiltinArgs& a) {
  return ofText(a[0], [](const QString& s) { return Value(Variant(int32_t(s.size()))); });
}
Value bTrim(const BuiltinArgs& a) { return ofText(a[0], [](const QString& s) { return Value(Variant(vb::Trim(s))); }); }
Value bLTrim(const BuiltinArgs& a) { return ofText(a[0], [](const QString& s) { return Value(Variant(vb::LTrim(s))); }); }
Value bRTrim(const BuiltinArgs& a) { return ofText(a[0], [](const QString& s) { return Value(Variant(vb::RTrim(s))); }); }
// A letter may change into more than one (ß into SS): the result is checked as any new text.
Value bUCase(const BuiltinArgs& a) { return ofText(a[0], [](const QString& s) { return textValue(vb::UCase(s)); }); }
Value bLCase(const BuiltinArgs& a) { return ofText(a[0], [](const QString& s) { return textValue(vb::LCase(s)); }); }

Value bLeft(const BuiltinArgs& a) {
  const int32_t n = count(a[1]);
  return ofText(a[0], [n](const QString& s) { return Value(Variant(s.left(n))); });
}

Value bRight(const BuiltinArgs& a) {
  const int32_t n = count(a[1]);
  return ofText(a[0], [n](const QString& s) { return Value(Variant(s.right(n))); });
}

Value bMid(const BuiltinArgs& a) {
  const int32_t start = whole(a[1]);
  if (start <= 0) raise(errInvalidCall);
  const int32_t length = a.has(2) ? count(a[2]) : -1;
  return ofText(a[0], [=](const QString& s) { return Value(Variant(s.mid(start - 1, length))); });
}

// InStr([start,] text, sought[, compare])
Value bInStr(const BuiltinArgs& a) {
  size_t i = 0;
  int32_t start = 1;
  if (a.size() >= 3) {
    start = whole(a[0]);
    if (start < 1) raise(errInvalidCall);
    i = 1;
  }
  const Qt::CaseSensitivity cs = comparison(a, i + 2);
  if (isNull(a[i]) || isNull(a[i + 1])) return Value(Variant::null());
  const QString s = text(a[i]), sought = text(a[i + 1]);
  if (start > s.size()) return Variant(int32_t(0));
  if (sought.isEmpty()) return Variant(start);
  return Variant(int32_t(TextFinder(sought, cs).indexIn(s, start - 1) + 1));
}

// InStrRev(text, sought[, start[, compare]]): the last match that ends at or before start.
Value bInStrRev(const BuiltinArgs& a) {
  int32_t start = a.has(2) ? whole(a[2]) : -1;
  if (start == 0 || start < -1) raise(errInvalidCall);
  const Qt::CaseSensitivity cs = comparison(a, 3);
  if (isNull(a[0]) || isNull(a[1])) return Value(Variant::null());
  const QString s = text(a[0]), sought = text(a[1]);
  if (start == -1) start = int32_t(s.size());
  if (s.isEmpty() || start > s.size()) return Variant(int32_t(0));
  if (sought.isEmpty()) return Variant(start);
  const qsizetype from = start - sought.size();
  if (from < 0) return Variant(int32_t(0));
  return Variant(int32_t(TextFinder(sought, cs).lastIndexIn(s, from) + 1));
}

Value bSpace(const BuiltinArgs& a) {
  const int32_t n = count(a[0]);
  checkTextLength(n);
  return Variant(QString(n, u' '));
}

// String(count, character): character is a text (its first character) or a code (taken mod 256).
Value bString(const BuiltinArgs& a) {
  if (isNull(a[0]) || isNull(a[1])) return Value(Variant::null());
  const int32_t n = count(a[0]);
  QChar c;
  const Variant& ch = scalar(a[1]);
  if (ch.isString()) {
    if (ch.rawString().isEmpty()) raise(errInvalidCall);
    c = ch.rawString().front();
  } else {
    c = ansiChar(((whole(a[1]) % 256) + 256) % 256);
  }
  checkTextLength(n);
  return Variant(QString(n, c));
}

// Replace(text, find, with[, start[, count[, compare]]]): the result begins at start.
Value bReplace(const BuiltinArgs& a) {
  for (size_t i = 0; i < 3; ++i)
    if (isNull(a[i])) raise(errInvalidNull);
  const int32_t start = a.has(3) ? whole(a[3]) : 1;
  if (start < 1) raise(errInvalidCall);
  const int32_t limit = a.has(4) ? whole(a[4]) : -1;
  if (limit < -1) raise(errInvalidCall);
  const Qt::CaseSensitivity cs = comparison(a, 5);
  const QString s = text(a[0]), find = text(a[1]), with = text(a[2]);
  if (start > s.size()) return Variant(QString());
  const QString rest = s.mid(start - 1);
  if (find.isEmpty() || limit == 0) return Variant(rest);
  const TextFinder finder(find, cs);
  QString out;
  qsizetype at = 0;
  int32_t done = 0;
  for (;;) {
    const qsizetype hit = limit >= 0 && done >= limit ? -1 : finder.indexIn(rest, at);
    const qsizetype upTo = hit < 0 ? rest.size() : hit;
    checkTextLength(out.size() + (upTo - at) + (hit < 0 ? 0 : with.size()));
    out += QStringView(rest).mid(at, upTo - at);
    if (hit < 0) break;
    out += with;
    at = hit + find.size();
    ++done;
  }
  return Variant(out);
}

Value bStrComp(const BuiltinArgs& a) {
  const Qt::CaseSensitivity cs = comparison(a, 2);
  if (isNull(a[0]) || isNull(a[1])) return Value(Variant::null());
  const int c = QString::compare(text(a[0]), text(a[1]), cs);
  return Variant(int16_t(c < 0 ? -1 : c > 0 ? 1 : 0));
}

Value bStrReverse(const BuiltinArgs& a) {
  if (isNull(a[0])) raise(errInvalidNull);
  QString s = text(a[0]);
  std::reverse(s.begin(), s.end());
  return Variant(s);
}

QChar firstChar(const Value& v) {
  if (isNull(v)) raise(errInvalidNull);
  const QString s = text(v);
  if (s.isEmpty()) raise(errInvalidCall);
  return s.front();
}

Value bAsc(const BuiltinArgs& a) { return Variant(int16_t(ansiCode(firstChar(a[0])))); }
Value bAscW(const BuiltinArgs& a) { return Variant(int16_t(firstChar(a[0]).unicode())); }

Value bChr(const BuiltinArgs& a) {
  const int32_t code = whole(a[0]);
  if (code < 0 || code > 255) raise(errInvalidCall);
  return Variant(QString(ansiChar(code)));
}

Value bChrW(const BuiltinArgs& a) {
  const int32_t code = whole(a[0]);
  if (code < -32768 || code > 65535) raise(errInvalidCall);
  return Variant(QString(QChar(char16_t(code & 0xFFFF))));
}

// Escape: everything but letters, digits and @*_+-./ as %XX, or %uXXXX past Latin-1.
Value bEscape(const BuiltinArgs& a) {
  return ofText(a[0], [](const QString& s) {
    static const QString plain = QStringLiteral("@*_+-./");
    QString out;
    for (QChar c : s) {
      if (out.size() >= kMaxTextLength) raise(errOutOfStringSpace);  // up to six characters each
      const char16_t u = c.unicode();
      if ((u < 128 && (c.isLetterOrNumber())) || plain.contains(c)) out += c;
      else if (u < 256) out += u'%' + QString::number(u, 16).rightJustified(2, u'0').toUpper();
      else out += QStringLiteral("%u") + QString::number(u, 16).rightJustified(4, u'0').toUpper();
    }
    return textValue(out);
  });
}

Value bUnescape(const BuiltinArgs& a) {
  return ofText(a[0], [](const QString& s) {
    QString out;
    auto hex = [&](qsizetype from, int digits, int* v) {
      if (from + digits > s.size()) return false;
      bool ok = false;
      *v = s.mid(from, digits).toInt(&ok, 16);
      return ok && !s.mid(from, digits).contains(u'+') && !s.mid(from, digits).contains(u'-');
    };
    for (qsizetype i = 0; i < s.size(); ++i) {
      int v = 0;
      if (s[i] == u'%' && i + 1 < s.size() && s[i + 1] == u'u' && hex(i + 2, 4, &v)) {
        out += QChar(char16_t(v));
        i += 5;
      } else if (s[i] == u'%' && hex(i + 1, 2, &v)) {
        out += QChar(char16_t(v));
        i += 2;
      } else {
        out += s[i];
      }
    }
    return Value(Variant(out));
  });
}

Value bRGB(const BuiltinArgs& a) {
  int32_t c[3];
  for (int k = 0; k < 3; ++k) {
    c[k] = whole(a[size_t(k)]);
    if (c[k] < 0) raise(errInvalidCall);
    c[k] = std::min(c[k], 255);
  }
  return Variant(int32_t(c[0] + c[1] * 256 + c[2] * 65536));
}

// ---- arrays ----

const ArrayData& arrayArg(const Value& v) {
  if (!v.isArray()) raise(errTypeMismatch);
  return *v.arrayData();
}

// The text of an element of a list of texts: a Null or an array does not make one.
QString elementText(const Value& v) {
  if (isNull(v)) raise(errTypeMismatch);
  return text(v);
}

Value bArray(const BuiltinArgs& a) {
  std::vector<Value> items;
  items.reserve(a.size());
  for (const Value& v : a.values) items.push_back(v.isShared() ? v.copy() : v);
  return Value::array(0, std::move(items));
}

Value bLBound(const BuiltinArgs& a) {
  const ArrayData& arr = arrayArg(a[0]);
  if (a.has(1) && whole(a[1]) != 1) raise(errSubscript);
  return Variant(int32_t(arr.lower));
}

Value bUBound(const BuiltinArgs& a) {
  const ArrayData& arr = arrayArg(a[0]);
  if (a.has(1) && whole(a[1]) != 1) raise(errSubscript);
  return Variant(int32_t(arr.lower + int64_t(arr.items.size()) - 1));
}

Value bJoin(const BuiltinArgs& a) {
  const ArrayData& arr = arrayArg(a[0]);
  if (a.has(1) && isNull(a[1])) raise(errInvalidNull);
  const QString sep = a.has(1) ? text(a[1]) : QStringLiteral(" ");
  QString out;
  for (size_t i = 0; i < arr.items.size(); ++i) {
    a.work.charge(1);  // the characters joined are charged with the result
    const QString piece = elementText(arr.items[i]);
    checkTextLength(out.size() + piece.size() + (i ? sep.size() : 0));
    if (i) out += sep;
    out += piece;
  }
  return Variant(out);
}

// Split(text[, delimiter[, count[, compare]]]): an array from 0; "" gives an empty one.
Value bSplit(const BuiltinArgs& a) {
  if (isNull(a[0])) raise(errInvalidNull);
  if (a.has(1) && isNull(a[1])) raise(errInvalidNull);
  const int32_t limit = a.has(2) ? whole(a[2]) : -1;
  if (limit < -1) raise(errInvalidCall);
  const Qt::CaseSensitivity cs = comparison(a, 3);
  const QString s = text(a[0]);
  const QString sep = a.has(1) ? text(a[1]) : QStringLiteral(" ");
  const TextFinder finder(sep, cs);
  std::vector<Value> items;
  if (!s.isEmpty() && limit != 0) {
    qsizetype at = 0;
    for (;;) {
      const bool last = sep.isEmpty() || (limit > 0 && int64_t(items.size()) == limit - 1);
      const qsizetype hit = last ? -1 : finder.indexIn(s, at);
      if (int64_t(items.size()) >= kMaxArrayCells) raise(errOutOfMemory);
      items.emplace_back(Variant(s.mid(at, hit < 0 ? -1 : hit - at)));
      if (hit < 0) break;
      at = hit + sep.size();
    }
  }
  return Value::array(0, std::move(items));
}

// Filter(texts, value[, include[, compare]]): the texts that hold value (or do not).
Value bFilter(const BuiltinArgs& a) {
  const ArrayData& arr = arrayArg(a[0]);
  if (isNull(a[1])) raise(errInvalidNull);
  const QString sought = text(a[1]);
  const bool include = a.has(2) ? flag(a[2]) : true;
  const TextFinder finder(sought, comparison(a, 3));
  std::vector<Value> items;
  for (const Value& v : arr.items) {
    const QString s = elementText(v);
    a.work.charge(1);
    a.work.chargeChars(uint64_t(s.size()));
    if ((finder.indexIn(s) >= 0) == include) items.emplace_back(Variant(s));
  }
  return Value::array(0, std::move(items));
}

constexpr int kMany = 1 << 30;

const Builtin kText[] = {
    partial({"len", 1, 1, bLen}),           {"trim", 1, 1, bTrim},         {"ltrim", 1, 1, bLTrim},
    {"rtrim", 1, 1, bRTrim},       {"ucase", 1, 1, bUCase},       {"lcase", 1, 1, bLCase},
    partial({"left", 2, 2, bLeft}), partial({"right", 2, 2, bRight}), partial({"mid", 2, 3, bMid}),
    {"instr", 2, 4, bInStr},       {"instrrev", 2, 4, bInStrRev}, {"space", 1, 1, bSpace},
    {"string", 2, 2, bString},     {"replace", 3, 6, bReplace},   {"strcomp", 2, 3, bStrComp},
    {"strreverse", 1, 1, bStrReverse}, partial({"asc", 1, 1, bAsc}), partial({"ascw", 1, 1, bAscW}),
    {"chr", 1, 1, bChr},           {"chrw", 1, 1, bChrW},         {"escape", 1, 1, bEscape},
    {"unescape", 1, 1, bUnescape}, {"rgb", 3, 3, bRGB},
    partial({"array", 0, kMany, bArray}), partial({"lbound", 1, 2, bLBound}), partial({"ubound", 1, 2, bUBound}),
    {"join", 1, 2, bJoin},         {"split", 1, 4, bSplit},       {"filter", 2, 4, bFilter},
};

}  // namespace

namespace bi {
std::span<const Builtin> textBuiltins() { return kText; }
}  // namespace bi

}  // namespace script
