#include "recordset.h"

#include "connection.h"
#include "daoerror.h"
#include "database.h"
#include "jetsql.h"
#include "querydef.h"
#include "sqlvalue.h"

#include <QHash>
#include <map>

namespace dao {

using detail::Connection;
using detail::Family;
using detail::Stmt;
using jetsql::quoteIdent;

namespace {

struct FieldMeta {
  detail::FieldInfo info;
  bool typed = false;       // read with the DAO type of its base column
  bool updatable = false;   // a column of the keyset's base table
  QString baseColumn;
};

enum class FindDir { First, Last, Next, Previous };

QString columnText(const char* p) { return p ? QString::fromUtf8(p) : QString(); }

}  // namespace

struct Recordset::Impl {
  std::shared_ptr<Database> db;
  Recordset* self = nullptr;
  RecordsetType type = RecordsetType::Dynaset;
  QString source;
  std::shared_ptr<QueryDef> query;
  jetsql::Translation tr;
  QString orderOverride;          // SQLite ORDER BY body from Sort
  bool keyset = false;
  QString baseTable, qualifier;
  QStringList pk;
  std::shared_ptr<Family> fam;
  std::vector<FieldMeta> meta;
  std::vector<std::unique_ptr<Field>> fields;
  QHash<QString, int> byName;
  QString fetchSql;
  int fetchIndex = 1;
  Stmt fetch;
  int64_t pos = -1;
  bool noCurrent = false;
  bool noMatch = false;
  EditMode mode = EditMode::None;
  std::vector<vb::Variant> buffer;
  std::vector<uint8_t> dirty;
  Bookmark lastModified;
  int64_t cachePos = -2;
  uint64_t cacheStamp = 0;
  std::vector<vb::Variant> cache;
  QString sort;
  bool closed = false;
  std::map<QString, Stmt> findCache;
  std::map<std::string, Stmt> writeCache;

  static std::shared_ptr<Recordset> make(std::unique_ptr<Impl> d) {
    Impl* raw = d.get();
    std::shared_ptr<Recordset> rs(new Recordset(std::move(d)));
    raw->self = rs.get();
    raw->makeFields();
    raw->db->track(rs);
    return rs;
  }

  Connection& conn() const {
    if (closed) raise(3420);
    return db->connection();
  }

  int64_t size() const { return fam ? int64_t(fam->rowids.size()) : 0; }
  int64_t live() const { return fam ? fam->live : 0; }

  static bool looksLikeName(const QString& s) {
    const QString t = s.trimmed();
    if (t.startsWith(u'[') && t.endsWith(u']') && t.count(u'[') == 1) return true;
    for (QChar c : t)
      if (c.isSpace() || c == u'(' || c == u'*' || c == u'=' || c == u'\'') return false;
    return !t.isEmpty();
  }

  void resolve() {
    auto& c = conn();
    QString sql;
    if (query) {
      sql = query->sql_;
    } else {
      const QString t = source.trimmed();
      const bool nameLike = looksLikeName(t);
      QString name = t;
      if (name.startsWith(u'[') && name.endsWith(u']')) name = name.mid(1, name.size() - 2);
      const detail::TableInfo* ti = nameLike ? c.table(name) : nullptr;
      const bool isTable = ti && !ti->isView;
      if (isTable) {
        sql = QStringLiteral("SELECT * FROM [%1]").arg(ti->name);
      } else if (nameLike) {
        auto q = db->QueryDefs().Get(name);
        if (!q) raise(3078, name);
        if (q->ParameterCount() > 0) raise(3061, q->Parameters(0).Name());
        query = q;
        sql = q->sql_;
      } else {
        sql = t;
      }
      if (type == RecordsetType::Table && !isTable) raise(3219);
    }
    if (type == RecordsetType::Default) type = RecordsetType::Dynaset;
    tr = jetsql::translate(sql);
    if (!tr.shape.isSelect) raise(3219);
  }

