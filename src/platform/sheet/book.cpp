#include "book.h"

#include "error.h"
#include "metrics.h"
#include "xlsx.h"

#include <QHash>
#include <algorithm>

namespace wb {

namespace {

[[noreturn]] void badArgument(const QString& what) {
  throw vb::Error(20006, QStringLiteral("Rango o argumento no válido: %1").arg(what));
}

[[noreturn]] void noObject(const QString& what) {
  throw vb::Error(20100, QStringLiteral("No existe el objeto de dibujo: %1").arg(what));
}

// The process-wide clipboard of editCopy/editPaste.
struct Clipboard {
  enum class Kind { None, Cells, Objects } kind = Kind::None;
  quint64 bookUid = 0;
  QHash<int, CellStyle> styles;  // style index -> style, to paste into another workbook
  Range src;
  std::vector<std::pair<int, Cell>> cells;  // row offset, cell (col is the absolute source column)
  std::vector<Range> merges;                 // absolute source coordinates
  std::vector<std::pair<int, Row>> heights;  // row offset, height info (cells left empty)
  std::vector<DrawingObject> objects;
};

Clipboard& clipboard() {
  static Clipboard c;
  return c;
}

}  // namespace

Book::Book(QObject* parent) : QObject(parent), wb_(std::make_unique<Workbook>()) { resetState(); }

Book::~Book() = default;

void Book::resetState() {
  state_.assign(wb_->sheets.size(), SheetState{});
  cur_ = std::clamp(wb_->activeSheet, 0, int(wb_->sheets.size()) - 1);
  wb_->activeSheet = cur_;
}

void Book::notify() {
  if (repaint_)
    emit changed();
}

// --- Files ---

Book::FileType Book::read(const QString& path) {
  auto fresh = std::make_unique<Workbook>();
  readXlsx(path, *fresh);
  wb_ = std::move(fresh);
  resetState();
  notify();
  return FileType::Xlsx;
}

void Book::write(const QString& path, FileType, const QString& backup) const { writeXlsx(path, *wb_, backup); }

void Book::newWorkbook() {
  wb_ = std::make_unique<Workbook>();
  resetState();
  notify();
}

// --- Sheets ---

int Book::numSheets() const { return int(wb_->sheets.size()); }
int Book::sheet() const { return cur_ + 1; }

void Book::checkSheet(int n) const {
  if (n < 1 || n > numSheets())
    throw vb::Error(20101, QStringLiteral("No existe la hoja número %1").arg(n));
}

void Book::setSheet(int n) {
  checkSheet(n);
  cur_ = n - 1;
  wb_->activeSheet = cur_;
  notify();
}

QString Book::sheetName(int n) const {
  checkSheet(n);
  return wb_->sheets[size_t(n - 1)]->name;
}

void Book::setSheetName(int n, const QString& name) {
  checkSheet(n);
  static const QString bad = QStringLiteral("[]:*?/\\");
  if (name.trimmed().isEmpty() || name.size() > 31 || std::any_of(name.begin(), name.end(), [](QChar c) {
        return bad.contains(c);
      }))
    badArgument(QStringLiteral("nombre de hoja \"%1\"").arg(name));
  const int other = wb_->sheetIndex(name);
  if (other >= 0 && other != n - 1)
    badArgument(QStringLiteral("la hoja \"%1\" ya existe").arg(name));
  wb_->sheets[size_t(n - 1)]->name = name;
  notify();
}

void Book::insertSheets(int at, int count) {
  if (at < 1 || at > numSheets() + 1 || count < 1)
    badArgument(QStringLiteral("insertar hojas en %1").arg(at));
  for (int i = 0; i < count; ++i) {
    wb_->sheets.insert(wb_->sheets.begin() + (at - 1 + i), std::make_unique<Sheet>(wb_->freshSheetName()));
    state_.insert(state_.begin() + (at - 1 + i), SheetState{});
  }
  if (cur_ >= at - 1)
    cur_ += count;
  wb_->activeSheet = cur_;
  notify();
}

void Book::deleteSheets(int at, int count) {
  checkSheet(at);
  if (count < 1 || at - 1 + count > numSheets() || count >= numSheets())
    badArgument(QStringLiteral("borrar %1 hojas desde la %2").arg(count).arg(at));
  wb_->sheets.erase(wb_->sheets.begin() + (at - 1), wb_->sheets.begin() + (at - 1 + count));
  state_.erase(state_.begin() + (at - 1), state_.begin() + (at - 1 + count));
  if (cur_ >= at - 1 + count)
    cur_ -= count;
  else if (cur_ >= at - 1)
    cur_ = std::min(at - 1, numSheets() - 1);
  wb_->activeSheet = cur_;
  notify();
}

Sheet& Book::currentSheet() { return *wb_->sheets[size_t(cur_)]; }
const Sheet& Book::currentSheet() const { return *wb_->sheets[size_t(cur_)]; }

// --- Current cell and selection ---

void Book::checkCell(int r, int c) const {
  if (r < 1 || r > kMaxRows || c < 1 || c > kMaxCols)
    badArgument(QStringLiteral("celda (%1, %2)").arg(r).arg(c));
}

int Book::row() const { return st().row; }
int Book::col() const { return st().col; }
void Book::setRow(int r) { setActiveCell(r, st().col); }
void Book::setCol(int c) { setActiveCell(st().row, c); }

void Book::setActiveCell(int r, int c) {
  checkCell(r, c);
  SheetState& s = st();
  s.row = r;
  s.col = c;
  s.sel = Range{r, c, r, c};
  s.objects.clear();
}

void Book::setSelection(int r1, int c1, int r2, int c2) {
  checkCell(r1, c1);
  checkCell(r2, c2);
  if (r2 < r1 || c2 < c1)
    badArgument(QStringLiteral("selección (%1, %2)-(%3, %4)").arg(r1).arg(c1).arg(r2).arg(c2));
  SheetState& s = st();
  s.row = r1;
  s.col = c1;
  s.sel = Range{r1, c1, r2, c2};
  s.objects.clear();
}

Range Book::selection() const { return st().sel; }
bool Book::objectsSelected() const { return !st().objects.empty(); }
const std::vector<int>& Book::selectedObjects() const { return st().objects; }

// --- Cell content ---

const Cell* Book::currentCell() const { return currentSheet().cell(st().row, st().col); }

QString Book::text() const {
  const Cell* c = currentCell();
  return c ? wb_->displayText(*c) : QString();
}

void Book::setText(const QString& s) {
  Sheet& sh = currentSheet();
  if (s.isEmpty()) {
    if (Cell* c = sh.findCell(st().row, st().col)) {
      c->type = Cell::Type::Empty;
      c->number = 0;
      c->text.clear();
      c->formula.clear();
      if (c->style == 0)
        sh.removeCell(st().row, st().col);
      sh.touch();
    }
  } else {
    Cell& c = sh.cellAt(st().row, st().col);
    c.type = Cell::Type::Text;
    c.text = s;
    c.number = 0;
    c.formula.clear();
    sh.touch();
  }
  notify();
}

double Book::number() const {
  const Cell* c = currentCell();
  return c && (c->type == Cell::Type::Number || c->type == Cell::Type::Bool) ? c->number : 0;
}

void Book::setNumber(double x) {
  Sheet& sh = currentSheet();
  Cell& c = sh.cellAt(st().row, st().col);
  c.type = Cell::Type::Number;
  c.number = x;
  c.text.clear();
  c.formula.clear();
  sh.touch();
  notify();
}

void Book::setDate(double serial) {
  setNumber(serial);
  Cell& c = currentSheet().cellAt(st().row, st().col);
  if (wb_->styles.at(c.style).numFmt.compare(QLatin1String("General"), Qt::CaseInsensitive) == 0) {
    CellStyle s = wb_->styles.at(c.style);
    s.numFmt = QStringLiteral("[$-80A]dd/mm/yyyy");  // Spanish (Mexico) in any spreadsheet program
    c.style = wb_->styles.intern(s);
  }
}

QString Book::formula() const {
  const Cell* c = currentCell();
  return c ? c->formula : QString();
}

bool Book::isEmpty() const {
  const Cell* c = currentCell();
  return !c || !c->hasValue();
}

// --- Formats ---

const CellStyle& Book::cellStyle() const { return wb_->styles.at(currentSheet().styleAt(st().row, st().col)); }

template <typename F> void Book::restyleSelection(F&& change) {
  Sheet& sh = currentSheet();
  const Range r = st().sel;
  QHash<int, int> done;  // old style -> new style
  auto restyle = [&](int old) {
    auto it = done.constFind(old);
    if (it != done.constEnd())
      return it.value();
    CellStyle s = wb_->styles.at(old);
    change(s);
    const int n = wb_->styles.intern(s);
    done.insert(old, n);
    return n;
  };
  const bool allRows = r.r1 <= 1 && r.r2 >= kMaxRows;
  const bool allCols = r.c1 <= 1 && r.c2 >= kMaxCols;
  if (allRows || allCols) {
    // Whole columns or rows: their format, and the cells that exist; no cell is made.
    if (allRows && !allCols)
      for (int c = r.c1; c <= r.c2; ++c) {
        ColInfo& ci = sh.colAt(c);
        ci.style = restyle(std::max(0, ci.style));
      }
    if (allCols && !allRows)
      for (int rr = r.r1; rr <= r.r2 && rr <= sh.rowCount(); ++rr) {
        Row& rw = sh.rowAt(rr);
        rw.style = restyle(std::max(0, rw.style));
      }
    for (int rr = r.r1; rr <= std::min(r.r2, sh.rowCount()); ++rr)
      for (Cell& c : sh.rowAt(rr).cells)
        if (c.col >= r.c1 && c.col <= r.c2)
          c.style = restyle(c.style);
  } else {
    for (int rr = r.r1; rr <= r.r2; ++rr)
      for (int cc = r.c1; cc <= r.c2; ++cc) {
        Cell& c = sh.cellAt(rr, cc);
        c.style = restyle(c.style);
      }
  }
  sh.touch();
  notify();
}

void Book::setCellStyle(const CellStyle& s) {
  restyleSelection([&](CellStyle& x) { x = s; });
}

QString Book::numberFormat() const { return cellStyle().numFmt; }

void Book::setNumberFormat(const QString& code) {
  restyleSelection([&](CellStyle& s) { s.numFmt = code.isEmpty() ? QStringLiteral("General") : code; });
}

Book::Alignment Book::alignment() const {
  const CellStyle& s = cellStyle();
  return Alignment{s.h, s.wrap, s.v, s.rotation};
}

void Book::setAlignment(const Alignment& a) {
  restyleSelection([&](CellStyle& s) {
    s.h = a.h;
    s.wrap = a.wrap;
    s.v = a.v;
    s.rotation = a.rotation;
  });
}

Book::Borders Book::border() const {
  const CellStyle& s = cellStyle();
  return Borders{int(s.left.style), int(s.right.style), int(s.top.style), int(s.bottom.style), s.shade,
                 s.left.color, s.right.color, s.top.color, s.bottom.color};
}

void Book::setBorder(int outline, int left, int right, int top, int bottom, int shade, Rgb crOutline, Rgb crLeft,
                     Rgb crRight, Rgb crTop, Rgb crBottom) {
  for (int v : {outline, left, right, top, bottom})
    if (v < -1 || v > int(LineStyle::SlantDashDot))
      badArgument(QStringLiteral("estilo de borde %1").arg(v));
  auto setEdge = [](Edge& e, int style, Rgb color) {
    if (style >= 0)
      e.style = LineStyle(style);
    if (color != kKeepColor)
      e.color = color & 0xFFFFFF;
  };
  const Range sel = st().sel;
  restyleSelection([&](CellStyle& s) {
    setEdge(s.left, left, crLeft);
    setEdge(s.right, right, crRight);
    setEdge(s.top, top, crTop);
    setEdge(s.bottom, bottom, crBottom);
    if (shade >= 0)
      s.shade = shade != 0;
  });
  if (outline < 0)
    return;
  // The outer edges, cell by cell (a cell's look depends on where it lies in the selection).
  Sheet& sh = currentSheet();
  for (int r = sel.r1; r <= sel.r2; ++r)
    for (int c = sel.c1; c <= sel.c2; ++c) {
      if (r != sel.r1 && r != sel.r2 && c != sel.c1 && c != sel.c2)
        continue;
      Cell& cell = sh.cellAt(r, c);
      CellStyle s = wb_->styles.at(cell.style);
      if (c == sel.c1)
        setEdge(s.left, outline, crOutline);
      if (c == sel.c2)
        setEdge(s.right, outline, crOutline);
      if (r == sel.r1)
        setEdge(s.top, outline, crOutline);
      if (r == sel.r2)
        setEdge(s.bottom, outline, crOutline);
      cell.style = wb_->styles.intern(s);
    }
  sh.touch();
  notify();
}

Book::FontAttr Book::font() const {
  const Font& f = cellStyle().font;
  return FontAttr{f.name, f.sizeTwips, f.bold, f.italic, f.underline != Underline::None, f.strike, f.color,
                  f.outline, f.shadow};
}

void Book::setFont(const QString& name, int sizePoints, bool bold, bool italic, bool underline, bool strike, Rgb color,
                   bool outline, bool shadow) {
  if (sizePoints > 409)
    badArgument(QStringLiteral("tamaño de letra %1").arg(sizePoints));
  restyleSelection([&](CellStyle& s) {
    Font& f = s.font;
    if (!name.isEmpty())
      f.name = name;
    if (sizePoints > 0)
      f.sizeTwips = sizePoints * 20;
    f.bold = bold;
    f.italic = italic;
    if (!underline)
      f.underline = Underline::None;
    else if (f.underline == Underline::None)
      f.underline = Underline::Single;
    f.strike = strike;
    if (color != kKeepColor)
      f.color = color & 0xFFFFFF;
    f.outline = outline;
    f.shadow = shadow;
  });
}

void Book::setFontBold(bool bold) {
  restyleSelection([&](CellStyle& s) { s.font.bold = bold; });
}

Book::Pattern Book::pattern() const {
  const Fill& f = cellStyle().fill;
  return Pattern{f.pattern, f.fg, f.bg};
}

void Book::setPattern(int p, Rgb fg, Rgb bg) {
  if (p < 0 || p > 18)
    badArgument(QStringLiteral("trama %1").arg(p));
  restyleSelection([&](CellStyle& s) {
    s.fill.pattern = p;
    if (fg != kKeepColor)
      s.fill.fg = fg & 0xFFFFFF;
    if (bg != kKeepColor)
      s.fill.bg = bg & 0xFFFFFF;
  });
}

// --- Rows and columns ---

int Book::colWidth(int c) const {
  checkCell(1, c);
  return wb_->colWidth(currentSheet(), c);
}

void Book::setColWidth(int c, int twips) {
  checkCell(1, c);
  if (twips < 0 || twips > 255 * 256 * 15)
    badArgument(QStringLiteral("ancho de columna %1").arg(twips));
  currentSheet().colAt(c).width = twips;
  notify();
}

int Book::rowHeight(int r) const {
  checkCell(r, 1);
  return wb_->rowHeight(currentSheet(), r);
}

void Book::setRowHeight(int r, int twips) {
  checkCell(r, 1);
  if (twips < 0 || twips > 32767)
    badArgument(QStringLiteral("alto de renglón %1").arg(twips));
  Row& rw = currentSheet().rowAt(r);
  rw.height = twips;
  rw.customHeight = true;
  notify();
}

int Book::defaultRowHeight() const {
  const Sheet& s = currentSheet();
  return s.defaultRowHeight >= 0 ? s.defaultRowHeight : wb_->defaultRowHeight();
}

void Book::setRowHeightAuto(int r1, int c1, int r2, int c2, bool setDefaults) {
  checkCell(r1, c1);
  checkCell(r2, c2);
  Sheet& sh = currentSheet();
  auto inMerge = [&](int r, int c) {
    for (const Range& m : sh.merges)
      if (m.contains(r, c) && (m.r1 != m.r2 || m.c1 != m.c2))
        return true;
    return false;
  };
  const int defaultHeight = defaultRowHeight();
  for (int r = r1; r <= r2; ++r) {
    const Row* rw = sh.row(r);
    int best = -1;
    if (rw) {
      for (const Cell& c : rw->cells) {
        if (c.col < c1 || c.col > c2 || !c.hasValue() || (!sh.merges.empty() && inMerge(r, c.col)))
          continue;
        const CellStyle& s = wb_->styles.at(c.style);
        int h;
        if (s.rotation == 0 && (!s.wrap || c.type != Cell::Type::Text)) {
          h = metrics::line(s.font).lineTwips;  // one line, whatever the text
        } else {
          const QString t = wb_->displayText(c);
          if (t.isEmpty())
            continue;
          h = metrics::cellHeight(s, t, wb_->colWidth(sh, c.col));
        }
        best = std::max(best, h);
      }
    }
    if (best < 0) {
      if (!setDefaults)
        continue;
      best = defaultHeight;
    }
    Row& w = sh.rowAt(r);
    w.height = std::min(best, 32767);
    w.customHeight = false;
  }
  notify();
}

int Book::lastRow() const { return currentSheet().lastRow(); }
int Book::lastCol() const { return currentSheet().lastCol(); }

// --- Find ---

std::optional<CellRef> Book::find(const QString& what, int r1, int c1, int r2, int c2, int flags) {
  checkCell(r1, c1);
  checkCell(r2, c2);
  if (what.isEmpty())
    return std::nullopt;
  const Qt::CaseSensitivity cs = (flags & 1) ? Qt::CaseSensitive : Qt::CaseInsensitive;
  const bool whole = flags & 2;
  const Sheet& sh = currentSheet();
  for (int r = r1; r <= std::min(r2, sh.rowCount()); ++r) {
    for (const Cell& c : sh.row(r)->cells) {
      if (c.col < c1 || c.col > c2 || !c.hasValue())
        continue;
      const QString t = wb_->displayText(c);
      const bool hit = whole ? t.compare(what, cs) == 0 : t.contains(what, cs);
      if (hit) {
        emit found(cur_ + 1, r, c.col);
        return CellRef{r, c.col};
      }
    }
  }
  return std::nullopt;
}

// --- Editing ---

void Book::insertRange(int r1, int c1, int r2, int c2) {
  checkCell(r1, c1);
  checkCell(r2, c2);
  if (r2 < r1 || c2 < c1)
    badArgument(QStringLiteral("insertar (%1, %2)-(%3, %4)").arg(r1).arg(c1).arg(r2).arg(c2));
  currentSheet().insertRows(r1, r2 - r1 + 1, c1, c2);
  notify();
}

void Book::clearRange(int r1, int c1, int r2, int c2, ClearMode mode) {
  checkCell(r1, c1);
  checkCell(r2, c2);
  if (r2 < r1 || c2 < c1)
    badArgument(QStringLiteral("borrar (%1, %2)-(%3, %4)").arg(r1).arg(c1).arg(r2).arg(c2));
  currentSheet().clear(Range{r1, c1, r2, c2}, mode);
  notify();
}

void Book::editClear() {
  SheetState& s = st();
  if (!s.objects.empty()) {
    for (int id : s.objects)
      currentSheet().removeObject(id);
    s.objects.clear();
    notify();
    return;
  }
  clearRange(s.sel.r1, s.sel.c1, s.sel.r2, s.sel.c2, ClearMode::All);
}

void Book::clearClipboard() { clipboard() = Clipboard{}; }

void Book::editCopy() {
  Clipboard cb;
  cb.bookUid = wb_->uid();
  const Sheet& sh = currentSheet();
  const SheetState& s = st();
  if (!s.objects.empty()) {
    cb.kind = Clipboard::Kind::Objects;
    for (int id : s.objects)
      if (const DrawingObject* o = sh.object(id))
        cb.objects.push_back(*o);
    clipboard() = std::move(cb);
    return;
  }
  cb.kind = Clipboard::Kind::Cells;
  cb.src = s.sel;
  for (int r = s.sel.r1; r <= std::min(s.sel.r2, sh.rowCount()); ++r)
    for (const Cell& c : sh.row(r)->cells)
      if (c.col >= s.sel.c1 && c.col <= s.sel.c2) {
        cb.cells.emplace_back(r - s.sel.r1, c);
        if (!cb.styles.contains(c.style))
          cb.styles.insert(c.style, wb_->styles.at(c.style));
      }
  for (const Range& m : sh.merges)
    if (m.r1 >= s.sel.r1 && m.r2 <= s.sel.r2 && m.c1 >= s.sel.c1 && m.c2 <= s.sel.c2)
      cb.merges.push_back(m);
  if (s.sel.c1 == 1 && s.sel.c2 >= sh.lastCol())
    for (int r = s.sel.r1; r <= std::min(s.sel.r2, sh.rowCount()); ++r) {
      const Row* rw = sh.row(r);
      if (rw->height >= 0 || rw->hidden)
        cb.heights.emplace_back(r - s.sel.r1, Row{rw->height, rw->customHeight, rw->hidden, -1, {}});
    }
  clipboard() = std::move(cb);
}

void Book::editPaste() {
  const Clipboard& cb = clipboard();
  Sheet& sh = currentSheet();
  if (cb.kind == Clipboard::Kind::Objects) {
    for (const DrawingObject& o : cb.objects)
      sh.addObject(o);
    notify();
    return;
  }
  if (cb.kind != Clipboard::Kind::Cells)
    return;
  const SheetState& s = st();
  const int dr = s.sel.r1 - cb.src.r1, dc = s.sel.c1 - cb.src.c1;
  const int tr2 = cb.src.r2 + dr, tc2 = cb.src.c2 + dc;
  if (tr2 > kMaxRows || tc2 > kMaxCols)
    badArgument(QStringLiteral("pegar en (%1, %2)").arg(s.sel.r1).arg(s.sel.c1));
  sh.clear(Range{s.sel.r1, s.sel.c1, tr2, tc2}, ClearMode::All);
  const bool sameBook = cb.bookUid == wb_->uid();
  QHash<int, int> styleMap;
  for (const auto& [ro, c] : cb.cells) {
    Cell& t = sh.cellAt(s.sel.r1 + ro, c.col + dc);
    t.type = c.type;
    t.number = c.number;
    t.text = c.text;
    t.formula = c.formula.isEmpty() ? QString() : shiftFormula(c.formula, dr, dc);
    if (sameBook) {
      t.style = c.style;
    } else {
      auto it = styleMap.constFind(c.style);
      if (it == styleMap.constEnd())
        it = styleMap.insert(c.style, wb_->styles.intern(cb.styles.value(c.style)));
      t.style = it.value();
    }
  }
  for (const Range& m : cb.merges)
    sh.merges.push_back(Range{m.r1 + dr, m.c1 + dc, m.r2 + dr, m.c2 + dc});
  for (const auto& [ro, h] : cb.heights) {
    Row& rw = sh.rowAt(s.sel.r1 + ro);
    rw.height = h.height;
    rw.customHeight = h.customHeight;
    rw.hidden = h.hidden;
  }
  sh.touch();
  notify();
}

// --- Drawing objects ---

int Book::objFirstId() const {
  const Sheet& sh = currentSheet();
  if (sh.objects.empty())
    noObject(QStringLiteral("la hoja no tiene objetos"));
  return sh.objects.front().id;
}

int Book::objNextId(int id) const {
  const auto& objs = currentSheet().objects;
  auto it = std::upper_bound(objs.begin(), objs.end(), id, [](int i, const DrawingObject& o) { return i < o.id; });
  if (it == objs.end())
    noObject(QStringLiteral("no hay objeto después del %1").arg(id));
  return it->id;
}

const DrawingObject& Book::object(int id) const {
  const DrawingObject* o = currentSheet().object(id);
  if (!o)
    noObject(QString::number(id));
  return *o;
}

void Book::objSelect(int id) {
  object(id);
  st().objects = {id};
}

void Book::objAddSelection(int id) {
  object(id);
  auto& sel = st().objects;
  if (std::find(sel.begin(), sel.end(), id) == sel.end())
    sel.push_back(id);
}

ObjPos Book::objPos(int id) const { return object(id).pos; }

void Book::setObjPos(int id, const ObjPos& p) {
  DrawingObject* o = currentSheet().object(id);
  if (!o)
    noObject(QString::number(id));
  if (!(p.x1 >= 1 && p.y1 >= 1 && p.x2 >= p.x1 && p.y2 >= p.y1 && p.x2 <= kMaxCols + 1 && p.y2 <= kMaxRows + 1))
    badArgument(QStringLiteral("posición de objeto (%1, %2, %3, %4)").arg(p.x1).arg(p.y1).arg(p.x2).arg(p.y2));
  o->pos = p;
  notify();
}

int Book::addPicture(const ObjPos& p, const QByteArray& data, const QString& ext) {
  DrawingObject o;
  o.kind = DrawingObject::Kind::Picture;
  o.imageData = data;
  o.imageExt = ext.toLower();
  const int id = currentSheet().addObject(std::move(o));
  setObjPos(id, p);
  return id;
}

int Book::addShape(DrawingObject::Kind kind, const ObjPos& p) {
  DrawingObject o;
  o.kind = kind;
  const int id = currentSheet().addObject(std::move(o));
  setObjPos(id, p);
  return id;
}

// --- Page set-up ---

PageSetup& Book::pageSetup() { return currentSheet().page; }
const PageSetup& Book::pageSetup() const { return currentSheet().page; }

void Book::addRowPageBreak(int r) {
  checkCell(r, 1);
  if (r > 1)
    pageSetup().rowBreaks.insert(r);
}

void Book::addColPageBreak(int c) {
  checkCell(1, c);
  if (c > 1)
    pageSetup().colBreaks.insert(c);
}

void Book::clearPageBreaks() {
  pageSetup().rowBreaks.clear();
  pageSetup().colBreaks.clear();
}

void Book::setPrintTitlesFromSelection() {
  const Range s = st().sel;
  PageSetup& p = pageSetup();
  p.titleRows.reset();
  p.titleCols.reset();
  if (s.c1 == 1 && s.c2 >= 255)
    p.titleRows = std::make_pair(s.r1, s.r2);
  else if (s.r1 == 1 && s.r2 >= kMaxRows)
    p.titleCols = std::make_pair(s.c1, s.c2);
}

void Book::setPrintArea(const Range& r) {
  checkCell(r.r1, r.c1);
  checkCell(r.r2, r.c2);
  if (r.r2 < r.r1 || r.c2 < r.c1)
    badArgument(QStringLiteral("área de impresión"));
  pageSetup().printArea = r;
}

void Book::setPrintAreaFromSelection() { setPrintArea(st().sel); }
void Book::clearPrintArea() { pageSetup().printArea.reset(); }

void Book::setShowGridlines(bool on) {
  currentSheet().showGridlines = on;
  notify();
}

void Book::setShowHeadings(bool on) {
  currentSheet().showHeadings = on;
  notify();
}

// --- Display ---

void Book::setRepaint(bool on) {
  repaint_ = on;
  notify();
}

void Book::showActiveCell() { emit activeCellShown(st().row, st().col); }

}  // namespace wb
