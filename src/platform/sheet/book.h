#pragma once
// wb::Book: one spreadsheet instance as the report code drives it (the template, the report, the
// scratch sheet, the repair's source and copy). It owns a Workbook and keeps the current sheet, the
// current cell, the selection (a cell range or a set of drawing objects) and the repaint switch.
// Every cell, format, row, column, object, find and page operation acts on the current sheet.
//
// Units: rows and columns 1-based; row heights and column widths in twips; margins in inches; font
// sizes read in twips and set in whole points; colours 0x00RRGGBB.
// Errors: vb::Error with these numbers:
//   20011 the file cannot be opened or read (missing, not a workbook, a legacy .xls, damaged);
//   20006 an invalid range or argument (a row or column off the sheet, r2 < r1, a bad sheet name);
//   20100 no such drawing object (also "no first object" and "no object after this one");
//   20101 no such sheet;  20102 the file cannot be written.
#include "sheet.h"
#include "workbook.h"

#include <QObject>
#include <memory>
#include <optional>

namespace wb {

class Book : public QObject {
  Q_OBJECT
public:
  enum class FileType { Xlsx = 1 };
  using ClearMode = Sheet::ClearMode;

  explicit Book(QObject* parent = nullptr);  // a new workbook of one empty sheet "Hoja1"
  ~Book() override;

  // --- Files ---
  // Replaces the whole workbook. The current sheet becomes the file's active sheet, the current cell
  // (1, 1). A file that cannot be read raises 20011 and leaves the book as it was.
  FileType read(const QString& path);
  // With a backup name, the file as it was stays under that name.
  void write(const QString& path, FileType type = FileType::Xlsx, const QString& backup = {}) const;
  void newWorkbook();  // back to one empty sheet

  // --- Sheets (numbers 1..numSheets) ---
  int numSheets() const;
  int sheet() const;  // the current sheet's number
  void setSheet(int n);
  QString sheetName(int n) const;
  void setSheetName(int n, const QString& name);  // up to 31 characters, none of []:*?/\, unique
  void insertSheets(int at, int count);           // empty sheets "HojaN" before sheet `at` (numSheets+1 appends)
  void deleteSheets(int at, int count);           // numbers close up; the last sheet cannot go

  // --- Current cell and selection ---
  int row() const;
  int col() const;
  void setRow(int r);  // moves the current cell; the selection collapses to it (objects deselected)
  void setCol(int c);
  void setActiveCell(int r, int c);
  void setSelection(int r1, int c1, int r2, int c2);  // the current cell goes to (r1, c1)
  Range selection() const;
  bool objectsSelected() const;
  const std::vector<int>& selectedObjects() const;

  // --- Cell content (the current cell) ---
  QString text() const;  // what the cell shows; "#VALUE!" for that error; "" when empty
  void setText(const QString& s);  // stored as text, verbatim ("12" stays text); "" empties the cell
  double number() const;           // 0 unless a number
  void setNumber(double x);
  void setDate(double serial);     // a number; a General cell also gets "[$-80A]dd/mm/yyyy"
  QString formula() const;         // formula text without "=", "" for a constant
  bool isEmpty() const;

  // --- Formats (read from the current cell, set on every cell of the selection) ---
  QString numberFormat() const;
  void setNumberFormat(const QString& code);

  struct Alignment {
    HAlign h = HAlign::General;
    bool wrap = false;
    VAlign v = VAlign::Bottom;
    int rotation = 0;  // .xlsx textRotation (the orientation of the group of four)
    bool operator==(const Alignment&) const = default;
  };
  Alignment alignment() const;
  void setAlignment(const Alignment& a);

  // The group of nine as read; styles as LineStyle numbers (0 none, 1 thin, ...).
  struct Borders {
    int left = 0, right = 0, top = 0, bottom = 0;
    bool shade = false;
    Rgb crLeft = 0, crRight = 0, crTop = 0, crBottom = 0;
    bool operator==(const Borders&) const = default;
  };
  Borders border() const;
  // The group of eleven. -1 (kKeepColor for colours) leaves a value as it is. left..bottom set those
  // sides of every cell of the selection; then outline >= 0 sets the outer edges of the selection in
  // crOutline (so "thin outline, then no left, right and bottom" leaves a rule along the top).
  void setBorder(int outline, int left, int right, int top, int bottom, int shade, Rgb crOutline, Rgb crLeft,
                 Rgb crRight, Rgb crTop, Rgb crBottom);

  struct FontAttr {
    QString name;
    int sizeTwips = 200;
    bool bold = false, italic = false, underline = false, strike = false;
    Rgb color = 0;
    bool outline = false, shadow = false;
    bool operator==(const FontAttr&) const = default;
  };
  FontAttr font() const;  // size in twips
  void setFont(const QString& name, int sizePoints, bool bold, bool italic, bool underline, bool strike, Rgb color,
               bool outline, bool shadow);  // size in whole points
  void setFontBold(bool bold);

  struct Pattern {
    int pattern = 0;  // 0 none, 1 solid, 2..18 (see Fill)
    Rgb fg = 0, bg = 0xFFFFFF;
    bool operator==(const Pattern&) const = default;
  };
  Pattern pattern() const;
  void setPattern(int pattern, Rgb fg, Rgb bg);

