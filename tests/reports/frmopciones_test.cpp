// The options dialogs of the report window: what they show, what they refuse, and what they store
// for the report, workbook and sheet being built.
#include "dao.h"
#include "forms.h"
#include "frmopcpresu.h"
#include "frmopcprograma.h"
#include "quarvel.h"
#include "ventanaprueba.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {

using prueba::VentanaPrueba;

class Opciones : public VentanaPrueba {
protected:
  QString opcion(const QString& reporte, const QString& parametro, const QString& hoja = QString()) {
    return consultaLibreria("SELECT Valor FROM repOpciones WHERE Reporte='" + reporte + "' AND Libro='" +
                            ruta(repgen::plantillaReporte(tipoDe(reporte))) + "' AND Hoja='" +
                            (hoja.isEmpty() ? reporte : hoja) + "' AND Parametro='" + parametro + "'");
  }
  static int tipoDe(const QString& reporte) {
    for (int t = 0; t < repgen::kTiposReporte; ++t)
      if (repgen::textoReporte(t) == reporte)
        return t;
    return -1;
  }
  // The project's dates of the sample bid.
  void proyecto(const QString& inicio, const QString& fin) {
    ejecuta("UPDATE DatosGenerales SET FechaInicioProy=#" + inicio + "#, FechaFinalProy=#" + fin + "#");
  }
};

// Kinds 0 and 1: the VAT breakdown, stored per report; the sample is made again with it.
TEST_F(Opciones, TheBudgetDialogStoresTheVatChoicePerReport) {
  frmRep* f = ventana();
  std::vector<bool> marcado;
  bool marcar = true;
  responde = [&](QDialog* d) {
    auto* dlg = qobject_cast<FrmOpcPresu*>(d);
    ASSERT_NE(dlg, nullptr);
    EXPECT_EQ(dlg->windowTitle(), "Parámetros de presupuesto.");
    marcado.push_back(dlg->Check1->isChecked());
    dlg->Check1->setChecked(marcar);
    dlg->Command1->click();
  };
  llamadas.clear();
  int16_t ivaEnMuestra = -1;
  escritor = [&](repgen::ContextoReporte& rep) { ivaEnMuestra = rep.ImprimirIva; };
  f->Command6->click();
  EXPECT_EQ(modales, QStringList({"FrmOpcPresu"}));
  EXPECT_EQ(marcado, std::vector<bool>({false}));  // the budget prints no VAT unless told
  EXPECT_EQ(opcion("Presupuesto", "PreImprimirIva"), "1");
  ASSERT_EQ(llamadas.size(), 1u);
  EXPECT_TRUE(llamadas[0].muestra);
  EXPECT_EQ(ivaEnMuestra, 1);

  f->Command6->click();  // shown again as stored
  EXPECT_EQ(marcado, std::vector<bool>({false, true}));

  // The totals print it unless told: their own option, the budget's is not theirs.
  elige(f->Combo2, repgen::kTotalesPresupuesto);
  marcar = false;
  f->Command6->click();
  EXPECT_EQ(marcado, std::vector<bool>({false, true, true}));
  EXPECT_EQ(opcion("Totales del presupuesto", "PreImprimirIva"), "0");
  EXPECT_EQ(opcion("Presupuesto", "PreImprimirIva"), "1");

  // Cancelar stores nothing.
  responde = [&](QDialog* d) { qobject_cast<FrmOpcPresu*>(d)->Command2->click(); };
  ejecutaLibreria("DELETE FROM repOpciones");
  f->Command6->click();
  EXPECT_EQ(consultaLibreria("SELECT COUNT(*) FROM repOpciones"), "0");
}

