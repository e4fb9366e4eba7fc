// The unit-price window in the program: a copy of the sample bid opened through the Open tool, prices
// and currencies typed into the grid as a user types them, message boxes answered from the script,
// and the bid file read afterwards.
#include "barcontrol.h"
#include "boundgrid.h"
#include "datacontrol.h"
#include "forms.h"
#include "frmdetpresu.h"
#include "frmpartorn.h"
#include "frmpre.h"
#include "mditoolbar.h"
#include "arranque.h"
#include "quarvel.h"
#include "twips.h"

#include "enter_en_boton.h"
#include "qt_print.h"
#include "solo_lectura.h"

#include <QApplication>
#include <QClipboard>
#include <QFileInfo>
#include <QHeaderView>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QMenu>
#include <QTest>

namespace entrytest {
namespace {

using C = FrmPre::Columna;

class FrmPreTest : public ProgramaTest {
protected:
  void SetUp() override {
    ProgramaTest::SetUp();
    if (HasFatalFailure())
      return;
    pre = ui::Forms::instance().find<FrmPre>();
    ASSERT_NE(pre, nullptr) << "opening a bid shows the unit prices";
    grid = pre->Grid1();
  }
  // The prices and amounts of every row of a code, in section order.
  QStringList precios(const QString& codigo) {
    return consulta("SELECT Precio FROM Presupuesto WHERE Codigo = '" + codigo + "' ORDER BY Partida");
  }
  QStringList importes(const QString& codigo) {
    return consulta("SELECT Importe FROM Presupuesto WHERE Codigo = '" + codigo + "' ORDER BY Partida");
  }
  QStringList distintos(const QString& campo, const QString& codigo) {
    return consulta("SELECT DISTINCT " + campo + " FROM Presupuesto WHERE Codigo = '" + codigo + "'");
  }
  QString total(const QString& partida, const QString& moneda = QStringLiteral("PESOS")) {
    return consulta("SELECT TotalPartida FROM TotalPartidas WHERE Partida = '" + partida + "' AND Moneda = '" +
                    moneda + "'")
        .value(0);
  }
  void cierraObra(bool cerrada) {
    dao::Recordset& datos = *quarvel::rsDatosGenerales;
    datos.Edit();
    datos.SetValue(QStringLiteral("Cerrada"), cerrada);
    datos.Update();
  }
  // The text the section-totals view shows for a section's total in pesos.
  QString totalMostrado(ui::BoundGrid* totales, const QString& partida) {
    for (int r = 0; r < totales->recordsetModel()->recordCount(); ++r)
      if (totales->cellText(r, 0) == partida && totales->cellText(r, 3) == u"PESOS")
        return totales->cellText(r, 2);
    return QString();
  }

