#include "unboundgrid.h"

#include "msgbox.h"
#include "twips.h"

#include <QAbstractTableModel>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QScopedValueRollback>
#include <QTimer>

namespace ui {

namespace {

bool truthy(const vb::Variant& v) {
  if (v.isNull() || v.isEmpty()) return false;
  try {
    return v.toBool();
  } catch (const vb::Error&) {
    return false;
  }
}

QString editText(const vb::Variant& v) {
  if (v.isNull() || v.isEmpty()) return QString();
  return v.toString();
}

bool numericFormat(const QString& format) {
  return format.compare(QLatin1String("General Number"), Qt::CaseInsensitive) == 0 ||
         format.compare(QLatin1String("Currency"), Qt::CaseInsensitive) == 0;
}

}  // namespace

// ---------------------------------------------------------------------------------------------------
// The model: the array's rows, the row buffer over them, and the add-new line.

class UnboundGridModel : public QAbstractTableModel {
public:
  explicit UnboundGridModel(UnboundGrid* grid) : QAbstractTableModel(grid), grid_(grid) {}

  int rowCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : grid_->RowCount(); }
  int columnCount(const QModelIndex& parent = {}) const override { return parent.isValid() ? 0 : grid_->ColumnCount(); }

  QVariant data(const QModelIndex& index, int role) const override {
    if (!index.isValid()) return {};
    const UnboundColumn& c = grid_->Columns(index.column());
    const vb::Variant v = grid_->CellValue(index.row(), index.column());
    switch (role) {
      case Qt::DisplayRole:
        return c.CheckBox() ? QVariant() : QVariant(UnboundGrid::formatValue(v, c.NumberFormat()));
      case Qt::EditRole:
        return editText(v);
      case Qt::CheckStateRole:
        if (!c.CheckBox()) return {};
        // The add-new line shows no box until a row is typed there.
        if (grid_->IsAddNewRow(index.row()) && !(grid_->buffer_ && grid_->buffer_->row == index.row())) return {};
        return truthy(v) ? Qt::Checked : Qt::Unchecked;
      case Qt::TextAlignmentRole:
        if (c.CheckBox()) return int(Qt::AlignCenter);
        if (v.isNumber() || numericFormat(c.NumberFormat())) return int(Qt::AlignRight | Qt::AlignVCenter);
        return int(Qt::AlignLeft | Qt::AlignVCenter);
      default:
        return {};
    }
  }

  QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
    if (role != Qt::DisplayRole) return {};
    if (orientation == Qt::Horizontal)
      return section < grid_->ColumnCount() ? grid_->Columns(section).Caption() : QString();
    return grid_->IsAddNewRow(section) ? QStringLiteral("*") : QString();
  }

  Qt::ItemFlags flags(const QModelIndex& index) const override {
    if (!index.isValid()) return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (!grid_->Columns(index.column()).CheckBox() && grid_->CellEditable(index.row(), index.column()))
      f |= Qt::ItemIsEditable;
    return f;
  }

  void reset(const std::function<void()>& change) {
    beginResetModel();
    change();
    endResetModel();
  }
  void removeRow(int row, const std::function<void()>& change) {
    beginRemoveRows({}, row, row);
    change();
    endRemoveRows();
  }
  void insertRow(int row, const std::function<void()>& change) {
    beginInsertRows({}, row, row);
    change();
    endInsertRows();
  }
  void rowChanged(int row) {
    if (row < 0 || row >= rowCount()) return;
    emit dataChanged(index(row, 0), index(row, std::max(0, columnCount() - 1)));
    emit headerDataChanged(Qt::Vertical, row, row);
  }
  void allChanged() {
    if (rowCount() > 0 && columnCount() > 0) emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
    if (rowCount() > 0) emit headerDataChanged(Qt::Vertical, 0, rowCount() - 1);
  }
  void columnsChanged(int first, int last) { emit headerDataChanged(Qt::Horizontal, first, last); }

private:
  UnboundGrid* grid_;
};

// ---------------------------------------------------------------------------------------------------
// Columns

