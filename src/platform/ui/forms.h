#pragma once
// The form registry: the program's loaded forms, in load order. A form class has one program-wide
// default instance, created on first use (its load steps run then, before any show) and released when
// it is unloaded, so that the next use creates it anew; a form may also be created as an extra instance.
//
// A form is any QWidget. It is an MDI child when its property "MDIChild" is true (shown in the MDI
// area), its Name is its objectName (the class name unless the form sets another). Its load and
// unload steps go in the ui::Form hooks, not in closeEvent: every way of closing a loaded form
// (Unload, its close box, descargaFormas) finishes its controls' pending edits (PendingEdit), runs
// Form_Unload once and takes it out of the registry.
#include <QList>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QString>
#include <functional>

class QDialog;
#include <QMdiArea>
class QMdiSubWindow;
class QWidget;

namespace ui {

class Form {
public:
  virtual ~Form() = default;
  virtual void Form_Load() {}    // once, when the registry creates the form
  virtual void Form_Unload() {}  // once, when the form is unloaded in any way, before it goes
};

// A control holding an edit the user has not finished (a grid's open cell, a row not yet written).
// Before a form's Form_Unload, however the form is closed, the registry has each such control of the
// form finish it as Enter would: an accepted value is written; a refused one is explained by its
// message, as Enter would explain it, and dropped, and the close goes on.
class PendingEdit {
public:
  virtual ~PendingEdit() = default;
  virtual void FinishPendingEdit() = 0;
};

class Forms : public QObject {
  Q_OBJECT
public:
  static Forms& instance();  // the program's registry (lives as long as the QApplication)

  // The default instance of T: created on first use with its Form_Load run, not shown. nullptr when
  // the form unloaded itself during Form_Load.
  template <class T> T* get() {
    if (QWidget* f = findDefault(&T::staticMetaObject)) return static_cast<T*>(f);
    return static_cast<T*>(load(new T(), &T::staticMetaObject));
  }
  // The default instance of T if it is loaded, else nullptr (nothing is created).
  template <class T> T* find() const { return static_cast<T*>(findDefault(&T::staticMetaObject)); }
  // A new instance of T besides the default one (Form_Load run, not shown).
  template <class T> T* create() { return static_cast<T*>(load(new T(), nullptr)); }
  // Registers a form made elsewhere as a loaded extra instance (Form_Load is not run).
  void add(QWidget* form);

  bool isLoaded(const QWidget* form) const;
  QList<QWidget*> loaded() const;            // in load order
  QWidget* form(const QString& name) const;  // the first loaded form with that Name, or nullptr
  static QString name(const QWidget* form);

  // Shows a loaded form without waiting: an MDI child in the MDI area (made the current child),
  // any other form as a window of its own, raised.
  void show(QWidget* form);
  // Shows a loaded dialog modal and returns when it is closed or hidden (its result code).
  int showModal(QDialog* form);
  // Tests run modal forms through this instead of a nested event loop; an empty function restores it.
  void setModalRunner(std::function<int(QDialog*)> runner);

  // Unloads a loaded form: Form_Unload, out of the registry, hidden and deleted. False if not loaded.
  bool unload(QWidget* form);
  // Unloads every loaded form whose Name differs (case-sensitively) from `keep`.
  void descargaFormas(const QString& keep);

  void setMdiArea(QMdiArea* area);
  QMdiArea* mdiArea() const { return area_; }
  // The form of the MDI area's current child (also while the main window is not the active one).
  QWidget* activeChild() const;
  // "Next window": the loaded form after the one named `current`, or, when none follows it, the first
  // form whose Name differs from `mainName`; nullptr when there is none.
  QWidget* nextForm(const QString& current, const QString& mainName) const;
  // Gives a shown form the focus (MDI child: the current child). False when it is not shown.
  bool activate(QWidget* form);

  static QMdiSubWindow* subWindowOf(const QWidget* form);
  // The place an MDI child has when neither minimised nor maximised (the registry keeps it, as
  // QMdiSubWindow does not tell it); an invalid rectangle for any other form.
  static QRect normalGeometryOf(const QWidget* form);

protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  struct Entry {
    QPointer<QWidget> form;
    const QMetaObject* defaultOf;  // the class whose default instance this is, or nullptr
    bool unloading = false;
  };
  explicit Forms(QObject* parent);
  QWidget* findDefault(const QMetaObject* meta) const;
  QWidget* load(QWidget* form, const QMetaObject* defaultOf);
  void enroll(QWidget* form, const QMetaObject* defaultOf);
  Entry* entryFor(const QObject* formOrFrame);
  void finishUnload(QWidget* form);
  void finishPendingEdits(QWidget* form);
  void forget(QObject* form);

  QList<Entry> entries_;
  QPointer<QMdiArea> area_;
  std::function<int(QDialog*)> modalRunner_;
};

}  // namespace ui
