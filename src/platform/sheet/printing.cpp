#include "printing.h"

#include "error.h"
#include "files.h"
#include "metrics.h"
#include "msgbox.h"
#include "pdfjoin.h"
#include "printers.h"
#include "xlsx.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QFileInfo>
#include <QPaintEngine>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QThread>

#include <atomic>
#include <chrono>
#include <numeric>
#include <optional>
#include <thread>

namespace wb {

namespace {

constexpr double kTwipsPerInch = 1440;
constexpr double kTwipsPerPoint = 20;

QSizeF paperTwips(const QPageSize& paper, QPageLayout::Orientation o) {
  const QSizeF pt = paper.size(QPageSize::Point);
  const QSizeF tw(pt.width() * kTwipsPerPoint, pt.height() * kTwipsPerPoint);
  return o == QPageLayout::Landscape ? tw.transposed() : tw;
}

double extent(const SheetLayout& l, int first, int last, bool rows) {
  return rows ? double(l.rowTop(last + 1) - l.rowTop(first)) : double(l.colLeft(last + 1) - l.colLeft(first));
}

// One line of a header or footer section: runs with their fonts.
struct HfPiece {
  Font font;
  QString text;
};
struct HfLine {
  std::vector<HfPiece> pieces;
  double width = 0, height = 0, ascent = 0;
};

std::vector<HfLine> hfLines(const std::vector<HeaderFooterRun>& runs, const Font& base) {
  std::vector<HfLine> lines(1);
  for (const HeaderFooterRun& r : runs) {
    Font f = base;
    if (!r.fontName.isEmpty())
      f.name = r.fontName;
    if (r.sizePoints > 0)
      f.sizeTwips = r.sizePoints * 20;
    f.bold = r.bold;
    f.italic = r.italic;
    f.underline = r.doubleUnderline ? Underline::Double : r.underline ? Underline::Single : Underline::None;
    f.strike = r.strike;
    f.color = r.color;
    const QStringList parts = QString(r.text).remove(u'\r').split(u'\n');
    for (qsizetype i = 0; i < parts.size(); ++i) {
      if (i > 0)
        lines.emplace_back();
      lines.back().pieces.push_back(HfPiece{f, parts[i]});
    }
  }
  for (HfLine& l : lines) {
    if (l.pieces.empty())
      l.pieces.push_back(HfPiece{base, QString()});
    for (const HfPiece& p : l.pieces) {
      const metrics::LineGeometry g = metrics::line(p.font);
      l.width += metrics::textWidth(p.font, p.text);
      l.height = std::max<double>(l.height, g.lineTwips);
      l.ascent = std::max<double>(l.ascent, g.ascentTwips);
    }
  }
  return lines;
}

}  // namespace

// --- SheetPrintLayout ---

SheetPrintLayout::SheetPrintLayout(const Workbook& wb, const Sheet& sheet, const QPageSize& paper,
                                   std::optional<QPageLayout::Orientation> orientation,
                                   std::optional<HeaderFooterFields> fields)
    : wb_(wb), sheet_(sheet), layout_(wb, sheet), renderer_(wb, sheet, layout_) {
  const QPageLayout::Orientation o =
      orientation.value_or(sheet.page.landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
  pageLayout_ = QPageLayout(paper, o, QMarginsF(0, 0, 0, 0), QPageLayout::Point);
  pages_ = paginate(sheet, layout_, paperTwips(paper, o));
  leaveOutEmptyPages(pages_, wb, sheet, layout_);
  if (fields) {
    fields_ = *fields;
  } else {
    fields_.now = QDateTime::currentDateTime();
    fields_.sheetName = sheet.name;
  }
  fields_.pages = pageCount();
}

QPageLayout SheetPrintLayout::pageLayout() const { return pageLayout_; }

void SheetPrintLayout::paintPage(QPainter& p, int index) const {
  if (index < 0 || index >= pageCount())
    return;
  const PrintPage& page = pages_.pages[size_t(index)];
  QPaintDevice* dev = p.device();
  p.save();
  p.setRenderHint(QPainter::Antialiasing, false);
  p.setRenderHint(QPainter::TextAntialiasing, true);
  p.setRenderHint(QPainter::SmoothPixmapTransform, true);
  p.scale(SheetRenderer::twipScaleX(*dev), SheetRenderer::twipScaleY(*dev));
  paintHeaderFooter(p, index);

  // The block printed: repeated titles above and left of the page's own rows and columns.
  const double titleH = page.titleRows ? extent(layout_, page.titleRows->first, page.titleRows->second, true) : 0;
  const double titleW = page.titleCols ? extent(layout_, page.titleCols->first, page.titleCols->second, false) : 0;
  const double bodyH = extent(layout_, page.body.r1, page.body.r2, true);
  const double bodyW = extent(layout_, page.body.c1, page.body.c2, false);
  const double s = pages_.scale;
  QPointF origin = pages_.body.topLeft();
  if (sheet_.page.hCenter)
    origin.rx() += std::max(0.0, (pages_.body.width() - (titleW + bodyW) * s) / 2);
  if (sheet_.page.vCenter)
    origin.ry() += std::max(0.0, (pages_.body.height() - (titleH + bodyH) * s) / 2);
  p.translate(origin);
  p.scale(s, s);
  // A row taller than the page is cut at the page's foot.
  p.setClipRect(QRectF(0, 0, pages_.body.width() / s, pages_.body.height() / s), Qt::IntersectClip);

  RenderOptions opt;
  opt.gridlines = sheet_.page.printGridlines;
  opt.gridColor = Qt::black;
  opt.cosmeticGrid = false;
  // Each block with the drawing objects over it: a logo in the title columns is repeated with them.
  const auto block = [&](const Range& cells, QPointF at) {
    renderer_.paintCells(p, cells, at, opt);
    renderer_.paintObjects(p, cells, at);
  };
  if (page.titleRows && page.titleCols)
    block(Range{page.titleRows->first, page.titleCols->first, page.titleRows->second, page.titleCols->second},
          QPointF(0, 0));
  if (page.titleRows)
    block(Range{page.titleRows->first, page.body.c1, page.titleRows->second, page.body.c2}, QPointF(titleW, 0));
  if (page.titleCols)
    block(Range{page.body.r1, page.titleCols->first, page.body.r2, page.titleCols->second}, QPointF(0, titleH));
  block(page.body, QPointF(titleW, titleH));
  p.restore();
}

void SheetPrintLayout::paintHeaderFooter(QPainter& p, int index) const {
  const PageSetup& ps = sheet_.page;
  if (ps.header.isEmpty() && ps.footer.isEmpty())
    return;
  HeaderFooterFields f = fields_;
  f.page = index + 1 + (ps.useFirstPageNumber ? ps.firstPageNumber - 1 : 0);
  const Font base = wb_.defaultFont();
  const double left = pages_.body.left(), right = pages_.body.right();
  auto section = [&](const std::vector<HeaderFooterRun>& runs, Qt::Alignment align, bool footer) {
    if (runs.empty())
      return;
    const std::vector<HfLine> lines = hfLines(runs, base);
    double total = 0;
    for (const HfLine& l : lines)
      total += l.height;
    double y = footer ? pages_.paper.height() - ps.footerMargin * kTwipsPerInch - total
                      : ps.headerMargin * kTwipsPerInch;
    for (const HfLine& l : lines) {
      double x = align == Qt::AlignLeft ? left : align == Qt::AlignRight ? right - l.width : (left + right - l.width) / 2;
      for (const HfPiece& piece : l.pieces) {
        p.setFont(SheetRenderer::paintFont(piece.font));
        p.setPen(QColor::fromRgb(QRgb(0xFF000000u | piece.font.color)));
        p.drawText(QPointF(x, y + l.ascent), piece.text);
        x += metrics::textWidth(piece.font, piece.text);
      }
      y += l.height;
    }
  };
  for (const auto& [code, footer] : {std::pair{ps.header, false}, std::pair{ps.footer, true}}) {
    if (code.isEmpty())
      continue;
    const HeaderFooterText t = layoutHeaderFooter(code, f);
    section(t.left, Qt::AlignLeft, footer);
    section(t.center, Qt::AlignHCenter, footer);
    section(t.right, Qt::AlignRight, footer);
  }
}

bool SheetPrintLayout::render(QPagedPaintDevice& device, int first, int last) const {
  std::vector<int> pages;
  for (int i = std::max(1, first); i <= (last <= 0 ? pageCount() : std::min(last, pageCount())); ++i)
    pages.push_back(i - 1);
  return render(device, pages) == PrintOutcome::Done;
}

PrintOutcome SheetPrintLayout::render(QPagedPaintDevice& device, const std::vector<int>& pages,
                                      const PrintProgress& progress) const {
  QPainter p;
  if (!p.begin(&device))
    return PrintOutcome::Failed;
  int done = 0;
  const int total = int(pages.size());
  for (int i : pages) {
    if (done++ > 0)
      device.newPage();
    paintPage(p, i);
    if (progress && !progress(done, total)) {
      p.end();
      return PrintOutcome::Cancelled;
    }
  }
  return p.end() ? PrintOutcome::Done : PrintOutcome::Failed;
}

PrintOutcome SheetPrintLayout::writePdf(QIODevice& out, const std::vector<int>& pages, const QString& title,
                                        const PrintProgress& progress) const {
  const QString creator = QStringLiteral("tornavo");
  const auto writer = [&](QIODevice& device) {
    auto w = std::make_unique<QPdfWriter>(&device);
    w->setResolution(1200);
    w->setTitle(title);
    w->setCreator(creator);
    w->setPageLayout(pageLayout_);
    return w;
  };
  // Parts of at least this many pages; fewer parts than processors, at most four (the machine is
  // shared with the user's other work).
  constexpr int kPagesPerPart = 32;
  const int parts = std::clamp(std::min(QThread::idealThreadCount(), 4), 1,
                               std::max(1, int(pages.size()) / kPagesPerPart));
  if (parts == 1) {
    const auto w = writer(out);
    return render(*w, pages, progress);
  }

  // Every number format the pages may show is parsed here, before the parts share the workbook.
  for (int i = 0; i < wb_.styles.size(); ++i)
    wb_.numberFormat(wb_.styles.at(i).numFmt);
  std::atomic<int> done{0};
  std::atomic<bool> stop{false}, failed{false};
  std::vector<QByteArray> documents(static_cast<size_t>(parts));
  std::vector<std::thread> threads;
  const size_t step = (pages.size() + size_t(parts) - 1) / size_t(parts);
  for (int k = 0; k < parts; ++k) {
    const size_t from = size_t(k) * step, to = std::min(pages.size(), from + step);
    threads.emplace_back([&, k, from, to] {
      // Each part lays the sheet out for itself: the painter's caches are its own.
      const SheetPrintLayout part(wb_, sheet_, pageLayout_.pageSize(), pageLayout_.orientation(), fields_);
      QBuffer buffer(&documents[size_t(k)]);
      buffer.open(QIODevice::WriteOnly);
      const auto w = writer(buffer);
      QPainter p;
      if (!p.begin(w.get())) {
        failed = true;
        return;
      }
      for (size_t i = from; i < to && !stop; ++i) {
        if (i > from)
          w->newPage();
        part.paintPage(p, pages[i]);
        ++done;
      }
      if (!p.end())
        failed = true;
    });
  }
  const int total = int(pages.size());
  bool cancelled = false;
  while (done < total && !failed) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    if (progress && !cancelled && !progress(done, total)) {
      cancelled = true;
      stop = true;
      break;
    }
  }
  for (std::thread& t : threads)
    t.join();
  if (cancelled)
    return PrintOutcome::Cancelled;
  if (failed)
    return PrintOutcome::Failed;
  if (progress && !progress(total, total))
    return PrintOutcome::Cancelled;
  const std::optional<QByteArray> joined = pdf::join(documents, title, creator);
  if (!joined || out.write(*joined) != joined->size())
    return PrintOutcome::Failed;
  return PrintOutcome::Done;
}

namespace {

// The pages a printer asks for: its page range, and its copies when the printer cannot make them
// itself (printing to a file), collated or not.
std::vector<int> requestedPages(const QPrinter& pr, int count) {
  int first = 1, last = count;
  if (pr.printRange() == QPrinter::PageRange && pr.fromPage() > 0) {
    first = pr.fromPage();
    last = std::min(count, pr.toPage() > 0 ? pr.toPage() : count);
  }
  const int copies = pr.supportsMultipleCopies() ? 1 : std::clamp(pr.copyCount(), 1, 999);
  std::vector<int> pages;
  if (pr.collateCopies()) {
    for (int c = 0; c < copies; ++c)
      for (int i = first; i <= last; ++i)
        pages.push_back(i - 1);
  } else {
    for (int i = first; i <= last; ++i)
      pages.insert(pages.end(), size_t(copies), i - 1);
  }
  return pages;
}

}  // namespace

// --- PrintService ---

PrintService& PrintService::instance() {
  static PrintService service;
  return service;
}

void PrintService::releasePrinter() { instance().printer_.reset(); }

PrintService::PrintService() = default;
PrintService::~PrintService() = default;

void PrintService::makePrinter(const QString& name) {
  if (name.isEmpty() || ui::isPdfPrinter(name)) {
    printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer_->setOutputFormat(QPrinter::PdfFormat);
    // Printing to a file: Letter, the paper of the report templates.
    printer_->setPageSize(QPageSize(QPageSize::Letter));
  } else {
    printer_ = std::make_unique<QPrinter>(QPrinterInfo::printerInfo(name), QPrinter::HighResolution);
  }
  printer_->setFullPage(true);
  // The printer goes with the application: its print system does not outlive it.
  static const bool once = (qAddPostRoutine(&PrintService::releasePrinter), true);
  Q_UNUSED(once);
}

QPrinter& PrintService::printer() {
  if (!printer_)
    makePrinter(ui::defaultPrinterName());
  return *printer_;
}

QString PrintService::printerName() {
  QPrinter& p = printer();
  return p.outputFormat() == QPrinter::PdfFormat ? ui::pdfPrinterName() : p.printerName();
}

void PrintService::setPrinterName(const QString& name) {
  const int o = printer_ ? orientation() : 1;
  makePrinter(name);
  setOrientation(o);
}

int PrintService::orientation() { return printer().pageLayout().orientation() == QPageLayout::Landscape ? 2 : 1; }

void PrintService::setOrientation(int o) {
  printer().setPageOrientation(o == 2 ? QPageLayout::Landscape : QPageLayout::Portrait);
}

double PrintService::pageHeightTwips() { return printer().pageLayout().fullRect(QPageLayout::Point).height() * kTwipsPerPoint; }

double PrintService::pageWidthTwips() { return printer().pageLayout().fullRect(QPageLayout::Point).width() * kTwipsPerPoint; }

QPageSize PrintService::paperSize() { return printer().pageLayout().pageSize(); }

QPrinter& PrintService::startJob(const Sheet& sheet) {
  QPrinter& pr = printer();
  pr.setDocName(sheet.name);
  pr.setFullPage(true);
  pr.setPageOrientation(sheet.page.landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
  pr.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Point);
  // Every job starts from all pages, one copy; only the dialog changes them.
  pr.setPrintRange(QPrinter::AllPages);
  pr.setCopyCount(1);
  return pr;
}

bool PrintService::mayReplace(const QString& path) {
  if (!QFileInfo::exists(path))
    return true;
  return ui::MsgBox(QStringLiteral("El archivo \"%1\" ya existe.\r\n¿Desea reemplazarlo?").arg(QFileInfo(path).fileName()),
                    ui::vbYesNo | ui::vbQuestion | ui::vbDefaultButton2) == ui::vbYes;
}

namespace {

// A PDF file written by the one writer of files (files.h): beside it, put in its place once whole;
// a cancelled or failed job leaves the file as it was. 20102 naming the file and why when it cannot
// be written.
PrintOutcome writePdfFile(const QString& path, const std::function<PrintOutcome(QIODevice&)>& write) {
  try {
    files::Replacement pdf(path);
    const PrintOutcome outcome = write(pdf.device());
    if (outcome == PrintOutcome::Failed) {
      pdf.checkDevice();  // the file's own error, when that is what failed
      throw cannotWrite(path);
    }
    if (outcome == PrintOutcome::Done)
      pdf.commit();
    return outcome;
  } catch (const vb::Error& e) {
    if (e.number() == 20102)
      throw;
    throw cannotWrite(path, e.description());
  }
}

PrintOutcome writePdfFile(const SheetPrintLayout& layout, const QString& path, const std::vector<int>& pages,
                          const QString& title, const PrintProgress& progress) {
  return writePdfFile(path, [&](QIODevice& out) { return layout.writePdf(out, pages, title, progress); });
}

}  // namespace

bool PrintService::print(const Book& book, bool showDialog, QWidget* parent, const Job& job) {
  QPrinter& pr = startJob(book.currentSheet());
  const Sheet& sheet = book.currentSheet();
  const bool pdf = pr.outputFormat() == QPrinter::PdfFormat;
  if (pdf && !job.pdfFile.isEmpty())
    pr.setOutputFileName(job.pdfFile);
  bool asked = false;  // the print dialog asks itself before a file is replaced
  if (showDialog) {
    const int pages = SheetPrintLayout(book.workbook(), sheet, pr.pageLayout().pageSize()).pageCount();
    pr.setFromTo(0, 0);
    if (dialogHook_) {
      if (!dialogHook_(pr))
        return false;
    } else {
      QPrintDialog dlg(&pr, parent);
      dlg.setMinMax(1, std::max(1, pages));
      if (dlg.exec() != QDialog::Accepted)
        return false;
      asked = true;
    }
  }
  // The dialog may have changed the paper or its orientation: the pages follow what will print.
  const QPageLayout chosen = pr.pageLayout();
  const SheetPrintLayout layout(book.workbook(), sheet, chosen.pageSize(), chosen.orientation());
  const std::vector<int> pages = requestedPages(pr, layout.pageCount());
  PrintOutcome outcome;
  if (pr.outputFormat() == QPrinter::PdfFormat) {
    const QString path = pr.outputFileName();
    if (path.isEmpty() || (!asked && !mayReplace(path)))
      return false;
    outcome = writePdfFile(layout, path, pages, sheet.name, job.progress);
  } else {
    outcome = layout.render(pr, pages, job.progress);
    if (outcome == PrintOutcome::Cancelled)
      pr.abort();
    if (outcome == PrintOutcome::Failed)
      throw vb::Error(20102, QStringLiteral("No se puede imprimir en \"%1\"").arg(printerName()));
  }
  return outcome == PrintOutcome::Done;
}

void PrintService::preview(const Book& book, QWidget* parent, const Job& job) {
  QPrinter& pr = startJob(book.currentSheet());
  const Sheet& sheet = book.currentSheet();
  if (pr.outputFormat() == QPrinter::PdfFormat && !job.pdfFile.isEmpty())
    pr.setOutputFileName(job.pdfFile);
  QPrintPreviewDialog dlg(&pr, parent);
  std::optional<vb::Error> failure;  // a file the print could not write, told once the preview is gone
  QObject::connect(&dlg, &QPrintPreviewDialog::paintRequested, &dlg, [&](QPrinter* target) {
    const QPageLayout chosen = target->pageLayout();
    const SheetPrintLayout layout(book.workbook(), sheet, chosen.pageSize(), chosen.orientation());
    // The preview itself shows every page once (as far as it was let go); printing from it follows
    // the print dialog. A printer that cannot start prints nothing and the preview stays.
    if (target->paintEngine() && target->paintEngine()->type() == QPaintEngine::Picture) {
      std::vector<int> all(size_t(layout.pageCount()));
      std::iota(all.begin(), all.end(), 0);
      layout.render(*target, all, job.progress);
      return;
    }
    if (job.printFromPreview)
      job.printFromPreview();
    if (target->outputFormat() == QPrinter::PdfFormat) {
      // Never painted into the printer, which would empty the file at once: written as every PDF is.
      if (target->outputFileName().isEmpty())
        return;
      try {
        writePdfFile(layout, target->outputFileName(), requestedPages(*target, layout.pageCount()), sheet.name,
                     job.progress);
      } catch (const vb::Error& e) {
        failure = e;
      }
    } else if (layout.render(*target, requestedPages(*target, layout.pageCount()), job.progress) ==
               PrintOutcome::Cancelled) {
      target->abort();
    }
  });
  dlg.setWindowState(dlg.windowState() | Qt::WindowMaximized);
  if (previewHook_)
    previewHook_(dlg);
  dlg.exec();
  if (failure)
    throw *failure;
}

void PrintService::exportPdf(const Book& book, const QString& path) {
  const Sheet& sheet = book.currentSheet();
  const SheetPrintLayout layout(book.workbook(), sheet, paperSize());
  std::vector<int> pages(size_t(std::max(1, layout.pageCount())));
  std::iota(pages.begin(), pages.end(), 0);
  writePdfFile(layout, path, pages, sheet.name, {});
}

bool PrintService::printPages(const QString& pdfFile, const PagePainter& paint) {
  QPrinter& pr = printer();
  if (pr.outputFormat() != QPrinter::PdfFormat)
    return paint(pr, pr.resolution());
  pr.setOutputFileName(pdfFile);
  return writePdfFile(pdfFile, [&](QIODevice& out) {
           QPdfWriter writer(&out);
           writer.setResolution(pr.resolution());
           writer.setPageLayout(pr.pageLayout());
           writer.setCreator(QStringLiteral("tornavo"));
           return paint(writer, pr.resolution()) ? PrintOutcome::Done : PrintOutcome::Failed;
         }) == PrintOutcome::Done;
}

void PrintService::setPrintDialogHook(PrintDialogHook hook) { dialogHook_ = std::move(hook); }

void PrintService::setPreviewHook(PreviewHook hook) { previewHook_ = std::move(hook); }

}  // namespace wb