  FrmPre* pre = nullptr;
  ui::BoundGrid* grid = nullptr;
};

TEST_F(FrmPreTest, ShowsTheBudgetWithItsFormats) {
  EXPECT_EQ(pre->windowTitle(), "Tornavo de presupuesto");
  EXPECT_EQ(ui::Forms::instance().activeChild(), pre);
  EXPECT_EQ(grid->recordsetModel()->recordCount(), 257);
  QStringList captions;
  for (int i = 0; i < grid->Columns().Count(); ++i)
    captions << grid->Columns(i).Caption();
  EXPECT_EQ(captions, QStringList({"Partida", "Renglón", "Código", "Código Auxiliar", "Texto completo", "Unidad",
                                   "Cantidad", "Precio", "Importe", "Moneda"}));
  ve(grid, "A01002", 5, C::cPrecio);  // CIM-005: 2,865 kg at 34.80
  const int r = grid->currentIndex().row();
  EXPECT_EQ(grid->cellText(r, C::cCantidad), "2,865.00");
  EXPECT_EQ(grid->cellText(r, C::cPrecio), "$34.80");
  EXPECT_EQ(grid->cellText(r, C::cImporte), "$99,702.00");
  // Only prices and currencies are typed here.
  for (int c = 0; c < grid->Columns().Count(); ++c)
    EXPECT_EQ(grid->Columns(c).Locked(), c != C::cPrecio && c != C::cMoneda) << c;
}

TEST_F(FrmPreTest, APriceReachesEveryRowOfItsCodeAndTheSectionTotals) {
  clic(QStringLiteral("Partidas"));
  auto* vista = ui::Forms::instance().find<FrmParTorn>();
  ASSERT_NE(vista, nullptr);
  ui::BoundGrid* totales = vista->Grid1();
  EXPECT_EQ(totalMostrado(totales, "A01005"), "$220,960.40");
  ASSERT_TRUE(ui::Forms::instance().activate(pre));
  espera();

  // ACA-006 stands in three sections, 3 units each at 4,380.00.
  EXPECT_EQ(precios("ACA-006"), QStringList({"4380", "4380", "4380"}));
  ve(grid, "A02005", 4, C::cPrecio);
  ASSERT_TRUE(teclea(grid, C::cPrecio, "4,500.555"));
  EXPECT_TRUE(cajas.shown().empty());
  EXPECT_EQ(precios("ACA-006"), QStringList({"4500.56", "4500.56", "4500.56"}));  // two decimals
  EXPECT_EQ(importes("ACA-006"), QStringList({"13501.68", "13501.68", "13501.68"}));
  EXPECT_EQ(grid->cellText(grid->currentIndex().row(), C::cImporte), "$13,501.68");
  // Each section of the code gains 3 x 120.56, and so do the levels above it.
  EXPECT_EQ(total("A01005"), "221322.08");
  EXPECT_EQ(totalMostrado(totales, "A01005"), "$221,322.08");
  EXPECT_EQ(totalMostrado(totales, "A01"), "$2,246,053.38");

  // In the file, after the bid is closed.
  clic(QStringLiteral("mnuCer"));
  auto db = dao::DBEngine::OpenDatabase(obra, false, true, quarvel::kConexion);
  auto rs = db->OpenRecordset("SELECT Precio, Importe FROM Presupuesto WHERE Codigo = 'ACA-006'", dao::RecordsetType::Snapshot);
  int filas = 0;
  for (; !rs->EOF_(); rs->MoveNext(), ++filas) {
    EXPECT_EQ(vb::CCur(rs->Value("Precio")), vb::CCur(4500.56));
    EXPECT_EQ(vb::CCur(rs->Value("Importe")), vb::CCur(13501.68));
  }
  EXPECT_EQ(filas, 3);
}

// A typed price that is no number stays in its cell's editor, with one short message saying what the
// cell takes; the same price typed another way changes nothing and says nothing.
TEST_F(FrmPreTest, TextThatIsNoPriceStaysInTheCellWithAMessageOfWhatItTakes) {
  const QString numero =
      QStringLiteral("El precio debe ser un número, con punto decimal \".\" (por ejemplo 1,234.50)");
  ve(grid, "A01001", 1, C::cPrecio);
  for (const char* malo : {"abc", "15,5", "0,500", ""}) {
    SCOPED_TRACE(malo);
    testui::ScriptedMsgBoxes cajasCaso;
    cajasCaso.answer(ui::vbOK);
    EXPECT_FALSE(teclea(grid, C::cPrecio, malo));
    EXPECT_EQ(cajasCaso.texts(), QStringList({numero}));
    auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->text(), malo);
    QTest::keyClick(editor, Qt::Key_Escape);
    espera();
    EXPECT_FALSE(grid->EditActive());
  }
  // The same price again, typed another way: nothing to spread, nothing shown.
  EXPECT_TRUE(teclea(grid, C::cPrecio, "16.80"));
  EXPECT_TRUE(cajas.shown().empty());
  EXPECT_EQ(distintos("Precio", "PRE-001"), QStringList({"16.8"}));
  // A price whose amounts would not fit an amount is refused the same way, and nothing is written.
  cajas.answer(ui::vbOK);
  EXPECT_FALSE(teclea(grid, C::cPrecio, "900000000000000"));
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
  EXPECT_EQ(cajas.texts(), QStringList({"El precio es demasiado grande: el importe de algún renglón de ese código no "
                                        "cabe en una cantidad"}));
  EXPECT_EQ(distintos("Precio", "PRE-001"), QStringList({"16.8"}));
  EXPECT_EQ(importes("PRE-001").value(0), "7056");
}

TEST_F(FrmPreTest, CurrenciesMustExistAndReachEveryRowOfTheCode) {
  ve(grid, "A01005", 4, C::cMoneda);
  // A quote in what is typed is text to look for, never part of the criteria.
  for (const char* desconocida : {"EUROS", "D'OR"}) {
    cajas.answer(ui::vbOK);
    EXPECT_FALSE(teclea(grid, C::cMoneda, desconocida));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
  }
  ASSERT_EQ(cajas.texts(), QStringList({"La moneda no existe", "La moneda no existe"}));
  EXPECT_EQ(cajas.shown()[0].icon(), ui::vbExclamation);
  // Emptied: refused with what the cell takes.
  cajas.answer(ui::vbOK);
  EXPECT_FALSE(teclea(grid, C::cMoneda, ""));
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
  EXPECT_EQ(cajas.texts().value(2), "Escriba la clave de una moneda del catálogo de monedas");

  EXPECT_TRUE(teclea(grid, C::cMoneda, "DOLARES"));
  EXPECT_EQ(consulta("SELECT Moneda FROM Presupuesto WHERE Codigo = 'ACA-006'"),
            QStringList({"DOLARES", "DOLARES", "DOLARES"}));
  EXPECT_EQ(total("A01005", "DOLARES"), "13140");
  EXPECT_EQ(cajas.shown().size(), 3u);
}

TEST_F(FrmPreTest, AClosedBidRefusesEveryEdit) {
  cierraObra(true);
  ve(grid, "A01001", 1, C::cPrecio);
  cajas.answer(ui::vbOK);
  EXPECT_FALSE(teclea(grid, C::cPrecio, "20"));
  espera();
  ASSERT_EQ(cajas.texts(), QStringList({"La base de datos esta cerrada no se puede modificar"}));
  EXPECT_EQ(cajas.shown()[0].icon(), ui::vbInformation);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);

