#pragma once
// The date box of the forms: a day from 1 January 1601 to 31 December 9999, typed ("dd/mm/yyyy") or
// picked from a calendar, or no date at all. Only code empties it; the user always leaves a date in it.
//
// Typing: the first character typed replaces the shown date as a whole (whatever is selected, after
// Tab or a click), and the box then edits as a text box until the entry is read: when the box is
// left, on Enter, on Up/Down, or by Commit(). The entry is read as it is shown, d/m/yyyy (one or two
// digits for day and month), d/m/yy (00-29 this century, 30-99 the last) or eight digits ddmmyyyy;
// anything else, or a day that does not exist or is out of range, is refused and the box shows its old
// value again. Up/Down and the calendar work as in any date edit.
//
//   FechaIni->SetValue(rs->Value("FechaInicioProy"));   // a Date, a serial or a text date; Null empties
//   vb::Variant v = FechaIni->Value();                  // a Date (whole day) or Null
//   connect(FechaIni, &ui::DatePicker::Change, ...);    // after every change, the user's or the code's
#include <QDateEdit>

#include <variant.h>

namespace ui {

class DatePicker : public QDateEdit {
  Q_OBJECT
public:
  explicit DatePicker(QWidget* parent = nullptr);

  static QDate MinDate();  // 1601-01-01
  static QDate MaxDate();  // 9999-12-31

  // Null when the box holds no date; else the day as a Date.
  vb::Variant Value() const;
  bool HasDate() const;
  // Null or Empty: no date. A Date or a number is a day (its time left out); a text is read as CDate
  // reads it. Error 13 for a text that is no date (or a value of another kind), 380 for a day outside
  // the box's range; the box keeps what it held.
  void SetValue(const vb::Variant& value);
  // Whether SetValue would take the value, without changing the box.
  static bool Accepts(const vb::Variant& value);
  // Reads a typed entry now (see the top); nothing when none is under way.
  void Commit();
  // The day a typed entry names; invalid when it names none.
  static QDate ParseTyped(const QString& text);

signals:
  void Change();

protected:
  void stepBy(int steps) override;
  StepEnabled stepEnabled() const override;
  void mousePressEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  // Tab leaves the box, as it leaves every control (a date edit would move among its sections).
  bool focusNextPrevChild(bool next) override;

private:
  void dateEdited(QDate date);
  // The entry's text in the box, its caret and selection, out of the date edit's sight.
  void showTyped(const QString& text, int cursor, int anchor = -1);
  void editTyped(QKeyEvent* event);
  bool typing_ = false;
  bool fromCode_ = false;
  bool fixing_ = false;
};

}  // namespace ui