  void bindParams(sqlite3_stmt* st) const {
    const int n = sqlite3_bind_parameter_count(st);
    for (size_t k = 0; k < tr.params.size() && int(k) < n; ++k) {
      vb::Variant v = vb::Variant::null();
      if (query && k < query->params_.size()) v = query->params_[k].Value();
      detail::bindVariant(st, int(k) + 1, v);
    }
  }

  void describe(sqlite3_stmt* st) {
    auto& c = conn();
    meta.clear();
    const int n = sqlite3_column_count(st);
    for (int i = 0; i < n; ++i) {
      FieldMeta m;
      m.info.name = columnText(sqlite3_column_name(st, i));
      const QString table = columnText(sqlite3_column_table_name(st, i));
      const QString column = columnText(sqlite3_column_origin_name(st, i));
      const detail::TableInfo* ti = table.isEmpty() ? nullptr : c.table(table);
      const detail::FieldInfo* fi = ti ? ti->field(column) : nullptr;
      if (fi) {
        const QString alias = m.info.name;
        m.info = *fi;
        m.info.name = alias;
        m.typed = true;
        m.updatable = keyset && table.compare(baseTable, Qt::CaseInsensitive) == 0;
        m.baseColumn = fi->name;
      } else {
        const char* decl = sqlite3_column_decltype(st, i);
        m.info.type = decl ? detail::typeFromDeclared(QString::fromUtf8(decl)) : DataType::Double;
        m.info.size = detail::fixedSize(m.info.type);
      }
      meta.push_back(m);
    }
  }

  void build() {
    auto& c = conn();
    const auto& sh = tr.shape;
    keyset = false;
    pk.clear();
    if ((type == RecordsetType::Dynaset || type == RecordsetType::Table) && !sh.distinct && !sh.grouped &&
        !sh.aggregate && !sh.compound && !sh.singleTable.isEmpty()) {
      const detail::TableInfo* t = c.table(sh.singleTable);
      if (t && !t->isView) {
        keyset = true;
        baseTable = t->name;
        qualifier = sh.qualifier;
        pk = t->primaryKey;
      }
    }
    findCache.clear();
    writeCache.clear();
    cachePos = -2;
    mode = EditMode::None;
    if (keyset) buildKeyset(c);
    else materialize(c);
    noCurrent = false;
    pos = -1;
    seek(0, 1);
  }

  void buildKeyset(Connection& c) {
    const auto& sh = tr.shape;
    const QString q = quoteIdent(qualifier);
    QStringList tie;
    for (const QString& k : pk) tie << q + u'.' + quoteIdent(k);
    if (tie.isEmpty()) tie << q + QStringLiteral(".rowid");
    QString order = orderOverride.isEmpty() ? sh.orderBy : orderOverride;
    const bool needList = !order.isEmpty();
    order = order.isEmpty() ? tie.join(QStringLiteral(", ")) : order + QStringLiteral(", ") + tie.join(QStringLiteral(", "));
    QString ksql = QStringLiteral("SELECT ") + q + QStringLiteral(".rowid") +
                   (needList ? QStringLiteral(", ") + sh.selectList : QString()) + QStringLiteral(" FROM ") + sh.fromClause;
    if (!sh.whereClause.isEmpty()) ksql += QStringLiteral(" WHERE ") + sh.whereClause;
    ksql += QStringLiteral(" ORDER BY ") + order;
    if (!sh.limit.isEmpty()) ksql += u' ' + sh.limit;
    Stmt st = c.prepare(ksql, 3075, source);
    bindParams(st.get());
    auto f = std::make_shared<Family>();
    f->id = c.newFamilyId();
    f->conn = c.weak_from_this();
    f->baseTable = baseTable;
    while (c.step(st.get(), source)) f->append(sqlite3_column_int64(st.get(), 0));
    c.registerFamily(f);
    fam = f;
    fetchIndex = int(tr.params.size()) + 1;
    fetchSql = QStringLiteral("SELECT ") + sh.selectList + QStringLiteral(" FROM ") + sh.fromClause +
               QStringLiteral(" WHERE ") + q + QStringLiteral(".rowid = ?%1").arg(fetchIndex);
    fetch = c.prepare(fetchSql, 3075, source);
    describe(fetch.get());
  }