void UnboundColumn::SetCaption(const QString& caption) {
  caption_ = caption;
  grid_->columnChanged(index_);
}

void UnboundColumn::SetVisible(bool visible) {
  visible_ = visible;
  grid_->columnChanged(index_);
}

void UnboundColumn::SetWidth(int twips) {
  width_ = std::max(0, twips);
  grid_->columnChanged(index_);
}

void UnboundColumn::SetLocked(bool locked) {
  locked_ = locked;
  grid_->columnChanged(index_);
}

void UnboundColumn::SetNumberFormat(const QString& format) {
  numberFormat_ = format;
  grid_->columnChanged(index_);
}

void UnboundColumn::SetCheckBox(bool checkBox) {
  checkBox_ = checkBox;
  grid_->columnChanged(index_);
}

vb::Variant UnboundColumn::Value() const { return grid_->currentValue(index_); }
void UnboundColumn::SetValue(const vb::Variant& value) { grid_->setCurrentValue(index_, value); }
QString UnboundColumn::Text() const { return UnboundGrid::formatValue(Value(), numberFormat_); }

// ---------------------------------------------------------------------------------------------------
// The grid

UnboundGrid::UnboundGrid(QWidget* parent) : QTableView(parent), model_(new UnboundGridModel(this)) {
  setModel(model_);
  setSelectionMode(QAbstractItemView::ExtendedSelection);
  setSelectionBehavior(QAbstractItemView::SelectItems);
  setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                  QAbstractItemView::AnyKeyPressed | QAbstractItemView::SelectedClicked);
  setWordWrap(false);
  verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
  verticalHeader()->setMinimumWidth(18);
  horizontalHeader()->setHighlightSections(false);
  horizontalHeader()->setSectionsClickable(false);
}

UnboundGrid::~UnboundGrid() = default;

UnboundColumn& UnboundGrid::AddColumn(const QString& caption, const QString& dataField) {
  const int index = ColumnCount();
  model_->reset([&] {
    columns_.push_back(std::unique_ptr<UnboundColumn>(new UnboundColumn(this, index)));
    columns_.back()->caption_ = caption;
    columns_.back()->dataField_ = dataField;
  });
  for (int i = 0; i < ColumnCount(); ++i) applyColumn(i);
  return *columns_.back();
}

UnboundColumn& UnboundGrid::Columns(int index) const {
  if (index < 0 || index >= ColumnCount()) throw vb::Error(9);
  return *columns_[size_t(index)];
}

int UnboundGrid::ColumnIndex(const QString& fieldOrCaption) const {
  for (int i = 0; i < ColumnCount(); ++i)
    if (!columns_[size_t(i)]->DataField().isEmpty() &&
        columns_[size_t(i)]->DataField().compare(fieldOrCaption, Qt::CaseInsensitive) == 0)
      return i;
  for (int i = 0; i < ColumnCount(); ++i)
    if (columns_[size_t(i)]->Caption().compare(fieldOrCaption, Qt::CaseInsensitive) == 0) return i;
  return -1;
}

UnboundColumn& UnboundGrid::Columns(const QString& fieldOrCaption) const {
  const int i = ColumnIndex(fieldOrCaption);
  if (i < 0) throw vb::Error(9);
  return *columns_[size_t(i)];
}

void UnboundGrid::columnChanged(int index) {
  applyColumn(index);
  model_->columnsChanged(index, index);
  viewport()->update();
}

void UnboundGrid::applyColumn(int index) {
  const UnboundColumn& c = Columns(index);
  setColumnHidden(index, !c.Visible());
  if (c.Visible()) setColumnWidth(index, twipsToPixels(double(c.Width())));
}

void UnboundGrid::SetArray(std::shared_ptr<XArray> array) {
  array_ = std::move(array);
  ReBind();
}

void UnboundGrid::SetAllowAddNew(bool allow) {
  if (allow == allowAddNew_) return;
  const int line = array_ ? array_->Rows() : 0;
  if (allow) {
    model_->insertRow(line, [&] { allowAddNew_ = true; });
  } else {
    if (buffer_ && buffer_->isNew) buffer_.reset();
    model_->removeRow(line, [&] { allowAddNew_ = false; });
  }
}

