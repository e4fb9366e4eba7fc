#pragma once
// Table, index and relation definitions. Build a table with CreateTableDef, CreateField, the field
// setters, CreateIndex, then Database::TableDefs().Append(td):
//
//   auto td = db->CreateTableDef("Monedas");
//   auto f = td->CreateField("Moneda", DataType::Text, 10);  f->SetRequired(true);
//   td->Fields().Append(f);
//   auto pk = td->CreateIndex("PrimaryKey");  pk->SetPrimary(true);  pk->AppendField("Moneda");
//   td->Indexes().Append(pk);
//   db->TableDefs().Append(td);
//
// Text fields compare ignoring letter case (Ñ/ñ and accented letters too; á stays apart from a).
// Size, Required, AllowZeroLength and DefaultValue are kept exactly as set and read back as set.
// A primary key gives the table its row order. Fields appended to a table already in the database
// are added as columns (existing rows take the default value).
#include "daotypes.h"
#include "field.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

namespace dao {

class Database;

class Index {
public:
  explicit Index(const QString& name) : name_(name) {}
  QString Name() const { return name_; }
  bool Primary() const { return primary_; }
  bool Unique() const { return unique_ || primary_; }
  void SetPrimary(bool b) { primary_ = b; }
  void SetUnique(bool b) { unique_ = b; }
  QStringList Fields() const { return fields_; }
  void AppendField(const QString& fieldName) { fields_ << fieldName; }

private:
  QString name_;
  bool primary_ = false;
  bool unique_ = false;
  QStringList fields_;
};

class IndexList {
public:
  int Count() const { return int(items_.size()); }
  Index& Item(int index) const;
  Index& Item(const QString& name) const;   // 3265
  // On a table in the database the index is created at once (a second primary key: 3283).
  void Append(const std::shared_ptr<Index>& idx);

private:
  friend class TableDef;
  friend class TableDefList;
  std::vector<std::shared_ptr<Index>> items_;
  std::function<void(Index&)> onAppend_;
};

class TableDef {
public:
  explicit TableDef(const QString& name);
  TableDef(const TableDef&) = delete;   // held by reference (TableDefs().Item) or shared_ptr
  TableDef& operator=(const TableDef&) = delete;
  QString Name() const { return name_; }
  FieldList& Fields() { return fields_; }
  IndexList& Indexes() { return indexes_; }
  std::shared_ptr<Field> CreateField(const QString& name, DataType type, int size = 0) const;
  std::shared_ptr<Index> CreateIndex(const QString& name) const;

private:
  friend class TableDefList;
  friend class Database;
  void attach(const std::shared_ptr<Database>& db);   // the table exists in db from now on
  QString name_;
  FieldList fields_;
  IndexList indexes_;
  std::weak_ptr<Database> db_;
};

class TableDefList {
public:
  int Count();
  TableDef& Item(int index);
  TableDef& Item(const QString& name);    // letter case ignored; 3265
  bool Contains(const QString& name);
  // Creates the table with its fields and indexes (3010 when a table or query has the name).
  void Append(const std::shared_ptr<TableDef>& td);
  void Delete(const QString& name);
  void Refresh();

private:
  friend class Database;
  void ensureFresh();
  std::weak_ptr<Database> db_;
  std::vector<std::shared_ptr<TableDef>> items_;
  int version_ = -1;
};

// An enforced one-to-many relation: a row of Table whose key a row of ForeignTable uses can be
// neither deleted nor have its key changed (error 3200 naming ForeignTable). Rows of ForeignTable
// may hold values the table does not have.
class Relation {
public:
  Relation(const QString& name, const QString& table, const QString& foreignTable)
      : name_(name), table_(table), foreignTable_(foreignTable) {}
  QString Name() const { return name_; }
  QString Table() const { return table_; }
  QString ForeignTable() const { return foreignTable_; }
  void AppendField(const QString& field, const QString& foreignName) { fields_ << field; foreign_ << foreignName; }
  QStringList Fields() const { return fields_; }
  QStringList ForeignNames() const { return foreign_; }

private:
  QString name_, table_, foreignTable_;
  QStringList fields_, foreign_;
};

class RelationList {
public:
  int Count();
  Relation& Item(int index);
  void Append(const std::shared_ptr<Relation>& rel);   // 3012 on a name already there

private:
  friend class Database;
  void load();
  std::weak_ptr<Database> db_;
  std::vector<std::shared_ptr<Relation>> items_;
  bool loaded_ = false;
};

}  // namespace dao
