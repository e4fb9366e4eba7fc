#pragma once
// Small rules the entry windows share.
#include "variant.h"

#include <QString>
#include <memory>

namespace dao {
class Recordset;
}

namespace entrada {

// Posted message 1 of the grids that refuse edits of a closed bid.
inline const QString kBaseCerrada = QStringLiteral("La base de datos esta cerrada no se puede modificar");

// The message of a typed value that is to be a number and is not: what the cell takes, in one short
// sentence. `celda` names it ("El precio"); `condicion` narrows the number (" distinto de 0"), or is
// empty.
QString pideNumero(const QString& celda, const QString& condicion = QString());

// The bid is closed: BaseCerrada Or Cerrada of the general data (Null counts as False). Without
// general data nothing is closed. Database errors go to the caller.
bool obraCerrada();

// A shared recordset of the open bid; error 91 when it is not open (no bid, or a step of the opening
// failed).
dao::Recordset& abierto(const std::shared_ptr<dao::Recordset>& recordset);

// A text as a literal of Jet criteria or SQL between single quotes: a quote in it is doubled, so the
// text is never read as criteria.
QString literal(const QString& texto);
QString literal(const vb::Variant& valor);

// A cell's new value against its old one: the same number (typed "16.80" over a stored 16.8), or the
// same text.
bool mismoValor(const vb::Variant& nuevo, const vb::Variant& viejo);

}  // namespace entrada
