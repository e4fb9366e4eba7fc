#include "error.h"
#include "metrics.h"
#include "numformat.h"
#include "workbook.h"
#include "xlsx.h"
#include "xlsxcommon.h"

#include <QColor>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <charconv>
#include <cmath>
#include <cstring>
#include <map>
#include <pugixml.hpp>
#include <set>
#include <zip.h>

namespace wb {

using namespace xlsx;

namespace {

// Anything wrong with the file ends up as this, then as vb::Error 20011 with the file's name.
struct Bad {
  QString why;
};

[[noreturn]] void bad(const QString& why) { throw Bad{why}; }

// --- XML helpers: elements and attributes are matched by local name, whatever their prefix ---

const char* localName(const char* name) {
  const char* c = std::strchr(name, ':');
  return c ? c + 1 : name;
}

bool is(const pugi::xml_node& n, const char* local) { return std::strcmp(localName(n.name()), local) == 0; }

pugi::xml_node child(const pugi::xml_node& n, const char* local) {
  for (pugi::xml_node c = n.first_child(); c; c = c.next_sibling())
    if (c.type() == pugi::node_element && is(c, local))
      return c;
  return {};
}

template <typename F> void forChildren(const pugi::xml_node& n, const char* local, F&& f) {
  for (pugi::xml_node c = n.first_child(); c; c = c.next_sibling())
    if (c.type() == pugi::node_element && is(c, local))
      f(c);
}

// An attribute by plain name ("name") or, with prefixed, one with any prefix ("r:id").
pugi::xml_attribute attr(const pugi::xml_node& n, const char* local, bool prefixed = false) {
  for (pugi::xml_attribute a = n.first_attribute(); a; a = a.next_attribute()) {
    const char* nm = a.name();
    const char* colon = std::strchr(nm, ':');
    if (prefixed ? (colon && std::strcmp(colon + 1, local) == 0) : std::strcmp(nm, local) == 0)
      return a;
  }
  return {};
}

QString str(const pugi::xml_attribute& a) { return QString::fromUtf8(a.value()); }
QString text(const pugi::xml_node& n) { return QString::fromUtf8(n.child_value()); }

double num(const char* s, double dflt = 0) {
  if (!s || !*s)
    return dflt;
  while (*s == ' ')
    ++s;
  double v = 0;
  const char* end = s + std::strlen(s);
  auto [p, ec] = std::from_chars(s, end, v);
  if (ec != std::errc() || !std::isfinite(v))
    bad(QStringLiteral("número no válido \"%1\"").arg(QString::fromUtf8(s)));
  return v;
}
double num(const pugi::xml_attribute& a, double dflt = 0) { return a ? num(a.value(), dflt) : dflt; }
// A number from the file as an int, however large it was written (indexes out of range are caught later).
int toInt(double v) { return int(std::clamp(v, -2147483647.0, 2147483647.0)); }
int integer(const pugi::xml_attribute& a, int dflt, int lo, int hi) {
  if (!a)
    return dflt;
  const double v = num(a.value(), dflt);
  if (v < lo || v > hi)
    bad(QStringLiteral("valor fuera de rango %1=\"%2\"").arg(QString::fromUtf8(a.name()), QString::fromUtf8(a.value())));
  return int(v);
}
bool flag(const pugi::xml_attribute& a, bool dflt = false) {
  if (!a)
    return dflt;
  const char* v = a.value();
  return std::strcmp(v, "1") == 0 || std::strcmp(v, "true") == 0 || std::strcmp(v, "on") == 0;
}
// <b/>, <b val="0"/>: an element present means true unless its val says otherwise.
bool elementFlag(const pugi::xml_node& n, const char* local) {
  pugi::xml_node c = child(n, local);
  return c && flag(c.attribute("val"), true);
}

// The element's XML with the namespace declarations of its ancestors, so it stands alone.
QByteArray rawXml(const pugi::xml_node& n) {
  pugi::xml_document doc;
  pugi::xml_node copy = doc.append_copy(n);
  for (pugi::xml_node up = n.parent(); up && up.type() == pugi::node_element; up = up.parent())
    for (pugi::xml_attribute a = up.first_attribute(); a; a = a.next_attribute()) {
      const char* nm = a.name();
      if ((std::strncmp(nm, "xmlns", 5) == 0) && !copy.attribute(nm))
        copy.append_attribute(nm) = a.value();
    }
  struct Writer : pugi::xml_writer {
    QByteArray out;
    void write(const void* data, size_t size) override { out.append(static_cast<const char*>(data), qsizetype(size)); }
  } w;
  copy.print(w, "", pugi::format_raw | pugi::format_no_declaration);
  return w.out;
}

// --- The package ---

struct Rel {
  QString id, type, target;  // target resolved to a part name unless external
  bool external = false;
  bool typeIs(const char* suffix) const { return type.endsWith(QLatin1Char('/') + QLatin1String(suffix)); }
};

class Package {
public:
  explicit Package(const QString& path) {
    int err = 0;
    za_ = zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, &err);
    if (!za_)
      bad(zipCause(err));
    const zip_int64_t n = zip_get_num_entries(za_, 0);
    for (zip_int64_t i = 0; i < n; ++i) {
      const char* nm = zip_get_name(za_, zip_uint64_t(i), 0);
      if (!nm)
        continue;
      const QString name = QString::fromUtf8(nm);
      if (name.endsWith(u'/'))
        continue;
      index_.insert(name, i);
      lower_.insert(name.toLower(), name);
      order_.push_back(name);
    }
  }
  ~Package() {
    if (za_)
      zip_discard(za_);
  }
  Package(const Package&) = delete;
  Package& operator=(const Package&) = delete;

  // The part's real name (part names compare without case), or "" when missing.
  QString find(const QString& name) const {
    if (index_.contains(name))
      return name;
    return lower_.value(name.toLower());
  }
  bool has(const QString& name) const { return !find(name).isEmpty(); }
  const std::vector<QString>& names() const { return order_; }

