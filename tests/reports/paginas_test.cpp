// A whole budget report of the sample bid: pages closed with their foot and opened with their
// titles, the rows that do not fit written again on the next page, and the page and carried totals
// of each currency in the foot of every page.
#include "dao.h"
#include "maneobra.h"
#include "obraprueba.h"
#include "printing.h"
#include "quarvel.h"

#include <QMap>
#include <QSet>

namespace {

using prueba::numero;
using prueba::texto;

class Paginas : public prueba::ObraPrueba {};

TEST_F(Paginas, BudgetReportCarriesTotalsFromPageToPage) {
  elige(repgen::kPresupuesto);
  ASSERT_TRUE(rep_->GeneraReporte());
  guarda("presupuesto");
  prueba::revisaPresupuesto(*rep_);

  // The logo of the titles on every page, at the page's first row.
  const wb::Book& r = rep_->Reporte;
  const std::vector<int> inicios = prueba::iniciosDePagina(r);
  const auto& logos = r.currentSheet().objects;
  ASSERT_EQ(logos.size(), inicios.size());
  for (size_t p = 0; p < inicios.size(); ++p)
    EXPECT_DOUBLE_EQ(logos[p].pos.y1, inicios[p]);
}

}  // namespace

namespace {

// The window's sample: titles, the headings of the first concept's sections, that concept alone, the
// totals of its sections and of the budget; each page foot right below its page's last row (no
// filler row); shown without grid lines and headings.
TEST_F(Paginas, SampleWritesTheFirstConceptOnly) {
  elige(repgen::kPresupuesto);
  ASSERT_TRUE(rep_->GeneraMuestra());
  const wb::Book& r = rep_->Reporte;
  EXPECT_FALSE(rep_->soloMuestra);
  const int titulos = rep_->renTitulosFin - rep_->renTitulosIni + 1;
  EXPECT_EQ(texto(r, titulos + 1, 2), "ESCUELA PRIMARIA DE NUEVE AULAS");
  EXPECT_EQ(texto(r, titulos + 2, 2), "EDIFICIO A: TRES AULAS DIDÁCTICAS");
  EXPECT_EQ(texto(r, titulos + 3, 2), "PRELIMINARES");
  EXPECT_EQ(texto(r, titulos + 4, 1), "PRE-001");
  QSet<QString> codigos;
  auto& rs = *quarvel::rsPresupuestoClon;
  for (rs.MoveFirst(); !rs.EOF_(); rs.MoveNext())
    codigos.insert(vb::CStr(rs.Value("Codigo")));
  int escritos = 0, ultimo = 0;
  for (int ren = 1; ren <= r.lastRow(); ++ren) {
    bool vacio = true;
    for (int col = 1; col <= 7; ++col)
      vacio = vacio && texto(r, ren, col).isEmpty();
    if (vacio) {
      EXPECT_LT(r.rowHeight(ren), 600) << "row " << ren;
    }
    if (codigos.contains(texto(r, ren, 1)))
      ++escritos;
    if (texto(r, ren, 2) == "TOTAL DEL  PRESUPUESTO")
      ultimo = ren;
  }
  EXPECT_EQ(escritos, 1);
  EXPECT_GT(ultimo, titulos + 4);
  // The first page's foot counts the concept.
  const std::vector<int> inicios = prueba::iniciosDePagina(r);
  EXPECT_EQ(int(inicios.size()), rep_->numeroPagina);
  const int finPie = inicios.size() > 1 ? inicios[1] - 1 : r.lastRow();
  EXPECT_EQ(texto(r, finPie, 5), "PESOS");
  EXPECT_DOUBLE_EQ(numero(r, finPie, 6), 7056.0);
  EXPECT_FALSE(r.currentSheet().showGridlines);
  EXPECT_FALSE(r.currentSheet().showHeadings);
  EXPECT_TRUE(r.repaint());
  guarda("muestra");
}

// A bid of some four thousand concepts prints whole.
TEST_F(Paginas, ThousandsOfConceptsPrintWhole) {
  prueba::multiplicaPresupuesto(16);
  ASSERT_EQ(quarvel::rsPresupuestoClon->RecordCount(), 257 * 16);
  elige(repgen::kPresupuesto);
  ASSERT_TRUE(rep_->GeneraReporte());
  EXPECT_TRUE(cajas_.shown().empty()) << cajas_.texts().join(QLatin1Char('|')).toStdString();
  prueba::revisaPresupuesto(*rep_);
}

// A report that would pass the sheet's last row: the writer stops after the concept that crossed
// its limit (lowered here, so that a small bid reaches it), closes the last page and shows the
// notice once.
TEST_F(Paginas, ReportStopsAtTheRowLimitWithTheNotice) {
  prueba::multiplicaPresupuesto(16);
  elige(repgen::kPresupuesto);
  rep_->limiteRenglones = 15000;
  cajas_.answer(ui::vbOK);
  ASSERT_TRUE(rep_->GeneraReporte());
  ASSERT_EQ(cajas_.shown().size(), 1u);
  EXPECT_EQ(cajas_.shown()[0].prompt, repgen::mensajeLimite());
  EXPECT_EQ(cajas_.shown()[0].icon(), ui::vbInformation);
  const wb::Book& r = rep_->Reporte;
  // Only the concept that crossed the line lies past it.
  int pasados = 0, escritos = 0;
  for (int ren = 1; ren <= r.lastRow(); ++ren)
    if (numero(r, ren, 7) != 0 && !texto(r, ren, 1).isEmpty()) {
      pasados += ren > 15000 ? 1 : 0;
      ++escritos;
    }
  EXPECT_LE(pasados, 1);
  EXPECT_LT(escritos, 257 * 16);
  EXPECT_GT(r.lastRow(), 15000);
  // The last page is closed by its foot.
  EXPECT_EQ(texto(r, r.lastRow(), 5), "PESOS");
  wb::SheetPrintLayout impreso(r.workbook(), r.currentSheet(), QPageSize(QPageSize::Letter));
  EXPECT_EQ(impreso.pageCount(), rep_->numeroPagina);
}

}  // namespace

