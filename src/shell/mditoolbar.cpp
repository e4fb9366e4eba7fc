#include "mditoolbar.h"

#include "barcontrol.h"
#include "dao.h"
#include "error.h"
#include "frmacercade.h"
#include "frmcierre.h"
#include "general.h"
#include "maneobra.h"
#include "mdi.h"
#include "msgbox.h"
#include "placement.h"
#include "puntero.h"
#include "quarvel.h"
#include "utilidades.h"
#include "ventanas.h"

#include <QGuiApplication>
#include <algorithm>
#include <QScreen>

#include <QCoreApplication>
#include <QEvent>
#include <QKeySequence>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>

namespace {

const QString kInicio = QStringLiteral("inicio");

void muestra(const std::function<void()>& ventana) {
  if (ventana)
    ventana();
}

}  // namespace

MDIToolbar::MDIToolbar() : bar_(new ui::BarControl(this)), area_(new QMdiArea(this)) {
  setObjectName(QStringLiteral("MDIToolbar"));
  setWindowTitle(QStringLiteral("Tornavo de Presupuesto"));
  setCentralWidget(area_);
  // First start: most of the screen, since the list windows are wide; a saved place wins later.
  QSize tamano(1200, 800);
  if (const QScreen* pantalla = QGuiApplication::primaryScreen())
    tamano = tamano.boundedTo(pantalla->availableGeometry().size() * 0.95);
  resize(tamano);
  ui::Forms::instance().setMdiArea(area_);
  CommonDialog1.DialogTitle = QStringLiteral("Abrir");
  CommonDialog1.Filter = QStringLiteral("Base de datos|*.mdb");
  CommonDialog1.CancelError = true;
  construyeBandas();
  construyeDespacho();
  asignaTeclas();
  connect(area_, &QMdiArea::subWindowActivated, this, [this] { teclasDeLaVentanaActiva(); });
  connect(bar_, &ui::BarControl::toolClick, this, &MDIToolbar::ActiveBar1_ToolClick);
  connect(bar_, &ui::BarControl::bandOpen, this, [this](ui::Band* b) {
    if (b->name() == QLatin1String("barraTornavo"))
      bandaAbierta(true);
  });
  connect(bar_, &ui::BarControl::bandClose, this, [this](ui::Band* b) {
    if (b->name() == QLatin1String("barraTornavo"))
      bandaAbierta(false);
  });
}

MDIToolbar::~MDIToolbar() = default;

MDIToolbar* MDIToolbar::instancia() { return ui::Forms::instance().find<MDIToolbar>(); }

// ---- Bands and tools -------------------------------------------------------------------------------

