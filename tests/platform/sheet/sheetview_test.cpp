// The sheet view offscreen: rows where twips.h puts them, zoom, scrolling to the active cell, the two
// display settings, a book that goes away.
#include "sheetview.h"

#include "printsamples.h"
#include "qt_print.h"
#include "sheetlayout.h"
#include "twips.h"

#include <QCoreApplication>
#include <QImage>
#include <QScrollBar>
#include <gtest/gtest.h>

using namespace wb;

namespace {

// Rows whose pixel rows carry a dark pixel at column x of the viewport.
std::vector<int> darkRows(SheetView& v, int x) {
  const QImage img = v.viewport()->grab().toImage();
  std::vector<int> out;
  for (int y = 0; y < img.height(); ++y)
    if (qGray(img.pixel(x, y)) < 100)
      out.push_back(y);
  return out;
}

// A sheet with rows of odd heights and a thick rule under row 3.
void ruled(Book& b) {
  b.setRowHeight(1, 255);
  b.setRowHeight(2, 487);
  b.setRowHeight(3, 300);
  b.setActiveCell(3, 1);
  b.setBorder(-1, -1, -1, -1, 5, -1, kKeepColor, kKeepColor, kKeepColor, kKeepColor, 0);
  b.setShowGridlines(false);
  b.setShowHeadings(false);
}

// A view of the book, shown offscreen.
void open(SheetView& v, Book* b, QSize size) {
  v.resize(size);
  v.setBook(b);
  v.show();
}

TEST(SheetView, RowsLieWhereTwipsBecomePixels) {
  Book b;
  ruled(b);
  SheetView v;
  open(v, &b, QSize(400, 300));
  // 255 + 487 + 300 = 1042 twips: a rule of 45 twips (3 pixels) centred on the pixel of that edge.
  const int foot = ui::twipsToPixels(255 + 487 + 300);
  EXPECT_EQ(darkRows(v, 20), (std::vector<int>{foot - 1, foot, foot + 1}));

  v.setZoom(200);
  EXPECT_EQ(v.zoom(), 200);
  const std::vector<int> zoomed = darkRows(v, 20);
  ASSERT_EQ(zoomed.size(), 6u);
  EXPECT_EQ((zoomed.front() + zoomed.back() + 1) / 2, ui::twipsToPixels(2 * (255 + 487 + 300)));
  v.setZoom(0);
  b.currentSheet().zoom = 50;  // the sheet's own zoom, when none is set on the view
  EXPECT_EQ(v.zoom(), 50);
}

TEST(SheetView, HeadingsAndGridlinesFollowTheSheet) {
  Book b;
  ruled(b);
  SheetView v;
  open(v, &b, QSize(400, 300));
  const std::vector<int> plain = darkRows(v, 60);
  b.setShowHeadings(true);
  const std::vector<int> headed = darkRows(v, 60);
  ASSERT_EQ(plain.size(), 3u);
  ASSERT_GE(headed.size(), 3u);
  EXPECT_GT(headed.back(), plain.back());  // the rows moved down under the column headings
  const QImage img = v.viewport()->grab().toImage();
  EXPECT_NE(img.pixel(5, 5), qRgb(255, 255, 255));  // the heading band
  b.setShowHeadings(false);
  b.setShowGridlines(true);
  const QImage grid = v.viewport()->grab().toImage();
  const int rowFoot = ui::twipsToPixels(255);
  EXPECT_NE(grid.pixel(200, rowFoot), qRgb(255, 255, 255));
  EXPECT_EQ(grid.pixel(200, rowFoot + 3), qRgb(255, 255, 255));
}

TEST(SheetView, ShowActiveCellScrollsToIt) {
  Book b;
  samples::budget(b, 300);
  SheetView v;
  open(v, &b, QSize(600, 400));
  EXPECT_EQ(v.firstVisibleRow(), 1);
  b.setActiveCell(250, 4);
  b.showActiveCell();
  EXPECT_EQ(v.firstVisibleRow(), 250);
  // A cell already in sight does not move the view.
  b.setActiveCell(252, 5);
  b.showActiveCell();
  EXPECT_EQ(v.firstVisibleRow(), 250);
  b.setActiveCell(1, 1);
  b.showActiveCell();
  EXPECT_EQ(v.firstVisibleRow(), 1);
  EXPECT_EQ(v.firstVisibleCol(), 1);
}

TEST(SheetView, ScrollRangeCoversTheSheetAndABookThatGoesAway) {
  auto b = std::make_unique<Book>();
  samples::budget(*b, 300);
  SheetView v;
  v.resize(600, 400);
  v.setBook(b.get());
  v.show();
  const SheetLayout layout(b->workbook(), b->currentSheet());
  EXPECT_GE(v.verticalScrollBar()->maximum(), ui::twipsToPixels(double(layout.rowTop(305))) - 400);
  v.verticalScrollBar()->setValue(v.verticalScrollBar()->maximum());
  EXPECT_GT(v.firstVisibleRow(), 280);
  // While the book's repaint is off the view hears nothing; it catches up when repaint comes back.
  b->setRepaint(false);
  b->clearAll();
  EXPECT_GT(v.verticalScrollBar()->maximum(), 0);
  b->setRepaint(true);
  QCoreApplication::processEvents();
  EXPECT_EQ(v.verticalScrollBar()->maximum(), 0);
  b.reset();
  EXPECT_EQ(v.book(), nullptr);
  EXPECT_FALSE(v.viewport()->grab().isNull());
}

}  // namespace
