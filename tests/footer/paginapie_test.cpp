// The footer page on a real bid: rows typed into the grid are checked, written to Pie, evaluated, their
// totals written back and the integrated factor stored; deletes renumber; each edition edits what it
// may.
#include "piefixture.h"

#include "manos_grid.h"

#include "evaluador.h"
#include "korgen.h"

#include <QApplication>
#include <QDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

namespace {

using piefixture::cur;
using piefixture::Fila;
using vb::Currency;
using vb::Variant;

class Pagina : public piefixture::PieTest {};

TEST_F(Pagina, TheWorkedFooterTypedInTheGridIsWrittenEvaluatedAndItsFactorStored) {
  abre("TORNAVO.KOR", 1);
  ASSERT_EQ(grid().RowCount(), 1);  // the add-new line only
  struct Renglon {
    const char* texto;
    QStringList refs;
    const char* factor;
    const char* porcen;
  };
  const Renglon renglones[] = {
      {"Costo directo", {"99"}, "", ""},
      {"Indirectos", {"1"}, "12.5", "%"},
      {"Subtotal", {"1", "2"}, "", ""},
      {"Utilidad", {"3"}, "10", "%"},
      {"Total", {"3", "4"}, "", ""},
  };
  for (int i = 0; i < 5; ++i) {
    const Renglon& r = renglones[i];
    // The description first: it writes the row and numbers it; a reference typed before the row has
    // its number would be refused.
    ASSERT_TRUE(escribe(i, "Texto", r.texto)) << i;
    for (int k = 0; k < r.refs.size(); ++k) ASSERT_TRUE(escribe(i, qPrintable(QString("Renglon%1").arg(k + 1)), r.refs[k]));
    if (*r.factor) {
      ASSERT_TRUE(escribe(i, "Factor", r.factor));
    }
    if (*r.porcen) {
      ASSERT_TRUE(escribe(i, "Porcen", r.porcen));
    }
  }
  EXPECT_TRUE(cajas.shown().empty()) << cajas.texts().join(" | ").toStdString();

  const std::vector<Fila> filas = pie();
  ASSERT_EQ(filas.size(), 5u);
  for (int i = 0; i < 5; ++i) {
    EXPECT_EQ(filas[i].renglon, i + 1);
    EXPECT_EQ(filas[i].texto, renglones[i].texto);
    EXPECT_EQ(filas[i].operacion, "*");  // the design's "0" becomes "*" when written
    EXPECT_TRUE(filas[i].imprime);
  }
  EXPECT_EQ(filas[2].refs, (std::vector<int>{1, 2, 0, 0, 0, 0, 0, 0, 0}));
  EXPECT_EQ(totales(), (std::vector<Currency>{cur("100"), cur("12.5"), cur("112.5"), cur("11.25"), cur("123.75")}));
  EXPECT_EQ(factorIntegrado(), cur("1.2375"));
  EXPECT_EQ(quarvel::rsDatosGenerales->Value("FactorIntegrado").toCurrency(), cur("1.2375"));
  // The grid was reloaded with the totals and its place kept.
  EXPECT_EQ(grid().CellText(4, col("Total")), "$123.75");
  EXPECT_EQ(grid().CellText(1, col("Total")), "$12.50");
  EXPECT_EQ(grid().Row(), 4);
  EXPECT_EQ(grid().Col(), col("Renglon2"));
  EXPECT_EQ(pagina->evaluador(), nullptr);  // released after a whole pass
}

TEST_F(Pagina, AFactorTypedInTheCellEditorIsWrittenAndTheGridReloadedInPlace) {
  abre("Ejemplo.mdb", 2);
  pagina->show();
  pagina->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(pagina.get()));
  pagina->Form_Activate();
  EXPECT_TRUE(grid().hasFocus());
  grid().setCurrentIndex(grid().model()->index(1, col("Factor")));
  QTest::keyClick(&grid(), Qt::Key_F2);
  auto* editor = grid().findChild<QLineEdit*>();
  ASSERT_TRUE(editor);
  editor->selectAll();
  QTest::keyClicks(editor, "10");
  QTest::keyClick(editor, Qt::Key_Return);
  QCoreApplication::processEvents();  // the view closes its editor in a queued call
  EXPECT_EQ(pie()[1].factor, 10.0);
  EXPECT_EQ(totales()[3], cur("115"));
  EXPECT_EQ(grid().CellText(3, col("Total")), "$115.00");
  EXPECT_EQ(grid().Row(), 1);
  EXPECT_EQ(grid().Col(), col("Factor"));
  EXPECT_TRUE(cajas.shown().empty()) << cajas.texts().join(" | ").toStdString();
}

