#pragma once
// The printer list. Printing to a PDF file counts as an installed printer, so that preview and PDF
// output work on a machine without a print queue; the system's queues come first.
#include <QString>
#include <QStringList>
#include <optional>

namespace ui {

// The name under which printing to a PDF file is listed.
QString pdfPrinterName();
bool isPdfPrinter(const QString& name);

// The installed printers: the system's print queues (the default one first), then the PDF file.
QStringList printerNames();
// The printer used when none is chosen: the system's default queue, else the first in the list, else "".
QString defaultPrinterName();
// True when at least one printer is installed.
bool HayImpresora();

// Tests replace the list: an empty list is a machine with no printer at all (not even the PDF file);
// std::nullopt brings back the real list.
void overridePrinterList(std::optional<QStringList> names);

}  // namespace ui
