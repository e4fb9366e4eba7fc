#pragma once
// FrmPre, "Tornavo de presupuesto": the unit-price grid over the budget (quarvel::rsPresupuesto). Only
// Precio and Moneda are edited here: an accepted price (rounded to the bid's decimals) or currency is
// written at once to every row of the concept's code, with every amount = rounded quantity x price,
// and the section totals follow. The other columns are read-only; their handlers still refuse what
// the window refuses when called.
#include "formalista.h"

#include <memory>

namespace dao {
class Recordset;
}
namespace ui {
class DropDown;
}

class FrmPre : public FormaLista {
  Q_OBJECT
public:
  FrmPre();

  // Column indexes as the window lays them out (the user may hide any).
  enum Columna { cPartida, cRenglon, cCodigo, cCodemp, cDescri, cUnidad, cCantidad, cPrecio, cImporte, cMoneda };

  ui::DataControl* Data2() const { return data2_; }
  ui::DropDown* TDBDropDown1() const { return dropDown_; }

  // A new clone of rsMonedas kept by the window, the currency list's source.
  void AsignaRecordSetDropDowns();
  // rsPresupuestoClon2 := a clone of Data1's recordset (after a sort).
  void IniClon();
  // The caption with the bid's sale price; nothing calls it, the window keeps its fixed caption.
  void AsignaCaption();

  void Form_Load() override;
  void Form_Unload() override;
  void Form_Activate() override;
  void AplicaOrden(const QString& orden) override;

  void BeforeColUpdate(int colIndex, const vb::Variant& oldValue, bool& cancel) override;
  void AfterUpdate() override;
  void PostEvent(int msgId) override;
  void RowColChange(const dao::Bookmark& lastRow, int lastCol) override;
  void DropDownOpen(int colIndex) override;
  void FetchCellTips(int splitIndex, int colIndex, int rowIndex, QString& cellTip, bool fullyDisplayed,
                     int& tipStyle) override;
  void MouseDown(int button, int shift, double x, double y) override;

private:
  void UbicaMonedaDropDown();
  void AsignaMonedaCodigo(const QString& codigo, const vb::Variant& moneda);
  void CalculaImporteRenglon();
  QString campo(int colIndex);

  ui::DataControl* data2_;
  ui::DropDown* dropDown_;
  std::shared_ptr<dao::Recordset> monedas_;
};
