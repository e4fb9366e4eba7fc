#pragma once
// The schedule's periods, one rule for the whole program: the schedule window, the schedule paste,
// the period table and the schedule reports all number a date's period here. Periods are counted
// from 1, the period holding the project's start (FechaInicioProy), by the bid's periodicity:
//   1 monthly: calendar months;
//   2 fortnightly: the 1st to the 15th and the 16th to the month's last day;
//   3 weekly: Monday to Sunday, as general::CuentaPeriodos counts them;
//   4 daily: one day each.
// So the period of the project's end is the period count CuentaPeriodos gives for the project.
// Dates are serial day numbers; a time of day is ignored.
#include <variant.h>

#include <cstdint>

namespace periodos {

enum Periodicidad : int16_t { kMensual = 1, kQuincenal = 2, kSemanal = 3, kDiaria = 4 };

// The periodicity a stored value stands for: 2, 3 and 4 as they are; anything else (Null, 0, a value
// out of range) monthly, as every bid was before periodicities other than monthly were kept.
int16_t periodicidadDe(const vb::Variant& valor);
// The periodicity of the open bid (DatosGenerales.Periodicidad). Error 91 with no bid open.
int16_t periodicidadObra();

// The period of `fecha` in a schedule whose period 1 holds `inicio`; dates before that period give
// 0 or less.
int periodoDe(double fecha, double inicio, int16_t periodicidad);

// The calendar period holding a date: its first and its last day.
double inicioDe(double fecha, int16_t periodicidad);
double finDe(double fecha, int16_t periodicidad);

// The first day of period n (n >= 1) of a schedule whose period 1 holds `inicio`. Months start on
// their 1st, as the monthly period table has them; the first period of any other periodicity is cut
// at the project's start, so it starts on `inicio` itself.
double primerDia(int periodo, double inicio, int16_t periodicidad);

}  // namespace periodos
