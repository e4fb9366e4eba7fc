// Printed pages: what each page shows and where, the PDF file, the print dialog, the preview and the
// printer object the report engine budgets with.
#include "printing.h"

#include "archivos.h"
#include "error.h"
#include "error_of.h"
#include "vista_previa.h"
#include "pdfjoin.h"
#include "scripted_ui.h"
#include "metrics.h"
#include "printers.h"
#include "printsamples.h"
#include "qt_print.h"
#include "recorder.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QPrinter>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <csignal>
#include <unistd.h>

using namespace wb;
using samples::DrawnText;

namespace {

const QPageSize kLetter(QPageSize::Letter);

// Pages of a PDF file, counted on its page objects (Qt writes them uncompressed).
int pdfPages(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly))
    return -1;
  const QByteArray data = f.readAll();
  return int(data.count("/Type /Page\n") + data.count("/Type /Page/") + data.count("/Type /Page "));
}

TEST(PrintedPages, TitlesRepeatHeaderCountsAndRowsLandWhereLaidOut) {
  Book b;
  samples::budget(b, 100);
  const Sheet& sheet = b.currentSheet();
  HeaderFooterFields fields;
  fields.now = QDateTime(QDate(2009, 3, 15), QTime(10, 30));
  fields.sheetName = sheet.name;
  const SheetPrintLayout print(b.workbook(), sheet, kLetter, std::nullopt, fields);
  ASSERT_EQ(print.pageCount(), 4);  // the manual break at row 55 splits the second page

  const SheetLayout layout(b.workbook(), sheet);
  const Font detail = b.workbook().styles.at(sheet.cell(5, 1)->style).font;
  const metrics::LineGeometry g = metrics::line(detail);
  const double top = 0.75 * 1440, left = 0.7 * 1440;
  samples::RecordingDevice dev(QSizeF(12240, 15840));
  for (int i = 0; i < print.pageCount(); ++i) {
    dev.clear();
    QPainter p(&dev);
    print.paintPage(p, i);
    p.end();
    const PrintPage& page = print.pagination().pages[size_t(i)];
    SCOPED_TRACE(i + 1);
    EXPECT_TRUE(dev.contains(QStringLiteral("Página %1 de 4").arg(i + 1)));
    EXPECT_TRUE(dev.contains(QStringLiteral("15/03/2009")));
    // The column headings: in place on page 1, repeated above the rows of every later page.
    const DrawnText* heading = dev.find(QStringLiteral("Clave"));
    ASSERT_NE(heading, nullptr);
    const double titleH = layout.rowHeight(4);
    const metrics::LineGeometry hg = metrics::line(b.workbook().styles.at(sheet.cell(4, 1)->style).font);
    const double headingTop = i == 0 ? top + double(layout.rowTop(4)) : top;  // vertically centred in row 4
    EXPECT_NEAR(heading->at.y(), headingTop + (titleH - hg.lineTwips) / 2 + hg.ascentTwips, 0.5);
    if (i == 0) {
      EXPECT_FALSE(page.titleRows);
      EXPECT_EQ(dev.images.size(), 1u);  // the logo, on the first page only
    } else {
      ASSERT_TRUE(page.titleRows);
      EXPECT_TRUE(dev.images.empty());
      EXPECT_FALSE(dev.contains(QStringLiteral("CONSTRUCTORA DEL NORTE, S.A. DE C.V.")));
    }
    // Every concept of the page sits on its row's foot (bottom-aligned), rows placed by their
    // heights: the same twips the program measured.
    const double bodyTop = top + (page.titleRows ? titleH : 0);
    int seen = 0;
    for (int r = std::max(5, page.body.r1); r <= page.body.r2; ++r) {
      const DrawnText* t = dev.find(QStringLiteral("C-%1").arg(r - 4, 4, 10, QLatin1Char('0')));
      ASSERT_NE(t, nullptr) << r;
      const double rowFoot = bodyTop + double(layout.rowTop(r + 1) - layout.rowTop(page.body.r1));
      EXPECT_NEAR(t->at.y(), rowFoot - g.lineTwips + g.ascentTwips, 0.5) << r;
      EXPECT_NEAR(t->at.x(), left + metrics::kCellPadTwips, 0.5) << r;
      ++seen;
    }
    EXPECT_GT(seen, 10);
    // Nothing of the next page's rows.
    if (i + 1 < print.pageCount()) {
      EXPECT_FALSE(dev.contains(QStringLiteral("C-%1").arg(page.body.r2 + 1 - 4, 4, 10, QLatin1Char('0'))));
    }
  }
}

