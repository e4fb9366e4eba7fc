// The tree and tab-strip styles: lists built from the frames' Tags, page selection, list rebuild.
#include <gtest/gtest.h>

#include <QTest>

#include "clslistaopciones.h"
#include "hostprueba.h"
#include "qt_print.h"

using namespace vbui;

namespace {

// Pages with a heading ("Datos", made by two frames that name it), a page under another page (Anexo
// under Obra), an unlisted frame, a page with a set-default procedure and one with validation.
QList<PaginaPrueba> paginas() {
  return {{1, QStringLiteral("Obra"), QStringLiteral("EnLista=Sí")},
          {2, QStringLiteral("Concurso"), QStringLiteral("EnLista=Sí|Predeterminar=Sí|Procedimiento=P2")},
          {3, QStringLiteral("Firmas"), QStringLiteral("Enlista=sí|Validar=firmas")},
          {4, QStringLiteral("Notas"), QStringLiteral("EnLista=No")},
          {5, QStringLiteral("Dependencias"), QStringLiteral("EnLista=Sí|Principal=Datos|Predeterminar=Sí")},
          {6, QStringLiteral("Bancos"), QStringLiteral("EnLista=Sí|Principal=Datos")},
          {7, QStringLiteral("Anexo"), QStringLiteral("EnLista=Sí|Principal=n1")}};
}

QString etiquetaDe(int marco, const QString& titulo) {
  return QStringLiteral("|Marco=%1|Título=%2|Nombre=fraMarco|").arg(marco).arg(titulo);
}

// The host above with a set-default button and two floating controls.
struct Arbol : ::testing::Test {
  Arbol() : host(paginas()) {
    predeterminar = agregaBoton(&host, QStringLiteral("cmdDefecto"), QStringLiteral("&Predeterminar"),
                                QStringLiteral("Acción=Predeterminar|Procedimiento=P0"), 1500);
    flotante1 = new QLabel(QStringLiteral("Nota al pie"), &host);
    flotante1->setObjectName(QStringLiteral("lblNota"));
    setTag(flotante1, QStringLiteral("Flotante=Sí"));
    moveTw(flotante1, 300, 2400, 3000, 300);
    flotante2 = new QLabel(QStringLiteral("Ayuda"), &host);
    flotante2->setObjectName(QStringLiteral("lblAyuda"));
    flotante2->setProperty("ArrayName", QStringLiteral("lblAyuda"));
    flotante2->setProperty("Index", 2);
    setTag(flotante2, QStringLiteral("flotante=SÍ"));
    moveTw(flotante2, 3600, 2400, 1200, 300);
  }

  void adjunta(int estilo = clsListaOpciones::EstiloArbol, bool clasificar = true) {
    lista.setEstilo(estilo);
    lista.setClasificar(clasificar);
    lista.setFormulario(&host);
    host.show();
    arbol = qobject_cast<VbTreeView*>(findControl(&host, QStringLiteral("tvwOpciones")));
    pestanas = qobject_cast<VbTabStrip*>(findControl(&host, QStringLiteral("tabOpciones")));
  }

  QStringList textos(QTreeWidgetItem* padre = nullptr) const {
    QStringList lista;
    const int cuenta = padre ? padre->childCount() : arbol->topLevelItemCount();
    for (int i = 0; i < cuenta; ++i)
      lista << (padre ? padre->child(i) : arbol->topLevelItem(i))->text(0);
    return lista;
  }

  QList<int> marcosVisibles() {
    QList<int> visibles;
    for (QWidget* marco : controlArray(&host, QStringLiteral("fraMarco")))
      if (visible(marco)) visibles << *controlIndex(marco);
    return visibles;
  }

  void clic(QTreeWidgetItem* nodo) {
    arbol->scrollToItem(nodo);
    QTest::mouseClick(arbol->viewport(), Qt::LeftButton, {}, arbol->visualItemRect(nodo).center());
  }

  void clicPestana(int indice) {
    QTest::mouseClick(pestanas->tabBar(), Qt::LeftButton, {},
                      pestanas->tabBar()->tabRect(indice).center());
  }

