#pragma once
// The progress of a long generation or print: a dialog with its bar and "Cancelar" that appears once
// the work has gone on for half a second, so that short reports show nothing, over the window the
// user is looking at (the print preview, when the print starts from it), and goes once the work is
// done. From then on, while the work goes on, the program's windows keep repainting; the dialog is
// application-modal, so nothing else can be started meanwhile.
//   Avance avance(this, "Generando el reporte...");
//   for (...) if (!avance(hechos, total)) break;   // false once the user has cancelled
#include <QElapsedTimer>
#include <QPointer>
#include <QString>

class QProgressDialog;
class QWidget;

class Avance {
public:
  Avance(QWidget* parent, const QString& texto);
  ~Avance();
  Avance(const Avance&) = delete;
  Avance& operator=(const Avance&) = delete;

  // `hechos` of `total` done. False once the user has cancelled.
  bool operator()(int hechos, int total);
  bool cancelado() const { return cancelado_; }
  // A further stage of the same work, with its own text: the dialog goes, and comes back once the
  // stage has gone on for half a second.
  void etapa(const QString& texto);
  // Another request of the user's with the same progress (a print started from the preview): a stage
  // that a cancel of the earlier one does not stop.
  void reinicia(const QString& texto);
  // How long the work goes on before the dialog appears (ms).
  static int& espera();

private:
  QWidget* parent_;
  QString texto_;
  QElapsedTimer reloj_;
  qint64 ultimaVez_ = -1;
  bool cancelado_ = false;
  bool nuevaEtapa_ = false;
  QPointer<QProgressDialog> dialogo_;
};
