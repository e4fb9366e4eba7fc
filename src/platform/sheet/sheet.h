#pragma once
// One worksheet: sparse cells with their style indexes, row heights and column widths in twips, merged
// ranges, drawing objects, page set-up and view settings. Rows and columns are 1-based everywhere.
#include "style.h"

#include <QByteArray>
#include <QString>
#include <optional>
#include <set>
#include <vector>

namespace wb {

inline constexpr int kMaxRows = 1048576;
inline constexpr int kMaxCols = 16384;

struct CellRef {
  int row = 0, col = 0;
  bool operator==(const CellRef&) const = default;
};

// Inclusive, 1-based.
struct Range {
  int r1 = 1, c1 = 1, r2 = 1, c2 = 1;
  bool contains(int r, int c) const { return r >= r1 && r <= r2 && c >= c1 && c <= c2; }
  int rows() const { return r2 - r1 + 1; }
  int cols() const { return c2 - c1 + 1; }
  bool operator==(const Range&) const = default;
};

struct Cell {
  enum class Type : quint8 { Empty, Number, Text, Bool, Error };
  int col = 0;
  int style = 0;  // index in the workbook's StylePool
  Type type = Type::Empty;
  double number = 0;  // Number; Bool as 0/1
  QString text;       // Text; Error as its code ("#VALUE!")
  QString formula;    // formula text without "=", kept as read (not recalculated); empty for a constant
  bool hasValue() const { return type != Type::Empty || !formula.isEmpty(); }
};

struct Row {
  int height = -1;  // twips; -1 = the sheet's default height
  bool customHeight = false;
  bool hidden = false;
  int style = -1;          // row format (.xlsx row@s) given to cells created in the row; -1 none
  std::vector<Cell> cells;  // sorted by column
};

struct ColInfo {
  int width = -1;  // twips; -1 = the sheet's default width
  bool hidden = false;
  int style = -1;  // column format given to new cells of the column; -1 none
};

// Drawing-object position in fractional column/row units, 1-based: x = 1.0 is the left edge of column
// A, y = 3.5 half-way down row 3. Objects therefore stretch with the rows and columns they span.
struct ObjPos {
  double x1 = 1, y1 = 1, x2 = 1, y2 = 1;
  bool operator==(const ObjPos&) const = default;
};

struct DrawingObject {
  enum class Kind : quint8 { Picture, Rect, Ellipse, Line, TextBox, Other };
  int id = 0;  // unique in its sheet; new and pasted objects get one above every existing id
  Kind kind = Kind::Picture;
  ObjPos pos;
  QString name;
  // Picture: the encoded image as stored in the file (png, jpeg, gif, bmp, emf, ...); shared by copies.
  QByteArray imageData;
  QString imageExt;  // "png", "jpeg", ...
  // Shapes.
  Rgb lineColor = 0;
  int lineWidthEmu = 9525;  // 0.75 pt
  bool noLine = false;
  Rgb fillColor = 0xFFFFFF;
  bool noFill = true;
  bool flipH = false, flipV = false;  // lines: which diagonal of the box the line follows
  QString text;                        // text box text
  // The object's own .xlsx XML (inside its anchor) when it was read from a file: written back as it
  // came, so shapes we do not draw are not lost. Empty for objects made by the program.
  QByteArray rawXml;
};

struct PageSetup {
  bool landscape = false;
  int paperSize = 1;  // .xlsx paper code; 1 = Letter
  int scale = 100;
  bool fitToPage = false;
  int fitWidth = 1, fitHeight = 1;
  int firstPageNumber = 1;
  bool useFirstPageNumber = false;
  bool overThenDown = false, blackAndWhite = false, draft = false;
  bool printGridlines = false, printHeadings = false, hCenter = false, vCenter = false;
  double left = 0.7, right = 0.7, top = 0.75, bottom = 0.75, headerMargin = 0.3, footerMargin = 0.3;  // inches
  QString header, footer;  // with their &-codes (see headerfooter.h)
  std::optional<Range> printArea;
  std::optional<std::pair<int, int>> titleRows, titleCols;  // first and last, repeated on every page
  std::set<int> rowBreaks;  // manual breaks: each row here starts a new page
  std::set<int> colBreaks;  // each column here starts a new page
  bool operator==(const PageSetup&) const = default;
};

// .xlsx content of a sheet that the model does not interpret, written back as read (see xlsx.h).
struct SheetExtras {
  struct Element {
    QByteArray name;  // local name, to put it back in the schema's order
    QByteArray xml;
  };
  std::vector<Element> elements;
  struct Rel {
    QString id, type, target;  // target: absolute part name, or as read when external
    bool external = false;
  };
  std::vector<Rel> rels;  // the sheet's relationships other than its drawing
  std::vector<Rel> drawingRels;  // relationships of its drawing that raw object XML refers to
  // A sheet whose part we do not model at all (a chart sheet, ...): kept as its part name and type.
  QString foreignPart, foreignType;
  int sheetId = 0;  // as read; 0 for a new sheet
};

class Sheet {
public:
  explicit Sheet(QString name = QString());