  void materialize(Connection& c) {
    QString src = tr.sql;
    if (!orderOverride.isEmpty()) src = QStringLiteral("SELECT * FROM (") + tr.sql + QStringLiteral(") ORDER BY ") + orderOverride;
    Stmt probe = c.prepare(src, 3075, source);
    describe(probe.get());
    probe.reset();
    const QString temp = c.newTempName();
    QStringList cols, used;
    for (const auto& m : meta) {
      QString n = m.info.name.isEmpty() ? QStringLiteral("Expr") : m.info.name;
      QString u = n;
      for (int k = 1; used.contains(u, Qt::CaseInsensitive); ++k) u = n + QString::number(k);
      used << u;
      cols << quoteIdent(u) + QStringLiteral(" COLLATE JETTEXT");
    }
    c.exec(QStringLiteral("CREATE TEMP TABLE %1 (%2)").arg(quoteIdent(temp), cols.join(QStringLiteral(", "))));
    auto f = std::make_shared<Family>();
    f->id = c.newFamilyId();
    f->conn = c.weak_from_this();
    f->tempTable = temp;
    fam = f;   // owns the temp table from here on
    Stmt ins = c.prepare(QStringLiteral("INSERT INTO temp.%1 ").arg(quoteIdent(temp)) + src, 3075, source);
    bindParams(ins.get());
    c.step(ins.get(), source);
    const int64_t n = sqlite3_changes64(c.db());
    f->rowids.reserve(size_t(n));
    for (int64_t r = 1; r <= n; ++r) {
      f->rowids.push_back(r);
      f->deleted.push_back(0);
    }
    f->live = n;
    fetchIndex = 1;
    fetchSql = QStringLiteral("SELECT * FROM temp.%1 WHERE rowid = ?1").arg(quoteIdent(temp));
    fetch = c.prepare(fetchSql);
  }

  void makeFields() {
    fields.clear();
    byName.clear();
    for (size_t i = 0; i < meta.size(); ++i) {
      const auto& m = meta[i];
      auto f = std::make_unique<Field>(m.info.name, m.info.type, m.info.size);
      f->size_ = m.info.size;
      f->required_ = m.info.required;
      f->allowZeroLength_ = m.info.allowZeroLength;
      f->defaultValue_ = m.info.defaultValue;
      f->appended_ = true;
      f->owner_ = self;
      f->index_ = int(i);
      const QString key = m.info.name.toLower();
      if (!byName.contains(key)) byName.insert(key, int(i));
      fields.push_back(std::move(f));
    }
  }

  bool loadRow(int64_t p) {
    if (p < 0 || p >= size() || fam->deleted[size_t(p)]) return false;
    auto& c = conn();
    sqlite3_stmt* st = fetch.get();
    if (keyset) bindParams(st);
    sqlite3_bind_int64(st, fetchIndex, fam->rowids[size_t(p)]);
    const bool found = c.step(st, source);
    if (found) {
      cache.resize(meta.size());
      for (size_t i = 0; i < meta.size(); ++i)
        cache[i] = meta[i].typed ? detail::readColumn(st, int(i), meta[i].info.type) : detail::readDynamic(st, int(i));
    }
    sqlite3_reset(st);
    if (!found) {
      if (keyset) fam->markDeleted(fam->rowids[size_t(p)]);
      cachePos = -2;
      return false;
    }
    cachePos = p;
    cacheStamp = keyset ? c.stamp() : 0;
    return true;
  }

  // Moves to the first live row from `from` in direction dir; past the end: EOF (or BOF).
  bool seek(int64_t from, int dir) {
    mode = EditMode::None;
    noCurrent = false;
    for (int64_t p = from; p >= 0 && p < size(); p += dir)
      if (!fam->deleted[size_t(p)] && loadRow(p)) {
        pos = p;
        return true;
      }
    pos = dir > 0 ? size() : -1;
    return false;
  }

  bool onRow() const { return !noCurrent && pos >= 0 && pos < size(); }

