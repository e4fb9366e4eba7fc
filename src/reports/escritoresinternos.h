#pragma once
// What the report writers share: their anchors in the template, the values of detail cells,
// section headings, the budget total per currency and their error message.
#include "contextoreporte.h"
#include "error.h"

#include <QString>
#include <optional>
#include <vector>

namespace dao {
class Recordset;
}

namespace repgen::detalle {

// The number format of quantities and of the amounts of the schedule reports.
inline const QString kFormatoCantidad = QStringLiteral("#,###,###,##0.00##");

// A placeholder's cell in the template: the column and row a writer's lines take their place and
// look from. 0 when the template has no such placeholder.
struct Ancla {
  int col = 0;
  int ren = 0;
};
// The first cell holding `texto`, else the first holding `otro` (when given).
Ancla buscaAncla(ContextoReporte& rep, const QString& texto, const QString& otro = QString());

// A concept's value into the detail cell the report is on: text as text (a code such as "001" stays
// as typed), numbers and dates as numbers. Null leaves the cell as the template had it.
void escribeCampo(wb::Book& celda, const vb::Variant& valor);

// The description a concept prints: its full description, or its short text when it has none.
QString descripcionConcepto(dao::Recordset& concepto);

// The detail keys every concept report fills alike, each also spelt without its accent: "{renglon}",
// "{código}", "{código auxiliar}", and "{descripción}", the next line of `descripcion` cut at
// `ancho` (the rest stays for the rows that follow). Nothing for any other key.
std::optional<vb::Variant> campoConcepto(const QString& clave, dao::Recordset& concepto, QString& descripcion,
                                         int ancho);

// What is left of a description, line by line at the description anchor, each row fitted and
// checked against the page. With `continuacion` a page break among them moves no amount: the
// concept's own row went before.
void escribeContinuacion(ContextoReporte& rep, QString& descripcion, const Ancla& ancla, int ancho,
                         bool continuacion);

// The closing text of a currency's amount in words ("M.N." when the currency is not in Monedas).
QString remateMoneda(const QString& moneda);

// Heading lines of the section levels that open between `partidaAnterior` and the section of the
// current budget row: bold, at the description anchor, each with its page check. A level whose code
// is the whole section code is the last one printed.
void imprimeTitulosPartida(ContextoReporte& rep, const Ancla& descripcion, const QString& partidaAnterior);

// The closing block of the budget reports: a blank line, `titulo` with a rule under the amounts,
// then per currency its total in words and in figures, and, when VAT is to be printed, the VAT and
// the total with VAT of the currency "PESOS".
void escribeTotalesMonedas(ContextoReporte& rep, const QString& titulo, const Ancla& descripcion,
                           const Ancla& importe);

// The last `renglones` rows a writer wrote without page checks (its closing totals): when they have
// run past what the page holds, its body and the slack below it, they go to the next page, so that
// the last page foot still lands on the page it belongs to.
void mantieneEnPagina(ContextoReporte& rep, int renglones);

// The amounts of a concept per period (1..n) rounded one by one, made to add up to the concept's
// rounded amount: the difference goes to the last period whose amount stays above 0 with it; when
// none does, nothing changes.
void ajustaRedondeoPeriodos(std::vector<vb::Currency>& montos, int n, vb::Currency total);

// "No hay registros a imprimir".
void avisaSinRegistros();

// A writer's own error: "Error en <procedimiento>: " number, blank, description.
void avisaError(const QString& procedimiento, const vb::Error& e);

}  // namespace repgen::detalle
