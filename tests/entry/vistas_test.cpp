// The section-totals view, the column chooser and the grid's own mouse commands in the program, over a
// copy of the sample bid.
#include "boundgrid.h"
#include "datacontrol.h"
#include "forms.h"
#include "frmcolgrid.h"
#include "frmpartorn.h"
#include "frmpre.h"
#include "mditoolbar.h"
#include "arranque.h"
#include "quarvel.h"
#include "twips.h"

#include "enter_en_boton.h"
#include "qt_print.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QDialog>
#include <QFile>
#include <QHeaderView>
#include <QListWidget>
#include <QPushButton>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QTest>

namespace entrytest {
namespace {

using VistasTest = ProgramaTest;

QStringList columnaDe(ui::BoundGrid* grid, int col) {
  QStringList v;
  for (int r = 0; r < grid->recordsetModel()->recordCount(); ++r)
    v << grid->cellText(r, col);
  return v;
}

TEST_F(VistasTest, SectionTotalsAreReadOnlyAndFollowPricesAlsoWhenSorted) {
  // An empty totals recordset is opened again from the saved query.
  quarvel::rsTotalPartidas = quarvel::dbObra->OpenRecordset(QStringLiteral("SELECT * FROM TotalPartidas WHERE 1 = 0"));
  ASSERT_TRUE(clic(QStringLiteral("Partidas")));
  auto* vista = ui::Forms::instance().find<FrmParTorn>();
  ASSERT_NE(vista, nullptr);
  EXPECT_EQ(vista->windowTitle(), "Partidas y totales por moneda");
  ui::BoundGrid* grid = vista->Grid1();
  ASSERT_GT(grid->recordsetModel()->recordCount(), 20);
  EXPECT_EQ(grid->cellText(0, 0), "A");
  EXPECT_EQ(grid->cellText(0, 2), "$11,365.00");
  EXPECT_EQ(grid->cellText(0, 4), "DOLARES");

  // Nothing is typed here.
  grid->setCurrentIndex(grid->recordsetModel()->index(2, 2));
  grid->setFocus();
  QTest::keyClick(grid, Qt::Key_5);
  EXPECT_FALSE(grid->EditActive());

  // Sorted by total, descending: the whole bid first.
  grid->SetSelStartCol(2);
  grid->SetSelEndCol(2);
  ASSERT_TRUE(clic(QStringLiteral("mnudescendente")));
  EXPECT_EQ(grid->cellText(0, 0), "A");
  EXPECT_EQ(grid->cellText(0, 3), "PESOS");
  const QString antes = grid->cellText(0, 2);

  // A price typed in the unit prices still reaches the sorted view.
  FrmPre* pre = ui::Forms::instance().find<FrmPre>();
  ui::Forms::instance().activate(pre);
  espera();
  ve(pre->Grid1(), "A01001", 1, FrmPre::cPrecio);
  ASSERT_TRUE(teclea(pre->Grid1(), FrmPre::cPrecio, "17.80"));  // 6 rows of 420, 395, 410, 180, 640, 380 units
  espera();
  EXPECT_NE(grid->cellText(0, 2), antes);
  EXPECT_EQ(consulta("SELECT TotalPartida FROM TotalPartidas WHERE Partida = 'A' AND Moneda = 'PESOS'").value(0),
            vb::CStr(vb::CCur(vb::Variant(grid->recordsetModel()->storedValue(0, 2)))));
  EXPECT_TRUE(cajas.shown().empty());
}

TEST_F(VistasTest, TheColumnChooserShowsAndHidesColumnsOfTheActiveWindow) {
  FrmPre* pre = ui::Forms::instance().find<FrmPre>();
  ui::BoundGrid* grid = pre->Grid1();
  grid->Columns(FrmPre::cCodemp).SetVisible(false);
  auto* elige = ui::Forms::instance().get<FrmColGrid>();
  ASSERT_NE(elige, nullptr);
  EXPECT_EQ(elige->windowTitle(), "Selección de Columnas");
  ASSERT_EQ(elige->List1->count(), 10);
  for (int i = 0; i < 10; ++i) {
    EXPECT_EQ(elige->List1->item(i)->text(), grid->Columns(i).Caption());
    EXPECT_EQ(elige->List1->item(i)->isSelected(), i != FrmPre::cCodemp) << i;
  }
  elige->List1->item(FrmPre::cDescri)->setSelected(false);
  elige->List1->item(FrmPre::cCodemp)->setSelected(true);
  elige->CmdBoton_Click(0);
  EXPECT_FALSE(ui::Forms::instance().isLoaded(elige));
  EXPECT_FALSE(grid->Columns(FrmPre::cDescri).Visible());
  EXPECT_TRUE(grid->isColumnHidden(FrmPre::cDescri));
  EXPECT_TRUE(grid->Columns(FrmPre::cCodemp).Visible());

  // "Cerrar" changes nothing.
  elige = ui::Forms::instance().get<FrmColGrid>();
  elige->List1->item(FrmPre::cPrecio)->setSelected(false);
  elige->CmdBoton_Click(1);
  EXPECT_TRUE(grid->Columns(FrmPre::cPrecio).Visible());

  // Through the menu, with no list window left: it closes as it opens.
  ASSERT_TRUE(clic(QStringLiteral("miherramientascolumnas")));
  EXPECT_EQ(modales, QStringList({"frmPresenta", "FrmColGrid"}));
  ui::Forms::instance().unload(pre);
  espera();
  ASSERT_TRUE(clic(QStringLiteral("miherramientascolumnas")));
  EXPECT_EQ(modales.size(), 2);
  EXPECT_EQ(ui::Forms::instance().find<FrmColGrid>(), nullptr);
}

// Enter, the main key or the keypad's, on a focused button of the column chooser presses it: "Cerrar"
// changes nothing, "Aceptar" shows the columns chosen.
TEST_F(VistasTest, EnterOnAFocusedButtonOfTheColumnChooserPressesIt) {
  ui::BoundGrid* grid = ui::Forms::instance().find<FrmPre>()->Grid1();
  for (const testsupport::TeclaEnter tecla : testsupport::kTeclasEnter) {
    SCOPED_TRACE(testsupport::nombre(tecla));
    for (const int boton : {1, 0}) {
      const bool visible = grid->Columns(FrmPre::cDescri).Visible();
      auto* elige = ui::Forms::instance().get<FrmColGrid>();
      ASSERT_NE(elige, nullptr);
      elige->List1->item(FrmPre::cDescri)->setSelected(!visible);
      ASSERT_TRUE(testsupport::enterEn(elige->CmdBoton[boton], tecla));
      EXPECT_FALSE(ui::Forms::instance().isLoaded(elige)) << boton;
      EXPECT_EQ(grid->Columns(FrmPre::cDescri).Visible(), boton == 0 ? !visible : visible) << boton;
    }
  }
}

// Through the menu as a user chooses: the chooser's list clicked item by item, then "Aceptar".
class ColumnasTest : public VistasTest {
protected:
  // Opens the chooser on the active window and clicks the listed captions (each click toggles one).
  void elige(const QStringList& captions) {
    ui::Forms::instance().setModalRunner([this, captions](QDialog* d) {
      modales.append(ui::Forms::name(d));
      auto* elige = qobject_cast<FrmColGrid*>(d);
      EXPECT_NE(elige, nullptr);
      if (!elige)
        return int(QDialog::Rejected);
      elige->show();
      for (const QString& caption : captions) {
        const auto items = elige->List1->findItems(caption, Qt::MatchExactly);
        EXPECT_EQ(items.size(), 1) << caption.toStdString();
        if (items.isEmpty())
          continue;
        QTest::mouseClick(elige->List1->viewport(), Qt::LeftButton, Qt::NoModifier,
                          elige->List1->visualItemRect(items[0]).center());
      }
      QTest::mouseClick(static_cast<QWidget*>(elige->CmdBoton[0]), Qt::LeftButton);
      return int(QDialog::Accepted);
    });
    EXPECT_TRUE(clic(QStringLiteral("miherramientascolumnas")));
    espera();
  }
  // Closes the price window and opens it again; its grid.
  ui::BoundGrid* reabre() {
    EXPECT_TRUE(clic(QStringLiteral("miventanacerrar")));
    espera();
    EXPECT_EQ(ui::Forms::instance().find<FrmPre>(), nullptr);
    EXPECT_TRUE(clic(QStringLiteral("PU")));
    espera();
    FrmPre* pre = ui::Forms::instance().find<FrmPre>();
    return pre ? pre->Grid1() : nullptr;
  }
  QString layout() {
    QFile f(carpeta.archivo(QStringLiteral("kortorn.grx")));
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
  }
};

TEST_F(ColumnasTest, AHiddenColumnComesBackWithItsWidthAfterTheWindowReopens) {
  ui::BoundGrid* grid = ui::Forms::instance().find<FrmPre>()->Grid1();
  const int ancho = grid->Columns(FrmPre::cCodemp).Width();
  ASSERT_GT(ancho, 0);
  elige({"Código Auxiliar"});
  EXPECT_TRUE(grid->isColumnHidden(FrmPre::cCodemp));
  grid = reabre();
  ASSERT_NE(grid, nullptr);
  EXPECT_TRUE(layout().contains(QStringLiteral("field\tCodemp\t%1\t0").arg(ancho))) << layout().toStdString();
  EXPECT_TRUE(grid->isColumnHidden(FrmPre::cCodemp));

  elige({"Código Auxiliar"});
  EXPECT_TRUE(grid->Columns(FrmPre::cCodemp).Visible());
  EXPECT_FALSE(grid->isColumnHidden(FrmPre::cCodemp));
  EXPECT_EQ(grid->Columns(FrmPre::cCodemp).Width(), ancho);
  EXPECT_EQ(grid->columnWidth(FrmPre::cCodemp), ui::twipsToPixels(ancho));
}

TEST_F(ColumnasTest, AZeroOrDamagedWidthFallsBackToTheDesignedOne) {
  ui::BoundGrid* grid = ui::Forms::instance().find<FrmPre>()->Grid1();
  const int codemp = grid->Columns(FrmPre::cCodemp).Width();
  const int descri = grid->Columns(FrmPre::cDescri).Width();
  ASSERT_TRUE(clic(QStringLiteral("miventanacerrar")));
  espera();
  // What an earlier build left for a hidden column, and widths no grid writes.
  QFile f(carpeta.archivo(QStringLiteral("kortorn.grx")));
  ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
  f.write("[FrmPre]\nfield\tCodemp\t0\t0\nfield\tDescri\tancho\t1\nfield\tUnidad\t-5\t0\nfield\tPrecio\t2000\t1\n");
  f.close();
  ASSERT_TRUE(clic(QStringLiteral("PU")));
  espera();
  grid = ui::Forms::instance().find<FrmPre>()->Grid1();
  EXPECT_TRUE(grid->isColumnHidden(FrmPre::cCodemp));
  EXPECT_EQ(grid->Columns(FrmPre::cDescri).Width(), descri);
  EXPECT_TRUE(grid->isColumnHidden(FrmPre::cUnidad));
  EXPECT_EQ(grid->Columns(FrmPre::cPrecio).Width(), 2000);

  elige({"Código Auxiliar", "Unidad"});
  for (const int c : {int(FrmPre::cCodemp), int(FrmPre::cUnidad)}) {
    EXPECT_FALSE(grid->isColumnHidden(c)) << c;
    EXPECT_GT(grid->columnWidth(c), 0) << c;
  }
  EXPECT_EQ(grid->Columns(FrmPre::cCodemp).Width(), codemp);
}

// A value typed into a cell without Enter when the chooser changes the columns: it is checked and
// written as Enter would, before its column goes.
TEST_F(ColumnasTest, AValueLeftInItsCellIsWrittenBeforeTheColumnsChange) {
  FrmPre* pre = ui::Forms::instance().find<FrmPre>();
  ui::BoundGrid* grid = pre->Grid1();
  ve(grid, "A01001", 1, FrmPre::cPrecio);
  ASSERT_NE(escribe(grid, FrmPre::cPrecio, "15.55"), nullptr);
  elige({"Precio"});
  EXPECT_TRUE(grid->isColumnHidden(FrmPre::cPrecio));
  EXPECT_FALSE(grid->EditActive());
  EXPECT_EQ(consulta("SELECT DISTINCT Precio FROM Presupuesto WHERE Codigo = 'PRE-001'"), QStringList({"15.55"}));
  EXPECT_TRUE(cajas.shown().empty());
}

TEST_F(VistasTest, DraggingOverTheRecordSelectorsMarksRowsAndTheCornerMarksAll) {
  ui::BoundGrid* grid = ui::Forms::instance().find<FrmPre>()->Grid1();
  QWidget* selectores = grid->verticalHeader()->viewport();
  const auto en = [&](int fila) {
    return QPointF(grid->verticalHeader()->width() / 2.0, grid->verticalHeader()->sectionViewportPosition(fila) + 4);
  };
  QTest::mousePress(selectores, Qt::LeftButton, Qt::NoModifier, en(1).toPoint());
  for (int fila : {2, 3, 4}) {
    QMouseEvent mueve(QEvent::MouseMove, en(fila), selectores->mapToGlobal(en(fila)), Qt::NoButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(selectores, &mueve);
  }
  QTest::mouseRelease(selectores, Qt::LeftButton, Qt::NoModifier, en(4).toPoint());
  ASSERT_EQ(grid->SelBookmarks().Count(), 4);
  EXPECT_EQ(grid->SelBookmarks().Item(3), grid->recordsetModel()->bookmarkAt(4));

  auto* esquina = grid->findChild<QAbstractButton*>();
  ASSERT_NE(esquina, nullptr);
  QTest::mouseClick(esquina, Qt::LeftButton);
  EXPECT_EQ(grid->SelBookmarks().Count(), 257);
  // The menu's select-all does the same.
  grid->SelBookmarks().Clear();
  ASSERT_TRUE(clic(QStringLiteral("miedicionall")));
  EXPECT_EQ(grid->SelBookmarks().Count(), 257);
  EXPECT_EQ(columnaDe(grid, 0).size(), 257);
}

// Rows are marked as in any grid, in every list window: a quick drag over the record selectors marks
// every row it passed, Shift+click marks the range from the row clicked before, and Ctrl+A marks every
// row (in a cell's editor Ctrl+A is the editor's own: its text).
TEST_F(VistasTest, RowsAreMarkedAsInAnyGrid) {
  MDIToolbar* principal = MDIToolbar::instancia();
  principal->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(principal));
  for (const char* herramienta : {"PU", "Monedas", "Partidas", "Programa"}) {
    SCOPED_TRACE(herramienta);
    ui::BoundGrid* grid = muestraRejilla(QString::fromLatin1(herramienta));
    ASSERT_NE(grid, nullptr);
    ui::RecordsetModel* modelo = grid->recordsetModel();
    const int hasta = std::min(4, modelo->recordCount() - 1);  // two currencies only
    const auto marcadas = [&] {
      std::vector<int> filas;
      for (int i = 0; i < grid->SelBookmarks().Count(); ++i)
        filas.push_back(modelo->rowOf(grid->SelBookmarks().Item(i)));
      return filas;
    };
    const auto desde = [&](int primera) {
      std::vector<int> filas;
      for (int r = primera; r <= hasta; ++r)
        filas.push_back(r);
      return filas;
    };
    QWidget* selectores = grid->verticalHeader()->viewport();
    const auto en = [&](int fila) {
      return QPointF(grid->verticalHeader()->width() / 2.0, grid->verticalHeader()->sectionViewportPosition(fila) + 4);
    };
    // The pointer goes from the first row to the last in one move.
    QTest::mousePress(selectores, Qt::LeftButton, Qt::NoModifier, en(0).toPoint());
    QMouseEvent mueve(QEvent::MouseMove, en(hasta), selectores->mapToGlobal(en(hasta)), Qt::NoButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(selectores, &mueve);
    QTest::mouseRelease(selectores, Qt::LeftButton, Qt::NoModifier, en(hasta).toPoint());
    EXPECT_EQ(marcadas(), desde(0));

    QTest::mouseClick(selectores, Qt::LeftButton, Qt::NoModifier, en(1).toPoint());
    QTest::mouseClick(selectores, Qt::LeftButton, Qt::ShiftModifier, en(hasta).toPoint());
    EXPECT_EQ(marcadas(), desde(1));

    grid->setFocus();
    QTest::keySequence(grid, QKeySequence(QStringLiteral("Ctrl+A")));
    EXPECT_EQ(grid->SelBookmarks().Count(), modelo->recordCount());
    grid->SelBookmarks().Clear();
  }
  ui::BoundGrid* precios = muestraRejilla(QStringLiteral("PU"));
  ASSERT_NE(precios, nullptr);
  QLineEdit* editor = escribe(precios, FrmPre::cPrecio, QStringLiteral("17.5"));
  ASSERT_NE(editor, nullptr);
  editor->deselect();
  QTest::keySequence(editor, QKeySequence(QStringLiteral("Ctrl+A")));
  EXPECT_EQ(editor->selectedText(), "17.5");
  EXPECT_EQ(precios->SelBookmarks().Count(), 0);
  QTest::keyClick(editor, Qt::Key_Escape);
  EXPECT_TRUE(cajas.texts().isEmpty()) << cajas.texts().join(" | ").toStdString();
}

// Ctrl+V where nothing can be pasted says so: a block in the currencies or the section totals, a value
// in a cell that is only shown. Nothing changes.
TEST_F(VistasTest, PastingWhereNothingCanBePastedSaysSo) {
  MDIToolbar* principal = MDIToolbar::instancia();
  principal->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(principal));
  const QString sinBloques = QStringLiteral("En esta ventana no se pueden pegar bloques de datos; se pegan en los precios "
                                            "unitarios y en el programa de obra.");
  const QString soloConsulta = QStringLiteral("En esta celda no se puede pegar: es sólo de consulta.");
  struct Caso {
    const char* herramienta;
    const char* portapapeles;
    QString mensaje;
  } casos[] = {
      {"Monedas", "Moneda\tParidad\nDOLARES\t20\n", sinBloques},
      {"Partidas", "Código\tPrecio\nPRE-001\t20\n", sinBloques},
      {"Partidas", "1000", soloConsulta},
      {"PU", "Cantidad nueva", soloConsulta},  // the current cell: Partida, which is only shown
  };
  const QString todo = QStringLiteral("SELECT Codigo & ' ' & Precio & ' ' & Moneda FROM Presupuesto ORDER BY Partida, "
                                      "Renglon");
  const QStringList antes = consulta(todo);
  for (const Caso& c : casos) {
    SCOPED_TRACE(std::string(c.herramienta) + " " + c.portapapeles);
    ui::BoundGrid* grid = muestraRejilla(QString::fromLatin1(c.herramienta));
    ASSERT_NE(grid, nullptr);
    grid->setCurrentIndex(grid->recordsetModel()->index(0, 0));
    testui::ScriptedMsgBoxes cajasCaso;
    cajasCaso.answer(ui::vbOK);
    QGuiApplication::clipboard()->setText(QString::fromUtf8(c.portapapeles));
    grid->setFocus();
    QTest::keySequence(grid, QKeySequence(QStringLiteral("Ctrl+V")));
    espera();
    EXPECT_EQ(cajasCaso.texts(), QStringList({c.mensaje}));
  }
  EXPECT_EQ(consulta(todo), antes);
  EXPECT_EQ(consulta("SELECT Moneda & ' ' & Paridad FROM Monedas ORDER BY Moneda"),
            QStringList({"DOLARES 17.25", "PESOS 1"}));
}

}  // namespace
}  // namespace entrytest
