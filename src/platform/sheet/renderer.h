#pragma once
// Draws a block of a sheet with QPainter: fills, gridlines, borders, text and drawing objects. One code
// path for the sheet view, printing, print preview and PDF.
//
// The painter must be set up so that one logical unit is one twip (twipScale() gives the factor for a
// device). Text is laid out exactly as metrics.h measures it for auto-fit: the same font, the same text
// area and the same line breaks, so a row fitted by the program holds its text on paper too.
#include "sheetlayout.h"

#include <QColor>
#include <QHash>
#include <QImage>
#include <QPainter>
#include <memory>
#include <vector>

namespace wb {

struct RenderOptions {
  bool gridlines = false;
  QColor gridColor = QColor(0xD0, 0xD7, 0xE5);
  bool cosmeticGrid = true;  // gridlines one device pixel wide (the screen); else 15 twips (paper)
};

class SheetRenderer {
public:
  SheetRenderer(const Workbook& wb, const Sheet& sheet, const SheetLayout& layout);
  ~SheetRenderer();

  // Twips to device units for a painter on `device` at `zoomPercent`.
  static double twipScaleX(const QPaintDevice& device, double zoomPercent = 100);
  static double twipScaleY(const QPaintDevice& device, double zoomPercent = 100);

  // Paints the cells of `block` so that the block's top-left corner lands at `at` (twips, in the
  // painter's coordinates); nothing is drawn outside the block's rectangle. Text of cells left or right
  // of the block that runs over into it is drawn too, as far as the block.
  void paintCells(QPainter& p, const Range& block, QPointF at, const RenderOptions& opt) const;
  // Paints the drawing objects that meet `block`, in id order, clipped to the block.
  void paintObjects(QPainter& p, const Range& block, QPointF at) const;

  // Font for painting a cell: metrics::qfont with its size in twips, for a twip-scaled painter.
  static QFont paintFont(const Font& f);

private:
  const Workbook& wb_;
  const Sheet& sheet_;
  const SheetLayout& layout_;
  struct TextItem;
  struct BlockState;
  struct StyleInfo;
  mutable std::vector<std::unique_ptr<StyleInfo>> styleInfo_;
  const StyleInfo& info(int style) const;
  void layoutRowText(BlockState& st, int r) const;
  void paintFills(QPainter& p, const BlockState& st) const;
  void paintGrid(QPainter& p, const BlockState& st, const RenderOptions& opt) const;
  void paintBorders(QPainter& p, const BlockState& st) const;
  void paintText(QPainter& p, const BlockState& st) const;
  void paintObject(QPainter& p, const DrawingObject& o, const QRectF& box) const;
  const QImage* picture(const DrawingObject& o) const;
  mutable QHash<QByteArray, QImage> pictures_;
  // The objects' boxes by their top edge, made on first use, so that a page finds its own few among
  // the logos of thousands of pages without measuring every one.
  struct ObjectBox {
    QRectF box;
    size_t index;  // in the sheet's objects (id order)
  };
  mutable std::vector<ObjectBox> objectBoxes_;
  mutable double tallestObject_ = -1;
};

}  // namespace wb