// Kinds 2 and 3: printing by fiscal year, within the project's years, stored per report.
TEST_F(Opciones, TheScheduleDialogStoresTheYearsPerReport) {
  proyecto("2009-03-15", "2011-06-20");
  frmRep* f = ventana();
  elige(f->Combo2, repgen::kProgramaObra);
  struct Visto {
    bool marcado, habilitado;
    QString inicial, final_;
  };
  std::vector<Visto> vistos;
  std::function<void(FrmOpcPrograma*)> accion;
  responde = [&](QDialog* d) {
    auto* dlg = qobject_cast<FrmOpcPrograma*>(d);
    ASSERT_NE(dlg, nullptr);
    EXPECT_EQ(dlg->windowTitle(), "Programa de Obra");
    vistos.push_back({dlg->Check1->isChecked(), dlg->Text1->isEnabled(), dlg->Text1->text(), dlg->Text2->text()});
    accion(dlg);
  };
  accion = [](FrmOpcPrograma* d) {
    d->Check1->click();
    d->Text1->setText("2010");
    d->Text2->setText("2011");
    d->Command1->click();
  };
  f->Command6->click();
  EXPECT_EQ(modales, QStringList({"FrmOpcPrograma"}));
  ASSERT_EQ(vistos.size(), 1u);
  EXPECT_FALSE(vistos[0].marcado);
  EXPECT_FALSE(vistos[0].habilitado);
  EXPECT_EQ(vistos[0].inicial, "2009");
  EXPECT_EQ(vistos[0].final_, "2011");
  EXPECT_TRUE(vb::CBool(vb::Variant(opcion("Programa de obra", "ImpPorEjer"))));
  EXPECT_EQ(opcion("Programa de obra", "EjerInicio"), "2010");
  EXPECT_EQ(opcion("Programa de obra", "EjerFinal"), "2011");
  EXPECT_TRUE(f->rep.ImprimePorEjercicio);

  accion = [](FrmOpcPrograma* d) { d->Command2->click(); };
  f->Command6->click();
  ASSERT_EQ(vistos.size(), 2u);
  EXPECT_TRUE(vistos[1].marcado);
  EXPECT_TRUE(vistos[1].habilitado);
  EXPECT_EQ(vistos[1].inicial, "2010");

  // The monthly amounts have options of their own.
  elige(f->Combo2, repgen::kMontosMensuales);
  accion = [](FrmOpcPrograma* d) { d->Command1->click(); };  // not ticked: stored as not by year
  f->Command6->click();
  ASSERT_EQ(vistos.size(), 3u);
  EXPECT_FALSE(vistos[2].marcado);
  EXPECT_FALSE(vb::CBool(vb::Variant(opcion("Montos mensuales", "ImpPorEjer"))));
  EXPECT_EQ(opcion("Montos mensuales", "EjerInicio"), "2009");
  EXPECT_EQ(opcion("Montos mensuales", "EjerFinal"), "2011");
  EXPECT_EQ(opcion("Programa de obra", "EjerInicio"), "2010");
}

// Years stored outside the project's years are not offered again: the project's first and last are.
TEST_F(Opciones, StoredYearsOutsideTheProjectGiveTheProjectsYears) {
  proyecto("2009-03-15", "2011-06-20");
  repgen::ContextoReporte& rep = *rep_;
  elige(repgen::kProgramaObra);
  rep.EjercicioInicial = 2005;
  rep.EjercicioFinal = 2006;
  FrmOpcPrograma dlg(rep);
  dlg.Form_Load();
  EXPECT_EQ(dlg.menor(), 2009);
  EXPECT_EQ(dlg.mayor(), 2011);
  EXPECT_EQ(dlg.Text1->text(), "2009");
  EXPECT_EQ(dlg.Text2->text(), "2011");
}

struct CasoEjercicio {
  const char* inicial;
  const char* final_;
  bool enFinal;         // the box checked: the last year's (else the first's)
  const char* mensaje;  // "" when accepted
};

