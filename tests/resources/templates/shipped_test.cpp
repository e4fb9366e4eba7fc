// The five report templates the build writes next to the program, read back through our own .xlsx
// reader and checked against what the report program looks for in them: the sheet it selects, the
// section markers, the placeholders of each report kind where its writer looks for them, the page
// set-up it inherits, and the room left on a page for the concepts.
#include "book.h"
#include "metrics.h"
#include "numformat.h"
#include "qt_print.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

const QString kBin = QStringLiteral(TORNAVO_BIN_DIR);

// The placeholders a title row, a page-foot row or the print header and footer may hold: the
// general data of the bid, filled inside any text.
const QSet<QString> kGeneral{
    "{razón social}", "{razon social}", "{dom fiscal}", "{colonia}", "{rfc}", "{cp}", "{telefono}",
    "{domicilio}", "{ciudad}", "{cmic}", "{infonavit}", "{responsable}", "{cargo}", "{dependencia}",
    "{dependencia 2}", "{dependencia 3}", "{área}", "{area}", "{departamento}", "{fecha de concurso}",
    "{número de concurso}", "{numero de concurso}", "{número de contrato}", "{numero de contrato}",
    "{importe total}", "{lugar de concurso}", "{nombre de la obra}", "{nombre de la obra 2}",
    "{nombre de la obra 3}", "{nombre de la obra 4}", "{nombre de la obra 5}", "{nombre de la obra 6}",
    "{lugar de la obra}", "{ciudad de la obra}", "{estado de la obra}", "{fecha inicio}",
    "{fecha terminación}", "{fecha terminacion}", "{plazo}", "{imss}", "{titulo}", "{titulo 2}",
    "{titulo 3}", "{titulo 4}", "{titulo 5}", "{nombre}", "{nombre 2}", "{nombre 3}", "{nombre 4}", "{nombre 5}"};

// Whole-cell placeholders of title and foot rows that only some kinds fill.
bool isKindCell(int kind, const QString& lower) {
  static const QRegularExpression money(QStringLiteral("^\\{(moneda|parcial|acumulado)\\d\\d\\}$"));
  switch (kind) {
    case 0: return money.match(lower).hasMatch();
    case 2: return lower == u"{título periodo}" || lower == u"{titulo periodo}";
    case 3: return lower == u"{parciales}" || lower == u"{título periodo}" || lower == u"{titulo periodo}";
    case 4: return lower == u"{parcial}";
  }
  return false;
}

// What each kind's writer fills in a detail cell whose whole text is the key.
const QSet<QString>& detailKeys(int kind) {
  static const QSet<QString> common{"{renglon}", "{renglón}", "{código}", "{codigo}", "{código auxiliar}",
                                    "{codigo auxiliar}", "{descripción}", "{descripcion}"};
  static const QSet<QString> k0 = common + QSet<QString>{"{partida}", "{unidad}", "{volumen}", "{precio}",
                                                         "{precio con letra}", "{importe}", "{porcentaje}"};
  static const QSet<QString> k1{"{partida}", "{descripción partida}", "{descripcion partida}", "{importe partida}",
                                "{descripción moneda}", "{descripcion moneda}"};
  static const QSet<QString> k2 = common + QSet<QString>{"{unidad}", "{volumen}", "{periodo}"};
  static const QSet<QString> k3 = common + QSet<QString>{"{periodo}"};
  static const QSet<QString> k4 = common + QSet<QString>{"{unidad}", "{volumen}", "{precio}", "{importe}"};
  static const QSet<QString>* all[] = {&k0, &k1, &k2, &k3, &k4};
  return *all[kind];
}

struct Shipped {
  int kind;
  const char* file;
  const char* report;  // the kind's text, which the library database also gives as the sheet name
  bool landscape;
  bool footer;
  bool logoMarker;
  int pictures, lines;
  std::vector<const char*> anchors;  // each must be found in exactly one cell
};

