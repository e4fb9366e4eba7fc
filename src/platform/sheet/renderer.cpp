#include "renderer.h"

#include "metrics.h"
#include "numformat.h"

#include <QCache>
#include <QMutex>
#include <QPaintDevice>
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

// What one cell shows, placed: runs of text at their baselines (painter coordinates).
struct SheetRenderer::TextItem {
  struct Run {
    QString text;
    QPointF at;
  };
  QRectF cell;   // the cell, or the merged area
  QRectF clip;   // where the text may show: the cell, widened by the empty cells it runs over
  std::vector<Run> runs;
  int style = 0;
  QColor color;
  int rotation = 0;  // rotated text: one run, drawn turned about the cell's centre
  bool needsClip = false;
};

// Per style: the painting font, its line geometry, its number format and its indent, looked up once.
struct SheetRenderer::StyleInfo {
  QFont font;
  metrics::LineGeometry line{0, 0};
  const vb::NumberFormat* format = nullptr;
  double indent = 0;
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

SheetRenderer::~SheetRenderer() = default;

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
    const StyleInfo& si = info(cell.style);
    const Font& font = s.font;
    TextItem t;
    t.style = cell.style;
    t.cell = box.translated(st.shift);
    t.clip = t.cell;
    t.color = rgb(font.color);
    t.rotation = s.rotation;
    vb::NumberFormat::Fill fill;
    QString shown;
    const bool number = cell.type == Cell::Type::Number;
    if (number) {
      shown = si.format->format(cell.number, &fill);
      t.color = formatColor(si.format->color(cell.number), t.color);
    } else if (cell.type == Cell::Type::Text) {
      shown = si.format->formatText(cell.text, &fill);
    } else {
      shown = wb_.displayText(cell);
    }
    if (shown.isEmpty() && fill.at < 0)
      return;
    const double left = t.cell.left() + kPad, right = t.cell.right() - kPad;
    const double areaW = std::max(1.0, box.width() - 2 * kPad - si.indent);
    HAlign h = s.h;
    if (h == HAlign::General)
      h = number ? HAlign::Right : cell.type == Cell::Type::Text ? HAlign::Left : HAlign::Center;
    Qt::Alignment ha = Qt::AlignLeft;
    if (h == HAlign::Right)
      ha = Qt::AlignRight;
    else if (h == HAlign::Center || h == HAlign::CenterAcross || h == HAlign::Distributed)
      ha = Qt::AlignHCenter;
    const metrics::LineGeometry& g = si.line;
    // Lines stacked from the top, the middle or the foot of the cell.
    auto firstBaseline = [&](int lines) {
      const double block = double(lines) * g.lineTwips;
      const double top = s.v == VAlign::Bottom   ? t.cell.bottom() - block
                         : s.v == VAlign::Center ? t.cell.top() + (t.cell.height() - block) / 2
                                                 : t.cell.top();
      return top + g.ascentTwips;
    };
    // A number that does not fit shows "#" across the cell, as spreadsheets do; it never runs over.
    auto hashes = [&] {
      const double hw = metrics::textWidth(font, QStringLiteral("#"));
      t.runs = {TextItem::Run{QString(std::max(1, int(areaW / hw)), u'#'), QPointF(left + si.indent, firstBaseline(1))}};
      t.needsClip = true;
      st.texts.push_back(std::move(t));
    };
    if (fill.at >= 0) {
      // "*x": the text before the fill at the left edge, the rest at the right, x repeated between.
      const QString before = shown.left(fill.at), after = shown.mid(fill.at);
      const double wb = metrics::textWidth(font, before), wa = metrics::textWidth(font, after);
      if (wb + wa > areaW + si.indent)
        return hashes();
      const double y = firstBaseline(1);
      t.runs.push_back(TextItem::Run{before, QPointF(left, y)});
      t.runs.push_back(TextItem::Run{after, QPointF(right - wa, y)});
      const double wc = fill.ch.isSpace() ? 0 : metrics::textWidth(font, QString(fill.ch));
      if (wc > 0) {
        const int n = int((right - wa - left - wb) / wc);
        if (n > 0)
          t.runs.push_back(TextItem::Run{QString(n, fill.ch), QPointF(left + wb, y)});
      }
      t.needsClip = g.lineTwips > box.height() + 0.5;
      st.texts.push_back(std::move(t));
      return;
    }
    auto place = [&](const QString& line, double y, double w) {
      const double x = ha == Qt::AlignRight     ? right - si.indent - w
                       : ha == Qt::AlignHCenter ? (t.cell.left() + t.cell.right() - w) / 2
                                                : left + si.indent;
      t.runs.push_back(TextItem::Run{line, QPointF(x, y)});
    };
    if (s.wrap && cell.type == Cell::Type::Text && s.rotation == 0) {
      // The same lines auto-fit counted.
      const QStringList lines = metrics::wrapLines(font, shown, areaW);
      double y = firstBaseline(int(lines.size()));
      for (const QString& line : lines) {
        place(line, y, ha == Qt::AlignLeft ? 0 : metrics::textWidth(font, line));
        y += g.lineTwips;
      }
      t.needsClip = double(lines.size()) * g.lineTwips > box.height() + 0.5;
      st.texts.push_back(std::move(t));
      return;
    }
    // One line: line breaks in an unwrapped cell are not honoured.
    shown.remove(u'\r');
    shown.replace(u'\n', u' ');
    if (s.rotation != 0) {
      t.runs = {TextItem::Run{shown, t.cell.center()}};
      t.needsClip = true;
      st.texts.push_back(std::move(t));
      return;
    }
    if (h == HAlign::Fill) {
      const double w = metrics::textWidth(font, shown);
      shown = shown.repeated(w > 0 ? std::max(1, int(areaW / w)) : 1);
    }
    // Left-aligned text much shorter than its cell needs no measuring.
    const bool surelyFits = ha == Qt::AlignLeft && double(shown.size()) * 1.5 * font.sizeTwips <= areaW;
    const double w = surelyFits ? 0 : metrics::textWidth(font, shown);
    if (number && w > areaW)
      return hashes();
    place(shown, firstBaseline(1), w);
    t.needsClip = g.lineTwips > box.height() + 0.5;
    const double need = w + 2 * kPad + si.indent;
    if (!surelyFits && need > box.width()) {
      t.needsClip = true;
      if (!merged && !number && h != HAlign::Fill && h != HAlign::Justify) {
        // Text runs over into empty cells beside it: rightwards when it starts at the left, leftwards
        // when it ends at the right, both ways when centred.
        double gainL = 0, gainR = 0;
        const double extra = need - box.width();
        const bool both = ha == Qt::AlignHCenter;
        const double wantR = ha == Qt::AlignLeft ? extra : both ? extra / 2 : 0;
        const double wantL = ha == Qt::AlignRight ? extra : both ? extra / 2 : 0;
        for (int c = cell.col + 1, n = 0; gainR < wantR && c <= std::min(b.c2, kMaxCols) && n < kMaxSpillCols; ++c, ++n) {
          if (hasValue(c))
            break;
          st.spilled.insert(BlockState::key(r, c));
          gainR += layout_.colWidth(c);
        }
        for (int c = cell.col - 1, n = 0; gainL < wantL && c >= b.c1 && n < kMaxSpillCols; --c, ++n) {
          if (hasValue(c))
            break;
          st.spilled.insert(BlockState::key(r, c + 1));
          gainL += layout_.colWidth(c);
        }
        t.clip.adjust(-gainL, 0, gainR, 0);
      }
    }
    st.texts.push_back(std::move(t));
  };

  // Merged areas that start in this row, or above the block and reach into it.
  for (const Range& m : st.merges) {
    if ((m.r1 != r && !(r == b.r1 && m.r1 < b.r1)) || m.c2 < b.c1 || m.c1 > b.c2)
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
    if (!inside) {
      // From outside the block only unwrapped text that runs over towards it can show.
      const CellStyle& s = wb_.styles.at(cell.style);
      const bool toRight = s.h == HAlign::General || s.h == HAlign::Left || s.h == HAlign::Center ||
                           s.h == HAlign::CenterAcross || s.h == HAlign::Distributed;
      const bool toLeft = s.h == HAlign::Right || s.h == HAlign::Center || s.h == HAlign::CenterAcross ||
                          s.h == HAlign::Distributed;
      if (cell.type != Cell::Type::Text || s.wrap || s.rotation != 0 || (cell.col < b.c1 ? !toRight : !toLeft))
        continue;
    }
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
  for (const TextItem& t : st.texts) {
    const StyleInfo& si = info(t.style);
    if (t.style != currentStyle) {
      currentStyle = t.style;
      p.setFont(si.font);
    }
    p.setPen(t.color);
    if (t.needsClip) {
      p.save();
      p.setClipRect(t.clip, Qt::IntersectClip);
    }
    if (t.rotation != 0 && !t.runs.empty()) {
      const Font& font = wb_.styles.at(t.style).font;
      const metrics::LineGeometry& g = si.line;
      const QString& text = t.runs.front().text;
      p.save();
      p.translate(t.runs.front().at);
      if (t.rotation == 255) {  // letters stacked, top to bottom
        double y = -double(text.size()) * g.lineTwips / 2;
        for (QChar ch : text) {
          p.drawText(QPointF(-metrics::textWidth(font, QString(ch)) / 2, y + g.ascentTwips), QString(ch));
          y += g.lineTwips;
        }
      } else {  // 1-90 turned up (anticlockwise), 91-180 turned down
        p.rotate(t.rotation <= 90 ? -t.rotation : t.rotation - 90);
        p.drawText(QPointF(-metrics::textWidth(font, text) / 2, -g.lineTwips / 2.0 + g.ascentTwips), text);
      }
      p.restore();
    } else {
      for (const TextItem::Run& run : t.runs)
        if (!run.text.isEmpty())
          p.drawText(run.at, run.text);
    }
    if (t.needsClip)
      p.restore();
  }
}

