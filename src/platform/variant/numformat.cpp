#include "numformat.h"

#include "cnumber.h"

#include "variant.h"
#include "vbdate.h"

#include <QHash>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace vb {

namespace {

using Style = NumberFormat::Style;

enum class K : uint8_t { Lit, Digit, Point, Exp, Percent, Text, General, Date, AmPm, Elapsed, FracSec, Slash };

// Digit groups: the whole part, the decimals, a fraction's numerator and denominator.
enum Group : uint8_t { IntPart, FracPart, Numer, Denom };

struct Tok {
  K k;
  char16_t c = 0;  // Digit: '0' '#' '?'; Date/Elapsed: d m y h s, 'M' for minutes; Text: '@' '&'; Exp: '+' '-'
  int n = 0;       // Date: letter count; Exp: minimum digits; FracSec: digits
  QString s;       // Lit: the text; AmPm: "AM/PM" as written; Exp: "E" or "e"
  Group g = IntPart;

  Tok(K kind, char16_t ch = 0, int count = 0, QString text = {}, Group group = IntPart)
      : k(kind), c(ch), n(count), s(std::move(text)), g(group) {}
};

struct Section {
  std::vector<Tok> toks;
  QString color;
  bool hasCond = false;
  QString condOp;
  double condVal = 0;
  bool date = false, text = false, general = false, exp = false, fraction = false, ampm = false;
  bool grouping = false;
  int scale = 0;    // trailing commas: divide by 1000 each
  int percent = 0;
  int intDigits = 0, fracDigits = 0, denFixed = 0;
  int fracSecDigits = 0;
  bool lower = false, upper = false, leftToRight = false;  // Vb text formats: < > !