  void requireCurrent() const {
    if (!onRow()) raise(3021);
    if (fam->deleted[size_t(pos)]) raise(3167);
  }

  vb::Variant value(int i) {
    conn();
    if (mode != EditMode::None) return buffer[size_t(i)];
    requireCurrent();
    if (cachePos != pos || (keyset && cacheStamp != conn().stamp()))
      if (!loadRow(pos)) raise(3167);
    return cache[size_t(i)];
  }

  void checkUpdatable() const {
    db->checkWritable();
    if (!keyset) raise(3027);
  }

  int fieldIndex(const QString& name) const {
    auto it = byName.find(name.toLower());
    if (it == byName.end()) raise(3265, name);
    return it.value();
  }

  Stmt& findStmt(const QString& criteria) {
    auto it = findCache.find(criteria);
    if (it != findCache.end()) return it->second;
    auto& c = conn();
    const auto ct = jetsql::translate(criteria, jetsql::Kind::Expression);
    QString sql;
    if (keyset) {
      const auto& sh = tr.shape;
      sql = QStringLiteral("SELECT ") + quoteIdent(qualifier) + QStringLiteral(".rowid, ") + sh.selectList +
            QStringLiteral(" FROM ") + sh.fromClause + QStringLiteral(" WHERE (") + ct.sql + u')';
    } else {
      sql = QStringLiteral("SELECT rowid FROM temp.%1 WHERE (%2)").arg(quoteIdent(fam->tempTable), ct.sql);
    }
    if (findCache.size() > 64) findCache.clear();
    return findCache.emplace(criteria, c.prepare(sql, 3077, criteria)).first->second;
  }

  void find(const QString& criteria, FindDir dir) {
    if (type == RecordsetType::Table || type == RecordsetType::ForwardOnly) raise(3251);
    auto& c = conn();
    sqlite3_stmt* st = findStmt(criteria).get();
    if (keyset) bindParams(st);
    const int64_t cur = onRow() ? pos : (dir == FindDir::Previous ? size() : -1);
    int64_t best = -1;
    while (c.step(st, criteria)) {
      const int64_t rid = sqlite3_column_int64(st, 0);
      int64_t p;
      if (keyset) {
        auto it = fam->positionOf.find(rid);
        if (it == fam->positionOf.end()) continue;
        p = it->second;
      } else {
        p = rid - 1;
      }
      if (p < 0 || p >= size() || fam->deleted[size_t(p)]) continue;
      switch (dir) {
        case FindDir::First: if (best < 0 || p < best) best = p; break;
        case FindDir::Last: if (p > best) best = p; break;
        case FindDir::Next: if (p > cur && (best < 0 || p < best)) best = p; break;
        case FindDir::Previous: if (p < cur && p > best) best = p; break;
      }
    }
    sqlite3_reset(st);
    if (best >= 0) {
      mode = EditMode::None;
      if (loadRow(best)) {
        pos = best;
        noCurrent = false;
        noMatch = false;
        return;
      }
    }
    noMatch = true;
  }

  sqlite3_stmt* writeStmt(const QString& sql) {
    const std::string key = sql.toStdString();
    auto it = writeCache.find(key);
    if (it == writeCache.end()) it = writeCache.emplace(key, conn().prepare(sql)).first;
    return it->second.get();
  }

