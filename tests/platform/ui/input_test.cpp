#include "emulaenter.h"
#include "seleccionartexto.h"

#include "qt_print.h"

#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>

namespace {

// A text box that notes every key it is given.
class KeyLog : public QLineEdit {
public:
  using QLineEdit::QLineEdit;
  QList<int> keys;

protected:
  void keyPressEvent(QKeyEvent* e) override {
    keys << e->key();
    QLineEdit::keyPressEvent(e);
  }
};

class Dialog : public QDialog {
public:
  Dialog() {
    auto* layout = new QVBoxLayout(this);
    for (QWidget* w : std::initializer_list<QWidget*>{a, b, combo, notes, e}) layout->addWidget(w);
    a->setObjectName("a");
    b->setObjectName("b");
    combo->setObjectName("combo");
    combo->addItems({"uno", "dos", "tres"});
    notes->setObjectName("notes");
    e->setObjectName("e");
  }
  QLineEdit* a = new QLineEdit("primero");
  KeyLog* b = new KeyLog("segundo");
  QComboBox* combo = new QComboBox;
  QPlainTextEdit* notes = new QPlainTextEdit("renglón");
  QLineEdit* e = new QLineEdit;
};

QString focused() { return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : "(nadie)"; }

void showActive(QWidget* w) {
  w->show();
  w->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(w));
}

// Presses a key on the focused control and lets the queued focus move happen.
void press(Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
  QTest::keyClick(QApplication::focusWidget(), key, mods);
  QCoreApplication::processEvents();
}

TEST(EmulaEnter, EnterAndDownGoForwardUpGoesBackAndTheControlStillGetsTheKey) {
  Dialog dlg;
  ui::installEmulaEnter(&dlg);
  showActive(&dlg);
  dlg.a->setFocus();
  ASSERT_EQ(focused(), "a");

  struct Step {
    Qt::Key key;
    Qt::KeyboardModifiers mods;
    const char* then;
  };
  const std::vector<Step> steps = {
      {Qt::Key_Return, Qt::NoModifier, "b"},   {Qt::Key_Down, Qt::NoModifier, "combo"},
      {Qt::Key_Down, Qt::NoModifier, "notes"}, {Qt::Key_Enter, Qt::KeypadModifier, "e"},
      {Qt::Key_Up, Qt::NoModifier, "notes"},   {Qt::Key_Up, Qt::NoModifier, "combo"},
      {Qt::Key_Up, Qt::NoModifier, "b"},       {Qt::Key_X, Qt::NoModifier, "b"},
      {Qt::Key_Left, Qt::NoModifier, "b"},     {Qt::Key_Return, Qt::ShiftModifier, "combo"},
  };
  QSignalSpy choices(dlg.combo, &QComboBox::currentIndexChanged);
  for (const Step& s : steps) {
    const QString from = focused();
    press(s.key, s.mods);
    EXPECT_EQ(focused(), s.then) << "key " << s.key << " from " << from.toStdString();
  }
  // Each key reached the control before the focus left it.
  EXPECT_EQ(dlg.b->keys, (QList<int>{Qt::Key_Down, Qt::Key_X, Qt::Key_Left, Qt::Key_Shift, Qt::Key_Return}));
  ASSERT_EQ(choices.count(), 2);  // Down, then Up, moved the choice as well
  EXPECT_EQ(choices.at(0).at(0).toInt(), 1);
  EXPECT_EQ(choices.at(1).at(0).toInt(), 0);
  EXPECT_EQ(dlg.notes->toPlainText(), QString("\nrenglón"));  // Enter broke the line as well
  EXPECT_EQ(dlg.b->text(), "x");  // reached by a Tab, the box had its text selected
}

