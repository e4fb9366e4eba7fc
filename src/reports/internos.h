#pragma once
// Small helpers of the engine's sources.
#include "error.h"

#include <QString>
#include <memory>

namespace repgen::detalle {

// A text as a quoted literal of a Jet criterion, its apostrophes doubled.
inline QString comillas(const QString& s) {
  QString t = s;
  t.replace(QLatin1Char('\''), QStringLiteral("''"));
  return QLatin1Char('\'') + t + QLatin1Char('\'');
}

// A shared database or recordset of the open bid or the library; error 91 when it is not open, as
// VB's unset object.
template <typename T> T& abierto(const std::shared_ptr<T>& objeto) {
  if (!objeto)
    throw vb::Error(91);
  return *objeto;
}

// Runs one step of a procedure whose errors resume with the next step. False when it failed.
template <typename F> bool sigue(F&& paso) {
  try {
    paso();
    return true;
  } catch (const vb::Error&) {
    return false;
  }
}

}  // namespace repgen::detalle
