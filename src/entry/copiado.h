#pragma once
// Module copiado: blocks of grid rows through the clipboard as tab-separated text with a header row of
// column captions (what spreadsheet programs write and read), the prices such a block sets in the
// budget, the dates and volumes it sets in the work schedule, and the schedule's period table.
//
// The module sees grids only through the two small interfaces below and the clipboard only through
// portapapeles.h, so it includes no widget header. A window hands its bound grid over in an adapter of
// a few lines; the text-box side of the copy and paste commands (a control that is no grid copies its
// selected text and takes the whole clipboard text) is the window's, on portapapeles().
//
// Text format: the header line holds the caption of every visible column, each followed by a TAB; then
// one line per copied row with each visible cell's shown text (a CR in it becomes a blank) followed by
// a TAB; every line ends in CR LF.
#include <daotypes.h>
#include <variant.h>

#include <QString>
#include <cstdint>
#include <vector>

namespace copiado {

// ---- Copy

// What the copy reads of a grid.
class GridCopia {
public:
  virtual ~GridCopia() = default;
  virtual int Columnas() const = 0;                    // every column, hidden ones included
  virtual bool Visible(int col) const = 0;
  virtual QString Caption(int col) const = 0;
  // The marked rows in the order of the grid's list: bookmarks of the grid's recordset.
  virtual std::vector<dao::Bookmark> Marcados() const = 0;
  // The text the cell of that row shows (formatted as in the grid).
  virtual QString Texto(const dao::Bookmark& fila, int col) = 0;
};

// The block of the marked rows (header line included).
QString textoCopia(GridCopia& grid);
// The copy command on a grid: the clipboard is cleared and then gets textoCopia, when rows are marked.
// Errors are shown ("copiado.copiaClipboard "...), none reaches the caller.
void copiaClipboard(GridCopia& grid);

// ---- Paste

// What a paste needs of the window whose grid takes it.
class DestinoPegado {
public:
  virtual ~DestinoPegado() = default;
  // The window's name: rows pasted into "FrmPre" set unit prices per code, into "FrmPrograma" dates
  // and volumes of the work schedule; other windows take none.
  virtual QString Forma() const = 0;
  // A single value (text with neither TAB nor CR) goes into the grid's current cell, as if typed there;
  // false when that cell takes no value (read-only), true once the grid had it (accepted or refused
  // with its own message).
  virtual bool PegaCelda(const QString& texto) = 0;
  // Before a block's rows are applied. The budget window moves its recordset to the first record when
  // the current row's código is empty; a grid refusing to leave its row raises error 3426.
  virtual void PreparaBloque() {}
  // After rows were applied to the work schedule: its grid reads them again.
  virtual void Refresca() {}
};

// The paste command on a grid: the clipboard's text through pegaTexto.
void pegaClipboard(DestinoPegado& destino);
// Pastes a text whose rows end in CR LF: nothing when empty; a single value into the current cell;
// otherwise a block, whose header names the columns and whose rows are applied one by one (a last row
// without its line end too), in one transaction. A block is refused whole, before any row, with a
// message: in a window that takes no rows, without the columns its window needs, or with a number cell
// that reads as a comma decimal. Errors are shown, none reaches the caller; rows already applied stay,
// unless the bid could not be written (then none does).
void pegaTexto(const QString& texto, DestinoPegado& destino);

// Logical columns of a pasted block; period n is kPeriodo0 + n.
enum ColumnaPegada : int16_t { kCodigo = 1, kPrecio, kPartida, kRenglon, kComienzo, kFin, kPeriodo0 = kFin };

// Module data of the paste under way (index 0 unused in both vectors).
// mapaColumnas[k]: the 1-based position in the block of the column carrying logical column k, 0 when
// the block has none; sized to Periodos + 6 of the open bid.
inline std::vector<int16_t> mapaColumnas;
// The cells of the row being applied, one per pasted column (Empty where the row had none).
inline std::vector<vb::Variant> renglonPegado;
// The window the last row was applied to.
inline QString formaPegado;
// A row step sets it false to end the paste after the current row.
inline bool continuarPegado = false;
// Set when a row could not be written because the bid cannot be: the paste then stores none of its rows.
inline bool escrituraRechazada = false;

// Applies the current row (renglonPegado) to the window `forma`; its own errors are shown and the
// paste goes on.
void pegaclipdetalle(const QString& forma);
// Writes a unit price to every budget row of a code, with Importe = KorGen::Redondea(Cantidad x
// precio). Nothing when the code is empty. Database errors go to the caller.
void actualizaPrecioCodigo(const QString& codigo, vb::Currency precio);
// A price typed or pasted for a code: rounded to the bid's decimals (KorGen::Redondea) and written
// with its amounts to every row of the code, all of them or none. The price stored; errors (13 for
// no number, 6 for amounts too large) go to the caller with nothing written.
vb::Currency ponPrecioCodigo(const QString& codigo, const vb::Variant& valor);
// A pasted cell that is to be read as a number: a comma in its text is a thousands separator or the
// text is no number (error 13), so "12,5" from a sheet with comma decimals is never read as 125;
// "3,512.80" and "$1,650.00" are numbers, "0,500" is none (a first group "0" groups no thousands).
// Anything without a comma is returned as it is.
vb::Variant numeroPegado(const vb::Variant& celda);
// A cell that reads as a number with a comma as its decimal point ("14,90", "0,500", "1.234,5"); not
// one whose commas group thousands ("16,800", "3,512.80").
bool esComaDecimal(const vb::Variant& valor);
// A typed value that is to be a number (a price, a volume, a parity, a factor): VB's IsNumeric with
// the paste's rule on commas, so a typed "12,5" is no number either.
bool esNumero(const vb::Variant& valor);
// The value of logical column `columna` in the current row: its cell when the block has that column
// and the cell is not empty, else `omision` (an empty text for Null); a partida keeps at most 40
// characters. Error 9 for a column outside mapaColumnas.
vb::Variant valorColumnaPegada(int16_t columna, const vb::Variant& omision);

// ---- Schedule rows

// Applies the current row to the work schedule (a block with partida and renglón columns pasted into
// FrmPrograma): finds the concept, settles its start and end dates against the project's and writes the
// pasted volumes to Programa, one row per period (0 or an empty cell deletes it). The row is checked
// once, on the volumes it leaves the concept with (those stored, the pasted ones in their place): when
// they add up to more than the concept's quantity nothing of the row is applied and the user is asked
// whether to go on. The dates cover the volumes the row leaves; dates pasted alone fold the volumes
// they leave out into their first or last period, as typed dates do. A row without its concept is
// skipped; a row with a volume or date that does not read as one is refused whole (error 13) before
// anything is written. Database errors go to the caller.
void pegaRenglonPrograma();
// A block with date columns and no period column: the pasted Comienzo and Fin replace the concept's
// dates; outside the project or crossed, the user is asked whether to go on (No ends the paste) and
// the row is skipped (false).
bool validaFechasActividad(vb::Variant& fechaIni, vb::Variant& fechaFin, const QString& partida, int32_t renglon);
// No date column: the dates become the start of the first and the end of the last period holding a
// volume once the row is applied (period 1 when none), within the project's dates.
void ajustaFechasProyecto(vb::Variant& fechaIni, vb::Variant& fechaFin);
// Dates and periods: a date outside the first (last) period holding a volume once the row is applied
// becomes that period's start (end); then both within the project's dates.
void ajustaFechasPegadas(vb::Variant& fechaIni, vb::Variant& fechaFin);
// The sum of every volume of a concept (0 when none).
vb::Currency volumenProgramado(const QString& partida, int32_t renglon);

// ---- Period table

// Rebuilds quarvel::tablaPeriodos from DatosGenerales (Periodos, FechaInicioProy, FechaFinalProy,
// Periodicidad): entry n, for n = 1..Periodos, holds the first and last day of period n of the project
// (periodos.h), from the period of the start to the period of the end; entries beyond the periods
// covered stay zero. Months are whole months; fortnights, weeks and days are cut at the project's
// start and end. With Periodos not above 0 the table is left as it is; without both project dates
// every entry stays zero.
void calculaPeriodos();
// The last day of the month of a date (serial day numbers).
double ultimoDiaMes(double fecha);

}  // namespace copiado
