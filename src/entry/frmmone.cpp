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

// The grid's posted messages: every refusal of a cell is told once the grid's own update is over, so
// that a message never takes the click that closes the window.
enum Mensaje : int {
  kMsgBaseCerrada = 1,
  kMsgYaExiste = 2,
  kMsgEnUso = 3,
  kMsgParidad = 4,
  kMsgSinClave = 5,
};

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
  const auto rechaza = [&](int mensaje) {
    Grid1()->PostMsg(mensaje);
    cancel = true;
  };
  if (general::esNulo(Grid1()->Columns(cMoneda).Value()))
    return rechaza(kMsgSinClave);
  if (ui::appTitle().compare(QStringLiteral("Calibranza"), Qt::CaseInsensitive) != 0 && entrada::obraCerrada())
    return rechaza(kMsgBaseCerrada);
  const QString campo = Grid1()->Columns(colIndex).DataField().toLower();
  if (campo == u"moneda") {
    // The concepts name their currency by its code: one in use keeps it, as it cannot be deleted.
    if (!general::esNulo(oldValue) && general::MonedaEnUso(vb::CStr(oldValue))) {
      monedaEnUso_ = vb::CStr(oldValue);
      return rechaza(kMsgEnUso);
    }
    dao::Recordset& monedas = entrada::abierto(quarvel::rsMonedasClon);
    monedas.FindFirst(QStringLiteral("Moneda = '") + entrada::literal(valor) + u'\'');
    if (!monedas.NoMatch())
      return rechaza(kMsgYaExiste);
    monedaNueva_ = vb::CStr(valor);
    if (Grid1()->AddNewMode() != 0)
      Grid1()->Columns(cTexto).SetValue(valor);
  } else if (campo == u"paridad") {
    if (!copiado::esNumero(valor) || vb::CDbl(valor) == 0)
      rechaza(kMsgParidad);
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
    // The grid's own message stays away, but for a write the bid's file refused as a whole (read-only,
    // disk full or failing): without it the edit would be lost without a word.
    response = dao::FileRefusedWrite(Grid1()->ErrorNumber()) ? 1 : 0;
  }
}

void FrmMone::PostEvent(int msgId) {
  QString texto;
  switch (msgId) {
  case kMsgBaseCerrada:
    texto = entrada::kBaseCerrada;
    break;
  case kMsgYaExiste:
    texto = QStringLiteral("La moneda que quiere adicionar, ya existe previamente");
    break;
  case kMsgEnUso:
    texto = QStringLiteral("La moneda ") + monedaEnUso_ +
            QStringLiteral(" no puede ser modificada por que se utiliza en el presupuesto");
    break;
  case kMsgParidad:
    texto = entrada::pideNumero(QStringLiteral("La paridad"), QStringLiteral(" distinto de 0"));
    break;
  case kMsgSinClave:
    texto = QStringLiteral("Escriba primero la clave de la moneda, en la columna Moneda");
    break;
  default:
    break;
  }
  if (!texto.isEmpty())
    ui::MsgBox(texto, ui::vbInformation);
  Grid1()->setFocus();
}
