#include "programa.h"

#include "copiado.h"
#include "dao.h"
#include "entrada.h"
#include "periodos.h"
#include "quarvel.h"
#include "utilidades.h"
#include "vbdate.h"

namespace programa {

namespace {

const QString kFormatoVolumen = QStringLiteral("#,###,###,##0.00##");

dao::Recordset& datosGenerales() {
  if (!quarvel::rsDatosGenerales)
    throw vb::Error(91);
  return *quarvel::rsDatosGenerales;
}

dao::Recordset& programa() {
  if (!quarvel::rsPrograma)
    throw vb::Error(91);
  return *quarvel::rsPrograma;
}

// A date of the bid or of a cell; nullopt for Null, blank or anything that is no date.
std::optional<double> fechaDe(const vb::Variant& v) {
  if (general::esNulo(v) || !vb::IsDate(v))
    return std::nullopt;
  return vb::CDate(v);
}

std::optional<double> datoFecha(const QString& campo) { return fechaDe(datosGenerales().Value(campo)); }

bool baseCerrada() {
  const vb::Variant v = datosGenerales().Value(QStringLiteral("BaseCerrada"));
  return !v.isNull() && vb::CBool(v);
}

QString literal(const QString& texto) {
  QString t = texto;
  t.replace(u'\'', QStringLiteral("''"));
  return t;
}

// "Programa.Partida ='...' AND Renglon =..." with the partida as a literal.
QString filtroConcepto(const QString& partida, int32_t renglon) {
  return QStringLiteral(" WHERE Programa.Partida ='") + literal(partida) + QStringLiteral("' AND Renglon =") +
         QString::number(renglon);
}

vb::Currency suma(const QString& consulta) {
  if (!quarvel::dbObra)
    throw vb::Error(91);
  const auto rs = quarvel::dbObra->OpenRecordset(consulta, dao::RecordsetType::ForwardOnly);
  const vb::Variant total = rs->EOF_() ? vb::Variant::null() : rs->Value(QStringLiteral("Total"));
  rs->Close();
  return total.isNull() ? vb::Currency() : vb::CCur(total);
}

vb::Currency sumaPeriodos(const QString& partida, int32_t renglon, int desde, int hasta) {
  return suma(QStringLiteral("SELECT SUM(Programa.Volumen) as Total FROM Programa") + filtroConcepto(partida, renglon) +
              QStringLiteral(" AND Periodo >= ") + QString::number(desde) + QStringLiteral(" AND Periodo <= ") +
              QString::number(hasta));
}

void borraPeriodos(const QString& partida, int32_t renglon, int desde, int hasta) {
  quarvel::dbObra->Execute(QStringLiteral("DELETE FROM Programa") + filtroConcepto(partida, renglon) +
                           QStringLiteral(" AND Periodo >= ") + QString::number(desde) +
                           QStringLiteral(" AND Periodo <= ") + QString::number(hasta));
}

// The typed text is the old value written again (the same date, the same number, both empty).
bool mismoValor(Columna columna, const vb::Variant& anterior, const QString& texto) {
  if (general::esNulo(anterior))
    return texto.trimmed().isEmpty();
  if (texto == vb::CStr(anterior))
    return true;
  switch (columna) {
  case Columna::Comienzo:
  case Columna::Fin: {
    const std::optional<double> antes = fechaDe(anterior);
    const std::optional<double> ahora = fechaDe(texto);
    return antes && ahora && *antes == *ahora;
  }
  case Columna::Periodo:
    try {
      return copiado::esNumero(texto) && ComoVolumen(anterior) == vb::CCur(texto);
    } catch (const vb::Error&) {
      return false;
    }
  case Columna::Otra:
    break;
  }
  return false;
}

int16_t revisaComienzo(const vb::Variant& anterior, const QString& texto, const Fila& fila) {
  const std::optional<double> nueva = fechaDe(texto);
  if (!nueva)
    return kValorInvalido;
  const std::optional<double> inicioProyecto = datoFecha(QStringLiteral("FechaInicioProy"));
  if (inicioProyecto && *nueva < *inicioProyecto)
    return kInicioAntesDelProyecto;
  const std::optional<double> fin = fechaDe(fila.fin);
  if (fin && *nueva > *fin)
    return kInicioDespuesDelFin;
  const int antes = PeriodoDe(anterior);
  const int ahora = PeriodoDe(vb::Variant::fromDate(*nueva));
  if (ahora > antes)
    AgrupaPeriodosInicio(fila.partida, fila.renglon, antes, ahora);
  return kAcepta;
}

int16_t revisaFin(const vb::Variant& anterior, const QString& texto, const Fila& fila) {
  const std::optional<double> nueva = fechaDe(texto);
  if (!nueva)
    return kValorInvalido;
  const std::optional<double> finProyecto = datoFecha(QStringLiteral("FechaFinalProy"));
  if (finProyecto && *nueva > *finProyecto)
    return kFinDespuesDelProyecto;
  const std::optional<double> inicio = fechaDe(fila.comienzo);
  if (inicio && *nueva < *inicio)
    return kFinAntesDelInicio;
  const int antes = PeriodoDe(anterior);
  const int ahora = PeriodoDe(vb::Variant::fromDate(*nueva));
  if (ahora < antes)
    AgrupaPeriodosFin(fila.partida, fila.renglon, ahora, antes);
  return kAcepta;
}

int16_t revisaVolumen(int periodo, const vb::Variant& anterior, const QString& texto, const Fila& fila) {
  if (!copiado::esNumero(texto))
    return kVolumenInvalido;
  vb::Currency nuevo;
  try {
    nuevo = vb::CCur(texto);  // beyond Currency's range: no volume either
  } catch (const vb::Error&) {
    return kVolumenInvalido;
  }
  if (nuevo < vb::Currency())
    return kVolumenInvalido;
  // A quantity or total not yet set counts as 0.
  const vb::Currency cantidad = vb::CCur(general::valX(fila.cantidad));
  const vb::Currency total = fila.total.isNull() ? vb::Currency() : ComoVolumen(fila.total);
  if (cantidad < total + nuevo - ComoVolumen(anterior))
    return kSumaMayor;
  if (nuevo > vb::Currency() && !PeriodoValido(fila.comienzo, fila.fin, periodo))
    return kPeriodoInvalido;
  return kAcepta;
}

}  // namespace

QString mensaje(int codigo) {
  switch (codigo) {
  case kBaseCerrada:
    return QStringLiteral("La base de datos esta cerrada no se puede modificar");
  case kSumaMayor:
    return QStringLiteral("La suma de periodos es mayor que el volumen presupuestado");
  case kInicioAntesDelProyecto:
    return QStringLiteral("La fecha inicial debe ser mayor a la fecha de inicio del proyecto");
  case kInicioDespuesDelFin:
    return QStringLiteral("La fecha inicial no puede ser mayor a la fecha final");
  case kFinDespuesDelProyecto:
    return QStringLiteral("La fecha final debe ser menor o igual a la fecha final del proyecto");
  case kFinAntesDelInicio:
    return QStringLiteral("La fecha final no puede ser menor a la fecha inicial");
  case kPeriodoInvalido:
    return QStringLiteral("Periodo invalido para la actividad");
  case kValorInvalido:
    return QStringLiteral("El valor es inválido");
  case kVolumenInvalido:
    return entrada::pideNumero(QStringLiteral("El volumen"), QStringLiteral(" mayor o igual a 0"));
  default:
    return {};
  }
}

int PeriodoDe(const vb::Variant& fecha) {
  const std::optional<double> d = fechaDe(fecha);
  const std::optional<double> inicio = datoFecha(QStringLiteral("FechaInicioProy"));
  if (!d || !inicio)
    return 0;
  return periodos::periodoDe(*d, *inicio, periodos::periodicidadObra());
}

bool PeriodoValido(const vb::Variant& inicio, const vb::Variant& fin, int periodo) {
  if (!fechaDe(inicio) || !fechaDe(fin))
    return false;
  return PeriodoDe(inicio) <= periodo && periodo <= PeriodoDe(fin);
}

QString Criterio(const QString& partida, int32_t renglon, int periodo) {
  return QStringLiteral("Partida='") + literal(partida) + QStringLiteral("' AND Renglon=") + QString::number(renglon) +
         QStringLiteral(" AND Periodo=") + QString::number(periodo);
}

std::optional<vb::Currency> Volumen(const QString& partida, int32_t renglon, int periodo) {
  dao::Recordset& rs = programa();
  rs.FindFirst(Criterio(partida, renglon, periodo));
  if (rs.NoMatch())
    return std::nullopt;
  return vb::CCur(rs.Value(QStringLiteral("Volumen")));
}

QString TextoVolumen(const QString& partida, int32_t renglon, int periodo) {
  const std::optional<vb::Currency> v = Volumen(partida, renglon, periodo);
  return v ? vb::Format(*v, kFormatoVolumen) : QString();
}

void GrabaVolumen(const QString& partida, int32_t renglon, int periodo, vb::Currency volumen) {
  dao::Recordset& rs = programa();
  rs.FindFirst(Criterio(partida, renglon, periodo));
  if (volumen == vb::Currency()) {
    if (!rs.NoMatch())
      rs.Delete();
    return;
  }
  if (rs.NoMatch()) {
    rs.AddNew();
    rs.SetValue(QStringLiteral("Partida"), partida);
    rs.SetValue(QStringLiteral("Renglon"), renglon);
  } else {
    rs.Edit();
  }
  rs.SetValue(QStringLiteral("Periodo"), int16_t(periodo));
  rs.SetValue(QStringLiteral("Volumen"), volumen);
  rs.Update();
}

vb::Currency TotalProgramado(const QString& partida, int32_t renglon) {
  const int periodos = vb::CInt(general::valX(datosGenerales().Value(QStringLiteral("Periodos"))));
  return suma(QStringLiteral("SELECT SUM(Programa.Volumen) as Total FROM Programa") + filtroConcepto(partida, renglon) +
              QStringLiteral(" AND Periodo <= ") + QString::number(periodos));
}

vb::Currency SumaVolumenes(const QString& partida, int32_t renglon) {
  return suma(QStringLiteral("SELECT SUM(Programa.Volumen) as Total FROM Programa") + filtroConcepto(partida, renglon));
}

std::map<int, vb::Currency> VolumenesConcepto(const QString& partida, int32_t renglon) {
  if (!quarvel::dbObra)
    throw vb::Error(91);
  std::map<int, vb::Currency> volumenes;
  const auto rs = quarvel::dbObra->OpenRecordset(
      QStringLiteral("SELECT Periodo, Volumen FROM Programa") + filtroConcepto(partida, renglon),
      dao::RecordsetType::ForwardOnly);
  for (; !rs->EOF_(); rs->MoveNext())
    volumenes[vb::CInt(rs->Value(QStringLiteral("Periodo")))] += vb::CCur(rs->Value(QStringLiteral("Volumen")));
  rs->Close();
  return volumenes;
}

void AgrupaPeriodosInicio(const QString& partida, int32_t renglon, int desde, int hasta) {
  const vb::Currency total = sumaPeriodos(partida, renglon, desde, hasta);
  if (total == vb::Currency())
    return;
  borraPeriodos(partida, renglon, desde, hasta - 1);
  GrabaVolumen(partida, renglon, hasta, total);
}

void AgrupaPeriodosFin(const QString& partida, int32_t renglon, int desde, int hasta) {
  const vb::Currency total = sumaPeriodos(partida, renglon, desde, hasta);
  if (total == vb::Currency())
    return;
  borraPeriodos(partida, renglon, desde + 1, hasta);
  GrabaVolumen(partida, renglon, desde, total);
}

vb::Currency ComoVolumen(const vb::Variant& valor) {
  if (general::esNulo(valor))
    return {};
  return vb::CCur(valor);
}

int16_t RevisaCelda(Columna columna, int periodo, const vb::Variant& anterior, const QString& texto,
                    const Fila& fila) {
  if (mismoValor(columna, anterior, texto))
    return kAcepta;
  if (baseCerrada())
    return kBaseCerrada;
  switch (columna) {
  case Columna::Comienzo:
    return revisaComienzo(anterior, texto, fila);
  case Columna::Fin:
    return revisaFin(anterior, texto, fila);
  case Columna::Periodo:
    return revisaVolumen(periodo, anterior, texto, fila);
  case Columna::Otra:
    break;
  }
  return kAcepta;
}

}  // namespace programa
