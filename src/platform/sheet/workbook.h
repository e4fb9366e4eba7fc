#pragma once
// A workbook: its sheets, the shared style pool, and what of a read .xlsx file the model does not
// interpret (kept to be written back unchanged).
#include "sheet.h"

#include <QHash>
#include <QString>
#include <map>
#include <memory>
#include <vector>

namespace vb {
class NumberFormat;
}

namespace wb {

// Parts and workbook XML of a read file that the model does not interpret, written back as read.
struct BookExtras {
  std::map<QString, QByteArray> parts;      // part name (no leading "/") -> bytes
  std::map<QString, QString> contentTypes;  // part name -> content type, for the kept parts
  std::map<QString, QString> defaultTypes;  // extension -> content type ([Content_Types].xml Default)
  std::vector<SheetExtras::Rel> rootRels;   // _rels/.rels entries other than the workbook and doc props
  std::vector<SheetExtras::Rel> bookRels;   // workbook relationships other than sheets, styles, strings
  std::vector<SheetExtras::Element> bookElements;  // workbook.xml children we do not model
  std::vector<QByteArray> definedNames;     // <definedName> elements other than print area and titles
  QByteArray dxfs;                          // styles.xml <dxfs> (differential formats of conditional formats)
  QString mainContentType;                  // of the workbook part (macro-enabled books keep theirs)
};

class Workbook {
public:
  Workbook();  // one empty sheet "Hoja1"
  ~Workbook();

  std::vector<std::unique_ptr<Sheet>> sheets;
  StylePool styles;
  int activeSheet = 0;  // 0-based
  bool date1904 = false;  // only as read; serial numbers in cells are always in the 1900 system
  BookExtras extras;

  const Font& defaultFont() const { return styles.at(0).font; }
  int defaultRowHeight() const;                // twips, one line of the default font
  int maxDigitWidthPx() const;                 // of the default font at 96 dpi, for .xlsx column widths
  int colWidth(const Sheet& s, int c) const;   // twips, the column's or the sheet's default
  int defaultColWidth(const Sheet& s) const;   // twips
  int rowHeight(const Sheet& s, int r) const;  // twips, the row's or the sheet's default

  // The text a cell shows: a string as it is, a number through its number format, "#VALUE!" and the
  // like for errors, "VERDADERO"/"FALSO" for Booleans, "" for an empty cell.
  QString displayText(const Sheet& s, int r, int c) const;
  QString displayText(const Cell& c) const;
  const vb::NumberFormat& numberFormat(const QString& code) const;  // parsed once per code

  // A sheet name not yet used: "Hoja1", "Hoja2", ...
  QString freshSheetName() const;
  int sheetIndex(const QString& name) const;  // 0-based, -1 when missing; names compare without case

  quint64 uid() const { return uid_; }  // tells workbooks apart (the clipboard reuses style indexes)

private:
  mutable QHash<QString, std::shared_ptr<vb::NumberFormat>> formats_;
  quint64 uid_;
};

}  // namespace wb
