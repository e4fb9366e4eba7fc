// Arranging the MDI children, and the twips conversion.
#include "mdi.h"
#include "twips.h"

#include "qt_print.h"

#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class MdiTest : public ::testing::Test {
protected:
  void SetUp() override {
    area = new QMdiArea;
    window.setCentralWidget(area);
    window.resize(900, 700);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    for (const char* name : {"FrmPre", "FrmMone", "FrmPrograma"}) {
      auto* w = new QWidget;
      w->setObjectName(name);
      QMdiSubWindow* sub = area->addSubWindow(w);
      sub->resize(200, 150);
      sub->setMinimumSize(1, 1);
      sub->show();
      subs << sub;
    }
    area->setActiveSubWindow(subs[1]);  // FrmMone on top, then FrmPrograma, FrmPre
  }
  QRect viewport() const { return area->viewport()->rect(); }
  QMainWindow window;
  QMdiArea* area = nullptr;
  QList<QMdiSubWindow*> subs;
};

TEST_F(MdiTest, HorizontalTilingStacksFullWidthStripsTopChildFirst) {
  ui::Arrange(area, ui::vbTileHorizontal);
  const QRect v = viewport();
  const QList<QMdiSubWindow*> order = {subs[1], subs[2], subs[0]};
  int top = v.top();
  for (QMdiSubWindow* s : order) {
    EXPECT_EQ(s->geometry().left(), v.left());
    EXPECT_EQ(s->geometry().width(), v.width());
    EXPECT_EQ(s->geometry().top(), top) << s->widget()->objectName().toStdString();
    EXPECT_GE(s->height(), v.height() / 3);
    top += s->height();
  }
  EXPECT_EQ(top, v.bottom() + 1);  // the strips fill the area, no gap, no overlap
}

TEST_F(MdiTest, VerticalTilingPutsFullHeightStripsSideBySide) {
  subs[0]->showMaximized();  // and so the current child
  ui::Arrange(area, ui::vbTileVertical);
  const QRect v = viewport();
  int left = v.left();
  for (QMdiSubWindow* s : {subs[0], subs[1], subs[2]}) {
    EXPECT_FALSE(s->isMaximized());
    EXPECT_EQ(s->geometry().top(), v.top());
    EXPECT_EQ(s->height(), v.height());
    EXPECT_EQ(s->geometry().left(), left) << s->widget()->objectName().toStdString();
    left += s->width();
  }
  EXPECT_EQ(left, v.right() + 1);
}

TEST_F(MdiTest, MinimisedAndHiddenChildrenStayWhereTheyAre) {
  subs[2]->showMinimized();
  const QRect icon = subs[2]->geometry();
  auto* hidden = area->addSubWindow(new QWidget);
  hidden->setGeometry(5, 5, 50, 50);
  ui::Arrange(area, ui::vbTileHorizontal);
  EXPECT_TRUE(subs[2]->isMinimized());
  EXPECT_EQ(subs[2]->geometry(), icon);
  EXPECT_EQ(hidden->geometry(), QRect(5, 5, 50, 50));
  // The two others share the area above the minimised child's row.
  EXPECT_EQ(subs[1]->geometry().top(), 0);
  EXPECT_EQ(subs[0]->geometry().top(), subs[1]->geometry().bottom() + 1);
  EXPECT_LE(subs[0]->geometry().bottom(), icon.top() - 1);
}

TEST_F(MdiTest, CascadeOverlapsTheChildrenDownAndRight) {
  ui::Arrange(area, ui::vbTileVertical);
  ui::Arrange(area, ui::vbCascade);
  QList<QPoint> corners;
  for (QMdiSubWindow* s : subs) corners << s->pos();
  std::sort(corners.begin(), corners.end(), [](QPoint a, QPoint b) { return a.y() < b.y(); });
  EXPECT_LT(corners[0].y(), corners[1].y());
  EXPECT_LT(corners[1].y(), corners[2].y());
  EXPECT_LT(corners[0].x(), corners[1].x());
  EXPECT_LT(corners[1].x(), corners[2].x());
  ui::Arrange(area, 7);  // an unknown arrangement changes nothing
  ui::Arrange(nullptr, ui::vbCascade);
}

TEST(Twips, FifteenToThePixelRoundedToTheNearest) {
  struct Case {
    double twips;
    int pixels;
  };
  for (const Case& c : std::vector<Case>{{0, 0}, {7, 0}, {7.5, 1}, {8, 1}, {15, 1}, {22.5, 2}, {1440, 96},
                                         {-7, 0}, {-8, -1}, {-22.5, -2}, {11595, 773}, {7200, 480}})
    EXPECT_EQ(ui::twipsToPixels(c.twips), c.pixels) << c.twips;
  EXPECT_EQ(ui::pixelsToTwips(96), 1440);
  EXPECT_EQ(ui::pointsToTwips(12), 240);
  EXPECT_EQ(ui::twipsToPoints(240), 12);
  // Place and size round each on their own: the size does not depend on where the rectangle sits.
  EXPECT_EQ(ui::twipsToPixels(QRectF(50, 50, 6000, 4000)), QRect(3, 3, 400, 267));
  EXPECT_EQ(ui::twipsToPixels(QRectF(52, 52, 6000, 4000)).size(), QSize(400, 267));
  EXPECT_EQ(ui::pixelsToTwips(QRect(3, 4, 400, 267)), QRectF(45, 60, 6000, 4005));
  static_assert(ui::twipsToPixels(1440.0) == 96);
}

}  // namespace
