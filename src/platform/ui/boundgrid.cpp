#include "boundgrid.h"

#include "datacontrol.h"
#include "dropdown.h"
#include "gridlayout.h"
#include "msgbox.h"
#include "twips.h"

#include <QAbstractButton>
#include <QApplication>
#include <QHeaderView>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QScopedValueRollback>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QToolTip>
#include <recordset.h>

#include <algorithm>

namespace ui {

namespace {

const char* const kEditorLoaded = "tornavoEditorLoaded";

// The grid's own text for Delete pressed with several rows marked.
const QString kSeveralRows = QStringLiteral("No se pueden eliminar varios renglones a la vez");

int vbButton(Qt::MouseButtons b) {
  int n = 0;
  if (b & Qt::LeftButton) n |= 1;
  if (b & Qt::RightButton) n |= 2;
  if (b & Qt::MiddleButton) n |= 4;
  return n;
}

int vbShift(Qt::KeyboardModifiers m) {
  int n = 0;
  if (m & Qt::ShiftModifier) n |= 1;
  if (m & Qt::ControlModifier) n |= 2;
  if (m & Qt::AltModifier) n |= 4;
  return n;
}

// What VB shows for an error no handler trapped.
void showUntrapped(const vb::Error& e) {
  MsgBox(QStringLiteral("Se ha producido el error '%1' en tiempo de ejecución:\n\n%2").arg(e.number()).arg(e.description()),
         vbCritical);
}

}  // namespace

// ---- SelectedBookmarks ----

const dao::Bookmark& SelectedBookmarks::Item(int index) const {
  if (index < 0 || index >= Count()) throw vb::Error(9);
  return items_[size_t(index)];
}

void SelectedBookmarks::Add(const dao::Bookmark& bookmark) {
  if (!bookmark.isValid() || !set_.insert(bookmark).second) return;
  items_.push_back(bookmark);
  if (onChanged_) onChanged_();
}

void SelectedBookmarks::Remove(int index) {
  if (index < 0 || index >= Count()) throw vb::Error(9);
  set_.erase(items_[size_t(index)]);
  items_.erase(items_.begin() + index);
  if (onChanged_) onChanged_();
}

void SelectedBookmarks::Clear() {
  if (items_.empty()) return;
  items_.clear();
  set_.clear();
  if (onChanged_) onChanged_();
}

// ---- the delegate: editors, and marked rows painted as selected ----

class GridDelegate : public QStyledItemDelegate {
public:
  explicit GridDelegate(BoundGrid* grid) : QStyledItemDelegate(grid), grid_(grid) {}

  static QString editorText(const QWidget* editor) {
    if (auto* c = qobject_cast<const QComboBox*>(editor)) return c->currentText();
    if (auto* l = qobject_cast<const QLineEdit*>(editor)) return l->text();
    return QString();
  }

  QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex& index) const override {
    QWidget* editor;
    if (DropDown* dd = grid_->Columns(index.column()).GetDropDown()) {
      auto* e = new DropDownEditor(dd, parent);
      const int col = index.column();
      QObject::connect(e, &DropDownEditor::aboutToOpen, grid_, [g = grid_, col] {
        if (g->events_) g->guarded([&] { g->events_->DropDownOpen(col); });
      });
      editor = e;
    } else {
      auto* e = new QLineEdit(parent);
      e->setFrame(false);
      editor = e;
    }
    grid_->editorOpened(editor, index);
    return editor;
  }

  void setEditorData(QWidget* editor, const QModelIndex& index) const override {
    // Once: a refused edit keeps what the user typed whatever the model says later.
    if (editor->property(kEditorLoaded).toBool()) return;
    editor->setProperty(kEditorLoaded, true);
    const QString text = index.data(Qt::EditRole).toString();
    if (auto* c = qobject_cast<QComboBox*>(editor)) {
      c->setEditText(text);
      if (c->lineEdit()) c->lineEdit()->selectAll();   // the first key typed replaces it, as in a text cell
    } else if (auto* l = qobject_cast<QLineEdit*>(editor)) {
      l->setText(text);
    }
    if (editor == grid_->editor_) grid_->editStartText_ = text;
  }

  void setModelData(QWidget*, QAbstractItemModel*, const QModelIndex&) const override {}   // the grid writes

protected:
  void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
    QStyledItemDelegate::initStyleOption(option, index);
    if (grid_->isMarked(index.row()) || grid_->inSelectedColumns(index.column())) option->state |= QStyle::State_Selected;
    else option->state &= ~QStyle::State_Selected;
  }

  bool eventFilter(QObject* object, QEvent* event) override {
    if (event->type() == QEvent::FocusOut) {
      // Focus gone to a message box, the drop-down list or another window: the edit goes on.
      const auto reason = static_cast<QFocusEvent*>(event)->reason();
      auto* editor = qobject_cast<QWidget*>(object);
      if (grid_->inPipeline_ || !grid_->isVisible() || reason == Qt::ActiveWindowFocusReason ||
          reason == Qt::PopupFocusReason || (editor && !editor->isActiveWindow()))
        return false;
      // A click elsewhere in the grid: moving the current cell commits the edit, once.
      const QWidget* to = QApplication::focusWidget();
      if (to == grid_ || to == grid_->viewport()) return false;
    }
    return QStyledItemDelegate::eventFilter(object, event);
  }

private:
  BoundGrid* grid_;
};

// ---- BoundGrid ----

