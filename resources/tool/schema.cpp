#include "schema.h"

#include "textreader.h"

#include <QFile>
#include <QRegularExpression>

namespace resources {

namespace {

bool sameName(const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

FieldType parseType(const QString& word, int& size, const TextReader& r) {
  static const QRegularExpression text(QStringLiteral("^Text\\((\\d+)\\)$"),
                                       QRegularExpression::CaseInsensitiveOption);
  size = 0;
  if (const auto m = text.match(word); m.hasMatch()) {
    size = m.captured(1).toInt();
    if (size < 1 || size > 255) r.fail(QStringLiteral("a Text field holds 1 to 255 characters"));
    return FieldType::Text;
  }
  static const std::pair<const char*, FieldType> names[] = {
      {"Boolean", FieldType::Boolean}, {"Byte", FieldType::Byte},     {"Integer", FieldType::Integer},
      {"Long", FieldType::Long},       {"Currency", FieldType::Currency}, {"Single", FieldType::Single},
      {"Double", FieldType::Double},   {"Date", FieldType::Date},     {"Memo", FieldType::Memo}};
  for (const auto& [name, type] : names)
    if (sameName(word, QLatin1String(name))) return type;
  if (sameName(word, QStringLiteral("Text"))) r.fail(QStringLiteral("a Text field needs its size: Text(n)"));
  r.fail(QStringLiteral("unknown field type \"%1\"").arg(word));
}

QStringList fieldList(const QString& text) {
  QStringList fields;
  for (const QString& f : text.split(QLatin1Char(','))) fields.append(f.trimmed());
  return fields;
}

void checkFields(const TableDef& table, const QStringList& fields, const TextReader& r) {
  if (fields.isEmpty() || fields.contains(QString())) r.fail(QStringLiteral("a key names its fields"));
  for (const QString& f : fields)
    if (!table.field(f)) r.fail(QStringLiteral("no field %1 in table %2").arg(f, table.name));
}

FieldDef parseField(const QString& line, const TableDef& table, const TextReader& r) {
  static const QRegularExpression blanks(QStringLiteral("\\s+"));
  FieldDef f;
  QString rest = line;
  auto nextWord = [&]() {
    rest = rest.trimmed();
    const qsizetype end = rest.indexOf(blanks);
    const QString word = end < 0 ? rest : rest.left(end);
    rest = end < 0 ? QString() : rest.mid(end);
    return word;
  };
  f.name = nextWord();
  const QString typeWord = nextWord();
  if (typeWord.isEmpty()) r.fail(QStringLiteral("field %1 has no type").arg(f.name));
  f.type = parseType(typeWord, f.size, r);
  if (table.field(f.name)) r.fail(QStringLiteral("field %1 appears twice").arg(f.name));
  const bool textual = f.type == FieldType::Text || f.type == FieldType::Memo;
  for (QString word = nextWord(); !word.isEmpty(); word = nextWord()) {
    if (sameName(word, QStringLiteral("required"))) {
      f.required = true;
    } else if (sameName(word, QStringLiteral("nozerolength"))) {
      if (!textual) r.fail(QStringLiteral("nozerolength applies to Text and Memo fields only"));
      f.allowZeroLength = false;
    } else if (sameName(word, QStringLiteral("default"))) {
      f.defaultValue = rest.trimmed();
      if (f.defaultValue.isEmpty()) r.fail(QStringLiteral("default needs a value"));
      break;
    } else {
      r.fail(QStringLiteral("unknown field attribute \"%1\"").arg(word));
    }
  }
  if (!textual) f.allowZeroLength = false;
  return f;
}

}  // namespace

const FieldDef* TableDef::field(const QString& n) const {
  for (const FieldDef& f : fields)
    if (sameName(f.name, n)) return &f;
  return nullptr;
}

const TableDef* Schema::table(const QString& n) const {
  for (const TableDef& t : tables)
    if (sameName(t.name, n)) return &t;
  return nullptr;
}

Schema parseSchema(const QString& text, const QString& origin) {
  static const QRegularExpression relation(
      QStringLiteral("^RELATION\\s+(\\S+)\\.(\\S+)\\s*->\\s*(\\S+)\\.(\\S+)$"));
  Schema schema;
  TextReader r(text, origin);
  TableDef* table = nullptr;
  QueryDef* query = nullptr;
  int queryLine = 0;
  QStringList queryLines;
  while (r.next(!query)) {
    const QString& line = r.line();
    if (query) {  // a query's text runs to its END line, verbatim
      if (line == QStringLiteral("END")) {
        if (queryLines.isEmpty()) r.fail(QStringLiteral("query %1 has no SQL").arg(query->name));
        query->sql = queryLines.join(QLatin1Char('\n'));
        query = nullptr;
        queryLines.clear();
      } else if (!line.isEmpty()) {
        queryLines.append(line);
      }
      continue;
    }
    if (r.indented()) {
      if (!table) r.fail(QStringLiteral("an indented line belongs to a TABLE"));
      if (line.startsWith(QStringLiteral("PRIMARY KEY "))) {
        for (const IndexDef& ix : table->indexes)
          if (ix.primary) r.fail(QStringLiteral("table %1 has two primary keys").arg(table->name));
        IndexDef ix{QStringLiteral("PrimaryKey"), fieldList(line.mid(12)), true};
        checkFields(*table, ix.fields, r);
        table->indexes.push_back(ix);
      } else if (line.startsWith(QStringLiteral("INDEX "))) {
        const QString body = line.mid(6).trimmed();
        const qsizetype blank = body.indexOf(QLatin1Char(' '));
        if (blank < 0) r.fail(QStringLiteral("INDEX <name> <field>, ..."));
        IndexDef ix{body.left(blank), fieldList(body.mid(blank + 1)), false};
        checkFields(*table, ix.fields, r);
        table->indexes.push_back(ix);
      } else {
        table->fields.push_back(parseField(line, *table, r));
      }
      continue;
    }
    table = nullptr;
    if (line.startsWith(QStringLiteral("TABLE "))) {
      const QString name = line.mid(6).trimmed();
      if (name.isEmpty() || name.contains(QLatin1Char(' '))) r.fail(QStringLiteral("TABLE <name>"));
      if (schema.table(name)) r.fail(QStringLiteral("table %1 appears twice").arg(name));
      schema.tables.push_back(TableDef{name, {}, {}});
      table = &schema.tables.back();
    } else if (line.startsWith(QStringLiteral("QUERY "))) {
      const QString name = line.mid(6).trimmed();
      if (name.isEmpty() || name.contains(QLatin1Char(' '))) r.fail(QStringLiteral("QUERY <name>"));
      for (const QueryDef& q : schema.queries)
        if (sameName(q.name, name)) r.fail(QStringLiteral("query %1 appears twice").arg(name));
      schema.queries.push_back(QueryDef{name, QString()});
      query = &schema.queries.back();
      queryLine = r.lineNumber();
    } else if (const auto m = relation.match(line); m.hasMatch()) {
      RelationDef rel{m.captured(1), m.captured(2), m.captured(3), m.captured(4)};
      for (const auto& [t, f] : {std::pair{rel.referredTable, rel.referredField}, {rel.table, rel.field}}) {
        const TableDef* def = schema.table(t);
        if (!def || !def->field(f)) r.fail(QStringLiteral("no field %1.%2 for the relation").arg(t, f));
      }
      schema.relations.push_back(rel);
    } else if (line.startsWith(QStringLiteral("INSERT INTO "), Qt::CaseInsensitive)) {
      schema.statements.append(line);
    } else {
      r.fail(QStringLiteral("cannot read \"%1\"").arg(line));
    }
  }
  if (query) r.failAt(queryLine, QStringLiteral("query %1 has no END").arg(query->name));
  for (const TableDef& t : schema.tables)
    if (t.fields.empty()) throw std::runtime_error(QStringLiteral("%1: table %2 has no fields").arg(origin, t.name).toStdString());
  return schema;
}

QString readTextFile(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly))
    throw std::runtime_error(QStringLiteral("%1: %2").arg(path, file.errorString()).toStdString());
  return QString::fromUtf8(file.readAll());
}

Schema loadSchema(const QString& path) { return parseSchema(readTextFile(path), path); }

}  // namespace resources
