#include "datepicker.h"

#include <vbdate.h>

#include <QCalendarWidget>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QRegularExpression>
#include <QValidator>

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
  typing_ = false;  // a date set otherwise (code, calendar, arrows) ends an entry
  // The user typed or stepped below the range: the first day it holds.
  if (!fromCode_ && dia == kSinFecha) {
    fixing_ = true;
    setDate(MinDate());
    fixing_ = false;
  }
  emit Change();
}

void DatePicker::stepBy(int steps) {
  Commit();
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

// ---------------------------------------------------------------------------------------------------
// Typing a date

namespace {

// While an entry is typed the box's editor holds free text: the date edit neither checks it nor
// reads it (its validator is set aside and the editor's signals held) until the entry is read.
class EntradaLibre {
public:
  explicit EntradaLibre(QLineEdit* editor)
      : editor_(editor), validator_(editor->validator()), blocked_(editor->blockSignals(true)) {
    editor_->setValidator(nullptr);
  }
  ~EntradaLibre() {
    editor_->setValidator(validator_);
    editor_->blockSignals(blocked_);
  }
  EntradaLibre(const EntradaLibre&) = delete;
  EntradaLibre& operator=(const EntradaLibre&) = delete;

private:
  QLineEdit* editor_;
  const QValidator* validator_;
  bool blocked_;
};

constexpr int kLargoEntrada = 10;  // dd/mm/yyyy

bool esDigito(QChar c) { return c >= u'0' && c <= u'9'; }

}  // namespace

QDate DatePicker::ParseTyped(const QString& text) {
  static const QRegularExpression conBarras(QStringLiteral("^(\\d{1,2})/(\\d{1,2})/(\\d{2}|\\d{4})$"));
  static const QRegularExpression sinBarras(QStringLiteral("^(\\d{2})(\\d{2})(\\d{4})$"));
  QRegularExpressionMatch m = conBarras.match(text);
  if (!m.hasMatch()) m = sinBarras.match(text);
  if (!m.hasMatch()) return {};
  const QString anio = m.captured(3);
  return QDate(anio.size() == 2 ? vb::twoDigitYear(anio.toInt()) : anio.toInt(), m.captured(2).toInt(),
               m.captured(1).toInt());
}

void DatePicker::showTyped(const QString& text, int cursor, int anchor) {
  EntradaLibre libre(lineEdit());
  lineEdit()->setText(text);
  if (anchor >= 0 && anchor != cursor)
    lineEdit()->setSelection(anchor, cursor - anchor);
  else
    lineEdit()->setCursorPosition(cursor);
}

void DatePicker::editTyped(QKeyEvent* event) {
  EntradaLibre libre(lineEdit());
  QCoreApplication::sendEvent(lineEdit(), event);
}

void DatePicker::Commit() {
  if (!typing_) return;
  typing_ = false;
  const QDate dia = ParseTyped(lineEdit()->text());
  if (dia.isValid() && dia >= MinDate() && dia <= MaxDate()) setDate(dia);
  // Taken or refused, the box shows its date as it shows every date.
  showTyped(HasDate() ? textFromDateTime(dateTime()) : specialValueText(), 0);
}

void DatePicker::keyPressEvent(QKeyEvent* event) {
  if (isReadOnly()) {
    QDateEdit::keyPressEvent(event);
    return;
  }
  const QString texto = event->text();
  const bool conAtajo = event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
  if (!conAtajo && texto.size() == 1 && texto.at(0).isPrint()) {
    const QChar c = texto.at(0);
    if (esDigito(c) || c == u'/') {
      if (!typing_) {
        typing_ = true;
        showTyped(QString(c), 1);
      } else if (lineEdit()->text().size() - lineEdit()->selectedText().size() < kLargoEntrada) {
        EntradaLibre libre(lineEdit());
        lineEdit()->insert(QString(c));
      }
    }
    event->accept();  // no other character belongs in a date
    return;
  }
  switch (event->key()) {
    case Qt::Key_Backspace:
    case Qt::Key_Delete:
      // Editing the shown text starts an entry from it.
      if (!typing_) {
        typing_ = true;
        showTyped(lineEdit()->text(), lineEdit()->cursorPosition(),
                  lineEdit()->hasSelectedText() ? (lineEdit()->selectionStart() == lineEdit()->cursorPosition()
                                                       ? lineEdit()->selectionEnd()
                                                       : lineEdit()->selectionStart())
                                                : -1);
      }
      editTyped(event);
      return;
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Home:
    case Qt::Key_End:
      if (typing_) {
        editTyped(event);
        return;
      }
      break;
    case Qt::Key_Escape:
      if (typing_) {
        typing_ = false;
        showTyped(HasDate() ? textFromDateTime(dateTime()) : specialValueText(), 0);
      }
      break;
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Alt:
    case Qt::Key_Meta:
    case Qt::Key_AltGr:
      break;
    default:
      // Enter, Up/Down, Page Up/Down and whatever else the date edit does: the entry is read first.
      Commit();
      break;
  }
  QDateEdit::keyPressEvent(event);
}

bool DatePicker::focusNextPrevChild(bool next) {
  Commit();
  return QWidget::focusNextPrevChild(next);
}

void DatePicker::focusOutEvent(QFocusEvent* event) {
  Commit();
  QDateEdit::focusOutEvent(event);
}

}  // namespace ui
