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
  try {
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
  } catch (const vb::Error& e) {
    ui::MsgBox(textoError(QStringLiteral("FrmDatGen.Command2_Click "), e, QStringLiteral(" ")));
  }
}

// After a format has been copied into Pie (or not): the new rows, their totals, the new totals shown.
void PaginaPie::despuesDeFormato() {
  CargaPie();
  CalculaPieTotal();
  CargaPie();
  enfocaGrid();
}

void PaginaPie::Command1_Click() {
  // A second look at the contractors' formats keeps the base footer saved at the first.
  if (!ContratistaEnVista()) copiarPieBase();
  try {
    auto& formas = ui::Forms::instance();
    if (frmPieAbre1* f = formas.get<frmPieAbre1>()) {
      f->setEtiquetaContratista(lblnumcontratista);
      formas.showModal(f);
    }
    despuesDeFormato();
  } catch (const vb::Error& e) {
    ui::MsgBox(textoError(QStringLiteral("frmDatGen.Command1_Click no.: "), e, QStringLiteral(" ")));
  }
  emit dialogoCerrado();
}

void PaginaPie::Command6_Click() {
  try {
    auto& formas = ui::Forms::instance();
    if (frmPieAbre* f = formas.get<frmPieAbre>()) formas.showModal(f);
    despuesDeFormato();
  } catch (const vb::Error& e) {
    ui::MsgBox(textoError(QStringLiteral("frmDatGen.Command6_Click no.: "), e, QStringLiteral(" ")));
  }
  emit dialogoCerrado();
}

void PaginaPie::Command5_Click() {
  try {
    auto& formas = ui::Forms::instance();
    if (frmPieGraba* f = formas.get<frmPieGraba>()) formas.showModal(f);
    enfocaGrid();
  } catch (const vb::Error& e) {
    ui::MsgBox(textoError(QStringLiteral("frmDatGen.Command5_Click  "), e, QStringLiteral(" ")));
  }
  emit dialogoCerrado();
}

void PaginaPie::Commmand3_Click() {
  try {
    if (ui::MsgBox(QStringLiteral("¿Está seguro de limpiar el formato?"), ui::vbOKCancel | ui::vbQuestion) != ui::vbOK)
      return;
    quarvel::dbObra->Execute(QStringLiteral("DELETE FROM Pie"));
    if (arreglo_->Rows() > 0) {
      arreglo_->DeleteRows(0, arreglo_->Rows());
      CargaPie();
    }
  } catch (const vb::Error& e) {
    ui::MsgBox(textoError(QStringLiteral("frmDatGen.Commmand3_Click  "), e, QStringLiteral(" ")));
  }
}

}  // namespace footer
