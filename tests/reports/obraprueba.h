#pragma once
// A copy of the program folder (sample bid, library database, report templates) in a temporary
// folder, with the bid and the library open as the program opens them, and a report context on it
// with the program's five report writers.
#include "contextoreporte.h"
#include "qt_print.h"
#include "scripted_ui.h"

#include <QTemporaryDir>
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
  // Keeps the report as .xlsx and PDF for a person to look at, when TORNAVO_REPORTES_SALIDA names a
  // folder.
  void guarda(const QString& nombre);

  QTemporaryDir dir_;
  testui::ScriptedMsgBoxes cajas_;
  std::unique_ptr<repgen::ContextoReporte> rep_;
};

// Text of a cell of the book's current sheet ("" when empty).
QString texto(const wb::Book& hoja, int ren, int col);
double numero(const wb::Book& hoja, int ren, int col);

}  // namespace prueba