TEST(PrintedPages, FirstPageNumberAndCentring) {
  Book b;
  samples::plainRows(b, 100, 300);
  b.pageSetup().footer = QStringLiteral("&LHoja &P de &N&R&A");
  b.pageSetup().useFirstPageNumber = true;
  b.pageSetup().firstPageNumber = 7;
  b.pageSetup().hCenter = true;
  const SheetPrintLayout print(b.workbook(), b.currentSheet(), kLetter);
  samples::RecordingDevice dev(QSizeF(12240, 15840));
  QPainter p(&dev);
  print.paintPage(p, 2);
  p.end();
  const DrawnText* footer = dev.find(QStringLiteral("Hoja 9 de 3"));
  ASSERT_NE(footer, nullptr);
  EXPECT_DOUBLE_EQ(footer->at.x(), 1440);  // the left section starts at the left margin
  // Its last line sits on the footer margin (0.3 in from the paper's foot).
  const metrics::LineGeometry g = metrics::line(b.workbook().defaultFont());
  EXPECT_NEAR(footer->at.y(), 15840 - 0.3 * 1440 - g.lineTwips + g.ascentTwips, 0.5);
  EXPECT_TRUE(dev.contains(QStringLiteral("Hoja1")));
  // One column of the default width, centred across the page body.
  const SheetLayout layout(b.workbook(), b.currentSheet());
  const DrawnText* n = dev.find(QStringLiteral("87"));
  ASSERT_NE(n, nullptr);
  const double colRight = 1440 + (12240 - 2880 + layout.colWidth(1)) / 2.0;
  EXPECT_NEAR(n->at.x() + metrics::textWidth(b.workbook().defaultFont(), QStringLiteral("87")),
              colRight - metrics::kCellPadTwips, 0.5);
}

TEST(PrintedPages, PdfFileHasTheExpectedPageCount) {
  QTemporaryDir dir;
  Book b;
  samples::budget(b, 100);
  const QString path = dir.filePath(QStringLiteral("presupuesto.pdf"));
  PrintService::instance().exportPdf(b, path);
  EXPECT_EQ(pdfPages(path), 4);

  Book wide;
  samples::plainRows(wide, 100, 300);
  for (int c = 1; c <= 7; ++c) {
    wide.setColWidth(c, 3000);
    for (int r = 1; r <= 100; ++r) {
      wide.setActiveCell(r, c);
      wide.setNumber(c);
    }
  }
  PrintService::instance().exportPdf(wide, path);
  EXPECT_EQ(pdfPages(path), 9);  // three pages down, three across
  wide.pageSetup().landscape = true;
  PrintService::instance().exportPdf(wide, path);
  EXPECT_EQ(pdfPages(path), 8);  // four pages of 31 rows down, two across

  Book empty;
  PrintService::instance().exportPdf(empty, path);
  EXPECT_EQ(pdfPages(path), 1);  // nothing to print still makes a (blank) page

  try {
    PrintService::instance().exportPdf(b, dir.filePath("no/such/folder/x.pdf"));
    ADD_FAILURE() << "a PDF written where no folder is";
  } catch (const vb::Error& e) {
    EXPECT_EQ(e.number(), 20102);
    EXPECT_TRUE(e.description().contains("x.pdf")) << e.what();
  }
}

