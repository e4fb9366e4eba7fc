// The footer page: its controls, the grid's load, edit mode, row edits, deletes and renumbering.
#include "paginapie.h"

#include "copiapie.h"
#include "objgenerasql.h"

#include "copiado.h"
#include "dao.h"
#include "entrada.h"
#include "msgbox.h"
#include "quarvel.h"
#include "utilidades.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include <map>

namespace footer {

namespace {

struct DefColumna {
  const char* titulo;
  const char* campo;
  int ancho;  // twips
  const char* formato;
};

// The grid's columns in the order of the load's SELECT.
const DefColumna kColumnas[PaginaPie::numColumnas] = {
    {"formato", "formato", 900, ""},
    {"No.", "Renglon", 420, "General Number"},
    {"Descripción", "Texto", 2850, ""},
    {"r1", "Renglon1", 300, "General Number"},
    {"r2", "Renglon2", 300, "General Number"},
    {"r3", "Renglon3", 300, "General Number"},
    {"r4", "Renglon4", 300, "General Number"},
    {"r5", "Renglon5", 300, "General Number"},
    {"r6", "Renglon6", 300, "General Number"},
    {"r7", "Renglon7", 300, "General Number"},
    {"(-)", "Renglon8", 300, "General Number"},
    {"(-)", "Renglon9", 300, "General Number"},
    {"Op", "Operacion", 300, ""},
    {"Factor", "Factor", 900, ""},
    {"%", "Porcen", 330, ""},
    {"RF", "RenglonFactor2", 420, ""},
    {"Total", "Total", 1050, "Currency"},
    {"Imp", "ImprimirRenglon", 420, ""},
    {"Bas", "ImprimirBase", 420, ""},
    {"Ray", "ImprimirRaya", 420, ""},
    {"Factor Dls", "FactorDls", 960, ""},
};

const QString kCargaPie = QStringLiteral(
    "SELECT '' AS Formato,Renglon,Texto,Renglon1,Renglon2,Renglon3,Renglon4,Renglon5,Renglon6,Renglon7,"
    "Renglon8,Renglon9,Operacion,Factor,Porcen,RenglonFactor2,Total,ImprimirRenglon,ImprimirBase,ImprimirRaya,"
    "FactorDls FROM pie ORDER BY Renglon");

QString textoDe(const vb::Variant& v) { return v.isNull() || v.isEmpty() ? QString() : v.toString(); }

bool marcado(const vb::Variant& v) {
  if (v.isNull() || v.isEmpty()) return false;
  try {
    return v.toBool();
  } catch (const vb::Error&) {
    return false;
  }
}

QLabel* etiqueta(QWidget* padre, const QString& nombre, const QString& texto) {
  auto* l = new QLabel(texto, padre);
  l->setObjectName(nombre);
  l->setTextFormat(Qt::PlainText);
  return l;
}

QPushButton* boton(QWidget* padre, const QString& nombre, const QString& texto) {
  auto* b = new QPushButton(texto, padre);
  b->setObjectName(nombre);
  b->setAutoDefault(false);
  b->hide();  // shown in the contracting body's edition only
  return b;
}

}  // namespace

PaginaPie::PaginaPie(QWidget* parent) : QWidget(parent) {
  setObjectName(QStringLiteral("PaginaPie"));
  auto* vertical = new QVBoxLayout(this);
  vertical->setContentsMargins(6, 6, 6, 6);

  // The legend: the direct cost every footer starts from, as row 99, with its example value.
  auto* leyenda = new QGridLayout;
  leyenda->setHorizontalSpacing(24);
  auto* base = etiqueta(this, QStringLiteral("lblBase"), QStringLiteral("Totales para base de cálculo"));
  auto* ejemplo = etiqueta(this, QStringLiteral("lblEjemplo"), QStringLiteral("Valor de ejemplo"));
  QFont negrita = base->font();
  negrita.setBold(true);
  base->setFont(negrita);
  ejemplo->setFont(negrita);
  leyenda->addWidget(base, 0, 0);
  leyenda->addWidget(ejemplo, 0, 1, Qt::AlignRight);
  leyenda->addWidget(etiqueta(this, QStringLiteral("lblCostoDirecto"), QStringLiteral("99         Costo directo")), 1, 0);
  leyenda->addWidget(etiqueta(this, QStringLiteral("lblCien"), QStringLiteral("100.00")), 1, 1, Qt::AlignRight);
  leyenda->setColumnStretch(2, 1);
  vertical->addLayout(leyenda);

  auto* botones = new QHBoxLayout;
  Command1 = boton(this, QStringLiteral("Command1"), QStringLiteral("&Ver indirectos contratistas"));
  Command6 = boton(this, QStringLiteral("Command6"), QStringLiteral("&Abrir formato"));
  Command5 = boton(this, QStringLiteral("Command5"), QStringLiteral("&Grabar formato"));
  Commmand3 = boton(this, QStringLiteral("Commmand3"), QStringLiteral("&Limpiar formato"));
  for (QPushButton* b : {Command1, Command6, Command5, Commmand3}) botones->addWidget(b);
  botones->addStretch(1);
  lblnumcontratista = etiqueta(this, QStringLiteral("lblnumcontratista"), QStringLiteral("Num. Contratista: "));
  QFont resalte = lblnumcontratista->font();
  resalte.setBold(true);
  lblnumcontratista->setFont(resalte);
  lblnumcontratista->hide();
  botones->addWidget(lblnumcontratista);
  vertical->addLayout(botones);

  auto* marco = new QGroupBox(QStringLiteral("Contenido del cálculo de indirectos"), this);
  marco->setObjectName(QStringLiteral("fraGrid1"));
  auto* dentro = new QVBoxLayout(marco);
  dentro->setContentsMargins(4, 4, 4, 4);
  Grid1 = new ui::UnboundGrid(marco);
  Grid1->setObjectName(QStringLiteral("Grid1"));
  dentro->addWidget(Grid1);
  vertical->addWidget(marco, 1);

  creaColumnas();
  arreglo_ = std::make_shared<ui::XArray>();
  arreglo_->ReDim(0, numColumnas);
  Grid1->SetArray(arreglo_);
  Grid1->SetEvents(this);

  connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
  connect(Command6, &QPushButton::clicked, this, [this] { Command6_Click(); });
  connect(Command5, &QPushButton::clicked, this, [this] { Command5_Click(); });
  connect(Commmand3, &QPushButton::clicked, this, [this] { Commmand3_Click(); });
}

PaginaPie::~PaginaPie() { Grid1->SetEvents(nullptr); }

void PaginaPie::creaColumnas() {
  for (const DefColumna& d : kColumnas) {
    ui::UnboundColumn& c = Grid1->AddColumn(QString::fromUtf8(d.titulo), QString::fromUtf8(d.campo));
    c.SetWidth(d.ancho);
    c.SetNumberFormat(QString::fromUtf8(d.formato));
  }
  // A new row starts with no references and "0" as its operation (replaced by "*" when written).
  for (int c = colRenglon1; c <= colRenglon1 + 6; ++c) Grid1->Columns(c).SetDefaultValue(vb::Variant("0"));
  Grid1->Columns(colOperacion).SetDefaultValue(vb::Variant("0"));
  for (int c : {colImprimirRenglon, colImprimirBase, colImprimirRaya}) Grid1->Columns(c).SetCheckBox(true);
  // The grid's own column of the format's name says nothing to the user.
  Grid1->Columns(colFormato).SetVisible(false);
}

// ---------------------------------------------------------------------------------------------------
// The dialog's load and activation

void PaginaPie::Form_Load() {
  CargaPie();
  const bool plicadora = quarvel::edicion == 1;
  for (QPushButton* b : {Command6, Command5, Commmand3, Command1}) b->setVisible(plicadora);
  HabilitaEdicionPie(plicadora);
}

void PaginaPie::Form_Activate() {
  if (arreglo_->Rows() >= 1) {
    CalculaPieTotal();
    CargaPie();
  }
  enfocaGrid();
}

bool PaginaPie::ContratistaEnVista() const { return !lblnumcontratista->isHidden(); }

// The grid takes the focus when it can: a grid on a page not on show cannot.
void PaginaPie::enfocaGrid() {
  if (!Grid1->isHidden() && Grid1->isVisible()) Grid1->setFocus();
}

// ---------------------------------------------------------------------------------------------------
// Load, edit mode, existence, renumbering

void PaginaPie::CargaPie() {
  sentencia_ = kCargaPie;
  auto rs = quarvel::dbObra->OpenRecordset(sentencia_, dao::RecordsetType::Snapshot);
  if (!rs->EOF_()) {
    arreglo_->LoadRows(rs->GetRows(int(rs->RecordCount())), true);
  } else {
    arreglo_->ReDim(0, numColumnas);
  }
  Grid1->SetArray(arreglo_);
  rs->Close();
}

void PaginaPie::HabilitaEdicionPie(bool habilita) {
  Grid1->SetAllowAddNew(habilita);
  Grid1->SetAllowDelete(habilita);
  for (int c = colTexto; c < numColumnas; ++c)
    if (c != colFactor) Grid1->Columns(c).SetLocked(!habilita);
  // The row number, the computed total and the grid's own format column are no one's to type while
  // the footer's structure is fixed.
  for (int c : {colFormato, colRenglon, colTotal}) Grid1->Columns(c).SetLocked(!habilita);
}

bool PaginaPie::ExisteRegistro(const vb::Variant& renglon) {
  auto rs = quarvel::dbObra->OpenRecordset(
      QStringLiteral("SELECT Count(Renglon) as Cuantos  FROM Pie WHERE Renglon = ") + textoDe(renglon),
      dao::RecordsetType::ForwardOnly);
  const bool existe = rs->Value(QStringLiteral("Cuantos")).toDouble() > 0;
  rs->Close();
  return existe;
}

void PaginaPie::RenumeraPie() {
  todoONada([] { renumera(); });
  CargaPie();
}

// Rows numbered 1..n in their order again. A reference keeps naming the row it named: it takes that
// row's new number. 94 to 99 keep their meaning; a reference that names no row, or the row itself or
// one after it (neither can be typed), names none.
void PaginaPie::renumera() {
  std::map<int, int16_t> nuevo;
  {
    auto rs = quarvel::dbObra->OpenRecordset(QStringLiteral("SELECT Renglon FROM Pie ORDER BY Renglon"),
                                             dao::RecordsetType::Snapshot);
    for (int16_t n = 1; !rs->EOF_(); rs->MoveNext(), ++n) nuevo.emplace(rs->Value(QStringLiteral("Renglon")).toInteger(), n);
    rs->Close();
  }
  auto rs = quarvel::dbObra->OpenRecordset(QStringLiteral("SELECT * FROM Pie ORDER BY Pie.Renglon"),
                                           dao::RecordsetType::Dynaset);
  int16_t n = 0;
  for (; !rs->EOF_(); rs->MoveNext()) {
    ++n;
    rs->Edit();
    rs->SetValue(QStringLiteral("Renglon"), vb::Variant(n));
    for (int k = 1; k <= 9; ++k) {
      const QString campo = QStringLiteral("renglon%1").arg(k);
      const vb::Variant v = rs->Value(campo);
      if (v.isNull() || v.isEmpty()) continue;
      const double r = v.toDouble();
      if (r < 1 || r >= 94) continue;
      const auto nombrado = r == int(r) ? nuevo.find(int(r)) : nuevo.end();
      const int16_t ahora = nombrado == nuevo.end() || nombrado->second >= n ? int16_t(0) : nombrado->second;
      if (ahora != r) rs->SetValue(campo, vb::Variant(ahora));
    }
    rs->Update();
  }
  rs->Close();
}

std::vector<int> PaginaPie::RenglonesQueUsan(int renglon) {
  QString sql = QStringLiteral("SELECT Renglon FROM Pie WHERE Renglon <> %1 AND (").arg(renglon);
  for (int k = 1; k <= 9; ++k)
    sql += QStringLiteral("%1Renglon%2 = %3").arg(k > 1 ? QStringLiteral(" OR ") : QString()).arg(k).arg(renglon);
  sql += QStringLiteral(") ORDER BY Renglon");
  std::vector<int> usan;
  auto rs = quarvel::dbObra->OpenRecordset(sql, dao::RecordsetType::Snapshot);
  for (; !rs->EOF_(); rs->MoveNext()) usan.push_back(rs->Value(QStringLiteral("Renglon")).toInteger());
  rs->Close();
  return usan;
}

// ---------------------------------------------------------------------------------------------------
// The grid's events

bool PaginaPie::rechazaObraCerrada() {
  if (!entrada::obraCerrada()) return false;
  // Told at once the grid takes the keyboard back; told after a click, the click keeps it.
  if (Grid1->PostMsgBox(entrada::kBaseCerrada, ui::vbInformation)) enfocaGrid();
  return true;
}

void PaginaPie::Grid1_BeforeColUpdate(int colIndex, const vb::Variant& /*oldValue*/, bool& cancel) {
  try {
    if (rechazaObraCerrada()) {
      cancel = true;
      return;
    }
    ui::UnboundColumn& columna = Grid1->Columns(colIndex);
    const QString campo = columna.DataField();
    const vb::Variant valor = columna.Value();
    if (campo == QLatin1String("formato")) {
      columna.SetValue(vb::Variant("FORMA01"));
    } else if (campo.startsWith(QLatin1String("Renglon")) && campo.size() == 8 && campo[7] >= u'1' &&
               campo[7] <= u'9') {
      if (!copiado::esNumero(valor)) {
        Grid1->PostMsgBox(entrada::pideNumero(QStringLiteral("El renglón de referencia")), ui::vbExclamation);
        cancel = true;
        return;
      }
      const double referencia = general::valX(valor);
      if (referencia >= general::valX(Grid1->Columns(colRenglon).Value()) && referencia != 99) {
        Grid1->PostMsgBox(textoDe(valor) +
                              QStringLiteral(" es un número incorrecto. El renglón debe ser menor al que está en "
                                             "uso, o tener el valor de 99."),
                          ui::vbExclamation);
        columna.SetValue(vb::Variant(int16_t(0)));
      }
    } else if (campo == QLatin1String("Factor") || campo == QLatin1String("FactorDls")) {
      if (!copiado::esNumero(valor)) {
        Grid1->PostMsgBox(entrada::pideNumero(QStringLiteral("El factor")), ui::vbExclamation);
        cancel = true;
      }
    } else if (campo == QLatin1String("Operacion")) {
      const QString op = textoDe(valor);
      if (op.isEmpty()) {
        columna.SetValue(vb::Variant("*"));
      } else if (op != QLatin1String("*") && op != QLatin1String("/")) {
        Grid1->PostMsgBox(QStringLiteral("Operación incorrecta. Debe ser multiplicación (*) o división (/)."),
                          ui::vbExclamation);
        columna.SetValue(vb::Variant("*"));
      }
    } else if (campo == QLatin1String("ImprimirBase") || campo == QLatin1String("ImprimirRaya")) {
      if (!marcado(Grid1->Columns(colImprimirRenglon).Value())) {
        Grid1->PostMsgBox(QStringLiteral("El renglón no puede ser modificado. Para poder hacerlo, la opcion "
                                         "Imprimir debe estar selecionada."),
                          ui::vbExclamation);
        cancel = true;
      }
    }
  } catch (const vb::Error& e) {
    ui::MsgBox(textoError(QStringLiteral("Error en frmDatGen.Grid1_BeforeColUpdate no. "), e, QStringLiteral(" ")));
  }
}

void PaginaPie::Grid1_AfterColUpdate(int /*colIndex*/) {
  atrapa(QStringLiteral("frmDatGen.Grid1_AfterColUpdate : "), QStringLiteral(" "), [this] { Grid1->Update(); });
}

void PaginaPie::Grid1_OnAddNew() { Grid1->Columns(colImprimirRenglon).SetValue(vb::Variant(true)); }

void PaginaPie::Grid1_BeforeUpdate(bool& cancel) {
  try {
    if (general::esNulo(Grid1->Columns(colTexto).Value())) {
      cancel = true;
      return;
    }
    ui::UnboundColumn& operacion = Grid1->Columns(colOperacion);
    const QString op = textoDe(operacion.Value());
    if (op != QLatin1String("/") && op != QLatin1String("*")) operacion.SetValue(vb::Variant("*"));
    ui::UnboundColumn& renglon = Grid1->Columns(colRenglon);
    if (general::esNulo(renglon.Value())) {
      // A new row: numbered after the rows there are (it is not in the array yet).
      renglon.SetValue(vb::Variant(int16_t(arreglo_->Rows() + 1)));
      Grid1->Columns(colFormato).SetValue(vb::Variant("FORMA01"));
      if (general::esNulo(operacion.Value())) operacion.SetValue(vb::Variant("*"));
    }
    GeneraSql& g = objGeneraSql();
    if (ExisteRegistro(renglon.Value())) {
      g.ParametrosSQL(QStringLiteral("Pie"), 2, false);
      g.CondicionSQL(QString(), QStringLiteral("Renglon"), QStringLiteral("="), renglon.Value(), 1, false);
    } else {
      g.ParametrosSQL(QStringLiteral("Pie"), 1, false);
      g.DameValores(QStringLiteral("Renglon"), 1, renglon.Value());
    }
    auto valor = [&](int col) { return Grid1->Columns(col).Value(); };
    g.DameValores(QStringLiteral("Texto"), 2, valor(colTexto));
    for (int k = 1; k <= 9; ++k) g.DameValores(QStringLiteral("renglon%1").arg(k), 1, valor(colRenglon1 + k - 1));
    g.DameValores(QStringLiteral("operacion"), 2, valor(colOperacion));
    g.DameValores(QStringLiteral("Factor"), 1, valor(colFactor));
    g.DameValores(QStringLiteral("Porcen"), 2, valor(colPorcen));
    g.DameValores(QStringLiteral("RenglonFactor2"), 1, valor(colRenglonFactor2));
    g.DameValores(QStringLiteral("Total"), 1, valor(colTotal));
    g.DameValores(QStringLiteral("ImprimirRenglon"), 3, valor(colImprimirRenglon));
    g.DameValores(QStringLiteral("ImprimirBase"), 3, valor(colImprimirBase));
    g.DameValores(QStringLiteral("ImprimirRaya"), 3, valor(colImprimirRaya));
    g.DameValores(QStringLiteral("FactorDls"), 1, valor(colFactorDls));
    sentencia_ = g.DameSentencia();
    filaGuardada_ = Grid1->Row();
    columnaGuardada_ = Grid1->Col();
    quarvel::dbObra->Execute(sentencia_);
  } catch (const vb::Error& e) {
    // Pie keeps the row as it was; the write goes on, so the reload shows what Pie holds.
    ui::MsgBox(textoError(QStringLiteral("frmDatGen.Grid1_BeforeUpdate "), e, QStringLiteral(" ")));
  }
}

void PaginaPie::reevalua() {
  CalculaPieTotal();
  GrabaFactorIntegrado();
  CargaPie();
}

void PaginaPie::Grid1_AfterUpdate() {
  atrapa(QStringLiteral("frmDatGen.Grid1_AfterUpdate "), QStringLiteral(" "), [this] {
    reevalua();
    Grid1->SetCol(columnaGuardada_);
    Grid1->SetRow(filaGuardada_);
  });
}

namespace {

// "4", "4 y 5", "2, 3 y 4".
QString enumera(const std::vector<int>& renglones) {
  QStringList textos;
  for (int r : renglones) textos << QString::number(r);
  const QString ultimo = textos.takeLast();
  return textos.isEmpty() ? ultimo : textos.join(QStringLiteral(", ")) + QStringLiteral(" y ") + ultimo;
}

}  // namespace

bool PaginaPie::rechazaRenglonEnUso(int renglon) {
  const std::vector<int> usan = RenglonesQueUsan(renglon);
  if (usan.empty()) return false;
  ui::MsgBox(QStringLiteral("El renglón %1 se utiliza en %2%3")
                 .arg(renglon)
                 .arg(usan.size() == 1 ? QStringLiteral("el renglón ") : QStringLiteral("los renglones "), enumera(usan)),
             ui::vbExclamation);
  enfocaGrid();
  return true;
}

void PaginaPie::Grid1_BeforeDelete(bool& cancel) {
  const bool hecho = atrapa(QStringLiteral("frmDatGen.Grid1_BeforeDelete "), QStringLiteral(" "), [&] {
    const int renglon = Grid1->Columns(colRenglon).Value().toInteger();
    if (rechazaObraCerrada() || rechazaRenglonEnUso(renglon)) {
      cancel = true;
      return;
    }
    // The row goes and the rest are renumbered together: a failure leaves Pie as it was.
    todoONada([&] {
      quarvel::dbObra->Execute(QStringLiteral("DELETE FROM Pie WHERE Renglon= ") + QString::number(renglon));
      renumera();
    });
  });
  // A row Pie still holds stays on the page.
  if (!hecho) cancel = true;
}

void PaginaPie::Grid1_AfterDelete() {
  // The renumbered rows are evaluated again, as after any other edit: the totals and the factor
  // stored are those of the footer now shown.
  atrapa(QStringLiteral("FrmDatGen.Grid1_AfterDelete "), QStringLiteral(" "), [this] {
    CargaPie();
    reevalua();
  });
}

void PaginaPie::Grid1_SelChange(bool& /*cancel*/) {
  if (!Grid1->hasFocus()) Grid1->setFocus();
}

}  // namespace footer
