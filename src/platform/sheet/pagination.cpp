#include "pagination.h"

#include "metrics.h"

#include <algorithm>
#include <cmath>
#include <functional>

namespace wb {

namespace {

constexpr double kTwipsPerInch = 1440;

struct Span {
  int first, last;
  bool titles;  // the print titles are repeated before it
};

// Cuts first..last into pages of at most `room` (less the titles where they repeat).
std::vector<Span> cut(int first, int last, double room, const std::set<int>& breaks,
                      const std::optional<std::pair<int, int>>& titles, const std::function<double(int)>& size) {
  double titleSize = 0;
  if (titles)
    for (int i = titles->first; i <= titles->second; ++i)
      titleSize += size(i);
  std::vector<Span> out;
  int i = first;
  while (i <= last) {
    const int start = i;
    // Titles are repeated on a page that starts below them, when they leave room for a row.
    const bool repeat = titles && start > titles->second && titleSize < room;
    const double avail = room - (repeat ? titleSize : 0);
    double used = 0;
    while (i <= last) {
      if (i != start && breaks.count(i))
        break;
      const double s = size(i);
      if (i != start && used + s > avail + 1e-6)
        break;
      used += s;
      ++i;
    }
    out.push_back(Span{start, i - 1, repeat});
  }
  return out;
}

bool hasBorder(const CellStyle& s) {
  return s.left.style != LineStyle::None || s.right.style != LineStyle::None || s.top.style != LineStyle::None ||
         s.bottom.style != LineStyle::None;
}

// The cells of a row from column `from` on.
std::vector<Cell>::const_iterator firstFrom(const Row& row, int from) {
  return std::lower_bound(row.cells.begin(), row.cells.end(), from,
                          [](const Cell& c, int col) { return c.col < col; });
}

bool inMerge(const Sheet& sheet, int r, int c) {
  return std::any_of(sheet.merges.begin(), sheet.merges.end(), [&](const Range& m) { return m.contains(r, c); });
}

// Whether the text of the nearest cell left of column c on row r runs over into column c, as the
// renderer lets unwrapped text run over into empty cells.
bool runsIn(const Workbook& wb, const Sheet& sheet, const SheetLayout& layout, int r, int c) {
  const Row* row = sheet.row(r);
  if (!row)
    return false;
  auto it = firstFrom(*row, c);
  while (it != row->cells.begin() && (it - 1)->type == Cell::Type::Empty)
    --it;
  if (it == row->cells.begin())
    return false;
  const Cell& cell = *(it - 1);
  const CellStyle& s = wb.styles.at(cell.style);
  const bool toRight = s.h == HAlign::General || s.h == HAlign::Left || s.h == HAlign::Center ||
                       s.h == HAlign::CenterAcross || s.h == HAlign::Distributed;
  if (cell.type != Cell::Type::Text || s.wrap || s.rotation != 0 || !toRight || inMerge(sheet, r, cell.col))
    return false;
  const double room = double(layout.colLeft(c) - layout.colLeft(cell.col));
  // Text much shorter than the room needs no measuring.
  if (double(cell.text.size()) * 1.5 * s.font.sizeTwips + 2 * metrics::kCellPadTwips <= room)
    return false;
  const double w = metrics::textWidth(s.font, cell.text) + metrics::kCellPadTwips + metrics::indentTwips(s);
  const double reach = s.h == HAlign::Left || s.h == HAlign::General
                           ? w
                           : (layout.colWidth(cell.col) + w + metrics::kCellPadTwips) / 2;
  return reach > room + 0.5;
}

bool printsSomething(const Workbook& wb, const Sheet& sheet, const SheetLayout& layout, const Range& b) {
  for (int r = b.r1; r <= b.r2; ++r) {
    const Row* row = sheet.row(r);
    if (!row)
      continue;
    for (auto it = firstFrom(*row, b.c1); it != row->cells.end() && it->col <= b.c2; ++it)
      if (it->hasValue() || hasBorder(wb.styles.at(it->style)))
        return true;
  }
  // A merged area with a value that reaches into the page from outside it.
  for (const Range& m : sheet.merges)
    if (m.r2 >= b.r1 && m.r1 <= b.r2 && m.c2 >= b.c1 && m.c1 <= b.c2)
      if (const Cell* x = sheet.cell(m.r1, m.c1); x && x->hasValue())
        return true;
  const QRectF box = layout.rangeRect(b);
  for (const DrawingObject& o : sheet.objects) {
    // Rows first: a report has a logo on every page.
    if (std::max(o.pos.y1, o.pos.y2) <= b.r1 || std::min(o.pos.y1, o.pos.y2) >= b.r2 + 1)
      continue;
    const QRectF meet = layout.objectRect(o.pos).normalized().intersected(box);
    if (meet.width() > 0.5 && meet.height() > 0.5)
      return true;
  }
  for (int r = b.r1; r <= b.r2; ++r)
    if (runsIn(wb, sheet, layout, r, b.c1))
      return true;
  return false;
}

}  // namespace

void leaveOutEmptyPages(Pagination& pagination, const Workbook& wb, const Sheet& sheet, const SheetLayout& layout) {
  std::vector<PrintPage> kept;
  for (const PrintPage& p : pagination.pages)
    if (printsSomething(wb, sheet, layout, p.body))
      kept.push_back(p);
  if (!kept.empty())
    pagination.pages = std::move(kept);
}

std::optional<Range> usedArea(const Sheet& sheet) {
  int rows = sheet.lastRow(), cols = sheet.lastCol();
  for (const DrawingObject& o : sheet.objects) {
    // An object ending exactly on a row's top edge does not reach into that row.
    const double y = std::max(o.pos.y1, o.pos.y2), x = std::max(o.pos.x1, o.pos.x2);
    rows = std::max(rows, std::clamp(int(std::ceil(y)) - 1, 1, kMaxRows));
    cols = std::max(cols, std::clamp(int(std::ceil(x)) - 1, 1, kMaxCols));
  }
  if (rows <= 0 || cols <= 0)
    return std::nullopt;
  return Range{1, 1, rows, cols};
}

Pagination paginate(const Sheet& sheet, const SheetLayout& layout, QSizeF paper) {
  const PageSetup& ps = sheet.page;
  Pagination pg;
  pg.paper = paper;
  const double left = ps.left * kTwipsPerInch, right = ps.right * kTwipsPerInch;
  const double top = ps.top * kTwipsPerInch, bottom = ps.bottom * kTwipsPerInch;
  pg.body = QRectF(left, top, std::max(1.0, paper.width() - left - right), std::max(1.0, paper.height() - top - bottom));
  pg.scale = std::clamp(ps.scale, 10, 400) / 100.0;
  pg.area = ps.printArea ? ps.printArea : usedArea(sheet);
  if (!pg.area)
    return pg;
  const Range a = *pg.area;
  auto valid = [](const std::optional<std::pair<int, int>>& t, int max) {
    return t && t->first >= 1 && t->first <= t->second && t->second <= max ? t : std::nullopt;
  };
  const auto titleRows = valid(ps.titleRows, kMaxRows);
  const auto titleCols = valid(ps.titleCols, kMaxCols);
  const std::vector<Span> rows =
      cut(a.r1, a.r2, pg.body.height() / pg.scale, ps.rowBreaks, titleRows, [&](int r) { return layout.rowHeight(r); });
  const std::vector<Span> cols =
      cut(a.c1, a.c2, pg.body.width() / pg.scale, ps.colBreaks, titleCols, [&](int c) { return layout.colWidth(c); });
  auto page = [&](const Span& r, const Span& c) {
    PrintPage p;
    p.body = Range{r.first, c.first, r.last, c.last};
    if (r.titles)
      p.titleRows = titleRows;
    if (c.titles)
      p.titleCols = titleCols;
    pg.pages.push_back(p);
  };
  if (ps.overThenDown) {
    for (const Span& r : rows)
      for (const Span& c : cols)
        page(r, c);
  } else {
    for (const Span& c : cols)
      for (const Span& r : rows)
        page(r, c);
  }
  return pg;
}

}  // namespace wb