BoundGrid::BoundGrid(QWidget* parent)
    : QTableView(parent), model_(new RecordsetModel(this)), delegate_(new GridDelegate(this)) {
  setModel(model_);
  setItemDelegate(delegate_);
  model_->columns().currentRow = this;
  model_->setUnboundFetch([this](const dao::Bookmark& b, int col, vb::Variant& v) {
    if (!events_) return;
    try {
      events_->UnboundColumnFetch(b, col, v);
    } catch (const std::exception&) {
      v = vb::Variant();   // while painting: the cell stays empty
    }
  });
  setSelectionMode(QAbstractItemView::NoSelection);
  setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed);
  setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
  setWordWrap(false);
  setTabKeyNavigation(true);

  QHeaderView* v = verticalHeader();
  v->setSectionResizeMode(QHeaderView::Fixed);
  v->setDefaultSectionSize(fontMetrics().height() + 6);
  v->setFixedWidth(18);
  v->setSectionsClickable(false);
  v->setHighlightSections(false);
  QHeaderView* h = horizontalHeader();
  h->setSectionResizeMode(QHeaderView::Interactive);
  h->setStretchLastSection(false);
  h->setSectionsClickable(false);
  h->setHighlightSections(false);
  h->setDefaultAlignment(Qt::AlignCenter);

  for (QAbstractButton* b : findChildren<QAbstractButton*>(QString(), Qt::FindDirectChildrenOnly)) corner_ = b;
  viewport()->installEventFilter(this);
  v->viewport()->installEventFilter(this);
  h->viewport()->installEventFilter(this);
  if (corner_) corner_->installEventFilter(this);

  connect(h, &QHeaderView::sectionResized, this, [this](int i, int, int size) {
    // Hiding a column shrinks its section to 0 before the header counts it hidden: that is no width
    // of the user's, and the column keeps the one it had for when it is shown again.
    if (applyingWidths_ || size <= 0 || i < 0 || i >= Columns().Count() || horizontalHeader()->isSectionHidden(i))
      return;
    QScopedValueRollback<bool> guard(applyingWidths_, true);
    Columns(i).SetWidth(int(pixelsToTwips(size)));
    if (i < frozenCols_) updateFrozen();
  });
  connect(model_, &RecordsetModel::columnChanged, this, &BoundGrid::applyColumn);
  connect(model_, &QAbstractItemModel::modelReset, this, [this] {
    marks_.Clear();   // bookmarks of rows read before mean nothing now
    rowAnchor_ = dao::Bookmark();
    applyColumns();
    model_->setCurrentRow(currentIndex().row());
  });
  connect(model_, &RecordsetModel::rowsResynced, this, [this] { followRecordset(); });
  // The current-row mark follows the row when rows before it come or go.
  for (auto signal : {&QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved})
    connect(model_, signal, this, [this] { model_->setCurrentRow(currentIndex().row()); });
  connect(model_, &QAbstractItemModel::columnsInserted, this, &BoundGrid::applyColumns);
  connect(model_, &QAbstractItemModel::columnsRemoved, this, &BoundGrid::applyColumns);
  marks_.onChanged_ = [this] { repaintCells(); };
}

BoundGrid::~BoundGrid() {
  model_->columns().currentRow = nullptr;
  events_ = nullptr;
}

template <class F>
bool BoundGrid::guarded(F&& handler) {
  try {
    handler();
    return true;
  } catch (const vb::Error& e) {
    showUntrapped(e);
  } catch (const std::exception& e) {
    showUntrapped(vb::Error(51, QString::fromUtf8(e.what())));
  }
  return false;
}

void BoundGrid::SetDataSource(DataControl* data) {
  if (data_) disconnect(data_, nullptr, this, nullptr);
  data_ = data;
  if (data) {
    connect(data, &DataControl::recordsetChanged, this, &BoundGrid::bind);
    connect(data, &DataControl::refreshRequested, this, &BoundGrid::Refresh);
  }
  bind();
}

void BoundGrid::bind() {
  if (editor_) {
    QWidget* e = editor_;
    editor_ = nullptr;
    QTableView::closeEditor(e, QAbstractItemDelegate::RevertModelCache);
  }
  editIndex_ = QPersistentModelIndex();
  addNewPending_ = false;
  marks_.Clear();
  rowAnchor_ = dao::Bookmark();
  selStartCol_ = selEndCol_ = colAnchor_ = -1;
  model_->setRecordset(data_ ? data_->Recordset() : nullptr);
  followRecordset();
}

void BoundGrid::applyColumn(int col, int property) {
  if (col < 0 || col >= Columns().Count()) return;
  const Column& c = Columns(col);
  switch (Column::Property(property)) {
    case Column::Property::Width:
      if (!applyingWidths_) {
        QScopedValueRollback<bool> guard(applyingWidths_, true);
        horizontalHeader()->resizeSection(col, twipsToPixels(c.Width()));
      }
      if (col < frozenCols_) updateFrozen();
      break;
    case Column::Property::Visible: {
      QScopedValueRollback<bool> guard(applyingWidths_, true);
      setColumnHidden(col, !c.Visible());
      if (c.Visible()) horizontalHeader()->resizeSection(col, twipsToPixels(c.Width()));
      if (col < frozenCols_) updateFrozen();
      break;
    }
    default: repaintCells(); break;
  }
}

void BoundGrid::applyColumns() {
  {
    QScopedValueRollback<bool> guard(applyingWidths_, true);
    for (int i = 0; i < Columns().Count(); ++i) {
      horizontalHeader()->resizeSection(i, twipsToPixels(Columns(i).Width()));
      setColumnHidden(i, !Columns(i).Visible());
    }
  }
  updateFrozen();
}

void BoundGrid::SetAllowAddNew(bool allow) { model_->setAddNewRow(allow); }

// ---- rows and cells ----

int BoundGrid::firstVisibleRow() const {
  if (model_->rowCount() == 0) return -1;
  const int r = rowAt(0);
  return r < 0 ? 0 : r;
}

dao::Bookmark BoundGrid::Bookmark() const { return model_->bookmarkAt(currentIndex().row()); }

