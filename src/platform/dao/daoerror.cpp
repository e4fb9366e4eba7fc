#include "daoerror.h"

namespace dao {

QString errorDescription(int number, const QString& arg) {
  switch (number) {
    case 3001: return QStringLiteral("Argumento no válido.");
    case 3010: return QStringLiteral("La tabla '%1' ya existe.").arg(arg);
    case 3012: return QStringLiteral("El objeto '%1' ya existe.").arg(arg);
    case 3020: return QStringLiteral("Update o CancelUpdate sin AddNew o Edit.");
    case 3021: return QStringLiteral("No hay ningún registro activo.");
    case 3022:
      return QStringLiteral("Los cambios solicitados en la tabla no se realizaron correctamente porque crearían "
                            "valores duplicados en el índice, clave principal o relación.");
    case 3024: return QStringLiteral("No se encuentra el archivo '%1'.").arg(arg);
    case 3027: return QStringLiteral("No se puede actualizar. La base de datos o el objeto es de sólo lectura.");
    case 3031: return QStringLiteral("La contraseña no es válida.");
    case 3034: return QStringLiteral("Intentó confirmar o revertir una transacción sin comenzarla.");
    case 3044: return QStringLiteral("'%1' no es una ruta válida.").arg(arg);
    case 3061: return QStringLiteral("Pocos parámetros. Se esperaba 1.%1").arg(arg.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(arg));
    case 3065: return QStringLiteral("No se puede ejecutar una consulta de selección.");
    case 3075: return QStringLiteral("Error de sintaxis (falta operador) en la expresión de consulta '%1'.").arg(arg);
    case 3077: return QStringLiteral("Error de sintaxis (falta operador) en la expresión '%1'.").arg(arg);
    case 3078:
      return QStringLiteral("El motor de base de datos no encuentra la tabla o consulta de entrada '%1'.").arg(arg);
    case 3079: return QStringLiteral("El campo '%1' puede referirse a más de una tabla.").arg(arg);
    case 3085: return QStringLiteral("Función '%1' no definida en la expresión.").arg(arg);
    case 3117: return QStringLiteral("No se puede ordenar por campos de tipo Memo u objeto OLE ('%1').").arg(arg);
    case 3159: return QStringLiteral("No es un marcador válido.");
    case 3163:
      return QStringLiteral("El campo es demasiado pequeño para aceptar la cantidad de datos que intentó agregar.");
    case 3164: return QStringLiteral("No se puede actualizar el campo '%1'.").arg(arg);
    case 3167: return QStringLiteral("El registro se ha eliminado.");
    case 3191: return QStringLiteral("No se puede definir el campo '%1' más de una vez.").arg(arg);
    case 3200:
      return QStringLiteral("No se puede eliminar o modificar el registro porque la tabla '%1' contiene "
                            "registros relacionados.").arg(arg);
    case 3204: return QStringLiteral("La base de datos ya existe.");
    case 3219: return QStringLiteral("Operación no válida.");
    case 3251: return QStringLiteral("La operación no es compatible con este tipo de objeto.");
    case 3260: return QStringLiteral("No se pudo actualizar; bloqueado actualmente por otro usuario.");
    case 3264: return QStringLiteral("No hay ningún campo definido; no se puede agregar el objeto TableDef o Index.");
    case 3265: return QStringLiteral("No se encontró el elemento en esta colección.%1").arg(arg.isEmpty() ? QString() : QStringLiteral(" ('%1')").arg(arg));
    case 3283: return QStringLiteral("Ya existe la clave principal.");
    case 3314:
      return QStringLiteral("El campo '%1' no puede contener un valor nulo porque su propiedad Requerido está "
                            "establecida como Verdadero.").arg(arg);
    case 3315: return QStringLiteral("El campo '%1' no puede ser una cadena de longitud cero.").arg(arg);
    case 3343: return QStringLiteral("Formato de base de datos '%1' no reconocido.").arg(arg);
    case 3356:
      return QStringLiteral("Intentó abrir una base de datos que ya está abierta en modo exclusivo por otro "
                            "usuario. Inténtelo de nuevo cuando la base de datos esté disponible ('%1').").arg(arg);
    case 3420: return QStringLiteral("El objeto no es válido o ya no está definido.");
    case 3421: return QStringLiteral("Error en la conversión del tipo de datos.");
    default: return arg.isEmpty() ? QStringLiteral("Error reservado (%1).").arg(number) : arg;
  }
}

void raise(int number, const QString& arg) { throw vb::Error(number, errorDescription(number, arg)); }

bool FileRefusedWrite(int number) { return number == 3027 || number == 61 || number == 3000; }

}  // namespace dao
