// The grid commands every list window shares, on a list window of the test's own (an MDI child with
// Grid1 bound to Data1) over a copy of the sample bid: placing the grid, layouts, marking, sorting,
// select-all and multiple delete.
#include "boundgrid.h"
#include "datacontrol.h"
#include "forms.h"
#include "funcgrid.h"
#include "obra.h"
#include "quarvel.h"
#include "twips.h"

#include "qt_print.h"

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScrollBar>
#include <QTest>

namespace entrytest {
namespace {

class VentanaPrueba : public QWidget, public ui::Form, public VentanaLista {
public:
  VentanaPrueba(const QString& nombre, const QString& fuente) {
    setObjectName(nombre);
    setProperty("MDIChild", true);
    resize(700, 400);
    data_ = new ui::DataControl(this);
    grid_ = new ui::BoundGrid(this);
    grid_->setObjectName(QStringLiteral("Grid1"));
    recordset = quarvel::dbObra->OpenRecordset(fuente, dao::RecordsetType::Dynaset);
    data_->SetRecordset(recordset);
  }
  ui::Column& columna(const QString& caption, const QString& campo) {
    ui::Column& c = grid_->Columns().Add(grid_->Columns().Count());
    c.SetCaption(caption);
    c.SetDataField(campo);
    return c;
  }
  void enlaza() { grid_->SetDataSource(data_); }

  ui::BoundGrid* Grid1() const override { return grid_; }
  ui::DataControl* Data1() const override { return data_; }
  void AplicaOrden(const QString& orden) override {
    ordenes << orden;
    recordset->SetSort(orden);
    data_->SetRecordset(recordset->OpenRecordset());
  }

  std::shared_ptr<dao::Recordset> recordset;
  QStringList ordenes;

protected:
  void resizeEvent(QResizeEvent*) override { FuncGrid::Reubicagrid(this, grid_); }

private:
  ui::DataControl* data_;
  ui::BoundGrid* grid_;
};

class FuncGridTest : public ObraTest {
protected:
  void SetUp() override {
    ObraTest::SetUp();
    if (HasFatalFailure())
      return;
    area = std::make_unique<QMdiArea>();
    area->resize(900, 600);
    ui::Forms::instance().setMdiArea(area.get());
    area->show();
  }
  void TearDown() override {
    ui::Forms::instance().descargaFormas(QString());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    area.reset();
    quarvel::rutaPrograma.clear();
    ObraTest::TearDown();
  }
  // A list window over the bid's currencies, shown as the active child.
  VentanaPrueba* monedas(const QString& nombre = QStringLiteral("FrmMone")) {
    auto* v = new VentanaPrueba(nombre, QStringLiteral("SELECT * FROM Monedas"));
    v->columna(QStringLiteral("Moneda"), QStringLiteral("Moneda"));
    v->columna(QStringLiteral("Descripción"), QStringLiteral("Texto"));
    v->columna(QStringLiteral("Remate"), QStringLiteral("Remate"));
    v->columna(QStringLiteral("Paridad"), QStringLiteral("Paridad"));
    return muestra(v);
  }
  VentanaPrueba* presupuesto() {
    auto* v = new VentanaPrueba(QStringLiteral("FrmPre"), QStringLiteral("SELECT * FROM Presupuesto"));
    v->columna(QStringLiteral("Partida"), QStringLiteral("Partida"));
    v->columna(QStringLiteral("Renglón"), QStringLiteral("Renglon"));
    v->columna(QStringLiteral("Código"), QStringLiteral("Codigo"));
    v->columna(QStringLiteral("Periodo 1"), QString());
    v->columna(QStringLiteral("Texto completo"), QStringLiteral("Descri"));
    v->columna(QStringLiteral("Precio"), QStringLiteral("Precio"));
    return muestra(v);
  }
  VentanaPrueba* muestra(VentanaPrueba* v) {
    v->enlaza();
    ui::Forms::instance().add(v);
    ui::Forms::instance().show(v);
    QCoreApplication::processEvents();
    return v;
  }
  static QStringList valores(ui::BoundGrid* grid, int col) {
    QStringList v;
    for (int r = 0; r < grid->recordsetModel()->recordCount(); ++r)
      v << grid->cellText(r, col);
    return v;
  }
  // Adds currencies no budget row uses.
  void monedasLibres() {
    sql(QStringLiteral("INSERT INTO Monedas (Moneda, Texto, Paridad, Remate) VALUES ('EUR', 'Euros', 21, 'EUR')"));
    sql(QStringLiteral("INSERT INTO Monedas (Moneda, Texto, Paridad, Remate) VALUES ('YEN', 'Yenes', 0.12, 'YEN')"));
  }

