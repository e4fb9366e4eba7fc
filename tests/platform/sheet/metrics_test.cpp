// Measurement shared by auto-fit and printing: reference heights on the Liberation fonts, so that a
// font change or upgrade shows up; wrapping; the .xlsx column-width units.
#include "book.h"
#include "metrics.h"
#include "qt_print.h"

#include <QFontInfo>
#include <gtest/gtest.h>

using namespace wb;

namespace {

Font arial(int points, bool bold = false) {
  Font f;
  f.name = "Arial";
  f.sizeTwips = points * 20;
  f.bold = bold;
  return f;
}

TEST(Metrics, ArialIsDrawnWithItsMetricCompatibleFont) {
  EXPECT_EQ(QFontInfo(metrics::qfont(arial(10))).family(), "Liberation Sans");
}

TEST(Metrics, LineHeightsOfTheSpreadsheetGrid) {
  struct Case {
    int points;
    int twips;
  } cases[] = {{8, 225}, {10, 255}, {12, 315}};
  for (const Case& c : cases) {
    EXPECT_EQ(metrics::line(arial(c.points)).lineTwips, c.twips) << c.points;
    EXPECT_EQ(metrics::line(arial(c.points)).lineTwips % 15, 0);
  }
  EXPECT_EQ(metrics::maxDigitWidthPx(arial(10)), 7);
}

TEST(Metrics, WrapsAtBlanksAndCutsLongWords) {
  const Font f = arial(10);
  const double w = metrics::textWidth(f, "palabra palabra");
  const QStringList two = metrics::wrapLines(f, "palabra palabra palabra", w + 1);
  EXPECT_EQ(two, (QStringList{"palabra palabra", "palabra"}));
  // Blanks where a line breaks are dropped; a line break starts a new line.
  EXPECT_EQ(metrics::wrapLines(f, "uno   dos\ntres", metrics::textWidth(f, "uno") + 2),
            (QStringList{"uno", "dos", "tres"}));
  // A word wider than the line is cut between letters, never losing one.
  const QStringList cut = metrics::wrapLines(f, "abcdefghijklmnopqrstuvwxyz", metrics::textWidth(f, "abcdefgh"));
  EXPECT_GE(cut.size(), 3);
  EXPECT_EQ(cut.join(QString()), "abcdefghijklmnopqrstuvwxyz");
  for (const QString& l : cut)
    EXPECT_FALSE(l.isEmpty());
  EXPECT_EQ(metrics::wrapLines(f, "", 100), QStringList{QString()});
}

TEST(Metrics, ColumnWidthUnitsRoundTripInWholePixels) {
  for (int mdw : {6, 7, 8, 9, 11}) {
    for (int px = 0; px <= 400; ++px)
      ASSERT_EQ(metrics::charsToTwips(metrics::twipsToChars(px * 15, mdw), mdw), px * 15) << mdw << " " << px;
  }
  EXPECT_EQ(metrics::charsToTwips(9.140625, 7), 64 * 15);  // 8.43 characters, the usual default
}

TEST(AutoFit, RowTakesItsTallestCell) {
  Book b;
  b.setColWidth(1, 1500);
  b.setColWidth(2, 3000);
  b.setActiveCell(1, 1);
  b.setText("corto");
  b.setActiveCell(1, 2);
  b.setText("un texto bastante largo que tiene que ocupar varias líneas en la celda");
  b.setAlignment({HAlign::General, true, VAlign::Top, 0});
  b.setRowHeightAuto(1, 1, 1, 255, true);
  const int lines = int(metrics::wrapLines(b.cellStyle().font, b.text(), 3000 - 2 * metrics::kCellPadTwips).size());
  EXPECT_GE(lines, 3);
  EXPECT_EQ(b.rowHeight(1), lines * 255);

  // Without wrap, one line of the cell's font; a bigger font makes the row taller.
  b.setAlignment({HAlign::General, false, VAlign::Top, 0});
  b.setRowHeightAuto(1, 1, 1, 255, true);
  EXPECT_EQ(b.rowHeight(1), 255);
  b.setActiveCell(1, 1);
  b.setFont("Arial", 12, false, false, false, false, 0, false, false);
  b.setRowHeightAuto(1, 1, 1, 255, true);
  EXPECT_EQ(b.rowHeight(1), 315);
  // Only the given columns count.
  b.setRowHeightAuto(1, 2, 1, 255, true);
  EXPECT_EQ(b.rowHeight(1), 255);

  // Numbers never wrap.
  b.setActiveCell(2, 1);
  b.setNumber(123456789.25);
  b.setNumberFormat("#,##0.00");
  b.setAlignment({HAlign::General, true, VAlign::Bottom, 0});
  b.setRowHeightAuto(2, 1, 2, 255, true);
  EXPECT_EQ(b.rowHeight(2), 255);
}

TEST(AutoFit, EmptyRowsGetTheDefaultOnlyWhenAsked) {
  Book b;
  b.setRowHeight(3, 999);
  b.setRowHeightAuto(3, 1, 3, 255, false);
  EXPECT_EQ(b.rowHeight(3), 999);
  b.setRowHeightAuto(3, 1, 3, 255, true);
  EXPECT_EQ(b.rowHeight(3), b.defaultRowHeight());
  EXPECT_EQ(b.defaultRowHeight(), 255);  // Arial 10, the new workbook's font
}

}  // namespace
