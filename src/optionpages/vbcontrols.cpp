#include "vbcontrols.h"

#include <QCollator>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionGroupBox>
#include <QStyleOptionTabWidgetFrame>
#include <QStylePainter>
#include <QTabBar>
#include <algorithm>

#include "error.h"
#include "vbui.h"

// ---------------------------------------------------------------------------------------------------
// VbFrame

VbFrame::VbFrame(QWidget* parent) : QFrame(parent) {}

void VbFrame::setCaption(const QString& caption) {
  caption_ = caption;
  update();
}

void VbFrame::setBorderStyle(int style) {
  borderStyle_ = style;
  update();
}

void VbFrame::paintEvent(QPaintEvent*) {
  if (borderStyle_ == 0) return;
  QStylePainter painter(this);
  QStyleOptionGroupBox option;
  option.initFrom(this);
  option.text = caption_;
  option.textAlignment = Qt::AlignLeft;
  option.lineWidth = 1;
  option.midLineWidth = 0;
  option.subControls = QStyle::SC_GroupBoxFrame;
  if (!caption_.isEmpty()) option.subControls |= QStyle::SC_GroupBoxLabel;
  painter.drawComplexControl(QStyle::CC_GroupBox, option);
}

// ---------------------------------------------------------------------------------------------------
// VbLine

namespace {
const int kLineMargin = 2;  // pixels around the line's end points that the widget covers
}

VbLine::VbLine(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_TransparentForMouseEvents);
  place();
}

void VbLine::setX1(int twips) { x1_ = twips; place(); }
void VbLine::setY1(int twips) { y1_ = twips; place(); }
void VbLine::setX2(int twips) { x2_ = twips; place(); }
void VbLine::setY2(int twips) { y2_ = twips; place(); }

void VbLine::setBorderWidth(int pixels) {
  borderWidth_ = std::max(pixels, 1);
  place();
}

void VbLine::setBorderColor(const QColor& color) {
  color_ = color;
  update();
}

void VbLine::place() {
  const int reach = kLineMargin + borderWidth_;
  const int left = ui::twipsToPixels(std::min(x1_, x2_)) - reach;
  const int top = ui::twipsToPixels(std::min(y1_, y2_)) - reach;
  const int right = ui::twipsToPixels(std::max(x1_, x2_)) + reach;
  const int bottom = ui::twipsToPixels(std::max(y1_, y2_)) + reach;
  setGeometry(left, top, right - left, bottom - top);
  update();
}

void VbLine::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const QPoint origin = pos();
  const QPoint from(ui::twipsToPixels(x1_) - origin.x(), ui::twipsToPixels(y1_) - origin.y());
  const QPoint to(ui::twipsToPixels(x2_) - origin.x(), ui::twipsToPixels(y2_) - origin.y());
  if (from.y() == to.y()) {
    // Rows y - width/2 ... : a width of 2 covers the row above Y and Y itself.
    const int top = from.y() - borderWidth_ / 2;
    painter.fillRect(QRect(QPoint(std::min(from.x(), to.x()), top),
                           QPoint(std::max(from.x(), to.x()) - 1, top + borderWidth_ - 1)),
                     color_);
    return;
  }
  painter.setPen(QPen(color_, borderWidth_, Qt::SolidLine, Qt::FlatCap));
  painter.drawLine(from, to);
}

// ---------------------------------------------------------------------------------------------------
// VbTreeView

namespace {

const int kTagRole = Qt::UserRole;
const int kKeyRole = Qt::UserRole + 1;

const QCollator& spanishOrder() {
  static const QCollator collator = [] {
    QCollator c(QLocale(QLocale::Spanish, QLocale::Mexico));
    c.setCaseSensitivity(Qt::CaseInsensitive);
    return c;
  }();
  return collator;
}

class Node : public QTreeWidgetItem {
public:
  using QTreeWidgetItem::QTreeWidgetItem;
  bool operator<(const QTreeWidgetItem& other) const override {
    return spanishOrder().compare(text(0), other.text(0)) < 0;
  }
};

vb::Error keyNotUnique() {
  return vb::Error(35602, QStringLiteral("La clave no es única en la colección"));
}

}  // namespace

VbTreeView::VbTreeView(QWidget* parent) : QTreeWidget(parent) {
  setColumnCount(1);
  setHeaderHidden(true);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setRootIsDecorated(true);
  setSortingEnabled(false);
  connect(this, &QTreeWidget::itemClicked, this, [this] { emit genericEvent(QStringLiteral("NodeClick")); });
  connect(this, &QTreeWidget::itemCollapsed, this, [this](QTreeWidgetItem* collapsed) {
    for (QTreeWidgetItem* up = currentItem() ? currentItem()->parent() : nullptr; up; up = up->parent())
      if (up == collapsed) {
        selectNode(collapsed);
        break;
      }
    emit genericEvent(QStringLiteral("Collapse"));
  });
}

QTreeWidgetItem* VbTreeView::addNode(QTreeWidgetItem* parent, const QString& key, const QString& text) {
  const QString folded = key.toCaseFolded();
  if (byKey_.contains(folded)) throw keyNotUnique();
  auto* node = parent ? new Node(parent) : new Node(this);
  node->setText(0, text);
  node->setData(0, kKeyRole, key);
  node->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
  nodes_.append(node);
  byKey_.insert(folded, node);
  return node;
}

QTreeWidgetItem* VbTreeView::node(const QString& key) const { return byKey_.value(key.toCaseFolded()); }