// Spreadsheet programs leave out a page that has nothing of its own beside the repeated titles: no
// value (a blank text is one), no border, no drawing object, no text running in from the left. A
// sheet of four pages, two down and two across, the first column repeated: what is put on the page
// down and across decides whether it prints. A fill alone is no content, as there. When no page has
// anything, every page stays.
TEST(PrintedPages, APageWithNothingOfItsOwnIsLeftOut) {
  struct Caso {
    const char* que;
    std::function<void(Book&)> pon;  // on the last page's first cell, (44, 4), unless told
    int paginas;
  };
  const Caso casos[] = {
      {"nothing", [](Book&) {}, 3},
      {"a number", [](Book& b) { b.setNumber(1); }, 4},
      {"a blank text", [](Book& b) { b.setText(" "); }, 4},
      {"a border", [](Book& b) { b.setBorder(-1, -1, -1, 1, -1, -1, kKeepColor, kKeepColor, kKeepColor, 0, kKeepColor); }, 4},
      {"a fill", [](Book& b) { b.setPattern(1, 0xFF0000, 0xFFFFFF); }, 3},
      {"a shape", [](Book& b) { b.addShape(DrawingObject::Kind::Rect, ObjPos{4.2, 50.2, 4.8, 50.8}); }, 4},
      {"a long text from the page before",
       [](Book& b) {
         b.setActiveCell(50, 3);
         b.setText(QString(60, u'x'));
       },
       4},
      {"a short text on the page before",
       [](Book& b) {
         b.setActiveCell(50, 3);
         b.setText(QStringLiteral("x"));
       },
       3},
      {"a long wrapped text on the page before",
       [](Book& b) {
         b.setActiveCell(50, 3);
         b.setText(QString(60, u'x'));
         Book::Alignment a = b.alignment();
         a.wrap = true;
         b.setAlignment(a);
       },
       3},
  };
  for (const Caso& c : casos) {
    SCOPED_TRACE(c.que);
    Book b;
    samples::plainRows(b, 60, 300);  // 43 rows a page down
    b.pageSetup().titleCols = std::pair{1, 1};
    b.setColWidth(1, 1500);
    for (int col = 2; col <= 5; ++col)
      b.setColWidth(col, 3000);  // two columns a page across
    b.setActiveCell(1, 5);
    b.setText(QStringLiteral("fin"));
    b.setActiveCell(44, 4);
    c.pon(b);
    EXPECT_EQ(SheetPrintLayout(b.workbook(), b.currentSheet(), kLetter).pageCount(), c.paginas);
  }
  Book vacio;
  vacio.setPrintArea(Range{1, 1, 100, 10});
  const SheetLayout layout(vacio.workbook(), vacio.currentSheet());
  const size_t todas = paginate(vacio.currentSheet(), layout, QSizeF(12240, 15840)).pages.size();
  EXPECT_GT(todas, 1u);
  EXPECT_EQ(SheetPrintLayout(vacio.workbook(), vacio.currentSheet(), kLetter).pageCount(), int(todas));
}

TEST(PrintService, OrientationAndPageHeightOfThePrinter) {
  ui::overridePrinterList(QStringList{ui::pdfPrinterName()});
  PrintService& ps = PrintService::instance();
  ps.setPrinterName(ui::pdfPrinterName());
  EXPECT_EQ(ps.printerName(), ui::pdfPrinterName());
  ps.setOrientation(1);
  EXPECT_EQ(ps.orientation(), 1);
  EXPECT_DOUBLE_EQ(ps.pageHeightTwips(), 15840);  // Letter, the whole sheet of paper
  EXPECT_DOUBLE_EQ(ps.pageWidthTwips(), 12240);
  ps.setOrientation(2);
  EXPECT_EQ(ps.orientation(), 2);
  EXPECT_DOUBLE_EQ(ps.pageHeightTwips(), 12240);
  ps.setPrinterName(ui::pdfPrinterName());  // a new printer keeps the orientation
  EXPECT_EQ(ps.orientation(), 2);
  ps.setOrientation(1);
  ui::overridePrinterList(std::nullopt);
}

TEST(PrintService, PrintDialogChoosesFileAndPagesOrCancels) {
  QTemporaryDir dir;
  Book b;
  samples::budget(b, 100);
  PrintService& ps = PrintService::instance();
  ps.setPrinterName(ui::pdfPrinterName());
  const QString path = dir.filePath(QStringLiteral("impreso.pdf"));
  int asked = 0;
  ps.setPrintDialogHook([&](QPrinter& pr) {
    ++asked;
    pr.setOutputFileName(path);
    pr.setPrintRange(QPrinter::PageRange);
    pr.setFromTo(2, 3);
    return true;
  });
  EXPECT_TRUE(ps.print(b, true));
  EXPECT_EQ(asked, 1);
  EXPECT_EQ(pdfPages(path), 2);

  // Copies that a file cannot make itself are printed as pages, collated or not (over the file just
  // written, once the user agrees).
  testui::ScriptedMsgBoxes boxes;
  boxes.answer(ui::vbYes);
  ps.setPrintDialogHook([&](QPrinter& pr) {
    pr.setOutputFileName(path);
    pr.setPrintRange(QPrinter::PageRange);
    pr.setFromTo(3, 4);
    pr.setCopyCount(3);
    pr.setCollateCopies(false);
    return true;
  });
  EXPECT_TRUE(ps.print(b, true));
  EXPECT_EQ(pdfPages(path), 6);

  QFile::remove(path);
  ps.setPrintDialogHook([&](QPrinter&) { return false; });
  EXPECT_FALSE(ps.print(b, true));
  EXPECT_FALSE(QFile::exists(path));

  // Without the dialog, on the file printer's last output file, every page.
  ps.setPrintDialogHook(nullptr);
  ps.printer().setOutputFileName(path);
  EXPECT_TRUE(ps.print(b, false));
  EXPECT_EQ(pdfPages(path), 4);
  ps.setPrinterName(ui::pdfPrinterName());
  EXPECT_FALSE(ps.print(b, false));  // a new file printer has no file to print to yet
}

