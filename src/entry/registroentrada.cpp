#include "registroentrada.h"

#include "calculos.h"
#include "copiadogrid.h"
#include "error.h"
#include "forms.h"
#include "frmprograma.h"
#include "funcgrid.h"
#include "ventanas.h"

void registraVentanasEntrada(ventanas::Registro& r) {
  r.revisaImpresion = [] { return !Calculos::ValidaImpresion(); };
  r.copiaClipboard = [](QWidget* control) { copiado::copiaClipboard(control); };
  r.pegaClipboard = [](QWidget* control) { copiado::pegaClipboard(control); };
  r.OrdenaGrid = [](QWidget* hijo, bool descendente) {
    ui::BoundGrid* grid = FuncGrid::gridDe(hijo);
    if (!grid)
      throw vb::Error(438);  // a child window without a grid
    FuncGrid::OrdenaGrid(grid, descendente);
  };
  r.SeleccionaTodo = [](QWidget* hijo) { FuncGrid::SeleccionaTodo(hijo); };
  r.FrmPrograma = [] {
    if (FrmPrograma* forma = ui::Forms::instance().get<FrmPrograma>())
      ui::Forms::instance().show(forma);
  };
}
