#include "gridlayout.h"

#include "error.h"
#include "files.h"

#include <QFile>
#include <QStringList>
#include <algorithm>

namespace ui {

namespace {

constexpr int kMaxWidth = 1'000'000;   // twips; anything wider is damage
constexpr qint64 kMaxFileSize = 4 * 1024 * 1024;

struct Section {
  QString name;
  QStringList lines;   // as read, kept for the layouts we do not touch
};

std::optional<std::vector<Section>> readSections(const QString& file) {
  QFile f(file);
  if (!f.open(QIODevice::ReadOnly)) return std::nullopt;
  if (f.size() > kMaxFileSize) return std::nullopt;
  const QString text = QString::fromUtf8(f.readAll());
  std::vector<Section> out;
  for (QString line : text.split(u'\n')) {
    if (line.endsWith(u'\r')) line.chop(1);
    if (line.startsWith(u'[') && line.endsWith(u']') && line.size() >= 2) {
      out.push_back({line.mid(1, line.size() - 2), {}});
    } else if (!out.empty() && !line.trimmed().isEmpty()) {
      out.back().lines << line;
    }
  }
  return out;
}

std::optional<ColumnLayout> parseColumn(const QString& line) {
  const QStringList f = line.split(u'\t');
  if (f.size() != 4) return std::nullopt;
  ColumnLayout c;
  if (f[0] == u"field") c.bound = true;
  else if (f[0] == u"caption") c.bound = false;
  else return std::nullopt;
  c.name = f[1];
  // A damaged width still leaves the column's visibility: the grid keeps its designed width.
  bool ok = false;
  c.width = f[2].toInt(&ok);
  if (!ok || c.width < 0 || c.width > kMaxWidth) c.width = 0;
  if (f[3] == u"1") c.visible = true;
  else if (f[3] == u"0") c.visible = false;
  else return std::nullopt;
  if (c.name.isEmpty() && c.bound) return std::nullopt;
  return c;
}

// Names never hold line ends or tabs; a caption that did would break its line.
QString clean(QString s) {
  for (QChar& ch : s)
    if (ch == u'\t' || ch == u'\n' || ch == u'\r') ch = u' ';
  return s;
}

}  // namespace

std::optional<GridLayout> readGridLayout(const QString& file, const QString& name) {
  const auto sections = readSections(file);
  if (!sections) return std::nullopt;
  for (const Section& s : *sections) {
    if (s.name.compare(name, Qt::CaseInsensitive) != 0) continue;
    GridLayout layout;
    for (const QString& line : s.lines)
      if (auto c = parseColumn(line)) layout.push_back(*c);
    return layout;
  }
  return std::nullopt;
}

bool writeGridLayout(const QString& file, const QString& name, const GridLayout& layout) {
  // A file that cannot be read (missing, damaged beyond reading) starts over with this layout.
  std::vector<Section> sections = readSections(file).value_or(std::vector<Section>{});
  QStringList lines;
  for (const ColumnLayout& c : layout)
    lines << QStringLiteral("%1\t%2\t%3\t%4")
                 .arg(c.bound ? QStringLiteral("field") : QStringLiteral("caption"), clean(c.name))
                 .arg(std::clamp(c.width, 0, kMaxWidth))
                 .arg(c.visible ? 1 : 0);
  bool replaced = false;
  for (auto it = sections.begin(); it != sections.end();) {
    if (it->name.compare(name, Qt::CaseInsensitive) != 0) {
      ++it;
    } else if (!replaced) {
      *it = {clean(name), lines};
      replaced = true;
      ++it;
    } else {
      it = sections.erase(it);   // a second copy of the same name
    }
  }
  if (!replaced) sections.push_back({clean(name), lines});

  QString text;
  for (const Section& s : sections) {
    text += u'[' + s.name + QStringLiteral("]\n");
    for (const QString& l : s.lines) text += l + u'\n';
  }
  try {
    files::write(file, text.toUtf8());
    return true;
  } catch (const vb::Error&) {
    return false;
  }
}

}  // namespace ui
