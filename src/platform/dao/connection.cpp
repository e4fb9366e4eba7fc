#include "connection.h"

#include "daoerror.h"
#include "files.h"
#include "jetsql.h"
#include "sqlfunctions.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace dao::detail {
namespace {

// Our own lock byte, clear of the bytes SQLite locks (0x40000000 .. 0x40000201). An open holds a
// read lock on it, an exclusive open a write lock, so another process's open fails at once with 3356.
constexpr off_t kSessionLockByte = 0x40001000;

// The process's connections by canonical path. Never destroyed: a connection's destructor looks
// itself up here, and a handle held by a global may be released after this file's statics are gone.
std::map<QString, std::weak_ptr<Connection>>& registry() {
  static auto* r = new std::map<QString, std::weak_ptr<Connection>>;
  return *r;
}

bool lockByte(int fd, bool write) {
  struct flock fl {};
  fl.l_type = write ? F_WRLCK : F_RDLCK;
  fl.l_whence = SEEK_SET;
  fl.l_start = kSessionLockByte;
  fl.l_len = 1;
  return fcntl(fd, F_OFD_SETLK, &fl) == 0;
}

// Why a file cannot be written, by the rule of every file the program writes (files.h): its own write
// permission (for its owner, so that the superuser, whom permissions do not stop, reads it as others
// do; or for this process), and the same of its folder, where the journal of a write is made.
FileAccess accessOf(const QString& canon, bool openedForWriting) {
  if (!openedForWriting || files::writeRefusal(canon) != 0) return FileAccess::FileReadOnly;
  if (files::writeRefusal(QFileInfo(canon).absolutePath()) != 0) return FileAccess::FolderReadOnly;
  return FileAccess::Writable;
}

// The file's content as the connection's main database, in memory (3024 when it cannot be read).
void readIntoMemory(sqlite3* db, const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) raise(3024, path);
  const qint64 size = f.size();
  auto* buffer = static_cast<unsigned char*>(sqlite3_malloc64(sqlite3_uint64(std::max<qint64>(size, 1))));
  if (!buffer) throw vb::Error(7);
  if (f.read(reinterpret_cast<char*>(buffer), size) != size) {
    sqlite3_free(buffer);
    raise(3024, path);
  }
  if (sqlite3_deserialize(db, "main", buffer, size, size,
                          SQLITE_DESERIALIZE_FREEONCLOSE | SQLITE_DESERIALIZE_RESIZEABLE) != SQLITE_OK)
    raise(3343, QDir::toNativeSeparators(path));
}

int g_memoryWrites = 0;
std::function<void(const QString&, const vb::Error&)> g_failureReport;
int g_workspaceDepth = 0;
// Why the workspace transaction under way cannot be committed: a write of it the storage refused.
std::optional<vb::Error> g_workspaceLost;
// CommitTrans calls that failed and ended their transaction, whose Rollback is still to come.
int g_endedByFailure = 0;

void noteWorkspaceLost(const vb::Error& cause) {
  if (g_workspaceDepth > 0 && !g_workspaceLost) g_workspaceLost = cause;
}

// Failures of the storage under the database, rather than of the statement.
bool storageFailure(int ext) {
  switch (ext & 0xff) {
    case SQLITE_FULL:
    case SQLITE_IOERR:
    case SQLITE_READONLY:
    case SQLITE_CANTOPEN:
    case SQLITE_CORRUPT:
    case SQLITE_NOTADB: return true;
    default: return false;
  }
}

int authorizer(void* self, int action, const char*, const char*, const char*, const char*) {
  // IGNORE on a DELETE statement turns off the truncate shortcut, so the update hook sees every
  // deleted row. Not during our own DDL: there IGNORE would silently skip a DROP.
  return action == SQLITE_DELETE && !static_cast<const bool*>(self)[0] ? SQLITE_IGNORE : SQLITE_OK;
}

}  // namespace

QString lower(const QString& s) { return s.toLower(); }

const FieldInfo* TableInfo::field(const QString& name) const {
  for (const auto& f : fields)
    if (f.name.compare(name, Qt::CaseInsensitive) == 0) return &f;
  return nullptr;
}

