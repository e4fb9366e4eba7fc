// Copying template looks, the writing primitives, and the page change at its edges.
#include "copiaformato.h"
#include "dao.h"
#include "obraprueba.h"
#include "quarvel.h"

namespace {

using prueba::numero;
using prueba::texto;
using repgen::ContextoReporte;

// ---------------------------------------------------------------- copying looks (two bare books)

class Copia : public ::testing::Test {
protected:
  wb::Book plantilla, reporte;
  // Gives a template cell a look and a text.
  void celda(int ren, int col, const wb::CellStyle& s, const QString& t = QStringLiteral("x")) {
    plantilla.setActiveCell(ren, col);
    plantilla.setCellStyle(s);
    plantilla.setText(t);
  }
  static wb::CellStyle estilo() {
    wb::CellStyle s;
    s.font.name = QStringLiteral("Times New Roman");
    s.font.bold = true;
    s.font.color = 0x1F3864;
    s.fill = {1, 0xD9D9D9, 0xFFFFFF};
    s.left = s.right = {wb::LineStyle::Thin, 0x123456};
    s.h = wb::HAlign::Center;
    s.v = wb::VAlign::Top;
    s.wrap = true;
    s.numFmt = QStringLiteral("$#,##0.00");
    return s;
  }
};

TEST_F(Copia, ACellsLookIsCopiedWithItsFontInWholePoints) {
  const std::pair<int, int> tamanos[] = {{230, 240}, {250, 240}, {210, 200}, {190, 200}, {160, 160}};
  for (auto [plantillaTwips, reporteTwips] : tamanos) {
    SCOPED_TRACE(plantillaTwips);
    wb::CellStyle s = estilo();
    s.font.sizeTwips = plantillaTwips;
    celda(2, 3, s);
    wb::CellStyle previo;
    previo.indent = 2;
    reporte.setActiveCell(5, 1);
    reporte.setCellStyle(previo);
    repgen::copiaSeccion(plantilla, reporte);
    wb::CellStyle esperado = s;
    esperado.font.sizeTwips = reporteTwips;
    esperado.indent = 2;  // not part of a look that is copied
    EXPECT_EQ(reporte.cellStyle(), esperado);
    EXPECT_TRUE(reporte.isEmpty());
  }
}

TEST_F(Copia, FontPatternAndFormatOnlyLeaveAlignmentAndBorders) {
  celda(2, 3, estilo());
  wb::CellStyle previo;
  previo.h = wb::HAlign::Right;
  previo.top = {wb::LineStyle::Medium, 0};
  reporte.setActiveCell(1, 1);
  reporte.setCellStyle(previo);
  repgen::copiaBordes(plantilla, reporte);
  const wb::CellStyle& r = reporte.cellStyle();
  EXPECT_EQ(r.h, wb::HAlign::Right);
  EXPECT_EQ(r.top.style, wb::LineStyle::Medium);
  EXPECT_EQ(r.left.style, wb::LineStyle::None);
  EXPECT_FALSE(r.wrap);
  EXPECT_TRUE(r.font.bold);
  EXPECT_EQ(r.font.name, "Times New Roman");
  EXPECT_EQ(r.fill.fg, 0xD9D9D9u);
  EXPECT_EQ(r.numFmt, "$#,##0.00");
}

// A formula whose result is an error travels with its formula; the template's current cell stays
// on the copied cell.
TEST_F(Copia, AnErrorFormulaIsCopiedWithItsFormula) {
  celda(3, 2, estilo());
  wb::Cell& c = plantilla.currentSheet().cellAt(3, 2);
  c.type = wb::Cell::Type::Error;
  c.text = QStringLiteral("#VALUE!");
  c.formula = QStringLiteral("\"x\"+1");
  plantilla.setActiveCell(1, 1);
  reporte.setActiveCell(5, 4);
  repgen::copiaCeldaAncho(plantilla, 2, 3, reporte, true);
  const wb::Cell* copiada = reporte.currentSheet().cell(5, 4);
  ASSERT_TRUE(copiada);
  EXPECT_EQ(copiada->formula, "\"x\"+1");
  EXPECT_EQ(reporte.text(), "#VALUE!");
  EXPECT_TRUE(reporte.cellStyle().font.bold);
  EXPECT_EQ(plantilla.row(), 3);
  EXPECT_EQ(plantilla.col(), 2);
}

TEST_F(Copia, CellWithWidthAndWithinTheTemplate) {
  celda(18, 4, estilo());
  plantilla.setColWidth(4, 1500);
  plantilla.setActiveCell(1, 1);
  reporte.setActiveCell(7, 9);
  repgen::copiaFormatoCelda(plantilla, 4, 18, reporte);
  EXPECT_EQ(reporte.colWidth(9), 1500);
  EXPECT_EQ(reporte.cellStyle().numFmt, "$#,##0.00");
  EXPECT_EQ(plantilla.row(), 1);
  // The template as target: the look goes to the template's current cell.
  plantilla.setActiveCell(18, 6);
  repgen::copiaCelda(plantilla, 4, 18, plantilla);
  EXPECT_EQ(plantilla.row(), 18);
  EXPECT_EQ(plantilla.col(), 6);
  EXPECT_EQ(plantilla.cellStyle().numFmt, "$#,##0.00");
  EXPECT_TRUE(plantilla.isEmpty());
}

TEST_F(Copia, EveryDrawingObjectIsSelected) {
  repgen::recorreObjetos(reporte);
  EXPECT_FALSE(reporte.objectsSelected());
  const int a = reporte.addShape(wb::DrawingObject::Kind::Line, {1, 2, 3, 2});
  const int b = reporte.addShape(wb::DrawingObject::Kind::Rect, {1, 4, 3, 6});
  repgen::recorreObjetos(reporte);
  EXPECT_EQ(reporte.selectedObjects(), (std::vector<int>{a, b}));
}

// ---------------------------------------------------------------- primitives and page changes

class Escritura : public prueba::ObraPrueba {
protected:
  // Generates a report of the kind whose writer is `escritor`.
  void genera(int tipo, std::function<void(ContextoReporte&)> escritor) {
    elige(tipo);
    rep_->setEscritor(tipo, std::move(escritor));
    ASSERT_TRUE(rep_->GeneraReporte());
  }
  // "Presupuesto" with its titles written: the description cell of the template is B19.
  void conTitulos(std::function<void(ContextoReporte&)> resto) {
    genera(repgen::kPresupuesto, [&](ContextoReporte& rep) {
      rep.Reporte.setActiveCell(1, 1);
      rep.imprimeTitulos();
      resto(rep);
    });
  }
};

TEST_F(Escritura, WritingAValueWithATemplateCellsLook) {
  conTitulos([](ContextoReporte& rep) {
    wb::Book& r = rep.Reporte;
    const int ren = r.row();
    // Template row "0" or column 0: nothing, though the row has moved.
    rep.repEscribeTexto("nada", 2, 2, "0", false, true, false, false, true, false);
    EXPECT_EQ(r.row(), ren + 1);
    EXPECT_TRUE(texto(r, ren + 1, 2).isEmpty());
    rep.repEscribeTexto("nada", 0, 2, 19, false, false, false, false, true, false);
    EXPECT_TRUE(texto(r, ren + 1, 2).isEmpty());
    try {
      rep.repEscribeTexto("nada", 2, 2, "B19", false, false, false, false, true, false);
      ADD_FAILURE() << "a template row that is no number";
    } catch (const vb::Error& e) {
      EXPECT_EQ(e.number(), 13);
    }
    // A number read from text, in the look of the amount cell G19, bold, with a rule on top.
    const double antes = rep.altoUsado;
    rep.repEscribeTexto("1,234.50", 7, 7, "19", true, true, true, true, true, false);
    EXPECT_DOUBLE_EQ(numero(r, ren + 2, 7), 1234.5);
    EXPECT_EQ(texto(r, ren + 2, 7), "$1,234.50");
    EXPECT_TRUE(r.cellStyle().font.bold);
    const wb::Book::Borders b = r.border();
    EXPECT_EQ(b.top, 1);
    EXPECT_EQ(b.left + b.right + b.bottom, 0);
    EXPECT_DOUBLE_EQ(rep.altoUsado, antes + r.rowHeight(ren + 2));
    // Without the whole look the alignment stays the report cell's.
    rep.repEscribeTexto("pza", 3, 3, "19", false, true, false, false, false, false);
    EXPECT_EQ(r.alignment().h, wb::HAlign::General);
    EXPECT_EQ(r.cellStyle().font.sizeTwips, 160);
  });
}

TEST_F(Escritura, AValueWithAFixedNumberFormat) {
  conTitulos([](ContextoReporte& rep) {
    wb::Book& r = rep.Reporte;
    const int ren = r.row() + 1;
    r.setRow(ren);
    rep.EscribeFuente(0.125, 4, 7, 19, false, 3, false);
    EXPECT_EQ(texto(r, ren, 4), "12.5000%");
    rep.EscribeFuente("abc", 4, 7, 19, true, 3, true);  // one column further, text unformatted
    EXPECT_EQ(texto(r, ren, 5), "abc");
    EXPECT_EQ(r.numberFormat(), "$#,##0.00");
    EXPECT_TRUE(r.cellStyle().font.bold);
    rep.EscribeFuente(1500, 2, 7, 19, false, 2, false);
    EXPECT_EQ(texto(r, ren, 2), "1,500.00");
    EXPECT_EQ(r.row(), ren);
  });
}

TEST_F(Escritura, BlankLinesAdvanceAndCount) {
  conTitulos([](ContextoReporte& rep) {
    const int ren = rep.Reporte.row();
    const double antes = rep.altoUsado;
    rep.lineaEnBlancoSinSombra();
    EXPECT_EQ(rep.Reporte.row(), ren + 2);
    EXPECT_EQ(rep.Reporte.rowHeight(ren + 1), 50);
    EXPECT_DOUBLE_EQ(rep.altoUsado, antes + 50 + rep.Reporte.defaultRowHeight());
  });
}

// The page changes when the used height reaches the page body, not before.
TEST_F(Escritura, APageIsFullWhenItsHeightIsReached) {
  conTitulos([](ContextoReporte& rep) {
    rep.altoUsado = rep.altoUtil - 1;
    rep.imprimePieyTitulos(false, false, 1, true);
    EXPECT_EQ(rep.numeroPagina, 1);
    rep.altoUsado = rep.altoUtil;
    rep.imprimePieyTitulos(false, false, 1, true);
    EXPECT_EQ(rep.numeroPagina, 2);
    EXPECT_EQ(rep.Reporte.pageSetup().rowBreaks.size(), 1u);
  });
}

// The filler row takes 99.5% of what the page has left, unless that is 50 twips or less.
TEST_F(Escritura, TheFillerRowPutsTheFootAtTheBottom) {
  struct Caso {
    double libre;
    int filler;  // 0: none
  };
  for (const Caso c : {Caso{1000, 995}, Caso{51, 51}, Caso{50, 0}}) {
    SCOPED_TRACE(c.libre);
    conTitulos([&](ContextoReporte& rep) {
      const int ultimo = rep.Reporte.row();
      rep.altoUsado = rep.altoUtil - c.libre;
      rep.revisaSaltoHoja(true);
      const int pie = c.filler ? ultimo + 2 : ultimo + 1;
      if (c.filler) {
        EXPECT_EQ(rep.Reporte.rowHeight(ultimo + 1), c.filler);
      }
      EXPECT_EQ(texto(rep.Reporte, pie + 1, 2), "ZAPOPAN, JAL., a 14/02/2025");
    });
  }
}

// A page change carries the last rows written (here two) to the new page, below its titles; a
// break moves the row's amount to the next page unless a description is being continued.
TEST_F(Escritura, APageChangeCarriesTheLastRowsAndTheirAmount) {
  for (bool continuacion : {false, true}) {
    SCOPED_TRACE(continuacion);
    conTitulos([&](ContextoReporte& rep) {
      ASSERT_TRUE(rep.cargaTotalesMoneda());
      wb::Book& r = rep.Reporte;
      const int primero = r.row() + 1;
      rep.repEscribeTexto("primero", 2, 2, 19, false, true, false, true, true, false);
      rep.repEscribeTexto("segundo", 2, 2, 19, false, true, false, true, true, false);
      rep.acumulaMoneda("pesos", 2, vb::Currency::fromInt(300));
      rep.acumulaMoneda("PESOS", 3, vb::Currency::fromInt(300));
      rep.importeRenglon = vb::Currency::fromInt(100);
      rep.monedaRenglon = QStringLiteral("PESOS");
      rep.escribiendoContinuacion = continuacion;
      rep.imprimePieyTitulos(true, true, 2, true);
      // The old places are the foot (after the filler) now; nothing of the rows shows there.
      EXPECT_TRUE(texto(r, primero, 2).isEmpty());
      EXPECT_NE(texto(r, primero + 1, 2), "segundo");
      const int ultimoPie = *r.pageSetup().rowBreaks.begin() - 1;
      EXPECT_EQ(texto(r, ultimoPie, 5), "PESOS");
      EXPECT_DOUBLE_EQ(numero(r, ultimoPie, 6), continuacion ? 300 : 200);
      EXPECT_DOUBLE_EQ(numero(r, ultimoPie, 7), continuacion ? 300 : 200);
      // The new page: titles, then the two rows, the current row on the second.
      EXPECT_EQ(r.row(), rep.renFinTitulos + 2);
      EXPECT_EQ(texto(r, rep.renFinTitulos + 1, 2), "primero");
      EXPECT_EQ(texto(r, rep.renFinTitulos + 2, 2), "segundo");
      EXPECT_DOUBLE_EQ(rep.altoUsado, r.rowHeight(rep.renFinTitulos + 1) + r.rowHeight(rep.renFinTitulos + 2));
      EXPECT_EQ(rep.totalesMoneda[1].pagina, vb::Currency::fromInt(continuacion ? 0 : 100));
      EXPECT_EQ(rep.totalesMoneda[1].acumulado, vb::Currency::fromInt(300));
      EXPECT_EQ(rep.Formato.row(), rep.renDetalleIni);
    });
  }
}

// Without a page foot nor a logo the sheet repeats the titles itself: they are written once, made
// the print titles, and a page change copies nothing and breaks nothing.
TEST_F(Escritura, TitlesLeftToTheSheet) {
  genera(repgen::kTotalesPresupuesto, [](ContextoReporte& rep) {
    ASSERT_TRUE(rep.sinRepetirTitulos);
    wb::Book& r = rep.Reporte;
    r.setActiveCell(1, 1);
    rep.imprimeTitulos();
    const int fin = rep.renFinTitulos;
    EXPECT_EQ(r.pageSetup().titleRows, std::make_pair(1, fin));
    EXPECT_EQ(r.row(), fin);
    rep.repEscribeTexto("fila", 2, 2, 17, false, true, false, true, true, false);
    const int ultimo = r.lastRow();
    rep.revisaSaltoHoja(false);  // no foot: nothing at all
    EXPECT_EQ(r.row(), fin + 1);
    rep.altoUsado = rep.altoUtil;
    rep.imprimePieyTitulos(false, false, 1, true);
    EXPECT_EQ(rep.numeroPagina, 2);
    EXPECT_TRUE(r.pageSetup().rowBreaks.empty());
    EXPECT_EQ(r.lastRow(), ultimo);
    EXPECT_EQ(texto(r, fin + 1, 2), "fila");
  });
}

TEST_F(Escritura, PartidaLevelsFromTheGeneralData) {
  ejecuta("UPDATE DatosGenerales SET nivel1 = 3, nivel2 = 2, nivel3 = 0, nivel4 = 4, nivel5 = 0, nivel6 = 0, nivel7 = 0");
  rep_->NivelMaximo();
  EXPECT_EQ(rep_->NivelesUsados, 4);
  const int16_t prefijos[] = {3, 5, 5, 9, 9, 9, 9};
  for (int k = 1; k <= 7; ++k)
    EXPECT_EQ(rep_->longitudNivel[size_t(k)], prefijos[k - 1]) << k;

  ejecuta("UPDATE DatosGenerales SET nivel1 = 2, nivel2 = 2, nivel3 = 2, nivel4 = 0");
  rep_->NivelMaximo();
  ASSERT_EQ(rep_->NivelesUsados, 3);
  struct Caso {
    const char* codigo;
    int nivel;
  };
  for (const Caso c : {Caso{"AB", 1}, Caso{"ABCD", 2}, Caso{"ABCDE", 3}, Caso{"ABCDEFG", 4}, Caso{"  AB  ", 1}})
    EXPECT_EQ(rep_->nivelPartida(c.codigo), c.nivel) << c.codigo;
  EXPECT_EQ(rep_->partidaNivel("A01002", 2), "A010");
  EXPECT_EQ(rep_->partidaNivel("A01002", 1), "A0");
  for (int nivel : {0, 8})
    EXPECT_EQ(rep_->partidaNivel("A01002", nivel), "");
  for (int nivel = 1; nivel <= 7; ++nivel)
    EXPECT_EQ(rep_->partidaNivel("   ", nivel), "");
}

// The budget's total for the header of the reports: in national currency when the budget has several
// currencies (each amount by its currency's parity), else in its one currency as it is.
TEST_F(Escritura, BudgetTotalsAndParities) {
  const auto totalLetra = [] {
    repgen::calculaTotalLetra();
    quarvel::rsDatosGenerales->Requery();
    return vb::CStr(quarvel::rsDatosGenerales->Value("Totalletra"));
  };
  EXPECT_EQ(totalLetra(), "$10,561,618.87");  // 10,365,572.62 pesos + 11,365.00 dollars at 17.25
  // PESOS at parity 1, DOLARES at 17.25.
  EXPECT_DOUBLE_EQ(repgen::paridadMoneda("DOLARES"), 17.25);
  EXPECT_DOUBLE_EQ(repgen::paridadMoneda("O'HIGGINS"), 0);
  EXPECT_EQ(repgen::totalMonedaNacional(), vb::Currency::fromScaled(103655726200LL) +
                                               vb::Currency::fromDouble(11365 * 17.25));
  EXPECT_EQ(totalLetra(), vb::Format(vb::Variant(repgen::totalMonedaNacional()), "$###,###,###,##0.00##"));
  // A currency missing from Monedas adds nothing.
  ejecuta("UPDATE Presupuesto SET Moneda = 'EUROS' WHERE Moneda = 'DOLARES'");
  EXPECT_EQ(repgen::totalMonedaNacional(), vb::Currency::fromScaled(103655726200LL));
  EXPECT_EQ(totalLetra(), "$10,365,572.62");
  // One currency: its amounts as they are, whatever its parity.
  for (const char* moneda : {"DOLARES", "PESOS", "EUROS"}) {
    ejecuta(QStringLiteral("UPDATE Presupuesto SET Moneda = '%1'").arg(moneda));
    EXPECT_EQ(totalLetra(), "$10,376,937.62") << moneda;
  }
  // An empty budget totals zero.
  ejecuta("DELETE FROM Programa");
  ejecuta("DELETE FROM Presupuesto");
  EXPECT_EQ(totalLetra(), "$0.00");
  EXPECT_EQ(repgen::mesAbreviado(13), "");
  EXPECT_EQ(repgen::mesAbreviado(8), "Ago");
}

}  // namespace

