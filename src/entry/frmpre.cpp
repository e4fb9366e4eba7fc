#include "frmpre.h"

#include "calculos.h"
#include "copiado.h"
#include "dao.h"
#include "dropdown.h"
#include "entrada.h"
#include "frmpartorn.h"
#include "korgen.h"
#include "mditoolbar.h"
#include "barcontrol.h"
#include "msgbox.h"
#include "quarvel.h"
#include "twips.h"
#include "utilidades.h"

namespace {

const QString kCaption = QStringLiteral("Tornavo de presupuesto");

// The grid's posted messages: every refusal is told once the grid's own update is over, so that a
// message never takes the click that closes the window.
enum Mensaje : int {
  kMsgBaseCerrada = 1,
  kMsgPrecio = 2,
  kMsgPrecioGrande = 3,
  kMsgMonedaNoExiste = 4,
  kMsgSinMoneda = 5,
};
const QString kFormatoCantidad = QStringLiteral("###,###,###,##0.00##");

}  // namespace

FrmPre::FrmPre()
    : FormaLista(QStringLiteral("FrmPre"), kCaption, {13800, 6600}),
      data2_(new ui::DataControl(this)),
      dropDown_(new ui::DropDown(this)) {
  data2_->setObjectName(QStringLiteral("Data2"));
  dropDown_->setObjectName(QStringLiteral("TDBDropDown1"));
  columna(QStringLiteral("Partida"), QStringLiteral("Partida"), 930);
  columna(QStringLiteral("Renglón"), QStringLiteral("Renglon"), 780);
  columna(QStringLiteral("Código"), QStringLiteral("Codigo"), 1000);
  columna(QStringLiteral("Código Auxiliar"), QStringLiteral("Codemp"), 1500);
  columna(QStringLiteral("Texto completo"), QStringLiteral("Descri"), 3300);
  columna(QStringLiteral("Unidad"), QStringLiteral("Unidad"), 820);
  columna(QStringLiteral("Cantidad"), QStringLiteral("Cantidad"), 1200, kFormatoCantidad);
  columna(QStringLiteral("Precio"), QStringLiteral("Precio"), 1300, QStringLiteral("Currency"));
  columna(QStringLiteral("Importe"), QStringLiteral("Importe"), 1500, QStringLiteral("Currency"));
  columna(QStringLiteral("Moneda"), QStringLiteral("Moneda"), 1150).SetDropDown(dropDown_);
  // Only prices and currencies are entered here.
  for (int i = 0; i < Grid1()->Columns().Count(); ++i)
    Grid1()->Columns(i).SetLocked(i != cPrecio && i != cMoneda);
  Grid1()->Columns(cRenglon).SetAlignment(ui::dbgRight);

  const auto lista = [this](const QString& caption, const QString& campo, int ancho, const QString& formato) {
    ui::Column& c = dropDown_->Columns().Add(dropDown_->Columns().Count());
    c.SetCaption(caption);
    c.SetDataField(campo);
    c.SetWidth(ancho);
    c.SetNumberFormat(formato);
  };
  lista(QStringLiteral("Moneda"), QStringLiteral("Moneda"), 1150, QString());
  lista(QStringLiteral("Descripción"), QStringLiteral("Texto"), 2400, QString());
  lista(QStringLiteral("Paridad"), QStringLiteral("Paridad"), 1200, QStringLiteral("Currency"));
  dropDown_->SetListField(QStringLiteral("Moneda"));
  dropDown_->SetDataSource(data2_);
}

// ---- Load, activation, unload ------------------------------------------------------------------------

void FrmPre::Form_Load() {
  using quarvel::rsPresupuesto;
  if (rsPresupuesto && quarvel::dbObra && rsPresupuesto->RecordCount() == 0)
    rsPresupuesto = quarvel::dbObra->OpenRecordset(QStringLiteral("Presupuesto"), dao::RecordsetType::Table);
  Data1()->SetRecordset(rsPresupuesto);
  Grid1()->SetDataSource(Data1());
  ubica();
  AsignaRecordSetDropDowns();
}

void FrmPre::Form_Activate() {
  try {
    Calculos::CalculaImportes();
    AsignaRecordSetDropDowns();
    Grid1()->Refresh();
    Grid1()->setFocus();
  } catch (const vb::Error&) {
    // Amounts that cannot be recalculated now are recalculated at the next activation.
  }
}

void FrmPre::Form_Unload() {
  try {
    CalculaImporteRenglon();
  } catch (const vb::Error&) {
    // The row keeps the amount it had; the next activation recalculates every amount.
  }
  graba();
}

void FrmPre::AsignaRecordSetDropDowns() {
  if (!quarvel::rsMonedas)
    return;
  monedas_ = quarvel::rsMonedas->Clone();
  data2_->SetRecordset(monedas_);
}

