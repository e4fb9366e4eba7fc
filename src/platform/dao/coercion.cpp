// Write-time conversion of Date and Yes/No fields, for whatever SQL writes them.
//
// Every Date and Yes/No field has two triggers, "jetcoerce.<table>.<field>.i" (after INSERT) and
// ".u" (after UPDATE of the field), that rewrite the new value with jet_coerce when it is not
// already what Jet stored: a text in a Date field becomes the date's serial (vb::parseDate rules,
// error 3421 otherwise, the statement undone); a Yes/No value other than 0 and 1 becomes 1 (a text
// that is not a number or True/False: 3421). Null stays Null. Triggers rather than rewriting the
// statements: they also see values computed by expressions (IIF, INSERT ... SELECT) and
// parameters. They are not fields, tables or queries, so TableDefs and QueryDefs do not list them;
// VACUUM INTO copies them. A plain SQLite connection that writes these fields must register a
// jet_coerce function of its own.
#include "connection.h"

#include "jetsql.h"

#include <QSet>

namespace dao::detail {
namespace {

struct CoercedField {
  QString table;
  QString field;
  DataType type;
};

QString triggerName(const QString& table, const QString& field, const char* event) {
  return QStringLiteral("jetcoerce.%1.%2.%3").arg(table, field, QLatin1String(event));
}

// When a stored value needs converting.
QString needsConverting(DataType type, const QString& value) {
  return type == DataType::Date ? QStringLiteral("typeof(%1) = 'text'").arg(value)
                                : QStringLiteral("%1 NOT IN (0, 1)").arg(value);
}

// The Date and Yes/No fields of the file's tables that lack their triggers.
std::vector<CoercedField> uncovered(Connection& c) {
  QSet<QString> present;
  QStringList tables;
  Stmt st = c.prepare(QStringLiteral(
      "SELECT type = 'trigger', name FROM sqlite_schema WHERE (type = 'trigger' AND name GLOB 'jetcoerce.*') OR "
      "(type = 'table' AND name NOT GLOB 'sqlite_*' AND name NOT GLOB 'MSys*') ORDER BY rowid"));
  while (c.step(st.get())) {
    const QString name = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st.get(), 1)));
    if (sqlite3_column_int(st.get(), 0)) present.insert(lower(name));
    else tables << name;
  }
  st.reset();
  std::vector<CoercedField> out;
  for (const QString& t : tables) {
    const TableInfo* ti = c.table(t);
    if (!ti) continue;
    for (const FieldInfo& f : ti->fields) {
      if (f.type != DataType::Date && f.type != DataType::Boolean) continue;
      if (present.contains(lower(triggerName(ti->name, f.name, "i"))) &&
          present.contains(lower(triggerName(ti->name, f.name, "u"))))
        continue;
      out.push_back({ti->name, f.name, f.type});
    }
  }
  return out;
}

// Converts what earlier writes left (a value that does not convert stays: it still reads as
// before), then adds the triggers.
QString coercionSql(const CoercedField& f) {
  const QString table = jetsql::quoteIdent(f.table), field = jetsql::quoteIdent(f.field);
  const QString type = QString::number(int(f.type));
  const QString body = QStringLiteral("UPDATE %1 SET %2 = jet_coerce(NEW.%2, %3) WHERE rowid = NEW.rowid;")
                           .arg(table, field, type);
  const QString when = needsConverting(f.type, QStringLiteral("NEW.") + field);
  return QStringLiteral("UPDATE %1 SET %2 = jet_coerce(%2, %3, 1) WHERE %4;")
             .arg(table, field, type, needsConverting(f.type, field)) +
         QStringLiteral("CREATE TRIGGER IF NOT EXISTS %1 AFTER INSERT ON %2 WHEN %3 BEGIN %4 END;")
             .arg(jetsql::quoteIdent(triggerName(f.table, f.field, "i")), table, when, body) +
         QStringLiteral("CREATE TRIGGER IF NOT EXISTS %1 AFTER UPDATE OF %2 ON %3 WHEN %4 BEGIN %5 END;")
             .arg(jetsql::quoteIdent(triggerName(f.table, f.field, "u")), field, table, when, body);
}

}  // namespace

void Connection::syncCoercion() {
  if (schemaVersion() == coercionVersion_) return;
  for (const CoercedField& f : uncovered(*this)) exec(coercionSql(f));
  coercionVersion_ = schemaVersion();
}

void Connection::syncCoercionAtOpen() noexcept {
  try {
    if (sqlite3_db_readonly(db_, "main") == 1 || access_ != FileAccess::Writable) return;
    if (uncovered(*this).empty()) {
      coercionVersion_ = schemaVersion();
      return;
    }
    beginWrite();
    syncCoercion();   // when the action's transaction was open already
    commit();
  } catch (...) {
    // Busy or not writable: the first write converts.
  }
}

}  // namespace dao::detail
