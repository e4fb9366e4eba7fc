#include "frmreparar.h"

#include <algorithm>

#include "copiaformato.h"
#include "dialogos.h"
#include "files.h"
#include "korgen.h"
#include "msgbox.h"
#include "puntero.h"
#include "twips.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using dialogos::control;
using dialogos::twips;

namespace {

// Runs one statement of the repair: a missing file (53) and an invalid range (20006, an empty sheet)
// go on with the next statement; any other error ends the repair.
template <typename F> void sigue(F&& paso) {
  try {
    paso();
  } catch (const vb::Error& e) {
    if (e.number() != 53 && e.number() != 20006)
      throw;
  }
}

// A workbook of the old binary format (an OLE compound file), which the program does not read.
bool formatoAntiguo(const QString& ruta) {
  QFile f(ruta);
  return f.open(QIODevice::ReadOnly) && f.read(8) == QByteArray::fromHex("D0CF11E0A1B11AE1");
}

// The sheet settings: page set-up (margins, orientation, header and footer, print area and titles,
// breaks, scale) and view switches.
void copiaAjustes(const wb::Sheet& origen, wb::Sheet& destino) {
  destino.page = origen.page;
  destino.showGridlines = origen.showGridlines;
  destino.showHeadings = origen.showHeadings;
  destino.zoom = origen.zoom;
  destino.defaultRowHeight = origen.defaultRowHeight;
  destino.defaultColChars = origen.defaultColChars;
  destino.baseColChars = origen.baseColChars;
}

}  // namespace

frmReparar::frmReparar(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("frmReparar"));
  setWindowTitle(QStringLiteral("Reparar hojas de cálculo"));
  setFixedSize(ui::twipsToPixels(QSizeF(6960, 1320)));
  Label1 = control<QLabel>(this, QStringLiteral("Label1"), QStringLiteral("Hoja de calculo a procesar"),
                           twips(120, 120, 4800, 240));
  Text1 = control<QLineEdit>(this, QStringLiteral("Text1"), twips(120, 360, 4800, 315));
  Command2 = control<QPushButton>(this, QStringLiteral("Command2"), QStringLiteral("..."), twips(4980, 360, 375, 315));
  Command1 = control<QPushButton>(this, QStringLiteral("Command1"), QStringLiteral("Reparar"),
                                  twips(5580, 120, 1215, 375));
  Command3 = control<QPushButton>(this, QStringLiteral("Command3"), QStringLiteral("Salir"),
                                  twips(5580, 600, 1215, 375));
  for (QPushButton* b : {Command1, Command2, Command3}) {
    b->setAutoDefault(false);
    b->setDefault(false);
  }
  connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });
  connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
  connect(Command3, &QPushButton::clicked, this, [this] { Command3_Click(); });
}

void frmReparar::Command2_Click() {
  try {
    // Templates are .xlsx content whatever their extension; a legacy .xls is listed so that choosing
    // it gets its message.
    CommonDialog1.Filter = QStringLiteral("Hojas de cálculo|*.xlsx;*.kor;*.xls");
    CommonDialog1.ShowOpen();
    Text1->setText(CommonDialog1.FileName);
  } catch (const vb::Error&) {
    // Cancelled.
  }
}

QString frmReparar::nombreRespaldo(const QString& ruta) { return ruta.left(ruta.size() - 3) + QStringLiteral("bak"); }

void frmReparar::Command1_Click() {
  puntero::Reloj();
  const QString ruta = Text1->text();
  try {
    // A fresh copy each time: a second repair in the same window starts from one empty sheet too.
    Nuevo.newWorkbook();
    const wb::Book::FileType tipo = Anterior.read(ruta);
    copiaHojas();
    quitaRellenos();
    wb::Book::clearClipboard();
    guarda(ruta, tipo);
  } catch (const vb::Error& e) {
    wb::Book::clearClipboard();
    puntero::Normal();
    if (e.number() == 20011) {
      // An old binary workbook is told apart: the layer's description says what to do with it.
      ui::MsgBox(formatoAntiguo(ruta) ? e.description() : QStringLiteral("No se puede abrir el archivo"),
                 ui::vbCritical, QStringLiteral("Quarvel 2007"));
    } else {
      ui::MsgBox(QStringLiteral("ErrorReparar: ") + QString::number(e.number()) + QLatin1Char(' ') +
                 e.description());
    }
    return;
  }
  puntero::Normal();
  ui::MsgBox(QStringLiteral("La hoja ha sido reparada"), ui::vbInformation);
}

