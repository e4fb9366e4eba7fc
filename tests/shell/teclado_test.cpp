// The main window as the user meets it: its tools at the keyboard, its captions as written, the
// program's own icon on every window.
#include "barcontrol.h"
#include "forms.h"
#include "frmacercade.h"
#include "frmpresenta.h"
#include "mditoolbar.h"
#include "quarvel.h"
#include "shellfixture.h"
#include "ventanas.h"

#include "qt_print.h"

#include <QAccessible>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QLabel>
#include <QMdiSubWindow>
#include <QMenu>
#include <QStyle>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

using namespace shelltest;

namespace {

class Hija : public QWidget, public ui::Form {
  Q_OBJECT
public:
  Hija() { setProperty("MDIChild", true); }
};

// Presses keys where the user's focus is: the focused widget of the active window.
void pulsa(const QKeySequence& teclas) {
  QWidget* destino = QApplication::focusWidget();
  if (!destino)
    destino = QApplication::activeWindow();
  ASSERT_NE(destino, nullptr) << "no window has the focus";
  QTest::keySequence(destino, teclas);
}

// The text a menu shows for a tool, as read out to the user (access-key marks taken out).
QString textoMostrado(QMenu* menu, QAction* accion) {
  QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(menu);
  for (int i = 0; iface && i < iface->childCount(); ++i) {
    QAccessibleInterface* hijo = iface->child(i);
    if (hijo && hijo->object() == accion)
      return hijo->text(QAccessible::Name);
  }
  return QStringLiteral("<not in the menu>");
}

QImage imagen(const QIcon& icono) { return icono.pixmap(32, 32).toImage(); }

}  // namespace

TEST_F(ShellTest, StandardKeysRunTheMainWindowsTools) {
  QStringList llamadas;
  ventanas::Registro& r = ventanas::registro();
  r.FrmPre = [&] { llamadas.append("FrmPre"); };
  r.frmRep = [&](bool modal) { llamadas.append(modal ? "frmRep modal" : "frmRep"); };
  r.copiaClipboard = [&](QWidget*) { llamadas.append("copiaClipboard"); };
  r.pegaClipboard = [&](QWidget*) { llamadas.append("pegaClipboard"); };
  MDIToolbar* principal = arranca();
  ASSERT_NE(principal, nullptr);
  principal->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(principal));

  // Without a bid only Abrir, the About box and Salir have keys that act.
  for (const char* tecla : {"Ctrl+P", "Ctrl+C", "Ctrl+V", "Ctrl+W", "Ctrl+F4"})
    pulsa(QKeySequence(QString::fromLatin1(tecla)));
  EXPECT_TRUE(llamadas.isEmpty()) << llamadas.join(' ').toStdString();
  EXPECT_TRUE(cajas.texts().isEmpty()) << cajas.texts().join(" | ").toStdString();
  EXPECT_NE(MDIToolbar::instancia(), nullptr);

  dialogos.choose(carpeta.archivo("Ejemplo.mdb"));
  pulsa(QKeySequence("Ctrl+O"));
  EXPECT_TRUE(quarvel::obraAbierta);
  EXPECT_EQ(llamadas, QStringList({"FrmPre"}));
  pulsa(QKeySequence("F1"));
  EXPECT_EQ(modales, QStringList({"frmPresenta", "FrmAcercaDe"}));

  // With a child window active, the edit keys act on it, and Ctrl+W or Ctrl+F4 close it.
  ui::Forms& formas = ui::Forms::instance();
  const struct {
    const char* tecla;
    QStringList esperado;
  } casos[] = {
      {"Ctrl+P", {"frmRep modal"}},
      {"Ctrl+C", {"copiaClipboard"}},
      {"Ctrl+V", {"pegaClipboard"}},
  };
  Hija* hija = formas.get<Hija>();
  formas.show(hija);
  hija->setFocus();
  for (const auto& c : casos) {
    llamadas.clear();
    pulsa(QKeySequence(QString::fromLatin1(c.tecla)));
    EXPECT_EQ(llamadas, c.esperado) << c.tecla;
  }
  for (const char* tecla : {"Ctrl+W", "Ctrl+F4"}) {
    hija = formas.get<Hija>();
    formas.show(hija);
    hija->setFocus();
    pulsa(QKeySequence(QString::fromLatin1(tecla)));
    EXPECT_FALSE(formas.isLoaded(hija)) << tecla;
  }
  // No child left: these keys do nothing (the Window menu's Cerrar would end the program).
  llamadas.clear();
  for (const char* tecla : {"Ctrl+W", "Ctrl+F4", "Ctrl+C", "Ctrl+V"})
    pulsa(QKeySequence(QString::fromLatin1(tecla)));
  EXPECT_TRUE(llamadas.isEmpty()) << llamadas.join(' ').toStdString();
  EXPECT_TRUE(cajas.texts().isEmpty()) << cajas.texts().join(" | ").toStdString();
  EXPECT_NE(MDIToolbar::instancia(), nullptr);

  pulsa(QKeySequence("Ctrl+Q"));
  EXPECT_EQ(MDIToolbar::instancia(), nullptr);
}

