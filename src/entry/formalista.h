#pragma once
// What every list window (FrmPre, FrmMone, FrmParTorn, FrmPrograma) has the same: an MDI child of
// the form registry with its grid "Grid1" bound to the data control "Data1", the grid filling the
// window (FuncGrid::Reubicagrid on every resize), rows marked by dragging over the record selectors
// and select-all from the grid's corner (FuncGrid::marcaDrag / marcaTodo on the grid's mouse events),
// and Form_Activate each time the window becomes the MDI area's active child.
//
// A window derives from it, builds its columns with columna(), and calls ubica() at the end of its
// Form_Load (placement and column layout restored) and graba() in its Form_Unload (both saved). It
// overrides the grid's events it handles (BoundGridEvents; a MouseMove/MouseUp override should call
// the base's) and AplicaOrden for the sort command.
#include "boundgrid.h"
#include "datacontrol.h"
#include "forms.h"
#include "funcgrid.h"

#include <QWidget>

class FormaLista : public QWidget, public ui::Form, public ui::BoundGridEvents, public VentanaLista {
  Q_OBJECT
public:
  ui::BoundGrid* Grid1() const override { return grid_; }
  ui::DataControl* Data1() const override { return data1_; }

  // The window became the active child of the MDI area (also when first shown).
  virtual void Form_Activate() {}

  QSize sizeHint() const override { return tamano_; }

  void MouseMove(int button, int shift, double x, double y) override;
  void MouseUp(int button, int shift, double x, double y) override;

protected:
  // nombre: the form's Name (its settings section and layout name); caption: its title; the designed
  // size in twips.
  FormaLista(const QString& nombre, const QString& caption, const QSizeF& tamanoTwips);
  // A bound column at the end of the grid; width in twips, a VB number format or "".
  ui::Column& columna(const QString& caption, const QString& campo, int ancho, const QString& formato = QString());
  void ubica();
  void graba();
  void resizeEvent(QResizeEvent* event) override;

private:
  ui::BoundGrid* grid_;
  ui::DataControl* data1_;
  QSize tamano_;
};
