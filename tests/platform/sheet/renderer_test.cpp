// The cell renderer: text placed as auto-fit measured it, text running over empty neighbours, numbers
// that do not fit, fills of "*x" formats, merged areas, shared borders.
#include "renderer.h"

#include "book.h"
#include "metrics.h"
#include "printsamples.h"
#include "qt_print.h"
#include "recorder.h"

#include <QImage>
#include <gtest/gtest.h>

using namespace wb;
using samples::DrawnText;

namespace {

// Draws the block on the recorder (twips) and returns it.
void record(const Book& b, const Range& block, samples::RecordingDevice& dev) {
  const SheetLayout layout(b.workbook(), b.currentSheet());
  const SheetRenderer r(b.workbook(), b.currentSheet(), layout);
  QPainter p(&dev);
  p.scale(SheetRenderer::twipScaleX(dev), SheetRenderer::twipScaleY(dev));
  r.paintCells(p, block, QPointF(0, 0), RenderOptions());
  r.paintObjects(p, block, QPointF(0, 0));
}

// Draws the block at 96 dpi, one pixel for 15 twips.
QImage image(const Book& b, const Range& block) {
  const SheetLayout layout(b.workbook(), b.currentSheet());
  const QRectF area = layout.rangeRect(block);
  QImage img(int(area.width() / 15), int(area.height() / 15), QImage::Format_RGB32);
  img.setDotsPerMeterX(3780);
  img.setDotsPerMeterY(3780);
  img.fill(Qt::white);
  const SheetRenderer r(b.workbook(), b.currentSheet(), layout);
  QPainter p(&img);
  p.scale(SheetRenderer::twipScaleX(img), SheetRenderer::twipScaleY(img));
  r.paintCells(p, block, QPointF(0, 0), RenderOptions());
  return img;
}

// Dark pixels in a rectangle given in twips.
int ink(const QImage& img, const QRectF& twips) {
  const QRect px = QRectF(twips.topLeft() / 15, twips.size() / 15).toRect() & img.rect();
  int n = 0;
  for (int y = px.top(); y <= px.bottom(); ++y)
    for (int x = px.left(); x <= px.right(); ++x)
      n += qGray(img.pixel(x, y)) < 128;
  return n;
}

TEST(Renderer, TextRunsOverEmptyNeighboursOnly) {
  Book b;
  const QString longText = QStringLiteral("MMMMMMMMMMMMMMMMMMMMMMMM");
  for (int c = 1; c <= 5; ++c)
    b.setColWidth(c, 1200);
  b.setActiveCell(1, 1);
  b.setText(longText);  // B1 empty: runs over it
  b.setActiveCell(2, 1);
  b.setText(longText);
  b.setActiveCell(2, 2);
  b.setText(QStringLiteral(" "));  // B2 holds a blank: the text stops at A2's edge
  b.setActiveCell(3, 4);
  b.setText(longText);  // right-aligned in D3: runs over C3 and further left
  b.setAlignment({HAlign::Right, false, VAlign::Bottom, 0});
  b.setActiveCell(4, 2);
  b.setNumber(123456789012.0);  // a number never runs over
  b.setNumberFormat(QStringLiteral("#,##0.00"));

  const SheetLayout layout(b.workbook(), b.currentSheet());
  const QImage img = image(b, Range{1, 1, 4, 5});
  EXPECT_GT(ink(img, layout.cellRect(1, 2)), 20);
  EXPECT_EQ(ink(img, layout.cellRect(2, 2)), 0);
  EXPECT_GT(ink(img, layout.cellRect(3, 3)), 20);
  EXPECT_GT(ink(img, layout.cellRect(3, 2)), 20);
  EXPECT_EQ(ink(img, layout.cellRect(3, 5)), 0);
  EXPECT_EQ(ink(img, layout.cellRect(4, 1)), 0);
  EXPECT_EQ(ink(img, layout.cellRect(4, 3)), 0);

  // Drawn from a block that starts right of the cell, the run-over part still shows.
  const QImage part = image(b, Range{1, 2, 1, 3});
  EXPECT_GT(ink(part, QRectF(0, 0, 1200, layout.rowHeight(1))), 20);
}

TEST(Renderer, NumbersThatDoNotFitShowHashesAndFillsSpreadToTheEdges) {
  Book b;
  b.setColWidth(1, 900);
  b.setColWidth(2, 2400);
  b.setActiveCell(1, 1);
  b.setNumber(123456789.0);
  b.setNumberFormat(QStringLiteral("#,##0.00"));
  b.setActiveCell(1, 2);
  b.setNumber(1834.27);
  b.setNumberFormat(QStringLiteral("$* #,##0.00"));
  b.setActiveCell(2, 2);
  b.setNumber(42);
  b.setNumberFormat(QStringLiteral("0*."));  // dots after the number up to the edge
  samples::RecordingDevice dev(QSizeF(12240, 15840));
  record(b, Range{1, 1, 2, 2}, dev);

  const Font f = b.workbook().defaultFont();
  const double hash = metrics::textWidth(f, QStringLiteral("#"));
  const QString hashes(int((900 - 2 * metrics::kCellPadTwips) / hash), u'#');
  EXPECT_TRUE(dev.contains(hashes));
  EXPECT_FALSE(dev.contains(QStringLiteral("123,456,789.00")));

  const DrawnText* dollar = dev.find(QStringLiteral("$"));
  const DrawnText* amount = dev.find(QStringLiteral("1,834.27"));
  ASSERT_NE(dollar, nullptr);
  ASSERT_NE(amount, nullptr);
  EXPECT_DOUBLE_EQ(dollar->at.x(), 900 + metrics::kCellPadTwips);
  EXPECT_NEAR(amount->at.x() + metrics::textWidth(f, QStringLiteral("1,834.27")),
              900 + 2400 - metrics::kCellPadTwips, 0.5);

  const DrawnText* n = dev.find(QStringLiteral("42"));
  ASSERT_NE(n, nullptr);
  EXPECT_DOUBLE_EQ(n->at.x(), 900 + metrics::kCellPadTwips);
  bool dots = false;
  for (const DrawnText& t : dev.texts)
    dots = dots || (t.text.size() > 10 && t.text.count(u'.') == t.text.size());
  EXPECT_TRUE(dots);
}

TEST(Renderer, WrappedTextFillsTheRowAutoFitMade) {
  Book b;
  b.setColWidth(1, 2000);
  b.setActiveCell(1, 1);
  b.setText(QStringLiteral("Suministro y colocación de concreto premezclado en losas, incluye cimbra y acarreos"));
  b.setAlignment({HAlign::Left, true, VAlign::Top, 0});
  b.setRowHeightAuto(1, 1, 1, 255, true);
  const CellStyle& s = b.cellStyle();
  const metrics::LineGeometry g = metrics::line(s.font);
  const QStringList lines = metrics::wrapLines(s.font, b.text(), 2000 - 2 * metrics::kCellPadTwips);
  ASSERT_GT(lines.size(), 2);
  EXPECT_EQ(b.rowHeight(1), g.lineTwips * lines.size());

  samples::RecordingDevice dev(QSizeF(12240, 15840));
  record(b, Range{1, 1, 1, 1}, dev);
  ASSERT_EQ(dev.texts.size(), size_t(lines.size()));
  for (qsizetype i = 0; i < lines.size(); ++i) {
    EXPECT_EQ(dev.texts[size_t(i)].text, lines[i]);
    EXPECT_DOUBLE_EQ(dev.texts[size_t(i)].at.y(), double(i * g.lineTwips + g.ascentTwips));
  }
}

TEST(Renderer, MergedAreaCentresItsTextAndHidesInnerEdges) {
  Book b;
  for (int c = 1; c <= 4; ++c)
    b.setColWidth(c, 1000);
  b.currentSheet().merges.push_back(Range{1, 1, 2, 3});
  b.setActiveCell(1, 1);
  b.setText(QStringLiteral("Título"));
  b.setAlignment({HAlign::Center, false, VAlign::Center, 0});
  b.setSelection(1, 1, 2, 3);
  b.setBorder(-1, 1, 1, 1, 1, -1, kKeepColor, 0, 0, 0, 0);  // every edge of every cell
  samples::RecordingDevice dev(QSizeF(12240, 15840));
  record(b, Range{1, 1, 2, 4}, dev);
  const DrawnText* t = dev.find(QStringLiteral("Título"));
  ASSERT_NE(t, nullptr);
  const Font f = b.workbook().defaultFont();
  EXPECT_NEAR(t->at.x() + metrics::textWidth(f, QStringLiteral("Título")) / 2, 1500, 0.5);
  const int h = b.rowHeight(1);
  const metrics::LineGeometry g = metrics::line(f);
  EXPECT_NEAR(t->at.y(), (2 * h - g.lineTwips) / 2.0 + g.ascentTwips, 0.5);
  // Drawn from a block that starts inside the area, its text is still there (clipped to the block).
  samples::RecordingDevice lower(QSizeF(12240, 15840));
  record(b, Range{2, 2, 2, 2}, lower);
  EXPECT_TRUE(lower.contains(QStringLiteral("Título")));
  // Only the outline: no line runs inside the area.
  for (const QLineF& l : dev.lines) {
    const QPointF mid = (l.p1() + l.p2()) / 2;
    EXPECT_FALSE(mid.x() > 10 && mid.x() < 2990 && mid.y() > 10 && mid.y() < 2 * h - 10) << mid.x() << "," << mid.y();
  }
}

TEST(Renderer, SharedEdgeTakesTheHeavierBorder) {
  Book b;
  b.setColWidth(1, 1500);
  b.setActiveCell(1, 1);
  b.setBorder(-1, -1, -1, -1, 1, -1, kKeepColor, kKeepColor, kKeepColor, kKeepColor, 0);  // thin below A1
  b.setActiveCell(2, 1);
  b.setBorder(-1, -1, -1, 5, -1, -1, kKeepColor, kKeepColor, kKeepColor, 0, kKeepColor);  // thick above A2
  const QImage img = image(b, Range{1, 1, 3, 1});
  const int edge = b.rowHeight(1) / 15;
  int dark = 0;
  for (int y = edge - 4; y <= edge + 4; ++y)
    dark += qGray(img.pixel(50, y)) < 128;
  EXPECT_EQ(dark, 3);  // 45 twips: three pixels, once
}

TEST(Renderer, PicturesStretchWithTheirCellsAndUnreadableOnesShowAFrame) {
  Book b;
  b.addPicture(ObjPos{1.5, 1.0, 2.5, 3.0}, samples::logoPng(), QStringLiteral("png"));
  static const char emf[] = "\x01\x00\x09\x00 not a picture";
  b.addPicture(ObjPos{3.0, 1.0, 4.0, 2.0}, QByteArray(emf, sizeof emf - 1), QStringLiteral("emf"));
  b.setRowHeight(2, 600);
  samples::RecordingDevice dev(QSizeF(12240, 15840));
  record(b, Range{1, 1, 5, 5}, dev);
  ASSERT_EQ(dev.images.size(), 1u);
  const SheetLayout layout(b.workbook(), b.currentSheet());
  const double w = layout.colWidth(1);
  EXPECT_NEAR(dev.images[0].left(), w / 2, 0.5);
  EXPECT_NEAR(dev.images[0].width(), w, 0.5);
  EXPECT_NEAR(dev.images[0].height(), b.rowHeight(1) + 600, 0.5);
}

}  // namespace
