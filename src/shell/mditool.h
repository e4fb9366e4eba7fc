#pragma once
// The program's start: module Mditool's Main.
#include <QString>

namespace mditool {

// Starts the program from its folder rutaPrograma as the edition of product name producto: changes to
// that folder, sets the edition (1 for exactly "Plicadora", else 2) and the message-box title, opens the
// library database "paratorn.kor" shared, shows the splash, loads the main window, waits for the splash
// and shows the main window. No bid is opened. An error is shown ("Error en Mditool.Main ...") and
// ends the start; true when the main window was shown.
bool Main(const QString& rutaPrograma, const QString& producto);

// The end of the program, once its event loop has ended (or its start failed): the main window is
// unloaded if it still is (its unload releases the utility objects and closes the bid, whose windows
// unload through their normal close), any window still loaded is unloaded, the unloaded windows are
// deleted, and then quarvel lets go of the bid and closes the library database. Nothing of the
// database layer is left to the exit handlers of the process.
void Termina();

}  // namespace mditool
