#pragma once
// A read-only, scrollable view of a Book's current sheet, drawn by the same renderer as the printed
// pages. At 100% zoom one pixel is 15 twips (ui::twipsToPixels), so rows are as tall on the screen as
// the program measured them. Gridlines and row and column headings follow the sheet's two display
// settings; the zoom is the sheet's own unless set here. The view follows the book's changed() (which
// the book holds back while its repaint is off) once control returns to the event loop, and scrolls to
// the cell of showActiveCell().
#include "book.h"

#include <QAbstractScrollArea>
#include <QPointer>

namespace wb {

class SheetView : public QAbstractScrollArea {
  Q_OBJECT
public:
  explicit SheetView(QWidget* parent = nullptr);
  ~SheetView() override;

  void setBook(Book* book);  // not owned; nullptr shows nothing
  Book* book() const { return book_; }

  void setZoom(int percent);  // 10..400; 0 = the sheet's zoom
  int zoom() const;           // the zoom in use

  // Scrolls so that the cell is in sight (to the top-left corner when it was not).
  void scrollToCell(int row, int col);
  // The cell at the top-left corner of the cell area.
  int firstVisibleRow() const;
  int firstVisibleCol() const;

protected:
  void paintEvent(QPaintEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  void scrollContentsBy(int dx, int dy) override;

private:
  QPointer<Book> book_;
  int zoom_ = 0;
  bool refreshPending_ = false;
  QMetaObject::Connection changed_, shown_, destroyed_;
  double twipsPerPixel() const;
  QSize headingSize() const;  // width of the row headings, height of the column headings (0 when off)
  void refresh();
  void refreshLater();
};

}  // namespace wb
