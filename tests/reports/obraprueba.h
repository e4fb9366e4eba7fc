#pragma once
// A copy of the program folder (sample bid, library database, report templates) in a temporary
// folder, with the bid and the library open as the program opens them, and a report context on it
// with the program's five report writers.
#include "contextoreporte.h"
#include "qt_print.h"
#include "scripted_ui.h"

#include <QTemporaryDir>
#include <vector>
#include <gtest/gtest.h>

namespace prueba {

class ObraPrueba : public ::testing::Test {
protected:
  void SetUp() override;
  void TearDown() override;

  // Path of a file of the temporary program folder.
  QString ruta(const QString& archivo) const;
  // Points the context at a template of the program folder (its first sheet unless told).
  void elige(int tipo, const QString& archivo = QString(), int hoja = 0);
  // Stores an option of the chosen report, workbook and sheet.
  void opcion(const QString& parametro, const vb::Variant& valor);
  // Runs Jet SQL on the open bid, then reopens the shared recordsets so they see it.
  void ejecuta(const QString& sql);
  // Deletes the budget's last concept and its schedule.
  void quitaUltimoConcepto();
  // Keeps the report as .xlsx and PDF for a person to look at, when TORNAVO_REPORTES_SALIDA names a
  // folder.
  void guarda(const QString& nombre);

  QTemporaryDir dir_;
  testui::ScriptedMsgBoxes cajas_;
  std::unique_ptr<repgen::ContextoReporte> rep_;
};

// The first report row of every page: row 1, then each page break.
std::vector<int> iniciosDePagina(const wb::Book& reporte);

// Checks a whole budget report ("Presupuesto") against the open bid: every concept once, in budget
// order, on one page, its amount beside it; the foot of every page with one row per currency of the
// bid (DOLARES, then PESOS), each beside its page amount and the amount carried so far; and the
// pages the program made are the pages that print on Letter paper.
void revisaPresupuesto(const repgen::ContextoReporte& rep);

// The bid's budget made `veces` times as long: every concept copied below itself with new rows,
// with its schedule.
void multiplicaPresupuesto(int veces);

// Text of a cell of the book's current sheet ("" when empty).
QString texto(const wb::Book& hoja, int ren, int col);
double numero(const wb::Book& hoja, int ren, int col);

}  // namespace prueba
