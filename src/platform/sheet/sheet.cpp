#include "sheet.h"

#include <algorithm>
#include <cmath>

namespace wb {

namespace {
auto lowerCol(std::vector<Cell>& cells, int c) {
  return std::lower_bound(cells.begin(), cells.end(), c, [](const Cell& x, int col) { return x.col < col; });
}
auto lowerCol(const std::vector<Cell>& cells, int c) {
  return std::lower_bound(cells.begin(), cells.end(), c, [](const Cell& x, int col) { return x.col < col; });
}
}  // namespace

Sheet::Sheet(QString n) : name(std::move(n)) {}

const Cell* Sheet::cell(int r, int c) const {
  const Row* rw = row(r);
  if (!rw)
    return nullptr;
  auto it = lowerCol(rw->cells, c);
  return it != rw->cells.end() && it->col == c ? &*it : nullptr;
}

Cell* Sheet::findCell(int r, int c) { return const_cast<Cell*>(std::as_const(*this).cell(r, c)); }

Row& Sheet::rowAt(int r) {
  if (r > int(rows_.size()))
    rows_.resize(size_t(r));
  return rows_[size_t(r - 1)];
}

ColInfo& Sheet::colAt(int c) {
  if (c > int(cols_.size()))
    cols_.resize(size_t(c));
  return cols_[size_t(c - 1)];
}

Cell& Sheet::cellAt(int r, int c) {
  Row& rw = rowAt(r);
  auto it = lowerCol(rw.cells, c);
  if (it != rw.cells.end() && it->col == c)
    return *it;
  ++revision_;
  Cell cell;
  cell.col = c;
  if (rw.style >= 0)
    cell.style = rw.style;
  else if (const ColInfo* ci = colInfo(c); ci && ci->style >= 0)
    cell.style = ci->style;
  return *rw.cells.insert(it, std::move(cell));
}

void Sheet::removeCell(int r, int c) {
  if (r < 1 || r > int(rows_.size()))
    return;
  auto& cells = rows_[size_t(r - 1)].cells;
  auto it = lowerCol(cells, c);
  if (it != cells.end() && it->col == c) {
    cells.erase(it);
    ++revision_;
  }
}

int Sheet::styleAt(int r, int c) const {
  if (const Cell* x = cell(r, c))
    return x->style;
  if (const Row* rw = row(r); rw && rw->style >= 0)
    return rw->style;
  if (const ColInfo* ci = colInfo(c); ci && ci->style >= 0)
    return ci->style;
  return 0;
}

void Sheet::computeUsed() const {
  if (usedRevision_ == revision_)
    return;
  lastRow_ = lastCol_ = 0;
  for (int r = int(rows_.size()); r >= 1; --r) {
    for (const Cell& x : rows_[size_t(r - 1)].cells) {
      if (x.hasValue() || x.style != 0) {
        if (lastRow_ == 0)
          lastRow_ = r;
        lastCol_ = std::max(lastCol_, x.col);
      }
    }
  }
  usedRevision_ = revision_;
}

int Sheet::lastRow() const {
  computeUsed();
  return lastRow_;
}

int Sheet::lastCol() const {
  computeUsed();
  return lastCol_;
}

int Sheet::rowHeight(int r, int defaultHeight) const {
  const Row* rw = row(r);
  if (rw && rw->height >= 0)
    return rw->height;
  return defaultRowHeight >= 0 ? defaultRowHeight : defaultHeight;
}

void Sheet::clear(const Range& rg, ClearMode mode) {
  ++revision_;
  const bool wholeSheet = rg.r1 <= 1 && rg.c1 <= 1 && rg.r2 >= kMaxRows && rg.c2 >= kMaxCols;
  if (wholeSheet && mode == ClearMode::All) {
    // Emptied as a new report sheet: heights and breaks go, widths and the page set-up stay.
    rows_.clear();
    for (ColInfo& ci : cols_)
      ci.style = -1;
    merges.clear();
    page.rowBreaks.clear();
    page.colBreaks.clear();
    return;
  }
  const int rEnd = std::min(rg.r2, int(rows_.size()));
  for (int r = std::max(1, rg.r1); r <= rEnd; ++r) {
    Row& rw = rows_[size_t(r - 1)];
    if (mode != ClearMode::Contents && rg.c1 <= 1 && rg.c2 >= kMaxCols)
      rw.style = -1;
    auto& cells = rw.cells;
    auto first = lowerCol(cells, rg.c1);
    auto last = lowerCol(cells, rg.c2 + 1);
    if (mode == ClearMode::All) {
      cells.erase(first, last);
      continue;
    }
    for (auto it = first; it != last; ++it) {
      if (mode == ClearMode::Contents) {
        it->type = Cell::Type::Empty;
        it->number = 0;
        it->text.clear();
        it->formula.clear();
      } else {
        it->style = 0;
      }
    }
    cells.erase(std::remove_if(first, last, [](const Cell& x) { return !x.hasValue() && x.style == 0; }), last);
  }
  if (mode != ClearMode::Contents) {
    merges.erase(std::remove_if(merges.begin(), merges.end(),
                                [&](const Range& m) {
                                  return m.r1 >= rg.r1 && m.r2 <= rg.r2 && m.c1 >= rg.c1 && m.c2 <= rg.c2;
                                }),
                 merges.end());
  }
}

namespace {
// A row number r at or below the insertion point moves down; a span that contains it grows.
void shiftSpan(int& a, int& b, int at, int count) {
  if (a >= at)
    a += count;
  if (b >= at)
    b += count;
}
double shiftCoord(double y, int at, int count) { return std::floor(y) >= at ? y + count : y; }
}  // namespace

void Sheet::insertRows(int at, int count, int c1, int c2) {
  if (count <= 0 || at < 1)
    return;
  ++revision_;
  const bool wholeRows = c1 <= 1 && c2 >= lastCol();
  if (wholeRows) {
    if (at <= int(rows_.size()))
      rows_.insert(rows_.begin() + (at - 1), size_t(count), Row{});
    for (Range& m : merges)
      shiftSpan(m.r1, m.r2, at, count);
    std::set<int> breaks;
    for (int b : page.rowBreaks)
      breaks.insert(b >= at ? b + count : b);
    page.rowBreaks = std::move(breaks);
    if (page.printArea)
      shiftSpan(page.printArea->r1, page.printArea->r2, at, count);
    if (page.titleRows)
      shiftSpan(page.titleRows->first, page.titleRows->second, at, count);
    for (DrawingObject& o : objects) {
      o.pos.y1 = shiftCoord(o.pos.y1, at, count);
      o.pos.y2 = shiftCoord(o.pos.y2, at, count);
    }
    return;
  }
  // Only the cells of columns c1..c2 move down, bottom row first so targets are already empty.
  for (int r = int(rows_.size()); r >= at; --r) {
    auto& cells = rows_[size_t(r - 1)].cells;
    auto first = lowerCol(cells, c1);
    auto last = lowerCol(cells, c2 + 1);
    if (first == last)
      continue;
    std::vector<Cell> moving(std::make_move_iterator(first), std::make_move_iterator(last));
    cells.erase(first, last);
    auto& target = rowAt(r + count).cells;  // may reallocate rows_: `cells` is not used after this
    auto pos = lowerCol(target, c1);
    target.insert(pos, std::make_move_iterator(moving.begin()), std::make_move_iterator(moving.end()));
  }
}

DrawingObject* Sheet::object(int id) {
  auto it = std::lower_bound(objects.begin(), objects.end(), id,
                             [](const DrawingObject& o, int i) { return o.id < i; });
  return it != objects.end() && it->id == id ? &*it : nullptr;
}

const DrawingObject* Sheet::object(int id) const { return const_cast<Sheet*>(this)->object(id); }

int Sheet::nextObjectId() const { return objects.empty() ? 1 : objects.back().id + 1; }

int Sheet::addObject(DrawingObject o) {
  o.id = nextObjectId();
  objects.push_back(std::move(o));
  return objects.back().id;
}

void Sheet::removeObject(int id) {
  objects.erase(std::remove_if(objects.begin(), objects.end(), [id](const DrawingObject& o) { return o.id == id; }),
                objects.end());
}

// --- A1 names and formula references ---

QString colName(int col) {
  QString s;
  while (col > 0) {
    const int m = (col - 1) % 26;
    s.prepend(QChar('A' + m));
    col = (col - 1) / 26;
  }
  return s;
}

QString cellName(int row, int col) { return colName(col) + QString::number(row); }

std::optional<CellRef> parseCellName(QStringView s) {
  qsizetype i = 0;
  if (i < s.size() && s[i] == u'$')
    ++i;
  int col = 0, letters = 0;
  while (i < s.size() && s[i].isLetter() && s[i].unicode() < 128) {
    col = col * 26 + (s[i].toUpper().unicode() - 'A' + 1);
    ++i;
    if (++letters > 3)
      return std::nullopt;
  }
  if (i < s.size() && s[i] == u'$')
    ++i;
  int row = 0, digits = 0;
  while (i < s.size() && s[i].isDigit() && s[i].unicode() < 128) {
    row = row * 10 + (s[i].unicode() - '0');
    ++i;
    if (++digits > 7)
      return std::nullopt;
  }
  if (i != s.size() || letters == 0 || digits == 0 || col > kMaxCols || row < 1 || row > kMaxRows)
    return std::nullopt;
  return CellRef{row, col};
}

QString shiftFormula(const QString& f, int dr, int dc) {
  if (dr == 0 && dc == 0)
    return f;
  auto isAsciiLetter = [](QChar c) { return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z'); };
  auto isAsciiDigit = [](QChar c) { return c >= u'0' && c <= u'9'; };
  QString out;
  out.reserve(f.size() + 8);
  const qsizetype n = f.size();
  qsizetype i = 0;
  while (i < n) {
    const QChar ch = f[i];
    if (ch == u'"' || ch == u'\'') {  // a string literal or a quoted sheet name: copied as it is
      qsizetype j = i + 1;
      while (j < n) {
        if (f[j] == ch) {
          if (j + 1 < n && f[j + 1] == ch) {
            j += 2;
            continue;
          }
          break;
        }
        ++j;
      }
      out += QStringView(f).mid(i, std::min(j + 1, n) - i);
      i = j + 1;
      continue;
    }
    const bool startsToken = i == 0 || !(f[i - 1].isLetterOrNumber() || f[i - 1] == u'_' || f[i - 1] == u'.');
    if (startsToken && (ch == u'$' || isAsciiLetter(ch))) {
      qsizetype j = i;
      const bool colAbs = f[j] == u'$';
      if (colAbs)
        ++j;
      const qsizetype l0 = j;
      while (j < n && isAsciiLetter(f[j]))
        ++j;
      const qsizetype l1 = j;
      const bool rowAbs = j < n && f[j] == u'$';
      if (rowAbs)
        ++j;
      const qsizetype d0 = j;
      while (j < n && isAsciiDigit(f[j]))
        ++j;
      const qsizetype d1 = j;
      const bool followedOk = j >= n || !(f[j].isLetterOrNumber() || f[j] == u'_' || f[j] == u'(' || f[j] == u'.');
      const qsizetype letters = l1 - l0, digits = d1 - d0;
      if (letters >= 1 && letters <= 3 && digits >= 1 && digits <= 7 && followedOk) {
        int col = 0;
        for (qsizetype k = l0; k < l1; ++k)
          col = col * 26 + (f[k].toUpper().unicode() - 'A' + 1);
        const int row = QStringView(f).mid(d0, digits).toInt();
        if (col <= kMaxCols && row >= 1 && row <= kMaxRows) {
          const int nc = colAbs ? col : col + dc;
          const int nr = rowAbs ? row : row + dr;
          if (nc < 1 || nc > kMaxCols || nr < 1 || nr > kMaxRows) {
            out += QStringLiteral("#REF!");
          } else {
            if (colAbs)
              out += u'$';
            out += colName(nc);
            if (rowAbs)
              out += u'$';
            out += QString::number(nr);
          }
          i = j;
          continue;
        }
      }
      // Not a reference (a function or a name): copy the word whole.
      qsizetype k = i + (colAbs ? 1 : 0);
      while (k < n && (f[k].isLetterOrNumber() || f[k] == u'_' || f[k] == u'.'))
        ++k;
      out += QStringView(f).mid(i, std::max(k, i + 1) - i);
      i = std::max(k, i + 1);
      continue;
    }
    out += ch;
    ++i;
  }
  return out;
}

}  // namespace wb