void VbTreeView::clearNodes() {
  const QSignalBlocker quiet(this);
  clear();
  nodes_.clear();
  byKey_.clear();
}

void VbTreeView::sortNodes() { sortItems(0, Qt::AscendingOrder); }

void VbTreeView::ensureVisible(QTreeWidgetItem* node) {
  for (QTreeWidgetItem* up = node->parent(); up; up = up->parent()) up->setExpanded(true);
  scrollToItem(node);
}

void VbTreeView::selectNode(QTreeWidgetItem* node) {
  const QSignalBlocker quiet(this);
  setCurrentItem(node);
}

QString VbTreeView::key(const QTreeWidgetItem* node) { return node->data(0, kKeyRole).toString(); }
QString VbTreeView::tag(const QTreeWidgetItem* node) { return node->data(0, kTagRole).toString(); }
void VbTreeView::setTag(QTreeWidgetItem* node, const QString& tag) { node->setData(0, kTagRole, tag); }

void VbTreeView::keyPressEvent(QKeyEvent* event) {
  QTreeWidgetItem* before = currentItem();
  QTreeWidget::keyPressEvent(event);
  if (currentItem() != before && currentItem()) emit genericEvent(QStringLiteral("NodeClick"));
}

// ---------------------------------------------------------------------------------------------------
// VbTabStrip

namespace {

const int kTabKeyRole = 0;
const int kTabTagRole = 1;

// A tab bar that tells when the user picked a tab, once the pick has made it the current one.
class PickingTabBar : public QTabBar {
  Q_OBJECT
public:
  using QTabBar::QTabBar;

signals:
  void picked();

protected:
  // A row of tabs is as high as the font's size plus 90 twips, what the pages below are placed by.
  QSize tabSizeHint(int index) const override {
    QSize size = QTabBar::tabSizeHint(index);
    size.setHeight(ui::twipsToPixels(vbui::fontSizeTw(font()) + 90));
    return size;
  }
  void mousePressEvent(QMouseEvent* event) override {
    const int at = tabAt(event->position().toPoint());
    QTabBar::mousePressEvent(event);
    if (at >= 0 && event->button() == Qt::LeftButton) emit picked();
  }
  void keyPressEvent(QKeyEvent* event) override {
    const int before = currentIndex();
    QTabBar::keyPressEvent(event);
    if (currentIndex() != before) emit picked();
  }
};

QStringList tabData(const QTabBar* bar, int index) { return bar->tabData(index).toStringList(); }

}  // namespace

VbTabStrip::VbTabStrip(QWidget* parent) : QWidget(parent) {
  auto* bar = new PickingTabBar(this);
  bar->setDrawBase(false);
  bar->setExpanding(false);
  bar->setUsesScrollButtons(true);
  connect(bar, &PickingTabBar::picked, this, [this] { emit genericEvent(QStringLiteral("Click")); });
  connect(bar, &QTabBar::currentChanged, this, qOverload<>(&QWidget::update));
  bar_ = bar;
  placeBar();
}

int VbTabStrip::addTab(const QString& key, const QString& caption) {
  for (int i = 0; i < bar_->count(); ++i)
    if (tabKey(i).compare(key, Qt::CaseInsensitive) == 0) throw keyNotUnique();
  const QSignalBlocker quiet(bar_);
  const int index = bar_->addTab(caption);
  bar_->setTabData(index, QStringList{key, QString()});
  placeBar();
  return index;
}

int VbTabStrip::count() const { return bar_->count(); }
QString VbTabStrip::tabKey(int index) const { return tabData(bar_, index).value(kTabKeyRole); }
QString VbTabStrip::tabCaption(int index) const { return bar_->tabText(index); }
QString VbTabStrip::tabTag(int index) const { return tabData(bar_, index).value(kTabTagRole); }

void VbTabStrip::setTabTag(int index, const QString& tag) {
  QStringList data = tabData(bar_, index);
  data = QStringList{data.value(kTabKeyRole), tag};
  bar_->setTabData(index, data);
}

int VbTabStrip::selectedIndex() const { return bar_->currentIndex(); }

void VbTabStrip::selectTab(int index) {
  const QSignalBlocker quiet(bar_);
  bar_->setCurrentIndex(index);
  update();
}

void VbTabStrip::clearTabs() {
  const QSignalBlocker quiet(bar_);
  while (bar_->count() > 0) bar_->removeTab(bar_->count() - 1);
  update();
}

void VbTabStrip::placeBar() {
  const int height = bar_->sizeHint().height();
  bar_->setGeometry(0, 0, std::min(bar_->sizeHint().width(), width()), height);
}

void VbTabStrip::resizeEvent(QResizeEvent*) { placeBar(); }

void VbTabStrip::paintEvent(QPaintEvent*) {
  QStylePainter painter(this);
  QStyleOptionTabWidgetFrame option;
  option.initFrom(this);
  option.shape = QTabBar::RoundedNorth;
  option.lineWidth = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, this);
  option.tabBarSize = bar_->size();
  option.tabBarRect = bar_->geometry();
  if (bar_->currentIndex() >= 0)
    option.selectedTabRect = bar_->tabRect(bar_->currentIndex()).translated(bar_->pos());
  const int overlap = style()->pixelMetric(QStyle::PM_TabBarBaseOverlap, nullptr, this);
  const int top = std::max(bar_->height() - overlap, 0);
  option.rect = QRect(0, top, width(), std::max(height() - top, 0));
  painter.drawPrimitive(QStyle::PE_FrameTabWidget, option);
}

#include "vbcontrols.moc"
