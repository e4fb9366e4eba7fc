#pragma once
// The message-box service. Every message box of the program goes through MsgBox(), so that tests
// answer them from a script and read back what was shown. The constants keep VB's numbers.
#include <QString>

#include <functional>

class QObject;

namespace ui {

// Buttons, icon and default button, combined with "|" as in VB (vbYesNo | vbInformation).
enum VbMsgBoxStyle : int {
  vbOKOnly = 0,
  vbOKCancel = 1,
  vbAbortRetryIgnore = 2,
  vbYesNoCancel = 3,
  vbYesNo = 4,
  vbRetryCancel = 5,
  vbCritical = 16,
  vbQuestion = 32,
  vbExclamation = 48,
  vbInformation = 64,
  vbDefaultButton1 = 0,
  vbDefaultButton2 = 256,
  vbDefaultButton3 = 512,
};
constexpr VbMsgBoxStyle operator|(VbMsgBoxStyle a, VbMsgBoxStyle b) {
  return static_cast<VbMsgBoxStyle>(static_cast<int>(a) | static_cast<int>(b));
}

// The button the user pressed.
enum VbMsgBoxResult : int { vbOK = 1, vbCancel = 2, vbAbort = 3, vbRetry = 4, vbIgnore = 5, vbYes = 6, vbNo = 7 };

struct MsgBoxRequest {
  QString prompt;                   // as the caller wrote it, line ends included
  VbMsgBoxStyle buttons = vbOKOnly;
  QString title;                    // already resolved: the application title when the caller gave none

  VbMsgBoxStyle buttonSet() const { return static_cast<VbMsgBoxStyle>(buttons & 0x0F); }
  VbMsgBoxStyle icon() const { return static_cast<VbMsgBoxStyle>(buttons & 0xF0); }
  // The answers of this box's buttons, left to right.
  QList<VbMsgBoxResult> answers() const;
  // The answer of the default button (the one Enter presses).
  VbMsgBoxResult defaultAnswer() const;
  // The answer that goes back on the question: Cancelar, else No, else the first button.
  VbMsgBoxResult cancelAnswer() const;
};

class MsgBoxService {
public:
  virtual ~MsgBoxService() = default;
  virtual VbMsgBoxResult show(const MsgBoxRequest& request) = 0;
};

// Shows a message box and returns the button pressed. An empty title gives the application title.
// A buttons value outside VB's button sets raises error 5. While the program ends on a signal
// (endonsignal.h) no box is shown: each is answered with its cancelAnswer().
VbMsgBoxResult MsgBox(const QString& prompt, VbMsgBoxStyle buttons = vbOKOnly,
                      const QString& title = QString());

// The title of boxes shown without one: the product name the program was started under.
QString appTitle();

// A click is not over while its mouse button is held: a box opened then would take the release
// from the window under the pointer, and the click would do nothing.
bool MouseButtonHeld();
// Runs `action` from the event loop once no mouse button is held (looking again every 20 ms), unless
// `context` is gone by then. For a message that can wait for the click that caused it.
void AfterClick(QObject* context, std::function<void()> action);

// Makes `service` answer every message box from now on and returns the one it replaces;
// nullptr brings back the windowed boxes. The caller keeps ownership.
MsgBoxService* installMsgBoxService(MsgBoxService* service);

// Modal QMessageBox with Spanish buttons ("Aceptar", "Cancelar", "Sí", "No", ...).
class QtMsgBoxService : public MsgBoxService {
public:
  VbMsgBoxResult show(const MsgBoxRequest& request) override;
};

}  // namespace ui