TEST_F(Pagina, EachCellIsCheckedBeforeItsRowIsWritten) {
  abre("Ejemplo.mdb", 1);
  const std::vector<Fila> antes = pie();
  ASSERT_EQ(antes.size(), 10u);
  const QString referencia =
      " es un número incorrecto. El renglón debe ser menor al que está en uso, o tener el valor de 99.";
  const QString numero = QStringLiteral(" debe ser un número, con punto decimal \".\" (por ejemplo 1,234.50)");
  const QString sinReferencia = "El renglón de referencia" + numero;
  const QString sinFactor = "El factor" + numero;
  struct Caso {
    int fila;
    const char* campo;
    QString texto;
    QString mensaje;   // shown (exclamation) or empty
    Variant guardado;  // the field in Pie afterwards
  };
  const Caso casos[] = {
      {2, "Renglon2", "3", "3" + referencia, Variant(int16_t(0))},
      {2, "Renglon2", "5", "5" + referencia, Variant(int16_t(0))},
      {2, "Renglon2", "99", "", Variant(int16_t(99))},
      {2, "Renglon2", "2", "", Variant(int16_t(2))},
      {2, "Renglon2", "x", sinReferencia, Variant(int16_t(2))},   // not a number: refused
      {2, "Renglon2", "1,0", sinReferencia, Variant(int16_t(2))}, // a comma that is no thousands separator
      {2, "Factor", "x", sinFactor, Variant(5.0)},
      {2, "Factor", "", sinFactor, Variant(5.0)},  // cleared: refused
      {2, "Factor", "6", "", Variant(6.0)},
      {2, "Factor", "12,5", sinFactor, Variant(6.0)},
      {2, "Factor", "0,500", sinFactor, Variant(6.0)},
      {2, "Factor", "1,012.5", "", Variant(1012.5)},
      {2, "Operacion", "+", "Operación incorrecta. Debe ser multiplicación (*) o división (/).", Variant("*")},
      {2, "Operacion", "/", "", Variant("/")},
      {2, "Operacion", "", "", Variant("*")},
      {2, "Texto", " ", "", Variant("Indirectos de campo")},  // a row without text is not written
  };
  for (const Caso& c : casos) {
    SCOPED_TRACE((QString(c.campo) + " <- '" + c.texto + "'").toStdString());
    if (!c.mensaje.isEmpty()) cajas.answer(ui::vbOK);
    const size_t antesCajas = cajas.shown().size();
    escribe(c.fila, c.campo, c.texto);
    if (c.mensaje.isEmpty()) {
      EXPECT_EQ(cajas.shown().size(), antesCajas) << cajas.texts().join(" | ").toStdString();
    } else {
      ASSERT_EQ(cajas.shown().size(), antesCajas + 1);
      EXPECT_EQ(cajas.shown().back().prompt, c.mensaje);
      EXPECT_EQ(cajas.shown().back().icon(), ui::vbExclamation);
    }
    auto rs = quarvel::dbObra->OpenRecordset(QString("SELECT %1 FROM Pie WHERE Renglon = 3").arg(c.campo),
                                            dao::RecordsetType::Snapshot);
    const Variant v = rs->Value(c.campo);
    EXPECT_EQ(vb::Compare(v, c.guardado), 0) << v.toString().toStdString();
  }
  // The base and line flags of a row whose print flag is off cannot be changed.
  quarvel::dbObra->Execute("UPDATE Pie SET ImprimirRenglon = 0 WHERE Renglon = 4");
  pagina->CargaPie();
  cajas.answer(ui::vbOK);
  EXPECT_FALSE(escribe(3, "ImprimirBase", "True"));
  EXPECT_EQ(cajas.shown().back().prompt,
            "El renglón no puede ser modificado. Para poder hacerlo, la opcion Imprimir debe estar selecionada.");
  EXPECT_FALSE(pie()[3].imprime);
  EXPECT_TRUE(escribe(3, "ImprimirRenglon", "True"));
  EXPECT_TRUE(escribe(3, "ImprimirBase", "True"));
  auto rs = quarvel::dbObra->OpenRecordset("SELECT ImprimirBase FROM Pie WHERE Renglon = 4", dao::RecordsetType::Snapshot);
  EXPECT_TRUE(rs->Value("ImprimirBase").toBool());
}

