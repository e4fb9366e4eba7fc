#include "variant.h"

#include "cnumber.h"

#include "vbdate.h"

#include <QByteArray>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace vb {

// ---- numeric text ----

namespace {

bool isBlank(QChar c) { return c == u' ' || c == u'\t'; }
bool isDigit(QChar c) { return c >= u'0' && c <= u'9'; }

// A scanned number: either a whole value from "&H"/"&O", or decimal text in C form ("-123.45e-6").
struct Scanned {
  bool whole = false;
  int64_t wholeValue = 0;
  std::string dec;
};

// "&H1F" / "&O17" from position i (at the '&'). VB reads up to 4 hex digits as a 16-bit Integer and up to 8
// as a 32-bit Long, both signed ("&HFFFF" is -1); more digits overflow. Returns the end position or -1.
qsizetype scanRadix(QStringView s, qsizetype i, bool stopAtJunk, int64_t* out) {
  if (i + 1 >= s.size() || s[i] != u'&') return -1;
  const QChar k = s[i + 1].toUpper();
  const int radix = k == u'H' ? 16 : k == u'O' ? 8 : 0;
  if (!radix) return -1;
  i += 2;
  uint64_t v = 0;
  int nd = 0;
  while (i < s.size()) {
    const char16_t c = QChar(s[i]).toUpper().unicode();
    const int d = c >= u'0' && c <= u'9' ? c - u'0' : c >= u'A' && c <= u'F' ? c - u'A' + 10 : -1;
    if (d < 0 || d >= radix) {
      if (stopAtJunk) break;
      return -1;
    }
    v = v * radix + d;
    if (v > 0xFFFFFFFFull) throw Error(6);
    ++nd;
    ++i;
  }
  if (nd == 0) return stopAtJunk ? i : -1;
  if (v <= 0xFFFF && (radix == 16 ? nd <= 4 : v <= 0177777)) *out = static_cast<int16_t>(static_cast<uint16_t>(v));
  else *out = static_cast<int32_t>(static_cast<uint32_t>(v));
  return i;
}

std::optional<Scanned> scan(QStringView s, NumberSyntax syntax) {
  const bool vbRules = syntax == NumberSyntax::Vb;
  qsizetype i = 0, n = s.size();
  while (n > 0 && isBlank(s[n - 1])) --n;
  auto skipBlanks = [&] { while (i < n && isBlank(s[i])) ++i; };
  skipBlanks();
  bool paren = false, dollar = false;
  char sign = 0;
  for (;;) {  // leading "(", sign and "$", in any order, each once
    if (i >= n) return std::nullopt;
    if (vbRules && s[i] == u'(' && !paren && !sign) paren = true;
    else if ((s[i] == u'-' || s[i] == u'+') && !sign && !paren) sign = char(s[i].unicode());
    else if (vbRules && s[i] == u'$' && !dollar) dollar = true;
    else break;
    ++i;
    if (vbRules) skipBlanks();
  }
  Scanned r;
  if (s[i] == u'&') {
    if (sign || paren || dollar) return std::nullopt;
    qsizetype e = scanRadix(s.first(n), i, false, &r.wholeValue);
    if (e != n) return std::nullopt;
    r.whole = true;
    return r;
  }
  if (sign == '-' || paren) r.dec += '-';
  int digits = 0;
  while (i < n && (isDigit(s[i]) || (vbRules && s[i] == u',' && digits > 0))) {
    if (s[i] != u',') { r.dec += char(s[i].unicode()); ++digits; }
    ++i;
  }
  if (i < n && s[i] == u'.') {
    r.dec += '.';
    ++i;
    while (i < n && isDigit(s[i])) { r.dec += char(s[i].unicode()); ++digits; ++i; }
  }
  if (digits == 0) return std::nullopt;
  if (i < n && (s[i] == u'e' || s[i] == u'E' || (vbRules && (s[i] == u'd' || s[i] == u'D')))) {
    r.dec += 'e';
    ++i;
    if (i < n && (s[i] == u'-' || s[i] == u'+')) r.dec += char(s[i++].unicode());
    int ed = 0;
    while (i < n && isDigit(s[i])) { r.dec += char(s[i++].unicode()); ++ed; }
    if (ed == 0) return std::nullopt;
  }
  if (vbRules) {
    skipBlanks();
    if (i < n && s[i] == u'$' && !dollar) { ++i; skipBlanks(); }
    if (i < n && (s[i] == u'-' || s[i] == u'+') && !sign && !paren) {
      if (s[i] == u'-') r.dec.insert(r.dec.begin(), '-');
      ++i;
      skipBlanks();
    }
    if (paren) {
      if (i >= n || s[i] != u')') return std::nullopt;
      ++i;
    }
  }
  if (i != n) return std::nullopt;
  return r;
}

double decToDouble(const std::string& dec) {
  double d = detail::parseC(dec.c_str());
  if (!std::isfinite(d)) throw Error(6);
  return d;
}

// Decimal text to Currency exactly, rounding half to even at the fourth decimal.
Currency decToCurrency(const std::string& dec) {
  bool neg = false;
  std::string mant;
  long long exp10 = 0;
  size_t i = 0;
  if (i < dec.size() && dec[i] == '-') { neg = true; ++i; }
  bool point = false;
  for (; i < dec.size() && dec[i] != 'e'; ++i) {
    if (dec[i] == '.') { point = true; continue; }
    mant += dec[i];
    if (point) --exp10;
  }
  if (i < dec.size()) {
    long long e = std::strtoll(dec.c_str() + i + 1, nullptr, 10);
    if (e > 100 || e < -100000) e = e > 0 ? 100 : -100000;  // far out either way; keeps the arithmetic small
    exp10 += e;
  }
  size_t nz = mant.find_first_not_of('0');
  if (nz == std::string::npos) return Currency();
  mant.erase(0, nz);
  // value = mant * 10^exp10; scaled = mant * 10^(exp10 + 4)
  long long shift = exp10 + 4;
  std::string keep = mant, rest;
  if (shift < 0) {
    long long cut = static_cast<long long>(mant.size()) + shift;
    if (cut <= 0) { keep.clear(); rest = std::string(static_cast<size_t>(-cut), '0') + mant; }
    else { keep = mant.substr(0, size_t(cut)); rest = mant.substr(size_t(cut)); }
  } else {
    if (static_cast<long long>(keep.size()) + shift > 20) throw Error(6);
    keep.append(size_t(shift), '0');
  }
  if (keep.size() > 20) throw Error(6);
  __int128 v = 0;
  for (char c : keep) v = v * 10 + (c - '0');
  if (!rest.empty()) {
    bool up;
    if (rest[0] != '5') up = rest[0] > '5';
    else up = rest.find_first_not_of('0', 1) != std::string::npos || (v & 1) != 0;
    if (up) ++v;
  }
  if (neg) v = -v;
  if (v > std::numeric_limits<int64_t>::max() || v < std::numeric_limits<int64_t>::min()) throw Error(6);
  return Currency::fromScaled(static_cast<int64_t>(v));
}

Scanned scanOrThrow(std::optional<Scanned> s) {
  if (!s) throw Error(13);
  return std::move(*s);
}

template <typename T>
T roundToInt(double d) {
  const double r = std::nearbyint(d);  // ties to even
  if (!(r >= double(std::numeric_limits<T>::min()) && r <= double(std::numeric_limits<T>::max()))) throw Error(6);
  return static_cast<T>(r);
}

template <typename T>
T checkRange(int64_t v) {
  if (v < std::numeric_limits<T>::min() || v > std::numeric_limits<T>::max()) throw Error(6);
  return static_cast<T>(v);
}

int64_t currencyToWhole(Currency c) {
  // half to even at the unit
  const int64_t s = c.scaled();
  int64_t q = s / Currency::Scale, r = s % Currency::Scale;
  const int64_t twice = (r < 0 ? -r : r) * 2;
  if (twice > Currency::Scale || (twice == Currency::Scale && (q & 1))) q += s < 0 ? -1 : 1;
  return q;
}

int compareText(const QString& a, const QString& b, bool textCompare) {
  const int c = QString::compare(a, b, textCompare ? Qt::CaseInsensitive : Qt::CaseSensitive);
  return c < 0 ? -1 : c > 0 ? 1 : 0;
}

}  // namespace

