#include "xlsxcommon.h"

#include <QStringList>

namespace wb::xlsx {

QString resolvePart(const QString& source, const QString& target) {
  QStringList parts;
  if (!target.startsWith(u'/')) {
    parts = source.split(u'/');
    parts.removeLast();  // the source's own file name
  }
  for (const QString& p : target.split(u'/', Qt::SkipEmptyParts)) {
    if (p == QLatin1String("."))
      continue;
    if (p == QLatin1String("..")) {
      if (!parts.isEmpty())
        parts.removeLast();
      continue;
    }
    parts << p;
  }
  QString out = parts.join(u'/');
  out.replace(QLatin1String("%20"), QLatin1String(" "));
  return out;
}

QString relativePart(const QString& source, const QString& target) {
  QStringList from = source.split(u'/');
  from.removeLast();
  const QStringList to = target.split(u'/');
  qsizetype common = 0;
  while (common < from.size() && common < to.size() - 1 && from[common] == to[common])
    ++common;
  QStringList out;
  for (qsizetype i = common; i < from.size(); ++i)
    out << QStringLiteral("..");
  for (qsizetype i = common; i < to.size(); ++i)
    out << to[i];
  return out.join(u'/');
}

QString relsPartOf(const QString& part) {
  const qsizetype slash = part.lastIndexOf(u'/');
  return part.left(slash + 1) + QStringLiteral("_rels/") + part.mid(slash + 1) + QStringLiteral(".rels");
}

namespace {
bool isHex(QChar c) { return (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'F') || (c >= u'a' && c <= u'f'); }
bool isXEscape(const QString& s, qsizetype i) {
  if (i + 7 > s.size() || s[i] != u'_' || s[i + 1] != u'x' || s[i + 6] != u'_')
    return false;
  for (int k = 2; k < 6; ++k)
    if (!isHex(s[i + k]))
      return false;
  return true;
}
}  // namespace

QString decodeXString(const QString& s) {
  if (!s.contains(QLatin1String("_x")))
    return s;
  QString out;
  out.reserve(s.size());
  for (qsizetype i = 0; i < s.size();) {
    if (isXEscape(s, i)) {
      out += QChar(char16_t(s.mid(i + 2, 4).toUShort(nullptr, 16)));
      i += 7;
    } else {
      out += s[i++];
    }
  }
  return out;
}

QString encodeXString(const QString& s) {
  bool needed = false;
  for (qsizetype i = 0; i < s.size() && !needed; ++i) {
    const char16_t c = s[i].unicode();
    needed = (c < 0x20 && c != 9 && c != 10 && c != 13) || c == 0xFFFE || c == 0xFFFF || isXEscape(s, i);
  }
  if (!needed)
    return s;
  QString out;
  for (qsizetype i = 0; i < s.size(); ++i) {
    const char16_t c = s[i].unicode();
    if ((c < 0x20 && c != 9 && c != 10 && c != 13) || c == 0xFFFE || c == 0xFFFF || isXEscape(s, i))
      out += QStringLiteral("_x%1_").arg(int(c), 4, 16, QLatin1Char('0')).toUpper().replace(QLatin1String("_X"),
                                                                                              QLatin1String("_x"));
    else
      out += s[i];
  }
  return out;
}

}  // namespace wb::xlsx
