#pragma once
// The columns of a bound grid or drop-down, and the table model that shows a recordset through them.
//
// Rows are the recordset's rows in its order, addressed by bookmark: row i is the i-th row of the
// recordset's keyset that is not deleted. Values are read through a clone of the recordset, so that
// painting never moves the bound recordset's current record, one row (one statement) at a time and
// only for the rows a view asks for; read rows are kept until the database reports a change to any
// table, so repainting or scrolling back reads nothing again. Changes made anywhere (another
// recordset, SQL) show at the next paint; rows added through the recordset or its clones join at the
// end and rows deleted anywhere drop out once control returns to the event loop (or at refresh()).
// Unbound columns (no DataField) ask a fetch function per cell, only for the cells shown.
#include <QAbstractTableModel>
#include <QHash>
#include <QPointer>
#include <QString>
#include <daotypes.h>
#include <variant.h>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

namespace dao {
class Database;
class Recordset;
}  // namespace dao

namespace ui {

class DropDown;
class GridColumns;
class RecordsetModel;

// A column's alignment, by the grid's numbers. General: numbers and dates right, text left.
enum ColumnAlignment : int { dbgLeft = 0, dbgRight = 1, dbgCenter = 2, dbgGeneral = 3 };

// What a column's current-row accessors reach: the grid's current row (a drop-down has none).
class CurrentRowAccess {
public:
  virtual ~CurrentRowAccess() = default;
  virtual vb::Variant currentValue(int col) const = 0;
  virtual QString currentText(int col) const = 0;
  virtual void setCurrentValue(int col, const vb::Variant& value, const QString* text) = 0;
};

class Column {
public:
  enum class Property { Caption, DataField, Visible, Width, Locked, NumberFormat, Alignment, DropDown };

  const QString& Caption() const { return caption_; }
  void SetCaption(const QString& caption);
  // The recordset field shown; empty for an unbound column (filled by the fetch event).
  const QString& DataField() const { return dataField_; }
  void SetDataField(const QString& field);
  bool Bound() const { return !dataField_.isEmpty(); }
  bool Visible() const { return visible_; }
  void SetVisible(bool visible);
  int Width() const { return width_; }  // twips
  void SetWidth(int twips);
  bool Locked() const { return locked_; }  // no editing in this column
  void SetLocked(bool locked);
  // A VB format ("###,###,###,##0.00##", "Currency", "dd/mm/yyyy"); empty: the value's own text.
  const QString& NumberFormat() const { return numberFormat_; }
  void SetNumberFormat(const QString& format);
  int Alignment() const { return alignment_; }  // ColumnAlignment
  void SetAlignment(int alignment);
  DropDown* GetDropDown() const;   // none once the drop-down is destroyed
  void SetDropDown(DropDown* dropDown);
  int ColIndex() const;

  // The grid's current row: the value being committed while an edit is checked, else the row's
  // pending or stored value (fetched for unbound columns). Setting them puts the value into the row
  // (see BoundGrid). Text is the shown text; an empty text is Null.
  vb::Variant Value() const;
  void SetValue(const vb::Variant& value);
  QString Text() const;
  void SetText(const QString& text);
  // Any row's value and shown text, by bookmark: a row already read (on show) costs no statement,
  // so an unbound-column fetch reads its row's other cells for free; a copy of marked rows reads
  // each once. Null / "" for a bookmark that is none of the grid's rows.
  vb::Variant CellValue(const dao::Bookmark& bookmark) const;
  QString CellText(const dao::Bookmark& bookmark) const;

private:
  friend class GridColumns;
  explicit Column(GridColumns* owner) : owner_(owner) {}
  void changed(Property p);

  GridColumns* owner_;
  QString caption_;
  QString dataField_;
  bool visible_ = true;
  int width_ = 1440;
  bool locked_ = false;
  QString numberFormat_;
  int alignment_ = dbgGeneral;
  QPointer<QObject> dropDown_;
};

class GridColumns {
public:
  int Count() const { return int(items_.size()); }
  // Error 9 (subscript out of range) for an index outside 0..Count()-1 or an unknown name.
  Column& Item(int index) const;
  // By DataField, else by Caption; letter case ignored.
  Column& Item(const QString& fieldOrCaption) const;
  int IndexOf(const QString& fieldOrCaption) const;  // -1 when absent
  int IndexOf(const Column* column) const;
  // A new column at index (Count() appends): visible, 1440 twips wide, unbound, general alignment.
  Column& Add(int index);
  void Remove(int index);

