// The schedule window FrmPrograma on a copy of the sample bid, in an MDI area, driven as a user drives
// it: its columns and layout, cells typed into its grid, its messages, and blocks pasted and copied
// through the main window's commands on its grid.
#include "calculos.h"
#include "copiadogrid.h"
#include "forms.h"
#include "frmprograma.h"
#include "funcgrid.h"
#include "gridlayout.h"
#include "obra.h"
#include "portapapeles.h"
#include "quarvel.h"
#include "registroentrada.h"
#include "settings.h"
#include "ventanas.h"
#include "vbdate.h"

#include "qt_print.h"

#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>

namespace entrytest {
namespace {

class FrmProgramaTest : public ObraTest {
protected:
  void SetUp() override {
    ObraTest::SetUp();
    if (HasFatalFailure())
      return;
    ajustes = std::make_unique<ui::SettingsRedirect>(carpeta.path());
    quarvel::rutaPrograma = carpeta.path();
    area.resize(1400, 700);
    ui::Forms::instance().setMdiArea(&area);
    area.show();
    abre();
  }
  void TearDown() override {
    ui::Forms::instance().descargaFormas(QString());
    ui::Forms::instance().setMdiArea(nullptr);
    ajustes.reset();
    quarvel::rutaPrograma.clear();
    ObraTest::TearDown();
  }
  void abre() {
    forma = ui::Forms::instance().get<FrmPrograma>();
    ASSERT_TRUE(forma);
    ui::Forms::instance().show(forma);
    QApplication::processEvents();
    grid = forma->Grid1();
  }
  void cierra() {
    ui::Forms::instance().unload(forma);
    forma = nullptr;
    grid = nullptr;
  }
  // Makes the row of a concept current; its index in the grid.
  int fila(const QString& partida, int renglon) {
    for (int r = 0; r < grid->recordsetModel()->recordCount(); ++r)
      if (grid->recordsetModel()->storedValue(r, 0) == vb::Variant(partida) &&
          grid->recordsetModel()->storedValue(r, 1) == vb::Variant(int32_t(renglon))) {
        grid->setCurrentIndex(grid->recordsetModel()->index(r, 0));
        return r;
      }
    ADD_FAILURE() << "no row " << partida.toStdString() << " " << renglon;
    return -1;
  }
  // Types text into a cell of the current row and lets the posted messages show.
  bool escribe(int col, const QString& texto) {
    const bool ok = grid->CommitCell(col, texto);
    QApplication::processEvents();
    return ok;
  }
  QStringList textos(int row, int desde, int hasta) {
    QStringList t;
    for (int c = desde; c <= hasta; ++c)
      t << grid->cellText(row, c);
    return t;
  }

