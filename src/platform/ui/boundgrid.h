#pragma once
// The data-bound grid of the list windows: a table view over the recordset of a DataControl, with
// the columns, events, marked rows and layouts the windows rely on.
//
// Binding. Grid1->SetDataSource(Data1) shows Data1's recordset; setting another recordset on Data1
// (after a sort) re-binds the grid. The grid's current row is the bound recordset's current record:
// moving the current cell moves the recordset, and the grid follows the recordset when code moved it
// (after every event handler, Refresh and ReBind). Rows are read only as they are shown.
//
// Editing (a user's edit, or CommitCell):
//   BeforeColEdit(col, key, cancel)   before an editor opens; cancel: no editor
//   OnAddNew()                        the first edit in the add-new row
//   BeforeColUpdate(col, old, cancel) the new value is Columns(col).Value() (text typed, Null when
//                                     empty) and Text(); the handler may change it with SetValue.
//                                     cancel: nothing is written and the editor stays open with the
//                                     typed text (Escape leaves it).
//   AfterColUpdate(col)               the value is in the row; handlers may set other cells of the
//                                     row (Columns(c).SetValue), which are written with it
//   BeforeUpdate(cancel), AfterUpdate() around the row's write through the recordset (Edit or
//                                     AddNew, changed fields only, Update): every accepted cell edit
//                                     is written at once, so it reaches the file with its action.
// A handler that stores the edited field itself (a rounded price spread to every row of its code)
// sets Columns(col).SetValue(what it stored), so the grid's own write repeats it rather than the
// typed text. Without that, a stored value that changed during the handler still wins (the grid then
// writes nothing over it), but one that came out equal to the old value cannot be told apart.
// A write the database refuses raises Error(16389) with ErrorText() the database's message and
// ErrorNumber() its number; the editor stays open. Setting Columns(c).Value/Text of the current row outside an edit writes the row
// at once (BeforeUpdate/AfterUpdate, no column events).
//
// Messages: a handler calls PostMsg(n) instead of showing a box inside the grid's own update;
// PostEvent(n) comes once control is back in the event loop and no mouse button is held (the click
// that made the refusal ends first), or at once when the window closes; a message already waiting
// is not posted again. Error(code, response): the grid shows
// ErrorText() in a message box unless the handler set response to 0. Codes: 6159 Delete pressed
// with several rows marked, 16389 a write or delete refused.
//
// Deleting: Delete with one row marked (record selector) and AllowDelete: BeforeDelete(cancel),
// the row's record deleted, AfterDelete.
//
// Mouse: MouseDown/MouseMove/MouseUp(button 1 left 2 right 4 middle, shift 1 Shift 2 Ctrl 4 Alt,
// x, y in twips from the grid's top-left corner), over cells, headers, record selectors and the
// top-left corner alike; ColContaining(x) is -1 over the record selectors, RowContaining(y) -1 over
// the column headers. A left click on a record selector marks that row (Ctrl adds or removes it,
// Shift marks the range from the row clicked before, Ctrl+Shift adds that range), on a column
// header selects that column (Shift or dragging extends the range), on a cell clears both; the
// corner does nothing of its own.
//
// Frozen columns: SetFrozenCols(n) keeps the first n columns in view at the left while the others
// scroll under them (the schedule's concept columns beside its periods). They are drawn by a view of
// their own over the grid's left edge, which takes clicks, tips and header selections as the grid
// does but no edits: frozen columns are meant to be locked.
#include "forms.h"
#include "recordsetmodel.h"

#include <QPointer>
#include <QTableView>

#include <daotypes.h>
#include <variant.h>

#include <unordered_set>
#include <vector>

class QAbstractButton;