void UnboundGrid::SetAllowUpdate(bool allow) {
  allowUpdate_ = allow;
  viewport()->update();
}

int UnboundGrid::RowCount() const { return (array_ ? array_->Rows() : 0) + (allowAddNew_ ? 1 : 0); }

bool UnboundGrid::IsAddNewRow(int row) const { return allowAddNew_ && row == (array_ ? array_->Rows() : 0); }

int UnboundGrid::Row() const {
  const QModelIndex i = currentIndex();
  return i.isValid() ? i.row() : -1;
}

void UnboundGrid::SetRow(int row) {
  if (row < 0 || row >= RowCount()) return;
  int col = Col();
  if (col < 0) col = 0;
  if (col >= ColumnCount()) return;
  setCurrentIndex(model_->index(row, col));
}

int UnboundGrid::Col() const {
  const QModelIndex i = currentIndex();
  return i.isValid() ? i.column() : -1;
}

void UnboundGrid::SetCol(int col) {
  if (col < 0 || col >= ColumnCount()) return;
  const int row = Row() < 0 ? 0 : Row();
  if (row >= RowCount()) return;
  setCurrentIndex(model_->index(row, col));
}

bool UnboundGrid::CellEditable(int row, int col) const {
  if (row < 0 || row >= RowCount() || col < 0 || col >= ColumnCount()) return false;
  if (Columns(col).Locked()) return false;
  return IsAddNewRow(row) ? allowAddNew_ : allowUpdate_;
}

vb::Variant UnboundGrid::CellValue(int row, int col) const {
  if (buffer_ && buffer_->row == row) return col < int(buffer_->values.size()) ? buffer_->values[size_t(col)] : vb::Variant();
  if (!array_ || row < 0 || row >= array_->Rows() || col < 0 || col >= array_->Columns()) return vb::Variant();
  return array_->Value(row, col);
}

QString UnboundGrid::CellText(int row, int col) const {
  if (col < 0 || col >= ColumnCount()) return QString();
  return formatValue(CellValue(row, col), Columns(col).NumberFormat());
}

QString UnboundGrid::formatValue(const vb::Variant& v, const QString& format) {
  if (v.isNull() || v.isEmpty()) return QString();
  try {
    if (format.isEmpty()) return v.toString();
    const bool number = v.isNumber() || vb::IsNumeric(v);
    if (format.compare(QLatin1String("General Number"), Qt::CaseInsensitive) == 0)
      return number ? vb::numberText(v.toDouble()) : v.toString();
    if (format.compare(QLatin1String("Currency"), Qt::CaseInsensitive) == 0)
      return number ? vb::Format(vb::Variant(v.toCurrency()), QStringLiteral("$#,##0.00;-$#,##0.00")) : v.toString();
    return vb::Format(v, format);
  } catch (const vb::Error&) {
    return v.toString();
  }
}

vb::Variant UnboundGrid::currentValue(int col) const {
  const int row = buffer_ ? buffer_->row : Row();
  return CellValue(row, col);
}

void UnboundGrid::setCurrentValue(int col, const vb::Variant& value) {
  if (col < 0 || col >= ColumnCount()) throw vb::Error(9);
  if (!buffer_ && !startBuffer(Row())) return;
  if (col >= int(buffer_->values.size())) buffer_->values.resize(size_t(col) + 1);
  buffer_->values[size_t(col)] = value;
  if (!inEvents_) buffer_->dirty = true;
  repaintRow(buffer_->row);
}

bool UnboundGrid::startBuffer(int row) {
  if (row < 0 || row >= RowCount()) return false;
  Buffer b;
  b.row = row;
  b.isNew = IsAddNewRow(row);
  const size_t n = size_t(std::max(ColumnCount(), array_ ? array_->Columns() : 0));
  if (b.isNew) {
    b.values.resize(n);
    for (int c = 0; c < ColumnCount(); ++c) b.values[size_t(c)] = Columns(c).DefaultValue();
  } else {
    b.values = array_->Row(row);
    b.values.resize(n);
  }
  buffer_ = std::move(b);
  return true;
}

