#pragma once
// The user's hand on the mouse. A hand's click is not one event: the button goes down, the program
// runs while it is held, and it comes up a moment later. A message box opened in between is a real
// modal window (CajasAceptadas), which takes the release away from the window under the pointer.
#include "cajas_reales.h"

#include <QCoreApplication>
#include <QTest>
#include <QWidget>
#include <QWindow>

namespace testsupport {

// A click held for a moment on `punto` of `destino`, through the window system as the hand's events
// come: the pointer comes from a little to the left, the button goes down, the program runs, and the
// button comes up, while a box that `cajas` shows is open if one opened meanwhile (so that the box
// takes the release, as it would the user's), else afterwards. The window of `destino` must be shown.
inline void clicSostenido(QWidget* destino, QPoint punto, CajasAceptadas& cajas) {
  QWindow* ventana = destino->window()->windowHandle();
  const QPoint enVentana = destino->mapTo(destino->window(), punto);
  bool arriba = false;
  const auto suelta = [&] {
    if (arriba) return;
    arriba = true;
    QTest::mouseRelease(ventana, Qt::LeftButton, Qt::NoModifier, enVentana);
  };
  cajas.mientrasAbierta = suelta;
  QTest::mouseMove(ventana, enVentana - QPoint(40, 0));
  QTest::mouseMove(ventana, enVentana);
  QTest::mousePress(ventana, Qt::LeftButton, Qt::NoModifier, enVentana);
  for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();  // the moment the button is held
  suelta();
  for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
  cajas.mientrasAbierta = nullptr;
}

}  // namespace testsupport
