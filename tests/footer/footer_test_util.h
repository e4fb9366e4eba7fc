#pragma once
// Helpers of the script engine's tests: readable Variants and the number of a raised error.
#include "variant.h"

#include <QString>
#include <ostream>

namespace vb {
inline void PrintTo(const Variant& v, std::ostream* os) {
  *os << "VarType " << int(v.type());
  if (!v.isNull()) *os << " \"" << v.toString().toStdString() << '"';
}
}  // namespace vb

// The number of the vb::Error the call raises; 0 when it raises none.
template <typename F>
int errorOf(F&& call, QString* description = nullptr) {
  try {
    call();
  } catch (const vb::Error& e) {
    if (description) *description = e.description();
    return e.number();
  }
  return 0;
}
