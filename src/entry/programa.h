#pragma once
// The work schedule of the open bid as the schedule window reads and writes it, without widgets: the
// period of a date, the volume of one period (table Programa, through quarvel::rsPrograma), the
// programmed total, the folding of volumes when a concept's dates move, and the checks of an edited
// cell of the schedule grid. FrmPrograma calls these from its grid's events.
//
// Programa keeps only volumes other than zero: writing 0 deletes the period's row.
#include <variant.h>

#include <QString>
#include <cstdint>
#include <map>
#include <optional>

namespace programa {

// The grid's fixed columns (Partida .. Total); the column of period n is kColumnasFijas + n - 1.
constexpr int16_t kColumnasFijas = 9;

// What a cell check answers: store the value, or refuse it with the message of a code, shown once the
// grid has finished its own update. No refusal goes without its message.
enum Codigo : int16_t {
  kAcepta = 0,
  kBaseCerrada = 1,
  kSumaMayor = 2,
  kInicioAntesDelProyecto = 3,
  kInicioDespuesDelFin = 4,
  kFinDespuesDelProyecto = 5,
  kFinAntesDelInicio = 6,
  kPeriodoInvalido = 7,
  kValorInvalido = 8,
  kVolumenInvalido = 9,
};
// The message of a posted code; empty for any other code.
QString mensaje(int codigo);

// The period of a date by the bid's periodicity (periodos.h), period 1 holding the project's start
// (FechaInicioProy); a date before that period gives 0 or less. 0 when the bid has no start date, or
// for a Null or blank date.
int PeriodoDe(const vb::Variant& fecha);
// PeriodoDe(inicio) <= periodo <= PeriodoDe(fin); false when either date is missing.
bool PeriodoValido(const vb::Variant& inicio, const vb::Variant& fin, int periodo);

// The volume stored for a concept's period (rsPrograma is left on its row); nullopt when none.
std::optional<vb::Currency> Volumen(const QString& partida, int32_t renglon, int periodo);
// The text a period cell shows: the volume formatted "#,###,###,##0.00##", empty when none.
QString TextoVolumen(const QString& partida, int32_t renglon, int periodo);
// Writes a period's volume through rsPrograma: 0 deletes the row when there is one.
void GrabaVolumen(const QString& partida, int32_t renglon, int periodo, vb::Currency volumen);
// The sum of a concept's volumes in periods 1..Periodos of the bid (0 when none).
vb::Currency TotalProgramado(const QString& partida, int32_t renglon);
// The sum of every volume of a concept, whatever its period (0 when none).
vb::Currency SumaVolumenes(const QString& partida, int32_t renglon);
// Every volume of a concept by period, whatever its period.
std::map<int, vb::Currency> VolumenesConcepto(const QString& partida, int32_t renglon);
// The start moved from period `desde` to the later period `hasta`: the volumes of desde..hasta end up
// as one volume in period hasta. Nothing when they sum to 0.
void AgrupaPeriodosInicio(const QString& partida, int32_t renglon, int desde, int hasta);
// The end moved from period `hasta` to the earlier period `desde`: the volumes of desde..hasta end up
// as one volume in period desde.
void AgrupaPeriodosFin(const QString& partida, int32_t renglon, int desde, int hasta);

// The kinds of column of the schedule grid, as the checks tell them apart.
enum class Columna { Comienzo, Fin, Periodo, Otra };

// The row of the edited cell, as the grid holds it.
struct Fila {
  QString partida;
  int32_t renglon = 0;
  vb::Variant cantidad, total, comienzo, fin;
};

// The checks of an edited cell, before it is stored: `anterior` is the cell's old value, `texto` what
// was typed; `periodo` the period of a period column. A date accepted for Comienzo or Fin first folds
// the volumes it leaves outside into its period (AgrupaPeriodosInicio / AgrupaPeriodosFin).
// Database errors go to the caller.
int16_t RevisaCelda(Columna columna, int periodo, const vb::Variant& anterior, const QString& texto,
                    const Fila& fila);

// A cell's text or value as a volume: Null, Empty and blank give 0, shown text ("1,234.50") is read.
// Error 13 when it is no number.
vb::Currency ComoVolumen(const vb::Variant& valor);

// Jet criteria for one period's row of Programa; the partida goes in as a literal (quotes doubled).
QString Criterio(const QString& partida, int32_t renglon, int periodo);

}  // namespace programa