void UnboundGrid::repaintRow(int row) { model_->rowChanged(row); }

// A handler's failure must not take the grid down with it: it is shown, and the step is cancelled.
template <class F>
bool UnboundGrid::guarded(F&& handler) {
  if (!events_) return true;
  const bool outer = inEvents_;
  inEvents_ = true;
  bool ok = true;
  try {
    handler();
  } catch (const vb::Error& e) {
    MsgBox(QStringLiteral("Error ") + QString::number(e.number()) + QLatin1Char(' ') + e.description());
    ok = false;
  } catch (const std::exception& e) {
    MsgBox(QString::fromUtf8(e.what()));
    ok = false;
  }
  inEvents_ = outer;
  return ok;
}

bool UnboundGrid::CommitCell(int col, const QString& text) {
  if (col < 0 || col >= ColumnCount()) return false;
  if (Columns(col).CheckBox()) {
    const QString t = text.trimmed();
    const bool yes = t.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0 ||
                     t.compare(QLatin1String("Verdadero"), Qt::CaseInsensitive) == 0 || t == QLatin1String("1") ||
                     t == QLatin1String("-1");
    return CommitValue(col, vb::Variant(yes));
  }
  return CommitValue(col, text.isEmpty() ? vb::Variant::null() : vb::Variant(text));
}

bool UnboundGrid::CommitValue(int col, const vb::Variant& value) {
  const int row = Row();
  if (!CellEditable(row, col)) return false;
  if (col != Col()) setCurrentIndex(model_->index(row, col));  // the cell edited is the current one
  if (buffer_ && buffer_->row != row) leaveRow(buffer_->row);
  if (!buffer_) {
    if (!startBuffer(row)) return false;
    if (buffer_->isNew && !guarded([&] { events_->OnAddNew(); })) {
      buffer_.reset();
      repaintRow(row);
      return false;
    }
    if (!buffer_) return false;
  }
  if (col >= int(buffer_->values.size())) buffer_->values.resize(size_t(col) + 1);
  const vb::Variant old = buffer_->values[size_t(col)];
  buffer_->values[size_t(col)] = value;
  bool cancel = false;
  const bool ok = guarded([&] { events_->BeforeColUpdate(col, old, cancel); });
  if (!buffer_) return false;
  if (cancel || !ok) {
    buffer_->values[size_t(col)] = old;
    if (buffer_->isNew && !buffer_->dirty) buffer_.reset();
    repaintRow(row);
    return false;
  }
  buffer_->dirty = true;
  repaintRow(row);
  guarded([&] { events_->AfterColUpdate(col); });
  return true;
}

bool UnboundGrid::Update() {
  if (!buffer_ || !buffer_->dirty) return false;
  bool cancel = false;
  const bool ok = guarded([&] { events_->BeforeUpdate(cancel); });
  if (!buffer_) return false;
  if (cancel || !ok) return false;
  Buffer b = std::move(*buffer_);
  buffer_.reset();
  if (!array_) array_ = std::make_shared<XArray>();
  if (b.isNew) {
    // The add-new line becomes the row, and a new add-new line follows it.
    const int row = array_->Rows();
    model_->insertRow(row + 1, [&] { array_->AppendRow(b.values); });
    repaintRow(row);
  } else if (b.row < array_->Rows()) {
    for (int c = 0; c < int(b.values.size()) && c < array_->Columns(); ++c) array_->SetValue(b.row, c, b.values[size_t(c)]);
    repaintRow(b.row);
  }
  guarded([&] { events_->AfterUpdate(); });
  return true;
}

void UnboundGrid::CancelUpdate() {
  if (!buffer_) return;
  const int row = buffer_->row;
  buffer_.reset();
  repaintRow(row);
}

