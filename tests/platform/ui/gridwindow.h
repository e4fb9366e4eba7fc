#pragma once
// A list window of our own over the sample bid, built the way the entry windows use the bound
// grid: the budget's columns with number formats, a locked description, a currency drop-down over
// another recordset, an unbound schedule column, and handlers that refuse, post codes, spread a
// price to every row of its code and write the schedule. Tests change the handlers they exercise.
#include "boundgrid.h"
#include "datacontrol.h"
#include "dropdown.h"

#include <QStringList>
#include <QWidget>
#include <dao.h>

#include <functional>
#include <memory>

class GridWindow : public QWidget, public ui::BoundGridEvents {
public:
  explicit GridWindow(std::shared_ptr<dao::Database> db);

  // Column indexes, as the window lays them out.
  enum { cPartida, cRenglon, cCodigo, cDescri, cUnidad, cCantidad, cPrecio, cImporte, cMoneda, cPeriodo1 };

  std::shared_ptr<dao::Database> db;
  std::shared_ptr<dao::Recordset> rsPresupuesto, rsClon, rsMonedas, rsPrograma;
  ui::BoundGrid* Grid1;
  ui::DataControl* Data1;
  ui::DataControl* Data2;
  ui::DropDown* TDBDropDown1;

  QStringList log;            // every event, in order
  QStringList posted;         // messages shown for posted codes
  int errorResponse = 1;      // what the Error handler answers
  bool cancelDeletes = false;
  bool spreadPrices = true;   // Precio: rounded and written to every row of the code
  QString tipForDescri;       // the tip the description column gives ("" keeps the grid's)

  // The schedule volume of a row's first period, as the period column shows it.
  QString volumen(const QString& partida, int renglon);
  // A fresh read of one field of the row (partida, renglon), past every cache.
  vb::Variant stored(const QString& partida, int renglon, const QString& field);

  // Re-sorts as the sort command does: a new recordset carrying the sort, a clone for look-ups.
  void sortBy(const QString& jetSort);

  // Events.
  void BeforeColEdit(int col, int key, bool& cancel) override;
  void OnAddNew() override;
  void BeforeColUpdate(int col, const vb::Variant& old, bool& cancel) override;
  void AfterColUpdate(int col) override;
  void BeforeUpdate(bool& cancel) override;
  void AfterUpdate() override;
  void BeforeDelete(bool& cancel) override;
  void AfterDelete() override;
  void PostEvent(int msgId) override;
  void Error(int dataError, int& response) override;
  void UnboundColumnFetch(const dao::Bookmark& bookmark, int col, vb::Variant& value) override;
  void FetchCellTips(int split, int col, int row, QString& tip, bool fully, int& style) override;
  void DropDownOpen(int col) override;
  void RowColChange(const dao::Bookmark& lastRow, int lastCol) override;
  void MouseDown(int button, int shift, double x, double y) override;
  void MouseUp(int button, int shift, double x, double y) override;

  int fetches = 0;
  struct Mouse {
    int button, shift, col, row;
  };
  std::vector<Mouse> downs, ups;

private:
  ui::Column& add(const QString& caption, const QString& field, int width);
};
