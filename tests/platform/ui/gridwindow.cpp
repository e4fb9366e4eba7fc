#include "gridwindow.h"

#include "msgbox.h"

#include <QVBoxLayout>
#include <cmath>

namespace {

const char* const kMessages[] = {
    "",
    "La base de datos esta cerrada no se puede modificar",
    "La suma de periodos es mayor que el volumen presupuestado",
};

QString quoted(const vb::Variant& v) { return v.isNull() ? QStringLiteral("Null") : v.toString(); }

}  // namespace

GridWindow::GridWindow(std::shared_ptr<dao::Database> database) : db(std::move(database)) {
  setObjectName("FrmPrueba");
  resize(1000, 420);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(3, 3, 3, 3);
  Grid1 = new ui::BoundGrid(this);
  Grid1->setObjectName("Grid1");
  layout->addWidget(Grid1);
  Data1 = new ui::DataControl(this);
  Data2 = new ui::DataControl(this);
  TDBDropDown1 = new ui::DropDown(this);

  rsPresupuesto = db->OpenRecordset("SELECT * FROM Presupuesto");
  rsClon = rsPresupuesto->Clone();
  rsMonedas = db->OpenRecordset("SELECT * FROM Monedas");
  rsPrograma = db->OpenRecordset("SELECT * FROM Programa");

  add("Partida", "Partida", 1100);
  add("Renglón", "Renglon", 800);
  add("Código", "Codigo", 1100);
  add("Texto completo", "Descri", 3200).SetLocked(true);
  add("Unidad", "Unidad", 700);
  add("Cantidad", "Cantidad", 1400).SetNumberFormat("###,###,###,##0.00##");
  add("Precio", "Precio", 1300).SetNumberFormat("Currency");
  add("Importe", "Importe", 1600).SetNumberFormat("Currency");
  add("Moneda", "Moneda", 1000).SetDropDown(TDBDropDown1);
  ui::Column& periodo = add("Periodo 1", "", 1000);
  periodo.SetAlignment(ui::dbgRight);

  TDBDropDown1->Columns().Add(0).SetDataField("Moneda");
  TDBDropDown1->Columns(0).SetCaption("Moneda");
  TDBDropDown1->Columns(0).SetWidth(1000);
  TDBDropDown1->Columns().Add(1).SetDataField("Texto");
  TDBDropDown1->Columns(1).SetCaption("Descripción");
  TDBDropDown1->Columns(1).SetWidth(2000);
  TDBDropDown1->Columns().Add(2).SetDataField("Paridad");
  TDBDropDown1->Columns(2).SetCaption("Paridad");
  TDBDropDown1->Columns(2).SetNumberFormat("Currency");
  TDBDropDown1->Columns(2).SetWidth(1100);
  TDBDropDown1->SetListField("Moneda");
  Data2->SetRecordset(rsMonedas->Clone());
  TDBDropDown1->SetDataSource(Data2);

  Grid1->SetEvents(this);
  Grid1->SetAllowDelete(true);
  Data1->SetRecordset(rsPresupuesto);
  Grid1->SetDataSource(Data1);
}

ui::Column& GridWindow::add(const QString& caption, const QString& field, int width) {
  ui::Column& c = Grid1->Columns().Add(Grid1->Columns().Count());
  c.SetCaption(caption);
  c.SetDataField(field);
  c.SetWidth(width);
  return c;
}

void GridWindow::sortBy(const QString& jetSort) {
  auto current = Data1->Recordset();
  current->SetSort(jetSort);
  Data1->SetRecordset(current->OpenRecordset());
  rsClon = Data1->Recordset()->Clone();
}

QString GridWindow::volumen(const QString& partida, int renglon) {
  rsPrograma->FindFirst(QStringLiteral("Partida='%1' AND Renglon=%2 AND Periodo=1").arg(partida).arg(renglon));
  if (rsPrograma->NoMatch()) return QString();
  return vb::Format(rsPrograma->Value("Volumen"), "#,###,###,##0.00##");
}

vb::Variant GridWindow::stored(const QString& partida, int renglon, const QString& field) {
  auto rs = db->OpenRecordset(
      QStringLiteral("SELECT %1 FROM Presupuesto WHERE Partida='%2' AND Renglon=%3").arg(field, partida).arg(renglon),
      dao::RecordsetType::Snapshot);
  return rs->EOF_() ? vb::Variant::null() : rs->Value(field);
}

void GridWindow::BeforeColEdit(int col, int key, bool& cancel) {
  log << QStringLiteral("BeforeColEdit %1 %2").arg(col).arg(key);
  (void)cancel;
}

void GridWindow::OnAddNew() { log << "OnAddNew"; }