  cajas.answer(ui::vbOK);
  EXPECT_FALSE(teclea(grid, C::cMoneda, "DOLARES"));
  espera();
  EXPECT_EQ(cajas.texts().size(), 2);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);

  // Whatever the column: the handler refuses a section code too.
  bool cancelar = false;
  cajas.answer(ui::vbOK);
  pre->BeforeColUpdate(C::cPartida, vb::Variant("B99"), cancelar);
  espera();
  EXPECT_TRUE(cancelar);
  EXPECT_EQ(cajas.texts().size(), 3);
  EXPECT_EQ(distintos("Precio", "PRE-001"), QStringList({"16.8"}));
  EXPECT_EQ(distintos("Moneda", "PRE-001"), QStringList({"PESOS"}));

  // Open again: the full text is still refused by its handler, without a message.
  cierraObra(false);
  cancelar = false;
  pre->BeforeColUpdate(C::cDescri, vb::Variant("otra"), cancelar);
  EXPECT_TRUE(cancelar);
  espera();
  EXPECT_EQ(cajas.texts().size(), 3);
}

TEST_F(FrmPreTest, SortsBySelectedColumnsFromTheMainWindow) {
  grid->SetSelStartCol(C::cPrecio);
  grid->SetSelEndCol(C::cPrecio);
  ASSERT_TRUE(clic(QStringLiteral("mnudescendente")));
  espera();
  EXPECT_EQ(pre->Data1()->Recordset(), quarvel::rsPresupuestoClon2);
  ui::RecordsetModel* m = grid->recordsetModel();
  ASSERT_EQ(m->recordCount(), 257);
  for (int r = 1; r < 20; ++r)
    EXPECT_GE(vb::CDbl(m->storedValue(r - 1, C::cPrecio)), vb::CDbl(m->storedValue(r, C::cPrecio))) << r;

  // An edit of the sorted grid goes to its row's code, and the row's amount follows.
  ve(grid, "A01002", 5, C::cPrecio);
  ASSERT_TRUE(teclea(grid, C::cPrecio, "35"));
  EXPECT_EQ(consulta("SELECT Importe FROM Presupuesto WHERE Partida = 'A01002' AND Renglon = 5"),
            QStringList({"100275"}));

  // Two columns ascending: section, then row.
  grid->SetSelStartCol(C::cPartida);
  grid->SetSelEndCol(C::cRenglon);
  ASSERT_TRUE(clic(QStringLiteral("mnuascendente")));
  EXPECT_EQ(grid->cellText(0, C::cCodigo), "PRE-001");
  EXPECT_EQ(grid->cellText(1, C::cCodigo), "PRE-002");

  // The full text is a memo: one message, from the sort.
  grid->SetSelStartCol(C::cDescri);
  grid->SetSelEndCol(C::cDescri);
  cajas.answer(ui::vbOK);
  ASSERT_TRUE(clic(QStringLiteral("miedicionascendente")));
  EXPECT_EQ(cajas.texts(), QStringList({"No es posible ordenar por campos tipo memo como la descripción completa"}));
  EXPECT_EQ(grid->cellText(0, C::cCodigo), "PRE-001");
}