namespace {

class Cierre : public prueba::ObraPrueba {};

// "TOTAL DEL  PRESUPUESTO" never ends a page alone: however much of the last page the concepts
// fill (concepts of one line each, the budget shortened one at a time), the heading and the first
// currency's total under it print on one page, and the pages are still those the program made.
TEST_F(Cierre, TheBudgetTotalsHeadingKeepsItsFirstLine) {
  ejecuta("UPDATE Presupuesto SET Descri = ' ', Texto = 'Concepto'");
  int alPie = 0;  // shortenings that bring the heading to a page's end
  for (int quitados = 0; quitados < 40; ++quitados) {
    SCOPED_TRACE(quitados);
    elige(repgen::kPresupuesto);
    ASSERT_TRUE(rep_->GeneraReporte());
    const wb::Book& r = rep_->Reporte;
    int titulo = 0;
    for (int ren = 1; ren <= r.lastRow() && !titulo; ++ren)
      titulo = texto(r, ren, 2) == "TOTAL DEL  PRESUPUESTO" ? ren : 0;
    ASSERT_GT(titulo, 0);
    int primera = titulo + 1;
    while (primera <= r.lastRow() && !texto(r, primera, 2).startsWith("(*"))
      ++primera;
    ASSERT_LE(primera, r.lastRow());
    const auto pagina = [&](int ren) {
      const auto& cortes = r.pageSetup().rowBreaks;
      return std::distance(cortes.begin(), cortes.upper_bound(ren));
    };
    EXPECT_EQ(pagina(titulo), pagina(primera)) << "heading on row " << titulo << ", its first line on " << primera;
    // A page begins right before the heading's titles, or between the heading and its line.
    const int titulos = rep_->renTitulosFin - rep_->renTitulosIni + 1;
    const auto corte = r.pageSetup().rowBreaks.lower_bound(titulo - titulos);
    alPie += corte != r.pageSetup().rowBreaks.end() && *corte <= primera ? 1 : 0;
    ASSERT_EQ(wb::SheetPrintLayout(r.workbook(), r.currentSheet(), QPageSize(QPageSize::Letter)).pageCount(),
              rep_->numeroPagina);
    quitaUltimoConcepto();
  }
  EXPECT_GT(alPie, 0) << "no shortening brought the heading to a page's end";
}

}  // namespace
