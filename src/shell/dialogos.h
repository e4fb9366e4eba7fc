#pragma once
// Small helpers for the shell's fixed-size dialogs, whose controls are placed in twips.
#include "twips.h"

#include <QRect>
#include <QString>
#include <QWidget>

namespace dialogos {

inline QRect twips(int izquierda, int arriba, int ancho, int alto) {
  return ui::twipsToPixels(QRectF(izquierda, arriba, ancho, alto));
}

// A control of type W with a caption, named and placed on its parent.
template <class W>
W* control(QWidget* padre, const QString& nombre, const QString& texto, const QRect& lugar) {
  auto* w = new W(texto, padre);
  w->setObjectName(nombre);
  w->setGeometry(lugar);
  return w;
}

// A control of type W without a caption.
template <class W>
W* control(QWidget* padre, const QString& nombre, const QRect& lugar) {
  auto* w = new W(padre);
  w->setObjectName(nombre);
  w->setGeometry(lugar);
  return w;
}

}  // namespace dialogos
