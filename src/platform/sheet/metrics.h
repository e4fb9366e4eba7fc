#pragma once
// Text measurement shared by auto-fit, the sheet view, printing and PDF, so that a row is as tall on
// paper as the program measured it. All lengths are twips (1/1440 inch; 15 twips = one 96-dpi pixel).
//
// How a cell's text is laid out (the renderer must do the same):
//  - the font is metrics::qfont(font), drawn on a painter scaled so one logical unit is one twip;
//  - the text area is the column width less kCellPadTwips on each side (and the indent);
//  - a wrapped cell breaks its text into metrics::wrapLines(); an unwrapped cell is one line (line
//    breaks in its text are not honoured, as in spreadsheets);
//  - line i has its top at row top + i * lineTwips and its baseline ascentTwips below that top,
//    lines are stacked from the top, centre or bottom of the row as the cell aligns them.
#include "style.h"

#include <QFont>
#include <QString>
#include <QStringList>

namespace wb::metrics {

inline constexpr int kTwipsPerPixel = 15;  // at 96 dpi
inline constexpr int kCellPadTwips = 30;   // 2 px each side of the text

struct LineGeometry {
  int lineTwips;    // height of one line of text in a row, a whole number of pixels
  int ascentTwips;  // from the line's top to its baseline
};

QFont qfont(const Font& f);                         // family, point size, weight, style, no hinting
LineGeometry line(const Font& f);
double textWidth(const Font& f, const QString& s);  // advance of the text on one line
// The lines a wrapped cell shows in a text area `width` twips wide: broken at blanks, a word longer
// than the width broken between letters; "\n" (and "\r\n") start a new line.
QStringList wrapLines(const Font& f, const QString& text, double width);

// The indent of a cell's text: three digits of its font a step.
double indentTwips(const CellStyle& s);

// Height of a row holding this text in this style in a column `colWidth` twips wide (one cell).
int cellHeight(const CellStyle& s, const QString& text, int colWidth);

// .xlsx column widths are counted in characters of the default font's widest digit (in whole pixels).
int maxDigitWidthPx(const Font& defaultFont);
// How much wider than here a column may print in another spreadsheet program: some take a character
// of the width as the digit's whole pixels, as this program does, others as the digit's exact
// advance. 1 or more; what fits across a page in both is what fits here at widths this much larger.
double colWidthSpread(const Font& defaultFont);
int charsToTwips(double chars, int mdwPx);  // whole pixels, as spreadsheets show them
double twipsToChars(int twips, int mdwPx);  // the width to store so that charsToTwips gives it back

}  // namespace wb::metrics