  void update() {
    auto& c = conn();
    if (mode == EditMode::None) raise(3020);
    checkUpdatable();
    const bool adding = mode == EditMode::Add;
    std::vector<int> cols;
    for (size_t i = 0; i < meta.size(); ++i) {
      if (!meta[i].updatable || !(dirty[i] || adding)) continue;
      const vb::Variant& v = buffer[i];
      const auto& fi = meta[i].info;
      if (fi.required && (v.isNull() || v.isEmpty())) raise(3314, meta[i].baseColumn);
      if ((fi.type == DataType::Text || fi.type == DataType::Memo) && !fi.allowZeroLength && v.isString() &&
          v.rawString().isEmpty())
        raise(3315, meta[i].baseColumn);
      if (dirty[i]) cols.push_back(int(i));
    }
    // Statements are kept per set of assigned columns: row-by-row loops prepare once.
    std::string key(1, adding ? 'A' : 'E');
    for (int i : cols) key += std::to_string(i) + ',';
    auto it = writeCache.find(key);
    if (it == writeCache.end()) {
      const QString table = quoteIdent(baseTable);
      QStringList names, marks, sets;
      for (size_t k = 0; k < cols.size(); ++k) {
        const QString col = quoteIdent(meta[size_t(cols[k])].baseColumn);
        names << col;
        marks << QStringLiteral("?%1").arg(k + 1);
        sets << QStringLiteral("%1 = ?%2").arg(col).arg(k + 1);
      }
      QString sql;
      if (adding && cols.empty()) sql = QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(table);
      else if (adding) sql = QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)").arg(table, names.join(QStringLiteral(", ")), marks.join(QStringLiteral(", ")));
      else sql = QStringLiteral("UPDATE %1 SET %2 WHERE rowid = ?%3").arg(table, sets.join(QStringLiteral(", "))).arg(cols.size() + 1);
      it = writeCache.emplace(key, c.prepare(sql)).first;
    }
    sqlite3_stmt* st = it->second.get();
    for (size_t k = 0; k < cols.size(); ++k) detail::bindVariant(st, int(k) + 1, buffer[size_t(cols[k])]);
    if (adding) {
      c.runWrite(st);
      fam->append(sqlite3_last_insert_rowid(c.db()));
      lastModified = Bookmark::make(fam->id, size() - 1);
    } else {
      if (!cols.empty()) {
        sqlite3_bind_int64(st, int(cols.size()) + 1, fam->rowids[size_t(pos)]);
        if (c.runWrite(st) == 0) {
          mode = EditMode::None;
          fam->markDeleted(fam->rowids[size_t(pos)]);
          raise(3167);
        }
      }
      lastModified = Bookmark::make(fam->id, pos);
    }
    mode = EditMode::None;
    cachePos = -2;
  }
};

// ---------------------------------------------------------------------------------------------

Recordset::Recordset(std::unique_ptr<Impl> d) : d_(std::move(d)) {}
Recordset::~Recordset() = default;

RecordsetType Recordset::Type() const { return d_->type; }
bool Recordset::Updatable() const { return d_->keyset && !d_->db->ReadOnly(); }
QString Recordset::Name() const { return d_->source; }
std::shared_ptr<Database> Recordset::Parent() const { return d_->db; }

bool Recordset::EOF_() const {
  d_->conn();
  return d_->live() == 0 || (!d_->noCurrent && d_->pos >= d_->size());
}

bool Recordset::BOF() const {
  d_->conn();
  return d_->live() == 0 || (!d_->noCurrent && d_->pos < 0);
}

int64_t Recordset::RecordCount() const {
  d_->conn();
  return d_->live();
}

void Recordset::MoveFirst() {
  d_->conn();
  if (d_->type == RecordsetType::ForwardOnly && d_->pos > 0) raise(3251);
  if (d_->live() == 0) raise(3021);
  d_->seek(0, 1);
}

void Recordset::MoveLast() {
  d_->conn();
  if (d_->live() == 0) raise(3021);
  if (!d_->seek(d_->size() - 1, -1)) d_->pos = d_->size();
}

void Recordset::MoveNext() {
  d_->conn();
  if (EOF_()) raise(3021);
  d_->seek(d_->noCurrent ? 0 : d_->pos + 1, 1);
}

void Recordset::MovePrevious() {
  d_->conn();
  if (d_->type == RecordsetType::ForwardOnly) raise(3251);
  if (BOF()) raise(3021);
  const int64_t from = d_->noCurrent ? d_->size() - 1 : d_->pos - 1;
  d_->seek(from, -1);
}

