// The date box and the text box of several lines.
#include "datepicker.h"
#include "textbox.h"

#include "qt_print.h"
#include "error_of.h"

#include <vbdate.h>

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QMimeData>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>

namespace {

// The paste of a text box, reachable from the test.
struct Caja : ui::TextBox {
  using ui::TextBox::insertFromMimeData;
};

QString textoDe(const ui::DatePicker& p) { return p.findChild<QLineEdit*>()->text(); }

TEST(DatePicker, TakesDatesSerialsAndTextAndGivesWholeDays) {
  ui::DatePicker p;
  struct Caso {
    vb::Variant valor;
    QDate dia;
  } casos[] = {
      {vb::Variant::fromDate(1999, 6, 2), QDate(1999, 6, 2)},
      {vb::Variant::fromDate(vb::dateSerial(2025, 3, 3) + 0.75), QDate(2025, 3, 3)},  // the time is left out
      {vb::Variant(45719.0), QDate(2025, 3, 3)},
      {vb::Variant("14/02/2025"), QDate(2025, 2, 14)},
      {vb::Variant("2009/03/15"), QDate(2009, 3, 15)},
      {vb::Variant::fromDate(1601, 1, 1), QDate(1601, 1, 1)},
      {vb::Variant::fromDate(9999, 12, 31), QDate(9999, 12, 31)},
  };
  for (const Caso& c : casos) {
    p.SetValue(c.valor);
    ASSERT_TRUE(p.HasDate()) << c.valor.toString().toStdString();
    EXPECT_EQ(p.Value().type(), vb::VarType::Date);
    EXPECT_EQ(vb::toQDate(p.Value().toDate()), c.dia) << c.valor.toString().toStdString();
    EXPECT_EQ(p.Value().toDate(), std::floor(p.Value().toDate()));
  }
  p.SetValue(vb::Variant("14/02/2025"));
  EXPECT_EQ(textoDe(p), "14/02/2025");
}

TEST(DatePicker, NullEmptiesTheBoxAndOutOfRangeOrNoDateIsRefused) {
  ui::DatePicker p;
  p.SetValue(vb::Variant::fromDate(2025, 3, 3));
  p.SetValue(vb::Variant::null());
  EXPECT_FALSE(p.HasDate());
  EXPECT_TRUE(p.Value().isNull());
  EXPECT_TRUE(textoDe(p).trimmed().isEmpty());

  p.SetValue(vb::Variant::fromDate(2025, 3, 3));
  EXPECT_EQ(errorOf([&] { p.SetValue(vb::Variant::fromDate(1600, 12, 31)); }), 380);
  EXPECT_EQ(errorOf([&] { p.SetValue(vb::Variant::fromDate(1500, 1, 1)); }), 380);
  EXPECT_EQ(errorOf([&] { p.SetValue(vb::Variant("abc")); }), 13);
  EXPECT_EQ(vb::toQDate(p.Value().toDate()), QDate(2025, 3, 3)) << "a refused value changes nothing";
  EXPECT_FALSE(ui::DatePicker::Accepts(vb::Variant("abc")));
  EXPECT_FALSE(ui::DatePicker::Accepts(vb::Variant::fromDate(1600, 1, 1)));
  EXPECT_TRUE(ui::DatePicker::Accepts(vb::Variant("01/01/1601")));
  EXPECT_TRUE(ui::DatePicker::Accepts(vb::Variant::null()));
}

TEST(DatePicker, ChangeComesForEveryChangeAndTheUserNeverEmptiesIt) {
  ui::DatePicker p;
  QSignalSpy cambios(&p, &ui::DatePicker::Change);
  p.SetValue(vb::Variant::fromDate(1999, 6, 2));
  EXPECT_EQ(cambios.count(), 1);
  p.SetValue(vb::Variant::fromDate(1999, 6, 2));
  EXPECT_EQ(cambios.count(), 1) << "the same day again is no change";

  // Stepping down from the first day stays on it; from no date the arrows start at today.
  p.SetValue(vb::Variant::fromDate(1601, 1, 1));
  p.setCurrentSection(QDateTimeEdit::DaySection);
  p.stepDown();
  EXPECT_EQ(p.date(), QDate(1601, 1, 1));
  EXPECT_TRUE(p.HasDate());
  p.SetValue(vb::Variant::null());
  const int antes = cambios.count();
  p.stepUp();
  EXPECT_EQ(p.date(), QDate::currentDate());
  EXPECT_EQ(cambios.count(), antes + 1);

  // Whatever the user does below the range (typing 31/12/1600, the calendar) leaves the first day.
  p.setDate(QDate(1600, 12, 31));
  EXPECT_EQ(p.date(), QDate(1601, 1, 1));
  EXPECT_TRUE(p.HasDate());
}

TEST(DatePicker, DisabledBoxesTakeNoKeys) {
  ui::DatePicker p;
  p.SetValue(vb::Variant::fromDate(2025, 3, 3));
  p.setEnabled(false);
  QTest::keyClick(&p, Qt::Key_Up);
  EXPECT_EQ(p.date(), QDate(2025, 3, 3));
}

// A window with a box before the date box and one after it, so that Tab enters and leaves the date box.
struct VentanaFecha {
  QWidget ventana;
  QLineEdit* antes = new QLineEdit(&ventana);
  ui::DatePicker* fecha = new ui::DatePicker(&ventana);
  QLineEdit* despues = new QLineEdit(&ventana);
  VentanaFecha() {
    auto* v = new QVBoxLayout(&ventana);
    for (QWidget* w : {static_cast<QWidget*>(antes), static_cast<QWidget*>(fecha), static_cast<QWidget*>(despues)})
      v->addWidget(w);
    fecha->SetValue(vb::Variant::fromDate(2025, 8, 29));
    ventana.show();
    ventana.activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&ventana));
  }
  QLineEdit* editor() const { return fecha->findChild<QLineEdit*>(); }
};

