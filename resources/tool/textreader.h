#pragma once
// Line-by-line reading of the resource texts: comments and blank lines skipped, Windows line ends
// accepted, and errors that name the file and the line.
#include <QString>
#include <QStringList>
#include <stdexcept>

namespace resources {

class TextReader {
public:
  TextReader(const QString& text, const QString& origin)
      : lines_(text.split(QLatin1Char('\n'))), origin_(origin) {}

  // Moves to the next line; with `skipComments`, blank lines and lines starting with "#" are passed
  // over. False at the end of the text.
  bool next(bool skipComments = true) {
    while (++index_ < lines_.size()) {
      raw_ = lines_[index_];
      if (raw_.endsWith(QLatin1Char('\r'))) raw_.chop(1);
      line_ = raw_.trimmed();
      if (!skipComments || !(line_.isEmpty() || line_.startsWith(QLatin1Char('#')))) return true;
    }
    return false;
  }

  const QString& line() const { return line_; }  // without surrounding blanks
  bool indented() const { return !raw_.isEmpty() && raw_.front().isSpace(); }
  int lineNumber() const { return int(index_) + 1; }

  [[noreturn]] void fail(const QString& message) const { failAt(lineNumber(), message); }
  [[noreturn]] void failAt(int line, const QString& message) const {
    throw std::runtime_error(QStringLiteral("%1:%2: %3").arg(origin_).arg(line).arg(message).toStdString());
  }

private:
  QStringList lines_;
  QString origin_;
  qsizetype index_ = -1;
  QString raw_, line_;
};

}  // namespace resources
