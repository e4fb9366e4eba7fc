#pragma once
// The one place where twips become pixels and back. Forms, grids and stored window places are measured
// in twips (1440 to the inch); the screen is taken at 96 dpi, so one pixel is 15 twips whatever the
// screen's real density, which keeps every computed layout the same on every machine.
#include <QPoint>
#include <QRect>
#include <QRectF>
#include <QSize>

namespace ui {

inline constexpr int kTwipsPerInch = 1440;
inline constexpr int kTwipsPerPixel = 15;
inline constexpr int kTwipsPerPoint = 20;

// Nearest pixel, halves away from zero (as VB's ScaleX/ScaleY round).
constexpr int twipsToPixels(double twips) {
  const double px = twips / kTwipsPerPixel;
  return px >= 0 ? static_cast<int>(px + 0.5) : -static_cast<int>(-px + 0.5);
}

constexpr double pixelsToTwips(double pixels) { return pixels * kTwipsPerPixel; }

constexpr double pointsToTwips(double points) { return points * kTwipsPerPoint; }
constexpr double twipsToPoints(double twips) { return twips / kTwipsPerPoint; }

inline QPoint twipsToPixels(const QPointF& twips) {
  return QPoint(twipsToPixels(twips.x()), twipsToPixels(twips.y()));
}

inline QSize twipsToPixels(const QSizeF& twips) {
  return QSize(twipsToPixels(twips.width()), twipsToPixels(twips.height()));
}

// Left/top and width/height are rounded each on their own, so that a size stays the same
// wherever the rectangle sits.
inline QRect twipsToPixels(const QRectF& twips) {
  return QRect(twipsToPixels(twips.topLeft()), twipsToPixels(twips.size()));
}

inline QPointF pixelsToTwips(const QPoint& px) { return QPointF(pixelsToTwips(px.x()), pixelsToTwips(px.y())); }

inline QSizeF pixelsToTwips(const QSize& px) {
  return QSizeF(pixelsToTwips(px.width()), pixelsToTwips(px.height()));
}

inline QRectF pixelsToTwips(const QRect& px) { return QRectF(pixelsToTwips(px.topLeft()), pixelsToTwips(px.size())); }

}  // namespace ui