void Recordset::FindFirst(const QString& c) { d_->find(c, FindDir::First); }
void Recordset::FindLast(const QString& c) { d_->find(c, FindDir::Last); }
void Recordset::FindNext(const QString& c) { d_->find(c, FindDir::Next); }
void Recordset::FindPrevious(const QString& c) { d_->find(c, FindDir::Previous); }
bool Recordset::NoMatch() const { return d_->noMatch; }

Bookmark Recordset::GetBookmark() const {
  d_->conn();
  if (d_->type == RecordsetType::ForwardOnly) raise(3251);
  d_->requireCurrent();
  return Bookmark::make(d_->fam->id, d_->pos);
}

void Recordset::SetBookmark(const Bookmark& b) {
  d_->conn();
  if (d_->type == RecordsetType::ForwardOnly) raise(3251);
  if (!d_->fam || b.family() != d_->fam->id || b.position() < 0 || b.position() >= d_->size()) raise(3159);
  if (d_->fam->deleted[size_t(b.position())]) raise(3167);
  d_->mode = EditMode::None;
  if (!d_->loadRow(b.position())) raise(3167);
  d_->pos = b.position();
  d_->noCurrent = false;
}

Bookmark Recordset::LastModified() const { return d_->lastModified; }

std::vector<Bookmark> Recordset::Bookmarks() const {
  d_->conn();
  std::vector<Bookmark> out;
  out.reserve(size_t(d_->live()));
  for (int64_t p = 0; p < d_->size(); ++p)
    if (!d_->fam->deleted[size_t(p)]) out.push_back(Bookmark::make(d_->fam->id, p));
  return out;
}

std::shared_ptr<Recordset> Recordset::Clone() {
  auto& c = d_->conn();
  if (d_->type == RecordsetType::ForwardOnly) raise(3251);
  auto n = std::make_unique<Impl>();
  n->db = d_->db;
  n->type = d_->type;
  n->source = d_->source;
  n->query = d_->query;
  n->tr = d_->tr;
  n->orderOverride = d_->orderOverride;
  n->keyset = d_->keyset;
  n->baseTable = d_->baseTable;
  n->qualifier = d_->qualifier;
  n->pk = d_->pk;
  n->fam = d_->fam;
  n->meta = d_->meta;
  n->fetchSql = d_->fetchSql;
  n->fetchIndex = d_->fetchIndex;
  n->fetch = c.prepare(n->fetchSql);
  n->noCurrent = true;
  return Impl::make(std::move(n));
}

void Recordset::Requery() {
  d_->conn();
  d_->build();
  // Field objects held by callers stay valid when the columns are the same.
  if (d_->fields.size() != d_->meta.size()) d_->makeFields();
}

QString Recordset::Sort() const { return d_->sort; }
void Recordset::SetSort(const QString& s) { d_->sort = s; }

std::shared_ptr<Recordset> Recordset::OpenRecordset(RecordsetType type) {
  d_->conn();
  auto n = std::make_unique<Impl>();
  n->db = d_->db;
  n->type = type == RecordsetType::Default
                ? (d_->type == RecordsetType::Table ? RecordsetType::Dynaset : d_->type)
                : type;
  n->source = d_->source;
  n->query = d_->query;
  n->tr = d_->tr;
  n->orderOverride = d_->orderOverride;
  if (!d_->sort.trimmed().isEmpty()) {
    const auto st = jetsql::translate(d_->sort, jetsql::Kind::OrderBy);
    // Jet cannot sort on Memo fields.
    for (QString term : st.sql.split(u',')) {
      term = term.trimmed();
      term = term.section(u' ', 0, 0).section(u'.', -1);
      term.remove(u'"');
      auto it = d_->byName.find(term.toLower());
      if (it != d_->byName.end() && d_->meta[size_t(it.value())].info.type == DataType::Memo) raise(3117, term);
    }
    n->orderOverride = st.sql;
  }
  n->build();
  return Impl::make(std::move(n));
}