void UnboundGrid::FinishPendingEdit() {
  if (inEvents_) return;
  {
    QScopedValueRollback<bool> guard(finishing_, true);
    if (editIndex_.isValid())
      if (QWidget* editor = indexWidget(editIndex_)) {
        commitData(editor);
        closeEditor(editor, QAbstractItemDelegate::SubmitModelCache);
      }
    if (buffer_ && !Update()) CancelUpdate();
  }
  deliverPosted();
}

bool UnboundGrid::PostMsgBox(const QString& prompt, VbMsgBoxStyle buttons) {
  if (posted_.empty() && !MouseButtonHeld()) {
    MsgBox(prompt, buttons);
    return true;
  }
  for (const auto& [texto, estilo] : posted_)
    if (texto == prompt) return false;
  posted_.emplace_back(prompt, buttons);
  if (posted_.size() == 1) AfterClick(this, [this] { deliverPosted(); });
  return false;
}

void UnboundGrid::deliverPosted() {
  while (!posted_.empty()) {
    const auto [texto, estilo] = posted_.front();
    posted_.erase(posted_.begin());
    MsgBox(texto, estilo);
  }
}

void UnboundGrid::reopenEditor(const QModelIndex& where, const QString& text) {
  if (!where.isValid() || !(model_->flags(where) & Qt::ItemIsEditable)) return;
  setCurrentIndex(where);
  if (!edit(where, AllEditTriggers, nullptr)) return;
  if (auto* line = qobject_cast<QLineEdit*>(indexWidget(where))) {
    line->setText(text);
    line->setFocus();
  }
}

void UnboundGrid::leaveRow(int row) {
  if (!buffer_ || buffer_->row != row) return;
  if (!Update()) CancelUpdate();
}

bool UnboundGrid::Delete() {
  const int row = Row();
  if (!allowDelete_ || row < 0 || !array_ || row >= array_->Rows()) return false;
  if (buffer_) CancelUpdate();
  bool cancel = false;
  const bool ok = guarded([&] { events_->BeforeDelete(cancel); });
  if (cancel || !ok || !array_ || row >= array_->Rows()) return false;
  model_->removeRow(row, [&] { array_->DeleteRows(row); });
  guarded([&] { events_->AfterDelete(); });
  return true;
}

void UnboundGrid::Refresh() {
  model_->allChanged();
  viewport()->update();
}

void UnboundGrid::ReBind() {
  const int row = Row();
  const int col = Col();
  model_->reset([&] { buffer_.reset(); });
  for (int i = 0; i < ColumnCount(); ++i) applyColumn(i);
  // The same cell as before where it is still there.
  if (RowCount() > 0 && ColumnCount() > 0 && row >= 0)
    setCurrentIndex(model_->index(std::min(row, RowCount() - 1), std::max(0, col)));
}

// ---------------------------------------------------------------------------------------------------
// The user's edits

bool UnboundGrid::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) {
  if (inEvents_) return false;
  const bool opened = QTableView::edit(index, trigger, event);
  if (opened) {
    editIndex_ = index;
    editStartText_ = model_->data(index, Qt::EditRole).toString();
    committedText_.reset();
  }
  return opened;
}

void UnboundGrid::commitData(QWidget* editor) {
  // The edit runs once the editor has closed (closeEditor), so that handlers may reload the grid.
  if (auto* line = qobject_cast<QLineEdit*>(editor)) committedText_ = line->text();
}