void BoundGrid::SetBookmark(const dao::Bookmark& bookmark) {
  if (const auto& rs = model_->recordset()) rs->SetBookmark(bookmark);   // 3159, 3167 as the recordset raises them
  int row = model_->rowOf(bookmark);
  if (row < 0) {
    model_->refresh();
    row = model_->rowOf(bookmark);
  }
  if (row >= 0) moveTo(row, std::max(0, currentIndex().column()));
}

int BoundGrid::Row() const {
  const int r = currentIndex().row();
  return r < 0 ? -1 : r - firstVisibleRow();
}

void BoundGrid::SetRow(int visibleRow) {
  const int first = firstVisibleRow();
  if (first >= 0) moveTo(first + visibleRow, std::max(0, currentIndex().column()));
}

int BoundGrid::Col() const { return currentIndex().column(); }

void BoundGrid::SetCol(int col) { moveTo(std::max(0, currentIndex().row()), col); }

int BoundGrid::VisibleRows() const {
  const int first = firstVisibleRow();
  if (first < 0) return 0;
  int last = rowAt(viewport()->height() - 1);
  if (last < 0) last = model_->rowCount() - 1;
  return last - first + 1;
}

dao::Bookmark BoundGrid::FirstRow() const { return model_->bookmarkAt(firstVisibleRow()); }

dao::Bookmark BoundGrid::RowBookmark(int visibleRow) const {
  const int first = firstVisibleRow();
  return first < 0 ? dao::Bookmark() : model_->bookmarkAt(first + visibleRow);
}

void BoundGrid::Scroll(int cols, int rows) {
  horizontalScrollBar()->setValue(horizontalScrollBar()->value() + cols);
  verticalScrollBar()->setValue(verticalScrollBar()->value() + rows);
}

int BoundGrid::ColContaining(double xTwips) const {
  const QRect vp = viewport()->geometry();
  const int x = twipsToPixels(xTwips) - vp.left();
  if (x < 0 || x >= vp.width()) return -1;
  return columnAtViewportX(x);
}

int BoundGrid::columnAtViewportX(int x) const {
  if (frozen_ && frozen_->isVisible() && x >= 0 && x < frozenWidth()) return frozen_->columnAt(x);
  return columnAt(x);
}

int BoundGrid::RowContaining(double yTwips) const {
  const QRect vp = viewport()->geometry();
  const int y = twipsToPixels(yTwips) - vp.top();
  if (y < 0 || y >= vp.height()) return -1;
  const int r = rowAt(y);
  return r < 0 ? -1 : r - firstVisibleRow();
}

void BoundGrid::moveTo(int row, int col) {
  if (row < 0 || row >= model_->rowCount() || col < 0 || col >= model_->columnCount()) return;
  setCurrentIndex(model_->index(row, col));
}

void BoundGrid::MoveFirst() { moveTo(0, std::max(0, currentIndex().column())); }
void BoundGrid::MoveLast() { moveTo(model_->recordCount() - 1, std::max(0, currentIndex().column())); }

void BoundGrid::MoveNext() {
  const int r = currentIndex().row();
  if (r + 1 < model_->recordCount()) moveTo(r + 1, std::max(0, currentIndex().column()));
}

void BoundGrid::MovePrevious() {
  const int r = currentIndex().row();
  if (r > 0) moveTo(r - 1, std::max(0, currentIndex().column()));
}

void BoundGrid::positionRecordset(int row) {
  const dao::Bookmark b = model_->bookmarkAt(row);
  const auto& rs = model_->recordset();
  if (!b.isValid() || !rs) return;
  try {
    if (!rs->EOF_() && !rs->BOF() && rs->GetBookmark() == b && rs->GetEditMode() == dao::EditMode::None) return;
  } catch (const vb::Error&) {
  }
  try {
    rs->SetBookmark(b);
  } catch (const vb::Error&) {
  }
}

void BoundGrid::followRecordset() {
  if (inPipeline_ || syncing_ || (editor_ && !editCommitted_)) return;
  const auto& rs = model_->recordset();
  if (!rs) return;
  QScopedValueRollback<bool> guard(syncing_, true);
  int col = currentIndex().column();
  if (col < 0)
    for (col = 0; col < Columns().Count() - 1 && !Columns(col).Visible();) ++col;
  col = std::max(0, col);
  dao::Bookmark b;
  try {
    if (!rs->EOF_() && !rs->BOF()) b = rs->GetBookmark();
  } catch (const vb::Error&) {
  }
  if (!b.isValid()) {
    // No current record (a new clone, or moved past an end): the grid keeps its row, or takes the
    // first one and puts the recordset there, as binding a data source does.
    if (!currentIndex().isValid() && model_->recordCount() > 0) moveTo(0, col);
    return;
  }
  int row = model_->rowOf(b);
  if (row < 0) {
    model_->refresh();
    row = model_->rowOf(b);
  }
  if (row < 0 || row == currentIndex().row()) return;
  QScopedValueRollback<bool> following(following_, true);
  moveTo(row, col);
}

void BoundGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
  if (restoring_) {
    QTableView::currentChanged(current, previous);
    model_->setCurrentRow(current.row());
    return;
  }
  if (editor_ && editIndex_.isValid() && previous == editIndex_ && current != previous && !editCommitted_ &&
      !inPipeline_) {
    const QPersistentModelIndex target(current);
    if (!commitEditor()) {
      // A refused edit keeps the cell: back to it, editor open.
      QScopedValueRollback<bool> guard(restoring_, true);
      selectionModel()->setCurrentIndex(previous, QItemSelectionModel::NoUpdate);
      if (editor_) editor_->setFocus();
      return;
    }
    if (target.isValid() && currentIndex() != target) {
      // The write put the cursor on a new record: close the editor and go where the user went.
      if (QWidget* e = editor_) {
        editor_ = nullptr;
        editIndex_ = QPersistentModelIndex();
        editCommitted_ = false;
        QTableView::closeEditor(e, QAbstractItemDelegate::NoHint);
      }
      selectionModel()->setCurrentIndex(target, QItemSelectionModel::NoUpdate);
      return;
    }
  }
  QTableView::currentChanged(current, previous);
  model_->setCurrentRow(current.row());
  if (following_ || inPipeline_) return;
  if (current.isValid() && current.row() != previous.row()) positionRecordset(current.row());
  if (events_ && current.isValid() && (current.row() != previous.row() || current.column() != previous.column())) {
    const dao::Bookmark last = model_->bookmarkAt(previous.row());
    const int lastCol = previous.column();
    guarded([&] { events_->RowColChange(last, lastCol); });
  }
}