Family::~Family() {
  if (tempTable.isEmpty()) return;
  if (auto c = conn.lock()) {
    c->execQuiet(QStringLiteral("DROP TABLE IF EXISTS temp.%1").arg(jetsql::quoteIdent(tempTable)));
  }
}

void Family::append(int64_t rowid) {
  positionOf[rowid] = int64_t(rowids.size());
  rowids.push_back(rowid);
  deleted.push_back(0);
  ++live;
}

void Family::markDeleted(int64_t rowid) {
  auto it = positionOf.find(rowid);
  if (it == positionOf.end() || deleted[size_t(it->second)]) return;
  deleted[size_t(it->second)] = 1;
  --live;
}

void Family::unmarkDeleted(int64_t rowid) {
  auto it = positionOf.find(rowid);
  if (it == positionOf.end() || !deleted[size_t(it->second)]) return;
  deleted[size_t(it->second)] = 0;
  ++live;
}

QString resolveFileName(const QString& path) {
  QFileInfo fi(path);
  if (fi.exists()) return fi.absoluteFilePath();
  QDir dir = fi.absoluteDir();
  if (dir.exists()) {
    const QStringList names = dir.entryList(QDir::Files | QDir::Hidden);
    for (const QString& n : names)
      if (n.compare(fi.fileName(), Qt::CaseInsensitive) == 0) return dir.filePath(n);
  }
  return fi.absoluteFilePath();
}

QString hashPassword(const QString& pwd) {
  if (pwd.isEmpty()) return {};
  return QString::fromLatin1(
      QCryptographicHash::hash(("tornavo-jet:" + pwd).toUtf8(), QCryptographicHash::Sha256).toHex());
}

QString passwordFromConnect(const QString& connect) {
  const QStringList parts = connect.split(u';');
  for (const QString& p : parts) {
    const int eq = p.indexOf(u'=');
    if (eq > 0 && p.left(eq).trimmed().compare(u"pwd", Qt::CaseInsensitive) == 0) return p.mid(eq + 1);
  }
  return {};
}

const char* declaredType(DataType t) {
  switch (t) {
    case DataType::Boolean: return "YESNO";
    case DataType::Byte: return "BYTE";
    case DataType::Integer: return "SHORT";
    case DataType::Long: return "LONG";
    case DataType::Currency: return "CURRENCY";
    case DataType::Single: return "SINGLE";
    case DataType::Double: return "DOUBLE";
    case DataType::Date: return "DATETIME";
    case DataType::Text: return "TEXT";
    case DataType::Memo: return "LONGTEXT";
  }
  return "TEXT";
}

DataType typeFromDeclared(const QString& decl) {
  const QString d = decl.toUpper();
  static const std::pair<const char*, DataType> exact[] = {
      {"YESNO", DataType::Boolean}, {"BYTE", DataType::Byte},     {"SHORT", DataType::Integer},
      {"LONG", DataType::Long},     {"CURRENCY", DataType::Currency}, {"SINGLE", DataType::Single},
      {"DOUBLE", DataType::Double}, {"DATETIME", DataType::Date}, {"LONGTEXT", DataType::Memo}};
  for (const auto& [n, t] : exact)
    if (d == QLatin1String(n)) return t;
  if (d.contains(u"INT")) return DataType::Long;
  if (d.contains(u"CHAR") || d.contains(u"TEXT") || d.contains(u"CLOB") || d.isEmpty()) return DataType::Text;
  return DataType::Double;
}

int fixedSize(DataType t) {
  switch (t) {
    case DataType::Boolean:
    case DataType::Byte: return 1;
    case DataType::Integer: return 2;
    case DataType::Long:
    case DataType::Single: return 4;
    case DataType::Currency:
    case DataType::Double:
    case DataType::Date: return 8;
    default: return 0;
  }
}

bool Connection::isOpenInProcess(const QString& path) {
  const QString canon = QFileInfo(resolveFileName(path)).canonicalFilePath();
  auto it = registry().find(canon);
  return it != registry().end() && !it->second.expired();
}

