// .xlsx reading and writing: files of an independent writer read back with their values, formats and
// page set-up; our own files read back identical; parts we do not model kept byte for byte; bad files.
#include "book.h"
#include "corte.h"
#include "error.h"
#include "error_of.h"
#include "fixtures.h"
#include "qt_print.h"
#include "xlsx.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <csignal>
#include <gtest/gtest.h>

using wb::Book;

namespace {

class Xlsx : public ::testing::Test {
protected:
  QTemporaryDir dir;
  QString path(const QString& name) const { return dir.filePath(name); }
};

TEST_F(Xlsx, ReadsWhatAnotherWriterWrote) {
  const QString f = path("rich.xlsx");
  fixtures::writeRichWorkbook(f);
  Book b;
  EXPECT_EQ(b.read(f), Book::FileType::Xlsx);
  ASSERT_EQ(b.numSheets(), 2);
  EXPECT_EQ(b.sheetName(1), "Presupuesto");
  EXPECT_EQ(b.sheet(), 2);  // the file's active sheet
  b.setSheet(1);

  // Values: shared strings, blanks kept, numbers through their formats, Booleans, formulas.
  b.setActiveCell(1, 1);
  EXPECT_EQ(b.text(), "{titulos}");
  b.setActiveCell(2, 2);
  EXPECT_EQ(b.text(), "Información del año");
  b.setActiveCell(3, 2);
  EXPECT_EQ(b.number(), 1234.5);
  EXPECT_EQ(b.numberFormat(), "$#,##0.00");
  EXPECT_EQ(b.text(), "$1,234.50");
  b.setActiveCell(4, 2);
  EXPECT_EQ(b.numberFormat(), "dd/mm/yyyy");  // built-in id 14
  EXPECT_EQ(b.text(), "15/03/2009");
  b.setActiveCell(5, 2);
  EXPECT_EQ(b.text(), "9,876,543.21");
  EXPECT_EQ(b.alignment().rotation, 90);
  b.setActiveCell(6, 1);
  EXPECT_EQ(b.text(), "  blancos  ");
  b.setActiveCell(6, 2);
  EXPECT_EQ(b.text(), "VERDADERO");
  b.setActiveCell(7, 2);
  EXPECT_EQ(b.formula(), "B3*2");
  EXPECT_EQ(b.number(), 2469);
  b.setActiveCell(7, 3);
  EXPECT_EQ(b.formula(), "\"x\"&A1");
  EXPECT_EQ(b.text(), "x{titulos}");

  // Fonts, fills, borders, alignment.
  b.setActiveCell(2, 2);
  const Book::FontAttr font = b.font();
  EXPECT_EQ(font.name, "Arial");
  EXPECT_EQ(font.sizeTwips, 240);
  EXPECT_TRUE(font.bold && font.italic && font.underline);
  EXPECT_FALSE(font.strike);
  EXPECT_EQ(font.color, 0x1F4E79u);
  b.setActiveCell(3, 1);
  EXPECT_EQ(b.pattern(), (Book::Pattern{1, 0xD9D9D9, 0xFFFFFF}));
  EXPECT_EQ(b.alignment(), (Book::Alignment{wb::HAlign::Center, true, wb::VAlign::Top, 0}));
  EXPECT_TRUE(b.font().strike);
  b.setActiveCell(3, 2);
  const Book::Borders br = b.border();
  EXPECT_EQ(br.left, 1);
  EXPECT_EQ(br.top, 1);
  EXPECT_EQ(br.right, 2);
  EXPECT_EQ(br.crRight, 0xFF0000u);

  // A formatted empty cell counts for the used range.
  EXPECT_EQ(b.lastRow(), 10);
  EXPECT_EQ(b.lastCol(), 7);

  // Geometry: widths in whole pixels of the default font's digit (Calibri 11: 7 px).
  EXPECT_EQ(b.colWidth(1), 93 * 15);   // 12.57 characters
  EXPECT_EQ(b.colWidth(2), 215 * 15);  // 30 characters
  EXPECT_EQ(b.rowHeight(2), 600);      // 30 pt
  EXPECT_TRUE(b.currentSheet().row(9)->hidden);
  ASSERT_EQ(b.currentSheet().merges.size(), 1u);
  EXPECT_EQ(b.currentSheet().merges[0], (wb::Range{8, 1, 8, 3}));

  // Page set-up, print area and titles, breaks, header and footer.
  const wb::PageSetup& p = b.pageSetup();
  EXPECT_TRUE(p.landscape);
  EXPECT_EQ(p.paperSize, 1);
  EXPECT_DOUBLE_EQ(p.left, 0.4);
  EXPECT_DOUBLE_EQ(p.right, 0.5);
  EXPECT_DOUBLE_EQ(b.printTopMargin(), 0.75);
  EXPECT_DOUBLE_EQ(b.printBottomMargin(), 0.8);
  EXPECT_EQ(b.printHeader(), "&L&8{razón social}&RConcurso");
  EXPECT_EQ(b.printFooter(), "&CHoja &P de &N");
  ASSERT_TRUE(p.printArea);
  EXPECT_EQ(*p.printArea, (wb::Range{1, 1, 60, 7}));
  ASSERT_TRUE(p.titleRows);
  EXPECT_EQ(*p.titleRows, std::make_pair(2, 4));
  EXPECT_EQ(p.rowBreaks, (std::set<int>{21, 41}));
  EXPECT_TRUE(p.hCenter);
  EXPECT_FALSE(b.currentSheet().showGridlines);

  // The picture and its anchor: column C + 16 px, row 2 + 4 px, 96 x 40 px.
  ASSERT_EQ(b.objFirstId(), 1);
  const wb::DrawingObject& o = b.object(1);
  EXPECT_EQ(o.kind, wb::DrawingObject::Kind::Picture);
  EXPECT_EQ(o.imageData, fixtures::pngBytes(96, 40));
  const wb::ObjPos pos = b.objPos(1);
  EXPECT_NEAR(pos.x1, 3 + 16.0 / 64, 1e-6);
  EXPECT_NEAR(pos.y1, 2 + 4.0 / 40, 1e-6);
  EXPECT_NEAR(pos.x2, 3 + (16.0 + 96) / 64, 1e-3);  // C is 64 px wide (default), D too
  EXPECT_NEAR(pos.y2, 3 + 4.0 / 20, 1e-3);           // row 2 is 40 px, row 3 20 px
  EXPECT_EQ(errorOf([&] { b.objNextId(1); }), 20100);
}

// Colours given as theme colours with a tint, or as an index into the palette (the file's own
// palette when it has one), come out as RGB.
TEST_F(Xlsx, ThemeAndIndexedColoursResolveToRgb) {
  const QString f = path("colores.xlsx");
  fixtures::writeRichWorkbook(f);
  QByteArray styles = fixtures::zipPart(f, "xl/styles.xml");
  ASSERT_TRUE(styles.contains("<color rgb=\"FF1F4E79\"/>"));
  ASSERT_TRUE(styles.contains("<color rgb=\"FFFF0000\"/>"));
  styles.replace("<color rgb=\"FF1F4E79\"/>", "<color theme=\"4\" tint=\"0.3999755851924192\"/>");
  styles.replace("<color rgb=\"FFFF0000\"/>", "<color indexed=\"12\"/>");
  fixtures::zipPut(f, "xl/styles.xml", styles);
  Book b;
  b.read(f);
  b.setSheet(1);
  b.setActiveCell(2, 2);
  const wb::Rgb accent = b.font().color;  // accent 1 of the file's theme (4F81BD), 40 % lighter: 95B3D7
  EXPECT_NEAR(int(accent >> 16), 0x95, 2);
  EXPECT_NEAR(int((accent >> 8) & 0xFF), 0xB3, 2);
  EXPECT_NEAR(int(accent & 0xFF), 0xD7, 2);
  b.setActiveCell(3, 2);
  EXPECT_EQ(b.border().crRight, 0x0000FFu);

  styles.replace("</styleSheet>", "<colors><indexedColors>" + QByteArray("<rgbColor rgb=\"FF000000\"/>").repeated(12) +
                                      "<rgbColor rgb=\"FF123456\"/></indexedColors></colors></styleSheet>");
  fixtures::zipPut(f, "xl/styles.xml", styles);
  b.read(f);
  b.setSheet(1);
  b.setActiveCell(3, 2);
  EXPECT_EQ(b.border().crRight, 0x123456u);
}

// Writes, reads and writes again: the second file is the same bytes, and the model reads back equal.
TEST_F(Xlsx, OwnFilesReadBackIdentical) {
  Book a;
  a.setActiveCell(1, 1);
  a.setText("{titulos}");
  a.setActiveCell(2, 2);
  a.setText(" texto con blancos y <marcas> & \"comillas\" ");
  a.setFont("Arial", 12, true, false, true, false, 0x336699, false, false);
  a.setActiveCell(3, 3);
  a.setNumber(-1234.5678);
  a.setNumberFormat("#,###,###,##0.00##");
  a.setBorder(1, -1, -1, -1, -1, -1, 0x00FF00, wb::kKeepColor, wb::kKeepColor, wb::kKeepColor, wb::kKeepColor);
  a.setPattern(1, 0xFFCC00, 0xFFFFFF);
  a.setAlignment({wb::HAlign::Right, true, wb::VAlign::Center, 0});
  a.setActiveCell(4, 1);
  a.setDate(39887);
  a.setActiveCell(5, 1);
  a.setText(QStringLiteral("control \x01 y _x0041_ literal"));
  a.setActiveCell(6, 5);
  a.setFontBold(true);  // formatted, no value
  a.setColWidth(2, 2400);
  a.setRowHeight(3, 13000);
  a.setRowHeight(4, 50);
  a.setSelection(7, 1, 7, 3);
  a.editCopy();
  a.currentSheet().merges.push_back({7, 1, 7, 3});
  a.pageSetup().landscape = true;
  a.pageSetup().top = 1.25;
  a.setPrintHeader("&L&\"Arial,Negrita\"&8{razón social}&R&D");
  a.setPrintFooter("&CHoja &P de &N");
  a.addRowPageBreak(30);
  a.addColPageBreak(4);
  a.setPrintArea({1, 1, 40, 6});
  a.setSelection(2, 1, 3, 255);
  a.setPrintTitlesFromSelection();
  const wb::ObjPos logo{2.25, 2.0, 3.5, 5.0};
  a.addPicture(logo, fixtures::pngBytes(30, 20), "png");
  a.addShape(wb::DrawingObject::Kind::Line, {2.2, 12.9, 2.9, 12.9});
  a.insertSheets(2, 1);
  a.setSheetName(2, "Otra hoja");
  a.setSheet(2);
  a.setActiveCell(1, 1);
  a.setNumber(3);
  a.setSheet(1);

  const QString f1 = path("a.xlsx"), f2 = path("b.xlsx");
  a.write(f1);
  Book b;
  b.read(f1);
  EXPECT_EQ(b.sheet(), 1);
  ASSERT_EQ(b.numSheets(), 2);
  EXPECT_EQ(b.sheetName(2), "Otra hoja");
  for (int r = 1; r <= 8; ++r)
    for (int c = 1; c <= 6; ++c) {
      a.setActiveCell(r, c);
      b.setActiveCell(r, c);
      EXPECT_EQ(b.text(), a.text()) << r << "," << c;
      EXPECT_EQ(b.cellStyle(), a.cellStyle()) << r << "," << c;
    }
  EXPECT_EQ(b.lastRow(), a.lastRow());
  EXPECT_EQ(b.lastCol(), a.lastCol());
  EXPECT_EQ(b.colWidth(2), 2400 / 15 * 15);  // whole pixels in the file
  EXPECT_EQ(b.rowHeight(3), 8190);           // clamped to what the format holds
  EXPECT_EQ(b.rowHeight(4), 50);
  EXPECT_EQ(b.pageSetup(), a.pageSetup());
  ASSERT_EQ(b.currentSheet().objects.size(), 2u);
  EXPECT_EQ(b.object(1).imageData, fixtures::pngBytes(30, 20));
  EXPECT_EQ(b.object(2).kind, wb::DrawingObject::Kind::Line);
  EXPECT_NEAR(b.objPos(1).x1, logo.x1, 1e-6);
  EXPECT_NEAR(b.objPos(1).y2, logo.y2, 1e-6);
  b.write(f2);

  // A third generation must be byte-identical to the second (nothing drifts on a round trip).
  Book c;
  c.read(f2);
  const QString f3 = path("c.xlsx");
  c.write(f3);
  QFile x(f2), y(f3);
  ASSERT_TRUE(x.open(QIODevice::ReadOnly) && y.open(QIODevice::ReadOnly));
  EXPECT_EQ(x.readAll(), y.readAll());
}

TEST_F(Xlsx, WritingIsReproducible) {
  Book a;
  a.setText("igual");
  a.write(path("1.xlsx"));
  a.write(path("2.xlsx"));
  QFile x(path("1.xlsx")), y(path("2.xlsx"));
  ASSERT_TRUE(x.open(QIODevice::ReadOnly) && y.open(QIODevice::ReadOnly));
  EXPECT_EQ(x.readAll(), y.readAll());
}

// Parts and elements the model does not interpret survive a read and a write unchanged.
TEST_F(Xlsx, KeepsWhatItDoesNotModel) {
  const QString f = path("foreign.xlsx");
  fixtures::writeRichWorkbook(f);
  const QByteArray custom = "<?xml version=\"1.0\"?>\n<datos xmlns=\"urn:x-prueba\">\r\n  <a b=\"1\">ñ</a>\n</datos>";
  fixtures::zipPut(f, "customXml/item1.xml", custom);
  QByteArray types = fixtures::zipPart(f, "[Content_Types].xml");
  types.replace("</Types>", "<Override PartName=\"/customXml/item1.xml\" ContentType=\"application/x-prueba+xml\"/></Types>");
  fixtures::zipPut(f, "[Content_Types].xml", types);
  QByteArray rels = fixtures::zipPart(f, "_rels/.rels");
  rels.replace("</Relationships>", "<Relationship Id=\"rIdX\" Type=\"urn:x-prueba/rel\" Target=\"customXml/item1.xml\"/></Relationships>");
  fixtures::zipPut(f, "_rels/.rels", rels);
  const QByteArray theme = fixtures::zipPart(f, "xl/theme/theme1.xml");
  ASSERT_FALSE(theme.isEmpty());

  Book b;
  b.read(f);
  b.setSheet(1);
  b.setActiveCell(1, 1);
  b.setText("cambiado");
  const QString out = path("out.xlsx");
  b.write(out);

  EXPECT_EQ(fixtures::zipPart(out, "customXml/item1.xml"), custom);
  EXPECT_EQ(fixtures::zipPart(out, "xl/theme/theme1.xml"), theme);
  EXPECT_TRUE(fixtures::zipPart(out, "[Content_Types].xml").contains("/customXml/item1.xml\" ContentType=\"application/x-prueba+xml\""));
  EXPECT_TRUE(fixtures::zipPart(out, "_rels/.rels").contains("Target=\"customXml/item1.xml\""));
  EXPECT_TRUE(fixtures::zipPart(out, "xl/_rels/workbook.xml.rels").contains("theme/theme1.xml"));
  // The data validation of the second sheet is kept as its XML, its chart as its part and its place.
  EXPECT_TRUE(fixtures::zipPart(out, "xl/worksheets/sheet2.xml").contains("<dataValidations"));
  const QByteArray chart = fixtures::zipPart(f, "xl/charts/chart1.xml");
  ASSERT_FALSE(chart.isEmpty());
  EXPECT_EQ(fixtures::zipPart(out, "xl/charts/chart1.xml"), chart);
  EXPECT_TRUE(fixtures::zipPart(out, "[Content_Types].xml").contains("/xl/charts/chart1.xml"));
  const QByteArray drawing2 = fixtures::zipPart(out, "xl/drawings/drawing2.xml");
  EXPECT_TRUE(drawing2.contains("graphicFrame"));
  EXPECT_TRUE(fixtures::zipPart(out, "xl/drawings/_rels/drawing2.xml.rels").contains("Target=\"../charts/chart1.xml\""));

  Book c;
  c.read(out);
  c.setSheet(1);
  c.setActiveCell(1, 1);
  EXPECT_EQ(c.text(), "cambiado");
  c.setActiveCell(3, 2);
  EXPECT_EQ(c.text(), "$1,234.50");
  c.setSheet(2);
  ASSERT_EQ(c.currentSheet().objects.size(), 1u);
  EXPECT_EQ(c.object(1).kind, wb::DrawingObject::Kind::Other);
  EXPECT_NEAR(c.objPos(1).x1, 2, 1e-3);
  EXPECT_NEAR(c.objPos(1).y1, 6, 1e-3);
}

// Damaged or foreign files raise 20011 and never crash; the book keeps what it had.
TEST_F(Xlsx, BadFilesRaiseCannotOpen) {
  const QString good = path("good.xlsx");
  fixtures::writeRichWorkbook(good);
  auto copyGood = [&](const QString& name) {
    QFile::remove(path(name));
    QFile::copy(good, path(name));
    return path(name);
  };
  auto write = [&](const QString& name, const QByteArray& data) {
    QFile f(path(name));
    f.open(QIODevice::WriteOnly);
    f.write(data);
    return path(name);
  };
  QByteArray goodBytes;
  {
    QFile g(good);
    g.open(QIODevice::ReadOnly);
    goodBytes = g.readAll();
  }
  struct Case {
    const char* what;
    QString file;
    const char* inMessage;
  };
  std::vector<Case> cases;
  cases.push_back({"missing", path("no-existe.xlsx"), "no existe"});
  cases.push_back({"empty", write("vacio.xlsx", ""), "no es un libro"});
  cases.push_back({"text", write("texto.xlsx", "Hola, esto no es un libro"), "no es un libro"});
  cases.push_back({"legacy xls", write("viejo.xls", QByteArray::fromHex("D0CF11E0A1B11AE1") + QByteArray(504, '\0')), ".xls"});
  cases.push_back({"truncated zip", write("cortado.xlsx", goodBytes.left(goodBytes.size() / 2)), ""});
  {
    const QString f = copyGood("sinlibro.xlsx");
    fixtures::zipDelete(f, "xl/workbook.xml");
    cases.push_back({"no workbook part", f, "workbook"});
  }
  {
    const QString f = copyGood("sinhoja.xlsx");
    fixtures::zipDelete(f, "xl/worksheets/sheet1.xml");
    cases.push_back({"missing sheet part", f, "Presupuesto"});
  }
  {
    const QString f = copyGood("xmlmalo.xlsx");
    QByteArray s = fixtures::zipPart(f, "xl/worksheets/sheet1.xml");
    fixtures::zipPut(f, "xl/worksheets/sheet1.xml", s.left(s.size() - 40));
    cases.push_back({"malformed xml", f, "XML mal formado"});
  }
  {
    const QString f = copyGood("cadena.xlsx");
    QByteArray s = fixtures::zipPart(f, "xl/worksheets/sheet1.xml");
    s.replace("t=\"s\"><v>0</v>", "t=\"s\"><v>999</v>");
    fixtures::zipPut(f, "xl/worksheets/sheet1.xml", s);
    cases.push_back({"bad shared string", f, "999"});
  }
  {
    const QString f = copyGood("celda.xlsx");
    QByteArray s = fixtures::zipPart(f, "xl/worksheets/sheet1.xml");
    s.replace("r=\"A1\"", "r=\"A99999999\"");
    fixtures::zipPut(f, "xl/worksheets/sheet1.xml", s);
    cases.push_back({"cell off the sheet", f, "A99999999"});
  }
  {
    const QString f = copyGood("sintipos.xlsx");
    fixtures::zipDelete(f, "[Content_Types].xml");
    cases.push_back({"no content types", f, "Content_Types"});
  }
  cases.push_back({"folder", [&] {
                     QDir(dir.path()).mkdir("carpeta.xlsx");
                     return path("carpeta.xlsx");
                   }(),
                   "carpeta"});
  {
    // A zip whose central directory says more than the file holds.
    QByteArray b = goodBytes;
    const qsizetype fin = b.lastIndexOf(QByteArray("PK\x05\x06", 4));
    b[fin + 10] = char(0x7f);  // entries on this disk
    b[fin + 12] = char(0x7f);  // entries in all
    cases.push_back({"inconsistent zip", write("incoherente.xlsx", b), ""});
  }
  {
    // The compressed bytes of a part damaged: the part's check fails.
    QByteArray b = goodBytes;
    const qsizetype parte = b.indexOf("xl/worksheets/sheet1.xml");
    for (qsizetype i = parte + 40; i < parte + 60 && i < b.size(); ++i)
      b[i] = char(b[i] ^ 0x5a);
    cases.push_back({"damaged part", write("crc.xlsx", b), ""});
  }
  // Words of the messages of the libraries underneath, which a user must never see.
  static const QRegularExpression ingles(
      QStringLiteral("\\b(not|archive|such|denied|permission|inconsistent|parsing|unexpected|tag|premature|"
                     "mismatch|element|attribute|failed|invalid|directory|checksum|unsupported|closed)\\b"),
      QRegularExpression::CaseInsensitiveOption);
  for (const Case& c : cases) {
    Book b;
    b.setText("antes");
    try {
      b.read(c.file);
      ADD_FAILURE() << c.what << ": no error";
    } catch (const vb::Error& e) {
      EXPECT_FALSE(ingles.match(e.description()).hasMatch()) << c.what << ": " << e.description().toStdString();
      EXPECT_EQ(e.number(), 20011) << c.what;
      EXPECT_TRUE(e.description().startsWith("No se puede abrir el archivo")) << c.what << ": " << e.description().toStdString();
      EXPECT_TRUE(e.description().contains(QString::fromUtf8(c.inMessage))) << c.what << ": " << e.description().toStdString();
    }
    EXPECT_EQ(b.text(), "antes") << c.what;
    EXPECT_EQ(b.numSheets(), 1) << c.what;
  }
}

// Damage inside the XML of each part the model reads: the read either succeeds or raises 20011.
TEST_F(Xlsx, DamagedPartsNeverCrash) {
  const QString good = path("good.xlsx");
  fixtures::writeRichWorkbook(good);
  const char* parts[] = {"xl/worksheets/sheet1.xml", "xl/styles.xml", "xl/workbook.xml", "xl/drawings/drawing1.xml",
                         "xl/sharedStrings.xml", "xl/_rels/workbook.xml.rels", "[Content_Types].xml"};
  quint32 seed = 12345;
  auto next = [&] { return seed = seed * 1103515245u + 12345u; };
  const char replacements[] = "0123456789-9999999999e+308<>\"&;:AZaz ";
  for (const char* part : parts) {
    const QByteArray original = fixtures::zipPart(good, part);
    ASSERT_FALSE(original.isEmpty()) << part;
    for (int k = 0; k < 25; ++k) {
      QByteArray damaged = original;
      for (int m = 0; m < 3; ++m)
        damaged[qsizetype((next() >> 8) % quint32(damaged.size()))] = replacements[(next() >> 8) % (sizeof replacements - 1)];
      const QString f = path("damaged.xlsx");
      QFile::remove(f);
      QFile::copy(good, f);
      fixtures::zipPut(f, part, damaged);
      Book b;
      const int err = errorOf([&] { b.read(f); });
      EXPECT_TRUE(err == 0 || err == 20011) << part << " " << err;
      if (err == 0)  // what was read can be written again
        EXPECT_EQ(errorOf([&] { b.write(path("again.xlsx")); }), 0) << part;
    }
  }
}

TEST_F(Xlsx, WriteErrorsRaise20102AndKeepTheOldFile) {
  Book b;
  b.setText("x");
  EXPECT_EQ(errorOf([&] { b.write(dir.path()); }), 20102);
  EXPECT_EQ(errorOf([&] { b.write(path("no/existe/x.xlsx")); }), 20102);
}

TEST_F(Xlsx, AWriteKilledHalfWayLeavesTheOldFileAndNothingBesideIt) {
  const QString f = path("informe.xlsx");
  Book viejo;
  viejo.setText("viejo");
  viejo.write(f);
  QFile leido(f);
  ASSERT_TRUE(leido.open(QIODevice::ReadOnly));
  const QByteArray antes = leido.readAll();
  leido.close();
  Book grande;
  for (int r = 1; r <= 4000; ++r) {
    grande.setActiveCell(r, 1);
    grande.setText(QStringLiteral("renglón %1 %2").arg(r).arg(r * 7919 % 10007));
  }

  EXPECT_EXIT(
      {
        testsupport::cortaAlEscribirMasDe(antes.size() + 4096);
        grande.write(f);
      },
      ::testing::KilledBySignal(SIGXFSZ), "");
  ASSERT_TRUE(leido.open(QIODevice::ReadOnly));
  EXPECT_EQ(leido.readAll(), antes);
  leido.close();
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList({"informe.xlsx"}));

  grande.write(f);
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList({"informe.xlsx"}));
  Book otra;
  otra.read(f);
  otra.setActiveCell(4000, 1);
  EXPECT_EQ(otra.text(), grande.text());
}

}  // namespace
