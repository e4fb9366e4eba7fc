#include "iconoprograma.h"

#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPolygonF>

namespace {

// The icon at one size, drawn on a 64-unit grid scaled to it.
QPixmap dibuja(int lado) {
  QPixmap lienzo(lado, lado);
  lienzo.fill(Qt::transparent);
  QPainter p(&lienzo);
  p.setRenderHint(QPainter::Antialiasing);
  p.scale(lado / 64.0, lado / 64.0);

  // The tile.
  QLinearGradient azul(0, 0, 0, 64);
  azul.setColorAt(0, QColor(0x2a, 0x6f, 0xa8));
  azul.setColorAt(1, QColor(0x15, 0x3e, 0x66));
  p.setPen(Qt::NoPen);
  p.setBrush(azul);
  p.drawRoundedRect(QRectF(2, 2, 60, 60), 11, 11);

  // The sheet, its top right corner folded.
  p.setBrush(QColor(0xfb, 0xfb, 0xf7));
  p.drawPolygon(QPolygonF({{13, 9}, {41, 9}, {51, 19}, {51, 55}, {13, 55}}));
  p.setBrush(QColor(0xc9, 0xd3, 0xdd));
  p.drawPolygon(QPolygonF({{41, 9}, {41, 19}, {51, 19}}));

  // Its rows of concepts and the column of prices.
  p.setPen(QPen(QColor(0x7d, 0x93, 0xa8), 2.2, Qt::SolidLine, Qt::FlatCap));
  for (int y : {24, 31, 38, 45})
    p.drawLine(QLineF(18, y, 46, y));
  p.drawLine(QLineF(34, 21, 34, 48));
  p.setPen(QPen(QColor(0x15, 0x3e, 0x66), 3, Qt::SolidLine, Qt::FlatCap));
  p.drawLine(QLineF(18, 16, 33, 16));

  // The seal: a gold disc with a tick.
  p.setPen(QPen(QColor(0x8a, 0x5a, 0x00), 1.6));
  p.setBrush(QColor(0xf2, 0xb1, 0x1b));
  p.drawEllipse(QPointF(47, 47), 11.5, 11.5);
  p.setPen(QPen(Qt::white, 3.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(Qt::NoBrush);
  QPainterPath marca;
  marca.moveTo(41.5, 47.5);
  marca.lineTo(45.5, 51.5);
  marca.lineTo(52.5, 42.5);
  p.drawPath(marca);
  return lienzo;
}

}  // namespace

QIcon iconoPrograma() {
  QIcon icono;
  for (int lado : {16, 24, 32, 48, 64, 128, 256})
    icono.addPixmap(dibuja(lado));
  return icono;
}

QLabel* dibujoDelIcono(QWidget* padre, const QRect& lugar) {
  auto* dibujo = new QLabel(padre);
  dibujo->setObjectName(QStringLiteral("picIcon"));
  dibujo->setGeometry(lugar);
  dibujo->setPixmap(iconoPrograma().pixmap(lugar.size()));
  dibujo->setAlignment(Qt::AlignCenter);
  return dibujo;
}
