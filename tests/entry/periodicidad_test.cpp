// The schedule window in the program, over a copy of the sample bid: bids whose periods are
// fortnights, weeks or days (the sample's schedule spread over them), volumes and dates typed into
// the grid as a user types them, and schedule rows pasted through the main window's paste command.
#include "boundgrid.h"
#include "forms.h"
#include "frmprograma.h"
#include "arranque.h"
#include "obra_periodica.h"
#include "quarvel.h"
#include "twips.h"
#include "vbdate.h"

#include "qt_print.h"

#include <QApplication>
#include <QHeaderView>
#include <QHelpEvent>
#include <QScrollBar>
#include <QTableView>
#include <QTest>
#include <QToolTip>
#include <QClipboard>
#include <QDate>

namespace entrytest {
namespace {

constexpr int kPrimerPeriodo = 9;  // the grid column of period 1

class ProgramaVentanaTest : public ProgramaTest {
protected:
  FrmPrograma* abrePrograma() {
    EXPECT_TRUE(clic(QStringLiteral("Programa")));
    espera();
    FrmPrograma* f = ui::Forms::instance().find<FrmPrograma>();
    EXPECT_NE(f, nullptr);
    return f;
  }
  // The grid row of a concept.
  int fila(ui::BoundGrid* grid, const QString& partida, int renglon) {
    ve(grid, partida, renglon, 0);
    return grid->currentIndex().row();
  }
};

// ---- Periods that are not months

class PeriodicidadTest : public ProgramaVentanaTest,
                         public ::testing::WithParamInterface<testsupport::CasoPeriodicidad> {
protected:
  void preparaObra(const QString& ruta) override {
    auto db = dao::DBEngine::OpenDatabase(ruta, true, false, quarvel::kConexion);
    testsupport::cambiaPeriodicidad(*db, GetParam().codigo);
    db->Close();
  }
  int periodo(const QDate& dia) const {
    return testsupport::periodoCalendario(dia, QDate(2025, 3, 3), GetParam().codigo);
  }
};

// Every period of the project has its column and shows the volumes of the concepts whose dates it
// holds; a volume typed into any period within the concept's dates is taken, outside them refused;
// a start moved later folds the volumes it leaves behind into its own period.
TEST_P(PeriodicidadTest, EveryPeriodTakesTheVolumesOfItsDays) {
  FrmPrograma* f = abrePrograma();
  ASSERT_NE(f, nullptr);
  ui::BoundGrid* grid = f->Grid1();
  const int periodos = GetParam().periodos;
  ASSERT_EQ(grid->Columns().Count(), kPrimerPeriodo + periodos);
  EXPECT_EQ(grid->Columns(kPrimerPeriodo + periodos - 1).Caption(), QStringLiteral("Periodo %1").arg(periodos));
  const int filas = grid->recordsetModel()->recordCount();
  for (int p = 1; p <= periodos; ++p) {
    bool conVolumen = false;
    for (int r = 0; r < filas && !conVolumen; ++r)
      conVolumen = !grid->cellText(r, kPrimerPeriodo + p - 1).isEmpty();
    EXPECT_TRUE(conVolumen) << "period " << p;
  }

  // ALB-001: 286.5 from Tuesday 01/04/2025 to Monday 30/06/2025.
  const int r = fila(grid, "A01004", 1);
  const int primero = periodo(QDate(2025, 4, 1)), ultimo = periodo(QDate(2025, 6, 30));
  const auto columna = [&](int p) { return kPrimerPeriodo + p - 1; };
  const QStringList antes = volumenes("A01004", 1);
  ASSERT_EQ(antes.size(), ultimo - primero + 1);
  ASSERT_TRUE(antes.first().startsWith(QString::number(primero) + ':'));
  const double enPrimero = antes.first().section(':', 1).toDouble();
  const double enUltimo = antes.last().section(':', 1).toDouble();
  EXPECT_FALSE(grid->cellText(r, columna(ultimo)).isEmpty());
  EXPECT_TRUE(grid->cellText(r, columna(ultimo + 1)).isEmpty());

  // The first period's volume moved into the last one; none after the end.
  ASSERT_TRUE(teclea(grid, columna(primero), "0"));
  cajas.answer(ui::vbOK);
  EXPECT_FALSE(teclea(grid, columna(ultimo + 1), "1"));
  EXPECT_EQ(cajas.texts(), QStringList({"Periodo invalido para la actividad"}));
  grid->SetDataChanged(false);
  espera();
  ASSERT_TRUE(teclea(grid, columna(ultimo), QString::number(enPrimero + enUltimo, 'f', 2)));
  EXPECT_EQ(cajas.shown().size(), 1u) << cajas.texts().join('|').toStdString();
  EXPECT_EQ(grid->cellText(r, 8), "286.50");
  EXPECT_EQ(volumenes("A01004", 1).last(),
            QStringLiteral("%1:%2").arg(ultimo).arg(vb::CStr(vb::CCur(vb::Variant(enPrimero + enUltimo)))));

  // The start moved two periods later: what lay before it ends up in its period.
  QDate nuevo(2025, 4, 1);
  while (periodo(nuevo) < primero + 2)
    nuevo = nuevo.addDays(1);
  const QStringList previos = volumenes("A01004", 1);
  double plegado = 0;
  for (const QString& v : previos)
    if (v.section(':', 0, 0).toInt() <= primero + 2)
      plegado += v.section(':', 1).toDouble();
  ASSERT_TRUE(teclea(grid, 6, nuevo.toString("dd/MM/yyyy")));
  const QStringList despues = volumenes("A01004", 1);
  ASSERT_FALSE(despues.isEmpty());
  EXPECT_EQ(despues.first(),
            QStringLiteral("%1:%2").arg(primero + 2).arg(vb::CStr(vb::CCur(vb::Variant(plegado)))));
  EXPECT_EQ(despues.size(), previos.size() - 1);
  EXPECT_TRUE(grid->cellText(r, columna(primero + 1)).isEmpty());
  EXPECT_EQ(concepto("A01004", 1), nuevo.toString("dd/MM/yyyy") + "-30/06/2025 286.5");
  EXPECT_EQ(cajas.shown().size(), 1u);
}

// Many period columns: scrolled to the last period, the concept columns (Partida to Descripción) still
// show at the left and the period's cell beside them; each period's header keeps its caption
// "Periodo n" (a paste reads it) and tells its first and last day in its tip.
TEST_P(PeriodicidadTest, ConceptColumnsStayInViewAndPeriodHeadersTellTheirDays) {
  FrmPrograma* f = abrePrograma();
  ASSERT_NE(f, nullptr);
  ui::BoundGrid* grid = f->Grid1();
  const int periodos = GetParam().periodos;
  const int ultima = kPrimerPeriodo + periodos - 1;
  auto* fijas = grid->findChild<QTableView*>(QStringLiteral("FrozenColumns"));
  ASSERT_NE(fijas, nullptr);
  ASSERT_TRUE(fijas->isVisible());
  for (int c = 0; c < grid->Columns().Count(); ++c)
    EXPECT_EQ(fijas->isColumnHidden(c), c >= 4) << c;

  fila(grid, "A01004", 1);
  grid->setFocus();
  QTest::keyClick(grid, Qt::Key_End);
  ASSERT_EQ(grid->currentIndex().column(), ultima);
  EXPECT_GT(grid->horizontalScrollBar()->value(), 0);
  const QRect vp = grid->viewport()->geometry();
  for (int c = 0; c < 4; ++c) {
    const int x = fijas->columnViewportPosition(c) + 2;
    EXPECT_EQ(grid->ColContaining(ui::pixelsToTwips(vp.left() + x)), c);
  }
  const QRect actual = grid->visualRect(grid->currentIndex());
  EXPECT_GE(actual.left(), fijas->width());
  EXPECT_LE(actual.right(), vp.width());

  const auto tip = [&](int col) {
    grid->scrollTo(grid->recordsetModel()->index(grid->currentIndex().row(), col));
    QHeaderView* cabecera = grid->horizontalHeader();
    const QPoint p(cabecera->sectionViewportPosition(col) + cabecera->sectionSize(col) / 2, cabecera->height() / 2);
    QToolTip::hideText();
    QHelpEvent ayuda(QEvent::ToolTip, p, cabecera->viewport()->mapToGlobal(p));
    QApplication::sendEvent(cabecera->viewport(), &ayuda);
    return QToolTip::isVisible() ? QToolTip::text() : QString();
  };
  const char* finPrimero = GetParam().codigo == 2 ? "15/03/2025" : GetParam().codigo == 3 ? "09/03/2025" : "03/03/2025";
  const char* inicioUltimo = GetParam().codigo == 2 ? "16/08/2025" : GetParam().codigo == 3 ? "25/08/2025" : "29/08/2025";
  EXPECT_EQ(tip(ultima), QStringLiteral("Del %1 al 29/08/2025").arg(inicioUltimo));
  EXPECT_EQ(tip(kPrimerPeriodo), QStringLiteral("Del 03/03/2025 al %1").arg(finPrimero));
  EXPECT_EQ(grid->Columns(ultima).Caption(), QStringLiteral("Periodo %1").arg(periodos));
  EXPECT_EQ(grid->recordsetModel()->headerData(ultima, Qt::Horizontal).toString(),
            QStringLiteral("Periodo %1").arg(periodos));
  EXPECT_TRUE(cajas.texts().isEmpty()) << cajas.texts().join(" | ").toStdString();
}

INSTANTIATE_TEST_SUITE_P(Casos, PeriodicidadTest, ::testing::ValuesIn(testsupport::kPeriodicidades),
                         [](const auto& info) { return std::string(info.param.nombre); });

// ---- Pasted schedule rows

using PegaProgramaVentanaTest = ProgramaVentanaTest;

// A row is checked once, on the volumes it leaves: a re-planned row whose volumes add up to the
// quantity passes without a question; one that would go beyond it is asked about and left as it was;
// the dates of every row cover its volumes, those it pasted and those it kept.
TEST_F(PegaProgramaVentanaTest, ARowIsCheckedOnTheVolumesItLeaves) {
  FrmPrograma* f = abrePrograma();
  ASSERT_NE(f, nullptr);
  ui::BoundGrid* grid = f->Grid1();
  grid->setFocus();
  cajas.answer(ui::vbYes);
  QGuiApplication::clipboard()->setText(
      "Partida\tRenglón\tPeriodo 3\tPeriodo 4\tPeriodo 5\n"
      // ACA-002, 152.8 in June and July (76.4 each), planned a month earlier: 100 + 52.8.
      "A01005\t2\t100\t52.8\t0\n"
      // ACA-001, 236.4 (118.2 + 118.2): 300 in June alone would be above it.
      "A01005\t1\t\t300\t\n"
      // ACA-004, 268 (134 + 134): the next row is applied after the answer.
      "A01005\t3\t\t100\t168\n");
  ASSERT_TRUE(clic(QStringLiteral("mnuPeg")));
  espera();
  EXPECT_EQ(cajas.texts(), QStringList({"Error: Volumen programado mayor al del presupuesto original. "
                                        "Partida:A01005 Renglón:1\r\n ¿ Deseas continuar ?"}));
  EXPECT_EQ(volumenes("A01005", 2), QStringList({"3:100", "4:52.8"}));
  EXPECT_EQ(concepto("A01005", 2), "01/05/2025-30/06/2025 152.8");
  EXPECT_EQ(volumenes("A01005", 1), QStringList({"4:118.2", "5:118.2"}));
  EXPECT_EQ(concepto("A01005", 1), "01/06/2025-31/07/2025 236.4");
  EXPECT_EQ(volumenes("A01005", 3), QStringList({"4:100", "5:168"}));
  // The window shows what was stored.
  const int r = fila(grid, "A01005", 2);
  EXPECT_EQ(grid->cellText(r, kPrimerPeriodo + 2), "100.00");
  EXPECT_EQ(grid->cellText(r, kPrimerPeriodo + 4), "");

  // Only some periods pasted: PIN-001 keeps its August volume, and its dates keep reaching it.
  QGuiApplication::clipboard()->setText("Partida\tRenglón\tPeriodo 4\tPeriodo 5\n"
                                        "A01006\t1\t100\t86.3\n");
  grid->setFocus();
  ASSERT_TRUE(clic(QStringLiteral("mnuPeg")));
  espera();
  EXPECT_EQ(cajas.shown().size(), 1u);
  EXPECT_EQ(volumenes("A01006", 1), QStringList({"4:100", "5:86.3", "6:186.3"}));
  EXPECT_EQ(concepto("A01006", 1), "01/06/2025-29/08/2025 372.6");

  // Dates only: as when they are typed, the volumes they leave out fold into their periods.
  QGuiApplication::clipboard()->setText("Partida\tRenglón\tComienzo\tFin\n"
                                        "A01004\t1\t15/05/2025\t31/05/2025\n");
  grid->setFocus();
  ASSERT_TRUE(clic(QStringLiteral("mnuPeg")));
  espera();
  EXPECT_EQ(cajas.shown().size(), 1u);
  EXPECT_EQ(volumenes("A01004", 1), QStringList({"3:286.5"}));
  EXPECT_EQ(concepto("A01004", 1), "15/05/2025-31/05/2025 286.5");
}

}  // namespace
}  // namespace entrytest
