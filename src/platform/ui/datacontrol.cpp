#include "datacontrol.h"

#include <recordset.h>

namespace ui {

DataControl::DataControl(QObject* parent) : QObject(parent) {}
DataControl::~DataControl() = default;

void DataControl::SetRecordset(std::shared_ptr<dao::Recordset> recordset) {
  recordset_ = std::move(recordset);
  emit recordsetChanged();
}

void DataControl::Refresh() { emit refreshRequested(); }

}  // namespace ui
