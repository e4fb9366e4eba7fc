#pragma once
// The crash benchmarks' steps: a program of the benchmark (the program itself, offscreen, driven
// through one command) started, killed (SIGKILL) at a chosen moment of its command, and the answers
// it gives to its questions and file dialogs.
//
// The step prints "go" just before its command and "fin <ms>" once the command and its writes are
// done; the benchmark starts it with correPaso():
//   bench::Paso p = bench::correPaso("tornavo_x_step", {...}, casa, 12.5);  // killed 12.5 ms after "go"
#include "filedialog.h"
#include "msgbox.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace bench {

// In the step: Yes to every question, Abort to a failing step, Cancel to a retry, OK to the rest;
// every box is echoed to stderr.
class RespuestasSi : public ui::MsgBoxService {
public:
  ui::VbMsgBoxResult show(const ui::MsgBoxRequest& r) override;
};

// In the step: every file dialog picks the same file.
class DialogoFijo : public ui::FileDialogService {
public:
  explicit DialogoFijo(QString ruta) : ruta_(std::move(ruta)) {}
  std::optional<QString> showOpen(const ui::FileDialogRequest&) override { return ruta_; }

private:
  QString ruta_;
};

struct Paso {
  bool empezado = false;   // it printed "go"
  bool terminado = false;  // its command got to its end ("fin")
  double ms = 0;           // the command's time, when it did
  QString error;           // it did not start, never got to "go", or (not killed) did not end well
};

// Runs the step `programa` of the benchmark's folder with `args`, offscreen, its home and settings in
// `casa`; with `matarTras`, kills it that many milliseconds after its "go".
Paso correPaso(const QString& programa, const QStringList& args, const QString& casa,
               std::optional<double> matarTras);

// The benchmark's command line: [--runs N] [--concepts N] [--seed N] [--only NAME] [--keep DIR].
struct Opciones {
  int corridas = 25;     // kills before the command's end, per operation
  int conceptos = 5000;  // of the synthetic bid
  quint32 semilla = 0;   // of the kill times; the clock's unless told
  QString solo;          // the one operation to run
  QString guarda;        // where the files a failed run left are kept
};
// nullopt, after printing `uso` on stderr, when an argument is not one of those.
std::optional<Opciones> leeOpciones(const QStringList& args, const char* uso);

}  // namespace bench