  bool empty() const { return toks.empty(); }
  bool textOnly() const { return text && !date && intDigits + fracDigits == 0 && !general; }
};

// ---- parsing ----

constexpr QChar kFillMark(0xFFFF);  // a noncharacter: never in a format's own text

bool isPlaceholder(QChar c) { return c == u'0' || c == u'#' || c == u'?'; }

bool startsWithCI(QStringView s, qsizetype i, QStringView what) {
  return s.size() - i >= what.size() && s.mid(i, what.size()).compare(what, Qt::CaseInsensitive) == 0;
}

void addLit(Section& s, const QString& t) {
  if (!s.toks.empty() && s.toks.back().k == K::Lit) s.toks.back().s += t;
  else s.toks.push_back({K::Lit, 0, 0, t});
}

const Tok* lastNonLit(const Section& s) {
  for (auto it = s.toks.rbegin(); it != s.toks.rend(); ++it)
    if (it->k != K::Lit) return &*it;
  return nullptr;
}

void parseBracket(Section& s, QStringView b) {
  const QString lower = b.toString().toLower();
  static const char* const colors[] = {"black", "blue", "cyan", "green", "magenta", "red", "white", "yellow"};
  for (const char* c : colors)
    if (lower == QLatin1String(c)) { s.color = lower; return; }
  if (lower.startsWith(u"color") && lower.size() > 5) { s.color = lower; return; }
  if (!b.isEmpty() && (b[0] == u'<' || b[0] == u'>' || b[0] == u'=')) {
    qsizetype opLen = b.size() > 1 && (b[1] == u'=' || b[1] == u'>') ? 2 : 1;
    if (auto v = parseNumber(b.mid(opLen).toString(), NumberSyntax::Script)) {
      s.hasCond = true;
      s.condOp = b.first(opLen).toString();
      s.condVal = *v;
    }
    return;
  }
  if (!lower.isEmpty() && (lower[0] == u'h' || lower[0] == u'm' || lower[0] == u's') &&
      lower.count(lower[0]) == lower.size()) {
    s.toks.push_back({K::Elapsed, lower[0].unicode(), int(lower.size())});
    return;
  }
  if (b.startsWith(u'$')) {  // [$$-80A], [$€-2]: the symbol is shown, the locale id ignored
    qsizetype dash = b.indexOf(u'-');
    addLit(s, b.mid(1, dash < 0 ? -1 : dash - 1).toString());
  }
}

Section parseSection(QStringView src, Style style) {
  Section s;
  const qsizetype n = src.size();
  bool afterPoint = false, inExp = false, inDenom = false;
  for (qsizetype i = 0; i < n;) {
    const QChar c = src[i];
    const char16_t lc = c.toLower().unicode();
    if (c == u'"') {
      qsizetype j = src.indexOf(u'"', i + 1);
      if (j < 0) j = n;
      addLit(s, src.mid(i + 1, j - i - 1).toString());
      i = j + 1;
    } else if (c == u'\\') {
      if (i + 1 < n) addLit(s, QString(src[i + 1]));
      i += 2;
    } else if (c == u'_') {
      addLit(s, QStringLiteral(" "));
      i += 2;
    } else if (c == u'*') {
      // The fill travels in the text as a marker and its character; format() takes it out.
      if (i + 1 < n) addLit(s, QString(kFillMark) + src[i + 1]);
      i += 2;
    } else if (c == u'[') {
      qsizetype j = src.indexOf(u']', i);
      if (j < 0) { addLit(s, src.mid(i).toString()); break; }
      parseBracket(s, src.mid(i + 1, j - i - 1));
      i = j + 1;
    } else if (startsWithCI(src, i, u"general")) {
      s.toks.push_back({K::General});
      s.general = true;
      i += 7;
    } else if (isPlaceholder(c)) {
      if (inExp) {
        if (c == u'0') ++s.toks.back().n;
      } else {
        s.toks.push_back({K::Digit, c.unicode(), 0, {}, inDenom ? Denom : afterPoint ? FracPart : IntPart});
      }
      ++i;
    } else if (inDenom && c.isDigit()) {
      qsizetype j = i;
      while (j < n && src[j].isDigit()) ++j;
      s.denFixed = src.mid(i, j - i).toInt();
      i = j;
    } else if (c == u'.') {
      const Tok* prev = lastNonLit(s);
      if (prev && prev->k == K::Date && prev->c == u's' && i + 1 < n && src[i + 1] == u'0') {
        qsizetype j = i + 1;
        while (j < n && src[j] == u'0') ++j;
        s.toks.push_back({K::FracSec, 0, int(j - i - 1)});
        s.fracSecDigits = int(j - i - 1);
        i = j;
      } else if (!afterPoint && !inExp && !inDenom) {
        s.toks.push_back({K::Point});
        afterPoint = true;
        ++i;
      } else {
        addLit(s, QStringLiteral("."));
        ++i;
      }
    } else if (c == u',') {
      const bool afterDigit = !s.toks.empty() && s.toks.back().k == K::Digit && !inExp && !inDenom;
      if (afterDigit && i + 1 < n && isPlaceholder(src[i + 1])) {
        s.grouping = true;
        ++i;
      } else if (afterDigit) {
        while (i < n && src[i] == u',') { ++s.scale; ++i; }
      } else {
        addLit(s, QStringLiteral(","));
        ++i;
      }
    } else if (lc == u'e' && i + 1 < n && (src[i + 1] == u'+' || src[i + 1] == u'-') && !s.toks.empty() &&
               lastNonLit(s) && lastNonLit(s)->k == K::Digit) {
      s.toks.push_back({K::Exp, src[i + 1].unicode(), 0, QString(c)});
      s.exp = inExp = true;
      i += 2;
    } else if (c == u'/' && !afterPoint && !s.toks.empty() && s.toks.back().k == K::Digit && i + 1 < n &&
               (isPlaceholder(src[i + 1]) || src[i + 1].isDigit())) {
      // "# ?/?": the placeholders just before the slash are the numerator.
      for (auto it = s.toks.rbegin(); it != s.toks.rend() && it->k == K::Digit; ++it) it->g = Numer;
      s.toks.push_back({K::Slash});
      s.fraction = inDenom = true;
      ++i;
    } else if (c == u'%') {
      s.toks.push_back({K::Percent});
      ++s.percent;
      ++i;
    } else if (c == u'@' || (c == u'&' && style == Style::Vb)) {
      s.toks.push_back({K::Text, c.unicode()});
      s.text = true;
      ++i;
    } else if (style == Style::Vb && (c == u'<' || c == u'>' || c == u'!')) {
      (c == u'<' ? s.lower : c == u'>' ? s.upper : s.leftToRight) = true;
      ++i;
    } else if (lc == u'a' && (startsWithCI(src, i, u"am/pm") || startsWithCI(src, i, u"a/p"))) {
      const int len = startsWithCI(src, i, u"am/pm") ? 5 : 3;
      s.toks.push_back({K::AmPm, 0, 0, src.mid(i, len).toString()});
      s.ampm = true;
      i += len;
    } else if (lc == u'y' || lc == u'm' || lc == u'd' || lc == u'h' || lc == u's' ||
               (style == Style::Vb && lc == u'n')) {
      qsizetype j = i;
      while (j < n && src[j].toLower() == QChar(lc)) ++j;
      s.toks.push_back({K::Date, lc == u'n' ? u'M' : lc, int(j - i)});
      i = j;
    } else {
      addLit(s, QString(c));
      ++i;
    }
  }
  // "m" means minutes right after an hour or right before a second.
  for (size_t t = 0; t < s.toks.size(); ++t) {
    Tok& tok = s.toks[t];
    if (tok.k != K::Date || tok.c != u'm' || tok.n > 2) continue;
    auto isClock = [](const Tok& o, char16_t what) {
      return (o.k == K::Date || o.k == K::Elapsed) && o.c == what;
    };
    for (size_t b = t; b-- > 0;) {
      if (s.toks[b].k == K::Lit) continue;
      if (isClock(s.toks[b], u'h')) tok.c = u'M';
      break;
    }
    for (size_t f = t + 1; f < s.toks.size(); ++f) {
      if (s.toks[f].k == K::Lit) continue;
      if (isClock(s.toks[f], u's')) tok.c = u'M';
      break;
    }
  }
  for (const Tok& t : s.toks) {
    if (t.k == K::Date || t.k == K::AmPm || t.k == K::Elapsed) s.date = true;
    if (t.k == K::Digit && t.g == IntPart) ++s.intDigits;
    if (t.k == K::Digit && t.g == FracPart) ++s.fracDigits;
  }
  return s;
}

std::vector<QStringView> splitSections(QStringView code) {
  std::vector<QStringView> out;
  qsizetype start = 0;
  bool quote = false, bracket = false;
  for (qsizetype i = 0; i < code.size(); ++i) {
    const QChar c = code[i];
    if (quote) { if (c == u'"') quote = false; continue; }
    if (bracket) { if (c == u']') bracket = false; continue; }
    if (c == u'"') quote = true;
    else if (c == u'[') bracket = true;
    else if (c == u'\\' || c == u'_' || c == u'*') ++i;
    else if (c == u';') { out.push_back(code.mid(start, i - start)); start = i + 1; }
  }
  out.push_back(code.mid(start));
  if (out.size() > 4) out.resize(4);
  return out;
}

// ---- decimal digits ----

// x >= 0 rounded half away from zero to 'decimals' places, from its 15 significant digits (as the
// spreadsheet and VB do: 1.005 shows as 1.01).
struct Dec {
  std::string whole;  // no leading zeros; "" for 0
  std::string frac;   // exactly 'decimals' digits
  bool zero = true;
};

Dec roundDecimal(double x, int decimals) {
  Dec r;
  if (!(x > 0)) { r.frac.assign(size_t(decimals), '0'); return r; }
  const std::string text = detail::printC(x, 'e', 14);
  const char* buf = text.c_str();
  std::string digits;
  digits += buf[0];
  digits.append(buf + 2, 14);
  int intLen = std::atoi(std::strchr(buf, 'e') + 1) + 1;
  const int keep = intLen + decimals;
  if (keep < 0) { r.frac.assign(size_t(decimals), '0'); return r; }
  if (keep < 15) {
    const bool up = digits[size_t(keep)] >= '5';
    digits.resize(size_t(keep));
    if (up) {
      int i = keep - 1;
      while (i >= 0 && digits[size_t(i)] == '9') digits[size_t(i--)] = '0';
      if (i < 0) { digits.insert(digits.begin(), '1'); ++intLen; }
      else ++digits[size_t(i)];
    }
  } else {
    digits.append(size_t(keep - 15), '0');
  }
  if (intLen > 0) {
    r.whole = digits.substr(0, size_t(intLen));
    r.frac = digits.substr(size_t(intLen));
  } else {
    r.frac = std::string(size_t(-intLen), '0') + digits;
  }
  size_t nz = r.whole.find_first_not_of('0');
  r.whole.erase(0, nz == std::string::npos ? r.whole.size() : nz);
  r.zero = r.whole.empty() && r.frac.find_first_not_of('0') == std::string::npos;
  return r;
}

int decimalExponent(double x) {  // floor(log10(x)) for x > 0, from the 15-digit form
  const std::string text = detail::printC(x, 'e', 14);
  const char* buf = text.c_str();
  return std::atoi(std::strchr(buf, 'e') + 1);
}

QString stripZeros(const Dec& d) {
  std::string f = d.frac;
  while (!f.empty() && f.back() == '0') f.pop_back();
  QString s = d.whole.empty() ? QStringLiteral("0") : QString::fromLatin1(d.whole.c_str());
  if (!f.empty()) s += QLatin1Char('.') + QString::fromLatin1(f.c_str());
  return s;
}

// A spreadsheet cell's General: the number in at most 11 characters.
QString generalSheet(double v) {
  if (v == 0) return QStringLiteral("0");
  const bool neg = v < 0;
  const double a = std::fabs(v);
  const int width = 11 - (neg ? 1 : 0);
  const QString sign = neg ? QStringLiteral("-") : QString();
  if (a >= 1e-4) {
    const int e = decimalExponent(a);
    const int intDigits = e >= 0 ? e + 1 : 1;
    if (intDigits <= width) {
      const int decimals = std::max(0, width - intDigits - 1);
      Dec d = roundDecimal(a, decimals);
      if (!d.zero && int(d.whole.size()) <= width) return sign + stripZeros(d);
    }
  }
  int e = decimalExponent(a);
  for (int pass = 0; pass < 2; ++pass) {
    const int expLen = std::abs(e) >= 100 ? 5 : 4;  // "E+05" / "E+100"
    const int decimals = std::max(0, width - expLen - 2);
    Dec d = roundDecimal(a / std::pow(10.0, e), decimals);
    if (d.whole.size() > 1) { ++e; continue; }  // 9.999995 rounded up to 10
    return sign + stripZeros(d) + (e < 0 ? QStringLiteral("E-") : QStringLiteral("E+")) +
           QString::number(std::abs(e)).rightJustified(2, QLatin1Char('0'));
  }
  return sign + numberText(a);
}

QString capitalised(QString s) {
  if (!s.isEmpty()) s[0] = s[0].toUpper();
  return s;
}

QString twoDigits(int v) { return QString::number(v).rightJustified(2, QLatin1Char('0')); }

}  // namespace

