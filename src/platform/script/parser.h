#pragma once
// Parser of the VBScript subset: Option Explicit, Private/Public/Dim declarations, Sub and
// Function with or without parameter lists, assignments (also to an array element), calls,
// and expressions with VBScript's precedence. Errors are VBScript's compile errors.
#include "ast.h"

#include <QString>

namespace script {

// A whole block (addCode, executeStatement). Nothing is registered here.
std::unique_ptr<Block> parseBlock(const QString& code);

// A single expression (eval).
ExprPtr parseExpression(const QString& code);

}  // namespace script