  std::function<void(int index, Column::Property)> onChanged;
  std::function<void(int first, int last, bool inserting)> onAboutToInsertOrRemove;
  std::function<void(bool inserting)> onInsertedOrRemoved;
  CurrentRowAccess* currentRow = nullptr;

private:
  friend class Column;
  friend class RecordsetModel;
  RecordsetModel* model_ = nullptr;
  std::vector<std::unique_ptr<Column>> items_;
};

class RecordsetModel : public QAbstractTableModel {
  Q_OBJECT
public:
  explicit RecordsetModel(QObject* parent = nullptr);
  ~RecordsetModel() override;

  GridColumns& columns() { return columns_; }
  const GridColumns& columns() const { return columns_; }

  // Shows another recordset (or none): the rows are read anew.
  void setRecordset(std::shared_ptr<dao::Recordset> recordset);
  const std::shared_ptr<dao::Recordset>& recordset() const { return recordset_; }

  // One empty row after the last, for typing a new record.
  void setAddNewRow(bool shown);
  bool hasAddNewRow() const { return addNewRow_; }
  bool isAddNewRow(int row) const { return addNewRow_ && row == recordCount(); }
  int recordCount() const { return int(positions_.size()); }

  dao::Bookmark bookmarkAt(int row) const;  // invalid for the add-new row or out of range
  int rowOf(const dao::Bookmark& bookmark) const;  // -1 when not shown

  // The value as stored (bound columns) or as fetched (unbound); Null when the row cannot be read.
  vb::Variant storedValue(int row, int col);
  // The value shown: a pending one first.
  vb::Variant value(int row, int col);
  QString displayText(int row, int col);
  QString editText(int row, int col);
  static QString formatValue(const vb::Variant& value, const QString& numberFormat);

  // Values of one row not written yet (the grid's row buffer), shown over the stored ones. A text
  // given with a value is shown as it stands (what the user typed).
  void setPending(int row, int col, const vb::Variant& value, const QString* text = nullptr);
  bool hasPending(int row, int col) const;
  int pendingRow() const { return pendingRow_; }
  const std::map<int, vb::Variant>& pending() const { return pending_; }
  void clearPending();
  void removePending(int col);

  void setUnboundFetch(std::function<void(const dao::Bookmark&, int col, vb::Variant& value)> fetch) {
    fetch_ = std::move(fetch);
  }

  // Reads the recordset's rows again (rows added or deleted since) and forgets the values read.
  void refresh();
  // Forgets the values read of one row, or of every row.
  void invalidateRow(int row);
  void invalidate();

  // For benchmarks and tests: rows read from the database and unbound cells fetched.
  struct Stats {
    qint64 rowReads = 0;
    qint64 fetches = 0;
  };
  const Stats& stats() const { return stats_; }
  void resetStats() { stats_ = {}; }

  // The row whose record selector shows the current-row mark (-1 none).
  void setCurrentRow(int row);

  bool readOnly() const { return readOnly_; }
  void setReadOnly(bool readOnly) { readOnly_ = readOnly; }

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
  Qt::ItemFlags flags(const QModelIndex& index) const override;

signals:
  void columnChanged(int col, int property);  // Column::Property
  // After refresh() or a change reported by the database took rows away or added them.
  void rowsResynced();

private:
  struct Row {
    bool ok = false;
    std::vector<vb::Variant> fields;
    std::vector<std::optional<vb::Variant>> unbound;
  };
  Row* rowData(int row);
  void mapFields();
  void databaseChanged();
  void subscribe();
  void unsubscribe();
  std::vector<int64_t> livePositions(uint64_t* family) const;

  GridColumns columns_;
  std::shared_ptr<dao::Recordset> recordset_;
  std::shared_ptr<dao::Recordset> reader_;
  std::vector<int64_t> positions_;
  uint64_t family_ = 0;
  std::vector<int> fieldOf_;  // per column: the recordset field index, -1 unbound or unknown
  bool addNewRow_ = false;
  bool readOnly_ = false;
  int currentRow_ = -1;
  QHash<int64_t, Row> cache_;
  Row unread_;   // a row that could not be read, until the next read
  int pendingRow_ = -1;
  std::map<int, vb::Variant> pending_;
  std::map<int, QString> pendingText_;
  std::function<void(const dao::Bookmark&, int, vb::Variant&)> fetch_;
  Stats stats_;
  std::weak_ptr<dao::Database> db_;
  int subscription_ = 0;
  bool resyncPosted_ = false;
};

}  // namespace ui
