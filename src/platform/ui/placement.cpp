#include "placement.h"

#include "forms.h"
#include "settings.h"
#include "twips.h"
#include "variant.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <cmath>
#include <optional>

namespace ui {

namespace {

const QString kLeft = QStringLiteral("Izquierda");
const QString kTop = QStringLiteral("Arriba");
const QString kWidth = QStringLiteral("Largo");
const QString kHeight = QStringLiteral("Altura");
const QString kVisible = QStringLiteral("Visible");
const QString kStatus = QStringLiteral("Status");

// Beyond any screen: a stored value past it is taken as unreadable rather than overflow a coordinate.
constexpr double kMaxPixels = 1000000;
// How much of a window must show on some screen for it to count as reachable.
constexpr int kReachableWidth = 40;
constexpr int kReachableHeight = 20;

std::optional<int> readPixels(const QString& app, const QString& section, const QString& key) {
  const std::optional<double> twips = vb::parseNumber(GetSetting(app, section, key));
  if (!twips || !std::isfinite(*twips) || std::abs(*twips / kTwipsPerPixel) > kMaxPixels) return std::nullopt;
  return twipsToPixels(*twips);
}

// VB's text of a Single: twips from whole pixels are whole numbers.
QString singleText(int pixels) { return vb::Variant(static_cast<float>(pixelsToTwips(pixels))).toString(); }

bool reachable(const QRect& r, const QRect& area) {
  const QRect common = r.intersected(area);
  return common.width() >= std::min(kReachableWidth, r.width()) &&
         common.height() >= std::min(kReachableHeight, r.height());
}

// A window no screen shows comes back at the top left of the main screen, no larger than it.
QRect onScreen(const QRect& r) {
  for (QScreen* s : QGuiApplication::screens())
    if (reachable(r, s->availableGeometry())) return r;
  QScreen* primary = QGuiApplication::primaryScreen();
  if (!primary) return r;
  const QRect avail = primary->availableGeometry();
  return QRect(avail.topLeft(), r.size().boundedTo(avail.size()));
}

QRect inArea(const QRect& r, const QMdiArea* area) {
  if (!area) return r;
  const QRect view = area->viewport()->rect();
  if (view.isEmpty() || reachable(r, view)) return r;
  return QRect(view.topLeft(), r.size());
}

Qt::WindowStates stateFor(int status, Qt::WindowStates current) {
  current &= ~(Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen);
  if (status == 1) return current | Qt::WindowMinimized;
  if (status == 2) return current | Qt::WindowMaximized;
  return current;
}

// Setting a state on a hidden MDI frame would show it at once; it waits for the frame's first show.
class StateOnShow : public QObject {
public:
  StateOnShow(QMdiSubWindow* frame, int status) : QObject(frame), status_(status) {
    frame->installEventFilter(this);
  }
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Show) {
      QPointer<QMdiSubWindow> frame = static_cast<QMdiSubWindow*>(watched);
      const int status = status_;
      QTimer::singleShot(0, frame, [frame, status] {
        if (frame) frame->setWindowState(stateFor(status, frame->windowState()));
      });
      deleteLater();
      frame->removeEventFilter(this);
    }
    return false;
  }

private:
  int status_;
};

// What both directions work on: the store's names and the widget that carries the place.
struct Subject {
  QString app;
  QString section;
  QMdiSubWindow* frame;  // an MDI child's frame, else nullptr
  QWidget* target;       // the frame, or the form itself
};

std::optional<Subject> subjectOf(QWidget* form) {
  if (!form || Forms::name(form).isEmpty()) return std::nullopt;
  QMdiSubWindow* frame = Forms::subWindowOf(form);
  return Subject{exeName(), Forms::name(form), frame, frame ? static_cast<QWidget*>(frame) : form};
}

}  // namespace

QString exeName() {
  const QString name = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
  return name.isEmpty() ? QCoreApplication::applicationName() : name;
}

void UbicaForma(QWidget* form) {
  const std::optional<Subject> subject = subjectOf(form);
  if (!subject) return;
  const auto& [app, section, frame, target] = *subject;

  QRect r = frame ? frame->geometry() : QRect(form->pos(), form->size());
  if (auto v = readPixels(app, section, kLeft)) r.moveLeft(*v);
  if (auto v = readPixels(app, section, kTop)) r.moveTop(*v);
  if (auto v = readPixels(app, section, kWidth); v && *v > 0) r.setWidth(*v);
  if (auto v = readPixels(app, section, kHeight); v && *v > 0) r.setHeight(*v);
  if (frame) {
    r = inArea(r, frame->mdiArea());
    frame->setGeometry(r);
  } else {
    if (form->isWindow()) r = onScreen(r);
    form->move(r.topLeft());
    form->resize(r.size());
  }

  const std::optional<double> status = vb::parseNumber(GetSetting(app, section, kStatus));
  if (!status || (*status != 0 && *status != 1 && *status != 2)) return;
  if (frame && frame->isHidden())
    new StateOnShow(frame, static_cast<int>(*status));
  else
    target->setWindowState(stateFor(static_cast<int>(*status), target->windowState()));
}

void GrabaForma(QWidget* form) {
  const std::optional<Subject> subject = subjectOf(form);
  if (!subject) return;
  const auto& [app, section, frame, target] = *subject;

  QRect r;
  if (frame) {
    r = Forms::normalGeometryOf(form);
  } else if (form->isWindow() && (form->windowState() & (Qt::WindowMinimized | Qt::WindowMaximized))) {
    // normalGeometry() is the inside; the position is kept as the frame's, as move() takes it.
    const QPoint frameOffset = form->geometry().topLeft() - form->pos();
    r = form->normalGeometry();
    r.moveTopLeft(r.topLeft() - frameOffset);
  }
  if (!r.isValid()) r = QRect(target->pos(), target->size());

  const Qt::WindowStates state = target->windowState();
  const int status = state & Qt::WindowMinimized ? 1 : state & Qt::WindowMaximized ? 2 : 0;
  const std::pair<const QString&, QString> values[] = {
      {kLeft, singleText(r.x())},
      {kTop, singleText(r.y())},
      {kWidth, singleText(r.width())},
      {kHeight, singleText(r.height())},
      {kVisible, target->isHidden() ? QStringLiteral("False") : QStringLiteral("True")},
      {kStatus, QString::number(status)},
  };
  for (const auto& [key, text] : values) {
    try {
      SaveSetting(app, section, key, text);
    } catch (const vb::Error&) {
      // Placement is a convenience: a store that cannot be written loses the place, nothing else.
    }
  }
}

}  // namespace ui