// ---- marked rows, selected columns ----

bool BoundGrid::isMarked(int row) const {
  if (marks_.Count() == 0) return false;
  const dao::Bookmark b = model_->bookmarkAt(row);
  return b.isValid() && marks_.Contains(b);
}

bool BoundGrid::inSelectedColumns(int col) const {
  if (selStartCol_ < 0 || selEndCol_ < 0) return false;
  return col >= std::min(selStartCol_, selEndCol_) && col <= std::max(selStartCol_, selEndCol_);
}

void BoundGrid::SetSelStartCol(int col) {
  selStartCol_ = col;
  repaintCells();
}

void BoundGrid::SetSelEndCol(int col) {
  selEndCol_ = col;
  repaintCells();
}

void BoundGrid::markRange(int from, int to) {
  const int step = from <= to ? 1 : -1;
  for (int r = from;; r += step) {
    marks_.Add(model_->bookmarkAt(r));   // an invalid bookmark (the add-new row) adds nothing
    if (r == to) break;
  }
}

void BoundGrid::MarkRowsTo(const dao::Bookmark& bookmark) {
  const int row = model_->rowOf(bookmark);
  if (row < 0) return;
  const int anchor = model_->rowOf(rowAnchor_);
  if (anchor < 0) {
    rowAnchor_ = bookmark;
    marks_.Add(bookmark);
    return;
  }
  markRange(anchor, row);
}

// ---- frozen columns ----

int BoundGrid::frozenWidth() const {
  int width = 0;
  for (int c = 0; c < frozenCols_ && c < model_->columnCount(); ++c)
    if (!isColumnHidden(c)) width += columnWidth(c);
  return width;
}

void BoundGrid::SetFrozenCols(int n) {
  frozenCols_ = std::max(0, n);
  if (frozenCols_ > 0 && !frozen_) {
    frozen_ = new QTableView(this);
    frozen_->setObjectName(QStringLiteral("FrozenColumns"));
    frozen_->setModel(model_);
    frozen_->setSelectionModel(selectionModel());   // one current cell for both
    frozen_->setItemDelegate(new GridDelegate(this));   // marked rows painted as the grid paints them
    frozen_->setFocusPolicy(Qt::NoFocus);
    frozen_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    frozen_->setSelectionMode(QAbstractItemView::NoSelection);
    frozen_->setVerticalScrollMode(verticalScrollMode());
    frozen_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    frozen_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    frozen_->setFrameShape(QFrame::NoFrame);
    frozen_->setWordWrap(false);
    frozen_->setMouseTracking(true);
    frozen_->verticalHeader()->hide();
    frozen_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    frozen_->verticalHeader()->setDefaultSectionSize(verticalHeader()->defaultSectionSize());
    QHeaderView* h = frozen_->horizontalHeader();
    h->setSectionResizeMode(QHeaderView::Interactive);
    h->setStretchLastSection(false);
    h->setSectionsClickable(false);
    h->setHighlightSections(false);
    h->setDefaultAlignment(horizontalHeader()->defaultAlignment());
    frozen_->viewport()->installEventFilter(this);
    h->viewport()->installEventFilter(this);
    // The columns under it scroll by pixels, so that a scrolled one comes out right beside it.
    setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    connect(frozen_->verticalScrollBar(), &QScrollBar::valueChanged, verticalScrollBar(), &QScrollBar::setValue);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, frozen_->verticalScrollBar(), &QScrollBar::setValue);
    // A frozen column widened on its own header is the grid's column widened.
    connect(h, &QHeaderView::sectionResized, this, [this](int i, int, int size) {
      if (applyingWidths_ || size <= 0 || i >= frozenCols_) return;
      horizontalHeader()->resizeSection(i, size);
    });
    // Columns added later (the schedule's periods) come into the view shown: hide them there.
    connect(h, &QHeaderView::sectionCountChanged, this, [this] { updateFrozen(); });
  }
  updateFrozen();
}

void BoundGrid::updateFrozen() {
  if (!frozen_) return;
  bool any = false;
  {
    QScopedValueRollback<bool> guard(applyingWidths_, true);
    for (int c = 0; c < model_->columnCount(); ++c) {
      const bool shown = c < frozenCols_ && !isColumnHidden(c);
      frozen_->setColumnHidden(c, !shown);
      if (shown) {
        frozen_->setColumnWidth(c, columnWidth(c));
        any = true;
      }
    }
  }
  frozen_->setVisible(any);
  if (!any) return;
  placeFrozen();
  frozen_->verticalScrollBar()->setValue(verticalScrollBar()->value());
}

// Over the grid's left edge, from the top of the column headers to the bottom of the rows.
void BoundGrid::placeFrozen() {
  const QRect vp = viewport()->geometry();
  const int top = horizontalHeader()->geometry().top();
  frozen_->horizontalHeader()->setFixedHeight(horizontalHeader()->height());
  frozen_->setGeometry(vp.left(), top, std::min(frozenWidth(), vp.width()), vp.bottom() + 1 - top);
}

void BoundGrid::updateGeometries() {
  QTableView::updateGeometries();
  if (frozen_ && frozen_->isVisible()) placeFrozen();
}

