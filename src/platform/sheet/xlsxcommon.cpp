#include "xlsxcommon.h"

#include <QFileInfo>
#include <QStringList>

#include <pugixml.hpp>
#include <zip.h>

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

QString zipCause(int zipError) {
  switch (zipError) {
    case ZIP_ER_NOZIP: return QStringLiteral("no es un archivo zip válido");
    case ZIP_ER_INCONS: return QStringLiteral("es un archivo zip dañado: su índice no concuerda con su contenido");
    case ZIP_ER_EOF: return QStringLiteral("está incompleto: termina antes de tiempo");
    case ZIP_ER_CRC:
    case ZIP_ER_ZLIB:
    case ZIP_ER_COMPRESSED_DATA: return QStringLiteral("su contenido comprimido está dañado");
    case ZIP_ER_READ:
    case ZIP_ER_SEEK:
    case ZIP_ER_TELL: return QStringLiteral("no se pudo leer del disco");
    case ZIP_ER_WRITE: return QStringLiteral("no se pudo escribir en el disco");
    case ZIP_ER_OPEN: return QStringLiteral("no se puede abrir");
    case ZIP_ER_NOENT: return QStringLiteral("no existe");
    case ZIP_ER_MEMORY: return QStringLiteral("no hay memoria suficiente");
    case ZIP_ER_MULTIDISK: return QStringLiteral("es un archivo zip de varios volúmenes, que no se admite");
    case ZIP_ER_COMPNOTSUPP: return QStringLiteral("está comprimido con un método que no se admite");
    case ZIP_ER_ENCRNOTSUPP:
    case ZIP_ER_NOPASSWD:
    case ZIP_ER_WRONGPASSWD: return QStringLiteral("está cifrado con contraseña");
    default: return QStringLiteral("error %1 del archivo zip").arg(zipError);
  }
}

QString xmlCause(int parseStatus) {
  switch (parseStatus) {
    case pugi::status_out_of_memory: return QStringLiteral("no hay memoria suficiente");
    case pugi::status_unrecognized_tag: return QStringLiteral("una etiqueta no reconocida");
    case pugi::status_bad_pi: return QStringLiteral("una declaración mal formada");
    case pugi::status_bad_comment: return QStringLiteral("un comentario mal formado");
    case pugi::status_bad_cdata: return QStringLiteral("una sección CDATA mal formada");
    case pugi::status_bad_doctype: return QStringLiteral("una declaración de tipo mal formada");
    case pugi::status_bad_pcdata: return QStringLiteral("un texto mal formado");
    case pugi::status_bad_start_element: return QStringLiteral("una etiqueta de apertura mal formada");
    case pugi::status_bad_attribute: return QStringLiteral("un atributo mal formado");
    case pugi::status_bad_end_element: return QStringLiteral("una etiqueta de cierre mal formada");
    case pugi::status_end_element_mismatch: return QStringLiteral("una etiqueta que no se cierra como se abrió");
    case pugi::status_no_document_element: return QStringLiteral("no tiene ningún elemento");
    default: return QStringLiteral("error %1 de XML").arg(parseStatus);
  }
}

QString readCause(const QString& path) {
  const QFileInfo info(path);
  if (info.isDir())
    return QStringLiteral("es una carpeta");
  if (!info.isReadable())
    return QStringLiteral("no tiene permiso para leerlo");
  return QStringLiteral("no se puede leer");
}

}  // namespace wb::xlsx