const Shipped kShipped[] = {
    {0, "Parator1.kor", "Presupuesto", false, true, true, 1, 0,
     {"Moneda01", "{precio con letra}", "{importe}", "{descripción}"}},
    {1, "Parator2.kor", "Totales del presupuesto", false, false, false, 0, 0,
     {"{importe partida}", "{descripción partida}"}},
    {2, "Parator3.kor", "Programa de obra", true, true, true, 1, 1, {"{periodo}", "{descripción}", "{volumen}"}},
    {3, "Parator4.kor", "Montos mensuales", true, true, false, 1, 0,
     {"{periodo}", "{descripción}", "{importe}", "{parciales}"}},
    {4, "Parator5.kor", "Conceptos,cantidades y precios", false, true, true, 1, 0, {"{descripción}", "{importe}"}},
};

void PrintTo(const Shipped& s, std::ostream* os) { *os << s.file; }

// The section bounds the report program finds: markers in column A, whole cell.
struct Sections {
  int titlesFirst = 0, titlesLast = 0, detailFirst = 0, detailLast = 0, footFirst = 0, footLast = 0;
};

Sections findSections(wb::Book& b) {
  const int last = b.lastRow();
  auto marker = [&](const char* text) {
    const auto hit = b.find(QString::fromUtf8(text), 1, 1, last, 1, 2);
    return hit ? hit->row + 1 : 0;
  };
  Sections s;
  s.titlesFirst = marker("{titulos}");
  s.detailFirst = marker("{detalle}");
  s.titlesLast = s.detailFirst - 2;
  s.footFirst = marker("{pie de página}");
  s.detailLast = s.footFirst ? s.footFirst - 2 : last;
  s.footLast = s.footFirst ? last : 0;
  return s;
}

// Every cell of the used range whose text holds `text` (without regard to case), as the
// placeholder searches of the report program match.
std::vector<wb::CellRef> cellsHolding(const wb::Book& b, const QString& text) {
  std::vector<wb::CellRef> out;
  const wb::Sheet& sh = b.currentSheet();
  for (int r = 1; r <= b.lastRow(); ++r)
    for (int c = 1; c <= b.lastCol(); ++c)
      if (b.workbook().displayText(sh, r, c).contains(text, Qt::CaseInsensitive))
        out.push_back({r, c});
  return out;
}

QString cellText(const wb::Book& b, int r, int c) { return b.workbook().displayText(b.currentSheet(), r, c); }

const wb::CellStyle& styleOf(const wb::Book& b, int r, int c) {
  return b.workbook().styles.at(b.currentSheet().styleAt(r, c));
}

QStringList bracesIn(const QString& s) {
  static const QRegularExpression brace(QStringLiteral("\\{[^{}]*\\}"));
  QStringList out;
  for (auto it = brace.globalMatch(s); it.hasNext();)
    out << it.next().captured(0);
  return out;
}

class ShippedTemplate : public ::testing::TestWithParam<Shipped> {
protected:
  void SetUp() override {
    path_ = QDir(kBin).filePath(QString::fromLatin1(GetParam().file));
    ASSERT_NO_THROW(book_.read(path_)) << path_.toStdString();
    sec_ = findSections(book_);
  }
  const Shipped& t() const { return GetParam(); }
  QString path_;
  wb::Book book_;
  Sections sec_;
};

TEST_P(ShippedTemplate, IsAnXlsxWorkbookOfOneSheetNamedAfterItsReport) {
  QFile f(path_);
  ASSERT_TRUE(f.open(QIODevice::ReadOnly));
  EXPECT_EQ(f.read(4), QByteArray("PK\x03\x04", 4)) << "templates are .xlsx whatever their extension";
  ASSERT_EQ(book_.numSheets(), 1);
  EXPECT_EQ(book_.sheetName(1), QString::fromUtf8(t().report));
}

