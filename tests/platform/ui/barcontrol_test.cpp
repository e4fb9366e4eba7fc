#include "barcontrol.h"

#include "error.h"
#include "error_of.h"
#include "qt_print.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QMainWindow>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QSignalSpy>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <gtest/gtest.h>

using ui::Band;
using ui::BandKind;
using ui::BarControl;
using ui::Tool;

namespace {

// The main window's bands and tools as the shell builds them: "-" is a separator, a `sub` makes the
// entry a header that opens that menu band.
struct Entry {
  const char* tool;
  const char* caption;
  const char* sub = nullptr;
  bool checkable = false;
};
struct BandDef {
  const char* name;
  const char* caption;
  BandKind kind;
  std::vector<Entry> entries;
  const char* parent = nullptr;
};

const std::vector<BandDef>& mainWindowBands() {
  static const std::vector<BandDef> defs = {
      {"mnupricipal", "Menú principal", BandKind::MenuBar,
       {{"", "&Archivo", "miarchivo"},
        {"mnuedicion", "&Edición", "miedicion"},
        {"mnuver", "&Ver", "miver"},
        {"", "&Herramientas", "miherramientas"},
        {"mnuventana", "Ve&ntana", "miventana"},
        {"", "&?", "miayuda"}}},
      {"miarchivo", "Archivo", BandKind::Menu,
       {{"miarchivoabrir", "Abrir"}, {"miarchivocerrar", "Cerrar"}, {"-", ""},
        {"miarchivopreview", "Presentación preliminar"}, {"miarchivoprint", "&Imprimir"}, {"-", ""},
        {"mnuobra1", "&1"}, {"mnuobra2", "&2"}, {"mnuobra3", "&3"}, {"mnuobra4", "&4"}, {"-", ""},
        {"miarchivosalir", "&Salir"}}},
      {"miedicion", "Edicion", BandKind::Menu,
       {{"miedicioncopiar", "&Copiar"}, {"miedicionpegar", "&Pegar"}, {"-", ""},
        {"miedicionascendente", "Ordenar &Ascendente"}, {"miediciondescendente", "Ordenar &descendente"},
        {"-", ""}, {"miedicionall", "&Seleccionar todo"}}},
      {"miver", "Ver", BandKind::Menu,
       {{"miverpresupuesto", "Presupuesto"}, {"miverparametros", "Parámetros"}, {"miverpartidas", "Partidas"},
        {"mivermonedas", "Monedas"}, {"miverprograma", "Programa de obra"},
        {"miverbarra", "Barra izquierda", nullptr, true}}},
      {"miherramientas", "Herramientas", BandKind::Menu,
       {{"miherramientasrc", "Reparar/Compactar base de datos"}, {"miherramientasca", "Cerrar/Abrir base"},
        {"-", ""}, {"miherramientascolumnas", "Columnas"}}},
      {"miventana", "Ventana", BandKind::Menu,
       {{"", "Organizar", "miorganizar"}, {"-", ""}, {"miventanacerrar", "&Cerrar"},
        {"miventanasiguiente", "&Siguiente"}}},
      {"miorganizar", "Organizar", BandKind::Menu,
       {{"miorganizarhorizontal", "&Horizontal"}, {"miorganizarvertical", "&Vertical"},
        {"miorganizarcascada", "&Cascada"}}},
      {"miayuda", "Ayuda", BandKind::Menu, {{"miayudaacerca", "&Acerca de &Quarvel"}}},
      {"barraTornavo", "Tornavo", BandKind::ToolBar,
       {{"mnuAbr", "&Abrir"}, {"mnuCer", "&Cerrar"}, {"-", ""}, {"mnuPre", "Pr&esentación preliminar..."},
        {"mnuImp", "&Imprimir..."}, {"-", ""}, {"mnuCop", "&Copiar"}, {"mnuPeg", "&Pegar (Presupuesto)"},
        {"mnuascendente", "Orden ascendente"}, {"mnudescendente", "Orden descendente"}, {"-", ""},
        {"mnuCapPre", "Captura de precios &unitarios"}, {"mnuInd", "Captura de &indirectos"},
        {"mnuPar", "&Partidas"}, {"mnuMon", "Catálogo de &monedas"}, {"mnuprograma", "Programa de obra"},
        {"-", ""}, {"mnuRepCom", "&Reparar/compactar base de datos"}}},
      {"Catalogos", "Catálogos", BandKind::Child,
       {{"PU", "Presupuesto"}, {"Indirectos", "Parámetros"}, {"Partidas", "Partidas"}, {"Monedas", "Monedas"},
        {"Programa", "Programa de obra"}},
       "barraTornavo"},
      {"poppresu", "Presupuesto", BandKind::Popup, {{"popdetalle", "&Detalle"}}},
  };
  return defs;
}

const std::vector<std::pair<const char*, const char*>> kLibraryTools = {
    {"mnuSel", "S&eleccionar todo"}, {"mnuPar2", "Consulta de totales por &partida"},
    {"mnuRepHoj", "R&eparar hoja de cálculo"}, {"mnuOpc", "&Opciones..."}};

void build(BarControl& bar) {
  for (const BandDef& d : mainWindowBands()) {
    switch (d.kind) {
      case BandKind::MenuBar: bar.addMenuBar(d.name, d.caption); break;
      case BandKind::Menu: bar.addMenu(d.name, d.caption); break;
      case BandKind::ToolBar: bar.addToolBar(d.name, d.caption); break;
      case BandKind::Child: bar.addChildBand(d.parent, d.name, d.caption); break;
      case BandKind::Popup: bar.addPopup(d.name, d.caption); break;
    }
  }
  // Headers refer to menus, so tools go in once every band exists.
  for (const BandDef& d : mainWindowBands()) {
    for (const Entry& e : d.entries) {
      if (QString(e.tool) == "-")
        bar.addSeparator(d.name);
      else if (e.sub)
        bar.addMenuHeader(d.name, e.tool, e.caption, e.sub);
      else
        bar.addTool(d.name, e.tool, e.caption, e.checkable);
    }
  }
  for (const auto& [name, caption] : kLibraryTools) bar.addLibraryTool(name, caption);
}

// The main window's state rule: menu tools hidden, tool-bar tools disabled while no bid is open.
const QStringList kMenuStateTools = {"miarchivocerrar", "miarchivopreview", "miarchivoprint", "mnuedicion",
                                     "mnuver", "mnuventana", "miherramientascolumnas"};
const QStringList kBarStateTools = {"mnuCer", "mnuPre", "mnuImp", "mnuCop", "mnuPeg", "mnuCapPre",
                                    "mnuPar", "mnuInd", "mnuMon", "mnuprograma", "mnuascendente",
                                    "mnudescendente", "Monedas", "PU", "Indirectos", "Partidas", "Programa"};

void applyState(BarControl& bar, bool bidOpen) {
  for (const QString& n : kMenuStateTools) bar.tool(n)->setVisible(bidOpen);
  for (const QString& n : kBarStateTools) bar.tool(n)->setEnabled(bidOpen);
}

QStringList clickedNames(const QSignalSpy& spy) {
  QStringList out;
  for (const auto& args : spy) out << args.at(0).value<Tool*>()->name();
  return out;
}

QStringList bandNames(const QSignalSpy& spy) {
  QStringList out;
  for (const auto& args : spy) out << args.at(0).value<Band*>()->name();
  return out;
}

class BarControlTest : public ::testing::Test {
protected:
  void SetUp() override {
    window.setCentralWidget(new QMdiArea);
    window.resize(900, 620);
    bar = new BarControl(&window);
    build(*bar);
  }
  QMainWindow window;
  BarControl* bar = nullptr;
};

TEST_F(BarControlTest, HoldsEveryBandAndToolOfTheMainWindow) {
  for (const BandDef& d : mainWindowBands()) {
    SCOPED_TRACE(d.name);
    Band* b = bar->band(d.name);
    EXPECT_EQ(b->caption(), QString(d.caption));
    EXPECT_EQ(b->kind(), d.kind);
    QStringList expected;
    for (const Entry& e : d.entries)
      if (QString(e.tool) != "-" && QString(e.tool) != "") expected << e.tool;
    QStringList actual;
    for (Tool* t : b->tools())
      if (!t->name().isEmpty()) actual << t->name();
    EXPECT_EQ(actual, expected);
    for (const Entry& e : d.entries) {
      if (QString(e.tool) == "-" || QString(e.tool) == "") continue;
      Tool* t = bar->tool(d.name, e.tool);
      EXPECT_EQ(t->caption(), QString::fromUtf8(e.caption));
      EXPECT_EQ(t->designCaption(), QString::fromUtf8(e.caption));
      EXPECT_EQ(t->isCheckable(), e.checkable);
    }
  }
  // Headers show their menus in the menu bar, in order, and "Organizar" sits inside "Ventana".
  QStringList titles;
  for (QAction* a : window.menuBar()->actions()) titles << a->text();
  EXPECT_EQ(titles, (QStringList{"&Archivo", "&Edición", "&Ver", "&Herramientas", "Ve&ntana", "&?"}));
  EXPECT_EQ(bar->tool("mnuventana")->subBand(), bar->band("miventana"));
  EXPECT_EQ(bar->band("miventana")->menu()->actions().first()->menu(), bar->band("miorganizar")->menu());
  // The left tool bar is docked on the left with the child band inside it.
  EXPECT_EQ(window.toolBarArea(bar->band("barraTornavo")->toolBar()), Qt::LeftToolBarArea);
  EXPECT_TRUE(bar->band("barraTornavo")->toolBar()->isAncestorOf(bar->band("Catalogos")->widget()));
  EXPECT_EQ(bar->band("Catalogos")->parentBand(), bar->band("barraTornavo"));
  // Library tools are known by name but sit in no band.
  for (const auto& [name, caption] : kLibraryTools) {
    EXPECT_TRUE(bar->tool(name)->bands().isEmpty()) << name;
    EXPECT_EQ(bar->tool(name)->caption(), QString::fromUtf8(caption));
  }
}

TEST_F(BarControlTest, UnknownNamesAndRepeatsRaiseError5) {
  EXPECT_EQ(errorOf([&] { bar->tool("noexiste"); }), 5);
  EXPECT_EQ(errorOf([&] { bar->band("noexiste"); }), 5);
  EXPECT_EQ(errorOf([&] { bar->tool("miver", "mnuAbr"); }), 5);  // exists, but not in that band
  EXPECT_EQ(errorOf([&] { bar->addMenu("miver", "Ver"); }), 5);
  EXPECT_EQ(errorOf([&] { bar->addTool("miver", "miverbarra", "x"); }), 5);
  EXPECT_EQ(errorOf([&] { bar->addChildBand("miver", "x", "x"); }), 5);
  EXPECT_EQ(errorOf([&] { bar->showPopup("miver", QPoint()); }), 5);
  EXPECT_EQ(bar->findTool("noexiste"), nullptr);
  EXPECT_EQ(bar->findBand("noexiste"), nullptr);
}

TEST(BarControl, ToolsByNameInSeveralBandsShareOneState) {
  QMainWindow window;
  BarControl bar(&window);
  bar.addMenuBar("principal", "Principal");
  bar.addMenu("archivo", "Archivo");
  bar.addToolBar("barra", "Barra");
  bar.addPopup("emergente", "Emergente");
  bar.addMenuHeader("principal", "mnuarchivo", "&Archivo", "archivo");
  Tool* inMenu = bar.addTool("archivo", "abrir", "&Abrir");
  Tool* inBar = bar.addTool("barra", "abrir", "otro texto, no usado");
  Tool* inPopup = bar.addTool("emergente", "abrir", "");
  ASSERT_EQ(inMenu, inBar);
  ASSERT_EQ(inMenu, inPopup);
  EXPECT_EQ(bar.tool("barra", "abrir"), bar.tool("archivo", "abrir"));
  EXPECT_EQ(inMenu->bands(), (QVector<Band*>{bar.band("archivo"), bar.band("barra"), bar.band("emergente")}));

  // One state, seen by every band's widget.
  inBar->setCaption("&Abrir obra");
  inBar->setEnabled(false);
  QToolButton* button = qobject_cast<QToolButton*>(bar.band("barra")->toolBar()->widgetForAction(inBar->action()));
  ASSERT_NE(button, nullptr);
  EXPECT_FALSE(button->isEnabled());
  EXPECT_TRUE(bar.band("archivo")->menu()->actions().contains(inMenu->action()));
  EXPECT_EQ(bar.tool("archivo", "abrir")->caption(), "&Abrir obra");
  EXPECT_FALSE(bar.tool("emergente", "abrir")->isEnabled());

  // A library tool added to a band later is the same tool, with its library caption.
  Tool* lib = bar.addLibraryTool("sel", "S&eleccionar");
  EXPECT_FALSE(bar.canClick(lib));
  EXPECT_EQ(bar.addTool("barra", "sel", "ignorado"), lib);
  EXPECT_EQ(lib->caption(), "S&eleccionar");
  EXPECT_TRUE(bar.canClick(lib));
}

// The rule "an unavailable tool can never be clicked" holds for every way a tool becomes unavailable:
// its own flags, a hidden menu header above it, a hidden bar or child band around it.
TEST_F(BarControlTest, AnUnavailableToolCanNeverBeClicked) {
  QSignalSpy clicks(bar, &BarControl::toolClick);
  struct Case {
    const char* what;
    std::function<void(BarControl&)> change;
    QStringList unclickable;
    QStringList stillClickable;
  };
  const std::vector<Case> cases = {
      {"tool hidden", [](BarControl& b) { b.tool("miarchivocerrar")->setVisible(false); },
       {"miarchivocerrar"}, {"miarchivoabrir"}},
      {"tool disabled", [](BarControl& b) { b.tool("mnuCer")->setEnabled(false); }, {"mnuCer"}, {"mnuAbr"}},
      {"menu header hidden", [](BarControl& b) { b.tool("mnuedicion")->setVisible(false); },
       {"miedicioncopiar", "miedicionall"}, {"miverbarra"}},
      {"menu header disabled", [](BarControl& b) { b.tool("mnuventana")->setEnabled(false); },
       {"miventanacerrar", "miorganizarcascada"}, {"miayudaacerca"}},
      {"tool bar hidden", [](BarControl& b) { b.band("barraTornavo")->setVisible(false); },
       {"mnuAbr", "mnuRepCom", "PU", "Programa"}, {"miarchivoabrir", "popdetalle"}},
      {"child band hidden", [](BarControl& b) { b.band("Catalogos")->setVisible(false); },
       {"PU", "Monedas"}, {"mnuAbr", "mnuMon"}},
      {"menu bar hidden", [](BarControl& b) { b.band("mnupricipal")->setVisible(false); },
       {"miarchivoabrir", "miorganizarvertical"}, {"mnuAbr"}},
      {"library tool", [](BarControl&) {}, {"mnuSel", "mnuRepHoj"}, {"miedicionall"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    QMainWindow w;
    BarControl b(&w);
    build(b);
    QSignalSpy spy(&b, &BarControl::toolClick);
    c.change(b);
    for (const QString& n : c.unclickable) {
      EXPECT_FALSE(b.canClick(b.tool(n))) << n.toStdString();
      EXPECT_FALSE(b.click(n)) << n.toStdString();
    }
    for (const QString& n : c.stillClickable) EXPECT_TRUE(b.click(n)) << n.toStdString();
    EXPECT_EQ(clickedNames(spy), c.stillClickable);
  }
  EXPECT_FALSE(bar->click("noexiste"));
  EXPECT_EQ(clicks.count(), 0);
}

TEST_F(BarControlTest, MenuToolsHideAndBarToolsDisableWithTheBidState) {
  window.show();
  applyState(*bar, false);
  QMenu* archivo = bar->band("miarchivo")->menu();
  QToolBar* left = bar->band("barraTornavo")->toolBar();
  QToolBar* catalogos = bar->band("Catalogos")->toolBar();
  auto button = [&](const QString& name) {
    QAction* a = bar->tool(name)->action();
    QWidget* w = left->widgetForAction(a);
    return w ? w : catalogos->widgetForAction(a);
  };
  // No bid: the state's menu entries are gone from their menus, the bar's buttons are greyed but shown.
  EXPECT_FALSE(bar->tool("miarchivocerrar")->action()->isVisible());
  EXPECT_TRUE(archivo->actions().contains(bar->tool("miarchivocerrar")->action()));
  EXPECT_FALSE(window.menuBar()->actions().at(1)->isVisible());  // "&Edición"
  for (const QString& n : kBarStateTools) {
    ASSERT_NE(button(n), nullptr) << n.toStdString();
    EXPECT_TRUE(button(n)->isVisible()) << n.toStdString();
    EXPECT_FALSE(button(n)->isEnabled()) << n.toStdString();
    EXPECT_FALSE(bar->canClick(bar->tool(n))) << n.toStdString();
  }
  for (const char* n : {"miarchivoabrir", "miarchivosalir", "mnuobra1", "miherramientasrc", "miherramientasca",
                        "miayudaacerca", "mnuAbr", "mnuRepCom"})
    EXPECT_TRUE(bar->canClick(bar->tool(n))) << n;
  // Their own flags say available, but the View and Window headers above them are hidden without a bid.
  for (const char* n : {"miverbarra", "miorganizarcascada", "miventanasiguiente"}) {
    EXPECT_TRUE(bar->tool(n)->isVisible() && bar->tool(n)->isEnabled()) << n;
    EXPECT_FALSE(bar->canClick(bar->tool(n))) << n;
  }
  // A button greyed out does not react to the mouse.
  QSignalSpy clicks(bar, &BarControl::toolClick);
  QTest::mouseClick(button("mnuCer"), Qt::LeftButton);
  EXPECT_EQ(clicks.count(), 0);

  applyState(*bar, true);
  for (const QString& n : kMenuStateTools + kBarStateTools) EXPECT_TRUE(bar->canClick(bar->tool(n))) << n.toStdString();
  QTest::mouseClick(button("mnuCer"), Qt::LeftButton);
  QTest::mouseClick(button("Monedas"), Qt::LeftButton);
  EXPECT_EQ(clickedNames(clicks), (QStringList{"mnuCer", "Monedas"}));
}

TEST_F(BarControlTest, ToolClickCarriesTheToolWithItsCurrentCaption) {
  window.show();
  QSignalSpy clicks(bar, &BarControl::toolClick);
  // A recent-bid entry renamed at run time: the handler reads the caption off the clicked tool.
  Tool* recent = bar->tool("miarchivo", "mnuobra2");
  recent->setCaption(recent->designCaption().left(2) + " C:/obras/puente.mdb");
  QMenu* archivo = bar->band("miarchivo")->menu();
  archivo->popup(QPoint(10, 10));
  ASSERT_TRUE(QTest::qWaitForWindowExposed(archivo));
  QTest::mouseClick(archivo, Qt::LeftButton, {}, archivo->actionGeometry(recent->action()).center());
  ASSERT_EQ(clicks.count(), 1);
  Tool* t = clicks.at(0).at(0).value<Tool*>();
  EXPECT_EQ(t, recent);
  EXPECT_EQ(t->name(), "mnuobra2");
  EXPECT_EQ(t->caption(), "&2 C:/obras/puente.mdb");
  EXPECT_EQ(t->caption().mid(3), "C:/obras/puente.mdb");
}

// What the user reads: menus and tool-bar buttons show the caption without its access-key marks, a
// closing "..." kept; a caption whose tail is literal (a path) shows every "&" of it.
TEST_F(BarControlTest, CaptionsAreShownAsWritten) {
  window.show();
  const struct {
    const char* caption;
    int accessKeyLength;
    const char* shown;
  } cases[] = {
      {"Pr&esentación preliminar...", -1, "Presentación preliminar..."},
      {"&Imprimir...", -1, "Imprimir..."},
      {"Pegar (&Presupuesto)", -1, "Pegar (Presupuesto)"},
      {"R&&D", -1, "R&D"},
      {"Fin &", -1, "Fin &"},
      {"&1 /obras/R&D/a && b.mdb", 2, "1 /obras/R&D/a && b.mdb"},
  };
  Tool* tool = bar->tool("barraTornavo", "mnuPre");
  auto* button = qobject_cast<QToolButton*>(bar->band("barraTornavo")->toolBar()->widgetForAction(tool->action()));
  ASSERT_NE(button, nullptr);
  for (const auto& c : cases) {
    tool->setCaption(QString::fromUtf8(c.caption), c.accessKeyLength);
    EXPECT_EQ(tool->caption(), QString::fromUtf8(c.caption));
    EXPECT_EQ(button->text(), QString::fromUtf8(c.shown)) << c.caption;
  }
}

TEST_F(BarControlTest, TheCheckMarkIsLeftToTheClickHandler) {
  Tool* barra = bar->tool("miver", "miverbarra");
  barra->setChecked(true);
  QVector<bool> seen;
  QObject::connect(bar, &BarControl::toolClick, bar, [&](Tool* t) {
    seen << t->isChecked();
    t->setChecked(!t->isChecked());
  });
  EXPECT_TRUE(bar->click("miverbarra"));
  EXPECT_FALSE(barra->isChecked());
  EXPECT_TRUE(bar->click("miverbarra"));
  EXPECT_TRUE(barra->isChecked());
  EXPECT_EQ(seen, (QVector<bool>{true, false}));  // the handler saw the mark as it was before each click
  // Without a handler that changes it, the mark stays.
  QObject::disconnect(bar, &BarControl::toolClick, bar, nullptr);
  EXPECT_TRUE(bar->click("miverbarra"));
  EXPECT_TRUE(barra->isChecked());
}

TEST_F(BarControlTest, PopupBandOpensAtAPointAndReportsItsClick) {
  window.show();
  QSignalSpy opened(bar, &BarControl::bandOpen);
  QSignalSpy closed(bar, &BarControl::bandClose);
  QSignalSpy clicks(bar, &BarControl::toolClick);
  bar->showPopup("poppresu", window.mapToGlobal(QPoint(200, 150)));
  QMenu* menu = bar->band("poppresu")->menu();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(menu));
  EXPECT_TRUE(bar->band("poppresu")->isVisible());
  EXPECT_EQ(bandNames(opened), QStringList{"poppresu"});
  QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(bar->tool("popdetalle")->action()).center());
  EXPECT_EQ(clickedNames(clicks), QStringList{"popdetalle"});
  EXPECT_FALSE(menu->isVisible());
  EXPECT_EQ(bandNames(closed), QStringList{"poppresu"});
}

TEST_F(BarControlTest, BandOpenAndCloseComeFromTheUserNotFromTheProgram) {
  QSignalSpy opened(bar, &BarControl::bandOpen);
  QSignalSpy closed(bar, &BarControl::bandClose);
  Band* left = bar->band("barraTornavo");
  // Showing and hiding the window moves no band.
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  window.hide();
  window.show();
  EXPECT_EQ(opened.count() + closed.count(), 0);
  // The program hides and shows the bar: no event (the check-mark handler would loop otherwise).
  left->setVisible(false);
  EXPECT_FALSE(left->isVisible());
  left->setVisible(true);
  EXPECT_TRUE(left->isVisible());
  EXPECT_EQ(opened.count() + closed.count(), 0);
  // The user closes and reopens it from the window's list of bars.
  QAction* toggle = left->toolBar()->toggleViewAction();
  toggle->trigger();
  EXPECT_FALSE(left->isVisible());
  EXPECT_EQ(bandNames(closed), QStringList{"barraTornavo"});
  toggle->trigger();
  EXPECT_TRUE(left->isVisible());
  EXPECT_EQ(bandNames(opened), QStringList{"barraTornavo"});
  // A menu opening and closing is an open and a close of its band.
  opened.clear();
  closed.clear();
  QMenu* ver = bar->band("miver")->menu();
  ver->popup(QPoint(5, 5));
  ver->hide();
  EXPECT_EQ(bandNames(opened), QStringList{"miver"});
  EXPECT_EQ(bandNames(closed), QStringList{"miver"});
}

// Renders the window with its bars; TORNAVO_SNAPSHOT_DIR keeps the picture for a look.
TEST_F(BarControlTest, DrawsTheMenuBarAndTheLeftBarWithItsChildBand) {
  applyState(*bar, false);
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  QToolBar* left = bar->band("barraTornavo")->toolBar();
  EXPECT_EQ(left->orientation(), Qt::Vertical);
  EXPECT_EQ(bar->band("Catalogos")->toolBar()->orientation(), Qt::Vertical);
  EXPECT_LT(left->geometry().right(), window.centralWidget()->geometry().left() + 1);
  EXPECT_GT(left->height(), window.height() / 2);
  // The child band comes after the bar's own tools and spans the bar.
  QWidget* catalogos = bar->band("Catalogos")->widget();
  QWidget* last = left->widgetForAction(bar->tool("mnuRepCom")->action());
  EXPECT_GT(catalogos->mapTo(left, QPoint(0, 0)).y(), last->geometry().bottom());
  EXPECT_GE(catalogos->width(), last->width());
  const QImage image = window.grab().toImage();
  EXPECT_FALSE(image.isNull());
  const QString dir = qEnvironmentVariable("TORNAVO_SNAPSHOT_DIR");
  if (!dir.isEmpty()) {
    image.save(QDir(dir).filePath("barcontrol-nobid.png"));
    applyState(*bar, true);
    bar->tool("mnuobra1")->setCaption("&1 /home/obras/puente.mdb");
    window.grab().save(QDir(dir).filePath("barcontrol-bid.png"));
    QMenu* archivo = bar->band("miarchivo")->menu();
    archivo->popup(QPoint(0, 0));
    archivo->grab().save(QDir(dir).filePath("barcontrol-archivo.png"));
    archivo->hide();
  }
}

}  // namespace