QString numberText(double d) {
  if (d == 0) return QStringLiteral("0");  // also -0
  return QString::fromStdString(detail::printC(d, 'G', 15));
}

std::optional<double> parseNumber(const QString& s, NumberSyntax syntax) {
  auto r = scan(s, syntax);
  if (!r) return std::nullopt;
  if (r->whole) return static_cast<double>(r->wholeValue);
  double d = detail::parseC(r->dec.c_str());
  if (!std::isfinite(d)) return std::nullopt;
  return d;
}

// ---- Variant ----

Variant::Variant(bool b) : type_(VarType::Boolean), i_(b ? -1 : 0) {}
Variant::Variant(int16_t i) : type_(VarType::Integer), i_(i) {}
Variant::Variant(int32_t l) : type_(VarType::Long), i_(l) {}
Variant::Variant(long l) : Variant(static_cast<long long>(l)) {}
Variant::Variant(long long l) {
  if (l >= std::numeric_limits<int32_t>::min() && l <= std::numeric_limits<int32_t>::max()) {
    type_ = VarType::Long;
    i_ = l;
  } else {
    type_ = VarType::Double;
    d_ = static_cast<double>(l);
  }
}
Variant::Variant(float f) : type_(VarType::Single), d_(f) {}
Variant::Variant(double d) : type_(VarType::Double), d_(d) {}
Variant::Variant(Currency c) : type_(VarType::Currency), i_(c.scaled()) {}
Variant::Variant(const QString& s) : type_(VarType::String), s_(s) {}
Variant::Variant(const char* utf8) : type_(VarType::String), s_(QString::fromUtf8(utf8)) {}

