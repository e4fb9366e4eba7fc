#pragma once
// Enter typed by the user on a push button that has the keyboard focus: its window shown and made the
// active one, the button focused, then Return (or the keypad's Enter) pressed on it.
#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace testsupport {

enum class TeclaEnter { Principal, Numerica };

inline const TeclaEnter kTeclasEnter[] = {TeclaEnter::Principal, TeclaEnter::Numerica};

inline const char* nombre(TeclaEnter t) { return t == TeclaEnter::Principal ? "Return" : "keypad Enter"; }

inline ::testing::AssertionResult enterEn(QPushButton* boton, TeclaEnter tecla) {
  QWidget* ventana = boton->window();
  ventana->show();
  ventana->activateWindow();
  if (!QTest::qWaitForWindowActive(ventana))
    return ::testing::AssertionFailure() << "the window did not become active";
  boton->setFocus(Qt::TabFocusReason);
  if (QApplication::focusWidget() != boton)
    return ::testing::AssertionFailure() << "the button did not take the focus";
  if (tecla == TeclaEnter::Principal)
    QTest::keyClick(boton, Qt::Key_Return);
  else
    QTest::keyClick(boton, Qt::Key_Enter, Qt::KeypadModifier);
  QCoreApplication::processEvents();
  return ::testing::AssertionSuccess();
}

}  // namespace testsupport
