#include "cnumber.h"

#include <cctype>
#include <charconv>
#include <clocale>
#include <cstdlib>
#include <locale.h>

namespace vb::detail {

std::string printC(double x, char conversion, int precision) {
  const bool upper = conversion == 'E' || conversion == 'G';
  const auto fmt = (conversion == 'e' || conversion == 'E') ? std::chars_format::scientific
                                                          : std::chars_format::general;
  char buf[64];
  auto res = std::to_chars(buf, buf + sizeof buf, x, fmt, precision);
  std::string s(buf, res.ptr);
  if (upper)
    for (char& c : s) c = char(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

double parseC(const char* text) {
  static const locale_t c = newlocale(LC_ALL_MASK, "C", locale_t(nullptr));
  return strtod_l(text, nullptr, c);
}

}  // namespace vb::detail
