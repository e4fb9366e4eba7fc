#include "frmprograma.h"

#include "calculos.h"
#include "copiado.h"
#include "dao.h"
#include "datacontrol.h"
#include "msgbox.h"
#include "placement.h"
#include "programa.h"
#include "quarvel.h"
#include "utilidades.h"

#include <QMdiSubWindow>

namespace {

const QString kFormatoCantidad = QStringLiteral("###,###,###,##0.00##");
const QString kFormatoFecha = QStringLiteral("dd/mm/yyyy");

struct ColumnaFija {
  const char* caption;
  const char* campo;
  int ancho;  // twips
  const QString* formato;
  bool editable;
};

// The designed columns; the user's layout may hide them or change their widths.
const ColumnaFija kColumnas[] = {
    {"Partida", "Partida", 1000, nullptr, false},
    {"Renglón", "Renglon", 800, nullptr, false},
    {"Código", "Codigo", 1100, nullptr, false},
    {"Descripción", "Texto", 3200, nullptr, false},
    {"Unidad", "Unidad", 800, nullptr, false},
    {"Cantidad", "Cantidad", 1300, &kFormatoCantidad, false},
    {"Comienzo", "FechaIni", 1300, &kFormatoFecha, true},
    {"Fin", "FechaFin", 1300, &kFormatoFecha, true},
    {"Total", "TotalVol", 1300, &kFormatoCantidad, false},
};

}  // namespace

FrmPrograma::FrmPrograma(QWidget* parent)
    : QWidget(parent), Grid1(new ui::BoundGrid(this)), Data1(new ui::DataControl(this)) {
  setObjectName(QStringLiteral("FrmPrograma"));
  setProperty("MDIChild", true);
  setWindowTitle(QStringLiteral("Captura del programa de obra"));
  resize(900, 480);
  Grid1->setObjectName(QStringLiteral("Grid1"));
  Data1->setObjectName(QStringLiteral("Data1"));
  // Only the dates and the period cells are the bidder's to change here: the concept itself, its
  // quantity and its programmed total belong to the budget and to the schedule's sums.
  for (const ColumnaFija& c : kColumnas) {
    ui::Column& columna = Grid1->Columns().Add(Grid1->Columns().Count());
    columna.SetCaption(QString::fromUtf8(c.caption));
    columna.SetDataField(QString::fromLatin1(c.campo));
    columna.SetWidth(c.ancho);
    if (c.formato)
      columna.SetNumberFormat(*c.formato);
    columna.SetLocked(!c.editable);
  }
  Grid1->SetEvents(this);
  Grid1->SetDataSource(Data1);
}

FrmPrograma::~FrmPrograma() { Grid1->SetEvents(nullptr); }

void FrmPrograma::IniClon() {
  const std::shared_ptr<dao::Recordset>& rs = Data1->Recordset();
  rsProgramaClon_ = rs ? rs->Clone() : nullptr;
}

void FrmPrograma::Form_Load() {
  columnasFijas_ = programa::kColumnasFijas;
  Data1->SetRecordset(quarvel::rsProgramaObra);
  IniClon();
  ui::UbicaForma(this);
  // The saved layout holds only the fixed columns: it is restored before the period columns exist.
  Grid1->SetLayoutFileName(quarvel::rutaPrograma + QStringLiteral("/kortorn.grx"));
  Grid1->SetLayoutName(objectName());
  Grid1->LoadLayout();
  int16_t periodos = 0;
  if (quarvel::rsDatosGenerales)
    periodos = vb::CInt(general::valX(quarvel::rsDatosGenerales->Value(QStringLiteral("Periodos"))));
  Calculos::AgregaColumnasPeriodo(*Grid1, periodos);
  Grid1->ReBind();
  copiado::calculaPeriodos();
}

void FrmPrograma::Form_Unload() {
  Calculos::BorraColumnas(*Grid1, columnasFijas_);
  ui::GrabaForma(this);
  Grid1->SetLayoutFileName(quarvel::rutaPrograma + QStringLiteral("/kortorn.grx"));
  Grid1->SetLayoutName(objectName());
  Grid1->SaveLayout();
}

void FrmPrograma::Form_Activate() {
  Grid1->Refresh();
  Grid1->setFocus();
}