  QByteArray read(const QString& name) const {
    const QString real = find(name);
    if (real.isEmpty())
      bad(QStringLiteral("falta la parte %1").arg(name));
    const zip_int64_t i = index_.value(real);
    zip_stat_t st;
    zip_stat_init(&st);
    if (zip_stat_index(za_, zip_uint64_t(i), 0, &st) != 0 || !(st.valid & ZIP_STAT_SIZE))
      bad(QStringLiteral("no se puede leer la parte %1").arg(name));
    if (st.size > (zip_uint64_t(1) << 30))
      bad(QStringLiteral("la parte %1 es demasiado grande").arg(name));
    QByteArray data(qsizetype(st.size), Qt::Uninitialized);
    zip_file_t* f = zip_fopen_index(za_, zip_uint64_t(i), 0);
    if (!f)
      bad(QStringLiteral("no se puede leer la parte %1 (%2)")
              .arg(name, zipCause(zip_error_code_zip(zip_get_error(za_)))));
    const zip_int64_t got = zip_fread(f, data.data(), st.size);
    const bool ok = got == zip_int64_t(st.size);
    zip_fclose(f);
    if (!ok)
      bad(QStringLiteral("la parte %1 está dañada").arg(name));
    return data;
  }

  // Parses a part; keeps the buffer alive with the document.
  void xml(const QString& name, pugi::xml_document& doc) const {
    const QByteArray data = read(name);
    const pugi::xml_parse_result r = doc.load_buffer(data.constData(), size_t(data.size()),
                                                     pugi::parse_default | pugi::parse_ws_pcdata_single);
    if (!r)
      bad(QStringLiteral("XML mal formado en %1 (%2, posición %3)").arg(name, xmlCause(r.status)).arg(r.offset));
    if (!doc.document_element())
      bad(QStringLiteral("la parte %1 está vacía").arg(name));
  }

  std::vector<Rel> rels(const QString& source) const {
    std::vector<Rel> out;
    const QString rp = source.isEmpty() ? QStringLiteral("_rels/.rels") : relsPartOf(source);
    if (!has(rp))
      return out;
    pugi::xml_document doc;
    xml(rp, doc);
    forChildren(doc.document_element(), "Relationship", [&](pugi::xml_node n) {
      Rel r;
      r.id = str(n.attribute("Id"));
      r.type = str(n.attribute("Type"));
      r.external = QString::fromUtf8(n.attribute("TargetMode").value()) == QLatin1String("External");
      const QString t = str(n.attribute("Target"));
      r.target = r.external ? t : resolvePart(source.isEmpty() ? QStringLiteral("x") : source, t);
      if (!r.external) {
        const QString real = find(r.target);
        if (!real.isEmpty())
          r.target = real;
      }
      out.push_back(r);
    });
    return out;
  }

private:
  zip_t* za_ = nullptr;
  QHash<QString, zip_int64_t> index_;
  QHash<QString, QString> lower_;
  std::vector<QString> order_;
};

// --- Colours ---

constexpr Rgb kIndexed[64] = {
    0x000000, 0xFFFFFF, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00, 0xFF00FF, 0x00FFFF, 0x000000, 0xFFFFFF, 0xFF0000,
    0x00FF00, 0x0000FF, 0xFFFF00, 0xFF00FF, 0x00FFFF, 0x800000, 0x008000, 0x000080, 0x808000, 0x800080, 0x008080,
    0xC0C0C0, 0x808080, 0x9999FF, 0x993366, 0xFFFFCC, 0xCCFFFF, 0x660066, 0xFF8080, 0x0066CC, 0xCCCCFF, 0x000080,
    0xFF00FF, 0xFFFF00, 0x00FFFF, 0x800080, 0x800000, 0x008080, 0x0000FF, 0x00CCFF, 0xCCFFFF, 0xCCFFCC, 0xFFFF99,
    0x99CCFF, 0xFF99CC, 0xCC99FF, 0xFFCC99, 0x3366FF, 0x33CCCC, 0x99CC00, 0xFFCC00, 0xFF9900, 0xFF6600, 0x666699,
    0x969696, 0x003366, 0x339966, 0x003300, 0x333300, 0x993300, 0x993366, 0x333399, 0x333333};

struct Colors {
  std::vector<Rgb> indexed{std::begin(kIndexed), std::end(kIndexed)};
  std::vector<Rgb> theme;  // clrScheme in the order colour references count: lt1, dk1, lt2, dk2, accents...

