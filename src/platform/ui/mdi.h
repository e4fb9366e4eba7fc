#pragma once
// Arranging the children of the MDI area as the Window menu does: cascade, or tiled in horizontal
// strips (each child as wide as the area, one under the other) or vertical strips (each as tall as the
// area, side by side). QMdiArea only tiles in a grid, so the strips are laid here.
class QMdiArea;

namespace ui {

// VB's arrangement constants.
enum Arrangement { vbCascade = 0, vbTileHorizontal = 1, vbTileVertical = 2 };

// Lays out the children that are shown and not minimised, the current child first (top or left);
// maximised ones are brought back to normal first. Minimised children keep their row at the bottom.
void Arrange(QMdiArea* area, int arrangement);

}  // namespace ui
