// A whole budget report of the sample bid through the tests' writer: pages closed with their foot
// and opened with their titles, the row that does not fit written again on the next page, and the
// page and carried totals of each currency in the foot of every page.
#include "dao.h"
#include "maneobra.h"
#include "obraprueba.h"
#include "printing.h"
#include "quarvel.h"

#include <QMap>

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

  // Every concept once, in budget order, on one page; each page after the first opens with the
  // concept that did not fit on the page before it.
  const int titulos = rep_->renTitulosFin - rep_->renTitulosIni + 1;
  const int pie = rep_->renPieFin - rep_->renPieIni + 1;
  size_t siguiente = 0;
  std::vector<QMap<QString, vb::Currency>> porPagina(inicios.size());
  for (size_t p = 0; p < inicios.size(); ++p) {
    SCOPED_TRACE(p + 1);
    const int desde = inicios[p] + titulos;
    const int hasta = (p + 1 < inicios.size() ? inicios[p + 1] : r.lastRow() + 1) - pie - 1;
    ASSERT_LT(siguiente, todos.size());
    EXPECT_EQ(texto(r, desde, 1), todos[siguiente].codigo);
    for (int ren = desde; ren <= hasta; ++ren) {
      const QString codigo = texto(r, ren, 1);
      if (codigo.isEmpty())
        continue;  // a description's next line, or the filler row
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

// The window's sample: titles, the first concept, the foot right below it (no filler row), one page,
// shown without grid lines and headings.
TEST_F(Paginas, SampleWritesTheFirstConceptOnly) {
  elige(repgen::kPresupuesto);
  ASSERT_TRUE(rep_->GeneraMuestra());
  const wb::Book& r = rep_->Reporte;
  EXPECT_FALSE(rep_->soloMuestra);
  EXPECT_EQ(rep_->numeroPagina, 1);
  EXPECT_TRUE(r.pageSetup().rowBreaks.empty());
  const int titulos = rep_->renTitulosFin - rep_->renTitulosIni + 1;
  const int pie = rep_->renPieFin - rep_->renPieIni + 1;
  EXPECT_EQ(texto(r, titulos + 1, 1), "PRE-001");
  EXPECT_EQ(r.lastRow(), titulos + 1 + pie);
  EXPECT_EQ(texto(r, r.lastRow(), 5), "PESOS");
  EXPECT_DOUBLE_EQ(numero(r, r.lastRow(), 6), 7056.0);
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
  int ultimoConcepto = 0, escritos = 0;
  for (int ren = 1; ren <= r.lastRow(); ++ren)
    if (numero(r, ren, 7) != 0 && !texto(r, ren, 1).isEmpty()) {
      ultimoConcepto = ren;
      ++escritos;
    }
  EXPECT_LE(ultimoConcepto, repgen::kLimiteRenglones + 1);
  EXPECT_LT(escritos, 257 * 16);
  EXPECT_GT(r.lastRow(), repgen::kLimiteRenglones);
  // The last page is closed by its foot.
  EXPECT_EQ(texto(r, r.lastRow(), 5), "PESOS");
  wb::SheetPrintLayout impreso(r.workbook(), r.currentSheet(), QPageSize(QPageSize::Letter));
  EXPECT_EQ(impreso.pageCount(), rep_->numeroPagina);
}

}  // namespace