std::shared_ptr<Connection> Connection::acquire(const QString& path, bool exclusive) {
  const QString resolved = resolveFileName(path);
  const QFileInfo fi(resolved);
  if (!fi.absoluteDir().exists()) raise(3044, QDir::toNativeSeparators(fi.absolutePath()));
  if (!fi.exists() || fi.isDir()) raise(3024, QDir::toNativeSeparators(path));
  const QString canon = fi.canonicalFilePath();

  if (auto it = registry().find(canon); it != registry().end()) {
    if (auto c = it->second.lock()) {
      if (exclusive && !c->exclusive_) {
        if (!lockByte(c->lockFd_, true)) raise(3356, path);
        c->exclusive_ = true;
        c->exec(QStringLiteral("PRAGMA locking_mode=EXCLUSIVE"));
      }
      return c;
    }
  }

  std::shared_ptr<Connection> c(new Connection);
  c->path_ = canon;
  c->exclusive_ = exclusive;
  const QByteArray native = QFile::encodeName(canon);
  c->lockFd_ = ::open(native.constData(), O_RDWR | O_CLOEXEC);
  const bool openedForWriting = c->lockFd_ >= 0;
  if (!openedForWriting) c->lockFd_ = ::open(native.constData(), O_RDONLY | O_CLOEXEC);
  if (c->lockFd_ < 0) raise(3024, path);
  c->access_ = accessOf(canon, openedForWriting);
  const bool writable = c->access_ == FileAccess::Writable;
  if (!lockByte(c->lockFd_, exclusive && openedForWriting)) raise(3356, path);
  const int flags = (writable ? SQLITE_OPEN_READWRITE : SQLITE_OPEN_READONLY) | SQLITE_OPEN_NOMUTEX;
  if (sqlite3_open_v2(native.constData(), &c->db_, flags, nullptr) != SQLITE_OK) raise(3024, path);
  c->configure();
  // Not one of our databases (not SQLite, or without our catalogue): Jet's "unrecognised format".
  sqlite3_stmt* probe = nullptr;
  int rc = sqlite3_prepare_v2(c->db_, "SELECT count(*) FROM sqlite_schema WHERE name='MSysDatabase'", -1, &probe, nullptr);
  bool ours = false;
  if (rc == SQLITE_OK) {
    rc = sqlite3_step(probe);
    ours = rc == SQLITE_ROW && sqlite3_column_int(probe, 0) == 1;
  }
  sqlite3_finalize(probe);
  if (rc == SQLITE_BUSY || rc == SQLITE_LOCKED) raise(3356, path);
  if (!ours) raise(3343, QDir::toNativeSeparators(path));
  // Read whole, so that what a read-only bid recalculates for its reports has somewhere to go.
  if (!writable) readIntoMemory(c->db_, canon);
  registry()[canon] = c;
  return c;
}

std::shared_ptr<Connection> Connection::create(const QString& path) {
  const QFileInfo fi(path);
  if (!fi.absoluteDir().exists()) raise(3044, QDir::toNativeSeparators(fi.absolutePath()));
  if (fi.exists()) raise(3204);
  std::shared_ptr<Connection> c(new Connection);
  const QByteArray native = QFile::encodeName(fi.absoluteFilePath());
  if (sqlite3_open_v2(native.constData(), &c->db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX,
                      nullptr) != SQLITE_OK) {
    sqlite3_close(c->db_);
    c->db_ = nullptr;
    raise(3044, QDir::toNativeSeparators(fi.absolutePath()));
  }
  c->path_ = QFileInfo(fi.absoluteFilePath()).canonicalFilePath();
  c->lockFd_ = ::open(native.constData(), O_RDWR | O_CLOEXEC);
  if (c->lockFd_ < 0 || !lockByte(c->lockFd_, false)) raise(3356, path);
  c->configure();
  c->exec(QStringLiteral(
      "CREATE TABLE MSysDatabase (Name TEXT PRIMARY KEY, Value TEXT);"
      "CREATE TABLE MSysFields (TableName TEXT COLLATE JETTEXT, FieldName TEXT COLLATE JETTEXT, Ordinal INTEGER,"
      " Type INTEGER, Size INTEGER, Required INTEGER, AllowZeroLength INTEGER, DefaultValue TEXT,"
      " PRIMARY KEY (TableName, FieldName));"
      "CREATE TABLE MSysIndexes (TableName TEXT COLLATE JETTEXT, IndexName TEXT COLLATE JETTEXT, Fields TEXT,"
      " IsPrimary INTEGER, IsUnique INTEGER, PRIMARY KEY (TableName, IndexName));"
      "CREATE TABLE MSysQueries (Name TEXT COLLATE JETTEXT PRIMARY KEY, SQL TEXT);"
      "CREATE TABLE MSysRelations (Name TEXT COLLATE JETTEXT PRIMARY KEY, TableName TEXT, ForeignTable TEXT,"
      " Fields TEXT, ForeignFields TEXT);"
      "INSERT INTO MSysDatabase VALUES ('Version', '1');"));
  registry()[c->path_] = c;
  return c;
}