TEST_F(Pagina, AHeadingWithoutReferencesCarriesZeroAndTheRowsAfterItAreStillEvaluated) {
  abre("TORNAVO.KOR", 1);
  const char* filas[] = {"1, 'Costo directo', 99, 0, '*', 0, ' '", "2, 'INDIRECTOS', 0, 0, '*', 0, ' '",
                         "3, 'Indirectos', 1, 0, '*', 10, '%'", "4, 'Total', 1, 3, '*', 0, ' '"};
  for (const char* f : filas)
    quarvel::dbObra->Execute(
        QString("INSERT INTO Pie (Renglon, Texto, Renglon1, Renglon2, Operacion, Factor, Porcen) VALUES (%1)").arg(f));
  pagina->CargaPie();
  pagina->Form_Activate();
  EXPECT_TRUE(cajas.shown().empty()) << cajas.texts().join(" | ").toStdString();
  EXPECT_EQ(totales(), (std::vector<Currency>{cur("100"), cur("0"), cur("10"), cur("110")}));
  EXPECT_EQ(grid().CellText(1, col("Total")), "$0.00");
  EXPECT_EQ(grid().CellText(3, col("Total")), "$110.00");
  // The statement of the last total written.
  pagina->CalculaPieTotal();
  EXPECT_EQ(pagina->UltimaSentencia(), "UPDATE Pie SET Total = 110 WHERE   Renglon = 4 ");
  // A reference to such a row names nothing: the pass stops with the evaluation's message, and no
  // row keeps a total of the footer as it was (the closing row needs every row, so the pass stops at
  // the first).
  quarvel::dbObra->Execute("UPDATE Pie SET Renglon2 = 2 WHERE Renglon = 4");
  cajas.answer(ui::vbOK);
  pagina->Form_Activate();
  ASSERT_EQ(cajas.shown().size(), 1u);
  EXPECT_EQ(cajas.shown()[0].prompt, "frmDatGen.CalculaPieTotal 500 - Variable no definida: 'E2'");
  EXPECT_EQ(sinTotal(), (std::vector<int>{1, 2, 3, 4}));
  for (int i = 0; i < 4; ++i) EXPECT_EQ(grid().CellText(i, col("Total")), "") << i;
  EXPECT_EQ(pagina->CalculaFactorIntegrado(), cur("0"));
}