TEST(EmulaEnter, OnlyTheFormsThatAskForItAndTheCallFromAKeyHandler) {
  Dialog with;
  Dialog without;
  ui::installEmulaEnter(&with);
  showActive(&without);
  without.a->setFocus();
  press(Qt::Key_Return);
  press(Qt::Key_Down);
  EXPECT_EQ(focused(), "a");

  // A control's own key handler calls it with VB's key codes.
  without.b->setFocus();
  ui::EmulaEnter(40);
  QCoreApplication::processEvents();
  EXPECT_EQ(focused(), "combo");
  ui::EmulaEnter(38);
  QCoreApplication::processEvents();
  EXPECT_EQ(focused(), "b");
  ui::EmulaEnter(9);
  ui::EmulaEnter(0);
  QCoreApplication::processEvents();
  EXPECT_EQ(focused(), "b");

  // The preview ends with its form.
  auto* gone = new Dialog;
  ui::installEmulaEnter(gone);
  delete gone;
  press(Qt::Key_Return);
  EXPECT_EQ(focused(), "b");
}

TEST(EmulaEnter, EnterOnAFocusedButtonPressesItWithoutMovingOn) {
  Dialog dlg;
  auto* ok = new QPushButton("&Aceptar", &dlg);
  ok->setObjectName("ok");
  auto* off = new QPushButton("Apagado", &dlg);
  off->setObjectName("off");
  off->setEnabled(false);
  for (QPushButton* b : {ok, off}) {
    b->setAutoDefault(false);
    dlg.layout()->addWidget(b);
  }
  ui::installEmulaEnter(&dlg);
  showActive(&dlg);
  QSignalSpy clicks(ok, &QPushButton::clicked);
  struct Case {
    Qt::Key key;
    Qt::KeyboardModifiers mods;
    int clicks;
    const char* then;
  } cases[] = {
      {Qt::Key_Return, Qt::NoModifier, 1, "ok"},
      {Qt::Key_Enter, Qt::KeypadModifier, 1, "ok"},
      {Qt::Key_Space, Qt::NoModifier, 1, "ok"},   // as Space always did
      {Qt::Key_Down, Qt::NoModifier, 0, "a"},     // the arrows still move on (the disabled button is skipped)
  };
  for (const Case& c : cases) {
    ok->setFocus();
    const int before = int(clicks.count());
    press(c.key, c.mods);
    EXPECT_EQ(clicks.count() - before, c.clicks) << "key " << c.key;
    EXPECT_EQ(focused(), c.then) << "key " << c.key;
  }
  // In a text box Enter still moves on and presses nothing.
  dlg.a->setFocus();
  press(Qt::Key_Return);
  EXPECT_EQ(focused(), "b");
  EXPECT_EQ(clicks.count(), 3);
}

// The program-wide rule: Enter on the focused push button of any window presses it once, whatever the
// button's default set-up and whether or not the window has a key preview; nothing else changes.
TEST(EnterPressesButtons, TheFocusedButtonOfEveryWindowIsPressedOnce) {
  ui::installEnterPressesButtons();
  ui::installEnterPressesButtons();  // a second call adds nothing
  struct Case {
    const char* name;
    bool preview;
    bool autoDefault;
  } windows[] = {{"plain", false, false}, {"with a key preview", true, false}, {"auto-default buttons", false, true}};
  for (const Case& w : windows) {
    SCOPED_TRACE(w.name);
    Dialog dlg;
    auto* ok = new QPushButton("&Aceptar", &dlg);
    auto* off = new QPushButton("Apagado", &dlg);
    off->setEnabled(false);
    for (QPushButton* b : {ok, off}) {
      b->setAutoDefault(w.autoDefault);
      dlg.layout()->addWidget(b);
    }
    ok->setObjectName("ok");
    if (w.preview) ui::installEmulaEnter(&dlg);
    showActive(&dlg);
    QSignalSpy clicks(ok, &QPushButton::clicked);
    struct Key {
      Qt::Key key;
      Qt::KeyboardModifiers mods;
      int clicks;
    } keys[] = {{Qt::Key_Return, Qt::NoModifier, 1},
                {Qt::Key_Enter, Qt::KeypadModifier, 1},
                {Qt::Key_Return, Qt::ControlModifier, 0},
                {Qt::Key_Return, Qt::AltModifier, 0}};
    for (const Key& k : keys) {
      // Qt's own dialogs press their default button on any Enter: not this rule's business.
      if (w.autoDefault && k.clicks == 0) continue;
      ok->setFocus();
      const int before = int(clicks.count());
      press(k.key, k.mods);
      EXPECT_EQ(clicks.count() - before, k.clicks) << "key " << k.key << " modifiers " << int(k.mods);
      EXPECT_TRUE(dlg.isVisible());
    }
    if (w.autoDefault) continue;
    // Enter in a text box presses no button; it moves on only where the window asks for it.
    dlg.a->setFocus();
    const int before = int(clicks.count());
    press(Qt::Key_Return);
    EXPECT_EQ(clicks.count(), before);
    EXPECT_EQ(focused(), w.preview ? "b" : "a");
  }
}