// ---- the format ----

struct NumberFormat::Impl {
  QString code;
  Style style = Style::Sheet;
  std::vector<Section> secs;
  std::vector<int> numeric;  // sections that format numbers, in order
  int textSec = -1;
  bool conditional = false;

  struct Pick {
    const Section* sec;
    bool minus;
  };

  Pick pick(double v) const {
    if (numeric.empty()) return {nullptr, v < 0};
    const Section& first = secs[size_t(numeric[0])];
    if (conditional) {
      for (int i : numeric) {
        const Section& s = secs[size_t(i)];
        if (s.hasCond && test(s, v)) return {&s, minusFor(s, v)};
      }
      for (int i : numeric) {
        const Section& s = secs[size_t(i)];
        if (!s.hasCond) return {&s, v < 0};
      }
      return {nullptr, v < 0};
    }
    const Section* s = &first;
    bool minus = v < 0;
    if (numeric.size() >= 2 && v < 0) { s = &secs[size_t(numeric[1])]; minus = false; }
    else if (numeric.size() >= 3 && v == 0) s = &secs[size_t(numeric[2])];
    if (s->empty() && style == Style::Vb) return {&first, v < 0};
    return {s, minus};
  }

  static bool test(const Section& s, double v) {
    const QString& op = s.condOp;
    const double c = s.condVal;
    if (op == u"<") return v < c;
    if (op == u"<=") return v <= c;
    if (op == u">") return v > c;
    if (op == u">=") return v >= c;
    if (op == u"<>") return v != c;
    return v == c;
  }
  // A section chosen by a "less than" test at or below zero shows its own signs.
  static bool minusFor(const Section& s, double v) {
    return v < 0 && !((s.condOp == u"<" || s.condOp == u"<=") && s.condVal <= 0);
  }

