#include "builtins.h"

#include "errors.h"
#include "operators.h"

#include <QHash>
#include <cmath>

namespace script {

namespace {

using vb::Currency;
using vb::Variant;
using vb::VarType;

const Variant& scalar(const Value& v) {
  if (v.isArray()) raise(errTypeMismatch);
  return v.variant();
}

// The number a built-in works on: Null gives 94 here; the caller handles Null first where
// VBScript lets it through.
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

Variant wholeOf(int64_t v, VarType t) {
  if (t == VarType::Integer && v >= INT16_MIN && v <= INT16_MAX) return Variant(int16_t(v));
  if (v >= INT32_MIN && v <= INT32_MAX) return Variant(int32_t(v));
  return Variant(double(v));
}

// Int, Fix, Abs keep the subtype; a whole number that outgrows it moves up.
template <typename F>
Variant keepingType(const Value& arg, F f) {
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
  if (a.isString()) {
    scriptNumber(a.rawString());  // 13 unless VBScript reads it as a number
  }
  return a;
}

Variant bRound(const std::vector<Value>& args) {
  const Variant& x = scalar(args[0]);
  int decimals = 0;
  if (args.size() > 1) {
    const Variant& d = scalar(args[1]);
    decimals = int(numeric(d).toLong());
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

Variant bAbs(const std::vector<Value>& a) { return keepingType(a[0], [](double x) { return std::fabs(x); }); }
Variant bInt(const std::vector<Value>& a) { return keepingType(a[0], [](double x) { return std::floor(x); }); }
Variant bFix(const std::vector<Value>& a) { return keepingType(a[0], [](double x) { return std::trunc(x); }); }

Variant bSqr(const std::vector<Value>& a) {
  const double x = numeric(scalar(a[0])).toDouble();
  if (x < 0) raise(errInvalidCall);
  return Variant(std::sqrt(x));
}

Variant bSgn(const std::vector<Value>& a) {
  const double x = numeric(scalar(a[0])).toDouble();
  return Variant(int16_t(x > 0 ? 1 : x < 0 ? -1 : 0));
}

Variant bCDbl(const std::vector<Value>& a) { return Variant(converted(a[0]).toDouble()); }
Variant bCInt(const std::vector<Value>& a) { return Variant(converted(a[0]).toInteger()); }
Variant bCLng(const std::vector<Value>& a) { return Variant(converted(a[0]).toLong()); }
Variant bCCur(const std::vector<Value>& a) { return Variant(converted(a[0]).toCurrency()); }

Variant bIsNumeric(const std::vector<Value>& a) {
  if (a[0].isArray()) return Variant(false);
  const Variant& v = a[0].variant();
  switch (v.type()) {
    case VarType::Null: case VarType::Date: return Variant(false);
    case VarType::String: return Variant(isScriptNumber(v.rawString()));
    default: return Variant(true);
  }
}

Variant bIsNull(const std::vector<Value>& a) { return Variant(!a[0].isArray() && a[0].variant().isNull()); }
Variant bIsEmpty(const std::vector<Value>& a) { return Variant(!a[0].isArray() && a[0].variant().isEmpty()); }

template <typename F>
Variant textFunction(const Value& arg, F f) {
  const Variant& v = scalar(arg);
  if (v.isNull()) return v;
  return f(textOf(v));
}

Variant bLen(const std::vector<Value>& a) {
  return textFunction(a[0], [](const QString& s) { return Variant(int32_t(s.size())); });
}
Variant bTrim(const std::vector<Value>& a) {
  return textFunction(a[0], [](const QString& s) { return Variant(vb::Trim(s)); });
}
Variant bUCase(const std::vector<Value>& a) {
  return textFunction(a[0], [](const QString& s) { return Variant(vb::UCase(s)); });
}
Variant bLCase(const std::vector<Value>& a) {
  return textFunction(a[0], [](const QString& s) { return Variant(vb::LCase(s)); });
}

const Builtin kBuiltins[] = {
    {"round", 1, 2, bRound},     {"abs", 1, 1, bAbs},       {"int", 1, 1, bInt},
    {"fix", 1, 1, bFix},         {"sqr", 1, 1, bSqr},       {"sgn", 1, 1, bSgn},
    {"cdbl", 1, 1, bCDbl},       {"cint", 1, 1, bCInt},     {"clng", 1, 1, bCLng},
    {"ccur", 1, 1, bCCur},       {"isnumeric", 1, 1, bIsNumeric},
    {"isnull", 1, 1, bIsNull},   {"isempty", 1, 1, bIsEmpty},
    {"len", 1, 1, bLen},         {"trim", 1, 1, bTrim},     {"ucase", 1, 1, bUCase},
    {"lcase", 1, 1, bLCase},
};

}  // namespace

const Builtin* findBuiltin(const QString& key) {
  static const QHash<QString, const Builtin*> table = [] {
    QHash<QString, const Builtin*> t;
    for (const Builtin& b : kBuiltins) t.insert(QString::fromLatin1(b.name), &b);
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
