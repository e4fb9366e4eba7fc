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

// A report paged by the program as the report engine pages it: on each page a copied title block
// with its logo, concept rows measured by auto-fit until the page budget (paper height less the
// margins, the title and footer heights and 700 twips of slack) is spent, a filler row and a footer
// with the page's total; a manual break above every title block but the first. `paperHeight` is the
// printer's page height in twips. Returns the number of report pages.
int pagedReport(wb::Book& b, int concepts, double paperHeight);

// A logo picture: a blue frame with a diagonal.
QByteArray logoPng();

}  // namespace samples
