#pragma once
// Small helpers of the engine's sources.
#include "error.h"

#include <QString>

namespace repgen::detalle {

// A text as a quoted literal of a Jet criterion, its apostrophes doubled.
inline QString comillas(const QString& s) {
  QString t = s;
  t.replace(QLatin1Char('\''), QStringLiteral("''"));
  return QLatin1Char('\'') + t + QLatin1Char('\'');
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