Variant Variant::null() {
  Variant v;
  v.type_ = VarType::Null;
  return v;
}

Variant Variant::fromDate(double serial) {
  if (!isValidDateSerial(serial)) throw Error(6);
  Variant v;
  v.type_ = VarType::Date;
  v.d_ = serial;
  return v;
}

Variant Variant::fromDate(int year, int month, int day) { return fromDate(dateSerial(year, month, day)); }

bool Variant::isNumber() const {
  switch (type_) {
    case VarType::Integer: case VarType::Long: case VarType::Single: case VarType::Double: case VarType::Currency:
      return true;
    default:
      return false;
  }
}

bool operator==(const Variant& a, const Variant& b) {
  if (a.type_ != b.type_) return false;
  switch (a.type_) {
    case VarType::Empty: case VarType::Null: return true;
    case VarType::Single: case VarType::Double: case VarType::Date: return a.d_ == b.d_;
    case VarType::String: return a.s_ == b.s_;
    default: return a.i_ == b.i_;
  }
}

bool Variant::toBool() const {
  switch (type_) {
    case VarType::Empty: return false;
    case VarType::Null: throw Error(94);
    case VarType::Single: case VarType::Double: case VarType::Date: return d_ != 0;
    case VarType::String: {
      const QString t = s_.trimmed();
      if (t.compare(u"True", Qt::CaseInsensitive) == 0 || t.compare(u"Verdadero", Qt::CaseInsensitive) == 0)
        return true;
      if (t.compare(u"False", Qt::CaseInsensitive) == 0 || t.compare(u"Falso", Qt::CaseInsensitive) == 0)
        return false;
      return toDouble() != 0;
    }
    default: return i_ != 0;
  }
}