  // The page shown: exactly one frame, the set-default button and the floating controls with it.
  void esperaPagina(int marco, const QString& titulo, bool conPredeterminar) {
    SCOPED_TRACE(titulo.toStdString());
    EXPECT_EQ(marcosVisibles(), QList<int>{marco});
    EXPECT_EQ(flotante1->parentWidget(), host.marco(marco));
    EXPECT_EQ(flotante2->parentWidget(), host.marco(marco));
    EXPECT_TRUE(visible(flotante1) && visible(flotante2));
    EXPECT_EQ(leftTw(flotante1), 300);
    EXPECT_EQ(topTw(flotante2), 2400);
    EXPECT_EQ(visible(predeterminar), conPredeterminar);
    if (arbol) {
      auto* barra = findControl(&host, QStringLiteral("lblOpciones"));
      EXPECT_EQ(barra->parentWidget(), host.marco(marco));
      EXPECT_EQ(caption(barra), titulo);
      EXPECT_TRUE(visible(barra));
      EXPECT_EQ(leftTw(barra), 0);
      EXPECT_EQ(topTw(barra), 0);
      EXPECT_EQ(widthTw(barra), widthTw(host.marco(marco)));
      EXPECT_EQ(heightTw(barra), 300);
    }
  }

  HostPrueba host;
  QPushButton* predeterminar;
  QLabel* flotante1;
  QLabel* flotante2;
  clsListaOpciones lista;
  VbTreeView* arbol = nullptr;
  VbTabStrip* pestanas = nullptr;
};

TEST_F(Arbol, SeConstruyeOrdenadoDesdeLasEtiquetasDeLosMarcos) {
  adjunta();
  EXPECT_EQ(textos(), (QStringList{"Concurso", "Datos", "Firmas", "Obra"}));
  QTreeWidgetItem* datos = arbol->node(QStringLiteral("Datos"));
  EXPECT_EQ(textos(datos), (QStringList{"Bancos", "Dependencias"}));
  QTreeWidgetItem* obra = arbol->node(QStringLiteral("n1"));
  EXPECT_EQ(textos(obra), QStringList{"Anexo"});
  EXPECT_EQ(arbol->node(QStringLiteral("n4")), nullptr);  // unlisted

  EXPECT_EQ(VbTreeView::tag(arbol->node(QStringLiteral("n3"))), etiquetaDe(3, "Firmas"));
  // A heading, and a page with pages under it, open their first child's page.
  EXPECT_EQ(VbTreeView::tag(datos), etiquetaDe(6, "Bancos"));
  EXPECT_EQ(VbTreeView::tag(obra), etiquetaDe(7, "Anexo"));

  const QList<QPair<QString, QString>> etiquetados = {
      {QStringLiteral("Aceptar"), QStringLiteral("|Nombre=Aceptar|Acción=Aceptar|")},
      {QStringLiteral("Cancelar"), QStringLiteral("|Nombre=Cancelar|Acción=Cancelar|")},
      {QStringLiteral("Predeterminar"), QStringLiteral("|Nombre=cmdDefecto|Acción=Predeterminar|")},
      {QStringLiteral("Flotante1"), QStringLiteral("|Nombre=lblNota|Flotante=Sí|")},
      {QStringLiteral("Flotante2"), QStringLiteral("|Nombre=lblAyuda|Indice=2|Flotante=Sí|")}};
  EXPECT_EQ(lista.ControlesEtiquetados(), etiquetados);
  EXPECT_FALSE(lista.BotonesEnContenedor());

  // The alphabetically first page is shown, with its procedure on the set-default button.
  EXPECT_EQ(arbol->selectedNode()->text(0), QStringLiteral("Concurso"));
  esperaPagina(2, QStringLiteral("Concurso"), true);
  EXPECT_EQ(tag(predeterminar), QStringLiteral("Acción=Predeterminar|Procedimiento=P2|"));
  EXPECT_TRUE(host.llamadas.isEmpty());
}

TEST_F(Arbol, SinClasificarSigueElOrdenDeLosMarcos) {
  adjunta(clsListaOpciones::EstiloArbol, false);
  EXPECT_EQ(textos(), (QStringList{"Obra", "Concurso", "Firmas", "Datos"}));
  EXPECT_EQ(textos(arbol->node(QStringLiteral("Datos"))), (QStringList{"Dependencias", "Bancos"}));
  EXPECT_EQ(VbTreeView::tag(arbol->node(QStringLiteral("Datos"))), etiquetaDe(5, "Dependencias"));
  esperaPagina(7, QStringLiteral("Anexo"), false);  // "Obra" opens its first child's page
}

TEST_F(Arbol, ElClicEnUnNodoMuestraSoloSuMarco) {
  adjunta();
  clic(arbol->node(QStringLiteral("n3")));
  esperaPagina(3, QStringLiteral("Firmas"), false);
  EXPECT_EQ(host.llamadas, QStringList{"firmas"});

  clic(arbol->node(QStringLiteral("n5")));
  esperaPagina(5, QStringLiteral("Dependencias"), true);
  // An empty procedure replaces the one written before.
  EXPECT_EQ(tag(predeterminar), QStringLiteral("Acción=Predeterminar|Procedimiento=|"));

  clic(arbol->node(QStringLiteral("Datos")));
  esperaPagina(6, QStringLiteral("Bancos"), false);

  // Collapsing the heading of the page shown selects the heading, which opens its first page.
  clic(arbol->node(QStringLiteral("n5")));
  arbol->collapseItem(arbol->node(QStringLiteral("Datos")));
  EXPECT_EQ(arbol->selectedNode(), arbol->node(QStringLiteral("Datos")));
  esperaPagina(6, QStringLiteral("Bancos"), false);

  // The keyboard picks nodes too.
  arbol->setFocus();
  arbol->selectNode(arbol->node(QStringLiteral("n2")));
  QTest::keyClick(arbol, Qt::Key_Down);
  esperaPagina(6, QStringLiteral("Bancos"), false);
  EXPECT_EQ(arbol->selectedNode()->text(0), QStringLiteral("Datos"));
  QTest::keyClick(arbol, Qt::Key_Down);
  esperaPagina(3, QStringLiteral("Firmas"), false);
}

TEST_F(Arbol, ReasignaConservaLaSeleccion) {
  adjunta();
  clic(arbol->node(QStringLiteral("n3")));

  // The selected caption is found again wherever it now stands.
  host.marco(1)->setCaption(QStringLiteral("Alfa"));
  lista.Reasigna();
  EXPECT_EQ(textos(), (QStringList{"Alfa", "Concurso", "Datos", "Firmas"}));
  EXPECT_EQ(arbol->selectedNode()->text(0), QStringLiteral("Firmas"));
  esperaPagina(3, QStringLiteral("Firmas"), false);

  // No caption matches: the node at the same place in the list (the node of frame 3 again).
  host.marco(3)->setCaption(QStringLiteral("Signatarios"));
  lista.Reasigna();
  EXPECT_EQ(arbol->selectedNode(), arbol->node(QStringLiteral("n3")));
  esperaPagina(3, QStringLiteral("Signatarios"), false);

  // The list became shorter than that place: the last top-level node.
  clic(arbol->node(QStringLiteral("n7")));  // seventh node added
  setTag(host.marco(7), QStringLiteral("EnLista=No"));
  setTag(host.marco(6), QStringLiteral("EnLista=No"));
  setTag(host.marco(5), QStringLiteral("EnLista=Sí|Principal=Grupo"));
  lista.Reasigna();
  EXPECT_EQ(textos(), (QStringList{"Alfa", "Concurso", "Grupo", "Signatarios"}));
  EXPECT_EQ(arbol->selectedNode()->text(0), QStringLiteral("Signatarios"));
  esperaPagina(3, QStringLiteral("Signatarios"), false);

  // A new heading opens its first page when clicked.
  clic(arbol->node(QStringLiteral("Grupo")));
  esperaPagina(5, QStringLiteral("Dependencias"), false);
}

TEST_F(Arbol, ElArbolSeEnsanchaParaElTextoMasLargo) {
  const QString largo = QStringLiteral("Datos de la empresa y de su representante legal");
  const int sangria = pixelsTw(20);  // the least indentation the style draws
  for (bool conEncabezado : {false, true}) {
    SCOPED_TRACE(conEncabezado ? "con encabezado" : "sin encabezado");
    HostPrueba corto({{1, QStringLiteral("Obra"), QStringLiteral("EnLista=Sí")}});
    HostPrueba host({{1, QStringLiteral("Obra"),
                      conEncabezado ? QStringLiteral("EnLista=Sí|Principal=Empresa")
                                    : QStringLiteral("EnLista=Sí")},
                     {2, largo, QStringLiteral("EnLista=Sí")}});
    clsListaOpciones lista, otra;
    lista.setFormulario(&host);
    otra.setFormulario(&corto);
    EXPECT_EQ(widthTw(findControl(&corto, QStringLiteral("tvwOpciones"))), 2500);
    EXPECT_EQ(widthTw(findControl(&host, QStringLiteral("tvwOpciones"))),
              textWidthTw(host.font(), largo) + (sangria + 240) * (conEncabezado ? 2 : 1));
    // The pages move right with the tree.
    EXPECT_EQ(leftTw(host.marco(1)), 120 + widthTw(findControl(&host, QStringLiteral("tvwOpciones"))) + 60);
  }
}

TEST(ArbolVacio, SinPaginasListadasNoMuestraNada) {
  HostPrueba host({{1, QStringLiteral("Obra"), QStringLiteral("EnLista=No")},
                   {2, QStringLiteral("Firmas"), QString()}});
  clsListaOpciones lista;
  lista.setFormulario(&host);
  auto* arbol = qobject_cast<VbTreeView*>(findControl(&host, QStringLiteral("tvwOpciones")));
  EXPECT_EQ(arbol->topLevelItemCount(), 0);
  EXPECT_EQ(arbol->selectedNode(), nullptr);
  lista.Reasigna();
  EXPECT_EQ(arbol->topLevelItemCount(), 0);
}

TEST_F(Arbol, Pestanas) {
  adjunta(clsListaOpciones::EstiloPestanas);
  ASSERT_TRUE(pestanas);
  EXPECT_EQ(findControl(&host, QStringLiteral("lblOpciones")), nullptr);
  QStringList textosPestanas;
  for (int i = 0; i < pestanas->count(); ++i) textosPestanas << pestanas->tabCaption(i);
  // Frame order; Principal means nothing to tabs.
  EXPECT_EQ(textosPestanas,
            (QStringList{"Obra", "Concurso", "Firmas", "Dependencias", "Bancos", "Anexo"}));
  EXPECT_EQ(pestanas->tabKey(2), QStringLiteral("t3"));
  EXPECT_EQ(pestanas->tabTag(2), etiquetaDe(3, "Firmas"));
  EXPECT_EQ(pestanas->selectedIndex(), 0);
  esperaPagina(1, QStringLiteral("Obra"), false);

  clicPestana(2);
  EXPECT_EQ(pestanas->selectedIndex(), 2);
  esperaPagina(3, QStringLiteral("Firmas"), false);
  EXPECT_EQ(host.llamadas, QStringList{"firmas"});
  clicPestana(3);
  esperaPagina(5, QStringLiteral("Dependencias"), true);

  // Rebuild: the same caption, then the same place, then the last tab.
  setTag(host.marco(1), QStringLiteral("EnLista=No"));
  lista.Reasigna();
  EXPECT_EQ(pestanas->tabCaption(pestanas->selectedIndex()), QStringLiteral("Dependencias"));
  esperaPagina(5, QStringLiteral("Dependencias"), true);
  host.marco(5)->setCaption(QStringLiteral("Oficinas"));
  lista.Reasigna();
  EXPECT_EQ(pestanas->selectedIndex(), 2);
  esperaPagina(5, QStringLiteral("Oficinas"), true);
  for (int i : {3, 5, 6, 7}) setTag(host.marco(i), QString());
  lista.Reasigna();
  EXPECT_EQ(pestanas->count(), 1);
  esperaPagina(2, QStringLiteral("Concurso"), true);
}

}  // namespace
