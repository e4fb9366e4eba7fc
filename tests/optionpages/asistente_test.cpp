// The wizard style: chrome, the state table of its pages and buttons, validation, cancel and finish.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTest>

#include "clslistaopciones.h"
#include "hostprueba.h"
#include "qt_print.h"

using namespace vbui;

namespace {

const QString kTitulo = QStringLiteral("Asistente para capturar datos");
const QString kNotaInicial =
    QStringLiteral("Este asistente le ayudará a capturar ordenadamente una serie de datos.");
const QString kNotaFinal = QStringLiteral("Ha finalizado la ejecución del asistente.");

struct Asistente : ::testing::Test {
  void adjunta(const QList<PaginaPrueba>& paginas) {
    host = std::make_unique<HostPrueba>(paginas);
    // The host's own buttons make no sense in a wizard: tagged standard, the wizard hides them.
    setTag(host->aceptar, QStringLiteral("Acción=Estándar"));
    setTag(host->cancelar, QStringLiteral("ACCIÓN=estándar"));
    lista.setEstilo(clsListaOpciones::EstiloAsistente);
    lista.setFormulario(host.get());
    host->show();
    atras = boton("cmdAtras");
    siguiente = boton("cmdSiguiente");
    tercero = boton("cmdCancelarFin");
  }

  QPushButton* boton(const char* nombre) {
    return qobject_cast<QPushButton*>(findControl(host.get(), QString::fromUtf8(nombre)));
  }
  QString texto(const char* nombre) { return caption(findControl(host.get(), QString::fromUtf8(nombre))); }
  bool visto(const char* nombre) { return visible(findControl(host.get(), QString::fromUtf8(nombre))); }

  // What is on show: 0 the opening page, -1 the closing page, else the one frame visible; -2 nothing.
  int pagina() {
    QList<int> marcos;
    for (QWidget* marco : controlArray(host.get(), QStringLiteral("fraMarco")))
      if (visible(marco)) marcos << *controlIndex(marco);
    const int paginas = int(marcos.size()) + visto("fraInicial") + visto("fraFinal");
    if (paginas != 1) return paginas == 0 ? -2 : -3;
    return visto("fraInicial") ? 0 : visto("fraFinal") ? -1 : marcos.front();
  }

