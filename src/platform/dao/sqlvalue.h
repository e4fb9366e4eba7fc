#pragma once
// Between SQLite values and VB Variants, and the field-type checks Jet made on assignment.
#include "daotypes.h"

#include <sqlite3.h>
#include <variant.h>

namespace dao::detail {

// A stored value read as a field of the given DAO type (Currency rounded half to even at 1e-4,
// Boolean from any nonzero, Date as a serial, a text date in a Date field converted when it reads as one).
vb::Variant readColumn(sqlite3_stmt* st, int col, DataType type);
// A value of an expression column (no DAO type): Long, Double, String or Null.
vb::Variant readDynamic(sqlite3_stmt* st, int col);
vb::Variant fromValue(sqlite3_value* v);

void bindVariant(sqlite3_stmt* st, int index, const vb::Variant& v);
void resultVariant(sqlite3_context* ctx, const vb::Variant& v);

// Converts a value assigned to a field of the type: 3421 when it cannot, 3163 when a text is longer than size.
vb::Variant coerce(const vb::Variant& v, DataType type, int size);

// A Jet DefaultValue text ("0", "\" \"", "'PESOS'", "No", "True") as a value of the type; Empty when none.
vb::Variant defaultValueOf(const QString& defaultText, DataType type);
// The same as an SQLite literal for a column DEFAULT clause; empty when there is none.
QString defaultLiteral(const QString& defaultText, DataType type);

}  // namespace dao::detail
