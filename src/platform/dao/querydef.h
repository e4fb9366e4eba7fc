#pragma once
// Saved queries: their Jet SQL text is kept verbatim (SQL() gives back exactly what was set).
// A saved query without parameters can stand in FROM like a table ("SELECT * FROM TotalPartidas");
// one with a PARAMETERS clause is opened through its QueryDef after setting the parameters, and
// Requery of that recordset reads their current values.
#include "daotypes.h"
#include "recordset.h"

#include <QString>
#include <variant.h>

#include <memory>
#include <vector>

namespace dao {

class Database;
class Recordset;

class Parameter {
public:
  Parameter(const QString& name, DataType type) : name_(name), type_(type) {}
  QString Name() const { return name_; }
  DataType Type() const { return type_; }
  vb::Variant Value() const { return value_; }
  void SetValue(const vb::Variant& v);   // converted to the declared type (3421)

private:
  QString name_;
  DataType type_;
  vb::Variant value_ = vb::Variant::null();
};

class QueryDef : public std::enable_shared_from_this<QueryDef> {
public:
  QString Name() const { return name_; }
  QString SQL() const { return sql_; }
  void SetSQL(const QString& jetSql);     // stored at once for a saved query (3075 on bad text)
  int ParameterCount() const { return int(params_.size()); }
  Parameter& Parameters(int index);
  Parameter& Parameters(const QString& name);   // letter case ignored; 3265
  std::shared_ptr<Recordset> OpenRecordset(RecordsetType type = RecordsetType::Default);
  void Execute(int options = 0);          // an action query
  void Close() {}

  // Internal: use Database::CreateQueryDef.
  QueryDef(const std::shared_ptr<Database>& db, const QString& name, const QString& sql);

private:
  friend class QueryDefList;
  friend class Database;
  friend struct Recordset::Impl;
  void parse();
  std::weak_ptr<Database> db_;
  QString name_;
  QString sql_;
  bool saved_ = false;
  std::vector<Parameter> params_;
};

class QueryDefList {
public:
  int Count();
  QueryDef& Item(int index);
  QueryDef& Item(const QString& name);       // letter case ignored; 3265
  std::shared_ptr<QueryDef> Get(const QString& name);
  bool Contains(const QString& name);
  void Append(const std::shared_ptr<QueryDef>& q);   // 3012 when a query or table has the name
  void Delete(const QString& name);
  void Refresh();

private:
  friend class Database;
  void ensureLoaded();
  std::weak_ptr<Database> db_;
  std::vector<std::shared_ptr<QueryDef>> items_;
  bool loaded_ = false;
};

}  // namespace dao
