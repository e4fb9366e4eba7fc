#include "workbook.h"

#include "metrics.h"
#include "numformat.h"

#include <atomic>

namespace wb {

namespace {
std::atomic<quint64> nextUid{1};
}

Workbook::Workbook() : uid_(nextUid++) {
  sheets.push_back(std::make_unique<Sheet>(QStringLiteral("Hoja1")));
}

Workbook::~Workbook() = default;

int Workbook::defaultRowHeight() const { return metrics::line(defaultFont()).lineTwips; }

int Workbook::maxDigitWidthPx() const { return metrics::maxDigitWidthPx(defaultFont()); }

int Workbook::defaultColWidth(const Sheet& s) const {
  const int mdw = maxDigitWidthPx();
  if (s.defaultColChars > 0)
    return metrics::charsToTwips(s.defaultColChars, mdw);
  // baseColWidth digits plus 5 pixels of padding, rounded up to a multiple of 8 pixels.
  const int px = (s.baseColChars * mdw + 5 + 7) / 8 * 8;
  return px * metrics::kTwipsPerPixel;
}

int Workbook::colWidth(const Sheet& s, int c) const {
  if (const ColInfo* ci = s.colInfo(c); ci && ci->width >= 0)
    return ci->width;
  return defaultColWidth(s);
}

int Workbook::rowHeight(const Sheet& s, int r) const { return s.rowHeight(r, defaultRowHeight()); }

const vb::NumberFormat& Workbook::numberFormat(const QString& code) const {
  auto it = formats_.constFind(code);
  if (it != formats_.constEnd())
    return *it.value();
  auto nf = std::make_shared<vb::NumberFormat>(code);
  formats_.insert(code, nf);
  return *nf;
}

QString Workbook::displayText(const Cell& c) const {
  switch (c.type) {
  case Cell::Type::Empty: return QString();
  case Cell::Type::Text:
  case Cell::Type::Error: return c.text;
  case Cell::Type::Bool: return c.number != 0 ? QStringLiteral("VERDADERO") : QStringLiteral("FALSO");
  case Cell::Type::Number: return numberFormat(styles.at(c.style).numFmt).format(c.number);
  }
  return QString();
}

QString Workbook::displayText(const Sheet& s, int r, int c) const {
  const Cell* x = s.cell(r, c);
  return x ? displayText(*x) : QString();
}

QString Workbook::freshSheetName() const {
  for (int i = 1;; ++i) {
    const QString n = QStringLiteral("Hoja%1").arg(i);
    if (sheetIndex(n) < 0)
      return n;
  }
}

int Workbook::sheetIndex(const QString& name) const {
  for (size_t i = 0; i < sheets.size(); ++i)
    if (sheets[i]->name.compare(name, Qt::CaseInsensitive) == 0)
      return int(i);
  return -1;
}

}  // namespace wb