void FrmPre::IniClon() { quarvel::rsPresupuestoClon2 = Data1()->Recordset()->Clone(); }

void FrmPre::AsignaCaption() {
  setWindowTitle(kCaption + QStringLiteral(".     Total del presupuesto : $") +
                 vb::Format(entrada::abierto(quarvel::rsDatosGenerales).Value(QStringLiteral("montoPrecioVenta")),
                            QStringLiteral("###,###,###,###,##0.00")));
}

void FrmPre::AplicaOrden(const QString& orden) {
  dao::Recordset& presupuesto = entrada::abierto(quarvel::rsPresupuesto);
  presupuesto.SetSort(orden);
  Data1()->SetRecordset(presupuesto.OpenRecordset());
  IniClon();
  Data1()->SetRecordset(quarvel::rsPresupuestoClon2);
}

// ---- Editing -----------------------------------------------------------------------------------------

QString FrmPre::campo(int colIndex) { return Grid1()->Columns(colIndex).DataField().toLower(); }

void FrmPre::BeforeColUpdate(int colIndex, const vb::Variant& oldValue, bool& cancel) {
  ui::Column& columna = Grid1()->Columns(colIndex);
  const vb::Variant valor = columna.Value();
  const QString nombre = campo(colIndex);
  if (valor.isNull()) {
    if (nombre == u"precio" || nombre == u"moneda") {
      Grid1()->PostMsg(nombre == u"precio" ? kMsgPrecio : kMsgSinMoneda);
      cancel = true;
    }
    return;
  }
  if (entrada::mismoValor(valor, oldValue))
    return;
  if (entrada::obraCerrada()) {
    Grid1()->PostMsg(kMsgBaseCerrada);
    cancel = true;
    return;
  }
  if (nombre == u"descri") {
    cancel = true;
    return;
  }
  const QString codigo = general::esNulo(Grid1()->Columns(cCodigo).Value())
                             ? QString()
                             : vb::CStr(Grid1()->Columns(cCodigo).Value());
  if (nombre == u"precio") {
    if (!copiado::esNumero(valor)) {
      Grid1()->PostMsg(kMsgPrecio);
      cancel = true;
      return;
    }
    // The price and its amounts reach every row of the code, or none: a price whose amounts do not
    // fit an amount is refused like one that is no number.
    try {
      columna.SetValue(copiado::ponPrecioCodigo(codigo, valor));  // the grid's own write repeats it
    } catch (const vb::Error& e) {
      if (e.number() != 6)
        throw;
      Grid1()->PostMsg(kMsgPrecioGrande);
      cancel = true;
      Grid1()->Refresh();
      return;
    }
    FrmParTorn::ActualizaTotales();
  } else if (nombre == u"moneda") {
    UbicaMonedaDropDown();
    dao::Recordset& monedas = entrada::abierto(quarvel::rsMonedasClon);
    monedas.FindFirst(QStringLiteral("Moneda = '") + entrada::literal(valor) + u'\'');
    if (monedas.NoMatch()) {
      Grid1()->PostMsg(kMsgMonedaNoExiste);
      cancel = true;
      return;
    }
    AsignaMonedaCodigo(codigo, valor);
  } else {
    return;
  }
  Grid1()->Refresh();
}

void FrmPre::AsignaMonedaCodigo(const QString& codigo, const vb::Variant& moneda) {
  if (!quarvel::dbObra)
    throw vb::Error(91);
  const auto rs = quarvel::dbObra->OpenRecordset(
      QStringLiteral("select Codigo,Moneda from Presupuesto where presupuesto.codigo ='") + entrada::literal(codigo) +
          QStringLiteral("' "),
      dao::RecordsetType::Dynaset);
  for (; !rs->EOF_(); rs->MoveNext()) {
    if (rs->GetEditMode() == dao::EditMode::None)
      rs->Edit();
    rs->SetValue(QStringLiteral("Moneda"), moneda);
    rs->Update();
  }
  rs->Close();
  FrmParTorn::ActualizaTotales();
}

void FrmPre::AfterUpdate() { CalculaImporteRenglon(); }

// The row the grid wrote is the current record of the recordset it is bound to (after a sort, a clone
// of the sorted one rather than rsPresupuesto).
void FrmPre::CalculaImporteRenglon() {
  const auto& rs = Data1()->Recordset();
  if (!rs || rs->RecordCount() == 0 || rs->EOF_() || rs->BOF())
    return;
  const vb::Currency importe = KorGen::Redondea(vb::CDbl(rs->Value(QStringLiteral("Precio"))) *
                                                vb::CDbl(rs->Value(QStringLiteral("Cantidad"))));
  const vb::Variant actual = rs->Value(QStringLiteral("Importe"));
  if (!actual.isNull() && vb::CCur(actual) == importe)
    return;
  if (rs->GetEditMode() == dao::EditMode::None)
    rs->Edit();
  rs->SetValue(QStringLiteral("Importe"), importe);
  rs->Update();
}

