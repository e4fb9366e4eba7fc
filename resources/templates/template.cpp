#include "template.h"

#include "error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QRegularExpression>
#include <QStringList>
#include <optional>
#include <vector>

namespace templates {

namespace {

struct Token {
  QString text;
  bool quoted = false;  // the whole token was one quoted string
};

[[noreturn]] void fail(const QString& where, const QString& what) {
  throw DescriptionError((where + QStringLiteral(": ") + what).toStdString());
}

// Splits a line into blank-separated tokens. "..." strings take \" \\ \n escapes; '...' strings are
// taken as they stand (number formats hold double quotes). A quote inside a token (key="a b") joins
// the quoted part to it. "#" outside quotes starts a comment.
std::vector<Token> tokenize(const QString& line, const QString& where) {
  std::vector<Token> out;
  int i = 0;
  const int n = int(line.size());
  while (i < n) {
    while (i < n && line[i].isSpace())
      ++i;
    if (i >= n || line[i] == u'#')
      break;
    Token t;
    const bool startsQuoted = line[i] == u'"' || line[i] == u'\'';
    int quotedParts = 0;
    bool bare = false;
    while (i < n && !line[i].isSpace()) {
      const QChar q = line[i];
      if (q != u'"' && q != u'\'') {
        bare = true;
        t.text += line[i++];
        continue;
      }
      ++quotedParts;
      ++i;
      bool closed = false;
      while (i < n) {
        const QChar c = line[i++];
        if (c == q) {
          closed = true;
          break;
        }
        if (q == u'"' && c == u'\\' && i < n) {
          const QChar e = line[i++];
          t.text += e == u'n' ? QChar(u'\n') : e;
        } else {
          t.text += c;
        }
      }
      if (!closed)
        fail(where, QStringLiteral("unterminated string"));
    }
    t.quoted = startsQuoted && !bare && quotedParts == 1;
    out.push_back(std::move(t));
  }
  return out;
}

double number(const QString& s, const QString& where, const QString& what) {
  bool ok = false;
  const double v = s.toDouble(&ok);
  if (!ok)
    fail(where, QStringLiteral("%1: \"%2\" is not a number").arg(what, s));
  return v;
}

wb::Rgb color(const QString& s, const QString& where) {
  static const QRegularExpression hex(QStringLiteral("^[0-9A-Fa-f]{6}$"));
  if (!hex.match(s).hasMatch())
    fail(where, QStringLiteral("colour \"%1\" is not RRGGBB").arg(s));
  return wb::Rgb(s.toUInt(nullptr, 16));
}

// The value a word names in `names`, or a message naming what was expected.
template <typename T>
T pick(const QHash<QString, T>& names, const QString& word, const QString& where, const char* what) {
  auto it = names.constFind(word);
  if (it == names.constEnd())
    fail(where, QStringLiteral("unknown %1 \"%2\"").arg(QLatin1String(what), word));
  return it.value();
}

wb::LineStyle lineStyle(const QString& s, const QString& where) {
  static const QHash<QString, wb::LineStyle> styles{
      {QStringLiteral("none"), wb::LineStyle::None},     {QStringLiteral("thin"), wb::LineStyle::Thin},
      {QStringLiteral("medium"), wb::LineStyle::Medium}, {QStringLiteral("thick"), wb::LineStyle::Thick},
      {QStringLiteral("double"), wb::LineStyle::Double}, {QStringLiteral("hair"), wb::LineStyle::Hair},
      {QStringLiteral("dotted"), wb::LineStyle::Dotted}, {QStringLiteral("dashed"), wb::LineStyle::Dashed}};
  return pick(styles, s, where, "border style");
}

// One cell attribute ("bold", "size=8", "border-top=thin", ...) applied to a style.
void applyAttribute(wb::CellStyle& st, const QString& attr, const QString& where) {
  const qsizetype eq = attr.indexOf(u'=');
  const QString key = eq < 0 ? attr : attr.left(eq);
  const QString value = eq < 0 ? QString() : attr.mid(eq + 1);
  auto needsValue = [&] {
    if (eq < 0 || value.isEmpty())
      fail(where, QStringLiteral("\"%1\" needs a value (%1=...)").arg(key));
  };
  if (eq < 0) {
    if (key == u"bold")
      st.font.bold = true;
    else if (key == u"italic")
      st.font.italic = true;
    else if (key == u"underline")
      st.font.underline = wb::Underline::Single;
    else if (key == u"wrap")
      st.wrap = true;
    else
      fail(where, QStringLiteral("unknown style or attribute \"%1\"").arg(key));
    return;
  }
  needsValue();
  if (key == u"font") {
    st.font.name = value;
  } else if (key == u"size") {
    const double pt = number(value, where, key);
    if (pt < 1 || pt > 409)
      fail(where, QStringLiteral("font size %1 out of range").arg(value));
    st.font.sizeTwips = int(pt * 20 + 0.5);
  } else if (key == u"color") {
    st.font.color = color(value, where);
  } else if (key == u"fill") {
    if (value == u"none") {
      st.fill = wb::Fill{};
    } else {
      st.fill.pattern = 1;
      st.fill.fg = color(value, where);
    }
  } else if (key == u"align") {
    static const QHash<QString, wb::HAlign> h{{QStringLiteral("general"), wb::HAlign::General},
                                              {QStringLiteral("left"), wb::HAlign::Left},
                                              {QStringLiteral("center"), wb::HAlign::Center},
                                              {QStringLiteral("right"), wb::HAlign::Right},
                                              {QStringLiteral("justify"), wb::HAlign::Justify}};
    st.h = pick(h, value, where, "alignment");
  } else if (key == u"valign") {
    static const QHash<QString, wb::VAlign> v{{QStringLiteral("top"), wb::VAlign::Top},
                                              {QStringLiteral("center"), wb::VAlign::Center},
                                              {QStringLiteral("bottom"), wb::VAlign::Bottom}};
    st.v = pick(v, value, where, "vertical alignment");
  } else if (key == u"border") {
    const wb::LineStyle ls = lineStyle(value, where);
    for (wb::Edge* e : {&st.left, &st.right, &st.top, &st.bottom})
      e->style = ls;
  } else if (key == u"border-left") {
    st.left.style = lineStyle(value, where);
  } else if (key == u"border-right") {
    st.right.style = lineStyle(value, where);
  } else if (key == u"border-top") {
    st.top.style = lineStyle(value, where);
  } else if (key == u"border-bottom") {
    st.bottom.style = lineStyle(value, where);
  } else if (key == u"format") {
    st.numFmt = value;
  } else {
    fail(where, QStringLiteral("unknown attribute \"%1\"").arg(key));
  }
}

std::optional<wb::Range> parseRange(const QString& s) {
  const qsizetype colon = s.indexOf(u':');
  const auto a = wb::parseCellName(colon < 0 ? QStringView(s) : QStringView(s).left(colon));
  if (!a)
    return std::nullopt;
  const auto b = colon < 0 ? a : wb::parseCellName(QStringView(s).mid(colon + 1));
  if (!b || b->row < a->row || b->col < a->col)
    return std::nullopt;
  return wb::Range{a->row, a->col, b->row, b->col};
}

class Builder {
public:
  Template run(const QString& text, const QString& name, const QString& folder) {
    t_.book = std::make_unique<wb::Book>();
    lines(text, name, folder, 0);
    const QString where = name;
    if (t_.fileName.isEmpty())
      fail(where, QStringLiteral("no WORKBOOK line"));
    if (sheets_ == 0)
      fail(where, QStringLiteral("no SHEET"));
    finishSheet();
    t_.book->setSheet(1);
    t_.book->workbook().activeSheet = 0;
    return std::move(t_);
  }

private:
  Template t_;
  QHash<QString, QStringList> styles_;  // name -> attributes, other styles already expanded
  int sheets_ = 0;
  bool cells_ = false;  // a cell has been written (the default font can no longer change)

