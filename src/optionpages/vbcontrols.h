#pragma once
// The controls the navigator puts on a host form, and the frame the host builds its pages of: small
// widgets with the behaviour the navigator relies on (captions, border styles, keyed nodes and
// tabs, one generic event per control).
#include <QFrame>
#include <QList>
#include <QMap>
#include <QTreeWidget>
#include <QWidget>

class QTabBar;

// A frame: a box with its caption in the border (BorderStyle 1) or a bare container (BorderStyle 0).
// Hosts build their pages of these; the caption stays readable when no border is drawn.
class VbFrame : public QFrame {
  Q_OBJECT
  Q_PROPERTY(QString Caption READ caption WRITE setCaption)
  Q_PROPERTY(int BorderStyle READ borderStyle WRITE setBorderStyle)
public:
  explicit VbFrame(QWidget* parent = nullptr);
  QString caption() const { return caption_; }
  void setCaption(const QString& caption);
  int borderStyle() const { return borderStyle_; }
  void setBorderStyle(int style);

protected:
  void paintEvent(QPaintEvent* event) override;

private:
  QString caption_;
  int borderStyle_ = 1;
};

// A straight line drawn on its container between (X1, Y1) and (X2, Y2), in twips. A line BorderWidth
// pixels wide covers the rows just above its Y (and the row of Y itself), so a white line of width 1
// laid over a grey one of width 2 at the same Y gives an etched separator.
class VbLine : public QWidget {
  Q_OBJECT
public:
  explicit VbLine(QWidget* parent = nullptr);
  int x1() const { return x1_; }
  int y1() const { return y1_; }
  int x2() const { return x2_; }
  int y2() const { return y2_; }
  void setX1(int twips);
  void setY1(int twips);
  void setX2(int twips);
  void setY2(int twips);
  void setBorderWidth(int pixels);
  void setBorderColor(const QColor& color);

protected:
  void paintEvent(QPaintEvent* event) override;

private:
  void place();
  int x1_ = 0, y1_ = 0, x2_ = 0, y2_ = 0;
  int borderWidth_ = 1;
  QColor color_ = Qt::black;
};

// A tree of keyed nodes, each with a Tag. Nodes keep the order they were added in (their Index, from 1,
// is their place in nodes()), whatever order they are shown in. Every event reaches the owner through
// genericEvent: "NodeClick" when the user picks a node (mouse or keyboard) and "Collapse" when a node is
// collapsed; a collapsed node takes the selection when the selected node was inside it.
class VbTreeView : public QTreeWidget {
  Q_OBJECT
public:
  explicit VbTreeView(QWidget* parent = nullptr);

  // A key already in use fails with run-time error 35602.
  QTreeWidgetItem* addNode(QTreeWidgetItem* parent, const QString& key, const QString& text);
  QTreeWidgetItem* node(const QString& key) const;  // nullptr when no node has the key
  const QList<QTreeWidgetItem*>& nodes() const { return nodes_; }
  void clearNodes();
  // Sorts the top level and the children of every node alphabetically (Spanish order, ignoring case).
  void sortNodes();
  // Expands the node's ancestors and scrolls it into view.
  void ensureVisible(QTreeWidgetItem* node);
  QTreeWidgetItem* selectedNode() const { return currentItem(); }
  void selectNode(QTreeWidgetItem* node);  // no event, as a selection made by code

  static QString key(const QTreeWidgetItem* node);
  static QString tag(const QTreeWidgetItem* node);
  static void setTag(QTreeWidgetItem* node, const QString& tag);

signals:
  void genericEvent(const QString& name);

protected:
  void keyPressEvent(QKeyEvent* event) override;

private:
  QList<QTreeWidgetItem*> nodes_;
  QMap<QString, QTreeWidgetItem*> byKey_;  // keys compare ignoring case
};

// A strip of keyed tabs, each with a Tag, drawn above a panel that covers the whole control; the pages
// are laid over the panel by the owner. "Click" reaches the owner through genericEvent when the user
// picks a tab.
class VbTabStrip : public QWidget {
  Q_OBJECT
public:
  explicit VbTabStrip(QWidget* parent = nullptr);

  int addTab(const QString& key, const QString& caption);  // 0-based index; a key in use fails (35602)
  int count() const;
  QString tabKey(int index) const;
  QString tabCaption(int index) const;
  QString tabTag(int index) const;
  void setTabTag(int index, const QString& tag);
  int selectedIndex() const;          // -1 when no tab
  void selectTab(int index);          // no event, as a selection made by code
  void clearTabs();
  QTabBar* tabBar() const { return bar_; }

signals:
  void genericEvent(const QString& name);

protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

private:
  void placeBar();
  QTabBar* bar_;
};