  QString general(double v) const { return style == Style::Sheet ? generalSheet(v) : numberText(v); }
  QString formatNumber(const Section& s, double x, bool minus) const;
  QString formatFraction(const Section& s, double x) const;
  QString formatDate(const Section& s, double serial) const;
};

namespace {

// The text of the whole-part placeholders: one string per placeholder, left to right. The leftmost takes
// the digits that do not fit; "," groups by three when asked.
std::vector<QString> wholeDigits(const std::vector<char16_t>& ph, const std::string& digits, bool grouping) {
  const size_t k = ph.size();
  std::vector<QString> out(k);
  const size_t len = digits.size();
  auto put = [&](QString& to, char ch, size_t pos) {
    to += QLatin1Char(ch);
    if (grouping && pos > 0 && pos % 3 == 0 && ch != ' ') to += QLatin1Char(',');
  };
  if (k == 0) return out;
  if (len > k) {
    for (size_t i = 0; i < len - k; ++i) put(out[0], digits[i], len - 1 - i);
  }
  for (size_t j = 0; j < k; ++j) {
    const size_t pos = k - 1 - j;  // from the right
    if (pos < len) put(out[j], digits[len - 1 - pos], pos);
    else if (ph[j] == u'0') put(out[j], '0', pos);
    else if (ph[j] == u'?') out[j] += QLatin1Char(' ');
  }
  return out;
}

// Decimals: trailing zeros of "#" places vanish, of "?" places become blanks.
std::vector<QString> fracDigits(const std::vector<char16_t>& ph, const std::string& digits) {
  std::vector<QString> out(ph.size());
  size_t j = ph.size();
  while (j > 0 && ph[j - 1] != u'0' && digits[j - 1] == '0') {
    --j;
    if (ph[j] == u'?') out[j] = QStringLiteral(" ");
  }
  for (size_t i = 0; i < j; ++i) out[i] = QLatin1Char(digits[i]);
  return out;
}

}  // namespace