TEST_P(ShippedTemplate, SectionsAreWhereTheReportLooksForThem) {
  EXPECT_EQ(sec_.titlesFirst, 2) << "{titulos} must be A1: print titles and title pictures count from it";
  ASSERT_GT(sec_.detailFirst, 0);
  EXPECT_GE(sec_.titlesLast, sec_.titlesFirst);
  EXPECT_EQ(sec_.detailLast, sec_.detailFirst) << "one detail row";
  if (t().footer) {
    EXPECT_EQ(sec_.footFirst, sec_.detailFirst + 2);
    EXPECT_GE(sec_.footLast, sec_.footFirst);
  } else {
    EXPECT_EQ(sec_.footFirst, 0);
  }
  // The marker rows print nothing: whatever else they hold must be a marker or an anchor.
  for (int r : {sec_.titlesFirst - 1, sec_.detailFirst - 1, sec_.footFirst - 1}) {
    if (r <= 0)
      continue;
    for (int c = 1; c <= book_.lastCol(); ++c) {
      const QString s = cellText(book_, r, c);
      EXPECT_TRUE(s.isEmpty() || (s.startsWith(u'{') && s.endsWith(u'}'))) << "row " << r << ": " << s.toStdString();
    }
  }
}

TEST_P(ShippedTemplate, LogoMarkerAndPicturesLieInsideTheirSections) {
  const auto logo = book_.find(QStringLiteral("{logotipo}"), 1, 1, book_.lastRow(), book_.lastCol(), 2);
  EXPECT_EQ(logo.has_value(), t().logoMarker);
  if (logo) {
    EXPECT_EQ(logo->row, 1) << "{logotipo} prints unless it sits in a marker row";
  }

  const wb::Sheet& sh = book_.currentSheet();
  int pictures = 0, lines = 0;
  for (const wb::DrawingObject& o : sh.objects) {
    if (o.kind == wb::DrawingObject::Kind::Picture) {
      ++pictures;
      EXPECT_EQ(o.imageExt, QStringLiteral("png"));
      EXPECT_FALSE(QImage::fromData(o.imageData).isNull());
    } else if (o.kind == wb::DrawingObject::Kind::Line) {
      ++lines;
    }
    // The report copies an object with the title rows when Y1 > first row − 1 and Y2 <= last row,
    // and with the page foot likewise; it must also start inside the section to land there.
    const bool inTitles = o.pos.y1 >= sec_.titlesFirst && o.pos.y2 <= sec_.titlesLast;
    const bool inFoot = sec_.footFirst && o.pos.y1 >= sec_.footFirst && o.pos.y2 <= sec_.footLast;
    EXPECT_TRUE(inTitles || inFoot) << "object " << o.id << " at rows " << o.pos.y1 << ".." << o.pos.y2;
  }
  EXPECT_EQ(pictures, t().pictures);
  EXPECT_EQ(lines, t().lines);

  // Titles repeat by themselves (the print titles) only without a page foot, a logo or an object.
  const bool hayLogotipo = logo.has_value() || !sh.objects.empty();
  const bool sinRepetirTitulos = !hayLogotipo && !t().footer;
  EXPECT_EQ(sinRepetirTitulos, t().kind == 1);
}

TEST_P(ShippedTemplate, EveryAnchorIsInExactlyOneCell) {
  for (const char* a : t().anchors)
    EXPECT_EQ(cellsHolding(book_, QString::fromUtf8(a)).size(), 1u) << a;
  // The accent-less spellings would be found instead when the accented one is missing, and would
  // make a second hit when both are there.
  for (const char* twin : {"{descripcion}", "{descripcion partida}"})
    EXPECT_TRUE(cellsHolding(book_, QString::fromUtf8(twin)).empty()) << twin;
}

TEST_P(ShippedTemplate, PlaceholdersAreOnesTheReportFillsWhereItFillsThem) {
  const QSet<QString>& keys = detailKeys(t().kind);
  for (int r = 1; r <= book_.lastRow(); ++r) {
    const bool marker = r == sec_.titlesFirst - 1 || r == sec_.detailFirst - 1 || r == sec_.footFirst - 1;
    const bool detail = r >= sec_.detailFirst && r <= sec_.detailLast;
    for (int c = 1; c <= book_.lastCol(); ++c) {
      const QString text = cellText(book_, r, c);
      if (marker || text.isEmpty())
        continue;
      const QString lower = text.toLower();
      if (detail) {
        EXPECT_TRUE(keys.contains(lower)) << (wb::cellName(r, c) + QStringLiteral(": ") + text).toStdString();
        continue;
      }
      if (isKindCell(t().kind, lower))
        continue;
      for (const QString& p : bracesIn(lower))
        EXPECT_TRUE(kGeneral.contains(p.trimmed())) << (wb::cellName(r, c) + QStringLiteral(": ") + p).toStdString();
    }
  }
  for (const QString& hf : {book_.printHeader(), book_.printFooter()})
    for (const QString& p : bracesIn(hf.toLower()))
      EXPECT_TRUE(kGeneral.contains(p)) << hf.toStdString();
}

