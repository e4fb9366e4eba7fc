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

}  // namespace mditool
