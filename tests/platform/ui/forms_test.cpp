#include "forms.h"

#include "qt_print.h"

#include <QDialog>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>
#include <stdexcept>

namespace {

QStringList journal;  // what the forms' hooks did, in order

void settle() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }

class FrmMain : public QMainWindow, public ui::Form {
  Q_OBJECT
public:
  FrmMain() {
    setObjectName("MDIToolbar");
    area = new QMdiArea;
    setCentralWidget(area);
    resize(800, 600);
  }
  void Form_Load() override { journal << "load MDIToolbar"; }
  void Form_Unload() override { journal << "unload MDIToolbar"; }
  QMdiArea* area;
};

class FrmLista : public QWidget, public ui::Form {
  Q_OBJECT
public:
  FrmLista() {
    setProperty("MDIChild", true);
    resize(300, 200);
  }
  void Form_Load() override { journal << "load " + objectName(); }
  void Form_Unload() override { journal << "unload " + objectName(); }
};

class FrmOtraLista : public FrmLista {
  Q_OBJECT
};

class FrmDialogo : public QDialog, public ui::Form {
  Q_OBJECT
public:
  void Form_Load() override { journal << "load " + objectName(); }
  void Form_Unload() override { journal << "unload " + objectName(); }
};

class FrmSeDescarga : public QWidget, public ui::Form {
  Q_OBJECT
public:
  void Form_Load() override { ui::Forms::instance().unload(this); }
};

class FrmFalla : public QWidget, public ui::Form {
  Q_OBJECT
public:
  void Form_Load() override { throw std::runtime_error("falla al cargar"); }
  void Form_Unload() override { journal << "unload FrmFalla"; }
};

class FormsTest : public ::testing::Test {
protected:
  void SetUp() override { journal.clear(); }
  void TearDown() override {
    forms.descargaFormas(QString());
    forms.setModalRunner({});
    forms.setMdiArea(nullptr);
    settle();
    EXPECT_TRUE(forms.loaded().isEmpty());
  }
  ui::Forms& forms = ui::Forms::instance();
};

TEST_F(FormsTest, OneInstancePerFormCreatedOnFirstUseAndMadeAnewAfterUnload) {
  EXPECT_EQ(forms.find<FrmDialogo>(), nullptr);
  EXPECT_TRUE(journal.isEmpty());
  FrmDialogo* first = forms.get<FrmDialogo>();
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(first->objectName(), "FrmDialogo");
  EXPECT_FALSE(first->isVisible());  // loaded, not shown
  EXPECT_EQ(forms.get<FrmDialogo>(), first);
  EXPECT_EQ(forms.find<FrmDialogo>(), first);
  EXPECT_EQ(journal, QStringList{"load FrmDialogo"});

  // An extra instance sits beside the default one and does not replace it.
  FrmDialogo* extra = forms.create<FrmDialogo>();
  EXPECT_NE(extra, first);
  EXPECT_EQ(forms.get<FrmDialogo>(), first);
  EXPECT_EQ(forms.loaded(), (QList<QWidget*>{first, extra}));

  QPointer<FrmDialogo> gone = first;
  EXPECT_TRUE(forms.unload(first));
  EXPECT_FALSE(forms.isLoaded(first));
  EXPECT_EQ(forms.find<FrmDialogo>(), nullptr);
  EXPECT_FALSE(forms.unload(first));  // a second unload does nothing
  settle();
  EXPECT_TRUE(gone.isNull());
  FrmDialogo* second = forms.get<FrmDialogo>();
  EXPECT_TRUE(forms.isLoaded(second));
  EXPECT_EQ(journal, (QStringList{"load FrmDialogo", "load FrmDialogo", "unload FrmDialogo", "load FrmDialogo"}));
}

TEST_F(FormsTest, EveryWayOfClosingRunsTheUnloadStepsOnce) {
  FrmMain main;
  forms.setMdiArea(main.area);
  main.show();
  FrmLista* lista = forms.get<FrmLista>();
  forms.show(lista);
  QPointer<QMdiSubWindow> frame = ui::Forms::subWindowOf(lista);
  ASSERT_NE(frame, nullptr);
  EXPECT_EQ(frame->mdiArea(), main.area);
  EXPECT_EQ(forms.activeChild(), lista);
  // The child's close box closes its frame.
  frame->close();
  EXPECT_FALSE(forms.isLoaded(lista));
  settle();
  EXPECT_TRUE(frame.isNull());
  EXPECT_TRUE(main.area->subWindowList().isEmpty());
  EXPECT_EQ(forms.activeChild(), nullptr);

  // A window's own close box.
  FrmDialogo* dlg = forms.get<FrmDialogo>();
  forms.show(dlg);
  EXPECT_TRUE(dlg->isVisible());
  dlg->close();
  EXPECT_FALSE(forms.isLoaded(dlg));
  // A form loaded and never shown.
  FrmOtraLista* hidden = forms.get<FrmOtraLista>();
  forms.unload(hidden);
  EXPECT_EQ(journal, (QStringList{"load FrmLista", "unload FrmLista", "load FrmDialogo", "unload FrmDialogo",
                                  "load FrmOtraLista", "unload FrmOtraLista"}));
}

