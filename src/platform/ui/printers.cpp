#include "printers.h"

#include <QPrinterInfo>

namespace ui {

namespace {

std::optional<QStringList>& overridden() {
  static std::optional<QStringList> names;
  return names;
}

}  // namespace

QString pdfPrinterName() { return QStringLiteral("Archivo PDF"); }

bool isPdfPrinter(const QString& name) { return name == pdfPrinterName(); }

QStringList printerNames() {
  if (overridden()) return *overridden();
  QStringList names;
  const QString def = QPrinterInfo::defaultPrinterName();
  if (!def.isEmpty()) names << def;
  for (const QString& n : QPrinterInfo::availablePrinterNames())
    if (n != def) names << n;
  names << pdfPrinterName();
  return names;
}

QString defaultPrinterName() {
  if (!overridden()) {
    const QString def = QPrinterInfo::defaultPrinterName();
    if (!def.isEmpty()) return def;
  }
  const QStringList names = printerNames();
  return names.isEmpty() ? QString() : names.first();
}

bool HayImpresora() { return !printerNames().isEmpty(); }

void overridePrinterList(std::optional<QStringList> names) { overridden() = std::move(names); }

}  // namespace ui
