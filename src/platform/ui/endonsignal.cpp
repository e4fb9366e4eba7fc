#include "endonsignal.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QDialog>
#include <QPointer>
#include <QSocketNotifier>
#include <QThread>
#include <QWidget>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace ui {

namespace {

int pipeEnds[2] = {-1, -1};

// All a signal handler may safely do: note the signal where the event loop will read it.
void noteSignal(int) {
  const int saved = errno;
  const char byte = 1;
  [[maybe_unused]] const ssize_t written = ::write(pipeEnds[1], &byte, 1);
  errno = saved;
}

class EndOnSignal : public QObject {
public:
  EndOnSignal() : QObject(qApp), notifier_(pipeEnds[0], QSocketNotifier::Read, this) {
    connect(&notifier_, &QSocketNotifier::activated, this, [this] { signalRead(); });
    if (QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance())
      connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, this, [this] { waiting(); });
  }

  void reset(std::function<void()> newEnd) {
    end = std::move(newEnd);
    ending = ended_ = endPosted_ = false;
    tried_ = nullptr;
  }

  std::function<void()> end;
  bool ending = false;

private:
  void signalRead() {
    char bytes[64];
    while (::read(pipeEnds[0], bytes, sizeof bytes) > 0) {
    }
    if (ending) return;
    ending = true;
    // A long task's progress may be what is on screen: its Cancelar is pressed at once.
    closeTopmost();
  }

  // The program is about to wait for the user: the next window in the way goes, or, with none left
  // and the main event loop the one waiting, the end is run as soon as this wait is over.
  void waiting() {
    if (!ending || ended_ || endPosted_ || closeTopmost()) return;
    if (QThread::currentThread()->loopLevel() > 1) return;
    endPosted_ = true;
    QMetaObject::invokeMethod(this, [this] { runEnd(); }, Qt::QueuedConnection);
  }

  void runEnd() {
    endPosted_ = false;
    if (closeTopmost() || QThread::currentThread()->loopLevel() > 1) return;  // the next wait tries again
    // The program is ending from here on: whatever its last steps ask is answered as Cancelar too.
    ended_ = true;
    if (end) end();
  }

  // Closes the popup or modal window on top, if any, once. True when one is still in the way.
  bool closeTopmost() {
    QWidget* top = QApplication::activePopupWidget();
    if (!top) top = QApplication::activeModalWidget();
    if (!top) return false;
    if (top != tried_) {
      tried_ = top;
      top->close();
      // A message box without a Cancelar refuses its close box.
      if (tried_ && tried_->isVisible())
        if (auto* dialog = qobject_cast<QDialog*>(tried_.data())) dialog->reject();
    }
    return true;
  }

  QSocketNotifier notifier_;
  QPointer<QWidget> tried_;
  bool endPosted_ = false;
  bool ended_ = false;
};

QPointer<EndOnSignal>& installed() {
  static QPointer<EndOnSignal> instance;
  return instance;
}

}  // namespace

void installEndOnSignal(std::function<void()> end) {
  if (!installed()) {
    if (pipeEnds[0] < 0 && ::pipe2(pipeEnds, O_NONBLOCK | O_CLOEXEC) != 0) return;
    installed() = new EndOnSignal;
    struct sigaction action = {};
    action.sa_handler = noteSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : {SIGTERM, SIGHUP, SIGINT}) ::sigaction(signal, &action, nullptr);
  }
  installed()->reset(std::move(end));
}

bool endingOnSignal() { return installed() && installed()->ending; }

}  // namespace ui
