// The schedule reports: "Programa de obra" (the volume of every concept per period) and "Montos
// mensuales" (its amount per period), with the year subtotals, one pass per fiscal year when asked,
// the page foot's period amounts and the closing totals.
#include "dao.h"
#include "escritores.h"
#include "escritoresinternos.h"
#include "korgen.h"
#include "maneobra.h"
#include "obra_periodica.h"
#include "obraprueba.h"
#include "metrics.h"
#include "printing.h"
#include "quarvel.h"
#include "recorder.h"

#include <QDate>
#include <QMap>
#include <QPainter>
#include <QSet>

namespace {

using prueba::numero;
using prueba::texto;
using vb::Currency;

struct Concepto {
  QString codigo;
  double cantidad, precio;
  QMap<int, double> volumenes;  // by period
  double paridad;               // what its amounts are multiplied by: its currency's parity when the
                                // budget has several currencies, else 1
};

std::vector<Concepto> conceptos() {
  QMap<QString, QMap<int, double>> programa;
  auto p = quarvel::dbObra->OpenRecordset("SELECT Partida, Renglon, Periodo, Volumen FROM Programa",
                                          dao::RecordsetType::Snapshot);
  for (; !p->EOF_(); p->MoveNext())
    programa[vb::CStr(p->Value("Partida")) + "/" + vb::CStr(p->Value("Renglon"))][vb::CInt(p->Value("Periodo"))] =
        vb::CDbl(p->Value("Volumen"));
  auto m = quarvel::dbObra->OpenRecordset("SELECT DISTINCT Moneda FROM Presupuesto", dao::RecordsetType::Snapshot);
  m->MoveLast();
  const bool variasMonedas = m->RecordCount() > 1;
  std::vector<Concepto> c;
  auto& rs = *quarvel::rsPresupuestoClon;
  for (rs.MoveFirst(); !rs.EOF_(); rs.MoveNext())
    c.push_back({vb::CStr(rs.Value("Codigo")), vb::CDbl(rs.Value("Cantidad")), vb::CDbl(rs.Value("Precio")),
                 programa.value(vb::CStr(rs.Value("Partida")) + "/" + vb::CStr(rs.Value("Renglon"))),
                 variasMonedas ? repgen::paridadMoneda(vb::CStr(rs.Value("Moneda"))) : 1.0});
  return c;
}

// The rows of the report whose first column holds a concept's code, in order.
std::vector<int> renglonesConcepto(const wb::Book& r, const std::vector<Concepto>& todos) {
  std::vector<int> renglones;
  size_t i = 0;
  for (int ren = 1; ren <= r.lastRow(); ++ren)
    if (texto(r, ren, 1) == todos[i % todos.size()].codigo) {
      renglones.push_back(ren);
      ++i;
    }
  return renglones;
}

class Cuadros : public prueba::ObraPrueba {
protected:
  // The sample's six months of 2025 moved into a schedule of fourteen, November 2024 to December 2025.
  void dosEjercicios() {
    ejecuta("UPDATE Programa SET Periodo = Periodo + 4");
    ejecuta("UPDATE DatosGenerales SET FechaInicioProy = #11/01/2024#, FechaFinalProy = #12/31/2025#, Periodos = 14");
  }
};

// Fourteen months from November 2024: November, December and their total, then January to December
// 2025 and theirs; the years over their first month; each concept's volumes in its months, blank in
// the others, and each year's subtotal in bold.
TEST_F(Cuadros, VolumesPerMonthWithTheYearsSubtotals) {
  dosEjercicios();
  elige(repgen::kProgramaObra);
  ASSERT_TRUE(rep_->GeneraReporte());
  ASSERT_TRUE(cajas_.shown().empty());
  const wb::Book& r = rep_->Reporte;
  const int titulo = rep_->renTitulosFin - rep_->renTitulosIni + 1;  // the period titles, last title row
  const QStringList titulos = {"Nov 2024", "Dic 2024", "Total",    "Ene 2025", "Feb 2025", "Mar 2025",
                               "Abr 2025", "May 2025", "Jun 2025", "Jul 2025", "Ago 2025", "Sep 2025",
                               "Oct 2025", "Nov 2025", "Dic 2025", "Total"};
  for (int i = 0; i < titulos.size(); ++i)
    EXPECT_EQ(texto(r, titulo, 5 + i), titulos[i]) << i;
  EXPECT_EQ(texto(r, titulo - 1, 5), "2024");
  EXPECT_EQ(texto(r, titulo - 1, 8), "2025");
  EXPECT_EQ(rep_->ultimaColumnaReporte, 20);
  EXPECT_EQ(r.pageSetup().printArea, (wb::Range{1, 1, r.lastRow(), 20}));

  const std::vector<Concepto> todos = conceptos();
  const std::vector<int> renglones = renglonesConcepto(r, todos);
  ASSERT_EQ(renglones.size(), todos.size());
  for (size_t i = 0; i < todos.size(); ++i) {
    const Concepto& c = todos[i];
    const int ren = renglones[i];
    SCOPED_TRACE(c.codigo.toStdString());
    EXPECT_DOUBLE_EQ(numero(r, ren, 4), c.cantidad);
    int col = 5;
    double subtotal = 0;
    for (int p = 1; p <= 14; ++p, ++col) {
      if (c.volumenes.contains(p)) {
        EXPECT_DOUBLE_EQ(numero(r, ren, col), c.volumenes[p]) << p;
        subtotal += c.volumenes[p];
      } else {
        EXPECT_EQ(texto(r, ren, col), " ") << p;  // a blank
      }
      if (p == 2 || p == 14) {
        ++col;
        EXPECT_DOUBLE_EQ(numero(r, ren, col), subtotal) << p;
        const_cast<wb::Book&>(r).setActiveCell(ren, col);
        EXPECT_TRUE(r.cellStyle().font.bold);
        subtotal = 0;
      }
    }
  }
}

// By fiscal year: one pass for 2024 (its two months) and one for 2025, the second on a page of its
// own; every concept in both.
TEST_F(Cuadros, OnePassPerFiscalYear) {
  dosEjercicios();
  elige(repgen::kProgramaObra);
  opcion("ImpPorEjer", true);
  opcion("EjerInicio", 2024);
  opcion("EjerFinal", 2025);
  ASSERT_TRUE(rep_->GeneraReporte());
  const wb::Book& r = rep_->Reporte;
  const std::vector<Concepto> todos = conceptos();
  const std::vector<int> renglones = renglonesConcepto(r, todos);
  ASSERT_EQ(renglones.size(), 2 * todos.size());
  // Each pass's titles: the periods of its year and their total.
  int paginas2024 = 0, paginas2025 = 0, primero2025 = 0;
  for (int ren = 1; ren <= r.lastRow(); ++ren) {
    if (texto(r, ren, 5) == "Nov 2024") {
      ++paginas2024;
      EXPECT_EQ(texto(r, ren, 7), "Total");
      EXPECT_EQ(texto(r, ren, 8), "");
    }
    if (texto(r, ren, 5) == "Ene 2025") {
      primero2025 = primero2025 ? primero2025 : ren;
      ++paginas2025;
      EXPECT_EQ(texto(r, ren, 16), "Dic 2025");
      EXPECT_EQ(texto(r, ren, 17), "Total");
    }
  }
  EXPECT_GT(paginas2024, 0);
  EXPECT_GT(paginas2025, 0);
  EXPECT_EQ(paginas2024 + paginas2025, rep_->numeroPagina);
  // PRE-001: 420 in March 2025, nothing in 2024.
  const int en2024 = renglones[0], en2025 = renglones[todos.size()];
  EXPECT_EQ(texto(r, en2024, 5), " ");
  EXPECT_EQ(texto(r, en2024, 6), " ");
  EXPECT_DOUBLE_EQ(numero(r, en2024, 7), 0);
  EXPECT_DOUBLE_EQ(numero(r, en2025, 7), 420);
  EXPECT_DOUBLE_EQ(numero(r, en2025, 17), 420);
  // The second pass starts a page.
  const int titulo = rep_->renTitulosFin - rep_->renTitulosIni + 1;
  EXPECT_TRUE(r.pageSetup().rowBreaks.count(primero2025 - titulo + 1));
}

// Each concept's amount per month: the volume times the price, rounded, the months adding up to the
// concept's amount; each page foot adds up its page; the closing block adds up the report. With
// several currencies the amounts are in pesos, each concept's converted by its currency's parity so
// that they add up; with one currency they are as they are.
TEST_F(Cuadros, MonthlyAmountsAddUp) {
  struct Caso {
    const char* nombre;
    const char* sql;
    double total;
  };
  const Caso casos[] = {
      {"two currencies", nullptr, 10561618.87},  // 10,365,572.62 pesos + 11,365.00 dollars at 17.25
      {"pesos", "UPDATE Presupuesto SET Moneda = 'PESOS'", 10376937.62},
      {"dollars", "UPDATE Presupuesto SET Moneda = 'DOLARES'", 10376937.62},
  };
  for (const Caso& caso : casos) {
    SCOPED_TRACE(caso.nombre);
    if (caso.sql)
      ejecuta(caso.sql);
    elige(repgen::kMontosMensuales);
    ASSERT_TRUE(rep_->GeneraReporte());
    ASSERT_TRUE(cajas_.shown().empty());
    const wb::Book& r = rep_->Reporte;
    const std::vector<Concepto> todos = conceptos();
    const std::vector<int> renglones = renglonesConcepto(r, todos);
    ASSERT_EQ(renglones.size(), todos.size());

    // Columns: C the concept's amount, D..I the six months, J their total.
    std::vector<Currency> pagina(11), reporte(11);
    size_t siguiente = 0;
    int pies = 0, totales = 0;
    for (int ren = 1; ren <= r.lastRow(); ++ren) {
      if (siguiente < todos.size() && ren == renglones[siguiente]) {
        const Concepto& c = todos[siguiente++];
        SCOPED_TRACE(c.codigo.toStdString());
        const Currency importe = KorGen::Redondea(c.precio * c.paridad * c.cantidad);
        Currency meses;
        int ajustados = 0;
        for (int p = 1; p <= 6; ++p) {
          const int col = 3 + p;
          if (!c.volumenes.contains(p)) {
            EXPECT_EQ(texto(r, ren, col), " ");
            continue;
          }
          const Currency m = Currency::fromDouble(numero(r, ren, col));
          ajustados += m != KorGen::Redondea(c.volumenes[p] * (c.precio * c.paridad)) ? 1 : 0;
          meses += m;
        }
        EXPECT_LE(ajustados, 1);
        EXPECT_EQ(meses, importe);
        EXPECT_DOUBLE_EQ(numero(r, ren, 3), importe.toDouble());
        EXPECT_DOUBLE_EQ(numero(r, ren, 10), importe.toDouble());
        for (int col = 3; col <= 10; ++col) {
          pagina[size_t(col)] += Currency::fromDouble(numero(r, ren, col));
          reporte[size_t(col)] += Currency::fromDouble(numero(r, ren, col));
        }
      } else if (texto(r, ren, 2) == "IMPORTE DE ESTA HOJA") {
        SCOPED_TRACE(ren);
        ++pies;
        for (int col = 3; col <= 10; ++col)
          EXPECT_DOUBLE_EQ(numero(r, ren, col), pagina[size_t(col)].toDouble()) << col;
        EXPECT_EQ(texto(r, ren, 3), QLocale(QLocale::English).toString(pagina[3].toDouble(), 'f', 2));
        std::fill(pagina.begin(), pagina.end(), Currency());
      } else if (texto(r, ren, 1) == "Suma Total") {
        ++totales;
        EXPECT_EQ(texto(r, ren + 1, 1), "Total Acumulado");
        EXPECT_EQ(texto(r, ren + 2, 1), "Imp. Total redondeado al peso inmediato sup.");
        EXPECT_EQ(texto(r, ren + 3, 1), "Total Acumulado redondeado al peso inmediato sup.");
        EXPECT_DOUBLE_EQ(numero(r, ren, 3), reporte[3].toDouble());
        EXPECT_DOUBLE_EQ(numero(r, ren + 2, 3), KorGen::RedondeaSuperior(reporte[3].toDouble()).toDouble());
        Currency acumulado;
        for (int col = 4; col <= 9; ++col) {
          acumulado += reporte[size_t(col)];
          EXPECT_DOUBLE_EQ(numero(r, ren, col), reporte[size_t(col)].toDouble()) << col;
          EXPECT_DOUBLE_EQ(numero(r, ren + 1, col), acumulado.toDouble()) << col;
          EXPECT_DOUBLE_EQ(numero(r, ren + 2, col), KorGen::RedondeaSuperior(reporte[size_t(col)].toDouble()).toDouble());
          EXPECT_DOUBLE_EQ(numero(r, ren + 3, col), KorGen::RedondeaSuperior(acumulado.toDouble()).toDouble());
        }
        EXPECT_DOUBLE_EQ(numero(r, ren, 10), reporte[10].toDouble());
        EXPECT_EQ(reporte[10], reporte[3]);
      }
    }
    EXPECT_EQ(pies, rep_->numeroPagina);
    EXPECT_EQ(totales, 1);
    EXPECT_DOUBLE_EQ(reporte[3].toDouble(), caso.total);
  }
}

// The months' rounded amounts made to add up to the concept's: the difference goes to the last
// month that stays above zero with it.
TEST_F(Cuadros, RoundingDifferenceGoesToOneMonth) {
  struct Caso {
    std::vector<double> montos;  // months 1..n
    double total;
    std::vector<double> esperados;
  };
  const Caso casos[] = {
      {{0.34, 0.34, 0.34}, 1.01, {0.34, 0.34, 0.33}},
      {{0.50, 0.02, 0.01}, 0.50, {0.47, 0.02, 0.01}},  // the last ones would reach 0 or less
      {{0.01, 0.01}, 0.00, {0.01, 0.01}},              // none can take it
      {{0.10, 0.00, 0.20}, 0.32, {0.10, 0.00, 0.22}},
      {{0.10, 0.20}, 0.30, {0.10, 0.20}},
  };
  for (const Caso& c : casos) {
    std::vector<Currency> montos{Currency()};
    for (double m : c.montos)
      montos.push_back(Currency::fromDouble(m));
    repgen::detalle::ajustaRedondeoPeriodos(montos, int(c.montos.size()), Currency::fromDouble(c.total));
    for (size_t i = 0; i < c.esperados.size(); ++i)
      EXPECT_DOUBLE_EQ(montos[i + 1].toDouble(), c.esperados[i]) << c.total << " " << i;
  }
  // Price 0.335 and three months of one: 0.34 each, the concept 1.01.
  EXPECT_EQ(KorGen::Redondea(0.335), Currency::fromDouble(0.34));
  EXPECT_EQ(KorGen::Redondea(3 * 0.335), Currency::fromDouble(1.01));
}

// The sample's six months fit one page across, as they always did; the amount columns of "Montos
// mensuales" are as wide as the sample's figures need (the template's hold any budget's), and the
// description column takes the width the period columns leave on the paper (at the widest reading of
// the widths), so its rows wrap less and the report takes fewer pages than with the template's widths.
TEST_F(Cuadros, TheDescriptionTakesTheRoomThePeriodsLeave) {
  for (const int tipo : {repgen::kProgramaObra, repgen::kMontosMensuales}) {
    SCOPED_TRACE(tipo);
    elige(tipo);
    ASSERT_TRUE(rep_->GeneraReporte());
    const wb::Book& r = rep_->Reporte;
    const wb::PageSetup& pagina = r.pageSetup();
    EXPECT_TRUE(pagina.colBreaks.empty());
    EXPECT_EQ(wb::SheetPrintLayout(r.workbook(), r.currentSheet(), QPageSize(QPageSize::Letter)).pageCount(),
              rep_->numeroPagina);
    wb::Book plantilla;
    plantilla.read(ruta(repgen::plantillaReporte(tipo)));
    EXPECT_GT(r.colWidth(2), plantilla.colWidth(2));
    if (tipo == repgen::kMontosMensuales) {
      for (int c : {3, 4, 10})  // the concept's amount, the first month, the year's total
        EXPECT_LT(r.colWidth(c), plantilla.colWidth(c == 10 ? 4 : c)) << c;
    }
    double ancho = 0;
    for (int c = 1; c <= pagina.printArea->c2; ++c)
      ancho += r.colWidth(c);
    ancho *= wb::metrics::colWidthSpread(r.workbook().defaultFont());
    const double cuerpo = 11 * 1440 - (pagina.left + pagina.right) * 1440;
    EXPECT_LE(ancho, cuerpo);
    EXPECT_GT(ancho, cuerpo - 100);
  }
}

// ---- Periods that are not months

class CuadrosPeriodicos : public Cuadros, public ::testing::WithParamInterface<testsupport::CasoPeriodicidad> {
protected:
  void SetUp() override {
    Cuadros::SetUp();
    if (HasFatalFailure())
      return;
    testsupport::cambiaPeriodicidad(*quarvel::dbObra, GetParam().codigo);
    maneobra::abreRecordSets();
  }
  // The title of each period: its first day, the first one the project's start.
  QStringList titulos() const {
    QStringList t;
    const QDate inicio(2025, 3, 3);
    for (QDate d = inicio; d <= QDate(2025, 8, 29); d = d.addDays(1))
      if (testsupport::periodoCalendario(d, inicio, GetParam().codigo) > t.size())
        t << d.toString(QStringLiteral("dd/MM"));
    return t;
  }
};

// "Programa de obra" of a bid whose periods are fortnights, weeks or days: one column per period
// titled by its first day under the year, the year's total after them, and every concept's volumes in
// the periods that hold them; no period is left without volumes.
TEST_P(CuadrosPeriodicos, VolumesInEveryPeriod) {
  const int n = GetParam().periodos;
  elige(repgen::kProgramaObra);
  ASSERT_TRUE(rep_->GeneraReporte());
  ASSERT_TRUE(cajas_.shown().empty()) << cajas_.texts().join('|').toStdString();
  guarda(QStringLiteral("programa-") + GetParam().nombre);
  const wb::Book& r = rep_->Reporte;
  const int titulo = rep_->renTitulosFin - rep_->renTitulosIni + 1;
  const QStringList esperados = titulos();
  ASSERT_EQ(esperados.size(), n);
  for (int p = 1; p <= n; ++p)
    EXPECT_EQ(texto(r, titulo, 4 + p), esperados[p - 1]) << p;
  EXPECT_EQ(texto(r, titulo, 5 + n), "Total");
  EXPECT_EQ(texto(r, titulo - 1, 5), "2025");
  EXPECT_EQ(rep_->ultimaColumnaReporte, 5 + n);

  const std::vector<Concepto> todos = conceptos();
  const std::vector<int> renglones = renglonesConcepto(r, todos);
  ASSERT_EQ(renglones.size(), todos.size());
  std::vector<int> conVolumen(size_t(n) + 1);
  for (size_t i = 0; i < todos.size(); ++i) {
    const Concepto& c = todos[i];
    SCOPED_TRACE(c.codigo.toStdString());
    double suma = 0;
    for (int p = 1; p <= n; ++p) {
      if (c.volumenes.contains(p)) {
        EXPECT_DOUBLE_EQ(numero(r, renglones[i], 4 + p), c.volumenes[p]) << p;
        suma += c.volumenes[p];
        ++conVolumen[size_t(p)];
      } else {
        EXPECT_EQ(texto(r, renglones[i], 4 + p), " ") << p;
      }
    }
    EXPECT_NEAR(numero(r, renglones[i], 5 + n), c.cantidad, 1e-9);
    EXPECT_NEAR(suma, c.cantidad, 1e-9);
  }
  for (int p = 1; p <= n; ++p)
    EXPECT_GT(conVolumen[size_t(p)], 0) << p;
}

// "Montos mensuales" of the same bids: each concept's amounts by period add up to its amount, no
// period is without amounts, and the closing block adds up each period.
TEST_P(CuadrosPeriodicos, AmountsInEveryPeriod) {
  const int n = GetParam().periodos;
  elige(repgen::kMontosMensuales);
  ASSERT_TRUE(rep_->GeneraReporte());
  ASSERT_TRUE(cajas_.shown().empty()) << cajas_.texts().join('|').toStdString();
  guarda(QStringLiteral("montos-") + GetParam().nombre);
  const wb::Book& r = rep_->Reporte;
  const int titulo = rep_->renTitulosFin - rep_->renTitulosIni + 1;
  EXPECT_EQ(texto(r, titulo, 4), titulos().value(0));
  EXPECT_EQ(texto(r, titulo, 4 + n), "Total");

  const std::vector<Concepto> todos = conceptos();
  const std::vector<int> renglones = renglonesConcepto(r, todos);
  ASSERT_EQ(renglones.size(), todos.size());
  std::vector<Currency> porPeriodo(size_t(n) + 1);
  for (size_t i = 0; i < todos.size(); ++i) {
    const Concepto& c = todos[i];
    SCOPED_TRACE(c.codigo.toStdString());
    Currency suma;
    for (int p = 1; p <= n; ++p)
      if (c.volumenes.contains(p)) {
        const Currency m = Currency::fromDouble(numero(r, renglones[i], 3 + p));
        suma += m;
        porPeriodo[size_t(p)] += m;
      }
    EXPECT_EQ(suma, KorGen::Redondea(c.precio * c.paridad * c.cantidad));
    EXPECT_DOUBLE_EQ(numero(r, renglones[i], 4 + n), suma.toDouble());
  }
  int ren = 1;
  while (ren <= r.lastRow() && texto(r, ren, 1) != "Suma Total")
    ++ren;
  ASSERT_LE(ren, r.lastRow());
  for (int p = 1; p <= n; ++p) {
    EXPECT_GT(porPeriodo[size_t(p)], Currency()) << p;
    EXPECT_DOUBLE_EQ(numero(r, ren, 3 + p), porPeriodo[size_t(p)].toDouble()) << p;
  }
  EXPECT_DOUBLE_EQ(numero(r, ren, 3), 10561618.87);
}

// A schedule wider than the paper: every printed page, across as well as down, shows the code of
// each concept on it, the title block and the column headings, and the closing labels of "Montos
// mensuales" beside their figures. The concept's columns are the workbook's print titles and the
// strips its column breaks, kept in the .xlsx, and each strip fits the page also at the widths a
// spreadsheet program that reads them wider prints: any program prints the same pages.
TEST_P(CuadrosPeriodicos, EveryPageAcrossShowsItsConcepts) {
  QSet<QString> codigos;
  const std::vector<Concepto> todos = conceptos();
  for (const Concepto& c : todos)
    codigos.insert(c.codigo);
  for (const int tipo : {repgen::kProgramaObra, repgen::kMontosMensuales}) {
    SCOPED_TRACE(tipo);
    elige(tipo);
    ASSERT_TRUE(rep_->GeneraReporte());
    const wb::Book& r = rep_->Reporte;
    guarda(QStringLiteral("ancho-%1-%2").arg(tipo).arg(GetParam().nombre));
    const int periodo = tipo == repgen::kProgramaObra ? 5 : 4;  // the template's period column
    const wb::PageSetup& pagina = r.pageSetup();
    ASSERT_EQ(pagina.titleCols, std::make_optional(std::make_pair(1, periodo - 1)));
    const wb::SheetPrintLayout impreso(r.workbook(), r.currentSheet(), QPageSize(QPageSize::Letter));
    const int tiras = int(pagina.colBreaks.size()) + 1;
    ASSERT_GT(tiras, 1) << "the schedule must be wider than the paper";
    EXPECT_EQ(impreso.pageCount(), rep_->numeroPagina * tiras);

    // Each strip fits the page at the widest reading of the widths.
    const double escala = wb::metrics::colWidthSpread(r.workbook().defaultFont());
    double titulos = 0;
    for (int c = 1; c < periodo; ++c)
      titulos += r.colWidth(c);
    const double cuerpo = 11 * 1440 - (pagina.left + pagina.right) * 1440;
    std::vector<int> inicios{periodo};
    inicios.insert(inicios.end(), pagina.colBreaks.begin(), pagina.colBreaks.end());
    inicios.push_back(pagina.printArea->c2 + 1);
    for (size_t i = 0; i + 1 < inicios.size(); ++i) {
      double ancho = titulos;
      for (int c = inicios[i]; c < inicios[i + 1]; ++c)
        ancho += r.colWidth(c);
      EXPECT_LE(ancho * escala, cuerpo) << "strip " << i + 1;
    }

    samples::RecordingDevice hoja(QSizeF(15840, 12240));
    int conCodigos = 0;
    for (int p = 0; p < impreso.pageCount(); ++p) {
      SCOPED_TRACE(p + 1);
      hoja.clear();
      QPainter pintor(&hoja);
      impreso.paintPage(pintor, p);
      pintor.end();
      const wb::Range cuerpoPagina = impreso.pagination().pages[size_t(p)].body;
      EXPECT_TRUE(hoja.contains("CLAVE"));
      for (int ren = cuerpoPagina.r1; ren <= cuerpoPagina.r2; ++ren) {
        const QString codigo = texto(r, ren, 1);
        if (codigos.contains(codigo)) {
          EXPECT_TRUE(hoja.contains(codigo)) << codigo.toStdString() << " of row " << ren;
          ++conCodigos;
        }
        for (const char* etiqueta : {"Suma Total", "Total Acumulado", "Imp. Total redondeado al peso inmediato sup.",
                                     "Total Acumulado redondeado al peso inmediato sup."})
          if (codigo == QLatin1String(etiqueta))
            EXPECT_TRUE(hoja.contains(codigo)) << etiqueta;
      }
    }
    EXPECT_EQ(conCodigos, int(todos.size()) * tiras);

    // As a spreadsheet program reads the workbook.
    const QString xlsx = ruta(QStringLiteral("ancho.xlsx"));
    r.write(xlsx);
    wb::Book leido;
    leido.read(xlsx);
    EXPECT_EQ(leido.pageSetup().titleCols, pagina.titleCols);
    EXPECT_EQ(leido.pageSetup().colBreaks, pagina.colBreaks);
    EXPECT_EQ(leido.pageSetup().rowBreaks, pagina.rowBreaks);
  }
}

// By fiscal year, a project from September to February: its first year has more periods than its
// second, and every period of both is printed, its title on some page; the print area reaches the
// widest year, not only the last one. Every printed page shows period titles of its own beside the
// concept's columns: where the shorter year has no periods left, its strip holds nothing and is no
// page, as spreadsheet programs leave out a page with nothing of its own.
TEST_P(CuadrosPeriodicos, ByFiscalYearEveryPeriodIsPrintedAndNoPageIsEmpty) {
  ejecuta("UPDATE Presupuesto SET FechaIni = FechaIni + 182, FechaFin = FechaFin + 182");
  quarvel::dbObra->Execute("UPDATE DatosGenerales SET FechaInicioProy = FechaInicioProy + 182, "
                           "FechaFinalProy = FechaFinalProy + 182, FechaTope = FechaTope + 182");
  testsupport::cambiaPeriodicidad(*quarvel::dbObra, GetParam().codigo);
  maneobra::abreRecordSets();
  const QDate inicio(2025, 9, 1), fin(2026, 2, 27);
  QSet<QString> titulos{QStringLiteral("Total")};
  for (QDate d = inicio; d <= fin; d = d.addDays(1))
    if (d == inicio || testsupport::periodoCalendario(d, inicio, GetParam().codigo) !=
                           testsupport::periodoCalendario(d.addDays(-1), inicio, GetParam().codigo))
      titulos.insert(d.toString(QStringLiteral("dd/MM")));
  for (const int tipo : {repgen::kProgramaObra, repgen::kMontosMensuales}) {
    SCOPED_TRACE(tipo);
    elige(tipo);
    opcion("ImpPorEjer", true);
    opcion("EjerInicio", 2025);
    opcion("EjerFinal", 2026);
    ASSERT_TRUE(rep_->GeneraReporte());
    const wb::Book& r = rep_->Reporte;
    guarda(QStringLiteral("ejercicios-%1-%2").arg(tipo).arg(GetParam().nombre));
    const wb::SheetPrintLayout impreso(r.workbook(), r.currentSheet(), QPageSize(QPageSize::Letter));
    samples::RecordingDevice hoja(QSizeF(15840, 12240));
    QSet<QString> impresos;
    QStringList solas;  // pages of the concept's columns alone
    for (int p = 0; p < impreso.pageCount(); ++p) {
      hoja.clear();
      QPainter pintor(&hoja);
      impreso.paintPage(pintor, p);
      pintor.end();
      bool propios = false;
      for (const samples::DrawnText& t : hoja.texts)
        if (titulos.contains(t.text)) {
          impresos.insert(t.text);
          propios = true;
        }
      if (!propios)
        solas << QString::number(p + 1);
    }
    EXPECT_TRUE(solas.isEmpty()) << "pages " << solas.join(' ').toStdString() << " of " << impreso.pageCount();
    EXPECT_TRUE(impresos == titulos) << "not printed: "
                                     << QStringList((titulos - impresos).values()).join(' ').toStdString();
  }
}

INSTANTIATE_TEST_SUITE_P(Casos, CuadrosPeriodicos, ::testing::ValuesIn(testsupport::kPeriodicidades),
                         [](const auto& info) { return std::string(info.param.nombre); });

}  // namespace
