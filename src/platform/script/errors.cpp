#include "errors.h"

namespace script {

QString errorDescription(int number) {
  switch (number) {
    case errOutOfStringSpace: return QStringLiteral("Espacio de cadena insuficiente");
    case errWorkLimit: return QStringLiteral("Cálculo interrumpido: la evaluación excede el trabajo máximo permitido");
    case errProcNotFound: return QStringLiteral("No se ha definido Sub o Function");
    case errUndefined: return QStringLiteral("Variable no definida");
    case errIllegalAssignment: return QStringLiteral("Asignación no válida");
    case errSyntax: return QStringLiteral("Error de sintaxis");
    case errExpectedLParen: return QStringLiteral("Se esperaba '('");
    case errExpectedRParen: return QStringLiteral("Se esperaba ')'");
    case errExpectedIdentifier: return QStringLiteral("Se esperaba un identificador");
    case errExpectedEnd: return QStringLiteral("Se esperaba 'End'");
    case errExpectedFunction: return QStringLiteral("Se esperaba 'Function'");
    case errExpectedSub: return QStringLiteral("Se esperaba 'Sub'");
    case errExpectedExpression: return QStringLiteral("Se esperaba una expresión");
    case errExpectedStatement: return QStringLiteral("Se esperaba una instrucción");
    case errExpectedEndOfStatement: return QStringLiteral("Se esperaba el final de la instrucción");
    case errIdentifierTooLong: return QStringLiteral("Identificador demasiado largo");
    case errInvalidNumber: return QStringLiteral("Número no válido");
    case errInvalidCharacter: return QStringLiteral("Carácter no válido");
    case errUnterminatedString: return QStringLiteral("Constante de cadena sin terminar");
    case errNameRedefined: return QStringLiteral("Nombre redefinido");
    case errParensOnSubCall: return QStringLiteral("No se pueden usar paréntesis al llamar a un procedimiento Sub");
    default: return vb::Error::standardDescription(number);
  }
}

void raise(int number) { throw vb::Error(number, errorDescription(number)); }

void raise(int number, const QString& name) {
  throw vb::Error(number, errorDescription(number) + QStringLiteral(": '") + name + u'\'');
}

}  // namespace script
