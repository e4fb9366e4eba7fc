#pragma once
// Helpers of the script engine's tests: readable Variants and the number of a raised error.
#include "error_of.h"
#include "variant.h"

#include <QString>
#include <ostream>

namespace vb {
inline void PrintTo(const Variant& v, std::ostream* os) {
  *os << "VarType " << int(v.type());
  if (!v.isNull()) *os << " \"" << v.toString().toStdString() << '"';
}
}  // namespace vb
