#pragma once
// The footer page "Indirectos" of the general-data dialog: the footer of the open bid (table Pie) in
// its grid, with the legend of the direct cost, the contractor label and the four format buttons,
// and the dialog's footer procedures. Every accepted row edit is written to Pie at once, the whole
// footer is evaluated again, each row's Total written back, DatosGenerales.FactorIntegrado stored
// and the grid reloaded. A deleted row takes the rows after it one number down, and their references
// with them; a row that other rows use is not deleted. A pass that stops on a row leaves that row and
// the rows after it without a total (and the footer without a factor), never with an earlier one.
//
// A closed bid (BaseCerrada or Cerrada) refuses every footer edit, in both editions, with the message
// of the other grids.
//
// The dialog puts the page into its frame "Indirectos" and calls it (the bid is open: quarvel::dbObra,
// quarvel::rsDatosGenerales; the library database quarvel::dbParametros; the evaluator's function
// file in quarvel::rutaPrograma):
//   load        pagina->Form_Load();            fills the grid; edition 1: buttons and editable footer
//   activation  pagina->Form_Activate();        re-evaluates and reloads the footer when it has rows
//   OK          if (pagina->ContratistaEnVista()) pagina->Command2_Click();  then pagina->copiarPieBase();
//   unload      if (pagina->ContratistaEnVista()) pagina->Command2_Click();  ...  pagina->GrabaFactorIntegrado();
// After a format dialog opened from the page closes, the page emits dialogoCerrado(): the dialog's
// activation runs again then.
#include "evaluador.h"
#include "unboundgrid.h"

#include <QWidget>

#include <memory>
#include <vector>

class QLabel;
class QPushButton;

namespace footer {

class PaginaPie : public QWidget, private ui::UnboundGridEvents {
  Q_OBJECT
public:
  explicit PaginaPie(QWidget* parent = nullptr);
  ~PaginaPie() override;

  // Controls, named as on the dialog.
  ui::UnboundGrid* Grid1;          // "Contenido del cálculo de indirectos"
  QPushButton* Command1;           // "&Ver indirectos contratistas"
  QPushButton* Command6;           // "&Abrir formato"
  QPushButton* Command5;           // "&Grabar formato"
  QPushButton* Commmand3;          // "&Limpiar formato"
  QLabel* lblnumcontratista;       // "Contratista: " and the format shown; hidden for the bid's own footer

  // The column of each field of Pie in the grid and its array ("formato" is the grid's own).
  enum Columna {
    colFormato, colRenglon, colTexto, colRenglon1, colRenglon9 = colRenglon1 + 8, colOperacion, colFactor,
    colPorcen, colRenglonFactor2, colTotal, colImprimirRenglon, colImprimirBase, colImprimirRaya, colFactorDls,
    numColumnas
  };

  // ---- the dialog's load, activation, OK and unload
  void Form_Load();
  void Form_Activate();
  // A contractor's format is shown (the label's own visibility, whatever page is on show).
  bool ContratistaEnVista() const;

  // ---- the grid
  void CargaPie();
  void HabilitaEdicionPie(bool habilita);
  // Renumbers Pie 1..n (references follow their rows), then reloads the grid.
  void RenumeraPie();
  bool ExisteRegistro(const vb::Variant& renglon);
  // The rows whose references name renglon, in order.
  std::vector<int> RenglonesQueUsan(int renglon);

  // ---- evaluation
  void AsignaIndirectosAevaluador();
  void CalculaPieTotal();
  vb::Currency CalculaFactorIntegrado();
  void GrabaFactorIntegrado();

  // ---- base footer and format commands
  void copiarPieBase();
  void Command2_Click();    // restores the base footer "Num. 0" into Pie
  void Command1_Click();
  void Command6_Click();
  void Command5_Click();
  void Commmand3_Click();

  // The grid's events.
  void Grid1_BeforeColUpdate(int colIndex, const vb::Variant& oldValue, bool& cancel);
  void Grid1_AfterColUpdate(int colIndex);
  void Grid1_OnAddNew();
  void Grid1_BeforeUpdate(bool& cancel);
  void Grid1_AfterUpdate();
  void Grid1_BeforeDelete(bool& cancel);
  void Grid1_AfterDelete();
  void Grid1_SelChange(bool& cancel);

  // The last statement built (the load's SELECT, a row's INSERT or UPDATE, a Total's UPDATE).
  const QString& UltimaSentencia() const { return sentencia_; }
  // The evaluator of the pass under way (or of the last one that stopped); none after a whole pass.
  const std::shared_ptr<Evaluador>& evaluador() const { return evaluador_; }

signals:
  void dialogoCerrado();

private:
  // ui::UnboundGridEvents
  void OnAddNew() override { Grid1_OnAddNew(); }
  void BeforeColUpdate(int c, const vb::Variant& old, bool& cancel) override { Grid1_BeforeColUpdate(c, old, cancel); }
  void AfterColUpdate(int c) override { Grid1_AfterColUpdate(c); }
  void BeforeUpdate(bool& cancel) override { Grid1_BeforeUpdate(cancel); }
  void AfterUpdate() override { Grid1_AfterUpdate(); }
  void BeforeDelete(bool& cancel) override { Grid1_BeforeDelete(cancel); }
  void AfterDelete() override { Grid1_AfterDelete(); }
  void SelChange(bool& cancel) override { Grid1_SelChange(cancel); }

  void creaColumnas();
  void enfocaGrid();
  // A closed bid takes no footer edit: true (after the message the other grids show) when it is one.
  bool rechazaObraCerrada();
  // A row other rows use is not deleted: true (after a message naming them) when it is one.
  bool rechazaRenglonEnUso(int renglon);
  static void renumera();
  void sinTotalDesde(int fila);
  // After a row is written or deleted: the footer evaluated again, its factor stored, the grid reloaded.
  void reevalua();
  void despuesDeFormato();

  std::shared_ptr<ui::XArray> arreglo_;
  std::shared_ptr<Evaluador> evaluador_;
  // Rows without references, found by the last build: they get no expression and carry 0.
  std::vector<int> sinReferencias_;
  int filaGuardada_ = 0;
  int columnaGuardada_ = 0;
  QString sentencia_;
};

}  // namespace footer
