// Every report of the sample bid, in full and as the window's sample: nothing shown but the report,
// every placeholder filled, and the pages the program made are the pages of its PDF.
#include "dao.h"
#include "escritores.h"
#include "obraprueba.h"
#include "printing.h"
#include "quarvel.h"
#include "recorder.h"

#include <QFile>
#include <QPainter>
#include <QRegularExpression>
#include <QSet>

namespace {

using prueba::texto;

// Pages of a PDF file, counted by its page objects.
int paginasPdf(const QString& ruta) {
  QFile f(ruta);
  if (!f.open(QIODevice::ReadOnly))
    return -1;
  static const QRegularExpression pagina(QStringLiteral("/Type\\s*/Page(?!s)"));
  return int(QString::fromLatin1(f.readAll()).count(pagina));
}

// Cells of the report whose text still holds a placeholder.
QStringList etiquetasSinLlenar(const wb::Book& r) {
  QStringList quedan;
  for (int ren = 1; ren <= r.lastRow(); ++ren)
    for (int col = 1; col <= r.lastCol(); ++col) {
      const QString t = texto(r, ren, col);
      if (t.contains(QLatin1Char('{')))
        quedan << QStringLiteral("%1,%2: %3").arg(ren).arg(col).arg(t);
    }
  return quedan;
}

class Escritores : public prueba::ObraPrueba {};

struct Reporte {
  int tipo;
  const char* nombre;
  const char* primero;  // the first concept's code, or the first section's
  int clave;            // its column
  int columna;          // the column of its amount
};

const Reporte kReportes[] = {
    {repgen::kPresupuesto, "presupuesto", "PRE-001", 1, 7},
    {repgen::kTotalesPresupuesto, "totales", "A", 1, 4},
    {repgen::kProgramaObra, "programa", "PRE-001", 1, 4},
    {repgen::kMontosMensuales, "montos", "PRE-001", 1, 3},
    {repgen::kConceptosPrecios, "conceptos", "PRE-001", 2, 8},
};

TEST_F(Escritores, EveryReportOfTheSampleBid) {
  for (const Reporte& k : kReportes) {
    SCOPED_TRACE(k.nombre);
    elige(k.tipo);
    ASSERT_TRUE(rep_->GeneraReporte());
    EXPECT_TRUE(cajas_.shown().empty()) << cajas_.texts().join(QLatin1Char('|')).toStdString();
    const wb::Book& r = rep_->Reporte;
    EXPECT_EQ(etiquetasSinLlenar(r), QStringList());
    // Bid documents of many pages, each page as the program made it.
    EXPECT_GT(rep_->numeroPagina, 1);
    EXPECT_EQ(wb::SheetPrintLayout(r.workbook(), r.currentSheet(), QPageSize(QPageSize::Letter)).pageCount(),
              rep_->numeroPagina);
    const QString pdf = ruta(QStringLiteral("%1.pdf").arg(k.nombre));
    wb::PrintService::instance().exportPdf(r, pdf);
    EXPECT_EQ(paginasPdf(pdf), rep_->numeroPagina);
    guarda(QStringLiteral("reporte-") + k.nombre);
  }
}

// The sample: the first concept (or section row) and nothing after it but the report's closing.
TEST_F(Escritores, TheSampleOfEveryReport) {
  for (const Reporte& k : kReportes) {
    SCOPED_TRACE(k.nombre);
    elige(k.tipo);
    ASSERT_TRUE(rep_->GeneraMuestra());
    EXPECT_TRUE(cajas_.shown().empty()) << cajas_.texts().join(QLatin1Char('|')).toStdString();
    const wb::Book& r = rep_->Reporte;
    EXPECT_EQ(etiquetasSinLlenar(r), QStringList());
    // Codes of concepts, or of sections for the totals by section.
    QSet<QString> claves;
    auto& rs = k.tipo == repgen::kTotalesPresupuesto ? *quarvel::rsPartidasClon : *quarvel::rsPresupuestoClon;
    const QString campo = k.tipo == repgen::kTotalesPresupuesto ? QStringLiteral("Partida") : QStringLiteral("Codigo");
    for (rs.MoveFirst(); !rs.EOF_(); rs.MoveNext())
      claves.insert(vb::CStr(rs.Value(campo)));
    int filas = 0;
    for (int ren = 1; ren <= r.lastRow(); ++ren) {
      const QString clave = texto(r, ren, k.clave);
      if (!claves.contains(clave))
        continue;
      ++filas;
      EXPECT_EQ(clave, QLatin1String(k.primero));
      EXPECT_FALSE(texto(r, ren, k.columna).isEmpty()) << ren;
    }
    EXPECT_EQ(filas, 1);
    guarda(QStringLiteral("muestra-") + k.nombre);
  }
}

// Amounts of any size print in figures, none as "#" for want of room, on every page of every report,
// however narrow the amount columns of "Montos mensuales" are made for the budget's figures: the
// sample's, prices a hundred times the sample's (a budget over a thousand million), credits (negative
// prices) among them, and a budget at the bound, 999,999,999,999.40, whose totals rounded up to the
// next peso are 1,000,000,000,000.00.
TEST_F(Escritores, AmountsOfAnySizeFitTheirColumns) {
  struct Caso {
    const char* nombre;
    std::vector<const char*> sql;
  };
  const Caso casos[] = {
      {"muestra", {}},
      {"x100", {"UPDATE Presupuesto SET Precio = Precio * 100"}},
      {"negativos", {"UPDATE Presupuesto SET Precio = -Precio WHERE Partida LIKE 'A0?001'"}},
      {"cota",
       {"UPDATE Presupuesto SET Precio = 0, Moneda = 'PESOS'",
        "UPDATE Presupuesto SET Precio = 333333333333.1333 WHERE Codigo = 'EQ-001' AND Partida = 'A06001'"}},
  };
  for (const Caso& caso : casos) {
    SCOPED_TRACE(caso.nombre);
    for (const char* sql : caso.sql)
      ejecuta(sql);
    for (const Reporte& k : kReportes) {
      SCOPED_TRACE(k.nombre);
      elige(k.tipo);
      ASSERT_TRUE(rep_->GeneraReporte());
      const wb::Book& r = rep_->Reporte;
      const wb::SheetPrintLayout impreso(r.workbook(), r.currentSheet(), QPageSize(QPageSize::Letter));
      samples::RecordingDevice hoja(QSizeF(12240, 15840));
      QStringList almohadillas;
      int billones = 0;  // figures of 1,000,000,000,000.00 printed
      for (int p = 0; p < impreso.pageCount(); ++p) {
        hoja.clear();
        QPainter pintor(&hoja);
        impreso.paintPage(pintor, p);
        pintor.end();
        for (const samples::DrawnText& t : hoja.texts) {
          if (!t.text.isEmpty() && t.text.count(u'#') == t.text.size())
            almohadillas << QStringLiteral("page %1").arg(p + 1);
          billones += t.text.contains(QStringLiteral("1,000,000,000,000.00")) ? 1 : 0;
        }
      }
      EXPECT_TRUE(almohadillas.isEmpty()) << almohadillas.join(QLatin1Char(' ')).toStdString();
      if (QLatin1String(caso.nombre) == QLatin1String("cota") &&
          (k.tipo == repgen::kMontosMensuales || k.tipo == repgen::kConceptosPrecios))
        EXPECT_GT(billones, 0);
      guarda(QStringLiteral("%1-%2").arg(caso.nombre, k.nombre));
    }
  }
}

// However much of the last page the concepts fill, the closing totals and the last foot stay on
// pages of the program's making: concepts of one line each, the budget shortened one at a time (for
// one report, then further for the other). Also as a spreadsheet program prints the workbook: its
// print header and its footer each take some room from the page's body (LibreOffice: about 75
// twips), and every page's rows fit in what is left.
TEST_F(Escritores, ClosingTotalsStayOnTheirPage) {
  constexpr double kEncabezadoAjeno = 75;  // twips a spreadsheet program takes for a header or a footer
  ejecuta("UPDATE Presupuesto SET Descri = ' ', Texto = 'Concepto'");
  for (int tipo : {repgen::kMontosMensuales, repgen::kConceptosPrecios}) {
    SCOPED_TRACE(tipo);
    for (int quitados = 0; quitados < 30; ++quitados) {
      SCOPED_TRACE(quitados);
      elige(tipo);
      ASSERT_TRUE(rep_->GeneraReporte());
      const wb::Book& r = rep_->Reporte;
      ASSERT_EQ(wb::SheetPrintLayout(r.workbook(), r.currentSheet(), QPageSize(QPageSize::Letter)).pageCount(),
                rep_->numeroPagina);
      const wb::PageSetup& ps = r.pageSetup();
      ASSERT_FALSE(ps.header.isEmpty() || ps.footer.isEmpty());
      const double cuerpo = (ps.landscape ? 12240 : 15840) - (ps.top + ps.bottom) * 1440 - 2 * kEncabezadoAjeno;
      std::vector<int> inicios = prueba::iniciosDePagina(r);
      inicios.push_back(r.lastRow() + 1);
      for (size_t p = 0; p + 1 < inicios.size(); ++p) {
        double alto = 0;
        for (int ren = inicios[p]; ren < inicios[p + 1]; ++ren)
          alto += r.rowHeight(ren);
        EXPECT_LE(alto, cuerpo) << "page " << p + 1 << " of " << inicios.size() - 1;
      }
      quitaUltimoConcepto();
    }
  }
}

}  // namespace
