#pragma once
// Sheets to print and show, built through wb::Book as the report code builds them.
#include "book.h"

namespace samples {

// A bid budget as printed: a logo, a merged and centred title, column headings with a fill and borders,
// `rows` concepts with wrapped descriptions and amounts, print titles repeating the headings, a manual
// break, gridlines off, header and footer "Página &P de &N".
void budget(wb::Book& b, int rows);

// Rows 1..`rows`, each `height` twips tall, column A numbered; margins of 1 inch all round, no header.
void plainRows(wb::Book& b, int rows, int height);

// A logo picture: a blue frame with a diagonal.
QByteArray logoPng();

}  // namespace samples