  std::unique_ptr<HostPrueba> host;
  clsListaOpciones lista;
  QPushButton* atras = nullptr;
  QPushButton* siguiente = nullptr;
  QPushButton* tercero = nullptr;
};

QList<PaginaPrueba> tresPaginas() {
  return {{1, QStringLiteral("Obra"),
           QStringLiteral("EnLista=Sí|AsistenteTítulo=Obra|AsistenteExplicación=Datos de la obra."
                          "|AsistenteValidar=obra")},
          {2, QStringLiteral("Notas"), QStringLiteral("EnLista=No|AsistenteTítulo=Notas")},
          {3, QStringLiteral("Firmas"),
           QStringLiteral("EnLista=Sí|AsistenteTítulo=Firmas|AsistenteExplicación=Quién firma.")}};
}

TEST_F(Asistente, TablaDeEstados) {
  adjunta(tresPaginas());
  struct Paso {
    QPushButton* Asistente::*boton;  // nullptr: the state the wizard starts in
    int pagina, paginaActual;
    QString titulo, explicacion;
    bool atras, siguiente;
    QString tercero;
  };
  const QString obra = QStringLiteral("Obra (1 de 3)");
  const QString firmas = QStringLiteral("Firmas (3 de 3)");
  const QString obraExp = QStringLiteral("Datos de la obra.");
  const QString firmasExp = QStringLiteral("Quién firma.");
  const QString cancelar = QStringLiteral("Cancelar");
  const QString finalizar = QStringLiteral("&Finalizar");
  const Paso pasos[] = {
      {nullptr, 0, 0, kTitulo, kNotaInicial, false, true, cancelar},
      {&Asistente::siguiente, 1, 1, obra, obraExp, true, true, cancelar},
      {&Asistente::siguiente, 3, 3, firmas, firmasExp, true, true, cancelar},  // "No" is skipped
      {&Asistente::siguiente, -1, 4, kTitulo, kNotaFinal, true, false, finalizar},
      {&Asistente::atras, 3, 3, firmas, firmasExp, true, true, cancelar},
      {&Asistente::atras, 1, 1, obra, obraExp, true, true, cancelar},
      {&Asistente::atras, 0, 0, kTitulo, kNotaInicial, false, true, cancelar},
  };
  for (const Paso& paso : pasos) {
    if (paso.boton) (this->*paso.boton)->click();
    SCOPED_TRACE(paso.titulo.toStdString() + " en la página " + std::to_string(paso.pagina));
    EXPECT_EQ(pagina(), paso.pagina);
    EXPECT_EQ(lista.PaginaActual(), paso.paginaActual);
    EXPECT_EQ(texto("lblAsistenteTit"), paso.titulo);
    EXPECT_EQ(texto("lblAsistenteExp"), paso.explicacion);
    EXPECT_EQ(atras->isEnabled(), paso.atras);
    EXPECT_EQ(siguiente->isEnabled(), paso.siguiente);
    EXPECT_EQ(tercero->text(), paso.tercero);
  }
  // Only leaving "Obra" forward asked for validation; going back never does.
  EXPECT_EQ(host->llamadas, QStringList{"obra"});
  EXPECT_EQ(texto("lblInicial"), QStringLiteral(
      "Para iniciar la ejecución de este asistente, haga clic en el botón Siguiente."));
  EXPECT_EQ(texto("lblFinal"),
            QStringLiteral("Para guardar los cambios hechos, haga clic en el botón Finalizar."));
  // Standard controls are hidden by the wizard.
  EXPECT_FALSE(visible(host->aceptar));
  EXPECT_FALSE(visible(host->cancelar));
}

TEST_F(Asistente, LaValidacionImpideDejarLaPagina) {
  adjunta(tresPaginas());
  siguiente->click();
  host->respuesta = false;
  siguiente->click();
  siguiente->click();
  EXPECT_EQ(host->llamadas, (QStringList{"obra", "obra"}));
  EXPECT_EQ(pagina(), 1);
  EXPECT_EQ(lista.PaginaActual(), 1);
  EXPECT_EQ(texto("lblAsistenteTit"), QStringLiteral("Obra (1 de 3)"));
  EXPECT_TRUE(atras->isEnabled() && siguiente->isEnabled());
  atras->click();
  EXPECT_EQ(pagina(), 0);
  EXPECT_EQ(host->llamadas.size(), 2);
}

TEST_F(Asistente, CancelarYFinalizarAvisanAlHost) {
  adjunta(tresPaginas());
  QApplication::setActiveWindow(host.get());
  ASSERT_TRUE(QTest::qWaitForWindowActive(host.get()));

  tercero->click();  // on the opening page
  EXPECT_EQ(host->llamadas, QStringList{"Cancelar"});
  EXPECT_EQ(pagina(), -2);  // every page hidden

  lista.setAsistenteTitulo(QStringLiteral("Alta de obra"));  // shows at the next opening page
  EXPECT_EQ(texto("lblAsistenteTit"), kTitulo);
  lista.setAsistenteTextoInicial(QStringLiteral("Pulse Siguiente."));  // shows at once
  EXPECT_EQ(texto("lblInicial"), QStringLiteral("Pulse Siguiente."));

  host->llamadas.clear();
  siguiente->click();  // from nowhere on to the first frame
  EXPECT_EQ(pagina(), 1);
  QTest::keyClick(host.get(), Qt::Key_Escape);  // Esc presses the cancel button
  EXPECT_EQ(host->llamadas, QStringList{"Cancelar"});
  EXPECT_EQ(pagina(), -2);

  host->llamadas.clear();
  siguiente->click();
  siguiente->click();
  siguiente->click();
  EXPECT_EQ(pagina(), -1);
  host->llamadas.clear();
  QTest::keyClick(host.get(), Qt::Key_Escape);  // not the cancel button on the closing page
  EXPECT_TRUE(host->llamadas.isEmpty());
  EXPECT_EQ(pagina(), -1);
  tercero->click();
  EXPECT_EQ(host->llamadas, QStringList{"Guardar"});
  EXPECT_EQ(pagina(), -2);

  atras->click();  // from nowhere back to the last frame
  EXPECT_EQ(pagina(), 3);
  atras->click();
  atras->click();
  EXPECT_EQ(pagina(), 0);
  EXPECT_EQ(texto("lblAsistenteTit"), QStringLiteral("Alta de obra"));
}

TEST_F(Asistente, LosExtremosDelArregloDecidenSegunEnLista) {
  struct Caso {
    const char* nombre;
    QStringList enLista;
    int trasElPrimero;  // page after "Siguiente >" on the first frame
    int trasElUltimo;   // page after "< Anterior" on the last frame
  };
  const Caso casos[] = {
      {"último No", {"Sí", "No"}, -1, 1},
      {"último sin clave", {"Sí", ""}, 2, 1},
      {"primero No", {"No", "Sí"}, 2, 0},
      {"un solo marco", {"No"}, -1, 0},
  };
  for (const Caso& caso : casos) {
    SCOPED_TRACE(caso.nombre);
    QList<PaginaPrueba> paginas;
    for (int i = 0; i < caso.enLista.size(); ++i)
      paginas.append({i + 1, QStringLiteral("P%1").arg(i + 1),
                      QStringLiteral("EnLista=%1|AsistenteTítulo=P%2").arg(caso.enLista[i]).arg(i + 1)});
    clsListaOpciones otra;
    HostPrueba host(paginas);
    otra.setEstilo(clsListaOpciones::EstiloAsistente);
    otra.setFormulario(&host);
    auto pulsa = [&](const char* nombre) {
      qobject_cast<QPushButton*>(findControl(&host, QString::fromUtf8(nombre)))->click();
    };
    auto muestra = [&] {
      for (QWidget* marco : controlArray(&host, QStringLiteral("fraMarco")))
        if (visible(marco)) return *controlIndex(marco);
      return visible(findControl(&host, QStringLiteral("fraFinal"))) ? -1 : 0;
    };
    pulsa("cmdSiguiente");  // the opening page always leads to the first frame
    EXPECT_EQ(muestra(), 1);
    EXPECT_EQ(caption(findControl(&host, QStringLiteral("lblAsistenteTit"))),
              QStringLiteral("P1 (1 de %1)").arg(caso.enLista.size()));
    pulsa("cmdSiguiente");
    EXPECT_EQ(muestra(), caso.trasElPrimero);
    for (int i = 0; i < 3; ++i) pulsa("cmdSiguiente");
    pulsa("cmdAtras");  // the closing page always leads back to the last frame
    EXPECT_EQ(muestra(), int(caso.enLista.size()));
    pulsa("cmdAtras");
    EXPECT_EQ(muestra(), caso.trasElUltimo);
  }
}

TEST_F(Asistente, ImagenYControlesEstandar) {
  // Without a picture the image box is there, empty; with one it shows it.
  adjunta(tresPaginas());
  auto* imagen = qobject_cast<QLabel*>(findControl(host.get(), QStringLiteral("imgAsistente")));
  EXPECT_EQ(widthTw(imagen), 615);
  EXPECT_EQ(heightTw(imagen), 615);
  EXPECT_TRUE(imagen->pixmap().isNull());
  QPixmap dibujo(64, 32);
  dibujo.fill(Qt::darkBlue);
  lista.setAsistenteIcono(dibujo);
  EXPECT_FALSE(imagen->pixmap().isNull());
  EXPECT_TRUE(visible(imagen));

  // The tree style leaves standard controls alone.
  HostPrueba arbol(tresPaginas());
  setTag(arbol.aceptar, QStringLiteral("Acción=Estándar"));
  clsListaOpciones otra;
  otra.setFormulario(&arbol);
  EXPECT_TRUE(visible(arbol.aceptar));
}

}  // namespace