Connection::~Connection() {
  if (db_) {
    if (!sqlite3_get_autocommit(db_)) sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr);
    dataVersion_.reset();
    schemaStmt_.reset();
    sqlite3_close_v2(db_);
  }
  if (lockFd_ >= 0) ::close(lockFd_);
  auto it = registry().find(path_);
  if (it != registry().end() && it->second.expired()) registry().erase(it);
}

void Connection::configure() {
  registerJetFunctions(db_);
  sqlite3_busy_timeout(db_, exclusive_ ? 0 : 3000);
  sqlite3_extended_result_codes(db_, 1);
  exec(QStringLiteral("PRAGMA journal_mode=DELETE; PRAGMA synchronous=FULL; PRAGMA temp_store=MEMORY;"
                      "PRAGMA cache_size=-16000; PRAGMA foreign_keys=OFF;"));
  if (exclusive_) exec(QStringLiteral("PRAGMA locking_mode=EXCLUSIVE"));
  sqlite3_update_hook(db_, updateHook, this);
  sqlite3_set_authorizer(db_, authorizer, &internal_);
}

void Connection::updateHook(void* self, int op, const char* dbName, const char* table, sqlite3_int64 rowid) {
  if (std::strcmp(dbName, "main") != 0) return;
  auto* c = static_cast<Connection*>(self);
  // Row-by-row loops hit one table: reuse its name instead of converting it for every row.
  if (c->hookTableUtf8_ != table) {
    c->hookTableUtf8_ = table;
    c->hookTable_ = QString::fromUtf8(table);
  }
  c->pending_.push_back({op, c->hookTable_, rowid});
}

Stmt Connection::prepare(const QString& sql, int syntaxNumber, const QString& jetText) {
  const QByteArray b = sql.toUtf8();
  sqlite3_stmt* st = nullptr;
  const int rc = sqlite3_prepare_v2(db_, b.constData(), int(b.size()), &st, nullptr);
  if (rc != SQLITE_OK) {
    sqlite3_finalize(st);
    fail(rc, jetText.isEmpty() ? sql : jetText, syntaxNumber);
  }
  return Stmt(st);
}

void Connection::exec(const QString& sql) {
  const QByteArray b = sql.toUtf8();
  internal_ = true;
  const int rc = sqlite3_exec(db_, b.constData(), nullptr, nullptr, nullptr);
  internal_ = false;
  if (rc != SQLITE_OK) fail(rc, sql);
}

void Connection::execQuiet(const QString& sql) noexcept {
  const QByteArray b = sql.toUtf8();
  internal_ = true;
  sqlite3_exec(db_, b.constData(), nullptr, nullptr, nullptr);
  internal_ = false;
}

bool Connection::step(sqlite3_stmt* st, const QString& jetText) {
  const int rc = sqlite3_step(st);
  if (rc == SQLITE_ROW) return true;
  if (rc == SQLITE_DONE) return false;
  sqlite3_reset(st);
  fail(rc, jetText);
}

int64_t Connection::runWrite(sqlite3_stmt* st, const QString& jetText) {
  beginWrite();
  pending_.clear();
  int rc;
  while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
  }
  if (rc != SQLITE_DONE) {
    const int ext = sqlite3_extended_errcode(db_);
    const int sysErrno = sqlite3_system_errno(db_);
    const QByteArray msg = sqlite3_errmsg(db_);
    sqlite3_reset(st);
    applyPending(false);
    // sqlite3_reset may overwrite the message; fail() reads the saved one through the error state.
    failWith(ext, QString::fromUtf8(msg), jetText, 3075, sysErrno);
  }
  const int64_t n = sqlite3_changes64(db_);
  sqlite3_reset(st);
  applyPending(true);
  return n;
}

