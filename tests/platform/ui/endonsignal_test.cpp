// The end on SIGTERM, SIGHUP and SIGINT: the process lives on, what is in the way goes first (a
// question answered as Cancelar, a modal window closed, a progress cancelled), and the program's own
// exit command runs once, from the main event loop.
#include "endonsignal.h"
#include "msgbox.h"

#include <QCoreApplication>
#include <QDialog>
#include <QEventLoop>
#include <QProgressDialog>
#include <QThread>
#include <QTimer>
#include <gtest/gtest.h>

#include <csignal>

namespace {

// The main event loop of a program, as far as the end is concerned: it runs until the end quits it
// (or a safety timeout passes).
class BucleFinal {
public:
  BucleFinal() {
    ui::installEndOnSignal([this] {
      fines.push_back(QThread::currentThread()->loopLevel());
      terminando = ui::endingOnSignal();
      if (alTerminar) alTerminar();
      bucle_.quit();
    });
  }
  ~BucleFinal() { ui::installEndOnSignal({}); }
  // Runs `primero` from the loop, then the loop until the end (true) or the timeout (false).
  bool corre(std::function<void()> primero) {
    QTimer::singleShot(0, std::move(primero));
    bool vencido = false;
    QTimer::singleShot(10000, &bucle_, [&] {
      vencido = true;
      bucle_.quit();
    });
    bucle_.exec();
    return !vencido;
  }

  std::vector<int> fines;  // the loop level of each run of the end
  bool terminando = false;
  std::function<void()> alTerminar;

private:
  QEventLoop bucle_;
};

TEST(EndOnSignal, EachSignalRunsTheExitCommandOnceFromTheMainLoop) {
  for (const int senal : {SIGTERM, SIGHUP, SIGINT}) {
    SCOPED_TRACE(senal);
    BucleFinal b;
    ASSERT_TRUE(b.corre([senal] {
      std::raise(senal);
      std::raise(senal);  // a second signal while the first is being handled adds nothing
    }));
    EXPECT_EQ(b.fines, std::vector<int>{1});
    EXPECT_TRUE(b.terminando) << "questions asked by the exit command are answered too";
    EXPECT_TRUE(ui::endingOnSignal()) << "and those of whatever runs after it";
  }
}

// A question on screen inside a modal dialog: the question is answered as Cancelar (No here), any
// question after it too without being shown, then the dialog is closed as its close box closes it,
// and only then, back in the main loop, the exit command runs, its own questions answered as well.
TEST(EndOnSignal, QuestionsAreAnsweredAsCancelarAndModalWindowsCloseBeforeTheEnd) {
  BucleFinal b;
  std::vector<std::string> pasos;
  std::vector<ui::VbMsgBoxResult> respuestas;
  b.alTerminar = [&] {
    pasos.push_back("fin");
    respuestas.push_back(ui::MsgBox("¿Guardar?", ui::vbYesNoCancel | ui::vbQuestion));
  };
  ASSERT_TRUE(b.corre([&] {
    QDialog dialogo;
    QTimer::singleShot(0, &dialogo, [&] {
      QTimer::singleShot(50, [] { std::raise(SIGTERM); });
      respuestas.push_back(ui::MsgBox("¿Borrar?", ui::vbYesNo | ui::vbQuestion));
      respuestas.push_back(ui::MsgBox("Valor rechazado", ui::vbOKCancel | ui::vbExclamation));
      respuestas.push_back(ui::MsgBox("Aviso", ui::vbOKOnly));
      respuestas.push_back(ui::MsgBox("Error", ui::vbAbortRetryIgnore));
      pasos.push_back("preguntas");
    });
    const int resultado = dialogo.exec();
    pasos.push_back(resultado == QDialog::Rejected ? "dialogo cerrado" : "dialogo aceptado");
  }));
  EXPECT_EQ(pasos, (std::vector<std::string>{"preguntas", "dialogo cerrado", "fin"}));
  EXPECT_EQ(respuestas, (std::vector<ui::VbMsgBoxResult>{ui::vbNo, ui::vbCancel, ui::vbOK, ui::vbAbort,
                                                         ui::vbCancel}));
  EXPECT_EQ(b.fines, std::vector<int>{1});
}

// A long task that shows its progress and lets events run: its Cancelar is pressed at once.
TEST(EndOnSignal, ALongTaskShowingItsProgressIsCancelled) {
  BucleFinal b;
  bool cancelada = false;
  ASSERT_TRUE(b.corre([&] {
    QProgressDialog avance("Generando...", "Cancelar", 0, 1000);
    avance.setWindowModality(Qt::ApplicationModal);
    avance.setMinimumDuration(0);
    avance.show();
    for (int paso = 0; paso < 1000 && !avance.wasCanceled(); ++paso) {
      if (paso == 10) std::raise(SIGTERM);
      avance.setValue(paso);
      QCoreApplication::processEvents();
      QThread::msleep(2);
    }
    cancelada = avance.wasCanceled();
    EXPECT_TRUE(b.fines.empty()) << "not while the task runs";
  }));
  EXPECT_TRUE(cancelada);
  EXPECT_EQ(b.fines, std::vector<int>{1});
}

}  // namespace