void BoundGrid::scrollTo(const QModelIndex& index, ScrollHint hint) {
  const int covered = frozen_ && frozen_->isVisible() ? frozenWidth() : 0;
  if (covered == 0 || !index.isValid()) {
    QTableView::scrollTo(index, hint);
    return;
  }
  QScrollBar* h = horizontalScrollBar();
  const int before = h->value();
  QTableView::scrollTo(index, hint);
  if (index.column() < frozenCols_) {   // always in view: only the row needs scrolling to
    h->setValue(before);
    return;
  }
  // A column that would sit under the frozen ones comes out right beside them.
  const int x = columnViewportPosition(index.column());
  if (x < covered) h->setValue(h->value() - (covered - x));
}

void BoundGrid::repaintCells() {
  viewport()->update();
  if (frozen_) frozen_->viewport()->update();
}

bool BoundGrid::isCellArea(QObject* watched) const {
  return watched == viewport() || (frozen_ && watched == frozen_->viewport());
}

QHeaderView* BoundGrid::columnHeaderOf(QObject* watched) const {
  if (watched == horizontalHeader()->viewport()) return horizontalHeader();
  if (frozen_ && watched == frozen_->horizontalHeader()->viewport()) return frozen_->horizontalHeader();
  return nullptr;
}

// ---- editing ----

int BoundGrid::AddNewMode() const {
  if (addNewPending_) return 2;
  return model_->isAddNewRow(currentIndex().row()) ? 1 : 0;
}

bool BoundGrid::DataChanged() const {
  if (addNewPending_) return true;
  return editor_ && editIndex_.isValid() && !editCommitted_ && GridDelegate::editorText(editor_) != editStartText_;
}

void BoundGrid::SetDataChanged(bool changed) {
  if (changed) return;
  addNewPending_ = false;
  model_->clearPending();
  if (editor_) {
    QWidget* e = editor_;
    editor_ = nullptr;
    editIndex_ = QPersistentModelIndex();
    editVetoed_ = false;
    QTableView::closeEditor(e, QAbstractItemDelegate::RevertModelCache);
  }
}

bool BoundGrid::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) {
  const bool opens = index.isValid() && state() != EditingState && !(editor_ && editIndex_ == index) &&
                     (trigger == AllEditTriggers || (editTriggers() & trigger)) &&
                     (model_->flags(index) & Qt::ItemIsEditable);
  if (!opens) return QTableView::edit(index, trigger, event);
  if (inPipeline_) return false;
  const bool addNew = model_->isAddNewRow(index.row());
  if (addNew ? !AllowAddNew() : !allowUpdate_) return false;
  int key = 0;
  if (event && event->type() == QEvent::KeyPress) {
    const QString t = static_cast<QKeyEvent*>(event)->text();
    if (!t.isEmpty()) key = t.at(0).unicode();
  }
  bool cancel = false;
  if (events_ && !guarded([&] { events_->BeforeColEdit(index.column(), key, cancel); })) cancel = true;
  if (cancel) return false;
  if (addNew && !addNewPending_) {
    addNewPending_ = true;
    if (events_) guarded([&] { events_->OnAddNew(); });
  }
  return QTableView::edit(index, trigger, event);
}

void BoundGrid::editorOpened(QWidget* editor, const QModelIndex& index) {
  editor_ = editor;
  editIndex_ = index;
  editStartText_.clear();
  editCommitted_ = false;
  editVetoed_ = false;
}

bool BoundGrid::commitEditor() {
  if (!editor_ || !editIndex_.isValid()) return true;
  const QString text = GridDelegate::editorText(editor_);
  if (text == editStartText_) {   // nothing typed: nothing to check or write
    editCommitted_ = true;
    return true;
  }
  const bool ok = runPipeline(editIndex_.row(), editIndex_.column(), text);
  if (ok) {
    editCommitted_ = true;
    followRecordset();
  } else if (editor_) {
    editor_->setFocus();
  }
  return ok;
}

void BoundGrid::commitData(QWidget* editor) {
  // Not while the window goes away: its handlers may be gone already.
  if (inPipeline_ || editor != editor_ || editCommitted_ || !isVisible()) return;
  editVetoed_ = !commitEditor();
}

void BoundGrid::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) {
  if (inPipeline_) return;   // focus lost to a box a handler shows
  if (editor == editor_) {
    if (editVetoed_) {   // a refused edit stays open with the typed text
      editVetoed_ = false;
      editor->setFocus();
      return;
    }
    if (!editCommitted_) {   // Escape or nothing typed: a new row not begun
      addNewPending_ = false;
      model_->clearPending();
    }
    editor_ = nullptr;
    editIndex_ = QPersistentModelIndex();
    editCommitted_ = false;
  }
  if (hint == QAbstractItemDelegate::EditNextItem || hint == QAbstractItemDelegate::EditPreviousItem) {
    // Tab moves to the next cell; an editor opens there only when the user types.
    endEditor(editor, QAbstractItemDelegate::NoHint);
    const QModelIndex next =
        moveCursor(hint == QAbstractItemDelegate::EditNextItem ? QAbstractItemView::MoveNext : QAbstractItemView::MovePrevious,
                   Qt::NoModifier);
    if (next.isValid()) selectionModel()->setCurrentIndex(next, QItemSelectionModel::NoUpdate);
    return;
  }
  endEditor(editor, hint);
}

void BoundGrid::endEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) {
  // The view gives the keyboard back to the grid only when the editor has it now. Just after a box
  // closed over the window, the window is not active again yet and the editor only holds its place:
  // the keyboard would then go to whatever comes next, another window's grid.
  const bool keyboard = editor && (editor->hasFocus() || editor->window()->focusWidget() == editor);
  QTableView::closeEditor(editor, hint);
  if (keyboard && !hasFocus()) setFocus();
}

bool BoundGrid::Update() {
  if (!editor_ || editCommitted_) return true;
  if (!commitEditor()) return false;
  QWidget* e = editor_;
  editor_ = nullptr;
  editIndex_ = QPersistentModelIndex();
  editCommitted_ = false;
  if (e) endEditor(e, QAbstractItemDelegate::SubmitModelCache);
  return true;
}