void Connection::applyPending(bool ok) {
  if (!ok) {
    pending_.clear();
    return;
  }
  std::vector<Pending> events;
  events.swap(pending_);
  QStringList tables;
  for (const Pending& p : events) {
    if (!tables.contains(p.table, Qt::CaseInsensitive)) tables << p.table;
    if (p.op == SQLITE_UPDATE) continue;
    undo_.push_back(p);
    if (p.op != SQLITE_DELETE) continue;
    auto it = families_.find(lower(p.table));
    if (it == families_.end()) continue;
    for (auto& w : it->second)
      if (auto f = w.lock()) f->markDeleted(p.rowid);
  }
  for (const QString& t : tables)
    if (!written_.contains(t, Qt::CaseInsensitive)) written_ << t;
  if (tables.isEmpty() || subscribers_.empty()) return;
  const auto subs = subscribers_;
  for (const QString& t : tables)
    for (const auto& [id, fn] : subs) fn(t);
}

void Connection::undoTo(size_t mark) {
  while (undo_.size() > mark) {
    const Pending p = undo_.back();
    undo_.pop_back();
    auto it = families_.find(lower(p.table));
    if (it == families_.end()) continue;
    for (auto& w : it->second)
      if (auto f = w.lock()) {
        if (p.op == SQLITE_DELETE) f->unmarkDeleted(p.rowid);
        else f->markDeleted(p.rowid);
      }
  }
  ++rollbacks_;
}

void Connection::notifyWritten() {
  if (subscribers_.empty()) return;
  const auto subs = subscribers_;
  for (const QString& t : written_)
    for (const auto& [id, fn] : subs) fn(t);
}

bool Connection::recover(int ext) noexcept {
  if (!db_ || (savepoints_ == 0 && undo_.empty() && written_.isEmpty() && sqlite3_get_autocommit(db_))) return false;
  // A write the storage refused leaves nothing of the action: what SQLite did not undo is undone here.
  if (storageFailure(ext) && !sqlite3_get_autocommit(db_)) sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
  return sqlite3_get_autocommit(db_);
}

void Connection::transactionLost(const vb::Error& cause) noexcept {
  try {
    undoTo(0);
    if (savepoints_ > 0) noteWorkspaceLost(cause);
    savepoints_ = 0;
    savepointMarks_.clear();
    notifyWritten();
  } catch (...) {
  }
  written_.clear();
}

void Connection::fail(int rc, const QString& jetText, int syntaxNumber) {
  failWith(sqlite3_extended_errcode(db_) ? sqlite3_extended_errcode(db_) : rc, QString::fromUtf8(sqlite3_errmsg(db_)),
           jetText, syntaxNumber);
}