void Recordset::AddNew() {
  d_->conn();
  d_->checkUpdatable();
  d_->buffer.assign(d_->meta.size(), vb::Variant::null());
  d_->dirty.assign(d_->meta.size(), 0);
  for (size_t i = 0; i < d_->meta.size(); ++i) {
    const auto& m = d_->meta[i];
    if (!m.updatable) continue;
    const vb::Variant def = detail::defaultValueOf(m.info.defaultValue, m.info.type);
    if (!def.isEmpty()) d_->buffer[i] = def;
  }
  d_->mode = EditMode::Add;
}

void Recordset::Edit() {
  d_->conn();
  d_->checkUpdatable();
  d_->requireCurrent();
  std::vector<vb::Variant> values(d_->meta.size());
  d_->mode = EditMode::None;
  for (size_t i = 0; i < values.size(); ++i) values[i] = d_->value(int(i));
  d_->buffer = std::move(values);
  d_->dirty.assign(d_->meta.size(), 0);
  d_->mode = EditMode::InProgress;
}

void Recordset::Update() { d_->update(); }

void Recordset::CancelUpdate() {
  d_->conn();
  if (d_->mode == EditMode::None) raise(3020);
  d_->mode = EditMode::None;
}

void Recordset::Delete() {
  auto& c = d_->conn();
  d_->checkUpdatable();
  d_->requireCurrent();
  d_->mode = EditMode::None;
  sqlite3_stmt* st = d_->writeStmt(QStringLiteral("DELETE FROM %1 WHERE rowid = ?1").arg(quoteIdent(d_->baseTable)));
  const int64_t rid = d_->fam->rowids[size_t(d_->pos)];
  sqlite3_bind_int64(st, 1, rid);
  const int64_t n = c.runWrite(st);
  d_->fam->markDeleted(rid);
  d_->cachePos = -2;
  if (n == 0) raise(3167);
}

EditMode Recordset::GetEditMode() const { return d_->mode; }

int Recordset::FieldCount() const {
  d_->conn();
  return int(d_->fields.size());
}

Field& Recordset::Fields(int index) {
  d_->conn();
  if (index < 0 || index >= int(d_->fields.size())) raise(3265, QString::number(index));
  return *d_->fields[size_t(index)];
}

Field& Recordset::Fields(const QString& name) {
  d_->conn();
  return *d_->fields[size_t(d_->fieldIndex(name))];
}

vb::Variant Recordset::fieldValue(int index) const { return d_->value(index); }

void Recordset::setFieldValue(int index, const vb::Variant& v) {
  d_->conn();
  if (d_->mode == EditMode::None) raise(3020);
  const auto& m = d_->meta[size_t(index)];
  if (!m.updatable) raise(3164, m.info.name);
  d_->buffer[size_t(index)] = detail::coerce(v, m.info.type, m.info.type == DataType::Text ? m.info.size : 0);
  d_->dirty[size_t(index)] = 1;
}

std::vector<std::vector<vb::Variant>> Recordset::GetRows(int n) {
  d_->conn();
  std::vector<std::vector<vb::Variant>> out(d_->meta.size());
  for (int r = 0; r < n && !EOF_(); ++r) {
    if (!d_->onRow()) {
      MoveNext();
      if (EOF_()) break;
    }
    for (size_t i = 0; i < out.size(); ++i) out[i].push_back(d_->value(int(i)));
    d_->seek(d_->pos + 1, 1);
  }
  return out;
}

void Recordset::Close() {
  if (d_->closed) return;
  d_->fetch.reset();
  d_->findCache.clear();
  d_->writeCache.clear();
  d_->fam.reset();
  d_->closed = true;
}

// Opening, for Database and QueryDef.
std::shared_ptr<Recordset> openRecordset(const std::shared_ptr<Database>& db, const QString& source,
                                         RecordsetType type, const std::shared_ptr<QueryDef>& query) {
  auto d = std::make_unique<Recordset::Impl>();
  d->db = db;
  d->type = type;
  d->source = source;
  d->query = query;
  d->resolve();
  d->build();
  return Recordset::Impl::make(std::move(d));
}

std::shared_ptr<Recordset> Database::OpenRecordset(const QString& source, RecordsetType type) {
  connection();
  return openRecordset(shared_from_this(), source, type, nullptr);
}

}  // namespace dao
