#pragma once
// Lets gtest print the program's amounts readably in failure messages.
#include "currency.h"

#include <ostream>

namespace vb {
inline void PrintTo(const Currency& c, std::ostream* os) { *os << c.toString().toStdString(); }
}  // namespace vb
