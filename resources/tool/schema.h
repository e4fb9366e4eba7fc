#pragma once
// The text form of a database's structure (tables, fields, keys, relations, saved queries and
// starting rows), as kept in resources/*.kor.txt. See TORNAVO.KOR.txt for the format.
#include <QString>
#include <QStringList>
#include <vector>

namespace resources {

// DAO's field type numbers.
enum class FieldType : int {
  Boolean = 1, Byte = 2, Integer = 3, Long = 4, Currency = 5, Single = 6, Double = 7, Date = 8,
  Text = 10, Memo = 12
};

struct FieldDef {
  QString name;
  FieldType type = FieldType::Text;
  int size = 0;                // characters of a Text field; 0 otherwise
  bool required = false;
  bool allowZeroLength = true; // Text and Memo only
  QString defaultValue;        // Jet literal as written, empty for none
};

struct IndexDef {
  QString name;
  QStringList fields;
  bool primary = false;
};

struct TableDef {
  QString name;
  std::vector<FieldDef> fields;
  std::vector<IndexDef> indexes;
  const FieldDef* field(const QString& name) const;  // by name, ignoring case
};

// Rows of `table` refer to `referred` through the field; deleting a referred row that is in use
// raises error 3200.
struct RelationDef {
  QString referredTable, referredField, table, field;
};

struct QueryDef {
  QString name;
  QString sql;  // lines joined with "\n", as the text stands in the file
};

struct Schema {
  std::vector<TableDef> tables;
  std::vector<RelationDef> relations;
  std::vector<QueryDef> queries;
  QStringList statements;  // INSERT statements, in file order
  const TableDef* table(const QString& name) const;  // by name, ignoring case
};

// Reads the text; a line it cannot read throws std::runtime_error naming `origin` and the line.
Schema parseSchema(const QString& text, const QString& origin = QStringLiteral("schema"));
Schema loadSchema(const QString& path);

// Reads a whole UTF-8 text file; throws std::runtime_error when it cannot.
QString readTextFile(const QString& path);

}  // namespace resources
