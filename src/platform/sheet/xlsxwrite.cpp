#include "error.h"
#include "files.h"
#include "metrics.h"
#include "numformat.h"
#include "workbook.h"
#include "xlsx.h"
#include "xlsxcommon.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QStringList>
#include <array>
#include <cstring>
#include <charconv>
#include <cmath>
#include <ctime>
#include <map>
#include <pugixml.hpp>
#include <set>
#include <string>
#include <zip.h>

namespace wb {

using namespace xlsx;

namespace {

const char* const kXmlHead = "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n";
const char* const kCtRels = "application/vnd.openxmlformats-package.relationships+xml";
const char* const kCtBook = "application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml";
const char* const kCtSheet = "application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml";
const char* const kCtStyles = "application/vnd.openxmlformats-officedocument.spreadsheetml.styles+xml";
const char* const kCtStrings = "application/vnd.openxmlformats-officedocument.spreadsheetml.sharedStrings+xml";
const char* const kCtDrawing = "application/vnd.openxmlformats-officedocument.drawing+xml";

// An XML text being built; the strings put in are escaped.
class Xml {
public:
  std::string s;
  Xml& raw(const char* t) {
    s += t;
    return *this;
  }
  Xml& raw(const std::string& t) {
    s += t;
    return *this;
  }
  Xml& raw(const QByteArray& t) {
    s.append(t.constData(), size_t(t.size()));
    return *this;
  }
  Xml& esc(const QString& t, bool attribute = false) {
    const QByteArray u = t.toUtf8();
    for (char c : u) {
      switch (c) {
      case '&': s += "&amp;"; break;
      case '<': s += "&lt;"; break;
      case '>': s += "&gt;"; break;
      case '"':
        if (attribute)
          s += "&quot;";
        else
          s += c;
        break;
      case '\n':
        if (attribute)
          s += "&#10;";
        else
          s += c;
        break;
      case '\r': s += "&#13;"; break;
      case '\t':
        if (attribute)
          s += "&#9;";
        else
          s += c;
        break;
      default: s += c;
      }
    }
    return *this;
  }
  Xml& attr(const char* name, const QString& v) {
    s += ' ';
    s += name;
    s += "=\"";
    esc(v, true);
    s += '"';
    return *this;
  }
  Xml& attr(const char* name, long long v) {
    char buf[24];
    auto [p, ec] = std::to_chars(buf, buf + sizeof buf, v);
    s += ' ';
    s += name;
    s += "=\"";
    s.append(buf, p);
    s += '"';
    return *this;
  }
  Xml& attrNum(const char* name, double v) {
    s += ' ';
    s += name;
    s += "=\"";
    num(v);
    s += '"';
    return *this;
  }
  Xml& num(double v) {
    char buf[32];
    auto [p, ec] = std::to_chars(buf, buf + sizeof buf, v);
    s.append(buf, p);
    return *this;
  }
  Xml& integer(long long v) {
    char buf[24];
    auto [p, ec] = std::to_chars(buf, buf + sizeof buf, v);
    s.append(buf, p);
    return *this;
  }
};

QString hexColor(Rgb c) { return QStringLiteral("FF%1").arg(c & 0xFFFFFF, 6, 16, QLatin1Char('0')).toUpper(); }
QString plainHex(Rgb c) { return QStringLiteral("%1").arg(c & 0xFFFFFF, 6, 16, QLatin1Char('0')).toUpper(); }

// Ids "rId1", "rId2", ... that do not clash with kept relationships.
class RelIds {
public:
  explicit RelIds(const std::vector<SheetExtras::Rel>& kept) {
    for (const auto& r : kept)
      used_.insert(r.id);
  }
  QString next() {
    for (;;) {
      const QString id = QStringLiteral("rId%1").arg(++n_);
      if (!used_.count(id)) {
        used_.insert(id);
        return id;
      }
    }
  }

private:
  std::set<QString> used_;
  int n_ = 0;
};

void relsPart(Xml& x, const QString& source, const std::vector<SheetExtras::Rel>& rels) {
  x.raw(kXmlHead).raw("<Relationships xmlns=\"").raw(kNsPkgRel).raw("\">");
  for (const auto& r : rels) {
    x.raw("<Relationship").attr("Id", r.id).attr("Type", r.type);
    x.attr("Target", r.external ? r.target : (source.isEmpty() ? r.target : relativePart(source, r.target)));
    if (r.external)
      x.raw(" TargetMode=\"External\"");
    x.raw("/>");
  }
  x.raw("</Relationships>");
}

// --- Styles ---

bool builtinWritable(int id) { return (id >= 0 && id <= 4) || (id >= 9 && id <= 13) || (id >= 45 && id <= 49); }

struct StyleTable {
  QHash<int, int> poolToXf;  // StylePool index -> cellXfs index
  std::string xml;
};

StyleTable buildStyles(const Workbook& wb) {
  std::set<int> used{0};
  for (const auto& sh : wb.sheets) {
    for (int r = 1; r <= sh->rowCount(); ++r) {
      const Row* rw = sh->row(r);
      if (rw->style > 0)
        used.insert(rw->style);
      for (const Cell& c : rw->cells)
        used.insert(c.style);
    }
    for (int c = 1; c <= sh->colCount(); ++c)
      if (sh->colInfo(c)->style > 0)
        used.insert(sh->colInfo(c)->style);
  }
  std::vector<Font> fonts;
  std::vector<Fill> fills{Fill{}, Fill{17, 0, 0xFFFFFF}};
  std::vector<std::array<Edge, 4>> borders{{}};
  std::vector<QString> customFmts;
  QHash<QString, int> fmtIds;
  for (int id = 0; id <= 49; ++id)
    if (builtinWritable(id)) {
      const QString code = vb::NumberFormat::builtinCode(id);
      if (!code.isEmpty() && !fmtIds.contains(code))
        fmtIds.insert(code, id);
    }
  auto indexOf = [](auto& list, const auto& v) {
    for (size_t i = 0; i < list.size(); ++i)
      if (list[i] == v)
        return int(i);
    list.push_back(v);
    return int(list.size() - 1);
  };
  Xml xfs;
  StyleTable out;
  int xf = 0;
  for (int p : used) {
    const CellStyle& s = wb.styles.at(p);
    const int font = indexOf(fonts, s.font);
    int fill = 0;
    if (s.fill.pattern != 0) {
      fill = -1;
      for (size_t i = 2; i < fills.size(); ++i)
        if (fills[i] == s.fill)
          fill = int(i);
      if (fill < 0) {
        fills.push_back(s.fill);
        fill = int(fills.size() - 1);
      }
    }
    const int border = indexOf(borders, std::array<Edge, 4>{s.left, s.right, s.top, s.bottom});
    int fmt;
    if (fmtIds.contains(s.numFmt)) {
      fmt = fmtIds.value(s.numFmt);
    } else {
      fmt = 164 + int(customFmts.size());
      customFmts.push_back(s.numFmt);
      fmtIds.insert(s.numFmt, fmt);
    }
    xfs.raw("<xf").attr("numFmtId", fmt).attr("fontId", font).attr("fillId", fill).attr("borderId", border);
    xfs.raw(" xfId=\"0\"");
    if (fmt != 0)
      xfs.raw(" applyNumberFormat=\"1\"");
    if (font != 0)
      xfs.raw(" applyFont=\"1\"");
    if (fill != 0)
      xfs.raw(" applyFill=\"1\"");
    if (border != 0)
      xfs.raw(" applyBorder=\"1\"");
    const bool align = s.h != HAlign::General || s.v != VAlign::Bottom || s.wrap || s.rotation || s.indent;
    if (align) {
      xfs.raw(" applyAlignment=\"1\"><alignment");
      if (s.h != HAlign::General)
        xfs.attr("horizontal", QLatin1String(kHAligns[size_t(s.h) - 1]));
      if (s.v != VAlign::Bottom)
        xfs.attr("vertical", QLatin1String(kVAligns[size_t(s.v) - 1]));
      if (s.rotation)
        xfs.attr("textRotation", s.rotation);
      if (s.wrap)
        xfs.raw(" wrapText=\"1\"");
      if (s.indent)
        xfs.attr("indent", s.indent);
      xfs.raw("/></xf>");
    } else {
      xfs.raw("/>");
    }
    out.poolToXf.insert(p, xf++);
  }
  Xml x;
  x.raw(kXmlHead).raw("<styleSheet xmlns=\"").raw(kNsMain).raw("\">");
  if (!customFmts.empty()) {
    x.raw("<numFmts").attr("count", qint64(customFmts.size())).raw(">");
    for (size_t i = 0; i < customFmts.size(); ++i)
      x.raw("<numFmt").attr("numFmtId", qint64(164 + i)).attr("formatCode", encodeXString(customFmts[i])).raw("/>");
    x.raw("</numFmts>");
  }
  x.raw("<fonts").attr("count", qint64(fonts.size())).raw(">");
  static const char* const underlines[] = {"", "single", "double", "singleAccounting", "doubleAccounting"};
  for (const Font& f : fonts) {
    x.raw("<font>");
    if (f.bold)
      x.raw("<b/>");
    if (f.italic)
      x.raw("<i/>");
    if (f.strike)
      x.raw("<strike/>");
    if (f.outline)
      x.raw("<outline/>");
    if (f.shadow)
      x.raw("<shadow/>");
    if (f.underline == Underline::Single)
      x.raw("<u/>");
    else if (f.underline != Underline::None)
      x.raw("<u").attr("val", QLatin1String(underlines[int(f.underline)])).raw("/>");
    x.raw("<sz").attrNum("val", f.sizeTwips / 20.0).raw("/>");
    x.raw("<color").attr("rgb", hexColor(f.color)).raw("/>");
    x.raw("<name").attr("val", f.name).raw("/>");
    x.raw("</font>");
  }
  x.raw("</fonts><fills").attr("count", qint64(fills.size())).raw(">");
  for (const Fill& f : fills) {
    x.raw("<fill><patternFill").attr("patternType", QLatin1String(kPatterns[size_t(f.pattern)]));
    if (f.pattern == 0 || (f.pattern == 17 && &f == &fills[1])) {
      x.raw("/></fill>");
      continue;
    }
    x.raw("><fgColor").attr("rgb", hexColor(f.fg)).raw("/><bgColor").attr("rgb", hexColor(f.bg)).raw("/>");
    x.raw("</patternFill></fill>");
  }
  x.raw("</fills><borders").attr("count", qint64(borders.size())).raw(">");
  static const char* const sides[] = {"left", "right", "top", "bottom"};
  for (const auto& b : borders) {
    x.raw("<border>");
    for (int i = 0; i < 4; ++i) {
      x.raw("<").raw(sides[i]);
      if (b[size_t(i)].style == LineStyle::None) {
        x.raw("/>");
        continue;
      }
      x.attr("style", QLatin1String(kLineStyles[size_t(b[size_t(i)].style)]));
      x.raw("><color").attr("rgb", hexColor(b[size_t(i)].color)).raw("/></").raw(sides[i]).raw(">");
    }
    x.raw("<diagonal/></border>");
  }
  x.raw("</borders><cellStyleXfs count=\"1\"><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\"/>"
        "</cellStyleXfs><cellXfs")
      .attr("count", qint64(used.size()))
      .raw(">")
      .raw(xfs.s)
      .raw("</cellXfs><cellStyles count=\"1\"><cellStyle name=\"Normal\" xfId=\"0\" builtinId=\"0\"/></cellStyles>");
  if (!wb.extras.dxfs.isEmpty())
    x.raw(wb.extras.dxfs);
  x.raw("</styleSheet>");
  out.xml = std::move(x.s);
  return out;
}

// --- Shared strings ---

class Strings {
public:
  int index(const QString& s) {
    auto it = index_.constFind(s);
    if (it != index_.constEnd())
      return it.value();
    const int i = int(list_.size());
    index_.insert(s, i);
    list_.push_back(s);
    return i;
  }
  int count() const { return int(list_.size()); }
  std::string xml(qint64 uses) const {
    Xml x;
    x.raw(kXmlHead).raw("<sst xmlns=\"").raw(kNsMain).raw("\"").attr("count", uses).attr("uniqueCount", qint64(list_.size()));
    x.raw(">");
    for (const QString& s : list_) {
      const bool keep = !s.isEmpty() && (s.front().isSpace() || s.back().isSpace());
      x.raw(keep ? "<si><t xml:space=\"preserve\">" : "<si><t>").esc(encodeXString(s)).raw("</t></si>");
    }
    x.raw("</sst>");
    return x.s;
  }

private:
  QHash<QString, int> index_;
  std::vector<QString> list_;
};

// --- Worksheets ---

const char* const kSheetOrder[] = {
    "sheetPr",       "dimension",       "sheetViews",        "sheetFormatPr",    "cols",
    "sheetData",     "sheetCalcPr",     "sheetProtection",   "protectedRanges",  "scenarios",
    "autoFilter",    "sortState",       "dataConsolidate",   "customSheetViews", "mergeCells",
    "phoneticPr",    "conditionalFormatting", "dataValidations", "hyperlinks",   "printOptions",
    "pageMargins",   "pageSetup",       "headerFooter",      "rowBreaks",        "colBreaks",
    "customProperties", "cellWatches",  "ignoredErrors",     "smartTags",        "drawing",
    "legacyDrawing", "legacyDrawingHF", "drawingHF",         "picture",          "oleObjects",
    "controls",      "webPublishItems", "tableParts",        "extLst"};

const char* const kBookOrder[] = {"fileVersion",      "fileSharing",    "workbookPr",    "workbookProtection",
                                  "bookViews",        "sheets",         "functionGroups", "externalReferences",
                                  "definedNames",     "calcPr",         "oleSize",       "customWorkbookViews",
                                  "pivotCaches",      "smartTagPr",     "smartTagTypes", "webPublishing",
                                  "fileRecoveryPr",   "webPublishObjects", "extLst"};

void rawElements(Xml& x, const std::vector<SheetExtras::Element>& els, const char* name) {
  for (const auto& e : els)
    if (e.name == name)
      x.raw(e.xml);
}

struct Media {
  QString part;
  QString ext;
};

class Writer {
public:
  Writer(const Workbook& wb) : wb_(wb) {
    for (const auto& [name, data] : wb.extras.parts)
      taken_.insert(name.toLower());
  }

