#include "frmpartorn.h"

#include "dao.h"
#include "entrada.h"
#include "quarvel.h"

#include <QCoreApplication>

FrmParTorn::FrmParTorn() : FormaLista(QStringLiteral("FrmParTorn"), QStringLiteral("Partidas y totales por moneda"), {10200, 4800}) {
  columna(QStringLiteral("Partida"), QStringLiteral("Partida"), 1300);
  columna(QStringLiteral("Descripción"), QStringLiteral("TEXTOP"), 3600);
  columna(QStringLiteral("Total"), QStringLiteral("TotalPartida"), 1800, QStringLiteral("Currency"));
  columna(QStringLiteral("Moneda"), QStringLiteral("Moneda"), 1150);
  columna(QStringLiteral("Descripción moneda"), QStringLiteral("TEXTOM"), 2200);
  for (int i = 0; i < Grid1()->Columns().Count(); ++i)
    Grid1()->Columns(i).SetLocked(true);
  Grid1()->SetAllowUpdate(false);
}

void FrmParTorn::Form_Load() {
  using quarvel::rsTotalPartidas;
  if (quarvel::dbObra && (!rsTotalPartidas || rsTotalPartidas->RecordCount() == 0))
    rsTotalPartidas = quarvel::dbObra->OpenRecordset(QStringLiteral("SELECT * FROM TotalPartidas"), dao::RecordsetType::Dynaset);
  Data1()->SetRecordset(rsTotalPartidas);
  Grid1()->SetDataSource(Data1());
  ubica();
}

void FrmParTorn::Form_Unload() { graba(); }

void FrmParTorn::Form_Activate() { Grid1()->Refresh(); }

void FrmParTorn::AplicaOrden(const QString& orden) {
  dao::Recordset& totales = entrada::abierto(quarvel::rsTotalPartidas);
  totales.SetSort(orden);
  Data1()->SetRecordset(totales.OpenRecordset());
}

void FrmParTorn::Error(int, int& response) {
  response = 0;
  Grid1()->setFocus();
}

void FrmParTorn::PostEvent(int) { Grid1()->setFocus(); }

namespace {
bool totalesPendientes = false;
}  // namespace

void FrmParTorn::ActualizaTotales() {
  if (totalesPendientes || !QCoreApplication::instance())
    return;
  totalesPendientes = true;
  QMetaObject::invokeMethod(QCoreApplication::instance(), [] {
    totalesPendientes = false;
    requeryTotales();
  }, Qt::QueuedConnection);
}

void FrmParTorn::requeryTotales() {
  try {
    if (quarvel::rsTotalPartidas)
      quarvel::rsTotalPartidas->Requery();
    if (FrmParTorn* vista = ui::Forms::instance().find<FrmParTorn>()) {
      const auto& propio = vista->Data1()->Recordset();
      if (propio && propio != quarvel::rsTotalPartidas)
        propio->Requery();
      vista->Grid1()->Refresh();
    }
  } catch (const vb::Error&) {
    // The bid closed meanwhile: there is nothing left to total.
  }
}