// A PDF file that exists is replaced only when the user says so, however the job was asked for; the
// job's own file is proposed to the dialog and printed to without it.
TEST(PrintService, AnExistingFileIsReplacedOnlyWhenTheUserSaysSo) {
  QTemporaryDir dir;
  Book b;
  samples::budget(b, 100);
  PrintService& ps = PrintService::instance();
  ps.setPrinterName(ui::pdfPrinterName());
  const QString path = dir.filePath(QStringLiteral("Presupuesto.pdf"));
  QString proposed;
  ps.setPrintDialogHook([&](QPrinter& pr) {
    proposed = pr.outputFileName();
    return true;
  });
  const auto contents = [&] {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
  };
  for (const bool dialog : {true, false}) {
    SCOPED_TRACE(dialog);
    QFile::remove(path);
    testui::ScriptedMsgBoxes boxes;
    EXPECT_TRUE(ps.print(b, dialog, nullptr, PrintService::Job{path, {}, {}}));  // nothing to replace: no question
    EXPECT_TRUE(boxes.shown().empty());
    EXPECT_EQ(proposed, dialog ? path : QString());
    EXPECT_EQ(pdfPages(path), 4);
    {
      QFile f(path);
      ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
      f.write("otro documento");
    }
    boxes.answer(ui::vbNo);
    EXPECT_FALSE(ps.print(b, dialog, nullptr, PrintService::Job{path, {}, {}}));
    ASSERT_EQ(boxes.shown().size(), 1u);
    EXPECT_EQ(boxes.texts()[0], "El archivo \"Presupuesto.pdf\" ya existe.\r\n¿Desea reemplazarlo?");
    EXPECT_EQ(boxes.shown()[0].buttonSet(), ui::vbYesNo);
    EXPECT_EQ(boxes.shown()[0].defaultAnswer(), ui::vbNo);
    EXPECT_EQ(contents(), "otro documento");
    boxes.answer(ui::vbYes);
    EXPECT_TRUE(ps.print(b, dialog, nullptr, PrintService::Job{path, {}, {}}));
    EXPECT_EQ(pdfPages(path), 4);
    proposed.clear();
  }
  ps.setPrintDialogHook(nullptr);
}

