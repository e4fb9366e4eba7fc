// tornavo and plicadora: the same program; the product name built into each executable decides the
// edition. The command line is not read.
#include "barcontrol.h"
#include "emulaenter.h"
#include "endonsignal.h"
#include "mditool.h"
#include "mditoolbar.h"
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
  // A logout, kill, closed terminal or Ctrl+C is Archivo > Salir: typed values stored, files closed.
  ui::installEndOnSignal([] {
    if (MDIToolbar* principal = MDIToolbar::instancia())
      principal->ActiveBar1_ToolClick(
          principal->ActiveBar1().tool(QStringLiteral("miarchivo"), QStringLiteral("miarchivosalir")));
    QCoreApplication::exit(0);
  });
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
