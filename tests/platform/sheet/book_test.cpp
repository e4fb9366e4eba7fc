// wb::Book: the operations the report code drives, with the semantics it relies on.
#include "book.h"
#include "error.h"
#include "error_of.h"
#include "qt_print.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

using namespace wb;

namespace {

TEST(Sheets, CountNamesInsertDelete) {
  Book b;
  EXPECT_EQ(b.numSheets(), 1);
  EXPECT_EQ(b.sheetName(1), "Hoja1");
  b.insertSheets(2, 2);
  EXPECT_EQ(b.numSheets(), 3);
  EXPECT_EQ(b.sheetName(2), "Hoja2");
  b.setSheetName(3, "Resumen");
  b.setSheet(3);
  b.setText("en resumen");
  // Deleting the sheets before the current one keeps it current; numbers close up.
  b.deleteSheets(1, 2);
  EXPECT_EQ(b.numSheets(), 1);
  EXPECT_EQ(b.sheet(), 1);
  EXPECT_EQ(b.sheetName(1), "Resumen");
  EXPECT_EQ(b.text(), "en resumen");

  EXPECT_EQ(errorOf([&] { b.deleteSheets(1, 1); }), 20006);  // the last sheet stays
  EXPECT_EQ(errorOf([&] { b.setSheet(2); }), 20101);
  EXPECT_EQ(errorOf([&] { b.sheetName(0); }), 20101);
  b.insertSheets(1, 1);
  EXPECT_EQ(errorOf([&] { b.setSheetName(1, "resumen"); }), 20006);  // names compare without case
  EXPECT_EQ(errorOf([&] { b.setSheetName(1, "a/b"); }), 20006);
  EXPECT_EQ(errorOf([&] { b.setSheetName(1, QString(32, 'x')); }), 20006);
}

TEST(Cells, TextIsVerbatimNumbersShowThroughTheirFormat) {
  Book b;
  b.setActiveCell(2, 3);
  b.setText("12");
  EXPECT_EQ(b.text(), "12");
  EXPECT_EQ(b.number(), 0);  // still text
  b.setText(" ");
  EXPECT_EQ(b.text(), " ");
  b.setText("");
  EXPECT_TRUE(b.isEmpty());
  EXPECT_EQ(b.lastRow(), 0);

  struct Case {
    double value;
    const char* format;
    const char* shown;
  } cases[] = {
      {1234567.5, "#,###,###,##0.00##", "1,234,567.50"},
      {0.12345, "#,###,###,##0.00##", "0.1235"},
      {1234.5, "$##,###,###,##0.00##", "$1,234.50"},
      {-1234.5, "$#,##0.00", "-$1,234.50"},
      {1234.5, "$#,##0.00;($#,##0.00)", "$1,234.50"},
      {-1234.5, "$#,##0.00;($#,##0.00)", "($1,234.50)"},
      {0.125, "#,##0.0000%", "12.5000%"},
      {42, "0 \"días naturales\"", "42 días naturales"},
      {5, " ", " "},
      {39887, "dd/mmm/yyyy", "15/mar/2009"},
      {39887, "dd \"de\" mmmm \"de\" yyyy", "15 de marzo de 2009"},
      {1234.5, "General", "1234.5"},
  };
  for (const Case& c : cases) {
    b.setNumber(c.value);
    b.setNumberFormat(c.format);
    EXPECT_EQ(b.text(), QString::fromUtf8(c.shown)) << c.format;
  }
  // A date in a General cell gets a date format in Spanish (Mexico), so that a spreadsheet program
  // in another language shows it as we do; one with a format keeps it.
  b.setActiveCell(5, 1);
  b.setDate(39887);
  EXPECT_EQ(b.text(), "15/03/2009");
  EXPECT_EQ(b.numberFormat(), "[$-80A]dd/mm/yyyy");
  b.setNumberFormat("yyyy");
  b.setDate(39888);
  EXPECT_EQ(b.text(), "2009");
}

TEST(Formats, FontSizeInTwipsOutInPointsAndStylesAreShared) {
  Book b;
  const int before = b.workbook().styles.size();
  for (int r = 1; r <= 500; ++r) {
    b.setActiveCell(r, 1);
    b.setFont("Arial", 8, true, false, false, false, 0, false, false);
    b.setNumberFormat("#,##0.00");
  }
  EXPECT_LE(b.workbook().styles.size(), before + 2);
  b.setActiveCell(7, 1);
  EXPECT_EQ(b.font().sizeTwips, 160);
  EXPECT_TRUE(b.font().bold);
  b.setFontBold(false);
  EXPECT_FALSE(b.font().bold);
  EXPECT_EQ(b.font().sizeTwips, 160);
  EXPECT_EQ(b.numberFormat(), "#,##0.00");
  // The selection gets the format; the current cell is its top-left corner.
  b.setSelection(20, 2, 21, 3);
  b.setPattern(1, 0, 0xFFFFFF);
  b.setActiveCell(21, 3);
  EXPECT_EQ(b.pattern(), (Book::Pattern{1, 0, 0xFFFFFF}));
  b.setPattern(0, kKeepColor, kKeepColor);
  EXPECT_EQ(b.pattern(), (Book::Pattern{0, 0, 0xFFFFFF}));
}

// The report's underline: thin outline with the read borders, then no left, right and bottom.
TEST(Formats, OutlineThenSidesLeavesARuleOnTop) {
  Book b;
  b.setActiveCell(4, 2);
  const Book::Borders read = b.border();
  b.setBorder(1, read.left, read.right, read.top, read.bottom, read.shade, read.crLeft, read.crLeft, read.crRight,
              read.crTop, read.crBottom);
  EXPECT_EQ(b.border(), (Book::Borders{1, 1, 1, 1, false, 0, 0, 0, 0}));
  b.setBorder(-1, 0, 0, -1, 0, -1, kKeepColor, kKeepColor, kKeepColor, kKeepColor, kKeepColor);
  EXPECT_EQ(b.border(), (Book::Borders{0, 0, 1, 0, false, 0, 0, 0, 0}));

  // On a block the outline goes round it; the inner edges are untouched.
  b.setSelection(1, 1, 2, 2);
  b.setBorder(2, -1, -1, -1, -1, 1, 0xFF0000, kKeepColor, kKeepColor, kKeepColor, kKeepColor);
  b.setActiveCell(1, 1);
  EXPECT_EQ(b.border(), (Book::Borders{2, 0, 2, 0, true, 0xFF0000, 0, 0xFF0000, 0}));
  b.setActiveCell(2, 2);
  EXPECT_EQ(b.border(), (Book::Borders{0, 2, 0, 2, true, 0, 0xFF0000, 0, 0xFF0000}));
}

TEST(Formats, WholeColumnsAreFormattedWithoutMakingCells) {
  Book b;
  b.setActiveCell(3, 4);
  b.setNumber(2.5);
  b.setSelection(1, 4, kMaxRows, 4);
  b.setNumberFormat("#,##0.000");
  EXPECT_EQ(b.currentSheet().rowCount(), 3);
  b.setActiveCell(3, 4);
  EXPECT_EQ(b.text(), "2.500");
  b.setActiveCell(50000, 4);
  b.setNumber(1);  // a new cell of the column takes its format
  EXPECT_EQ(b.text(), "1.000");
}

TEST(Used, LastRowAndColumnCountFormattedEmptyCells) {
  Book b;
  EXPECT_EQ(b.lastRow(), 0);
  EXPECT_EQ(b.lastCol(), 0);
  b.setActiveCell(4, 2);
  b.setText("x");
  b.setActiveCell(2, 9);
  b.setNumberFormat("0.00");  // a format, no value
  EXPECT_EQ(b.lastRow(), 4);
  EXPECT_EQ(b.lastCol(), 9);
  b.clearRange(2, 9, 2, 9, Book::ClearMode::Formats);
  EXPECT_EQ(b.lastCol(), 2);
}

TEST(Find, SubstringOrWholeCellFirstHitRowByRow) {
  Book b;
  b.setActiveCell(1, 1);
  b.setText("{titulos}");
  b.setActiveCell(3, 5);
  b.setText("{Moneda01}");
  b.setActiveCell(5, 2);
  b.setText("ver {MONEDA01} aquí");
  b.setActiveCell(6, 1);
  b.setNumber(1234.5);
  b.setNumberFormat("#,##0.00");
  b.setActiveCell(9, 9);
  QSignalSpy spy(&b, &Book::found);

  auto hit = b.find("moneda01", 1, 1, 10, 10, 0);
  ASSERT_TRUE(hit);
  EXPECT_EQ(*hit, (CellRef{3, 5}));
  ASSERT_EQ(spy.count(), 1);
  EXPECT_EQ(spy.at(0).at(1).toInt(), 3);
  EXPECT_EQ(spy.at(0).at(2).toInt(), 5);
  EXPECT_EQ(b.row(), 9);  // the current cell does not move

  EXPECT_EQ(*b.find("{moneda01}", 4, 1, 10, 10, 0), (CellRef{5, 2}));
  EXPECT_FALSE(b.find("{moneda01}", 4, 1, 10, 10, 2));  // not the whole cell
  EXPECT_EQ(*b.find("{TITULOS}", 1, 1, 10, 1, 2), (CellRef{1, 1}));
  EXPECT_FALSE(b.find("{TITULOS}", 1, 1, 10, 1, 3));  // match case
  EXPECT_EQ(*b.find("1,234.50", 1, 1, 10, 10, 2), (CellRef{6, 1}));  // what the cell shows
  spy.clear();
  EXPECT_FALSE(b.find("{pie de página}", 1, 1, 10, 1, 2));
  EXPECT_EQ(spy.count(), 0);  // a miss announces nothing
}

TEST(Editing, InsertWholeRowsMovesEverythingBelow) {
  Book b;
  for (int r = 1; r <= 4; ++r) {
    b.setActiveCell(r, 1);
    b.setText(QString::number(r));
    b.setActiveCell(r, 5);
    b.setText(QStringLiteral("e%1").arg(r));
  }
  b.setRowHeight(3, 600);
  b.addRowPageBreak(4);
  const int id = b.addShape(DrawingObject::Kind::Rect, {2, 3.5, 3, 4.25});
  b.insertRange(3, 1, 4, b.lastCol());
  b.setActiveCell(3, 1);
  EXPECT_TRUE(b.isEmpty());
  b.setActiveCell(5, 1);
  EXPECT_EQ(b.text(), "3");
  b.setActiveCell(5, 5);
  EXPECT_EQ(b.text(), "e3");
  EXPECT_EQ(b.rowHeight(5), 600);
  EXPECT_EQ(b.rowHeight(3), b.defaultRowHeight());
  EXPECT_EQ(b.pageSetup().rowBreaks, std::set<int>{6});
  EXPECT_EQ(b.objPos(id), (ObjPos{2, 5.5, 3, 6.25}));

  // Within some columns only those cells move.
  b.insertRange(1, 1, 1, 1);
  b.setActiveCell(2, 1);
  EXPECT_EQ(b.text(), "1");
  b.setActiveCell(1, 5);
  EXPECT_EQ(b.text(), "e1");
  EXPECT_EQ(b.rowHeight(5), 600);
}

TEST(Editing, ClearingTheWholeSheetKeepsWidthsPageSetUpAndObjects) {
  Book b;
  b.setActiveCell(2, 2);
  b.setText("x");
  b.setFontBold(true);
  b.setColWidth(2, 3000);
  b.setRowHeight(2, 900);
  b.addRowPageBreak(10);
  b.pageSetup().landscape = true;
  b.setPrintFooter("&CHoja &P");
  b.addShape(DrawingObject::Kind::Rect, {1, 1, 2, 2});
  b.clearAll();
  EXPECT_EQ(b.lastRow(), 0);
  EXPECT_EQ(b.rowHeight(2), b.defaultRowHeight());
  EXPECT_TRUE(b.pageSetup().rowBreaks.empty());
  EXPECT_EQ(b.colWidth(2), 3000);
  EXPECT_TRUE(b.pageSetup().landscape);
  EXPECT_EQ(b.printFooter(), "&CHoja &P");
  EXPECT_EQ(b.objFirstId(), 1);

  // A partial clear of contents keeps the format; of everything, removes it.
  b.setActiveCell(3, 1);
  b.setText("y");
  b.setFontBold(true);
  b.clearRange(3, 1, 3, 255, Book::ClearMode::Contents);
  EXPECT_TRUE(b.isEmpty());
  EXPECT_TRUE(b.font().bold);
  b.clearRange(3, 1, 3, 255, Book::ClearMode::All);
  EXPECT_FALSE(b.font().bold);
}

TEST(Clipboard, RangeCarriesValuesFormatsMergesAndHeights) {
  Book src;
  src.setActiveCell(1, 1);
  src.setText("titulo");
  src.setFont("Arial", 14, true, false, false, false, 0x0000FF, false, false);
  src.setActiveCell(1, 2);
  src.setNumber(10);
  src.setActiveCell(2, 2);
  src.currentSheet().cellAt(2, 2).formula = "B1*2+$B$1";
  src.currentSheet().cellAt(2, 2).type = Cell::Type::Error;
  src.currentSheet().cellAt(2, 2).text = "#VALUE!";
  src.currentSheet().merges.push_back({1, 1, 1, 2});
  src.setRowHeight(1, 700);
  src.setSelection(1, 1, 2, 2);
  src.editCopy();

  Book dst;
  dst.setActiveCell(10, 1);
  dst.setText("se borra");
  dst.setActiveCell(10, 1);
  dst.editPaste();
  EXPECT_EQ(dst.text(), "titulo");
  EXPECT_EQ(dst.font().sizeTwips, 280);
  EXPECT_EQ(dst.font().color, 0x0000FFu);
  dst.setActiveCell(11, 2);
  EXPECT_EQ(dst.text(), "#VALUE!");
  EXPECT_EQ(dst.formula(), "B10*2+$B$1");
  EXPECT_EQ(dst.rowHeight(10), 700);  // the copy spanned the used width from column 1
  ASSERT_EQ(dst.currentSheet().merges.size(), 1u);
  EXPECT_EQ(dst.currentSheet().merges[0], (Range{10, 1, 10, 2}));

  // One cell does not carry its row's height.
  src.setActiveCell(1, 2);
  src.editCopy();
  dst.setActiveCell(20, 3);
  dst.editPaste();
  EXPECT_EQ(dst.text(), "10");
  EXPECT_EQ(dst.rowHeight(20), dst.defaultRowHeight());
}

TEST(Objects, IdsWalkSelectCopyPasteAndDelete) {
  Book t;
  EXPECT_EQ(errorOf([&] { t.objFirstId(); }), 20100);
  const int a = t.addShape(DrawingObject::Kind::Rect, {1, 2, 2, 3});
  const int p = t.addPicture({2.5, 2, 4, 5.5}, QByteArray("not really a png"), "png");
  EXPECT_EQ(t.objFirstId(), a);
  EXPECT_EQ(t.objNextId(a), p);
  EXPECT_EQ(errorOf([&] { t.objNextId(p); }), 20100);
  EXPECT_EQ(errorOf([&] { t.objSelect(99); }), 20100);
  EXPECT_EQ(errorOf([&] { t.setObjPos(a, {3, 1, 2, 1}); }), 20006);

  // A copied object is pasted as the target's last id; the report moves it afterwards.
  Book r;
  r.addShape(DrawingObject::Kind::Ellipse, {1, 1, 2, 2});
  t.objSelect(p);
  t.editCopy();
  r.editPaste();
  r.editPaste();
  EXPECT_EQ(r.currentSheet().objects.size(), 3u);
  EXPECT_EQ(r.object(3).imageData, QByteArray("not really a png"));
  EXPECT_EQ(r.objPos(3), (ObjPos{2.5, 2, 4, 5.5}));
  r.setObjPos(3, {2.5, 12, 4, 15.5});

  // Selecting every object then clearing the selection deletes them; a cell move ends object mode.
  r.objSelect(r.objFirstId());
  for (int id = r.objFirstId();;) {
    try {
      id = r.objNextId(id);
    } catch (const vb::Error&) {
      break;
    }
    r.objAddSelection(id);
  }
  EXPECT_EQ(r.selectedObjects().size(), 3u);
  r.setActiveCell(1, 1);
  EXPECT_FALSE(r.objectsSelected());
  r.objSelect(1);
  r.objAddSelection(2);
  r.objAddSelection(3);
  r.editClear();
  EXPECT_TRUE(r.currentSheet().objects.empty());
  const int next = r.addShape(DrawingObject::Kind::Line, {1, 1, 2, 1});
  EXPECT_EQ(next, 1);
}

TEST(PageSetUp, PrintTitlesFromSelection) {
  Book b;
  b.setSelection(2, 1, 5, 255);
  b.setPrintTitlesFromSelection();
  ASSERT_TRUE(b.pageSetup().titleRows);
  EXPECT_EQ(*b.pageSetup().titleRows, std::make_pair(2, 5));
  b.setActiveCell(30, 1);  // the program copies its titles itself: a single cell removes them
  b.setPrintTitlesFromSelection();
  EXPECT_FALSE(b.pageSetup().titleRows);
  b.setSelection(1, 1, kMaxRows, 2);
  b.setPrintTitlesFromSelection();
  EXPECT_EQ(*b.pageSetup().titleCols, std::make_pair(1, 2));

  b.setSelection(1, 1, 40, 7);
  b.setPrintAreaFromSelection();
  EXPECT_EQ(*b.pageSetup().printArea, (Range{1, 1, 40, 7}));
  b.addRowPageBreak(1);  // nothing to break above the first row
  b.addRowPageBreak(20);
  EXPECT_EQ(b.pageSetup().rowBreaks, std::set<int>{20});
}

TEST(Selection, MovesAndLimits) {
  Book b;
  b.setSelection(3, 2, 5, 4);
  EXPECT_EQ(b.row(), 3);
  EXPECT_EQ(b.col(), 2);
  b.setRow(15000);
  b.setRow(1);
  EXPECT_EQ(b.selection(), (Range{1, 2, 1, 2}));
  EXPECT_EQ(errorOf([&] { b.setRow(0); }), 20006);
  EXPECT_EQ(errorOf([&] { b.setCol(kMaxCols + 1); }), 20006);
  EXPECT_EQ(errorOf([&] { b.setSelection(5, 1, 4, 1); }), 20006);
  EXPECT_EQ(errorOf([&] { b.setRowHeight(2, 40000); }), 20006);
}

TEST(Display, RepaintOffSilencesChanges) {
  Book b;
  QSignalSpy spy(&b, &Book::changed);
  b.setRepaint(false);
  const int afterOff = spy.count();
  for (int r = 1; r <= 10; ++r) {
    b.setActiveCell(r, 1);
    b.setText("x");
  }
  EXPECT_EQ(spy.count(), afterOff);
  b.setRepaint(true);
  EXPECT_EQ(spy.count(), afterOff + 1);
}

}  // namespace

