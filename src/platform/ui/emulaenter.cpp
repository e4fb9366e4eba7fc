#include "emulaenter.h"

#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QPointer>
#include <QPushButton>
#include <QWidget>

namespace ui {

namespace {

constexpr int kVbKeyReturn = 13;
constexpr int kVbKeyUp = 38;
constexpr int kVbKeyDown = 40;

int vbKeyCode(int qtKey) {
  switch (qtKey) {
    case Qt::Key_Return:
    case Qt::Key_Enter: return kVbKeyReturn;
    case Qt::Key_Up: return kVbKeyUp;
    case Qt::Key_Down: return kVbKeyDown;
    default: return 0;
  }
}

// Where a Tab is worked out: the control's window, or its MDI child frame (Tab stays inside a child).
QWidget* tabScope(QWidget* w) {
  while (w && !w->isWindow() && w->windowType() != Qt::SubWindow) w = w->parentWidget();
  return w;
}

class KeyPreview : public QObject {
public:
  explicit KeyPreview(QWidget* form) : QObject(form), form_(form) {}

  bool eventFilter(QObject* watched, QEvent* event) override {
    // A key the control ignores travels on to its parents through this filter again: act only on its
    // first delivery, to the focused control.
    if (event->type() == QEvent::KeyPress && watched == QApplication::focusWidget()) {
      auto* w = static_cast<QWidget*>(watched);
      auto* key = static_cast<QKeyEvent*>(event);
      if (w == form_ || form_->isAncestorOf(w)) {
        if (PressOnEnter(w, key)) return true;
        EmulaEnter(key);
        return ArrowMovesOnlyOnce(w, key);
      }
    }
    return false;  // the control gets the key as well
  }

private:
  QWidget* form_;
};

// Enter on the focused push button, application-wide. The forms' key previews press their buttons by
// the same rule; whichever filter sees the key first presses the button and uses the key up.
class EnterPressesButtons : public QObject {
public:
  using QObject::QObject;
  bool eventFilter(QObject* watched, QEvent* event) override {
    return event->type() == QEvent::KeyPress && watched == QApplication::focusWidget() &&
           PressOnEnter(static_cast<QWidget*>(watched), static_cast<QKeyEvent*>(event));
  }
};

}  // namespace

void EmulaEnter(int keyCode) {
  if (keyCode != kVbKeyReturn && keyCode != kVbKeyDown && keyCode != kVbKeyUp) return;
  QWidget* scope = tabScope(QApplication::focusWidget());
  if (!scope) return;
  const bool back = keyCode == kVbKeyUp;
  // Posted, so it comes after the key now being delivered, like a keystroke sent to the window.
  QCoreApplication::postEvent(scope, new QKeyEvent(QEvent::KeyPress, back ? Qt::Key_Backtab : Qt::Key_Tab,
                                                   back ? Qt::ShiftModifier : Qt::NoModifier));
}

void EmulaEnter(const QKeyEvent* event) {
  if (event) EmulaEnter(vbKeyCode(event->key()));
}

bool PressOnEnter(QWidget* control, const QKeyEvent* event) {
  auto* button = qobject_cast<QPushButton*>(control);
  if (!button || !event || vbKeyCode(event->key()) != kVbKeyReturn) return false;
  if (event->modifiers() & ~Qt::KeypadModifier) return false;
  if (!button->isEnabled()) return false;
  button->click();
  return true;
}

bool ArrowMovesOnlyOnce(QWidget* control, const QKeyEvent* event) {
  if (!event || (event->key() != Qt::Key_Up && event->key() != Qt::Key_Down)) return false;
  return qobject_cast<QPushButton*>(control) || qobject_cast<QCheckBox*>(control);
}

void installEnterPressesButtons() {
  static QPointer<EnterPressesButtons> installed;
  if (installed || !qApp) return;
  installed = new EnterPressesButtons(qApp);
  qApp->installEventFilter(installed);
}

void installEmulaEnter(QWidget* form) {
  if (!form) return;
  // Installed on the application, as a form's preview sees the keys of every control it holds,
  // including controls created after this call.
  qApp->installEventFilter(new KeyPreview(form));
}

}  // namespace ui