bool BoundGrid::CellEditable(int col) const {
  const int row = currentIndex().row();
  if (row < 0 || col < 0 || col >= model_->columns().Count() || model_->columns().Item(col).Locked()) return false;
  return model_->isAddNewRow(row) ? AllowAddNew() : allowUpdate_;
}

bool BoundGrid::CommitCell(int col, const QString& text) {
  const int row = currentIndex().row();
  if (inPipeline_ || !CellEditable(col)) return false;
  const bool addNew = model_->isAddNewRow(row);
  if (addNew && !addNewPending_) {
    addNewPending_ = true;
    if (events_) guarded([&] { events_->OnAddNew(); });
  }
  const bool ok = runPipeline(row, col, text);
  if (ok) followRecordset();
  return ok;
}

bool BoundGrid::runPipeline(int row, int col, const QString& text) {
  if (inPipeline_ || row < 0 || row >= model_->rowCount() || col < 0 || col >= Columns().Count()) return false;
  QScopedValueRollback<bool> guard(inPipeline_, true);
  errorText_.clear();
  errorNumber_ = 0;
  const bool addNew = model_->isAddNewRow(row);
  const dao::Bookmark bookmark = model_->bookmarkAt(row);
  const bool bound = Columns(col).Bound();
  model_->invalidateRow(row);
  const vb::Variant oldValue = addNew ? vb::Variant::null() : model_->storedValue(row, col);
  positionRecordset(row);   // handlers read the edited row through Data1's recordset
  pipelineRow_ = row;
  pipelineCol_ = col;
  pipelineValue_ = text.isEmpty() ? vb::Variant::null() : vb::Variant(text);
  pipelineText_ = text;
  pipelineTyped_ = true;
  auto rowNow = [&] { return addNew ? model_->recordCount() : model_->rowOf(bookmark); };
  auto end = [&](bool ok) {
    pipelineRow_ = pipelineCol_ = -1;
    model_->clearPending();
    return ok;
  };

  bool cancel = false;
  if (events_ && !guarded([&] { events_->BeforeColUpdate(col, oldValue, cancel); })) cancel = true;
  if (cancel) return end(false);
  int r = rowNow();
  if (r < 0) return end(true);   // the handler deleted the row: nothing left to write
  pipelineRow_ = r;
  const vb::Variant value = pipelineValue_;
  const QString shown = pipelineText_;
  const bool typed = pipelineTyped_;
  pipelineCol_ = -1;

  // A handler that stored this field itself (a price spread to every row of its code) wins over
  // what was typed: the grid leaves the stored value as it is.
  bool stored = false;
  if (bound && !addNew) {
    model_->invalidateRow(r);
    stored = !(model_->storedValue(r, col) == oldValue);
  }
  if (!stored) model_->setPending(r, col, value, typed ? &shown : nullptr);

  if (events_) guarded([&] { events_->AfterColUpdate(col); });
  r = rowNow();
  if (r < 0) return end(true);
  pipelineRow_ = r;
  const bool ok = writeRow(r);
  if (!bound || stored) model_->invalidateRow(rowNow());   // unbound cells are fetched again
  return end(ok);
}

bool BoundGrid::writeRow(int row) {
  const bool addNew = model_->isAddNewRow(row);
  std::vector<std::pair<QString, vb::Variant>> changes;
  if (model_->pendingRow() == row)
    for (const auto& [col, v] : model_->pending())
      if (col < Columns().Count() && Columns(col).Bound()) changes.emplace_back(Columns(col).DataField(), v);
  if (changes.empty()) return true;   // nothing of the record changed
  const auto rs = model_->recordset();
  if (!rs) return false;

  bool cancel = false;
  if (events_ && !guarded([&] { events_->BeforeUpdate(cancel); })) cancel = true;
  if (cancel) return false;
  dao::Bookmark written = model_->bookmarkAt(row);
  try {
    if (addNew) {
      rs->AddNew();
    } else {
      rs->SetBookmark(written);
      rs->Edit();
    }
    for (const auto& [field, v] : changes) rs->Fields(field).SetValue(v);
    rs->Update();
    if (addNew) {
      written = rs->LastModified();
      rs->SetBookmark(written);
    }
  } catch (const vb::Error& e) {
    try {
      if (rs->GetEditMode() != dao::EditMode::None) rs->CancelUpdate();
    } catch (const vb::Error&) {
    }
    reportError(16389, e.description(), e.number());
    return false;
  }
  model_->clearPending();
  if (addNew) {
    addNewPending_ = false;
    model_->refresh();   // the new record joins before the add-new row
    const int r = model_->rowOf(written);
    if (r >= 0) {
      QScopedValueRollback<bool> guard(following_, true);
      moveTo(r, std::max(0, currentIndex().column()));
    }
  } else {
    model_->invalidateRow(row);
  }
  if (events_) guarded([&] { events_->AfterUpdate(); });
  return true;
}

vb::Variant BoundGrid::currentValue(int col) const {
  if (inPipeline_ && col == pipelineCol_) return pipelineValue_;
  const int row = pipelineRow_ >= 0 ? pipelineRow_ : currentIndex().row();
  if (row < 0 || col < 0 || col >= model_->columnCount()) return vb::Variant::null();
  return model_->value(row, col);
}

QString BoundGrid::currentText(int col) const {
  if (inPipeline_ && col == pipelineCol_) return pipelineText_;
  const int row = pipelineRow_ >= 0 ? pipelineRow_ : currentIndex().row();
  if (row < 0 || col < 0 || col >= model_->columnCount()) return QString();
  return model_->displayText(row, col);
}