void MDIToolbar::construyeBandas() {
  ui::BarControl& b = *bar_;
  // Every band first, so that headers and child bands find the bands they name.
  b.addMenuBar(QStringLiteral("mnupricipal"), QStringLiteral("Menú principal"));
  b.addMenu(QStringLiteral("miarchivo"), QStringLiteral("Archivo"));
  b.addMenu(QStringLiteral("miedicion"), QStringLiteral("Edicion"));
  b.addMenu(QStringLiteral("miver"), QStringLiteral("Ver"));
  b.addMenu(QStringLiteral("miherramientas"), QStringLiteral("Herramientas"));
  b.addMenu(QStringLiteral("miventana"), QStringLiteral("Ventana"));
  b.addMenu(QStringLiteral("miorganizar"), QStringLiteral("Organizar"));
  b.addMenu(QStringLiteral("miayuda"), QStringLiteral("Ayuda"));
  b.addToolBar(QStringLiteral("barraTornavo"), QStringLiteral("Tornavo"), Qt::LeftToolBarArea);
  b.addChildBand(QStringLiteral("barraTornavo"), QStringLiteral("Catalogos"), QStringLiteral("Catálogos"));
  b.addPopup(QStringLiteral("poppresu"), QStringLiteral("Presupuesto"));

  struct Entrada {
    const char* nombre;  // nullptr: a separator
    const char* caption;
  };
  const auto llena = [&b](const QString& banda, std::initializer_list<Entrada> entradas) {
    for (const Entrada& e : entradas) {
      if (!e.nombre)
        b.addSeparator(banda);
      else
        b.addTool(banda, QString::fromUtf8(e.nombre), QString::fromUtf8(e.caption));
    }
  };
  constexpr Entrada sep{nullptr, nullptr};

  const QString menu = QStringLiteral("mnupricipal");
  b.addMenuHeader(menu, QString(), QStringLiteral("&Archivo"), QStringLiteral("miarchivo"));
  b.addMenuHeader(menu, QStringLiteral("mnuedicion"), QStringLiteral("&Edición"), QStringLiteral("miedicion"));
  b.addMenuHeader(menu, QStringLiteral("mnuver"), QStringLiteral("&Ver"), QStringLiteral("miver"));
  b.addMenuHeader(menu, QString(), QStringLiteral("&Herramientas"), QStringLiteral("miherramientas"));
  b.addMenuHeader(menu, QStringLiteral("mnuventana"), QStringLiteral("Ve&ntana"), QStringLiteral("miventana"));
  b.addMenuHeader(menu, QString(), QStringLiteral("&?"), QStringLiteral("miayuda"));

  llena(QStringLiteral("miarchivo"),
        {{"miarchivoabrir", "Abrir"}, {"miarchivocerrar", "Cerrar"}, sep,
         {"miarchivopreview", "Presentación preliminar"}, {"miarchivoprint", "&Imprimir"}, sep,
         {"mnuobra1", "&1"}, {"mnuobra2", "&2"}, {"mnuobra3", "&3"}, {"mnuobra4", "&4"}, sep,
         {"miarchivosalir", "&Salir"}});
  llena(QStringLiteral("miedicion"),
        {{"miedicioncopiar", "&Copiar"}, {"miedicionpegar", "&Pegar"}, sep,
         {"miedicionascendente", "Ordenar &Ascendente"}, {"miediciondescendente", "Ordenar &descendente"}, sep,
         {"miedicionall", "&Seleccionar todo"}});
  llena(QStringLiteral("miver"),
        {{"miverpresupuesto", "Presupuesto"}, {"miverparametros", "Parámetros"}, {"miverpartidas", "Partidas"},
         {"mivermonedas", "Monedas"}, {"miverprograma", "Programa de obra"}});
  b.addTool(QStringLiteral("miver"), QStringLiteral("miverbarra"), QStringLiteral("Barra izquierda"), true)
      ->setChecked(true);
  llena(QStringLiteral("miherramientas"),
        {{"miherramientasrc", "Reparar/Compactar base de datos"}, {"miherramientasca", "Cerrar/Abrir base"}, sep,
         {"miherramientascolumnas", "Columnas"}});
  b.addMenuHeader(QStringLiteral("miventana"), QString(), QStringLiteral("Organizar"), QStringLiteral("miorganizar"));
  llena(QStringLiteral("miventana"),
        {sep, {"miventanacerrar", "&Cerrar"}, {"miventanasiguiente", "&Siguiente"}});
  llena(QStringLiteral("miorganizar"),
        {{"miorganizarhorizontal", "&Horizontal"}, {"miorganizarvertical", "&Vertical"},
         {"miorganizarcascada", "&Cascada"}});
  llena(QStringLiteral("miayuda"), {{"miayudaacerca", "&Acerca de &Quarvel"}});

  llena(QStringLiteral("barraTornavo"),
        {{"mnuAbr", "&Abrir"}, {"mnuCer", "&Cerrar"}, sep,
         {"mnuPre", "Pr&esentación preliminar..."}, {"mnuImp", "&Imprimir..."}, sep,
         {"mnuCop", "&Copiar"}, {"mnuPeg", "&Pegar (Presupuesto)"}, {"mnuascendente", "Orden ascendente"},
         {"mnudescendente", "Orden descendente"}, sep,
         {"mnuCapPre", "Captura de precios &unitarios"}, {"mnuInd", "Captura de &indirectos"},
         {"mnuPar", "&Partidas"}, {"mnuMon", "Catálogo de &monedas"}, {"mnuprograma", "Programa de obra"}, sep,
         {"mnuRepCom", "&Reparar/compactar base de datos"}});
  llena(QStringLiteral("Catalogos"),
        {{"PU", "Presupuesto"}, {"Indirectos", "Parámetros"}, {"Partidas", "Partidas"}, {"Monedas", "Monedas"},
         {"Programa", "Programa de obra"}});
  llena(QStringLiteral("poppresu"), {{"popdetalle", "&Detalle"}});

  // Tools of the bar's library that no band shows.
  b.addLibraryTool(QStringLiteral("mnuSel"), QStringLiteral("S&eleccionar todo"));
  b.addLibraryTool(QStringLiteral("mnuPar2"), QStringLiteral("Consulta de totales por &partida"));
  for (const char* nombre : {"mnu1", "mnu2", "mnu3", "mnu4", "mnuSal"})
    b.addLibraryTool(QString::fromLatin1(nombre), QString());
  b.addLibraryTool(QStringLiteral("mnuRepHoj"), QStringLiteral("R&eparar hoja de cálculo"));
  b.addLibraryTool(QStringLiteral("mnuOpc"), QStringLiteral("&Opciones..."));
}