const SheetRenderer::StyleInfo& SheetRenderer::info(int style) const {
  if (size_t(style) >= styleInfo_.size())
    styleInfo_.resize(size_t(wb_.styles.size()));
  std::unique_ptr<StyleInfo>& slot = styleInfo_[size_t(style)];
  if (!slot) {
    const CellStyle& s = wb_.styles.at(style);
    slot = std::make_unique<StyleInfo>();
    slot->font = paintFont(s.font);
    slot->line = metrics::line(s.font);
    slot->format = &wb_.numberFormat(s.numFmt);
    slot->indent = metrics::indentTwips(s);  // as auto-fit measures it
  }
  return *slot;
}

void SheetRenderer::paintObjects(QPainter& p, const Range& block, QPointF at) const {
  if (sheet_.objects.empty())
    return;
  const QRectF area = layout_.rangeRect(block);
  const QPointF shift = at - area.topLeft();
  if (tallestObject_ < 0) {
    tallestObject_ = 0;
    objectBoxes_.reserve(sheet_.objects.size());
    for (size_t i = 0; i < sheet_.objects.size(); ++i) {
      const QRectF box = layout_.objectRect(sheet_.objects[i].pos);
      objectBoxes_.push_back({box, i});
      tallestObject_ = std::max(tallestObject_, box.height());
    }
    std::stable_sort(objectBoxes_.begin(), objectBoxes_.end(),
                     [](const ObjectBox& a, const ObjectBox& b) { return a.box.top() < b.box.top(); });
  }
  // A line's box may have no width or height: boxes are widened by a hair for the overlap test.
  std::vector<const ObjectBox*> meet;
  auto it = std::lower_bound(objectBoxes_.begin(), objectBoxes_.end(), area.top() - 1 - tallestObject_ - 1,
                             [](const ObjectBox& o, double y) { return o.box.top() < y; });
  for (; it != objectBoxes_.end() && it->box.top() <= area.bottom() + 1; ++it)
    if (it->box.adjusted(-1, -1, 1, 1).intersects(area))
      meet.push_back(&*it);
  std::sort(meet.begin(), meet.end(), [](const ObjectBox* a, const ObjectBox* b) { return a->index < b->index; });
  p.save();
  p.setClipRect(QRectF(at, area.size()), Qt::IntersectClip);
  for (const ObjectBox* o : meet)
    paintObject(p, sheet_.objects[o->index], o->box.translated(shift));
  p.restore();
}

const QImage* SheetRenderer::picture(const DrawingObject& o) const {
  auto it = pictures_.constFind(o.imageData);
  if (it != pictures_.constEnd())
    return it->isNull() ? nullptr : &*it;
  // Decoded pictures are kept process-wide too, so the view does not decode a logo on every paint;
  // the parts of a PDF painted at once share them.
  static QCache<QByteArray, QImage> decoded(64 << 20);
  static QMutex guard;
  QImage img;
  {
    const QMutexLocker lock(&guard);
    if (QImage* hit = decoded.object(o.imageData))
      img = *hit;
  }
  if (img.isNull()) {
    img = QImage::fromData(o.imageData);  // png, jpeg, gif, bmp; not emf/wmf
    if (!img.isNull()) {
      const QMutexLocker lock(&guard);
      decoded.insert(o.imageData, new QImage(img), int(std::min<qsizetype>(img.sizeInBytes(), 1 << 30)));
    }
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
