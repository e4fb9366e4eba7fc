#pragma once
// The spreadsheet number-format language ("#,##0.00", "0.00##", "$#,##0.00;(#,##0.00)", "dd/mmm/yyyy",
// "[Red]", "@", "General", ...), in Mexican Spanish conventions. One formatter serves VB Format and the
// workbook layer. A code is parsed once; formatting never throws.
#include <QString>
#include <memory>

namespace vb {

class NumberFormat {
public:
  explicit NumberFormat(const QString& code = QStringLiteral("General"));
  ~NumberFormat();
  NumberFormat(const NumberFormat&);
  NumberFormat& operator=(const NumberFormat&);

  const QString& code() const;
  static QString builtinCode(int id);      // .xlsx built-in ids 0-49 (14 is "dd/mm/yyyy"); "" when unknown
  bool isDate() const;                     // the section used for positive numbers shows a date or a time
  bool isText() const;                     // "@"

  QString format(double value) const;      // the text shown for a number
  QString formatText(const QString& text) const;  // the text section applied to a text value
  QString color(double value) const;       // "[Red]"-style colour of the section used, lower case; "" for none

private:
  struct Impl;
  std::shared_ptr<const Impl> d_;
};

}  // namespace vb
