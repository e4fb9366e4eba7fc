#pragma once
// The script engine's errors: VBScript's numbers with Spanish descriptions, thrown as vb::Error.
#include "error.h"

#include <QString>

namespace script {

// Numbers the engine raises (VBScript's own).
enum ErrorNumber : int {
  errInvalidCall = 5,
  errOverflow = 6,
  errOutOfMemory = 7,
  errSubscript = 9,
  errDivisionByZero = 11,
  errTypeMismatch = 13,
  errOutOfStringSpace = 14,
  errWorkLimit = 18,        // our bound on the work of one call into the engine
  errOutOfStack = 28,
  errProcNotFound = 35,
  errObjectNotSet = 91,
  errInvalidNull = 94,
  errWrongArgCount = 450,
  errKeyInUse = 457,
  errUndefined = 500,
  errIllegalAssignment = 501,
  errSyntax = 1002,
  errExpectedLParen = 1005,
  errExpectedRParen = 1006,
  errExpectedIdentifier = 1010,
  errExpectedEnd = 1014,
  errExpectedFunction = 1015,
  errExpectedSub = 1016,
  errExpectedExpression = 1023,
  errExpectedStatement = 1024,
  errExpectedEndOfStatement = 1025,
  errIdentifierTooLong = 1030,
  errInvalidNumber = 1031,
  errInvalidCharacter = 1032,
  errUnterminatedString = 1033,
  errNameRedefined = 1041,
  errParensOnSubCall = 1044,
};

// The Spanish description of an engine error number; "" when unknown.
QString errorDescription(int number);

// Throws vb::Error with the number and its description; with a name, "description: 'name'".
[[noreturn]] void raise(int number);
[[noreturn]] void raise(int number, const QString& name);

}  // namespace script
