#pragma once
// What the main window asks of the windows of the later subsystems: showing them, the edit and grid
// commands on the active child window, and the checks that come before printing. Those subsystems build
// on the shell, so the shell cannot name their forms; the program's main() fills these in once, and a
// command whose entry is empty does nothing (its tool stays in the bars and in the dispatch).
#include <functional>

class QWidget;

namespace ventanas {

struct Registro {
  // MDI children shown modeless, each its form's default instance: unit prices, sections,
  // currencies, work schedule.
  std::function<void()> FrmPre, FrmParTorn, FrmMone, FrmPrograma;
  // Dialogs shown modal: general data, visible grid columns, and the budget-row detail (a new
  // instance each time, released when it closes).
  std::function<void()> FrmDatGen, FrmColGrid, FrmDetPresu;
  // The report window: modal for the printer, modeless for the preview.
  std::function<void(bool modal)> frmRep;

  // Copy and paste of grid blocks, given the active control of the active child window.
  std::function<void(QWidget* control)> copiaClipboard, pegaClipboard;
  // After a paste: the unit-price grid reads its rows again.
  std::function<void()> refrescaPresupuesto;
  // Sort by the selected columns, and select every row, of the active child window's grid. They may
  // raise vb::Error (3117 sorting by a memo field).
  std::function<void(QWidget* hijo, bool descendente)> OrdenaGrid;
  std::function<void(QWidget* hijo)> SeleccionaTodo;

  // The pre-print checks of the open bid: false when one failed (it has shown its message).
  std::function<bool()> revisaImpresion;
};

// The program's one registry.
Registro& registro();

}  // namespace ventanas
