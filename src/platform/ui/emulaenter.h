#pragma once
// Enter and Down act as Tab, Up as Shift+Tab, in the forms that ask for it. The key still reaches the
// control first (a combo box still moves its choice on Down); the focus moves after it, as a Tab
// keystroke queued behind the key being handled would. The focus moves as Tab moves
// it in the control's window (or MDI child), whatever the control itself does with Tab.
#include <QObject>

class QKeyEvent;
class QWidget;

namespace ui {

// VB key codes: 13 Enter, 40 Down move forward, 38 Up backward; any other code does nothing.
void EmulaEnter(int keyCode);
void EmulaEnter(const QKeyEvent* event);

// A form's key preview: every key pressed in any control of `form` goes through EmulaEnter before the
// control sees it. The filter belongs to the form and ends with it.
void installEmulaEnter(QWidget* form);

}  // namespace ui
