#include "barcontrol.h"

#include "error.h"

#include <QAction>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QScopedValueRollback>
#include <QSignalBlocker>
#include <QToolBar>
#include <QVBoxLayout>

namespace ui {

namespace {

[[noreturn]] void notFound(const QString& what) {
  throw vb::Error(5, vb::Error::standardDescription(5) + QStringLiteral(": ") + what);
}

// Bands nest only a few levels; a deeper chain can only be a header loop (a menu reached through itself).
constexpr int kMaxDepth = 16;

}  // namespace

QString withoutAccessKeys(const QString& caption) {
  QString shown;
  shown.reserve(caption.size());
  for (qsizetype i = 0; i < caption.size(); ++i) {
    if (caption[i] == u'&' && i + 1 < caption.size()) ++i;
    shown += caption[i];
  }
  return shown;
}

// ---- Tool -----------------------------------------------------------------------------------------

Tool::Tool(QString name, QString caption, QAction* action)
    : name_(std::move(name)), designCaption_(std::move(caption)), action_(action) {
  setCaption(designCaption_);
}

void Tool::setCaption(const QString& caption, int accessKeyLength) {
  caption_ = caption;
  const QString marked = accessKeyLength < 0 ? caption : caption.left(accessKeyLength);
  const QString literal = accessKeyLength < 0 ? QString() : caption.mid(accessKeyLength);
  action_->setText(marked + QString(literal).replace(u'&', QStringLiteral("&&")));
  // Set explicitly: the text Qt derives for a tool button drops a closing "...".
  action_->setIconText(withoutAccessKeys(marked) + literal);
}
bool Tool::isEnabled() const { return action_->isEnabled(); }
void Tool::setEnabled(bool enabled) { action_->setEnabled(enabled); }
bool Tool::isVisible() const { return action_->isVisible(); }
void Tool::setVisible(bool visible) { action_->setVisible(visible); }
bool Tool::isCheckable() const { return action_->isCheckable(); }
bool Tool::isChecked() const { return action_->isChecked(); }
void Tool::setChecked(bool checked) { action_->setChecked(checked); }

// ---- Band -----------------------------------------------------------------------------------------

Band::Band(BarControl* bar, QString name, QString caption, BandKind kind, QWidget* widget, Band* parent)
    : bar_(bar), name_(std::move(name)), caption_(std::move(caption)), kind_(kind), widget_(widget), parent_(parent) {}

QMenuBar* Band::menuBar() const { return qobject_cast<QMenuBar*>(widget_); }
QMenu* Band::menu() const { return qobject_cast<QMenu*>(widget_); }
QToolBar* Band::toolBar() const { return qobject_cast<QToolBar*>(widget_); }

Tool* Band::findTool(const QString& name) const {
  for (Tool* t : tools_)
    if (t->name() == name) return t;
  return nullptr;
}

bool Band::isVisible() const {
  switch (kind_) {
    case BandKind::Child: return holder_->isVisible();
    case BandKind::Menu:
    case BandKind::Popup: return widget_->isVisible();
    case BandKind::MenuBar:
    case BandKind::ToolBar: return !widget_->isHidden();
  }
  return false;
}

void Band::setVisible(bool visible) {
  QScopedValueRollback guard(bar_->settingVisibility_, true);
  switch (kind_) {
    case BandKind::Child: holder_->setVisible(visible); break;
    case BandKind::Menu:
    case BandKind::Popup:
      if (!visible) widget_->hide();
      break;
    case BandKind::MenuBar:
    case BandKind::ToolBar:
      widget_->setVisible(visible);
      visible_ = visible;
      break;
  }
}

// ---- BarControl -----------------------------------------------------------------------------------

BarControl::BarControl(QMainWindow* host) : QObject(host), host_(host) {}

BarControl::~BarControl() = default;

Band* BarControl::newBand(const QString& name, const QString& caption, BandKind kind, QWidget* widget,
                          Band* parent) {
  if (name.isEmpty() || findBand(name)) notFound(QStringLiteral("banda repetida \"%1\"").arg(name));
  widget->setObjectName(name);
  bands_.push_back(std::unique_ptr<Band>(new Band(this, name, caption, kind, widget, parent)));
  return bands_.back().get();
}

Band* BarControl::addMenuBar(const QString& name, const QString& caption) {
  for (const auto& b : bands_)
    if (b->kind() == BandKind::MenuBar) notFound(QStringLiteral("segunda barra de menú \"%1\"").arg(name));
  QMenuBar* bar = host_->menuBar();
  return newBand(name, caption, BandKind::MenuBar, bar, nullptr);
}

Band* BarControl::addMenu(const QString& name, const QString& caption) {
  auto* menu = new QMenu(caption, host_);
  Band* band = newBand(name, caption, BandKind::Menu, menu, nullptr);
  watchMenu(band);
  return band;
}

Band* BarControl::addPopup(const QString& name, const QString& caption) {
  auto* menu = new QMenu(caption, host_);
  Band* band = newBand(name, caption, BandKind::Popup, menu, nullptr);
  watchMenu(band);
  return band;
}

Band* BarControl::addToolBar(const QString& name, const QString& caption, Qt::ToolBarArea area) {
  auto* bar = new QToolBar(caption, host_);
  bar->setToolButtonStyle(Qt::ToolButtonTextOnly);
  Band* band = newBand(name, caption, BandKind::ToolBar, bar, nullptr);
  host_->addToolBar(area, bar);
  watchToolBar(band);
  return band;
}

Band* BarControl::addChildBand(const QString& parentToolBar, const QString& name, const QString& caption) {
  Band* parent = band(parentToolBar);
  if (parent->kind() != BandKind::ToolBar)
    notFound(QStringLiteral("\"%1\" no es una barra de herramientas").arg(parentToolBar));
  QToolBar* outer = parent->toolBar();
  // The child band is a tool bar of its own inside the outer one, under a caption, so that it shows and
  // hides as a whole while its tools keep their own flags.
  auto* box = new QWidget(outer);
  auto* layout = new QVBoxLayout(box);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  auto* title = new QLabel(caption, box);
  title->setObjectName(name + QStringLiteral("_caption"));
  title->setAlignment(Qt::AlignCenter);
  title->setFrameShape(QFrame::StyledPanel);
  auto* inner = new QToolBar(caption, box);
  inner->setToolButtonStyle(outer->toolButtonStyle());
  inner->setMovable(false);
  // QToolBar fixes its width across its length on every turn; the inner bar spans the outer one.
  auto follow = [inner](Qt::Orientation o) {
    inner->setOrientation(o);
    inner->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
  };
  follow(outer->orientation());
  connect(outer, &QToolBar::orientationChanged, inner, follow);
  layout->addWidget(title);
  layout->addWidget(inner);
  Band* band = newBand(name, caption, BandKind::Child, inner, parent);
  band->holder_ = outer->addWidget(box);
  return band;
}

Tool* BarControl::toolFor(const QString& name, const QString& caption, bool checkable) {
  if (!name.isEmpty())
    if (Tool* existing = findTool(name)) return existing;
  auto* action = new QAction(caption, this);
  action->setObjectName(name);
  action->setCheckable(checkable);
  tools_.push_back(std::unique_ptr<Tool>(new Tool(name, caption, action)));
  Tool* tool = tools_.back().get();
  connect(action, &QAction::triggered, this, [this, tool](bool checked) { triggered(tool, checked); });
  return tool;
}

// A tool bar's own tools come before its child bands, whatever order the bands were built in.
void BarControl::append(Band* band, QAction* action) {
  QAction* before = nullptr;
  for (const auto& b : bands_)
    if (b->parentBand() == band) {
      before = b->holder_;
      break;
    }
  band->widget()->insertAction(before, action);
}

void BarControl::place(Band* band, Tool* tool) {
  if (tool->isIn(band))
    notFound(QStringLiteral("herramienta \"%1\" repetida en la banda \"%2\"").arg(tool->name(), band->name()));
  append(band, tool->action());
  band->tools_.push_back(tool);
  tool->bands_.push_back(band);
}

Tool* BarControl::addTool(const QString& bandName, const QString& name, const QString& caption, bool checkable) {
  Band* b = band(bandName);
  if (name.isEmpty()) notFound(QStringLiteral("herramienta sin nombre en la banda \"%1\"").arg(bandName));
  Tool* tool = toolFor(name, caption, checkable);
  place(b, tool);
  return tool;
}

Tool* BarControl::addMenuHeader(const QString& bandName, const QString& name, const QString& caption,
                                const QString& menuBand) {
  Band* b = band(bandName);
  Band* sub = band(menuBand);
  if (sub->kind() != BandKind::Menu) notFound(QStringLiteral("\"%1\" no es un menú").arg(menuBand));
  if (b->kind() != BandKind::MenuBar && b->kind() != BandKind::Menu)
    notFound(QStringLiteral("\"%1\" no puede abrir menús").arg(bandName));
  Tool* tool = toolFor(name, caption, false);
  if (tool->subBand_ && tool->subBand_ != sub)
    notFound(QStringLiteral("\"%1\" ya abre otro menú").arg(name));
  tool->subBand_ = sub;
  tool->action()->setMenu(sub->menu());
  place(b, tool);
  return tool;
}

void BarControl::addSeparator(const QString& bandName) {
  Band* b = band(bandName);
  auto* sep = new QAction(this);
  sep->setSeparator(true);
  append(b, sep);
}

Tool* BarControl::addLibraryTool(const QString& name, const QString& caption) {
  if (name.isEmpty()) notFound(QStringLiteral("herramienta sin nombre"));
  return toolFor(name, caption, false);
}

Band* BarControl::findBand(const QString& name) const {
  for (const auto& b : bands_)
    if (b->name() == name) return b.get();
  return nullptr;
}

Tool* BarControl::findTool(const QString& name) const {
  if (name.isEmpty()) return nullptr;
  for (const auto& t : tools_)
    if (t->name() == name) return t.get();
  return nullptr;
}

Band* BarControl::band(const QString& name) const {
  if (Band* b = findBand(name)) return b;
  notFound(QStringLiteral("banda \"%1\"").arg(name));
}

Tool* BarControl::tool(const QString& name) const {
  if (Tool* t = findTool(name)) return t;
  notFound(QStringLiteral("herramienta \"%1\"").arg(name));
}

Tool* BarControl::tool(const QString& bandName, const QString& name) const {
  if (Tool* t = band(bandName)->findTool(name)) return t;
  notFound(QStringLiteral("herramienta \"%1\" en la banda \"%2\"").arg(name, bandName));
}

bool BarControl::canReach(const Band* band) const { return canReach(band, 0); }
bool BarControl::canClick(const Tool* tool) const { return canClick(tool, 0); }

bool BarControl::canReach(const Band* band, int depth) const {
  if (depth > kMaxDepth) return false;
  switch (band->kind()) {
    case BandKind::MenuBar:
    case BandKind::ToolBar: return band->isVisible();
    case BandKind::Child: return band->isVisible() && canReach(band->parentBand(), depth + 1);
    case BandKind::Popup: return true;
    case BandKind::Menu:
      for (const auto& t : tools_)
        if (t->subBand() == band && canClick(t.get(), depth + 1)) return true;
      return false;
  }
  return false;
}

bool BarControl::canClick(const Tool* tool, int depth) const {
  if (!tool->isEnabled() || !tool->isVisible()) return false;
  for (const Band* b : tool->bands())
    if (canReach(b, depth + 1)) return true;
  return false;
}

bool BarControl::click(const QString& name) {
  Tool* t = findTool(name);
  if (!t || !canClick(t)) return false;
  t->action()->trigger();
  return true;
}

void BarControl::showPopup(const QString& bandName, const QPoint& globalPos) {
  Band* b = band(bandName);
  if (b->kind() != BandKind::Popup) notFound(QStringLiteral("\"%1\" no es un menú emergente").arg(bandName));
  b->menu()->popup(globalPos);
}

void BarControl::triggered(Tool* tool, bool checkedNow) {
  if (tool->isCheckable()) {
    // Qt has already flipped the mark; the bar leaves it to the click handler.
    QSignalBlocker block(tool->action());
    tool->action()->setChecked(!checkedNow);
  }
  if (!tool->isEnabled() || !tool->isVisible()) return;
  emit toolClick(tool);
}

void BarControl::watchMenu(Band* band) {
  connect(band->menu(), &QMenu::aboutToShow, this, [this, band] { emit bandOpen(band); });
  connect(band->menu(), &QMenu::aboutToHide, this, [this, band] { emit bandClose(band); });
}

void BarControl::watchToolBar(Band* band) {
  // visibilityChanged also comes when the window itself is shown or hidden; only a change of the bar's
  // own flag made by the user (the window's bar list, a floating bar's close) opens or closes the band.
  connect(band->toolBar(), &QToolBar::visibilityChanged, this, [this, band] {
    const bool own = !band->widget()->isHidden();
    if (own == band->visible_) return;
    band->visible_ = own;
    if (settingVisibility_) return;
    if (own)
      emit bandOpen(band);
    else
      emit bandClose(band);
  });
}

}  // namespace ui
