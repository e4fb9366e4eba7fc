#include "emulaenter.h"
#include "endonsignal.h"
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
  // A logout, kill, closed terminal or Ctrl+C is its Cancelar: nothing is registered or stored.
  ui::installEndOnSignal([&form] {
    form.Command1_Click(1);
    QCoreApplication::exit(0);
  });
  form.show();
  return app.exec();
}
