#pragma once
// The unbound grid: a table view over an XArray that the window fills and reads itself. Column c
// shows array column c. With AllowAddNew an empty line after the last row takes a new row.
//
// Editing works on a copy of the current row (the row buffer); the array changes only when the row
// is written. A user's cell edit (or CommitCell) runs, in this order:
//   OnAddNew()                         the first edit in the add-new line; the buffer starts with
//                                      the columns' DefaultValue
//   BeforeColUpdate(col, old, cancel)  Columns(col).Value() is the new value (the text typed, Null
//                                      when empty; True/False for a check box) and the handler may
//                                      change it with SetValue. cancel: the cell keeps its old value
//   AfterColUpdate(col)                the value is in the buffer
// Update() writes the buffer: BeforeUpdate(cancel); unless cancelled the row goes into the array (a
// new row at its end), then AfterUpdate(). A cancelled write keeps the buffer; leaving the row tries
// again and, refused again, drops it. Escape drops it too.
// Handlers may reload the array (SetArray, ReBind) from any event: edits are run once the editor has
// closed, so nothing of the view is under way then.
//
// Deleting: Delete with one whole row selected (record selector) and AllowDelete, or Delete():
// BeforeDelete(cancel), the row removed from the array, AfterDelete(). Several rows selected are
// not deleted.
#include "forms.h"
#include "msgbox.h"
#include "xarray.h"

#include <QPersistentModelIndex>
#include <QPointer>
#include <QTableView>

#include <memory>
#include <optional>
#include <vector>

namespace ui {

class UnboundGrid;
class UnboundGridModel;

// The window's handlers. Every method has an empty default.
class UnboundGridEvents {
public:
  virtual ~UnboundGridEvents() = default;
  virtual void OnAddNew() {}
  virtual void BeforeColUpdate(int /*colIndex*/, const vb::Variant& /*oldValue*/, bool& /*cancel*/) {}
  virtual void AfterColUpdate(int /*colIndex*/) {}
  virtual void BeforeUpdate(bool& /*cancel*/) {}
  virtual void AfterUpdate() {}
  virtual void BeforeDelete(bool& /*cancel*/) {}
  virtual void AfterDelete() {}
  // The user changed the selected cells or rows with the mouse or the keyboard.
  virtual void SelChange(bool& /*cancel*/) {}
};

class UnboundColumn {
public:
  const QString& Caption() const { return caption_; }
  void SetCaption(const QString& caption);
  const QString& DataField() const { return dataField_; }
  void SetDataField(const QString& field) { dataField_ = field; }
  bool Visible() const { return visible_; }
  void SetVisible(bool visible);
  int Width() const { return width_; }  // twips
  void SetWidth(int twips);
  bool Locked() const { return locked_; }
  void SetLocked(bool locked);
  // "General Number" (the number's own text), "Currency" ("$1,234.50"), or a VB format; empty: the
  // value's text.
  const QString& NumberFormat() const { return numberFormat_; }
  void SetNumberFormat(const QString& format);
  // The value a new row starts with in this column.
  const vb::Variant& DefaultValue() const { return defaultValue_; }
  void SetDefaultValue(const vb::Variant& value) { defaultValue_ = value; }
  // Shown and edited as a check box (True/False).
  bool CheckBox() const { return checkBox_; }
  void SetCheckBox(bool checkBox);
  int ColIndex() const { return index_; }

  // The current row's value: the buffer's while the row is being edited, else the array's. Setting
  // it changes the row buffer (the row is written by the next Update).
  vb::Variant Value() const;
  void SetValue(const vb::Variant& value);
  QString Text() const;  // as shown

private:
  friend class UnboundGrid;
  UnboundColumn(UnboundGrid* grid, int index) : grid_(grid), index_(index) {}
  UnboundGrid* grid_;
  int index_;
  QString caption_;
  QString dataField_;
  bool visible_ = true;
  int width_ = 1440;
  bool locked_ = false;
  QString numberFormat_;
  vb::Variant defaultValue_;
  bool checkBox_ = false;
};

class UnboundGrid : public QTableView, public PendingEdit {
  Q_OBJECT
public:
  explicit UnboundGrid(QWidget* parent = nullptr);
  ~UnboundGrid() override;

  void SetEvents(UnboundGridEvents* events) { events_ = events; }

  // ---- columns
  UnboundColumn& AddColumn(const QString& caption, const QString& dataField = {});
  int ColumnCount() const { return int(columns_.size()); }
  UnboundColumn& Columns(int index) const;                  // error 9 out of range
  UnboundColumn& Columns(const QString& fieldOrCaption) const;  // by DataField, else Caption; error 9
  int ColumnIndex(const QString& fieldOrCaption) const;     // -1 when absent; letter case ignored