QString NumberFormat::Impl::formatNumber(const Section& s, double x, bool minus) const {
  x *= std::pow(100.0, s.percent);
  if (s.scale) x /= std::pow(1000.0, s.scale);
  if (s.fraction) {
    QString out = formatFraction(s, x);
    return minus && x != 0 ? QLatin1Char('-') + out : out;
  }
  std::vector<char16_t> intPh, fracPh;
  for (const Tok& t : s.toks) {
    if (t.k == K::Digit && t.g == IntPart) intPh.push_back(t.c);
    if (t.k == K::Digit && t.g == FracPart) fracPh.push_back(t.c);
  }
  int e = 0;
  Dec d;
  if (s.exp) {
    const int k = std::max<int>(1, int(intPh.size()));
    const bool engineering = k > 1 && std::find(intPh.begin(), intPh.end(), u'#') != intPh.end();
    if (x > 0) {
      int e10 = decimalExponent(x);
      for (int pass = 0; pass < 2; ++pass) {
        e = engineering ? int(std::floor(double(e10) / k)) * k : e10 - (k - 1);
        d = roundDecimal(x / std::pow(10.0, e), s.fracDigits);
        if (int(d.whole.size()) <= (engineering ? k : k)) break;
        ++e10;  // rounding carried into one more digit
      }
    } else {
      d = roundDecimal(0, s.fracDigits);
    }
  } else {
    d = roundDecimal(x, s.fracDigits);
  }
  const std::vector<QString> whole = wholeDigits(intPh, d.whole, s.grouping);
  const std::vector<QString> frac = fracDigits(fracPh, d.frac);
  QString out;
  size_t wi = 0, fi = 0;
  for (const Tok& t : s.toks) {
    switch (t.k) {
      case K::Lit: out += t.s; break;
      case K::Digit:
        if (t.g == IntPart) out += whole[wi++];
        else if (t.g == FracPart) out += frac[fi++];
        break;
      case K::Point:
        if (intPh.empty() && !d.whole.empty()) {  // ".00" still shows the whole part
          std::vector<char16_t> one{u'#'};
          out += wholeDigits(one, d.whole, s.grouping)[0];
        }
        out += QLatin1Char('.');
        break;
      case K::Exp:
        out += t.s;
        if (e < 0) out += QLatin1Char('-');
        else if (t.c == u'+') out += QLatin1Char('+');
        out += QString::number(std::abs(e)).rightJustified(t.n, QLatin1Char('0'));
        break;
      case K::Percent: out += QLatin1Char('%'); break;
      case K::General: out += general(x); break;
      default: break;
    }
  }
  const bool shownZero = d.zero && !(s.general && x != 0);
  return minus && !shownZero ? QLatin1Char('-') + out : out;
}

QString NumberFormat::Impl::formatFraction(const Section& s, double x) const {
  std::vector<char16_t> wholePh, numPh, denPh;
  for (const Tok& t : s.toks) {
    if (t.k != K::Digit) continue;
    (t.g == IntPart ? wholePh : t.g == Numer ? numPh : denPh).push_back(t.c);
  }
  const bool hasWhole = !wholePh.empty();
  if (x >= 1e12) x = std::floor(x);  // no room for a fraction; keeps the arithmetic below in range
  double whole = hasWhole || x >= 1e12 ? std::floor(x) : 0;
  const double f = x - whole;
  long long num = 0, den = 1;
  if (s.denFixed > 0) {
    den = s.denFixed;
    num = std::llround(f * double(den));
  } else {
    const long long maxDen = std::max<long long>(1, std::llround(std::pow(10.0, double(denPh.size()))) - 1);
    double best = 2;
    for (long long q = 1; q <= maxDen; ++q) {
      const long long p = std::llround(f * double(q));
      const double err = std::fabs(f - double(p) / double(q));
      if (err < best - 1e-12) { best = err; num = p; den = q; }
    }
  }
  if (hasWhole && num == den) { whole += 1; num = 0; }
  if (!hasWhole && whole < 1e12) { num += static_cast<long long>(whole) * den; whole = 0; }
  const bool noFraction = (hasWhole || whole > 0) && num == 0;
  std::string wholeText = roundDecimal(whole, 0).whole;
  if (noFraction && wholeText.empty()) wholeText.assign(1, '0');
  const std::vector<QString> wd = wholeDigits(wholePh, wholeText, s.grouping);
  const std::string numText = !hasWhole && whole > 0 ? wholeText : std::to_string(num);
  const std::vector<QString> nd = wholeDigits(numPh, numText, false);
  // the denominator is aligned to the left
  std::vector<QString> dd(denPh.size());
  const std::string denText = std::to_string(den);
  for (size_t j = 0; j < denPh.size(); ++j) {
    if (j < denText.size()) dd[j] = QLatin1Char(denText[j]);
    else if (denPh[j] != u'#') dd[j] = QStringLiteral(" ");
  }
  if (denPh.size() && denText.size() > denPh.size()) dd.back() += QString::fromLatin1(denText.substr(denPh.size()).c_str());
  QString out;
  size_t wi = 0, ni = 0, di = 0;
  bool inFraction = false;
  for (size_t t = 0; t < s.toks.size(); ++t) {
    const Tok& tok = s.toks[t];
    if (tok.k == K::Digit && tok.g == Numer) inFraction = true;
    QString piece;
    switch (tok.k) {
      case K::Lit: piece = tok.s; break;
      case K::Digit:
        piece = tok.g == IntPart ? wd[wi++] : tok.g == Numer ? nd[ni++] : dd[di++];
        break;
      case K::Slash: piece = QStringLiteral("/"); break;
      case K::Percent: piece = QStringLiteral("%"); break;
      default: break;
    }
    if (tok.k == K::Slash && s.denFixed > 0) piece += QString::number(s.denFixed);
    if (noFraction && inFraction) piece = QString(piece.size(), QLatin1Char(' '));
    out += piece;
  }
  return out;
}

