#pragma once
#include <sqlite3.h>

namespace dao::detail {
// Registers on a connection: the JETTEXT collation, Jet's LIKE, exact sum()/total(), jet_concat
// (the "&" operator), the jet_* scalar functions the translator maps Jet's names to, and
// jet_coerce, which the files' write-time conversion triggers call.
void registerJetFunctions(sqlite3* db);
}
