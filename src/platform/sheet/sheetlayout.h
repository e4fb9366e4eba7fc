#pragma once
// Where rows, columns and drawing objects of a sheet lie, in twips from the top-left corner of cell A1.
// The sheet view, printing and PDF all place things through this one table, so a row is as tall on the
// screen as on paper; only the final step to device units differs (see renderer.h).
// Hidden rows and columns take no room.
#include "sheet.h"
#include "workbook.h"

#include <QRectF>
#include <vector>

namespace wb {

class SheetLayout {
public:
  // Rows and columns beyond the sheet's stored ones (and its objects) have the default height and width.
  SheetLayout(const Workbook& wb, const Sheet& sheet);

  qint64 rowTop(int r) const;  // r may be one past the last row: the bottom of row r - 1
  int rowHeight(int r) const;
  qint64 colLeft(int c) const;
  int colWidth(int c) const;
  int rowAt(double y) const;  // the row whose span holds y (1 above the sheet, kMaxRows below it)
  int colAt(double x) const;

  QRectF cellRect(int r, int c) const { return rangeRect(Range{r, c, r, c}); }
  QRectF rangeRect(const Range& r) const;
  // An object's box: fractional 1-based column and row units turned into twips through the widths and
  // heights of the columns and rows it lies in.
  QRectF objectRect(const ObjPos& p) const;
  double xOf(double colUnits) const;
  double yOf(double rowUnits) const;

  // Rows and columns that have their own size (beyond them everything is default).
  int storedRows() const { return int(rowTops_.size()) - 1; }
  int storedCols() const { return int(colLefts_.size()) - 1; }
  int defaultRowHeight() const { return defaultRow_; }
  int defaultColWidth() const { return defaultCol_; }

private:
  std::vector<qint64> rowTops_;  // rowTops_[i] = top of row i + 1; one more entry than rows
  std::vector<qint64> colLefts_;
  int defaultRow_ = 255, defaultCol_ = 1440;
  static qint64 startOf(const std::vector<qint64>& starts, int step, int i, int maxIndex);
  static int indexAt(const std::vector<qint64>& starts, int step, double pos, int maxIndex);
};

}  // namespace wb
