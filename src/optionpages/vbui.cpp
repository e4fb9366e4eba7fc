#include "vbui.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFontMetrics>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QTimer>
#include <algorithm>

namespace vbui {

namespace {

const char* const kLeft = "twLeft";
const char* const kTop = "twTop";
const char* const kWidth = "twWidth";
const char* const kHeight = "twHeight";

int storedTwips(const QWidget* control, const char* property, int pixels) {
  const QVariant stored = control->property(property);
  if (stored.isValid()) {
    const int twips = stored.toInt();
    if (ui::twipsToPixels(twips) == pixels) return twips;
  }
  return pixelsTw(pixels);
}

}  // namespace

QString tag(const QWidget* control) { return control->property("Tag").toString(); }

void setTag(QWidget* control, const QString& value) { control->setProperty("Tag", value); }

QString controlName(const QWidget* control) {
  const QString arrayName = control->property("ArrayName").toString();
  return arrayName.isEmpty() ? control->objectName() : arrayName;
}

std::optional<int> controlIndex(const QWidget* control) {
  const QVariant index = control->property("Index");
  bool ok = false;
  const int value = index.toInt(&ok);
  if (!index.isValid() || !ok) return std::nullopt;
  return value;
}

QString caption(const QWidget* control) {
  const QVariant value = control->property("Caption");
  if (value.isValid()) return value.toString();
  if (auto* button = qobject_cast<const QAbstractButton*>(control)) return button->text();
  if (auto* label = qobject_cast<const QLabel*>(control)) return label->text();
  if (auto* group = qobject_cast<const QGroupBox*>(control)) return group->title();
  return QString();
}

void setBorderStyle(QWidget* control, int style) { control->setProperty("BorderStyle", style); }

QList<QWidget*> controls(QWidget* form) { return form->findChildren<QWidget*>(); }

QWidget* findControl(QWidget* form, const QString& name, std::optional<int> index) {
  for (QWidget* control : controls(form)) {
    if (controlName(control).compare(name, Qt::CaseInsensitive) != 0) continue;
    if (index && controlIndex(control) != index) continue;
    return control;
  }
  return nullptr;
}

QList<QWidget*> controlArray(QWidget* form, const QString& name) {
  QList<QWidget*> elements;
  for (QWidget* control : controls(form))
    if (controlIndex(control) && controlName(control).compare(name, Qt::CaseInsensitive) == 0)
      elements.append(control);
  std::stable_sort(elements.begin(), elements.end(),
                   [](QWidget* a, QWidget* b) { return *controlIndex(a) < *controlIndex(b); });
  return elements;
}

int leftTw(const QWidget* control) { return storedTwips(control, kLeft, control->x()); }
int topTw(const QWidget* control) { return storedTwips(control, kTop, control->y()); }
int widthTw(const QWidget* control) { return storedTwips(control, kWidth, control->width()); }
int heightTw(const QWidget* control) { return storedTwips(control, kHeight, control->height()); }

void moveTw(QWidget* control, int left, int top) {
  control->setProperty(kLeft, left);
  control->setProperty(kTop, top);
  control->move(ui::twipsToPixels(left), ui::twipsToPixels(top));
}

void moveTw(QWidget* control, int left, int top, int width, int height) {
  width = std::max(width, 0);
  height = std::max(height, 0);
  control->setProperty(kLeft, left);
  control->setProperty(kTop, top);
  control->setProperty(kWidth, width);
  control->setProperty(kHeight, height);
  control->setGeometry(ui::twipsToPixels(left), ui::twipsToPixels(top), ui::twipsToPixels(width),
                       ui::twipsToPixels(height));
}

void setWidthTw(QWidget* control, int width) {
  width = std::max(width, 0);
  control->setProperty(kWidth, width);
  control->resize(ui::twipsToPixels(width), control->height());
}

void setHeightTw(QWidget* control, int height) {
  height = std::max(height, 0);
  control->setProperty(kHeight, height);
  control->resize(control->width(), ui::twipsToPixels(height));
}

int formBorderWidthTw(const QWidget* form) {
  return pixelsTw(form->frameGeometry().width() - form->geometry().width());
}

int formBorderHeightTw(const QWidget* form) {
  return pixelsTw(form->frameGeometry().height() - form->geometry().height());
}

int formWidthTw(const QWidget* form) { return widthTw(form) + formBorderWidthTw(form); }
int formHeightTw(const QWidget* form) { return heightTw(form) + formBorderHeightTw(form); }

void setFormSizeTw(QWidget* form, int width, int height) {
  const int clientWidth = std::max(width - formBorderWidthTw(form), 0);
  const int clientHeight = std::max(height - formBorderHeightTw(form), 0);
  form->setProperty(kWidth, clientWidth);
  form->setProperty(kHeight, clientHeight);
  form->resize(ui::twipsToPixels(clientWidth), ui::twipsToPixels(clientHeight));
}

int fontSizeTw(const QFont& font) {
  if (font.pointSizeF() > 0) return pointsTw(font.pointSizeF());
  return pixelsTw(font.pixelSize());
}

int textWidthTw(const QFont& font, const QString& text) {
  return pixelsTw(QFontMetrics(font).horizontalAdvance(text));
}

void sendTabKeys(int count) {
  for (int i = 0; i < count; ++i) {
    QTimer::singleShot(0, qApp, [] {
      QWidget* target = QApplication::focusWidget();
      if (!target) return;
      QKeyEvent press(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier, QStringLiteral("\t"));
      QApplication::sendEvent(target, &press);
      if (QWidget* now = QApplication::focusWidget()) {
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_Tab, Qt::NoModifier, QStringLiteral("\t"));
        QApplication::sendEvent(now, &release);
      }
    });
  }
}

}  // namespace vbui
