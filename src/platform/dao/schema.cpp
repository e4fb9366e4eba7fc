// Field, table, index, relation and query definitions, kept in the MSys* catalogue tables.
#include "connection.h"
#include "daoerror.h"
#include "database.h"
#include "jetsql.h"
#include "sqlvalue.h"

namespace dao {

using detail::Connection;
using detail::Stmt;
using jetsql::quoteIdent;
using jetsql::quoteString;

std::shared_ptr<Recordset> openRecordset(const std::shared_ptr<Database>& db, const QString& source,
                                         RecordsetType type, const std::shared_ptr<QueryDef>& query);

namespace {

void bindText(sqlite3_stmt* st, int i, const QString& s) {
  const QByteArray b = s.toUtf8();
  sqlite3_bind_text(st, i, b.constData(), int(b.size()), SQLITE_TRANSIENT);
}

QString text(sqlite3_stmt* st, int col) {
  const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(st, col));
  return p ? QString::fromUtf8(p) : QString();
}

// Runs f inside a savepoint of the action's transaction: all of it or none.
template <class F>
void atomically(Connection& c, F&& f) {
  c.beginWrite();
  c.exec(QStringLiteral("SAVEPOINT ddl"));
  try {
    f();
    c.syncCoercion();   // a new Date or Yes/No field gets its conversion with it
    c.exec(QStringLiteral("RELEASE ddl"));
  } catch (...) {
    c.execQuiet(QStringLiteral("ROLLBACK TO ddl; RELEASE ddl"));
    c.schemaChanged();
    throw;
  }
  c.schemaChanged();
}

QString constraintName(int number, const QString& field) { return quoteIdent(QStringLiteral("jet%1_%2").arg(number).arg(field)); }

// The column definition: declared type for the affinity, the text collation, the default and the
// checks that give Jet's numbers to raw SQL too.
QString columnDef(const Field& f, bool inCreate) {
  const QString n = quoteIdent(f.Name());
  QString s = n + u' ' + QLatin1String(detail::declaredType(f.Type()));
  const bool text = f.Type() == DataType::Text || f.Type() == DataType::Memo;
  if (text) s += QStringLiteral(" COLLATE JETTEXT");
  const QString def = detail::defaultLiteral(f.DefaultValue(), f.Type());
  if (!def.isEmpty()) s += QStringLiteral(" DEFAULT (%1)").arg(def);
  if (f.Type() == DataType::Text && f.Size() > 0)
    s += QStringLiteral(" CONSTRAINT %1 CHECK (length(%2) <= %3)").arg(constraintName(3163, f.Name()), n).arg(f.Size());
  if (text && !f.AllowZeroLength())
    s += QStringLiteral(" CONSTRAINT %1 CHECK (%2 <> '')").arg(constraintName(3315, f.Name()), n);
  if (inCreate && f.Required())
    s += QStringLiteral(" CONSTRAINT %1 CHECK (%2 IS NOT NULL)").arg(constraintName(3314, f.Name()), n);
  return s;
}

void recordField(Connection& c, const QString& table, const Field& f, int ordinal) {
  Stmt st = c.prepare(QStringLiteral(
      "INSERT INTO MSysFields (TableName, FieldName, Ordinal, Type, Size, Required, AllowZeroLength, DefaultValue)"
      " VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8)"));
  bindText(st.get(), 1, table);
  bindText(st.get(), 2, f.Name());
  sqlite3_bind_int(st.get(), 3, ordinal);
  sqlite3_bind_int(st.get(), 4, int(f.Type()));
  sqlite3_bind_int(st.get(), 5, f.Size());
  sqlite3_bind_int(st.get(), 6, f.Required() ? 1 : 0);
  sqlite3_bind_int(st.get(), 7, f.AllowZeroLength() ? 1 : 0);
  if (f.DefaultValue().isNull()) sqlite3_bind_null(st.get(), 8);
  else bindText(st.get(), 8, f.DefaultValue());
  c.step(st.get());
}

void recordIndex(Connection& c, const QString& table, const Index& idx) {
  Stmt st = c.prepare(QStringLiteral(
      "INSERT INTO MSysIndexes (TableName, IndexName, Fields, IsPrimary, IsUnique) VALUES (?1, ?2, ?3, ?4, ?5)"));
  bindText(st.get(), 1, table);
  bindText(st.get(), 2, idx.Name());
  bindText(st.get(), 3, idx.Fields().join(u';'));
  sqlite3_bind_int(st.get(), 4, idx.Primary() ? 1 : 0);
  sqlite3_bind_int(st.get(), 5, idx.Unique() ? 1 : 0);
  c.step(st.get());
}

QString columnList(const QStringList& names) {
  QStringList q;
  for (const QString& n : names) q << quoteIdent(n);
  return q.join(QStringLiteral(", "));
}

void createIndex(Connection& c, const QString& table, const Index& idx) {
  c.exec(QStringLiteral("CREATE %1INDEX %2 ON %3 (%4)")
             .arg(idx.Unique() ? QStringLiteral("UNIQUE ") : QString(), quoteIdent(table + u'_' + idx.Name()),
                  quoteIdent(table), columnList(idx.Fields())));
}

bool nameTaken(Connection& c, const QString& name) {
  Stmt st = c.prepare(QStringLiteral(
      "SELECT 1 FROM sqlite_schema WHERE name = ?1 COLLATE JETTEXT UNION ALL "
      "SELECT 1 FROM MSysQueries WHERE Name = ?1"));
  bindText(st.get(), 1, name);
  return c.step(st.get());
}

}  // namespace

