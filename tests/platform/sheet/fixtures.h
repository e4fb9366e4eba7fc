#pragma once
// Workbooks for the tests, written by an independent producer (libxlsxwriter), and zip surgery.
#include <QByteArray>
#include <QString>

namespace fixtures {

QByteArray pngBytes(int w, int h);  // a small picture

// A workbook with two sheets covering what the reader must understand (see the test that reads it);
// the second has a data validation and a chart, which the model does not interpret.
void writeRichWorkbook(const QString& path);

QByteArray zipPart(const QString& zipPath, const QString& part);  // "" when missing
void zipPut(const QString& zipPath, const QString& part, const QByteArray& data);  // add or replace
void zipDelete(const QString& zipPath, const QString& part);

}  // namespace fixtures
