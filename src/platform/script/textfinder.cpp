#include "textfinder.h"

#include <algorithm>

namespace script {

namespace {

// Knuth-Morris-Pratt borders of a pattern read through at(i), i in 0 .. n-1.
template <typename At>
std::vector<int32_t> borders(qsizetype n, At at) {
  std::vector<int32_t> b(size_t(n), 0);
  int32_t k = 0;
  for (qsizetype i = 1; i < n; ++i) {
    while (k > 0 && at(i) != at(k)) k = b[size_t(k - 1)];
    if (at(i) == at(k)) ++k;
    b[size_t(i)] = k;
  }
  return b;
}

}  // namespace

TextFinder::TextFinder(QStringView sought, Qt::CaseSensitivity cs) : cs_(cs), fold_(cs == Qt::CaseInsensitive) {
  sought_.reserve(size_t(sought.size()));
  for (QChar c : sought) sought_.push_back(unit(c));
  border_ = borders(size(), [this](qsizetype i) { return sought_[size_t(i)]; });
}

qsizetype TextFinder::indexIn(QStringView text, qsizetype from) const {
  const qsizetype m = size();
  if (from < 0 || from > text.size()) return -1;
  if (m == 0) return from;
  if (m == 1) return text.indexOf(QChar(sought_[0]), from, cs_);  // the library's, linear for one unit
  int32_t k = 0;  // units of sought_ matched so far
  for (qsizetype i = from; i < text.size(); ++i) {
    const char16_t c = unit(text[i]);
    while (k > 0 && sought_[size_t(k)] != c) k = border_[size_t(k - 1)];
    if (sought_[size_t(k)] == c && ++k == m) return i - m + 1;
  }
  return -1;
}

qsizetype TextFinder::lastIndexIn(QStringView text, qsizetype from) const {
  const qsizetype m = size();
  if (from < 0 || from > text.size()) return -1;
  if (m == 0) return from;
  if (m == 1) return text.lastIndexOf(QChar(sought_[0]), from, cs_);
  if (borderBack_.empty()) borderBack_ = borders(m, [this, m](qsizetype i) { return sought_[size_t(m - 1 - i)]; });
  // Backwards from the last unit an occurrence starting at from could end with.
  int32_t k = 0;
  for (qsizetype i = std::min(from + m, text.size()) - 1; i >= 0; --i) {
    const char16_t c = unit(text[i]);
    while (k > 0 && sought_[size_t(m - 1 - k)] != c) k = borderBack_[size_t(k - 1)];
    if (sought_[size_t(m - 1 - k)] == c && ++k == m) return i;
  }
  return -1;
}

}  // namespace script
