// tornavo and plicadora: the same program; the product name built into each executable decides the
// edition. The command line is not read.
#include "calculos.h"
#include "copiadogrid.h"
#include "mditool.h"
#include "spanish.h"
#include "ventanas.h"

#include <QApplication>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  ui::installSpanish();
  // The windows of the later subsystems are registered here, before the start (ventanas.h).
  ventanas::Registro& ventanas = ventanas::registro();
  ventanas.revisaImpresion = [] { return !Calculos::ValidaImpresion(); };
  ventanas.copiaClipboard = [](QWidget* control) { copiado::copiaClipboard(control); };
  ventanas.pegaClipboard = [](QWidget* control) { copiado::pegaClipboard(control); };
  if (!mditool::Main(QCoreApplication::applicationDirPath(), QStringLiteral(TORNAVO_PRODUCTO)))
    return 1;
  return app.exec();
}