QString NumberFormat::Impl::formatDate(const Section& s, double serial) const {
  auto p = splitDate(serial);
  if (!p) return style == Style::Sheet ? QStringLiteral("########") : numberText(serial);
  int h = p->hour, mi = p->minute, se = p->second;
  long long sub = 0;
  const long long subScale = s.fracSecDigits > 0 ? std::llround(std::pow(10.0, s.fracSecDigits)) : 1;
  if (s.fracSecDigits > 0) {
    long long units = std::llround(std::fabs(serial - std::trunc(serial)) * 86400.0 * double(subScale));
    units = std::min(units, 86400LL * subScale - 1);
    sub = units % subScale;
    const long long secs = units / subScale;
    h = int(secs / 3600);
    mi = int(secs / 60 % 60);
    se = int(secs % 60);
  }
  const long long totalSecs = std::llround(serial * 86400.0);
  const bool vbStyle = style == Style::Vb;
  QString out;
  for (const Tok& t : s.toks) {
    switch (t.k) {
      case K::Lit: out += t.s; break;
      case K::Date:
        switch (t.c) {
          case u'd':
            if (t.n == 1) out += QString::number(p->day);
            else if (t.n == 2) out += twoDigits(p->day);
            else if (t.n == 3) out += vbStyle ? capitalised(dayNameShort(p->weekday)) : dayNameShort(p->weekday);
            else if (t.n == 4 || !vbStyle) out += vbStyle ? capitalised(dayNameLong(p->weekday)) : dayNameLong(p->weekday);
            else if (t.n == 5) out += twoDigits(p->day) + u'/' + twoDigits(p->month) + u'/' + QString::number(p->year);
            else out += capitalised(dayNameLong(p->weekday)) + QStringLiteral(", ") + QString::number(p->day) +
                        QStringLiteral(" de ") + capitalised(monthNameLong(p->month)) + QStringLiteral(" de ") +
                        QString::number(p->year);
            break;
          case u'm':
            if (t.n == 1) out += QString::number(p->month);
            else if (t.n == 2) out += twoDigits(p->month);
            else if (t.n == 3) out += vbStyle ? mesAbreviado(p->month) : monthNameShort(p->month);
            else if (t.n == 4) out += vbStyle ? capitalised(monthNameLong(p->month)) : monthNameLong(p->month);
            else out += vbStyle ? monthNameLong(p->month).left(1).toUpper() : monthNameLong(p->month).left(1);
            break;
          case u'M': out += t.n == 1 ? QString::number(mi) : twoDigits(mi); break;
          case u'y':
            if (vbStyle && t.n == 1) out += QString::number(p->dayOfYear);
            else if (t.n <= 2) out += twoDigits(p->year % 100);
            else out += QString::number(p->year).rightJustified(4, QLatin1Char('0'));
            break;
          case u'h': {
            int hh = s.ampm ? (h % 12 == 0 ? 12 : h % 12) : h;
            out += t.n == 1 ? QString::number(hh) : twoDigits(hh);
            break;
          }
          case u's': out += t.n == 1 ? QString::number(se) : twoDigits(se); break;
        }
        break;
      case K::AmPm: {
        const qsizetype slash = t.s.indexOf(u'/');
        out += h < 12 ? t.s.left(slash) : t.s.mid(slash + 1);
        break;
      }
      case K::Elapsed: {
        const long long a = std::llabs(totalSecs);
        const long long v = t.c == u'h' ? a / 3600 : t.c == u'm' ? a / 60 : a;
        out += (totalSecs < 0 ? QStringLiteral("-") : QString()) +
               QString::number(v).rightJustified(t.n, QLatin1Char('0'));
        break;
      }
      case K::FracSec:
        out += QLatin1Char('.') + QString::number(sub).rightJustified(t.n, QLatin1Char('0'));
        break;
      case K::Digit: out += QChar(t.c); break;
      case K::Point: out += QLatin1Char('.'); break;
      case K::Percent: out += QLatin1Char('%'); break;
      default: break;
    }
  }
  return out;
}

