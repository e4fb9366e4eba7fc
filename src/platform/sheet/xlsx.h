#pragma once
// .xlsx (Office Open XML workbook) reading and writing, our own code on libzip and pugixml.
//
// Read: sheets and their order, names, the active sheet; values (numbers, shared, inline and rich
// strings flattened, Booleans, errors, dates), formulas as text with their cached values (shared
// formulas expanded); styles (number formats with the built-in ids, fonts, fills, borders, alignment;
// theme, indexed and rgb colours resolved to RGB); column widths, row heights, hidden rows and columns,
// row and column formats; merged cells; pictures and shapes with their one-cell, two-cell or absolute
// anchors; page set-up, margins, print options, header and footer, manual breaks; print area and print
// titles from the defined names; grid-line and heading view switches.
// Everything else is carried through a read-write unchanged: parts we do not interpret (theme, document
// properties, comments, charts, custom parts, ...) byte for byte with their content types and
// relationships, and the sheet and workbook XML elements we do not model (conditional formats, data
// validation, hyperlinks, protection, ...) as their XML.
//
// Errors: vb::Error 20011 for any file that cannot be read (missing, not a zip, a legacy .xls or an
// encrypted workbook, a missing part, malformed XML, values out of range); 20102 when writing fails.
#include "error.h"

#include <QString>

namespace wb {

class Workbook;

void readXlsx(const QString& path, Workbook& into);
// Written by the one writer of files (files.h): beside the file, put in its place whole; with a
// backup name, the file as it was stays under it.
void writeXlsx(const QString& path, const Workbook& wb, const QString& backup = {});

// 20102 "No se puede escribir el archivo "<name>": <why>", for every file the workbook layer writes.
vb::Error cannotWrite(const QString& path, const QString& why = {});

}  // namespace wb
