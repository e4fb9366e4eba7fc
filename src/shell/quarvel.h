#pragma once
// The program-wide state: the open bid, the library database, the recordsets every window shares,
// the flags and the rounding unit. Everything here starts empty, zero or false and is set by the code
// that starts the program and opens and closes bids; the rest of the program reads it from here.
#include "currency.h"

#include <QString>
#include <memory>
#include <vector>

namespace dao {
class Database;
class Recordset;
class QueryDef;
}  // namespace dao

namespace quarvel {

using DatabasePtr = std::shared_ptr<dao::Database>;
using RecordsetPtr = std::shared_ptr<dao::Recordset>;
using QueryDefPtr = std::shared_ptr<dao::QueryDef>;

// The password of every database of the program: bid files, the library and the template.
inline const QString kConexion = QStringLiteral(";pwd=ZARVUMEK");

// Paths. carpetaObra ends in the separator; rutaPrograma has none at its end.
inline QString carpetaObra;
inline QString archivoObra;
inline QString rutaObra;
inline QString rutaPrograma;

// The open bid (exclusive) and its shared recordsets.
inline DatabasePtr dbObra;
inline RecordsetPtr rsPresupuesto, rsPresupuestoClon, rsPresupuestoClon2;
inline RecordsetPtr rsTotalPartidas;
inline RecordsetPtr rsMonedas, rsMonedasClon;
inline RecordsetPtr rsDatosGenerales;
inline RecordsetPtr rsPartidas, rsPartidasClon;
inline RecordsetPtr rsPrograma;
inline RecordsetPtr rsProgramaObra;
inline QueryDefPtr qdBuscaPre;
inline RecordsetPtr rsBuscaPre;
inline QueryDefPtr qdPeriodo;
inline RecordsetPtr rsPie, rsCalCab, rsCalDet;
inline RecordsetPtr rsContratistas, rsContratistas2;

// The schedule's period table: one entry per period 1..Periodos (index 0 unused), start and end serials.
struct Periodo {
  double inicio = 0;
  double fin = 0;
};
inline std::vector<Periodo> tablaPeriodos;

// 1: the contracting body's edition ("Plicadora"); 2: the contractor's edition.
inline int16_t edicion = 2;

// The library database "paratorn.kor" (shared) and its single titgen row.
inline DatabasePtr dbParametros;
inline RecordsetPtr rsTitgen;
// Report templates and options of the library database.
inline RecordsetPtr rsReportes, rsRepOpciones;

inline bool obraAbierta = false;
inline bool banderaDatGen = false;

// Rounding unit of amounts, a whole Currency amount 10^(4 - decimals): Redondea divides by it, rounds to
// the fourth decimal and multiplies back, so 10000 keeps no decimals, 100 keeps two, 1 keeps four.
// Set by general::CalculaRedondeo from the bid's Redondeo; the report window sets 100 while it works.
// Zero until a bid is opened, and KorGen::Redondea refuses to round with it (error 11).
inline vb::Currency unidadRedondeo;

// Destination of the next report: 0 printer, 1 preview.
inline int16_t destinoReporte = 0;

}  // namespace quarvel
