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
// control sees it. The filter belongs to the form and ends with it. Enter on a focused push button
// presses it instead (as Space does), and Up/Down on a button or check box move the focus once.
void installEmulaEnter(QWidget* form);

// The rule for a push button: Enter (or the keypad's) on an enabled one presses it. True when it did;
// the key is then used up and the focus stays.
bool PressOnEnter(QWidget* control, const QKeyEvent* event);
// Makes that rule hold for the focused push button of every window of the program, whatever its
// buttons' default set-up and whether or not its form has a key preview. Each program calls it once
// at its start; calling it again changes nothing.
void installEnterPressesButtons();
// Up and Down on a button or check box: the preview alone moves the focus (the control's own move to
// its neighbour would take it one control further). True when the control must not get the key.
bool ArrowMovesOnlyOnce(QWidget* control, const QKeyEvent* event);

}  // namespace ui
