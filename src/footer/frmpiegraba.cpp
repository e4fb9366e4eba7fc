#include "frmpiegraba.h"

#include "copiapie.h"
#include "objgenerasql.h"

#include "dao.h"
#include "dialogos.h"
#include "emulaenter.h"
#include "msgbox.h"
#include "placement.h"
#include "quarvel.h"
#include "seleccionartexto.h"
#include "utilidades.h"

#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using dialogos::control;
using dialogos::twips;

namespace {

// Enter and Down move on from a text box, Up back (the key still reaches the box); Enter on a button
// presses it.
class Teclas : public QObject {
public:
  using QObject::QObject;
  bool eventFilter(QObject* objeto, QEvent* evento) override {
    if (evento->type() != QEvent::KeyPress) return false;
    auto* tecla = static_cast<QKeyEvent*>(evento);
    if (qobject_cast<QPushButton*>(objeto)) return ui::PressOnEnter(static_cast<QWidget*>(objeto), tecla);
    ui::EmulaEnter(tecla);
    return false;
  }
};

}  // namespace

frmPieGraba::frmPieGraba(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("frmPieGraba"));
  setWindowTitle(QStringLiteral("Grabar pie de página."));
  setFixedSize(ui::twipsToPixels(QSizeF(5430, 1590)));

  Label1 = control<QLabel>(this, QStringLiteral("Label1"), QStringLiteral("Nombre"), twips(120, 360, 945, 285));
  Label2 = control<QLabel>(this, QStringLiteral("Label2"), QStringLiteral("Descripción"), twips(120, 720, 945, 285));
  // The labels have only the room of a small font between the window's edge and the boxes.
  QFont letra = Label2->font();
  while (QFontMetrics(letra).horizontalAdvance(Label2->text()) > Label2->width() && letra.pointSizeF() > 6)
    letra.setPointSizeF(letra.pointSizeF() - 0.5);
  for (QLabel* l : {Label1, Label2}) l->setFont(letra);
  txtNombre = control<QLineEdit>(this, QStringLiteral("txtNombre"), twips(1080, 360, 1695, 285));
  txtDescri = control<QLineEdit>(this, QStringLiteral("txtDescri"), twips(1080, 720, 4215, 285));
  Command1 = control<QPushButton>(this, QStringLiteral("Command1"), QStringLiteral("&Aceptar"), twips(3015, 1170, 1100, 315));
  Command2 = control<QPushButton>(this, QStringLiteral("Command2"), QStringLiteral("&Cancelar"), twips(4200, 1170, 1100, 315));
  txtNombre->setMaxLength(10);
  txtDescri->setMaxLength(40);

  auto* teclas = new Teclas(this);
  for (QLineEdit* caja : {txtNombre, txtDescri}) {
    ui::installSeleccionarTexto(caja);
    caja->installEventFilter(teclas);
  }
  // No button takes Enter unless it has the focus.
  for (QPushButton* b : {Command1, Command2}) {
    b->setAutoDefault(false);
    b->setDefault(false);
    b->installEventFilter(teclas);
  }
  setTabOrder(txtNombre, txtDescri);
  setTabOrder(txtDescri, Command1);
  setTabOrder(Command1, Command2);
  connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
  connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });
}

void frmPieGraba::reject() { Command2_Click(); }

void frmPieGraba::Command2_Click() { ui::Forms::instance().unload(this); }

bool frmPieGraba::ExisteRegistro(const QString& sentencia, dao::Database& db) {
  try {
    auto rs = db.OpenRecordset(sentencia, dao::RecordsetType::ForwardOnly);
    const bool existe = !rs->EOF_() && rs->Value(QStringLiteral("Total")).toDouble() > 0;
    rs->Close();
    return existe;
  } catch (const vb::Error& e) {
    ui::MsgBox(footer::textoError(QStringLiteral("FrmDatGen.ExisteRegistro: "), e, QStringLiteral(" - ")));
    return false;
  }
}

