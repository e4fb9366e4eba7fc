#pragma once
// Internal: one SQLite connection per database file in this process, shared by every Database
// handle on that file. Owns the file lock, the lazy write transaction, change tracking and the
// schema cache. Single-threaded, like the rest of the layer.
#include "daotypes.h"

#include <QString>
#include <error.h>
#include <QStringList>
#include <sqlite3.h>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <unordered_map>
#include <vector>

namespace dao::detail {

struct StmtDeleter {
  void operator()(sqlite3_stmt* s) const { sqlite3_finalize(s); }
};
using Stmt = std::unique_ptr<sqlite3_stmt, StmtDeleter>;

class Connection;

// The rows of a recordset and of its clones: base-table rowids (keyset) or the rows of a
// temporary table (materialised results), in recordset order.
struct Family {
  uint64_t id = 0;
  std::weak_ptr<Connection> conn;
  QString baseTable;   // keyset families: the table whose rowids these are
  QString tempTable;   // materialised families
  std::vector<int64_t> rowids;
  std::vector<uint8_t> deleted;
  std::unordered_map<int64_t, int64_t> positionOf;
  int64_t live = 0;

  ~Family();
  void append(int64_t rowid);
  void markDeleted(int64_t rowid);
  void unmarkDeleted(int64_t rowid);
};

struct FieldInfo {
  QString name;
  DataType type = DataType::Text;
  int size = 0;
  bool required = false;
  bool allowZeroLength = false;
  QString defaultValue;
};

struct TableInfo {
  QString name;        // as created
  bool isView = false;
  std::vector<FieldInfo> fields;
  QStringList primaryKey;
  const FieldInfo* field(const QString& name) const;
};

class Connection : public std::enable_shared_from_this<Connection> {
public:
  // Opens (or returns this process's connection to) a file. Errors: 3024, 3044, 3343, 3356.
  static std::shared_ptr<Connection> acquire(const QString& path, bool exclusive);
  static std::shared_ptr<Connection> create(const QString& path);   // new file; 3204 when it exists
  static bool isOpenInProcess(const QString& path);
  ~Connection();

  sqlite3* db() const { return db_; }
  const QString& path() const { return path_; }
  bool exclusive() const { return exclusive_; }
  // A file that cannot be written is read whole into memory at open: it refuses writes (3027) but
  // while MemoryWrites are allowed, which go to that copy and never to the file.
  FileAccess access() const { return access_; }
  static void allowMemoryWrites(bool allow);

  // Statements. syntaxNumber: the Jet number for a text that does not parse (3075 or 3077).
  Stmt prepare(const QString& sql, int syntaxNumber = 3075, const QString& jetText = {});
  void exec(const QString& sql);                    // internal statements (no change tracking)
  void execQuiet(const QString& sql) noexcept;      // the same, errors ignored (clean-up)
  // Runs a write statement to its end: opens the action's transaction, tracks rows deleted and
  // tables changed, raises Jet's numbers. Returns the number of rows changed.
  int64_t runWrite(sqlite3_stmt* st, const QString& jetText = {});
  // Steps a read statement; false at the end. Raises on errors.
  bool step(sqlite3_stmt* st, const QString& jetText = {});
  // Raise the Jet number of a failed call. A failure of the storage (disk full, I/O error, read-only
  // medium) ends the transaction under way first: what it wrote is undone, here and in the file.
  // sysErrno: the system's error of the failure (-1: read it from the connection now).
  [[noreturn]] void fail(int rc, const QString& jetText = {}, int syntaxNumber = 3075);
  [[noreturn]] void failWith(int extendedCode, const QString& message, const QString& jetText, int syntaxNumber,
                             int sysErrno = -1);