// The standard keys of the main window's tools, shown beside their menu captions. A key acts only
// while its tool can be clicked (a hidden menu's tools have no keys that act).
void MDIToolbar::asignaTeclas() {
  const auto pon = [this](const char* banda, const char* herramienta, QKeyCombination tecla) {
    bar_->tool(QString::fromLatin1(banda), QString::fromLatin1(herramienta))->action()->setShortcut(tecla);
  };
  pon("miarchivo", "miarchivoabrir", Qt::CTRL | Qt::Key_O);
  pon("miarchivo", "miarchivoprint", Qt::CTRL | Qt::Key_P);
  pon("miarchivo", "miarchivosalir", Qt::CTRL | Qt::Key_Q);
  pon("miayuda", "miayudaacerca", QKeyCombination(Qt::Key_F1));
  teclasDeLaVentanaActiva();
}

// Copy, paste, select-all and close act on the active child window, and have their keys only while
// there is one: with none, Cerrar of the Window menu ends the program, which a key pressed out of habit
// must not do. The child's frame gives up its own close keys to them. In a cell's editor the editor
// keeps Ctrl+C, Ctrl+V and Ctrl+A for its own text.
void MDIToolbar::teclasDeLaVentanaActiva() {
  const QList<QKeySequence> cierre = {QKeySequence(Qt::CTRL | Qt::Key_F4), QKeySequence(Qt::CTRL | Qt::Key_W)};
  QMdiSubWindow* activa = area_->currentSubWindow();
  if (activa)
    for (QAction* accion : activa->systemMenu()->actions())
      if (std::any_of(accion->shortcuts().cbegin(), accion->shortcuts().cend(),
                      [&](const QKeySequence& k) { return cierre.contains(k); }))
        accion->setShortcuts({});
  const auto pon = [this, activa](const char* banda, const char* herramienta, const QList<QKeySequence>& teclas) {
    bar_->tool(QString::fromLatin1(banda), QString::fromLatin1(herramienta))
        ->action()
        ->setShortcuts(activa ? teclas : QList<QKeySequence>());
  };
  pon("miedicion", "miedicioncopiar", {QKeySequence(Qt::CTRL | Qt::Key_C)});
  pon("miedicion", "miedicionpegar", {QKeySequence(Qt::CTRL | Qt::Key_V)});
  pon("miedicion", "miedicionall", {QKeySequence(Qt::CTRL | Qt::Key_A)});
  pon("miventana", "miventanacerrar", cierre);
}

// ---- Dispatch ----------------------------------------------------------------------------------------

