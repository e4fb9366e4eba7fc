#pragma once
// The five report writers and the quantity check of the schedule-based reports.
//
// Each writer builds its report kind from the template sheet of the report context into the report
// sheet, reading the open bid through the shared recordsets of quarvel:
//   reportePresupuesto         "Presupuesto": every concept under its section headings, section
//                              totals per currency with the amount in words, the budget total per
//                              currency, and VAT when asked;
//   reporteTotalesPresupuesto  "Totales del presupuesto": one row per section and currency;
//   reporteProgramaObra        "Programa de obra": the volume of every concept per period;
//   reporteMontosMensuales     "Montos mensuales": the amount of every concept per period, with
//                              period totals and the totals rounded up to whole pesos;
//   reporteConceptosPrecios    "Conceptos,cantidades y precios": quantities, prices and amounts.
// The report window registers them with the engine:
//   repgen::registraEscritores(contexto);   // or contexto.setEscritor(kind, repgen::reporteX)
// The three schedule-based writers first run validaCantidadesPrograma and write nothing when it
// lists differences. A writer shows its own messages (an empty bid, the row limit, its errors) and
// never throws.
#include "contextoreporte.h"

#include <QString>
#include <vector>

namespace repgen {

void reportePresupuesto(ContextoReporte& rep);
void reporteTotalesPresupuesto(ContextoReporte& rep);
void reporteProgramaObra(ContextoReporte& rep);
void reporteMontosMensuales(ContextoReporte& rep);
void reporteConceptosPrecios(ContextoReporte& rep);

// The writer of each report kind, for ContextoReporte::setEscritor.
ContextoReporte::Escritor escritorReporte(int tipo);
// Registers the five writers with the context.
void registraEscritores(ContextoReporte& rep);

// Compares every concept's quantity with the volumes programmed for it. Differences (volumes that
// do not add up to the quantity, or a quantity with no volume at all) are listed in the error
// window, shown modal (unless `muestraLista` is false: the user has seen them for this request), and
// the result is true: the report must not be written. Otherwise each concept's TotalVol becomes the
// sum of its volumes and the result is false. Database errors go to the caller.
bool validaCantidadesPrograma(bool muestraLista = true);

// The text of the error list: its title and heading lines, then one line per concept (partida, row,
// code) in fixed columns, at most 1000 of them.
struct ConceptoDiferente {
  QString partida;
  QString renglon;
  QString codigo;
};
QString listaDiferencias(const std::vector<ConceptoDiferente>& conceptos);

// The error window's part the non-visual code calls: FrmErrores filled with the text and shown modal.
void muestraErrores(const QString& texto);

}  // namespace repgen