  QString freshName(const QString& pattern) {  // pattern with %1
    for (int i = 1;; ++i) {
      const QString n = pattern.arg(i);
      if (!taken_.count(n.toLower())) {
        taken_.insert(n.toLower());
        return n;
      }
    }
  }

  void add(const QString& name, std::string data, bool compress = true) {
    files_.push_back(File{name, std::move(data), compress});
  }

  void run(const QString& path, const QString& backup);

private:
  // libzip's reason when the package cannot be zipped.
  struct ZipFailure {
    QString why;
  };
  QByteArray zipped() const;

  struct File {
    QString name;
    std::string data;
    bool compress;
  };
  const Workbook& wb_;
  std::set<QString> taken_;
  std::vector<File> files_;
  std::map<QString, QString> overrides_;  // part -> content type
  std::set<QString> imageExts_;
  QHash<QByteArray, Media> media_;  // image data -> part

  std::string sheetXml(const Sheet& sh, int index, const StyleTable& st, Strings& strings, qint64& uses,
                       const QString& drawingRelId);
  std::string drawingXml(const Sheet& sh, const QString& drawingPart, std::vector<SheetExtras::Rel>& rels);
  void anchor(Xml& x, const Sheet& sh, const DrawingObject& o);
  QString mediaFor(const DrawingObject& o);
};

QString Writer::mediaFor(const DrawingObject& o) {
  // Copies of a picture (a logo on every page) are stored once.
  auto it = media_.constFind(o.imageData);
  if (it != media_.constEnd())
    return it.value().part;
  const QString ext = o.imageExt.isEmpty() ? QStringLiteral("png") : o.imageExt;
  const QString part = freshName(QStringLiteral("xl/media/image%1.") + ext);
  media_.insert(o.imageData, Media{part, ext});
  imageExts_.insert(ext);
  add(part, std::string(o.imageData.constData(), size_t(o.imageData.size())), false);
  return part;
}

double colEmu(const Workbook& wb, const Sheet& s, int c) { return double(wb.colWidth(s, c)) * 635.0; }
double rowEmu(const Workbook& wb, const Sheet& s, int r) { return double(wb.rowHeight(s, r)) * 635.0; }

void marker(Xml& x, const char* tag, double cx, double cy, const Workbook& wb, const Sheet& sh) {
  const int c = std::clamp(int(std::floor(cx)), 1, kMaxCols), r = std::clamp(int(std::floor(cy)), 1, kMaxRows);
  const long long co = std::llround((cx - c) * colEmu(wb, sh, c)), ro = std::llround((cy - r) * rowEmu(wb, sh, r));
  x.raw("<xdr:").raw(tag).raw("><xdr:col>").integer(c - 1).raw("</xdr:col><xdr:colOff>").integer(co);
  x.raw("</xdr:colOff><xdr:row>").integer(r - 1).raw("</xdr:row><xdr:rowOff>").integer(ro);
  x.raw("</xdr:rowOff></xdr:").raw(tag).raw(">");
}

double absEmu(double coord, bool isCol, const Workbook& wb, const Sheet& sh) {
  const int whole = std::clamp(int(std::floor(coord)), 1, isCol ? kMaxCols : kMaxRows);
  double emu = 0;
  for (int i = 1; i < whole && i < 100000; ++i)
    emu += isCol ? colEmu(wb, sh, i) : rowEmu(wb, sh, i);
  return emu + (coord - whole) * (isCol ? colEmu(wb, sh, whole) : rowEmu(wb, sh, whole));
}

// Relationship ids a fragment of raw XML refers to (r:id, r:embed, r:link, r:pict, ...).
void relRefs(const pugi::xml_node& n, std::vector<pugi::xml_attribute>& out) {
  for (pugi::xml_attribute a = n.first_attribute(); a; a = a.next_attribute()) {
    const char* nm = a.name();
    const char* colon = std::strchr(nm, ':');
    if (colon && std::strncmp(nm, "xmlns", 5) != 0 &&
        (!std::strcmp(colon + 1, "id") || !std::strcmp(colon + 1, "embed") || !std::strcmp(colon + 1, "link") ||
         !std::strcmp(colon + 1, "pict") || !std::strcmp(colon + 1, "dm") || !std::strcmp(colon + 1, "lo") ||
         !std::strcmp(colon + 1, "qs") || !std::strcmp(colon + 1, "cs")))
      out.push_back(a);
  }
  for (pugi::xml_node c = n.first_child(); c; c = c.next_sibling())
    if (c.type() == pugi::node_element)
      relRefs(c, out);
}

QByteArray printNode(const pugi::xml_node& n) {
  struct W : pugi::xml_writer {
    QByteArray out;
    void write(const void* d, size_t s) override { out.append(static_cast<const char*>(d), qsizetype(s)); }
  } w;
  n.print(w, "", pugi::format_raw | pugi::format_no_declaration);
  return w.out;
}

std::string Writer::drawingXml(const Sheet& sh, const QString& drawingPart, std::vector<SheetExtras::Rel>& rels) {
  rels = sh.extras.drawingRels;
  std::set<QString> keptIds;
  for (const auto& r : rels)
    keptIds.insert(r.id);
  RelIds ids(rels);
  Xml x;
  x.raw(kXmlHead).raw("<xdr:wsDr xmlns:xdr=\"").raw(kNsXdr).raw("\" xmlns:a=\"").raw(kNsA);
  x.raw("\" xmlns:r=\"").raw(kNsRel).raw("\">");
  int shapeId = 1;
  for (const DrawingObject& o : sh.objects) {
    QByteArray content;
    const bool picture = o.kind == DrawingObject::Kind::Picture && !o.imageData.isEmpty();
    QString relId;
    if (picture) {
      relId = ids.next();
      rels.push_back(SheetExtras::Rel{relId, QString::fromLatin1(kRelBase) + QStringLiteral("image"), mediaFor(o), false});
    }
    if (!o.rawXml.isEmpty()) {
      pugi::xml_document doc;
      if (doc.load_buffer(o.rawXml.constData(), size_t(o.rawXml.size()), pugi::parse_default | pugi::parse_ws_pcdata_single)) {
        std::vector<pugi::xml_attribute> refs;
        relRefs(doc.document_element(), refs);
        bool resolved = true;
        for (pugi::xml_attribute& a : refs) {
          const char* local = std::strchr(a.name(), ':') + 1;
          if (picture && !std::strcmp(local, "embed"))
            a.set_value(relId.toUtf8().constData());
          else if (!keptIds.count(QString::fromUtf8(a.value())))
            resolved = false;
        }
        if (resolved)
          content = printNode(doc.document_element());
      }
    }
    if (content.isEmpty() && o.kind == DrawingObject::Kind::Other)
      continue;  // nothing we could write for it
    const long long x0 = std::llround(absEmu(o.pos.x1, true, wb_, sh)), y0 = std::llround(absEmu(o.pos.y1, false, wb_, sh));
    const long long cx = std::max(0LL, std::llround(absEmu(o.pos.x2, true, wb_, sh)) - x0);
    const long long cy = std::max(0LL, std::llround(absEmu(o.pos.y2, false, wb_, sh)) - y0);
    x.raw("<xdr:twoCellAnchor>");
    marker(x, "from", o.pos.x1, o.pos.y1, wb_, sh);
    marker(x, "to", o.pos.x2, o.pos.y2, wb_, sh);
    const int nid = ++shapeId;
    const QString name = o.name.isEmpty() ? QStringLiteral("Objeto %1").arg(o.id) : o.name;
    auto xfrm = [&] {
      x.raw("<a:xfrm");
      if (o.flipH)
        x.raw(" flipH=\"1\"");
      if (o.flipV)
        x.raw(" flipV=\"1\"");
      x.raw("><a:off").attr("x", x0).attr("y", y0).raw("/><a:ext").attr("cx", cx).attr("cy", cy).raw("/></a:xfrm>");
    };
    auto line = [&] {
      x.raw("<a:ln").attr("w", o.lineWidthEmu).raw(">");
      if (o.noLine)
        x.raw("<a:noFill/>");
      else
        x.raw("<a:solidFill><a:srgbClr").attr("val", plainHex(o.lineColor)).raw("/></a:solidFill>");
      x.raw("</a:ln>");
    };
    if (!content.isEmpty()) {
      x.raw(content);
    } else if (picture) {
      x.raw("<xdr:pic><xdr:nvPicPr><xdr:cNvPr").attr("id", nid).attr("name", name);
      x.raw("/><xdr:cNvPicPr><a:picLocks noChangeAspect=\"1\"/></xdr:cNvPicPr></xdr:nvPicPr><xdr:blipFill><a:blip");
      x.attr("r:embed", relId).raw("/><a:stretch><a:fillRect/></a:stretch></xdr:blipFill><xdr:spPr>");
      xfrm();
      x.raw("<a:prstGeom prst=\"rect\"><a:avLst/></a:prstGeom></xdr:spPr></xdr:pic>");
    } else if (o.kind == DrawingObject::Kind::Line) {
      x.raw("<xdr:cxnSp macro=\"\"><xdr:nvCxnSpPr><xdr:cNvPr").attr("id", nid).attr("name", name);
      x.raw("/><xdr:cNvCxnSpPr/></xdr:nvCxnSpPr><xdr:spPr>");
      xfrm();
      x.raw("<a:prstGeom prst=\"line\"><a:avLst/></a:prstGeom>");
      line();
      x.raw("</xdr:spPr></xdr:cxnSp>");
    } else {
      const bool box = o.kind == DrawingObject::Kind::TextBox;
      x.raw("<xdr:sp macro=\"\" textlink=\"\"><xdr:nvSpPr><xdr:cNvPr").attr("id", nid).attr("name", name);
      x.raw(box ? "/><xdr:cNvSpPr txBox=\"1\"/></xdr:nvSpPr><xdr:spPr>" : "/><xdr:cNvSpPr/></xdr:nvSpPr><xdr:spPr>");
      xfrm();
      x.raw("<a:prstGeom").attr("prst", QLatin1String(o.kind == DrawingObject::Kind::Ellipse ? "ellipse" : "rect"));
      x.raw("><a:avLst/></a:prstGeom>");
      if (o.noFill)
        x.raw("<a:noFill/>");
      else
        x.raw("<a:solidFill><a:srgbClr").attr("val", plainHex(o.fillColor)).raw("/></a:solidFill>");
      line();
      x.raw("</xdr:spPr>");
      if (!o.text.isEmpty()) {
        x.raw("<xdr:txBody><a:bodyPr/><a:lstStyle/>");
        for (const QString& p : o.text.split(u'\n'))
          x.raw("<a:p><a:r><a:t>").esc(p).raw("</a:t></a:r></a:p>");
        x.raw("</xdr:txBody>");
      }
      x.raw("</xdr:sp>");
    }
    x.raw("<xdr:clientData/></xdr:twoCellAnchor>");
  }
  x.raw("</xdr:wsDr>");
  (void)drawingPart;
  return std::move(x.s);
}

QString quotedSheet(const QString& name) {
  QString n = name;
  n.replace(QLatin1String("'"), QLatin1String("''"));
  return QLatin1Char('\'') + n + QLatin1Char('\'');
}

std::string Writer::sheetXml(const Sheet& sh, int index, const StyleTable& st, Strings& strings, qint64& uses,
                             const QString& drawingRelId) {
  const Workbook& wb = wb_;
  const int mdw = wb.maxDigitWidthPx();
  auto xfOf = [&](int pool) { return st.poolToXf.value(pool, 0); };
  auto modelled = [&](Xml& x, const char* name) {
    const std::string n = name;
    if (n == "sheetPr") {
      if (sh.page.fitToPage)
        x.raw("<sheetPr><pageSetUpPr fitToPage=\"1\"/></sheetPr>");
    } else if (n == "dimension") {
      const int lr = sh.lastRow(), lc = sh.lastCol();
      x.raw("<dimension").attr("ref", lr ? QStringLiteral("A1:") + cellName(lr, lc) : QStringLiteral("A1")).raw("/>");
    } else if (n == "sheetViews") {
      x.raw("<sheetViews><sheetView");
      if (!sh.showGridlines)
        x.raw(" showGridLines=\"0\"");
      if (!sh.showHeadings)
        x.raw(" showRowColHeaders=\"0\"");
      if (index == wb.activeSheet)
        x.raw(" tabSelected=\"1\"");
      if (sh.zoom != 100)
        x.attr("zoomScale", sh.zoom);
      x.raw(" workbookViewId=\"0\"/></sheetViews>");
    } else if (n == "sheetFormatPr") {
      x.raw("<sheetFormatPr");
      if (sh.baseColChars != 8)
        x.attr("baseColWidth", sh.baseColChars);
      if (sh.defaultColChars > 0)
        x.attrNum("defaultColWidth", sh.defaultColChars);
      const int dh = sh.defaultRowHeight >= 0 ? sh.defaultRowHeight : wb.defaultRowHeight();
      x.attrNum("defaultRowHeight", dh / 20.0).raw("/>");
    } else if (n == "cols") {
      bool open = false;
      const int dw = wb.defaultColWidth(sh);
      for (int c = 1; c <= sh.colCount();) {
        const ColInfo ci = *sh.colInfo(c);
        int e = c;
        while (e + 1 <= sh.colCount()) {
          const ColInfo* nx = sh.colInfo(e + 1);
          if (nx->width != ci.width || nx->hidden != ci.hidden || nx->style != ci.style)
            break;
          ++e;
        }
        if (ci.width >= 0 || ci.hidden || ci.style > 0) {
          if (!open)
            x.raw("<cols>");
          open = true;
          x.raw("<col").attr("min", c).attr("max", e);
          x.attrNum("width", metrics::twipsToChars(ci.width >= 0 ? ci.width : dw, mdw));
          if (ci.style > 0)
            x.attr("style", xfOf(ci.style));
          if (ci.hidden)
            x.raw(" hidden=\"1\"");
          if (ci.width >= 0)
            x.raw(" customWidth=\"1\"");
          x.raw("/>");
        }
        c = e + 1;
      }
      if (open)
        x.raw("</cols>");
    } else if (n == "sheetData") {
      std::vector<std::string> colRefs;
      x.raw("<sheetData>");
      const bool date1904 = wb.date1904;
      for (int r = 1; r <= sh.rowCount(); ++r) {
        const Row& rw = *sh.row(r);
        if (rw.cells.empty() && rw.height < 0 && !rw.hidden && rw.style < 0)
          continue;
        x.raw("<row").attr("r", r);
        if (rw.style >= 0)
          x.attr("s", xfOf(rw.style)).raw(" customFormat=\"1\"");
        if (rw.height >= 0) {
          x.attrNum("ht", std::min(rw.height, 8190) / 20.0);
          if (rw.customHeight)
            x.raw(" customHeight=\"1\"");
        }
        if (rw.hidden)
          x.raw(" hidden=\"1\"");
        if (rw.cells.empty()) {
          x.raw("/>");
          continue;
        }
        x.raw(">");
        char rowDigits[12];
        auto [rend, ec] = std::to_chars(rowDigits, rowDigits + sizeof rowDigits, r);
        for (const Cell& c : rw.cells) {
          if (size_t(c.col) >= colRefs.size())
            colRefs.resize(size_t(c.col) + 1);
          std::string& cref = colRefs[size_t(c.col)];
          if (cref.empty())
            cref = colName(c.col).toStdString();
          x.raw("<c r=\"").raw(cref);
          x.s.append(rowDigits, rend);
          x.raw("\"");
          if (c.style != 0)
            x.attr("s", xfOf(c.style));
          double number = c.number;
          if (date1904 && c.type == Cell::Type::Number && wb.numberFormat(wb.styles.at(c.style).numFmt).isDate())
            number -= 1462;
          if (!c.formula.isEmpty()) {
            if (c.type == Cell::Type::Text)
              x.raw(" t=\"str\"");
            else if (c.type == Cell::Type::Bool)
              x.raw(" t=\"b\"");
            else if (c.type == Cell::Type::Error)
              x.raw(" t=\"e\"");
            x.raw("><f>").esc(c.formula).raw("</f>");
            if (c.type == Cell::Type::Text || c.type == Cell::Type::Error)
              x.raw("<v>").esc(encodeXString(c.text)).raw("</v>");
            else if (c.type == Cell::Type::Number || c.type == Cell::Type::Bool)
              x.raw("<v>").num(number).raw("</v>");
            x.raw("</c>");
            continue;
          }
          switch (c.type) {
          case Cell::Type::Empty: x.raw("/>"); break;
          case Cell::Type::Number: x.raw("><v>").num(number).raw("</v></c>"); break;
          case Cell::Type::Bool: x.raw(" t=\"b\"><v>").integer(c.number != 0 ? 1 : 0).raw("</v></c>"); break;
          case Cell::Type::Error: x.raw(" t=\"e\"><v>").esc(c.text).raw("</v></c>"); break;
          case Cell::Type::Text:
            ++uses;
            x.raw(" t=\"s\"><v>").integer(strings.index(c.text)).raw("</v></c>");
            break;
          }
        }
        x.raw("</row>");
      }
      x.raw("</sheetData>");
    } else if (n == "mergeCells") {
      if (sh.merges.empty())
        return;
      x.raw("<mergeCells").attr("count", qint64(sh.merges.size())).raw(">");
      for (const Range& m : sh.merges)
        x.raw("<mergeCell").attr("ref", cellName(m.r1, m.c1) + u':' + cellName(m.r2, m.c2)).raw("/>");
      x.raw("</mergeCells>");
    } else if (n == "printOptions") {
      const PageSetup& p = sh.page;
      if (!(p.printGridlines || p.printHeadings || p.hCenter || p.vCenter))
        return;
      x.raw("<printOptions");
      if (p.hCenter)
        x.raw(" horizontalCentered=\"1\"");
      if (p.vCenter)
        x.raw(" verticalCentered=\"1\"");
      if (p.printHeadings)
        x.raw(" headings=\"1\"");
      if (p.printGridlines)
        x.raw(" gridLines=\"1\"");
      x.raw("/>");
    } else if (n == "pageMargins") {
      const PageSetup& p = sh.page;
      x.raw("<pageMargins").attrNum("left", p.left).attrNum("right", p.right).attrNum("top", p.top);
      x.attrNum("bottom", p.bottom).attrNum("header", p.headerMargin).attrNum("footer", p.footerMargin).raw("/>");
    } else if (n == "pageSetup") {
      const PageSetup& p = sh.page;
      x.raw("<pageSetup").attr("paperSize", p.paperSize);
      if (p.scale != 100)
        x.attr("scale", p.scale);
      if (p.firstPageNumber != 1)
        x.attr("firstPageNumber", p.firstPageNumber);
      if (p.fitWidth != 1)
        x.attr("fitToWidth", p.fitWidth);
      if (p.fitHeight != 1)
        x.attr("fitToHeight", p.fitHeight);
      if (p.overThenDown)
        x.raw(" pageOrder=\"overThenDown\"");
      x.raw(p.landscape ? " orientation=\"landscape\"" : " orientation=\"portrait\"");
      if (p.blackAndWhite)
        x.raw(" blackAndWhite=\"1\"");
      if (p.draft)
        x.raw(" draft=\"1\"");
      if (p.useFirstPageNumber)
        x.raw(" useFirstPageNumber=\"1\"");
      x.raw("/>");
    } else if (n == "headerFooter") {
      const PageSetup& p = sh.page;
      if (p.header.isEmpty() && p.footer.isEmpty())
        return;
      x.raw("<headerFooter>");
      if (!p.header.isEmpty())
        x.raw("<oddHeader>").esc(encodeXString(p.header)).raw("</oddHeader>");
      if (!p.footer.isEmpty())
        x.raw("<oddFooter>").esc(encodeXString(p.footer)).raw("</oddFooter>");
      x.raw("</headerFooter>");
    } else if (n == "rowBreaks" || n == "colBreaks") {
      const bool rows = n == "rowBreaks";
      const std::set<int>& b = rows ? sh.page.rowBreaks : sh.page.colBreaks;
      if (b.empty())
        return;
      x.raw(rows ? "<rowBreaks" : "<colBreaks").attr("count", qint64(b.size()));
      x.attr("manualBreakCount", qint64(b.size())).raw(">");
      for (int v : b)
        x.raw("<brk").attr("id", v - 1).attr("max", rows ? kMaxCols - 1 : kMaxRows - 1).raw(" man=\"1\"/>");
      x.raw(rows ? "</rowBreaks>" : "</colBreaks>");
    } else if (n == "drawing") {
      if (!drawingRelId.isEmpty())
        x.raw("<drawing").attr("r:id", drawingRelId).raw("/>");
    }
  };
  Xml x;
  x.raw(kXmlHead).raw("<worksheet xmlns=\"").raw(kNsMain).raw("\" xmlns:r=\"").raw(kNsRel).raw("\">");
  for (const char* name : kSheetOrder) {
    modelled(x, name);
    rawElements(x, sh.extras.elements, name);
  }
  x.raw("</worksheet>");
  return std::move(x.s);
}

time_t fixedTime() {
  std::tm t{};
  t.tm_year = 80;
  t.tm_mon = 0;
  t.tm_mday = 1;
  t.tm_isdst = -1;
  return std::mktime(&t);  // 1980-01-01 00:00 local, the earliest zip time, so output is reproducible
}

void Writer::run(const QString& path, const QString& backup) {
  const Workbook& wb = wb_;
  const StyleTable st = buildStyles(wb);
  Strings strings;
  qint64 uses = 0;

  // Workbook relationships: ours first, then the kept ones.
  std::vector<SheetExtras::Rel> bookRels;
  RelIds bookIds(wb.extras.bookRels);
  std::vector<QString> sheetRelIds;
  std::vector<std::pair<QString, std::string>> sheetParts;
  for (size_t i = 0; i < wb.sheets.size(); ++i) {
    const Sheet& sh = *wb.sheets[i];
    const QString rid = bookIds.next();
    sheetRelIds.push_back(rid);
    if (!sh.extras.foreignPart.isEmpty()) {
      bookRels.push_back(SheetExtras::Rel{rid, sh.extras.foreignType, sh.extras.foreignPart, false});
      continue;
    }
    const QString part = freshName(QStringLiteral("xl/worksheets/sheet%1.xml"));
    bookRels.push_back(SheetExtras::Rel{rid, QString::fromLatin1(kRelBase) + QStringLiteral("worksheet"), part, false});
    overrides_[part] = QString::fromLatin1(kCtSheet);
    // Its drawing.
    std::vector<SheetExtras::Rel> sheetRels = sh.extras.rels;
    QString drawingRelId;
    bool anyObject = false;
    for (const DrawingObject& o : sh.objects)
      anyObject = anyObject || o.kind != DrawingObject::Kind::Other || !o.rawXml.isEmpty();
    if (anyObject) {
      const QString dpart = freshName(QStringLiteral("xl/drawings/drawing%1.xml"));
      std::vector<SheetExtras::Rel> drels;
      std::string dxml = drawingXml(sh, dpart, drels);
      RelIds sids(sheetRels);
      drawingRelId = sids.next();
      sheetRels.push_back(SheetExtras::Rel{drawingRelId, QString::fromLatin1(kRelBase) + QStringLiteral("drawing"), dpart, false});
      overrides_[dpart] = QString::fromLatin1(kCtDrawing);
      add(dpart, std::move(dxml));
      Xml r;
      relsPart(r, dpart, drels);
      add(relsPartOf(dpart), std::move(r.s));
    }
    sheetParts.emplace_back(part, sheetXml(sh, int(i), st, strings, uses, drawingRelId));
    if (!sheetRels.empty()) {
      Xml r;
      relsPart(r, part, sheetRels);
      sheetParts.emplace_back(relsPartOf(part), std::move(r.s));
    }
  }
  const QString stylesPart = QStringLiteral("xl/styles.xml");
  bookRels.push_back(SheetExtras::Rel{bookIds.next(), QString::fromLatin1(kRelBase) + QStringLiteral("styles"), stylesPart, false});
  const QString stringsPart = QStringLiteral("xl/sharedStrings.xml");
  if (strings.count() > 0)
    bookRels.push_back(
        SheetExtras::Rel{bookIds.next(), QString::fromLatin1(kRelBase) + QStringLiteral("sharedStrings"), stringsPart, false});
  for (const auto& r : wb.extras.bookRels)
    if (r.external || wb.extras.parts.count(r.target))
      bookRels.push_back(r);

  // workbook.xml
  const QString bookPart = QStringLiteral("xl/workbook.xml");
  Xml b;
  b.raw(kXmlHead).raw("<workbook xmlns=\"").raw(kNsMain).raw("\" xmlns:r=\"").raw(kNsRel).raw("\">");
  for (const char* name : kBookOrder) {
    const std::string n = name;
    if (n == "workbookPr") {
      b.raw(wb.date1904 ? "<workbookPr date1904=\"1\"/>" : "<workbookPr/>");
    } else if (n == "bookViews") {
      b.raw("<bookViews><workbookView").attr("activeTab", wb.activeSheet).raw("/></bookViews>");
    } else if (n == "sheets") {
      b.raw("<sheets>");
      std::set<int> ids;
      for (const auto& sh : wb.sheets)
        if (sh->extras.sheetId > 0)
          ids.insert(sh->extras.sheetId);
      int nextId = ids.empty() ? 1 : *ids.rbegin() + 1;
      std::set<int> given;
      for (size_t i = 0; i < wb.sheets.size(); ++i) {
        const Sheet& sh = *wb.sheets[i];
        int id = sh.extras.sheetId;
        if (id <= 0 || given.count(id))
          id = nextId++;
        given.insert(id);
        b.raw("<sheet").attr("name", sh.name).attr("sheetId", id);
        if (!sh.state.isEmpty())
          b.attr("state", sh.state);
        b.attr("r:id", sheetRelIds[i]).raw("/>");
      }
      b.raw("</sheets>");
    } else if (n == "definedNames") {
      Xml names;
      for (size_t i = 0; i < wb.sheets.size(); ++i) {
        const Sheet& sh = *wb.sheets[i];
        const QString q = quotedSheet(sh.name);
        if (const auto& a = sh.page.printArea) {
          names.raw("<definedName name=\"_xlnm.Print_Area\"").attr("localSheetId", qint64(i)).raw(">");
          names.esc(q + u'!' + QStringLiteral("$%1$%2:$%3$%4").arg(colName(a->c1)).arg(a->r1).arg(colName(a->c2)).arg(a->r2));
          names.raw("</definedName>");
        }
        QStringList titles;
        if (const auto& c = sh.page.titleCols)
          titles << q + QStringLiteral("!$%1:$%2").arg(colName(c->first), colName(c->second));
        if (const auto& r = sh.page.titleRows)
          titles << q + QStringLiteral("!$%1:$%2").arg(r->first).arg(r->second);
        if (!titles.isEmpty()) {
          names.raw("<definedName name=\"_xlnm.Print_Titles\"").attr("localSheetId", qint64(i)).raw(">");
          names.esc(titles.join(u',')).raw("</definedName>");
        }
      }
      for (const QByteArray& d : wb.extras.definedNames)
        names.raw(d);
      if (!names.s.empty())
        b.raw("<definedNames>").raw(names.s).raw("</definedNames>");
    }
    rawElements(b, wb.extras.bookElements, name);
  }
  b.raw("</workbook>");
  Xml bookRelsXml;
  relsPart(bookRelsXml, bookPart, bookRels);

  // Root relationships and content types.
  std::vector<SheetExtras::Rel> rootRels;
  RelIds rootIds(wb.extras.rootRels);
  rootRels.push_back(SheetExtras::Rel{rootIds.next(), QString::fromLatin1(kRelBase) + QStringLiteral("officeDocument"), bookPart, false});
  for (const auto& r : wb.extras.rootRels)
    if (r.external || wb.extras.parts.count(r.target))
      rootRels.push_back(r);
  Xml rootRelsXml;
  relsPart(rootRelsXml, QString(), rootRels);

  overrides_[bookPart] = wb.extras.mainContentType.isEmpty() ? QString::fromLatin1(kCtBook) : wb.extras.mainContentType;
  overrides_[stylesPart] = QString::fromLatin1(kCtStyles);
  if (strings.count() > 0)
    overrides_[stringsPart] = QString::fromLatin1(kCtStrings);
  std::map<QString, QString> defaults{{QStringLiteral("rels"), QString::fromLatin1(kCtRels)},
                                      {QStringLiteral("xml"), QStringLiteral("application/xml")}};
  static const QHash<QString, QString> imageTypes{
      {QStringLiteral("png"), QStringLiteral("image/png")},    {QStringLiteral("jpeg"), QStringLiteral("image/jpeg")},
      {QStringLiteral("jpg"), QStringLiteral("image/jpeg")},   {QStringLiteral("gif"), QStringLiteral("image/gif")},
      {QStringLiteral("bmp"), QStringLiteral("image/bmp")},    {QStringLiteral("emf"), QStringLiteral("image/x-emf")},
      {QStringLiteral("wmf"), QStringLiteral("image/x-wmf")},  {QStringLiteral("tif"), QStringLiteral("image/tiff")},
      {QStringLiteral("tiff"), QStringLiteral("image/tiff")},  {QStringLiteral("svg"), QStringLiteral("image/svg+xml")}};
  for (const QString& e : imageExts_)
    defaults[e] = imageTypes.value(e, QStringLiteral("application/octet-stream"));
  for (const auto& [name, data] : wb.extras.parts) {
    if (auto it = wb.extras.contentTypes.find(name); it != wb.extras.contentTypes.end()) {
      overrides_[name] = it->second;
      continue;
    }
    const QString ext = QFileInfo(name).suffix().toLower();
    auto d = wb.extras.defaultTypes.find(ext);
    if (d != wb.extras.defaultTypes.end() && !defaults.count(ext))
      defaults[ext] = d->second;
  }
  Xml ct;
  ct.raw(kXmlHead).raw("<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">");
  for (const auto& [ext, type] : defaults)
    ct.raw("<Default").attr("Extension", ext).attr("ContentType", type).raw("/>");
  for (const auto& [part, type] : overrides_)
    ct.raw("<Override").attr("PartName", QLatin1Char('/') + part).attr("ContentType", type).raw("/>");
  ct.raw("</Types>");

  // Order in the zip: the package and workbook first, as spreadsheet programs expect.
  std::vector<File> drawingsAndMedia = std::move(files_);
  files_.clear();
  add(QStringLiteral("[Content_Types].xml"), std::move(ct.s));
  add(QStringLiteral("_rels/.rels"), std::move(rootRelsXml.s));
  add(bookPart, std::move(b.s));
  add(relsPartOf(bookPart), std::move(bookRelsXml.s));
  add(stylesPart, std::string(st.xml));
  if (strings.count() > 0)
    add(stringsPart, strings.xml(uses));
  for (auto& [name, data] : sheetParts)
    add(name, std::move(data));
  for (File& f : drawingsAndMedia)
    files_.push_back(std::move(f));
  for (const auto& [name, data] : wb.extras.parts)
    add(name, std::string(data.constData(), size_t(data.size())), true);

  // The zip is built in memory and then replaces the file whole (files.h): an interrupted or failed
  // write leaves the old file, and nothing beside it.
  auto fail = [&](const QString& why) { throw cannotWrite(path, why); };
  if (QFileInfo(path).isDir())
    fail(QStringLiteral("es una carpeta"));
  if (!QFileInfo(QFileInfo(path).absolutePath()).isDir())
    fail(QStringLiteral("no existe la carpeta"));
  QByteArray bytes;
  try {
    bytes = zipped();
  } catch (const ZipFailure& f) {
    fail(f.why);
  }
  try {
    files::write(path, bytes, backup);
  } catch (const vb::Error& e) {
    fail(e.description());
  }
}

// The package as the bytes of a zip file.
QByteArray Writer::zipped() const {
  const auto fail = [](const QString& why) { throw ZipFailure{why}; };
  zip_error_t ze;
  zip_error_init(&ze);
  zip_source_t* buffer = zip_source_buffer_create(nullptr, 0, 0, &ze);
  zip_t* za = buffer ? zip_open_from_source(buffer, ZIP_TRUNCATE, &ze) : nullptr;
  if (!za) {
    const QString msg = zipCause(zip_error_code_zip(&ze));
    zip_error_fini(&ze);
    if (buffer)
      zip_source_free(buffer);
    fail(msg);
  }
  zip_error_fini(&ze);
  // The buffer outlives the archive: its bytes are read after the close.
  zip_source_keep(buffer);
  const time_t when = fixedTime();
  for (const File& f : files_) {
    zip_source_t* src = zip_source_buffer(za, f.data.data(), f.data.size(), 0);
    zip_int64_t idx = src ? zip_file_add(za, f.name.toUtf8().constData(), src, ZIP_FL_ENC_UTF_8 | ZIP_FL_OVERWRITE) : -1;
    if (idx < 0) {
      if (src)
        zip_source_free(src);
      const QString msg = zipCause(zip_error_code_zip(zip_get_error(za)));
      zip_discard(za);
      zip_source_free(buffer);
      fail(msg);
    }
    zip_set_file_compression(za, zip_uint64_t(idx), f.compress ? ZIP_CM_DEFLATE : ZIP_CM_STORE, 6);
    zip_file_set_mtime(za, zip_uint64_t(idx), when, 0);
  }
  if (zip_close(za) != 0) {
    const QString msg = zipCause(zip_error_code_zip(zip_get_error(za)));
    zip_discard(za);
    zip_source_free(buffer);
    fail(msg);
  }
  QByteArray bytes;
  zip_stat_t st;
  zip_stat_init(&st);
  bool read = zip_source_stat(buffer, &st) == 0 && (st.valid & ZIP_STAT_SIZE) && zip_source_open(buffer) == 0;
  if (read) {
    bytes.resize(qsizetype(st.size));
    read = zip_source_read(buffer, bytes.data(), st.size) == zip_int64_t(st.size);
    zip_source_close(buffer);
  }
  const QString msg = read ? QString() : zipCause(zip_error_code_zip(zip_source_error(buffer)));
  zip_source_free(buffer);
  if (!read)
    fail(msg);
  return bytes;
}

}  // namespace

void writeXlsx(const QString& path, const Workbook& wb, const QString& backup) {
  try {
    Writer w(wb);
    w.run(path, backup);
  } catch (const std::bad_alloc&) {
    throw cannotWrite(path, QStringLiteral("no hay memoria suficiente"));
  }
}

vb::Error cannotWrite(const QString& path, const QString& why) {
  QString text = QStringLiteral("No se puede escribir el archivo \"%1\"").arg(QFileInfo(path).fileName());
  if (!why.isEmpty())
    text += QStringLiteral(": ") + why;
  return vb::Error(20102, text);
}

}  // namespace wb
