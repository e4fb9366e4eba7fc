#include "sheetlayout.h"

#include <algorithm>
#include <cmath>

namespace wb {

SheetLayout::SheetLayout(const Workbook& wb, const Sheet& sheet) {
  defaultRow_ = sheet.defaultRowHeight >= 0 ? sheet.defaultRowHeight : wb.defaultRowHeight();
  defaultCol_ = wb.defaultColWidth(sheet);
  int rows = std::max(sheet.rowCount(), sheet.lastRow());
  int cols = std::max(sheet.colCount(), sheet.lastCol());
  for (const DrawingObject& o : sheet.objects) {
    rows = std::max(rows, int(std::min<double>(kMaxRows, std::ceil(std::max(o.pos.y1, o.pos.y2)))));
    cols = std::max(cols, int(std::min<double>(kMaxCols, std::ceil(std::max(o.pos.x1, o.pos.x2)))));
  }
  // Starts of each row (column) and the end of the last: running sums of the sizes.
  auto starts = [](std::vector<qint64>& out, int n, auto&& size) {
    out.resize(size_t(n) + 1);
    qint64 at = 0;
    for (int i = 1; i <= n; ++i) {
      out[size_t(i - 1)] = at;
      at += size(i);
    }
    out[size_t(n)] = at;
  };
  starts(rowTops_, rows, [&](int r) {
    const Row* rw = sheet.row(r);
    return rw && rw->hidden ? 0 : rw && rw->height >= 0 ? rw->height : defaultRow_;
  });
  starts(colLefts_, cols, [&](int c) {
    const ColInfo* ci = sheet.colInfo(c);
    return ci && ci->hidden ? 0 : ci && ci->width >= 0 ? ci->width : defaultCol_;
  });
}

qint64 SheetLayout::startOf(const std::vector<qint64>& starts, int step, int i, int maxIndex) {
  const int n = int(starts.size()) - 1;
  i = std::clamp(i, 1, maxIndex + 1);
  if (i <= n + 1)
    return starts[size_t(i - 1)];
  return starts[size_t(n)] + qint64(i - 1 - n) * step;
}

qint64 SheetLayout::rowTop(int r) const { return startOf(rowTops_, defaultRow_, r, kMaxRows); }

int SheetLayout::rowHeight(int r) const { return int(rowTop(r + 1) - rowTop(r)); }

qint64 SheetLayout::colLeft(int c) const { return startOf(colLefts_, defaultCol_, c, kMaxCols); }

int SheetLayout::colWidth(int c) const { return int(colLeft(c + 1) - colLeft(c)); }

int SheetLayout::indexAt(const std::vector<qint64>& starts, int step, double pos, int maxIndex) {
  if (pos < 0)
    return 1;
  const int n = int(starts.size()) - 1;
  if (pos >= double(starts[size_t(n)])) {
    if (step <= 0)
      return std::min(maxIndex, n + 1);
    const qint64 beyond = qint64((pos - double(starts[size_t(n)])) / step);
    return int(std::min<qint64>(maxIndex, n + 1 + beyond));
  }
  // The last start at or before pos; a hidden (empty) span is passed over.
  auto it = std::upper_bound(starts.begin(), starts.begin() + n + 1, qint64(std::floor(pos)));
  return std::clamp(int(it - starts.begin()), 1, maxIndex);
}

int SheetLayout::rowAt(double y) const { return indexAt(rowTops_, defaultRow_, y, kMaxRows); }

int SheetLayout::colAt(double x) const { return indexAt(colLefts_, defaultCol_, x, kMaxCols); }

QRectF SheetLayout::rangeRect(const Range& r) const {
  const double x = double(colLeft(r.c1)), y = double(rowTop(r.r1));
  return QRectF(x, y, double(colLeft(r.c2 + 1)) - x, double(rowTop(r.r2 + 1)) - y);
}

double SheetLayout::xOf(double units) const {
  const int c = std::clamp(int(std::floor(units)), 1, kMaxCols);
  return double(colLeft(c)) + (units - c) * colWidth(c);
}

double SheetLayout::yOf(double units) const {
  const int r = std::clamp(int(std::floor(units)), 1, kMaxRows);
  return double(rowTop(r)) + (units - r) * rowHeight(r);
}

QRectF SheetLayout::objectRect(const ObjPos& p) const {
  return QRectF(QPointF(xOf(p.x1), yOf(p.y1)), QPointF(xOf(p.x2), yOf(p.y2))).normalized();
}

}  // namespace wb
