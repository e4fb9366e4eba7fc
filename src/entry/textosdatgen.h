#pragma once
// Captions of the general-data dialog that other modules quote. The dialog takes its captions from
// here, so that a message naming one of its options always names it as the dialog shows it.
#include <QString>

namespace textosDatGen {

// The check box chkPermiteTornavo (DatosGenerales.PermitePreciosCero).
inline QString chkPermiteTornavo() {
  return QStringLiteral("Permitir imprimir reportes de tornavo con precios en ceros");
}

}  // namespace textosDatGen
