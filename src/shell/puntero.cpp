#include "puntero.h"

#include <QCursor>
#include <QGuiApplication>

namespace puntero {

void Reloj() {
  if (QGuiApplication::overrideCursor())
    QGuiApplication::changeOverrideCursor(QCursor(Qt::WaitCursor));
  else
    QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor));
}

void Normal() {
  while (QGuiApplication::overrideCursor())
    QGuiApplication::restoreOverrideCursor();
}

}  // namespace puntero
