#pragma once
// VBScript's operators on Variants: subtype promotion (Integer -> Long -> Double), Empty as 0 or "",
// Null propagation, numeric text converted with "." as the decimal point, and VBScript's errors
// (6 overflow, 11 division by zero, 13 type mismatch, 5 invalid argument).
#include "ast.h"
#include "variant.h"

namespace script {

vb::Variant binaryOp(BinOp op, const vb::Variant& a, const vb::Variant& b);
vb::Variant unaryOp(UnOp op, const vb::Variant& a);

// The number a text stands for under VBScript's rule (blanks, sign, digits, ".", exponent,
// "&H"/"&O"); error 13 when it stands for none.
double scriptNumber(const QString& text);
bool isScriptNumber(const QString& text);

// A Variant as a Double for arithmetic: Empty 0, Boolean -1/0, text by scriptNumber; Null 94.
double toScriptDouble(const vb::Variant& v);

// True for the condition-like truth of a value (nonzero); Null counts as False.
bool isTrue(const vb::Variant& v);

// Text of a value for "&" and the string functions: Empty and Null give "".
QString textOf(const vb::Variant& v);

}  // namespace script