// A job cancelled halfway leaves no file, and an existing one as it was.
TEST(PrintService, ACancelledJobLeavesNoFile) {
  QTemporaryDir dir;
  Book b;
  samples::budget(b, 400);
  PrintService& ps = PrintService::instance();
  ps.setPrinterName(ui::pdfPrinterName());
  const QString path = dir.filePath(QStringLiteral("Presupuesto.pdf"));
  int told = 0;
  const PrintService::Job job{path, [&](int done, int total) {
                                ++told;
                                EXPECT_LE(done, total);
                                return done < total / 2;
                              },
                              {}};
  EXPECT_FALSE(ps.print(b, false, nullptr, job));
  EXPECT_GT(told, 0);
  EXPECT_FALSE(QFile::exists(path));
  EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

// A long sheet is written in parts at once and joined: one document whose pages come in order, each
// with its own text, readable by another program when poppler's tools are installed.
TEST(PrintedPages, ALongPdfIsJoinedFromItsParts) {
  QTemporaryDir dir;
  Book b;
  samples::plainRows(b, 6000, 255);
  const SheetPrintLayout layout(b.workbook(), b.currentSheet(), kLetter);
  ASSERT_GT(layout.pageCount(), 100);
  const QString path = dir.filePath(QStringLiteral("largo.pdf"));
  PrintService::instance().exportPdf(b, path);
  QFile f(path);
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  const QByteArray data = f.readAll();
  EXPECT_EQ(pdf::pageCount(data), layout.pageCount());
  EXPECT_EQ(pdfPages(path), layout.pageCount());
  EXPECT_TRUE(data.contains("/Title (\xFE\xFF\x00H\x00o\x00j\x00""a\x00""1)"));

  if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
    GTEST_SKIP() << "pdftotext is not installed";
  QProcess p;
  p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
  ASSERT_TRUE(p.waitForFinished(60000));
  EXPECT_EQ(p.exitCode(), 0);
  EXPECT_EQ(p.readAllStandardError(), QByteArray());
  const QList<QByteArray> pages = p.readAllStandardOutput().split('\f');
  ASSERT_GE(pages.size(), layout.pageCount());
  // Each page holds the rows the layout put on it, first and last.
  for (int i = 0; i < layout.pageCount(); ++i) {
    const Range& body = layout.pagination().pages[size_t(i)].body;
    const QList<QByteArray> lines = pages[i].trimmed().split('\n');
    ASSERT_FALSE(lines.isEmpty());
    EXPECT_EQ(lines.front().trimmed().toInt(), body.r1) << "page " << i + 1;
    EXPECT_EQ(lines.back().trimmed().toInt(), body.r2) << "page " << i + 1;
  }
}

TEST(PrintService, PreviewShowsEveryPageMaximised) {
  Book b;
  samples::budget(b, 100);
  PrintService& ps = PrintService::instance();
  ps.setPrinterName(ui::pdfPrinterName());
  int pages = -1;
  bool maximised = false;
  ps.setPreviewHook([&](QWidget& dlg) {
    maximised = dlg.windowState() & Qt::WindowMaximized;
    testsupport::cierraAlMostrarse(dlg, pages);
  });
  ps.preview(b);
  ps.setPreviewHook(nullptr);
  EXPECT_TRUE(maximised);
  EXPECT_EQ(pages, 4);
}

// A print from the preview over an existing PDF file, killed half way (kill -9): the old file is
// whole, and nothing is left beside it. The killed print runs in a process started afresh, as
// painting needs threads that a forked copy of this one would lack; it works in this test's folder.
TEST(PrintService, APrintFromThePreviewKilledHalfWayLeavesTheOldFile) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  QTemporaryDir dir;
  const char* kCarpeta = "TORNAVO_PRUEBA_CARPETA_PDF";
  if (qEnvironmentVariableIsEmpty(kCarpeta))
    qputenv(kCarpeta, QFile::encodeName(dir.path()));
  const QString carpeta = qEnvironmentVariable(kCarpeta);
  const QString path = carpeta + QStringLiteral("/Presupuesto.pdf");
  ASSERT_TRUE(testsupport::pon(path, "documento anterior"));
  Book b;
  samples::budget(b, 3000);
  EXPECT_EXIT(
      {
        PrintService& ps = PrintService::instance();
        ps.setPrinterName(ui::pdfPrinterName());
        testsupport::ImprimeDesdeVista imprime;
        const auto mataALaMitad = [&](int done, int total) {
          if (imprime.imprime() && done * 2 >= total)
            ::kill(::getpid(), SIGKILL);
          return true;
        };
        ps.preview(b, nullptr, PrintService::Job{path, mataALaMitad, {}});
        _exit(0);
      },
      ::testing::KilledBySignal(SIGKILL), "");
  qunsetenv(kCarpeta);
  EXPECT_EQ(testsupport::contenido(path), "documento anterior");
  EXPECT_EQ(QDir(carpeta).entryList(QDir::Files | QDir::Hidden | QDir::System), QStringList{"Presupuesto.pdf"});
}

// A print from the preview to a file nobody may write is refused with the message of any refused
// write, once the preview has closed, and the file stays as it was. (Anyone but the superuser is
// refused by the print dialog itself, before the print starts.)
TEST(PrintService, APrintFromThePreviewToAReadOnlyFileIsRefused) {
  if (::geteuid() != 0)
    GTEST_SKIP() << "the print dialog refuses the file first";
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("Presupuesto.pdf"));
  ASSERT_TRUE(testsupport::pon(path, "documento anterior"));
  const testsupport::SinEscritura readOnly(path);
  ASSERT_TRUE(readOnly.hecho());
  Book b;
  samples::budget(b, 100);
  PrintService& ps = PrintService::instance();
  ps.setPrinterName(ui::pdfPrinterName());
  testsupport::ImprimeDesdeVista imprime;
  QString description;
  EXPECT_EQ(errorOf([&] { ps.preview(b, nullptr, PrintService::Job{path, {}, {}}); }, &description), 20102);
  EXPECT_EQ(description, "No se puede escribir el archivo \"Presupuesto.pdf\": Permiso denegado: " + path);
  EXPECT_EQ(testsupport::contenido(path), "documento anterior");
  EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System), QStringList{"Presupuesto.pdf"});
}

}  // namespace