// ---- Field -------------------------------------------------------------------------------------

Field::Field(const QString& name, DataType type, int size) : name_(name), type_(type) {
  size_ = type == DataType::Text ? (size > 0 ? size : 50) : detail::fixedSize(type);
}

int Field::Size() const { return size_; }

void Field::checkDefinable() const {
  if (appended_) raise(3219);
}
void Field::SetName(const QString& n) { checkDefinable(); name_ = n; }
void Field::SetSize(int n) {
  checkDefinable();
  if (type_ == DataType::Text) size_ = n;
}
void Field::SetRequired(bool b) { checkDefinable(); required_ = b; }
void Field::SetAllowZeroLength(bool b) { checkDefinable(); allowZeroLength_ = b; }
void Field::SetDefaultValue(const QString& d) { checkDefinable(); defaultValue_ = d; }

vb::Variant Field::Value() const {
  if (!owner_) raise(3219);
  return owner_->fieldValue(index_);
}

void Field::SetValue(const vb::Variant& v) {
  if (!owner_) raise(3219);
  owner_->setFieldValue(index_, v);
}

Field& FieldList::Item(int index) const {
  if (index < 0 || index >= Count()) raise(3265, QString::number(index));
  return *items_[size_t(index)];
}

Field& FieldList::Item(const QString& name) const {
  for (const auto& f : items_)
    if (f->Name().compare(name, Qt::CaseInsensitive) == 0) return *f;
  raise(3265, name);
}

bool FieldList::Contains(const QString& name) const {
  for (const auto& f : items_)
    if (f->Name().compare(name, Qt::CaseInsensitive) == 0) return true;
  return false;
}

void FieldList::Append(const std::shared_ptr<Field>& f) {
  if (!f || f->Name().isEmpty()) raise(3001);
  if (Contains(f->Name())) raise(3191, f->Name());
  if (onAppend_) onAppend_(*f);
  items_.push_back(f);
}

// ---- Index, TableDef ---------------------------------------------------------------------------

Index& IndexList::Item(int index) const {
  if (index < 0 || index >= Count()) raise(3265, QString::number(index));
  return *items_[size_t(index)];
}

Index& IndexList::Item(const QString& name) const {
  for (const auto& i : items_)
    if (i->Name().compare(name, Qt::CaseInsensitive) == 0) return *i;
  raise(3265, name);
}

void IndexList::Append(const std::shared_ptr<Index>& idx) {
  if (!idx || idx->Fields().isEmpty()) raise(3001);
  for (const auto& i : items_) {
    if (i->Name().compare(idx->Name(), Qt::CaseInsensitive) == 0) raise(3012, idx->Name());
    if (i->Primary() && idx->Primary()) raise(3283);
  }
  if (onAppend_) onAppend_(*idx);
  items_.push_back(idx);
}

