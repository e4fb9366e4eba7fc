// The footer's formulas evaluated through the whole path: variables V99 and VA, one expression per
// row, each row asked for by name and its value taken as Currency.
#include "evaluador.h"
#include "script_test_util.h"
#include "korgen.h"
#include "qt_print.h"
#include "scriptcontrol.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using footer::Evaluador;
using vb::Currency;
using vb::Variant;

namespace {

class PieTest : public ::testing::Test {
protected:
  // An evaluator set up as the footer sets it up, with one expression per formula (E1, E2, ...).
  std::shared_ptr<Evaluador> pie(const QStringList& formulas) {
    auto ev = Evaluador::crear(dir.path());
    ev->Variables()->Add("V99", Variant(int16_t(100)));
    ev->Variables()->Add("VA", Variant("0.0000001"));
    for (int i = 0; i < formulas.size(); ++i) ev->Expresiones()->Add(QString("E%1").arg(i + 1), formulas[i]);
    return ev;
  }
  static Currency total(Evaluador& ev, int renglon) {
    return vb::CCur(ev.Expresiones()->Item(QString("E%1").arg(renglon))->Calcular(""));
  }
  static Currency cur(const char* texto) { return vb::CCur(Variant(texto)); }
  QTemporaryDir dir;
};

const QStringList kPieBase = {
    "round((V99)*1+ VA,2)",           // 1 Costo directo
    "round((E1)*(12.5/ 100)+ VA,2)",  // 2 indirectos 12.5 %
    "round((E1+E2)*1+ VA,2)",         // 3 subtotal
    "round((E3)*(10/ 100)+ VA,2)",    // 4 utilidad 10 %
    "round((E3+E4)*1+ VA,2)",         // 5 total
};

}  // namespace

TEST_F(PieTest, TheWorkedFooterGivesItsTotalsAndFactor) {
  QStringList formulas = kPieBase;
  formulas << "round((E3-E5)*1+ VA,2)"      // 6: slot 8 subtracts
           << "(E1+E2)"                     // 7: "/" with factor 0, unrounded
           << "round((E5)*1+ VA,2)"         // 8: a lone slot-8 reference is added
           << "round((E2+V99)*1+ VA,2)"     // 9: 99 in slot 9 is added
           << "round((E3)/(4/ 100)+ VA,2)"  // 10
           << "(E3)"                        // 11: "/" with 0 %
           << "round((E3)*(0/ 100)+ VA,2)"  // 12: 0 %
           << "round((E1)*-5+ VA,2)"        // 13: negative factor
           << "round((E1)*1E-05+ VA,2)"     // 14: exponent literal
           << "(E1+E2)+10"                  // 15: another operator, unrounded
           << "round((E1)*(12.345/ 100)+ VA,2)"  // 16: a half rounds up with VA
           << "round((E1)*(12.345/ 100),2)";     // 17: and to even without it
  auto ev = pie(formulas);
  const char* esperados[] = {"100",   "12.5", "112.5", "11.25", "123.75", "-11.25", "112.5", "123.75", "112.5",
                             "2812.5", "112.5", "0",    "-500",  "0",      "122.5",  "12.35", "12.34"};
  for (int i = 0; i < formulas.size(); ++i) EXPECT_EQ(total(*ev, i + 1), cur(esperados[i])) << "E" << i + 1;
  // The integrated factor: the last row of the worked footer over 100, to 4 decimals.
  auto base = pie(kPieBase);
  const Currency ultimo = total(*base, 5);
  EXPECT_EQ(vb::CCur(Variant(KorGen::redondeaEspecial(ultimo.toDouble() / 100, 4))), cur("1.2375"));
}

TEST_F(PieTest, RowByRowAfterOneRunOfMain) {
  auto ev = pie(kPieBase);
  std::vector<Currency> totales;
  for (int i = 1; i <= 5; ++i) totales.push_back(total(*ev, i));
  EXPECT_EQ(totales, (std::vector<Currency>{cur("100"), cur("12.5"), cur("112.5"), cur("11.25"), cur("123.75")}));
  // Main computed the last row and through it every row: later rows cost no call.
  const uint64_t llamadas = ev->SecComandos().callCount();
  for (int i = 1; i <= 5; ++i) total(*ev, i);
  EXPECT_EQ(ev->SecComandos().callCount(), llamadas);
}

TEST_F(PieTest, FaultyRowsStopTheEvaluationWithTheirError) {
  // A reference to a row without expression (94 to 98 are never cleared), and a row that the last
  // row depends on failing: the first evaluation already fails.
  auto ev = pie({"round((V99)*1+ VA,2)", "round((E94)*1+ VA,2)", "round((E1+E2)*1+ VA,2)"});
  QString descripcion;
  EXPECT_EQ(errorOf([&] { total(*ev, 1); }, &descripcion), 500);
  EXPECT_EQ(descripcion, "Variable no definida: 'E94'");
  // A row in the middle without expression: the lookup gives no object.
  auto hueco = pie({"round((V99)*1+ VA,2)"});
  hueco->Expresiones()->Add("E3", "round((E1)*1+ VA,2)");
  EXPECT_EQ(total(*hueco, 1), cur("100"));
  EXPECT_EQ(hueco->Expresiones()->Item("E2"), nullptr);
  // A Null value reaches the host as Null, which Currency refuses with 94.
  auto nulo = pie({"round((V99)*1+ VA,2)", "Null"});
  EXPECT_EQ(errorOf([&] { total(*nulo, 2); }), 94);
}

TEST_F(PieTest, BadFormulasGiveTheirErrorNumbers) {
  struct Caso {
    QString formula;
    int lanzado;    // the error Calcular raises
    int registrado; // or the one recorded in NErr when the piece is rejected (Calcular gives Empty)
  };
  const Caso casos[] = {
      {"round((V99)*1+ VA,2", 0, 1006},
      {"(V99))", 0, 1025},
      {"V99 *", 0, 1023},
      {"(E1)x5", 0, 1025},
      {"round(V99;2)", 0, 1032},
      {QString(10000, u'(') + "1" + QString(10000, u')'), 0, 28},
      {"round((E7)*1+ VA,2)", 500, 0},
      {"Desconocida(1)", 13, 0},
      {"1/0", 11, 0},
      {"V99 / (VA - VA)", 11, 0},
      {"VA & \"x\" * 2", 13, 0},
      {"1E308 * 10", 6, 0},
      {"round(V99, -1)", 5, 0},
      {"Recursiva(1)", 28, 0},
      {"Recursiva()", 450, 0},
  };
  for (const Caso& c : casos) {
    auto ev = pie({});
    auto f = ev->Funciones()->Add("Recursiva", "Recursiva(N+1)");
    f->Parametros()->Add("N");
    Variant valor;
    const int lanzado = errorOf([&] { valor = ev->Calcular(c.formula); });
    EXPECT_EQ(lanzado, c.lanzado) << c.formula.left(30).toStdString();
    EXPECT_EQ(ev->NErr(), c.registrado) << c.formula.left(30).toStdString();
    if (c.registrado) {
      EXPECT_TRUE(valor.isEmpty());
      EXPECT_FALSE(ev->DErr().isEmpty());
    }
    ev->Funciones()->Remove(1);  // keep the test folder's function file as it was
  }
}