TEST_F(FrmPreTest, MarkedRowsCopyAsABlockAndASpreadsheetBlockSetsPricesPerCode) {
  QHeaderView* selectores = grid->verticalHeader();
  const auto centro = [&](int fila) { return QPoint(selectores->width() / 2, selectores->sectionViewportPosition(fila) + 4); };
  QTest::mouseClick(selectores->viewport(), Qt::LeftButton, Qt::NoModifier, centro(1));
  QTest::mouseClick(selectores->viewport(), Qt::LeftButton, Qt::ControlModifier, centro(0));
  ASSERT_EQ(grid->SelBookmarks().Count(), 2);
  grid->setFocus();
  ASSERT_TRUE(clic(QStringLiteral("mnuCop")));
  // On the system's clipboard rows end as a spreadsheet program here expects them.
  const QStringList lineas = QGuiApplication::clipboard()->text().split(u'\n');
  ASSERT_EQ(lineas.size(), 4) << QGuiApplication::clipboard()->text().toStdString();
  EXPECT_EQ(lineas[0], "Partida\tRenglón\tCódigo\tCódigo Auxiliar\tTexto completo\tUnidad\tCantidad\tPrecio\tImporte\tMoneda\t");
  EXPECT_TRUE(lineas[1].startsWith("A01001\t2\tPRE-002\t")) << lineas[1].toStdString();
  EXPECT_TRUE(lineas[1].endsWith("\t257.00\t$14.90\t$3,829.30\tPESOS\t")) << lineas[1].toStdString();
  EXPECT_TRUE(lineas[2].startsWith("A01001\t1\tPRE-001\t")) << lineas[2].toStdString();
  EXPECT_EQ(lineas[3], "");

  // What a spreadsheet program puts there: its own columns, LF line ends, no line end after the last
  // row, amounts in its own format.
  clic(QStringLiteral("Partidas"));
  ui::BoundGrid* totales = ui::Forms::instance().find<FrmParTorn>()->Grid1();
  ui::Forms::instance().activate(pre);
  espera();
  QGuiApplication::clipboard()->setText("Clave\tcodigo\tCantidad\tPRECIO\n1\tPRE-002\t9\t15.5\n2\tACA-006\t3\t$4,500.00\n3\tACA-006\t3\t4,500.00");
  grid->setFocus();
  ASSERT_TRUE(clic(QStringLiteral("mnuPeg")));
  espera();
  EXPECT_TRUE(cajas.shown().empty()) << cajas.texts().join("|").toStdString();
  EXPECT_EQ(distintos("Precio", "PRE-002"), QStringList({"15.5"}));
  EXPECT_EQ(importes("PRE-002").value(0), "3983.5");  // 257 x 15.50
  EXPECT_EQ(precios("ACA-006"), QStringList({"4500", "4500", "4500"}));
  EXPECT_EQ(grid->cellText(1, C::cPrecio), "$15.50");
  EXPECT_EQ(totalMostrado(totales, "A01005"), "$221,320.40");
}

// What the paste command makes of a spreadsheet's block in the price window: each case on the bid as it
// was, its messages and the prices and amounts it leaves.
TEST_F(FrmPreTest, PastedBlocksAreCheckedAsTypedPricesAre) {
  const QString sinCodigo = QStringLiteral("No se puede pegar un bloque de datos que no contenga un encabezado de columna código");
  const QString sinPrecio = QStringLiteral("No se puede pegar un bloque de datos que no contenga un encabezado de columna precio");
  const QString noEsNumero =
      QStringLiteral("pegaclipdetalle: 13 ") + vb::Error(13).description() + QStringLiteral(": el precio (%1) del código %2 no es válido");
  const QString comaDecimal = QStringLiteral("No se pegó ningún renglón: el valor \"%1\" de la columna Precio (%2) lleva coma "
                                             "decimal. En los números el punto decimal es \".\" y la coma separa los miles "
                                             "(1,234.50).");
  struct Caso {
    const char* bloque;
    QStringList mensajes;
    QStringList precios;  // PRE-001, PRE-002, PRE-003 afterwards
  } casos[] = {
      // No header of the columns the prices need: refused before any row.
      {"Clave\tPrecio\nPRE-001\t20\n", {sinCodigo}, {"16.8", "14.9", "92.5"}},
      {" Código\tPrecio\nPRE-001\t20\n", {sinCodigo}, {"16.8", "14.9", "92.5"}},
      {"Código\tCantidad\nPRE-001\t20\n", {sinPrecio}, {"16.8", "14.9", "92.5"}},
      {"Importe\tTotal\nPRE-001\t20\n", {sinCodigo}, {"16.8", "14.9", "92.5"}},
      // A comma decimal anywhere in the price column refuses the whole block; commas that are neither
      // thousands nor a decimal make no number, and that row fails as text does, named by its code.
      {"Código\tPrecio\nPRE-001\t12,5\nPRE-002\t3,512.80\nPRE-003\t$1,650.00\n",
       {comaDecimal.arg("12,5", "código PRE-001")}, {"16.8", "14.9", "92.5"}},
      {"Código\tPrecio\nPRE-001\t1,23.4\nPRE-002\t12,50.5\nPRE-003\tabc\n",
       {noEsNumero.arg("1,23.4", "PRE-001"), noEsNumero.arg("12,50.5", "PRE-002"), noEsNumero.arg("abc", "PRE-003")},
       {"16.8", "14.9", "92.5"}},
      {"codigo\tprecio\nPRE-001\t1,234,567.5\nPRE-002\t(1,000)\n", {}, {"1234567.5", "-1000", "92.5"}},
      // Rounded to the bid's decimals as a typed price is, and the amounts follow.
      {"Código\tPrecio\nPRE-001\t99.999\nPRE-002\t14.904\nPRE-003\t0.005\n", {}, {"100", "14.9", "0.01"}},
  };
  for (const Caso& c : casos) {
    SCOPED_TRACE(c.bloque);
    quarvel::dbObra->Execute(QStringLiteral("UPDATE Presupuesto SET Precio = 16.8, Importe = Cantidad * 16.8 WHERE Codigo = 'PRE-001'"));
    quarvel::dbObra->Execute(QStringLiteral("UPDATE Presupuesto SET Precio = 14.9, Importe = Cantidad * 14.9 WHERE Codigo = 'PRE-002'"));
    quarvel::dbObra->Execute(QStringLiteral("UPDATE Presupuesto SET Precio = 92.5, Importe = Cantidad * 92.5 WHERE Codigo = 'PRE-003'"));
    testui::ScriptedMsgBoxes cajasCaso;
    for (int i = 0; i < c.mensajes.size(); ++i)
      cajasCaso.answer(ui::vbOK);
    QGuiApplication::clipboard()->setText(QString::fromUtf8(c.bloque));
    grid->setFocus();
    ASSERT_TRUE(clic(QStringLiteral("mnuPeg")));
    espera();
    EXPECT_EQ(cajasCaso.texts(), c.mensajes);
    if (!cajasCaso.shown().empty())
      EXPECT_EQ(cajasCaso.shown().front().icon(),
                c.mensajes.front().startsWith(u"pegaclipdetalle") ? ui::vbOKOnly : ui::vbInformation);
    EXPECT_EQ(QStringList({precios("PRE-001").value(0), precios("PRE-002").value(0), precios("PRE-003").value(0)}),
              c.precios);
    // Every amount is its quantity times the stored price, rounded to two decimals.
    EXPECT_EQ(consulta("SELECT Count(*) FROM Presupuesto WHERE Abs(Importe - Cantidad * Precio) > 0.0050001"),
              QStringList({"0"}));
  }
  ve(grid, "A01001", 1, C::cPrecio);
  EXPECT_EQ(grid->cellText(grid->currentIndex().row(), C::cPrecio), "$100.00");
  EXPECT_EQ(grid->cellText(grid->currentIndex().row(), C::cImporte), "$42,000.00");
}

