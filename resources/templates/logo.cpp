// The logo the shipped templates carry where a contractor puts their own: a plain mark of ours (an
// arch bridge over a road, no lettering, so that it draws the same with any fonts installed).
#include "template.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

namespace templates {

QByteArray logoPng() {
  constexpr int side = 240;
  QImage img(side, side, QImage::Format_ARGB32_Premultiplied);
  img.fill(Qt::transparent);
  {
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor navy(0x1F, 0x38, 0x64), orange(0xE0, 0x7A, 0x1F);

    p.setPen(Qt::NoPen);
    p.setBrush(navy);
    p.drawRoundedRect(QRectF(6, 6, side - 12, side - 12), 36, 36);

    // Road under the bridge.
    p.setBrush(orange);
    p.drawRect(QRectF(30, 176, side - 60, 16));

    // Deck, arch and hangers.
    QPen white(Qt::white, 12, Qt::SolidLine, Qt::FlatCap);
    p.setPen(white);
    p.setBrush(Qt::NoBrush);
    p.drawLine(QPointF(30, 150), QPointF(side - 30, 150));
    QPainterPath arch;
    arch.moveTo(42, 150);
    arch.cubicTo(70, 40, side - 70, 40, side - 42, 150);
    p.drawPath(arch);
    p.setPen(QPen(Qt::white, 5, Qt::SolidLine, Qt::FlatCap));
    for (int x : {80, 100, 120, 140, 160}) {
      // The arch runs left to right, so the point above x is found by bisection along it.
      double lo = 0, hi = 1;
      for (int i = 0; i < 40; ++i) {
        const double mid = (lo + hi) / 2;
        if (arch.pointAtPercent(mid).x() < x)
          lo = mid;
        else
          hi = mid;
      }
      p.drawLine(QPointF(x, arch.pointAtPercent(lo).y() + 4), QPointF(x, 146));
    }
  }
  QByteArray png;
  QBuffer buf(&png);
  buf.open(QIODevice::WriteOnly);
  img.save(&buf, "PNG");
  return png;
}

}  // namespace templates