TEST(SeleccionarTexto, SelectsTheWholeTextUnlessItIsBlank) {
  struct Case {
    const char* text;
    bool selected;
  };
  for (const Case& c : std::vector<Case>{{"Precio unitario", true}, {"  12.50 ", true}, {"   ", false}, {"", false}}) {
    QLineEdit edit(c.text);
    edit.setCursorPosition(1);
    ui::SeleccionarTexto s;
    s.ControlActivo = &edit;
    s.SeleccionaTexto();
    EXPECT_EQ(edit.selectedText(), c.selected ? QString(c.text) : QString()) << c.text;
  }
  QPlainTextEdit notes("dos\r\nrenglones");
  QDateEdit date(QDate(2024, 5, 31));
  date.setDisplayFormat("dd/MM/yyyy");
  ui::SeleccionarTexto s;
  s.ControlActivo = &notes;
  s.SeleccionaTexto();
  EXPECT_EQ(notes.textCursor().selectedText().size(), notes.toPlainText().size());
  s.ControlActivo = &date;
  s.SeleccionaTexto();
  EXPECT_EQ(date.findChild<QLineEdit*>()->selectedText(), "31/05/2024");
  s.ControlActivo = nullptr;
  s.SeleccionaTexto();  // no control: nothing
}

TEST(SeleccionarTexto, SelectOnFocusSurvivesTheClickThatGaveTheFocus) {
  Dialog dlg;
  ui::installSeleccionarTexto(dlg.b);
  ui::installSeleccionarTexto(dlg.e);  // blank
  showActive(&dlg);
  dlg.a->setFocus();
  // A click in the middle of the text: the press gives the focus and puts the caret under the mouse.
  QTest::mouseClick(dlg.b, Qt::LeftButton, {}, QPoint(dlg.b->width() / 2, dlg.b->height() / 2));
  QCoreApplication::processEvents();
  ASSERT_EQ(focused(), "b");
  EXPECT_EQ(dlg.b->selectedText(), "segundo");
  // Typing replaces the whole text.
  QTest::keyClicks(dlg.b, "tercero");
  EXPECT_EQ(dlg.b->text(), "tercero");
  // Reaching it by Tab selects it as well; a blank box keeps its caret; a box without it selects nothing.
  dlg.a->setFocus();
  QTest::keyClick(dlg.a, Qt::Key_Tab);
  QCoreApplication::processEvents();
  EXPECT_EQ(dlg.b->selectedText(), "tercero");
  dlg.e->setFocus();
  QCoreApplication::processEvents();
  EXPECT_FALSE(dlg.e->hasSelectedText());
  QTest::mouseClick(dlg.a, Qt::LeftButton, {}, QPoint(dlg.a->width() / 2, dlg.a->height() / 2));
  QCoreApplication::processEvents();
  EXPECT_FALSE(dlg.a->hasSelectedText());
}

}  // namespace