namespace {

// A template without page foot but with a logo repeats its titles: a page change breaks the page,
// writes the titles there and the carried row after them.
TEST_F(Escritura, TitlesRepeatedWithoutAFoot) {
  wb::Book plantilla;
  plantilla.read(ruta("Parator2.kor"));
  plantilla.setActiveCell(1, 2);
  plantilla.setText("{logotipo}");
  plantilla.write(ruta("conlogo.kor"));
  elige(repgen::kTotalesPresupuesto, "conlogo.kor");
  rep_->setEscritor(repgen::kTotalesPresupuesto, [](ContextoReporte& rep) {
    ASSERT_FALSE(rep.sinRepetirTitulos);
    wb::Book& r = rep.Reporte;
    r.setActiveCell(1, 1);
    rep.imprimeTitulos();
    const int titulos = rep.renFinTitulos;
    rep.repEscribeTexto("uno", 2, 2, 17, false, true, false, true, true, false);
    rep.repEscribeTexto("dos", 2, 2, 17, false, true, false, true, true, false);
    rep.altoUsado = rep.altoUtil;
    rep.imprimePieyTitulos(false, false, 1, true);
    EXPECT_EQ(r.pageSetup().rowBreaks, std::set<int>{titulos + 2});
    EXPECT_EQ(texto(r, titulos + 1, 2), "uno");
    EXPECT_EQ(texto(r, titulos + 2, 1), texto(r, 1, 1));  // the titles again
    EXPECT_EQ(rep.renFinTitulos, 2 * titulos + 1);
    EXPECT_EQ(texto(r, rep.renFinTitulos + 1, 2), "dos");
    EXPECT_EQ(r.row(), rep.renFinTitulos + 1);
    EXPECT_FALSE(r.pageSetup().titleRows.has_value());
  });
  ASSERT_TRUE(rep_->GeneraReporte());
}

}  // namespace