  wb::Book& book() { return *t_.book; }

  void lines(const QString& text, const QString& name, const QString& folder, int depth) {
    const QStringList all = text.split(u'\n');
    for (int i = 0; i < all.size(); ++i) {
      QString line = all[i];
      if (line.endsWith(u'\r'))
        line.chop(1);
      const QString where = QStringLiteral("%1:%2").arg(name).arg(i + 1);
      const std::vector<Token> tok = tokenize(line, where);
      if (tok.empty())
        continue;
      try {
        statement(tok, where, folder, depth);
      } catch (const vb::Error& e) {
        fail(where, e.description());
      }
    }
  }

  void statement(const std::vector<Token>& tok, const QString& where, const QString& folder, int depth) {
    const QString& word = tok[0].text;
    const auto args = std::vector<Token>(tok.begin() + 1, tok.end());
    auto count = [&](size_t n) {
      if (args.size() != n)
        fail(where, QStringLiteral("%1 takes %2 argument(s)").arg(word).arg(n));
    };
    auto needSheet = [&] {
      if (sheets_ == 0)
        fail(where, QStringLiteral("%1 before any SHEET").arg(word));
    };
    if (word == u"INCLUDE") {
      count(1);
      if (depth >= 8)
        fail(where, QStringLiteral("INCLUDE nested too deep"));
      const QString path = QDir(folder).filePath(args[0].text);
      lines(readText(path, where), QFileInfo(path).fileName(), QFileInfo(path).path(), depth + 1);
    } else if (word == u"WORKBOOK") {
      count(1);
      if (!t_.fileName.isEmpty())
        fail(where, QStringLiteral("a second WORKBOOK line"));
      if (args[0].text.contains(u'/') || args[0].text.isEmpty())
        fail(where, QStringLiteral("WORKBOOK takes a plain file name"));
      t_.fileName = args[0].text;
    } else if (word == u"FONT") {
      count(2);
      if (cells_)
        fail(where, QStringLiteral("FONT must come before the first cell"));
      wb::CellStyle def = book().workbook().styles.at(0);
      def.font.name = args[0].text;
      applyAttribute(def, QStringLiteral("size=") + args[1].text, where);
      book().workbook().styles.setDefault(def);
    } else if (word == u"STYLE") {
      if (args.size() < 2)
        fail(where, QStringLiteral("STYLE takes a name and its attributes"));
      const QString& styleName = args[0].text;
      if (styles_.contains(styleName))
        fail(where, QStringLiteral("style \"%1\" defined twice").arg(styleName));
      if (styleName.contains(u'=') || isAttributeWord(styleName))
        fail(where, QStringLiteral("\"%1\" cannot name a style").arg(styleName));
      QStringList attrs;
      for (size_t i = 1; i < args.size(); ++i)
        attrs += expand(args[i], where);
      wb::CellStyle probe;
      for (const QString& a : attrs)
        applyAttribute(probe, a, where);
      styles_.insert(styleName, attrs);
    } else if (word == u"SHEET") {
      count(1);
      finishSheet();
      if (sheets_ > 0)
        book().insertSheets(book().numSheets() + 1, 1);
      ++sheets_;
      book().setSheet(sheets_);
      book().setSheetName(sheets_, args[0].text);
    } else if (word == u"ORIENTATION") {
      count(1);
      needSheet();
      if (args[0].text != u"portrait" && args[0].text != u"landscape")
        fail(where, QStringLiteral("ORIENTATION is portrait or landscape"));
      book().pageSetup().landscape = args[0].text == u"landscape";
    } else if (word == u"PAPER") {
      count(1);
      needSheet();
      static const QHash<QString, int> paper{
          {QStringLiteral("letter"), 1}, {QStringLiteral("legal"), 5}, {QStringLiteral("a4"), 9}};
      book().pageSetup().paperSize = pick(paper, args[0].text, where, "paper (letter, legal, a4)");
    } else if (word == u"MARGINS") {
      needSheet();
      margins(args, where);
    } else if (word == u"HEADER" || word == u"FOOTER") {
      count(1);
      needSheet();
      (word == u"HEADER" ? book().pageSetup().header : book().pageSetup().footer) = args[0].text;
    } else if (word == u"WIDTHS") {
      needSheet();
      widths(args, where);
    } else if (word == u"PICTURE") {
      count(5);
      needSheet();
      if (args[0].text != u"logo")
        fail(where, QStringLiteral("the only picture is \"logo\""));
      book().addPicture(position(args, 1, where), logoPng(), QStringLiteral("png"));
    } else if (word == u"LINE") {
      needSheet();
      line(args, where);
    } else if (const auto range = parseRange(word)) {
      needSheet();
      cellLine(*range, args, where);
    } else {
      fail(where, QStringLiteral("unknown line \"%1\"").arg(word));
    }
  }