TEST_P(ShippedTemplate, DetailCellsKeepTheirLookInTheReport) {
  const int r = sec_.detailFirst;
  for (int c = 1; c <= book_.lastCol(); ++c) {
    const wb::CellStyle& s = styleOf(book_, r, c);
    const bool ruled = s.left.style != wb::LineStyle::None || s.right.style != wb::LineStyle::None ||
                       s.top.style != wb::LineStyle::None || s.bottom.style != wb::LineStyle::None;
    // A blank detail cell is not copied, so it would lose its rules.
    if (ruled) {
      EXPECT_FALSE(cellText(book_, r, c).trimmed().isEmpty()) << wb::cellName(r, c).toStdString();
    }
  }
  for (const char* wrapped : {"{descripción}", "{precio con letra}", "{descripción partida}"})
    for (const wb::CellRef& at : cellsHolding(book_, QString::fromUtf8(wrapped)))
      EXPECT_TRUE(styleOf(book_, at.row, at.col).wrap) << wrapped;
}

TEST_P(ShippedTemplate, LoneDateAndMoneyPlaceholdersHaveNumberFormats) {
  // A title or foot cell that is just one of these is written back as a date or a number.
  for (int r = 1; r <= book_.lastRow(); ++r)
    for (int c = 1; c <= book_.lastCol(); ++c) {
      const QString text = cellText(book_, r, c).toLower();
      const QString fmt = styleOf(book_, r, c).numFmt;
      const std::string where = (wb::cellName(r, c) + u' ' + fmt).toStdString();
      if (text == u"{fecha de concurso}" || text == u"{fecha inicio}" || text.startsWith(u"{fecha termina")) {
        EXPECT_TRUE(book_.workbook().numberFormat(fmt).isDate()) << where;
      }
      if (text == u"{importe total}") {
        EXPECT_TRUE(fmt.contains(u'$')) << where;
      }
      if (text == u"{plazo}") {
        EXPECT_NE(fmt, QStringLiteral("General")) << where;
      }
    }
}

TEST_P(ShippedTemplate, KindSpecificLayout) {
  const int last = book_.lastRow();
  auto at = [&](const char* text) { return cellsHolding(book_, QString::fromUtf8(text)).front(); };
  switch (t().kind) {
    case 0:
      // The program writes a currency's label into column E of the last row, and copies that row
      // for each further currency: the row holds the page and carried amounts of currency 01.
      EXPECT_EQ(cellText(book_, last, 5), QStringLiteral("{Moneda01}"));
      for (const char* p : {"{parcial01}", "{acumulado01}"})
        EXPECT_EQ(at(p).row, last) << p;
      for (int c = 1; c < 5; ++c)
        EXPECT_TRUE(cellText(book_, last, c).isEmpty()) << "copied for every currency: " << c;
      break;
    case 1:
      EXPECT_TRUE(book_.currentSheet().objects.empty());
      EXPECT_EQ(last, sec_.detailLast);
      break;
    case 2:
    case 3: {
      // The period run starts at "{periodo}" and goes right: nothing may stand in its way, the
      // titles start in its column with the row above them free for the years.
      const wb::CellRef p = at("{periodo}");
      EXPECT_EQ(p.row, sec_.detailFirst);
      EXPECT_EQ(p.col, book_.lastCol());
      const auto titles = cellsHolding(book_, QStringLiteral("periodo}"));
      const auto title = std::find_if(titles.begin(), titles.end(), [&](auto x) { return x.row != p.row; });
      ASSERT_NE(title, titles.end());
      EXPECT_EQ(title->col, p.col);
      EXPECT_GT(title->row - 1, sec_.titlesFirst - 1);
      EXPECT_LE(title->row, sec_.titlesLast);
      for (int c = p.col; c <= book_.lastCol(); ++c)
        EXPECT_TRUE(cellText(book_, title->row - 1, c).isEmpty());
      // The period cells take the width of the title column and the look of the format anchor.
      const wb::CellRef fmt = at(t().kind == 2 ? "{volumen}" : "{importe}");
      EXPECT_EQ(book_.colWidth(fmt.col), book_.colWidth(p.col));
      if (t().kind == 3) {
        const wb::CellRef totals = at("{parciales}");
        EXPECT_EQ(totals.col, p.col);
        EXPECT_GE(totals.row, sec_.footFirst);
        EXPECT_GT(at("{descripción}").col, 1) << "the totals labels go one column left of it";
        EXPECT_EQ(fmt.row, sec_.detailFirst - 1) << "in the marker row: the kind-3 filler leaves it as text";
      }
      break;
    }
    case 4:
      EXPECT_GT(at("{descripción}").col, 1);
      EXPECT_GT(at("{importe}").col, 1) << "\"Suma Total\" goes one column left of it";
      break;
  }
}

