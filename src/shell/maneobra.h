#pragma once
// The bid file's life cycle: choosing, opening, closing, recent bids, repair (compaction), print gate.
// Everything here works on the globals of quarvel and on the main window when it is loaded (its
// caption, its bar's recent-bid tools, its file dialog); errors are shown here, never passed up.
#include <QString>
#include <cstdint>

namespace ui {
class CommonDialog;
}

namespace maneobra {

// Results of buscaObra.
enum ResultadoBusca : int {
  kObraValida = 1,   // a bid file was chosen and holds Monedas, Partidas and Presupuesto
  kNoExiste = 2,     // the chosen file does not exist (3024)
  kCancelada = 3,    // cancelled, not a bid file, or another error (already shown)
};

// The file dialog of the main window ("Abrir", "Base de datos|*.mdb"); its properties persist between
// uses. A dialog of this module's own stands in while the main window is not loaded.
ui::CommonDialog& dialogoObras();

// Asks for a bid file and opens it. nuevo lets the user name a file that does not exist yet, which is
// then created from the template "TORNAVO.KOR". Choosing the open bid again does nothing.
void pideObra(bool nuevo, const QString& titulo);

// Shows the file dialog (starting at carpeta/archivo) and test-opens the chosen file. On return
// carpeta (ending in the separator) and archivo hold the choice.
int buscaObra(QString& archivo, QString& carpeta, bool nuevo, const QString& titulo);

// Opens the bid at ruta without a dialog (the recent bids).
void Abrearchivo(const QString& ruta);

// Copies the program folder's file archivo (the template bid) to destino.
bool creaObra(const QString& destino, const QString& archivo);

// Opens the shared recordsets of the open bid into quarvel; gives budget rows without dates the
// project's dates and sets the rounding unit. A step that fails is skipped.
void abreRecordSets();

// Puts the open bid first in the library's list of recent bids (at most four, never one twice).
void ActualizaObrasRecientes();
// Shows the recent bids as the tools mnuobra1..mnuobra4 of the main window's File menu.
void MuestraObrasRecientes();
// Opens the recent bid of a tool caption ("&1 " followed by the path).
void AbreObraReciente(const QString& caption);

// Closes the open bid: its windows are unloaded, the database closed, the caption and menus go back
// to the state without a bid.
void CierraArchivo();

// Lets go of every handle of the bid in quarvel: its shared recordsets and queries, then the database
// (closed). CierraArchivo only closes the database, leaving the recordsets as closed objects until the
// next bid replaces them; this leaves nothing. Windows are not touched.
void SueltaObra();
// Lets go of the library database's recordsets, then closes the library database itself.
void CierraBiblioteca();

// Opens quarvel::rsReportes and rsRepOpciones on the library database.
void AbreReportes();

// The repair command: compacts the open bid (or one the user chooses) and the library database.
void mnuReparar();

// Compacts carpeta+archivo in place with the password of clave (";pwd=..."), which the compacted file
// keeps; the file as it was stays as its name without the last four characters plus ".bak" (an older
// .bak is replaced). The name holds the old file or the whole compacted one at every moment, and
// what an interrupted repair left beside the file is removed.
// Errors are shown to the user (3356: the database is in use); none reaches the caller.
// Returns whether the compacted file was written.
bool RepararObra(const QString& carpeta, const QString& archivo, const QString& clave);

// The print gate: the pre-print checks of the open bid (when installed), then a printer must be
// installed ("Debe instalar una impresora"). destino (0 printer, 1 preview) goes to
// quarvel::destinoReporte.
bool PuedeImprimir(int16_t destino);

}  // namespace maneobra
