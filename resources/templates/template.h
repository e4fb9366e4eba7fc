#pragma once
// The report template workbooks ("Parator1.kor".."Parator5.kor") are described as text in this
// folder (the format is in README.md) and built here into our workbook model, to be written as .xlsx
// by the build.
#include "book.h"

#include <QByteArray>
#include <QString>
#include <memory>
#include <stdexcept>

namespace templates {

// A description that cannot be built; what() reads "<file>:<line>: <what is wrong>".
class DescriptionError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

struct Template {
  QString fileName;  // the workbook's file name (WORKBOOK line), e.g. "Parator1.kor"
  std::unique_ptr<wb::Book> book;
};

// Builds the workbook of a description file. INCLUDE paths are relative to the file's folder.
Template buildFile(const QString& path);
// The same from text in memory; `name` is used in messages, `folder` for INCLUDE.
Template build(const QString& text, const QString& name, const QString& folder);

// Writes the workbook into `folder` under its file name.
void write(const Template& t, const QString& folder);

// The logo picture the templates carry ("PICTURE logo"): a plain mark of our own, as PNG.
QByteArray logoPng();

}  // namespace templates
