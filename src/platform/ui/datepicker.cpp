#include "datepicker.h"

#include <vbdate.h>

#include <QCalendarWidget>
#include <QMouseEvent>

namespace ui {

namespace {

// "No date" is the day before the range, shown as a blank; the user never reaches it.
const QDate kSinFecha(1600, 12, 31);

}  // namespace

DatePicker::DatePicker(QWidget* parent) : QDateEdit(parent) {
  setCalendarPopup(true);
  setDisplayFormat(QStringLiteral("dd/MM/yyyy"));
  setDateRange(kSinFecha, MaxDate());
  setSpecialValueText(QStringLiteral(" "));
  setDate(QDate::currentDate());
  connect(this, &QDateEdit::dateChanged, this, &DatePicker::dateEdited);
}

QDate DatePicker::MinDate() { return QDate(1601, 1, 1); }
QDate DatePicker::MaxDate() { return QDate(9999, 12, 31); }

bool DatePicker::HasDate() const { return date() != kSinFecha; }

vb::Variant DatePicker::Value() const {
  if (!HasDate()) return vb::Variant::null();
  return vb::Variant::fromDate(vb::fromQDate(date()));
}

namespace {

// The day a value names; error 13 when it names none, 380 outside the box's range.
QDate diaDe(const vb::Variant& value) {
  double serial = 0;
  try {
    serial = value.toDate();
  } catch (const vb::Error&) {
    throw vb::Error(13);
  }
  const QDate dia = vb::toQDate(serial);
  if (!dia.isValid() || dia < DatePicker::MinDate() || dia > DatePicker::MaxDate()) throw vb::Error(380);
  return dia;
}

}  // namespace

bool DatePicker::Accepts(const vb::Variant& value) {
  if (value.isNull() || value.isEmpty()) return true;
  try {
    diaDe(value);
    return true;
  } catch (const vb::Error&) {
    return false;
  }
}

void DatePicker::SetValue(const vb::Variant& value) {
  const QDate dia = value.isNull() || value.isEmpty() ? kSinFecha : diaDe(value);
  fromCode_ = true;
  setDate(dia);
  fromCode_ = false;
}

void DatePicker::dateEdited(QDate dia) {
  if (fixing_) return;
  // The user typed or stepped below the range: the first day it holds.
  if (!fromCode_ && dia == kSinFecha) {
    fixing_ = true;
    setDate(MinDate());
    fixing_ = false;
  }
  emit Change();
}

void DatePicker::stepBy(int steps) {
  // From no date the arrows start at today.
  if (!HasDate()) {
    setDate(QDate::currentDate());
    return;
  }
  QDateEdit::stepBy(steps);
}

QAbstractSpinBox::StepEnabled DatePicker::stepEnabled() const {
  if (!HasDate()) return StepUpEnabled | StepDownEnabled;
  StepEnabled enabled = QDateEdit::stepEnabled();
  if (date() <= MinDate()) enabled &= ~StepDownEnabled;
  return enabled;
}

void DatePicker::mousePressEvent(QMouseEvent* event) {
  QDateEdit::mousePressEvent(event);
  // A calendar opened on a box without a date shows this month, not the day before the range.
  if (!HasDate() && calendarWidget() && calendarWidget()->isVisible())
    calendarWidget()->setCurrentPage(QDate::currentDate().year(), QDate::currentDate().month());
}

}  // namespace ui