void frmPieGraba::Command1_Click() {
  if (general::esNulo(txtNombre->text())) return;
  if (general::esNulo(txtDescri->text())) txtDescri->setText(QStringLiteral(" "));
  const QString titulo = ui::exeName();
  dao::Workspace& ws = dao::DBEngine::Workspaces(0);
  bool enTransaccion = false;
  try {
    auto pie = quarvel::dbObra->OpenRecordset(QStringLiteral("SELECT * FROM Pie ORDER BY Renglon"),
                                              dao::RecordsetType::ForwardOnly);
    if (pie->EOF_()) {
      ui::MsgBox(QStringLiteral("No hay registros por grabar."), ui::vbInformation, titulo);
      pie->Close();
      return;
    }
    footer::GeneraSql& g = footer::objGeneraSql();
    const vb::Variant nombre(txtNombre->text());
    const vb::Variant descripcion(txtDescri->text());
    const QString n = g.CadenaOk(nombre, 2, true);
    const bool existe =
        ExisteRegistro(QStringLiteral("SELECT count(formato) AS Total FROM calCab WHERE calCab.formato = ") + n,
                       *quarvel::dbParametros);
    if (existe && ui::MsgBox(QStringLiteral("El formato ") + txtNombre->text() +
                                 QStringLiteral("  ya existe. ¿Desea reemplazarlo?"),
                             ui::vbQuestion | ui::vbOKCancel, titulo) == ui::vbCancel) {
      pie->Close();
      return;
    }
    // The header and its rows are saved together or not at all.
    ws.BeginTrans();
    enTransaccion = true;
    if (existe) {
      g.ParametrosSQL(QStringLiteral("Calcab"), 2, false);
      g.CondicionSQL(QString(), QStringLiteral("Formato"), QStringLiteral("="), nombre, 2, false);
    } else {
      g.ParametrosSQL(QStringLiteral("Calcab"), 1, false);
    }
    g.DameValores(QStringLiteral("Formato"), 2, nombre);
    g.DameValores(QStringLiteral("Descripcion"), 2, descripcion);
    quarvel::dbParametros->Execute(g.DameSentencia());
    quarvel::dbParametros->Execute(QStringLiteral("DELETE FROM Caldet WHERE formato=") + n);
    for (; !pie->EOF_(); pie->MoveNext()) {
      g.ParametrosSQL(QStringLiteral("Caldet"), 1, false);
      g.DameValores(QStringLiteral("Formato"), 2, nombre);
      g.DameValores(QStringLiteral("Renglon"), 1, pie->Value(QStringLiteral("Renglon")));
      g.DameValores(QStringLiteral("Texto"), 2, pie->Value(QStringLiteral("Texto")));
      for (int k = 1; k <= 9; ++k)
        g.DameValores(QStringLiteral("renglon%1").arg(k), 1, pie->Value(QStringLiteral("Renglon%1").arg(k)));
      g.DameValores(QStringLiteral("operacion"), 2, pie->Value(QStringLiteral("Operacion")));
      g.DameValores(QStringLiteral("Factor"), 1, pie->Value(QStringLiteral("Factor")));
      g.DameValores(QStringLiteral("Porcen"), 2, pie->Value(QStringLiteral("Porcen")));
      g.DameValores(QStringLiteral("RenglonFactor2"), 1, pie->Value(QStringLiteral("RenglonFactor2")));
      // A row whose evaluation stopped has no total; the format keeps 0 for it (a blank is no number).
      const vb::Variant total = pie->Value(QStringLiteral("Total"));
      g.DameValores(QStringLiteral("Total"), 2, total.isNull() ? vb::Variant(int16_t(0)) : total);
      g.DameValores(QStringLiteral("ImprimirRenglon"), 3, pie->Value(QStringLiteral("ImprimirRenglon")));
      g.DameValores(QStringLiteral("ImprimirBase"), 3, pie->Value(QStringLiteral("ImprimirBase")));
      g.DameValores(QStringLiteral("ImprimirRaya"), 3, pie->Value(QStringLiteral("ImprimirRaya")));
      g.DameValores(QStringLiteral("FactorDls"), 1, pie->Value(QStringLiteral("FactorDls")));
      quarvel::dbParametros->Execute(g.DameSentencia());
    }
    ws.CommitTrans();
    enTransaccion = false;
    pie->Close();
    ui::Forms::instance().unload(this);
  } catch (const vb::Error& e) {
    if (enTransaccion) ws.Rollback();
    ui::MsgBox(footer::textoError(QStringLiteral("frmPieGraba.Aceptar: "), e, QStringLiteral(" - ")));
  }
}
