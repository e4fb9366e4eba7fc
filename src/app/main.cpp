// tornavo and plicadora: the same program; the product name built into each executable decides the
// edition. The command line is not read.
#include "emulaenter.h"
#include "mditool.h"
#include "registrodatgen.h"
#include "registroentrada.h"
#include "registroreportes.h"
#include "spanish.h"
#include "ventanas.h"

#include <QApplication>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  ui::installSpanish();
  ui::installEnterPressesButtons();
  // The windows of the later subsystems are registered here, before the start (ventanas.h).
  ventanas::Registro& ventanas = ventanas::registro();
  registraVentanasEntrada(ventanas);
  registraVentanasReportes(ventanas);
  registraVentanaDatGen(ventanas);
  const bool arrancado = mditool::Main(QCoreApplication::applicationDirPath(), QStringLiteral(TORNAVO_PRODUCTO));
  const int estado = arrancado ? app.exec() : 1;
  // Everything the program holds is released here, in order, before the process's exit handlers run.
  mditool::Termina();
  return estado;
}