  std::unique_ptr<ui::SettingsRedirect> ajustes;
  QMdiArea area;
  FrmPrograma* forma = nullptr;
  ui::BoundGrid* grid = nullptr;
};

TEST_F(FrmProgramaTest, FixedColumnsThenOnePerPeriodWithItsVolumes) {
  EXPECT_EQ(forma->windowTitle(), "Captura del programa de obra");
  EXPECT_EQ(forma->ColumnasFijas(), 9);
  ASSERT_EQ(grid->Columns().Count(), 15);
  QStringList captions;
  for (int c = 0; c < grid->Columns().Count(); ++c)
    captions << grid->Columns(c).Caption();
  EXPECT_EQ(captions, QStringList({"Partida", "Renglón", "Código", "Descripción", "Unidad", "Cantidad", "Comienzo",
                                   "Fin", "Total", "Periodo 1", "Periodo 2", "Periodo 3", "Periodo 4", "Periodo 5",
                                   "Periodo 6"}));
  const int r = fila("A01004", 2);
  EXPECT_EQ(textos(r, 5, 14), QStringList({"498.20", "01/04/2025", "30/06/2025", "498.20", "", "166.06", "166.06",
                                           "166.08", "", ""}));
  EXPECT_EQ(grid->Columns(9).Width(), 1000);
  EXPECT_EQ(grid->Columns(9).Alignment(), ui::dbgRight);
  // The period table was built for the paste.
  ASSERT_EQ(quarvel::tablaPeriodos.size(), 7u);
  EXPECT_EQ(vb::dateToString(quarvel::tablaPeriodos[6].fin), "31/08/2025");
  // Only dates and volumes are typed here.
  EXPECT_FALSE(escribe(5, "1"));
  EXPECT_FALSE(escribe(8, "1"));
}

TEST_F(FrmProgramaTest, LayoutKeepsOnlyTheFixedColumns) {
  grid->Columns(3).SetWidth(4500);
  grid->Columns(4).SetVisible(false);
  cierra();
  const auto guardado = ui::readGridLayout(carpeta.filePath("kortorn.grx"), "FrmPrograma");
  ASSERT_TRUE(guardado.has_value());
  ASSERT_EQ(guardado->size(), 9u);
  EXPECT_EQ((*guardado)[3].name, "Texto");
  EXPECT_EQ((*guardado)[3].width, 4500);
  EXPECT_FALSE((*guardado)[4].visible);

  // Opened again: the layout applies to the fixed columns, the periods come after it.
  dato("Periodos", int16_t(8));
  abre();
  ASSERT_EQ(grid->Columns().Count(), 17);
  EXPECT_EQ(grid->Columns(3).Width(), 4500);
  EXPECT_FALSE(grid->Columns(4).Visible());
  EXPECT_EQ(grid->Columns(16).Caption(), "Periodo 8");
  EXPECT_TRUE(grid->Columns(16).Visible());
}

TEST_F(FrmProgramaTest, TypedVolumesWrittenWithTheTotal) {
  int r = fila("A01004", 1);  // 95.5 in periods 2 to 4 of 286.5
  EXPECT_TRUE(escribe(11, "50"));
  EXPECT_TRUE(escribe(12, "0"));
  EXPECT_EQ(textos(r, 8, 13), QStringList({"145.50", "", "95.50", "50.00", "", ""}));
  // Outside the dates, above the quantity, letters, below 0: each refused with its message.
  cajas.answer(ui::vbOK).answer(ui::vbOK).answer(ui::vbOK).answer(ui::vbOK);
  EXPECT_FALSE(escribe(13, "1"));
  EXPECT_TRUE(escribe(11, "191"));  // up to the quantity
  EXPECT_FALSE(escribe(11, "191.01"));
  EXPECT_FALSE(escribe(11, "abc"));
  EXPECT_FALSE(escribe(11, "-1"));
  const QString volumen = QStringLiteral("El volumen debe ser un número mayor o igual a 0, con punto decimal \".\" (por "
                                         "ejemplo 1,234.50)");
  EXPECT_EQ(cajas.texts(), QStringList({"Periodo invalido para la actividad",
                                        "La suma de periodos es mayor que el volumen presupuestado", volumen, volumen}));
  EXPECT_EQ(cajas.shown()[0].buttons, ui::vbInformation);
  grid->SetDataChanged(false);
  EXPECT_EQ(volumenes("A01004", 1), QStringList({"2:95.5", "3:191"}));
  EXPECT_EQ(columna("SELECT TotalVol FROM Presupuesto WHERE Partida='A01004' AND Renglon=1"), QStringList({"286.5"}));
}

TEST_F(FrmProgramaTest, MovedDatesFoldTheVolumes) {
  const int r = fila("A01004", 1);
  EXPECT_TRUE(escribe(6, "20/05/2025"));  // Comienzo: period 2 to 4 (May is period 3)
  EXPECT_EQ(textos(r, 6, 13), QStringList({"20/05/2025", "30/06/2025", "286.50", "", "", "191.00", "95.50", ""}));
  EXPECT_TRUE(escribe(7, "31/05/2025"));  // Fin: period 4 to 3
  EXPECT_EQ(textos(r, 6, 13), QStringList({"20/05/2025", "31/05/2025", "286.50", "", "", "286.50", "", ""}));
  cajas.answer(ui::vbOK);
  EXPECT_FALSE(escribe(7, "01/05/2025"));
  EXPECT_EQ(cajas.texts(), QStringList({"La fecha final no puede ser menor a la fecha inicial"}));
  grid->SetDataChanged(false);
  EXPECT_EQ(volumenes("A01004", 1), QStringList({"3:286.5"}));
  EXPECT_EQ(columna("SELECT Format(FechaIni, 'dd/mm/yyyy') & '-' & Format(FechaFin, 'dd/mm/yyyy') FROM Presupuesto "
                    "WHERE Partida='A01004' AND Renglon=1"),
            QStringList({"20/05/2025-31/05/2025"}));
}

TEST_F(FrmProgramaTest, ClosedBidRefusesEveryChange) {
  dato("BaseCerrada", true);
  fila("A01004", 1);
  EXPECT_TRUE(escribe(7, "30/06/2025"));  // the same date again
  cajas.answer(ui::vbOK).answer(ui::vbOK);
  EXPECT_FALSE(escribe(7, "29/06/2025"));
  grid->SetDataChanged(false);
  EXPECT_FALSE(escribe(10, "90"));
  grid->SetDataChanged(false);
  EXPECT_EQ(cajas.texts(), QStringList(2, "La base de datos esta cerrada no se puede modificar"));
  EXPECT_EQ(volumenes("A01004", 1), QStringList({"2:95.5", "3:95.5", "4:95.5"}));
}

TEST_F(FrmProgramaTest, CopiedRowsPastedBackThroughTheGrid) {
  PortapapelesFalso portapapeles;
  const int r = fila("A01002", 1);
  grid->SelBookmarks().Add(grid->recordsetModel()->bookmarkAt(r));
  grid->setFocus();
  copiado::copiaClipboard(grid);
  EXPECT_TRUE(portapapeles.texto.startsWith("Partida\tRenglón\tCódigo\tDescripción\tUnidad\tCantidad\tComienzo\tFin\t"
                                            "Total\tPeriodo 1\tPeriodo 2\t"));
  EXPECT_TRUE(portapapeles.texto.contains("\t48.20\t48.20\t\t\t\t\t\r\n"));
  // The same rows back: nothing changes. Then a volume changed in the copied text.
  copiado::pegaClipboard(grid);
  portapapeles.texto.replace("\t48.20\t48.20\t", "\t30\t48.20\t");
  copiado::pegaClipboard(grid);
  EXPECT_EQ(textos(r, 8, 10), QStringList({"78.20", "30.00", "48.20"}));
  EXPECT_EQ(volumenes("A01002", 1), QStringList({"1:30", "2:48.2"}));
}

TEST_F(FrmProgramaTest, SortedByTheSelectedColumnsItsPeriodsFollowTheRows) {
  grid->SetSelStartCol(2);  // Código, descending
  grid->SetSelEndCol(2);
  FuncGrid::OrdenaGrid(grid, true);
  EXPECT_NE(forma->Data1()->Recordset(), quarvel::rsProgramaObra);
  EXPECT_EQ(textos(0, 0, 2), QStringList({"A05006", "6", "SAN-004"}));
  EXPECT_EQ(textos(0, 13, 14), QStringList({"", "1.00"}));
  // Typed into the sorted rows, as into the others.
  const int r = fila("A01004", 9);
  EXPECT_TRUE(escribe(10, "0.5"));
  EXPECT_EQ(textos(r, 8, 12), QStringList({"1.84", "", "0.50", "0.66", "0.68"}));
  // Period columns name no field to sort by.
  cajas.answer(ui::vbOK);
  grid->SetSelStartCol(9);
  grid->SetSelEndCol(10);
  FuncGrid::OrdenaGrid(grid, false);
  EXPECT_EQ(cajas.texts(), QStringList({"Es necesario seleccionar una o varias columnas para ordenar la pantalla"}));
}

TEST_F(FrmProgramaTest, OpenedByTheMainWindowsScheduleCommand) {
  cierra();
  ventanas::Registro registro;
  registraVentanasEntrada(registro);
  ASSERT_TRUE(registro.FrmPrograma);
  registro.FrmPrograma();
  QApplication::processEvents();
  forma = ui::Forms::instance().find<FrmPrograma>();
  ASSERT_TRUE(forma);
  EXPECT_EQ(ui::Forms::instance().activeChild(), forma);
  EXPECT_TRUE(forma->isVisible());
  // Shown again: the same window.
  registro.FrmPrograma();
  EXPECT_EQ(ui::Forms::instance().find<FrmPrograma>(), forma);
}

}  // namespace
}  // namespace entrytest