  static bool isAttributeWord(const QString& s) {
    return s == u"bold" || s == u"italic" || s == u"underline" || s == u"wrap";
  }

  // A style name becomes its attributes; anything else is taken as one attribute.
  QStringList expand(const Token& t, const QString& where) const {
    if (t.quoted)
      fail(where, QStringLiteral("unexpected text \"%1\"").arg(t.text));
    auto it = styles_.constFind(t.text);
    return it != styles_.constEnd() ? it.value() : QStringList{t.text};
  }

  void cellLine(const wb::Range& r, const std::vector<Token>& args, const QString& where) {
    std::optional<QString> text;
    QStringList attrs;
    for (const Token& t : args) {
      if (t.quoted) {
        if (text)
          fail(where, QStringLiteral("a cell takes one text"));
        text = t.text;
      } else {
        attrs += expand(t, where);
      }
    }
    if (text && (r.r1 != r.r2 || r.c1 != r.c2))
      fail(where, QStringLiteral("text goes into one cell, not a range"));
    if (text && text->isEmpty())
      fail(where, QStringLiteral("empty text (leave the cell out, or give it only a style)"));
    if (!text && attrs.isEmpty())
      fail(where, QStringLiteral("a cell line needs a style or a text"));
    wb::Book& b = book();
    cells_ = true;
    for (int row = r.r1; row <= r.r2; ++row)
      for (int col = r.c1; col <= r.c2; ++col) {
        b.setActiveCell(row, col);
        wb::CellStyle st = b.cellStyle();
        for (const QString& a : attrs)
          applyAttribute(st, a, where);
        b.setCellStyle(st);
        if (text)
          b.setText(*text);
      }
  }

