#include "pagination.h"

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

}  // namespace

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
