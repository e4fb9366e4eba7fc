// Rows of a pasted block applied to the work schedule: a concept's start and end dates and its volume
// per period.
#include "copiado.h"

#include "dao.h"
#include "general.h"
#include "msgbox.h"
#include "programa.h"
#include "quarvel.h"
#include "utilidades.h"

namespace copiado {

namespace {

const QString kTituloPegado = QStringLiteral("Quarvel");

dao::Recordset& concepto() {
  if (!quarvel::rsBuscaPre)
    throw vb::Error(91);
  return *quarvel::rsBuscaPre;
}

// A project date of the general data; nullopt when the bid has none.
std::optional<double> fechaProyecto(const QString& campo) {
  if (!quarvel::rsDatosGenerales)
    throw vb::Error(91);
  const vb::Variant v = quarvel::rsDatosGenerales->Value(campo);
  if (general::esNulo(v) || !vb::IsDate(v))
    return std::nullopt;
  return vb::CDate(v);
}

// A date of a concept or of the paste; nullopt when Null or blank.
std::optional<double> fecha(const vb::Variant& v) {
  if (general::esNulo(v))
    return std::nullopt;
  return vb::CDate(v);
}

bool antes(const vb::Variant& a, const std::optional<double>& b) {
  const std::optional<double> fa = fecha(a);
  return fa && b && *fa < *b;
}

bool despues(const vb::Variant& a, const std::optional<double>& b) {
  const std::optional<double> fa = fecha(a);
  return fa && b && *fa > *b;
}

bool tieneColumna(int logica) { return logica < int(mapaColumnas.size()) && mapaColumnas[size_t(logica)] != 0; }

// The pasted volume of each period column the block has, in period order.
struct VolumenPegado {
  int periodo;
  vb::Currency volumen;
};

// Reads every period cell of the row before anything is written: a cell that is no number, or a
// negative one, refuses the whole row (error 13) rather than leaving it half applied.
std::vector<VolumenPegado> volumenesPegados(const QString& partida, int32_t renglon) {
  std::vector<VolumenPegado> volumenes;
  for (int k = kPeriodo0 + 1; k < int(mapaColumnas.size()); ++k) {
    if (!tieneColumna(k))
      continue;
    const vb::Variant celda = valorColumnaPegada(int16_t(k), vb::Variant());
    vb::Currency v;
    bool valido = true;
    try {
      v = programa::ComoVolumen(numeroPegado(celda));
      valido = v >= vb::Currency();
    } catch (const vb::Error&) {
      valido = false;
    }
    if (!valido)
      throw vb::Error(13, vb::Error::standardDescription(13) + QStringLiteral(": el volumen del periodo ") +
                              QString::number(k - kPeriodo0) + QStringLiteral(" (") + vb::CStr(celda) +
                              QStringLiteral(") de la partida ") + partida + QStringLiteral(" renglón ") +
                              QString::number(renglon) + QStringLiteral(" no es válido"));
    volumenes.push_back({k - kPeriodo0, v});
  }
  return volumenes;
}

// A pasted date column's value as a date (its default when the cell is empty); error 13 when it reads
// as no date.
vb::Variant fechaPegada(int16_t columna, const vb::Variant& omision) {
  const vb::Variant v = valorColumnaPegada(columna, omision);
  if (general::esNulo(v))
    return omision;
  if (!vb::IsDate(v))
    throw vb::Error(13, vb::Error::standardDescription(13) + QStringLiteral(": \"") + vb::CStr(v) +
                            QStringLiteral("\" no es una fecha"));
  return vb::Variant::fromDate(vb::CDate(v));
}

// The volumes the row leaves the concept with: those stored, each pasted period's in its place (0
// removes it).
std::map<int, vb::Currency> volumenesFinales(const QString& partida, int32_t renglon,
                                             const std::vector<VolumenPegado>& pegados) {
  std::map<int, vb::Currency> finales = programa::VolumenesConcepto(partida, renglon);
  for (const VolumenPegado& v : pegados) {
    if (v.volumen == vb::Currency())
      finales.erase(v.periodo);
    else
      finales[v.periodo] = v.volumen;
  }
  return finales;
}

// The first and last periods holding a volume once the current row is applied; 0 and 0 when none.
std::pair<int, int> periodosConVolumen() {
  const QString partida = vb::CStr(valorColumnaPegada(kPartida, vb::Variant()));
  const int32_t renglon = vb::CLng(valorColumnaPegada(kRenglon, vb::Variant()));
  const std::map<int, vb::Currency> finales = volumenesFinales(partida, renglon, volumenesPegados(partida, renglon));
  if (finales.empty())
    return {0, 0};
  return {finales.begin()->first, finales.rbegin()->first};
}

// The first or last day of a period; nullopt when the period table has no such period (a period
// beyond the months of the project is no date to set).
std::optional<double> limitePeriodo(int periodo, bool inicio) {
  if (periodo < 1 || periodo >= int(quarvel::tablaPeriodos.size()))
    return std::nullopt;
  const quarvel::Periodo& p = quarvel::tablaPeriodos[size_t(periodo)];
  const double d = inicio ? p.inicio : p.fin;
  if (d == 0)
    return std::nullopt;
  return d;
}

void ajustaAlProyecto(vb::Variant& fechaIni, vb::Variant& fechaFin) {
  const std::optional<double> inicio = fechaProyecto(QStringLiteral("FechaInicioProy"));
  const std::optional<double> fin = fechaProyecto(QStringLiteral("FechaFinalProy"));
  if (antes(fechaIni, inicio))
    fechaIni = vb::Variant::fromDate(*inicio);
  if (despues(fechaFin, fin))
    fechaFin = vb::Variant::fromDate(*fin);
}

// The pasted volumes written, each period's row added, changed or (for 0) deleted.
void escribeVolumenes(const std::vector<VolumenPegado>& volumenes, const QString& partida, int32_t renglon) {
  for (const VolumenPegado& v : volumenes)
    programa::GrabaVolumen(partida, renglon, v.periodo, v.volumen);
}

// Dates pasted without volumes: as when they are typed into the window, the volumes they leave out
// go into the new first or last period.
void pliegaFueraDeFechas(const QString& partida, int32_t renglon, const vb::Variant& fechaIni,
                         const vb::Variant& fechaFin) {
  const std::map<int, vb::Currency> volumenes = programa::VolumenesConcepto(partida, renglon);
  if (volumenes.empty())
    return;
  const int primero = volumenes.begin()->first, ultimo = volumenes.rbegin()->first;
  if (fecha(fechaIni)) {
    const int inicio = programa::PeriodoDe(fechaIni);
    if (primero < inicio)
      programa::AgrupaPeriodosInicio(partida, renglon, primero, inicio);
  }
  if (fecha(fechaFin)) {
    const int fin = programa::PeriodoDe(fechaFin);
    if (ultimo > fin)
      programa::AgrupaPeriodosFin(partida, renglon, fin, ultimo);
  }
}

}  // namespace

void pegaRenglonPrograma() {
  if (!quarvel::rsPrograma || !quarvel::dbObra)
    throw vb::Error(91);
  bool fechas = false;
  bool periodos = false;
  for (int k = kComienzo; k < int(mapaColumnas.size()); ++k)
    if (tieneColumna(k))
      (k <= kFin ? fechas : periodos) = true;
  const int caso = !fechas ? 2 : periodos ? 3 : 1;

  const QString partida = vb::CStr(valorColumnaPegada(kPartida, vb::Variant()));
  const int32_t renglon = vb::CLng(valorColumnaPegada(kRenglon, vb::Variant()));
  const std::vector<VolumenPegado> volumenes = volumenesPegados(partida, renglon);
  if (general::CuentaBuscaPre(partida, renglon) == 0)
    return;  // no such concept

  dao::Recordset& rs = concepto();
  // The row is checked once, on the volumes it leaves: beyond the quantity it is not applied at all,
  // and the user says whether the paste goes on.
  if (caso != 1) {
    vb::Currency total;
    for (const auto& [periodo, volumen] : volumenesFinales(partida, renglon, volumenes))
      total += volumen;
    if (total > vb::CCur(general::valX(rs.Value(QStringLiteral("Cantidad"))))) {
      if (ui::MsgBox(QStringLiteral("Error: Volumen programado mayor al del presupuesto original. Partida:") + partida +
                         QStringLiteral(" Renglón:") + QString::number(renglon) +
                         QStringLiteral("\r\n ¿ Deseas continuar ?"),
                     ui::vbYesNo | ui::vbInformation, kTituloPegado) != ui::vbYes)
        continuarPegado = false;
      return;
    }
  }

  vb::Variant fechaIni = rs.Value(QStringLiteral("FechaIni"));
  vb::Variant fechaFin = rs.Value(QStringLiteral("FechaFin"));
  switch (caso) {
  case 1:
    if (!validaFechasActividad(fechaIni, fechaFin, partida, renglon))
      return;
    break;
  case 2:
    ajustaFechasProyecto(fechaIni, fechaFin);
    break;
  default:
    fechaIni = fechaPegada(kComienzo, fechaIni);
    fechaFin = fechaPegada(kFin, fechaFin);
    ajustaFechasPegadas(fechaIni, fechaFin);
  }

  rs.Edit();
  try {
    rs.SetValue(QStringLiteral("FechaIni"), fechaIni);
    rs.SetValue(QStringLiteral("FechaFin"), fechaFin);
    if (caso == 1) {
      pliegaFueraDeFechas(partida, renglon, fechaIni, fechaFin);
    } else {
      escribeVolumenes(volumenes, partida, renglon);
      rs.SetValue(QStringLiteral("TotalVol"), volumenProgramado(partida, renglon));
    }
    rs.Update();
  } catch (const vb::Error&) {
    if (rs.GetEditMode() != dao::EditMode::None)
      rs.CancelUpdate();
    throw;
  }
}

bool validaFechasActividad(vb::Variant& fechaIni, vb::Variant& fechaFin, const QString& partida, int32_t renglon) {
  const bool comienzo = tieneColumna(kComienzo);
  const bool fin = tieneColumna(kFin);
  fechaIni = fechaPegada(kComienzo, fechaIni);
  fechaFin = fechaPegada(kFin, fechaFin);
  const std::optional<double> inicioProyecto = fechaProyecto(QStringLiteral("FechaInicioProy"));
  const std::optional<double> finProyecto = fechaProyecto(QStringLiteral("FechaFinalProy"));
  const bool iniFuera = antes(fechaIni, inicioProyecto) || despues(fechaIni, finProyecto);
  const bool finFuera = antes(fechaFin, inicioProyecto) || despues(fechaFin, finProyecto);
  const std::optional<double> ini = fecha(fechaIni);
  const std::optional<double> fi = fecha(fechaFin);
  const bool cruzadas = ini && fi && *ini > *fi;

  QString error;
  if (comienzo && iniFuera)
    error = QStringLiteral("Error: Comienzo fuera de las fechas del proyecto. Partida:");
  else if (fin && finFuera)
    error = QStringLiteral("Error: Fin fuera de las fechas del proyecto. Partida:");
  else if (cruzadas)
    error = QStringLiteral("Error: El Comienzo de actividad mayor que Fin de actividad. Partida:");
  if (error.isEmpty())
    return true;
  if (ui::MsgBox(error + partida + QStringLiteral(" Renglón:") + QString::number(renglon) +
                     QStringLiteral("\r\n ¿ Deseas continuar ?"),
                 ui::vbYesNo | ui::vbInformation, kTituloPegado) != ui::vbYes)
    continuarPegado = false;
  return false;
}

void ajustaFechasProyecto(vb::Variant& fechaIni, vb::Variant& fechaFin) {
  auto [primero, ultimo] = periodosConVolumen();
  if (primero == 0)
    primero = ultimo = 1;
  if (const std::optional<double> d = limitePeriodo(primero, true))
    fechaIni = vb::Variant::fromDate(*d);
  if (const std::optional<double> d = limitePeriodo(ultimo, false))
    fechaFin = vb::Variant::fromDate(*d);
  ajustaAlProyecto(fechaIni, fechaFin);
}

void ajustaFechasPegadas(vb::Variant& fechaIni, vb::Variant& fechaFin) {
  const auto [primero, ultimo] = periodosConVolumen();
  if (primero != 0) {
    const std::optional<double> inicio = limitePeriodo(primero, true);
    const std::optional<double> finPrimero = limitePeriodo(primero, false);
    const std::optional<double> inicioUltimo = limitePeriodo(ultimo, true);
    const std::optional<double> fin = limitePeriodo(ultimo, false);
    const std::optional<double> ini = fecha(fechaIni);
    const std::optional<double> fi = fecha(fechaFin);
    if (inicio && finPrimero && !(ini && *ini >= *inicio && *ini <= *finPrimero))
      fechaIni = vb::Variant::fromDate(*inicio);
    if (inicioUltimo && fin && !(fi && *fi >= *inicioUltimo && *fi <= *fin))
      fechaFin = vb::Variant::fromDate(*fin);
  }
  ajustaAlProyecto(fechaIni, fechaFin);
}

vb::Currency volumenProgramado(const QString& partida, int32_t renglon) {
  return programa::SumaVolumenes(partida, renglon);
}

}  // namespace copiado
