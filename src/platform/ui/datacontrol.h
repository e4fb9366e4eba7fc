#pragma once
// The data source a bound grid or drop-down shows: it holds one recordset, set by code. Setting another
// recordset re-binds every control bound to it; Refresh makes them read their rows again.
//
//   Data1->SetRecordset(rsPresupuesto);      // Set Data1.Recordset = rsPresupuesto
//   Grid1->SetDataSource(Data1);
#include <QObject>
#include <memory>

namespace dao { class Recordset; }

namespace ui {

class DataControl : public QObject {
  Q_OBJECT
public:
  explicit DataControl(QObject* parent = nullptr);
  ~DataControl() override;

  const std::shared_ptr<dao::Recordset>& Recordset() const { return recordset_; }
  void SetRecordset(std::shared_ptr<dao::Recordset> recordset);
  // The bound controls read the recordset's rows again (values, rows added or deleted); the
  // recordset itself is not requeried.
  void Refresh();

signals:
  void recordsetChanged();
  void refreshRequested();

private:
  std::shared_ptr<dao::Recordset> recordset_;
};

}  // namespace ui
