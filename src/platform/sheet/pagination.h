#pragma once
// How a sheet falls onto printed pages. Pure arithmetic on the row heights and column widths of
// SheetLayout, in twips, at the sheet's own print scale (100% for report templates, so a printed row
// is exactly as tall as the program measured it).
//
// - The area printed is the print area, else rows 1..last used row and columns 1..last used column,
//   widened to take in the drawing objects.
// - The page body is the paper less the top/bottom (left/right) margins.
// - Manual breaks come first: a row (column) in the break list starts a new page. Automatic breaks
//   are the fall-back: a page takes rows while they fit, and a row is never split; a row taller than
//   the body gets a page of its own and is cut at its foot.
// - Print titles are repeated at the top (left) of every page that starts below (right of) them,
//   and take their room from that page's body.
// - Pages are numbered down then over, or over then down when the sheet says so.
// - A page with nothing of its own is left out, as spreadsheet programs leave it out
//   (leaveOutEmptyPages): beside the repeated titles its rows and columns hold no value, no border
//   and no drawing object, and no text runs into it from the left.
#include "sheetlayout.h"

#include <QRectF>
#include <QSizeF>
#include <optional>
#include <utility>
#include <vector>

namespace wb {

struct PrintPage {
  Range body;  // the sheet's rows and columns printed on this page
  std::optional<std::pair<int, int>> titleRows, titleCols;  // repeated on this page
};

struct Pagination {
  QSizeF paper;   // twips, in the page's orientation
  QRectF body;    // the paper less the margins (twips)
  double scale = 1;  // printed size per sheet size
  std::optional<Range> area;  // none: nothing to print
  std::vector<PrintPage> pages;
};

// `paper` is the paper size in twips, already turned for the sheet's orientation.
Pagination paginate(const Sheet& sheet, const SheetLayout& layout, QSizeF paper);

// Leaves out the pages with nothing of their own; when every page is empty, they all stay.
void leaveOutEmptyPages(Pagination& pagination, const Workbook& wb, const Sheet& sheet, const SheetLayout& layout);

// The area printed when the sheet has no print area: the used cells and the drawing objects.
std::optional<Range> usedArea(const Sheet& sheet);

}  // namespace wb