void frmReparar::copiaHojas() {
  const int n = Anterior.numSheets();
  for (int i = 1; i < n; ++i)
    sigue([&] { Nuevo.insertSheets(Nuevo.numSheets() + 1, 1); });
  // Names the new sheets were given ("Hoja2", ...) must not stand in the way of the source's names.
  for (int i = 1; i <= Nuevo.numSheets(); ++i)
    sigue([&] { Nuevo.setSheetName(i, QStringLiteral("~%1~").arg(i)); });
  for (int i = 1; i <= n; ++i)
    sigue([&] { Nuevo.setSheetName(i, Anterior.sheetName(i)); });

  for (int i = 1; i <= n; ++i) {
    Anterior.setSheet(i);
    Nuevo.setSheet(i);
    const int R = Anterior.lastRow(), C = Anterior.lastCol();
    sigue([&] { Anterior.setSelection(1, 1, R, C); });
    sigue([&] { Anterior.editCopy(); });
    sigue([&] { Nuevo.setActiveCell(1, 1); });
    sigue([&] { Nuevo.editPaste(); });
    for (int c = 1; c <= Anterior.lastCol(); ++c)
      sigue([&] { Nuevo.setColWidth(c, Anterior.colWidth(c)); });
    copiaAjustes(Anterior.currentSheet(), Nuevo.currentSheet());
  }
  for (int i = 1; i <= n; ++i) {
    Anterior.setSheet(i);
    Nuevo.setSheet(i);
    for (int r = 1; r <= Anterior.lastRow(); ++r)
      sigue([&] { Nuevo.setRowHeight(r, Anterior.rowHeight(r)); });
  }
  for (int i = 1; i <= n; ++i) {
    Anterior.setSheet(i);
    Nuevo.setSheet(i);
    CopiaRango(Anterior, Nuevo);
  }
}

void frmReparar::CopiaRango(wb::Book& origen, wb::Book& destino) {
  const int R = destino.row();
  // The first error ends the walk: no first object (a sheet without any), no object after the last.
  try {
    int id = origen.objFirstId();
    const int ultimo = KorGen::UltimoObjeto(origen);
    for (int cuenta = id; cuenta <= ultimo; ++cuenta) {
      // Where it was (below the target's current row): a picture moved up a row would leave the
      // section it belongs to, and a repaired template would print without its logo.
      const wb::ObjPos p = origen.objPos(id);
      repgen::copiaObjeto(origen, id, destino, {p.x1, p.y1 + (R - 1), p.x2, p.y2 + (R - 1)});
      id = origen.objNextId(id);
    }
  } catch (const vb::Error&) {
  }
  destino.setRow(R);
}

// A solid fill in black on white is a stray fill: the cell is left without fill, its colours kept.
void frmReparar::quitaRellenos() {
  for (int i = 1; i <= Nuevo.numSheets(); ++i) {
    Nuevo.setSheet(i);
    const int R = Nuevo.lastRow(), C = Nuevo.lastCol();
    for (int r = 1; r <= R; ++r)
      for (int c = 1; c <= C; ++c) {
        Nuevo.setActiveCell(r, c);
        const wb::Book::Pattern p = Nuevo.pattern();
        if (p.pattern == 1 && p.fg == 0 && p.bg == 0xFFFFFF)
          Nuevo.setPattern(0, p.fg, p.bg);
      }
    Nuevo.setActiveCell(1, 1);
  }
  Nuevo.setSheet(1);
}

// The rebuilt workbook takes the source's place whole, the source staying as the backup (files.h):
// a file that cannot be written leaves the source where it was, and the name holds a whole workbook
// whatever stops the repair.
void frmReparar::guarda(const QString& ruta, wb::Book::FileType tipo) {
  // The backup goes beside the file repaired, a symbolic link followed to it.
  const QString destino = files::writeTarget(ruta);
  const QString respaldo = nombreRespaldo(destino);
  Nuevo.write(destino, tipo, respaldo != destino ? respaldo : QString());
}

void frmReparar::Command3_Click() { ui::Forms::instance().unload(this); }

void frmReparar::reject() { Command3_Click(); }
