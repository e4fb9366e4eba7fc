#pragma once
// The drop-down list of a grid column: its own data source and columns (captions, formats, widths).
// A column with a drop-down edits in a combo box: the user types the value or picks a row of the
// list, which puts that row's ListField value into the cell. Opening the list raises the grid's
// DropDownOpen(col) first, then shows the list on the data source's current record, so a handler
// that positions that recordset (FindFirst on the cell's value) chooses the row shown.
//
//   auto* dd = new ui::DropDown(this);
//   dd->SetDataSource(Data2);                     // Data2: a clone of rsMonedas
//   dd->Columns().Add(0).SetDataField("Moneda");  // captions, formats as for grid columns
//   dd->SetListField("Moneda");
//   Grid1->Columns("Moneda").SetDropDown(dd);
#include "datacontrol.h"
#include "recordsetmodel.h"

#include <QComboBox>
#include <QPointer>

class QTableView;

namespace ui {

class DropDown : public QObject {
  Q_OBJECT
public:
  explicit DropDown(QObject* parent = nullptr);
  ~DropDown() override;

  void SetDataSource(DataControl* data);
  DataControl* DataSource() const { return data_; }
  GridColumns& Columns() { return model_->columns(); }
  Column& Columns(int index) { return model_->columns().Item(index); }
  // The field whose value a chosen row puts into the grid's cell.
  const QString& ListField() const { return listField_; }
  void SetListField(const QString& field) { listField_ = field; }

  RecordsetModel* model() const { return model_; }
  int listColumn() const;    // the column showing ListField (0 when none does)
  int currentRow() const;    // the row of the data source's current record, -1 when none

private:
  RecordsetModel* model_;
  QPointer<DataControl> data_;
  QString listField_;
};

// The editor of a drop-down cell.
class DropDownEditor : public QComboBox {
  Q_OBJECT
public:
  DropDownEditor(DropDown* dropDown, QWidget* parent);
  DropDown* dropDown() const { return dropDown_; }
  QTableView* listView() const { return list_; }
  void showPopup() override;

signals:
  void aboutToOpen();

private:
  QPointer<DropDown> dropDown_;
  QTableView* list_;
};

}  // namespace ui
