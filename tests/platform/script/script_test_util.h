#pragma once
// Helpers of the script engine's tests: readable Variants, the number of a raised error, and tables
// of expressions with the value each gives.
#include "error_of.h"
#include "scriptcontrol.h"
#include "variant.h"

#include <QString>
#include <gtest/gtest.h>
#include <ostream>

namespace vb {
inline void PrintTo(const Variant& v, std::ostream* os) {
  *os << "VarType " << int(v.type());
  if (!v.isNull()) *os << " \"" << v.toString().toStdString() << '"';
}
}  // namespace vb

// Whole numbers of the two subtypes.
inline vb::Variant i16(int v) { return vb::Variant(int16_t(v)); }
inline vb::Variant i32(int v) { return vb::Variant(int32_t(v)); }

// An expression and the value it gives, subtype included.
struct ValueCase {
  const char* text;
  vb::Variant expected;
};

// Evaluates each expression in a new engine and checks its value.
template <size_t N>
void expectValues(const ValueCase (&cases)[N]) {
  for (const ValueCase& c : cases) {
    script::ScriptControl sc;
    vb::Variant got;
    QString description;
    const int err = errorOf([&] { got = sc.eval(QString::fromUtf8(c.text)); }, &description);
    EXPECT_EQ(err, 0) << c.text << ": " << description.toStdString();
    if (err == 0) {
      EXPECT_EQ(got, c.expected) << c.text;
    }
  }
}
