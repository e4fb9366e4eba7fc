// "Conceptos,cantidades y precios": every concept with its quantity, unit price and amount, the sum
// of each page in its foot, the total and the total rounded up to the next peso. With several
// currencies every row is in national currency, the price converted by its currency's parity like the
// amount, so that a reviewer finds quantity × price = amount on every row, and the currencies and
// parities used are named after the totals.
#include "dao.h"
#include "escritores.h"
#include "korgen.h"
#include "obraprueba.h"
#include "quarvel.h"
#include "vb_print.h"

#include <QMap>

namespace {

using prueba::numero;
using prueba::texto;
using vb::Currency;

QString formato(const wb::Book& r, int ren, int col) {
  const wb::Cell* c = r.currentSheet().cell(ren, col);
  return c ? r.workbook().styles.at(c->style).numFmt : QString();
}

// A figure as printed ("$35,448.75", "11,816.25") read back as a reader of the page would.
Currency leido(const QString& impreso) {
  QString t = impreso;
  t.remove(QLatin1Char('$')).remove(QLatin1Char(','));
  bool ok = false;
  const double v = t.toDouble(&ok);
  EXPECT_TRUE(ok) << impreso.toStdString();
  return Currency::fromDouble(v);
}

// The third currency of a bid: the sample's first section of every building priced in euros.
void agregaEuros() {
  quarvel::dbObra->Execute(
      "INSERT INTO Monedas (Moneda, Texto, Paridad, Remate) VALUES ('EUROS', 'EUROS', 20.1234, 'EUR')");
  quarvel::dbObra->Execute("UPDATE Presupuesto SET Moneda = 'EUROS' WHERE Moneda = 'PESOS' AND Partida LIKE 'A0?001'");
}

// A bid's currencies: how its budget is priced, what each currency's prices are multiplied by in
// the report, its national total, and the line after the totals.
struct Monedas {
  const char* nombre;
  std::vector<const char*> sql;      // "EUROS": a third currency; "x10": the budget ten times as long
  QMap<QString, double> paridades;
  double total;                      // 0: the sum of the rows as this test makes them
  const char* nota;                  // "": none
};
void PrintTo(const Monedas& m, std::ostream* os) { *os << m.nombre; }

const Monedas kMonedas[] = {
    // Pesos and dollars at 17.25: 10,365,572.62 pesos + 11,365.00 dollars.
    {"dos", {}, {{"PESOS", 1}, {"DOLARES", 17.25}}, 10561618.87, "Precios en moneda nacional. DOLARES a 17.25"},
    // Prices in euros take four decimals in pesos; thousands of concepts.
    {"tres",
     {"EUROS", "x10"},
     {{"PESOS", 1}, {"DOLARES", 17.25}, {"EUROS", 20.1234}},
     0,
     "Precios en moneda nacional. DOLARES a 17.25, EUROS a 20.1234"},
    // One currency: its own prices and amounts, whatever its parity, as always.
    {"pesos", {"UPDATE Presupuesto SET Moneda = 'PESOS'"}, {{"PESOS", 1}}, 10376937.62, ""},
    {"dolares", {"UPDATE Presupuesto SET Moneda = 'DOLARES'"}, {{"DOLARES", 1}}, 10376937.62, ""},
};

class Conceptos : public prueba::ObraPrueba, public ::testing::WithParamInterface<Monedas> {};

TEST_P(Conceptos, EveryRowMultipliesOutAndThePagesAddUp) {
  const Monedas& caso = GetParam();
  for (const char* sql : caso.sql) {
    if (QLatin1String(sql) == QLatin1String("EUROS")) {
      agregaEuros();
    } else if (QLatin1String(sql) == QLatin1String("x10")) {
      prueba::multiplicaPresupuesto(10);
    } else {
      quarvel::dbObra->Execute(sql);
    }
  }
  ejecuta("UPDATE Programa SET Volumen = Volumen");  // reopens the shared recordsets
  elige(repgen::kConceptosPrecios);
  ASSERT_TRUE(rep_->GeneraReporte());
  ASSERT_TRUE(cajas_.shown().empty()) << cajas_.texts().join('|').toStdString();
  const wb::Book& r = rep_->Reporte;
  guarda(QStringLiteral("conceptos-") + caso.nombre);

  // Pages: each ends with its foot, whose "SUMA DE ESTA HOJA" row holds the page's sum.
  std::vector<int> finesDePagina;
  for (int ren : r.pageSetup().rowBreaks)
    finesDePagina.push_back(ren - 1);
  finesDePagina.push_back(r.lastRow());
  ASSERT_EQ(int(finesDePagina.size()), rep_->numeroPagina);

  auto& rs = *quarvel::rsPresupuestoClon;
  rs.MoveFirst();
  Currency total, pagina;
  size_t hoja = 0;
  int conceptos = 0;
  for (int ren = 1; ren <= r.lastRow(); ++ren) {
    if (texto(r, ren, 7) == "SUMA DE ESTA HOJA") {
      ASSERT_LT(hoja, finesDePagina.size());
      EXPECT_LT(ren, finesDePagina[hoja] + 1);
      EXPECT_EQ(leido(texto(r, ren, 8)), pagina) << "page " << hoja + 1;
      ++hoja;
      pagina = {};
      continue;
    }
    if (rs.EOF_() || texto(r, ren, 2) != vb::CStr(rs.Value("Codigo")))
      continue;
    SCOPED_TRACE(ren);
    const double paridad = caso.paridades.value(vb::CStr(rs.Value("Moneda")), -1);
    ASSERT_GE(paridad, 0) << vb::CStr(rs.Value("Moneda")).toStdString();
    // The price in the total's currency, to the four decimals of a price.
    const Currency precio = vb::CCur(rs.Value("Precio")) * Currency::fromDouble(paridad);
    EXPECT_DOUBLE_EQ(numero(r, ren, 1), vb::CDbl(rs.Value("Renglon")));
    EXPECT_EQ(texto(r, ren, 5), vb::Trim(vb::CStr(rs.Value("Unidad"))));
    EXPECT_EQ(formato(r, ren, 6), "#,###,###,##0.00##");
    EXPECT_EQ(formato(r, ren, 7), "#,###,###,##0.00##");
    EXPECT_EQ(leido(texto(r, ren, 6)), vb::CCur(rs.Value("Cantidad")));
    EXPECT_EQ(leido(texto(r, ren, 7)), precio);
    // The reviewer's check: the quantity times the price printed is the amount printed, to the cent.
    const Currency importe =
        KorGen::Redondea(leido(texto(r, ren, 6)).toDouble() * leido(texto(r, ren, 7)).toDouble());
    EXPECT_EQ(leido(texto(r, ren, 8)), importe);
    total += importe;
    pagina += importe;
    ++conceptos;
    rs.MoveNext();
  }
  EXPECT_TRUE(rs.EOF_());
  EXPECT_EQ(conceptos, int(rs.RecordCount()));
  EXPECT_EQ(int(hoja), rep_->numeroPagina);

  // The closing lines, above the last foot: the sum, the sum up to the next whole peso, and with
  // several currencies the parities used.
  int suma = 0;
  for (int ren = 1; ren <= r.lastRow() && !suma; ++ren)
    suma = texto(r, ren, 7) == "Suma Total" ? ren : 0;
  ASSERT_GT(suma, 0);
  EXPECT_EQ(leido(texto(r, suma, 8)), total);
  if (caso.total != 0) {
    EXPECT_EQ(total, Currency::fromDouble(caso.total));
  }
  // The budget report's national total, as its title block prints it.
  EXPECT_EQ(leido(vb::CStr(quarvel::rsDatosGenerales->Value("Totalletra"))), total);
  EXPECT_EQ(texto(r, suma + 1, 4), "Importe del Cto. cerrado al peso inmediato sup.");
  EXPECT_EQ(leido(texto(r, suma + 1, 8)), KorGen::RedondeaSuperior(total.toDouble()));
  EXPECT_EQ(texto(r, suma + 2, 4), QString::fromUtf8(caso.nota));
  EXPECT_EQ(r.pageSetup().printArea, (wb::Range{1, 1, r.lastRow(), r.lastCol()}));
  EXPECT_EQ(r.row(), 1);
}

INSTANTIATE_TEST_SUITE_P(Monedas, Conceptos, ::testing::ValuesIn(kMonedas),
                         [](const auto& info) { return std::string(info.param.nombre); });

}  // namespace
