#include "calculos.h"

#include "dao.h"
#include "korgen.h"
#include "msgbox.h"
#include "quarvel.h"
#include "textosdatgen.h"
#include "utilidades.h"

namespace Calculos {

namespace {

dao::Recordset& abierto(const quarvel::RecordsetPtr& rs) {
  if (!rs)
    throw vb::Error(91);
  return *rs;
}

// A Yes/No field that is set; Null counts as No.
bool activado(const vb::Variant& v) { return !v.isNull() && vb::CBool(v); }

// A value as the program writes it into a message: Null gives nothing.
QString texto(const vb::Variant& v) { return v.isNull() ? QString() : vb::CStr(v); }

bool falla(const QString& mensaje) {
  ui::MsgBox(mensaje, ui::vbExclamation);
  return true;
}

// a > b (sign 1), a < b (-1) or a = b (0) as VB compares two dates; a Null side never holds.
bool compara(const vb::Variant& a, const vb::Variant& b, int signo) {
  const std::optional<int> c = vb::Compare(a, b);
  if (!c)
    return false;
  return signo > 0 ? *c > 0 : signo < 0 ? *c < 0 : *c == 0;
}

}  // namespace

void CalculaImportes() {
  if (!quarvel::dbObra)
    throw vb::Error(91);
  const std::shared_ptr<dao::Recordset> rs = quarvel::dbObra->OpenRecordset(
      QStringLiteral("SELECT Codigo,Importe,Cantidad,Precio FROM Presupuesto"), dao::RecordsetType::Dynaset);
  if (rs->RecordCount() > 0) {
    dao::Field& importe = rs->Fields(QStringLiteral("Importe"));
    dao::Field& cantidad = rs->Fields(QStringLiteral("Cantidad"));
    dao::Field& precio = rs->Fields(QStringLiteral("Precio"));
    for (rs->MoveFirst(); !rs->EOF_(); rs->MoveNext()) {
      const vb::Currency nuevo = KorGen::Redondea(vb::CDbl(precio.Value()) * vb::CDbl(cantidad.Value()));
      const vb::Variant actual = importe.Value();
      if (!actual.isNull() && vb::Compare(actual, vb::Variant(nuevo)) == 0)
        continue;
      rs->Edit();
      importe.SetValue(nuevo);
      rs->Update();
    }
  }
  rs->Close();
}

bool ValidaImpresion() {
  dao::Recordset& datos = abierto(quarvel::rsDatosGenerales);
  auto dato = [&datos](const char* campo) { return datos.Value(QString::fromLatin1(campo)); };

  if (quarvel::edicion != 1 && !activado(dato("BaseCerrada")))
    ui::MsgBox(QStringLiteral("La base de datos aun no esta cerrada"), ui::vbInformation);

  if (quarvel::edicion != 1) {
    if (general::esNulo(dato("NombreEmpresa")))
      return falla(QStringLiteral("Falta capturar el nombre de la empresa"));
    if (general::esNulo(dato("responsable")))
      return falla(QStringLiteral("Falta capturar el nombre del responsable"));
    if (general::esNulo(dato("cargo")))
      return falla(QStringLiteral("Falta capturar el cargo del responsable"));
  }

  const vb::Variant tope = dato("FechaTope");
  const vb::Variant final_ = dato("FechaFinalProy");
  const vb::Variant inicio = dato("FechaInicioProy");
  if (general::esNulo(tope))
    return falla(QStringLiteral("La fecha tope no ha sido capturada"));
  if (general::esNulo(final_))
    return falla(QStringLiteral("La fecha final no ha sido capturada"));
  if (general::esNulo(inicio))
    return falla(QStringLiteral("La fecha inicial no ha sido capturada"));

  if (compara(final_, tope, 1))
    return falla(QStringLiteral("La fecha de término es mayor a la fecha tope"));
  if (compara(final_, inicio, -1))
    return falla(QStringLiteral("La fecha de término es menor que la  fecha de inicio"));
  if (compara(final_, inicio, 0))
    return falla(QStringLiteral("La fecha de término es igual a la  fecha de inicio"));

  dao::Recordset& presupuesto = abierto(quarvel::rsPresupuestoClon);
  if (presupuesto.RecordCount() > 0) {
    presupuesto.MoveFirst();
    if (!activado(dato("PermitePreciosCero"))) {
      const vb::Variant cero(vb::Currency{});
      for (; !presupuesto.EOF_(); presupuesto.MoveNext()) {
        const vb::Variant precio = presupuesto.Value(QStringLiteral("Precio"));
        if (compara(precio, cero, 0) || compara(precio, cero, -1))
          return falla(QStringLiteral("El código ") + texto(presupuesto.Value(QStringLiteral("Codigo"))) +
                       QStringLiteral(" su precio  es igual a ") + texto(precio) +
                       QStringLiteral(", para poder imprmir los reportes, debe cambiar la opción (") +
                       textosDatGen::chkPermiteTornavo() +
                       QStringLiteral(")\r\nque se encuentra en Parámetros-Concurso. "));
      }
    }
  }

  dao::Recordset& monedas = abierto(quarvel::rsMonedasClon);
  if (monedas.RecordCount() > 0) {
    for (monedas.MoveFirst(); !monedas.EOF_(); monedas.MoveNext()) {
      const QString moneda = texto(monedas.Value(QStringLiteral("Moneda")));
      if (general::esNulo(monedas.Value(QStringLiteral("Texto"))))
        return falla(QStringLiteral("La moneda ") + moneda + QStringLiteral(" no tiene descripción"));
      if (general::esNulo(monedas.Value(QStringLiteral("Remate"))))
        return falla(QStringLiteral("La moneda ") + moneda + QStringLiteral(" no tiene remate"));
    }
  }
  return false;
}

}  // namespace Calculos
