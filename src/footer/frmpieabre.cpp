#include "frmpieabre.h"

#include "copiapie.h"

#include "dao.h"
#include "dialogos.h"
#include "msgbox.h"
#include "placement.h"
#include "quarvel.h"

#include <QLabel>
#include <QPushButton>

using dialogos::control;
using dialogos::twips;

namespace {

QString dobladas(QString texto) { return texto.replace(QLatin1Char('\''), QStringLiteral("''")); }

}  // namespace

PieAbreBase::PieAbreBase(QWidget* parent) : QDialog(parent), arreglo_(std::make_shared<ui::XArray>()) {
  setWindowTitle(QStringLiteral("Abrir formato"));
  setFixedSize(ui::twipsToPixels(QSizeF(6240, 3150)));
  Grid1 = control<ui::UnboundGrid>(this, QStringLiteral("Grid1"), twips(0, 120, 6135, 2415));
  Command1 = control<QPushButton>(this, QStringLiteral("Command1"), QStringLiteral("&Aceptar"), twips(3840, 2730, 1100, 315));
  Command2 = control<QPushButton>(this, QStringLiteral("Command2"), QStringLiteral("&Cancelar"), twips(5025, 2730, 1100, 315));
  Grid1->AddColumn(QStringLiteral("Clave"), QStringLiteral("Formato")).SetWidth(1500);
  Grid1->AddColumn(QStringLiteral("Descripción"), QStringLiteral("Descripcion")).SetWidth(4200);
  Grid1->SetAllowUpdate(false);
  Grid1->SetAllowDelete(true);
  arreglo_->ReDim(0, 2);
  Grid1->SetArray(arreglo_);
  Grid1->SetEvents(this);
  for (QPushButton* b : {Command1, Command2}) b->setAutoDefault(false);
  setTabOrder(Grid1, Command1);
  setTabOrder(Command1, Command2);
  connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
  connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });
}

void PieAbreBase::Form_Load() { CargaFormatos(); }

void PieAbreBase::Form_Unload() {
  Grid1->SetEvents(nullptr);
  arreglo_.reset();
}

void PieAbreBase::reject() { Command2_Click(); }

void PieAbreBase::Command2_Click() { ui::Forms::instance().unload(this); }

void PieAbreBase::CargaFormatos() {
  try {
    auto rs = origen().OpenRecordset(sentenciaLista(), dao::RecordsetType::Snapshot);
    if (!rs->EOF_())
      arreglo_->LoadRows(rs->GetRows(int(rs->RecordCount())), true);
    else
      arreglo_->ReDim(0, 2);
    Grid1->SetArray(arreglo_);
    if (Grid1->RowCount() > 0) Grid1->SetRow(0);
    rs->Close();
  } catch (const vb::Error& e) {
    // The list stays empty; the dialog can still be closed.
    ui::MsgBox(footer::textoError(QStringLiteral("Error en ") + objectName() + QStringLiteral(".CargaFormatos: "), e,
                                  QStringLiteral(" - ")));
  }
}

QString PieAbreBase::claveActual() const {
  const int fila = Grid1->Row();
  if (fila < 0 || fila >= Grid1->RowCount()) return QString();
  const vb::Variant v = Grid1->Columns(QStringLiteral("Formato")).Value();
  return v.isNull() || v.isEmpty() ? QString() : v.toString();
}

void PieAbreBase::Command1_Click() {
  try {
    const QString clave = claveActual();
    anunciaFormato(clave);
    auto filas = origen().OpenRecordset(
        QStringLiteral("SELECT formato,Renglon,Texto,Renglon1,Renglon2,Renglon3,Renglon4, "
                       "Renglon5,Renglon6,Renglon7,renglon8,renglon9,Operacion,Factor,Porcen,RenglonFactor2,"
                       "ImprimirRenglon,ImprimirBase,ImprimirRaya,Total,FactorDls From CalDet Where formato='") +
            dobladas(clave) + restriccionFilas(),
        dao::RecordsetType::ForwardOnly);
    if (filas->EOF_()) {
      ui::MsgBox(QStringLiteral("El formato no tiene datos. Seleccione otro de la lista."), ui::vbExclamation,
                 ui::exeName());
      filas->Close();
      return;
    }
    footer::copiaAPie(*filas);
    filas->Close();
    ui::Forms::instance().unload(this);
  } catch (const vb::Error& e) {
    ui::MsgBox(footer::textoError(prefijoError(), e, QStringLiteral(" - ")));
  }
}

void PieAbreBase::Grid1_BeforeDelete(bool& cancel) {
  if (ui::MsgBox(QStringLiteral("¿Realmente desea borrar el registro?"), ui::vbQuestion | ui::vbOKCancel,
                 ui::exeName()) == ui::vbCancel) {
    cancel = true;
    return;
  }
  dao::Workspace& ws = dao::DBEngine::Workspaces(0);
  try {
    const QString clave = dobladas(claveActual());
    ws.BeginTrans();
    origen().Execute(QStringLiteral("DELETE FROM CalDet Where formato='") + clave + QLatin1Char('\''));
    origen().Execute(QStringLiteral("DELETE FROM CalCab Where formato='") + clave + QLatin1Char('\''));
    ws.CommitTrans();
  } catch (const vb::Error& e) {
    // The format stays, and so does its row in the list.
    ws.Rollback();
    cancel = true;
    ui::MsgBox(footer::textoError(QStringLiteral("Error en ") + objectName() + QStringLiteral(".Grid1_BeforeDelete: "),
                                  e, QStringLiteral(" - ")));
  }
}

void PieAbreBase::Grid1_SelChange(bool& /*cancel*/) {
  if (!Grid1->hasFocus()) Grid1->setFocus();
}

// ---------------------------------------------------------------------------------------------------

frmPieAbre::frmPieAbre(QWidget* parent) : PieAbreBase(parent) { setObjectName(QStringLiteral("frmPieAbre")); }

dao::Database& frmPieAbre::origen() const {
  if (!quarvel::dbParametros) throw vb::Error(91);
  return *quarvel::dbParametros;
}

QString frmPieAbre::sentenciaLista() const {
  return QStringLiteral("SELECT Formato,Descripcion FROM CalCab ORDER BY CalCab.formato");
}

QString frmPieAbre::restriccionFilas() const { return QStringLiteral("'"); }

QString frmPieAbre::prefijoError() const { return QStringLiteral("frmPieAbre.Command1: "); }

frmPieAbre1::frmPieAbre1(QWidget* parent) : PieAbreBase(parent) { setObjectName(QStringLiteral("frmPieAbre1")); }

dao::Database& frmPieAbre1::origen() const {
  if (!quarvel::dbObra) throw vb::Error(91);
  return *quarvel::dbObra;
}

QString frmPieAbre1::sentenciaLista() const {
  return QStringLiteral("SELECT Formato,Descripcion FROM CalCab WHERE Formato <> 'Num. 0' ORDER BY CalCab.formato");
}

QString frmPieAbre1::restriccionFilas() const { return QStringLiteral("' And Formato <> 'Num. 0'"); }

QString frmPieAbre1::prefijoError() const { return QStringLiteral("FrmPieAbre1.Command1: "); }

void frmPieAbre1::anunciaFormato(const QString& clave) {
  if (!etiqueta_) return;
  etiqueta_->setText(QStringLiteral("Contratista: ") + clave);
  etiqueta_->show();
}
