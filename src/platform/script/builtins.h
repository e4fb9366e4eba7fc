#pragma once
// VBScript's built-in functions and constants, with VBScript's argument rules: optional
// arguments, Null passed through where VBScript passes it (Null otherwise is error 94), 5 for an
// invalid argument, 13 for a value of the wrong kind, 6 for an overflow. Texts and dates follow
// the program's own conventions ("." decimals, "," thousands, "$", day-first dates, Spanish
// month and day names).
#include "bounds.h"
#include "value.h"

#include <QString>
#include <cstdint>
#include <vector>

namespace script {

// What the built-ins keep between calls: the state of Rnd, per engine.
struct BuiltinState {
  uint32_t rndSeed = 0x50000;
  float lastRnd = 0;
};

struct BuiltinArgs {
  const std::vector<Value>& values;
  BuiltinState& state;
  Work& work;            // of the call: what a built-in does beyond reading its texts it charges here
  uint32_t missing = 0;  // optional arguments left out between commas, by position
  size_t size() const { return values.size(); }
  bool has(size_t i) const { return i < values.size() && !(i < 32 && (missing >> i & 1)); }
  const Value& operator[](size_t i) const { return values[i]; }
};

// Each call costs a few steps, plus the characters of the texts it is given (it may read them
// through) and of the text it gives, or the cells of the array it gives.
struct Builtin {
  const char* name;
  int minArgs;
  int maxArgs;
  Value (*fn)(const BuiltinArgs& args);
  bool isVolatile = false;  // a new value at each call (Now, Rnd, ...): results that read it are not remembered
  const vb::Variant* constant = nullptr;  // a named constant (vbCrLf, vbSunday, ...): no function
  bool partial = false;  // reads a part of its texts at most (Len, Left, ...): they cost nothing by themselves
};

// A built-in that reads a part of its texts at most.
constexpr Builtin partial(Builtin b) {
  b.partial = true;
  return b;
}

// The built-in of that lower-case name, or nullptr.
const Builtin* findBuiltin(const QString& key);

// VBScript's Round of a Double: scaled by 10^n, an exact half goes to the even neighbour.
double roundHalfEven(double x, int decimals);

}  // namespace script
