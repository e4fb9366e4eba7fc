// The currencies window in the program, over a copy of the sample bid (PESOS and DOLARES, DOLARES used
// by four budget rows): codes typed into the new row, parities, deletions, and a closed bid.
#include "boundgrid.h"
#include "datacontrol.h"
#include "forms.h"
#include "frmmone.h"
#include "frmpre.h"
#include "arranque.h"
#include "quarvel.h"

#include "qt_print.h"

#include <QApplication>
#include <QHeaderView>
#include <QTest>

namespace entrytest {
namespace {

using C = FrmMone::Columna;

class FrmMoneTest : public ProgramaTest {
protected:
  void SetUp() override {
    ProgramaTest::SetUp();
    if (HasFatalFailure())
      return;
    ASSERT_TRUE(clic(QStringLiteral("Monedas")));
    espera();
    mone = ui::Forms::instance().find<FrmMone>();
    ASSERT_NE(mone, nullptr);
    grid = mone->Grid1();
  }
  int filas() { return grid->recordsetModel()->recordCount(); }
  // The current cell on the new row.
  void nueva(int col) { grid->setCurrentIndex(grid->recordsetModel()->index(filas(), col)); }
  int fila(const QString& moneda) {
    for (int r = 0; r < filas(); ++r)
      if (grid->cellText(r, C::cMoneda) == moneda)
        return r;
    return -1;
  }
  // Adds a currency through the new row: its code, then its other cells.
  void agrega(const QString& moneda, const QString& remate) {
    nueva(C::cMoneda);
    ASSERT_TRUE(teclea(grid, C::cMoneda, moneda));
    ASSERT_TRUE(teclea(grid, C::cRemate, remate));
  }
  void marca(int r, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QHeaderView* selectores = grid->verticalHeader();
    QTest::mouseClick(selectores->viewport(), Qt::LeftButton, mods,
                      QPoint(selectores->width() / 2, selectores->sectionViewportPosition(r) + 4));
  }
  void suprime() {
    grid->setFocus();
    QTest::keyClick(grid, Qt::Key_Delete);
    espera();
  }
  void cierra() {
    dao::Recordset& datos = *quarvel::rsDatosGenerales;
    datos.Edit();
    datos.SetValue(QStringLiteral("BaseCerrada"), true);
    datos.Update();
  }
  QStringList monedas() { return consulta(QStringLiteral("SELECT Moneda FROM Monedas ORDER BY Moneda")); }
  // The unit-price grid takes the currency for a row.
  bool precioAcepta(const QString& moneda) {
    FrmPre* pre = ui::Forms::instance().find<FrmPre>();
    ui::Forms::instance().activate(pre);
    espera();
    ve(pre->Grid1(), "A01001", 1, FrmPre::cMoneda);
    return teclea(pre->Grid1(), FrmPre::cMoneda, moneda);
  }

