#pragma once
// SIGTERM (a desktop logout, kill), SIGHUP (the terminal gone) and SIGINT (Ctrl+C) end the program as
// its own exit command does, instead of killing it where it stands with the user's work unsaved.
//
// The handler only writes a byte to a pipe that the event loop watches. Once that byte is read, and
// for as long as the program lives:
// - every message box is answered as Cancelar without being shown (No on a box without Cancelar,
//   Aceptar on a box of that button alone, Anular on Anular/Reintentar/Omitir);
// - the popup or modal window on top, now and each time the program waits for the user again, is
//   closed as its close box closes it (a dialog's Cancelar, a progress's Cancelar), one at a time,
//   so that the code that opened each one goes on as after the user's own close;
// - once the program waits in its main event loop with no modal window left, `end` runs: the
//   program's exit command, which ends the event loop with status 0.
// A signal that comes after the first changes nothing.
#include <functional>

namespace ui {

// Catches the three signals from now on. Call once, after the QApplication exists; a later call
// replaces `end` and forgets a signal already read.
void installEndOnSignal(std::function<void()> end);

// True once a caught signal has been read: the program is ending.
bool endingOnSignal();

}  // namespace ui
