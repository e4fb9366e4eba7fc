#pragma once
// A copy of the sample bid "Ejemplo.mdb" opened as the program opens a bid: exclusive, with the shared
// recordsets of quarvel and the rounding unit set; every message box must be scripted.
#include "dao.h"
#include "error_of.h"
#include "portapapeles.h"
#include "scripted_ui.h"

#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>

namespace entrytest {

class ObraTest : public ::testing::Test {
public:
  // Writes a field of the general data through quarvel::rsDatosGenerales; Redondeo also sets the
  // rounding unit, as the general-data dialog does.
  void dato(const QString& campo, const vb::Variant& valor);
  // Runs an action statement on the open bid.
  void sql(const QString& sentencia);
  // Closes the bid and opens its file again, read-only, to see what reached it.
  std::shared_ptr<dao::Database> archivo();
  // Values of one column of a query on the file (after archivo()), as text ("" for Null).
  QStringList columna(const QString& consulta);
  // A concept's volumes as "period:volume" and its "FechaIni-FechaFin TotalVol", in the file.
  QStringList volumenes(const QString& partida, int renglon);
  QString concepto(const QString& partida, int renglon);

  QTemporaryDir carpeta;
  QString ruta;
  testui::ScriptedMsgBoxes cajas;

protected:
  void SetUp() override;
  void TearDown() override;

private:
  std::shared_ptr<dao::Database> archivo_;
};

// A clipboard of the test's own, in use while it lives.
class PortapapelesFalso : public copiado::Portapapeles {
public:
  PortapapelesFalso() : previo_(copiado::instalaPortapapeles(this)) {}
  ~PortapapelesFalso() override { copiado::instalaPortapapeles(previo_); }
  QString Texto() override { return texto; }
  void PonTexto(const QString& t) override { texto = t; }
  void Limpia() override {
    texto.clear();
    ++limpiezas;
  }
  QString texto = QStringLiteral("antes");
  int limpiezas = 0;

private:
  copiado::Portapapeles* previo_;
};

}  // namespace entrytest