// A block copied from a sheet whose numbers have comma decimals, pasted with Ctrl+V: refused whole
// before any row is applied, so no price is read a thousand times too large ("16,800" for 16.8), and
// the file keeps every price and amount. "16,800" among "." decimals is sixteen thousand eight hundred.
TEST_F(FrmPreTest, ACommaDecimalBlockFromASpreadsheetIsRefusedWholeByCtrlV) {
  MDIToolbar* principal = MDIToolbar::instancia();
  principal->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(principal));
  const QString coma = QStringLiteral("No se pegó ningún renglón: el valor \"%1\" de la columna %2 (código %3) lleva coma "
                                      "decimal. En los números el punto decimal es \".\" y la coma separa los miles "
                                      "(1,234.50).");
  // Every code of the budget, a few thousand rows in all, prices with "." decimals; one comma decimal
  // in the very last row.
  QString largo = QStringLiteral("Código\tDescripción\tPrecio\n");
  const QStringList codigos = consulta("SELECT DISTINCT Codigo FROM Presupuesto ORDER BY Codigo");
  ASSERT_GT(codigos.size(), 50);
  for (int vuelta = 0; vuelta < 40; ++vuelta)
    for (const QString& codigo : codigos)
      largo += codigo + QStringLiteral("\tconcepto\t1,234.5\n");
  largo += codigos.front() + QStringLiteral("\tconcepto\t7,25");
  struct Caso {
    QString bloque;
    QString mensaje;
  } casos[] = {
      {"Código\tPrecio\nPRE-001\t16,800\nPRE-002\t14,90\nPRE-003\t0,500\n", coma.arg("14,90", "Precio", "PRE-002")},
      {"Código\tPrecio\nPRE-003\t0,500\n", coma.arg("0,500", "Precio", "PRE-003")},
      {"Código\tPrecio\nPRE-001\t1.234,5\nPRE-002\t$1,000.00\n", coma.arg("1.234,5", "Precio", "PRE-001")},
      {largo, coma.arg("7,25", "Precio", codigos.front())},
  };
  const QString todo = QStringLiteral("SELECT Codigo & ' ' & Precio & ' ' & Importe FROM Presupuesto ORDER BY Partida, Renglon");
  const QStringList antes = consulta(todo);
  for (const Caso& c : casos) {
    SCOPED_TRACE(c.bloque.left(80).toStdString());
    testui::ScriptedMsgBoxes cajasCaso;
    cajasCaso.answer(ui::vbOK);
    QGuiApplication::clipboard()->setText(c.bloque);
    grid->setFocus();
    QTest::keySequence(grid, QKeySequence(QStringLiteral("Ctrl+V")));
    espera();
    EXPECT_EQ(cajasCaso.texts(), QStringList({c.mensaje}));
    EXPECT_EQ(consulta(todo), antes);
  }
  ve(grid, "A01001", 1, C::cPrecio);
  EXPECT_EQ(grid->cellText(grid->currentIndex().row(), C::cImporte), "$7,056.00");

  QGuiApplication::clipboard()->setText("Código\tPrecio\nPRE-001\t16,800\nPRE-002\t14.90\nPRE-003\t92\n");
  grid->setFocus();
  QTest::keySequence(grid, QKeySequence(QStringLiteral("Ctrl+V")));
  espera();
  EXPECT_TRUE(cajas.shown().empty()) << cajas.texts().join("|").toStdString();
  EXPECT_EQ(distintos("Precio", "PRE-001"), QStringList({"16800"}));
  EXPECT_EQ(grid->cellText(grid->currentIndex().row(), C::cImporte), "$7,056,000.00");
}

