// Pagination: where pages break, by the arithmetic of row heights, column widths, margins, manual
// breaks and print titles.
#include "pagination.h"

#include "book.h"
#include "printsamples.h"
#include "qt_print.h"

#include <gtest/gtest.h>

using namespace wb;

namespace {

const QSizeF kLetter(12240, 15840);  // twips, portrait

// Each page as "r1-r2" (rows) or "r1-r2/c1-c2" when columns matter, with "+t" when titles repeat.
QStringList describe(const Pagination& p, bool cols = false) {
  QStringList out;
  for (const PrintPage& pg : p.pages) {
    QString s = QStringLiteral("%1-%2").arg(pg.body.r1).arg(pg.body.r2);
    if (cols)
      s += QStringLiteral("/%1-%2").arg(pg.body.c1).arg(pg.body.c2);
    if (pg.titleRows || pg.titleCols)
      s += QStringLiteral("+t");
    out << s;
  }
  return out;
}

Pagination pages(const Book& b, QSizeF paper = kLetter) {
  const SheetLayout layout(b.workbook(), b.currentSheet());
  return paginate(b.currentSheet(), layout, paper);
}

TEST(Pagination, RowsBreakWhereTheArithmeticSays) {
  // Letter with 1-inch margins leaves 15840 - 2880 = 12960 twips: 43 rows of 300 (43.2).
  struct Case {
    const char* what;
    int rows, height;
    std::function<void(Book&)> setUp;
    QStringList expected;
  };
  const std::vector<Case> cases = {
      {"automatic breaks", 100, 300, [](Book&) {}, {"1-43", "44-86", "87-100"}},
      // 360 x 36 = 12960 exactly: a row that ends on the body's foot still fits.
      {"exact fit", 72, 360, [](Book&) {}, {"1-36", "37-72"}},
      {"titles repeated take room", 100, 300,
       [](Book& b) { b.pageSetup().titleRows = std::pair{1, 2}; },
       // Page 1 holds the titles where they are; later pages have 12960 - 600 left: 41 rows.
       {"1-43", "44-84+t", "85-100+t"}},
      {"manual breaks first", 100, 300,
       [](Book& b) {
         b.addRowPageBreak(10);
         b.addRowPageBreak(60);
       },
       {"1-9", "10-52", "53-59", "60-100"}},
      {"a break on the first row is no page", 20, 300, [](Book& b) { b.addRowPageBreak(1); }, {"1-20"}},
      {"hidden rows take no room", 50, 300,
       [](Book& b) {
         for (int r = 2; r <= 11; ++r)
           b.workbook().sheets[0]->rowAt(r).hidden = true;
       },
       {"1-50"}},
      {"a row taller than the page gets one of its own", 10, 300, [](Book& b) { b.setRowHeight(5, 20000); },
       {"1-4", "5-5", "6-10"}},
      {"half scale fits twice the rows", 100, 300, [](Book& b) { b.pageSetup().scale = 50; }, {"1-86", "87-100"}},
      {"print area", 100, 300, [](Book& b) { b.setPrintArea(Range{20, 1, 30, 1}); }, {"20-30"}},
      {"titles above the print area repeat on every page", 100, 300,
       [](Book& b) {
         b.setPrintArea(Range{11, 1, 100, 1});
         b.pageSetup().titleRows = std::pair{1, 1};
       },
       {"11-52+t", "53-94+t", "95-100+t"}},
  };
  for (const Case& c : cases) {
    Book b;
    samples::plainRows(b, c.rows, c.height);
    c.setUp(b);
    EXPECT_EQ(describe(pages(b)), c.expected) << c.what;
  }
}

TEST(Pagination, ColumnsAcrossAndPageOrder) {
  // 12240 - 2880 = 9360 twips across: three columns of 3000.
  Book b;
  samples::plainRows(b, 60, 300);
  for (int c = 1; c <= 7; ++c) {
    b.setColWidth(c, 3000);
    b.setActiveCell(1, c);
    b.setNumber(c);
  }
  EXPECT_EQ(describe(pages(b), true),
            QStringList({"1-43/1-3", "44-60/1-3", "1-43/4-6", "44-60/4-6", "1-43/7-7", "44-60/7-7"}));
  b.pageSetup().overThenDown = true;
  EXPECT_EQ(describe(pages(b), true),
            QStringList({"1-43/1-3", "1-43/4-6", "1-43/7-7", "44-60/1-3", "44-60/4-6", "44-60/7-7"}));
  b.pageSetup().overThenDown = false;
  b.pageSetup().titleCols = std::pair{1, 1};
  b.addColPageBreak(3);
  EXPECT_EQ(describe(pages(b), true),
            QStringList({"1-43/1-2", "44-60/1-2", "1-43/3-4+t", "44-60/3-4+t", "1-43/5-6+t", "44-60/5-6+t",
                         "1-43/7-7+t", "44-60/7-7+t"}));
  // Landscape paper is wider: four columns a page.
  b.pageSetup().titleCols.reset();
  b.pageSetup().colBreaks.clear();
  EXPECT_EQ(describe(pages(b, kLetter.transposed()), true),
            QStringList({"1-31/1-4", "32-60/1-4", "1-31/5-7", "32-60/5-7"}));
}

TEST(Pagination, ProgramPagedReportPrintsOneReportPageOnEachSheetOfPaper) {
  // The report engine budgets each page with the printer's page height and its own arithmetic
  // (margins at 1435.1 twips an inch, 700 twips of slack) and breaks pages itself: printing must
  // follow those breaks and never add one.
  for (const QSizeF paper : {kLetter, kLetter.transposed()}) {
    Book b;
    const int reportPages = samples::pagedReport(b, 150, paper.height());
    const Pagination p = pages(b, paper);
    ASSERT_EQ(int(p.pages.size()), reportPages) << paper.height();
    ASSERT_GT(reportPages, 3);
    std::set<int> starts{1};
    starts.insert(b.pageSetup().rowBreaks.begin(), b.pageSetup().rowBreaks.end());
    std::set<int> printed;
    for (const PrintPage& pg : p.pages)
      printed.insert(pg.body.r1);
    EXPECT_EQ(printed, starts);
  }
}

TEST(Pagination, AreaTakesInObjectsAndAnEmptySheetHasNoPages) {
  Book b;
  EXPECT_FALSE(pages(b).area.has_value());
  EXPECT_TRUE(pages(b).pages.empty());
  b.setActiveCell(2, 2);
  b.setText("x");
  b.addShape(DrawingObject::Kind::Rect, ObjPos{1.5, 3.0, 4.5, 7.0});  // ends on the top edge of row 7
  EXPECT_EQ(pages(b).area, (Range{1, 1, 6, 4}));
  const Pagination p = pages(b);
  EXPECT_DOUBLE_EQ(p.body.top(), 0.75 * 1440);
  EXPECT_DOUBLE_EQ(p.body.height(), 15840 - 1.5 * 1440);
}

}  // namespace
