// The generation driver on the shipped templates and the sample bid: sections, currency rows,
// period columns, page set-up, and the messages of a template without sections.
#include "dao.h"
#include "obraprueba.h"
#include "printing.h"
#include "qt_print.h"
#include "quarvel.h"

namespace {

using prueba::texto;
using repgen::ContextoReporte;

class Generacion : public prueba::ObraPrueba {};

struct Secciones {
  int tipo;
  int titulosIni, titulosFin, detalleIni, detalleFin, pieIni, pieFin;
};

// Found by their markers in the first column; the page foot runs to the last used row, and the
// budget's has one currency row per currency of the bid (the sample has two).
TEST_F(Generacion, SectionsAreFoundByTheirMarkers) {
  const Secciones casos[] = {
      {repgen::kPresupuesto, 2, 17, 19, 19, 21, 29},
      {repgen::kTotalesPresupuesto, 2, 15, 17, 17, 0, 0},
      {repgen::kProgramaObra, 2, 14, 16, 16, 18, 23},
      {repgen::kMontosMensuales, 2, 14, 16, 16, 18, 23},
      {repgen::kConceptosPrecios, 2, 16, 18, 18, 20, 27},
  };
  for (const Secciones& s : casos) {
    SCOPED_TRACE(s.tipo);
    elige(s.tipo);
    rep_->setEscritor(s.tipo, [](ContextoReporte&) {});
    ASSERT_TRUE(rep_->GeneraReporte());
    EXPECT_EQ(rep_->renTitulosIni, s.titulosIni);
    EXPECT_EQ(rep_->renTitulosFin, s.titulosFin);
    EXPECT_EQ(rep_->renDetalleIni, s.detalleIni);
    EXPECT_EQ(rep_->renDetalleFin, s.detalleFin);
    EXPECT_EQ(rep_->renPieIni, s.pieIni);
    EXPECT_EQ(rep_->renPieFin, s.pieFin);
  }
}

}  // namespace

