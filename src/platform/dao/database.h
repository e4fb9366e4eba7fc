#pragma once
// The database layer's entry points: DBEngine (open, create, compact, workspace transactions,
// end of a user action) and Database.
//
//   auto db = dao::DBEngine::OpenDatabase(path, /*exclusive*/ true, /*readOnly*/ false, ";pwd=SECRETO");
//   auto rs = db->OpenRecordset("SELECT * FROM Presupuesto");         // dynaset
//   rs->FindFirst("Partida='A01' And Renglon=3");
//   rs->Edit(); rs->SetValue("Precio", vb::Currency::fromScaled(125000)); rs->Update();
//
// Files are single SQLite files (no sidecar file once closed). Writes are grouped into one
// transaction per user action: the first write opens it, and it is committed when control returns
// to the Qt event loop (a queued call, so a whole button press or grid edit is one commit), by
// DBEngine::EndAction() / Database::Flush(), by CommitTrans of the outermost workspace transaction,
// and on Close. A crash loses at most the action under way; the file stays consistent.
//
// A write or commit the system refuses (disk full: 61 "Disco lleno"; a read-only medium: 3027; any
// other failure of the disk: 3000) undoes the whole transaction it belonged to, in the file and in
// the open recordsets (rows added or deleted by it are back as they were, views are told of the
// tables it wrote), and raises the cause to the caller: the statement that failed, or CommitTrans.
// A workspace transaction that lost a write refuses the rest of its writes and its CommitTrans with
// the same error; the Rollback a caller then calls is accepted. Where no caller can be told (the
// commit at the end of an action, a close), the failure goes to the report set by OnCommitFailure.
//
// A file that cannot be written (FileAccess) is read whole into memory when opened: it reads as any
// other and refuses writes with 3027, except while a MemoryWrites lives: then writes go to that copy
// and never reach the file (what a read-only bid recalculates to print it).
// Exclusive opens keep other processes out (3356); within this process a second open of the same
// file shares the first one's connection. Everything here is single-threaded (the GUI thread).
#include "daotypes.h"
#include "querydef.h"
#include "recordset.h"
#include "tabledef.h"

#include <QString>
#include <error.h>

#include <functional>
#include <memory>
#include <vector>

namespace dao {

namespace detail { class Connection; }

class Workspace {
public:
  // Transactions over every open database; nested ones are savepoints. Rollback undoes the writes
  // since the matching BeginTrans (3034 without one).
  void BeginTrans();
  void CommitTrans();
  void Rollback();
};

class DBEngine {
public:
  // connect: ";pwd=..." (other keys ignored). Errors: 3024 missing file, 3044 missing folder,
  // 3031 wrong password, 3356 held exclusively by another process (or, for an exclusive open,
  // open in another process), 3343 not one of our databases. A file name whose exact spelling is
  // absent is found ignoring letter case.
  static std::shared_ptr<Database> OpenDatabase(const QString& path, bool exclusive = false, bool readOnly = false,
                                                const QString& connect = {});
  // A new empty database (3204 when the file exists), opened shared and read-write; its password
  // is the connect string's.
  static std::shared_ptr<Database> CreateDatabase(const QString& path, const QString& connect = {});
  // Copies src to a new, compacted dst keeping the password (src opened with connect). src must be
  // closed everywhere (3356), dst must not exist (3204). dst appears whole or not at all.
  static void CompactDatabase(const QString& src, const QString& dst, const QString& connect = {});
  // Compacts path into a copy beside it that then takes its place in one step; with a backup name,
  // the file as it was stays under that name. At every moment path holds the old file or the whole
  // compacted one. The file is held exclusively meanwhile (3356 when it is open anywhere), and what
  // interrupted work left beside it is removed first (files.h). Errors as OpenDatabase's, 3027 for a
  // file that cannot be written (FileAccess), and the file errors of files.h.
  static void CompactInPlace(const QString& path, const QString& backup, const QString& connect = {});
  static Workspace& Workspaces(int index = 0);
  // The end of a user action: commits every open database's pending writes (a refusal goes to the
  // report set by OnCommitFailure).
  static void EndAction();
  // fn(file, error) is told of a commit the system refused where no caller could be, once its
  // transaction was undone; nullptr: a warning in the log.
  static void OnCommitFailure(std::function<void(const QString& file, const vb::Error& error)> fn);
  // The name of the file path resolves to (letter case ignored when the exact name is absent).
  static QString ResolvePath(const QString& path);
};

// While one lives, databases whose files cannot be written take writes into their copy in memory.
class MemoryWrites {
public:
  MemoryWrites();
  ~MemoryWrites();
  MemoryWrites(const MemoryWrites&) = delete;
  MemoryWrites& operator=(const MemoryWrites&) = delete;
};

class Database : public std::enable_shared_from_this<Database> {
public:
  ~Database();
  Database(const Database&) = delete;
  Database& operator=(const Database&) = delete;

  QString Name() const { return name_; }
  bool ReadOnly() const { return readOnly_; }
  // Whether the file can be written, and if not, why.
  FileAccess Access() const;
  bool Exclusive() const;
  bool IsOpen() const { return conn_ != nullptr; }
  // Closes the recordsets opened on it (later use: 3420) and commits pending writes.
  void Close();

  // Runs one Jet action statement (UPDATE, INSERT, DELETE), all or nothing; raises on error
  // (options are accepted as DAO's; dbFailOnError is always in effect). As in Jet, a text written
  // into a Date field is stored as the date it reads as ("2009/03/15", "15/03/2009", "15/mar/2009",
  // with or without a time; 3421 when it is not a date, " " included) and any nonzero written into
  // a Yes/No field as True; saved action queries and recordsets store the same.
  void Execute(const QString& jetSql, int options = 0);
  int64_t RecordsAffected() const { return affected_; }

  // source: a table name, a saved query's name, or Jet SQL. Default kind: dynaset.
  std::shared_ptr<Recordset> OpenRecordset(const QString& source, RecordsetType type = RecordsetType::Default);

  TableDefList& TableDefs();
  QueryDefList& QueryDefs();
  RelationList& Relations();
  std::shared_ptr<TableDef> CreateTableDef(const QString& name);
  // With a name the query is saved at once (3012 when the name is taken); without, it is temporary.
  std::shared_ptr<QueryDef> CreateQueryDef(const QString& name = {}, const QString& jetSql = {});
  std::shared_ptr<Relation> CreateRelation(const QString& name, const QString& table, const QString& foreignTable);

  // Commits this file's pending writes now (see the top of this header); raises a refusal.
  void Flush();

  // Change notification for views: fn(table) is called after each statement or Update that
  // changed rows of a table (once per table and statement; on row-by-row loops receivers should
  // coalesce). Every Database handle on the file sees the changes made through any of them.
  int Subscribe(std::function<void(const QString& table)> fn);
  void Unsubscribe(int id);

  // Internal.
  Database(std::shared_ptr<detail::Connection> conn, const QString& name, bool readOnly);
  detail::Connection& connection() const;
  void track(const std::shared_ptr<Recordset>& rs);
  void checkWritable() const;

private:
  std::shared_ptr<detail::Connection> conn_;
  QString name_;
  bool readOnly_;
  int64_t affected_ = 0;
  std::vector<std::weak_ptr<Recordset>> recordsets_;
  std::vector<int> subscriptions_;
  TableDefList tableDefs_;
  QueryDefList queryDefs_;
  RelationList relations_;
};

}  // namespace dao