  // ---- the array: attaching one re-reads the grid (ReBind)
  void SetArray(std::shared_ptr<XArray> array);
  const std::shared_ptr<XArray>& Array() const { return array_; }

  bool AllowAddNew() const { return allowAddNew_; }
  void SetAllowAddNew(bool allow);
  bool AllowDelete() const { return allowDelete_; }
  void SetAllowDelete(bool allow) { allowDelete_ = allow; }
  bool AllowUpdate() const { return allowUpdate_; }
  void SetAllowUpdate(bool allow);

  // ---- rows: the array's rows, then the add-new line (row Array()->Rows()) when allowed
  int RowCount() const;
  bool IsAddNewRow(int row) const;
  int Row() const;           // the current row; -1 when none
  void SetRow(int row);
  int Col() const;           // the current column; -1 when none
  void SetCol(int col);
  bool CellEditable(int row, int col) const;

  // ---- editing
  // Edits a cell of the current row as a user would: text typed and Enter pressed (a check box
  // takes "True"/"False"). False when the cell cannot be edited or the edit was cancelled.
  bool CommitCell(int col, const QString& text);
  bool CommitValue(int col, const vb::Variant& value);
  // Writes the current row's changes now. False when there were none or the write was cancelled.
  bool Update();
  // Drops the current row's changes.
  void CancelUpdate();
  // The window closes: the open editor's text is checked and the row written as Enter would do it;
  // what is refused is dropped.
  void FinishPendingEdit() override;
  bool DataChanged() const { return buffer_.has_value() && buffer_->dirty; }
  // Deletes the current row through the delete events. False when not allowed or cancelled.
  bool Delete();
  // A handler's refusal told by a message box: at once (true), unless a mouse button is held. The
  // click that took the focus from the cell is not over then, and a box opened before its release
  // would take it (a click on the dialog's Aceptar would do nothing); the box waits for the release,
  // or for the window to close, and the same text waiting is not told twice.
  bool PostMsgBox(const QString& prompt, VbMsgBoxStyle buttons);

  // ---- showing
  void Refresh();  // values changed in the array
  void ReBind();   // rows added or removed: re-reads everything, pending changes dropped
  vb::Variant CellValue(int row, int col) const;  // as shown (the buffer over the array)
  QString CellText(int row, int col) const;       // as shown, formatted
  static QString formatValue(const vb::Variant& value, const QString& numberFormat);

  using QTableView::edit;

protected:
  bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
  void commitData(QWidget* editor) override;
  void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;
  void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
  void selectionChanged(const QItemSelection& selected, const QItemSelection& deselected) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void keyboardSearch(const QString&) override {}

private:
  friend class UnboundColumn;
  friend class UnboundGridModel;
  struct Buffer {
    int row = -1;
    bool isNew = false;
    bool dirty = false;
    std::vector<vb::Variant> values;
  };

  void columnChanged(int index);
  void applyColumn(int index);
  vb::Variant currentValue(int col) const;
  void setCurrentValue(int col, const vb::Variant& value);
  bool startBuffer(int row);
  void repaintRow(int row);
  void leaveRow(int row);
  bool toggle(const QModelIndex& index);
  template <class F> bool guarded(F&& handler);
  void deliverPosted();
  // A typed value refused: its editor opens again on the cell with the text typed.
  void reopenEditor(const QModelIndex& where, const QString& text);

  UnboundGridModel* model_;
  std::vector<std::unique_ptr<UnboundColumn>> columns_;
  std::shared_ptr<XArray> array_;
  UnboundGridEvents* events_ = nullptr;
  bool allowAddNew_ = false;
  bool allowDelete_ = false;
  bool allowUpdate_ = true;
  std::optional<Buffer> buffer_;

  // The open editor: the cell it edits, the text it started with, and a commit waiting for the
  // editor to close.
  QPersistentModelIndex editIndex_;
  QString editStartText_;
  std::optional<QString> committedText_;
  QPersistentModelIndex pressIndex_;
  bool inEvents_ = false;
  bool inCurrentChanged_ = false;
  bool userInput_ = false;  // the user is moving the selection (SelChange is theirs only)
  bool finishing_ = false;  // the window closes: a refused edit is dropped
  std::vector<std::pair<QString, VbMsgBoxStyle>> posted_;  // refusals waiting for the mouse button
};

}  // namespace ui
