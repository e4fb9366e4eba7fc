#include "currency.h"

#include "error.h"

#include <cmath>
#include <limits>

namespace vb {

namespace {

// Divides an exact 128-bit value by Scale, rounding half to even; Error 6 when the quotient leaves int64.
int64_t divideScaleHalfEven(__int128 p) {
  __int128 q = p / Currency::Scale;
  __int128 r = p % Currency::Scale;  // same sign as p
  __int128 twice = (r < 0 ? -r : r) * 2;
  if (twice > Currency::Scale || (twice == Currency::Scale && (q & 1) != 0))
    q += p < 0 ? -1 : 1;
  if (q > std::numeric_limits<int64_t>::max() || q < std::numeric_limits<int64_t>::min()) throw Error(6);
  return static_cast<int64_t>(q);
}

}  // namespace

Currency Currency::fromDouble(double d) {
  // VB scales in double, then rounds to the nearest integer with ties to even.
  const double x = std::nearbyint(d * Scale);
  // 2^63 is the first double past the range; -2^63 itself is valid.
  if (!std::isfinite(x) || x >= 9223372036854775808.0 || x < -9223372036854775808.0) throw Error(6);
  return fromScaled(static_cast<int64_t>(x));
}

Currency Currency::fromInt(int64_t whole) {
  int64_t v;
  if (__builtin_mul_overflow(whole, Scale, &v)) throw Error(6);
  return fromScaled(v);
}

QString Currency::toString() const {
  const bool neg = v_ < 0;
  const uint64_t mag = neg ? uint64_t(0) - static_cast<uint64_t>(v_) : static_cast<uint64_t>(v_);
  QString s = QString::number(mag / Scale);
  uint64_t frac = mag % Scale;
  if (frac != 0) {
    QString f = QString::number(frac).rightJustified(4, QLatin1Char('0'));
    while (f.endsWith(QLatin1Char('0'))) f.chop(1);
    s += QLatin1Char('.') + f;
  }
  return neg ? QLatin1Char('-') + s : s;
}

Currency Currency::operator-() const {
  if (v_ == std::numeric_limits<int64_t>::min()) throw Error(6);
  return fromScaled(-v_);
}

Currency Currency::operator+(Currency o) const {
  int64_t r;
  if (__builtin_add_overflow(v_, o.v_, &r)) throw Error(6);
  return fromScaled(r);
}

Currency Currency::operator-(Currency o) const {
  int64_t r;
  if (__builtin_sub_overflow(v_, o.v_, &r)) throw Error(6);
  return fromScaled(r);
}

Currency Currency::operator*(Currency o) const {
  return fromScaled(divideScaleHalfEven(static_cast<__int128>(v_) * o.v_));
}

Currency Currency::operator*(double f) const { return fromDouble(toDouble() * f); }

double Currency::operator/(Currency o) const {
  if (o.v_ == 0) {
    if (v_ == 0) throw Error(6);  // 0/0 is an overflow in VB
    throw Error(11);
  }
  return static_cast<double>(v_) / static_cast<double>(o.v_);
}

}  // namespace vb