  void margins(const std::vector<Token>& args, const QString& where) {
    wb::PageSetup& p = book().pageSetup();
    const QHash<QString, double*> slot{{QStringLiteral("left"), &p.left},     {QStringLiteral("right"), &p.right},
                                       {QStringLiteral("top"), &p.top},       {QStringLiteral("bottom"), &p.bottom},
                                       {QStringLiteral("header"), &p.headerMargin},
                                       {QStringLiteral("footer"), &p.footerMargin}};
    if (args.empty())
      fail(where, QStringLiteral("MARGINS takes side=inches ..."));
    for (const Token& t : args) {
      const qsizetype eq = t.text.indexOf(u'=');
      double* d = eq > 0 ? slot.value(t.text.left(eq)) : nullptr;
      if (!d)
        fail(where, QStringLiteral("MARGINS: \"%1\" is not left|right|top|bottom|header|footer=inches").arg(t.text));
      const double v = number(t.text.mid(eq + 1), where, t.text.left(eq));
      if (v < 0 || v > 5)
        fail(where, QStringLiteral("margin %1 out of range").arg(t.text));
      *d = v;
    }
  }

  void widths(const std::vector<Token>& args, const QString& where) {
    if (args.empty())
      fail(where, QStringLiteral("WIDTHS takes COLUMN=inches ..."));
    for (const Token& t : args) {
      const qsizetype eq = t.text.indexOf(u'=');
      const auto ref = eq > 0 ? wb::parseCellName(t.text.left(eq) + QStringLiteral("1")) : std::nullopt;
      if (!ref)
        fail(where, QStringLiteral("WIDTHS: \"%1\" is not COLUMN=inches").arg(t.text));
      const double in = number(t.text.mid(eq + 1), where, t.text.left(eq));
      if (in <= 0 || in > 20)
        fail(where, QStringLiteral("width %1 out of range").arg(t.text));
      book().setColWidth(ref->col, int(in * 1440 + 0.5));
    }
  }

