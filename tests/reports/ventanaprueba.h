#pragma once
// The report window's tests: the sample bid, the library and the templates in a temporary program
// folder (ObraPrueba), writers that note every call before they write, and the modal dialogs
// answered from the test.
#include "frmrep.h"
#include "escritores.h"
#include "obraprueba.h"

#include <QDialog>
#include <functional>
#include <vector>

namespace prueba {

class VentanaPrueba : public ObraPrueba {
protected:
  void SetUp() override;
  void TearDown() override;

  // The report window's program-wide instance, loaded (its sample made) on first use.
  frmRep* ventana();
  // A user's choice in a list: the index set and its click.
  static void elige(QComboBox* lista, int indice);
  using ObraPrueba::elige;

  // Runs Jet SQL on the library database, then reopens its report recordsets.
  void ejecutaLibreria(const QString& sql);
  // The first field of the first row of a query on the library database ("" for none or Null).
  QString consultaLibreria(const QString& sql);

  struct Llamada {
    int tipo;
    bool muestra;
    int hojaIndice;
    QString hoja;
  };
  std::vector<Llamada> llamadas;  // every writer call, in order
  // What each writer does after it was noted: the kind's own writer unless set.
  std::function<void(repgen::ContextoReporte&)> escritor;
  // The print dialog answered with a file to print to (after `alMostrar`, when given); counts the
  // dialogs in dialogosImpresion.
  void imprimeA(const QString& pdf, std::function<void()> alMostrar = {});
  int dialogosImpresion = 0;

  QStringList modales;                     // the dialogs shown modal, by Name
  std::function<void(QDialog*)> responde;  // acts on each modal dialog before it goes
};

}  // namespace prueba
