#include "seleccionartexto.h"

#include <QAbstractSpinBox>
#include <QComboBox>
#include <QEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QTimer>

namespace ui {

namespace {

QLineEdit* lineEditOf(QWidget* w) {
  if (auto* e = qobject_cast<QLineEdit*>(w)) return e;
  if (auto* c = qobject_cast<QComboBox*>(w)) return c->lineEdit();  // null unless editable
  if (auto* s = qobject_cast<QAbstractSpinBox*>(w)) return s->findChild<QLineEdit*>();
  return nullptr;
}

class SelectOnFocus : public QObject {
public:
  using QObject::QObject;
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::FocusIn) {
      QPointer<QWidget> control = qobject_cast<QWidget*>(watched);
      QTimer::singleShot(0, this, [control] {
        SeleccionarTexto s;
        s.ControlActivo = control;
        s.SeleccionaTexto();
      });
    }
    return false;
  }
};

}  // namespace

void SeleccionarTexto::SeleccionaTexto() {
  QWidget* w = ControlActivo;
  if (!w) return;
  if (QLineEdit* e = lineEditOf(w)) {
    if (!e->text().trimmed().isEmpty()) e->selectAll();
  } else if (auto* p = qobject_cast<QPlainTextEdit*>(w)) {
    if (!p->toPlainText().trimmed().isEmpty()) p->selectAll();
  } else if (auto* t = qobject_cast<QTextEdit*>(w)) {
    if (!t->toPlainText().trimmed().isEmpty()) t->selectAll();
  }
}

void installSeleccionarTexto(QWidget* control) {
  if (control) control->installEventFilter(new SelectOnFocus(control));
}

}  // namespace ui