TEST(DatePicker, ADateTypedAsShownIsTakenWhenTheBoxIsLeft) {
  enum Entrada { TrasTab, SobreSeleccion, TrasClic, SinFecha };
  struct Caso {
    const char* nombre;
    Entrada entrada;
    const char* tecleado;
    QDate esperado;  // invalid: the old value stays
  } casos[] = {
      {"after Tab", TrasTab, "15/06/2025", {2025, 6, 15}},
      {"after Tab, no slashes", TrasTab, "15062025", {2025, 6, 15}},
      {"after Tab, one-digit day and month", TrasTab, "5/6/2025", {2025, 6, 5}},
      {"over the whole text selected", SobreSeleccion, "15/06/2025", {2025, 6, 15}},
      {"over a selection, no slashes", SobreSeleccion, "01092025", {2025, 9, 1}},
      {"after a single click", TrasClic, "15/06/2025", {2025, 6, 15}},
      {"day before month: no clamping", TrasTab, "31/10/2025", {2025, 10, 31}},
      {"into a box without a date", SinFecha, "02/06/1999", {1999, 6, 2}},
      {"impossible day", TrasTab, "31/09/2025", {}},
      {"impossible month", TrasTab, "15/13/2025", {}},
      {"29 February of a common year", TrasTab, "29/02/2025", {}},
      {"half a date", TrasTab, "15/06", {}},
      {"before the first day", TrasTab, "31/12/1600", {}},
      {"digits that are no date", TrasTab, "150620", {}},
      // Two-digit years: 00-29 are this century's, 30-99 the last one's.
      {"two-digit year", TrasTab, "5/3/26", {2026, 3, 5}},
      {"two-digit year, last of this century's", TrasTab, "31/12/29", {2029, 12, 31}},
      {"two-digit year, first of the last century's", TrasTab, "1/1/30", {1930, 1, 1}},
      {"two-digit year 00, a leap year", SobreSeleccion, "29/02/00", {2000, 2, 29}},
      {"two-digit year 99", TrasClic, "15/06/99", {1999, 6, 15}},
      {"two-digit year, impossible day", TrasTab, "29/02/25", {}},
      {"a year of one digit", TrasTab, "5/3/6", {}},
      {"a year of three digits", TrasTab, "5/3/026", {}},
  };
  for (const Caso& c : casos) {
    SCOPED_TRACE(c.nombre);
    VentanaFecha v;
    if (c.entrada == SinFecha) v.fecha->SetValue(vb::Variant::null());
    const QDate antes = v.fecha->HasDate() ? v.fecha->date() : QDate();
    QSignalSpy cambios(v.fecha, &ui::DatePicker::Change);
    switch (c.entrada) {
      case TrasTab:
      case SinFecha:
        v.antes->setFocus();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        break;
      case SobreSeleccion:
        v.fecha->setFocus(Qt::MouseFocusReason);
        v.editor()->selectAll();
        break;
      case TrasClic:
        QTest::mouseClick(v.editor(), Qt::LeftButton, {}, QPoint(v.editor()->width() / 2, v.editor()->height() / 2));
        break;
    }
    ASSERT_TRUE(v.fecha->hasFocus());
    QTest::keyClicks(QApplication::focusWidget(), c.tecleado);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_TRUE(v.despues->hasFocus());
    if (c.esperado.isValid()) {
      ASSERT_TRUE(v.fecha->HasDate());
      EXPECT_EQ(v.fecha->date(), c.esperado);
      EXPECT_EQ(cambios.count(), 1);
    } else {
      EXPECT_EQ(v.fecha->HasDate() ? v.fecha->date() : QDate(), antes) << "refused: the old value back";
      EXPECT_EQ(cambios.count(), 0);
    }
    EXPECT_EQ(textoDe(*v.fecha), v.fecha->HasDate() ? v.fecha->date().toString("dd/MM/yyyy") : QString(" "));
  }
}

