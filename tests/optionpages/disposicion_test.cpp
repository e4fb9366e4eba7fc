// The page layout in twips, for each style.
#include <gtest/gtest.h>

#include <QFrame>

#include "clslistaopciones.h"
#include "hostprueba.h"
#include "qt_print.h"

using namespace vbui;

namespace {

QList<PaginaPrueba> paginasDeEjemplo() {
  // The largest frame is 8640 wide and 5055 high, but no single frame has both.
  return {{1, QStringLiteral("Obra"), QStringLiteral("EnLista=Sí"), 8640, 4000},
          {2, QStringLiteral("Firmas"), QStringLiteral("EnLista=Sí"), 7000, 5055},
          {3, QStringLiteral("Notas"), QString(), 3000, 2000}};
}

void esperaGeometria(QWidget* control, int izquierda, int arriba, int ancho, int alto) {
  SCOPED_TRACE(control->objectName().toStdString());
  EXPECT_EQ(leftTw(control), izquierda);
  EXPECT_EQ(topTw(control), arriba);
  EXPECT_EQ(widthTw(control), ancho);
  EXPECT_EQ(heightTw(control), alto);
}

TEST(Disposicion, ArbolComoEnElEjemploResuelto) {
  HostPrueba host(paginasDeEjemplo());
  clsListaOpciones lista;
  lista.setFormulario(&host);

  QWidget* arbol = findControl(&host, QStringLiteral("tvwOpciones"));
  esperaGeometria(arbol, 120, 120, 2500, 5055);
  for (int i : {1, 2, 3}) {
    esperaGeometria(host.marco(i), 2680, 120, 8640, 5055);
    EXPECT_EQ(host.marco(i)->borderStyle(), 0);  // listed or not
  }
  esperaGeometria(host.cancelar, 10105, 5235, 1215, 375);
  esperaGeometria(host.aceptar, 8830, 5235, 1215, 375);
  // Width: tree + 120 + 60 + pages + 120 + border (the example's 11530 has a border of 90; a form
  // not yet shown has none). Height: tree + button + 720, whatever the frames' top.
  EXPECT_EQ(widthTw(&host), 11440);
  EXPECT_EQ(formWidthTw(&host), 11440 + formBorderWidthTw(&host));
  EXPECT_EQ(formHeightTw(&host), 6150);
}

TEST(Disposicion, FilaDeBotonesConAplicarYPredeterminar) {
  for (bool conAplicar : {true, false}) {
    SCOPED_TRACE(conAplicar ? "con Aplicar" : "sin Aplicar");
    HostPrueba host(paginasDeEjemplo());
    QPushButton* aplicar =
        conAplicar ? agregaBoton(&host, QStringLiteral("Aplicar"), QStringLiteral("A&plicar"),
                                 QStringLiteral("Acción=Aplicar"), 1000)
                   : nullptr;
    QPushButton* predeterminar = agregaBoton(&host, QStringLiteral("Predeterminar"),
                                             QStringLiteral("&Predeterminar"),
                                             QStringLiteral("Acción=Predeterminar"), 1500);
    clsListaOpciones lista;
    lista.setFormulario(&host);
    if (aplicar) esperaGeometria(aplicar, 8830 - 60 - 1000, 5235, 1000, 375);
    const int vecino = aplicar ? 8830 - 60 - 1000 : 8830;
    esperaGeometria(predeterminar, vecino - 120 - 1500, 5235, 1500, 375);
  }
}

TEST(Disposicion, BotonesDentroDeUnContenedor) {
  HostPrueba host(paginasDeEjemplo(), false);
  auto* fila = new QFrame(&host);
  fila->setObjectName(QStringLiteral("fraBotones"));
  moveTw(fila, 0, 0, 2600, 500);
  QPushButton* aceptar = agregaBoton(fila, QStringLiteral("Aceptar"), QStringLiteral("&Aceptar"),
                                     QStringLiteral("Acción=Aceptar"));
  QPushButton* cancelar = agregaBoton(fila, QStringLiteral("Cancelar"), QStringLiteral("&Cancelar"),
                                      QStringLiteral("Acción=Cancelar"));
  moveTw(cancelar, 1300, 60);
  clsListaOpciones lista;
  lista.setFormulario(&host);

  EXPECT_TRUE(lista.BotonesEnContenedor());
  const QList<QPair<QString, QString>> esperado = {
      {QStringLiteral("Aceptar"), QStringLiteral("|Nombre=Aceptar|Acción=Aceptar|")},
      {QStringLiteral("Contenedor"), QStringLiteral("|Nombre=fraBotones|Acción=Contenedor|")},
      {QStringLiteral("Cancelar"), QStringLiteral("|Nombre=Cancelar|Acción=Cancelar|")}};
  EXPECT_EQ(lista.ControlesEtiquetados(), esperado);
  // The container takes the cancel button's place; the buttons inside keep theirs.
  esperaGeometria(fila, 120 + 8640 + 2500 + 60 - 2600, 5055 + 180, 2600, 500);
  esperaGeometria(aceptar, 0, 0, 1215, 375);
  esperaGeometria(cancelar, 1300, 60, 1215, 375);
  EXPECT_EQ(formHeightTw(&host), 5055 + 500 + 720);
}

TEST(Disposicion, Pestanas) {
  HostPrueba host(paginasDeEjemplo());
  clsListaOpciones lista;
  lista.setEstilo(clsListaOpciones::EstiloPestanas);
  lista.setFormulario(&host);

  auto* pestanas = qobject_cast<VbTabStrip*>(findControl(&host, QStringLiteral("tabOpciones")));
  ASSERT_TRUE(pestanas);
  const int encabezado = 90 + fontSizeTw(pestanas->font());
  esperaGeometria(pestanas, 120, 90, 8640 + 120, 5055 + encabezado + 120);
  for (int i : {1, 2, 3}) esperaGeometria(host.marco(i), 180, 90 + encabezado + 90, 8640, 5055);
  const int arribaBotones = 5055 + encabezado + 120 + 180;
  esperaGeometria(host.cancelar, 120 + 8760 - 1215, arribaBotones, 1215, 375);
  esperaGeometria(host.aceptar, 120 + 8760 - 1215 - 60 - 1215, arribaBotones, 1215, 375);
  EXPECT_EQ(formWidthTw(&host), 8760 + 240);
  EXPECT_EQ(formHeightTw(&host), 5055 + encabezado + 120 + 375 + 720);
}

TEST(Disposicion, Asistente) {
  HostPrueba host(paginasDeEjemplo());
  clsListaOpciones lista;
  lista.setEstilo(clsListaOpciones::EstiloAsistente);
  lista.setFormulario(&host);
  auto control = [&](const char* nombre) { return findControl(&host, QString::fromUtf8(nombre)); };

  const int arriba = 855 + 60;
  const int ancho = 8640, alto = 5055;
  esperaGeometria(control("pctAsistente"), 0, 0, ancho + 120, 855);
  for (int i : {1, 2, 3}) esperaGeometria(host.marco(i), 60, arriba, ancho, alto);
  esperaGeometria(control("fraInicial"), 60, arriba, ancho, alto);
  esperaGeometria(control("fraFinal"), 60, arriba, ancho, alto);
  esperaGeometria(control("lblInicial"), 420, 420, ancho - 540, alto - 540);
  esperaGeometria(control("cmdAtras"), 0, 0, 1215, 375);
  esperaGeometria(control("cmdSiguiente"), 1275, 0, 1215, 375);
  esperaGeometria(control("cmdCancelarFin"), 2610, 0, 1215, 375);
  esperaGeometria(control("fraComandos"), ancho + 60 - 3825, arriba + alto + 180, 3825, 375);
  esperaGeometria(control("imgAsistente"), ancho + 120 - 615 - 120, 120, 615, 615);
  EXPECT_EQ(widthTw(control("lblAsistenteTit")), ancho + 120 - 615 - 120 - 180);
  EXPECT_EQ(widthTw(control("lblAsistenteExp")), ancho + 120 - 615 - 120 - 180 - 120);
  for (const char* nombre : {"linLinea1", "linLinea2", "linLinea3", "linLinea4"}) {
    auto* linea = qobject_cast<VbLine*>(control(nombre));
    const bool deArriba = nombre[8] <= '2';
    EXPECT_EQ(linea->x1(), 0) << nombre;
    EXPECT_EQ(linea->x2(), ancho + 120) << nombre;
    EXPECT_EQ(linea->y1(), deArriba ? 885 : arriba + alto + 30) << nombre;
    EXPECT_EQ(linea->y2(), linea->y1()) << nombre;
  }
  EXPECT_EQ(formWidthTw(&host), ancho + 120);
  EXPECT_EQ(formHeightTw(&host), 375 + arriba + alto + 720);
  // The host's own buttons are not the wizard's: they keep their place.
  EXPECT_EQ(leftTw(host.cancelar), 0);
}

}  // namespace
