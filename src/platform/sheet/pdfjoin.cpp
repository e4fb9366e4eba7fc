#include "pdfjoin.h"

#include <QDateTime>
#include <QRegularExpression>

#include <algorithm>
#include <map>

namespace wb::pdf {

namespace {

// One part read: its objects by number, with the bytes from "N 0 obj" up to the next object.
struct Part {
  std::map<int, QByteArray> objects;
  int root = 0, info = 0, pages = 0;  // object numbers
  int size = 0;                       // the cross-reference table's /Size
  int count = 0;                      // pages
};

int number(const QByteArray& text, const QByteArray& key) {
  static const QRegularExpression ref(QStringLiteral("\\s*(\\d+)\\s+0\\s+R"));
  const qsizetype at = text.indexOf(key);
  if (at < 0)
    return 0;
  const QRegularExpressionMatch m = ref.match(QString::fromLatin1(text.mid(at + key.size(), 24)));
  return m.hasMatch() && m.capturedStart() == 0 ? m.captured(1).toInt() : 0;
}

// The part's dictionary text, before its stream if it has one.
qsizetype dictionaryEnd(const QByteArray& object) {
  const qsizetype s = object.indexOf(">>\nstream\n");
  return s < 0 ? object.size() : s + 2;
}

std::optional<Part> read(const QByteArray& d) {
  Part p;
  const qsizetype sx = d.lastIndexOf("startxref");
  if (sx < 0)
    return std::nullopt;
  bool ok = false;
  const qsizetype xref = d.mid(sx + 9, 24).trimmed().split('\n').value(0).trimmed().toLongLong(&ok);
  if (!ok || xref <= 0 || xref >= d.size() || !d.mid(xref).startsWith("xref"))
    return std::nullopt;
  const qsizetype trailer = d.indexOf("trailer", xref);
  if (trailer < 0)
    return std::nullopt;
  const QByteArray tail = d.mid(trailer);
  p.root = number(tail, "/Root");
  p.info = number(tail, "/Info");
  static const QRegularExpression sizeKey(QStringLiteral("/Size\\s+(\\d+)"));
  const QRegularExpressionMatch sm = sizeKey.match(QString::fromLatin1(tail));
  if (!sm.hasMatch() || p.root == 0)
    return std::nullopt;
  p.size = sm.captured(1).toInt();

  // Entries "oooooooooo ggggg n" after the line "0 Size".
  const QList<QByteArray> lines = d.mid(xref, trailer - xref).split('\n');
  std::vector<std::pair<qsizetype, int>> offsets;  // offset, object
  int obj = 0;
  for (qsizetype i = 1; i < lines.size(); ++i) {
    const QByteArray l = lines[i].trimmed();
    if (l.isEmpty())
      continue;
    const QList<QByteArray> f = l.split(' ');
    if (f.size() == 2) {  // a subsection "first count"
      obj = f[0].toInt();
      continue;
    }
    if (f.size() >= 3 && f[2] == "n")
      offsets.emplace_back(f[0].toLongLong(), obj);
    ++obj;
  }
  std::sort(offsets.begin(), offsets.end());
  for (size_t i = 0; i < offsets.size(); ++i) {
    const qsizetype from = offsets[i].first;
    const qsizetype to = i + 1 < offsets.size() ? offsets[i + 1].first : xref;
    QByteArray o = d.mid(from, to - from);
    const qsizetype end = o.lastIndexOf("endobj");
    if (end < 0 || !o.startsWith(QByteArray::number(offsets[i].second) + " 0 obj"))
      return std::nullopt;
    o.truncate(end + 6);
    p.objects[offsets[i].second] = o;
  }
  const auto catalog = p.objects.find(p.root);
  if (catalog == p.objects.end())
    return std::nullopt;
  p.pages = number(catalog->second, "/Pages");
  const auto pages = p.objects.find(p.pages);
  if (pages == p.objects.end())
    return std::nullopt;
  static const QRegularExpression countKey(QStringLiteral("/Count\\s+(\\d+)"));
  const QRegularExpressionMatch cm = countKey.match(QString::fromLatin1(pages->second));
  if (!cm.hasMatch())
    return std::nullopt;
  p.count = cm.captured(1).toInt();
  return p;
}

// The object with every reference "N 0 R" of its dictionary moved by `base`, under its new number.
QByteArray renumbered(const QByteArray& object, int newNumber, int base) {
  static const QRegularExpression ref(QStringLiteral("(\\d+)(\\s+0\\s+R)"));
  const qsizetype dictEnd = dictionaryEnd(object);
  const qsizetype headerEnd = object.indexOf(" 0 obj");
  QString dict = QString::fromLatin1(object.mid(headerEnd, dictEnd - headerEnd));
  QString out;
  qsizetype last = 0;
  for (auto it = ref.globalMatch(dict); it.hasNext();) {
    const QRegularExpressionMatch m = it.next();
    out += QStringView(dict).mid(last, m.capturedStart() - last);
    out += QString::number(m.captured(1).toInt() + base) + m.captured(2);
    last = m.capturedEnd();
  }
  out += QStringView(dict).mid(last);
  return QByteArray::number(newNumber) + out.toLatin1() + object.mid(dictEnd);
}

// A PDF text string: UTF-16 with its byte-order mark, the delimiters escaped.
QByteArray textString(const QString& s) {
  QByteArray b("\xFE\xFF");
  for (const QChar c : s) {
    b += char(c.unicode() >> 8);
    b += char(c.unicode() & 0xFF);
  }
  QByteArray out("(");
  for (const char c : b) {
    if (c == '(' || c == ')' || c == '\\')
      out += '\\';
    out += c;
  }
  return out + ')';
}

}  // namespace

std::optional<QByteArray> join(const std::vector<QByteArray>& documents, const QString& title, const QString& creator) {
  std::vector<Part> parts;
  for (const QByteArray& d : documents) {
    std::optional<Part> p = read(d);
    if (!p)
      return std::nullopt;
    parts.push_back(std::move(*p));
  }
  // Objects 1, 2 and 3 are the new information, catalogue and root of the pages; each part's objects
  // follow, moved past those of the parts before it.
  QByteArray out("%PDF-1.4\n%\xE2\xE3\xCF\xD3\n");
  std::vector<qsizetype> offsets(4, 0);
  const auto begin = [&](int n) {
    if (int(offsets.size()) <= n)
      offsets.resize(size_t(n) + 1, 0);
    offsets[size_t(n)] = out.size();
  };
  begin(1);
  out += "1 0 obj\n<<\n/Title " + textString(title) + "\n/Creator " + textString(creator) + "\n/Producer " +
         textString(QStringLiteral("Qt")) + "\n/CreationDate (D:" +
         QDateTime::currentDateTimeUtc().toString(QStringLiteral("yyyyMMddhhmmss")).toLatin1() + "Z)\n>>\nendobj\n";
  begin(2);
  out += "2 0 obj\n<<\n/Type /Catalog\n/Pages 3 0 R\n>>\nendobj\n";
  int base = 3, total = 0;
  QByteArray kids;
  for (const Part& p : parts) {
    for (const auto& [n, object] : p.objects) {
      const int moved = n + base;
      begin(moved);
      if (n == p.root || n == p.info) {
        out += QByteArray::number(moved) + " 0 obj\nnull\nendobj\n";
        continue;
      }
      QByteArray o = renumbered(object, moved, base);
      if (n == p.pages)
        o.replace("/Type /Pages", "/Type /Pages\n/Parent 3 0 R");
      out += o + '\n';
    }
    kids += QByteArray::number(p.pages + base) + " 0 R\n";
    total += p.count;
    base += std::max(p.size, p.objects.empty() ? 1 : p.objects.rbegin()->first + 1);
  }
  begin(3);
  out += "3 0 obj\n<<\n/Type /Pages\n/Kids\n[\n" + kids + "]\n/Count " + QByteArray::number(total) + "\n>>\nendobj\n";
  const qsizetype xref = out.size();
  const int size = std::max(int(offsets.size()), base);
  offsets.resize(size_t(size), 0);
  out += "xref\n0 " + QByteArray::number(size) + "\n0000000000 65535 f \n";
  for (int n = 1; n < size; ++n) {
    if (offsets[size_t(n)] > 0)
      out += QByteArray::number(offsets[size_t(n)]).rightJustified(10, '0') + " 00000 n \n";
    else
      out += "0000000000 65535 f \n";
  }
  out += "trailer\n<<\n/Size " + QByteArray::number(size) + "\n/Info 1 0 R\n/Root 2 0 R\n>>\nstartxref\n" +
         QByteArray::number(xref) + "\n%%EOF\n";
  return out;
}

int pageCount(const QByteArray& document) {
  const std::optional<Part> p = read(document);
  return p ? p->count : -1;
}

}  // namespace wb::pdf
