#pragma once
// Synthetic bids for the benchmarks: the template's structure with N concepts spread over a
// three-level section tree, codes shared by several sections, two currencies, a monthly schedule
// (twelve months unless told) and the general data filled in. The same options always give the same
// file.
#include "schema.h"

#include <QString>

namespace bench {

struct SyntheticBid {
  int concepts = 20000;
  int conceptsPerSection = 25;
  int rowsPerCode = 5;     // each code stands in about this many sections
  int periods = 12;        // monthly periods from January 2025
  unsigned seed = 1;
};

// Writes the bid to `path` (replaced when it exists); `schema` is the template's text.
void writeSyntheticBid(const QString& path, const resources::Schema& schema, const SyntheticBid& options);

}  // namespace bench
