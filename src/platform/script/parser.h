#pragma once
// Parser of the VBScript subset: Option Explicit, Private/Public/Dim declarations, Sub and
// Function with or without parameter lists, assignments (also to an array element), calls,
// and expressions with VBScript's precedence. Errors are VBScript's compile errors.
#include "ast.h"

#include <QString>

namespace script {

class Held;

// A whole block (addCode, executeStatement). Nothing is registered here. What the tokens and the
// tree take is counted to `parsed` as they are made (tokenize).
std::unique_ptr<Block> parseBlock(const QString& code, Held* parsed = nullptr);

// A single expression (eval).
ExprPtr parseExpression(const QString& code);

}  // namespace script