namespace {

// With two currencies the template's currency row is made twice, each numbered for its currency:
// the label of currency 2 stands beside the amounts of currency 2.
TEST_F(Generacion, EveryCurrencyGetsACopyOfTheCurrencyRowWithItsOwnPlaceholders) {
  elige(repgen::kPresupuesto);
  rep_->setEscritor(repgen::kPresupuesto, [](ContextoReporte&) {});
  ASSERT_TRUE(rep_->GeneraReporte());
  wb::Book& f = rep_->Formato;
  EXPECT_EQ(f.lastRow(), 29);
  const QStringList esperadas[] = {{"{Moneda01}", "{parcial01}", "{acumulado01}"},
                                   {"{Moneda02}", "{parcial02}", "{acumulado02}"}};
  for (int i = 0; i < 2; ++i) {
    SCOPED_TRACE(i);
    const int ren = 28 + i;
    EXPECT_EQ(texto(f, ren, 5), esperadas[i][0]);
    EXPECT_EQ(texto(f, ren, 6), esperadas[i][1]);
    EXPECT_EQ(texto(f, ren, 7), esperadas[i][2]);
    f.setActiveCell(ren, 5);
    EXPECT_EQ(f.font().name, "Arial");
    EXPECT_EQ(f.font().sizeTwips, 160);
    f.setActiveCell(ren, 6);
    EXPECT_EQ(f.numberFormat(), "$#,##0.00");
    EXPECT_EQ(f.border().top, 1);
  }
  // The rows above the currency rows did not move.
  EXPECT_EQ(texto(f, 27, 6), "IMPORTE DE ESTA HOJA");
}

TEST_F(Generacion, OneCurrencyKeepsTheTemplatesCurrencyRow) {
  ejecuta("UPDATE Presupuesto SET Moneda='PESOS'");
  elige(repgen::kPresupuesto);
  rep_->setEscritor(repgen::kPresupuesto, [](ContextoReporte&) {});
  ASSERT_TRUE(rep_->GeneraReporte());
  EXPECT_EQ(rep_->Formato.lastRow(), 28);
  EXPECT_EQ(texto(rep_->Formato, 28, 5), "{Moneda01}");
  EXPECT_EQ(rep_->renPieFin, 28);
}

TEST_F(Generacion, ABidWithoutCurrencyTotalsGeneratesNothing) {
  ejecuta("DELETE FROM Programa");
  ejecuta("DELETE FROM Presupuesto");
  elige(repgen::kPresupuesto);
  bool llamado = false;
  rep_->setEscritor(repgen::kPresupuesto, [&](ContextoReporte&) { llamado = true; });
  EXPECT_FALSE(rep_->GeneraReporte());
  EXPECT_FALSE(llamado);
  EXPECT_TRUE(rep_->Reporte.repaint());
}

// The 6-period schedule: the page foot's "{parciales}" look reaches the columns of the six periods
// and the year's subtotal, so copying the foot formats every amount it writes, and no further.
TEST_F(Generacion, PeriodColumnsTakeTheLookOfTheAmountsPlaceholder) {
  elige(repgen::kMontosMensuales);
  rep_->setEscritor(repgen::kMontosMensuales, [](ContextoReporte&) {});
  ASSERT_TRUE(rep_->GeneraReporte());
  wb::Book& f = rep_->Formato;
  f.setActiveCell(18, 4);
  const wb::CellStyle parciales = f.cellStyle();
  ASSERT_EQ(parciales.numFmt, "#,##0.00");
  for (int col = 5; col <= 4 + 6; ++col) {
    SCOPED_TRACE(col);
    f.setActiveCell(18, col);
    EXPECT_EQ(f.cellStyle(), parciales);
    EXPECT_TRUE(f.isEmpty());
  }
  f.setActiveCell(18, 11);
  EXPECT_NE(f.cellStyle(), parciales);
  EXPECT_EQ(rep_->columnasFormato, 10);
  // The "{importe}" anchor's row gets its look over the same columns.
  f.setActiveCell(15, 3);
  const wb::CellStyle importe = f.cellStyle();
  f.setActiveCell(15, 10);
  EXPECT_EQ(f.cellStyle(), importe);
}

struct Plantilla {
  const char* nombre;
  int ren, col;  // the cell emptied
  const char* mensaje;
};

TEST_F(Generacion, ATemplateWithoutTitlesOrDetailIsRefused) {
  const Plantilla casos[] = {
      {"sintitulos.kor", 1, 1, "Necesita identificar la seccion de titulos, rectifique "},
      {"sindetalle.kor", 18, 1, "Necesita identificar la seccion de detalle, rectifique "},
  };
  for (const Plantilla& c : casos) {
    SCOPED_TRACE(c.nombre);
    wb::Book plantilla;
    plantilla.read(ruta("Parator1.kor"));
    plantilla.setActiveCell(c.ren, c.col);
    plantilla.setText(QString());
    plantilla.write(ruta(c.nombre));
    elige(repgen::kPresupuesto, c.nombre);
    bool llamado = false;
    rep_->setEscritor(repgen::kPresupuesto, [&](ContextoReporte&) { llamado = true; });
    cajas_.answer(ui::vbOK);
    EXPECT_FALSE(rep_->GeneraReporte());
    EXPECT_FALSE(llamado);
    ASSERT_FALSE(cajas_.shown().empty());
    EXPECT_EQ(cajas_.shown().back().prompt, c.mensaje);
    EXPECT_TRUE(rep_->Reporte.repaint());
  }
}

// The page budget of a template: paper of the printer turned as the template prints, less the
// margins, the titles, the page foot and 700 twips.
TEST_F(Generacion, PageSetUpBudgetsThePaperOfTheTemplatesOrientation) {
  struct Caso {
    int tipo;
    int orientacion;
    double papel;
    bool logotipo, sinRepetir;
  };
  const Caso casos[] = {
      {repgen::kPresupuesto, 1, 15840, true, false},
      {repgen::kTotalesPresupuesto, 1, 15840, false, true},
      {repgen::kMontosMensuales, 2, 12240, true, false},
  };
  for (const Caso& c : casos) {
    SCOPED_TRACE(c.tipo);
    elige(c.tipo);
    rep_->setEscritor(c.tipo, [](ContextoReporte&) {});
    ASSERT_TRUE(rep_->GeneraReporte());
    EXPECT_EQ(rep_->impresora->orientacion(), c.orientacion);
    const double margenes = (rep_->Reporte.printTopMargin() + rep_->Reporte.printBottomMargin()) * 2.54 * 565.0;
    EXPECT_DOUBLE_EQ(rep_->altoPapel, c.papel - margenes);
    EXPECT_DOUBLE_EQ(rep_->altoUtil, rep_->altoPapel - rep_->altoTitulos - rep_->altoPie - 700);
    EXPECT_GT(rep_->altoTitulos, 0);
    EXPECT_EQ(rep_->hayLogotipo, c.logotipo);
    EXPECT_EQ(rep_->sinRepetirTitulos, c.sinRepetir);
    // The report is the chosen sheet alone, emptied, its pictures gone.
    EXPECT_EQ(rep_->Reporte.numSheets(), 1);
    EXPECT_EQ(rep_->Reporte.lastRow(), 0);
    EXPECT_TRUE(rep_->Reporte.currentSheet().objects.empty());
  }
}

TEST_F(Generacion, PrintHeaderAndFooterGetTheirPlaceholders) {
  elige(repgen::kPresupuesto);
  rep_->setEscritor(repgen::kPresupuesto, [](ContextoReporte&) {});
  ASSERT_TRUE(rep_->GeneraReporte());
  EXPECT_EQ(rep_->Reporte.printHeader(), "&R&8Hoja &P de &N");
  EXPECT_EQ(rep_->Reporte.printFooter(), "&L&7Concurso No. LO-SMF-OP-014/2025");
}

}  // namespace

namespace {

// Without a paper of its own the engine budgets for the program's printer, and turns it as the
// template prints.
TEST_F(Generacion, PagesAreBudgetedForTheProgramsPrinter) {
  rep_->impresora = std::make_shared<repgen::ImpresoraPrograma>();
  wb::PrintService& impresora = wb::PrintService::instance();
  for (int tipo : {repgen::kMontosMensuales, repgen::kPresupuesto}) {
    SCOPED_TRACE(tipo);
    elige(tipo);
    rep_->setEscritor(tipo, [](ContextoReporte&) {});
    ASSERT_TRUE(rep_->GeneraReporte());
    EXPECT_EQ(impresora.orientation(), tipo == repgen::kMontosMensuales ? 2 : 1);
    const double margenes = (rep_->Reporte.printTopMargin() + rep_->Reporte.printBottomMargin()) * 2.54 * 565.0;
    EXPECT_DOUBLE_EQ(rep_->altoPapel, impresora.pageHeightTwips() - margenes);
  }
}

}  // namespace

namespace {

// Without an open bid the generation fails with VB's unset-object error, and the report is shown
// again as it was.
TEST_F(Generacion, NoOpenBidIsAnErrorNotACrash) {
  const auto obra = quarvel::dbObra;
  quarvel::dbObra.reset();
  elige(repgen::kPresupuesto);
  try {
    rep_->GeneraReporte();
    ADD_FAILURE() << "generated without a bid";
  } catch (const vb::Error& e) {
    EXPECT_EQ(e.number(), 91);
  }
  EXPECT_TRUE(rep_->Reporte.repaint());
  quarvel::dbObra = obra;
}

}  // namespace