TableDef::TableDef(const QString& name) : name_(name) {}

std::shared_ptr<Field> TableDef::CreateField(const QString& name, DataType type, int size) const {
  return std::make_shared<Field>(name, type, size);
}

std::shared_ptr<Index> TableDef::CreateIndex(const QString& name) const { return std::make_shared<Index>(name); }

void TableDef::attach(const std::shared_ptr<Database>& db) {
  db_ = db;
  for (const auto& f : fields_.items_) f->appended_ = true;
  const QString table = name_;
  std::weak_ptr<Database> w = db;
  fields_.onAppend_ = [w, table, this](Field& f) {
    auto d = w.lock();
    if (!d) raise(3420);
    d->checkWritable();
    auto& c = d->connection();
    atomically(c, [&] {
      c.exec(QStringLiteral("ALTER TABLE %1 ADD COLUMN %2").arg(quoteIdent(table), columnDef(f, false)));
      recordField(c, table, f, fields_.Count());
    });
    f.appended_ = true;
  };
  indexes_.onAppend_ = [w, table](Index& idx) {
    auto d = w.lock();
    if (!d) raise(3420);
    d->checkWritable();
    auto& c = d->connection();
    const detail::TableInfo* ti = c.table(table);
    if (idx.Primary() && ti && !ti->primaryKey.isEmpty()) raise(3283);
    atomically(c, [&] {
      createIndex(c, table, idx);
      recordIndex(c, table, idx);
    });
  };
}

int TableDefList::Count() {
  ensureFresh();
  return int(items_.size());
}

TableDef& TableDefList::Item(int index) {
  ensureFresh();
  if (index < 0 || index >= int(items_.size())) raise(3265, QString::number(index));
  return *items_[size_t(index)];
}

TableDef& TableDefList::Item(const QString& name) {
  ensureFresh();
  for (const auto& t : items_)
    if (t->Name().compare(name, Qt::CaseInsensitive) == 0) return *t;
  raise(3265, name);
}

bool TableDefList::Contains(const QString& name) {
  ensureFresh();
  for (const auto& t : items_)
    if (t->Name().compare(name, Qt::CaseInsensitive) == 0) return true;
  return false;
}

void TableDefList::ensureFresh() {
  auto db = db_.lock();
  if (!db) raise(3420);
  auto& c = db->connection();
  Stmt st = c.prepare(QStringLiteral("PRAGMA schema_version"));
  c.step(st.get());
  const int v = sqlite3_column_int(st.get(), 0);
  if (v != version_) {
    Refresh();
    version_ = v;
  }
}

void TableDefList::Refresh() {
  auto db = db_.lock();
  if (!db) raise(3420);
  auto& c = db->connection();
  std::vector<std::shared_ptr<TableDef>> fresh;
  Stmt st = c.prepare(QStringLiteral(
      "SELECT name FROM sqlite_schema WHERE type = 'table' AND name NOT GLOB 'sqlite_*' AND name NOT GLOB 'MSys*' "
      "ORDER BY rowid"));
  QStringList names;
  while (c.step(st.get())) names << text(st.get(), 0);
  for (const QString& n : names) {
    std::shared_ptr<TableDef> td;
    for (const auto& old : items_)
      if (old->Name() == n) td = old;
    if (!td) {
      td = std::make_shared<TableDef>(n);
      const detail::TableInfo* ti = c.table(n);
      for (const auto& fi : ti->fields) {
        auto f = std::make_shared<Field>(fi.name, fi.type, fi.size);
        f->size_ = fi.size;
        f->required_ = fi.required;
        f->allowZeroLength_ = fi.allowZeroLength;
        f->defaultValue_ = fi.defaultValue;
        td->fields_.items_.push_back(f);
      }
      Stmt ix = c.prepare(QStringLiteral(
          "SELECT IndexName, Fields, IsPrimary, IsUnique FROM MSysIndexes WHERE TableName = ?1 ORDER BY rowid"));
      bindText(ix.get(), 1, n);
      while (c.step(ix.get())) {
        auto idx = std::make_shared<Index>(text(ix.get(), 0));
        for (const QString& f : text(ix.get(), 1).split(u';', Qt::SkipEmptyParts)) idx->AppendField(f);
        idx->SetPrimary(sqlite3_column_int(ix.get(), 2) != 0);
        idx->SetUnique(sqlite3_column_int(ix.get(), 3) != 0);
        td->indexes_.items_.push_back(idx);
      }
      td->attach(db);
    }
    fresh.push_back(td);
  }
  items_ = std::move(fresh);
}