  FrmMone* mone = nullptr;
  ui::BoundGrid* grid = nullptr;
};

TEST_F(FrmMoneTest, ANewCodeIsUniqueAndBecomesItsOwnDescription) {
  EXPECT_EQ(mone->windowTitle(), "Monedas");
  ASSERT_EQ(filas(), 2);
  // A description before the code: refused, saying the code comes first.
  nueva(C::cTexto);
  cajas.answer(ui::vbOK);
  EXPECT_FALSE(teclea(grid, C::cTexto, "Euros"));
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
  espera();

  nueva(C::cMoneda);
  cajas.answer(ui::vbOK);
  EXPECT_FALSE(teclea(grid, C::cMoneda, "pesos"));
  EXPECT_EQ(cajas.texts(), QStringList({"Escriba primero la clave de la moneda, en la columna Moneda",
                                        "La moneda que quiere adicionar, ya existe previamente"}));
  EXPECT_EQ(cajas.shown()[0].icon(), ui::vbInformation);
  EXPECT_EQ(cajas.shown()[1].icon(), ui::vbInformation);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
  espera();
  EXPECT_EQ(monedas(), QStringList({"DOLARES", "PESOS"}));

  agrega("EUROS", "EUR");
  EXPECT_EQ(filas(), 3);
  EXPECT_EQ(consulta("SELECT Texto FROM Monedas WHERE Moneda = 'EUROS'"), QStringList({"EUROS"}));
  EXPECT_EQ(grid->cellText(grid->currentIndex().row(), C::cMoneda), "EUROS");

  // Parities: numbers other than 0; anything else is refused with what the cell takes.
  for (const char* mala : {"0", "x", "0.00", "17,25"}) {
    testui::ScriptedMsgBoxes cajasCaso;
    cajasCaso.answer(ui::vbOK);
    EXPECT_FALSE(teclea(grid, C::cParidad, mala)) << mala;
    EXPECT_EQ(cajasCaso.texts(), QStringList({"La paridad debe ser un número distinto de 0, con punto decimal \".\" "
                                              "(por ejemplo 1,234.50)"}))
        << mala;
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
  }
  EXPECT_TRUE(teclea(grid, C::cParidad, "20.4375"));
  EXPECT_EQ(consulta("SELECT Paridad FROM Monedas WHERE Moneda = 'EUROS'"), QStringList({"20.4375"}));
  EXPECT_EQ(grid->cellText(grid->currentIndex().row(), C::cParidad), "20.4375");
  EXPECT_EQ(cajas.shown().size(), 2u);

  // The unit prices know the new currency at once.
  EXPECT_TRUE(precioAcepta("EUROS"));
  EXPECT_EQ(consulta("SELECT DISTINCT Moneda FROM Presupuesto WHERE Codigo = 'PRE-001'"), QStringList({"EUROS"}));
}

TEST_F(FrmMoneTest, ACurrencyAddedAfterASortIsKnownToThePrices) {
  grid->SetSelStartCol(C::cTexto);
  grid->SetSelEndCol(C::cTexto);
  ASSERT_TRUE(clic(QStringLiteral("mnudescendente")));
  EXPECT_EQ(grid->cellText(0, C::cMoneda), "PESOS");
  agrega("YENES", "JPY");
  EXPECT_EQ(fila("YENES"), 2);
  EXPECT_TRUE(precioAcepta("YENES"));
  EXPECT_TRUE(cajas.shown().empty());
}

TEST_F(FrmMoneTest, CurrenciesInUseAreNotDeleted) {
  agrega("EUROS", "EUR");
  cajas.answer(ui::vbOK);
  marca(fila("DOLARES"));
  suprime();
  EXPECT_EQ(cajas.texts(), QStringList({"La moneda DOLARES no puede ser borrar por que se utiliza en el presupuesto"}));
  EXPECT_EQ(monedas(), QStringList({"DOLARES", "EUROS", "PESOS"}));

  marca(fila("EUROS"));
  suprime();
  EXPECT_EQ(monedas(), QStringList({"DOLARES", "PESOS"}));
  EXPECT_EQ(filas(), 2);
  EXPECT_EQ(cajas.shown().size(), 1u);
}

TEST_F(FrmMoneTest, ACurrencyInUseKeepsItsCodeAndAnUnusedOneIsRenamed) {
  agrega("EUROS", "EUR");
  grid->setCurrentIndex(grid->recordsetModel()->index(fila("DOLARES"), C::cMoneda));
  cajas.answer(ui::vbOK);
  EXPECT_FALSE(teclea(grid, C::cMoneda, "USD"));
  EXPECT_EQ(cajas.texts(), QStringList({"La moneda DOLARES no puede ser modificada por que se utiliza en el presupuesto"}));
  EXPECT_EQ(cajas.shown()[0].icon(), ui::vbInformation);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
  espera();
  EXPECT_FALSE(grid->EditActive());
  EXPECT_EQ(grid->cellText(fila("DOLARES"), C::cMoneda), "DOLARES");
  EXPECT_EQ(monedas(), QStringList({"DOLARES", "EUROS", "PESOS"}));
  EXPECT_EQ(consulta("SELECT COUNT(*) FROM Presupuesto WHERE Moneda = 'DOLARES'"), QStringList({"4"}));

  // Its other cells still change; a currency no concept uses takes a new code.
  grid->setCurrentIndex(grid->recordsetModel()->index(fila("DOLARES"), C::cRemate));
  EXPECT_TRUE(teclea(grid, C::cRemate, "USD"));
  grid->setCurrentIndex(grid->recordsetModel()->index(fila("EUROS"), C::cMoneda));
  EXPECT_TRUE(teclea(grid, C::cMoneda, "EURO"));
  EXPECT_EQ(monedas(), QStringList({"DOLARES", "EURO", "PESOS"}));
  EXPECT_EQ(consulta("SELECT Remate FROM Monedas WHERE Moneda = 'DOLARES'"), QStringList({"USD"}));
  EXPECT_EQ(cajas.shown().size(), 1u);
}

TEST_F(FrmMoneTest, SeveralMarkedRowsAreDeletedAfterTheQuestion) {
  agrega("EUROS", "EUR");
  agrega("YENES", "JPY");
  // While rows are marked no cell is edited.
  marca(fila("EUROS"));
  marca(fila("YENES"), Qt::ControlModifier);
  grid->setFocus();
  QTest::keyClick(grid, Qt::Key_X);
  EXPECT_FALSE(grid->EditActive());

  cajas.answer(ui::vbYes);
  suprime();
  EXPECT_EQ(cajas.texts(), QStringList({"Está a punto de eliminar 2 registros. Haga clic en Si para eliminar estos "
                                        "registros permanentemente. No podrá deshacer el cambio."}));
  EXPECT_EQ(monedas(), QStringList({"DOLARES", "PESOS"}));
  EXPECT_EQ(grid->SelBookmarks().Count(), 0);

  // One of them in use: the rows before it go, it stays, and the message says why.
  agrega("EUROS", "EUR");
  marca(fila("EUROS"));
  marca(fila("DOLARES"), Qt::ControlModifier);
  cajas.answer(ui::vbYes).answer(ui::vbOK);
  suprime();
  EXPECT_EQ(cajas.texts().back(), "Uno de los registros que se quieren borrar participa en presupuesto, No se pudo borrar");
  EXPECT_EQ(monedas(), QStringList({"DOLARES", "PESOS"}));
}

// What each edition lets the user do with the currencies of a closed bid.
struct Edicion {
  const char* producto;
  bool cambia;  // a cell edit is accepted
  bool borra;   // a deletion is carried out
};

class FrmMoneCerrada : public FrmMoneTest, public ::testing::WithParamInterface<Edicion> {
protected:
  QString producto() const override { return QString::fromLatin1(GetParam().producto); }
};

TEST_P(FrmMoneCerrada, RefusesWhatTheEditionRefuses) {
  const Edicion e = GetParam();
  agrega("EUROS", "EUR");
  agrega("YENES", "JPY");
  cierra();
  const QString cerrada = QStringLiteral("La base de datos esta cerrada no se puede modificar");
  QStringList esperados;

  grid->setCurrentIndex(grid->recordsetModel()->index(fila("EUROS"), C::cRemate));
  if (!e.cambia) {
    cajas.answer(ui::vbOK);
    esperados << cerrada;
  }
  EXPECT_EQ(teclea(grid, C::cRemate, "E.U."), e.cambia);
  espera();
  if (!e.cambia)
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
  EXPECT_EQ(consulta("SELECT Remate FROM Monedas WHERE Moneda = 'EUROS'"), QStringList({e.cambia ? "E.U." : "EUR"}));

  // One row, then several.
  marca(fila("EUROS"));
  if (!e.borra) {
    cajas.answer(ui::vbOK);
    esperados << cerrada;
  }
  suprime();
  marca(fila("YENES"));
  marca(fila("PESOS"), Qt::ControlModifier);
  if (e.borra) {
    cajas.answer(ui::vbYes).answer(ui::vbOK);
  } else {
    cajas.answer(ui::vbOK);
    esperados << cerrada;
  }
  suprime();
  if (e.borra) {
    EXPECT_EQ(monedas(), QStringList({"DOLARES", "PESOS"}));  // PESOS is in use
    EXPECT_EQ(cajas.texts().back(), "Uno de los registros que se quieren borrar participa en presupuesto, No se pudo borrar");
  } else {
    EXPECT_EQ(monedas(), QStringList({"DOLARES", "EUROS", "PESOS", "YENES"}));
    EXPECT_EQ(cajas.texts(), esperados);
  }
}

INSTANTIATE_TEST_SUITE_P(Ediciones, FrmMoneCerrada,
                         ::testing::Values(Edicion{"Tornavo", false, false}, Edicion{"Calibranza", true, false},
                                           Edicion{"Plicadora", false, true}),
                         [](const auto& info) { return std::string(info.param.producto); });

// A bid without currencies yet: the window opens its recordset again, and what is added there is
// known to the unit prices at once.
using SinMonedasTest = ProgramaTest;

TEST_F(SinMonedasTest, TheFirstCurrenciesOfABidAreKnownToThePrices) {
  quarvel::dbObra->Execute(QStringLiteral("UPDATE Presupuesto SET Moneda = Null"));
  quarvel::dbObra->Execute(QStringLiteral("DELETE FROM Monedas"));
  espera();
  ASSERT_EQ(quarvel::rsMonedas->RecordCount(), 0);
  ASSERT_TRUE(clic(QStringLiteral("Monedas")));
  espera();
  ui::BoundGrid* grid = ui::Forms::instance().find<FrmMone>()->Grid1();
  grid->setCurrentIndex(grid->recordsetModel()->index(0, C::cMoneda));
  ASSERT_TRUE(teclea(grid, C::cMoneda, "PESOS"));
  EXPECT_EQ(consulta(QStringLiteral("SELECT Texto FROM Monedas")), QStringList({"PESOS"}));

  FrmPre* pre = ui::Forms::instance().find<FrmPre>();
  ui::Forms::instance().activate(pre);
  espera();
  ve(pre->Grid1(), "A01001", 1, FrmPre::cMoneda);
  EXPECT_TRUE(teclea(pre->Grid1(), FrmPre::cMoneda, "PESOS"));
  EXPECT_TRUE(cajas.shown().empty());
  EXPECT_EQ(consulta("SELECT DISTINCT Moneda FROM Presupuesto WHERE Codigo = 'PRE-001'"), QStringList({"PESOS"}));
}

}  // namespace
}  // namespace entrytest