void BoundGrid::setCurrentValue(int col, const vb::Variant& value, const QString* text) {
  if (col < 0 || col >= model_->columnCount()) return;
  if (inPipeline_ && col == pipelineCol_) {   // the value being checked: what will be committed
    pipelineValue_ = value;
    pipelineTyped_ = text != nullptr;
    pipelineText_ = text ? *text : RecordsetModel::formatValue(value, Columns(col).NumberFormat());
    return;
  }
  const int row = pipelineRow_ >= 0 ? pipelineRow_ : currentIndex().row();
  if (row < 0) return;
  model_->setPending(row, col, value, text);
  if (inPipeline_) return;   // written with the edited cell
  // Outside an edit the row is written at once.
  QScopedValueRollback<bool> guard(inPipeline_, true);
  pipelineRow_ = row;
  writeRow(row);
  pipelineRow_ = -1;
  model_->clearPending();
}

void BoundGrid::PostMsg(int msgId) {
  // The same refusal checked twice before the user saw it (the focus taken by a click on the close
  // box, then the close) is told once.
  if (std::find(posted_.begin(), posted_.end(), msgId) != posted_.end()) return;
  posted_.push_back(msgId);
  // A click that took the focus from a refused edit (on the window's close box, on another window)
  // is not over until its button comes up: a box opened before would take the release, and the
  // click would do nothing. The messages wait for it.
  if (posted_.size() == 1) AfterClick(this, [this] { deliverPosted(); });
}

void BoundGrid::deliverPosted() {
  if (posted_.empty()) return;
  while (!posted_.empty()) {
    const int msgId = posted_.front();
    posted_.erase(posted_.begin());
    if (events_) guarded([&] { events_->PostEvent(msgId); });
  }
  followRecordset();
}

void BoundGrid::FinishPendingEdit() {
  if (inPipeline_) return;
  if (editor_ && !editCommitted_ && !Update()) SetDataChanged(false);
  deliverPosted();
}

void BoundGrid::reportError(int code, const QString& text, int number) {
  errorText_ = text;
  errorNumber_ = number;
  int response = 1;
  if (events_) guarded([&] { events_->Error(code, response); });
  if (response != 0) MsgBox(errorText_, vbExclamation);
}

// ---- deleting ----

void BoundGrid::deleteMarked() {
  if (!allowDelete_ || marks_.Count() == 0 || inPipeline_) return;
  if (marks_.Count() > 1) {
    reportError(6159, kSeveralRows);
    return;
  }
  const dao::Bookmark b = marks_.Item(0);
  const int row = model_->rowOf(b);
  const auto rs = model_->recordset();
  if (row < 0 || !rs) return;
  const int col = std::max(0, currentIndex().column());
  moveTo(row, col);
  if (currentIndex().row() != row) return;   // an open edit refused to leave its row
  positionRecordset(row);
  bool cancel = false;
  if (events_ && !guarded([&] { events_->BeforeDelete(cancel); })) cancel = true;
  if (cancel) return;
  try {
    rs->SetBookmark(b);
    rs->Delete();
  } catch (const vb::Error& e) {
    reportError(16389, e.description(), e.number());
    return;
  }
  marks_.Clear();
  model_->refresh();
  const int next = std::min(row, model_->recordCount() - 1);
  if (next >= 0) {
    moveTo(next, col);
    positionRecordset(next);
  }
  if (events_) guarded([&] { events_->AfterDelete(); });
}

void BoundGrid::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Delete && state() != EditingState && marks_.Count() > 0) {
    deleteMarked();
    event->accept();
    return;
  }
  QTableView::keyPressEvent(event);
}

void BoundGrid::focusInEvent(QFocusEvent* event) {
  QTableView::focusInEvent(event);
  // The grid taking the focus (after a posted message) gives it to an edit still open.
  if (editor_ && editIndex_.isValid() && !inPipeline_) editor_->setFocus();
}

// ---- data ----

void BoundGrid::Refresh() {
  model_->refresh();
  viewport()->update();
  followRecordset();
}

void BoundGrid::ReBind() {
  if (inPipeline_) {   // inside a handler the edited row must stay: read the rows again only
    Refresh();
    return;
  }
  bind();
}

QString BoundGrid::cellText(int row, int col) { return model_->displayText(row, col); }

// ---- mouse, tips ----