int16_t Variant::toInteger() const {
  switch (type_) {
    case VarType::Currency: return checkRange<int16_t>(currencyToWhole(rawCurrency()));
    case VarType::Integer: case VarType::Long: case VarType::Boolean: return checkRange<int16_t>(i_);
    case VarType::String: {
      const Scanned s = scanOrThrow(scan(s_, NumberSyntax::Vb));
      if (s.whole) return checkRange<int16_t>(s.wholeValue);
      return roundToInt<int16_t>(decToDouble(s.dec));
    }
    default: return roundToInt<int16_t>(toDouble());
  }
}

int32_t Variant::toLong() const {
  switch (type_) {
    case VarType::Currency: return checkRange<int32_t>(currencyToWhole(rawCurrency()));
    case VarType::Integer: case VarType::Long: case VarType::Boolean: return checkRange<int32_t>(i_);
    case VarType::String: {
      const Scanned s = scanOrThrow(scan(s_, NumberSyntax::Vb));
      if (s.whole) return checkRange<int32_t>(s.wholeValue);
      return roundToInt<int32_t>(decToDouble(s.dec));
    }
    default: return roundToInt<int32_t>(toDouble());
  }
}

double Variant::toDouble() const {
  switch (type_) {
    case VarType::Empty: return 0;
    case VarType::Null: throw Error(94);
    case VarType::Single: case VarType::Double: case VarType::Date: return d_;
    case VarType::Currency: return rawCurrency().toDouble();
    case VarType::String: {
      const Scanned s = scanOrThrow(scan(s_, NumberSyntax::Vb));
      return s.whole ? static_cast<double>(s.wholeValue) : decToDouble(s.dec);
    }
    default: return static_cast<double>(i_);
  }
}

Currency Variant::toCurrency() const {
  switch (type_) {
    case VarType::Currency: return rawCurrency();
    case VarType::Integer: case VarType::Long: case VarType::Boolean: return Currency::fromInt(i_);
    case VarType::String: {
      const Scanned s = scanOrThrow(scan(s_, NumberSyntax::Vb));
      return s.whole ? Currency::fromInt(s.wholeValue) : decToCurrency(s.dec);
    }
    default: return Currency::fromDouble(toDouble());
  }
}

double Variant::toDate() const {
  switch (type_) {
    case VarType::Date: return d_;
    case VarType::String: {
      auto d = parseDate(s_);
      if (!d) throw Error(13);
      return *d;
    }
    default: {
      const double d = toDouble();
      if (!isValidDateSerial(d)) throw Error(6);
      return d;
    }
  }
}

QString Variant::toString() const {
  switch (type_) {
    case VarType::Empty: return QString();
    case VarType::Null: throw Error(94);
    case VarType::Boolean: return i_ ? QStringLiteral("True") : QStringLiteral("False");
    case VarType::Integer: case VarType::Long: return QString::number(i_);
    case VarType::Single: {
      if (d_ == 0) return QStringLiteral("0");
      return QString::fromStdString(detail::printC(d_, 'G', 7));
    }
    case VarType::Double: return numberText(d_);
    case VarType::Currency: return rawCurrency().toString();
    case VarType::Date: return dateToString(d_);
    case VarType::String: return s_;
  }
  return QString();
}

// ---- functions ----

bool IsNull(const Variant& v) { return v.isNull(); }
bool IsEmpty(const Variant& v) { return v.isEmpty(); }

bool IsNumeric(const Variant& v) {
  switch (v.type()) {
    case VarType::Null: case VarType::Date: return false;
    case VarType::String: return scan(v.rawString(), NumberSyntax::Vb).has_value();
    default: return true;
  }
}

bool IsDate(const Variant& v) {
  if (v.type() == VarType::Date) return true;
  if (v.type() == VarType::String) return parseDate(v.rawString()).has_value();
  return false;
}

bool CBool(const Variant& v) { return v.toBool(); }
int16_t CInt(const Variant& v) { return v.toInteger(); }
int32_t CLng(const Variant& v) { return v.toLong(); }
double CDbl(const Variant& v) { return v.toDouble(); }
Currency CCur(const Variant& v) { return v.toCurrency(); }
double CDate(const Variant& v) { return v.toDate(); }
QString CStr(const Variant& v) { return v.toString(); }