NumberFormat::NumberFormat(const QString& code, Style style) {
  auto d = std::make_shared<Impl>();
  d->code = code;
  d->style = style;
  for (QStringView part : splitSections(code)) d->secs.push_back(parseSection(part, style));
  const int count = int(d->secs.size());
  if (style == Style::Sheet) {
    if (count == 4) d->textSec = 3;
    else if (d->secs.back().textOnly()) d->textSec = count - 1;
  } else if (d->secs[0].textOnly()) {
    d->textSec = 0;
  }
  for (int i = 0; i < std::min(count, 3); ++i) {
    if (i == d->textSec) continue;
    if (style == Style::Vb && d->textSec == 0) break;
    d->numeric.push_back(i);
    if (d->secs[size_t(i)].hasCond) d->conditional = true;
  }
  // "" formats a number as General.
  if (count == 1 && d->secs[0].empty() && style == Style::Sheet) d->numeric.clear();
  d_ = std::move(d);
}

NumberFormat::~NumberFormat() = default;
NumberFormat::NumberFormat(const NumberFormat&) = default;
NumberFormat& NumberFormat::operator=(const NumberFormat&) = default;

const QString& NumberFormat::code() const { return d_->code; }
NumberFormat::Style NumberFormat::style() const { return d_->style; }

bool NumberFormat::isDate() const { return !d_->numeric.empty() && d_->secs[size_t(d_->numeric[0])].date; }

bool NumberFormat::isText() const { return d_->numeric.empty() && d_->textSec >= 0; }

namespace {

QString takeFill(QString text, NumberFormat::Fill* fill) {
  const qsizetype at = text.indexOf(kFillMark);
  if (fill) *fill = NumberFormat::Fill();
  if (at < 0) return text;
  if (fill && at + 1 < text.size()) *fill = {text[at + 1], int(at)};
  text.remove(at, 2);
  while (text.contains(kFillMark)) text.remove(text.indexOf(kFillMark), 2);  // only the first fill counts
  return text;
}

}  // namespace

QString NumberFormat::format(double value, Fill* fill) const {
  if (fill) *fill = Fill();
  if (!std::isfinite(value)) return QStringLiteral("#NUM!");
  const Impl::Pick p = d_->pick(value);
  if (!p.sec) return (p.minus ? QStringLiteral("-") : QString()) + d_->general(std::fabs(value));
  if (p.sec->date) return takeFill(d_->formatDate(*p.sec, value), fill);
  if (p.sec->toks.size() == 1 && p.sec->general) return d_->general(p.minus ? value : std::fabs(value));
  return takeFill(d_->formatNumber(*p.sec, std::fabs(value), p.minus), fill);
}

QString NumberFormat::color(double value) const {
  const Impl::Pick p = d_->pick(value);
  return p.sec ? p.sec->color : QString();
}

QString NumberFormat::formatText(const QString& text, Fill* fill) const {
  if (fill) *fill = Fill();
  if (d_->style == Style::Sheet) {
    if (d_->textSec < 0) return text;
    QString out;
    for (const Tok& t : d_->secs[size_t(d_->textSec)].toks) {
      if (t.k == K::Lit) out += t.s;
      else if (t.k == K::Text) out += text;
    }
    return takeFill(out, fill);
  }
  // Vb: the first section for text, the second (when there is one) for an empty text.
  const Section& s = text.isEmpty() && d_->secs.size() >= 2 ? d_->secs[1] : d_->secs[0];
  QString src = s.upper ? text.toUpper() : s.lower ? text.toLower() : text;
  if (!s.text) return s.upper || s.lower ? src : text;
  int places = 0;
  for (const Tok& t : s.toks) places += t.k == K::Text;
  // Which character each placeholder shows; the extra characters go with the first (or, left to right,
  // the last) placeholder.
  std::vector<QString> shown(static_cast<size_t>(places > 0 ? places : 0));
  const int len = int(src.size());
  if (s.leftToRight) {
    for (int i = 0; i < places; ++i) if (i < len) shown[size_t(i)] = src[i];
    if (len > places && places > 0) shown.back() += src.mid(places);
  } else {
    for (int i = 0; i < places; ++i) {
      const int from = len - places + i;
      if (from >= 0) shown[size_t(i)] = src[from];
    }
    if (len > places && places > 0) shown.front().prepend(src.left(len - places));
  }
  QString out;
  int i = 0;
  for (const Tok& t : s.toks) {
    if (t.k == K::Lit) out += t.s;
    else if (t.k == K::Text) {
      const QString& f = shown[size_t(i++)];
      out += f.isEmpty() && t.c == u'@' ? QStringLiteral(" ") : f;
    }
  }
  return takeFill(out, fill);
}