void UnboundGrid::closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) {
  std::optional<QString> text = std::move(committedText_);
  committedText_.reset();
  const QPersistentModelIndex where = editIndex_;
  editIndex_ = QPersistentModelIndex();
  QTableView::closeEditor(editor, QAbstractItemDelegate::NoHint);
  if (text && *text == editStartText_) text.reset();
  // Refused, a value the editor's own Enter or Tab gave stays in the cell's editor with the text
  // typed, as in the bound grids. Not one left behind by a move of the current cell or by the focus
  // gone elsewhere, nor while the window closes: the editor would take the focus back from a button
  // being pressed, or the cell from the move.
  const bool porTeclas = !inCurrentChanged_ && (hint == QAbstractItemDelegate::SubmitModelCache ||
                                                hint == QAbstractItemDelegate::EditNextItem ||
                                                hint == QAbstractItemDelegate::EditPreviousItem);
  auto finish = [this, text, where, hint, porTeclas] {
    if (text && where.isValid()) {
      if (where.row() != Row()) setCurrentIndex(where);
      if (!CommitCell(where.column(), *text) && porTeclas && !finishing_ && !MouseButtonHeld() && where.isValid()) {
        reopenEditor(where, *text);
        return;
      }
    }
    if (hint == QAbstractItemDelegate::EditNextItem || hint == QAbstractItemDelegate::EditPreviousItem) {
      const QModelIndex next =
          moveCursor(hint == QAbstractItemDelegate::EditNextItem ? MoveNext : MovePrevious, Qt::NoModifier);
      if (next.isValid()) {
        setCurrentIndex(next);
        if (next.flags() & Qt::ItemIsEditable) edit(next);
      }
    } else if (hint == QAbstractItemDelegate::SubmitModelCache) {
      Update();
    }
  };
  // The view closes an editor from inside its move to another cell too: the edit waits for the move.
  if (inCurrentChanged_)
    QTimer::singleShot(0, this, finish);
  else
    finish();
}

void UnboundGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
  inCurrentChanged_ = true;
  QTableView::currentChanged(current, previous);
  inCurrentChanged_ = false;
  // Leaving a row with changes writes it, once the move itself is over.
  if (buffer_ && current.row() != buffer_->row) {
    const int row = buffer_->row;
    QTimer::singleShot(0, this, [this, row] {
      if (buffer_ && buffer_->row == row && Row() != row) leaveRow(row);
    });
  }
}

void UnboundGrid::selectionChanged(const QItemSelection& selected, const QItemSelection& deselected) {
  QTableView::selectionChanged(selected, deselected);
  if (inEvents_ || !events_ || !userInput_) return;
  bool cancel = false;
  guarded([&] { events_->SelChange(cancel); });
}

bool UnboundGrid::toggle(const QModelIndex& index) {
  if (!index.isValid() || !Columns(index.column()).CheckBox() || !CellEditable(index.row(), index.column()))
    return false;
  if (index.row() != Row()) setCurrentIndex(index);
  return CommitValue(index.column(), vb::Variant(!truthy(CellValue(index.row(), index.column()))));
}

void UnboundGrid::keyPressEvent(QKeyEvent* event) {
  if (state() != QAbstractItemView::EditingState) {
    switch (event->key()) {
      case Qt::Key_Delete: {
        const QModelIndexList rows = selectionModel()->selectedRows();
        if (rows.size() == 1 && allowDelete_) {
          if (rows.first().row() != Row()) setCurrentIndex(model_->index(rows.first().row(), std::max(0, Col())));
          Delete();
        }
        event->accept();
        return;
      }
      case Qt::Key_Escape:
        if (buffer_) {
          CancelUpdate();
          event->accept();
          return;
        }
        break;
      case Qt::Key_Space:
        if (toggle(currentIndex())) {
          event->accept();
          return;
        }
        break;
      default:
        break;
    }
  }
  userInput_ = true;
  QTableView::keyPressEvent(event);
  userInput_ = false;
}

void UnboundGrid::mousePressEvent(QMouseEvent* event) {
  pressIndex_ = indexAt(event->position().toPoint());
  userInput_ = true;
  QTableView::mousePressEvent(event);
  userInput_ = false;
}

void UnboundGrid::mouseMoveEvent(QMouseEvent* event) {
  userInput_ = true;
  QTableView::mouseMoveEvent(event);
  userInput_ = false;
}

void UnboundGrid::mouseReleaseEvent(QMouseEvent* event) {
  const QModelIndex index = indexAt(event->position().toPoint());
  const bool click = event->button() == Qt::LeftButton && index.isValid() && index == pressIndex_;
  pressIndex_ = QPersistentModelIndex();
  QTableView::mouseReleaseEvent(event);
  if (click) toggle(index);
}

}  // namespace ui
