// The text format the templates are written in: what a description builds, and the messages that
// point a template author at the line to mend.
#include "qt_print.h"
#include "template.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using templates::build;
using templates::DescriptionError;

const char* kSmall = R"(# a comment line
WORKBOOK Prueba.kor
FONT Arial 10
STYLE small  size=8
STYLE head   small bold wrap align=center border=thin fill=D9D9D9   # styles build on styles
SHEET "Hoja de prueba"
ORIENTATION landscape
PAPER letter
MARGINS left=0.4 right=0.4 top=0.75 bottom=0.6 header=0.3 footer=0.25
HEADER "&R&8Hoja &P de &N"
FOOTER "&L&7Concurso {número de concurso}"
WIDTHS A=0.5 C=2.25
A1 small "{titulos}"
A2:C2 border-top=thin
B2 head "DOS\nLÍNEAS"
C2 small format='dd "de" mmmm' "{fecha de concurso}"
C3 small size=12 italic color=1F3864 "con \"comillas\""
PICTURE logo 1.1 2 1.9 3
LINE 1.5 4.5 3 2.5 weight=1.5 color=FF0000
)";

TEST(TemplateDescription, BuildsCellsStylesPageAndObjects) {
  const templates::Template t = build(QString::fromUtf8(kSmall), QStringLiteral("prueba.txt"), QString());
  ASSERT_TRUE(t.book);
  EXPECT_EQ(t.fileName, QStringLiteral("Prueba.kor"));
  wb::Book& b = *t.book;
  ASSERT_EQ(b.numSheets(), 1);
  EXPECT_EQ(b.sheetName(1), QStringLiteral("Hoja de prueba"));
  const wb::Workbook& w = b.workbook();
  const wb::Sheet& s = b.currentSheet();
  auto style = [&](int r, int c) { return w.styles.at(s.styleAt(r, c)); };

  // A named style is its attributes applied in order; a cell line adds its own on top, and a later
  // line for the same cell adds to what the cell already has.
  const wb::CellStyle head = style(2, 2);
  EXPECT_EQ(head.font.sizeTwips, 160);
  EXPECT_TRUE(head.font.bold);
  EXPECT_EQ(head.h, wb::HAlign::Center);
  EXPECT_EQ(head.left.style, wb::LineStyle::Thin);
  EXPECT_EQ(head.fill.pattern, 1);
  EXPECT_EQ(head.fill.fg, 0xD9D9D9u);
  EXPECT_EQ(w.displayText(s, 2, 2), QStringLiteral("DOS\nLÍNEAS"));
  EXPECT_EQ(style(2, 1).top.style, wb::LineStyle::Thin) << "a range styles every cell of it";
  EXPECT_TRUE(w.displayText(s, 2, 1).isEmpty());
  EXPECT_EQ(style(2, 3).top.style, wb::LineStyle::Thin);
  EXPECT_EQ(style(2, 3).numFmt, QStringLiteral("dd \"de\" mmmm"));
  const wb::CellStyle c3 = style(3, 3);
  EXPECT_EQ(c3.font.sizeTwips, 240);
  EXPECT_TRUE(c3.font.italic);
  EXPECT_EQ(c3.font.color, 0x1F3864u);
  EXPECT_EQ(w.displayText(s, 3, 3), QStringLiteral("con \"comillas\""));

  // Rows take the height of their contents: two lines of 8-point text, one of 12-point.
  EXPECT_GT(b.rowHeight(2), b.rowHeight(3));
  EXPECT_GT(b.rowHeight(3), b.rowHeight(1));

  EXPECT_EQ(b.colWidth(1), 720);
  EXPECT_EQ(b.colWidth(3), 3240);
  const wb::PageSetup& p = b.pageSetup();
  EXPECT_TRUE(p.landscape);
  EXPECT_EQ(p.paperSize, 1);
  EXPECT_DOUBLE_EQ(p.bottom, 0.6);
  EXPECT_DOUBLE_EQ(p.footerMargin, 0.25);
  EXPECT_EQ(p.header, QStringLiteral("&R&8Hoja &P de &N"));
  EXPECT_EQ(p.footer, QStringLiteral("&L&7Concurso {número de concurso}"));

  ASSERT_EQ(s.objects.size(), 2u);
  const wb::DrawingObject& pic = s.objects[0];
  EXPECT_EQ(pic.kind, wb::DrawingObject::Kind::Picture);
  EXPECT_EQ(pic.pos, (wb::ObjPos{1.1, 2, 1.9, 3}));
  EXPECT_FALSE(QImage::fromData(pic.imageData, "PNG").isNull());
  // A line drawn from bottom-left up to top-right is kept as its box and the box's other diagonal.
  const wb::DrawingObject& line = s.objects[1];
  EXPECT_EQ(line.kind, wb::DrawingObject::Kind::Line);
  EXPECT_EQ(line.pos, (wb::ObjPos{1.5, 2.5, 3, 4.5}));
  EXPECT_TRUE(line.flipV);
  EXPECT_EQ(line.lineWidthEmu, 19050);
  EXPECT_EQ(line.lineColor, 0xFF0000u);
}

