#include "mdi.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <algorithm>

namespace ui {

namespace {

void tile(QMdiArea* area, Qt::Orientation strips) {
  QList<QMdiSubWindow*> children;
  int iconRow = 0;
  // Top of the stack first: the current child takes the first strip.
  const QList<QMdiSubWindow*> stack = area->subWindowList(QMdiArea::StackingOrder);
  for (auto it = stack.rbegin(); it != stack.rend(); ++it) {
    QMdiSubWindow* sub = *it;
    if (sub->isHidden()) continue;
    if (sub->isMinimized()) {
      iconRow = std::max(iconRow, sub->height());
      continue;
    }
    children.append(sub);
  }
  if (children.isEmpty()) return;
  QRect domain = area->viewport()->rect();
  domain.setBottom(domain.bottom() - iconRow);
  const int n = static_cast<int>(children.size());
  const int length = strips == Qt::Horizontal ? domain.height() : domain.width();
  int start = 0;
  for (int i = 0; i < n; ++i) {
    // Whole pixels, the remainder spread over the first strips so that they fill the area exactly.
    const int size = length / n + (i < length % n ? 1 : 0);
    QMdiSubWindow* sub = children[i];
    if (sub->isMaximized()) sub->showNormal();
    if (strips == Qt::Horizontal)
      sub->setGeometry(domain.left(), domain.top() + start, domain.width(), size);
    else
      sub->setGeometry(domain.left() + start, domain.top(), size, domain.height());
    start += size;
  }
}

}  // namespace

void Arrange(QMdiArea* area, int arrangement) {
  if (!area) return;
  switch (arrangement) {
    case vbCascade: area->cascadeSubWindows(); break;
    case vbTileHorizontal: tile(area, Qt::Horizontal); break;
    case vbTileVertical: tile(area, Qt::Vertical); break;
    default: break;
  }
}

}  // namespace ui