void FrmPre::PostEvent(int msgId) {
  switch (msgId) {
  case kMsgBaseCerrada:
    ui::MsgBox(entrada::kBaseCerrada, ui::vbInformation);
    break;
  case kMsgPrecio:
    ui::MsgBox(entrada::pideNumero(QStringLiteral("El precio")), ui::vbInformation);
    break;
  case kMsgPrecioGrande:
    ui::MsgBox(QStringLiteral("El precio es demasiado grande: el importe de algún renglón de ese código no cabe en "
                              "una cantidad"),
               ui::vbInformation);
    break;
  case kMsgMonedaNoExiste:
    ui::MsgBox(QStringLiteral("La moneda no existe"), ui::vbExclamation);
    break;
  case kMsgSinMoneda:
    ui::MsgBox(QStringLiteral("Escriba la clave de una moneda del catálogo de monedas"), ui::vbInformation);
    break;
  default:
    break;
  }
  Grid1()->setFocus();
}

// ---- The currency list -------------------------------------------------------------------------------

void FrmPre::UbicaMonedaDropDown() {
  try {
    const int col = Grid1()->Col();
    if (col < 0 || campo(col) != u"moneda" || !monedas_)
      return;
    const vb::Variant valor = Grid1()->Columns(col).Value();
    if (valor.isNull())
      return;
    monedas_->FindFirst(QStringLiteral("Moneda = '") + entrada::literal(valor) + u'\'');
    if (monedas_->NoMatch() && monedas_->RecordCount() > 0)
      monedas_->MoveFirst();
  } catch (const vb::Error&) {
    // The list then opens where it was.
  }
}

void FrmPre::RowColChange(const dao::Bookmark&, int) { UbicaMonedaDropDown(); }

void FrmPre::DropDownOpen(int) { UbicaMonedaDropDown(); }

// ---- Tips and mouse ----------------------------------------------------------------------------------

void FrmPre::FetchCellTips(int, int colIndex, int rowIndex, QString& cellTip, bool, int&) {
  try {
    if (general::esNulo(Grid1()->Columns(QStringLiteral("codigo")).Value()))
      return;
    Grid1()->SetTipWidth(0);
    if (rowIndex < 0) {
      cellTip = QStringLiteral("Click aquí para seleccionar la columna");
      return;
    }
    if (colIndex < 0) {
      cellTip = QStringLiteral("Click aquí para seleccionar este renglón");
      return;
    }
    // The row's cells as the grid read them: nothing moves the grid's own recordset.
    const dao::Bookmark fila = Grid1()->RowBookmark(rowIndex);
    const QString nombre = campo(colIndex);
    if (nombre == u"texto" || nombre == u"descri") {
      Grid1()->SetTipWidth(7000);
      const vb::Variant partida = Grid1()->Columns(cPartida).CellValue(fila);
      const vb::Variant renglon = Grid1()->Columns(cRenglon).CellValue(fila);
      if (partida.isNull() || !vb::IsNumeric(renglon))
        return;
      dao::Recordset& clon = entrada::abierto(quarvel::rsPresupuestoClon);
      clon.FindFirst(QStringLiteral("Partida='") + entrada::literal(partida) + QStringLiteral("' And Renglon=") +
                     QString::number(vb::CLng(renglon)));
      if (!clon.NoMatch()) {
        const vb::Variant descri = clon.Value(QStringLiteral("Descri"));
        if (!general::esNulo(descri))
          cellTip = vb::CStr(descri);
      }
    } else if (nombre == u"partida") {
      dao::Recordset& partidas = entrada::abierto(quarvel::rsPartidasClon);
      partidas.FindFirst(QStringLiteral("Partida='") + entrada::literal(cellTip) + u'\'');
      if (!partidas.NoMatch())
        cellTip = vb::CStr(partidas.Value(QStringLiteral("Texto")));
    }
  } catch (const std::exception&) {
    // The grid's own tip stays.
  }
}

void FrmPre::MouseDown(int button, int, double x, double y) {
  if (button != 2)
    return;
  try {
    const int fila = Grid1()->RowContaining(y);
    if (fila < 0)
      return;
    const int col = Grid1()->ColContaining(x);
    if (col >= 0)
      Grid1()->SetCol(col);
    Grid1()->SetRow(fila);
    if (MDIToolbar* principal = MDIToolbar::instancia())
      principal->ActiveBar1().showPopup(QStringLiteral("poppresu"),
                                        Grid1()->mapToGlobal(ui::twipsToPixels(QPointF(x, y))));
  } catch (const vb::Error&) {
    // A cell that cannot be made current: no menu.
  }
}