vb::Error Connection::errorFor(int ext, const QString& msg, const QString& jetText, int syntaxNumber,
                               int sysErrno) const {
  const auto jet = [](int number, const QString& arg = {}) { return vb::Error(number, errorDescription(number, arg)); };
  const int primary = ext & 0xff;
  // The storage's refusals, by their cause.
  if (primary == SQLITE_FULL || (primary == SQLITE_IOERR && (sysErrno == ENOSPC || sysErrno == EDQUOT)))
    return vb::Error(61);
  // A statement that cannot open a file of its own, once the database is open, is a write whose
  // journal the folder refuses: the database cannot be written, as a read-only file cannot.
  if (primary == SQLITE_READONLY || primary == SQLITE_CANTOPEN ||
      (primary == SQLITE_IOERR && (sysErrno == EROFS || sysErrno == EACCES || sysErrno == EPERM || !writableNow())))
    return jet(3027);
  if (primary == SQLITE_IOERR)
    return jet(3000, QStringLiteral("Error de lectura o escritura en el disco ('%1').").arg(QDir::toNativeSeparators(path_)));
  if (primary == SQLITE_NOTADB || primary == SQLITE_CORRUPT) return jet(3343, path_);

  static const QRegularExpression jetNumber(QStringLiteral("jet(\\d{4})[:_]?(.*)$"));
  if (auto m = jetNumber.match(msg); m.hasMatch()) {
    const int number = m.captured(1).toInt();
    QString arg = m.captured(2);
    if (number == 3163 || number == 3315) arg = arg.section(u'.', -1);
    if (number == 3464) return vb::Error(3464, QStringLiteral("No coinciden los tipos de datos en la expresión de criterios (%1).").arg(arg));
    return jet(number, arg);
  }
  if (ext == SQLITE_CONSTRAINT_PRIMARYKEY || ext == SQLITE_CONSTRAINT_UNIQUE) return jet(3022);
  if (ext == SQLITE_CONSTRAINT_NOTNULL) return jet(3314, msg.section(u'.', -1));
  if (primary == SQLITE_BUSY || primary == SQLITE_LOCKED) return jet(3260);
  auto after = [&](const char* prefix) { return msg.mid(int(std::strlen(prefix))).trimmed(); };
  if (msg.startsWith(u"no such table:")) {
    QString t = after("no such table:");
    if (t.startsWith(u"main.")) t = t.mid(5);
    return jet(3078, t);
  }
  if (msg.startsWith(u"no such column:")) return jet(3061, after("no such column:"));
  if (msg.startsWith(u"no such function:")) {
    QString f = after("no such function:");
    if (f.startsWith(u"jet_")) f = f.mid(4);
    return jet(3085, f);
  }
  if (msg.startsWith(u"ambiguous column name:")) return jet(3079, after("ambiguous column name:"));
  if (msg.contains(u"syntax error") || msg.startsWith(u"incomplete input") || msg.startsWith(u"unrecognized token") ||
      msg.startsWith(u"wrong number of arguments") || msg.startsWith(u"misuse of aggregate") ||
      msg.contains(u"terms in the result set") || msg.contains(u"columns but") || msg.contains(u"values for"))
    return jet(syntaxNumber, jetText);
  return jet(3000, QStringLiteral("Error del motor de base de datos: %1").arg(msg));
}

bool Connection::writableNow() const {
  // Asked of the file system the way SQLite asks it, through the connection's own VFS: a failure
  // does not always leave the system's error behind (a commit's does not).
  sqlite3_vfs* vfs = nullptr;
  if (!db_ || sqlite3_file_control(db_, "main", SQLITE_FCNTL_VFS_POINTER, &vfs) != SQLITE_OK || !vfs) return true;
  int writable = 1;
  const QByteArray native = QFile::encodeName(path_);
  if (vfs->xAccess(vfs, native.constData(), SQLITE_ACCESS_READWRITE, &writable) != SQLITE_OK) return true;
  return writable != 0;
}

void Connection::failWith(int ext, const QString& msg, const QString& jetText, int syntaxNumber, int sysErrno) {
  if (sysErrno < 0) sysErrno = db_ ? sqlite3_system_errno(db_) : 0;
  const vb::Error e = errorFor(ext, msg, jetText, syntaxNumber, sysErrno);
  if (recover(ext)) transactionLost(e);
  throw e;
}

void Connection::allowMemoryWrites(bool allow) { g_memoryWrites += allow ? 1 : -1; }

void Connection::setFailureReport(std::function<void(const QString&, const vb::Error&)> fn) {
  g_failureReport = std::move(fn);
}

void Connection::beginWrite() {
  if (access_ != FileAccess::Writable && g_memoryWrites == 0) raise(3027);
  // The workspace transaction lost a write: the rest of it is refused as well, until it ends.
  if (g_workspaceLost && g_workspaceDepth > 0) throw *g_workspaceLost;
  if (sqlite3_get_autocommit(db_)) {
    const int rc = sqlite3_exec(db_, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) fail(rc);
    // Other processes change the schema only between our transactions; our own definitions
    // bring their conversion with them.
    syncCoercion();
  }
  while (savepoints_ < g_workspaceDepth) {
    exec(QStringLiteral("SAVEPOINT ws"));
    savepointMarks_.push_back(undo_.size());
    ++savepoints_;
  }
  scheduleFlush();
}