void TableDefList::Append(const std::shared_ptr<TableDef>& td) {
  auto db = db_.lock();
  if (!db) raise(3420);
  db->checkWritable();
  auto& c = db->connection();
  if (!td || td->Name().isEmpty()) raise(3001);
  if (td->Fields().Count() == 0) raise(3264);
  if (nameTaken(c, td->Name())) raise(3010, td->Name());
  atomically(c, [&] {
    QStringList defs;
    for (const auto& f : td->Fields()) defs << columnDef(*f, true);
    for (int i = 0; i < td->Indexes().Count(); ++i) {
      const Index& idx = td->Indexes().Item(i);
      for (const QString& f : idx.Fields())
        if (!td->Fields().Contains(f)) raise(3265, f);
      if (idx.Primary()) defs << QStringLiteral("PRIMARY KEY (%1)").arg(columnList(idx.Fields()));
    }
    c.exec(QStringLiteral("CREATE TABLE %1 (%2)").arg(quoteIdent(td->Name()), defs.join(QStringLiteral(", "))));
    int ordinal = 0;
    for (const auto& f : td->Fields()) recordField(c, td->Name(), *f, ordinal++);
    for (int i = 0; i < td->Indexes().Count(); ++i) {
      const Index& idx = td->Indexes().Item(i);
      if (!idx.Primary()) createIndex(c, td->Name(), idx);
      recordIndex(c, td->Name(), idx);
    }
  });
  td->attach(db);
  version_ = -1;
  items_.push_back(td);
}

void TableDefList::Delete(const QString& name) {
  auto db = db_.lock();
  if (!db) raise(3420);
  db->checkWritable();
  const QString real = Item(name).Name();
  auto& c = db->connection();
  atomically(c, [&] {
    c.exec(QStringLiteral("DROP TABLE %1").arg(quoteIdent(real)));
    for (const char* t : {"MSysFields", "MSysIndexes"}) {
      Stmt st = c.prepare(QStringLiteral("DELETE FROM %1 WHERE TableName = ?1").arg(QLatin1String(t)));
      bindText(st.get(), 1, real);
      c.step(st.get());
    }
  });
  version_ = -1;
}

// ---- Relations ---------------------------------------------------------------------------------

int RelationList::Count() {
  load();
  return int(items_.size());
}

Relation& RelationList::Item(int index) {
  load();
  if (index < 0 || index >= int(items_.size())) raise(3265, QString::number(index));
  return *items_[size_t(index)];
}

void RelationList::load() {
  if (loaded_) return;
  auto db = db_.lock();
  if (!db) raise(3420);
  auto& c = db->connection();
  Stmt st = c.prepare(QStringLiteral(
      "SELECT Name, TableName, ForeignTable, Fields, ForeignFields FROM MSysRelations ORDER BY rowid"));
  while (c.step(st.get())) {
    auto r = std::make_shared<Relation>(text(st.get(), 0), text(st.get(), 1), text(st.get(), 2));
    const QStringList f = text(st.get(), 3).split(u';'), g = text(st.get(), 4).split(u';');
    for (int i = 0; i < f.size() && i < g.size(); ++i) r->AppendField(f[i], g[i]);
    items_.push_back(r);
  }
  loaded_ = true;
}