double Val(const QString& text) {
  QString s;
  s.reserve(text.size());
  for (QChar c : text)
    if (c != u' ' && c != u'\t' && c != u'\n' && c != u'\r') s += c;
  if (s.startsWith(u'&')) {
    int64_t v = 0;
    return scanRadix(s, 0, true, &v) < 0 ? 0.0 : static_cast<double>(v);
  }
  std::string dec;
  qsizetype i = 0;
  const qsizetype n = s.size();
  if (i < n && (s[i] == u'-' || s[i] == u'+')) dec += char(s[i++].unicode());
  int digits = 0;
  while (i < n && isDigit(s[i])) { dec += char(s[i++].unicode()); ++digits; }
  if (i < n && s[i] == u'.') {
    dec += '.';
    ++i;
    while (i < n && isDigit(s[i])) { dec += char(s[i++].unicode()); ++digits; }
  }
  if (digits == 0) return 0;
  if (i < n && (s[i] == u'e' || s[i] == u'E' || s[i] == u'd' || s[i] == u'D')) {
    std::string e = "e";
    qsizetype j = i + 1;
    if (j < n && (s[j] == u'-' || s[j] == u'+')) e += char(s[j++].unicode());
    int ed = 0;
    while (j < n && isDigit(s[j])) { e += char(s[j++].unicode()); ++ed; }
    if (ed > 0) dec += e;
  }
  return decToDouble(dec);
}

double Val(const Variant& v) {
  if (v.isNull()) throw Error(94);
  return Val(v.toString());
}

std::optional<int> Compare(const Variant& a, const Variant& b, bool textCompare) {
  if (a.isNull() || b.isNull()) return std::nullopt;
  const bool aText = a.isString(), bText = b.isString();
  if (a.isEmpty() && b.isEmpty()) return 0;
  if (aText || bText) {
    if (aText && bText) return compareText(a.rawString(), b.rawString(), textCompare);
    if (a.isEmpty()) return compareText(QString(), b.rawString(), textCompare);
    if (b.isEmpty()) return compareText(a.rawString(), QString(), textCompare);
    return aText ? 1 : -1;  // a number is less than a text
  }
  auto exact = [](const Variant& v, __int128* out) {
    switch (v.type()) {
      case VarType::Empty: *out = 0; return true;
      case VarType::Integer: case VarType::Long: case VarType::Boolean:
        *out = static_cast<__int128>(v.rawInt()) * Currency::Scale; return true;
      case VarType::Currency: *out = v.rawInt(); return true;
      default: return false;
    }
  };
  __int128 x, y;
  if (exact(a, &x) && exact(b, &y)) return x < y ? -1 : x > y ? 1 : 0;
  const double p = a.toDouble(), q = b.toDouble();
  return p < q ? -1 : p > q ? 1 : 0;
}

QString Trim(const QString& s) { return RTrim(LTrim(s)); }

QString LTrim(const QString& s) {
  qsizetype i = 0;
  while (i < s.size() && s[i] == u' ') ++i;
  return s.mid(i);
}

QString RTrim(const QString& s) {
  qsizetype n = s.size();
  while (n > 0 && s[n - 1] == u' ') --n;
  return s.left(n);
}

QString UCase(const QString& s) { return s.toUpper(); }
QString LCase(const QString& s) { return s.toLower(); }

QString Left(const QString& s, int n) {
  if (n < 0) throw Error(5);
  return s.left(n);
}

QString Right(const QString& s, int n) {
  if (n < 0) throw Error(5);
  return s.right(n);
}

QString Mid(const QString& s, int start, int length) {
  if (start < 1 || length < -1) throw Error(5);
  if (start > s.size()) return QString();
  return length < 0 ? s.mid(start - 1) : s.mid(start - 1, length);
}

int InStr(const QString& s, const QString& find, int start) {
  if (start < 1) throw Error(5);
  if (start > s.size()) return 0;
  if (find.isEmpty()) return start;
  return int(s.indexOf(find, start - 1)) + 1;
}

}  // namespace vb