void Connection::scheduleFlush() {
  if (flushPosted_ || !QCoreApplication::instance()) return;
  flushPosted_ = true;
  std::weak_ptr<Connection> w = weak_from_this();
  QMetaObject::invokeMethod(
      QCoreApplication::instance(),
      [w] {
        if (auto c = w.lock()) {
          c->flushPosted_ = false;
          c->flush();
        }
      },
      Qt::QueuedConnection);
}

void Connection::commit() {
  if (!db_ || savepoints_ > 0 || g_workspaceDepth > 0 || sqlite3_get_autocommit(db_)) return;
  const int rc = sqlite3_exec(db_, "COMMIT", nullptr, nullptr, nullptr);
  if (rc == SQLITE_OK) {
    undo_.clear();
    written_.clear();
    return;
  }
  const int ext = sqlite3_extended_errcode(db_);
  if ((ext & 0xff) == SQLITE_BUSY && !sqlite3_get_autocommit(db_)) {
    // Readers of another process hold the file: the edits stay in the open transaction and the
    // next flush commits them.
    qWarning("dao: commit of %s postponed: %s", qPrintable(path_), sqlite3_errmsg(db_));
    scheduleFlush();
    return;
  }
  fail(rc);
}

void Connection::flush() noexcept {
  try {
    commit();
  } catch (const vb::Error& e) {
    if (g_failureReport) {
      try {
        g_failureReport(path_, e);
        return;
      } catch (...) {
      }
    }
    qWarning("dao: commit of %s refused: %d %s", qPrintable(path_), e.number(), qPrintable(e.description()));
  }
}

int Connection::workspaceDepth() { return g_workspaceDepth; }

void Connection::flushAll() {
  for (auto& [path, w] : registry())
    if (auto c = w.lock()) c->flush();
}

void Connection::workspaceBegin() {
  ++g_workspaceDepth;
  g_endedByFailure = 0;
}

void Connection::workspaceEnd(bool commit) {
  // The Rollback that follows a CommitTrans which failed: that transaction has ended already.
  if (!commit && g_endedByFailure > 0) {
    --g_endedByFailure;
    return;
  }
  if (g_workspaceDepth == 0) raise(3034);
  const bool keep = commit && !g_workspaceLost;
  for (auto& [path, w] : registry()) {
    auto c = w.lock();
    if (!c || c->savepoints_ < g_workspaceDepth) continue;
    try {
      if (!keep) {
        c->exec(QStringLiteral("ROLLBACK TO ws"));
        c->undoTo(c->savepointMarks_.back());
        c->notifyWritten();
      }
      c->exec(QStringLiteral("RELEASE ws"));
      c->savepointMarks_.pop_back();
      --c->savepoints_;
    } catch (const vb::Error&) {
      // The storage failed under it: its transaction is over, and the workspace's is lost.
    }
  }
  --g_workspaceDepth;
  std::optional<vb::Error> failure;
  if (commit && g_workspaceLost) failure = *g_workspaceLost;
  if (g_workspaceDepth == 0) {
    g_workspaceLost.reset();
    if (keep)
      for (auto& [path, w] : registry())
        if (auto c = w.lock()) {
          try {
            c->commit();
          } catch (const vb::Error& e) {
            if (!failure) failure = e;
          }
        }
  }
  if (failure) {
    ++g_endedByFailure;
    throw *failure;
  }
}

uint64_t Connection::stamp() {
  uint64_t s = uint64_t(sqlite3_total_changes64(db_)) + (rollbacks_ << 52);
  if (!exclusive_) {
    if (!dataVersion_) dataVersion_ = prepare(QStringLiteral("PRAGMA data_version"));
    if (sqlite3_step(dataVersion_.get()) == SQLITE_ROW) s += uint64_t(sqlite3_column_int64(dataVersion_.get(), 0)) << 40;
    sqlite3_reset(dataVersion_.get());
  }
  return s;
}

void Connection::registerFamily(const std::shared_ptr<Family>& f) {
  auto& v = families_[lower(f->baseTable)];
  std::erase_if(v, [](const std::weak_ptr<Family>& w) { return w.expired(); });
  v.push_back(f);
}

QString Connection::newTempName() { return QStringLiteral("rs%1").arg(++tempIds_); }

