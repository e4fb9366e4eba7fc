#pragma once
// Recordset: DAO's cursor over a table, a saved query or a Jet SQL text.
//
// Kinds:
//  - Dynaset (default) and Table over one table: a keyset of the rows' identities fixed at open (or
//    Requery); values are read live, so edits made through any other recordset or statement show on
//    the next read. Rows added through this recordset or its clones join the shared keyset; rows
//    added elsewhere show after Requery; rows deleted anywhere drop out (Move*, Find* and
//    RecordCount skip them). Without ORDER BY rows come in primary-key order.
//  - Dynasets over joins, aggregates, DISTINCT or a saved query used in FROM, Snapshot and
//    ForwardOnly: the rows are copied at open (or Requery) and are read-only (3027).
//  - Table: like a dynaset over the table, but Find* is not offered (3251).
//  - ForwardOnly: MoveNext only (3251 for the others, Find, Clone and bookmarks).
// Find* take Jet criteria (the WHERE grammar: 'text', #dates#, And/Or, Like, IsNull(...)) and run
// as SQL on the source, using its indexes. A failed Find sets NoMatch and keeps the position;
// moving does not clear NoMatch. Errors are vb::Error with Jet's numbers.
#include "daotypes.h"
#include "field.h"

#include <QString>
#include <variant.h>

#include <memory>
#include <vector>

namespace dao {

class Database;
class QueryDef;

class Recordset {
public:
  ~Recordset();
  Recordset(const Recordset&) = delete;
  Recordset& operator=(const Recordset&) = delete;

  RecordsetType Type() const;
  bool Updatable() const;
  QString Name() const;                 // the source as given
  std::shared_ptr<Database> Parent() const;   // the database it was opened on (views subscribe to its changes)

  bool EOF_() const;                    // DAO's EOF (the name EOF is a C macro)
  bool BOF() const;
  int64_t RecordCount() const;          // exact: rows not deleted

  void MoveFirst();                     // 3021 when there are no rows
  void MoveLast();
  void MoveNext();                      // 3021 at EOF
  void MovePrevious();                  // 3021 at BOF

  void FindFirst(const QString& criteria);
  void FindLast(const QString& criteria);
  void FindNext(const QString& criteria);
  void FindPrevious(const QString& criteria);
  bool NoMatch() const;

  Bookmark GetBookmark() const;         // 3021 with no current record
  void SetBookmark(const Bookmark& b);  // 3159 from another family, 3167 for a deleted row
  Bookmark LastModified() const;        // the row last added or changed through this recordset
  // The bookmarks of the rows, in order (for grids that address rows by position).
  std::vector<Bookmark> Bookmarks() const;

  // A new cursor on the same rows (rows added through either are seen by both), with no current record.
  std::shared_ptr<Recordset> Clone();
  // Runs the source again (a saved query's current parameter values included); the clones keep the old rows.
  void Requery();

  QString Sort() const;
  void SetSort(const QString& jetOrderBy);   // "Codigo,Descri DESC"; used by OpenRecordset only
  // A new recordset of the same source ordered by Sort (3117 when Sort names a Memo field).
  std::shared_ptr<Recordset> OpenRecordset(RecordsetType type = RecordsetType::Default);

  void AddNew();                        // buffer with the fields' default values
  void Edit();                          // 3021 without a current record
  void Update();                        // 3020 without AddNew/Edit; 3314, 3315, 3022, 3200 ...
  void CancelUpdate();
  void Delete();                        // the current record; it stays current but deleted (3167)
  EditMode GetEditMode() const;

  int FieldCount() const;
  Field& Fields(int index);             // 3265 out of range
  Field& Fields(const QString& name);   // letter case ignored; 3265 when absent
  vb::Variant Value(const QString& name) { return Fields(name).Value(); }
  void SetValue(const QString& name, const vb::Variant& v) { Fields(name).SetValue(v); }

  // Up to n rows from the current one as [field][row]; moves past them.
  std::vector<std::vector<vb::Variant>> GetRows(int n);

  void Close();                         // later use: 3420

  struct Impl;

private:
  friend class Database;
  friend class QueryDef;
  friend class Field;
  explicit Recordset(std::unique_ptr<Impl> d);
  vb::Variant fieldValue(int index) const;
  void setFieldValue(int index, const vb::Variant& v);
  std::unique_ptr<Impl> d_;
};

}  // namespace dao
