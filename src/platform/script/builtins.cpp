// The registry of built-ins, the argument conversions they share, and the numeric, conversion and
// inspection functions and the named constants.
#include "builtins_impl.h"

#include "errors.h"
#include "operators.h"
#include "vbdate.h"

#include <QDateTime>
#include <QHash>
#include <cfloat>
#include <cmath>
#include <cstring>
#include <deque>

namespace script {

using vb::Currency;
using vb::Variant;
using vb::VarType;

namespace bi {

const Variant& scalar(const Value& v) {
  if (v.isArray()) raise(errTypeMismatch);
  return v.variant();
}

bool isNull(const Value& v) { return !v.isArray() && v.variant().isNull(); }

Variant numeric(const Variant& v) {
  switch (v.type()) {
    case VarType::Null: raise(errInvalidNull);
    case VarType::Empty: return Variant(int16_t(0));
    case VarType::Boolean: return Variant(int16_t(v.rawInt()));
    case VarType::String: return Variant(scriptNumber(v.rawString()));
    case VarType::Date: return Variant(v.rawDouble());
    case VarType::Single: return Variant(v.rawDouble());
    default: return v;
  }
}

double number(const Value& v) { return numeric(scalar(v)).toDouble(); }

int32_t whole(const Value& v) { return numeric(scalar(v)).toLong(); }

bool flag(const Value& v) {
  const Variant& x = scalar(v);
  if (x.isString()) {
    const QString t = x.rawString().trimmed();
    if (t.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0) return true;
    if (t.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0) return false;
  }
  return number(v) != 0;
}

QString text(const Value& v) { return textOf(scalar(v)); }

Value textValue(QString s) {
  checkTextLength(s.size());
  return Value(Variant(std::move(s)));
}

Qt::CaseSensitivity comparison(const BuiltinArgs& a, size_t i) {
  if (!a.has(i)) return Qt::CaseSensitive;
  switch (whole(a[i])) {
    case 0: return Qt::CaseSensitive;
    case 1: return Qt::CaseInsensitive;
    default: raise(errInvalidCall);
  }
}

double date(const Value& v) {
  const Variant& x = scalar(v);
  switch (x.type()) {
    case VarType::Null: raise(errInvalidNull);
    case VarType::Date: return x.rawDouble();
    case VarType::String: {
      const std::optional<double> d = vb::parseDate(x.rawString());
      if (!d) raise(errTypeMismatch);
      return *d;
    }
    default: {
      const double d = numeric(x).toDouble();
      if (!vb::isValidDateSerial(d)) raise(errOverflow);
      return d;
    }
  }
}

}  // namespace bi

namespace {

using namespace bi;

Variant wholeOf(int64_t v, VarType t) {
  if (t == VarType::Integer && v >= INT16_MIN && v <= INT16_MAX) return Variant(int16_t(v));
  if (v >= INT32_MIN && v <= INT32_MAX) return Variant(int32_t(v));
  return Variant(double(v));
}

// Int, Fix, Abs keep the subtype; a whole number that outgrows it moves up.
template <typename F>
Value keepingType(const Value& arg, F f) {
  const Variant& a = scalar(arg);
  if (a.isNull()) return a;
  const Variant n = numeric(a);
  switch (n.type()) {
    case VarType::Integer: case VarType::Long: return wholeOf(int64_t(f(double(n.rawInt()))), n.type());
    case VarType::Currency: {
      const double scaled = f(double(n.rawCurrency().scaled()) / Currency::Scale) * Currency::Scale;
      if (!(std::fabs(scaled) < 9.2e18)) raise(errOverflow);
      return Variant(Currency::fromScaled(int64_t(std::llround(scaled))));
    }
    default: return Variant(f(n.rawDouble()));
  }
}

// Converting built-ins read text by VBScript's rule, then convert as VB does.
Variant converted(const Value& arg) {
  const Variant& a = scalar(arg);
  if (a.isString()) scriptNumber(a.rawString());  // 13 unless VBScript reads it as a number
  return a;
}

// A Double result: infinite or not a number is an overflow.
Value finite(double d) {
  if (!std::isfinite(d)) raise(errOverflow);
  return Variant(d);
}

// ---- math ----

Value bRound(const BuiltinArgs& a) {
  const Variant& x = scalar(a[0]);
  int decimals = 0;
  if (a.has(1)) {
    decimals = whole(a[1]);
    if (decimals < 0) raise(errInvalidCall);
  }
  if (x.isNull()) return x;
  const Variant n = numeric(x);
  switch (n.type()) {
    case VarType::Integer: case VarType::Long: return n;
    case VarType::Currency: {
      if (decimals >= 4) return n;
      int64_t f = 1;
      for (int i = decimals; i < 4; ++i) f *= 10;
      const int64_t s = n.rawCurrency().scaled();
      int64_t q = s / f;
      const int64_t r = s % f;
      const int64_t twice = (r < 0 ? -r : r) * 2;
      if (twice > f || (twice == f && (q & 1))) q += s < 0 ? -1 : 1;
      return Variant(Currency::fromScaled(q * f));
    }
    default: return Variant(roundHalfEven(n.rawDouble(), decimals));
  }
}

Value bAbs(const BuiltinArgs& a) { return keepingType(a[0], [](double x) { return std::fabs(x); }); }
Value bInt(const BuiltinArgs& a) { return keepingType(a[0], [](double x) { return std::floor(x); }); }
Value bFix(const BuiltinArgs& a) { return keepingType(a[0], [](double x) { return std::trunc(x); }); }

Value bSqr(const BuiltinArgs& a) {
  const double x = number(a[0]);
  if (x < 0) raise(errInvalidCall);
  return Variant(std::sqrt(x));
}

Value bSgn(const BuiltinArgs& a) {
  const double x = number(a[0]);
  return Variant(int16_t(x > 0 ? 1 : x < 0 ? -1 : 0));
}

Value bAtn(const BuiltinArgs& a) { return finite(std::atan(number(a[0]))); }
Value bCos(const BuiltinArgs& a) { return finite(std::cos(number(a[0]))); }
Value bSin(const BuiltinArgs& a) { return finite(std::sin(number(a[0]))); }
Value bTan(const BuiltinArgs& a) { return finite(std::tan(number(a[0]))); }
Value bExp(const BuiltinArgs& a) { return finite(std::exp(number(a[0]))); }

Value bLog(const BuiltinArgs& a) {
  const double x = number(a[0]);
  if (x <= 0) raise(errInvalidCall);
  return Variant(std::log(x));
}

// Hex and Oct: an Integer shows its 16 bits, anything else the 32 bits of a Long.
Value radixText(const BuiltinArgs& a, int base) {
  const Variant& v = scalar(a[0]);
  if (v.isNull()) return v;
  const Variant n = numeric(v);
  const uint32_t bits = n.type() == VarType::Integer ? uint32_t(uint16_t(n.rawInt())) : uint32_t(n.toLong());
  return Variant(QString::number(bits, base).toUpper());
}
Value bHex(const BuiltinArgs& a) { return radixText(a, 16); }
Value bOct(const BuiltinArgs& a) { return radixText(a, 8); }

// Rnd and Randomize: VBScript's 24-bit generator, x = (x * 16598013 + 12820163) mod 2^24, started
// at 327680 in each engine. A negative argument reseeds from its Single bits (the same number gives
// the same value); 0 repeats the last value.
constexpr uint32_t kRndMask = 0xFFFFFF;

float rndValue(uint32_t seed) { return float(seed) / 16777216.0f; }

Value bRnd(const BuiltinArgs& a) {
  const float x = a.has(0) ? float(number(a[0])) : 1.0f;
  BuiltinState& st = a.state;
  if (x == 0) return Variant(rndValue(st.rndSeed));
  if (x < 0) {
    uint32_t bits;
    std::memcpy(&bits, &x, sizeof bits);
    st.rndSeed = (bits + (bits >> 24)) & kRndMask;
  }
  st.rndSeed = (st.rndSeed * 0x43FD43FDu + 0xC39EC3u) & kRndMask;
  return Variant(rndValue(st.rndSeed));
}

// Randomize: the middle bits of the seed come from the high half of the number's Double bits; the
// timer stands in for a missing number.
Value bRandomize(const BuiltinArgs& a) {
  const double seed = a.has(0) ? number(a[0])
                               : double(float(QTime::currentTime().msecsSinceStartOfDay() / 1000.0));
  uint64_t bits;
  std::memcpy(&bits, &seed, sizeof bits);
  const uint32_t high = uint32_t(bits >> 32);
  const uint32_t middle = ((high & 0xFFFF) ^ (high >> 16)) << 8;
  a.state.rndSeed = ((a.state.rndSeed & 0xFF0000FF) | middle) & kRndMask;
  return Value();
}

// ---- conversions ----

Value bCBool(const BuiltinArgs& a) {
  const Variant& x = scalar(a[0]);
  if (x.isNull()) raise(errInvalidNull);
  return Variant(flag(a[0]));
}

Value bCByte(const BuiltinArgs& a) {
  const double r = std::nearbyint(converted(a[0]).toDouble());
  if (!(r >= 0 && r <= 255)) raise(errOverflow);
  return Variant(int16_t(r));
}

Value bCSng(const BuiltinArgs& a) {
  const double d = converted(a[0]).toDouble();
  if (!(std::fabs(d) <= FLT_MAX)) raise(errOverflow);
  return Variant(float(d));
}

Value bCStr(const BuiltinArgs& a) {
  const Variant& x = scalar(a[0]);
  if (x.isNull()) raise(errInvalidNull);
  return Variant(textOf(x));
}

Value bCDate(const BuiltinArgs& a) { return Variant::fromDate(date(a[0])); }
Value bCDbl(const BuiltinArgs& a) { return Variant(converted(a[0]).toDouble()); }
Value bCInt(const BuiltinArgs& a) { return Variant(converted(a[0]).toInteger()); }
Value bCLng(const BuiltinArgs& a) { return Variant(converted(a[0]).toLong()); }
Value bCCur(const BuiltinArgs& a) { return Variant(converted(a[0]).toCurrency()); }

// ---- inspection ----

Value bIsNumeric(const BuiltinArgs& a) {
  if (a[0].isArray()) return Variant(false);
  const Variant& v = a[0].variant();
  switch (v.type()) {
    case VarType::Null: case VarType::Date: return Variant(false);
    case VarType::String: return Variant(isScriptNumber(v.rawString()));
    default: return Variant(true);
  }
}

Value bIsNull(const BuiltinArgs& a) { return Variant(isNull(a[0])); }
Value bIsEmpty(const BuiltinArgs& a) { return Variant(!a[0].isArray() && a[0].variant().isEmpty()); }
Value bIsArray(const BuiltinArgs& a) { return Variant(a[0].isArray()); }
Value bIsObject(const BuiltinArgs&) { return Variant(false); }  // the engine has no objects

Value bIsDate(const BuiltinArgs& a) {
  if (a[0].isArray()) return Variant(false);
  const Variant& v = a[0].variant();
  if (v.type() == VarType::Date) return Variant(true);
  return Variant(v.isString() && vb::parseDate(v.rawString()).has_value());
}

constexpr int kVarArray = 8192;
constexpr int kVarVariant = 12;

Value bVarType(const BuiltinArgs& a) {
  if (a[0].isArray()) return Variant(int16_t(kVarArray + kVarVariant));
  return Variant(int16_t(a[0].variant().type()));
}

Value bTypeName(const BuiltinArgs& a) {
  if (a[0].isArray()) return Variant("Variant()");
  switch (a[0].variant().type()) {
    case VarType::Empty: return Variant("Empty");
    case VarType::Null: return Variant("Null");
    case VarType::Integer: return Variant("Integer");
    case VarType::Long: return Variant("Long");
    case VarType::Single: return Variant("Single");
    case VarType::Double: return Variant("Double");
    case VarType::Currency: return Variant("Currency");
    case VarType::Date: return Variant("Date");
    case VarType::String: return Variant("String");
    case VarType::Boolean: return Variant("Boolean");
  }
  return Variant("Variant");
}

const Builtin kNumeric[] = {
    {"round", 1, 2, bRound},   {"abs", 1, 1, bAbs},         {"int", 1, 1, bInt},     {"fix", 1, 1, bFix},
    {"sqr", 1, 1, bSqr},       {"sgn", 1, 1, bSgn},         {"atn", 1, 1, bAtn},     {"cos", 1, 1, bCos},
    {"sin", 1, 1, bSin},       {"tan", 1, 1, bTan},         {"exp", 1, 1, bExp},     {"log", 1, 1, bLog},
    {"hex", 1, 1, bHex},       {"oct", 1, 1, bOct},         {"rnd", 0, 1, bRnd, true},
    {"randomize", 0, 1, bRandomize, true},
    {"cbool", 1, 1, bCBool},   {"cbyte", 1, 1, bCByte},     {"csng", 1, 1, bCSng},   {"cstr", 1, 1, bCStr},
    {"cdate", 1, 1, bCDate},   {"cdbl", 1, 1, bCDbl},       {"cint", 1, 1, bCInt},   {"clng", 1, 1, bCLng},
    {"ccur", 1, 1, bCCur},     {"isnumeric", 1, 1, bIsNumeric},                      partial({"isnull", 1, 1, bIsNull}),
    partial({"isempty", 1, 1, bIsEmpty}), partial({"isarray", 1, 1, bIsArray}), partial({"isobject", 1, 1, bIsObject}),
    {"isdate", 1, 1, bIsDate}, partial({"vartype", 1, 1, bVarType}), partial({"typename", 1, 1, bTypeName}),
};

// VBScript's named constants that the built-ins take or give.
struct Constant {
  const char* name;
  Variant value;
};

const std::deque<Constant>& constants() {
  static const std::deque<Constant> table = [] {
    auto i16 = [](int v) { return Variant(int16_t(v)); };
    auto i32 = [](int v) { return Variant(int32_t(v)); };
    std::deque<Constant> t = {
        {"vbcr", Variant("\r")}, {"vblf", Variant("\n")}, {"vbcrlf", Variant("\r\n")},
        {"vbnewline", Variant("\r\n")}, {"vbtab", Variant("\t")}, {"vbformfeed", Variant("\f")},
        {"vbverticaltab", Variant("\v")}, {"vbnullchar", Variant(QString(QChar(0)))},
        {"vbnullstring", Variant(QString())},
        {"vbbinarycompare", i16(0)}, {"vbtextcompare", i16(1)},
        {"vbusesystemdayofweek", i16(0)}, {"vbsunday", i16(1)}, {"vbmonday", i16(2)}, {"vbtuesday", i16(3)},
        {"vbwednesday", i16(4)}, {"vbthursday", i16(5)}, {"vbfriday", i16(6)}, {"vbsaturday", i16(7)},
        {"vbusesystem", i16(0)}, {"vbfirstjan1", i16(1)}, {"vbfirstfourdays", i16(2)}, {"vbfirstfullweek", i16(3)},
        {"vbgeneraldate", i16(0)}, {"vblongdate", i16(1)}, {"vbshortdate", i16(2)}, {"vblongtime", i16(3)},
        {"vbshorttime", i16(4)},
        {"vbusedefault", i16(-2)}, {"vbtrue", i16(-1)}, {"vbfalse", i16(0)},
        {"vbempty", i16(0)}, {"vbnull", i16(1)}, {"vbinteger", i16(2)}, {"vblong", i16(3)}, {"vbsingle", i16(4)},
        {"vbdouble", i16(5)}, {"vbcurrency", i16(6)}, {"vbdate", i16(7)}, {"vbstring", i16(8)},
        {"vbobject", i16(9)}, {"vberror", i16(10)}, {"vbboolean", i16(11)}, {"vbvariant", i16(12)},
        {"vbdataobject", i16(13)}, {"vbdecimal", i16(14)}, {"vbbyte", i16(17)}, {"vbarray", i16(kVarArray)},
        {"vbblack", i32(0)}, {"vbred", i32(0xFF)}, {"vbgreen", i32(0xFF00)}, {"vbyellow", i32(0xFFFF)},
        {"vbblue", i32(0xFF0000)}, {"vbmagenta", i32(0xFF00FF)}, {"vbcyan", i32(0xFFFF00)},
        {"vbwhite", i32(0xFFFFFF)},
    };
    return t;
  }();
  return table;
}

}  // namespace

namespace bi {
std::span<const Builtin> numericBuiltins() { return kNumeric; }
}  // namespace bi

const Builtin* findBuiltin(const QString& key) {
  static const QHash<QString, const Builtin*> table = [] {
    QHash<QString, const Builtin*> t;
    for (auto group : {bi::numericBuiltins(), bi::textBuiltins(), bi::dateBuiltins(), bi::formatBuiltins()})
      for (const Builtin& b : group) t.insert(QString::fromLatin1(b.name), &b);
    static std::deque<Builtin> named;
    for (const Constant& c : constants()) {
      Builtin b{c.name, 0, 0, nullptr};
      b.constant = &c.value;
      named.push_back(b);
      t.insert(QString::fromLatin1(c.name), &named.back());
    }
    return t;
  }();
  return table.value(key, nullptr);
}

double roundHalfEven(double x, int decimals) {
  if (decimals > 22) return x;
  const double scale = std::pow(10.0, decimals);
  const double scaled = x * scale;
  if (!std::isfinite(scaled)) return x;
  double whole = std::trunc(scaled);
  const double frac = std::fabs(scaled - whole);
  const double step = scaled < 0 ? -1 : 1;
  if (frac > 0.5 || (frac == 0.5 && std::fmod(whole, 2) != 0)) whole += step;
  return whole / scale;
}

}  // namespace script
