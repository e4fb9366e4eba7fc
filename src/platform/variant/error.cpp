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
    case 52: return QStringLiteral("Nombre o número de archivo incorrecto");
    case 53: return QStringLiteral("No se ha encontrado el archivo");
    case 57: return QStringLiteral("Error de E/S de dispositivo");
    case 61: return QStringLiteral("Disco lleno");
    case 70: return QStringLiteral("Permiso denegado");
    case 75: return QStringLiteral("Error de acceso a la ruta o el archivo");
    case 76: return QStringLiteral("No se ha encontrado la ruta de acceso");
    case 91: return QStringLiteral("Variable de objeto o bloque With no establecido");
    case 94: return QStringLiteral("Uso no válido de Null");
    case 424: return QStringLiteral("Se requiere un objeto");
    case 438: return QStringLiteral("El objeto no admite esta propiedad o método");
    case 450: return QStringLiteral("Número de argumentos incorrecto o asignación de propiedad no válida");
    case 457: return QStringLiteral("Esta clave ya está asociada a un elemento de esta colección");
    default: return QString();
  }
}

}  // namespace vb