  // The whole style of the current cell, and setting it on the selection (for the template tools).
  const CellStyle& cellStyle() const;
  void setCellStyle(const CellStyle& s);

  // --- Rows and columns (twips) ---
  int colWidth(int c) const;
  void setColWidth(int c, int twips);
  int rowHeight(int r) const;
  void setRowHeight(int r, int twips);  // 0..32767
  // Fits rows r1..r2 to the tallest non-empty cell of columns c1..c2, measured as printed (metrics.h).
  // A row with no such cell gets the default height when setDefaults, else keeps its height.
  void setRowHeightAuto(int r1, int c1, int r2, int c2, bool setDefaults);
  int defaultRowHeight() const;
  int lastRow() const;  // last row or column with a value or a format; 0 on an empty sheet
  int lastCol() const;

  // --- Find ---
  // flags: 0 = the text anywhere in the cell, without regard to case; 2 = the whole cell (also without
  // regard to case); +1 = match case. Cells are searched row by row over what they show; the first
  // hit is returned and announced through found(). A miss returns nothing and announces nothing.
  // The current cell does not move.
  std::optional<CellRef> find(const QString& text, int r1, int c1, int r2, int c2, int flags);

  // --- Editing ---
  // Inserts empty rows r1..r2 within columns c1..c2, moving what was there down (see Sheet::insertRows).
  void insertRange(int r1, int c1, int r2, int c2);
  // Clears a range. The whole sheet (1, 1, kMaxRows, kMaxCols) with ClearMode::All also resets row
  // heights and manual breaks, keeping column widths, the page set-up and the drawing objects.
  void clearRange(int r1, int c1, int r2, int c2, ClearMode mode);
  void clearAll() { clearRange(1, 1, kMaxRows, kMaxCols, ClearMode::All); }
  void editClear();  // selected objects are deleted; else the selected cells are cleared (All)
  // Internal clipboard shared by every Book of the process (the system clipboard is left alone).
  // A cell range carries values, formulas, styles and merges, and the row heights when it spans the
  // sheet's used width from column 1. An object selection carries copies of the objects.
  void editCopy();
  // Pastes at the selection's top-left cell (formulas move with it), or appends the copied objects
  // at their copied positions with new ids, the highest of them last.
  void editPaste();
  static void clearClipboard();

  // --- Drawing objects (ids) ---
  int objFirstId() const;        // 20100 when the sheet has none
  int objNextId(int id) const;   // the next id after `id`; 20100 after the last
  void objSelect(int id);        // the object alone becomes the selection
  void objAddSelection(int id);
  ObjPos objPos(int id) const;
  void setObjPos(int id, const ObjPos& p);
  int addPicture(const ObjPos& p, const QByteArray& data, const QString& ext);  // returns the id
  int addShape(DrawingObject::Kind kind, const ObjPos& p);
  const DrawingObject& object(int id) const;

  // --- Page set-up of the current sheet ---
  PageSetup& pageSetup();
  const PageSetup& pageSetup() const;
  double printTopMargin() const { return pageSetup().top; }
  double printBottomMargin() const { return pageSetup().bottom; }
  bool printLandscape() const { return pageSetup().landscape; }
  QString printHeader() const { return pageSetup().header; }
  void setPrintHeader(const QString& s) { pageSetup().header = s; }
  QString printFooter() const { return pageSetup().footer; }
  void setPrintFooter(const QString& s) { pageSetup().footer = s; }
  void addRowPageBreak(int r);  // row r starts a new printed page
  void addColPageBreak(int c);
  void clearPageBreaks();
  // A selection of columns 1..(255 or more) repeats its rows on every page; one of rows
  // 1..kMaxRows its columns; anything else (a single cell) removes the print titles.
  void setPrintTitlesFromSelection();
  void setPrintArea(const Range& r);
  void setPrintAreaFromSelection();
  void clearPrintArea();
  // The "two display settings" of the view.
  void setShowGridlines(bool on);
  void setShowHeadings(bool on);

  // --- Display ---
  void setRepaint(bool on);  // off: no changed() while a report is generated; on: one changed()
  bool repaint() const { return repaint_; }
  void showActiveCell();  // asks a view to scroll to the current cell (activeCellShown())

  // --- Direct access for views, printing and the .xlsx code ---
  Workbook& workbook() { return *wb_; }
  const Workbook& workbook() const { return *wb_; }
  Sheet& currentSheet();
  const Sheet& currentSheet() const;

signals:
  void found(int sheet, int row, int col);  // the find notification
  void changed();                           // the content or look changed (not while repaint is off)
  void activeCellShown(int row, int col);

private:
  std::unique_ptr<Workbook> wb_;
  int cur_ = 0;  // current sheet, 0-based
  bool repaint_ = true;
  struct SheetState {
    int row = 1, col = 1;
    Range sel;
    std::vector<int> objects;  // selected object ids; non-empty = object selection
  };
  std::vector<SheetState> state_;

  SheetState& st() { return state_[size_t(cur_)]; }
  const SheetState& st() const { return state_[size_t(cur_)]; }
  const Cell* currentCell() const;
  template <typename F> void restyleSelection(F&& change);
  void checkCell(int r, int c) const;
  void checkSheet(int n) const;
  void notify();
  void resetState();
};

}  // namespace wb
