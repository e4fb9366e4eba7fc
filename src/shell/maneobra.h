#pragma once
// The bid file's life cycle: choosing, opening, closing, recent bids, repair (compaction), print gate.
#include <QString>

namespace maneobra {

// Compacts carpeta+archivo in place: the file is first renamed to its name without the last four
// characters plus ".bak" (an older .bak is replaced), then compacted back under its own name with
// the password of clave (";pwd=..."), which the compacted file keeps. The .bak stays.
// Errors are shown to the user (3356: the database is in use); none reaches the caller.
// Returns whether the compacted file was written.
bool RepararObra(const QString& carpeta, const QString& archivo, const QString& clave);

}  // namespace maneobra
