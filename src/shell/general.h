#pragma once
// Procedures of module general that several windows share.
#include "variant.h"

#include <QString>
#include <cstdint>

namespace general {

// Sets quarvel::unidadRedondeo from the bid's Redondeo (decimals kept, 0..4): 10000 divided by 10 once
// per decimal; Null, Empty or 0 keep whole units (10000). The caller reads the field
// (DatosGenerales.Redondeo of the open bid) and passes it; errors of a value that is not a number
// go to the caller.
void CalculaRedondeo(const vb::Variant& redondeo);

// Splits a path after its last separator: carpeta keeps the separator, archivo is the rest; a path
// without one gives an empty carpeta. Both "/" and "\" separate, so paths stored by the Windows
// program (library database, recent bids) split as well as our own.
void SeparaRuta(const QString& ruta, QString& carpeta, QString& archivo);

// Number of schedule periods from fechaIni to fechaFin, both included: periodicidad 1 monthly,
// 2 fortnightly (1st-15th, 16th-last day), 3 weekly (Monday-Sunday), 4 daily. 0 when either date
// is null, blank or not a date, or periodicidad is outside 1..4. A count beyond 32767 is error 6.
int16_t CuentaPeriodos(const vb::Variant& fechaIni, const vb::Variant& fechaFin, int16_t periodicidad);

}  // namespace general
