#include "frmmone.h"

#include "copiado.h"
#include "dao.h"
#include "entrada.h"
#include "funcgrid.h"
#include "general.h"
#include "msgbox.h"
#include "quarvel.h"
#include "utilidades.h"

namespace {

// Deletions of a closed bid are refused in the contractor's edition.
bool borradoCerrado() { return quarvel::edicion != 1 && entrada::obraCerrada(); }

}  // namespace

FrmMone::FrmMone() : FormaLista(QStringLiteral("FrmMone"), QStringLiteral("Monedas"), {7500, 3600}) {
  columna(QStringLiteral("Moneda"), QStringLiteral("Moneda"), 1100);
  columna(QStringLiteral("Descripción"), QStringLiteral("Texto"), 2800);
  columna(QStringLiteral("Remate"), QStringLiteral("Remate"), 1600);
  columna(QStringLiteral("Paridad"), QStringLiteral("Paridad"), 1300, QStringLiteral("#,##0.00####"));
  Grid1()->SetAllowAddNew(true);
  Grid1()->SetAllowDelete(true);
}

void FrmMone::Form_Load() {
  using quarvel::rsMonedas;
  if (quarvel::dbObra && (!rsMonedas || rsMonedas->RecordCount() == 0)) {
    rsMonedas = quarvel::dbObra->OpenRecordset(QStringLiteral("SELECT * FROM Monedas"), dao::RecordsetType::Dynaset);
    quarvel::rsMonedasClon = rsMonedas->Clone();  // the look-ups must see what is added here
  }
  Data1()->SetRecordset(rsMonedas);
  Grid1()->SetDataSource(Data1());
  ubica();
}

void FrmMone::Form_Unload() { graba(); }

void FrmMone::Form_Activate() { Grid1()->Refresh(); }

void FrmMone::AplicaOrden(const QString& orden) {
  dao::Recordset& monedas = entrada::abierto(quarvel::rsMonedas);
  monedas.SetSort(orden);
  Data1()->SetRecordset(monedas.OpenRecordset());
}

void FrmMone::BeforeColEdit(int, int, bool& cancel) {
  if (Grid1()->SelBookmarks().Count() > 0)
    cancel = true;
}

void FrmMone::BeforeColUpdate(int colIndex, const vb::Variant& oldValue, bool& cancel) {
  const vb::Variant valor = Grid1()->Columns(colIndex).Value();
  if (valor.isNull() || entrada::mismoValor(valor, oldValue))
    return;
  if (general::esNulo(Grid1()->Columns(cMoneda).Value())) {
    cancel = true;
    return;
  }
  if (ui::appTitle().compare(QStringLiteral("Calibranza"), Qt::CaseInsensitive) != 0 && entrada::obraCerrada()) {
    Grid1()->PostMsg(1);
    cancel = true;
    return;
  }
  const QString campo = Grid1()->Columns(colIndex).DataField().toLower();
  if (campo == u"moneda") {
    // The concepts name their currency by its code: one in use keeps it, as it cannot be deleted.
    if (!general::esNulo(oldValue) && general::MonedaEnUso(vb::CStr(oldValue))) {
      ui::MsgBox(QStringLiteral("La moneda ") + vb::CStr(oldValue) +
                     QStringLiteral(" no puede ser modificada por que se utiliza en el presupuesto"),
                 ui::vbInformation);
      Grid1()->setFocus();
      cancel = true;
      return;
    }
    dao::Recordset& monedas = entrada::abierto(quarvel::rsMonedasClon);
    monedas.FindFirst(QStringLiteral("Moneda = '") + entrada::literal(valor) + u'\'');
    if (!monedas.NoMatch()) {
      ui::MsgBox(QStringLiteral("La moneda que quiere adicionar, ya existe previamente"), ui::vbInformation);
      Grid1()->setFocus();
      cancel = true;
      return;
    }
    monedaNueva_ = vb::CStr(valor);
    if (Grid1()->AddNewMode() != 0)
      Grid1()->Columns(cTexto).SetValue(valor);
  } else if (campo == u"paridad") {
    if (!copiado::esNumero(valor) || vb::CDbl(valor) == 0)
      cancel = true;
  }
}

void FrmMone::AfterColUpdate(int colIndex) {
  if (Grid1()->Columns(colIndex).DataField().compare(QStringLiteral("Moneda"), Qt::CaseInsensitive) != 0)
    return;
  entrada::abierto(Data1()->Recordset()).FindFirst(QStringLiteral("Moneda ='") + entrada::literal(monedaNueva_) + u'\'');
}

void FrmMone::BeforeUpdate(bool&) { agregando_ = Grid1()->AddNewMode() != 0; }

// A currency added through a sorted recordset is none of rsMonedas' rows until it is run again; the
// look-ups (the price grid's check, the pre-print checks) go through its clone.
void FrmMone::AfterUpdate() {
  if (!agregando_ || !quarvel::rsMonedas)
    return;
  agregando_ = false;
  if (Data1()->Recordset() != quarvel::rsMonedas)
    quarvel::rsMonedas->Requery();
  quarvel::rsMonedasClon = quarvel::rsMonedas->Clone();
}

void FrmMone::BeforeDelete(bool& cancel) {
  if (borradoCerrado()) {
    Grid1()->PostMsg(1);
    cancel = true;
    return;
  }
  const vb::Variant moneda = Grid1()->Columns(cMoneda).Value();
  if (!general::esNulo(moneda) && general::MonedaEnUso(vb::CStr(moneda))) {
    ui::MsgBox(QStringLiteral("La moneda ") + vb::CStr(moneda) +
                   QStringLiteral(" no puede ser borrar por que se utiliza en el presupuesto"),
               ui::vbInformation);
    cancel = true;
  }
}

void FrmMone::Error(int dataError, int& response) {
  if (dataError == 6159) {
    // Several rows at once obey the closed bid as one row does.
    if (borradoCerrado())
      Grid1()->PostMsg(1);
    else
      FuncGrid::borradoMultiple();
    response = 0;
  } else if (dataError == 16389) {
    response = 0;
  }
}

void FrmMone::PostEvent(int msgId) {
  if (msgId == 1)
    ui::MsgBox(entrada::kBaseCerrada, ui::vbInformation);
  Grid1()->setFocus();
}
