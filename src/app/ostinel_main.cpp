#include "emulaenter.h"
#include "frmregistro.h"
#include "spanish.h"

#include <QApplication>

// The registration utility: its one window is the whole program; arguments are ignored.
int main(int argc, char** argv) {
  QApplication app(argc, argv);
  ui::installSpanish();
  ui::installEnterPressesButtons();
  app.setApplicationName(QStringLiteral("ostinel"));
  frmRegistro form;
  form.show();
  return app.exec();
}
