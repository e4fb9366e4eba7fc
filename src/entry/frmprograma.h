#pragma once
// FrmPrograma, "Captura del programa de obra": the MDI child in which the bidder spreads each concept's
// quantity over the project's periods. Grid1 shows the concepts of the shared recordset
// quarvel::rsProgramaObra in nine fixed columns (Partida .. Total), then one unbound column per
// period whose cells are the volumes of table Programa. Only the dates (Comienzo, Fin) and the period
// cells are edited here; the checks and writes are programa.h's.
//
// The concept columns (Partida to Descripción) stay in view while the period columns scroll; a period
// column's header keeps its caption "Periodo n", which a paste reads, and its tip gives the period's
// first and last day.
//
// Period columns are added after the saved column layout is restored and removed before it is saved,
// so the layout never holds them. The general-data dialog, when the period count changes, removes
// and adds them again on an open window:
//   Calculos::BorraColumnas(*f->Grid1(), f->ColumnasFijas());
//   Calculos::AgregaColumnasPeriodo(*f->Grid1(), periodos);
//   f->Grid1()->ReBind();
#include "boundgrid.h"
#include "datacontrol.h"
#include "forms.h"
#include "funcgrid.h"

#include <QWidget>
#include <memory>

namespace dao {
class Recordset;
}

class FrmPrograma : public QWidget, public ui::Form, public VentanaLista, private ui::BoundGridEvents {
  Q_OBJECT
public:
  explicit FrmPrograma(QWidget* parent = nullptr);
  ~FrmPrograma() override;

  ui::BoundGrid* Grid1() const override { return grid_; }
  ui::DataControl* Data1() const override { return data_; }
  // The sort command: rsProgramaObra sorted, Data1 bound to a recordset opened from it, the clone
  // renewed.
  void AplicaOrden(const QString& orden) override;

  // The number of fixed columns before the period columns (9).
  int16_t ColumnasFijas() const { return columnasFijas_; }
  // Renews the clone through which a row is read by bookmark, from Data1's current recordset (after a
  // sort binds Data1 to another recordset).
  void IniClon();

  void Form_Load() override;
  void Form_Unload() override;
  void Form_Activate();

protected:
  void resizeEvent(QResizeEvent* event) override;
  // The designed size: the MDI frame is made to hold it unless a saved place says otherwise.
  QSize sizeHint() const override { return {900, 480}; }
  void showEvent(QShowEvent* event) override;

private:
  // Grid1's events.
  void UnboundColumnFetch(const dao::Bookmark& bookmark, int colIndex, vb::Variant& value) override;
  void BeforeColUpdate(int colIndex, const vb::Variant& oldValue, bool& cancel) override;
  void AfterColUpdate(int colIndex) override;
  void PostEvent(int msgId) override;
  void FetchCellTips(int splitIndex, int colIndex, int rowIndex, QString& cellTip, bool fullyDisplayed,
                     int& tipStyle) override;
  void MouseMove(int button, int shift, double x, double y) override;
  void MouseUp(int button, int shift, double x, double y) override;

  // The partida and renglón of a row of the grid.
  bool claveFila(const dao::Bookmark& bookmark, QString& partida, int32_t& renglon);
  int periodoDeColumna(int colIndex) const { return colIndex - columnasFijas_ + 1; }

  ui::BoundGrid* const grid_;
  ui::DataControl* const data_;
  int16_t columnasFijas_ = 9;
  std::shared_ptr<dao::Recordset> rsProgramaClon_;
  bool activacionConectada_ = false;
};