  // The action's transaction: begun by the first write, committed by commit() or flush().
  void beginWrite();
  // Commits it now; readers of another process holding the file postpone it to the next flush. A
  // commit the system refuses undoes the transaction and raises the cause (61, 3027, 3000).
  void commit();
  // The same where no caller can be told (the end of an action, a close): a refusal goes to the
  // failure report.
  void flush() noexcept;
  // Where a refused commit is told when no caller can be: fn(file, error), after the transaction
  // was undone. None: a warning in the log.
  static void setFailureReport(std::function<void(const QString&, const vb::Error&)> fn);
  // Workspace transactions (BeginTrans/CommitTrans/Rollback) span every open file: a savepoint on
  // each connection that writes inside them; the action's commit waits until the outermost ends.
  static void workspaceBegin();
  static void workspaceEnd(bool commit);   // 3034 when none is open
  static int workspaceDepth();
  static void flushAll();

  // Changes: stamp moves whenever any row may have changed (here or in another process).
  uint64_t stamp();
  void registerFamily(const std::shared_ptr<Family>& f);
  uint64_t newFamilyId() { return ++familyIds_; }
  QString newTempName();
  int subscribe(std::function<void(const QString&)> fn);
  void unsubscribe(int id);

  // Schema.
  const TableInfo* table(const QString& name);   // nullptr when no such table or view
  int schemaVersion();
  void schemaChanged() { schema_.clear(); }
  // Write-time conversion (coercion.cpp): Jet stored a text written by SQL into a Date field as
  // the date and any nonzero into a Yes/No field as True; SQLite's affinity does neither, so each
  // such field carries triggers that convert (error 3421 when a text is not a date). Creates the
  // ones missing (files made before them, tables and fields just defined), converting the values
  // older writes left; returns at once while the schema is as last seen. Needs a write transaction.
  void syncCoercion();
  // The same at open, for a read-write handle: nothing is written when the file is complete; when
  // it is busy the first write does it.
  void syncCoercionAtOpen() noexcept;
  QString password();
  void setPassword(const QString& pwd);

private:
  Connection() = default;
  void configure();
  static void updateHook(void*, int, const char*, const char*, sqlite3_int64);
  void scheduleFlush();
  void applyPending(bool ok);
  // After a failed call: a storage failure ends the transaction (SQLite may have ended it already);
  // an ended transaction is undone in what the program shows. True when one was lost.
  bool recover(int extendedCode) noexcept;
  bool writableNow() const;   // whether the file system lets the file be written at this moment
  vb::Error errorFor(int extendedCode, const QString& message, const QString& jetText, int syntaxNumber,
                     int sysErrno) const;
  void transactionLost(const vb::Error& cause) noexcept;
  // Rows added or deleted since the undo-log mark are as before again in the open recordsets, and
  // the views of the tables written since are told.
  void undoTo(size_t mark);
  void notifyWritten();

  sqlite3* db_ = nullptr;
  QString path_;
  int lockFd_ = -1;
  bool exclusive_ = false;
  bool internal_ = false;   // our own DDL is running (see the authorizer)
  FileAccess access_ = FileAccess::Writable;
  int savepoints_ = 0;
  std::vector<size_t> savepointMarks_;   // undo-log size when each workspace savepoint began
  uint64_t rollbacks_ = 0;   // a rollback changes rows without counting as changes
  bool flushPosted_ = false;
  uint64_t familyIds_ = 0;
  int tempIds_ = 0;
  int schemaVersion_ = -1;
  int coercionVersion_ = -1;
  Stmt dataVersion_;
  Stmt schemaStmt_;
  struct Pending { int op; QString table; int64_t rowid; };
  std::vector<Pending> pending_;
  std::vector<Pending> undo_;     // rows the open transaction added or deleted
  QStringList written_;           // tables the open transaction wrote
  QByteArray hookTableUtf8_;
  QString hookTable_;
  std::unordered_map<QString, std::vector<std::weak_ptr<Family>>> families_;   // by lower-case table
  std::map<int, std::function<void(const QString&)>> subscribers_;
  int nextSubscriber_ = 0;
  std::unordered_map<QString, std::unique_ptr<TableInfo>> schema_;
};

QString lower(const QString& s);
// The file a path names, its name resolved ignoring letter case when the exact name is absent.
QString resolveFileName(const QString& path);
QString hashPassword(const QString& pwd);
QString passwordFromConnect(const QString& connect);
const char* declaredType(DataType t);
DataType typeFromDeclared(const QString& decl);
int fixedSize(DataType t);

}  // namespace dao::detail
