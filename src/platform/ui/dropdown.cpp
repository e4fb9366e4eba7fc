#include "dropdown.h"

#include "datacontrol.h"
#include "twips.h"

#include <QHeaderView>
#include <QLineEdit>
#include <QScrollBar>
#include <QTableView>
#include <recordset.h>

namespace ui {

DropDown::DropDown(QObject* parent) : QObject(parent), model_(new RecordsetModel(this)) { model_->setReadOnly(true); }

DropDown::~DropDown() = default;

void DropDown::SetDataSource(DataControl* data) {
  if (data_) disconnect(data_, nullptr, this, nullptr);
  data_ = data;
  model_->setRecordset(data ? data->Recordset() : nullptr);
  if (!data) return;
  connect(data, &DataControl::recordsetChanged, this, [this] { model_->setRecordset(data_->Recordset()); });
  connect(data, &DataControl::refreshRequested, this, [this] { model_->refresh(); });
}

int DropDown::listColumn() const {
  const int i = model_->columns().IndexOf(listField_);
  return i < 0 ? 0 : i;
}

int DropDown::currentRow() const {
  const auto& rs = model_->recordset();
  if (!rs) return -1;
  try {
    if (rs->EOF_() || rs->BOF()) return -1;
    return model_->rowOf(rs->GetBookmark());
  } catch (const vb::Error&) {
    return -1;   // no current record
  }
}

DropDownEditor::DropDownEditor(DropDown* dropDown, QWidget* parent)
    : QComboBox(parent), dropDown_(dropDown), list_(new QTableView) {
  setEditable(true);
  setInsertPolicy(QComboBox::NoInsert);
  setCompleter(nullptr);
  setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);   // never measures every row
  setFrame(false);
  list_->setSelectionBehavior(QAbstractItemView::SelectRows);
  list_->setSelectionMode(QAbstractItemView::SingleSelection);
  list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  list_->verticalHeader()->hide();
  list_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  list_->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
  list_->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
  list_->horizontalHeader()->setStretchLastSection(false);
  list_->setWordWrap(false);
  setView(list_);   // the combo box owns it from here on
  if (dropDown) {
    setModel(dropDown->model());
    setModelColumn(dropDown->listColumn());
    // The list's rows may be read again while the user types (any write to the database does it):
    // the combo box would then put its current row's text over what was typed.
    disconnect(dropDown->model(), &QAbstractItemModel::dataChanged, this, nullptr);
  }
}

void DropDownEditor::showPopup() {
  emit aboutToOpen();
  if (dropDown_) {
    auto& cols = dropDown_->Columns();
    int width = 0;
    for (int c = 0; c < cols.Count(); ++c) {
      list_->setColumnHidden(c, !cols.Item(c).Visible());
      list_->setColumnWidth(c, twipsToPixels(cols.Item(c).Width()));
      if (cols.Item(c).Visible()) width += twipsToPixels(cols.Item(c).Width());
    }
    list_->setMinimumWidth(width + list_->verticalScrollBar()->sizeHint().width() + 2 * list_->frameWidth());
    // The list opens on the data source's current record; the cell keeps what was typed.
    const int row = dropDown_->currentRow();
    const QString typed = lineEdit() ? lineEdit()->text() : QString();
    if (row >= 0) {
      setCurrentIndex(row);
      if (lineEdit()) lineEdit()->setText(typed);
    }
  }
  QComboBox::showPopup();
  if (dropDown_) {
    const int row = dropDown_->currentRow();
    if (row >= 0) {
      const QModelIndex i = dropDown_->model()->index(row, dropDown_->listColumn());
      list_->setCurrentIndex(i);
      list_->scrollTo(i);
    }
  }
}

}  // namespace ui