void GridWindow::BeforeColUpdate(int col, const vb::Variant& old, bool& cancel) {
  const vb::Variant value = Grid1->Columns(col).Value();
  log << QStringLiteral("BeforeColUpdate %1 %2 -> %3").arg(col).arg(quoted(old), quoted(value));
  if (col == cPrecio) {
    // As the budget window: Null or not numeric refused silently; a price of 0 "closed bid".
    if (value.isNull() || !vb::IsNumeric(value)) {
      cancel = true;
      return;
    }
    const double price = vb::CDbl(value);
    if (price == 0) {
      Grid1->PostMsg(1);
      cancel = true;
      return;
    }
    if (spreadPrices) {
      const vb::Currency rounded = vb::CCur(std::round(price * 100 + 1e-7) / 100);
      const QString code = Grid1->Columns(cCodigo).Value().toString();
      auto rs = db->OpenRecordset("select Codigo,Importe,Cantidad,Precio from Presupuesto where presupuesto.codigo ='" +
                                  code + "' ");
      while (!rs->EOF_()) {
        rs->Edit();
        rs->SetValue("Precio", rounded);
        rs->SetValue("Importe", vb::CCur(vb::CDbl(rs->Value("Cantidad")) * rounded.toDouble()));
        rs->Update();
        rs->MoveNext();
      }
      Grid1->Refresh();
      Grid1->Columns(col).SetValue(rounded);   // what the grid writes is what the spread stored
    }
  } else if (col == cMoneda) {
    if (value.isNull()) {
      cancel = true;
      return;
    }
    auto clon = rsMonedas->Clone();
    clon->FindFirst("Moneda = '" + value.toString() + "'");
    if (clon->NoMatch()) {
      ui::MsgBox("La moneda no existe", ui::vbExclamation);
      cancel = true;
    }
  } else if (col == cPeriodo1) {
    if (!vb::IsNumeric(value) || vb::CDbl(value) < 0) {
      cancel = true;
      return;
    }
    const double cantidad = vb::CDbl(Grid1->Columns(cCantidad).Value());
    const double before = old.isNull() || old.isEmpty() || old.toString().isEmpty() ? 0 : vb::CDbl(old);
    if (vb::CDbl(value) - before > cantidad) {
      Grid1->PostMsg(2);
      cancel = true;
    }
  }
}

void GridWindow::AfterColUpdate(int col) {
  log << QStringLiteral("AfterColUpdate %1").arg(col);
  if (col != cPeriodo1) return;
  const QString partida = Grid1->Columns(cPartida).Value().toString();
  const int renglon = vb::CLng(Grid1->Columns(cRenglon).Value());
  const double v = vb::CDbl(Grid1->Columns(col).Text());
  rsPrograma->FindFirst(QStringLiteral("Partida='%1' AND Renglon=%2 AND Periodo=1").arg(partida).arg(renglon));
  if (v == 0) {
    if (!rsPrograma->NoMatch()) rsPrograma->Delete();
    return;
  }
  if (rsPrograma->NoMatch()) {
    rsPrograma->AddNew();
    rsPrograma->SetValue("Partida", partida);
    rsPrograma->SetValue("Renglon", int32_t(renglon));
    rsPrograma->SetValue("Periodo", int16_t(1));
  } else {
    rsPrograma->Edit();
  }
  rsPrograma->SetValue("Volumen", vb::CCur(v));
  rsPrograma->Update();
}

void GridWindow::BeforeUpdate(bool&) { log << "BeforeUpdate"; }
void GridWindow::AfterUpdate() { log << "AfterUpdate"; }

void GridWindow::BeforeDelete(bool& cancel) {
  log << QStringLiteral("BeforeDelete %1").arg(Grid1->Columns(cCodigo).Text());
  cancel = cancelDeletes;
}

void GridWindow::AfterDelete() { log << "AfterDelete"; }

void GridWindow::PostEvent(int msgId) {
  log << QStringLiteral("PostEvent %1").arg(msgId);
  if (msgId > 0 && msgId < int(std::size(kMessages))) {
    posted << kMessages[msgId];
    ui::MsgBox(kMessages[msgId], ui::vbInformation);
  }
  Grid1->setFocus();
}

void GridWindow::Error(int dataError, int& response) {
  log << QStringLiteral("Error %1 %2").arg(dataError).arg(Grid1->ErrorText());
  response = errorResponse;
}

void GridWindow::UnboundColumnFetch(const dao::Bookmark& bookmark, int col, vb::Variant& value) {
  ++fetches;
  if (col != cPeriodo1) return;
  rsClon->SetBookmark(bookmark);
  value = volumen(rsClon->Value("Partida").toString(), vb::CLng(rsClon->Value("Renglon")));
}

void GridWindow::FetchCellTips(int, int col, int row, QString& tip, bool, int&) {
  log << QStringLiteral("FetchCellTips %1 %2").arg(col).arg(row);
  if (row < 0) {
    tip = "Click aquí para seleccionar la columna";
  } else if (col < 0) {
    tip = "Click aquí para seleccionar este renglón";
  } else if (col == cDescri) {
    Grid1->SetTipWidth(7000);
    if (!tipForDescri.isEmpty()) tip = tipForDescri;
  }
}

void GridWindow::DropDownOpen(int col) {
  log << QStringLiteral("DropDownOpen %1").arg(col);
  // As the budget window: the list opens on the cell's currency.
  auto rs = Data2->Recordset();
  const vb::Variant v = Grid1->Columns(cMoneda).Value();
  if (v.isNull()) return;
  rs->FindFirst("Moneda = '" + v.toString() + "'");
  if (rs->NoMatch()) rs->MoveFirst();
}

void GridWindow::RowColChange(const dao::Bookmark&, int lastCol) { log << QStringLiteral("RowColChange %1").arg(lastCol); }

void GridWindow::MouseDown(int button, int shift, double x, double y) {
  downs.push_back({button, shift, Grid1->ColContaining(x), Grid1->RowContaining(y)});
}

void GridWindow::MouseUp(int button, int shift, double x, double y) {
  ups.push_back({button, shift, Grid1->ColContaining(x), Grid1->RowContaining(y)});
}