  QString name;
  QString state;  // "" visible, "hidden", "veryHidden"
  PageSetup page;
  bool showGridlines = true, showHeadings = true;
  int zoom = 100;
  int defaultRowHeight = -1;    // twips; -1 = one line of the workbook's default font
  double defaultColChars = -1;  // .xlsx defaultColWidth in characters; -1 = from baseColWidth
  int baseColChars = 8;
  SheetExtras extras;

  // Cells.
  const Cell* cell(int r, int c) const;
  Cell* findCell(int r, int c);
  Cell& cellAt(int r, int c);  // created when missing, with the row's or column's format
  void removeCell(int r, int c);
  int styleAt(int r, int c) const;  // the cell's style, else the row's, else the column's, else 0
  int rowCount() const { return int(rows_.size()); }  // rows that have storage (≥ last used row)
  const Row* row(int r) const { return r >= 1 && r <= int(rows_.size()) ? &rows_[r - 1] : nullptr; }
  Row& rowAt(int r);
  // Last row / column holding a cell with a value or a format; 0 when the sheet is empty.
  int lastRow() const;
  int lastCol() const;

  // Geometry (twips).
  int rowHeight(int r, int defaultHeight) const;
  const ColInfo* colInfo(int c) const { return c >= 1 && c <= int(cols_.size()) ? &cols_[c - 1] : nullptr; }
  ColInfo& colAt(int c);
  int colCount() const { return int(cols_.size()); }

  // Editing.
  enum class ClearMode { All, Contents, Formats };
  void clear(const Range& r, ClearMode mode);
  // Inserts count empty rows at row `at` within columns c1..c2. When the columns cover the whole
  // used width, whole rows move: heights, merges, breaks, print area and objects below shift too.
  void insertRows(int at, int count, int c1, int c2);
  std::vector<Range> merges;

  // Drawing objects, kept in id order.
  std::vector<DrawingObject> objects;
  DrawingObject* object(int id);
  const DrawingObject* object(int id) const;
  int addObject(DrawingObject o);  // gives it the next id and returns it
  void removeObject(int id);
  int nextObjectId() const;

  // Bumped by every change of cells, so cached figures (last row and column) stay right.
  quint64 revision() const { return revision_; }
  void touch() { ++revision_; }

private:
  std::vector<Row> rows_;
  std::vector<ColInfo> cols_;
  quint64 revision_ = 1;
  mutable quint64 usedRevision_ = 0;
  mutable int lastRow_ = 0, lastCol_ = 0;
  void computeUsed() const;
};

// Moves the relative A1 references of a formula by (dr, dc), as a copy and paste does: "$" parts stay,
// text in quotes is left alone, references pushed off the sheet become #REF!.
QString shiftFormula(const QString& formula, int dr, int dc);

// "A1" <-> (row, col).
QString cellName(int row, int col);
QString colName(int col);
std::optional<CellRef> parseCellName(QStringView s);

}  // namespace wb
