// The dialog's size on a 1366x768 screen (the test's platform is set up with one): it opens showing
// the sample's texts and the footer's Total whole, grows with the user from there, and never gets
// smaller than its design size.
#include "datgenfixture.h"

#include "textbox.h"
#include "unboundgrid.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QHeaderView>
#include <QScreen>
#include <QScrollBar>

namespace {

using namespace datgentest;

class Tamano : public DatGenTest {
protected:
  void SetUp() override {
    const QScreen* pantalla = QGuiApplication::primaryScreen();
    ASSERT_EQ(pantalla->availableGeometry().size(), QSize(1366, 768))
        << "run through ctest, which gives this test a 1366x768 screen";
  }

  // The page on show, as a widget.
  VbFrame* paginaEnVista() const {
    for (int i = 1; i <= 8; ++i)
      if (!forma->fraMarco(i)->isHidden()) return forma->fraMarco(i);
    return nullptr;
  }

  // Every text the page shows that is cut, and a grid that needs sideways scrolling.
  QStringList cortados() const {
    QStringList cortes;
    VbFrame* pagina = paginaEnVista();
    for (QLineEdit* e : pagina->findChildren<QLineEdit*>()) {
      if (!e->isVisible() || qobject_cast<QAbstractSpinBox*>(e->parentWidget()) || e->text().isEmpty()) continue;
      if (qobject_cast<QAbstractItemView*>(e->parentWidget()->parentWidget())) continue;  // a cell's editor
      if (e->fontMetrics().horizontalAdvance(e->text()) > e->width() - 8) cortes << e->objectName();
    }
    for (ui::TextBox* t : pagina->findChildren<ui::TextBox*>())
      if (t->isVisible() && t->verticalScrollBar()->maximum() > 0) cortes << t->objectName();
    for (QTableView* g : pagina->findChildren<QTableView*>())
      if (g->isVisible() && g->horizontalScrollBar()->maximum() > 0) cortes << g->objectName();
    return cortes;
  }
};

TEST_F(Tamano, TheSampleOpensReadableAndTheDialogGrowsFromItsDesignSize) {
  for (int16_t edicion : {int16_t(2), int16_t(1)}) {
    SCOPED_TRACE(edicion == 1 ? "Plicadora" : "contractor");
    abre(edicion);
    ASSERT_TRUE(carga());
    ASSERT_TRUE(activa());
    const QSize minimo = forma->minimumSize();
    EXPECT_GT(forma->width(), minimo.width()) << "the sample's texts need more than the design size";
    EXPECT_TRUE(QGuiApplication::primaryScreen()->availableGeometry().contains(forma->geometry()));

    for (const char* titulo : {"Obra", "Dependencias", "Firmas", "Datos de la Empresa", "Indirectos", "Concurso",
                               "Partidas", "Totales por moneda."}) {
      muestraPagina(QString::fromUtf8(titulo));
      EXPECT_EQ(cortados(), QStringList()) << titulo;
    }
    // The footer's Total column lies whole inside the grid.
    muestraPagina(QStringLiteral("Indirectos"));
    ui::UnboundGrid* pie = forma->pagina->Grid1;
    const int total = pie->ColumnIndex(QStringLiteral("Total"));
    const QRect celda = pie->visualRect(pie->model()->index(0, total));
    EXPECT_TRUE(pie->viewport()->rect().contains(celda)) << "Total at " << celda.x() << ".." << celda.right();
    // A factor of two whole digits and four decimals shows whole in its column.
    const int factor = pie->ColumnIndex(QStringLiteral("Factor"));
    EXPECT_GE(pie->columnWidth(factor), pie->fontMetrics().horizontalAdvance(QStringLiteral("12.3456")) + 8);

    // Enlarged by the user: the pages, the page list and the grids grow, the buttons follow the corner.
    const QSize antes = forma->size();
    const int anchoGrid = pie->width();
    const int altoLista = forma->findChild<QWidget*>(QStringLiteral("tvwOpciones"))->height();
    const QPoint aceptar = forma->Aceptar->pos();
    forma->resize(antes + QSize(120, 80));
    QCoreApplication::processEvents();
    EXPECT_EQ(pie->width(), anchoGrid + 120);
    EXPECT_EQ(forma->findChild<QWidget*>(QStringLiteral("tvwOpciones"))->height(), altoLista + 80);
    EXPECT_EQ(forma->Aceptar->pos(), aceptar + QPoint(120, 80));
    EXPECT_EQ(paginaEnVista()->findChild<QLabel*>(QStringLiteral("lblOpciones"))->width(), paginaEnVista()->width())
        << "the page's caption bar spans it";
    // Never smaller than the design size, where the buttons are where the design has them.
    forma->resize(200, 150);
    QCoreApplication::processEvents();
    EXPECT_EQ(forma->size(), minimo);
    EXPECT_LE(forma->Cancelar->geometry().right(), minimo.width());
    EXPECT_LE(forma->Cancelar->geometry().bottom(), minimo.height());
  }
}

}  // namespace
