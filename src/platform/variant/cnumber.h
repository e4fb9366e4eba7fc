#pragma once
// Number text in the C conventions whatever the process locale: Qt adopts the user's locale at
// start-up, and a comma-decimal locale would otherwise leak into printf/strtod.
#include <string>

namespace vb::detail {

// As printf("%.<precision><conversion>", x) in the C locale; conversion is 'e', 'E', 'g' or 'G'.
std::string printC(double x, char conversion, int precision);

// As strtod in the C locale.
double parseC(const char* text);

}  // namespace vb::detail
