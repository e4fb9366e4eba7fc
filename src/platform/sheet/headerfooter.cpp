#include "headerfooter.h"

namespace wb {

HeaderFooterText layoutHeaderFooter(const QString& code, const HeaderFooterFields& f) {
  HeaderFooterText out;
  std::vector<HeaderFooterRun>* section = &out.center;
  HeaderFooterRun fmt;  // the formatting in force
  QString pending;
  auto flush = [&] {
    if (pending.isEmpty())
      return;
    HeaderFooterRun r = fmt;
    r.text = pending;
    if (!section->empty()) {
      HeaderFooterRun last = section->back();
      last.text.clear();
      r.text.clear();
      if (last == r) {  // same look: one run
        section->back().text += pending;
        pending.clear();
        return;
      }
      r.text = pending;
    }
    section->push_back(r);
    pending.clear();
  };
  auto change = [&](auto&& apply) {
    flush();
    apply();
  };
  const qsizetype n = code.size();
  for (qsizetype i = 0; i < n; ++i) {
    const QChar c = code[i];
    if (c != u'&' || i + 1 >= n) {
      pending += c;
      continue;
    }
    const QChar k = code[++i];
    switch (k.toUpper().unicode()) {
    case '&': pending += u'&'; break;
    case 'L':
    case 'C':
    case 'R':
      flush();
      section = k.toUpper() == u'L' ? &out.left : k.toUpper() == u'C' ? &out.center : &out.right;
      fmt = HeaderFooterRun{};
      break;
    case 'P':
    case 'N': {
      long long v = k.toUpper() == u'P' ? f.page : f.pages;
      if (k.toUpper() == u'P' && i + 2 < n && (code[i + 1] == u'+' || code[i + 1] == u'-') && code[i + 2].isDigit()) {
        const bool plus = code[i + 1] == u'+';
        qsizetype j = i + 2;
        long long d = 0;
        while (j < n && code[j].isDigit() && d < 100000)
          d = d * 10 + code[j++].digitValue();
        v += plus ? d : -d;
        i = j - 1;
      }
      pending += QString::number(v);
      break;
    }
    case 'D': pending += f.now.date().toString(QStringLiteral("dd/MM/yyyy")); break;
    case 'T': pending += f.now.time().toString(QStringLiteral("HH:mm")); break;
    case 'F': pending += f.fileName; break;
    case 'Z': pending += f.folder; break;
    case 'A': pending += f.sheetName; break;
    case 'B': change([&] { fmt.bold = !fmt.bold; }); break;
    case 'I': change([&] { fmt.italic = !fmt.italic; }); break;
    case 'U': change([&] { fmt.underline = !fmt.underline; }); break;
    case 'E': change([&] { fmt.doubleUnderline = !fmt.doubleUnderline; }); break;
    case 'S': change([&] { fmt.strike = !fmt.strike; }); break;
    case '"': {
      const qsizetype end = code.indexOf(u'"', i + 1);
      const QString fuente = code.mid(i + 1, (end < 0 ? n : end) - i - 1);
      i = end < 0 ? n : end;
      change([&] {
        const qsizetype comma = fuente.indexOf(u',');
        const QString name = (comma < 0 ? fuente : fuente.left(comma)).trimmed();
        if (!name.isEmpty() && name != u'-')
          fmt.fontName = name;
        if (comma >= 0) {
          const QString style = fuente.mid(comma + 1).toLower();
          fmt.bold = style.contains(QLatin1String("bold")) || style.contains(QLatin1String("negrita"));
          fmt.italic = style.contains(QLatin1String("italic")) || style.contains(QLatin1String("cursiva")) ||
                       style.contains(QLatin1String("oblique"));
        }
      });
      break;
    }
    case 'K': {
      if (i + 6 < n) {
        bool ok = false;
        const Rgb rgb = code.mid(i + 1, 6).toUInt(&ok, 16);
        if (ok) {
          change([&] { fmt.color = rgb; });
          i += 6;
        }
      }
      break;
    }
    default:
      if (k.isDigit()) {
        qsizetype j = i;
        int size = 0;
        while (j < n && code[j].isDigit() && size < 1000)
          size = size * 10 + code[j++].digitValue();
        i = j - 1;
        change([&] { fmt.sizePoints = std::clamp(size, 1, 409); });
      }
      // &G (picture), &X/&Y (super/subscript), &O/&H (outline, shadow): nothing to draw
      break;
    }
  }
  flush();
  return out;
}

}  // namespace wb
