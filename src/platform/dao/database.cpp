#include "database.h"

#include "connection.h"
#include "daoerror.h"
#include "files.h"
#include "jetsql.h"

#include <QDir>
#include <QFileInfo>

namespace dao {

using detail::Connection;

void Workspace::BeginTrans() { Connection::workspaceBegin(); }
void Workspace::CommitTrans() { Connection::workspaceEnd(true); }
void Workspace::Rollback() { Connection::workspaceEnd(false); }

Workspace& DBEngine::Workspaces(int) {
  static Workspace ws;
  return ws;
}

QString DBEngine::ResolvePath(const QString& path) { return detail::resolveFileName(path); }

std::shared_ptr<Database> DBEngine::OpenDatabase(const QString& path, bool exclusive, bool readOnly,
                                                 const QString& connect) {
  auto conn = Connection::acquire(path, exclusive);
  const QString stored = conn->password();
  if (!stored.isEmpty() && stored != detail::hashPassword(detail::passwordFromConnect(connect))) raise(3031);
  if (!readOnly) conn->syncCoercionAtOpen();
  return std::make_shared<Database>(conn, detail::resolveFileName(path), readOnly);
}

std::shared_ptr<Database> DBEngine::CreateDatabase(const QString& path, const QString& connect) {
  auto conn = Connection::create(path);
  const QString pwd = detail::passwordFromConnect(connect);
  if (!pwd.isEmpty()) conn->setPassword(pwd);
  conn->commit();
  return std::make_shared<Database>(conn, QFileInfo(path).absoluteFilePath(), false);
}

namespace {

// src held exclusively, checked against the connect string's password.
std::shared_ptr<Connection> holdForCompaction(const QString& src, const QString& connect) {
  if (Connection::isOpenInProcess(src)) raise(3356, src);
  auto conn = Connection::acquire(src, true);
  const QString stored = conn->password();
  if (!stored.isEmpty() && stored != detail::hashPassword(detail::passwordFromConnect(connect))) raise(3031);
  return conn;
}

// The compacted copy of conn's file in the new file `out`, flushed. VACUUM INTO wants a file that
// does not exist.
void compactInto(Connection& conn, const QString& out) {
  QFile::remove(out);
  auto st = conn.prepare(QStringLiteral("VACUUM INTO ?1"));
  const QByteArray target = QFile::encodeName(out);
  sqlite3_bind_text(st.get(), 1, target.constData(), int(target.size()), SQLITE_TRANSIENT);
  const int rc = sqlite3_step(st.get());
  if (rc != SQLITE_DONE) {
    QFile::remove(out);
    conn.fail(rc);
  }
}

// The compacted copy of conn's file, made beside target, in target's place (files.h).
void compactOver(Connection& conn, const QString& target, const QString& backup = {}) {
  files::Replacement compacted(target, files::Work::Compaction);
  compactInto(conn, compacted.temporary());
  compacted.commit(backup);
}

}  // namespace

void DBEngine::CompactDatabase(const QString& src, const QString& dst, const QString& connect) {
  if (Connection::isOpenInProcess(src)) raise(3356, src);
  const QFileInfo out(dst);
  if (!out.absoluteDir().exists()) raise(3044, QDir::toNativeSeparators(out.absolutePath()));
  if (out.exists()) raise(3204);
  compactOver(*holdForCompaction(src, connect), out.absoluteFilePath());
}

void DBEngine::CompactInPlace(const QString& path, const QString& backup, const QString& connect) {
  auto conn = holdForCompaction(path, connect);
  // It would replace a file that may not be written.
  if (conn->access() != FileAccess::Writable) raise(3027);
  // Held exclusively: no other program is at work on the file, so whatever lies beside it is stale.
  files::removeLeftovers(conn->path());
  compactOver(*conn, conn->path(), backup);
}

void DBEngine::EndAction() { Connection::flushAll(); }

void DBEngine::OnCommitFailure(std::function<void(const QString&, const vb::Error&)> fn) {
  Connection::setFailureReport(std::move(fn));
}

MemoryWrites::MemoryWrites() { Connection::allowMemoryWrites(true); }
MemoryWrites::~MemoryWrites() { Connection::allowMemoryWrites(false); }

Database::Database(std::shared_ptr<detail::Connection> conn, const QString& name, bool readOnly)
    : conn_(std::move(conn)), name_(name), readOnly_(readOnly) {}

Database::~Database() { Close(); }

bool Database::Exclusive() const { return conn_ && conn_->exclusive(); }

FileAccess Database::Access() const { return connection().access(); }

detail::Connection& Database::connection() const {
  if (!conn_) raise(3420);
  return *conn_;
}

void Database::checkWritable() const {
  connection();
  if (readOnly_) raise(3027);
}

void Database::track(const std::shared_ptr<Recordset>& rs) {
  std::erase_if(recordsets_, [](const std::weak_ptr<Recordset>& w) { return w.expired(); });
  recordsets_.push_back(rs);
}

void Database::Close() {
  if (!conn_) return;
  for (auto& w : recordsets_)
    if (auto rs = w.lock()) rs->Close();
  recordsets_.clear();
  for (int id : subscriptions_) conn_->unsubscribe(id);
  subscriptions_.clear();
  conn_->flush();
  conn_.reset();
}

void Database::Flush() {
  if (conn_) conn_->commit();
}

int Database::Subscribe(std::function<void(const QString&)> fn) {
  const int id = connection().subscribe(std::move(fn));
  subscriptions_.push_back(id);
  return id;
}

void Database::Unsubscribe(int id) {
  if (conn_) conn_->unsubscribe(id);
  std::erase(subscriptions_, id);
}

void Database::Execute(const QString& jetSql, int) {
  auto& c = connection();
  const auto tr = jetsql::translate(jetSql);
  if (tr.shape.isSelect) raise(3065);
  if (!tr.params.empty()) raise(3061, tr.params.front().name);
  checkWritable();
  auto st = c.prepare(tr.sql, 3075, jetSql);
  affected_ = c.runWrite(st.get(), jetSql);
}

TableDefList& Database::TableDefs() {
  connection();
  tableDefs_.db_ = weak_from_this();
  tableDefs_.ensureFresh();
  return tableDefs_;
}

QueryDefList& Database::QueryDefs() {
  connection();
  queryDefs_.db_ = weak_from_this();
  queryDefs_.ensureLoaded();
  return queryDefs_;
}

RelationList& Database::Relations() {
  connection();
  relations_.db_ = weak_from_this();
  relations_.load();
  return relations_;
}

std::shared_ptr<TableDef> Database::CreateTableDef(const QString& name) {
  connection();
  return std::make_shared<TableDef>(name);
}

std::shared_ptr<QueryDef> Database::CreateQueryDef(const QString& name, const QString& jetSql) {
  auto q = std::make_shared<QueryDef>(shared_from_this(), name, jetSql);
  if (!name.isEmpty()) QueryDefs().Append(q);
  return q;
}

std::shared_ptr<Relation> Database::CreateRelation(const QString& name, const QString& table,
                                                   const QString& foreignTable) {
  connection();
  return std::make_shared<Relation>(name, table, foreignTable);
}

}  // namespace dao