#include "headerfooter.h"

namespace {

TEST(HeaderFooter, SectionsFieldsAndFormatting) {
  HeaderFooterFields f;
  f.page = 3;
  f.pages = 12;
  f.now = QDateTime(QDate(2009, 3, 15), QTime(9, 5));
  f.fileName = "Parator1.kor";
  f.sheetName = "Presupuesto";
  const HeaderFooterText t =
      layoutHeaderFooter("Obra&L&8Empresa &&  Cía.&R&\"Arial,Negrita\"Hoja &P de &N&C&A &D &T&R &P+1", f);
  ASSERT_EQ(t.center.size(), 1u);
  EXPECT_EQ(t.center[0].text, "ObraPresupuesto 15/03/2009 09:05");  // text before any section code is centred
  ASSERT_EQ(t.left.size(), 1u);
  EXPECT_EQ(t.left[0].text, "Empresa &  Cía.");
  EXPECT_EQ(t.left[0].sizePoints, 8);
  ASSERT_EQ(t.right.size(), 2u);  // a section named again goes on, its formatting afresh
  EXPECT_EQ(t.right[0].text, "Hoja 3 de 12");
  EXPECT_EQ(t.right[0].fontName, "Arial");
  EXPECT_TRUE(t.right[0].bold);
  EXPECT_EQ(t.right[1].text, " 4");
  EXPECT_FALSE(t.right[1].bold);

  const HeaderFooterText b = layoutHeaderFooter("&Lnormal &Bnegrita&B normal&KFF0000rojo", f);
  ASSERT_EQ(b.left.size(), 4u);
  EXPECT_FALSE(b.left[0].bold);
  EXPECT_TRUE(b.left[1].bold);
  EXPECT_EQ(b.left[2].text, " normal");
  EXPECT_EQ(b.left[3].color, 0xFF0000u);
  EXPECT_TRUE(layoutHeaderFooter("", f).isEmpty());
  EXPECT_EQ(layoutHeaderFooter("fin &", f).center[0].text, "fin &");
}

}  // namespace