TEST_F(Pagina, TheFormulasOfEachRowShape) {
  abre("TORNAVO.KOR", 1);
  struct Caso {
    QString refs;  // nine references
    QString op;    // "NULL" for none
    QString factor;
    QString porcen;
    QString formula;
  };
  const Caso casos[] = {
      {"99,0,0,0,0,0,0,0,0", "'*'", "0", "' '", "round((V99)*1+ VA,2)"},
      {"1,0,0,0,0,0,0,0,0", "'*'", "12.5", "'%'", "round((E1)*(12.5/ 100)+ VA,2)"},
      {"1,2,0,0,0,0,0,0,0", "'*'", "0", "NULL", "round((E1+E2)*1+ VA,2)"},
      {"3,0,0,0,0,0,0,5,0", "'*'", "1", "' '", "round((E3-E5)*1+ VA,2)"},
      {"1,2,0,0,0,0,0,0,0", "'/'", "0", "' '", "(E1+E2)"},
      {"0,0,0,0,0,0,0,5,0", "'*'", "0", "' '", "round((E5)*1+ VA,2)"},
      {"2,0,0,0,0,0,0,0,99", "'*'", "0", "' '", "round((E2+V99)*1+ VA,2)"},
      {"3,0,0,0,0,0,0,0,0", "'/'", "0", "'%'", "(E3)"},
      {"3,0,0,0,0,0,0,0,0", "'*'", "0", "'%'", "round((E3)*(0/ 100)+ VA,2)"},
      {"1,0,0,0,0,0,0,0,0", "'*'", "-5", "' '", "round((E1)*-5+ VA,2)"},
      {"1,0,0,0,0,0,0,0,0", "'*'", "0.00001", "' '", "round((E1)*1E-05+ VA,2)"},
      {"1,2,0,0,0,0,0,0,0", "NULL", "7", "' '", "(E1+E2)"},
  };
  for (size_t i = 0; i < std::size(casos); ++i)
    quarvel::dbObra->Execute(QString("INSERT INTO Pie (Renglon, Texto, Renglon1, Renglon2, Renglon3, Renglon4, Renglon5, "
                                     "Renglon6, Renglon7, Renglon8, Renglon9, Operacion, Factor, Porcen) "
                                     "VALUES (%1, 'r', %2, %3, %4, %5)")
                                 .arg(i + 1)
                                 .arg(casos[i].refs, casos[i].op, casos[i].factor, casos[i].porcen));
  pagina->AsignaIndirectosAevaluador();
  ASSERT_TRUE(pagina->evaluador());
  for (size_t i = 0; i < std::size(casos); ++i) {
    auto e = pagina->evaluador()->Expresiones()->Item(QString("E%1").arg(i + 1));
    ASSERT_TRUE(e) << i;
    EXPECT_EQ(e->Valor().toString(), casos[i].formula) << i;
  }
  // A total whose third decimal is a 5 goes up.
  quarvel::dbObra->Execute("DELETE FROM Pie");
  quarvel::dbObra->Execute("INSERT INTO Pie (Renglon, Texto, Renglon1, Operacion, Factor, Porcen) VALUES (1, 'a', 99, '*', 0, ' ')");
  quarvel::dbObra->Execute("INSERT INTO Pie (Renglon, Texto, Renglon1, Operacion, Factor, Porcen) VALUES (2, 'b', 1, '*', 12.345, '%')");
  pagina->CargaPie();
  pagina->CalculaPieTotal();
  EXPECT_EQ(totales()[1], cur("12.35"));
  EXPECT_EQ(pagina->CalculaFactorIntegrado(), cur("0.1235"));
  // An empty footer: nothing to evaluate, and a factor of 0.
  quarvel::dbObra->Execute("DELETE FROM Pie");
  pagina->CargaPie();
  pagina->CalculaPieTotal();
  EXPECT_EQ(pagina->CalculaFactorIntegrado(), cur("0"));
  EXPECT_TRUE(cajas.shown().empty()) << cajas.texts().join(" | ").toStdString();
}

TEST_F(Pagina, RenumberingKeepsEachReferenceOnTheRowItNamed) {
  abre("TORNAVO.KOR", 1);
  // Numbers with gaps, as a damaged file may hold them; references to no row, to the row itself and
  // to 94-99 among them.
  const char* filas[] = {"1, 'Costo directo', 99, 0, 0, 0, 0, 0, 0, 0, 0",
                         "2, 'Indirectos', 1, 0, 0, 0, 0, 0, 0, 0, 0",
                         "4, 'Subtotal', 1, 2, 0, 0, 0, 0, 0, 0, 0",
                         "5, 'Utilidad', 4, 0, 95, 0, 0, 0, 0, 0, 0",
                         "7, 'Total', 4, 5, 0, 0, 0, 0, 7, 6, 99"};
  for (const char* f : filas)
    quarvel::dbObra->Execute(QString("INSERT INTO Pie (Renglon, Texto, Renglon1, Renglon2, Renglon3, Renglon4, Renglon5, "
                                     "Renglon6, Renglon7, Renglon8, Renglon9, Operacion, Factor, Porcen) "
                                     "VALUES (%1, '*', 0, ' ')")
                                 .arg(f));
  pagina->RenumeraPie();
  const std::vector<Fila> despues = pie();
  ASSERT_EQ(despues.size(), 5u);
  const std::vector<std::vector<int>> refs = {{99, 0, 0, 0, 0, 0, 0, 0, 0},
                                              {1, 0, 0, 0, 0, 0, 0, 0, 0},
                                              {1, 2, 0, 0, 0, 0, 0, 0, 0},
                                              {3, 0, 95, 0, 0, 0, 0, 0, 0},
                                              {3, 4, 0, 0, 0, 0, 0, 0, 99}};
  for (size_t i = 0; i < despues.size(); ++i) {
    EXPECT_EQ(despues[i].renglon, int(i + 1));
    EXPECT_EQ(despues[i].refs, refs[i]) << despues[i].texto.toStdString();
  }
  ASSERT_EQ(grid().RowCount(), 6);
  EXPECT_EQ(grid().CellText(4, col("Renglon")), "5");
  EXPECT_EQ(grid().CellText(4, col("Texto")), "Total");
  // Which rows use a row: the (-) columns count.
  EXPECT_EQ(pagina->RenglonesQueUsan(3), (std::vector<int>{4, 5}));
  EXPECT_EQ(pagina->RenglonesQueUsan(4), (std::vector<int>{5}));
  EXPECT_TRUE(pagina->RenglonesQueUsan(5).empty());
  EXPECT_TRUE(cajas.shown().empty()) << cajas.texts().join(" | ").toStdString();
}