namespace ui {

class DataControl;
class GridDelegate;

// The window's handlers. Every method has an empty default.
class BoundGridEvents {
public:
  virtual ~BoundGridEvents() = default;
  virtual void RowColChange(const dao::Bookmark& /*lastRow*/, int /*lastCol*/) {}
  virtual void BeforeColEdit(int /*colIndex*/, int /*keyAscii*/, bool& /*cancel*/) {}
  virtual void OnAddNew() {}
  virtual void BeforeColUpdate(int /*colIndex*/, const vb::Variant& /*oldValue*/, bool& /*cancel*/) {}
  virtual void AfterColUpdate(int /*colIndex*/) {}
  virtual void BeforeUpdate(bool& /*cancel*/) {}
  virtual void AfterUpdate() {}
  virtual void BeforeDelete(bool& /*cancel*/) {}
  virtual void AfterDelete() {}
  virtual void PostEvent(int /*msgId*/) {}
  // response 1 (the default): the grid shows its message; 0: nothing shown.
  virtual void Error(int /*dataError*/, int& /*response*/) {}
  // An unbound column's cell: value starts Empty and is shown as the handler leaves it (formatted by
  // the column's NumberFormat when it has one). Asked only for cells on show.
  virtual void UnboundColumnFetch(const dao::Bookmark& /*bookmark*/, int /*colIndex*/, vb::Variant& /*value*/) {}
  // colIndex -1: a record selector; rowIndex -1: a column header; else the visible row. cellTip comes
  // with the cell's text; an empty tip shows nothing. TipWidth() gives the width.
  virtual void FetchCellTips(int /*splitIndex*/, int /*colIndex*/, int /*rowIndex*/, QString& /*cellTip*/,
                             bool /*fullyDisplayed*/, int& /*tipStyle*/) {}
  virtual void DropDownOpen(int /*colIndex*/) {}
  virtual void MouseDown(int /*button*/, int /*shift*/, double /*x*/, double /*y*/) {}
  virtual void MouseMove(int /*button*/, int /*shift*/, double /*x*/, double /*y*/) {}
  virtual void MouseUp(int /*button*/, int /*shift*/, double /*x*/, double /*y*/) {}
};

// The marked rows, in the order they were marked (a bookmark is there once).
class SelectedBookmarks {
public:
  int Count() const { return int(items_.size()); }
  const dao::Bookmark& Item(int index) const;   // error 9 out of range
  void Add(const dao::Bookmark& bookmark);
  void Remove(int index);                       // error 9 out of range
  void Clear();
  bool Contains(const dao::Bookmark& bookmark) const { return set_.count(bookmark) > 0; }

private:
  friend class BoundGrid;
  std::vector<dao::Bookmark> items_;
  std::unordered_set<dao::Bookmark> set_;
  std::function<void()> onChanged_;
};

class BoundGrid : public QTableView, public PendingEdit, private CurrentRowAccess {
  Q_OBJECT
public:
  explicit BoundGrid(QWidget* parent = nullptr);
  ~BoundGrid() override;

  void SetEvents(BoundGridEvents* events) { events_ = events; }
  void SetDataSource(DataControl* data);
  DataControl* DataSource() const { return data_; }
  RecordsetModel* recordsetModel() const { return model_; }

  GridColumns& Columns() { return model_->columns(); }
  Column& Columns(int index) { return model_->columns().Item(index); }
  Column& Columns(const QString& fieldOrCaption) { return model_->columns().Item(fieldOrCaption); }

  bool AllowUpdate() const { return allowUpdate_; }
  void SetAllowUpdate(bool allow) { allowUpdate_ = allow; }
  bool AllowAddNew() const { return model_->hasAddNewRow(); }
  void SetAllowAddNew(bool allow);
  bool AllowDelete() const { return allowDelete_; }
  void SetAllowDelete(bool allow) { allowDelete_ = allow; }

  // ---- rows and cells
  dao::Bookmark Bookmark() const;          // the current row's; invalid on the add-new row
  void SetBookmark(const dao::Bookmark& bookmark);
  int Row() const;                         // the current row among the visible ones; -1 none
  void SetRow(int visibleRow);
  int Col() const;                         // the current column; -1 none
  void SetCol(int col);
  int VisibleRows() const;                 // rows at least partly shown
  dao::Bookmark FirstRow() const;          // the top visible row's bookmark
  dao::Bookmark RowBookmark(int visibleRow) const;
  void Scroll(int cols, int rows);
  int ColContaining(double xTwips) const;
  int RowContaining(double yTwips) const;
  void MoveFirst();
  void MoveLast();
  void MoveNext();                         // stays on the last row
  void MovePrevious();                     // stays on the first row

  // ---- marked rows and the selected column range (-1: none)
  SelectedBookmarks& SelBookmarks() { return marks_; }
  int SelStartCol() const { return selStartCol_; }
  int SelEndCol() const { return selEndCol_; }
  void SetSelStartCol(int col);
  void SetSelEndCol(int col);
  bool isMarked(int row) const;
  bool inSelectedColumns(int col) const;
  // Marks every row from the anchor (the row last clicked on its record selector, or the first one
  // marked here) to this one, in that order; rows already marked stay where they are in the list.
  void MarkRowsTo(const dao::Bookmark& bookmark);

  // ---- columns kept in view (see above); 0: none
  int FrozenCols() const { return frozenCols_; }
  void SetFrozenCols(int n);

