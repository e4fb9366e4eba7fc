#include "placement.h"

#include "forms.h"
#include "qt_print.h"
#include "settings.h"

#include <QDir>
#include <QGuiApplication>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

class FrmLista : public QWidget {
  Q_OBJECT
public:
  FrmLista() {
    setProperty("MDIChild", true);
    resize(240, 160);
  }
};

class FrmVentana : public QWidget {
  Q_OBJECT
public:
  FrmVentana() { setGeometry(40, 50, 320, 200); }  // the designed place
};

void settle() {
  QCoreApplication::processEvents();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

class PlacementTest : public ::testing::Test {
protected:
  void SetUp() override {
    main.setCentralWidget(area);
    main.resize(900, 700);
    main.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
    forms.setMdiArea(area);
  }
  void TearDown() override {
    forms.descargaFormas(QString());
    forms.setMdiArea(nullptr);
    settle();
  }
  QString stored(const QString& section, const QString& key) { return ui::GetSetting(ui::exeName(), section, key); }
  void store(const QString& section, const QString& key, const QString& value) {
    ui::SaveSetting(ui::exeName(), section, key, value);
  }
  FrmLista* reopenLista() {
    forms.unload(forms.find<FrmLista>());
    settle();
    FrmLista* f = forms.get<FrmLista>();
    ui::UbicaForma(f);
    forms.show(f);
    settle();
    return f;
  }

  QTemporaryDir dir;
  ui::SettingsRedirect redirect{dir.path()};
  ui::Forms& forms = ui::Forms::instance();
  QMainWindow main;
  QMdiArea* area = new QMdiArea;
};

TEST_F(PlacementTest, AnMdiChildComesBackWhereItWasSavedInTwips) {
  FrmLista* f = forms.get<FrmLista>();
  forms.show(f);
  QMdiSubWindow* frame = ui::Forms::subWindowOf(f);
  frame->setGeometry(30, 45, 300, 210);
  ui::GrabaForma(f);
  EXPECT_EQ(ui::exeName(), "platform_ui_placement_test");
  const std::vector<std::pair<QString, QString>> expected = {{"Izquierda", "450"}, {"Arriba", "675"},
                                                             {"Largo", "4500"},    {"Altura", "3150"},
                                                             {"Visible", "True"},  {"Status", "0"}};
  for (const auto& [key, value] : expected) EXPECT_EQ(stored("FrmLista", key), value) << key.toStdString();

  f = reopenLista();
  EXPECT_EQ(ui::Forms::subWindowOf(f)->geometry(), QRect(30, 45, 300, 210));
}

TEST_F(PlacementTest, AWindowComesBackAtItsPlaceAndSize) {
  FrmVentana* f = forms.get<FrmVentana>();
  f->move(100, 120);
  f->resize(400, 300);
  ui::GrabaForma(f);
  EXPECT_EQ(stored("FrmVentana", "Izquierda"), "1500");
  EXPECT_EQ(stored("FrmVentana", "Visible"), "False");  // loaded, never shown
  forms.unload(f);
  settle();
  f = forms.get<FrmVentana>();
  ASSERT_EQ(f->pos(), QPoint(40, 50));
  ui::UbicaForma(f);
  EXPECT_EQ(f->pos(), QPoint(100, 120));
  EXPECT_EQ(f->size(), QSize(400, 300));
}

TEST_F(PlacementTest, MissingOrUnreadableKeysLeaveTheDesignedValue) {
  FrmVentana* never = forms.get<FrmVentana>();
  ui::UbicaForma(never);  // never saved: as designed
  EXPECT_EQ(never->geometry(), QRect(40, 50, 320, 200));
  EXPECT_EQ(never->windowState(), Qt::WindowNoState);

  // Each key on its own: Left missing, Top with a thousands comma, Width not a number, Height absurd.
  store("FrmVentana", "Arriba", "1,500");
  store("FrmVentana", "Largo", "ancho");
  store("FrmVentana", "Altura", "1E+40");
  store("FrmVentana", "Status", "7");
  store("FrmVentana", "Visible", "False");
  ui::UbicaForma(never);
  EXPECT_EQ(never->geometry(), QRect(40, 100, 320, 200));
  EXPECT_EQ(never->windowState(), Qt::WindowNoState);
  EXPECT_TRUE(never->isHidden());
  store("FrmVentana", "Largo", "-300");  // a size below one pixel is no size
  store("FrmVentana", "Altura", "0");
  ui::UbicaForma(never);
  EXPECT_EQ(never->size(), QSize(320, 200));
}

TEST_F(PlacementTest, APlaceOffEveryScreenIsBroughtBack) {
  const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
  FrmVentana* f = forms.get<FrmVentana>();
  struct Case {
    int left, top;  // pixels
    bool moved;
  };
  const std::vector<Case> cases = {
      {-5000, 100, true},  // a screen that is no longer there, to the left
      {screen.right() + 10, 50, true},
      {100, screen.bottom() + 400, true},
      {screen.right() - 100, 100, false},  // partly off, still within reach
      {-100, 30, false},
  };
  for (const Case& c : cases) {
    store("FrmVentana", "Izquierda", QString::number(c.left * 15));
    store("FrmVentana", "Arriba", QString::number(c.top * 15));
    store("FrmVentana", "Largo", "6000");
    store("FrmVentana", "Altura", "4500");
    ui::UbicaForma(f);
    EXPECT_EQ(f->pos(), c.moved ? screen.topLeft() : QPoint(c.left, c.top)) << c.left << "," << c.top;
    EXPECT_EQ(f->size(), QSize(400, 300));
  }
  // Larger than the screen, it is also made to fit.
  store("FrmVentana", "Izquierda", "-90000");
  store("FrmVentana", "Largo", QString::number((screen.width() + 500) * 15));
  ui::UbicaForma(f);
  EXPECT_EQ(f->geometry().width(), screen.width());

  // An MDI child outside the MDI area comes back into it.
  store("FrmLista", "Izquierda", "60000");
  store("FrmLista", "Arriba", "-30000");
  FrmLista* lista = reopenLista();
  EXPECT_EQ(ui::Forms::subWindowOf(lista)->pos(), QPoint(0, 0));
}

TEST_F(PlacementTest, MaximisedOrMinimisedChildKeepsItsNormalPlaceAndItsState) {
  FrmLista* f = forms.get<FrmLista>();
  forms.show(f);
  QMdiSubWindow* frame = ui::Forms::subWindowOf(f);
  frame->setGeometry(20, 10, 330, 225);
  for (const auto& [status, show] : std::vector<std::pair<QString, void (QWidget::*)()>>{
           {"2", &QWidget::showMaximized}, {"1", &QWidget::showMinimized}}) {
    SCOPED_TRACE(status.toStdString());
    f = forms.find<FrmLista>();
    frame = ui::Forms::subWindowOf(f);
    (frame->*show)();
    ui::GrabaForma(f);
    EXPECT_EQ(stored("FrmLista", "Status"), status);
    EXPECT_EQ(stored("FrmLista", "Largo"), "4950");  // the normal place, not the maximised or minimised one
    f = reopenLista();
    frame = ui::Forms::subWindowOf(f);
    EXPECT_EQ(frame->windowState() & (Qt::WindowMinimized | Qt::WindowMaximized),
              status == "2" ? Qt::WindowMaximized : Qt::WindowMinimized);
    frame->showNormal();
    EXPECT_EQ(frame->geometry(), QRect(20, 10, 330, 225));
  }
  // A loaded child that is not shown stays hidden; its state waits for the show.
  forms.unload(f);
  settle();
  f = forms.get<FrmLista>();
  ui::UbicaForma(f);
  settle();
  EXPECT_TRUE(ui::Forms::subWindowOf(f)->isHidden());
}

TEST_F(PlacementTest, AStoreThatCannotBeWrittenIsIgnored) {
  QFile blocker(QDir(dir.path()).filePath("archivo"));
  ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
  blocker.close();
  ui::SettingsRedirect unusable(blocker.fileName() + "/dentro");  // a folder under a plain file
  FrmVentana* f = forms.get<FrmVentana>();
  EXPECT_NO_THROW(ui::GrabaForma(f));
  EXPECT_NO_THROW(ui::UbicaForma(f));
  EXPECT_EQ(f->geometry(), QRect(40, 50, 320, 200));
}

}  // namespace

#include "placement_test.moc"
