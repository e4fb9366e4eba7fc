// The budget reports of the sample bid: "Presupuesto" concept by concept under its section headings
// with the section totals per currency, and "Totales del presupuesto" section by section; both end
// with the budget total per currency in words and figures and, when asked, the VAT.
#include "dao.h"
#include "escritores.h"
#include "korgen.h"
#include "obraprueba.h"
#include "quarvel.h"

#include <QMap>
#include <QSet>

namespace {

using prueba::numero;
using prueba::texto;

struct Concepto {
  QString partida, codigo, moneda, descripcion;
  vb::Currency importe;
};

QString campo(dao::Recordset& rs, const char* nombre) {
  const vb::Variant v = rs.Value(QString::fromLatin1(nombre));
  return v.isNull() ? QString() : vb::CStr(v);
}

std::vector<Concepto> conceptos() {
  std::vector<Concepto> c;
  auto& rs = *quarvel::rsPresupuestoClon;
  for (rs.MoveFirst(); !rs.EOF_(); rs.MoveNext())
    c.push_back({campo(rs, "Partida"), campo(rs, "Codigo"), campo(rs, "Moneda"), vb::Trim(campo(rs, "Descri")),
                 vb::CCur(rs.Value("Importe"))});
  return c;
}

QMap<QString, QString> partidas() {
  QMap<QString, QString> p;
  auto& rs = *quarvel::rsPartidasClon;
  for (rs.MoveFirst(); !rs.EOF_(); rs.MoveNext())
    p[campo(rs, "Partida")] = vb::Trim(campo(rs, "Texto"));
  return p;
}

// The budget total per currency (the saved query totalmonedas), in its order.
std::vector<std::pair<QString, vb::Currency>> totalesMoneda() {
  std::vector<std::pair<QString, vb::Currency>> t;
  auto rs = quarvel::dbObra->OpenRecordset("totalmonedas", dao::RecordsetType::Snapshot);
  for (; !rs->EOF_(); rs->MoveNext())
    t.emplace_back(campo(*rs, "Moneda"), vb::CCur(rs->Value("SumaDeImporte")));
  return t;
}

QString enLetra(vb::Currency importe, const QString& moneda) {
  auto& rs = *quarvel::rsMonedasClon;
  rs.FindFirst("Moneda='" + moneda + "'");
  return KorGen::Conlet(importe, "E", campo(rs, "Texto"), campo(rs, "Remate"));
}

int buscaRenglon(const wb::Book& r, int col, const QString& t, int desde = 1) {
  for (int ren = desde; ren <= r.lastRow(); ++ren)
    if (texto(r, ren, col) == t)
      return ren;
  return 0;
}

class Presupuesto : public prueba::ObraPrueba {};

// Every concept once, in order, with its amount and unit price in words; a heading for every section
// as it opens; a total line per section and currency as it closes, each with its amount in words;
// then the budget's total per currency.
TEST_F(Presupuesto, ConceptsUnderTheirSectionsWithTheirTotals) {
  elige(repgen::kPresupuesto);
  ASSERT_TRUE(rep_->GeneraReporte());
  const wb::Book& r = rep_->Reporte;
  const std::vector<Concepto> todos = conceptos();
  const QMap<QString, QString> secciones = partidas();
  QSet<QString> codigos;
  for (const Concepto& c : todos)
    codigos.insert(c.codigo);
  // The sections of the sample: three levels of 1, 3 and 6 characters.
  const auto prefijos = [](const QString& partida) {
    return QStringList{partida.left(1), partida.left(3), partida.left(6)};
  };

  size_t siguiente = 0;
  QStringList encabezados;
  std::vector<std::pair<QString, double>> totales;
  for (int ren = 1; ren <= r.lastRow(); ++ren) {
    const QString clave = texto(r, ren, 1), descripcion = texto(r, ren, 2);
    if (codigos.contains(clave)) {
      ASSERT_LT(siguiente, todos.size());
      const Concepto& c = todos[siguiente++];
      ASSERT_EQ(clave, c.codigo) << "row " << ren;
      EXPECT_DOUBLE_EQ(numero(r, ren, 7), c.importe.toDouble()) << c.codigo.toStdString();
      continue;
    }
    if (descripcion.startsWith("Total  ")) {
      totales.emplace_back(descripcion, numero(r, ren, 7));
      const vb::Currency importe = vb::Currency::fromDouble(numero(r, ren, 7));
      const QString letra = texto(r, ren, 6);
      EXPECT_TRUE(letra == enLetra(importe, "PESOS") || letra == enLetra(importe, "DOLARES")) << ren;
      continue;
    }
    wb::Book& hoja = const_cast<wb::Book&>(r);
    hoja.setActiveCell(ren, 2);
    if (!descripcion.isEmpty() && clave.isEmpty() && hoja.cellStyle().font.bold &&
        secciones.values().contains(descripcion))
      encabezados << descripcion;
  }
  EXPECT_EQ(siguiente, todos.size());

  // Expected: each section with concepts, heading once as it opens, total per currency as it closes.
  QStringList esperados;
  std::vector<std::pair<QString, double>> esperadosTotales;
  QMap<QString, QMap<QString, vb::Currency>> porSeccion;
  QString anterior;
  for (const Concepto& c : todos) {
    for (const QString& p : prefijos(c.partida)) {
      porSeccion[p][c.moneda] += c.importe;
      if (!anterior.startsWith(p) && secciones.contains(p))
        esperados << secciones[p];
    }
    anterior = c.partida;
  }
  for (auto s = porSeccion.cbegin(); s != porSeccion.cend(); ++s)
    for (auto m = s.value().cbegin(); m != s.value().cend(); ++m)
      esperadosTotales.emplace_back(("Total  " + secciones[s.key()]).left(70), m.value().toDouble());
  EXPECT_EQ(encabezados, esperados);
  std::sort(totales.begin(), totales.end());
  std::sort(esperadosTotales.begin(), esperadosTotales.end());
  EXPECT_EQ(totales, esperadosTotales);

  // The budget total: a heading, then per currency its amount in words and in figures; no VAT.
  const int total = buscaRenglon(r, 2, "TOTAL DEL  PRESUPUESTO");
  ASSERT_GT(total, 0);
  int ren = total;
  for (const auto& [moneda, importe] : totalesMoneda()) {
    ren = buscaRenglon(r, 2, enLetra(importe, moneda), ren + 1);
    ASSERT_GT(ren, 0) << moneda.toStdString();
    EXPECT_DOUBLE_EQ(numero(r, ren, 7), importe.toDouble());
  }
  EXPECT_EQ(buscaRenglon(r, 2, "IVA"), 0);
  EXPECT_DOUBLE_EQ(numero(r, ren, 7), 10365572.62);
  // The title's total: the budget in national currency, 10,365,572.62 pesos and 11,365.00 dollars at
  // 17.25, never the two added as they are.
  EXPECT_EQ(texto(r, 13, 2), "$10,561,618.87");
}

// The VAT of the currency "PESOS" (the bid's rate, none when it has none) and the total with it;
// descriptions cut at the width asked, continued on rows of their own.
TEST_F(Presupuesto, VatAndDescriptionsCutAtTheirWidth) {
  for (const bool sinTasa : {false, true}) {
    SCOPED_TRACE(sinTasa);
    if (sinTasa)
      ejecuta("UPDATE DatosGenerales SET Iva = Null");
    elige(repgen::kPresupuesto);
    opcion("PreImprimirIva", 1);
    opcion("preLongitudConcepto", 60);
    ASSERT_TRUE(rep_->GeneraReporte());
    const wb::Book& r = rep_->Reporte;
    const int iva = buscaRenglon(r, 2, "IVA");
    ASSERT_GT(iva, 0);
    EXPECT_EQ(buscaRenglon(r, 2, "IVA", iva + 1), 0);
    const double pesos = 10365572.62, impuesto = sinTasa ? 0 : 1658491.6192;
    EXPECT_DOUBLE_EQ(numero(r, iva - 1, 7), pesos);
    EXPECT_DOUBLE_EQ(numero(r, iva, 7), impuesto);
    EXPECT_EQ(texto(r, iva + 1, 2), "TOTAL CON IVA");
    EXPECT_DOUBLE_EQ(numero(r, iva + 1, 7), pesos + impuesto);

    // PRE-001's description in lines of at most 60 characters, which put together give it back.
    const Concepto primero = conceptos().front();
    int ren = buscaRenglon(r, 1, primero.codigo);
    ASSERT_GT(ren, 0);
    QString junto = texto(r, ren, 2);
    while (texto(r, ++ren, 1).isEmpty() && !texto(r, ren, 2).isEmpty()) {
      EXPECT_LE(texto(r, ren, 2).size(), 60);
      junto += texto(r, ren, 2);
    }
    EXPECT_EQ(texto(r, ren, 1), "PRE-002");
    EXPECT_EQ(junto, primero.descripcion);
  }
}

// One row per section and currency of TotalPartidas; then the budget's total per currency and, by
// default for this report, the VAT.
TEST_F(Presupuesto, TotalsBySectionAndCurrency) {
  elige(repgen::kTotalesPresupuesto);
  ASSERT_TRUE(rep_->GeneraReporte());
  const wb::Book& r = rep_->Reporte;
  auto rs = quarvel::dbObra->OpenRecordset("TotalPartidas", dao::RecordsetType::Snapshot);
  // The titles of the first page, then the rows.
  int ren = rep_->renTitulosFin - rep_->renTitulosIni + 2;
  int filas = 0;
  for (; !rs->EOF_(); rs->MoveNext(), ++ren, ++filas) {
    EXPECT_EQ(texto(r, ren, 1), campo(*rs, "Partida")) << ren;
    EXPECT_EQ(texto(r, ren, 2), campo(*rs, "TextoP"));
    EXPECT_EQ(texto(r, ren, 3), vb::Trim(campo(*rs, "TextoM")));
    EXPECT_DOUBLE_EQ(numero(r, ren, 4), vb::CDbl(rs->Value("TotalPartida")));
  }
  EXPECT_EQ(filas, rs->RecordCount());
  const int titulo = buscaRenglon(r, 2, "IMPORTE PRESUPUESTO", ren);
  ASSERT_GT(titulo, ren);
  ren = titulo;
  for (const auto& [moneda, importe] : totalesMoneda()) {
    ren = buscaRenglon(r, 2, enLetra(importe, moneda), ren + 1);
    ASSERT_GT(ren, 0) << moneda.toStdString();
    EXPECT_DOUBLE_EQ(numero(r, ren, 4), importe.toDouble());
  }
  EXPECT_EQ(texto(r, ren + 1, 2), "IVA");
  EXPECT_DOUBLE_EQ(numero(r, ren + 1, 4), 1658491.6192);
  EXPECT_EQ(texto(r, ren + 2, 2), "TOTAL CON IVA");
  EXPECT_DOUBLE_EQ(numero(r, ren + 2, 4), 12024064.2392);
  EXPECT_EQ(r.lastRow(), ren + 2);
}

TEST_F(Presupuesto, TotalsOfAnEmptyBudgetHaveNothingToPrint) {
  ejecuta("DELETE FROM Programa");
  ejecuta("DELETE FROM Presupuesto");
  elige(repgen::kTotalesPresupuesto);
  cajas_.answer(ui::vbOK);
  ASSERT_TRUE(rep_->GeneraReporte());
  ASSERT_EQ(cajas_.texts(), QStringList{"No hay registros a imprimir"});
  EXPECT_EQ(rep_->Reporte.lastRow(), 0);
}

}  // namespace