  // ---- editing
  // 0 the current row is a record, 1 it is the add-new row, 2 a new record is being typed there.
  int AddNewMode() const;
  bool EditActive() const { return !editor_.isNull(); }
  // True while a cell edit is open with changed text. SetDataChanged(false) drops it.
  bool DataChanged() const;
  void SetDataChanged(bool changed);
  // The current row's cell of that column takes typed text: a row is current, the column is not
  // locked, and the grid allows updates (on the add-new row: adding).
  bool CellEditable(int col) const;
  // Runs the edit of one cell of the current row as if the user typed text and pressed Enter.
  // False when refused (cancelled, or the write failed), or when the cell is not editable.
  bool CommitCell(int col, const QString& text);
  // Commits the open editor now. False when it was refused.
  bool Update();
  // The window closes: the open editor is committed as Enter would commit it, a refused one is
  // dropped, and the messages posted on the way are shown now rather than after the window is gone.
  void FinishPendingEdit() override;
  void PostMsg(int msgId);
  const QString& ErrorText() const { return errorText_; }
  int ErrorNumber() const { return errorNumber_; }

  // ---- data
  void Refresh();   // re-reads the rows and follows the recordset's current record
  void ReBind();    // re-reads columns and rows

  // ---- tips: width in twips, 0 automatic
  int TipWidth() const { return tipWidth_; }
  void SetTipWidth(int twips) { tipWidth_ = twips; }

  // ---- layouts ("kortorn.grx": see gridlayout.h)
  const QString& LayoutFileName() const { return layoutFile_; }
  void SetLayoutFileName(const QString& file) { layoutFile_ = file; }
  const QString& LayoutName() const { return layoutName_; }
  void SetLayoutName(const QString& name) { layoutName_ = name; }
  // Widths and visibility of the columns from the named layout; false (grid unchanged) when the
  // file or the layout is missing or unreadable.
  bool LoadLayout();
  // Stores the columns under the layout name, replacing it and keeping the file's other layouts.
  bool SaveLayout();

  // The text a cell shows (formatted), for copying and tests.
  QString cellText(int row, int col);
  // A column that would sit under the frozen ones is scrolled out beside them.
  void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;

protected:
  bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
  void commitData(QWidget* editor) override;
  void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;
  void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
  void keyPressEvent(QKeyEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void updateGeometries() override;
  void keyboardSearch(const QString&) override {}   // typing never scans the rows
  bool eventFilter(QObject* watched, QEvent* event) override;
  bool viewportEvent(QEvent* event) override;

private:
  friend class GridDelegate;
  struct Session;

  // CurrentRowAccess
  vb::Variant currentValue(int col) const override;
  QString currentText(int col) const override;
  void setCurrentValue(int col, const vb::Variant& value, const QString* text) override;

  void bind();
  void applyColumn(int col, int property);
  void applyColumns();
  void editorOpened(QWidget* editor, const QModelIndex& index);
  bool commitEditor();
  void endEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint);
  bool runPipeline(int row, int col, const QString& text);
  bool writeRow(int row);
  void reportError(int code, const QString& text, int number = 0);
  void deliverPosted();
  void deleteMarked();
  void followRecordset();
  void positionRecordset(int row);
  void moveTo(int row, int col);
  bool handleMouse(QObject* watched, QEvent* event);
  void markRange(int from, int to);
  int columnAtViewportX(int x) const;
  QHeaderView* columnHeaderOf(QObject* watched) const;
  bool isCellArea(QObject* watched) const;
  void repaintCells();
  int frozenWidth() const;
  void updateFrozen();
  void placeFrozen();
  void showTip(QHelpEvent* event, const QPoint& gridPos);
  int firstVisibleRow() const;
  template <class F> bool guarded(F&& handler);

  RecordsetModel* model_;
  GridDelegate* delegate_;
  QPointer<DataControl> data_;
  BoundGridEvents* events_ = nullptr;
  QAbstractButton* corner_ = nullptr;
  bool allowUpdate_ = true;
  bool allowDelete_ = false;

  SelectedBookmarks marks_;
  dao::Bookmark rowAnchor_;   // where a Shift+click or a drag over the record selectors starts
  int selStartCol_ = -1;
  int selEndCol_ = -1;
  int colAnchor_ = -1;
  bool draggingColumns_ = false;

  // The open editor and what it edits.
  QPointer<QWidget> editor_;
  QPersistentModelIndex editIndex_;
  QString editStartText_;
  bool editCommitted_ = false;
  bool editVetoed_ = false;
  bool addNewPending_ = false;

  // While an edit's events run.
  bool inPipeline_ = false;
  int pipelineRow_ = -1;
  int pipelineCol_ = -1;
  vb::Variant pipelineValue_;
  QString pipelineText_;
  bool pipelineTyped_ = false;
  bool applyingWidths_ = false;
  bool following_ = false;
  bool syncing_ = false;
  bool restoring_ = false;
  QString errorText_;
  int errorNumber_ = 0;
  std::vector<int> posted_;   // message ids posted, not yet delivered
  int tipWidth_ = 0;
  QString layoutFile_;
  QString layoutName_;
  int frozenCols_ = 0;
  QTableView* frozen_ = nullptr;   // the view of the frozen columns, over the grid's left edge
};

}  // namespace ui