TEST_F(FormsTest, DescargaFormasUnloadsAllButTheNamedOne) {
  FrmMain* main = new FrmMain;
  forms.add(main);
  forms.setMdiArea(main->area);
  forms.show(forms.get<FrmLista>());
  forms.get<FrmDialogo>();
  forms.create<FrmDialogo>()->setObjectName("mdiToolbar");  // differs only in case: unloaded too
  forms.descargaFormas("MDIToolbar");
  EXPECT_EQ(forms.loaded(), QList<QWidget*>{main});
  EXPECT_EQ(journal, (QStringList{"load FrmLista", "load FrmDialogo", "load FrmDialogo", "unload FrmLista",
                                  "unload FrmDialogo", "unload mdiToolbar"}));
  settle();
  EXPECT_TRUE(main->area->subWindowList().isEmpty());
  forms.unload(main);
  EXPECT_EQ(journal.last(), "unload MDIToolbar");  // Form_Unload runs for a form added from outside too
}

TEST_F(FormsTest, NextWindowFollowsTheLoadOrder) {
  auto* main = new FrmMain;
  forms.setMdiArea(main->area);
  main->show();
  FrmLista* a = forms.get<FrmLista>();
  forms.add(main);  // load order need not start with the main window
  FrmDialogo* b = forms.get<FrmDialogo>();
  FrmOtraLista* c = forms.get<FrmOtraLista>();
  EXPECT_EQ(forms.loaded(), (QList<QWidget*>{a, main, b, c}));
  struct Case {
    QString current;
    QWidget* next;
  };
  for (const Case& k : std::vector<Case>{{"FrmLista", main}, {"MDIToolbar", b}, {"FrmDialogo", c},
                                         {"FrmOtraLista", a},  // none follows: first that is not the main window
                                         {"FrmNoCargada", a}})
    EXPECT_EQ(forms.nextForm(k.current, "MDIToolbar"), k.next) << k.current.toStdString();
  forms.unload(a);
  EXPECT_EQ(forms.nextForm("FrmOtraLista", "MDIToolbar"), b);
  forms.descargaFormas("MDIToolbar");
  EXPECT_EQ(forms.nextForm("MDIToolbar", "MDIToolbar"), nullptr);
}

TEST_F(FormsTest, ActivateGivesTheFocusToShownFormsOnly) {
  FrmMain main;
  forms.setMdiArea(main.area);
  main.show();
  FrmLista* a = forms.get<FrmLista>();
  FrmOtraLista* b = forms.get<FrmOtraLista>();
  forms.show(a);
  forms.show(b);
  EXPECT_EQ(forms.activeChild(), b);
  EXPECT_TRUE(forms.activate(a));
  EXPECT_EQ(forms.activeChild(), a);
  FrmDialogo* hidden = forms.get<FrmDialogo>();
  EXPECT_FALSE(forms.activate(hidden));
  forms.show(hidden);
  EXPECT_TRUE(forms.activate(hidden));
}

TEST_F(FormsTest, LoadThatUnloadsOrFailsLeavesNothingLoaded) {
  EXPECT_EQ(forms.get<FrmSeDescarga>(), nullptr);
  EXPECT_EQ(forms.find<FrmSeDescarga>(), nullptr);
  EXPECT_THROW(forms.get<FrmFalla>(), std::runtime_error);
  EXPECT_EQ(forms.find<FrmFalla>(), nullptr);
  EXPECT_TRUE(forms.loaded().isEmpty());
  EXPECT_TRUE(journal.isEmpty());  // a form that never loaded is not unloaded
}

TEST_F(FormsTest, ModalFormsRunThroughTheRunnerOrTheirOwnLoop) {
  QStringList shown;
  forms.setModalRunner([&](QDialog* d) {
    shown << d->objectName();
    ui::Forms::instance().unload(d);
    return 7;
  });
  EXPECT_EQ(forms.showModal(forms.get<FrmDialogo>()), 7);
  EXPECT_EQ(shown, QStringList{"FrmDialogo"});
  EXPECT_EQ(forms.find<FrmDialogo>(), nullptr);

  // The real modal loop ends when the user closes the dialog, which unloads it.
  forms.setModalRunner({});
  FrmDialogo* dlg = forms.get<FrmDialogo>();
  QTimer::singleShot(0, dlg, [dlg] { dlg->close(); });
  EXPECT_EQ(forms.showModal(dlg), QDialog::Rejected);
  EXPECT_EQ(forms.find<FrmDialogo>(), nullptr);
  // Accepting only hides it: the form stays loaded until it unloads itself.
  dlg = forms.get<FrmDialogo>();
  QTimer::singleShot(0, dlg, [dlg] { dlg->accept(); });
  EXPECT_EQ(forms.showModal(dlg), QDialog::Accepted);
  EXPECT_EQ(forms.find<FrmDialogo>(), dlg);
}

TEST_F(FormsTest, MdiChildKeepsItsNormalPlaceWhileMaximised) {
  FrmMain main;
  forms.setMdiArea(main.area);
  main.show();
  FrmLista* a = forms.get<FrmLista>();
  QMdiSubWindow* frame = ui::Forms::subWindowOf(a);
  ASSERT_NE(frame, nullptr);  // framed at load, before any show
  frame->setGeometry(20, 30, 250, 180);
  forms.show(a);
  EXPECT_EQ(ui::Forms::normalGeometryOf(a), QRect(20, 30, 250, 180));
  frame->showMaximized();
  EXPECT_NE(frame->geometry(), QRect(20, 30, 250, 180));
  EXPECT_EQ(ui::Forms::normalGeometryOf(a), QRect(20, 30, 250, 180));
  frame->showMinimized();
  EXPECT_EQ(ui::Forms::normalGeometryOf(a), QRect(20, 30, 250, 180));
  frame->showNormal();
  EXPECT_EQ(frame->geometry(), QRect(20, 30, 250, 180));
  EXPECT_FALSE(ui::Forms::normalGeometryOf(&main).isValid());
}

}  // namespace

#include "forms_test.moc"