void FrmPrograma::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  Grid1->setGeometry(rect().adjusted(3, 3, -3, -3));
}

void FrmPrograma::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (activacionConectada_)
    return;
  if (QMdiSubWindow* marco = ui::Forms::subWindowOf(this)) {
    activacionConectada_ = true;
    connect(marco, &QMdiSubWindow::windowStateChanged, this, [this](Qt::WindowStates antes, Qt::WindowStates ahora) {
      if (ahora.testFlag(Qt::WindowActive) && !antes.testFlag(Qt::WindowActive))
        Form_Activate();
    });
  }
}

bool FrmPrograma::claveFila(const dao::Bookmark& bookmark, QString& partida, int32_t& renglon) {
  // The grid has read the row it shows: its own cells cost no statement. A row it does not show is
  // read through the clone.
  vb::Variant p = Grid1->Columns(0).CellValue(bookmark);
  vb::Variant r = Grid1->Columns(1).CellValue(bookmark);
  if ((p.isNull() || r.isNull()) && rsProgramaClon_) {
    rsProgramaClon_->SetBookmark(bookmark);
    p = rsProgramaClon_->Fields(0).Value();
    r = rsProgramaClon_->Fields(1).Value();
  }
  if (p.isNull() || r.isNull())
    return false;
  partida = vb::CStr(p);
  renglon = vb::CLng(r);
  return true;
}

void FrmPrograma::UnboundColumnFetch(const dao::Bookmark& bookmark, int colIndex, vb::Variant& value) {
  QString partida;
  int32_t renglon = 0;
  if (claveFila(bookmark, partida, renglon))
    value = programa::TextoVolumen(partida, renglon, periodoDeColumna(colIndex));
}

void FrmPrograma::BeforeColUpdate(int colIndex, const vb::Variant& oldValue, bool& cancel) {
  ui::Column& columna = Grid1->Columns(colIndex);
  const QString campo = columna.DataField().toLower();
  programa::Columna tipo = programa::Columna::Otra;
  if (colIndex >= columnasFijas_)
    tipo = programa::Columna::Periodo;
  else if (campo == u"fechaini")
    tipo = programa::Columna::Comienzo;
  else if (campo == u"fechafin")
    tipo = programa::Columna::Fin;

  programa::Fila fila;
  fila.partida = vb::CStr(Grid1->Columns(QStringLiteral("Partida")).Value());
  fila.renglon = vb::CLng(Grid1->Columns(QStringLiteral("Renglon")).Value());
  fila.cantidad = Grid1->Columns(QStringLiteral("Cantidad")).Value();
  fila.total = Grid1->Columns(QStringLiteral("TotalVol")).Value();
  fila.comienzo = Grid1->Columns(QStringLiteral("FechaIni")).Value();
  fila.fin = Grid1->Columns(QStringLiteral("FechaFin")).Value();

  const QString texto = columna.Text();
  const int16_t codigo = programa::RevisaCelda(tipo, periodoDeColumna(colIndex), oldValue, texto, fila);
  if (codigo != programa::kAcepta) {
    if (codigo > 0)
      Grid1->PostMsg(codigo);
    cancel = true;
    return;
  }
  // A date is stored as the date it reads as, not as the text typed.
  if ((tipo == programa::Columna::Comienzo || tipo == programa::Columna::Fin) && vb::IsDate(texto))
    columna.SetValue(vb::Variant::fromDate(vb::CDate(texto)));
}

void FrmPrograma::AfterColUpdate(int colIndex) {
  if (colIndex < columnasFijas_)
    return;
  const QString partida = vb::CStr(Grid1->Columns(QStringLiteral("Partida")).Value());
  const int32_t renglon = vb::CLng(Grid1->Columns(QStringLiteral("Renglon")).Value());
  programa::GrabaVolumen(partida, renglon, periodoDeColumna(colIndex),
                         programa::ComoVolumen(Grid1->Columns(colIndex).Text()));
  Grid1->Columns(QStringLiteral("TotalVol")).SetValue(programa::TotalProgramado(partida, renglon));
}

void FrmPrograma::PostEvent(int msgId) {
  const QString texto = programa::mensaje(msgId);
  if (!texto.isEmpty())
    ui::MsgBox(texto, ui::vbInformation);
  Grid1->setFocus();
}
