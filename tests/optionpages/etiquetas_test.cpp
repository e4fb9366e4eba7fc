// Tag strings, the style property and what a host must offer before the navigator attaches.
#include <gtest/gtest.h>

#include <QTest>

#include "clslistaopciones.h"
#include "error.h"
#include "hostprueba.h"
#include "qt_print.h"
#include "scripted_ui.h"

namespace {

struct Lectura {
  const char* cadena;
  const char* clave;
  const char* esperado;
};

TEST(Etiquetas, getPropiedadLeeElPrimerValorDeLaClave) {
  const Lectura casos[] = {
      {"EnLista=Sí", "enlista", "Sí"},                          // keys ignore case
      {"EnLista=Sí", "Principal", ""},                          // absent key
      {"AsistenteValidar=X|Validar=Y", "Validar", "X"},        // plain substring search, first wins
      {"Marco=", "Marco", ""},                                  // nothing after "="
      {"|Marco=3|Título=Obra|Nombre=fraMarco|", "TÍTULO", "Obra"},
      {"|Marco=3|Título=Obra|Nombre=fraMarco|", "Titulo", ""},  // accents count
      {"|Marco=3|Título=Obra|Nombre=fraMarco|", "Nombre", "fraMarco"},
      {"A=1|B=2", "B=", "2"},                                   // a key that already ends in "="
      {"Acción=Predeterminar|Procedimiento=P1|", "Procedimiento", "P1"},
  };
  for (const Lectura& c : casos)
    EXPECT_EQ(clsListaOpciones::getPropiedad(QString::fromUtf8(c.cadena), QString::fromUtf8(c.clave)),
              QString::fromUtf8(c.esperado))
        << c.cadena << " / " << c.clave;
}

TEST(Etiquetas, setPropiedadReemplazaOAgregaLaEntrada) {
  const Lectura casos[] = {
      {"A=1|B=2|C=3", "B", "A=1|B=5|C=3"},
      {"A=1|B=2", "B", "A=1|B=5|"},
      {"B=2|C=3", "B", "B=5|C=3"},
      {"A=1", "B", "A=1|B=5|"},
      {"", "B", "|B=5|"},
      {"a=1|b=2|", "B", "a=1|B=5|"},
  };
  for (const Lectura& c : casos)
    EXPECT_EQ(clsListaOpciones::setPropiedad(QString::fromUtf8(c.cadena), QString::fromUtf8(c.clave),
                                             QStringLiteral("5")),
              QString::fromUtf8(c.esperado))
        << c.cadena;

  EXPECT_EQ(clsListaOpciones::setPropiedad(QStringLiteral("Acción=Predeterminar|Procedimiento=P1|"),
                                           QStringLiteral("Procedimiento"), QStringLiteral("P2")),
            QStringLiteral("Acción=Predeterminar|Procedimiento=P2|"));
  const QString nombre =
      clsListaOpciones::setPropiedad(QString(), QStringLiteral("Nombre"), QStringLiteral("cmdOK"));
  EXPECT_EQ(nombre, QStringLiteral("|Nombre=cmdOK|"));
  EXPECT_EQ(clsListaOpciones::setPropiedad(nombre, QStringLiteral("Indice"), QStringLiteral("2")),
            QStringLiteral("|Nombre=cmdOK|Indice=2|"));
  // What is written reads back, empty values included.
  EXPECT_EQ(clsListaOpciones::getPropiedad(
                clsListaOpciones::setPropiedad(QStringLiteral("X=1|"), QStringLiteral("P"), QString()),
                QStringLiteral("P")),
            QString());
}

TEST(Etiquetas, ElEstiloSeEligeUnaSolaVezYAntesDeAdjuntar) {
  clsListaOpciones lista;
  EXPECT_EQ(lista.Estilo(), clsListaOpciones::EstiloArbol);
  EXPECT_TRUE(lista.Clasificar());
  lista.setEstilo(1);
  lista.setEstilo(2);  // beeps, changes nothing
  EXPECT_EQ(lista.Estilo(), 1);

  clsListaOpciones otra;
  HostPrueba host({{1, QStringLiteral("Obra"), QStringLiteral("EnLista=Sí")}});
  otra.setFormulario(&host);
  otra.setEstilo(2);
  EXPECT_EQ(otra.Estilo(), clsListaOpciones::EstiloArbol);
}

int numeroDeError(const std::function<void()>& accion) {
  try {
    accion();
  } catch (const vb::Error& error) {
    return error.number();
  }
  return 0;
}

TEST(Etiquetas, UnHostQueNoCumpleFallaAlAdjuntarseConElErrorDelCaso) {
  // A page that asks for validation on a host without Validar; the same on a wizard, which always
  // needs it; a host without frames.
  HostSinValidar conValidar({{1, QStringLiteral("Obra"), QStringLiteral("EnLista=Sí")},
                             {2, QStringLiteral("Firmas"), QStringLiteral("EnLista=Sí|Validar=F")}});
  EXPECT_EQ(numeroDeError([&] { clsListaOpciones().setFormulario(&conValidar); }), 438);
  HostSinValidar asistente({{1, QStringLiteral("Obra"), QStringLiteral("EnLista=Sí")}});
  EXPECT_EQ(numeroDeError([&] {
              clsListaOpciones lista;
              lista.setEstilo(clsListaOpciones::EstiloAsistente);
              lista.setFormulario(&asistente);
            }),
            438);
  HostSinValidar vacio({});
  EXPECT_EQ(numeroDeError([&] { clsListaOpciones().setFormulario(&vacio); }), 438);

  // The same host without validation keys attaches.
  HostSinValidar sinClaves({{1, QStringLiteral("Obra"), QStringLiteral("EnLista=Sí")}});
  EXPECT_EQ(numeroDeError([&] { clsListaOpciones().setFormulario(&sinClaves); }), 0);

  // Attaching a second navigator to one host: the control names are taken.
  HostPrueba dos({{1, QStringLiteral("Obra"), QStringLiteral("EnLista=Sí")}});
  clsListaOpciones primera;
  primera.setFormulario(&dos);
  EXPECT_EQ(numeroDeError([&] { clsListaOpciones().setFormulario(&dos); }), 727);

  // Two buttons with the same action.
  HostPrueba repetido({{1, QStringLiteral("Obra"), QStringLiteral("EnLista=Sí")}});
  vbui::setTag(repetido.cancelar, QStringLiteral("Acción=Aceptar"));
  EXPECT_EQ(numeroDeError([&] { clsListaOpciones().setFormulario(&repetido); }), 457);

  // A page named by a Tag that names no frame.
  HostPrueba host({{1, QStringLiteral("Obra"), QStringLiteral("EnLista=Sí")}});
  clsListaOpciones lista;
  lista.setFormulario(&host);
  EXPECT_EQ(numeroDeError([&] { lista.EstableceMarco(QStringLiteral("|Marco=7|")); }), 340);
  EXPECT_EQ(numeroDeError([&] { lista.EstableceMarco(QString()); }), 340);
}

TEST(Etiquetas, UnErrorEnUnClicSeMuestraYElProgramaSigue) {
  // Tags changed after attaching ask a host without Validar for validation: the click that meets
  // it reports the error; the page it had already shown stays.
  HostSinValidar host({{1, QStringLiteral("Obra"), QStringLiteral("EnLista=Sí")},
                       {2, QStringLiteral("Firmas"), QStringLiteral("EnLista=Sí")}});
  clsListaOpciones lista;
  lista.setFormulario(&host);
  host.show();
  vbui::setTag(vbui::findControl(&host, QStringLiteral("fraMarco"), 2),
               QStringLiteral("EnLista=Sí|Validar=firmas"));
  testui::ScriptedMsgBoxes cajas;
  cajas.answer(ui::vbOK);
  auto* arbol = qobject_cast<VbTreeView*>(vbui::findControl(&host, QStringLiteral("tvwOpciones")));
  QTreeWidgetItem* firmas = arbol->node(QStringLiteral("n2"));
  QTest::mouseClick(arbol->viewport(), Qt::LeftButton, {}, arbol->visualItemRect(firmas).center());
  EXPECT_EQ(cajas.texts(), QStringList{"Error en clsListaOpciones.tvwOpciones_Evento: 438 El objeto "
                                       "no acepta esta propiedad o método"});
  EXPECT_TRUE(vbui::visible(vbui::findControl(&host, QStringLiteral("fraMarco"), 2)));
}

}  // namespace
