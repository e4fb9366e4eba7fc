#pragma once
// What the groups of built-ins share: argument conversions with VBScript's errors, and the tables
// each group contributes.
#include "builtins.h"

#include <span>

namespace script::bi {

// The Variant of an argument; an array is error 13.
const vb::Variant& scalar(const Value& v);
bool isNull(const Value& v);

// A number for arithmetic: Empty 0, Boolean -1/0, numeric text by VBScript's rule (13 otherwise),
// Date its serial; Null is error 94.
vb::Variant numeric(const vb::Variant& v);
double number(const Value& v);
// A whole-number argument (start, length, count, ...): a Long rounded half to even; 6 out of range.
int32_t whole(const Value& v);
// A Boolean argument: CBool's rule on script values.
bool flag(const Value& v);
// The text of an argument (numbers with ".", dates day first); Empty gives "". Callers deal with
// Null before.
QString text(const Value& v);
// A text result; error 14 past the engine's bound.
Value textValue(QString s);
// A comparison argument (vbBinaryCompare 0, vbTextCompare 1): case sensitivity; 5 for any other.
Qt::CaseSensitivity comparison(const BuiltinArgs& a, size_t i);
// A date argument as CDate reads it: text by the program's date rule (13 when none), numbers as
// serials (6 outside the calendar), Null 94.
double date(const Value& v);

// The groups.
std::span<const Builtin> numericBuiltins();
std::span<const Builtin> textBuiltins();
std::span<const Builtin> dateBuiltins();
std::span<const Builtin> formatBuiltins();

}  // namespace script::bi