void RelationList::Append(const std::shared_ptr<Relation>& rel) {
  load();
  auto db = db_.lock();
  if (!db) raise(3420);
  db->checkWritable();
  auto& c = db->connection();
  if (!rel || rel->Fields().isEmpty()) raise(3001);
  for (const auto& r : items_)
    if (r->Name().compare(rel->Name(), Qt::CaseInsensitive) == 0) raise(3012, rel->Name());
  if (!c.table(rel->Table())) raise(3265, rel->Table());
  if (!c.table(rel->ForeignTable())) raise(3265, rel->ForeignTable());
  const QString t = quoteIdent(rel->Table()), ft = quoteIdent(rel->ForeignTable());
  QStringList match, changed;
  for (int i = 0; i < rel->Fields().size(); ++i) {
    match << QStringLiteral("%1.%2 = OLD.%3").arg(ft, quoteIdent(rel->ForeignNames()[i]), quoteIdent(rel->Fields()[i]));
    changed << QStringLiteral("OLD.%1 IS NOT NEW.%1").arg(quoteIdent(rel->Fields()[i]));
  }
  const QString used = QStringLiteral("EXISTS (SELECT 1 FROM %1 WHERE %2)").arg(ft, match.join(QStringLiteral(" AND ")));
  const QString raise3200 = QStringLiteral("SELECT RAISE(ABORT, %1);").arg(quoteString(QStringLiteral("jet3200:") + rel->ForeignTable()));
  atomically(c, [&] {
    c.exec(QStringLiteral("CREATE TRIGGER %1 BEFORE DELETE ON %2 WHEN %3 BEGIN %4 END")
               .arg(quoteIdent(QStringLiteral("jetrel_") + rel->Name() + QStringLiteral("_d")), t, used, raise3200));
    c.exec(QStringLiteral("CREATE TRIGGER %1 BEFORE UPDATE OF %2 ON %3 WHEN (%4) AND %5 BEGIN %6 END")
               .arg(quoteIdent(QStringLiteral("jetrel_") + rel->Name() + QStringLiteral("_u")), columnList(rel->Fields()), t,
                    changed.join(QStringLiteral(" OR ")), used, raise3200));
    Stmt st = c.prepare(QStringLiteral(
        "INSERT INTO MSysRelations (Name, TableName, ForeignTable, Fields, ForeignFields) VALUES (?1, ?2, ?3, ?4, ?5)"));
    bindText(st.get(), 1, rel->Name());
    bindText(st.get(), 2, rel->Table());
    bindText(st.get(), 3, rel->ForeignTable());
    bindText(st.get(), 4, rel->Fields().join(u';'));
    bindText(st.get(), 5, rel->ForeignNames().join(u';'));
    c.step(st.get());
  });
  items_.push_back(rel);
}

// ---- QueryDef ----------------------------------------------------------------------------------

void Parameter::SetValue(const vb::Variant& v) { value_ = detail::coerce(v, type_, 0); }

QueryDef::QueryDef(const std::shared_ptr<Database>& db, const QString& name, const QString& sql)
    : db_(db), name_(name), sql_(sql) {
  parse();
}

void QueryDef::parse() {
  std::vector<Parameter> old = std::move(params_);
  params_.clear();
  if (sql_.trimmed().isEmpty()) return;
  const auto tr = jetsql::translate(sql_);
  for (const auto& p : tr.params) {
    Parameter np(p.name, p.type);
    for (const auto& o : old)
      if (o.Name().compare(p.name, Qt::CaseInsensitive) == 0 && o.Type() == p.type) np = o;
    params_.push_back(np);
  }
}

namespace {

// A saved query without parameters is also a view, so that other SQL can name it like a table.
void storeQuery(Connection& c, const QString& name, const QString& sql, bool isNew) {
  const auto tr = jetsql::translate(sql);
  atomically(c, [&] {
    c.exec(QStringLiteral("DROP VIEW IF EXISTS %1").arg(quoteIdent(name)));
    if (tr.params.empty() && tr.shape.isSelect)
      c.exec(QStringLiteral("CREATE VIEW %1 AS %2").arg(quoteIdent(name), tr.sql));
    Stmt st = c.prepare(isNew ? QStringLiteral("INSERT INTO MSysQueries (Name, SQL) VALUES (?1, ?2)")
                              : QStringLiteral("UPDATE MSysQueries SET SQL = ?2 WHERE Name = ?1"));
    bindText(st.get(), 1, name);
    bindText(st.get(), 2, sql);
    c.step(st.get());
  });
}

}  // namespace

void QueryDef::SetSQL(const QString& jetSql) {
  const QString old = sql_;
  sql_ = jetSql;
  try {
    parse();
    if (saved_) {
      auto db = db_.lock();
      if (!db) raise(3420);
      db->checkWritable();
      storeQuery(db->connection(), name_, sql_, false);
    }
  } catch (...) {
    sql_ = old;
    parse();
    throw;
  }
}

