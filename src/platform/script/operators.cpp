#include "operators.h"

#include "errors.h"

#include <cmath>
#include <limits>

namespace script {

namespace {

using vb::Currency;
using vb::Variant;
using vb::VarType;

// The numeric classes of VBScript's promotion ladder.
enum class NK { Int16, Int32, Cur, Dbl, Date };

struct Num {
  NK k = NK::Int16;
  int64_t i = 0;   // Int16, Int32
  double d = 0;    // Dbl, Date
  Currency c;      // Cur
  double asDouble() const {
    switch (k) {
      case NK::Int16: case NK::Int32: return double(i);
      case NK::Cur: return c.toDouble();
      default: return d;
    }
  }
  Currency asCurrency() const { return k == NK::Cur ? c : Currency::fromInt(i); }
};

Num toNum(const Variant& v) {
  Num n;
  switch (v.type()) {
    case VarType::Empty: n.k = NK::Int16; n.i = 0; break;
    case VarType::Boolean: case VarType::Integer: n.k = NK::Int16; n.i = v.rawInt(); break;
    case VarType::Long: n.k = NK::Int32; n.i = v.rawInt(); break;
    case VarType::Single: case VarType::Double: n.k = NK::Dbl; n.d = v.rawDouble(); break;
    case VarType::Currency: n.k = NK::Cur; n.c = v.rawCurrency(); break;
    case VarType::Date: n.k = NK::Date; n.d = v.rawDouble(); break;
    case VarType::String: n.k = NK::Dbl; n.d = scriptNumber(v.rawString()); break;
    case VarType::Null: raise(errInvalidNull);
  }
  return n;
}

Variant checkedDouble(double d) {
  if (!std::isfinite(d)) raise(errOverflow);
  return Variant(d);
}

// A whole result in the narrowest subtype VBScript gives it.
Variant whole(__int128 v, bool bothInt16) {
  if (bothInt16 && v >= INT16_MIN && v <= INT16_MAX) return Variant(static_cast<int16_t>(v));
  if (v >= INT32_MIN && v <= INT32_MAX) return Variant(static_cast<int32_t>(v));
  return checkedDouble(static_cast<double>(v));
}

Variant dateResult(double d) {
  if (!std::isfinite(d)) raise(errOverflow);
  return Variant::fromDate(d);  // 6 when outside the calendar
}

Variant arith(BinOp op, const Variant& av, const Variant& bv) {
  const Num a = toNum(av), b = toNum(bv);
  if (a.k == NK::Date || b.k == NK::Date) {
    const double x = a.asDouble(), y = b.asDouble();
    if (op == BinOp::Mul) return checkedDouble(x * y);
    if (op == BinOp::Sub && a.k == NK::Date && b.k == NK::Date) return checkedDouble(x - y);
    return dateResult(op == BinOp::Add ? x + y : x - y);
  }
  if (a.k == NK::Dbl || b.k == NK::Dbl) {
    const double x = a.asDouble(), y = b.asDouble();
    switch (op) {
      case BinOp::Add: return checkedDouble(x + y);
      case BinOp::Sub: return checkedDouble(x - y);
      default: return checkedDouble(x * y);
    }
  }
  if (a.k == NK::Cur || b.k == NK::Cur) {
    const Currency x = a.asCurrency(), y = b.asCurrency();
    switch (op) {
      case BinOp::Add: return Variant(x + y);
      case BinOp::Sub: return Variant(x - y);
      default: return Variant(x * y);
    }
  }
  const bool int16 = a.k == NK::Int16 && b.k == NK::Int16;
  switch (op) {
    case BinOp::Add: return whole(__int128(a.i) + b.i, int16);
    case BinOp::Sub: return whole(__int128(a.i) - b.i, int16);
    default: return whole(__int128(a.i) * b.i, int16);
  }
}

Variant divide(const Variant& av, const Variant& bv) {
  const double x = toNum(av).asDouble(), y = toNum(bv).asDouble();
  if (y == 0) raise(x == 0 ? errOverflow : errDivisionByZero);
  return checkedDouble(x / y);
}

// Operand of \, Mod and the logical operators: a Long, rounded half to even.
int64_t toLongOperand(const Num& n) {
  switch (n.k) {
    case NK::Int16: case NK::Int32: return n.i;
    default: {
      const double r = std::nearbyint(n.k == NK::Cur ? n.c.toDouble() : n.d);
      if (!(r >= INT32_MIN && r <= INT32_MAX)) raise(errOverflow);
      return int64_t(r);
    }
  }
}

Variant intDivMod(BinOp op, const Variant& av, const Variant& bv) {
  const Num a = toNum(av), b = toNum(bv);
  const int64_t x = toLongOperand(a), y = toLongOperand(b);
  if (y == 0) raise(errDivisionByZero);
  const bool int16 = a.k == NK::Int16 && b.k == NK::Int16;
  const __int128 r = op == BinOp::IntDiv ? x / y : x % y;
  if (r < INT32_MIN || r > INT32_MAX) raise(errOverflow);
  return whole(r, int16);
}

Variant power(const Variant& av, const Variant& bv) {
  const double x = toNum(av).asDouble(), y = toNum(bv).asDouble();
  if (x < 0 && y != std::floor(y)) raise(errInvalidCall);
  if (x == 0 && y < 0) raise(errInvalidCall);
  return checkedDouble(std::pow(x, y));
}

Variant compare(BinOp op, const Variant& a, const Variant& b) {
  const std::optional<int> c = vb::Compare(a, b, false);
  if (!c) return Variant::null();
  switch (op) {
    case BinOp::Eq: return Variant(*c == 0);
    case BinOp::Ne: return Variant(*c != 0);
    case BinOp::Lt: return Variant(*c < 0);
    case BinOp::Gt: return Variant(*c > 0);
    case BinOp::Le: return Variant(*c <= 0);
    default: return Variant(*c >= 0);
  }
}

// Logical operators are bitwise on Longs and give a Boolean when both sides are Boolean.
struct Bits {
  bool null = false;
  bool boolean = false;
  bool int16 = true;
  int64_t v = 0;
};

Bits toBits(const Variant& x) {
  Bits b;
  switch (x.type()) {
    case VarType::Null: b.null = true; return b;
    case VarType::Boolean: b.boolean = true; b.v = x.rawInt(); return b;
    default: {
      const Num n = toNum(x);
      b.int16 = n.k == NK::Int16;
      b.v = toLongOperand(n);
      return b;
    }
  }
}

Variant bitsResult(int64_t v, const Bits& a, const Bits& b) {
  if ((a.boolean || a.null) && (b.boolean || b.null)) return Variant(v != 0);
  const bool int16 = (a.null || a.boolean || a.int16) && (b.null || b.boolean || b.int16);
  return whole(int32_t(v), int16);
}

Variant logical(BinOp op, const Variant& av, const Variant& bv) {
  const Bits a = toBits(av), b = toBits(bv);
  if (a.null || b.null) {
    // Null stays Null unless the other side decides the answer.
    const Bits& other = a.null ? b : a;
    if (!other.null) {
      if (op == BinOp::And && other.v == 0) return bitsResult(0, a, b);
      if (op == BinOp::Or && other.v == -1) return bitsResult(-1, a, b);
      if (op == BinOp::Imp && ((a.null && other.v == -1) || (b.null && other.v == 0)))
        return bitsResult(-1, a, b);
    }
    return Variant::null();
  }
  const int64_t x = a.v, y = b.v;
  int64_t r = 0;
  switch (op) {
    case BinOp::And: r = x & y; break;
    case BinOp::Or: r = x | y; break;
    case BinOp::Xor: r = x ^ y; break;
    case BinOp::Eqv: r = ~(x ^ y); break;
    default: r = ~x | y; break;  // Imp
  }
  return bitsResult(int32_t(r), a, b);
}

}  // namespace

double scriptNumber(const QString& text) {
  const std::optional<double> d = vb::parseNumber(text, vb::NumberSyntax::Script);
  if (!d) raise(errTypeMismatch);
  return *d;
}

bool isScriptNumber(const QString& text) {
  return vb::parseNumber(text, vb::NumberSyntax::Script).has_value();
}

double toScriptDouble(const vb::Variant& v) { return toNum(v).asDouble(); }

bool isTrue(const vb::Variant& v) {
  if (v.isNull()) return false;
  if (v.isString()) {
    const QString t = v.rawString().trimmed();
    if (t.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0) return true;
    if (t.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0) return false;
  }
  return toScriptDouble(v) != 0;
}

QString textOf(const vb::Variant& v) {
  if (v.isNull() || v.isEmpty()) return QString();
  return v.toString();
}

vb::Variant binaryOp(BinOp op, const vb::Variant& a, const vb::Variant& b) {
  switch (op) {
    case BinOp::Cat: {
      if (a.isNull() && b.isNull()) return Variant::null();
      const QString x = textOf(a), y = textOf(b);
      checkTextLength(x.size() + y.size());
      return Variant(x + y);
    }
    case BinOp::Eq: case BinOp::Ne: case BinOp::Lt: case BinOp::Gt: case BinOp::Le: case BinOp::Ge:
      return compare(op, a, b);
    case BinOp::And: case BinOp::Or: case BinOp::Xor: case BinOp::Eqv: case BinOp::Imp:
      return logical(op, a, b);
    default: break;
  }
  if (a.isNull() || b.isNull()) return Variant::null();
  switch (op) {
    case BinOp::Add:
      // "+" joins two texts; Empty + text is the text.
      if (a.isString() && (b.isString() || b.isEmpty())) {
        checkTextLength(a.rawString().size() + textOf(b).size());
        return Variant(a.rawString() + textOf(b));
      }
      if (b.isString() && a.isEmpty()) return b;
      return arith(op, a, b);
    case BinOp::Sub: case BinOp::Mul: return arith(op, a, b);
    case BinOp::Div: return divide(a, b);
    case BinOp::IntDiv: case BinOp::Mod: return intDivMod(op, a, b);
    case BinOp::Pow: return power(a, b);
    default: raise(errSyntax);
  }
}

vb::Variant unaryOp(UnOp op, const vb::Variant& a) {
  if (a.isNull()) return Variant::null();
  if (op == UnOp::Not) {
    const Bits b = toBits(a);
    return bitsResult(int32_t(~b.v), b, b);
  }
  if (op == UnOp::Plus) return a;
  const Num n = toNum(a);
  switch (n.k) {
    case NK::Int16: return whole(-__int128(n.i), true);
    case NK::Int32: return whole(-__int128(n.i), false);
    case NK::Cur: return Variant(-n.c);
    case NK::Date: return dateResult(-n.d);
    default: return Variant(-n.d);
  }
}

}  // namespace script