// The two boxes' checks (numbers, range, order as texts) and the order check of Aceptar; every
// message is an exclamation titled "Quarvel".
TEST_F(Opciones, TheYearBoxesRefuseWhatIsNotAYearOfTheProject) {
  proyecto("2009-03-15", "2011-06-20");
  elige(repgen::kProgramaObra);
  const CasoEjercicio casos[] = {
      {"abc", "2011", false, "Debe ser un dato numérico"},
      {"", "2011", false, "Debe ser un dato numérico"},
      {"2008", "2011", false, "Ejercicio fuera de rango"},
      {"2012", "2011", false, "Ejercicio fuera de rango"},
      {"2009", "2011", false, ""},
      {"2011", "2010", true, "El ejercicio final no debe ser menor al ejercicio inicial"},
      {"2009", "20x1", true, "Debe ser un dato numérico"},
      {"2009", "2011.0", true, ""},
      {"2010", "2010", true, ""},
  };
  for (const CasoEjercicio& c : casos) {
    SCOPED_TRACE(std::string(c.inicial) + " " + c.final_);
    FrmOpcPrograma dlg(*rep_);
    dlg.Form_Load();
    dlg.Text1->setText(c.inicial);
    dlg.Text2->setText(c.final_);
    bool cancel = false;
    if (*c.mensaje)
      cajas_.answer(ui::vbOK);
    if (c.enFinal)
      dlg.Text2_Validate(cancel);
    else
      dlg.Text1_Validate(cancel);
    EXPECT_EQ(cancel, *c.mensaje != 0);
    if (*c.mensaje) {
      ASSERT_FALSE(cajas_.shown().empty());
      EXPECT_EQ(cajas_.texts().back(), c.mensaje);
      EXPECT_EQ(cajas_.shown().back().icon(), ui::vbExclamation);
      EXPECT_EQ(cajas_.shown().back().title, "Quarvel");
    }
  }

  // Aceptar with the first year after the last: the dialog stays, nothing is stored.
  FrmOpcPrograma* dlg = new FrmOpcPrograma(*rep_);
  ui::Forms::instance().add(dlg);
  dlg->Form_Load();
  dlg->Check1->click();
  dlg->Text1->setText("2011");
  dlg->Text2->setText("2010");
  cajas_.answer(ui::vbOK);
  dlg->Command1->click();
  EXPECT_EQ(cajas_.texts().back(), "El ejercicio inicial no debe ser mayor al ejercicio final");
  EXPECT_TRUE(ui::Forms::instance().isLoaded(dlg));
  // A year typed into a box the focus never left is checked by Aceptar too.
  dlg->Text1->setText("1999");
  dlg->Text2->setText("2010");
  cajas_.answer(ui::vbOK);
  dlg->Command1->click();
  EXPECT_EQ(cajas_.texts().back(), "Ejercicio fuera de rango");
  EXPECT_TRUE(ui::Forms::instance().isLoaded(dlg));
  EXPECT_EQ(consultaLibreria("SELECT COUNT(*) FROM repOpciones WHERE Parametro='EjerInicio'"), "0");
  ui::Forms::instance().unload(dlg);
}

// A refused year keeps the focus in its box; leaving for Cancelar checks nothing.
TEST_F(Opciones, ARefusedYearKeepsTheFocus) {
  proyecto("2009-03-15", "2011-06-20");
  elige(repgen::kProgramaObra);
  FrmOpcPrograma* dlg = new FrmOpcPrograma(*rep_);
  ui::Forms::instance().add(dlg);
  dlg->Form_Load();
  dlg->Check1->click();
  dlg->show();
  dlg->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(dlg));

  dlg->Text1->setFocus();
  dlg->Text1->setText("2008");
  cajas_.answer(ui::vbOK);
  dlg->Text2->setFocus();
  EXPECT_EQ(cajas_.texts(), QStringList({"Ejercicio fuera de rango"}));
  EXPECT_EQ(QApplication::focusWidget(), dlg->Text1);

  // Aceptar reached by the keyboard's Tab: refused, so its click does nothing.
  cajas_.answer(ui::vbOK);
  dlg->Command1->setFocus();
  EXPECT_EQ(QApplication::focusWidget(), dlg->Text1);
  dlg->Command1->click();
  EXPECT_EQ(cajas_.texts().size(), 2u);
  EXPECT_TRUE(ui::Forms::instance().isLoaded(dlg));

  dlg->Command2->setFocus();  // Cancelar: no check
  EXPECT_EQ(cajas_.texts().size(), 2u);
  EXPECT_EQ(QApplication::focusWidget(), dlg->Command2);

  dlg->Text1->setFocus();
  dlg->Text1->setText("2010");
  dlg->Text2->setFocus();  // accepted
  EXPECT_EQ(QApplication::focusWidget(), dlg->Text2);
  dlg->Command1->setFocus();
  dlg->Command1->click();
  EXPECT_EQ(cajas_.texts().size(), 2u);
  EXPECT_FALSE(ui::Forms::instance().isLoaded(dlg));
  EXPECT_EQ(opcion("Programa de obra", "EjerInicio", rep_->hoja), "2010");
}

// Kind 4 has no options: its button is off after its sample.
TEST_F(Opciones, TheConceptsReportHasNoOptions) {
  frmRep* f = ventana();
  elige(f->Combo2, repgen::kConceptosPrecios);
  EXPECT_FALSE(f->Command6->isEnabled());
  f->Command6_Click();  // even if called, no dialog
  EXPECT_TRUE(modales.isEmpty());
}

}  // namespace
