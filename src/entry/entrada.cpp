#include "entrada.h"

#include "copiado.h"
#include "dao.h"
#include "quarvel.h"

namespace entrada {

QString pideNumero(const QString& celda, const QString& condicion) {
  return celda + QStringLiteral(" debe ser un número") + condicion +
         QStringLiteral(", con punto decimal \".\" (por ejemplo 1,234.50)");
}

bool obraCerrada() {
  if (!quarvel::rsDatosGenerales)
    return false;
  const auto marcado = [](const char* campo) {
    const vb::Variant v = quarvel::rsDatosGenerales->Value(QString::fromLatin1(campo));
    return !v.isNull() && vb::CBool(v);
  };
  return marcado("BaseCerrada") || marcado("Cerrada");
}

dao::Recordset& abierto(const std::shared_ptr<dao::Recordset>& recordset) {
  if (!recordset)
    throw vb::Error(91);
  return *recordset;
}

QString literal(const QString& texto) {
  QString l = texto;
  return l.replace(u'\'', QStringLiteral("''"));
}

QString literal(const vb::Variant& valor) { return literal(valor.isNull() ? QString() : vb::CStr(valor)); }

bool mismoValor(const vb::Variant& nuevo, const vb::Variant& viejo) {
  if (nuevo.isNull() || viejo.isNull())
    return nuevo.isNull() && viejo.isNull();
  if (copiado::esNumero(nuevo) && vb::IsNumeric(viejo))
    return vb::CDbl(nuevo) == vb::CDbl(viejo);
  return vb::CStr(nuevo) == vb::CStr(viejo);
}

}  // namespace entrada
