#pragma once
// Cell styles: font, fill pattern, borders, alignment and number format, kept once per workbook in a
// StylePool and referred to by index. Setters build a changed copy and intern it, so 150 000 styled
// cells share a few dozen styles and comparing two cells' looks is an int compare.
#include <QHash>
#include <QString>
#include <vector>

namespace wb {

// 0x00RRGGBB, as the report code passes colours (0 black, 0xFFFFFF white).
using Rgb = quint32;
// Passed to a setter for "leave this colour as it is".
inline constexpr Rgb kKeepColor = 0xFFFFFFFFu;

enum class HAlign : quint8 { General = 1, Left, Center, Right, Fill, Justify, CenterAcross, Distributed };
enum class VAlign : quint8 { Top = 1, Center, Bottom, Justify, Distributed };
// The .xlsx border styles in their file order, so that Thin is 1 as the report code writes it.
enum class LineStyle : quint8 {
  None = 0, Thin, Medium, Dashed, Dotted, Thick, Double, Hair,
  MediumDashed, DashDot, MediumDashDot, DashDotDot, MediumDashDotDot, SlantDashDot
};
enum class Underline : quint8 { None, Single, Double, SingleAccounting, DoubleAccounting };

struct Font {
  QString name = QStringLiteral("Arial");
  int sizeTwips = 200;  // 1/20 point
  bool bold = false, italic = false, strike = false, outline = false, shadow = false;
  Underline underline = Underline::None;
  Rgb color = 0;
  bool operator==(const Font&) const = default;
};

// Pattern 0 is no fill, 1 solid (in fg), 2..18 the .xlsx pattern list in this order: mediumGray,
// darkGray, lightGray, darkHorizontal, darkVertical, darkDown, darkUp, darkGrid, darkTrellis,
// lightHorizontal, lightVertical, lightDown, lightUp, lightGrid, lightTrellis, gray125, gray0625.
struct Fill {
  int pattern = 0;
  Rgb fg = 0, bg = 0xFFFFFF;
  bool operator==(const Fill&) const = default;
};

struct Edge {
  LineStyle style = LineStyle::None;
  Rgb color = 0;
  bool operator==(const Edge&) const = default;
};

struct CellStyle {
  Font font;
  Fill fill;
  Edge left, right, top, bottom;
  bool shade = false;  // the border group's shade flag; kept in memory only (.xlsx has no such thing)
  HAlign h = HAlign::General;
  VAlign v = VAlign::Bottom;
  bool wrap = false;
  int rotation = 0;  // .xlsx textRotation: 0-90 up, 91-180 down (90 + degrees), 255 stacked letters
  int indent = 0;
  QString numFmt = QStringLiteral("General");
  bool operator==(const CellStyle&) const = default;
};

size_t qHash(const CellStyle& s, size_t seed = 0) noexcept;

// Interned styles. Index 0 is the workbook's default style (its font is the default font).
class StylePool {
public:
  StylePool();
  int intern(const CellStyle& s);
  const CellStyle& at(int index) const { return styles_[index]; }
  int size() const { return int(styles_.size()); }
  // Replaces the default style (index 0), as a file read sets it; other indexes are unchanged.
  void setDefault(const CellStyle& s);

private:
  std::vector<CellStyle> styles_;
  QHash<CellStyle, int> index_;
};

}  // namespace wb
