#pragma once
// The program started as a user starts it (tests/shell's fixture) with the entry windows registered,
// and a copy of the sample bid opened through the Open tool; helpers to type into a grid as a user
// does and to read the bid file afterwards.
#include "shellfixture.h"

#include <dao.h>

#include <QStringList>

class QLineEdit;

namespace ui {
class BoundGrid;
}

namespace entrytest {

class ProgramaTest : public shelltest::ShellTest {
protected:
  void SetUp() override;
  void TearDown() override;
  // The product name the program is started under (its edition).
  virtual QString producto() const { return QStringLiteral("Tornavo"); }
  // Changes the copy of the sample bid before the program opens it; nothing unless overridden.
  virtual void preparaObra(const QString& ruta) { (void)ruta; }

  // Types text into a cell of the grid's current row and presses Enter; false when the edit was
  // refused (its editor then stays open with the text).
  bool teclea(ui::BoundGrid* grid, int col, const QString& texto);
  // Opens the editor of a cell of the grid's current row and types text over what it held, without
  // Enter; the text box typed into (a drop-down cell's own), nullptr when no editor opened.
  QLineEdit* escribe(ui::BoundGrid* grid, int col, const QString& texto);
  // The text box that has the keyboard: a cell's editor, or the text of a drop-down cell's editor.
  static QLineEdit* conTeclado();
  // Clicks the tool that shows a grid window; the grid "Grid1" of the window then active (nullptr
  // when none).
  ui::BoundGrid* muestraRejilla(const QString& herramienta);
  // Moves the grid's current cell to the row showing (partida, renglon).
  void ve(ui::BoundGrid* grid, const QString& partida, int renglon, int col);
  // Lets queued work run (posted messages, the totals' requery, the commit of the action).
  void espera();

  // The first column of a query on the bid file as text ("" for Null); the bid stays open.
  QStringList consulta(const QString& sql);
  // A concept's volumes as "period:volume" and its "FechaIni-FechaFin TotalVol"; the bid stays open.
  QStringList volumenes(const QString& partida, int renglon);
  QString concepto(const QString& partida, int renglon);

  QString obra;  // the bid's path
};

}  // namespace entrytest
