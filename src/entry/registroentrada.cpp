#include "registroentrada.h"

#include "calculos.h"
#include "copiadogrid.h"
#include "error.h"
#include "forms.h"
#include "frmcolgrid.h"
#include "frmdetpresu.h"
#include "frmmone.h"
#include "frmpartorn.h"
#include "frmpre.h"
#include "frmprograma.h"
#include "funcgrid.h"
#include "ventanas.h"

namespace {

// Shows the default instance of a list window (created and loaded on first use).
template <class Forma>
void muestra() {
  ui::Forms& formas = ui::Forms::instance();
  if (Forma* forma = formas.get<Forma>())
    formas.show(forma);
}

}  // namespace

void registraVentanasEntrada(ventanas::Registro& r) {
  r.FrmPre = muestra<FrmPre>;
  r.FrmMone = muestra<FrmMone>;
  r.FrmParTorn = muestra<FrmParTorn>;
  r.FrmPrograma = muestra<FrmPrograma>;
  r.FrmColGrid = FrmColGrid::Muestra;
  r.FrmDetPresu = FrmDetPresu::Muestra;
  // After a paste the prices shown, and the section totals, follow what was pasted.
  r.refrescaPresupuesto = [] {
    if (FrmPre* precios = ui::Forms::instance().find<FrmPre>())
      precios->Grid1()->Refresh();
    FrmParTorn::ActualizaTotales();
  };
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
}