TEST(DatePicker, ATypedDateIsTakenByEnterAndCanBeCorrectedBeforeLeaving) {
  VentanaFecha v;
  v.antes->setFocus();
  QTest::keyClick(v.antes, Qt::Key_Tab);
  QTest::keyClicks(v.fecha, "15/07/20255");  // ten characters at most
  QTest::keyClick(v.fecha, Qt::Key_Backspace);
  QTest::keyClicks(v.fecha, "6");
  QTest::keyClick(v.fecha, Qt::Key_Home);
  QTest::keyClick(v.fecha, Qt::Key_Delete);
  QTest::keyClicks(v.fecha, "2");
  QTest::keyClick(v.fecha, Qt::Key_Return);
  EXPECT_EQ(v.fecha->date(), QDate(2026, 7, 25));
  // Taken on demand too (a button pressed by its shortcut leaves the focus in the box).
  QTest::keyClicks(v.fecha, "01/08/2025");
  v.fecha->Commit();
  EXPECT_EQ(v.fecha->date(), QDate(2025, 8, 1));
  // Up and Down still step the shown date.
  QTest::keyClick(v.fecha, Qt::Key_Up);
  EXPECT_NE(v.fecha->date(), QDate(2025, 8, 1));
}

TEST(TextBox, TextHasCrLfBetweenLinesAndTabMovesOn) {
  ui::TextBox t;
  t.SetText("uno\r\ndos");
  EXPECT_EQ(t.toPlainText(), "uno\ndos");
  EXPECT_EQ(t.Text(), "uno\r\ndos");
  EXPECT_TRUE(t.tabChangesFocus());
  t.SetText("a\nb");
  EXPECT_EQ(t.Text(), "a\r\nb");
}

TEST(TextBox, MaxLengthCountsLineBreaksAsTwoAndCutsPastes) {
  Caja t;
  t.SetMaxLength(6);
  t.show();
  t.setFocus();
  QTest::keyClicks(&t, "abcd");
  QTest::keyClick(&t, Qt::Key_Return);  // 4 + 2 = 6
  QTest::keyClicks(&t, "e");            // refused
  EXPECT_EQ(t.Text(), "abcd\r\n");
  t.selectAll();
  QTest::keyClicks(&t, "xyz");          // typing over the selection frees its room
  EXPECT_EQ(t.Text(), "xyz");

  QMimeData pegado;
  pegado.setText("12\r\n3456");
  t.moveCursor(QTextCursor::End);
  t.insertFromMimeData(&pegado);  // "12\r\n" fits (4 characters) with "xyz" only up to 6
  EXPECT_EQ(t.Text(), "xyz12");

  t.SetMaxLength(0);
  t.insertFromMimeData(&pegado);
  EXPECT_EQ(t.Text(), "xyz1212\r\n3456");

  t.SetText("código puesto por programa, más largo que el límite");
  t.SetMaxLength(3);
  EXPECT_EQ(t.Text(), "código puesto por programa, más largo que el límite") << "code may set any text";
  t.SetLocked(true);
  QTest::keyClicks(&t, "z");
  EXPECT_EQ(t.Text(), "código puesto por programa, más largo que el límite");
}

}  // namespace
