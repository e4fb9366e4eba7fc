#pragma once
// The date box of the forms: a day from 1 January 1601 to 31 December 9999, typed ("dd/mm/yyyy") or
// picked from a calendar, or no date at all. Only code empties it; the user always leaves a date in it.
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

signals:
  void Change();

protected:
  void stepBy(int steps) override;
  StepEnabled stepEnabled() const override;
  void mousePressEvent(QMouseEvent* event) override;

private:
  void dateEdited(QDate date);
  bool fromCode_ = false;
  bool fixing_ = false;
};

}  // namespace ui