using testsupport::borraConSelector;
using testsupport::tecleaCelda;

TEST_F(Pagina, AfterADeleteTheRenumberedFooterIsEvaluatedAgainAndItsFactorStored) {
  abre("Ejemplo.mdb", 1, [](const QString& obra, const QString&) {
    // A stale factor shows whether the delete stored a new one.
    auto db = dao::DBEngine::OpenDatabase(obra, true, false, quarvel::kConexion);
    ejecuta(*db, "UPDATE DatosGenerales SET FactorIntegrado = 9.9999");
    db->Close();
  });
  pagina->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(pagina.get()));
  // The closing row goes: the last row left closes the footer now.
  borraConSelector(grid(), 9);
  ASSERT_EQ(pie().size(), 9u);
  const std::vector<Currency> esperados = {cur("100"),    cur("8"),     cur("5"),     cur("113"), cur("1.36"),
                                           cur("114.36"), cur("11.44"), cur("125.8"), cur("0.63")};
  EXPECT_EQ(totales(), esperados);
  for (int i = 0; i < 9; ++i)
    EXPECT_EQ(grid().CellText(i, col("Total")), ui::UnboundGrid::formatValue(Variant(esperados[size_t(i)]), "Currency"))
        << i;
  EXPECT_EQ(factorIntegrado(), cur("0.0063"));
  EXPECT_EQ(quarvel::rsDatosGenerales->Value("FactorIntegrado").toCurrency(), cur("0.0063"));
  EXPECT_TRUE(cajas.shown().empty()) << cajas.texts().join(" | ").toStdString();
}

TEST_F(Pagina, ALockedBidRefusesEveryFooterEditWithTheGridsMessage) {
  const QString cerrada = "La base de datos esta cerrada no se puede modificar";
  for (const char* cierre : {"BaseCerrada", "Cerrada"})
    for (int16_t edicion : {int16_t(1), int16_t(2)}) {
      SCOPED_TRACE(std::string(cierre) + " edition " + std::to_string(edicion));
      TearDown();
      abre("Ejemplo.mdb", edicion, [&](const QString& obra, const QString&) {
        auto db = dao::DBEngine::OpenDatabase(obra, true, false, quarvel::kConexion);
        ejecuta(*db, QString("UPDATE DatosGenerales SET %1 = True").arg(cierre));
        db->Close();
      });
      pagina->show();
      ASSERT_TRUE(QTest::qWaitForWindowExposed(pagina.get()));
      QStringList modales;
      ui::Forms::instance().setModalRunner([&](QDialog* d) {
        modales << d->objectName();
        return 0;
      });
      const std::vector<Fila> antes = pie();
      const vb::Currency factor = factorIntegrado();
      const int cajasAntes = int(cajas.shown().size());
      int intentos = 0;
      auto intenta = [&](const char* que, const std::function<void()>& accion) {
        SCOPED_TRACE(que);
        cajas.answer(ui::vbOK);
        ++intentos;
        accion();
        ASSERT_EQ(int(cajas.shown().size()), cajasAntes + intentos);
        EXPECT_EQ(cajas.shown().back().prompt, cerrada);
        EXPECT_EQ(cajas.shown().back().icon(), ui::vbInformation);
      };
      // A typed value refused stays in its cell's editor, as in every grid: the user gives it up with
      // Escape.
      auto tecleaYDesiste = [&](int fila, int columna, const QString& texto) {
        tecleaCelda(grid(), fila, columna, texto);
        auto* editor = qobject_cast<QLineEdit*>(QApplication::focusWidget());
        ASSERT_NE(editor, nullptr);
        EXPECT_EQ(editor->text(), texto);
        QTest::keyClick(editor, Qt::Key_Escape);
        QCoreApplication::processEvents();
      };
      intenta("factor", [&] { tecleaYDesiste(1, col("Factor"), "25"); });
      if (edicion == 1) {
        intenta("text", [&] { tecleaYDesiste(2, col("Texto"), "otro"); });
        intenta("print flag", [&] {
          grid().setCurrentIndex(grid().model()->index(3, col("ImprimirRenglon")));
          QTest::keyClick(&grid(), Qt::Key_Space);
        });
        intenta("new row", [&] { tecleaYDesiste(grid().Array()->Rows(), col("Texto"), "nuevo"); });
        intenta("delete", [&] { borraConSelector(grid(), 1); });
        intenta("open format", [&] { pagina->Command6->click(); });
        intenta("clear", [&] { pagina->Commmand3->click(); });
        intenta("contractors' formats", [&] { pagina->Command1->click(); });
      }
      const std::vector<Fila> despues = pie();
      ASSERT_EQ(despues.size(), antes.size());
      for (size_t i = 0; i < antes.size(); ++i) {
        EXPECT_EQ(despues[i].texto, antes[i].texto) << i;
        EXPECT_EQ(despues[i].factor, antes[i].factor) << i;
        EXPECT_EQ(despues[i].imprime, antes[i].imprime) << i;
        EXPECT_EQ(despues[i].total, antes[i].total) << i;
      }
      EXPECT_EQ(factorIntegrado(), factor);
      EXPECT_EQ(grid().RowCount(), int(antes.size()) + (edicion == 1 ? 1 : 0));
      EXPECT_TRUE(modales.isEmpty()) << modales.join(", ").toStdString();
    }
}

