#pragma once
// VB Currency: a 64-bit integer of ten-thousandths. Conversions into it round half to even.
#include <QString>
#include <compare>
#include <cstdint>

namespace vb {

class Currency {
public:
  static constexpr int64_t Scale = 10000;

  constexpr Currency() = default;
  static constexpr Currency fromScaled(int64_t v) { Currency c; c.v_ = v; return c; }
  static Currency fromDouble(double d);       // half to even at 1e-4; out of range or NaN: Error 6
  static Currency fromInt(int64_t whole);     // Error 6 when out of range

  constexpr int64_t scaled() const { return v_; }
  double toDouble() const { return static_cast<double>(v_) / Scale; }
  // Plain text with "." and no grouping, trailing zeros dropped: "1234.5", "-0.0001", "0".
  QString toString() const;

  Currency operator-() const;                 // Error 6 on overflow
  Currency operator+(Currency o) const;       // Error 6 on overflow
  Currency operator-(Currency o) const;
  Currency operator*(Currency o) const;       // exact product, rounded half to even
  Currency operator*(double f) const;         // through double, then rounded
  double operator/(Currency o) const;         // VB gives a Double; Error 11 on zero
  Currency& operator+=(Currency o) { return *this = *this + o; }
  Currency& operator-=(Currency o) { return *this = *this - o; }

  constexpr auto operator<=>(const Currency&) const = default;

private:
  int64_t v_ = 0;
};

}  // namespace vb
