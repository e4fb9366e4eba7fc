#pragma once
// Jet SQL to SQLite: a tokenizer-based translator (not a full parser) for statements, Find criteria
// and Sort strings. What it rewrites:
//   "text" -> 'text'            [Name] -> "Name"              #2024/01/15# -> 45306 (date serial)
//   a & b -> jet_concat(a, b)   IsNull(e) -> ((e) IS NULL)    True/False -> 1/0      Mod -> %
//   DELETE * FROM -> DELETE FROM                              SELECT TOP n ... -> SELECT ... LIMIT n
//   PARAMETERS a Text, b Long; ... [a] -> ?1 ...              Left(, Mid(, Val(, Nz(, ... -> jet_left(, ...
// LIKE keeps its keyword: the connection's like() follows Jet's wildcards (* ? # [..] [!..]).
// Quoted literals are never touched; a trailing ";" is dropped.
#include "daotypes.h"

#include <QString>
#include <vector>

namespace dao::jetsql {

struct ParameterDecl {
  QString name;
  DataType type = DataType::Text;
};

// The parts of a top-level SELECT, as SQLite text (empty when absent).
struct SelectShape {
  bool isSelect = false;
  bool distinct = false;
  bool grouped = false;     // GROUP BY or HAVING
  bool aggregate = false;   // an aggregate function in the select list
  bool compound = false;    // UNION / EXCEPT / INTERSECT
  QString selectList;
  QString fromClause;
  QString whereClause;
  QString groupHaving;      // "GROUP BY ... HAVING ..." as written
  QString orderBy;          // without the keywords
  QString limit;            // "LIMIT n" with the keyword
  QString singleTable;      // the one table of FROM (unquoted), when FROM names one table and nothing else
  QString qualifier;        // its alias, or the table name
};

struct Translation {
  QString sql;                         // SQLite text
  std::vector<ParameterDecl> params;   // declared by PARAMETERS; bound as ?1, ?2, ...
  SelectShape shape;
};

enum class Kind { Statement, Expression, OrderBy };

// Throws vb::Error 3075 (statement), 3077 (criteria) or 3000-range numbers on text it cannot read.
Translation translate(const QString& jet, Kind kind = Kind::Statement);

// Date literal body ("2024/01/15", "1/15/2024 10:30", "2024-01-15 10:30:00 PM"): true and the serial.
bool parseDateLiteral(const QString& body, double& serial);

// Jet type names of a PARAMETERS clause ("Text", "Long", "Currency", "DateTime", ...).
DataType parameterType(const QString& jetTypeName);

// "Name" quoted for SQLite.
QString quoteIdent(const QString& name);
// 'text' with quotes doubled.
QString quoteString(const QString& text);

}  // namespace dao::jetsql
