#include "forms.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QVariant>

namespace ui {

namespace {

const char* const kNormalGeometry = "tornavoNormalGeometry";

bool isMdiChild(const QWidget* form) { return form->property("MDIChild").toBool(); }

QString className(const QMetaObject* meta) {
  const QString full = QString::fromLatin1(meta->className());
  return full.mid(full.lastIndexOf(QLatin1Char(':')) + 1);
}

}  // namespace

Forms& Forms::instance() {
  static QPointer<Forms> registry;
  if (!registry) registry = new Forms(qApp);
  return *registry;
}

Forms::Forms(QObject* parent) : QObject(parent) {}

QString Forms::name(const QWidget* form) { return form ? form->objectName() : QString(); }

QMdiSubWindow* Forms::subWindowOf(const QWidget* form) {
  return form ? qobject_cast<QMdiSubWindow*>(form->parentWidget()) : nullptr;
}

QRect Forms::normalGeometryOf(const QWidget* form) {
  QMdiSubWindow* sub = subWindowOf(form);
  if (!sub) return QRect();
  if (!(sub->windowState() & (Qt::WindowMinimized | Qt::WindowMaximized))) return sub->geometry();
  return sub->property(kNormalGeometry).toRect();
}

QWidget* Forms::findDefault(const QMetaObject* meta) const {
  for (const Entry& e : entries_)
    if (e.defaultOf == meta && e.form && !e.unloading) return e.form;
  return nullptr;
}

Forms::Entry* Forms::entryFor(const QObject* formOrFrame) {
  for (Entry& e : entries_)
    if (e.form && (e.form == formOrFrame || subWindowOf(e.form) == formOrFrame)) return &e;
  return nullptr;
}

void Forms::enroll(QWidget* form, const QMetaObject* defaultOf) {
  if (form->objectName().isEmpty()) form->setObjectName(className(form->metaObject()));
  entries_.append(Entry{form, defaultOf});
  form->installEventFilter(this);
  connect(form, &QObject::destroyed, this, &Forms::forget);
  // An MDI child gets its frame at once, so that its load steps can already place it in the area.
  if (isMdiChild(form) && area_) {
    QMdiSubWindow* sub = area_->addSubWindow(form);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    sub->installEventFilter(this);
  }
}

QWidget* Forms::load(QWidget* form, const QMetaObject* defaultOf) {
  enroll(form, defaultOf);
  QPointer<QWidget> guard(form);
  if (auto* hooks = dynamic_cast<Form*>(form)) {
    try {
      hooks->Form_Load();
    } catch (...) {
      // A load that fails leaves nothing loaded behind it.
      if (guard) {
        forget(form);
        QWidget* frame = subWindowOf(form);
        (frame ? frame : form)->deleteLater();
      }
      throw;
    }
  }
  return guard && isLoaded(guard) ? guard.data() : nullptr;
}

void Forms::add(QWidget* form) {
  if (form && !isLoaded(form)) enroll(form, nullptr);
}

bool Forms::isLoaded(const QWidget* form) const {
  for (const Entry& e : entries_)
    if (e.form == form && !e.unloading) return form != nullptr;
  return false;
}

QList<QWidget*> Forms::loaded() const {
  QList<QWidget*> out;
  for (const Entry& e : entries_)
    if (e.form && !e.unloading) out.append(e.form);
  return out;
}

QWidget* Forms::form(const QString& name) const {
  for (QWidget* f : loaded())
    if (f->objectName() == name) return f;
  return nullptr;
}

void Forms::show(QWidget* form) {
  if (!isLoaded(form)) return;
  if (isMdiChild(form) && area_) {
    QMdiSubWindow* sub = subWindowOf(form);
    if (!sub) {
      sub = area_->addSubWindow(form);
      sub->setAttribute(Qt::WA_DeleteOnClose);
      sub->installEventFilter(this);
    }
    form->show();
    sub->show();
    area_->setActiveSubWindow(sub);
    return;
  }
  form->show();
  form->raise();
  form->activateWindow();
}

int Forms::showModal(QDialog* form) {
  if (!isLoaded(form)) return QDialog::Rejected;
  if (modalRunner_) return modalRunner_(form);
  return form->exec();
}

void Forms::setModalRunner(std::function<int(QDialog*)> runner) { modalRunner_ = std::move(runner); }

bool Forms::unload(QWidget* form) {
  Entry* e = entryFor(form);
  if (!e || e->form != form) return false;
  if (e->unloading) return true;
  QWidget* frame = subWindowOf(form);
  (frame ? frame : form)->close();  // the close reaches the form, where eventFilter unloads it
  if (isLoaded(form)) finishUnload(form);  // a frame that did not pass the close on
  return true;
}

void Forms::descargaFormas(const QString& keep) {
  QList<QPointer<QWidget>> all;
  for (QWidget* f : loaded()) all.append(f);
  for (const QPointer<QWidget>& f : all)
    if (f && f->objectName() != keep) unload(f);
}

void Forms::finishUnload(QWidget* form) {
  Entry* e = entryFor(form);
  if (!e || e->form != form || e->unloading) return;
  e->unloading = true;
  QPointer<QWidget> guard(form);
  finishPendingEdits(form);
  if (!guard) return;
  if (auto* hooks = dynamic_cast<Form*>(form)) hooks->Form_Unload();
  if (!guard) return;
  forget(form);
  QWidget* frame = subWindowOf(form);
  (frame ? frame : form)->deleteLater();
}

void Forms::finishPendingEdits(QWidget* form) {
  // The form's own controls: those of a form shown inside it (an MDI child of the main window) are
  // finished when that form unloads.
  const auto ownerOf = [this](QWidget* w) -> QWidget* {
    for (QWidget* p = w->parentWidget(); p; p = p->parentWidget())
      if (entryFor(p) && entryFor(p)->form == p) return p;
    return nullptr;
  };
  QList<QPointer<QWidget>> controls;
  for (QWidget* w : form->findChildren<QWidget*>())
    if (dynamic_cast<PendingEdit*>(w) && ownerOf(w) == form) controls.append(w);
  // A message shown on the way may let events run: each control is checked before it is used.
  for (const QPointer<QWidget>& w : controls)
    if (w) dynamic_cast<PendingEdit*>(w.data())->FinishPendingEdit();
}

void Forms::forget(QObject* form) {
  entries_.removeIf([form](const Entry& e) { return e.form == form || e.form.isNull(); });
}

bool Forms::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Close) {
    Entry* e = entryFor(watched);
    if (e && e->form == watched) {
      // The registry decides: every close of a loaded form is its unload.
      if (!e->unloading) finishUnload(e->form);
      event->accept();
      return true;
    }
  } else if (event->type() == QEvent::Move || event->type() == QEvent::Resize) {
    auto* sub = qobject_cast<QMdiSubWindow*>(watched);
    if (sub && !(sub->windowState() & (Qt::WindowMinimized | Qt::WindowMaximized)))
      sub->setProperty(kNormalGeometry, sub->geometry());
  }
  return QObject::eventFilter(watched, event);
}

void Forms::setMdiArea(QMdiArea* area) { area_ = area; }

QWidget* Forms::activeChild() const {
  if (!area_) return nullptr;
  QMdiSubWindow* sub = area_->currentSubWindow();
  return sub ? sub->widget() : nullptr;
}

QWidget* Forms::nextForm(const QString& current, const QString& mainName) const {
  const QList<QWidget*> all = loaded();
  for (int i = 0; i < all.size(); ++i)
    if (all[i]->objectName() == current) {
      if (i + 1 < all.size()) return all[i + 1];
      break;
    }
  for (QWidget* f : all)
    if (f->objectName() != mainName) return f;
  return nullptr;
}

bool Forms::activate(QWidget* form) {
  if (!isLoaded(form)) return false;
  if (QMdiSubWindow* sub = subWindowOf(form)) {
    if (sub->isHidden() || !area_ || sub->mdiArea() != area_) return false;
    area_->setActiveSubWindow(sub);
    return true;
  }
  if (form->isHidden()) return false;
  form->raise();
  form->activateWindow();
  return true;
}

}  // namespace ui
