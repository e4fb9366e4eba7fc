#include "error.h"

namespace vb {

Error::Error(int number, QString description)
    : number_(number), description_(std::move(description)),
      what_(std::to_string(number) + " " + description_.toStdString()) {}

Error::Error(int number) : Error(number, standardDescription(number)) {}

QString Error::standardDescription(int number) {
  switch (number) {
    case 5: return QStringLiteral("Argumento o llamada a procedimiento no válida");
    case 6: return QStringLiteral("Desbordamiento");
    case 7: return QStringLiteral("Memoria insuficiente");
    case 9: return QStringLiteral("Subíndice fuera del intervalo");
    case 11: return QStringLiteral("División por cero");
    case 13: return QStringLiteral("No coinciden los tipos");
    case 28: return QStringLiteral("Espacio de pila insuficiente");
    case 53: return QStringLiteral("No se ha encontrado el archivo");
    case 91: return QStringLiteral("Variable de objeto o bloque With no establecido");
    case 94: return QStringLiteral("Uso no válido de Null");
    default: return QString();
  }
}

}  // namespace vb
