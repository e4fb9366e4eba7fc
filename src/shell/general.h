#pragma once
// Procedures of module general that several windows share.
#include "variant.h"

#include <QString>
#include <cstdint>
#include <memory>

class clsListaOpciones;
namespace footer {
class GeneraSql;
}

namespace general {

// The program-wide instances of the utility classes that keep state, each created on first use by
// whoever needs it (the option-page navigator by the general-data dialog, the statement builder by the
// footer windows). descargaObjetos releases them when the main window unloads; an instance used again
// afterwards is created anew. The other utilities (esNulo, BorraEnter, KorGen, valX, the window layer's
// text selection, Enter-as-Tab and placement) hold no state and are plain functions.
inline std::shared_ptr<clsListaOpciones> objListaOpciones;
inline std::shared_ptr<footer::GeneraSql> objGeneraSql;
void descargaObjetos();

// Sets quarvel::unidadRedondeo from the bid's Redondeo (decimals kept, 0..4): 10000 divided by 10 once
// per decimal; Null, Empty or 0 keep whole units (10000). The caller reads the field
// (DatosGenerales.Redondeo of the open bid) and passes it; errors of a value that is not a number
// go to the caller.
void CalculaRedondeo(const vb::Variant& redondeo);
// The same from the open bid: DatosGenerales.Redondeo of quarvel::rsDatosGenerales.
void CalculaRedondeo();

// The path of a file of the program folder (quarvel::rutaPrograma): "paratorn.kor", "TORNAVO.KOR",
// "Parator1.kor"... The program spells these names several ways, so an existing file whose name differs
// only in letter case is the one meant.
QString ArchivoPrograma(const QString& nombre);

// Splits a path after its last separator: carpeta keeps the separator, archivo is the rest; a path
// without one gives an empty carpeta. Both "/" and "\" separate, so paths stored by the Windows
// program (library database, recent bids) split as well as our own.
void SeparaRuta(const QString& ruta, QString& carpeta, QString& archivo);

// True when two paths name the same bid file. Each stands for the file it would open (a name no file
// has is the file of the same name in other letters, as the database layer opens it), compared by
// canonical path: a symbolic link is the file it points to, and names differing only in letter case
// are two files where both exist. Paths to no file compare as their clean absolute text. Blanks
// around a path do not count.
bool MismaObra(const QString& a, const QString& b);

// Number of schedule periods from fechaIni to fechaFin, both included: periodicidad 1 monthly,
// 2 fortnightly (1st-15th, 16th-last day), 3 weekly (Monday-Sunday), 4 daily. 0 when either date
// is null, blank or not a date, or periodicidad is outside 1..4. A count beyond 32767 is error 6.
int16_t CuentaPeriodos(const vb::Variant& fechaIni, const vb::Variant& fechaFin, int16_t periodicidad);

// True when a budget row of the open bid uses the currency (a find on quarvel::rsPresupuestoClon,
// which is left on that row). Database errors go to the caller.
bool MonedaEnUso(const QString& moneda);

// The number of budget rows of section partida, row renglon: the parameters of quarvel::qdBuscaPre are
// set, quarvel::rsBuscaPre is read again and counted. Database errors go to the caller.
int32_t CuentaBuscaPre(const vb::Variant& partida, const vb::Variant& renglon);

}  // namespace general
