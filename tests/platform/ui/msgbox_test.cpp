#include "msgbox.h"

#include "error.h"
#include "modal_driver.h"
#include "qt_print.h"
#include "scripted_ui.h"

#include <QAbstractButton>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

namespace {

using namespace ui;

TEST(MsgBox, TheInstalledServiceSeesTheBoxWithItsTitleResolved) {
  testui::ScriptedMsgBoxes boxes;
  boxes.answer(vbNo).answer(vbOK);
  EXPECT_EQ(MsgBox("¿Deseas continuar?", vbYesNo | vbInformation, "Quarvel"), vbNo);
  EXPECT_EQ(MsgBox("La moneda no existe", vbExclamation), vbOK);

  ASSERT_EQ(boxes.shown().size(), 2u);
  EXPECT_EQ(boxes.shown()[0].title, "Quarvel");
  EXPECT_EQ(boxes.shown()[0].buttonSet(), vbYesNo);
  EXPECT_EQ(boxes.shown()[0].icon(), vbInformation);
  EXPECT_EQ(boxes.shown()[1].title, appTitle());
  EXPECT_FALSE(appTitle().isEmpty());
  EXPECT_EQ(boxes.shown()[1].buttonSet(), vbOKOnly);
  EXPECT_EQ(boxes.shown()[1].icon(), vbExclamation);
  EXPECT_EQ(boxes.texts(), QStringList({"¿Deseas continuar?", "La moneda no existe"}));
}

TEST(MsgBox, ButtonSetsGiveTheirAnswersAndDefaultButton) {
  struct Case {
    VbMsgBoxStyle style;
    QList<VbMsgBoxResult> answers;
    VbMsgBoxResult defaultAnswer;
  };
  const Case cases[] = {
      {vbOKOnly, {vbOK}, vbOK},
      {vbOKCancel | vbQuestion, {vbOK, vbCancel}, vbOK},
      {vbAbortRetryIgnore, {vbAbort, vbRetry, vbIgnore}, vbAbort},
      {vbAbortRetryIgnore | vbDefaultButton3, {vbAbort, vbRetry, vbIgnore}, vbIgnore},
      {vbYesNoCancel | vbDefaultButton2, {vbYes, vbNo, vbCancel}, vbNo},
      {vbYesNo | vbCritical | vbDefaultButton2, {vbYes, vbNo}, vbNo},
      {vbYesNo | vbDefaultButton3, {vbYes, vbNo}, vbYes},  // no third button: the first
      {vbRetryCancel, {vbRetry, vbCancel}, vbRetry},
  };
  for (const Case& c : cases) {
    const MsgBoxRequest r{"x", c.style, "t"};
    EXPECT_EQ(r.answers(), c.answers) << int(c.style);
    EXPECT_EQ(r.defaultAnswer(), c.defaultAnswer) << int(c.style);
  }
}

TEST(MsgBox, AButtonSetVbDoesNotKnowRaises5) {
  testui::ScriptedMsgBoxes boxes;
  try {
    MsgBox("x", static_cast<VbMsgBoxStyle>(6));
    ADD_FAILURE() << "no error";
  } catch (const vb::Error& e) {
    EXPECT_EQ(e.number(), 5);
  }
  EXPECT_TRUE(boxes.shown().empty());
}

TEST(ScriptedMsgBoxes, ABoxWithoutAnswerFailsTheTestAndGetsTheDefaultButton) {
  EXPECT_NONFATAL_FAILURE(
      {
        testui::ScriptedMsgBoxes boxes;
        EXPECT_EQ(MsgBox("Está a punto de eliminar 3 registros.", vbYesNo | vbCritical | vbDefaultButton2),
                  vbNo);
      },
      "no scripted answer: \"Está a punto de eliminar 3 registros.\"");
}

TEST(ScriptedMsgBoxes, AnAnswerThatIsNotAButtonOfTheBoxFailsTheTest) {
  EXPECT_NONFATAL_FAILURE(
      {
        testui::ScriptedMsgBoxes boxes;
        boxes.answer(vbYes);
        MsgBox("La moneda no existe", vbExclamation);
      },
      "is not a button of");
}

TEST(ScriptedMsgBoxes, UnusedAnswersFailTheTest) {
  EXPECT_NONFATAL_FAILURE(
      {
        testui::ScriptedMsgBoxes boxes;
        boxes.answer(vbOK).answer(vbOK);
        MsgBox("uno");
      },
      "1 scripted message-box answer(s) never used");
}

TEST(ScriptedMsgBoxes, ABoxWithNoResponderInPlaceFailsTheTest) {
  EXPECT_NONFATAL_FAILURE(MsgBox("Debe instalar una impresora", vbExclamation),
                          "no ScriptedMsgBoxes in place");
}

TEST(ScriptedMsgBoxes, RespondersNestAndRestoreTheOuterOne) {
  testui::ScriptedMsgBoxes outer;
  outer.answer(vbOK);
  {
    testui::ScriptedMsgBoxes inner;
    inner.answer(vbCancel);
    EXPECT_EQ(MsgBox("interior", vbOKCancel), vbCancel);
    EXPECT_EQ(inner.shown().size(), 1u);
  }
  EXPECT_EQ(MsgBox("exterior"), vbOK);
  EXPECT_EQ(outer.texts(), QStringList({"exterior"}));
}

// The windowed implementation, driven through a real QMessageBox.
QMessageBox* asBox(QWidget* w) {
  auto* box = qobject_cast<QMessageBox*>(w);
  EXPECT_NE(box, nullptr);
  return box;
}

QAbstractButton* buttonNamed(QMessageBox* box, const QString& text) {
  for (QAbstractButton* b : box->buttons())
    if (b->text() == text) return b;
  ADD_FAILURE() << "no button " << text.toStdString();
  return nullptr;
}

QStringList captions(QMessageBox* box) {
  QStringList all;
  for (QAbstractButton* b : box->buttons()) all.append(b->text());
  all.sort();
  return all;
}

TEST(QtMsgBoxService, ShowsSpanishButtonsTheIconAndTheTextAndReturnsTheButtonClicked) {
  struct Case {
    VbMsgBoxStyle style;
    QStringList captions;  // sorted
    QString defaultCaption;
    QString click;
    VbMsgBoxResult result;
    QMessageBox::Icon icon;
  };
  const Case cases[] = {
      {vbOKOnly | vbExclamation, {"Aceptar"}, "Aceptar", "Aceptar", vbOK, QMessageBox::Warning},
      {vbYesNo | vbInformation, {"No", "Sí"}, "Sí", "No", vbNo, QMessageBox::Information},
      {vbYesNo | vbCritical | vbDefaultButton2, {"No", "Sí"}, "No", "Sí", vbYes, QMessageBox::Critical},
      {vbOKCancel | vbQuestion, {"Aceptar", "Cancelar"}, "Aceptar", "Cancelar", vbCancel,
       QMessageBox::Question},
      {vbAbortRetryIgnore, {"Anular", "Omitir", "Reintentar"}, "Anular", "Omitir", vbIgnore,
       QMessageBox::NoIcon},
      {vbYesNoCancel, {"Cancelar", "No", "Sí"}, "Sí", "Cancelar", vbCancel, QMessageBox::NoIcon},
      {vbRetryCancel, {"Cancelar", "Reintentar"}, "Reintentar", "Reintentar", vbRetry,
       QMessageBox::NoIcon},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(int(c.style));
    ModalDriver driver;
    driver.then([&](QWidget* w) {
      QMessageBox* box = asBox(w);
      if (!box) return;
      EXPECT_EQ(box->windowTitle(), "Quarvel");
      EXPECT_EQ(box->text(), "Error: Fin fuera de las fechas.\n ¿ Deseas continuar ?");
      EXPECT_EQ(box->textFormat(), Qt::PlainText);
      EXPECT_EQ(box->icon(), c.icon);
      EXPECT_EQ(captions(box), c.captions);
      ASSERT_NE(box->defaultButton(), nullptr);
      EXPECT_EQ(box->defaultButton()->text(), c.defaultCaption);
      if (QAbstractButton* b = buttonNamed(box, c.click)) b->click();
    });
    QtMsgBoxService qt;
    const MsgBoxRequest request{"Error: Fin fuera de las fechas.\r\n ¿ Deseas continuar ?", c.style,
                                "Quarvel"};
    EXPECT_EQ(qt.show(request), c.result);
    EXPECT_TRUE(driver.done());
  }
}

TEST(QtMsgBoxService, EscapeAnswersCancelOrTheOnlyButton) {
  const std::pair<VbMsgBoxStyle, VbMsgBoxResult> cases[] = {
      {vbOKOnly, vbOK}, {vbOKCancel, vbCancel}, {vbYesNoCancel, vbCancel}};
  for (const auto& [style, result] : cases) {
    ModalDriver driver;
    driver.then([](QWidget* w) { QTest::keyClick(w, Qt::Key_Escape); });
    QtMsgBoxService qt;
    EXPECT_EQ(qt.show({"texto", style, "t"}), result) << int(style);
  }
}

TEST(QtMsgBoxService, ThePointerIsAnArrowOverTheBoxAndTheHourglassComesBack) {
  QApplication::setOverrideCursor(Qt::WaitCursor);
  ModalDriver driver;
  Qt::CursorShape during = Qt::BlankCursor;
  driver.then([&](QWidget* w) {
    during = QApplication::overrideCursor()->shape();
    if (QMessageBox* box = asBox(w)) box->buttons().first()->click();
  });
  QtMsgBoxService qt;
  qt.show({"espera", vbOKOnly, "t"});
  EXPECT_EQ(during, Qt::ArrowCursor);
  ASSERT_NE(QApplication::overrideCursor(), nullptr);
  EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
  QApplication::restoreOverrideCursor();
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST(QtMsgBoxService, TheWindowAndControlThatHadTheKeyboardGetItBack) {
  QWidget window;
  auto* first = new QLineEdit(&window);
  auto* second = new QLineEdit(&window);
  second->move(0, 40);
  window.show();
  window.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  second->setFocus();
  ASSERT_EQ(QApplication::focusWidget(), second);
  ModalDriver driver;
  driver.then([](QWidget* w) { QTest::keyClick(w, Qt::Key_Return); });
  QtMsgBoxService qt;
  EXPECT_EQ(qt.show({"texto", vbOKOnly, "t"}), vbOK);
  EXPECT_TRUE(driver.done());
  EXPECT_TRUE(QTest::qWaitForWindowActive(&window, 1000));
  EXPECT_EQ(QApplication::focusWidget(), second);
  (void)first;
}

}  // namespace
