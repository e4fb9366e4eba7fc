#include "renderer.h"

#include "metrics.h"
#include "numformat.h"

#include <QCache>
#include <QPaintDevice>
#include <QPainterPath>
#include <QSet>
#include <algorithm>
#include <cmath>

namespace wb {

namespace {

constexpr double kPad = metrics::kCellPadTwips;
constexpr int kMaxSpillCols = 512;  // text runs over at most this many empty cells

QColor rgb(Rgb c) { return QColor::fromRgb(QRgb(0xFF000000u | (c & 0xFFFFFFu))); }

// The eight colour names of the number-format language.
QColor formatColor(const QString& name, const QColor& fallback) {
  static const QHash<QString, QRgb> names = {
      {QStringLiteral("black"), 0x000000},   {QStringLiteral("blue"), 0x0000FF},
      {QStringLiteral("cyan"), 0x00FFFF},    {QStringLiteral("green"), 0x00FF00},
      {QStringLiteral("magenta"), 0xFF00FF}, {QStringLiteral("red"), 0xFF0000},
      {QStringLiteral("white"), 0xFFFFFF},   {QStringLiteral("yellow"), 0xFFFF00}};
  auto it = names.constFind(name);
  return it == names.constEnd() ? fallback : QColor::fromRgb(it.value());
}

// Heavier borders win where two cells share an edge.
int weight(LineStyle s) {
  switch (s) {
  case LineStyle::None: return 0;
  case LineStyle::Hair: return 1;
  case LineStyle::Dotted: return 2;
  case LineStyle::DashDotDot: return 3;
  case LineStyle::DashDot: return 4;
  case LineStyle::Dashed: return 5;
  case LineStyle::Thin: return 6;
  case LineStyle::MediumDashDotDot: return 7;
  case LineStyle::SlantDashDot: return 8;
  case LineStyle::MediumDashDot: return 9;
  case LineStyle::MediumDashed: return 10;
  case LineStyle::Medium: return 11;
  case LineStyle::Thick: return 12;
  case LineStyle::Double: return 13;
  }
  return 0;
}

const Edge& heavier(const Edge& a, const Edge& b) { return weight(b.style) > weight(a.style) ? b : a; }

QPen borderPen(const Edge& e) {
  double w = 15;
  QList<qreal> dashes;
  switch (e.style) {
  case LineStyle::Hair: w = 8; break;
  case LineStyle::Dotted: dashes = {1, 1}; break;
  case LineStyle::Dashed: dashes = {3, 1}; break;
  case LineStyle::DashDot: dashes = {3, 1, 1, 1}; break;
  case LineStyle::DashDotDot: dashes = {3, 1, 1, 1, 1, 1}; break;
  case LineStyle::Medium: w = 30; break;
  case LineStyle::MediumDashed: w = 30, dashes = {3, 1.5}; break;
  case LineStyle::MediumDashDot: w = 30, dashes = {3, 1.5, 1, 1.5}; break;
  case LineStyle::MediumDashDotDot: w = 30, dashes = {3, 1.5, 1, 1.5, 1, 1.5}; break;
  case LineStyle::SlantDashDot: w = 30, dashes = {4, 1, 2, 1}; break;
  case LineStyle::Thick: w = 45; break;
  default: break;
  }
  QPen pen(rgb(e.color), w, Qt::SolidLine, dashes.isEmpty() ? Qt::SquareCap : Qt::FlatCap, Qt::MiterJoin);
  if (!dashes.isEmpty())
    pen.setDashPattern(dashes);
  return pen;
}

// A border run from a to b (twips); `horizontal` says along which axis. Double lines are two thin
// lines 30 twips apart.
void drawEdge(QPainter& p, const Edge& e, QPointF a, QPointF b, bool horizontal) {
  if (e.style == LineStyle::Double) {
    QPen pen(rgb(e.color), 15, Qt::SolidLine, Qt::SquareCap);
    p.setPen(pen);
    const QPointF d = horizontal ? QPointF(0, 15) : QPointF(15, 0);
    p.drawLine(a - d, b - d);
    p.drawLine(a + d, b + d);
    return;
  }
  p.setPen(borderPen(e));
  p.drawLine(a, b);
}

// Gray patterns print as their mix of the two colours; line patterns as hatching over the background.
void fillPattern(QPainter& p, const QRectF& r, const Fill& f) {
  if (f.pattern <= 0)
    return;
  auto mix = [&](double share) {
    const QColor a = rgb(f.fg), b = rgb(f.bg);
    return QColor::fromRgbF(float(a.redF() * share + b.redF() * (1 - share)),
                            float(a.greenF() * share + b.greenF() * (1 - share)),
                            float(a.blueF() * share + b.blueF() * (1 - share)));
  };
  switch (f.pattern) {
  case 1: p.fillRect(r, rgb(f.fg)); return;
  case 2: p.fillRect(r, mix(0.5)); return;
  case 3: p.fillRect(r, mix(0.75)); return;
  case 4: p.fillRect(r, mix(0.25)); return;
  case 17: p.fillRect(r, mix(0.125)); return;
  case 18: p.fillRect(r, mix(0.0625)); return;
  default: break;
  }
  static const Qt::BrushStyle hatch[] = {
      Qt::HorPattern,   Qt::VerPattern, Qt::BDiagPattern, Qt::FDiagPattern, Qt::CrossPattern,     // 5..9
      Qt::DiagCrossPattern, Qt::HorPattern, Qt::VerPattern, Qt::BDiagPattern, Qt::FDiagPattern,  // 10..14
      Qt::CrossPattern, Qt::DiagCrossPattern};                                                    // 15..16
  const int i = f.pattern - 5;
  p.fillRect(r, rgb(f.bg));
  if (i < 0 || i >= int(std::size(hatch)))
    return;
  QBrush br(rgb(f.fg), hatch[i]);
  br.setTransform(QTransform::fromScale(15, 15));  // the pattern in 96-dpi pixels, whatever the device
  p.fillRect(r, br);
}

}  // namespace

struct SheetRenderer::TextItem {
  QRectF cell;   // the cell, or the merged area (painter coordinates)
  QRectF clip;   // where the text may show: the cell, widened by the empty cells it runs over
  QStringList lines;
  QString before, after;  // a "*x" fill: before at the left, after at the right, x repeated between
  QChar fillChar;
  bool hasFill = false;
  Qt::Alignment align;
  int style = 0;
  QColor color;
  int rotation = 0;
  bool needsClip = false;
};

struct SheetRenderer::BlockState {
  Range block;
  QPointF shift;  // layout -> painter
  QRectF clip;
  std::vector<Range> merges;  // merges meeting the block's rows
  std::vector<TextItem> texts;
  QSet<quint64> spilled;  // vertical cell edges that text runs over: (row << 20) | column right of the edge
  const Range* mergeAt(int r, int c) const {
    for (const Range& m : merges)
      if (m.contains(r, c))
        return &m;
    return nullptr;
  }
  static quint64 key(int r, int c) { return (quint64(r) << 20) | quint64(c); }
};

SheetRenderer::SheetRenderer(const Workbook& wb, const Sheet& sheet, const SheetLayout& layout)
    : wb_(wb), sheet_(sheet), layout_(layout) {}

double SheetRenderer::twipScaleX(const QPaintDevice& d, double zoom) { return d.logicalDpiX() / 1440.0 * zoom / 100; }
double SheetRenderer::twipScaleY(const QPaintDevice& d, double zoom) { return d.logicalDpiY() / 1440.0 * zoom / 100; }

QFont SheetRenderer::paintFont(const Font& f) {
  QFont q = metrics::qfont(f);
  q.setPixelSize(std::max(1, f.sizeTwips));  // logical units are twips
  return q;
}

void SheetRenderer::paintCells(QPainter& p, const Range& block, QPointF at, const RenderOptions& opt) const {
  BlockState st;
  st.block = block;
  const QRectF area = layout_.rangeRect(block);
  st.shift = at - area.topLeft();
  st.clip = QRectF(at, area.size());
  for (const Range& m : sheet_.merges)
    if ((m.r1 != m.r2 || m.c1 != m.c2) && m.r2 >= block.r1 && m.r1 <= block.r2)
      st.merges.push_back(m);
  for (int r = block.r1; r <= block.r2; ++r)
    if (layout_.rowHeight(r) > 0)
      layoutRowText(st, r);

  p.save();
  p.setClipRect(st.clip, Qt::IntersectClip);
  paintFills(p, st);
  if (opt.gridlines)
    paintGrid(p, st, opt);
  paintBorders(p, st);
  paintText(p, st);
  p.restore();
}

void SheetRenderer::layoutRowText(BlockState& st, int r) const {
  const Row* rw = sheet_.row(r);
  const Range& b = st.block;
  auto hasValue = [&](int c) {
    const Cell* x = sheet_.cell(r, c);
    return (x && x->type != Cell::Type::Empty) || st.mergeAt(r, c);
  };
  auto item = [&](const Cell& cell, const QRectF& box, bool merged) {
    const CellStyle& s = wb_.styles.at(cell.style);
    TextItem t;
    t.style = cell.style;
    t.cell = box.translated(st.shift);
    t.clip = t.cell;
    t.color = rgb(s.font.color);
    t.rotation = s.rotation;
    const vb::NumberFormat& nf = wb_.numberFormat(s.numFmt);
    vb::NumberFormat::Fill fill;
    QString shown;
    const bool number = cell.type == Cell::Type::Number;
    if (number) {
      shown = nf.format(cell.number, &fill);
      t.color = formatColor(nf.color(cell.number), t.color);
    } else if (cell.type == Cell::Type::Text) {
      shown = nf.formatText(cell.text, &fill);
    } else {
      shown = wb_.displayText(cell);
    }
    if (shown.isEmpty() && fill.at < 0)
      return;
    const double indent = s.indent > 0 ? s.indent * metrics::textWidth(s.font, QStringLiteral("000")) : 0;
    const double areaW = std::max(1.0, box.width() - 2 * kPad - indent);
    HAlign h = s.h;
    if (h == HAlign::General)
      h = number ? HAlign::Right : cell.type == Cell::Type::Text ? HAlign::Left : HAlign::Center;
    Qt::Alignment ha = Qt::AlignLeft;
    if (h == HAlign::Right)
      ha = Qt::AlignRight;
    else if (h == HAlign::Center || h == HAlign::CenterAcross || h == HAlign::Distributed)
      ha = Qt::AlignHCenter;
    Qt::Alignment va = s.v == VAlign::Center ? Qt::AlignVCenter : s.v == VAlign::Bottom ? Qt::AlignBottom : Qt::AlignTop;
    t.align = ha | va;
    if (fill.at >= 0) {
      t.hasFill = true;
      t.fillChar = fill.ch;
      t.before = shown.left(fill.at);
      t.after = shown.mid(fill.at);
      if (metrics::textWidth(s.font, t.before) + metrics::textWidth(s.font, t.after) > areaW + 2 * kPad) {
        t.hasFill = false;
        t.lines = QStringList{QString(std::max(1, int(areaW / metrics::textWidth(s.font, QStringLiteral("#")))), u'#')};
        t.align = Qt::AlignLeft | va;
      }
      t.needsClip = true;
      st.texts.push_back(std::move(t));
      return;
    }
    const metrics::LineGeometry g = metrics::line(s.font);
    if (s.wrap && cell.type == Cell::Type::Text && s.rotation == 0) {
      t.lines = metrics::wrapLines(s.font, shown, areaW);
      t.needsClip = double(t.lines.size()) * g.lineTwips > box.height() + 0.5;
      st.texts.push_back(std::move(t));
      return;
    }
    shown.remove(u'\r');
    shown.replace(u'\n', u' ');
    if (s.rotation != 0) {
      t.lines = QStringList{shown};
      t.needsClip = true;
      st.texts.push_back(std::move(t));
      return;
    }
    if (h == HAlign::Fill) {
      const double w = metrics::textWidth(s.font, shown);
      const int times = w > 0 ? std::max(1, int(areaW / w)) : 1;
      shown = shown.repeated(times);
    }
    double w = metrics::textWidth(s.font, shown);
    t.needsClip = g.lineTwips > box.height() + 0.5;
    if (number && w > areaW + 2 * kPad - 15) {
      // A number never runs over: it shows "#" across the cell, as spreadsheets do.
      const double hw = metrics::textWidth(s.font, QStringLiteral("#"));
      shown = QString(std::max(1, int((box.width() - 2 * kPad) / hw)), u'#');
      w = metrics::textWidth(s.font, shown);
    }
    t.lines = QStringList{shown};
    const double need = w + 2 * kPad + indent;
    if (!merged && !number && need > box.width() && h != HAlign::Fill && h != HAlign::Justify) {
      // Text runs over into empty cells beside it: rightwards when it starts at the left, leftwards
      // when it ends at the right, both ways when centred.
      double left = 0, right = 0;  // widths gained on each side
      const double extra = need - box.width();
      const bool both = ha == Qt::AlignHCenter;
      const double wantRight = ha == Qt::AlignLeft ? extra : both ? extra / 2 : 0;
      const double wantLeft = ha == Qt::AlignRight ? extra : both ? extra / 2 : 0;
      for (int c = cell.col + 1, n = 0; right < wantRight && c <= kMaxCols && n < kMaxSpillCols; ++c, ++n) {
        if (hasValue(c))
          break;
        if (c > b.c2 + 1 && cell.col <= b.c2)
          break;  // beyond the block: clipped anyway
        st.spilled.insert(BlockState::key(r, c));
        right += layout_.colWidth(c);
      }
      for (int c = cell.col - 1, n = 0; left < wantLeft && c >= 1 && n < kMaxSpillCols; --c, ++n) {
        if (hasValue(c))
          break;
        if (c < b.c1 - 1 && cell.col >= b.c1)
          break;
        st.spilled.insert(BlockState::key(r, c + 1));
        left += layout_.colWidth(c);
      }
      t.clip.adjust(-left, 0, right, 0);
      if (both) {  // centred over the cell even when one side is blocked
        t.needsClip = true;
      } else {
        t.needsClip = t.needsClip || need > box.width() + left + right;
      }
    }
    st.texts.push_back(std::move(t));
  };

  // Merged areas whose top-left cell is in this row.
  for (const Range& m : st.merges) {
    if (m.r1 != r || m.c2 < b.c1 - kMaxSpillCols)
      continue;
    if (const Cell* x = sheet_.cell(m.r1, m.c1); x && x->type != Cell::Type::Empty)
      item(*x, layout_.rangeRect(m), true);
  }
  if (!rw)
    return;
  for (const Cell& cell : rw->cells) {
    if (cell.type == Cell::Type::Empty)
      continue;
    // Cells far beyond the block cannot reach it; cells in merged areas are drawn with the area.
    if (cell.col > b.c2 + kMaxSpillCols)
      break;
    if (cell.col < b.c1 - kMaxSpillCols || st.mergeAt(r, cell.col))
      continue;
    const bool inside = cell.col >= b.c1 && cell.col <= b.c2;
    const size_t before = st.texts.size();
    item(cell, layout_.cellRect(r, cell.col), false);
    if (!inside && st.texts.size() > before && !st.texts.back().clip.intersects(st.clip))
      st.texts.pop_back();
  }
}

void SheetRenderer::paintFills(QPainter& p, const BlockState& st) const {
  const Range& b = st.block;
  for (int r = b.r1; r <= b.r2; ++r) {
    if (layout_.rowHeight(r) == 0)
      continue;
    for (int c = b.c1; c <= b.c2; ++c) {
      if (st.mergeAt(r, c))
        continue;
      const Fill& f = wb_.styles.at(sheet_.styleAt(r, c)).fill;
      if (f.pattern > 0)
        fillPattern(p, layout_.cellRect(r, c).translated(st.shift), f);
    }
  }
  for (const Range& m : st.merges) {
    if (m.c2 < b.c1 || m.c1 > b.c2)
      continue;
    const Fill& f = wb_.styles.at(sheet_.styleAt(m.r1, m.c1)).fill;
    if (f.pattern > 0)
      fillPattern(p, layout_.rangeRect(m).translated(st.shift), f);
  }
}

void SheetRenderer::paintGrid(QPainter& p, const BlockState& st, const RenderOptions& opt) const {
  const Range& b = st.block;
  QPen pen(opt.gridColor, opt.cosmeticGrid ? 0 : 15);
  pen.setCapStyle(Qt::FlatCap);
  p.setPen(pen);
  auto sameMerge = [&](int r1, int c1, int r2, int c2) {
    const Range* m = st.mergeAt(r1, c1);
    return m && m->contains(r2, c2);
  };
  // Horizontal lines: the top of each row, in runs not broken by merged areas.
  for (int r = b.r1; r <= b.r2 + 1; ++r) {
    const double y = double(layout_.rowTop(r)) + st.shift.y();
    int c = b.c1;
    while (c <= b.c2) {
      while (c <= b.c2 && r > b.r1 && r <= b.r2 && sameMerge(r - 1, c, r, c))
        ++c;
      const int from = c;
      while (c <= b.c2 && !(r > b.r1 && r <= b.r2 && sameMerge(r - 1, c, r, c)))
        ++c;
      if (c > from)
        p.drawLine(QPointF(double(layout_.colLeft(from)) + st.shift.x(), y),
                   QPointF(double(layout_.colLeft(c)) + st.shift.x(), y));
    }
  }
  // Vertical lines, broken by merged areas and by text that runs over the edge.
  for (int c = b.c1; c <= b.c2 + 1; ++c) {
    const double x = double(layout_.colLeft(c)) + st.shift.x();
    auto hidden = [&](int r) {
      return (c > b.c1 && c <= b.c2 && sameMerge(r, c - 1, r, c)) || st.spilled.contains(BlockState::key(r, c));
    };
    int r = b.r1;
    while (r <= b.r2) {
      while (r <= b.r2 && hidden(r))
        ++r;
      const int from = r;
      while (r <= b.r2 && !hidden(r))
        ++r;
      if (r > from)
        p.drawLine(QPointF(x, double(layout_.rowTop(from)) + st.shift.y()),
                   QPointF(x, double(layout_.rowTop(r)) + st.shift.y()));
    }
  }
}

void SheetRenderer::paintBorders(QPainter& p, const BlockState& st) const {
  const Range& b = st.block;
  auto style = [&](int r, int c) -> const CellStyle& { return wb_.styles.at(sheet_.styleAt(r, c)); };
  auto sameMerge = [&](int r1, int c1, int r2, int c2) {
    const Range* m = st.mergeAt(r1, c1);
    return m && m->contains(r2, c2);
  };
  const Edge none;
  // The edge above row r (between r - 1 and r) at column c; only cells of the block count.
  auto hEdge = [&](int r, int c) -> Edge {
    if (r > b.r1 && r <= b.r2 && sameMerge(r - 1, c, r, c))
      return none;
    const Edge& below = r <= b.r2 ? style(r, c).top : none;
    const Edge& above = r > b.r1 ? style(r - 1, c).bottom : none;
    return heavier(above, below);
  };
  auto vEdge = [&](int r, int c) -> Edge {
    if (c > b.c1 && c <= b.c2 && sameMerge(r, c - 1, r, c))
      return none;
    const Edge& right = c <= b.c2 ? style(r, c).left : none;
    const Edge& left = c > b.c1 ? style(r, c - 1).right : none;
    return heavier(left, right);
  };
  // Runs of equal edges become one line, so dashes run on and the output stays small.
  for (int r = b.r1; r <= b.r2 + 1; ++r) {
    if (r <= b.r2 && r > b.r1 && layout_.rowHeight(r - 1) == 0 && layout_.rowHeight(r) == 0)
      continue;
    const double y = double(layout_.rowTop(r)) + st.shift.y();
    int c = b.c1;
    while (c <= b.c2) {
      const Edge e = hEdge(r, c);
      int to = c + 1;
      while (to <= b.c2 && hEdge(r, to) == e)
        ++to;
      if (e.style != LineStyle::None)
        drawEdge(p, e, QPointF(double(layout_.colLeft(c)) + st.shift.x(), y),
                 QPointF(double(layout_.colLeft(to)) + st.shift.x(), y), true);
      c = to;
    }
  }
  for (int c = b.c1; c <= b.c2 + 1; ++c) {
    const double x = double(layout_.colLeft(c)) + st.shift.x();
    int r = b.r1;
    while (r <= b.r2) {
      if (layout_.rowHeight(r) == 0) {
        ++r;
        continue;
      }
      const Edge e = vEdge(r, c);
      int to = r + 1;
      while (to <= b.r2 && (layout_.rowHeight(to) == 0 || vEdge(to, c) == e))
        ++to;
      if (e.style != LineStyle::None)
        drawEdge(p, e, QPointF(x, double(layout_.rowTop(r)) + st.shift.y()),
                 QPointF(x, double(layout_.rowTop(to)) + st.shift.y()), false);
      r = to;
    }
  }
}

void SheetRenderer::paintText(QPainter& p, const BlockState& st) const {
  int currentStyle = -1;
  metrics::LineGeometry g{0, 0};
  const Font* font = nullptr;
  for (const TextItem& t : st.texts) {
    if (t.style != currentStyle) {
      currentStyle = t.style;
      font = &wb_.styles.at(t.style).font;
      p.setFont(paintFont(*font));
      g = metrics::line(*font);
    }
    p.setPen(t.color);
    if (t.needsClip) {
      p.save();
      p.setClipRect(t.clip, Qt::IntersectClip);
    }
    const CellStyle& s = wb_.styles.at(t.style);
    const double indent = s.indent > 0 ? s.indent * metrics::textWidth(s.font, QStringLiteral("000")) : 0;
    const double left = t.cell.left() + kPad, right = t.cell.right() - kPad;
    const double blockH = double(t.lines.size()) * g.lineTwips;
    double top = t.cell.top();
    if (t.align & Qt::AlignBottom)
      top = t.cell.bottom() - blockH;
    else if (t.align & Qt::AlignVCenter)
      top = t.cell.top() + (t.cell.height() - blockH) / 2;

    if (t.hasFill) {
      const double y = (t.align & Qt::AlignBottom     ? t.cell.bottom() - g.lineTwips
                        : t.align & Qt::AlignVCenter ? t.cell.top() + (t.cell.height() - g.lineTwips) / 2
                                                     : t.cell.top()) +
                       g.ascentTwips;
      const double wb = metrics::textWidth(*font, t.before), wa = metrics::textWidth(*font, t.after);
      p.drawText(QPointF(left, y), t.before);
      p.drawText(QPointF(right - wa, y), t.after);
      const double wc = metrics::textWidth(*font, QString(t.fillChar));
      if (!t.fillChar.isSpace() && wc > 0) {
        const int n = int((right - wa - left - wb) / wc);
        if (n > 0)
          p.drawText(QPointF(left + wb, y), QString(n, t.fillChar));
      }
    } else if (t.rotation != 0) {
      p.save();
      const QPointF c = t.cell.center();
      p.translate(c);
      if (t.rotation == 255) {
        const QString& text = t.lines.value(0);
        const double h = double(text.size()) * g.lineTwips;
        double y = -h / 2;
        for (QChar ch : text) {
          const double w = metrics::textWidth(*font, QString(ch));
          p.drawText(QPointF(-w / 2, y + g.ascentTwips), QString(ch));
          y += g.lineTwips;
        }
      } else {
        const double deg = t.rotation <= 90 ? -t.rotation : t.rotation - 90;
        p.rotate(deg);
        const double w = metrics::textWidth(*font, t.lines.value(0));
        p.drawText(QPointF(-w / 2, -g.lineTwips / 2.0 + g.ascentTwips), t.lines.value(0));
      }
      p.restore();
    } else {
      double y = top;
      for (const QString& line : t.lines) {
        double x = left + ((t.align & Qt::AlignLeft) ? indent : 0);
        if (t.align & (Qt::AlignRight | Qt::AlignHCenter)) {
          const double w = metrics::textWidth(*font, line);
          x = (t.align & Qt::AlignRight) ? right - indent - w : (t.cell.left() + t.cell.right() - w) / 2;
        }
        p.drawText(QPointF(x, y + g.ascentTwips), line);
        y += g.lineTwips;
      }
    }
    if (t.needsClip)
      p.restore();
  }
}

void SheetRenderer::paintObjects(QPainter& p, const Range& block, QPointF at) const {
  if (sheet_.objects.empty())
    return;
  const QRectF area = layout_.rangeRect(block);
  const QPointF shift = at - area.topLeft();
  p.save();
  p.setClipRect(QRectF(at, area.size()), Qt::IntersectClip);
  for (const DrawingObject& o : sheet_.objects) {
    const QRectF box = layout_.objectRect(o.pos);
    // A line's box may have no width or height: widen it by a hair for the overlap test.
    if (!box.adjusted(-1, -1, 1, 1).intersects(area))
      continue;
    paintObject(p, o, box.translated(shift));
  }
  p.restore();
}

const QImage* SheetRenderer::picture(const DrawingObject& o) const {
  auto it = pictures_.constFind(o.imageData);
  if (it != pictures_.constEnd())
    return it->isNull() ? nullptr : &*it;
  // Decoded pictures are kept process-wide too, so the view does not decode a logo on every paint.
  static QCache<QByteArray, QImage> decoded(64 << 20);
  QImage img;
  if (QImage* hit = decoded.object(o.imageData)) {
    img = *hit;
  } else {
    img = QImage::fromData(o.imageData);  // png, jpeg, gif, bmp; not emf/wmf
    if (!img.isNull())
      decoded.insert(o.imageData, new QImage(img), int(std::min<qsizetype>(img.sizeInBytes(), 1 << 30)));
  }
  auto ins = pictures_.insert(o.imageData, img);
  return ins->isNull() ? nullptr : &*ins;
}

void SheetRenderer::paintObject(QPainter& p, const DrawingObject& o, const QRectF& box) const {
  QPen pen = o.noLine ? QPen(Qt::NoPen) : QPen(rgb(o.lineColor), o.lineWidthEmu / 635.0);
  const QBrush brush = o.noFill ? QBrush(Qt::NoBrush) : QBrush(rgb(o.fillColor));
  switch (o.kind) {
  case DrawingObject::Kind::Picture:
    if (const QImage* img = picture(o)) {
      p.drawImage(box, *img);
    } else {
      // A picture Qt cannot draw (emf, wmf) or a damaged one: its frame, so the place shows.
      p.setPen(QPen(QColor(0x80, 0x80, 0x80), 15));
      p.setBrush(Qt::NoBrush);
      p.drawRect(box);
    }
    return;
  case DrawingObject::Kind::Rect:
  case DrawingObject::Kind::TextBox:
    p.setPen(pen);
    p.setBrush(brush);
    p.drawRect(box);
    if (o.kind == DrawingObject::Kind::TextBox && !o.text.isEmpty()) {
      const Font& f = wb_.defaultFont();
      p.setFont(paintFont(f));
      p.setPen(Qt::black);
      const metrics::LineGeometry g = metrics::line(f);
      double y = box.top() + kPad;
      for (const QString& line : metrics::wrapLines(f, o.text, std::max(1.0, box.width() - 2 * kPad))) {
        p.drawText(QPointF(box.left() + kPad, y + g.ascentTwips), line);
        y += g.lineTwips;
      }
    }
    return;
  case DrawingObject::Kind::Ellipse:
    p.setPen(pen);
    p.setBrush(brush);
    p.drawEllipse(box);
    return;
  case DrawingObject::Kind::Line: {
    p.setPen(pen);
    QPointF a = box.topLeft(), b = box.bottomRight();
    if (o.flipH != o.flipV) {
      a = box.bottomLeft();
      b = box.topRight();
    }
    p.drawLine(a, b);
    return;
  }
  case DrawingObject::Kind::Other: return;
  }
}

}  // namespace wb