TEST_F(ShellTest, TheKeysShowBesideTheMenuCaptions) {
  MDIToolbar* principal = arranca();
  ASSERT_NE(principal, nullptr);
  abre(carpeta.archivo("Ejemplo.mdb"));
  ui::Forms& formas = ui::Forms::instance();
  formas.show(formas.get<Hija>());
  const struct {
    const char* banda;
    const char* herramienta;
    const char* tecla;
  } casos[] = {
      {"miarchivo", "miarchivoabrir", "Ctrl+O"},    {"miarchivo", "miarchivoprint", "Ctrl+P"},
      {"miarchivo", "miarchivosalir", "Ctrl+Q"},    {"miedicion", "miedicioncopiar", "Ctrl+C"},
      {"miedicion", "miedicionpegar", "Ctrl+V"},    {"miventana", "miventanacerrar", "Ctrl+F4"},
      {"miayuda", "miayudaacerca", "F1"},
  };
  for (const auto& c : casos) {
    QAction* accion = barra().tool(c.banda, c.herramienta)->action();
    EXPECT_EQ(accion->shortcut().toString(QKeySequence::NativeText), c.tecla) << c.herramienta;
  }
}

// A recent bid's path is shown as it is, "&" and all; the tool bar keeps the captions' "...".
TEST_F(ShellTest, CaptionsShowAsWritten) {
  const QString ruta = carpeta.copiaEjemplo("R&D/Obra & cía.mdb");
  ASSERT_FALSE(ruta.isEmpty());
  ASSERT_NE(arranca(), nullptr);
  abre(ruta);
  ASSERT_TRUE(quarvel::obraAbierta);
  ui::Tool* reciente = barra().tool("miarchivo", "mnuobra1");
  EXPECT_EQ(reciente->caption(), "&1 " + ruta);
  EXPECT_EQ(textoMostrado(barra().band("miarchivo")->menu(), reciente->action()), "1 " + ruta);

  // Its tool opens that very bid again.
  clic("miarchivocerrar");
  ASSERT_TRUE(clic("mnuobra1"));
  EXPECT_TRUE(quarvel::obraAbierta);
  EXPECT_EQ(quarvel::rutaObra, ruta);

  QToolBar* barraIzquierda = barra().band("barraTornavo")->toolBar();
  const auto boton = [&](const char* herramienta) {
    auto* b = qobject_cast<QToolButton*>(barraIzquierda->widgetForAction(barra().tool(herramienta)->action()));
    return b ? b->text() : QStringLiteral("<no button>");
  };
  EXPECT_EQ(boton("mnuPre"), "Presentación preliminar...");
  EXPECT_EQ(boton("mnuImp"), "Imprimir...");
  EXPECT_EQ(boton("mnuPeg"), "Pegar (Presupuesto)");
  EXPECT_EQ(textoMostrado(barra().band("miarchivo")->menu(), barra().tool("miarchivo", "miarchivoprint")->action()),
            "Imprimir");
}

TEST_F(ShellTest, OneProgramIconOnEveryWindow) {
  // The splash and the About box as the program shows them.
  QImage presentacion, presentacionDibujo, acerca, acercaDibujo;
  ui::Forms::instance().setModalRunner([&](QDialog* d) {
    modales.append(ui::Forms::name(d));
    auto* dibujo = d->findChild<QLabel*>(QStringLiteral("picIcon"));
    const QImage pintado = dibujo ? dibujo->pixmap().toImage() : QImage();
    if (qobject_cast<frmPresenta*>(d)) {
      presentacion = imagen(d->windowIcon());
      presentacionDibujo = pintado;
    } else if (qobject_cast<FrmAcercaDe*>(d)) {
      acerca = imagen(d->windowIcon());
      acercaDibujo = pintado;
    }
    ui::Forms::instance().unload(d);
    return int(QDialog::Accepted);
  });
  MDIToolbar* principal = arranca();
  ASSERT_NE(principal, nullptr);
  clic("miayudaacerca");
  ASSERT_EQ(modales, QStringList({"frmPresenta", "FrmAcercaDe"}));

  const QImage nuestro = imagen(QApplication::windowIcon());
  ASSERT_FALSE(nuestro.isNull()) << "the program has no icon of its own";
  const QImage delToolkit = imagen(principal->style()->standardIcon(QStyle::SP_TitleBarMenuButton));
  EXPECT_NE(nuestro, delToolkit);
  EXPECT_EQ(imagen(principal->windowIcon()), nuestro);
  EXPECT_EQ(presentacion, nuestro);
  EXPECT_EQ(acerca, nuestro);
  // The splash has no title bar, and the About box shows it too: both draw it.
  ASSERT_FALSE(presentacionDibujo.isNull());
  EXPECT_EQ(presentacionDibujo, QApplication::windowIcon().pixmap(presentacionDibujo.size()).toImage());
  ASSERT_FALSE(acercaDibujo.isNull());
  EXPECT_EQ(acercaDibujo, QApplication::windowIcon().pixmap(acercaDibujo.size()).toImage());

  // A child window's title bar.
  ui::Forms& formas = ui::Forms::instance();
  Hija* hija = formas.get<Hija>();
  formas.show(hija);
  QMdiSubWindow* marco = ui::Forms::subWindowOf(hija);
  ASSERT_NE(marco, nullptr);
  EXPECT_EQ(imagen(marco->windowIcon()), nuestro);
}

#include "teclado_test.moc"
