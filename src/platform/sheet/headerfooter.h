#pragma once
// Print header and footer texts with their &-codes, turned into what a page shows:
//   &L &C &R  left, centre and right sections (text before any of them is centred)
//   &P &N     page number and number of pages (&P+n, &P-n add to the page number)
//   &D &T     date (dd/mm/yyyy) and time (hh:mm);  &F &Z &A  file name, its folder, sheet name
//   &B &I &U &E &S  bold, italic, underline, double underline, strike-through (each toggles)
//   &"font,style"  font name and style ("Bold", "Italic", "Negrita", "Cursiva", "Regular", ...)
//   &nn  font size in points;  &KRRGGBB  colour;  &&  an ampersand;  &G &X &Y &O &H  ignored
// Formatting starts afresh in each section.
#include "style.h"

#include <QDateTime>
#include <QString>
#include <vector>

namespace wb {

struct HeaderFooterRun {
  QString text;
  QString fontName;     // "" = the sheet's default font
  int sizePoints = 0;   // 0 = the default size
  bool bold = false, italic = false, underline = false, doubleUnderline = false, strike = false;
  Rgb color = 0;
  bool operator==(const HeaderFooterRun&) const = default;
};

struct HeaderFooterText {
  std::vector<HeaderFooterRun> left, center, right;
  bool isEmpty() const { return left.empty() && center.empty() && right.empty(); }
};

struct HeaderFooterFields {
  int page = 1, pages = 1;
  QDateTime now;
  QString fileName, folder, sheetName;
};

HeaderFooterText layoutHeaderFooter(const QString& code, const HeaderFooterFields& fields);

}  // namespace wb