int Connection::subscribe(std::function<void(const QString&)> fn) {
  subscribers_[++nextSubscriber_] = std::move(fn);
  return nextSubscriber_;
}

void Connection::unsubscribe(int id) { subscribers_.erase(id); }

int Connection::schemaVersion() {
  if (!schemaStmt_) schemaStmt_ = prepare(QStringLiteral("PRAGMA schema_version"));
  int version = -1;
  if (sqlite3_step(schemaStmt_.get()) == SQLITE_ROW) version = sqlite3_column_int(schemaStmt_.get(), 0);
  sqlite3_reset(schemaStmt_.get());
  return version;
}

const TableInfo* Connection::table(const QString& name) {
  const int version = schemaVersion();
  if (version != schemaVersion_) {
    schema_.clear();
    schemaVersion_ = version;
  }
  const QString key = lower(name);
  if (auto it = schema_.find(key); it != schema_.end()) return it->second.get();

  Stmt st = prepare(QStringLiteral(
      "SELECT name, type FROM sqlite_schema WHERE type IN ('table','view') AND name = ?1 COLLATE JETTEXT "
      "AND name NOT GLOB 'sqlite_*'"));
  const QByteArray nb = name.toUtf8();
  sqlite3_bind_text(st.get(), 1, nb.constData(), int(nb.size()), SQLITE_TRANSIENT);
  if (!step(st.get())) return nullptr;
  auto info = std::make_unique<TableInfo>();
  info->name = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st.get(), 0)));
  info->isView = std::strcmp(reinterpret_cast<const char*>(sqlite3_column_text(st.get(), 1)), "view") == 0;
  st.reset();

  std::map<int, QString> pk;
  Stmt cols = prepare(QStringLiteral("PRAGMA table_info(%1)").arg(jetsql::quoteIdent(info->name)));
  while (step(cols.get())) {
    FieldInfo f;
    f.name = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(cols.get(), 1)));
    f.type = typeFromDeclared(QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(cols.get(), 2))));
    f.size = f.type == DataType::Text ? 255 : fixedSize(f.type);
    if (int k = sqlite3_column_int(cols.get(), 5)) pk[k] = f.name;
    info->fields.push_back(f);
  }
  for (const auto& [k, n] : pk) info->primaryKey << n;
  if (!info->isView) {
    Stmt meta = prepare(QStringLiteral(
        "SELECT FieldName, Type, Size, Required, AllowZeroLength, DefaultValue FROM MSysFields WHERE TableName = ?1"));
    const QByteArray tb = info->name.toUtf8();
    sqlite3_bind_text(meta.get(), 1, tb.constData(), int(tb.size()), SQLITE_TRANSIENT);
    while (step(meta.get())) {
      const QString fname = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(meta.get(), 0)));
      for (auto& f : info->fields) {
        if (f.name.compare(fname, Qt::CaseInsensitive) != 0) continue;
        f.type = DataType(sqlite3_column_int(meta.get(), 1));
        f.size = sqlite3_column_int(meta.get(), 2);
        f.required = sqlite3_column_int(meta.get(), 3) != 0;
        f.allowZeroLength = sqlite3_column_int(meta.get(), 4) != 0;
        if (sqlite3_column_type(meta.get(), 5) != SQLITE_NULL)
          f.defaultValue = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(meta.get(), 5)));
      }
    }
  }
  const TableInfo* out = info.get();
  schema_[key] = std::move(info);
  return out;
}

QString Connection::password() {
  Stmt st = prepare(QStringLiteral("SELECT Value FROM MSysDatabase WHERE Name = 'Password'"));
  if (!step(st.get()) || sqlite3_column_type(st.get(), 0) == SQLITE_NULL) return {};
  return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st.get(), 0)));
}

void Connection::setPassword(const QString& pwd) {
  Stmt st = prepare(QStringLiteral("INSERT OR REPLACE INTO MSysDatabase (Name, Value) VALUES ('Password', ?1)"));
  const QByteArray h = hashPassword(pwd).toUtf8();
  sqlite3_bind_text(st.get(), 1, h.constData(), int(h.size()), SQLITE_TRANSIENT);
  runWrite(st.get());
}

}  // namespace dao::detail