Parameter& QueryDef::Parameters(int index) {
  if (index < 0 || index >= int(params_.size())) raise(3265, QString::number(index));
  return params_[size_t(index)];
}

Parameter& QueryDef::Parameters(const QString& name) {
  for (auto& p : params_)
    if (p.Name().compare(name, Qt::CaseInsensitive) == 0) return p;
  raise(3265, name);
}

std::shared_ptr<Recordset> QueryDef::OpenRecordset(RecordsetType type) {
  auto db = db_.lock();
  if (!db) raise(3420);
  db->connection();
  return openRecordset(db, name_.isEmpty() ? sql_ : name_, type, shared_from_this());
}

void QueryDef::Execute(int) {
  auto db = db_.lock();
  if (!db) raise(3420);
  auto& c = db->connection();
  const auto tr = jetsql::translate(sql_);
  if (tr.shape.isSelect) raise(3065);
  db->checkWritable();
  Stmt st = c.prepare(tr.sql, 3075, sql_);
  for (size_t k = 0; k < params_.size(); ++k) detail::bindVariant(st.get(), int(k) + 1, params_[k].Value());
  c.runWrite(st.get(), sql_);
}

int QueryDefList::Count() {
  ensureLoaded();
  return int(items_.size());
}

QueryDef& QueryDefList::Item(int index) {
  ensureLoaded();
  if (index < 0 || index >= int(items_.size())) raise(3265, QString::number(index));
  return *items_[size_t(index)];
}

QueryDef& QueryDefList::Item(const QString& name) {
  auto q = Get(name);
  if (!q) raise(3265, name);
  return *q;
}

std::shared_ptr<QueryDef> QueryDefList::Get(const QString& name) {
  ensureLoaded();
  for (const auto& q : items_)
    if (q->Name().compare(name, Qt::CaseInsensitive) == 0) return q;
  return nullptr;
}

bool QueryDefList::Contains(const QString& name) { return Get(name) != nullptr; }

void QueryDefList::ensureLoaded() {
  if (loaded_) return;
  auto db = db_.lock();
  if (!db) raise(3420);
  auto& c = db->connection();
  items_.clear();
  Stmt st = c.prepare(QStringLiteral("SELECT Name, SQL FROM MSysQueries ORDER BY rowid"));
  while (c.step(st.get())) {
    std::shared_ptr<QueryDef> q;
    try {
      q = std::make_shared<QueryDef>(db, text(st.get(), 0), text(st.get(), 1));
    } catch (const vb::Error&) {
      // A text we cannot translate still lists (its SQL stays readable for comparison).
      q = std::make_shared<QueryDef>(db, text(st.get(), 0), QString());
      q->sql_ = text(st.get(), 1);
    }
    q->saved_ = true;
    items_.push_back(q);
  }
  loaded_ = true;
}

void QueryDefList::Refresh() {
  loaded_ = false;
  ensureLoaded();
}

void QueryDefList::Append(const std::shared_ptr<QueryDef>& q) {
  ensureLoaded();
  auto db = db_.lock();
  if (!db) raise(3420);
  db->checkWritable();
  if (!q || q->Name().isEmpty()) raise(3001);
  auto& c = db->connection();
  if (nameTaken(c, q->Name())) raise(3012, q->Name());
  storeQuery(c, q->Name(), q->SQL(), true);
  q->saved_ = true;
  q->db_ = db;
  items_.push_back(q);
}

void QueryDefList::Delete(const QString& name) {
  auto q = Get(name);
  if (!q) raise(3265, name);
  auto db = db_.lock();
  db->checkWritable();
  auto& c = db->connection();
  atomically(c, [&] {
    c.exec(QStringLiteral("DROP VIEW IF EXISTS %1").arg(quoteIdent(q->Name())));
    Stmt st = c.prepare(QStringLiteral("DELETE FROM MSysQueries WHERE Name = ?1"));
    bindText(st.get(), 1, q->Name());
    c.step(st.get());
  });
  std::erase(items_, q);
  q->saved_ = false;
}

}  // namespace dao
