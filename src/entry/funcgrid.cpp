#include "funcgrid.h"

#include "boundgrid.h"
#include "dao.h"
#include "datacontrol.h"
#include "error.h"
#include "forms.h"
#include "general.h"
#include "mditoolbar.h"
#include "msgbox.h"
#include "quarvel.h"
#include "twips.h"

#include <QElapsedTimer>
#include <QMdiSubWindow>
#include <QStringList>
#include <map>

namespace {

const QString kSinColumnas = QStringLiteral("Es necesario seleccionar una o varias columnas para ordenar la pantalla");
const QString kMemo = QStringLiteral("No es posible ordenar por campos tipo memo como la descripción completa");

QString numeroYDescripcion(const vb::Error& e, const QString& separador) {
  return QString::number(e.number()) + separador + e.description();
}

// The pace of the drag scroll: one row at most every 0.1 s while the pointer moves.
bool tocaDesplazar() {
  static QElapsedTimer reloj;
  if (reloj.isValid() && reloj.elapsed() < 100)
    return false;
  reloj.start();
  return true;
}

}  // namespace

// ---- Placing the grid ------------------------------------------------------------------------------

std::optional<QRectF> FuncGrid::rectanguloGrid(const QSizeF& formaTwips, bool minimizada) {
  if (minimizada || formaTwips.width() <= 200 || formaTwips.height() <= 500)
    return std::nullopt;
  return QRectF(50, 50, formaTwips.width() - 200, formaTwips.height() - 500);
}

void FuncGrid::Reubicagrid(QWidget* forma, ui::BoundGrid* grid) {
  if (!forma || !grid)
    return;
  // The window's outer size: an MDI child's frame, a window's frame on the screen.
  const QMdiSubWindow* marco = ui::Forms::subWindowOf(forma);
  const QSize exterior = marco ? marco->size() : forma->frameGeometry().size();
  const bool minimizada = ((marco ? marco->windowState() : forma->windowState()) & Qt::WindowMinimized) != 0;
  const auto rectangulo = rectanguloGrid(ui::pixelsToTwips(exterior), minimizada);
  if (!rectangulo)
    return;
  // A frame thicker than the margins allow for must not push the grid's edges out of sight.
  grid->setGeometry(ui::twipsToPixels(*rectangulo).intersected(forma->rect()));
}

// ---- Layouts -----------------------------------------------------------------------------------------

QString FuncGrid::archivoLayout() {
  if (quarvel::rutaPrograma.isEmpty())
    return {};
  return general::ArchivoPrograma(QStringLiteral("kortorn.grx"));
}

namespace {

// Points the grid at the program folder's layout file under `nombre` and loads or stores its layout.
// Errors change nothing: a layout that cannot be read leaves the grid as designed, a file that cannot
// be written keeps the layouts it had.
void layout(const QString& nombre, ui::BoundGrid* grid, bool guarda) {
  const QString archivo = FuncGrid::archivoLayout();
  if (!grid || archivo.isEmpty())
    return;
  try {
    grid->SetLayoutFileName(archivo);
    grid->SetLayoutName(nombre);
    if (guarda)
      grid->SaveLayout();
    else
      grid->LoadLayout();
  } catch (const std::exception&) {
  }
}

}  // namespace

void FuncGrid::UbicaGrid(const QString& nombre, ui::BoundGrid* grid) { layout(nombre, grid, false); }

void FuncGrid::GrabaGrid(const QString& nombre, ui::BoundGrid* grid) { layout(nombre, grid, true); }

// ---- Marking rows ----------------------------------------------------------------------------------

ui::BoundGrid* FuncGrid::gridDe(QWidget* ventana) {
  if (!ventana)
    return nullptr;
  if (auto* lista = dynamic_cast<VentanaLista*>(ventana))
    return lista->Grid1();
  return ventana->findChild<ui::BoundGrid*>(QStringLiteral("Grid1"));
}

void FuncGrid::marcaDrag(ui::BoundGrid* grid, int button, int /*shift*/, double x, double y) {
  if (!grid || button != 1 || grid->ColContaining(x) != -1)
    return;
  const int fila = grid->RowContaining(y);
  if (fila == -1)
    return;
  if (ui::BoundGrid* activo = gridDe(ui::Forms::instance().activeChild()); activo && activo->DataChanged())
    activo->SetDataChanged(false);
  grid->setFocus();
  // Every row from where the drag began to this one: a quick pointer skips none.
  grid->MarkRowsTo(grid->RowBookmark(fila));
  if (fila + 1 == grid->VisibleRows()) {
    if (tocaDesplazar())
      grid->Scroll(0, 1);
  } else if (fila == 0) {
    if (tocaDesplazar())
      grid->Scroll(0, -1);
  }
}

void FuncGrid::marcaTodo(ui::BoundGrid* grid, int button, int /*shift*/, double x, double y) {
  if (!grid || button != 1 || grid->ColContaining(x) != -1 || grid->RowContaining(y) != -1)
    return;
  // Outside every column and row: the corner above the record selectors, not the empty space below
  // the last row.
  if (ui::twipsToPixels(y) >= grid->viewport()->geometry().top())
    return;
  if (MDIToolbar* principal = MDIToolbar::instancia())
    principal->mnuSeleccionartodo();
}