  // dflt: what "automatic" or a missing colour means here (black text and lines, white background).
  Rgb resolve(const pugi::xml_node& c, Rgb dflt) const {
    if (!c)
      return dflt;
    Rgb rgb = dflt;
    if (auto a = c.attribute("rgb")) {
      bool ok = false;
      const QString s = str(a);
      const uint v = s.right(6).toUInt(&ok, 16);
      if (ok)
        rgb = v & 0xFFFFFF;
    } else if (auto t = c.attribute("theme")) {
      const int i = toInt(num(t, -1));
      if (i >= 0 && i < int(theme.size()))
        rgb = theme[size_t(i)];
    } else if (auto x = c.attribute("indexed")) {
      const int i = toInt(num(x, -1));
      if (i >= 0 && i < int(indexed.size()))
        rgb = indexed[size_t(i)];
    }
    if (auto tint = c.attribute("tint"); tint && num(tint) != 0) {
      const double t = std::clamp(num(tint), -1.0, 1.0);
      QColor q = QColor::fromRgb(QRgb(rgb));
      float h, s, l;
      q.getHslF(&h, &s, &l);
      l = t < 0 ? l * float(1 + t) : l * float(1 - t) + float(t);
      q = QColor::fromHslF(h, s, std::clamp(l, 0.0f, 1.0f));
      rgb = Rgb(q.rgb() & 0xFFFFFF);
    }
    return rgb;
  }
};

void readTheme(const Package& pkg, const QString& part, Colors& colors) {
  pugi::xml_document doc;
  pkg.xml(part, doc);
  pugi::xml_node scheme = child(child(doc.document_element(), "themeElements"), "clrScheme");
  std::vector<Rgb> order;
  for (pugi::xml_node c = scheme.first_child(); c; c = c.next_sibling()) {
    if (c.type() != pugi::node_element)
      continue;
    pugi::xml_node v = c.first_child();
    Rgb rgb = 0;
    if (is(v, "srgbClr"))
      rgb = QString::fromUtf8(v.attribute("val").value()).toUInt(nullptr, 16) & 0xFFFFFF;
    else if (is(v, "sysClr"))
      rgb = QString::fromUtf8(v.attribute("lastClr").value()).toUInt(nullptr, 16) & 0xFFFFFF;
    order.push_back(rgb);
  }
  if (order.size() >= 4) {  // dk1, lt1, dk2, lt2 are referenced as 1, 0, 3, 2
    std::swap(order[0], order[1]);
    std::swap(order[2], order[3]);
  }
  colors.theme = order;
}

// --- Styles ---

struct Styles {
  std::vector<int> xfToPool;  // cellXfs index -> StylePool index
  QByteArray dxfs;
};

Styles readStyles(const Package& pkg, const QString& part, const Colors& baseColors, Workbook& wb) {
  Styles out;
  pugi::xml_document doc;
  pkg.xml(part, doc);
  const pugi::xml_node root = doc.document_element();
  Colors colors = baseColors;
  if (pugi::xml_node ic = child(child(root, "colors"), "indexedColors")) {
    std::vector<Rgb> pal;
    forChildren(ic, "rgbColor", [&](pugi::xml_node c) { pal.push_back(colors.resolve(c, 0)); });
    for (size_t i = 0; i < pal.size() && i < colors.indexed.size(); ++i)
      colors.indexed[i] = pal[i];
  }
  QHash<int, QString> fmts;
  forChildren(child(root, "numFmts"), "numFmt", [&](pugi::xml_node n) {
    fmts.insert(toInt(num(n.attribute("numFmtId"), -1)), decodeXString(str(n.attribute("formatCode"))));
  });
  std::vector<Font> fonts;
  forChildren(child(root, "fonts"), "font", [&](pugi::xml_node n) {
    Font f;
    if (pugi::xml_node nm = child(n, "name"))
      f.name = str(nm.attribute("val"));
    else if (pugi::xml_node rf = child(n, "rFont"))
      f.name = str(rf.attribute("val"));
    if (pugi::xml_node sz = child(n, "sz"))
      f.sizeTwips = int(std::lround(std::clamp(num(sz.attribute("val"), 10), 1.0, 409.0) * 20));
    f.bold = elementFlag(n, "b");
    f.italic = elementFlag(n, "i");
    f.strike = elementFlag(n, "strike");
    f.outline = elementFlag(n, "outline");
    f.shadow = elementFlag(n, "shadow");
    if (pugi::xml_node u = child(n, "u")) {
      const QString v = str(u.attribute("val"));
      f.underline = v == QLatin1String("double")             ? Underline::Double
                    : v == QLatin1String("singleAccounting") ? Underline::SingleAccounting
                    : v == QLatin1String("doubleAccounting") ? Underline::DoubleAccounting
                    : v == QLatin1String("none")             ? Underline::None
                                                             : Underline::Single;
    }
    f.color = colors.resolve(child(n, "color"), 0);
    fonts.push_back(f);
  });
  std::vector<Fill> fills;
  forChildren(child(root, "fills"), "fill", [&](pugi::xml_node n) {
    Fill f;
    if (pugi::xml_node p = child(n, "patternFill")) {
      const QString type = str(p.attribute("patternType"));
      f.pattern = 0;
      for (size_t i = 0; i < kPatterns.size(); ++i)
        if (type == QLatin1String(kPatterns[i]))
          f.pattern = int(i);
      f.fg = colors.resolve(child(p, "fgColor"), 0);
      f.bg = colors.resolve(child(p, "bgColor"), 0xFFFFFF);
    } else if (pugi::xml_node g = child(n, "gradientFill")) {
      f.pattern = 1;  // drawn as its first colour
      f.fg = colors.resolve(child(child(g, "stop"), "color"), 0xFFFFFF);
    }
    fills.push_back(f);
  });
  struct Borders {
    Edge left, right, top, bottom;
  };
  std::vector<Borders> borders;
  forChildren(child(root, "borders"), "border", [&](pugi::xml_node n) {
    Borders b;
    auto edge = [&](const char* a, const char* alt, Edge& e) {
      pugi::xml_node x = child(n, a);
      if (!x)
        x = child(n, alt);
      if (!x)
        return;
      const QString st = str(x.attribute("style"));
      for (size_t i = 0; i < kLineStyles.size(); ++i)
        if (st == QLatin1String(kLineStyles[i]))
          e.style = LineStyle(i);
      e.color = colors.resolve(child(x, "color"), 0);
    };
    edge("left", "start", b.left);
    edge("right", "end", b.right);
    edge("top", "top", b.top);
    edge("bottom", "bottom", b.bottom);
    borders.push_back(b);
  });
  auto fmtCode = [&](int id) {
    if (fmts.contains(id))
      return fmts.value(id);
    const QString b = vb::NumberFormat::builtinCode(id);
    return b.isEmpty() ? QStringLiteral("General") : b;
  };
  int xfIndex = 0;
  forChildren(child(root, "cellXfs"), "xf", [&](pugi::xml_node n) {
    CellStyle s;
    const int fi = toInt(num(n.attribute("fontId"), 0));
    if (fi >= 0 && fi < int(fonts.size()))
      s.font = fonts[size_t(fi)];
    const int fl = toInt(num(n.attribute("fillId"), 0));
    if (fl >= 0 && fl < int(fills.size()))
      s.fill = fills[size_t(fl)];
    const int bi = toInt(num(n.attribute("borderId"), 0));
    if (bi >= 0 && bi < int(borders.size())) {
      s.left = borders[size_t(bi)].left;
      s.right = borders[size_t(bi)].right;
      s.top = borders[size_t(bi)].top;
      s.bottom = borders[size_t(bi)].bottom;
    }
    s.numFmt = fmtCode(toInt(num(n.attribute("numFmtId"), 0)));
    if (pugi::xml_node a = child(n, "alignment")) {
      const QString h = str(a.attribute("horizontal"));
      for (size_t i = 0; i < kHAligns.size(); ++i)
        if (h == QLatin1String(kHAligns[i]))
          s.h = HAlign(i + 1);
      const QString v = str(a.attribute("vertical"));
      for (size_t i = 0; i < kVAligns.size(); ++i)
        if (v == QLatin1String(kVAligns[i]))
          s.v = VAlign(i + 1);
      s.wrap = flag(a.attribute("wrapText"));
      s.rotation = integer(a.attribute("textRotation"), 0, 0, 255);
      if (s.rotation > 180 && s.rotation != 255)
        s.rotation = 0;
      s.indent = integer(a.attribute("indent"), 0, 0, 250);
    }
    if (xfIndex == 0) {
      wb.styles.setDefault(s);
      out.xfToPool.push_back(0);
    } else {
      out.xfToPool.push_back(wb.styles.intern(s));
    }
    ++xfIndex;
  });
  if (out.xfToPool.empty()) {  // no cell formats: the first font is still the default
    CellStyle s;
    if (!fonts.empty())
      s.font = fonts.front();
    wb.styles.setDefault(s);
    out.xfToPool.push_back(0);
  }
  if (pugi::xml_node d = child(root, "dxfs"))
    out.dxfs = rawXml(d);
  return out;
}

std::vector<QString> readSharedStrings(const Package& pkg, const QString& part) {
  std::vector<QString> out;
  pugi::xml_document doc;
  pkg.xml(part, doc);
  forChildren(doc.document_element(), "si", [&](pugi::xml_node si) {
    QString s;
    for (pugi::xml_node c = si.first_child(); c; c = c.next_sibling()) {
      if (is(c, "t"))
        s += text(c);
      else if (is(c, "r"))
        s += text(child(c, "t"));
    }
    out.push_back(decodeXString(s));
  });
  return out;
}

// --- Geometry for anchors ---

double colWidthEmu(const Workbook& wb, const Sheet& s, int c) { return double(wb.colWidth(s, c)) * 635.0; }
double rowHeightEmu(const Workbook& wb, const Sheet& s, int r) { return double(wb.rowHeight(s, r)) * 635.0; }

// 1-based fractional coordinate from a 0-based cell index and an EMU offset inside it.
double fromCell(int index0, double off, bool isCol, const Workbook& wb, const Sheet& s) {
  int i = std::clamp(index0, 0, (isCol ? kMaxCols : kMaxRows) - 1) + 1;
  off = std::max(0.0, off);
  for (int guard = 0; guard < 100000; ++guard) {
    const double size = isCol ? colWidthEmu(wb, s, i) : rowHeightEmu(wb, s, i);
    if (size <= 0 || off < size || i >= (isCol ? kMaxCols : kMaxRows))
      return i + (size > 0 ? std::min(off / size, 0.999999) : 0.0);
    off -= size;
    ++i;
  }
  return i;
}

// 1-based fractional coordinate of an absolute EMU distance from the sheet's top or left edge.
double fromAbsolute(double emu, bool isCol, const Workbook& wb, const Sheet& s) { return fromCell(0, emu, isCol, wb, s); }

double toAbsolute(double coord, bool isCol, const Workbook& wb, const Sheet& s) {
  double emu = 0;
  const int whole = int(std::floor(coord));
  for (int i = 1; i < whole && i < 100000; ++i)
    emu += isCol ? colWidthEmu(wb, s, i) : rowHeightEmu(wb, s, i);
  return emu + (coord - whole) * (isCol ? colWidthEmu(wb, s, whole) : rowHeightEmu(wb, s, whole));
}

struct Marker {
  int col = 0, row = 0;
  double colOff = 0, rowOff = 0;
};
Marker marker(const pugi::xml_node& n) {
  Marker m;
  m.col = toInt(num(child(n, "col").child_value(), 0));
  m.row = toInt(num(child(n, "row").child_value(), 0));
  m.colOff = num(child(n, "colOff").child_value(), 0);
  m.rowOff = num(child(n, "rowOff").child_value(), 0);
  return m;
}

Rgb drawingColor(const pugi::xml_node& fillParent, Rgb dflt) {
  pugi::xml_node sf = child(fillParent, "solidFill");
  if (!sf)
    return dflt;
  pugi::xml_node c = child(sf, "srgbClr");
  if (!c)
    return dflt;
  return QString::fromUtf8(c.attribute("val").value()).toUInt(nullptr, 16) & 0xFFFFFF;
}

void readShapeLook(const pugi::xml_node& shape, DrawingObject& o) {
  pugi::xml_node spPr = child(shape, "spPr");
  if (pugi::xml_node xfrm = child(spPr, "xfrm")) {
    o.flipH = flag(xfrm.attribute("flipH"));
    o.flipV = flag(xfrm.attribute("flipV"));
  }
  const QString prst = str(child(spPr, "prstGeom").attribute("prst"));
  if (prst == QLatin1String("rect"))
    o.kind = DrawingObject::Kind::Rect;
  else if (prst == QLatin1String("ellipse"))
    o.kind = DrawingObject::Kind::Ellipse;
  else if (prst == QLatin1String("line") || prst.startsWith(QLatin1String("straightConnector")))
    o.kind = DrawingObject::Kind::Line;
  else
    o.kind = DrawingObject::Kind::Other;
  if (pugi::xml_node cnv = child(child(shape, "nvSpPr"), "cNvSpPr"); cnv && flag(cnv.attribute("txBox")))
    o.kind = DrawingObject::Kind::TextBox;
  o.noFill = !child(spPr, "solidFill");
  o.fillColor = drawingColor(spPr, 0xFFFFFF);
  if (pugi::xml_node ln = child(spPr, "ln")) {
    o.lineWidthEmu = toInt(num(ln.attribute("w"), 9525));
    o.noLine = bool(child(ln, "noFill"));
    o.lineColor = drawingColor(ln, 0);
  }
  if (pugi::xml_node tx = child(shape, "txBody")) {
    QStringList paras;
    forChildren(tx, "p", [&](pugi::xml_node p) {
      QString s;
      forChildren(p, "r", [&](pugi::xml_node r) { s += text(child(r, "t")); });
      paras << s;
    });
    o.text = paras.join(u'\n');
  }
}

// --- Worksheets ---

struct Context {
  const Package& pkg;
  Workbook& wb;
  Styles styles;
  std::vector<QString> strings;
  std::set<QString> consumed;     // parts the model rewrites
  std::set<QString> keptTargets;  // parts kept relationships point to
};

int poolStyle(const Context& cx, const pugi::xml_attribute& a) {
  if (!a)
    return 0;
  const int i = toInt(num(a, 0));
  if (i < 0 || i >= int(cx.styles.xfToPool.size()))
    return 0;
  return cx.styles.xfToPool[size_t(i)];
}

// A1 reference; hint is the column after the previous cell of the row when "r" is missing.
CellRef cellRef(const pugi::xml_attribute& a, int row, int hintCol) {
  if (!a)
    return CellRef{row, hintCol};
  const auto r = parseCellName(QString::fromUtf8(a.value()));
  if (!r)
    bad(QStringLiteral("referencia de celda no válida \"%1\"").arg(QString::fromUtf8(a.value())));
  return *r;
}

std::optional<Range> parseRange(QStringView s) {
  const qsizetype colon = s.indexOf(u':');
  const auto a = parseCellName(colon < 0 ? s : s.left(colon));
  const auto b = parseCellName(colon < 0 ? s : s.mid(colon + 1));
  if (!a || !b)
    return std::nullopt;
  return Range{std::min(a->row, b->row), std::min(a->col, b->col), std::max(a->row, b->row), std::max(a->col, b->col)};
}

void readCells(Context& cx, const pugi::xml_node& sheetData, Sheet& sh) {
  struct Shared {
    QString formula;
    int row, col;
  };
  QHash<int, Shared> shared;
  int nextRow = 1;
  forChildren(sheetData, "row", [&](pugi::xml_node rn) {
    const int r = integer(rn.attribute("r"), nextRow, 1, kMaxRows);
    nextRow = r + 1;
    Row& rw = sh.rowAt(r);
    if (auto ht = rn.attribute("ht")) {
      rw.height = int(std::lround(std::clamp(num(ht), 0.0, 1638.0) * 20));
      rw.customHeight = flag(rn.attribute("customHeight"));
    }
    rw.hidden = flag(rn.attribute("hidden"));
    if (flag(rn.attribute("customFormat")))
      rw.style = poolStyle(cx, rn.attribute("s"));
    int nextCol = 1;
    for (pugi::xml_node cn = rn.first_child(); cn; cn = cn.next_sibling()) {
      if (cn.type() != pugi::node_element || !is(cn, "c"))
        continue;
      const CellRef ref = cellRef(cn.attribute("r"), r, nextCol);
      if (ref.row != r)
        bad(QStringLiteral("celda %1 fuera de su renglón").arg(cellName(ref.row, ref.col)));
      nextCol = ref.col + 1;
      Cell& c = sh.cellAt(r, ref.col);
      c.style = poolStyle(cx, cn.attribute("s"));
      const char* t = cn.attribute("t").value();
      pugi::xml_node v = child(cn, "v");
      if (pugi::xml_node f = child(cn, "f")) {
        const QString ftext = text(f);
        if (std::strcmp(f.attribute("t").value(), "shared") == 0) {
          const int si = toInt(num(f.attribute("si"), -1));
          if (!ftext.isEmpty())
            shared.insert(si, Shared{ftext, r, ref.col});
          else if (shared.contains(si)) {
            const Shared& m = shared[si];
            c.formula = shiftFormula(m.formula, r - m.row, ref.col - m.col);
          }
          if (!ftext.isEmpty())
            c.formula = ftext;
        } else {
          c.formula = ftext;
        }
      }
      if (std::strcmp(t, "s") == 0) {
        if (!v)
          continue;
        const double i = num(v.child_value(), -1);
        if (i < 0 || i >= double(cx.strings.size()))
          bad(QStringLiteral("cadena compartida %1 inexistente en %2").arg(i).arg(cellName(r, ref.col)));
        c.type = Cell::Type::Text;
        c.text = cx.strings[size_t(i)];
      } else if (std::strcmp(t, "inlineStr") == 0) {
        QString s;
        pugi::xml_node isn = child(cn, "is");
        for (pugi::xml_node k = isn.first_child(); k; k = k.next_sibling()) {
          if (is(k, "t"))
            s += text(k);
          else if (is(k, "r"))
            s += text(child(k, "t"));
        }
        c.type = Cell::Type::Text;
        c.text = decodeXString(s);
      } else if (std::strcmp(t, "str") == 0) {
        if (v) {
          c.type = Cell::Type::Text;
          c.text = decodeXString(text(v));
        }
      } else if (std::strcmp(t, "b") == 0) {
        if (v) {
          c.type = Cell::Type::Bool;
          c.number = num(v.child_value(), 0) != 0 ? 1 : 0;
        }
      } else if (std::strcmp(t, "e") == 0) {
        c.type = Cell::Type::Error;
        c.text = text(v);
      } else if (std::strcmp(t, "d") == 0) {
        if (v) {
          const QDateTime dt = QDateTime::fromString(text(v), Qt::ISODate);
          if (dt.isValid()) {
            c.type = Cell::Type::Number;
            c.number = double(QDate(1899, 12, 30).daysTo(dt.date())) + dt.time().msecsSinceStartOfDay() / 86400000.0;
          }
        }
      } else if (v && *v.child_value()) {
        c.type = Cell::Type::Number;
        c.number = num(v.child_value());
        if (cx.wb.date1904 && cx.wb.numberFormat(cx.wb.styles.at(c.style).numFmt).isDate())
          c.number += 1462;  // dates are kept in the 1900 system
      }
    }
  });
}

void readDrawing(Context& cx, const QString& part, Sheet& sh) {
  pugi::xml_document doc;
  cx.pkg.xml(part, doc);
  cx.consumed.insert(part);
  cx.consumed.insert(relsPartOf(part));
  const std::vector<Rel> rels = cx.pkg.rels(part);
  std::set<QString> usedByPictures;  // relationship ids our pictures replace
  auto relById = [&](const QString& id) -> const Rel* {
    for (const Rel& r : rels)
      if (r.id == id)
        return &r;
    return nullptr;
  };
  for (pugi::xml_node an = doc.document_element().first_child(); an; an = an.next_sibling()) {
    if (an.type() != pugi::node_element)
      continue;
    const bool two = is(an, "twoCellAnchor"), one = is(an, "oneCellAnchor"), abs = is(an, "absoluteAnchor");
    if (!two && !one && !abs)
      continue;
    DrawingObject o;
    pugi::xml_node content;
    for (pugi::xml_node c = an.first_child(); c; c = c.next_sibling())
      if (c.type() == pugi::node_element && !is(c, "from") && !is(c, "to") && !is(c, "pos") && !is(c, "ext") &&
          !is(c, "clientData")) {
        content = c;
        break;
      }
    if (!content)
      continue;
    // Position.
    if (two || one) {
      const Marker f = marker(child(an, "from"));
      o.pos.x1 = fromCell(f.col, f.colOff, true, cx.wb, sh);
      o.pos.y1 = fromCell(f.row, f.rowOff, false, cx.wb, sh);
      if (two) {
        const Marker t = marker(child(an, "to"));
        o.pos.x2 = fromCell(t.col, t.colOff, true, cx.wb, sh);
        o.pos.y2 = fromCell(t.row, t.rowOff, false, cx.wb, sh);
      } else {
        pugi::xml_node ext = child(an, "ext");
        o.pos.x2 = fromAbsolute(toAbsolute(o.pos.x1, true, cx.wb, sh) + num(ext.attribute("cx")), true, cx.wb, sh);
        o.pos.y2 = fromAbsolute(toAbsolute(o.pos.y1, false, cx.wb, sh) + num(ext.attribute("cy")), false, cx.wb, sh);
      }
    } else {
      pugi::xml_node pos = child(an, "pos"), ext = child(an, "ext");
      const double x = num(pos.attribute("x")), y = num(pos.attribute("y"));
      o.pos = ObjPos{fromAbsolute(x, true, cx.wb, sh), fromAbsolute(y, false, cx.wb, sh),
                     fromAbsolute(x + num(ext.attribute("cx")), true, cx.wb, sh),
                     fromAbsolute(y + num(ext.attribute("cy")), false, cx.wb, sh)};
    }
    o.pos.x2 = std::max(o.pos.x2, o.pos.x1);
    o.pos.y2 = std::max(o.pos.y2, o.pos.y1);
    o.rawXml = rawXml(content);
    // What it is.
    o.kind = DrawingObject::Kind::Other;
    if (is(content, "pic")) {
      o.name = str(child(child(content, "nvPicPr"), "cNvPr").attribute("name"));
      pugi::xml_node blip = child(child(content, "blipFill"), "blip");
      const Rel* rel = relById(str(attr(blip, "embed", true)));
      if (rel && !rel->external && cx.pkg.has(rel->target)) {
        o.kind = DrawingObject::Kind::Picture;
        o.imageData = cx.pkg.read(rel->target);
        o.imageExt = QFileInfo(rel->target).suffix().toLower();
        usedByPictures.insert(rel->id);
        cx.consumed.insert(rel->target);
      }
    } else if (is(content, "sp") || is(content, "cxnSp")) {
      o.name = str(child(child(content, is(content, "sp") ? "nvSpPr" : "nvCxnSpPr"), "cNvPr").attribute("name"));
      readShapeLook(content, o);
      if (is(content, "cxnSp"))
        o.kind = DrawingObject::Kind::Line;
    }
    sh.objects.push_back(std::move(o));
    sh.objects.back().id = int(sh.objects.size());
  }
  // Relationships that objects we keep as XML still need (charts, images of shapes).
  for (const Rel& r : rels)
    if (!usedByPictures.count(r.id)) {
      sh.extras.drawingRels.push_back(SheetExtras::Rel{r.id, r.type, r.target, r.external});
      if (!r.external)
        cx.keptTargets.insert(r.target);
    }
}

PageSetup readPage(const pugi::xml_node& root, PageSetup p) {
  if (pugi::xml_node n = child(child(root, "sheetPr"), "pageSetUpPr"))
    p.fitToPage = flag(n.attribute("fitToPage"));
  if (pugi::xml_node n = child(root, "printOptions")) {
    p.printGridlines = flag(n.attribute("gridLines"));
    p.printHeadings = flag(n.attribute("headings"));
    p.hCenter = flag(n.attribute("horizontalCentered"));
    p.vCenter = flag(n.attribute("verticalCentered"));
  }
  if (pugi::xml_node n = child(root, "pageMargins")) {
    auto m = [&](const char* a, double& v) { v = std::clamp(num(n.attribute(a), v), 0.0, 49.0); };
    m("left", p.left);
    m("right", p.right);
    m("top", p.top);
    m("bottom", p.bottom);
    m("header", p.headerMargin);
    m("footer", p.footerMargin);
  }
  if (pugi::xml_node n = child(root, "pageSetup")) {
    p.paperSize = integer(n.attribute("paperSize"), 1, 0, 255);
    p.scale = integer(n.attribute("scale"), 100, 1, 10000);
    p.fitWidth = integer(n.attribute("fitToWidth"), 1, 0, 32767);
    p.fitHeight = integer(n.attribute("fitToHeight"), 1, 0, 32767);
    p.firstPageNumber = integer(n.attribute("firstPageNumber"), 1, -32768, 2147483647);
    p.useFirstPageNumber = flag(n.attribute("useFirstPageNumber"));
    p.landscape = std::strcmp(n.attribute("orientation").value(), "landscape") == 0;
    p.overThenDown = std::strcmp(n.attribute("pageOrder").value(), "overThenDown") == 0;
    p.blackAndWhite = flag(n.attribute("blackAndWhite"));
    p.draft = flag(n.attribute("draft"));
  }
  if (pugi::xml_node n = child(root, "headerFooter")) {
    p.header = decodeXString(text(child(n, "oddHeader")));
    p.footer = decodeXString(text(child(n, "oddFooter")));
  }
  forChildren(child(root, "rowBreaks"), "brk", [&](pugi::xml_node b) {
    const int id = integer(b.attribute("id"), 0, 0, kMaxRows);
    if (id > 0 && flag(b.attribute("man"), false))
      p.rowBreaks.insert(id + 1);
  });
  forChildren(child(root, "colBreaks"), "brk", [&](pugi::xml_node b) {
    const int id = integer(b.attribute("id"), 0, 0, kMaxCols);
    if (id > 0 && flag(b.attribute("man"), false))
      p.colBreaks.insert(id + 1);
  });
  return p;
}

const char* const kModelled[] = {"sheetPr",   "dimension",  "sheetViews", "sheetFormatPr", "cols",
                                 "sheetData", "mergeCells", "printOptions", "pageMargins", "pageSetup",
                                 "headerFooter", "rowBreaks", "colBreaks", "drawing"};

void readSheet(Context& cx, const QString& part, Sheet& sh) {
  pugi::xml_document doc;
  cx.pkg.xml(part, doc);
  cx.consumed.insert(part);
  cx.consumed.insert(relsPartOf(part));
  const pugi::xml_node root = doc.document_element();
  if (!is(root, "worksheet"))
    bad(QStringLiteral("%1 no es una hoja de cálculo").arg(part));
  if (pugi::xml_node v = child(child(root, "sheetViews"), "sheetView")) {
    sh.showGridlines = flag(v.attribute("showGridLines"), true);
    sh.showHeadings = flag(v.attribute("showRowColHeaders"), true);
    sh.zoom = integer(v.attribute("zoomScale"), 100, 10, 400);
  }
  if (pugi::xml_node f = child(root, "sheetFormatPr")) {
    if (auto h = f.attribute("defaultRowHeight"))
      sh.defaultRowHeight = int(std::lround(std::clamp(num(h), 0.0, 409.5) * 20));
    if (auto w = f.attribute("defaultColWidth"))
      sh.defaultColChars = std::clamp(num(w), 0.0, 255.0);
    sh.baseColChars = integer(f.attribute("baseColWidth"), 8, 0, 255);
  }
  const int mdw = cx.wb.maxDigitWidthPx();
  forChildren(child(root, "cols"), "col", [&](pugi::xml_node c) {
    const int lo = integer(c.attribute("min"), 1, 1, kMaxCols);
    const int hi = integer(c.attribute("max"), lo, lo, kMaxCols);
    const bool hasWidth = bool(c.attribute("width"));
    const int width = hasWidth ? metrics::charsToTwips(std::clamp(num(c.attribute("width")), 0.0, 255.0), mdw) : -1;
    const bool hidden = flag(c.attribute("hidden"));
    const int style = c.attribute("style") ? poolStyle(cx, c.attribute("style")) : -1;
    if (hi - lo > 1024 && !hidden && style <= 0)
      return;  // a default run to the end of the sheet: nothing to keep
    for (int k = lo; k <= hi; ++k) {
      ColInfo& ci = sh.colAt(k);
      if (hasWidth && (flag(c.attribute("customWidth")) || width != cx.wb.defaultColWidth(sh)))
        ci.width = width;
      ci.hidden = hidden;
      if (style > 0)
        ci.style = style;
    }
  });
  readCells(cx, child(root, "sheetData"), sh);
  forChildren(child(root, "mergeCells"), "mergeCell", [&](pugi::xml_node m) {
    if (auto r = parseRange(QString::fromUtf8(m.attribute("ref").value())))
      sh.merges.push_back(*r);
  });
  sh.page = readPage(root, sh.page);
  // Raw elements and the relationships they use.
  for (pugi::xml_node c = root.first_child(); c; c = c.next_sibling()) {
    if (c.type() != pugi::node_element)
      continue;
    const char* ln = localName(c.name());
    if (std::any_of(std::begin(kModelled), std::end(kModelled), [&](const char* m) { return std::strcmp(m, ln) == 0; }))
      continue;
    sh.extras.elements.push_back(SheetExtras::Element{QByteArray(ln), rawXml(c)});
  }
  const std::vector<Rel> rels = cx.pkg.rels(part);
  const QString drawingId = str(attr(child(root, "drawing"), "id", true));
  for (const Rel& r : rels) {
    if (r.id == drawingId && !drawingId.isEmpty() && !r.external && cx.pkg.has(r.target)) {
      readDrawing(cx, r.target, sh);
      continue;
    }
    if (r.typeIs("printerSettings"))
      continue;  // pageSetup is written without its printer-settings link
    sh.extras.rels.push_back(SheetExtras::Rel{r.id, r.type, r.target, r.external});
    if (!r.external)
      cx.keptTargets.insert(r.target);
  }
}

std::optional<QString> unquoteSheet(QStringView ref, QStringView& rest) {
  const qsizetype bang = ref.lastIndexOf(u'!');
  if (bang < 0)
    return std::nullopt;
  QString name = ref.left(bang).toString();
  if (name.startsWith(u'\'') && name.endsWith(u'\'') && name.size() >= 2)
    name = name.mid(1, name.size() - 2).replace(QLatin1String("''"), QLatin1String("'"));
  rest = ref.mid(bang + 1);
  return name;
}

// Splits "a,b" at commas outside quotes.
QStringList splitRefs(const QString& s) {
  QStringList out;
  QString cur;
  bool quoted = false;
  for (QChar c : s) {
    if (c == u'\'')
      quoted = !quoted;
    if (c == u',' && !quoted) {
      out << cur;
      cur.clear();
    } else {
      cur += c;
    }
  }
  out << cur;
  return out;
}

void readDefinedName(Workbook& wb, const pugi::xml_node& n, const std::vector<int>& sheetOfLocalId) {
  const QString name = str(n.attribute("name"));
  const bool area = name.compare(QLatin1String("_xlnm.Print_Area"), Qt::CaseInsensitive) == 0;
  const bool titles = name.compare(QLatin1String("_xlnm.Print_Titles"), Qt::CaseInsensitive) == 0;
  const int local = n.attribute("localSheetId") ? toInt(num(n.attribute("localSheetId"), -1)) : -1;
  if ((!area && !titles) || local < 0 || local >= int(sheetOfLocalId.size()) || sheetOfLocalId[size_t(local)] < 0) {
    wb.extras.definedNames.push_back(rawXml(n));
    return;
  }
  Sheet& sh = *wb.sheets[size_t(sheetOfLocalId[size_t(local)])];
  for (const QString& part : splitRefs(text(n).trimmed())) {
    QStringView rest;
    if (!unquoteSheet(part, rest))
      rest = part;
    const QString r = rest.toString().remove(u'$');
    const qsizetype colon = r.indexOf(u':');
    const QString a = colon < 0 ? r : r.left(colon), b = colon < 0 ? r : r.mid(colon + 1);
    bool okA = false, okB = false;
    const int ra = a.toInt(&okA), rb = b.toInt(&okB);
    if (okA && okB) {  // rows "1:6"
      if (titles && ra >= 1 && rb >= ra && rb <= kMaxRows)
        sh.page.titleRows = std::make_pair(ra, rb);
      continue;
    }
    auto letters = [](const QString& x) {
      return !x.isEmpty() && std::all_of(x.begin(), x.end(), [](QChar ch) { return ch.isLetter(); });
    };
    if (auto ca = parseCellName(a + QStringLiteral("1")), cb = parseCellName(b + QStringLiteral("1"));
        letters(a) && letters(b) && ca && cb) {
      if (titles)  // columns "A:B"
        sh.page.titleCols = std::make_pair(std::min(ca->col, cb->col), std::max(ca->col, cb->col));
      continue;
    }
    if (auto rg = parseRange(r); rg && area && !sh.page.printArea)
      sh.page.printArea = *rg;
  }
}

void readPackage(const Package& pkg, Workbook& wb) {
  Context cx{pkg, wb, {}, {}, {}, {}};
  // Content types.
  pugi::xml_document ct;
  pkg.xml(QStringLiteral("[Content_Types].xml"), ct);
  cx.consumed.insert(pkg.find(QStringLiteral("[Content_Types].xml")));
  std::map<QString, QString> overrides;
  forChildren(ct.document_element(), "Default", [&](pugi::xml_node n) {
    wb.extras.defaultTypes[str(n.attribute("Extension")).toLower()] = str(n.attribute("ContentType"));
  });
  forChildren(ct.document_element(), "Override", [&](pugi::xml_node n) {
    QString p = str(n.attribute("PartName"));
    if (p.startsWith(u'/'))
      p = p.mid(1);
    const QString real = pkg.find(p);
    overrides[real.isEmpty() ? p : real] = str(n.attribute("ContentType"));
  });
  // The workbook part.
  QString bookPart;
  cx.consumed.insert(pkg.find(QStringLiteral("_rels/.rels")));
  for (const Rel& r : pkg.rels(QString())) {
    if (r.typeIs("officeDocument") && !r.external) {
      bookPart = r.target;
      continue;
    }
    if (r.typeIs("extended-properties"))
      continue;  // docProps/app.xml lists sheet names: not kept
    wb.extras.rootRels.push_back(SheetExtras::Rel{r.id, r.type, r.target, r.external});
    if (!r.external)
      cx.keptTargets.insert(r.target);
  }
  if (bookPart.isEmpty() && pkg.has(QStringLiteral("xl/workbook.xml")))
    bookPart = pkg.find(QStringLiteral("xl/workbook.xml"));
  if (bookPart.isEmpty() || !pkg.has(bookPart))
    bad(QStringLiteral("no contiene un libro (falta xl/workbook.xml)"));
  wb.extras.mainContentType = overrides.count(bookPart) ? overrides[bookPart] : QString();
  cx.consumed.insert(bookPart);
  cx.consumed.insert(relsPartOf(bookPart));
  for (const QString& n : pkg.names())
    if (n.startsWith(QLatin1String("docProps/app.xml")))
      cx.consumed.insert(n);

  const std::vector<Rel> bookRels = pkg.rels(bookPart);
  Colors colors;
  for (const Rel& r : bookRels)
    if (r.typeIs("theme") && pkg.has(r.target))
      readTheme(pkg, r.target, colors);
  for (const Rel& r : bookRels) {
    if (r.typeIs("styles") && pkg.has(r.target)) {
      cx.styles = readStyles(pkg, r.target, colors, wb);
      wb.extras.dxfs = cx.styles.dxfs;
      cx.consumed.insert(r.target);
    } else if (r.typeIs("sharedStrings") && pkg.has(r.target)) {
      cx.strings = readSharedStrings(pkg, r.target);
      cx.consumed.insert(r.target);
    } else if (r.typeIs("calcChain")) {
      cx.consumed.insert(r.target);  // dropped: it would not match cells moved by the program
    }
  }
  if (cx.styles.xfToPool.empty())
    cx.styles.xfToPool.push_back(0);

  pugi::xml_document book;
  pkg.xml(bookPart, book);
  const pugi::xml_node root = book.document_element();
  if (!is(root, "workbook"))
    bad(QStringLiteral("%1 no es un libro").arg(bookPart));
  wb.date1904 = flag(child(root, "workbookPr").attribute("date1904"));
  wb.sheets.clear();
  std::vector<int> sheetOfLocalId;
  forChildren(child(root, "sheets"), "sheet", [&](pugi::xml_node n) {
    const QString id = str(attr(n, "id", true));
    const Rel* rel = nullptr;
    for (const Rel& r : bookRels)
      if (r.id == id)
        rel = &r;
    auto sh = std::make_unique<Sheet>(str(n.attribute("name")));
    sh->state = str(n.attribute("state"));
    sh->extras.sheetId = toInt(num(n.attribute("sheetId"), 0));
    if (!rel || rel->external || !pkg.has(rel->target))
      bad(QStringLiteral("falta la hoja \"%1\"").arg(sh->name));
    if (rel->typeIs("worksheet")) {
      readSheet(cx, rel->target, *sh);
    } else {
      sh->extras.foreignPart = rel->target;
      sh->extras.foreignType = rel->type;
      cx.keptTargets.insert(rel->target);
    }
    sheetOfLocalId.push_back(int(wb.sheets.size()));
    wb.sheets.push_back(std::move(sh));
  });
  if (wb.sheets.empty())
    bad(QStringLiteral("el libro no tiene hojas"));
  wb.activeSheet = std::clamp(toInt(num(child(child(root, "bookViews"), "workbookView").attribute("activeTab"), 0)), 0,
                              int(wb.sheets.size()) - 1);
  forChildren(child(root, "definedNames"), "definedName",
              [&](pugi::xml_node n) { readDefinedName(wb, n, sheetOfLocalId); });
  static const char* const modelled[] = {"workbookPr", "bookViews", "sheets", "definedNames"};
  for (pugi::xml_node c = root.first_child(); c; c = c.next_sibling()) {
    if (c.type() != pugi::node_element)
      continue;
    const char* ln = localName(c.name());
    if (std::none_of(std::begin(modelled), std::end(modelled), [&](const char* m) { return std::strcmp(m, ln) == 0; }))
      wb.extras.bookElements.push_back(SheetExtras::Element{QByteArray(ln), rawXml(c)});
  }
  for (const Rel& r : bookRels) {
    if (r.typeIs("worksheet") || r.typeIs("styles") || r.typeIs("sharedStrings") || r.typeIs("calcChain"))
      continue;
    bool isSheet = false;
    for (const auto& s : wb.sheets)
      isSheet = isSheet || s->extras.foreignPart == r.target;
    if (isSheet)
      continue;
    wb.extras.bookRels.push_back(SheetExtras::Rel{r.id, r.type, r.target, r.external});
    if (!r.external)
      cx.keptTargets.insert(r.target);
  }
  // Every part the model does not rewrite is carried as it is.
  for (const QString& t : cx.keptTargets)
    cx.consumed.erase(t);
  for (const QString& n : pkg.names()) {
    if (cx.consumed.count(n))
      continue;
    wb.extras.parts[n] = pkg.read(n);
    if (overrides.count(n))
      wb.extras.contentTypes[n] = overrides[n];
  }
}

}  // namespace

void readXlsx(const QString& path, Workbook& into) {
  const QString shown = QFileInfo(path).fileName();
  auto fail = [&](const QString& why) -> void {
    throw vb::Error(20011, QStringLiteral("No se puede abrir el archivo \"%1\": %2").arg(shown, why));
  };
  QFile f(path);
  if (!f.exists()) {
    fail(QStringLiteral("no existe"));
  }
  if (!f.open(QIODevice::ReadOnly))
    fail(readCause(path));
  const QByteArray head = f.read(8);
  f.close();
  if (head.startsWith(QByteArray::fromHex("D0CF11E0A1B11AE1")))
    fail(QStringLiteral("es una hoja de cálculo de formato antiguo (.xls) o un libro protegido con contraseña; "
                        "guárdela como libro .xlsx"));
  if (!head.startsWith("PK\x03\x04") && !head.startsWith("PK\x05\x06"))
    fail(QStringLiteral("no es un libro .xlsx"));
  try {
    Package pkg(path);
    readPackage(pkg, into);
  } catch (const Bad& b) {
    fail(b.why);
  } catch (const std::bad_alloc&) {
    fail(QStringLiteral("no hay memoria suficiente"));
  }
}

}  // namespace wb