  wb::ObjPos position(const std::vector<Token>& args, size_t first, const QString& where) const {
    double v[4];
    for (int i = 0; i < 4; ++i) {
      v[i] = number(args[first + size_t(i)].text, where, QStringLiteral("position"));
      if (v[i] < 1)
        fail(where, QStringLiteral("positions count columns and rows from 1"));
    }
    return wb::ObjPos{v[0], v[1], v[2], v[3]};
  }

  void line(const std::vector<Token>& args, const QString& where) {
    if (args.size() < 4)
      fail(where, QStringLiteral("LINE takes x1 y1 x2 y2 [weight=points] [color=RRGGBB]"));
    wb::ObjPos p = position(args, 0, where);
    wb::DrawingObject o;
    for (size_t i = 4; i < args.size(); ++i) {
      const QString& a = args[i].text;
      if (a.startsWith(QStringLiteral("weight=")))
        o.lineWidthEmu = int(number(a.mid(7), where, QStringLiteral("weight")) * 12700 + 0.5);
      else if (a.startsWith(QStringLiteral("color=")))
        o.lineColor = color(a.mid(6), where);
      else
        fail(where, QStringLiteral("LINE: unknown \"%1\"").arg(a));
    }
    // The model keeps the box; a line from bottom-left to top-right is the box's other diagonal.
    o.flipV = (p.x2 < p.x1) != (p.y2 < p.y1) && p.x1 != p.x2 && p.y1 != p.y2;
    p = wb::ObjPos{std::min(p.x1, p.x2), std::min(p.y1, p.y2), std::max(p.x1, p.x2), std::max(p.y1, p.y2)};
    const int id = book().addShape(wb::DrawingObject::Kind::Line, p);
    wb::DrawingObject* made = book().currentSheet().object(id);
    made->lineWidthEmu = o.lineWidthEmu;
    made->lineColor = o.lineColor;
    made->flipV = o.flipV;
  }

  // Rows take their height from their contents, as the report program fits every template row
  // before it measures the page; hand-set heights would not survive that.
  void finishSheet() {
    if (sheets_ == 0)
      return;
    wb::Book& b = book();
    if (const int last = b.lastRow(); last > 0)
      b.setRowHeightAuto(1, 1, last, 255, true);
    b.setActiveCell(1, 1);
  }

  static QString readText(const QString& path, const QString& where) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
      fail(where, QStringLiteral("cannot read %1").arg(path));
    return QString::fromUtf8(f.readAll());
  }
};

}  // namespace

Template buildFile(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly))
    fail(path, QStringLiteral("cannot read the file"));
  const QFileInfo info(path);
  return build(QString::fromUtf8(f.readAll()), info.fileName(), info.path());
}

Template build(const QString& text, const QString& name, const QString& folder) {
  return Builder().run(text, name, folder);
}

void write(const Template& t, const QString& folder) {
  try {
    t.book->write(QDir(folder).filePath(t.fileName));
  } catch (const vb::Error& e) {
    throw DescriptionError(QStringLiteral("%1: %2").arg(t.fileName, e.description()).toStdString());
  }
}

}  // namespace templates
