#include "formalista.h"

#include "placement.h"
#include "twips.h"

#include <QMdiArea>
#include <QMdiSubWindow>

FormaLista::FormaLista(const QString& nombre, const QString& caption, const QSizeF& tamanoTwips)
    : grid_(new ui::BoundGrid(this)), data1_(new ui::DataControl(this)) {
  setObjectName(nombre);
  setWindowTitle(caption);
  setProperty("MDIChild", true);
  tamano_ = ui::twipsToPixels(tamanoTwips);
  resize(tamano_);
  grid_->setObjectName(QStringLiteral("Grid1"));
  data1_->setObjectName(QStringLiteral("Data1"));
  grid_->SetEvents(this);
  if (QMdiArea* area = ui::Forms::instance().mdiArea())
    connect(area, &QMdiArea::subWindowActivated, this, [this](QMdiSubWindow* activa) {
      if (activa && activa == ui::Forms::subWindowOf(this) && isVisible() && ui::Forms::instance().isLoaded(this))
        Form_Activate();
    });
}

ui::Column& FormaLista::columna(const QString& caption, const QString& campo, int ancho, const QString& formato) {
  ui::Column& c = grid_->Columns().Add(grid_->Columns().Count());
  c.SetCaption(caption);
  c.SetDataField(campo);
  c.SetWidth(ancho);
  c.SetNumberFormat(formato);
  return c;
}

void FormaLista::ubica() {
  // The designed size, unless a saved place says otherwise.
  if (QMdiSubWindow* marco = ui::Forms::subWindowOf(this))
    marco->resize(marco->sizeHint());
  ui::UbicaForma(this);
  FuncGrid::UbicaGrid(objectName(), grid_);
}

void FormaLista::graba() {
  ui::GrabaForma(this);
  FuncGrid::GrabaGrid(objectName(), grid_);
}

void FormaLista::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  FuncGrid::Reubicagrid(this, grid_);
}

void FormaLista::MouseMove(int button, int shift, double x, double y) { FuncGrid::marcaDrag(grid_, button, shift, x, y); }

void FormaLista::MouseUp(int button, int shift, double x, double y) { FuncGrid::marcaTodo(grid_, button, shift, x, y); }
