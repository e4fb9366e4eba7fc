#pragma once
// Writes databases from their text form through the database layer.
#include "sample.h"
#include "schema.h"

#include <functional>
#include <memory>

namespace dao { class Database; }

namespace resources {

// The connect string of every database of the program.
inline const QString kConnect = QStringLiteral(";pwd=ZARVUMEK");

// A new database at `path` (which must not exist) with the schema's tables, indexes, relations,
// saved queries and starting rows. Errors are the layer's vb::Error.
std::shared_ptr<dao::Database> createDatabase(const QString& path, const Schema& schema,
                                              const QString& connect = kConnect);

// Fills a bid made from the template schema with the sample: general data, currencies, sections,
// concepts with amounts and dates, schedule, footer and its base format "Num. 0".
void writeSample(dao::Database& db, const Schema& schema, const SampleBid& bid);

// Writes a database to `path` through a temporary file in the same folder, so that a failure
// never leaves a half-written file behind; `fill` receives the new database.
void writeFile(const QString& path, const Schema& schema,
               const std::function<void(dao::Database&)>& fill = {}, const QString& connect = kConnect);

// Runs a command-line tool's work: an error of the text or of the database layer is printed on
// stderr after the program's name, and gives exit status 1; otherwise 0.
int runTool(const char* program, const std::function<void()>& work);

}  // namespace resources