TEST(TemplateDescription, IncludedFilesShareTheirStyles) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  QFile common(dir.filePath(QStringLiteral("common.txt")));
  ASSERT_TRUE(common.open(QIODevice::WriteOnly));
  common.write("FONT Arial 10\nSTYLE big size=14 bold\n");
  common.close();
  QFile main(dir.filePath(QStringLiteral("Uno.kor.txt")));
  ASSERT_TRUE(main.open(QIODevice::WriteOnly));
  main.write("WORKBOOK Uno.kor\nINCLUDE common.txt\nSHEET Uno\nA1 big \"{titulos}\"\n");
  main.close();

  const templates::Template t = templates::buildFile(main.fileName());
  EXPECT_EQ(t.book->cellStyle().font.sizeTwips, 280);
  templates::write(t, dir.path());
  wb::Book again;
  ASSERT_NO_THROW(again.read(dir.filePath(QStringLiteral("Uno.kor"))));
  EXPECT_EQ(again.text(), QStringLiteral("{titulos}"));
  EXPECT_TRUE(again.cellStyle().font.bold);
}

// Each mistake names the description and line, and what is wrong.
TEST(TemplateDescription, MistakesNameTheirLine) {
  const QString head = QStringLiteral("WORKBOOK X.kor\nSHEET S\n");
  const struct {
    QString text;
    const char* message;
  } cases[] = {
      {head + "A1 \"abierto", "x.txt:3: unterminated string"},
      {head + "A1 bold", ""},  // fine: a format-only cell
      {head + "A1 negrita \"x\"", "x.txt:3: unknown style or attribute \"negrita\""},
      {head + "A1 size=ocho \"x\"", "x.txt:3: size: \"ocho\" is not a number"},
      {head + "A1 color=azul \"x\"", "x.txt:3: colour \"azul\" is not RRGGBB"},
      {head + "A1 border=gruesa", "x.txt:3: unknown border style \"gruesa\""},
      {head + "A1:B1 \"x\"", "x.txt:3: text goes into one cell, not a range"},
      {head + "A1 \"x\" \"y\"", "x.txt:3: a cell takes one text"},
      {head + "A1 \"\"", "x.txt:3: empty text"},
      {head + "B1:A1 bold", "x.txt:3: unknown line \"B1:A1\""},
      {head + "STYLE t bold\nSTYLE t italic", "x.txt:4: style \"t\" defined twice"},
      {head + "STYLE bold italic", "x.txt:3: \"bold\" cannot name a style"},
      {head + "A1 bold\nFONT Arial 10", "x.txt:4: FONT must come before the first cell"},
      {head + "WIDTHS A=cero", "x.txt:3: A: \"cero\" is not a number"},
      {head + "WIDTHS 7=1", "x.txt:3: WIDTHS: \"7=1\" is not COLUMN=inches"},
      {head + "MARGINS centro=1", "x.txt:3: MARGINS: \"centro=1\""},
      {head + "ORIENTATION vertical", "x.txt:3: ORIENTATION is portrait or landscape"},
      {head + "PICTURE escudo 1 1 2 2", "x.txt:3: the only picture is \"logo\""},
      {head + "LINE 0 1 2 2", "x.txt:3: positions count columns and rows from 1"},
      {head + "INCLUDE no-existe.txt", "x.txt:3: cannot read"},
      {head + "SHEET S", "x.txt:3: "},  // a second sheet of the same name: the workbook layer's message
      {QStringLiteral("SHEET S\nA1 bold\n"), "x.txt: no WORKBOOK line"},
      {QStringLiteral("WORKBOOK X.kor\nA1 bold\n"), "x.txt:2: A1 before any SHEET"},
      {QStringLiteral("WORKBOOK X.kor\n"), "x.txt: no SHEET"},
      {QStringLiteral("WORKBOOK ../X.kor\n"), "x.txt:1: WORKBOOK takes a plain file name"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text.toStdString());
    if (!*c.message) {
      EXPECT_NO_THROW(build(c.text, QStringLiteral("x.txt"), QDir::tempPath()));
      continue;
    }
    try {
      build(c.text, QStringLiteral("x.txt"), QDir::tempPath());
      ADD_FAILURE() << "no error";
    } catch (const DescriptionError& e) {
      EXPECT_TRUE(QString::fromUtf8(e.what()).startsWith(QString::fromUtf8(c.message))) << e.what();
    }
  }
}

}  // namespace
