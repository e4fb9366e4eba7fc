#pragma once
// Window measures are kept in twips (1/1440 inch), as the forms were designed; the screen is taken at
// 96 dpi, so 15 twips make one pixel. This is the only place where twips become pixels and back.
#include <QtGlobal>

inline constexpr int kTwipsPerPixel = 15;

inline int twipsToPixels(double twips) { return qRound(twips / kTwipsPerPixel); }
inline int pixelsToTwips(int pixels) { return pixels * kTwipsPerPixel; }

// A point is 1/72 inch, 20 twips, whatever the screen.
inline int pointsToTwips(double points) { return qRound(points * 20); }
