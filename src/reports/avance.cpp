#include "avance.h"

#include <QApplication>
#include <QCoreApplication>
#include <QProgressDialog>

namespace {

constexpr int kIntervalo = 40;  // ms between two looks at the window system

}  // namespace

int& Avance::espera() {
  static int ms = 500;
  return ms;
}

Avance::Avance(QWidget* parent, const QString& texto) : parent_(parent), texto_(texto) { reloj_.start(); }

Avance::~Avance() {
  if (dialogo_)
    delete dialogo_.data();
}

void Avance::etapa(const QString& texto) {
  texto_ = texto;
  if (dialogo_)
    delete dialogo_.data();
  ultimaVez_ = -1;
  nuevaEtapa_ = true;
}

void Avance::reinicia(const QString& texto) {
  etapa(texto);
  cancelado_ = false;
}

bool Avance::operator()(int hechos, int total) {
  if (cancelado_)
    return false;
  if (nuevaEtapa_) {
    // The stage starts with its first step, not when it was announced (a print dialog may come between).
    nuevaEtapa_ = false;
    reloj_.restart();
  }
  if (hechos >= total) {
    // Done: a dialog at its end would only stand over the window that shows the result.
    if (dialogo_)
      delete dialogo_.data();
    return true;
  }
  const qint64 ahora = reloj_.elapsed();
  if (ultimaVez_ >= 0 && ahora - ultimaVez_ < kIntervalo)
    return true;
  ultimaVez_ = ahora;
  if (!dialogo_ && ahora >= espera()) {
    QWidget* encima = QApplication::activeModalWidget();
    dialogo_ = new QProgressDialog(texto_, QStringLiteral("Cancelar"), 0, std::max(1, total), encima ? encima : parent_);
    dialogo_->setObjectName(QStringLiteral("Avance"));
    dialogo_->setWindowTitle(QCoreApplication::applicationName());
    dialogo_->setWindowModality(Qt::ApplicationModal);
    dialogo_->setMinimumDuration(0);
    dialogo_->setAutoClose(false);
    dialogo_->setAutoReset(false);
    dialogo_->show();
  }
  // Until the dialog is there, nothing else runs: work that is over within half a second is never
  // interleaved with other events.
  if (dialogo_) {
    dialogo_->setMaximum(std::max(1, total));
    dialogo_->setValue(std::clamp(hechos, 0, std::max(1, total)));
    // The dialog is modal: only it takes the user's input meanwhile.
    QCoreApplication::processEvents();
    cancelado_ = dialogo_->wasCanceled();
  }
  return !cancelado_;
}