TEST_P(ShippedTemplate, PageSetUpLeavesPagingToTheReport) {
  const wb::PageSetup& p = book_.pageSetup();
  EXPECT_EQ(p.landscape, t().landscape);
  EXPECT_EQ(p.paperSize, 1) << "Letter";
  EXPECT_EQ(p.scale, 100);
  EXPECT_FALSE(p.fitToPage);
  EXPECT_FALSE(p.printArea.has_value());
  EXPECT_FALSE(p.titleRows.has_value());
  EXPECT_FALSE(p.titleCols.has_value());
  EXPECT_TRUE(p.rowBreaks.empty());
  EXPECT_TRUE(p.colBreaks.empty());
  const QString hf = p.header + p.footer;
  EXPECT_TRUE(hf.contains(QStringLiteral("&P")) && hf.contains(QStringLiteral("&N"))) << "page n of m";

  // The template's columns fit across the page (the period columns of kinds 2 and 3 are added by
  // the report; the sample bid's six periods with their total fit too), also for a spreadsheet
  // program that draws the same widths up to 6 % wider (LibreOffice).
  const double paper = t().landscape ? 11.0 : 8.5;
  const int printable = int((paper - p.left - p.right) * 1440);
  int width = 0;
  for (int c = 1; c <= book_.lastCol(); ++c)
    width += book_.colWidth(c);
  if (t().kind == 2 || t().kind == 3)
    width += 6 * book_.colWidth(book_.lastCol());
  EXPECT_LE(width * 1.06, printable);

  // The page budget of the report: paper less margins, title rows, foot rows and 700 twips of
  // slack. What remains holds the concepts; it must be most of the page.
  book_.setRowHeightAuto(1, 1, book_.lastRow(), 255, true);
  auto rows = [&](int a, int b) {
    int h = 0;
    for (int r = a; a > 0 && r <= b; ++r)
      h += book_.rowHeight(r);
    return h;
  };
  const double height = (t().landscape ? 8.5 : 11.0) * 1440;
  const double util = height - (p.top + p.bottom) * 2.54 * 565.0 - rows(sec_.titlesFirst, sec_.titlesLast) -
                      rows(sec_.footFirst, sec_.footLast) - 700;
  EXPECT_GT(util, (t().landscape ? 3.0 : 4.5) * 1440) << "body height left for concepts, twips";
}

// Every cell that prints an amount holds the largest one the program writes in words,
// 999,999,999,999.99, in its number format and in the one the writers give amounts, plain and bold
// (totals are bold), within its column less the cell's margins: a "#" never stands for an amount.
TEST_P(ShippedTemplate, AmountCellsHoldTheLargestAmount) {
  const QStringList formats{QStringLiteral("#,###,###,##0.00##")};
  int amounts = 0;
  for (int r = 1; r <= book_.lastRow(); ++r)
    for (int c = 1; c <= book_.lastCol(); ++c) {
      const QString text = cellText(book_, r, c).toLower();
      const bool amount = text == u"{precio}" || text == u"{importe}" || text == u"{importe partida}" ||
                          text == u"{importe total}" || text.startsWith(u"{parcial") ||
                          text.startsWith(u"{acumulado") || (t().kind == 3 && text == u"{periodo}");
      if (!amount)
        continue;
      ++amounts;
      const wb::CellStyle& style = styleOf(book_, r, c);
      const int room = book_.colWidth(c) - 2 * wb::metrics::kCellPadTwips - int(wb::metrics::indentTwips(style));
      for (const QString& fmt : formats + QStringList{style.numFmt})
        for (const bool bold : {false, true}) {
          wb::Font font = style.font;
          font.bold = bold;
          const QString shown = book_.workbook().numberFormat(fmt).format(999999999999.99);
          EXPECT_LE(wb::metrics::textWidth(font, shown), room)
              << wb::cellName(r, c).toStdString() << " " << text.toStdString() << " " << shown.toStdString()
              << (bold ? " bold" : "");
        }
    }
  if (t().kind != 2)  // the schedule prints volumes
    EXPECT_GT(amounts, 0);
}