// A bid whose file or folder cannot be written: a typed price is refused with the database's message,
// as any write is; a pasted block says so once and changes nothing.
TEST_F(FrmPreTest, AReadOnlyBidRefusesAPastedBlockOnce) {
  const QString kSoloLectura = QStringLiteral("%1No se puede actualizar. La base de datos o el objeto es de sólo lectura.");
  for (const bool carpeta : {false, true}) {
    SCOPED_TRACE(carpeta ? "carpeta" : "archivo");
    ASSERT_TRUE(clic(QStringLiteral("mnuCer")));
    testsupport::SoloLectura soloLectura(carpeta ? QFileInfo(obra).absolutePath() : obra);
    if (!soloLectura.Efectivo())
      GTEST_SKIP() << "this file system lets the test's user write whatever the permissions";
    cajas.answer(ui::vbOK);   // the bid opens read-only, and says so
    abre(obra);
    espera();
    ASSERT_TRUE(quarvel::obraAbierta);
    EXPECT_TRUE(cajas.texts().back().startsWith(carpeta ? "La obra se abrió sólo para lectura porque la carpeta"
                                                        : "La obra se abrió sólo para lectura porque el archivo"))
        << cajas.texts().back().toStdString();
    pre = ui::Forms::instance().find<FrmPre>();
    ASSERT_NE(pre, nullptr);
    grid = pre->Grid1();
    const size_t antes = cajas.shown().size();

    QGuiApplication::clipboard()->setText("Código\tPrecio\nPRE-001\t20\nPRE-002\t30\nACA-006\t4500\n");
    grid->setFocus();
    cajas.answer(ui::vbOK);
    ASSERT_TRUE(clic(QStringLiteral("mnuPeg")));
    espera();
    ASSERT_EQ(cajas.shown().size(), antes + 1) << cajas.texts().join(" | ").toStdString();
    EXPECT_EQ(cajas.texts().back(), kSoloLectura.arg("pegaclipdetalle: 3027 "));
    EXPECT_EQ(distintos("Precio", "PRE-001"), QStringList({"16.8"}));
    EXPECT_EQ(distintos("Precio", "PRE-002"), QStringList({"14.9"}));

    ve(grid, "A01001", 1, C::cPrecio);
    cajas.answer(ui::vbOK);
    EXPECT_FALSE(teclea(grid, C::cPrecio, "20"));
    espera();
    ASSERT_EQ(cajas.shown().size(), antes + 2);
    EXPECT_TRUE(cajas.texts().back().contains(kSoloLectura.arg(QString()))) << cajas.texts().back().toStdString();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    EXPECT_EQ(distintos("Precio", "PRE-001"), QStringList({"16.8"}));

    // The schedule the same way.
    ASSERT_TRUE(clic(QStringLiteral("Programa")));
    espera();
    QGuiApplication::clipboard()->setText("Partida\tRenglón\tPeriodo 1\nA01002\t5\t1000\nA01002\t6\t50\n");
    cajas.answer(ui::vbOK);
    ASSERT_TRUE(clic(QStringLiteral("mnuPeg")));
    espera();
    ASSERT_EQ(cajas.shown().size(), antes + 3);
    EXPECT_EQ(cajas.texts().back(), kSoloLectura.arg("pegaclipdetalle: 3027 "));
    EXPECT_EQ(consulta("SELECT Volumen FROM Programa WHERE Partida = 'A01002' AND Renglon IN (5, 6) AND Periodo = 1"),
              QStringList({"1432.5", "71.15"}));
  }
}

