// The copy and paste commands on a window's controls: a bound grid "Grid1" over the budget of a copy of
// the sample bid, a text box, a control without text; and the period columns of a real bound grid.
#include "boundgrid.h"
#include "calculos.h"
#include "copiadogrid.h"
#include "datacontrol.h"
#include "forms.h"
#include "obra.h"
#include "portapapeles.h"
#include "quarvel.h"

#include "qt_print.h"

#include <QLineEdit>
#include <QPushButton>
#include <memory>

namespace entrytest {
namespace {

// A window named like the budget window, registered as a loaded form, with its grid and a text box.
class VentanaTest : public ObraTest {
protected:
  void SetUp() override {
    ObraTest::SetUp();
    if (HasFatalFailure())
      return;
    forma = std::make_unique<QWidget>();
    forma->setObjectName(QStringLiteral("FrmPre"));
    data = new ui::DataControl(forma.get());
    data->SetRecordset(quarvel::rsPresupuesto);
    grid = new ui::BoundGrid(forma.get());
    grid->setObjectName(QStringLiteral("Grid1"));
    for (const auto& [caption, campo, formato] :
         std::vector<std::tuple<QString, QString, QString>>{{"Partida", "Partida", ""},
                                                            {"Código", "Codigo", ""},
                                                            {"Texto completo", "Descri", ""},
                                                            {"Importe", "Importe", "Currency"},
                                                            {"Precio", "Precio", "Currency"}}) {
      ui::Column& c = grid->Columns().Add(grid->Columns().Count());
      c.SetCaption(caption);
      c.SetDataField(campo);
      c.SetNumberFormat(formato);
    }
    grid->Columns(3).SetVisible(false);
    grid->SetDataSource(data);
    texto = new QLineEdit(forma.get());
    texto->setObjectName(QStringLiteral("Text1"));
    ui::Forms::instance().add(forma.get());
    filas = quarvel::rsPresupuesto->Bookmarks();
  }
  void TearDown() override {
    forma.reset();  // the grid lets go of the bid's recordset before the bid closes
    ObraTest::TearDown();
  }
  QStringList precios(const QString& codigo) {
    return columna("SELECT DISTINCT Precio FROM Presupuesto WHERE Codigo = '" + codigo + "'");
  }

  std::unique_ptr<QWidget> forma;
  ui::DataControl* data = nullptr;
  ui::BoundGrid* grid = nullptr;
  QLineEdit* texto = nullptr;
  std::vector<dao::Bookmark> filas;
  PortapapelesFalso portapapeles;
};

TEST_F(VentanaTest, CopyOfMarkedRowsAsTheGridShowsThem) {
  grid->SelBookmarks().Add(filas[1]);
  grid->SelBookmarks().Add(filas[0]);
  copiado::copiaClipboard(grid);
  const QStringList lineas = portapapeles.texto.split(QStringLiteral("\r\n"));
  ASSERT_EQ(lineas.size(), 4) << portapapeles.texto.toStdString();
  EXPECT_EQ(lineas[0], "Partida\tCódigo\tTexto completo\tPrecio\t");
  EXPECT_TRUE(lineas[1].startsWith("A01001\tPRE-002\tTrazo y nivelación del terreno")) << lineas[1].toStdString();
  EXPECT_TRUE(lineas[1].endsWith("\t$14.90\t")) << lineas[1].toStdString();
  EXPECT_TRUE(lineas[2].startsWith("A01001\tPRE-001\t")) << lineas[2].toStdString();
  EXPECT_EQ(lineas[3], "");

  // Without marked rows the clipboard is only cleared.
  grid->SelBookmarks().Clear();
  copiado::copiaClipboard(grid);
  EXPECT_EQ(portapapeles.texto, "");
}

TEST_F(VentanaTest, CopyPastedBackSetsPricesPerCode) {
  grid->SelBookmarks().Add(filas[0]);
  copiado::copiaClipboard(grid);
  portapapeles.texto.replace(QStringLiteral("$16.80"), QStringLiteral("$1,016.80"));
  copiado::pegaClipboard(grid);
  EXPECT_TRUE(cajas.shown().empty());
  EXPECT_EQ(precios("PRE-001"), QStringList({"1016.8"}));
}

TEST_F(VentanaTest, SingleValueIsTypedIntoTheCurrentCell) {
  grid->SetBookmark(filas[2]);
  grid->SetCol(4);
  portapapeles.texto = QStringLiteral("77.5");
  copiado::pegaClipboard(grid);
  EXPECT_EQ(columna("SELECT Precio FROM Presupuesto WHERE Partida = 'A01001' AND Codigo = 'PRE-003'"),
            QStringList({"77.5"}));
}

TEST_F(VentanaTest, OnlyTheBudgetWindowTakesPrices) {
  forma->setObjectName(QStringLiteral("FrmMone"));
  portapapeles.texto = QStringLiteral("Código\tPrecio\r\nPRE-001\t10\r\n");
  cajas.answer(ui::vbOK);
  copiado::pegaClipboard(grid);
  EXPECT_EQ(cajas.texts(), QStringList({"En esta ventana no se pueden pegar bloques de datos; se pegan en los precios "
                                        "unitarios y en el programa de obra."}));
  EXPECT_EQ(precios("PRE-001"), QStringList({"16.8"}));
}

TEST_F(VentanaTest, TextBoxAndOtherControls) {
  texto->setText(QStringLiteral("Concreto armado"));
  texto->setSelection(0, 8);
  copiado::copiaClipboard(texto);
  EXPECT_EQ(portapapeles.texto, "Concreto");

  portapapeles.texto = QStringLiteral("Código\tPrecio\r\nPRE-001\t10\r\n");
  copiado::pegaClipboard(texto);
  EXPECT_EQ(texto->text(), "Código\tPrecio\nPRE-001\t10\n");
  EXPECT_EQ(precios("PRE-001"), QStringList({"16.8"}));

  // A control without text, and a grid that is not the window's Grid1: nothing, and no message.
  auto* boton = new QPushButton(forma.get());
  copiado::copiaClipboard(boton);
  EXPECT_EQ(portapapeles.texto, "");
  portapapeles.texto = QStringLiteral("Código\tPrecio\r\nPRE-001\t10\r\n");
  copiado::pegaClipboard(boton);
  grid->setObjectName(QStringLiteral("Grid2"));
  copiado::pegaClipboard(grid);
  EXPECT_TRUE(cajas.shown().empty());
  EXPECT_EQ(precios("PRE-001"), QStringList({"16.8"}));
}

TEST_F(VentanaTest, PeriodColumnsOfABoundGrid) {
  Calculos::AgregaColumnasPeriodo(*grid, 2);
  ASSERT_EQ(grid->Columns().Count(), 7);
  const ui::Column& c = grid->Columns(6);
  EXPECT_EQ(c.Caption(), "Periodo 2");
  EXPECT_TRUE(c.Visible());
  EXPECT_FALSE(c.Bound());
  EXPECT_EQ(c.Width(), 1000);
  EXPECT_EQ(c.Alignment(), ui::dbgRight);
  Calculos::BorraColumnas(*grid, 5);
  EXPECT_EQ(grid->Columns().Count(), 5);
  EXPECT_EQ(grid->Columns(4).Caption(), "Precio");
}

}  // namespace
}  // namespace entrytest
