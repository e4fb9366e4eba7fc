#pragma once
// The run-time error every layer throws: a number, as the callers branch on it, and a Spanish description.
#include <QString>
#include <exception>
#include <string>

namespace vb {

class Error : public std::exception {
public:
  Error(int number, QString description);
  explicit Error(int number);  // the standard description of a VB run-time error number

  int number() const noexcept { return number_; }
  const QString& description() const noexcept { return description_; }
  const char* what() const noexcept override { return what_.c_str(); }

  // Spanish text of the VB run-time errors this program meets (5, 6, 9, 11, 13, 53, 70, 94, 438, 457, ...);
  // empty if unknown.
  static QString standardDescription(int number);

private:
  int number_;
  QString description_;
  std::string what_;
};

}  // namespace vb
