#pragma once
// Finding one text in another in time linear in both lengths, with or without regard to letter case
// (each UTF-16 unit case-folded). The library's own search can take time proportional to the product
// of the lengths ("aaa…a" searched for "baa…a"), which one built-in call must not.
#include <QString>
#include <QStringView>

#include <vector>

namespace script {

class TextFinder {
public:
  TextFinder(QStringView sought, Qt::CaseSensitivity cs);

  qsizetype size() const { return qsizetype(sought_.size()); }
  // The first occurrence that starts at or after from; -1 when none. An empty text is found at from.
  qsizetype indexIn(QStringView text, qsizetype from = 0) const;
  // The last occurrence that starts at or before from; -1 when none. An empty text is found at from.
  qsizetype lastIndexIn(QStringView text, qsizetype from) const;

private:
  char16_t unit(QChar c) const {
    return fold_ ? char16_t(QChar::toCaseFolded(char32_t(c.unicode()))) : c.unicode();
  }

  Qt::CaseSensitivity cs_;
  bool fold_;
  std::u16string sought_;            // case-folded unless the case matters
  std::vector<int32_t> border_;      // per prefix of sought_: its longest proper prefix that ends it
  mutable std::vector<int32_t> borderBack_;  // the same of sought_ read backwards, made on first use
};

}  // namespace script