void MDIToolbar::construyeDespacho() {
  ventanas::Registro& v = ventanas::registro();
  const auto sin = [](std::function<void()> f) { return [f = std::move(f)](ui::Tool*) { f(); }; };
  // The windows of the later subsystems are looked up in the registry at the click, so that they may be
  // registered after the main window is built.
  const auto ventana = [&v, sin](std::function<void()> ventanas::Registro::*miembro) {
    return sin([&v, miembro] { muestra(v.*miembro); });
  };
  despacho_ = {
      {{"miarchivoabrir", "mnuAbr"}, sin([this] { abrir(); })},
      {{"miarchivocerrar", "mnuCer"}, sin([this] { mnuCer_Click(); })},
      {{"miarchivopreview", "mnuPre"}, sin([this] { imprime(1); })},
      {{"miarchivoprint", "mnuImp"}, sin([this] { imprime(0); })},
      {{"mnuobra1", "mnuobra2", "mnuobra3", "mnuobra4"},
       [this](ui::Tool* t) { cargaObraReciente(bar_->tool(QStringLiteral("miarchivo"), t->name())->caption()); }},
      {{"miarchivosalir"}, sin([this] { ui::Forms::instance().unload(this); })},
      {{"miedicioncopiar", "mnuCop"}, sin([this] { mnuCopiar(); })},
      {{"miedicionpegar", "mnuPeg"}, sin([this] { pegaConGuarda(); })},
      {{"miedicionascendente", "mnuascendente"}, sin([this] { ordena(false); })},
      {{"miediciondescendente", "mnudescendente"}, sin([this] { ordena(true); })},
      {{"miedicionall", "mnuSel"}, sin([this] { mnuSeleccionartodo(); })},
      {{"miverpresupuesto", "mnuCapPre", "PU"}, ventana(&ventanas::Registro::FrmPre)},
      {{"miverparametros", "mnuInd", "Indirectos"}, ventana(&ventanas::Registro::FrmDatGen)},
      {{"miverpartidas", "mnuPar", "Partidas"}, ventana(&ventanas::Registro::FrmParTorn)},
      {{"mivermonedas", "mnuMon", "Monedas"}, ventana(&ventanas::Registro::FrmMone)},
      {{"miverprograma", "mnuprograma", "Programa"}, ventana(&ventanas::Registro::FrmPrograma)},
      {{"miverbarra"}, sin([this] { verBarra(); })},
      {{"popdetalle"}, ventana(&ventanas::Registro::FrmDetPresu)},
      {{"miherramientasrc", "mnuRepCom"}, sin([this] { reparar(); })},
      {{"miherramientasca"}, sin([] { FrmCierre::Muestra(); })},
      {{"miherramientascolumnas"}, ventana(&ventanas::Registro::FrmColGrid)},
      {{"miorganizarhorizontal"}, sin([this] { ui::Arrange(area_, ui::vbTileHorizontal); })},
      {{"miorganizarvertical"}, sin([this] { ui::Arrange(area_, ui::vbTileVertical); })},
      {{"miorganizarcascada"}, sin([this] { ui::Arrange(area_, ui::vbCascade); })},
      {{"miventanacerrar"}, sin([this] { ventanaCerrar(); })},
      {{"miventanasiguiente"}, sin([this] { ventanaSiguiente(); })},
      {{"miayudaacerca"}, sin([] { FrmAcercaDe::Muestra(); })},
  };
}

void MDIToolbar::ActiveBar1_ToolClick(ui::Tool* tool) {
  if (!tool)
    return;
  for (const Comando& c : despacho_) {
    if (!c.herramientas.contains(tool->name(), Qt::CaseSensitive))
      continue;
    // Commands without a trap of their own end on a run-time error: it is shown, and the program goes on.
    try {
      c.accion(tool);
    } catch (const vb::Error& e) {
      ui::MsgBox(QStringLiteral("Error ") + QString::number(e.number()) + QStringLiteral(": ") + e.description(),
                 ui::vbCritical);
    }
    return;
  }
}

// ---- Load, unload, activation ----------------------------------------------------------------------

void MDIToolbar::Form_Load() {
  int linea = 0;
  try {
    linea = 1;
    quarvel::carpetaObra = quarvel::archivoObra = quarvel::rutaObra = QStringLiteral(" ");
    quarvel::obraAbierta = false;
    quarvel::banderaDatGen = false;
    linea = 2;
    maneobra::AbreReportes();
    linea = 3;
    // The last bid's folder and name, so that the file dialog starts there; no bid is opened.
    if (quarvel::rsTitgen) {
      const vb::Variant ultima = quarvel::rsTitgen->Value(QStringLiteral("obra1"));
      if (!general::esNulo(ultima)) {
        quarvel::rutaObra = vb::Trim(vb::CStr(ultima));
        general::SeparaRuta(quarvel::rutaObra, quarvel::carpetaObra, quarvel::archivoObra);
      }
    }
    linea = 4;
    ui::UbicaForma(this);
    maneobra::MuestraObrasRecientes();
    activaMenus(kInicio);
    MDIForm_Activate();
  } catch (const vb::Error& e) {
    ui::MsgBox(QStringLiteral("Error en MdiForm.Load ") + QString::number(e.number()) + u' ' + e.description() +
               QStringLiteral(" en la linea: ") + QString::number(linea));
  }
}

