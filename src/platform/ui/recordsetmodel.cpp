#include "recordsetmodel.h"

#include "dropdown.h"

#include <database.h>
#include <recordset.h>

#include <QMetaObject>
#include <algorithm>

namespace ui {

namespace {

// Rows kept read; past this the cache starts over (a few screens of any grid).
constexpr int kCachedRows = 1024;

bool isNumeric(const vb::Variant& v) { return v.isNumber() || v.type() == vb::VarType::Date; }

[[noreturn]] void subscriptOutOfRange() { throw vb::Error(9); }

}  // namespace

// ---- Column ----

void Column::changed(Property p) {
  if (owner_->onChanged) owner_->onChanged(ColIndex(), p);
}

void Column::SetCaption(const QString& caption) {
  caption_ = caption;
  changed(Property::Caption);
}

void Column::SetDataField(const QString& field) {
  dataField_ = field;
  changed(Property::DataField);
}

void Column::SetVisible(bool visible) {
  visible_ = visible;
  changed(Property::Visible);
}

void Column::SetWidth(int twips) {
  width_ = std::max(0, twips);
  changed(Property::Width);
}

void Column::SetLocked(bool locked) {
  locked_ = locked;
  changed(Property::Locked);
}

void Column::SetNumberFormat(const QString& format) {
  numberFormat_ = format;
  changed(Property::NumberFormat);
}

void Column::SetAlignment(int alignment) {
  alignment_ = alignment;
  changed(Property::Alignment);
}

DropDown* Column::GetDropDown() const { return qobject_cast<DropDown*>(dropDown_.data()); }

void Column::SetDropDown(DropDown* dropDown) {
  dropDown_ = dropDown;
  changed(Property::DropDown);
}

int Column::ColIndex() const { return owner_->IndexOf(this); }

vb::Variant Column::Value() const {
  return owner_->currentRow ? owner_->currentRow->currentValue(ColIndex()) : vb::Variant::null();
}

void Column::SetValue(const vb::Variant& value) {
  if (owner_->currentRow) owner_->currentRow->setCurrentValue(ColIndex(), value, nullptr);
}

QString Column::Text() const { return owner_->currentRow ? owner_->currentRow->currentText(ColIndex()) : QString(); }

void Column::SetText(const QString& text) {
  if (owner_->currentRow)
    owner_->currentRow->setCurrentValue(ColIndex(), text.isEmpty() ? vb::Variant::null() : vb::Variant(text), &text);
}

vb::Variant Column::CellValue(const dao::Bookmark& bookmark) const {
  RecordsetModel* m = owner_->model_;
  const int row = m ? m->rowOf(bookmark) : -1;
  return row < 0 ? vb::Variant::null() : m->value(row, ColIndex());
}

QString Column::CellText(const dao::Bookmark& bookmark) const {
  RecordsetModel* m = owner_->model_;
  const int row = m ? m->rowOf(bookmark) : -1;
  return row < 0 ? QString() : m->displayText(row, ColIndex());
}

// ---- GridColumns ----

Column& GridColumns::Item(int index) const {
  if (index < 0 || index >= Count()) subscriptOutOfRange();
  return *items_[size_t(index)];
}

Column& GridColumns::Item(const QString& fieldOrCaption) const {
  const int i = IndexOf(fieldOrCaption);
  if (i < 0) subscriptOutOfRange();
  return *items_[size_t(i)];
}

int GridColumns::IndexOf(const QString& fieldOrCaption) const {
  for (size_t i = 0; i < items_.size(); ++i)
    if (items_[i]->dataField_.compare(fieldOrCaption, Qt::CaseInsensitive) == 0) return int(i);
  for (size_t i = 0; i < items_.size(); ++i)
    if (items_[i]->caption_.compare(fieldOrCaption, Qt::CaseInsensitive) == 0) return int(i);
  return -1;
}

int GridColumns::IndexOf(const Column* column) const {
  for (size_t i = 0; i < items_.size(); ++i)
    if (items_[i].get() == column) return int(i);
  return -1;
}

Column& GridColumns::Add(int index) {
  if (index < 0 || index > Count()) subscriptOutOfRange();
  if (onAboutToInsertOrRemove) onAboutToInsertOrRemove(index, index, true);
  auto it = items_.insert(items_.begin() + index, std::unique_ptr<Column>(new Column(this)));
  if (onInsertedOrRemoved) onInsertedOrRemoved(true);
  return **it;
}

void GridColumns::Remove(int index) {
  if (index < 0 || index >= Count()) subscriptOutOfRange();
  if (onAboutToInsertOrRemove) onAboutToInsertOrRemove(index, index, false);
  items_.erase(items_.begin() + index);
  if (onInsertedOrRemoved) onInsertedOrRemoved(false);
}

// ---- RecordsetModel ----

RecordsetModel::RecordsetModel(QObject* parent) : QAbstractTableModel(parent) {
  columns_.model_ = this;
  columns_.onChanged = [this](int col, Column::Property p) {
    if (p == Column::Property::DataField) {
      mapFields();
      cache_.clear();
    }
    if (p == Column::Property::Caption) emit headerDataChanged(Qt::Horizontal, col, col);
    if ((p == Column::Property::DataField || p == Column::Property::NumberFormat || p == Column::Property::Alignment) &&
        rowCount() > 0)
      emit dataChanged(index(0, col), index(rowCount() - 1, col));
    emit columnChanged(col, int(p));
  };
  columns_.onAboutToInsertOrRemove = [this](int first, int last, bool inserting) {
    if (inserting) beginInsertColumns({}, first, last);
    else beginRemoveColumns({}, first, last);
  };
  columns_.onInsertedOrRemoved = [this](bool inserting) {
    mapFields();
    cache_.clear();
    pending_.clear();
    pendingText_.clear();
    pendingRow_ = -1;
    if (inserting) endInsertColumns();
    else endRemoveColumns();
  };
}

RecordsetModel::~RecordsetModel() { unsubscribe(); }

void RecordsetModel::subscribe() {
  if (!recordset_) return;
  try {
    auto db = recordset_->Parent();
    if (!db || !db->IsOpen()) return;
    subscription_ = db->Subscribe([this](const QString&) { databaseChanged(); });
    db_ = db;
  } catch (const vb::Error&) {
  }
}

void RecordsetModel::unsubscribe() {
  if (auto db = db_.lock(); db && subscription_) db->Unsubscribe(subscription_);
  subscription_ = 0;
  db_.reset();
}

std::vector<int64_t> RecordsetModel::livePositions(uint64_t* family) const {
  std::vector<int64_t> out;
  *family = 0;
  if (!recordset_) return out;
  try {
    const auto marks = recordset_->Bookmarks();
    out.reserve(marks.size());
    for (const auto& b : marks) out.push_back(b.position());
    if (!marks.empty()) *family = marks.front().family();
  } catch (const vb::Error&) {
    out.clear();   // closed: nothing to show
  }
  return out;
}

void RecordsetModel::setRecordset(std::shared_ptr<dao::Recordset> recordset) {
  beginResetModel();
  unsubscribe();
  recordset_ = std::move(recordset);
  reader_.reset();
  cache_.clear();
  pending_.clear();
  pendingText_.clear();
  pendingRow_ = -1;
  positions_ = livePositions(&family_);
  if (recordset_) {
    try {
      reader_ = recordset_->Clone();
    } catch (const vb::Error&) {
      reader_.reset();
    }
  }
  mapFields();
  subscribe();
  endResetModel();
}

void RecordsetModel::mapFields() {
  fieldOf_.assign(size_t(columns_.Count()), -1);
  if (!recordset_) return;
  try {
    const int n = recordset_->FieldCount();
    for (int c = 0; c < columns_.Count(); ++c) {
      const QString& f = columns_.Item(c).DataField();
      if (f.isEmpty()) continue;
      for (int i = 0; i < n; ++i)
        if (recordset_->Fields(i).Name().compare(f, Qt::CaseInsensitive) == 0) {
          fieldOf_[size_t(c)] = i;
          break;
        }
    }
  } catch (const vb::Error&) {
  }
}

void RecordsetModel::setAddNewRow(bool shown) {
  if (shown == addNewRow_) return;
  const int row = recordCount();
  if (shown) {
    beginInsertRows({}, row, row);
    addNewRow_ = true;
    endInsertRows();
  } else {
    beginRemoveRows({}, row, row);
    addNewRow_ = false;
    endRemoveRows();
  }
}

dao::Bookmark RecordsetModel::bookmarkAt(int row) const {
  if (row < 0 || row >= recordCount()) return {};
  return dao::Bookmark::make(family_, positions_[size_t(row)]);
}

int RecordsetModel::rowOf(const dao::Bookmark& bookmark) const {
  if (!bookmark.isValid() || bookmark.family() != family_) return -1;
  auto it = std::lower_bound(positions_.begin(), positions_.end(), bookmark.position());
  if (it == positions_.end() || *it != bookmark.position()) return -1;
  return int(it - positions_.begin());
}

RecordsetModel::Row* RecordsetModel::rowData(int row) {
  if (row < 0 || row >= recordCount() || !reader_) return nullptr;
  const int64_t key = positions_[size_t(row)];
  auto it = cache_.find(key);
  if (it != cache_.end()) return &*it;
  if (cache_.size() >= kCachedRows) cache_.clear();
  Row r;
  r.unbound.resize(size_t(columns_.Count()));
  try {
    ++stats_.rowReads;
    reader_->SetBookmark(dao::Bookmark::make(family_, key));
    const int n = reader_->FieldCount();
    r.fields.reserve(size_t(n));
    for (int i = 0; i < n; ++i) r.fields.push_back(reader_->Fields(i).Value());
    r.ok = true;
  } catch (const vb::Error&) {
    // Deleted meanwhile, closed, or the disk failed: shown empty, and read again next time rather
    // than kept, so that a disk back in order shows the row without a change to announce it.
    unread_ = std::move(r);
    return &unread_;
  }
  return &*cache_.insert(key, std::move(r));
}

vb::Variant RecordsetModel::storedValue(int row, int col) {
  if (col < 0 || col >= columns_.Count()) return vb::Variant::null();
  Row* r = rowData(row);
  if (!r || !r->ok) return vb::Variant::null();
  const int f = size_t(col) < fieldOf_.size() ? fieldOf_[size_t(col)] : -1;
  if (columns_.Item(col).Bound()) return f >= 0 && size_t(f) < r->fields.size() ? r->fields[size_t(f)] : vb::Variant::null();
  if (r->unbound.size() < size_t(columns_.Count())) r->unbound.resize(size_t(columns_.Count()));
  auto& slot = r->unbound[size_t(col)];
  if (!slot) {
    vb::Variant v;
    if (fetch_) {
      ++stats_.fetches;
      const dao::Bookmark b = bookmarkAt(row);
      fetch_(b, col, v);
    }
    // The fetch may have changed the database and dropped the cache: look the row up again.
    Row* again = rowData(row);
    if (!again) return v;
    if (again->unbound.size() < size_t(columns_.Count())) again->unbound.resize(size_t(columns_.Count()));
    again->unbound[size_t(col)] = v;
    return v;
  }
  return *slot;
}

vb::Variant RecordsetModel::value(int row, int col) {
  if (row == pendingRow_) {
    auto it = pending_.find(col);
    if (it != pending_.end()) return it->second;
  }
  if (isAddNewRow(row)) return vb::Variant::null();
  return storedValue(row, col);
}

QString RecordsetModel::formatValue(const vb::Variant& v, const QString& numberFormat) {
  if (v.isNull() || v.isEmpty()) return QString();
  if (numberFormat.isEmpty()) return v.toString();
  return vb::Format(v, numberFormat);
}

QString RecordsetModel::displayText(int row, int col) {
  if (col < 0 || col >= columns_.Count()) return QString();
  if (row == pendingRow_) {
    auto t = pendingText_.find(col);
    if (t != pendingText_.end()) return t->second;
  }
  return formatValue(value(row, col), columns_.Item(col).NumberFormat());
}

QString RecordsetModel::editText(int row, int col) {
  if (row == pendingRow_) {
    auto t = pendingText_.find(col);
    if (t != pendingText_.end()) return t->second;
  }
  const vb::Variant v = value(row, col);
  return v.isNull() || v.isEmpty() ? QString() : v.toString();
}

void RecordsetModel::setPending(int row, int col, const vb::Variant& v, const QString* text) {
  if (row != pendingRow_) clearPending();
  pendingRow_ = row;
  pending_[col] = v;
  if (text) pendingText_[col] = *text;
  else pendingText_.erase(col);
  if (row >= 0 && row < rowCount()) emit dataChanged(index(row, 0), index(row, columnCount() - 1));
}

bool RecordsetModel::hasPending(int row, int col) const { return row == pendingRow_ && pending_.count(col) > 0; }

void RecordsetModel::removePending(int col) {
  pending_.erase(col);
  pendingText_.erase(col);
}

void RecordsetModel::clearPending() {
  const int row = pendingRow_;
  pending_.clear();
  pendingText_.clear();
  pendingRow_ = -1;
  if (row >= 0 && row < rowCount()) emit dataChanged(index(row, 0), index(row, columnCount() - 1));
}

void RecordsetModel::invalidateRow(int row) {
  if (row >= 0 && row < recordCount()) cache_.remove(positions_[size_t(row)]);
}

void RecordsetModel::invalidate() { cache_.clear(); }

void RecordsetModel::databaseChanged() {
  // Called once per statement that changed rows, possibly thousands of times in one action: forget
  // what was read now, look for added or deleted rows once the action is over.
  cache_.clear();
  if (resyncPosted_) return;
  resyncPosted_ = true;
  QMetaObject::invokeMethod(this, [this] {
    if (resyncPosted_) refresh();
  }, Qt::QueuedConnection);
}

void RecordsetModel::refresh() {
  resyncPosted_ = false;
  cache_.clear();
  uint64_t family = 0;
  std::vector<int64_t> now = livePositions(&family);
  if (!now.empty() && family_ == 0 && positions_.empty() && reader_) {
    // Bound while empty: the first rows added through the recordset are of the reader's keyset
    // unless the recordset was requeried since.
    try {
      const auto marks = reader_->Bookmarks();
      if (!marks.empty() && marks.front().family() == family) family_ = family;
    } catch (const vb::Error&) {
    }
  }
  if (!now.empty() && family != family_) {
    // Requeried (or another keyset): nothing of the old rows holds.
    setRecordset(recordset_);
    emit rowsResynced();
    return;
  }
  bool changedRows = false;
  // Rows gone: walk both sorted lists, remove runs from the end so indexes stay valid.
  std::vector<int> gone;
  {
    size_t j = 0;
    for (size_t i = 0; i < positions_.size(); ++i) {
      while (j < now.size() && now[j] < positions_[i]) ++j;
      if (j >= now.size() || now[j] != positions_[i]) gone.push_back(int(i));
    }
  }
  for (size_t k = gone.size(); k > 0;) {
    int last = gone[--k];
    int first = last;
    while (k > 0 && gone[k - 1] == first - 1) first = gone[--k];
    if (pendingRow_ >= first) clearPending();
    beginRemoveRows({}, first, last);
    positions_.erase(positions_.begin() + first, positions_.begin() + last + 1);
    endRemoveRows();
    changedRows = true;
  }
  // Rows added through the recordset's family come after every known one.
  const int64_t top = positions_.empty() ? -1 : positions_.back();
  std::vector<int64_t> added;
  for (int64_t p : now)
    if (p > top) added.push_back(p);
  if (positions_.size() + added.size() != now.size()) {
    setRecordset(recordset_);   // not a keyset we can follow row by row
    emit rowsResynced();
    return;
  }
  if (!added.empty()) {
    const int first = recordCount();
    if (pendingRow_ >= first) clearPending();
    beginInsertRows({}, first, first + int(added.size()) - 1);
    positions_.insert(positions_.end(), added.begin(), added.end());
    endInsertRows();
    changedRows = true;
  }
  if (rowCount() > 0 && columnCount() > 0) emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
  if (changedRows) emit rowsResynced();
}

void RecordsetModel::setCurrentRow(int row) {
  if (row == currentRow_) return;
  const int old = currentRow_;
  currentRow_ = row;
  if (old >= 0 && old < rowCount()) emit headerDataChanged(Qt::Vertical, old, old);
  if (row >= 0 && row < rowCount()) emit headerDataChanged(Qt::Vertical, row, row);
}

int RecordsetModel::rowCount(const QModelIndex& parent) const {
  if (parent.isValid()) return 0;
  return recordCount() + (addNewRow_ ? 1 : 0);
}

int RecordsetModel::columnCount(const QModelIndex& parent) const {
  if (parent.isValid()) return 0;
  return columns_.Count();
}

QVariant RecordsetModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  auto* self = const_cast<RecordsetModel*>(this);
  try {
    switch (role) {
      case Qt::DisplayRole: return self->displayText(index.row(), index.column());
      case Qt::EditRole: return self->editText(index.row(), index.column());
      case Qt::TextAlignmentRole: {
        const int a = columns_.Item(index.column()).Alignment();
        Qt::Alignment h = Qt::AlignLeft;
        if (a == dbgRight) h = Qt::AlignRight;
        else if (a == dbgCenter) h = Qt::AlignHCenter;
        else if (a == dbgGeneral && isNumeric(self->value(index.row(), index.column()))) h = Qt::AlignRight;
        return QVariant::fromValue(h | Qt::AlignVCenter);
      }
      default: return {};
    }
  } catch (...) {
    return {};   // a view must never see an exception
  }
}

QVariant RecordsetModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole) return {};
  if (orientation == Qt::Horizontal) {
    if (section < 0 || section >= columns_.Count()) return {};
    return columns_.Item(section).Caption();
  }
  // Record selectors: the current row and the add-new row carry their marks.
  if (section == currentRow_) return QStringLiteral("\u25B8");
  if (isAddNewRow(section)) return QStringLiteral("*");
  return {};
}

Qt::ItemFlags RecordsetModel::flags(const QModelIndex& index) const {
  if (!index.isValid()) return Qt::NoItemFlags;
  Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
  if (!readOnly_ && !columns_.Item(index.column()).Locked()) f |= Qt::ItemIsEditable;
  return f;
}

}  // namespace ui
