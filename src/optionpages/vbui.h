#pragma once
// What the navigator needs of a host form, in the terms the forms were designed in: controls found by
// name (and by index within a control array), their Tag and caption, their own Visible setting, and
// positions and sizes in twips.
//
// Conventions on a host's widgets:
// - dynamic property "Tag" (QString): the control's Tag;
// - dynamic properties "ArrayName" (QString) and "Index" (int): the widget is element Index of the
//   control array ArrayName (Designer wants unique object names, so fraMarco_1 ... carry ArrayName
//   "fraMarco"); without ArrayName the control's name is its objectName;
// - property "Caption" (a Q_PROPERTY as on VbFrame, or a dynamic one); buttons, labels and group boxes
//   also give their text.
#include <QFont>
#include <QString>
#include <QWidget>
#include <optional>

#include "error.h"
#include "twips.h"  // ui::twipsToPixels: twips become pixels there only

namespace vbui {

QString tag(const QWidget* control);
void setTag(QWidget* control, const QString& value);

QString controlName(const QWidget* control);
std::optional<int> controlIndex(const QWidget* control);
QString caption(const QWidget* control);
void setBorderStyle(QWidget* control, int style);

// The control's own Visible setting, not whether it is on screen: a page of a form that is not shown
// yet, or a control inside a hidden frame, still reads True unless it was hidden itself.
inline bool visible(const QWidget* control) { return !control->isHidden(); }

// Every control of the form, its containers' contents included, in the order they were created within
// each container (depth first): the form's control collection.
QList<QWidget*> controls(QWidget* form);

// Names compare ignoring case. Without an index the first control of that name is returned.
QWidget* findControl(QWidget* form, const QString& name, std::optional<int> index = std::nullopt);

// The elements of a control array, ordered by index (first = lower bound, last = upper bound).
QList<QWidget*> controlArray(QWidget* form, const QString& name);

// Adds a hidden control of the given name to the form; a name already in use fails with run-time
// error 727.
template <class W>
W* addControl(QWidget* form, const QString& name) {
  if (findControl(form, name))
    throw vb::Error(727, QStringLiteral("Ya existe un control con el nombre '%1'").arg(name));
  auto* control = new W(form);
  control->setObjectName(name);
  control->hide();
  return control;
}

// Whole twips of a measure in pixels, and of a font size in points.
inline int pixelsTw(int pixels) { return qRound(ui::pixelsToTwips(pixels)); }
inline int pointsTw(double points) { return qRound(ui::pointsToTwips(points)); }

// Geometry in twips. What was set in twips is read back exactly (unless the widget moved since);
// anything else reads as its pixels times 15.
int leftTw(const QWidget* control);
int topTw(const QWidget* control);
int widthTw(const QWidget* control);
int heightTw(const QWidget* control);
void moveTw(QWidget* control, int left, int top);
void moveTw(QWidget* control, int left, int top, int width, int height);
void setWidthTw(QWidget* control, int width);
void setHeightTw(QWidget* control, int height);

// A form's Width and Height are its outer size: the client area plus what the window system draws
// around it (nothing until the window is shown).
int formBorderWidthTw(const QWidget* form);
int formBorderHeightTw(const QWidget* form);
int formWidthTw(const QWidget* form);
int formHeightTw(const QWidget* form);
void setFormSizeTw(QWidget* form, int width, int height);

int fontSizeTw(const QFont& font);
int textWidthTw(const QFont& font, const QString& text);

// Queues Tab keystrokes to whatever has the focus when each one is delivered.
void sendTabKeys(int count);

}  // namespace vbui