void MDIToolbar::Form_Unload() {
  general::descargaObjetos();
  maneobra::CierraArchivo();
  ui::GrabaForma(this);
}

bool MDIToolbar::event(QEvent* e) {
  if (e->type() == QEvent::WindowActivate)
    MDIForm_Activate();
  return QMainWindow::event(e);
}

void MDIToolbar::MDIForm_Activate() { activaMenus(quarvel::obraAbierta ? objectName() : kInicio); }

void MDIToolbar::activaMenus(const QString& estado) {
  activaMenuPrincipal(estado);
  activaBarras(estado);
}

// Menu tools are shown and hidden (so the View and Window menus go away without a bid), tool-bar tools
// are enabled and disabled; either way a tool that is not available cannot be clicked.
void MDIToolbar::activaMenuPrincipal(const QString& estado) {
  const bool disponible = estado != kInicio;
  const auto pon = [this, disponible](const char* banda, std::initializer_list<const char*> herramientas) {
    for (const char* h : herramientas)
      bar_->tool(QString::fromLatin1(banda), QString::fromLatin1(h))->setVisible(disponible);
  };
  pon("miarchivo", {"miarchivocerrar", "miarchivopreview", "miarchivoprint"});
  pon("mnupricipal", {"mnuedicion", "mnuver", "mnuventana"});
  pon("miherramientas", {"miherramientascolumnas"});
}

void MDIToolbar::activaBarras(const QString& estado) {
  const bool disponible = estado != kInicio;
  const auto pon = [this, disponible](const char* banda, std::initializer_list<const char*> herramientas) {
    for (const char* h : herramientas)
      bar_->tool(QString::fromLatin1(banda), QString::fromLatin1(h))->setEnabled(disponible);
  };
  pon("barraTornavo", {"mnuCer", "mnuPre", "mnuImp", "mnuCop", "mnuPeg", "mnuCapPre", "mnuPar", "mnuInd", "mnuMon",
                       "mnuprograma", "mnuascendente", "mnudescendente"});
  pon("Catalogos", {"Monedas", "PU", "Indirectos", "Partidas", "Programa"});
}

// ---- Commands ----------------------------------------------------------------------------------------

void MDIToolbar::abrir() {
  maneobra::pideObra(false, QStringLiteral("Abrir"));
  maneobra::MuestraObrasRecientes();
  MDIForm_Activate();
  if (quarvel::obraAbierta)
    muestra(ventanas::registro().FrmPre);
}

void MDIToolbar::mnuCer_Click() {
  maneobra::CierraArchivo();
  activaMenus(kInicio);
}

void MDIToolbar::imprime(int16_t destino) {
  if (!maneobra::PuedeImprimir(destino))
    return;
  if (const auto& frmRep = ventanas::registro().frmRep)
    frmRep(destino == 0);
}

void MDIToolbar::cargaObraReciente(const QString& caption) {
  maneobra::AbreObraReciente(caption);
  if (quarvel::obraAbierta)
    muestra(ventanas::registro().FrmPre);
  MDIForm_Activate();
}

void MDIToolbar::reparar() {
  maneobra::mnuReparar();
  if (quarvel::obraAbierta) {
    activaMenus(objectName());
    muestra(ventanas::registro().FrmPre);
  }
}

void MDIToolbar::pegaConGuarda() {
  if (!ui::Forms::instance().activeChild())
    return;  // no window to paste into: nothing to refuse either
  if (quarvel::rsDatosGenerales) {
    // Null counts as False; a recordset that cannot be read (no bid) refuses nothing here.
    const auto marcado = [](const char* campo) {
      const vb::Variant v = quarvel::rsDatosGenerales->Value(QString::fromLatin1(campo));
      return !v.isNull() && vb::CBool(v);
    };
    bool cerrada = false;
    try {
      cerrada = marcado("BaseCerrada") || marcado("Cerrada");
    } catch (const vb::Error&) {
    }
    if (cerrada) {
      ui::MsgBox(QStringLiteral("La base de datos esta cerrada no se puede modificar"), ui::vbInformation);
      return;
    }
  }
  mnuPegar();
}