void FuncGrid::SeleccionaTodo(QWidget* ventana) {
  ui::BoundGrid* grid = gridDe(ventana);
  if (!grid || !grid->DataSource() || !grid->DataSource()->Recordset())
    throw vb::Error(91);
  const std::shared_ptr<dao::Recordset> clon = grid->DataSource()->Recordset()->Clone();
  for (const dao::Bookmark& fila : clon->Bookmarks())
    grid->SelBookmarks().Add(fila);
}

// ---- Sorting ---------------------------------------------------------------------------------------

QString FuncGrid::ordenDeColumnas(ui::BoundGrid& grid, bool descendente) {
  const int desde = grid.SelStartCol();
  const int hasta = grid.SelEndCol();
  if (hasta < 0)
    return {};
  std::map<int, QString> campos;
  for (int i = 0; i < grid.Columns().Count(); ++i)
    if (i >= desde && i <= hasta)
      campos[i] = grid.Columns(i).DataField();
  QStringList llenos;
  for (const auto& [indice, campo] : campos)
    if (!campo.isEmpty())
      llenos << campo;
  if (llenos.isEmpty())
    return {};
  QString orden = llenos.join(u',');
  if (descendente)
    orden += QStringLiteral(" DESC");
  return orden;
}

void FuncGrid::OrdenaGrid(ui::BoundGrid* grid, bool descendente) {
  if (!grid)
    return;
  try {
    // Columns of no field (the schedule's periods) give nothing to sort by either.
    const QString orden = ordenDeColumnas(*grid, descendente);
    if (orden.isEmpty()) {
      ui::MsgBox(kSinColumnas, ui::vbInformation);
      return;
    }
    if (auto* lista = dynamic_cast<VentanaLista*>(ui::Forms::instance().activeChild()))
      lista->AplicaOrden(orden);
  } catch (const vb::Error& e) {
    if (e.number() == 3117)
      ui::MsgBox(kMemo);
    else
      ui::MsgBox(QStringLiteral("OrdenaGrid: ") + numeroYDescripcion(e, QStringLiteral(" ")));
  }
}

// ---- Multiple delete -------------------------------------------------------------------------------

void FuncGrid::borradoMultiple() { borradoMultiple(ui::Forms::instance().activeChild()); }

void FuncGrid::borradoMultiple(QWidget* ventana) {
  auto* lista = dynamic_cast<VentanaLista*>(ventana);
  if (!lista || !lista->Grid1() || !lista->Data1())
    return;  // 424: no such grid, nothing to delete
  ui::BoundGrid* grid = lista->Grid1();
  ui::DataControl* data = lista->Data1();
  try {
    ui::SelectedBookmarks& marcas = grid->SelBookmarks();
    if (marcas.Count() == 0)
      return;
    const auto respuesta = ui::MsgBox(QStringLiteral("Está a punto de eliminar ") + QString::number(marcas.Count()) +
                                          QStringLiteral(" registros. ") +
                                          QStringLiteral("Haga clic en Si para eliminar estos registros permanentemente. ") +
                                          QStringLiteral("No podrá deshacer el cambio."),
                                      ui::vbYesNo | ui::vbCritical);
    const std::shared_ptr<dao::Recordset> rs = data->Recordset();
    if (!rs)
      return;
    if (respuesta == ui::vbYes) {
      // The marks first: moving the grid onto a deleted row must not meet them.
      std::vector<dao::Bookmark> filas;
      for (int i = 0; i < marcas.Count(); ++i)
        filas.push_back(marcas.Item(i));
      for (const dao::Bookmark& fila : filas) {
        try {
          grid->SetBookmark(fila);
        } catch (const vb::Error& e) {
          if (e.number() != 3426)  // a row the grid would not leave: the record is still positioned
            throw;
        }
        rs->SetBookmark(fila);
        rs->Delete();
      }
      while (marcas.Count() > 0)
        marcas.Remove(0);
    }
    if (rs->RecordCount() == 0) {
      grid->ReBind();
      return;
    }
    rs->MoveNext();
    if (rs->EOF_())
      rs->MoveLast();
    grid->ReBind();
    grid->setFocus();
  } catch (const vb::Error& e) {
    switch (e.number()) {
      case 3200:
        ui::MsgBox(QStringLiteral("Uno de los registros que se quieren borrar participa en ") +
                       (ui::Forms::name(ventana) == u"FrmMone" ? QStringLiteral("presupuesto") : QString()) +
                       QStringLiteral(", No se pudo borrar"),
                   ui::vbInformation);
        break;
      case 424:
      case 3027:
        break;
      default:
        ui::MsgBox(QStringLiteral("utiledit.borradoMultiple ") + numeroYDescripcion(e, QString()));
        break;
    }
  }
}
