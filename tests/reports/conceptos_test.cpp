// "Conceptos,cantidades y precios" of the sample bid: every concept with its quantity, unit price
// and amount, the sum of each page in its foot, the total and the total rounded up to the next peso;
// with several currencies the amounts in pesos, each converted by its currency's parity.
#include "dao.h"
#include "escritores.h"
#include "korgen.h"
#include "obraprueba.h"
#include "quarvel.h"

namespace {

using prueba::numero;
using prueba::texto;

class Conceptos : public prueba::ObraPrueba {};

QString formato(const wb::Book& r, int ren, int col) {
  const wb::Cell* c = r.currentSheet().cell(ren, col);
  return c ? r.workbook().styles.at(c->style).numFmt : QString();
}

TEST_F(Conceptos, QuantitiesPricesAmountsAndTheirSums) {
  struct Caso {
    const char* nombre;
    const char* sql;    // the budget's currencies
    double dolar;       // what a dollar amount is multiplied by
    double total, redondeado;
  };
  const Caso casos[] = {
      // Pesos and dollars at 17.25: 10,365,572.62 pesos + 11,365.00 dollars.
      {"two currencies", nullptr, 17.25, 10561618.87, 10561619.0},
      // One currency, its own amounts, whatever its parity.
      {"pesos", "UPDATE Presupuesto SET Moneda = 'PESOS'", 1, 10376937.62, 10376938.0},
      {"dollars", "UPDATE Presupuesto SET Moneda = 'DOLARES'", 1, 10376937.62, 10376938.0},
  };
  for (const Caso& caso : casos) {
    SCOPED_TRACE(caso.nombre);
    if (caso.sql)
      ejecuta(caso.sql);
    elige(repgen::kConceptosPrecios);
    ASSERT_TRUE(rep_->GeneraReporte());
    const wb::Book& r = rep_->Reporte;

    // Pages: each ends with its foot, whose "SUMA DE ESTA HOJA" row holds the page's sum.
    std::vector<int> finesDePagina;
    for (int ren : r.pageSetup().rowBreaks)
      finesDePagina.push_back(ren - 1);
    finesDePagina.push_back(r.lastRow());
    ASSERT_EQ(int(finesDePagina.size()), rep_->numeroPagina);

    auto& rs = *quarvel::rsPresupuestoClon;
    rs.MoveFirst();
    vb::Currency total, pagina;
    size_t hoja = 0;
    int conceptos = 0;
    for (int ren = 1; ren <= r.lastRow(); ++ren) {
      if (texto(r, ren, 7) == "SUMA DE ESTA HOJA") {
        ASSERT_LT(hoja, finesDePagina.size());
        EXPECT_LT(ren, finesDePagina[hoja] + 1);
        EXPECT_DOUBLE_EQ(numero(r, ren, 8), pagina.toDouble()) << "page " << hoja + 1;
        ++hoja;
        pagina = {};
        continue;
      }
      if (rs.EOF_() || texto(r, ren, 2) != vb::CStr(rs.Value("Codigo")))
        continue;
      SCOPED_TRACE(ren);
      const double precio = vb::CDbl(rs.Value("Precio")), cantidad = vb::CDbl(rs.Value("Cantidad"));
      const double factor = vb::CStr(rs.Value("Moneda")) == "DOLARES" ? caso.dolar : 1;
      const vb::Currency importe = KorGen::Redondea(precio * factor * cantidad);
      EXPECT_DOUBLE_EQ(numero(r, ren, 1), vb::CDbl(rs.Value("Renglon")));
      EXPECT_EQ(texto(r, ren, 5), vb::Trim(vb::CStr(rs.Value("Unidad"))));
      EXPECT_DOUBLE_EQ(numero(r, ren, 6), cantidad);
      EXPECT_DOUBLE_EQ(numero(r, ren, 7), precio);  // the price the bid offers, in its currency
      EXPECT_EQ(formato(r, ren, 6), "#,###,###,##0.00##");
      EXPECT_EQ(formato(r, ren, 7), "#,###,###,##0.00##");
      EXPECT_DOUBLE_EQ(numero(r, ren, 8), importe.toDouble());
      total += importe;
      pagina += importe;
      ++conceptos;
      rs.MoveNext();
    }
    EXPECT_TRUE(rs.EOF_());
    EXPECT_EQ(conceptos, 257);
    EXPECT_EQ(int(hoja), rep_->numeroPagina);

    // The closing lines, above the last foot: the sum, then the sum up to the next whole peso.
    int suma = 0;
    for (int ren = 1; ren <= r.lastRow() && !suma; ++ren)
      suma = texto(r, ren, 7) == "Suma Total" ? ren : 0;
    ASSERT_GT(suma, 0);
    EXPECT_DOUBLE_EQ(numero(r, suma, 8), total.toDouble());
    EXPECT_EQ(texto(r, suma + 1, 4), "Importe del Cto. cerrado al peso inmediato sup.");
    EXPECT_DOUBLE_EQ(numero(r, suma + 1, 8), caso.redondeado);
    EXPECT_DOUBLE_EQ(total.toDouble(), caso.total);
    EXPECT_EQ(r.pageSetup().printArea, (wb::Range{1, 1, r.lastRow(), r.lastCol()}));
    EXPECT_EQ(r.row(), 1);
  }
}

}  // namespace
