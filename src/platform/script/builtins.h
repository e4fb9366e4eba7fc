#pragma once
// The built-in functions of the subset: Round (half to even), Abs, Int, Fix, Sqr, Sgn, CDbl, CInt,
// CLng, CCur, IsNumeric, IsNull, IsEmpty, Len, Trim, UCase, LCase.
#include "value.h"

#include <QString>
#include <vector>

namespace script {

struct Builtin {
  const char* name;
  int minArgs;
  int maxArgs;
  vb::Variant (*fn)(const std::vector<Value>& args);
};

// The built-in of that lower-case name, or nullptr.
const Builtin* findBuiltin(const QString& key);

// VBScript's Round of a Double: scaled by 10^n, an exact half goes to the even neighbour.
double roundHalfEven(double x, int decimals);

}  // namespace script
