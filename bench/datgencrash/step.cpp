// One general-data save of the program, for tornavo_datgencrash:
//   tornavo_datgencrash_step Tornavo|Plicadora <program folder> <bid> FechaIni|FechaFin <dd/mm/yyyy> [antes]
// The program starts as a user starts it (offscreen, the edition by its product name, its windows
// registered as its main() registers them), opens the bid through Archivo, Abrir, and opens the
// general data through its tool. In the dialog the date is typed into its box, then it prints "go"
// and clicks Aceptar (Yes to the question about the schedule), and prints "fin <ms>" once the save
// and its writes are done, then ends as a kill would end it. With "antes" its command is nothing: it
// prints "go" and "fin 0" just before the click and ends; what the bid holds then is the content a
// kill during the save must leave, or the save's.
#include "datepicker.h"
#include "dao.h"
#include "filedialog.h"
#include "forms.h"
#include "frmdatgen.h"
#include "mditool.h"
#include "mditoolbar.h"
#include "msgbox.h"
#include "pasocrash.h"
#include "barcontrol.h"
#include "registrodatgen.h"
#include "registroentrada.h"
#include "registroreportes.h"
#include "spanish.h"
#include "ventanas.h"

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QPushButton>
#include <QTest>

#include <cstdio>
#include <unistd.h>

namespace {

void termina(int estado) {
  std::fflush(stdout);
  std::fflush(stderr);
  _exit(estado);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 6 && argc != 7) {
    std::fprintf(stderr,
                 "usage: tornavo_datgencrash_step Tornavo|Plicadora <program folder> <bid> FechaIni|FechaFin "
                 "<dd/mm/yyyy> [antes]\n");
    return 2;
  }
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const QString producto = QString::fromLocal8Bit(argv[1]);
  const QString caja = QString::fromLocal8Bit(argv[4]);
  const QByteArray fecha = argv[5];
  const bool soloAntes = argc == 7;

  ui::installSpanish();
  ventanas::Registro& ventanas = ventanas::registro();
  registraVentanasEntrada(ventanas);
  registraVentanasReportes(ventanas);
  registraVentanaDatGen(ventanas);

  bench::RespuestasSi respuestas;
  bench::DialogoFijo dialogo(QString::fromLocal8Bit(argv[3]));
  ui::installMsgBoxService(&respuestas);
  ui::installFileDialogService(&dialogo);
  QElapsedTimer reloj;
  bool guardado = false;
  // The splash's modal wait ends at once; the general-data dialog is used as the user uses it.
  ui::Forms::instance().setModalRunner([&](QDialog* d) {
    auto* forma = qobject_cast<FrmDatGen*>(d);
    if (!forma) {
      ui::Forms::instance().unload(d);
      return int(QDialog::Accepted);
    }
    forma->show();
    QCoreApplication::processEvents();  // its activation
    ui::DatePicker* fechaCaja = caja == QLatin1String("FechaIni") ? forma->FechaIni : forma->FechaFin;
    fechaCaja->setFocus();
    QTest::keyClicks(fechaCaja, QString::fromLatin1(fecha));
    QTest::keyClick(fechaCaja, Qt::Key_Tab);
    dao::DBEngine::EndAction();  // what came before the save is on disk
    std::printf("go\n");
    if (soloAntes) {
      std::printf("fin 0\n");
      termina(0);
    }
    std::fflush(stdout);
    reloj.start();
    QTest::mouseClick(forma->Aceptar, Qt::LeftButton);
    guardado = !ui::Forms::instance().isLoaded(forma);
    return int(QDialog::Accepted);
  });
  if (!mditool::Main(QString::fromLocal8Bit(argv[2]), producto)) return 2;
  QCoreApplication::processEvents();
  MDIToolbar::instancia()->ActiveBar1().click(QStringLiteral("mnuAbr"));
  MDIToolbar::instancia()->ActiveBar1().click(QStringLiteral("miverparametros"));
  // The end of the user action: what it wrote reaches the file.
  dao::DBEngine::EndAction();
  if (!guardado) {
    std::fprintf(stderr, "the dialog did not save\n");
    termina(1);
  }
  std::printf("fin %lld\n", static_cast<long long>(reloj.elapsed()));
  // Ended as a kill right after the save would end it: what is on disk is all there is.
  termina(0);
}