  std::unique_ptr<QMdiArea> area;
};

TEST(FuncGridReglas, GridRectangleForTheWindowSize) {
  struct Caso {
    QSizeF forma;
    bool minimizada;
    std::optional<QRectF> grid;
  };
  const Caso casos[] = {
      {{6000, 4000}, false, QRectF(50, 50, 5800, 3500)},
      {{200, 4000}, false, std::nullopt},   // exactly 200 wide keeps the grid where it is
      {{215, 4000}, false, QRectF(50, 50, 15, 3500)},
      {{6000, 500}, false, std::nullopt},
      {{6000, 515}, false, QRectF(50, 50, 5800, 15)},
      {{6000, 4000}, true, std::nullopt},
  };
  for (const Caso& c : casos)
    EXPECT_EQ(FuncGrid::rectanguloGrid(c.forma, c.minimizada), c.grid) << c.forma.width() << "x" << c.forma.height();
}

TEST_F(FuncGridTest, GridFillsItsWindow) {
  VentanaPrueba* v = monedas();
  QMdiSubWindow* marco = ui::Forms::subWindowOf(v);
  marco->resize(600, 300);
  QCoreApplication::processEvents();
  const QRect g = v->Grid1()->geometry();
  EXPECT_EQ(g.topLeft(), QPoint(3, 3));
  EXPECT_TRUE(v->rect().contains(g)) << g.width() << "x" << g.height() << " in " << v->width() << "x" << v->height();
  EXPECT_GT(g.width(), v->width() - 16);
  EXPECT_GT(g.height(), v->height() - 40);
}

TEST_F(FuncGridTest, LayoutsKeptPerWindowInTheProgramFolder) {
  VentanaPrueba* v = monedas();
  ui::BoundGrid* grid = v->Grid1();
  // Without a program folder nothing is written anywhere.
  FuncGrid::GrabaGrid(QStringLiteral("FrmMone"), grid);

  quarvel::rutaPrograma = carpeta.path();
  const QString archivo = carpeta.filePath(QStringLiteral("kortorn.grx"));
  EXPECT_EQ(FuncGrid::archivoLayout(), archivo);
  FuncGrid::UbicaGrid(QStringLiteral("FrmMone"), grid);  // no file yet: as designed
  EXPECT_TRUE(grid->Columns(2).Visible());

  grid->Columns(1).SetWidth(3000);
  grid->Columns(2).SetVisible(false);
  FuncGrid::GrabaGrid(QStringLiteral("FrmMone"), grid);
  grid->Columns(2).SetVisible(true);
  FuncGrid::GrabaGrid(QStringLiteral("FrmOtra"), grid);
  ASSERT_TRUE(QFile::exists(archivo));

  grid->Columns(1).SetWidth(1000);
  FuncGrid::UbicaGrid(QStringLiteral("FrmMone"), grid);
  EXPECT_EQ(grid->Columns(1).Width(), 3000);
  EXPECT_FALSE(grid->Columns(2).Visible());
  FuncGrid::UbicaGrid(QStringLiteral("FrmOtra"), grid);
  EXPECT_TRUE(grid->Columns(2).Visible());

  // A damaged file: the grid stays as it is, nothing is shown.
  QFile f(archivo);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write("\xff\xfe basura");
  f.close();
  FuncGrid::UbicaGrid(QStringLiteral("FrmMone"), grid);
  EXPECT_TRUE(grid->Columns(2).Visible());
  EXPECT_TRUE(cajas.shown().empty());
}

TEST_F(FuncGridTest, SortTextOfTheSelectedColumns) {
  VentanaPrueba* v = presupuesto();
  ui::BoundGrid* grid = v->Grid1();
  struct Caso {
    int desde, hasta;
    bool descendente;
    QString orden;
  };
  const Caso casos[] = {
      {1, 2, true, "Renglon,Codigo DESC"},   // only the last key descends
      {1, 2, false, "Renglon,Codigo"},
      {2, 4, false, "Codigo,Descri"},        // the period column has no field: no doubled comma
      {3, 3, true, ""},
      {-1, -1, false, ""},
  };
  for (const Caso& c : casos) {
    grid->SetSelStartCol(c.desde);
    grid->SetSelEndCol(c.hasta);
    EXPECT_EQ(FuncGrid::ordenDeColumnas(*grid, c.descendente), c.orden) << c.desde << ".." << c.hasta;
  }
}

TEST_F(FuncGridTest, SortsTheActiveWindowOrSaysWhatIsMissing) {
  VentanaPrueba* v = presupuesto();
  ui::BoundGrid* grid = v->Grid1();

  cajas.answer(ui::vbOK);
  FuncGrid::OrdenaGrid(grid, false);
  EXPECT_EQ(cajas.texts(), QStringList({"Es necesario seleccionar una o varias columnas para ordenar la pantalla"}));
  EXPECT_EQ(cajas.shown().back().icon(), ui::vbInformation);
  EXPECT_TRUE(v->ordenes.isEmpty());

  grid->SetSelStartCol(5);
  grid->SetSelEndCol(5);
  FuncGrid::OrdenaGrid(grid, true);
  EXPECT_EQ(v->ordenes, QStringList({"Precio DESC"}));
  const QStringList precios = valores(grid, 5);
  ASSERT_GT(precios.size(), 2);
  EXPECT_GE(vb::CDbl(vb::Variant(grid->recordsetModel()->storedValue(0, 5))),
            vb::CDbl(vb::Variant(grid->recordsetModel()->storedValue(precios.size() - 1, 5))));

  // The full text is a memo: one message, and the grid keeps its rows.
  grid->SetSelStartCol(4);
  grid->SetSelEndCol(4);
  cajas.answer(ui::vbOK);
  FuncGrid::OrdenaGrid(grid, false);
  EXPECT_EQ(cajas.texts().back(), "No es posible ordenar por campos tipo memo como la descripción completa");
  EXPECT_EQ(cajas.shown().back().icon(), 0);
  EXPECT_EQ(valores(grid, 5), precios);
}

TEST_F(FuncGridTest, MarkingByDraggingOverTheRecordSelectors) {
  VentanaPrueba* v = monedas();
  ui::BoundGrid* grid = v->Grid1();
  const QRect vp = grid->viewport()->geometry();
  const int alto = grid->rowHeight(0);
  const double selector = ui::pixelsToTwips(vp.left() / 2);
  const auto fila = [&](int r) { return ui::pixelsToTwips(vp.top() + r * alto + alto / 2); };

  FuncGrid::marcaDrag(grid, 2, 0, selector, fila(0));              // right button
  FuncGrid::marcaDrag(grid, 1, 0, ui::pixelsToTwips(vp.left() + 5), fila(0));  // over a cell
  FuncGrid::marcaDrag(grid, 1, 0, selector, ui::pixelsToTwips(vp.top() / 2));   // over the headers
  EXPECT_EQ(grid->SelBookmarks().Count(), 0);

  // An edit open in the active window's grid is dropped.
  grid->setCurrentIndex(grid->recordsetModel()->index(0, 1));
  grid->setFocus();
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_X);
  ASSERT_TRUE(grid->DataChanged());
  FuncGrid::marcaDrag(grid, 1, 0, selector, fila(1));
  FuncGrid::marcaDrag(grid, 1, 0, selector, fila(0));
  EXPECT_FALSE(grid->DataChanged());
  ASSERT_EQ(grid->SelBookmarks().Count(), 2);
  const auto filas = v->recordset->Bookmarks();
  EXPECT_EQ(grid->SelBookmarks().Item(0), filas[1]);
  EXPECT_EQ(grid->SelBookmarks().Item(1), filas[0]);
  EXPECT_EQ(columna(QStringLiteral("SELECT Moneda FROM Monedas WHERE Texto = 'x'")), QStringList());
}

TEST_F(FuncGridTest, DraggingOnTheLastShownRowScrollsDown) {
  auto* v = new VentanaPrueba(QStringLiteral("FrmPre"), QStringLiteral("SELECT * FROM Presupuesto"));
  v->columna(QStringLiteral("Código"), QStringLiteral("Codigo"));
  muestra(v);
  ui::BoundGrid* grid = v->Grid1();
  const QRect vp = grid->viewport()->geometry();
  const int ultima = grid->VisibleRows() - 1;
  ASSERT_GT(ultima, 2);
  const double selector = ui::pixelsToTwips(vp.left() / 2);
  const double y = ui::pixelsToTwips(vp.top() + grid->rowViewportPosition(ultima) + 2);
  const int antes = grid->verticalScrollBar()->value();
  QTest::qWait(120);  // the pace is program-wide: a scroll of an earlier test is past
  FuncGrid::marcaDrag(grid, 1, 0, selector, y);
  EXPECT_EQ(grid->verticalScrollBar()->value(), antes + 1);
  FuncGrid::marcaDrag(grid, 1, 0, selector, y);  // within 0.1 s of the last scroll: no further
  EXPECT_EQ(grid->verticalScrollBar()->value(), antes + 1);
  QTest::qWait(120);
  FuncGrid::marcaDrag(grid, 1, 0, selector, ui::pixelsToTwips(vp.top() + grid->rowViewportPosition(ultima + 1) + 2));
  EXPECT_EQ(grid->verticalScrollBar()->value(), antes + 2);
  EXPECT_EQ(grid->SelBookmarks().Count(), 2);
}

TEST_F(FuncGridTest, SelectAllMarksEveryRow) {
  VentanaPrueba* v = presupuesto();
  FuncGrid::SeleccionaTodo(v);
  EXPECT_EQ(v->Grid1()->SelBookmarks().Count(), 257);
  EXPECT_EQ(v->Grid1()->SelBookmarks().Item(0), v->recordset->Bookmarks().front());
}

TEST_F(FuncGridTest, MultipleDeleteAsksFirst) {
  monedasLibres();
  VentanaPrueba* v = monedas();
  ui::BoundGrid* grid = v->Grid1();
  const QStringList todas = valores(grid, 0);
  ASSERT_EQ(todas.size(), 4);
  const auto filas = v->recordset->Bookmarks();

  // Nothing marked: no question.
  FuncGrid::borradoMultiple(v);
  EXPECT_TRUE(cajas.shown().empty());

  const auto eur = filas[size_t(todas.indexOf("EUR"))];
  const auto yen = filas[size_t(todas.indexOf("YEN"))];
  grid->SelBookmarks().Add(yen);
  grid->SelBookmarks().Add(eur);
  cajas.answer(ui::vbNo);
  FuncGrid::borradoMultiple();
  ASSERT_EQ(cajas.texts(), QStringList({"Está a punto de eliminar 2 registros. Haga clic en Si para eliminar estos "
                                        "registros permanentemente. No podrá deshacer el cambio."}));
  EXPECT_EQ(cajas.shown().back().buttons, ui::vbYesNo | ui::vbCritical);
  EXPECT_EQ(valores(grid, 0), todas);

  grid->SelBookmarks().Add(yen);
  grid->SelBookmarks().Add(eur);
  cajas.answer(ui::vbYes);
  FuncGrid::borradoMultiple();
  EXPECT_EQ(grid->SelBookmarks().Count(), 0);
  EXPECT_EQ(valores(grid, 0).size(), 2);
  EXPECT_EQ(cajas.shown().size(), 2u);
  EXPECT_EQ(columna(QStringLiteral("SELECT Moneda FROM Monedas WHERE Moneda IN ('EUR', 'YEN')")), QStringList());
}

TEST_F(FuncGridTest, MultipleDeleteStopsAtACurrencyInUse) {
  monedasLibres();
  VentanaPrueba* v = monedas();
  ui::BoundGrid* grid = v->Grid1();
  const QStringList todas = valores(grid, 0);
  const auto filas = v->recordset->Bookmarks();
  quarvel::rsPresupuestoClon->MoveFirst();
  const int enUso = int(todas.indexOf(quarvel::rsPresupuestoClon->Value(QStringLiteral("Moneda")).toString()));
  ASSERT_GE(enUso, 0);
  grid->SelBookmarks().Add(filas[size_t(todas.indexOf("YEN"))]);
  grid->SelBookmarks().Add(filas[enUso]);
  cajas.answer(ui::vbYes).answer(ui::vbOK);
  FuncGrid::borradoMultiple();
  EXPECT_EQ(cajas.texts().back(), "Uno de los registros que se quieren borrar participa en presupuesto, No se pudo borrar");
  EXPECT_EQ(cajas.shown().back().icon(), ui::vbInformation);
  EXPECT_EQ(v->recordset->RecordCount(), 3);  // the row marked before it is gone, the one in use stays

  // In another window the message names nothing.
  VentanaPrueba* otra = monedas(QStringLiteral("FrmOtra"));
  otra->Grid1()->SelBookmarks().Add(otra->recordset->Bookmarks()[enUso]);
  cajas.answer(ui::vbYes).answer(ui::vbOK);
  FuncGrid::borradoMultiple();
  EXPECT_EQ(cajas.texts().back(), "Uno de los registros que se quieren borrar participa en , No se pudo borrar");
}

}  // namespace
}  // namespace entrytest
