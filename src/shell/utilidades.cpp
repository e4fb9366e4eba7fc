#include "utilidades.h"

namespace general {

bool esNulo(const vb::Variant& v) {
  if (v.isNull())
    return true;
  try {
    return vb::Trim(vb::CStr(v)).isEmpty();
  } catch (const vb::Error&) {
    return true;
  }
}

QString BorraEnter(const QString& texto, bool tabulador) {
  QString limpio = texto;
  for (QChar& c : limpio) {
    if (c == u'\r' || c == u'\n' || (tabulador && c == u'\t'))
      c = u' ';
  }
  return limpio;
}

QString QuitaEnter(const QString& texto) {
  QString limpio = texto;
  limpio.replace(u'\r', u' ');
  return limpio;
}

double valX(const vb::Variant& v) {
  try {
    if (vb::IsNumeric(v))
      return vb::CDbl(v);
  } catch (const vb::Error&) {
  }
  return 0;
}

}  // namespace general