// Ctrl+C and Ctrl+V in the grid are the Copiar and Pegar tools: a block with its header row, a block
// applied by code, the locked bid refused; in an open cell editor they are the editor's own.
TEST_F(FrmPreTest, CtrlCAndCtrlVInTheGridAreTheCopyAndPasteTools) {
  MDIToolbar* principal = MDIToolbar::instancia();
  principal->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(principal));
  QHeaderView* selectores = grid->verticalHeader();
  QTest::mouseClick(selectores->viewport(), Qt::LeftButton, Qt::NoModifier,
                    QPoint(selectores->width() / 2, selectores->sectionViewportPosition(1) + 4));
  ASSERT_EQ(grid->SelBookmarks().Count(), 1);
  grid->setFocus();
  QTest::keySequence(grid, QKeySequence(QStringLiteral("Ctrl+C")));
  const QStringList lineas = QGuiApplication::clipboard()->text().split(u'\n');
  ASSERT_EQ(lineas.size(), 3) << QGuiApplication::clipboard()->text().toStdString();
  EXPECT_EQ(lineas[0], "Partida\tRenglón\tCódigo\tCódigo Auxiliar\tTexto completo\tUnidad\tCantidad\tPrecio\tImporte\tMoneda\t");
  EXPECT_TRUE(lineas[1].startsWith("A01001\t2\tPRE-002\t")) << lineas[1].toStdString();

  QGuiApplication::clipboard()->setText("Código\tPrecio\nPRE-002\t15.5\n");
  QTest::keySequence(grid, QKeySequence(QStringLiteral("Ctrl+V")));
  espera();
  EXPECT_TRUE(cajas.shown().empty()) << cajas.texts().join("|").toStdString();
  EXPECT_EQ(distintos("Precio", "PRE-002"), QStringList({"15.5"}));

  // Typing a price: the keys copy and paste text in the cell's editor, and the block is not applied.
  ve(grid, "A01001", 3, C::cPrecio);
  QTest::keyClicks(grid, "9");
  auto* editor = grid->findChild<QLineEdit*>();
  ASSERT_NE(editor, nullptr);
  ASSERT_TRUE(editor->hasFocus());
  QGuiApplication::clipboard()->setText("Código\tPrecio\nPRE-002\t20\n");
  QTest::keySequence(editor, QKeySequence(QStringLiteral("Ctrl+V")));
  EXPECT_TRUE(editor->text().startsWith("9Código")) << editor->text().toStdString();
  QTest::keyClick(editor, Qt::Key_Escape);
  espera();
  EXPECT_EQ(distintos("Precio", "PRE-002"), QStringList({"15.5"}));

  cierraObra(true);
  grid->setFocus();
  cajas.answer(ui::vbOK);
  QTest::keySequence(grid, QKeySequence(QStringLiteral("Ctrl+V")));
  EXPECT_EQ(cajas.texts(), QStringList({"La base de datos esta cerrada no se puede modificar"}));
  EXPECT_EQ(distintos("Precio", "PRE-002"), QStringList({"15.5"}));
}

TEST_F(FrmPreTest, RightClickMakesTheCellCurrentAndOpensTheDetailMenu) {
  const QPoint celda(grid->columnViewportPosition(C::cCodigo) + 5, grid->rowViewportPosition(3) + 4);
  QTest::mouseClick(grid->viewport(), Qt::RightButton, Qt::NoModifier, celda);
  EXPECT_EQ(grid->currentIndex().row(), 3);
  EXPECT_EQ(grid->currentIndex().column(), C::cCodigo);
  ui::Band* menu = barra().band(QStringLiteral("poppresu"));
  EXPECT_TRUE(menu->isVisible());
  menu->setVisible(false);

  ASSERT_TRUE(clic(QStringLiteral("popdetalle")));
  EXPECT_EQ(modales, QStringList({"frmPresenta", "FrmDetPresu"}));

  // The detail as the user sees it, then to the next rows and past the last.
  auto* detalle = ui::Forms::instance().create<FrmDetPresu>();
  ASSERT_NE(detalle, nullptr);
  EXPECT_EQ(detalle->windowTitle(), "Detalle partida");
  const QStringList esperado = {"A01001", "4", "PRE-004", " ", "", "m3", "108.50", "$148.00", "$16,058.00", "PESOS"};
  for (int i = 0; i < 10; ++i)
    if (i != 4)
      EXPECT_EQ(detalle->texto(i), esperado[i]) << i;
  EXPECT_TRUE(detalle->texto(4).startsWith("Acarreo en camión volteo")) << detalle->texto(4).toStdString();
  detalle->CmdSig_Click();
  EXPECT_EQ(detalle->texto(2), "PRE-005");
  EXPECT_EQ(grid->currentIndex().row(), 4);
  grid->MoveLast();
  const QString ultimo = detalle->texto(2);
  detalle->CmdSig_Click();
  const QString enElUltimo = detalle->texto(2);
  detalle->CmdSig_Click();
  EXPECT_EQ(detalle->texto(2), enElUltimo);
  EXPECT_EQ(grid->currentIndex().row(), 256);
  (void)ultimo;
  detalle->CmdAnt_Click();
  EXPECT_EQ(grid->currentIndex().row(), 255);
  detalle->CmdCerrar_Click();
  EXPECT_FALSE(ui::Forms::instance().isLoaded(detalle));
}

// Enter, the main key or the keypad's, on a focused button of the detail presses it.
TEST_F(FrmPreTest, EnterOnAFocusedButtonOfTheDetailPressesIt) {
  for (const testsupport::TeclaEnter tecla : testsupport::kTeclasEnter) {
    SCOPED_TRACE(testsupport::nombre(tecla));
    grid->MoveFirst();
    auto* detalle = ui::Forms::instance().create<FrmDetPresu>();
    ASSERT_NE(detalle, nullptr);
    ASSERT_EQ(detalle->texto(2), "PRE-001");
    ASSERT_TRUE(testsupport::enterEn(detalle->CmdSig, tecla));
    EXPECT_EQ(detalle->texto(2), "PRE-002");
    ASSERT_TRUE(testsupport::enterEn(detalle->CmdAnt, tecla));
    EXPECT_EQ(detalle->texto(2), "PRE-001");
    ASSERT_TRUE(testsupport::enterEn(detalle->CmdCerrar, tecla));
    EXPECT_FALSE(ui::Forms::instance().isLoaded(detalle));
  }
}