QString NumberFormat::builtinCode(int id) {
  // Ids 5-8 and 37-44 follow the Mexican conventions: "-" before the currency sign.
  static const char* const codes[50] = {
      "General", "0", "0.00", "#,##0", "#,##0.00",
      "$#,##0;-$#,##0", "$#,##0;[Red]-$#,##0", "$#,##0.00;-$#,##0.00", "$#,##0.00;[Red]-$#,##0.00", "0%",
      "0.00%", "0.00E+00", "# ?/?", "# ?\?/?\?", "dd/mm/yyyy",
      "d-mmm-yy", "d-mmm", "mmm-yy", "h:mm AM/PM", "h:mm:ss AM/PM",
      "h:mm", "h:mm:ss", "dd/mm/yyyy h:mm", nullptr, nullptr,
      nullptr, nullptr, nullptr, nullptr, nullptr,
      nullptr, nullptr, nullptr, nullptr, nullptr,
      nullptr, nullptr, "#,##0 ;(#,##0)", "#,##0 ;[Red](#,##0)", "#,##0.00;(#,##0.00)",
      "#,##0.00;[Red](#,##0.00)", "_-* #,##0_-;-* #,##0_-;_-* \"-\"_-;_-@_-",
      "_-$* #,##0_-;-$* #,##0_-;_-$* \"-\"_-;_-@_-", "_-* #,##0.00_-;-* #,##0.00_-;_-* \"-\"??_-;_-@_-",
      "_-$* #,##0.00_-;-$* #,##0.00_-;_-$* \"-\"??_-;_-@_-", "mm:ss",
      "[h]:mm:ss", "mm:ss.0", "##0.0E+0", "@"};
  if (id < 0 || id >= 50) return QString();
  // 23-36 belong to East Asian locales; elsewhere they show as General.
  return codes[id] ? QString::fromLatin1(codes[id]) : QStringLiteral("General");
}

int NumberFormat::builtinId(const QString& code) {
  for (int id = 0; id < 50; ++id) {
    if (id >= 23 && id <= 36) continue;
    if (builtinCode(id) == code) return id;
  }
  return -1;
}

// ---- VB Format ----

namespace {

// VB's named formats, in the program's fixed Mexican conventions.
QString namedFormat(const QString& name) {
  static const QHash<QString, QString> names = {
      {QStringLiteral("currency"), QStringLiteral("$#,##0.00")},
      {QStringLiteral("fixed"), QStringLiteral("0.00")},
      {QStringLiteral("standard"), QStringLiteral("#,##0.00")},
      {QStringLiteral("percent"), QStringLiteral("0.00%")},
      {QStringLiteral("scientific"), QStringLiteral("0.00E+00")},
      {QStringLiteral("short date"), QStringLiteral("dd/mm/yyyy")},
      {QStringLiteral("medium date"), QStringLiteral("dd-mmm-yy")},
      {QStringLiteral("long date"), QStringLiteral("dddddd")},
      {QStringLiteral("short time"), QStringLiteral("hh:mm")},
      {QStringLiteral("medium time"), QStringLiteral("hh:mm AM/PM")},
      {QStringLiteral("long time"), QStringLiteral("hh:mm:ss")},
  };
  return names.value(name.toLower());
}

const NumberFormat& cachedVbFormat(const QString& code) {
  thread_local QHash<QString, NumberFormat> cache;
  auto it = cache.constFind(code);
  if (it != cache.constEnd()) return *it;
  if (cache.size() > 256) cache.clear();
  return *cache.insert(code, NumberFormat(code, NumberFormat::Style::Vb));
}

std::optional<double> numberOf(const Variant& v, bool preferDate) {
  switch (v.type()) {
    case VarType::String: {
      const QString& s = v.rawString();
      if (preferDate) {
        if (auto d = parseDate(s)) return d;
        return parseNumber(s);
      }
      if (auto n = parseNumber(s)) return n;
      return parseDate(s);
    }
    case VarType::Single: return detail::parseC(v.toString().toLatin1().constData());  // its 7 digits
    default: return v.toDouble();
  }
}

}  // namespace

QString Format(const Variant& v, const QString& format) {
  if (v.isNull() || v.isEmpty()) return QString();
  if (format.isEmpty()) return v.toString();
  const QString lower = format.toLower();
  if (lower == u"general number") {
    auto x = numberOf(v, false);
    return x ? numberText(*x) : v.toString();
  }
  if (lower == u"general date") {
    auto x = numberOf(v, true);
    return x && isValidDateSerial(*x) ? dateToString(*x) : v.toString();
  }
  const QString named = namedFormat(format);
  const NumberFormat& nf = cachedVbFormat(named.isEmpty() ? format : named);
  if (nf.isText()) return nf.formatText(v.toString());
  auto x = numberOf(v, nf.isDate());
  if (!x) return nf.formatText(v.rawString());
  return nf.format(*x);
}

}  // namespace vb
