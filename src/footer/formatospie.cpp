// The base footer "Num. 0" and the page's four format commands.
#include "paginapie.h"

#include "copiapie.h"
#include "frmpieabre.h"
#include "frmpiegraba.h"

#include "dao.h"
#include "msgbox.h"
#include "quarvel.h"

#include <QLabel>

namespace footer {

namespace {

const QString kBase = QStringLiteral("Num. 0");

// A step of the base footer's save that fails is passed over.
template <class F>
void pasa(F&& paso) {
  try {
    paso();
  } catch (const vb::Error&) {
  }
}

}  // namespace

void PaginaPie::copiarPieBase() {
  std::shared_ptr<dao::Recordset> pie;
  pasa([&] { pie = quarvel::dbObra->OpenRecordset(QStringLiteral("SELECT * FROM Pie"), dao::RecordsetType::Snapshot); });
  // An empty footer keeps the base footer stored before.
  if (!pie || pie->EOF_()) return;
  pasa([] { quarvel::dbObra->Execute(QStringLiteral("DELETE FROM CalCab WHERE Formato = 'Num. 0'")); });
  pasa([] { quarvel::dbObra->Execute(QStringLiteral("DELETE FROM Caldet WHERE Formato = 'Num. 0'")); });

  std::shared_ptr<dao::Recordset> cab;
  pasa([&] { cab = quarvel::dbObra->OpenRecordset(QStringLiteral("CalCab"), dao::RecordsetType::Dynaset); });
  if (cab) {
    pasa([&] {
      cab->FindFirst(QStringLiteral("Formato = 'Num. 0'"));
      if (cab->NoMatch())
        cab->AddNew();
      else
        cab->Edit();
    });
    pasa([&] { cab->SetValue(QStringLiteral("Formato"), vb::Variant(kBase)); });
    pasa([&] { cab->SetValue(QStringLiteral("Descripcion"), vb::Variant("Presupuesto Base")); });
    pasa([&] { cab->Update(); });
    if (cab->GetEditMode() != dao::EditMode::None) cab->CancelUpdate();
  }

  std::shared_ptr<dao::Recordset> det;
  pasa([&] { det = quarvel::dbObra->OpenRecordset(QStringLiteral("CalDet"), dao::RecordsetType::Dynaset); });
  static const char* const kCampos[] = {"Renglon",  "Texto",          "renglon1",        "renglon2",     "renglon3",
                                        "renglon4", "renglon5",       "renglon6",        "renglon7",     "renglon8",
                                        "renglon9", "operacion",      "Factor",          "Porcen",       "RenglonFactor2",
                                        "Total",    "ImprimirRenglon", "imprimirbase",   "ImprimirRaya", "factorDls"};
  for (; det && !pie->EOF_(); pie->MoveNext()) {
    pasa([&] {
      det->FindFirst(QStringLiteral("Formato = 'Num. 0'  AND Renglon = ") + pie->Value(QStringLiteral("Renglon")).toString());
      if (det->NoMatch())
        det->AddNew();
      else
        det->Edit();
    });
    pasa([&] { det->SetValue(QStringLiteral("Formato"), vb::Variant(kBase)); });
    for (const char* campo : kCampos)
      pasa([&] { det->SetValue(QString::fromLatin1(campo), pie->Value(QString::fromLatin1(campo))); });
    pasa([&] { det->Update(); });
    if (det->GetEditMode() != dao::EditMode::None) det->CancelUpdate();
  }
  pasa([&] { GrabaFactorIntegrado(); });
}

void PaginaPie::Command2_Click() {
  atrapa(QStringLiteral("FrmDatGen.Command2_Click "), QStringLiteral(" "), [this] {
    auto rs = quarvel::dbObra->OpenRecordset(
        QStringLiteral("SELECT formato,Renglon,Texto,Renglon1,Renglon2,Renglon3,Renglon4, Renglon5,Renglon6,Renglon7,"
                       "renglon8,renglon9,Operacion,Factor,Porcen,RenglonFactor2,ImprimirRenglon,ImprimirBase,"
                       "ImprimirRaya,Total,FactorDls From CalDet Where formato='Num. 0'"),
        dao::RecordsetType::Snapshot);
    if (rs->EOF_()) {
      ui::MsgBox(QStringLiteral("El formato no tiene datos. Seleccione otro de la lista."), ui::vbExclamation);
      rs->Close();
      return;
    }
    copiaAPie(*rs);
    rs->Close();
    CargaPie();
    CalculaPieTotal();
    CargaPie();
    enfocaGrid();
    lblnumcontratista->hide();
  });
}

// After a format has been copied into Pie (or not): the new rows, their totals, the new totals shown.
void PaginaPie::despuesDeFormato() {
  CargaPie();
  CalculaPieTotal();
  CargaPie();
  enfocaGrid();
}

namespace {

// Shows a format dialog modal, a new one each time, once prepara has set it up.
template <class Dialogo, class F>
void muestra(F&& prepara) {
  auto& formas = ui::Forms::instance();
  if (Dialogo* f = formas.get<Dialogo>()) {
    prepara(*f);
    formas.showModal(f);
  }
}

}  // namespace

void PaginaPie::Command1_Click() {
  if (rechazaObraCerrada()) return;
  // A second look at the contractors' formats keeps the base footer saved at the first.
  if (!ContratistaEnVista()) copiarPieBase();
  atrapa(QStringLiteral("frmDatGen.Command1_Click no.: "), QStringLiteral(" "), [this] {
    muestra<frmPieAbre1>([this](frmPieAbre1& f) { f.setEtiquetaContratista(lblnumcontratista); });
    despuesDeFormato();
  });
  emit dialogoCerrado();
}

void PaginaPie::Command6_Click() {
  if (rechazaObraCerrada()) return;
  atrapa(QStringLiteral("frmDatGen.Command6_Click no.: "), QStringLiteral(" "), [this] {
    muestra<frmPieAbre>([](frmPieAbre&) {});
    despuesDeFormato();
  });
  emit dialogoCerrado();
}

void PaginaPie::Command5_Click() {
  atrapa(QStringLiteral("frmDatGen.Command5_Click  "), QStringLiteral(" "), [this] {
    muestra<frmPieGraba>([](frmPieGraba&) {});
    enfocaGrid();
  });
  emit dialogoCerrado();
}

void PaginaPie::Commmand3_Click() {
  if (rechazaObraCerrada()) return;
  atrapa(QStringLiteral("frmDatGen.Commmand3_Click  "), QStringLiteral(" "), [this] {
    if (ui::MsgBox(QStringLiteral("¿Está seguro de limpiar el formato?"), ui::vbOKCancel | ui::vbQuestion) != ui::vbOK)
      return;
    quarvel::dbObra->Execute(QStringLiteral("DELETE FROM Pie"));
    if (arreglo_->Rows() > 0) {
      arreglo_->DeleteRows(0, arreglo_->Rows());
      CargaPie();
    }
  });
}

}  // namespace footer