TEST_F(FrmPreTest, TipsShowTheFullTextAndTheSectionName) {
  grid->MoveFirst();
  struct Caso {
    int col, fila;
    QString celda, tip;
  };
  const Caso casos[] = {
      {C::cCodigo, -1, "", "Click aquí para seleccionar la columna"},
      {-1, 2, "", "Click aquí para seleccionar este renglón"},
      {C::cPartida, 0, "A01002", "CIMENTACIÓN"},
      {C::cCodigo, 0, "PRE-001", "PRE-001"},  // the grid's own tip
  };
  for (const Caso& c : casos) {
    QString tip = c.celda;
    int estilo = 0;
    pre->FetchCellTips(0, c.col, c.fila, tip, false, estilo);
    EXPECT_EQ(tip, c.tip) << c.col << " " << c.fila;
  }
  QString tip = "Limpieza del terreno...";
  int estilo = 0;
  pre->FetchCellTips(0, C::cDescri, 1, tip, false, estilo);
  EXPECT_TRUE(tip.startsWith("Trazo y nivelación del terreno")) << tip.toStdString();
  EXPECT_GT(tip.size(), 60);
  EXPECT_EQ(grid->TipWidth(), 7000);
}

TEST_F(FrmPreTest, PrintingRunsThePrePrintChecksInTheirOrder) {
  // The sample passes every check after the notice of a bid not yet locked.
  cajas.answer(ui::vbOK);
  ASSERT_TRUE(clic(QStringLiteral("mnuImp")));
  EXPECT_EQ(cajas.texts(), QStringList({"La base de datos aun no esta cerrada"}));

  // A price of 0 stops it at the price check, after the checks before it passed.
  ve(grid, "A01001", 3, C::cPrecio);
  ASSERT_TRUE(teclea(grid, C::cPrecio, "0"));
  cajas.answer(ui::vbOK).answer(ui::vbOK);
  ASSERT_TRUE(clic(QStringLiteral("mnuPre")));
  ASSERT_EQ(cajas.texts().size(), 3);
  EXPECT_EQ(cajas.texts()[1], "La base de datos aun no esta cerrada");
  EXPECT_EQ(cajas.texts()[2], "El código PRE-003 su precio  es igual a 0, para poder imprmir los reportes, debe cambiar "
                              "la opción (Permitir imprimir reportes de tornavo con precios en ceros)\r\nque se encuentra "
                              "en Parámetros-Concurso. ");
  EXPECT_EQ(quarvel::destinoReporte, 0);  // the preview never got that far
}

TEST_F(FrmPreTest, ColumnLayoutAndPlaceSurviveClosingTheWindow) {
  grid->Columns(C::cDescri).SetWidth(5000);
  grid->Columns(C::cCodemp).SetVisible(false);
  QMdiSubWindow* marco = ui::Forms::subWindowOf(pre);
  marco->setGeometry(20, 30, 700, 380);
  ASSERT_TRUE(clic(QStringLiteral("miventanacerrar")));
  espera();
  EXPECT_EQ(ui::Forms::instance().find<FrmPre>(), nullptr);

  ASSERT_TRUE(clic(QStringLiteral("PU")));
  espera();
  pre = ui::Forms::instance().find<FrmPre>();
  ASSERT_NE(pre, nullptr);
  EXPECT_EQ(pre->Grid1()->Columns(C::cDescri).Width(), 5000);
  EXPECT_FALSE(pre->Grid1()->Columns(C::cCodemp).Visible());
  EXPECT_TRUE(pre->Grid1()->Columns(C::cPrecio).Visible());
  EXPECT_EQ(ui::Forms::subWindowOf(pre)->geometry(), QRect(20, 30, 700, 380));
}

TEST_F(FrmPreTest, EachActivationRecalculatesTheAmounts) {
  quarvel::dbObra->Execute(QStringLiteral("UPDATE Presupuesto SET Importe = 1 WHERE Codigo = 'PRE-002'"));
  ASSERT_TRUE(clic(QStringLiteral("Monedas")));
  espera();
  EXPECT_EQ(distintos("Importe", "PRE-002"), QStringList({"1"}));
  ASSERT_TRUE(clic(QStringLiteral("PU")));
  espera();
  EXPECT_EQ(ui::Forms::instance().activeChild(), pre);
  EXPECT_EQ(importes("PRE-002").value(0), "3829.3");  // 257 x 14.90
  ve(grid, "A01001", 2, C::cImporte);
  EXPECT_EQ(grid->cellText(grid->currentIndex().row(), C::cImporte), "$3,829.30");
}

}  // namespace
}  // namespace entrytest