TEST_F(Pagina, TheContractingBodyEditsTheWholeFooter) {
  abre("Ejemplo.mdb", 1);
  EXPECT_TRUE(grid().AllowAddNew());
  EXPECT_TRUE(grid().AllowDelete());
  EXPECT_EQ(grid().RowCount(), 11);
  for (QPushButton* b : {pagina->Command1, pagina->Command5, pagina->Command6, pagina->Commmand3})
    EXPECT_FALSE(b->isHidden()) << b->objectName().toStdString();
  for (int c = 0; c < grid().ColumnCount(); ++c) EXPECT_TRUE(grid().CellEditable(0, c)) << c;
}

TEST_F(Pagina, TheContractorEditsOnlyTheFactors) {
  abre("Ejemplo.mdb", 2);
  EXPECT_FALSE(grid().AllowAddNew());
  EXPECT_FALSE(grid().AllowDelete());
  EXPECT_EQ(grid().RowCount(), 10);
  for (QPushButton* b : {pagina->Command1, pagina->Command5, pagina->Command6, pagina->Commmand3})
    EXPECT_TRUE(b->isHidden()) << b->objectName().toStdString();
  // "No.", "Total" and the format column included: nothing but the factor takes typing.
  for (int c = 0; c < grid().ColumnCount(); ++c) {
    const QString campo = grid().Columns(c).DataField();
    EXPECT_EQ(grid().CellEditable(0, c), campo == "Factor") << campo.toStdString();
  }
  // The office overhead goes from 8 % to 10 %: every total after it follows.
  ASSERT_TRUE(escribe(1, "Factor", "10"));
  EXPECT_FALSE(escribe(1, "Texto", "otro"));
  EXPECT_FALSE(escribe(1, "Renglon", "7"));
  EXPECT_FALSE(escribe(1, "Total", "7"));
  grid().SetRow(1);
  EXPECT_FALSE(grid().Delete());
  const std::vector<Currency> t = totales();
  EXPECT_EQ(t[1], cur("10"));
  EXPECT_EQ(t[3], cur("115"));
  EXPECT_EQ(pie().size(), 10u);
  EXPECT_EQ(pie()[1].texto, "Indirectos de oficina central");
  EXPECT_EQ(factorIntegrado(), vb::CCur(Variant(KorGen::redondeaEspecial(t[9].toDouble() / 100, 4))));
  EXPECT_TRUE(cajas.shown().empty()) << cajas.texts().join(" | ").toStdString();
}

}  // namespace
