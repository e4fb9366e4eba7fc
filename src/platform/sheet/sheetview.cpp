#include "sheetview.h"

#include "pagination.h"
#include "renderer.h"
#include "twips.h"

#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <algorithm>

namespace wb {

namespace {
constexpr int kSlackRows = 10, kSlackCols = 3;  // empty cells shown past the used area
const QColor kHeadingFill(0xF0, 0xF0, 0xF0), kHeadingLine(0xB0, 0xB0, 0xB0), kNoSheet(0xC0, 0xC0, 0xC0);
}  // namespace

SheetView::SheetView(QWidget* parent) : QAbstractScrollArea(parent) {
  setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  viewport()->setAutoFillBackground(false);
  setFocusPolicy(Qt::StrongFocus);
}

SheetView::~SheetView() = default;

void SheetView::setBook(Book* book) {
  disconnect(changed_);
  disconnect(shown_);
  disconnect(destroyed_);
  book_ = book;
  if (book) {
    changed_ = connect(book, &Book::changed, this, &SheetView::refreshLater);
    shown_ = connect(book, &Book::activeCellShown, this, &SheetView::scrollToCell);
    destroyed_ = connect(book, &QObject::destroyed, this, [this] { refresh(); });
  }
  horizontalScrollBar()->setValue(0);
  verticalScrollBar()->setValue(0);
  refresh();
}

void SheetView::setZoom(int percent) {
  zoom_ = percent == 0 ? 0 : std::clamp(percent, 10, 400);
  refresh();
}

int SheetView::zoom() const {
  if (zoom_ > 0)
    return zoom_;
  return book_ ? std::clamp(book_->currentSheet().zoom, 10, 400) : 100;
}

double SheetView::twipsPerPixel() const { return double(ui::kTwipsPerPixel) * 100.0 / zoom(); }

QSize SheetView::headingSize() const {
  if (!book_ || !book_->currentSheet().showHeadings)
    return QSize(0, 0);
  const QFontMetrics fm(font());
  const int digits = std::max(3, int(QString::number(std::max(1, firstVisibleRow() + 100)).size()));
  return QSize(fm.horizontalAdvance(QString(digits, u'0')) + 10, fm.height() + 4);
}

int SheetView::firstVisibleRow() const {
  if (!book_)
    return 1;
  const SheetLayout layout(book_->workbook(), book_->currentSheet());
  return layout.rowAt(verticalScrollBar()->value() * twipsPerPixel());
}

int SheetView::firstVisibleCol() const {
  if (!book_)
    return 1;
  const SheetLayout layout(book_->workbook(), book_->currentSheet());
  return layout.colAt(horizontalScrollBar()->value() * twipsPerPixel());
}

void SheetView::refreshLater() {
  // Many changes in a row cost one refresh.
  if (refreshPending_)
    return;
  refreshPending_ = true;
  QMetaObject::invokeMethod(this, &SheetView::refresh, Qt::QueuedConnection);
}

void SheetView::refresh() {
  refreshPending_ = false;
  if (!book_) {
    horizontalScrollBar()->setRange(0, 0);
    verticalScrollBar()->setRange(0, 0);
    viewport()->update();
    return;
  }
  const Sheet& sheet = book_->currentSheet();
  const SheetLayout layout(book_->workbook(), sheet);
  const std::optional<Range> used = usedArea(sheet);
  const int rows = (used ? used->r2 : 0) + kSlackRows, cols = (used ? used->c2 : 0) + kSlackCols;
  const QSize head = headingSize();
  const int w = ui::twipsToPixels(double(layout.colLeft(cols + 1)) * zoom() / 100.0);
  const int h = ui::twipsToPixels(double(layout.rowTop(rows + 1)) * zoom() / 100.0);
  const QSize vp = viewport()->size() - head;
  horizontalScrollBar()->setRange(0, std::max(0, w - vp.width()));
  verticalScrollBar()->setRange(0, std::max(0, h - vp.height()));
  horizontalScrollBar()->setPageStep(std::max(1, vp.width()));
  verticalScrollBar()->setPageStep(std::max(1, vp.height()));
  horizontalScrollBar()->setSingleStep(20);
  verticalScrollBar()->setSingleStep(20);
  viewport()->update();
}

void SheetView::scrollToCell(int row, int col) {
  if (!book_)
    return;
  const SheetLayout layout(book_->workbook(), book_->currentSheet());
  const double tpp = twipsPerPixel();
  const QRectF cell = layout.cellRect(std::clamp(row, 1, kMaxRows), std::clamp(col, 1, kMaxCols));
  const QSize vp = viewport()->size() - headingSize();
  const double x0 = horizontalScrollBar()->value() * tpp, y0 = verticalScrollBar()->value() * tpp;
  const bool inSight = cell.left() >= x0 && cell.right() <= x0 + vp.width() * tpp && cell.top() >= y0 &&
                       cell.bottom() <= y0 + vp.height() * tpp;
  if (inSight)
    return;
  // The scroll range may have to grow to reach the cell.
  const int x = ui::twipsToPixels(cell.left() * zoom() / 100.0);
  const int y = ui::twipsToPixels(cell.top() * zoom() / 100.0);
  horizontalScrollBar()->setMaximum(std::max(horizontalScrollBar()->maximum(), x));
  verticalScrollBar()->setMaximum(std::max(verticalScrollBar()->maximum(), y));
  horizontalScrollBar()->setValue(x);
  verticalScrollBar()->setValue(y);
}

void SheetView::resizeEvent(QResizeEvent* e) {
  QAbstractScrollArea::resizeEvent(e);
  refresh();
}

void SheetView::scrollContentsBy(int, int) { viewport()->update(); }

void SheetView::paintEvent(QPaintEvent*) {
  QPainter p(viewport());
  const QRect all = viewport()->rect();
  if (!book_) {
    p.fillRect(all, kNoSheet);
    return;
  }
  p.fillRect(all, Qt::white);
  const Workbook& wb = book_->workbook();
  const Sheet& sheet = book_->currentSheet();
  const SheetLayout layout(wb, sheet);
  const SheetRenderer renderer(wb, sheet, layout);
  const double tpp = twipsPerPixel();
  const QSize head = headingSize();
  const QRect cells(QPoint(head.width(), head.height()), all.bottomRight());
  // The twips in sight.
  const double x0 = horizontalScrollBar()->value() * tpp, y0 = verticalScrollBar()->value() * tpp;
  const double x1 = x0 + cells.width() * tpp, y1 = y0 + cells.height() * tpp;
  const Range block{layout.rowAt(y0), layout.colAt(x0), layout.rowAt(y1), layout.colAt(x1)};
  // Twips to pixels: one transformation for the whole sheet, 15 twips a pixel at 100%.
  auto toPx = [&](double twips) { return ui::twipsToPixels(twips * zoom() / 100.0); };

  p.save();
  p.setClipRect(cells);
  p.translate(cells.topLeft());
  p.scale(1.0 / tpp, 1.0 / tpp);
  p.translate(-x0, -y0);
  RenderOptions opt;
  opt.gridlines = sheet.showGridlines;
  const QPointF at = layout.rangeRect(block).topLeft();
  renderer.paintCells(p, block, at, opt);
  renderer.paintObjects(p, block, at);
  p.restore();

  if (head.isEmpty())
    return;
  // Headings: column letters above, row numbers at the left.
  p.setPen(kHeadingLine);
  p.fillRect(QRect(0, 0, all.width(), head.height()), kHeadingFill);
  p.fillRect(QRect(0, 0, head.width(), all.height()), kHeadingFill);
  p.setFont(font());
  for (int c = block.c1; c <= block.c2; ++c) {
    if (layout.colWidth(c) == 0)
      continue;
    const int a = cells.left() + toPx(double(layout.colLeft(c)) - x0);
    const int b = cells.left() + toPx(double(layout.colLeft(c + 1)) - x0);
    const QRect r(a, 0, b - a, head.height());
    p.setPen(kHeadingLine);
    p.drawLine(r.topRight(), r.bottomRight());
    p.setPen(palette().color(QPalette::WindowText));
    p.drawText(r, Qt::AlignCenter, colName(c));
  }
  for (int r = block.r1; r <= block.r2; ++r) {
    if (layout.rowHeight(r) == 0)
      continue;
    const int a = cells.top() + toPx(double(layout.rowTop(r)) - y0);
    const int b = cells.top() + toPx(double(layout.rowTop(r + 1)) - y0);
    const QRect rr(0, a, head.width(), b - a);
    p.setPen(kHeadingLine);
    p.drawLine(rr.bottomLeft(), rr.bottomRight());
    p.setPen(palette().color(QPalette::WindowText));
    p.drawText(rr.adjusted(0, 0, -4, 0), Qt::AlignRight | Qt::AlignVCenter, QString::number(r));
  }
  p.setPen(kHeadingLine);
  p.drawLine(QPoint(0, head.height() - 1), QPoint(all.width(), head.height() - 1));
  p.drawLine(QPoint(head.width() - 1, 0), QPoint(head.width() - 1, all.height()));
  p.fillRect(QRect(0, 0, head.width() - 1, head.height() - 1), kHeadingFill);
}

}  // namespace wb
