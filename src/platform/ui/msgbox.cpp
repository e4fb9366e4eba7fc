#include "msgbox.h"

#include "endonsignal.h"
#include "error.h"

#include <QApplication>
#include <QCursor>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QTimer>

namespace ui {

namespace {

MsgBoxService*& installed() {
  static MsgBoxService* service = nullptr;
  return service;
}

QString buttonCaption(VbMsgBoxResult r) {
  switch (r) {
    case vbOK: return QStringLiteral("Aceptar");
    case vbCancel: return QStringLiteral("Cancelar");
    case vbAbort: return QStringLiteral("Anular");
    case vbRetry: return QStringLiteral("Reintentar");
    case vbIgnore: return QStringLiteral("Omitir");
    case vbYes: return QStringLiteral("Sí");
    case vbNo: return QStringLiteral("No");
  }
  return QString();
}

QMessageBox::ButtonRole buttonRole(VbMsgBoxResult r) {
  switch (r) {
    case vbOK: return QMessageBox::AcceptRole;
    case vbCancel: return QMessageBox::RejectRole;
    case vbYes: return QMessageBox::YesRole;
    case vbNo: return QMessageBox::NoRole;
    default: return QMessageBox::ActionRole;
  }
}

QMessageBox::Icon boxIcon(VbMsgBoxStyle icon) {
  switch (icon) {
    case vbCritical: return QMessageBox::Critical;
    case vbQuestion: return QMessageBox::Question;
    case vbExclamation: return QMessageBox::Warning;
    case vbInformation: return QMessageBox::Information;
    default: return QMessageBox::NoIcon;
  }
}

// Windows line ends of the program's texts shown as plain line breaks.
QString displayText(QString text) {
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  return text;
}

// The hourglass of a long task must not hide the pointer over a box that waits for the user.
class ArrowWhileShown {
public:
  ArrowWhileShown() : active_(QApplication::overrideCursor() != nullptr) {
    if (active_) QApplication::setOverrideCursor(Qt::ArrowCursor);
  }
  ~ArrowWhileShown() {
    if (active_) QApplication::restoreOverrideCursor();
  }

private:
  bool active_;
};

}  // namespace

QList<VbMsgBoxResult> MsgBoxRequest::answers() const {
  switch (buttonSet()) {
    case vbOKOnly: return {vbOK};
    case vbOKCancel: return {vbOK, vbCancel};
    case vbAbortRetryIgnore: return {vbAbort, vbRetry, vbIgnore};
    case vbYesNoCancel: return {vbYes, vbNo, vbCancel};
    case vbYesNo: return {vbYes, vbNo};
    case vbRetryCancel: return {vbRetry, vbCancel};
    default: return {};
  }
}

VbMsgBoxResult MsgBoxRequest::defaultAnswer() const {
  const QList<VbMsgBoxResult> all = answers();
  if (all.isEmpty()) return vbOK;
  const int index = (buttons & 0x300) >> 8;  // vbDefaultButton1..3
  return all.value(index, all.first());
}

VbMsgBoxResult MsgBoxRequest::cancelAnswer() const {
  const QList<VbMsgBoxResult> all = answers();
  if (all.contains(vbCancel)) return vbCancel;
  if (all.contains(vbNo)) return vbNo;
  return all.value(0, vbOK);
}

QString appTitle() { return QCoreApplication::applicationName(); }

bool MouseButtonHeld() { return QGuiApplication::mouseButtons() != Qt::NoButton; }

void AfterClick(QObject* context, std::function<void()> action) {
  QTimer::singleShot(MouseButtonHeld() ? 20 : 0, context, [context, action = std::move(action)]() mutable {
    if (MouseButtonHeld())
      AfterClick(context, std::move(action));
    else
      action();
  });
}

MsgBoxService* installMsgBoxService(MsgBoxService* service) {
  MsgBoxService* previous = installed();
  installed() = service;
  return previous;
}

VbMsgBoxResult MsgBox(const QString& prompt, VbMsgBoxStyle buttons, const QString& title) {
  MsgBoxRequest request{prompt, buttons, title.isEmpty() ? appTitle() : title};
  if (request.answers().isEmpty()) throw vb::Error(5);
  if (endingOnSignal()) return request.cancelAnswer();
  if (MsgBoxService* service = installed()) return service->show(request);
  QtMsgBoxService qt;
  return qt.show(request);
}

VbMsgBoxResult QtMsgBoxService::show(const MsgBoxRequest& request) {
  QMessageBox box(boxIcon(request.icon()), request.title, displayText(request.prompt),
                  QMessageBox::NoButton, QApplication::activeWindow());
  box.setTextFormat(Qt::PlainText);  // the texts are the program's own, never markup
  QList<QPair<QAbstractButton*, VbMsgBoxResult>> buttons;
  for (VbMsgBoxResult answer : request.answers()) {
    QPushButton* b = box.addButton(buttonCaption(answer), buttonRole(answer));
    buttons.append({b, answer});
    if (answer == request.defaultAnswer()) box.setDefaultButton(b);
    if (answer == vbCancel || request.buttonSet() == vbOKOnly) box.setEscapeButton(b);
  }
  ArrowWhileShown arrow;
  // The window and control that had the keyboard get it back: where no window manager reactivates
  // the box's parent, the keys typed next would otherwise reach no window.
  const QPointer<QWidget> window = QApplication::activeWindow();
  const QPointer<QWidget> focus = QApplication::focusWidget();
  box.exec();
  if (window && window->isVisible() && QApplication::activeWindow() != window) window->activateWindow();
  if (focus && focus->isVisible() && focus->window() == window) focus->setFocus(Qt::ActiveWindowFocusReason);
  for (const auto& [button, answer] : buttons)
    if (box.clickedButton() == button) return answer;
  // Closed without a button (rejected: the end on a signal closing a box without Cancelar).
  return request.cancelAnswer();
}

}  // namespace ui
