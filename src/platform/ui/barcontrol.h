#pragma once
// The bar control: named bands (menu bar, drop-down menus, tool bars, a band inside a tool bar, popup
// menus) holding named tools, over QMenuBar, QMenu and QToolBar. A tool is one thing whatever band
// shows it: its caption, enabled, visible and check state are shared by every band that holds it, and
// a click anywhere comes out as one toolClick signal carrying the tool.
//
// A tool can be clicked only when it is enabled and visible and at least one band holding it can be
// reached: a tool bar that is shown, a drop-down menu whose header tool can itself be clicked, a popup.
// The check mark is the program's: clicking a tool does not change it, the click handler does.
#include <QMetaType>
#include <QObject>
#include <QPoint>
#include <QString>
#include <QVector>
#include <Qt>
#include <memory>

class QAction;
class QMainWindow;
class QMenu;
class QMenuBar;
class QToolBar;
class QWidget;

namespace ui {

class BarControl;
class Band;

enum class BandKind {
  MenuBar,  // the window's menu bar; its tools are headers of drop-down menus
  Menu,     // a drop-down menu, opened through a header tool in another band
  ToolBar,  // a tool bar docked on one side of the window
  Child,    // a band shown inside a tool bar band, under its own caption
  Popup,    // a context menu the program shows at a point
};

// A caption as menus and buttons show it: each access-key mark taken out, "&&" made one "&".
QString withoutAccessKeys(const QString& caption);

class Tool {
public:
  const QString& name() const { return name_; }
  // The caption as the program set it; "&" marks the access key, "&&" is an "&". Menus show it with
  // the marks taken out; tool bar buttons show it the same way, a closing "..." kept.
  const QString& caption() const { return caption_; }
  // accessKeyLength: only the caption's first characters hold access-key marks ("&1 "), the rest is
  // shown exactly as written (a path that holds "&"). -1: the whole caption may hold them.
  void setCaption(const QString& caption, int accessKeyLength = -1);
  // The caption the tool was built with (the recent-bid tools keep their access key from it).
  const QString& designCaption() const { return designCaption_; }

  bool isEnabled() const;
  void setEnabled(bool enabled);
  bool isVisible() const;  // the tool's own flag, whatever its bands show
  void setVisible(bool visible);
  bool isCheckable() const;
  bool isChecked() const;
  void setChecked(bool checked);

  // The bands that hold the tool, in the order it was put in them; empty for a tool of the library only.
  const QVector<Band*>& bands() const { return bands_; }
  bool isIn(const Band* band) const { return bands_.contains(const_cast<Band*>(band)); }
  Band* subBand() const { return subBand_; }  // the menu a header tool opens
  QAction* action() const { return action_; }

private:
  friend class BarControl;
  Tool(QString name, QString caption, QAction* action);
  QString name_;
  QString designCaption_;
  QString caption_;
  QAction* action_;
  QVector<Band*> bands_;
  Band* subBand_ = nullptr;
};

class Band {
public:
  const QString& name() const { return name_; }
  const QString& caption() const { return caption_; }
  BandKind kind() const { return kind_; }
  Band* parentBand() const { return parent_; }  // the tool bar a child band sits in
  const QVector<Tool*>& tools() const { return tools_; }  // display order, separators left out
  Tool* findTool(const QString& name) const;

  // Bars and child bands: the band's own flag (shown even while the window is not). Menus and popups:
  // true while open; they open through their header or showPopup, setVisible(false) closes them.
  // Changing it from the program raises no band open/close event.
  bool isVisible() const;
  void setVisible(bool visible);

  // The widget that shows the band: QMenuBar, QMenu (menus and popups) or QToolBar (tool bars and
  // child bands).
  QWidget* widget() const { return widget_; }
  QMenuBar* menuBar() const;
  QMenu* menu() const;
  QToolBar* toolBar() const;

private:
  friend class BarControl;
  Band(BarControl* bar, QString name, QString caption, BandKind kind, QWidget* widget, Band* parent);
  BarControl* bar_;
  QString name_;
  QString caption_;
  BandKind kind_;
  QWidget* widget_;
  Band* parent_;
  QAction* holder_ = nullptr;  // child band: the action that shows it inside its tool bar
  bool visible_ = true;        // tool bars: own flag as last known, to tell the user's changes
  QVector<Tool*> tools_;
};

class BarControl : public QObject {
  Q_OBJECT
public:
  // The bands are built on `host`: its menu bar, its tool bar areas; menus and popups are its children.
  explicit BarControl(QMainWindow* host);
  ~BarControl() override;

  // Building. Band and tool names are unique and case-sensitive; a name used twice for a band, or a
  // tool put twice in one band, raises run-time error 5.
  Band* addMenuBar(const QString& name, const QString& caption);
  Band* addMenu(const QString& name, const QString& caption);
  Band* addToolBar(const QString& name, const QString& caption, Qt::ToolBarArea area = Qt::LeftToolBarArea);
  Band* addChildBand(const QString& parentToolBar, const QString& name, const QString& caption);
  Band* addPopup(const QString& name, const QString& caption);
  // Puts a tool at the end of a band. A tool of that name that already exists (in another band or in
  // the library) is the same tool: it keeps its caption and state, `caption` is then not used.
  Tool* addTool(const QString& band, const QString& name, const QString& caption, bool checkable = false);
  // A header tool that opens the menu band `menuBand` (from the menu bar, or a submenu inside a menu).
  // A header may have an empty name when nothing ever addresses it.
  Tool* addMenuHeader(const QString& band, const QString& name, const QString& caption, const QString& menuBand);
  void addSeparator(const QString& band);
  // A tool of the bar's library that no band shows (it can never be clicked).
  Tool* addLibraryTool(const QString& name, const QString& caption);

  // Look-up. find* give nullptr when there is no such name; band() and tool() raise run-time error 5.
  Band* findBand(const QString& name) const;
  Tool* findTool(const QString& name) const;
  Band* band(const QString& name) const;
  Tool* tool(const QString& name) const;
  Tool* tool(const QString& band, const QString& name) const;  // the tool as held by that band
  const std::vector<std::unique_ptr<Band>>& bands() const { return bands_; }

  bool canClick(const Tool* tool) const;
  bool canReach(const Band* band) const;

  // Clicks a tool as the user would; nothing happens (false) when it cannot be clicked.
  bool click(const QString& name);
  // Opens a popup band at a point of the screen (without waiting for the choice).
  void showPopup(const QString& band, const QPoint& globalPos);

  QMainWindow* host() const { return host_; }

signals:
  void toolClick(ui::Tool* tool);
  void bandOpen(ui::Band* band);
  void bandClose(ui::Band* band);

private:
  friend class Band;
  Band* newBand(const QString& name, const QString& caption, BandKind kind, QWidget* widget, Band* parent);
  Tool* toolFor(const QString& name, const QString& caption, bool checkable);
  void append(Band* band, QAction* action);
  void place(Band* band, Tool* tool);
  void triggered(Tool* tool, bool checkedNow);
  void watchMenu(Band* band);
  void watchToolBar(Band* band);
  bool canReach(const Band* band, int depth) const;
  bool canClick(const Tool* tool, int depth) const;

  QMainWindow* host_;
  std::vector<std::unique_ptr<Band>> bands_;
  std::vector<std::unique_ptr<Tool>> tools_;
  bool settingVisibility_ = false;
};

}  // namespace ui

Q_DECLARE_METATYPE(ui::Tool*)
Q_DECLARE_METATYPE(ui::Band*)
