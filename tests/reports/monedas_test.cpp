// A concept without a currency (Moneda Null, or the blank an empty text field holds) counts as the
// national currency, the one whose parity is 1, in every report printed from the report window: its
// amount is neither converted nor lost, and the budget prints no currency without a code.
#include "dao.h"
#include "korgen.h"
#include "printing.h"
#include "quarvel.h"
#include "vb_print.h"
#include "ventanaprueba.h"

#include <QPushButton>
#include <QTest>

namespace {

using prueba::numero;
using prueba::texto;
using vb::Currency;

struct SinMoneda {
  const char* nombre;
  std::vector<const char*> sql;
  std::vector<std::pair<QString, double>> porMoneda;  // the budget's total of each currency, by code
};
void PrintTo(const SinMoneda& c, std::ostream* os) { *os << c.nombre; }

const SinMoneda kCasos[] = {
    // The first concept, PRE-001 (7,056.00), among the sample's pesos and dollars.
    {"nula", {"UPDATE Presupuesto SET Moneda = Null WHERE Codigo = 'PRE-001' AND Partida = 'A01001'"},
     {{"DOLARES", 11365.00}, {"PESOS", 10365572.62}}},
    {"blanco", {"UPDATE Presupuesto SET Moneda = ' ' WHERE Codigo = 'PRE-001' AND Partida = 'A01001'"},
     {{"DOLARES", 11365.00}, {"PESOS", 10365572.62}}},
    // A budget of pesos alone stays of one currency.
    {"pesos",
     {"UPDATE Presupuesto SET Moneda = 'PESOS'",
      "UPDATE Presupuesto SET Moneda = Null WHERE Codigo = 'PRE-001' AND Partida = 'A01001'"},
     {{"PESOS", 10376937.62}}},
    // A budget of dollars gets the national currency beside them.
    {"dolares",
     {"UPDATE Presupuesto SET Moneda = 'DOLARES'",
      "UPDATE Presupuesto SET Moneda = Null WHERE Codigo = 'PRE-001' AND Partida = 'A01001'"},
     {{"DOLARES", 10369881.62}, {"PESOS", 7056.00}}},
};

class SinMonedaTest : public prueba::VentanaPrueba, public ::testing::WithParamInterface<SinMoneda> {
protected:
  // The budget in national currency, concept by concept: its price by its currency's parity (1 for
  // a concept without one), times its quantity, rounded.
  static Currency totalNacional() {
    const bool varias = GetParam().porMoneda.size() > 1;
    Currency total;
    auto& rs = *quarvel::rsPresupuestoClon;
    for (rs.MoveFirst(); !rs.EOF_(); rs.MoveNext()) {
      const vb::Variant m = rs.Value("Moneda");
      const double paridad = varias && !m.isNull() && vb::CStr(m) == "DOLARES" ? 17.25 : 1;
      total += KorGen::Redondea((vb::CCur(rs.Value("Precio")) * Currency::fromDouble(paridad)).toDouble() *
                                vb::CDbl(rs.Value("Cantidad")));
    }
    return total;
  }
  // The budget's total under its heading: per currency its amount in words (in column 2, wherever a
  // page foot falls among them) and in figures in column `col`.
  static void revisaTotales(const wb::Book& r, int titulo, int col) {
    std::vector<int> lineas;
    for (int ren = titulo + 1; ren <= r.lastRow(); ++ren)
      if (texto(r, ren, 2).startsWith("(*"))
        lineas.push_back(ren);
    ASSERT_EQ(lineas.size(), GetParam().porMoneda.size());
    for (size_t i = 0; i < lineas.size(); ++i) {
      const auto& [moneda, importe] = GetParam().porMoneda[i];
      EXPECT_EQ(Currency::fromDouble(numero(r, lineas[i], col)), Currency::fromDouble(importe)) << moneda.toStdString();
      EXPECT_TRUE(texto(r, lineas[i], 2).contains(moneda)) << texto(r, lineas[i], 2).toStdString();
    }
  }
  static int renglon(const wb::Book& r, int col, const QString& t) {
    for (int ren = 1; ren <= r.lastRow(); ++ren)
      if (texto(r, ren, col) == t)
        return ren;
    return 0;
  }
};

TEST_P(SinMonedaTest, CountsAsNationalCurrencyInEveryReport) {
  for (const char* sql : GetParam().sql)
    ejecuta(sql);
  const Currency nacional = totalNacional();
  frmRep* f = ventana();  // the budget's sample
  ASSERT_NE(f, nullptr);

  struct Visto {
    int tipo;
    std::function<void(const wb::Book&)> revisa;
  };
  const Visto reportes[] = {
      {repgen::kPresupuesto,
       [&](const wb::Book& r) {
         // The budget's total: one line per currency, the concept's amount with the national one.
         int ren = renglon(r, 2, "TOTAL DEL  PRESUPUESTO");
         ASSERT_GT(ren, 0);
         revisaTotales(r, ren, 7);
         // The last page foot: a row per currency, each with its code.
         const int ultimo = r.lastRow();
         for (size_t i = 0; i < GetParam().porMoneda.size(); ++i)
           EXPECT_EQ(texto(r, ultimo - int(GetParam().porMoneda.size() - 1 - i), 5), GetParam().porMoneda[i].first);
       }},
      {repgen::kTotalesPresupuesto,
       [&](const wb::Book& r) {
         const int titulo = renglon(r, 2, "IMPORTE PRESUPUESTO");
         ASSERT_GT(titulo, 0);
         for (int ren = f->rep.renTitulosFin - f->rep.renTitulosIni + 2; ren < titulo - 1; ++ren)
           EXPECT_NE(vb::Trim(texto(r, ren, 3)), "") << ren;  // every section's row names its currency
         revisaTotales(r, titulo, 4);
       }},
      {repgen::kMontosMensuales,
       [&](const wb::Book& r) {
         const int suma = renglon(r, 1, "Suma Total");
         ASSERT_GT(suma, 0);
         EXPECT_EQ(Currency::fromDouble(numero(r, suma, 3)), nacional);
       }},
      {repgen::kConceptosPrecios,
       [&](const wb::Book& r) {
         const int suma = renglon(r, 7, "Suma Total");
         ASSERT_GT(suma, 0);
         EXPECT_EQ(Currency::fromDouble(numero(r, suma, 8)), nacional);
       }},
  };
  for (const Visto& v : reportes) {
    SCOPED_TRACE(v.tipo);
    elige(f->Combo2, v.tipo);
    bool visto = false;
    imprimeA(ruta(QStringLiteral("impreso-%1.pdf").arg(v.tipo)), [&] {
      visto = true;
      v.revisa(f->rep.Reporte);
    });
    QTest::mouseClick(f->Command1, Qt::LeftButton);
    EXPECT_TRUE(visto);
    EXPECT_EQ(vb::CStr(quarvel::rsDatosGenerales->Value("Totalletra")),
              vb::Format(vb::Variant(nacional), "$###,###,###,##0.00##"));
  }
  EXPECT_TRUE(cajas_.shown().empty()) << cajas_.texts().join('|').toStdString();
}

INSTANTIATE_TEST_SUITE_P(Casos, SinMonedaTest, ::testing::ValuesIn(kCasos),
                         [](const auto& info) { return std::string(info.param.nombre); });

}  // namespace
