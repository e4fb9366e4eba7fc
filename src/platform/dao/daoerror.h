#pragma once
// Errors of the database layer: vb::Error with Jet's number and a Spanish description.
#include <QString>
#include <error.h>

namespace dao {

// Jet's Spanish description of a number; arg fills the name the message quotes (file, field, table).
QString errorDescription(int number, const QString& arg = {});

[[noreturn]] void raise(int number, const QString& arg = {});

}  // namespace dao
