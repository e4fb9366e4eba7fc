#include "metrics.h"

#include <QFontMetricsF>
#include <QHash>
#include <QImage>
#include <cmath>
#include <memory>

namespace wb::metrics {

namespace {

// A device of 1440 dots per inch: font metrics taken on it come out in twips, independent of the
// screen, and match a painter scaled to twips on any device.
const QImage& twipDevice() {
  static const QImage img = [] {
    QImage i(1, 1, QImage::Format_ARGB32);
    const int dpm = qRound(1440 / 0.0254);
    i.setDotsPerMeterX(dpm);
    i.setDotsPerMeterY(dpm);
    return i;
  }();
  return img;
}

struct Key {
  QString name;
  int size;
  bool bold, italic;
  bool operator==(const Key&) const = default;
};
size_t qHash(const Key& k, size_t seed = 0) noexcept {
  return qHashMulti(seed, k.name, k.size, k.bold, k.italic);
}

struct Entry {
  QFont font;
  QFontMetricsF fm;
  LineGeometry line;
  QHash<QChar, double> advances;
  QHash<QString, double> words;
  double space = 0;
  int mdwPx = 0;
  explicit Entry(const QFont& f) : font(f), fm(f, &twipDevice()) {}
  double advance(QChar c) {
    auto it = advances.constFind(c);
    if (it != advances.constEnd())
      return it.value();
    const double w = fm.horizontalAdvance(c);
    advances.insert(c, w);
    return w;
  }
};

Entry& entry(const Font& f) {
  // One cache per thread: a long PDF is painted in parts at once.
  static thread_local QHash<Key, std::shared_ptr<Entry>> cache;
  const Key k{f.name.toLower(), f.sizeTwips, f.bold, f.italic};
  auto it = cache.constFind(k);
  if (it != cache.constEnd())
    return *it.value();
  Font plain = f;
  plain.underline = Underline::None;
  plain.strike = false;
  auto e = std::make_shared<Entry>(qfont(plain));
  const double size = std::max(1, f.sizeTwips);
  // Whole pixels at 96 dpi, as the row grid of spreadsheets: the em rounded to pixels, ascent and
  // descent rounded up, one pixel above and below.
  const int emPx = std::max(1, int(std::lround(size / kTwipsPerPixel)));
  const int ascPx = int(std::ceil(e->fm.ascent() / size * emPx - 1e-6));
  const int descPx = int(std::ceil(e->fm.descent() / size * emPx - 1e-6));
  e->line = LineGeometry{(ascPx + descPx + 2) * kTwipsPerPixel, (ascPx + 1) * kTwipsPerPixel};
  e->space = e->fm.horizontalAdvance(QLatin1Char(' '));
  double mdw = 0;
  for (char d = '0'; d <= '9'; ++d)
    mdw = std::max(mdw, e->fm.horizontalAdvance(QLatin1Char(d)));
  e->mdwPx = std::max(1, int(std::lround(mdw / kTwipsPerPixel)));
  cache.insert(k, e);
  return *e;
}

double wordWidth(Entry& e, QStringView s) {
  if (s.size() <= 1)
    return s.isEmpty() ? 0 : e.advance(s[0]);
  // Report texts repeat their words (and their amounts and titles): shaping each once keeps auto-fit
  // and printing fast.
  const QString w = s.toString();
  auto it = e.words.constFind(w);
  if (it != e.words.constEnd())
    return it.value();
  if (e.words.size() >= 50000)
    e.words.clear();
  const double width = e.fm.horizontalAdvance(w);
  e.words.insert(w, width);
  return width;
}

void wrapParagraph(Entry& e, QStringView p, double width, QStringList& out) {
  auto push = [&](qsizetype from, qsizetype to) {
    QString l = p.mid(from, to - from).toString();
    while (l.endsWith(u' '))
      l.chop(1);
    out << l;
  };
  const qsizetype n = p.size();
  qsizetype lineStart = 0;
  double lineWidth = 0;  // of p[lineStart, i)
  bool hasWord = false;
  qsizetype i = 0;
  while (i < n) {
    qsizetype w0 = i;
    while (w0 < n && p[w0] == u' ')
      ++w0;
    if (w0 == n)
      break;  // trailing blanks take no room
    qsizetype w1 = w0;
    while (w1 < n && p[w1] != u' ')
      ++w1;
    const double blanks = double(w0 - i) * e.space;
    const double ww = wordWidth(e, p.mid(w0, w1 - w0));
    if (hasWord && lineWidth + blanks + ww > width) {
      // The word starts a new line; the blanks before it are dropped.
      push(lineStart, i);
      lineStart = i = w0;
      lineWidth = 0;
      hasWord = false;
      continue;
    }
    if (lineWidth + blanks + ww <= width) {
      lineWidth += blanks + ww;
    } else {
      // A word wider than a whole line: cut between letters, at least one letter a line.
      double acc = lineWidth + blanks;
      qsizetype chunk = w0;
      for (qsizetype k = w0; k < w1; ++k) {
        const double a = e.advance(p[k]);
        if (acc + a > width && k > chunk) {
          push(lineStart, k);
          lineStart = chunk = k;
          acc = 0;
        }
        acc += a;
      }
      lineWidth = acc;
    }
    hasWord = true;
    i = w1;
  }
  push(lineStart, n);
}

}  // namespace

QFont qfont(const Font& f) {
  QFont q(f.name);
  q.setPointSizeF(std::max(1, f.sizeTwips) / 20.0);
  q.setBold(f.bold);
  q.setItalic(f.italic);
  q.setUnderline(f.underline != Underline::None);
  q.setStrikeOut(f.strike);
  q.setHintingPreference(QFont::PreferNoHinting);
  q.setKerning(true);
  return q;
}

LineGeometry line(const Font& f) { return entry(f).line; }

double textWidth(const Font& f, const QString& s) { return wordWidth(entry(f), s); }

QStringList wrapLines(const Font& f, const QString& text, double width) {
  Entry& e = entry(f);
  QStringList out;
  QString t = text;
  t.remove(u'\r');
  for (QStringView p : QStringView(t).split(u'\n'))
    wrapParagraph(e, p, width, out);
  return out;
}

double indentTwips(const CellStyle& s) {
  return s.indent > 0 ? s.indent * textWidth(s.font, QStringLiteral("000")) : 0;
}

int cellHeight(const CellStyle& s, const QString& text, int colWidth) {
  const LineGeometry g = line(s.font);
  int h = g.lineTwips;
  if (s.rotation == 255) {
    h = g.lineTwips * std::max<int>(1, int(text.size()));
  } else if (s.rotation != 0) {
    const double deg = s.rotation <= 90 ? s.rotation : s.rotation - 90;
    const double rad = deg * M_PI / 180.0;
    QString one = text;
    one.replace(u'\n', u' ');
    h = int(std::ceil(std::abs(std::sin(rad)) * textWidth(s.font, one) + std::abs(std::cos(rad)) * g.lineTwips +
                      2 * kCellPadTwips));
  } else if (s.wrap) {
    const double area = std::max(1.0, colWidth - 2.0 * kCellPadTwips - indentTwips(s));
    h = g.lineTwips * std::max<int>(1, int(wrapLines(s.font, text, area).size()));
  }
  return (h + kTwipsPerPixel - 1) / kTwipsPerPixel * kTwipsPerPixel;
}

int maxDigitWidthPx(const Font& defaultFont) { return entry(defaultFont).mdwPx; }

double colWidthSpread(const Font& defaultFont) {
  Entry& e = entry(defaultFont);
  double mdw = 0;
  for (char d = '0'; d <= '9'; ++d)
    mdw = std::max(mdw, e.advance(QLatin1Char(d)));
  return std::max(1.0, mdw / (e.mdwPx * kTwipsPerPixel));
}

int charsToTwips(double chars, int mdw) {
  if (chars <= 0)
    return 0;
  const double px = std::floor((256.0 * chars + std::floor(128.0 / mdw)) / 256.0 * mdw + 1e-9);
  return int(px) * kTwipsPerPixel;
}

double twipsToChars(int twips, int mdw) {
  if (twips <= 0)
    return 0;
  const double px = double(twips) / kTwipsPerPixel;
  return std::floor(px * 256.0 / mdw + 1e-9) / 256.0;
}

}  // namespace wb::metrics
