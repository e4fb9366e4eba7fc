#pragma once
// Acts on the modal windows that code under test opens: each action runs once, on the next modal
// window shown (a dialog shown again counts again), so a test answers a real Qt dialog without a user.
#include <QApplication>
#include <QEvent>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <deque>
#include <functional>

class ModalDriver : public QObject {
public:
  ModalDriver() { qApp->installEventFilter(this); }
  ~ModalDriver() override { qApp->removeEventFilter(this); }

  void then(std::function<void(QWidget*)> action) { actions_.push_back(std::move(action)); }
  bool done() const { return actions_.empty(); }

protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Show && watched->isWidgetType()) {
      auto* w = static_cast<QWidget*>(watched);
      if (w->isWindow() && w->isModal() && !actions_.empty()) {
        auto action = std::move(actions_.front());
        actions_.pop_front();
        QPointer<QWidget> target(w);
        // Once the dialog's own loop runs, as a user's click would come.
        QTimer::singleShot(0, this, [target, action] {
          if (target) action(target);
        });
      }
    }
    return false;
  }

private:
  std::deque<std::function<void(QWidget*)>> actions_;
};
