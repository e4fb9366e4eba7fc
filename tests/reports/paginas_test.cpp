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

struct Concepto {
  QString codigo;
  vb::Currency importe;
  QString moneda;
};

std::vector<Concepto> conceptos() {
  std::vector<Concepto> c;
  auto& rs = *quarvel::rsPresupuestoClon;
  for (rs.MoveFirst(); !rs.EOF_(); rs.MoveNext())
    c.push_back({vb::CStr(rs.Value("Codigo")), vb::CCur(rs.Value("Importe")), vb::CStr(rs.Value("Moneda"))});
  return c;
}

// The first report row of every page: row 1, then each page break.
std::vector<int> iniciosDePagina(const wb::Book& reporte) {
  std::vector<int> inicios{1};
  for (int r : reporte.pageSetup().rowBreaks)
    inicios.push_back(r);
  return inicios;
}

class Paginas : public prueba::ObraPrueba {};

TEST_F(Paginas, BudgetReportCarriesTotalsFromPageToPage) {
  elige(repgen::kPresupuesto);
  ASSERT_TRUE(rep_->GeneraReporte());
  guarda("presupuesto");
  const wb::Book& r = rep_->Reporte;
  const std::vector<Concepto> todos = conceptos();
  const std::vector<int> inicios = iniciosDePagina(r);
  ASSERT_GE(inicios.size(), 3u) << "the sample bid must fill several pages";
  EXPECT_EQ(int(inicios.size()), rep_->numeroPagina);

  // Every concept once, in budget order, on one page, its amount beside it.
  const int titulos = rep_->renTitulosFin - rep_->renTitulosIni + 1;
  const int pie = rep_->renPieFin - rep_->renPieIni + 1;
  size_t siguiente = 0;
  std::vector<QMap<QString, vb::Currency>> porPagina(inicios.size());
  for (size_t p = 0; p < inicios.size(); ++p) {
    SCOPED_TRACE(p + 1);
    const int desde = inicios[p] + titulos;
    const int hasta = (p + 1 < inicios.size() ? inicios[p + 1] : r.lastRow() + 1) - pie - 1;
    for (int ren = desde; ren <= hasta; ++ren) {
      const QString codigo = texto(r, ren, 1);
      if (codigo.isEmpty())
        continue;  // a section heading or total, a description's next line, the filler row
      ASSERT_LT(siguiente, todos.size());
      ASSERT_EQ(codigo, todos[siguiente].codigo) << "row " << ren;
      EXPECT_DOUBLE_EQ(numero(r, ren, 7), todos[siguiente].importe.toDouble());
      porPagina[p][todos[siguiente].moneda] += todos[siguiente].importe;
      ++siguiente;
    }
  }
  EXPECT_EQ(siguiente, todos.size());

  // The foot of each page: its last two rows, one per currency (PESOS, then DOLARES), each label
  // beside its own page amount and the amount carried so far.
  QMap<QString, vb::Currency> acumulado;
  for (size_t p = 0; p < inicios.size(); ++p) {
    SCOPED_TRACE(p + 1);
    const int finPie = p + 1 < inicios.size() ? inicios[p + 1] - 1 : r.lastRow();
    for (int i = 0; i < 2; ++i) {
      const int ren = finPie - 1 + i;
      const QString moneda = texto(r, ren, 5);
      ASSERT_EQ(moneda, i == 0 ? "DOLARES" : "PESOS");
      acumulado[moneda] += porPagina[p][moneda];
      EXPECT_DOUBLE_EQ(numero(r, ren, 6), porPagina[p][moneda].toDouble()) << moneda.toStdString();
      EXPECT_DOUBLE_EQ(numero(r, ren, 7), acumulado[moneda].toDouble()) << moneda.toStdString();
    }
  }

  // The logo of the titles on every page, at the page's first row.
  const auto& logos = r.currentSheet().objects;
  ASSERT_EQ(logos.size(), inicios.size());
  for (size_t p = 0; p < inicios.size(); ++p)
    EXPECT_DOUBLE_EQ(logos[p].pos.y1, inicios[p]);

  // The pages the program made are the pages that print: the filler rows put each foot at the
  // bottom of its page, and no page needs a break of the printer's own.
  wb::SheetPrintLayout impreso(r.workbook(), r.currentSheet(), QPageSize(QPageSize::Letter));
  EXPECT_EQ(impreso.pageCount(), rep_->numeroPagina);
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
  for (const Concepto& c : conceptos())
    codigos.insert(c.codigo);
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
  const std::vector<int> inicios = iniciosDePagina(r);
  EXPECT_EQ(int(inicios.size()), rep_->numeroPagina);
  const int finPie = inicios.size() > 1 ? inicios[1] - 1 : r.lastRow();
  EXPECT_EQ(texto(r, finPie, 5), "PESOS");
  EXPECT_DOUBLE_EQ(numero(r, finPie, 6), 7056.0);
  EXPECT_FALSE(r.currentSheet().showGridlines);
  EXPECT_FALSE(r.currentSheet().showHeadings);
  EXPECT_TRUE(r.repaint());
  guarda("muestra");
}

// A bid of some four thousand concepts passes row 15000: the writer stops after the concept that
// crossed it, closes the last page and shows the notice once.
TEST_F(Paginas, ReportStopsPastRow15000WithTheNotice) {
  for (int k = 1; k <= 15; ++k)
    quarvel::dbObra->Execute(QStringLiteral(
        "INSERT INTO Presupuesto (Partida, Renglon, Codigo, Texto, Descri, Unidad, Cantidad, Precio, Importe, Moneda) "
        "SELECT Partida, Renglon + %1, Codigo, Texto, Descri, Unidad, Cantidad, Precio, Importe, Moneda "
        "FROM Presupuesto WHERE Renglon < 1000").arg(k * 1000));
  maneobra::abreRecordSets();
  ASSERT_EQ(quarvel::rsPresupuestoClon->RecordCount(), 257 * 16);
  elige(repgen::kPresupuesto);
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
      pasados += ren > repgen::kLimiteRenglones ? 1 : 0;
      ++escritos;
    }
  EXPECT_LE(pasados, 1);
  EXPECT_LT(escritos, 257 * 16);
  EXPECT_GT(r.lastRow(), repgen::kLimiteRenglones);
  // The last page is closed by its foot.
  EXPECT_EQ(texto(r, r.lastRow(), 5), "PESOS");
  wb::SheetPrintLayout impreso(r.workbook(), r.currentSheet(), QPageSize(QPageSize::Letter));
  EXPECT_EQ(impreso.pageCount(), rep_->numeroPagina);
}

}  // namespace