// With no child window, copy and paste have nothing to act on and do nothing (rather than report the
// missing window as error 91).
void MDIToolbar::mnuCopiar() {
  const auto& copia = ventanas::registro().copiaClipboard;
  QWidget* hijo = ui::Forms::instance().activeChild();
  if (!copia || !hijo)
    return;
  try {
    copia(hijo->focusWidget());
  } catch (const vb::Error& e) {
    ui::MsgBox(QStringLiteral("mnuCopiar ") + QString::number(e.number()) + u' ' + e.description());
  }
}

void MDIToolbar::mnuPegar() {
  const ventanas::Registro& v = ventanas::registro();
  QWidget* hijo = ui::Forms::instance().activeChild();
  if (!v.pegaClipboard || !hijo)
    return;
  try {
    v.pegaClipboard(hijo->focusWidget());
    QCoreApplication::processEvents();
    puntero::Normal();
    if (v.refrescaPresupuesto)
      v.refrescaPresupuesto();
  } catch (const vb::Error& e) {
    ui::MsgBox(QStringLiteral("mnuPegar ") + QString::number(e.number()) + u' ' + e.description());
  }
}

void MDIToolbar::mnuSeleccionartodo() {
  const auto& selecciona = ventanas::registro().SeleccionaTodo;
  QWidget* hijo = ui::Forms::instance().activeChild();
  if (!selecciona || !hijo)
    return;
  try {
    selecciona(hijo);
  } catch (const vb::Error&) {
    // The Part ends the command silently on any error.
  }
}

void MDIToolbar::ordena(bool descendente) {
  const auto& ordenaGrid = ventanas::registro().OrdenaGrid;
  if (!ordenaGrid)
    return;
  int numero = 0;
  QString descripcion;
  try {
    QWidget* hijo = ui::Forms::instance().activeChild();
    if (!hijo)
      throw vb::Error(91);
    ordenaGrid(hijo, descendente);
  } catch (const vb::Error& e) {
    numero = e.number();
    descripcion = e.description();
  }
  if (numero == 0 || numero == 91)
    return;
  if (numero == 3117)
    ui::MsgBox(QStringLiteral("No es posible ordenar por campos tipo memo como la descripción completa"));
  else
    ui::MsgBox(QStringLiteral("Error en el modulo MdiToolBar.mnuRegascendente_Click: ") + QString::number(numero) +
                   u' ' + descripcion,
               ui::vbInformation, ui::appTitle() + QStringLiteral(": Error"));
}

void MDIToolbar::verBarra() {
  ui::Tool* marca = bar_->tool(QStringLiteral("miver"), QStringLiteral("miverbarra"));
  marca->setChecked(!marca->isChecked());
  bar_->band(QStringLiteral("barraTornavo"))->setVisible(marca->isChecked());
}

void MDIToolbar::bandaAbierta(bool abierta) {
  try {
    bar_->tool(QStringLiteral("miver"), QStringLiteral("miverbarra"))->setChecked(abierta);
  } catch (const vb::Error& e) {
    ui::MsgBox(QStringLiteral("Mditoolbar.BandOpen ") + QString::number(e.number()) + u' ' + e.description());
  }
}

void MDIToolbar::ventanaCerrar() {
  ui::Forms& formas = ui::Forms::instance();
  if (QWidget* hijo = formas.activeChild())
    formas.unload(hijo);
  else
    formas.unload(this);  // no child window: the main window closes, and the program ends
}

void MDIToolbar::ventanaSiguiente() {
  ui::Forms& formas = ui::Forms::instance();
  QWidget* hijo = formas.activeChild();
  if (!hijo)
    return;
  if (QWidget* siguiente = formas.nextForm(ui::Forms::name(hijo), objectName()))
    formas.activate(siguiente);
}