bool BoundGrid::handleMouse(QObject* watched, QEvent* event) {
  auto* me = static_cast<QMouseEvent*>(event);
  auto* w = static_cast<QWidget*>(watched);
  const QPoint local = me->position().toPoint();
  const QPoint p = w->mapTo(this, local);
  const bool press = event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick;
  const bool left = me->button() == Qt::LeftButton;

  // The grid's own marking.
  QHeaderView* columnHeader = columnHeaderOf(watched);
  if (press && left && w == verticalHeader()->viewport()) {
    const int row = verticalHeader()->logicalIndexAt(local.y());
    const dao::Bookmark b = model_->bookmarkAt(row);
    if (b.isValid()) moveTo(row, std::max(0, currentIndex().column()));
    if (b.isValid() && currentIndex().row() == row) {   // not while a refused edit holds its row
      selStartCol_ = selEndCol_ = -1;
      const bool ctrl = me->modifiers() & Qt::ControlModifier;
      const int anchor = model_->rowOf(rowAnchor_);
      if ((me->modifiers() & Qt::ShiftModifier) && anchor >= 0) {
        if (!ctrl) marks_.Clear();
        markRange(anchor, row);
      } else if (ctrl) {
        const auto& items = marks_.items_;
        auto it = std::find(items.begin(), items.end(), b);
        if (it != items.end()) marks_.Remove(int(it - items.begin()));
        else marks_.Add(b);
        rowAnchor_ = b;
      } else {
        marks_.Clear();
        marks_.Add(b);
        rowAnchor_ = b;
      }
      repaintCells();
    }
  } else if (columnHeader && (left || (draggingColumns_ && event->type() == QEvent::MouseMove))) {
    QHeaderView* h = columnHeader;
    const int col = columnAtViewportX(p.x() - viewport()->geometry().left());
    if (press) {
      const int grip = h->style()->pixelMetric(QStyle::PM_HeaderGripMargin, nullptr, h);
      const int start = col >= 0 ? h->sectionViewportPosition(col) : 0;
      const bool onGrip = col < 0 || local.x() - start < grip || start + h->sectionSize(col) - local.x() <= grip;
      if (!onGrip) {
        marks_.Clear();
        if ((me->modifiers() & Qt::ShiftModifier) && colAnchor_ >= 0) {
          selStartCol_ = std::min(colAnchor_, col);
          selEndCol_ = std::max(colAnchor_, col);
        } else {
          colAnchor_ = selStartCol_ = selEndCol_ = col;
        }
        draggingColumns_ = true;
        repaintCells();
      }
    } else if (event->type() == QEvent::MouseMove && draggingColumns_ && col >= 0 && colAnchor_ >= 0) {
      selStartCol_ = std::min(colAnchor_, col);
      selEndCol_ = std::max(colAnchor_, col);
      repaintCells();
    } else if (event->type() == QEvent::MouseButtonRelease) {
      draggingColumns_ = false;
    }
  } else if (press && left && isCellArea(w)) {
    if (w != viewport()) setFocus();   // a click on a frozen cell: the keys go on to the grid
    rowAnchor_ = dao::Bookmark();
    if (marks_.Count() > 0 || selStartCol_ >= 0) {
      marks_.Clear();
      selStartCol_ = selEndCol_ = -1;
      repaintCells();
    }
  }
  if (event->type() == QEvent::MouseButtonRelease && me->button() == Qt::LeftButton) draggingColumns_ = false;

  // The window's handlers, in twips from the grid's corner.
  if (events_) {
    const double x = pixelsToTwips(p.x());
    const double y = pixelsToTwips(p.y());
    const int shift = vbShift(me->modifiers());
    switch (event->type()) {
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonDblClick:
        guarded([&] { events_->MouseDown(vbButton(me->button()), shift, x, y); });
        break;
      case QEvent::MouseMove: guarded([&] { events_->MouseMove(vbButton(me->buttons()), shift, x, y); }); break;
      case QEvent::MouseButtonRelease: guarded([&] { events_->MouseUp(vbButton(me->button()), shift, x, y); }); break;
      default: break;
    }
  }
  return w == corner_;   // the corner selects nothing by itself
}

void BoundGrid::showTip(QHelpEvent* event, const QPoint& gridPos) {
  const double x = pixelsToTwips(gridPos.x());
  const double y = pixelsToTwips(gridPos.y());
  const int col = ColContaining(x);
  const int row = RowContaining(y);
  QString tip;
  bool fully = true;
  if (col >= 0 && row >= 0) {
    const int r = firstVisibleRow() + row;
    tip = cellText(r, col);
    fully = fontMetrics().horizontalAdvance(tip) + 6 <= columnWidth(col);
  }
  int style = 0;
  if (events_) guarded([&] { events_->FetchCellTips(0, col, row, tip, fully, style); });
  if (tip.isEmpty()) {
    QToolTip::hideText();
    event->ignore();
    return;
  }
  QString shown = tip;
  if (tipWidth_ > 0) {
    QString body = tip.toHtmlEscaped();
    body.replace(QStringLiteral("\r\n"), QStringLiteral("<br>")).replace(u'\n', QStringLiteral("<br>"));
    shown = QStringLiteral("<table width=\"%1\"><tr><td>%2</td></tr></table>").arg(twipsToPixels(tipWidth_)).arg(body);
  }
  QToolTip::showText(event->globalPos(), shown, this);
}

bool BoundGrid::eventFilter(QObject* watched, QEvent* event) {
  const bool ours = isCellArea(watched) || watched == verticalHeader()->viewport() || columnHeaderOf(watched) ||
                    (corner_ && watched == corner_);
  if (ours) {
    switch (event->type()) {
      case QEvent::MouseButtonPress:
      case QEvent::MouseButtonDblClick:
      case QEvent::MouseButtonRelease:
      case QEvent::MouseMove:
        if (handleMouse(watched, event)) return true;
        break;
      case QEvent::ToolTip: {
        auto* he = static_cast<QHelpEvent*>(event);
        showTip(he, static_cast<QWidget*>(watched)->mapTo(this, he->pos()));
        return true;
      }
      default: break;
    }
  }
  return QTableView::eventFilter(watched, event);
}

bool BoundGrid::viewportEvent(QEvent* event) {
  if (event->type() == QEvent::ToolTip) return true;   // shown by the filter above
  return QTableView::viewportEvent(event);
}

// ---- layouts ----

bool BoundGrid::LoadLayout() {
  const auto layout = readGridLayout(layoutFile_, layoutName_);
  if (!layout) return false;
  std::vector<bool> used(size_t(Columns().Count()), false);
  for (const ColumnLayout& l : *layout) {
    for (int i = 0; i < Columns().Count(); ++i) {
      Column& c = Columns(i);
      if (used[size_t(i)] || c.Bound() != l.bound) continue;
      const QString& name = l.bound ? c.DataField() : c.Caption();
      if (name.compare(l.name, Qt::CaseInsensitive) != 0) continue;
      used[size_t(i)] = true;
      if (l.width > 0) c.SetWidth(l.width);   // none stored: the designed width stays
      c.SetVisible(l.visible);
      break;
    }
  }
  return true;
}

bool BoundGrid::SaveLayout() {
  GridLayout layout;
  for (int i = 0; i < Columns().Count(); ++i) {
    const Column& c = Columns(i);
    layout.push_back({c.Bound(), c.Bound() ? c.DataField() : c.Caption(), c.Width(), c.Visible()});
  }
  return writeGridLayout(layoutFile_, layoutName_, layout);
}

}  // namespace ui