// A date's format names its language, Spanish (Mexico), so that a spreadsheet program set up in
// another language shows the month names the report prints.
TEST_P(ShippedTemplate, DatesCarryTheSpanishLanguageTag) {
  int dates = 0;
  for (int r = 1; r <= book_.lastRow(); ++r)
    for (int c = 1; c <= book_.lastCol(); ++c) {
      const QString fmt = styleOf(book_, r, c).numFmt;
      if (!book_.workbook().numberFormat(fmt).isDate())
        continue;
      ++dates;
      EXPECT_TRUE(fmt.startsWith(QStringLiteral("[$-80A]"))) << (wb::cellName(r, c) + u' ' + fmt).toStdString();
    }
  EXPECT_GT(dates, 0);
}

TEST_P(ShippedTemplate, UsesFontsWithMetricCompatibleFaces) {
  const wb::Sheet& sh = book_.currentSheet();
  EXPECT_EQ(book_.workbook().defaultFont().name, QStringLiteral("Arial"));
  for (int r = 1; r <= book_.lastRow(); ++r)
    for (int c = 1; c <= book_.lastCol(); ++c)
      EXPECT_EQ(book_.workbook().styles.at(sh.styleAt(r, c)).font.name, QStringLiteral("Arial"));
}

INSTANTIATE_TEST_SUITE_P(Templates, ShippedTemplate, ::testing::ValuesIn(kShipped),
                         [](const auto& info) { return std::string("Parator") + char('1' + info.param.kind); });

// The build writes the templates with our own code only: run the generator with no program on the
// PATH (no spreadsheet program, nothing else) and get the very bytes the build wrote.
TEST(TemplateGenerator, NeedsNoOtherProgramAndWritesTheSameBytes) {
  QTemporaryDir out;
  ASSERT_TRUE(out.isValid());
  const QDir src(QStringLiteral(TORNAVO_SOURCE_DIR "/resources/templates"));
  QStringList args{out.path()};
  for (const Shipped& s : kShipped)
    args << src.filePath(QString::fromLatin1(s.file) + QStringLiteral(".txt"));
  QProcess tool;
  QProcessEnvironment env;
  env.insert(QStringLiteral("PATH"), QString());
  env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
  env.insert(QStringLiteral("ASAN_OPTIONS"), QStringLiteral("detect_leaks=0"));
  for (const char* keep : {"HOME", "XDG_RUNTIME_DIR", "TZ"})
    if (qEnvironmentVariableIsSet(keep))
      env.insert(QString::fromLatin1(keep), qEnvironmentVariable(keep));
  tool.setProcessEnvironment(env);
  tool.start(QStringLiteral(TORNAVO_TEMPLATES_TOOL), args);
  ASSERT_TRUE(tool.waitForFinished(60000));
  ASSERT_EQ(tool.exitCode(), 0) << tool.readAllStandardError().toStdString();
  for (const Shipped& s : kShipped) {
    QFile built(QDir(kBin).filePath(QString::fromLatin1(s.file)));
    QFile again(QDir(out.path()).filePath(QString::fromLatin1(s.file)));
    ASSERT_TRUE(built.open(QIODevice::ReadOnly) && again.open(QIODevice::ReadOnly)) << s.file;
    EXPECT_TRUE(built.readAll() == again.readAll()) << s.file << " differs from the build's";
  }
}

}  // namespace
