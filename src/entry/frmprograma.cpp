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

// Partida, Renglón, Código and Descripción: what names the concept of a row, kept in view.
constexpr int kColumnasConcepto = 4;

}  // namespace

FrmPrograma::FrmPrograma(QWidget* parent)
    : QWidget(parent), grid_(new ui::BoundGrid(this)), data_(new ui::DataControl(this)) {
  setObjectName(QStringLiteral("FrmPrograma"));
  setProperty("MDIChild", true);
  setWindowTitle(QStringLiteral("Captura del programa de obra"));
  resize(sizeHint());
  grid_->setObjectName(QStringLiteral("Grid1"));
  data_->setObjectName(QStringLiteral("Data1"));
  // Only the dates and the period cells are the bidder's to change here: the concept itself, its
  // quantity and its programmed total belong to the budget and to the schedule's sums.
  for (const ColumnaFija& c : kColumnas) {
    ui::Column& columna = grid_->Columns().Add(grid_->Columns().Count());
    columna.SetCaption(QString::fromUtf8(c.caption));
    columna.SetDataField(QString::fromLatin1(c.campo));
    columna.SetWidth(c.ancho);
    if (c.formato)
      columna.SetNumberFormat(*c.formato);
    columna.SetLocked(!c.editable);
  }
  grid_->SetEvents(this);
  grid_->SetDataSource(data_);
  grid_->SetFrozenCols(kColumnasConcepto);
}

FrmPrograma::~FrmPrograma() { grid_->SetEvents(nullptr); }

void FrmPrograma::IniClon() {
  const std::shared_ptr<dao::Recordset>& rs = data_->Recordset();
  rsProgramaClon_ = rs ? rs->Clone() : nullptr;
}

void FrmPrograma::Form_Load() {
  columnasFijas_ = programa::kColumnasFijas;
  data_->SetRecordset(quarvel::rsProgramaObra);
  IniClon();
  if (QMdiSubWindow* marco = ui::Forms::subWindowOf(this))
    marco->resize(marco->sizeHint());
  ui::UbicaForma(this);
  // The saved layout holds only the fixed columns: it is restored before the period columns exist.
  FuncGrid::UbicaGrid(objectName(), grid_);
  int16_t periodos = 0;
  if (quarvel::rsDatosGenerales)
    periodos = vb::CInt(general::valX(quarvel::rsDatosGenerales->Value(QStringLiteral("Periodos"))));
  Calculos::AgregaColumnasPeriodo(*grid_, periodos);
  grid_->ReBind();
  copiado::calculaPeriodos();
}

void FrmPrograma::Form_Unload() {
  Calculos::BorraColumnas(*grid_, columnasFijas_);
  ui::GrabaForma(this);
  FuncGrid::GrabaGrid(objectName(), grid_);
}

void FrmPrograma::AplicaOrden(const QString& orden) {
  if (!quarvel::rsProgramaObra)
    throw vb::Error(91);
  quarvel::rsProgramaObra->SetSort(orden);
  data_->SetRecordset(quarvel::rsProgramaObra->OpenRecordset());
  IniClon();
}

void FrmPrograma::Form_Activate() {
  grid_->Refresh();
  grid_->setFocus();
}

void FrmPrograma::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  FuncGrid::Reubicagrid(this, grid_);
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
  vb::Variant p = grid_->Columns(0).CellValue(bookmark);
  vb::Variant r = grid_->Columns(1).CellValue(bookmark);
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
  ui::Column& columna = grid_->Columns(colIndex);
  const QString campo = columna.DataField().toLower();
  programa::Columna tipo = programa::Columna::Otra;
  if (colIndex >= columnasFijas_)
    tipo = programa::Columna::Periodo;
  else if (campo == u"fechaini")
    tipo = programa::Columna::Comienzo;
  else if (campo == u"fechafin")
    tipo = programa::Columna::Fin;

  programa::Fila fila;
  fila.partida = vb::CStr(grid_->Columns(QStringLiteral("Partida")).Value());
  fila.renglon = vb::CLng(grid_->Columns(QStringLiteral("Renglon")).Value());
  fila.cantidad = grid_->Columns(QStringLiteral("Cantidad")).Value();
  fila.total = grid_->Columns(QStringLiteral("TotalVol")).Value();
  fila.comienzo = grid_->Columns(QStringLiteral("FechaIni")).Value();
  fila.fin = grid_->Columns(QStringLiteral("FechaFin")).Value();

  const QString texto = columna.Text();
  const int16_t codigo = programa::RevisaCelda(tipo, periodoDeColumna(colIndex), oldValue, texto, fila);
  if (codigo != programa::kAcepta) {
    if (codigo > 0)
      grid_->PostMsg(codigo);
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
  const QString partida = vb::CStr(grid_->Columns(QStringLiteral("Partida")).Value());
  const int32_t renglon = vb::CLng(grid_->Columns(QStringLiteral("Renglon")).Value());
  programa::GrabaVolumen(partida, renglon, periodoDeColumna(colIndex),
                         programa::ComoVolumen(grid_->Columns(colIndex).Text()));
  grid_->Columns(QStringLiteral("TotalVol")).SetValue(programa::TotalProgramado(partida, renglon));
}

void FrmPrograma::PostEvent(int msgId) {
  const QString texto = programa::mensaje(msgId);
  if (!texto.isEmpty())
    ui::MsgBox(texto, ui::vbInformation);
  grid_->setFocus();
}

void FrmPrograma::FetchCellTips(int, int colIndex, int rowIndex, QString& cellTip, bool, int&) {
  if (rowIndex >= 0 || colIndex < columnasFijas_)
    return;
  const int periodo = periodoDeColumna(colIndex);
  if (periodo < 1 || periodo >= int(quarvel::tablaPeriodos.size()))
    return;
  const quarvel::Periodo& p = quarvel::tablaPeriodos[size_t(periodo)];
  if (p.inicio == 0 || p.fin == 0)
    return;
  cellTip = QStringLiteral("Del ") + vb::Format(vb::Variant::fromDate(p.inicio), kFormatoFecha) +
            QStringLiteral(" al ") + vb::Format(vb::Variant::fromDate(p.fin), kFormatoFecha);
}

void FrmPrograma::MouseMove(int button, int shift, double x, double y) { FuncGrid::marcaDrag(grid_, button, shift, x, y); }

void FrmPrograma::MouseUp(int button, int shift, double x, double y) { FuncGrid::marcaTodo(grid_, button, shift, x, y); }
