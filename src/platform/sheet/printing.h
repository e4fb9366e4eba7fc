#pragma once
// Printing a sheet: on a printer (with or without the print dialog), in the print preview, and to a PDF
// file, all through one page painter.
//
// PrintService is the program's printer object: the default printer of the printer list (a print
// queue, or printing to a PDF file when the machine has none), its orientation and its page height,
// which the report engine reads to budget its pages. Printing, preview and PDF use that printer's
// paper (not the paper size stored in the sheet), turned as the sheet's page set-up says, so the page
// the program budgeted is the page printed. Each job starts from all pages and one copy; copies the
// printer cannot make itself (a file) are printed as repeated pages.
#include "book.h"
#include "headerfooter.h"
#include "pagination.h"
#include "renderer.h"

#include <QPageLayout>
#include <QPageSize>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QIODevice;
class QPagedPaintDevice;
class QPrinter;
class QWidget;

namespace wb {

// Told after each page printed: the pages done and all the job's pages. Returning false cancels
// the job.
using PrintProgress = std::function<bool(int done, int total)>;

enum class PrintOutcome { Done, Cancelled, Failed };

// A sheet laid out on paper, ready to paint page by page.
class SheetPrintLayout {
public:
  // The sheet on `paper`, turned as `orientation` says (by default as the sheet's page set-up says).
  // `fields` gives what the header and footer show besides the page numbers (the sheet's name and
  // the time of printing by default).
  SheetPrintLayout(const Workbook& wb, const Sheet& sheet, const QPageSize& paper,
                   std::optional<QPageLayout::Orientation> orientation = std::nullopt,
                   std::optional<HeaderFooterFields> fields = std::nullopt);
  SheetPrintLayout(const SheetPrintLayout&) = delete;
  SheetPrintLayout& operator=(const SheetPrintLayout&) = delete;

  const Pagination& pagination() const { return pages_; }
  int pageCount() const { return int(pages_.pages.size()); }
  // The paper and orientation to print on; no margins, as the page painter places everything.
  QPageLayout pageLayout() const;

  // Paints page `index` (0-based) on a painter whose coordinates are the device's, origin at the
  // paper's top-left corner (a full-page printer, a PDF writer, an image).
  void paintPage(QPainter& p, int index) const;
  // Paints pages first..last (1-based, inclusive; 0 for "to the end") on a device already set to
  // pageLayout(); pages after the first start with newPage(). At least one page is written. False
  // when the device cannot be painted on (a file that cannot be written, a printer gone).
  bool render(QPagedPaintDevice& device, int first = 1, int last = 0) const;
  // Paints the pages listed (0-based, in that order, repeats allowed), telling `progress` after each.
  PrintOutcome render(QPagedPaintDevice& device, const std::vector<int>& pages,
                      const PrintProgress& progress = {}) const;
  // The pages listed as one PDF document written to `out`: a long job is painted in parts at once,
  // one per processor (up to four), and the parts joined.
  PrintOutcome writePdf(QIODevice& out, const std::vector<int>& pages, const QString& title,
                        const PrintProgress& progress = {}) const;

private:
  const Workbook& wb_;
  const Sheet& sheet_;
  SheetLayout layout_;
  SheetRenderer renderer_;
  QPageLayout pageLayout_;
  Pagination pages_;
  HeaderFooterFields fields_;
  void paintHeaderFooter(QPainter& p, int index) const;
};

class PrintService {
public:
  static PrintService& instance();

  // The printer object, made on first use for the printer list's default printer.
  QPrinter& printer();
  QString printerName();
  void setPrinterName(const QString& name);  // a name of ui::printerNames()

  // VB's orientation numbers: 1 portrait, 2 landscape.
  int orientation();
  void setOrientation(int orientation);
  // The paper's full height and width in the current orientation (twips), as VB's Printer object.
  double pageHeightTwips();
  double pageWidthTwips();
  QPageSize paperSize();  // the printer's paper, what printing, preview and PDF print on

  // What a job prints to besides the printer, and how it tells its progress.
  struct Job {
    // For the PDF printer: the file proposed to the print dialog, or printed to without it. Empty:
    // the printer's own (the last one chosen).
    QString pdfFile;
    PrintProgress progress;  // told after each page; false cancels the job
    // Told as a print from the preview starts: a job of its own after the preview's, told to
    // `progress` too.
    std::function<void()> printFromPreview;
  };

  // Prints the book's current sheet. With the dialog the user may choose the printer, pages and
  // copies. On the PDF printer an existing file is replaced only when the user says so (the print
  // dialog asks itself), and the file appears whole or not at all (files.h: a symbolic link followed,
  // owner and mode kept, a read-only file refused). False when nothing was printed:
  // the dialog or the question was answered no, the job was cancelled, or the PDF printer has no
  // file. vb::Error 20102 when the printer or the file cannot be written.
  bool print(const Book& book, bool showDialog, QWidget* parent = nullptr, const Job& job = {});
  // The print preview of the current sheet, maximised and modal; it can print too (on the PDF
  // printer it proposes job.pdfFile, and writes the file as print() does, telling job.progress).
  // vb::Error 20102 once the preview has closed when the file could not be written.
  void preview(const Book& book, QWidget* parent = nullptr, const Job& job = {});
  // Writes the current sheet to a PDF file on the printer's paper, replacing it without a question.
  // vb::Error 20102 when the file cannot be written.
  void exportPdf(const Book& book, const QString& path);
  // Pages the program paints itself (not a sheet) on the printer, or on the PDF printer into pdfFile,
  // written as print() writes a file. paint gets a device set to the printer's paper and its
  // resolution (dots per inch), paints every page and returns false when it could not begin. False
  // when paint did; vb::Error 20102 when the file cannot be written.
  using PagePainter = std::function<bool(QPagedPaintDevice& device, int resolution)>;
  bool printPages(const QString& pdfFile, const PagePainter& paint);
  // Whether a file may be printed to: yes when it does not exist, else the user's answer to
  // "El archivo ... ya existe" (No by default).
  static bool mayReplace(const QString& path);

  // Tests answer the print dialog: the hook gets the printer, may change it (an output file, pages)
  // and returns false to cancel. nullptr brings back the real dialog. The hook asks nothing about an
  // existing file: print() does, as it does without a dialog.
  using PrintDialogHook = std::function<bool(QPrinter&)>;
  void setPrintDialogHook(PrintDialogHook hook);
  // The preview dialog is handed to this hook just before it is shown (tests close it from there).
  using PreviewHook = std::function<void(QWidget& dialog)>;
  void setPreviewHook(PreviewHook hook);

private:
  PrintService();
  ~PrintService();
  std::unique_ptr<QPrinter> printer_;
  PrintDialogHook dialogHook_;
  PreviewHook previewHook_;
  void makePrinter(const QString& name);
  static void releasePrinter();
  QPrinter& startJob(const Sheet& sheet);  // the printer set up for a job: the sheet's orientation
};

}  // namespace wb
