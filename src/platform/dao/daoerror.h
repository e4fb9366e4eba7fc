#pragma once
// Errors of the database layer: vb::Error with Jet's number and a Spanish description.
#include <QString>
#include <error.h>

namespace dao {

// Jet's Spanish description of a number; arg fills the name the message quotes (file, field, table).
QString errorDescription(int number, const QString& arg = {});

[[noreturn]] void raise(int number, const QString& arg = {});

// Whether an error says that the file could not be written at all, whatever was written: read-only
// (3027), disk full (61), the disk or the engine failed (3000); rather than that a value was refused.
bool FileRefusedWrite(int number);

}  // namespace dao
