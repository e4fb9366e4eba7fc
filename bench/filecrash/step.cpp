// One command of the program on its files, for tornavo_filecrash:
//   tornavo_filecrash_step reparar|abrir <program folder> <bid>
// The program starts as a user starts it (offscreen), then "reparar" runs Reparar/Compactar on the
// bid (the bid, then the library) and "abrir" opens it through Archivo, Abrir, answering Yes to the
// structure question (upgrade in place or rebuild, then the compaction). It prints "go" just before
// the command and "fin <ms>" once the command and its writes are done, then ends.
#include "barcontrol.h"
#include "dao.h"
#include "filedialog.h"
#include "forms.h"
#include "maneobra.h"
#include "mditool.h"
#include "mditoolbar.h"
#include "msgbox.h"
#include "pasocrash.h"
#include "quarvel.h"

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>

#include <cstdio>
#include <unistd.h>


int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: tornavo_filecrash_step reparar|abrir <program folder> <bid>\n");
    return 2;
  }
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const QString orden = QString::fromLocal8Bit(argv[1]);
  bench::RespuestasSi respuestas;
  bench::DialogoFijo dialogo(QString::fromLocal8Bit(argv[3]));
  ui::installMsgBoxService(&respuestas);
  ui::installFileDialogService(&dialogo);
  // The splash's modal wait ends at once.
  ui::Forms::instance().setModalRunner([](QDialog* d) {
    ui::Forms::instance().unload(d);
    return int(QDialog::Accepted);
  });
  if (!mditool::Main(QString::fromLocal8Bit(argv[2]), QStringLiteral("Tornavo")))
    return 2;
  QCoreApplication::processEvents();

  std::printf("go\n");
  std::fflush(stdout);
  QElapsedTimer reloj;
  reloj.start();
  MDIToolbar::instancia()->ActiveBar1().click(orden == QLatin1String("reparar") ? QStringLiteral("mnuRepCom")
                                                                                 : QStringLiteral("mnuAbr"));
  // The end of the user action: what it wrote reaches the files.
  dao::DBEngine::EndAction();
  std::printf("fin %lld\n", static_cast<long long>(reloj.elapsed()));
  std::fflush(stdout);
  // Ended as a kill right after the command would end it: what is on disk is all there is.
  _exit(quarvel::obraAbierta || orden == QLatin1String("reparar") ? 0 : 1);
}
