// The footer formats: saving the bid's footer into the library, opening a library format or a
// contractor's format into the bid, deleting formats, the base footer "Num. 0" and clearing the footer.
// The format dialogs run through the form registry's modal runner, driven as a user would.
#include "piefixture.h"

#include "enter_en_boton.h"
#include "frmpieabre.h"
#include "frmpiegraba.h"
#include "placement.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <sqlite3.h>

namespace {

using piefixture::cur;
using piefixture::Fila;
using vb::Currency;

class Formatos : public piefixture::PieTest {
protected:
  // Runs each modal dialog through f (which returns when done with it).
  void alAbrir(std::function<void(QDialog*)> f) {
    ui::Forms::instance().setModalRunner([f](QDialog* d) {
      f(d);
      return 0;
    });
  }
  static bool cargado(QDialog* d) { return ui::Forms::instance().isLoaded(d); }
  static QStringList lista(PieAbreBase* d) {
    QStringList claves;
    for (int i = 0; i < d->Grid1->RowCount(); ++i) claves << d->Grid1->CellText(i, 0);
    return claves;
  }
  static void elige(PieAbreBase* d, const QString& clave) {
    for (int i = 0; i < d->Grid1->RowCount(); ++i)
      if (d->Grid1->CellText(i, 0) == clave) d->Grid1->SetRow(i);
  }
  // Saves a format into the library the way the page's "Grabar formato" does.
  void grabaFormato(const QString& nombre, const QString& descripcion) {
    alAbrir([&](QDialog* d) {
      auto* g = qobject_cast<frmPieGraba*>(d);
      ASSERT_TRUE(g);
      g->txtNombre->setText(nombre);
      g->txtDescri->setText(descripcion);
      g->Command1->click();
      if (cargado(g)) g->Command2->click();
    });
    pagina->Command5_Click();
  }
  static dao::Database& biblioteca() { return *quarvel::dbParametros; }
  static dao::Database& obra() { return *quarvel::dbObra; }
  static std::vector<Fila> formato(dao::Database& db, const QString& clave) {
    return filas(db, "SELECT * FROM CalDet WHERE Formato = '" + QString(clave).replace("'", "''") + "' ORDER BY Renglon");
  }
  static QString descripcion(dao::Database& db, const QString& clave) {
    auto rs = db.OpenRecordset("SELECT Descripcion FROM CalCab WHERE Formato = '" + QString(clave).replace("'", "''") + "'",
                               dao::RecordsetType::Snapshot);
    return rs->EOF_() ? QStringLiteral("(no está)") : rs->Value("Descripcion").toString();
  }
  // A format of three rows stored in db: the direct cost, 10 % on it, and their sum.
  static void formatoDeTres(dao::Database& db, const QString& clave) {
    const QString k = QString(clave).replace("'", "''");
    db.Execute("INSERT INTO CalCab (Formato, Descripcion) VALUES ('" + k + "', 'Tres renglones')");
    db.Execute("INSERT INTO CalDet (Formato, Renglon, Texto, Renglon1, Renglon2, Operacion, Factor, Porcen, Total, "
               "ImprimirRenglon) VALUES ('" + k + "', 1, 'Costo directo', 99, 0, '*', 0, ' ', 100, 1)");
    db.Execute("INSERT INTO CalDet (Formato, Renglon, Texto, Renglon1, Renglon2, Operacion, Factor, Porcen, Total, "
               "ImprimirRenglon) VALUES ('" + k + "', 2, 'Indirectos de O''Brien', 1, 0, '*', 10, '%', 10, 0)");
    // A factor never entered (Null) is copied as 0.
    db.Execute("INSERT INTO CalDet (Formato, Renglon, Texto, Renglon1, Renglon2, Operacion, Factor, Porcen, Total, "
               "ImprimirRenglon) VALUES ('" + k + "', 3, 'Total', 1, 2, '*', Null, ' ', 0, 1)");
  }
};

TEST_F(Formatos, TheFooterIsSavedToTheLibraryAsANewFormatOrReplacingOne) {
  abre("Ejemplo.mdb", 1);
  const std::vector<Fila> original = pie();
  grabaFormato("PRUEBA", "");
  EXPECT_TRUE(cajas.shown().empty()) << cajas.texts().join(" | ").toStdString();
  EXPECT_EQ(descripcion(biblioteca(), "PRUEBA"), " ");
  std::vector<Fila> guardado = formato(biblioteca(), "PRUEBA");
  ASSERT_EQ(guardado.size(), 10u);
  for (size_t i = 0; i < 10; ++i) {
    EXPECT_EQ(guardado[i].renglon, original[i].renglon);
    EXPECT_EQ(guardado[i].texto, original[i].texto);
    EXPECT_EQ(guardado[i].refs, original[i].refs);
    EXPECT_EQ(guardado[i].factor, original[i].factor);
    EXPECT_EQ(guardado[i].total, original[i].total);
  }
  EXPECT_EQ(guardado[9].total, cur("126.43"));
  // The bid is untouched.
  EXPECT_EQ(cuenta(obra(), "SELECT * FROM CalCab"), 1);

  // The same name again, with a shorter footer: Cancel keeps the dialog open and writes nothing.
  quarvel::dbObra->Execute("DELETE FROM Pie WHERE Renglon > 4");
  const QString pregunta = "El formato PRUEBA  ya existe. ¿Desea reemplazarlo?";
  cajas.answer(ui::vbCancel);
  bool seguiaAbierto = false;
  alAbrir([&](QDialog* d) {
    auto* g = qobject_cast<frmPieGraba*>(d);
    g->txtNombre->setText("PRUEBA");
    g->txtDescri->setText("Otra");
    g->Command1->click();
    seguiaAbierto = cargado(g) && g->txtDescri->text() == "Otra";
    g->Command2->click();
  });
  pagina->Command5_Click();
  EXPECT_TRUE(seguiaAbierto);
  ASSERT_EQ(cajas.shown().size(), 1u);
  EXPECT_EQ(cajas.shown()[0].prompt, pregunta);
  EXPECT_EQ(cajas.shown()[0].buttons, ui::vbQuestion | ui::vbOKCancel);
  EXPECT_EQ(cajas.shown()[0].title, ui::exeName());
  EXPECT_EQ(formato(biblioteca(), "PRUEBA").size(), 10u);
  EXPECT_EQ(descripcion(biblioteca(), "PRUEBA"), " ");

  // OK: the description is replaced and exactly the footer's four rows remain.
  cajas.answer(ui::vbOK);
  grabaFormato("PRUEBA", "Otra");
  EXPECT_EQ(cajas.shown().back().prompt, pregunta);
  EXPECT_EQ(descripcion(biblioteca(), "PRUEBA"), "Otra");
  guardado = formato(biblioteca(), "PRUEBA");
  ASSERT_EQ(guardado.size(), 4u);
  EXPECT_EQ(guardado[3].texto, "Subtotal");
  EXPECT_EQ(cuenta(biblioteca(), "SELECT * FROM CalCab"), 1);

  // A second name keeps the first; a quote in the name is stored as typed.
  grabaFormato("A'B", "Con comilla");
  EXPECT_EQ(formato(biblioteca(), "A'B").size(), 4u);
  EXPECT_EQ(formato(biblioteca(), "PRUEBA").size(), 4u);
  EXPECT_EQ(cajas.shown().size(), 2u);
}

TEST_F(Formatos, ASaveWithoutNameOrWithoutFooterWritesNothing) {
  abre("Ejemplo.mdb", 1);
  bool abierto = false;
  alAbrir([&](QDialog* d) {
    auto* g = qobject_cast<frmPieGraba*>(d);
    EXPECT_EQ(g->windowTitle(), "Grabar pie de página.");
    EXPECT_EQ(g->txtNombre->maxLength(), 10);
    EXPECT_EQ(g->txtDescri->maxLength(), 40);
    g->txtNombre->setText("   ");
    g->Command1->click();  // a blank name: nothing at all
    abierto = cargado(g);
    g->Command2->click();
  });
  pagina->Command5_Click();
  EXPECT_TRUE(abierto);
  EXPECT_TRUE(cajas.shown().empty());
  EXPECT_EQ(cuenta(biblioteca(), "SELECT * FROM CalCab"), 0);

  quarvel::dbObra->Execute("DELETE FROM Pie");
  cajas.answer(ui::vbOK);
  alAbrir([&](QDialog* d) {
    auto* g = qobject_cast<frmPieGraba*>(d);
    g->txtNombre->setText("VACIO");
    g->Command1->click();
    abierto = cargado(g);
    EXPECT_EQ(g->txtDescri->text(), " ");  // the blank description is already in the box
    g->reject();                           // Esc
  });
  pagina->Command5_Click();
  EXPECT_TRUE(abierto);
  ASSERT_EQ(cajas.shown().size(), 1u);
  EXPECT_EQ(cajas.shown()[0].prompt, "No hay registros por grabar.");
  EXPECT_EQ(cajas.shown()[0].icon(), ui::vbInformation);
  EXPECT_EQ(cuenta(biblioteca(), "SELECT * FROM CalCab"), 0);
  EXPECT_EQ(cuenta(biblioteca(), "SELECT * FROM CalDet"), 0);
}

TEST_F(Formatos, EnterAndTheArrowsMoveThroughTheSaveDialogAndEscClosesIt) {
  abre("Ejemplo.mdb", 1);
  QStringList recorrido;
  bool cerrado = false;
  alAbrir([&](QDialog* d) {
    auto* g = qobject_cast<frmPieGraba*>(d);
    g->show();
    g->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(g));
    g->txtNombre->setFocus();
    auto pulsa = [&](Qt::Key tecla) {
      QTest::keyClick(QApplication::focusWidget(), tecla);
      QCoreApplication::processEvents();
      recorrido << QApplication::focusWidget()->objectName();
    };
    QTest::keyClicks(g->txtNombre, "NUEVO");
    pulsa(Qt::Key_Return);
    pulsa(Qt::Key_Return);
    pulsa(Qt::Key_Up);
    pulsa(Qt::Key_Up);
    pulsa(Qt::Key_Down);
    QTest::keyClick(g->txtDescri, Qt::Key_Escape);
    cerrado = !cargado(g);
  });
  pagina->Command5_Click();
  EXPECT_EQ(recorrido, QStringList({"txtDescri", "Command1", "txtDescri", "txtNombre", "txtDescri"}));
  EXPECT_TRUE(cerrado);
  EXPECT_EQ(cuenta(biblioteca(), "SELECT * FROM CalCab"), 0);
}

TEST_F(Formatos, ALibraryFormatIsOpenedIntoTheBidAndEvaluated) {
  abre("Ejemplo.mdb", 1);
  formatoDeTres(biblioteca(), "TRES");
  formatoDeTres(biblioteca(), "A'B");
  biblioteca().Execute("INSERT INTO CalCab (Formato, Descripcion) VALUES ('HUECO', 'Sin renglones')");
  QStringList listado;
  alAbrir([&](QDialog* d) {
    auto* a = qobject_cast<frmPieAbre*>(d);
    ASSERT_TRUE(a);
    listado = lista(a);
    // A format without rows: the message, and the dialog stays.
    elige(a, "HUECO");
    a->Command1->click();
    EXPECT_TRUE(cargado(a));
    elige(a, "TRES");
    a->Command1->click();
  });
  cajas.answer(ui::vbOK);
  pagina->Command6_Click();
  EXPECT_EQ(listado, QStringList({"A'B", "HUECO", "TRES"}));
  ASSERT_EQ(cajas.shown().size(), 1u);
  EXPECT_EQ(cajas.shown()[0].prompt, "El formato no tiene datos. Seleccione otro de la lista.");
  EXPECT_EQ(cajas.shown()[0].title, ui::exeName());
  const std::vector<Fila> filas = pie();
  ASSERT_EQ(filas.size(), 3u);
  EXPECT_EQ(filas[1].texto, "Indirectos de O'Brien");
  EXPECT_FALSE(filas[1].imprime);
  EXPECT_EQ(filas[2].factor, 0);
  EXPECT_EQ(totales(), (std::vector<Currency>{cur("100"), cur("10"), cur("110")}));
  EXPECT_EQ(grid().RowCount(), 4);
  EXPECT_EQ(grid().CellText(2, col("Total")), "$110.00");
  EXPECT_FALSE(pagina->ContratistaEnVista());  // the library's formats never touch the label
}

// Enter, the main key or the keypad's, on a focused button of "Abrir formato" presses it: Cancelar
// closes the dialog with the footer as it was, Aceptar opens the chosen format.
TEST_F(Formatos, EnterOnAFocusedButtonOfTheOpenDialogPressesIt) {
  abre("Ejemplo.mdb", 1);
  formatoDeTres(biblioteca(), "TRES");
  const std::vector<Currency> antes = totales();
  ASSERT_GT(antes.size(), 3u);
  for (const testsupport::TeclaEnter tecla : testsupport::kTeclasEnter) {
    SCOPED_TRACE(testsupport::nombre(tecla));
    for (const bool acepta : {false, true}) {
      bool cerrado = false;
      alAbrir([&](QDialog* d) {
        auto* a = qobject_cast<frmPieAbre*>(d);
        ASSERT_TRUE(a);
        elige(a, "TRES");
        ASSERT_TRUE(testsupport::enterEn(acepta ? a->Command1 : a->Command2, tecla));
        cerrado = !cargado(a);
      });
      pagina->Command6_Click();
      EXPECT_TRUE(cerrado) << (acepta ? "Aceptar" : "Cancelar");
      const std::vector<Currency> tres = {cur("100"), cur("10"), cur("110")};
      EXPECT_EQ(totales(), acepta ? tres : antes);
    }
    pagina->Command2_Click();  // the base footer back for the next key
  }
  EXPECT_TRUE(cajas.shown().empty()) << cajas.texts().join(" | ").toStdString();
}

TEST_F(Formatos, DeletingAFormatAsksAndRemovesItFromItsOwnDatabase) {
  abre("Ejemplo.mdb", 1);
  formatoDeTres(biblioteca(), "TRES");
  formatoDeTres(biblioteca(), "A'B");
  const std::vector<Fila> antes = pie();
  QStringList despues;
  alAbrir([&](QDialog* d) {
    auto* a = qobject_cast<frmPieAbre*>(d);
    elige(a, "A'B");
    EXPECT_FALSE(a->Grid1->Delete());  // Cancel
    EXPECT_TRUE(a->Grid1->Delete());   // OK
    despues = lista(a);
    a->Command2->click();
  });
  cajas.answer(ui::vbCancel).answer(ui::vbOK);
  pagina->Command6_Click();
  ASSERT_EQ(cajas.shown().size(), 2u);
  EXPECT_EQ(cajas.shown()[0].prompt, "¿Realmente desea borrar el registro?");
  EXPECT_EQ(cajas.shown()[0].buttons, ui::vbQuestion | ui::vbOKCancel);
  EXPECT_EQ(despues, QStringList({"TRES"}));
  EXPECT_EQ(cuenta(biblioteca(), "SELECT * FROM CalCab"), 1);
  EXPECT_EQ(cuenta(biblioteca(), "SELECT * FROM CalDet"), 3);
  // Closing with Cancel applies nothing; the page reloads and re-evaluates the same footer.
  EXPECT_EQ(pie().size(), antes.size());
  EXPECT_EQ(totales().back(), cur("126.43"));
}

TEST_F(Formatos, AContractorsFormatIsShownOverTheBaseFooterWhichComesBack) {
  abre("Ejemplo.mdb", 1);
  formatoDeTres(obra(), "CONT1");
  // The base footer saved before is another one: the page saves the footer on show as "Num. 0".
  obra().Execute("DELETE FROM CalDet WHERE Formato = 'Num. 0' AND Renglon > 2");
  const std::vector<Fila> propio = pie();
  QStringList listado;
  alAbrir([&](QDialog* d) {
    auto* a = qobject_cast<frmPieAbre1*>(d);
    ASSERT_TRUE(a);
    listado = lista(a);
    elige(a, "CONT1");
    a->Command1->click();
  });
  pagina->Command1_Click();
  EXPECT_EQ(listado, QStringList({"CONT1"}));  // never the base footer
  EXPECT_TRUE(pagina->ContratistaEnVista());
  EXPECT_EQ(pagina->lblnumcontratista->text(), "Contratista: CONT1");
  EXPECT_EQ(pie().size(), 3u);
  EXPECT_EQ(totales(), (std::vector<Currency>{cur("100"), cur("10"), cur("110")}));
  EXPECT_EQ(formato(obra(), "Num. 0").size(), propio.size());
  EXPECT_EQ(descripcion(obra(), "Num. 0"), "Presupuesto Base");

  // A second look does not overwrite the base footer with the contractor's rows.
  alAbrir([&](QDialog* d) { qobject_cast<frmPieAbre1*>(d)->Command2->click(); });
  pagina->Command1_Click();
  EXPECT_EQ(formato(obra(), "Num. 0").size(), propio.size());

  // Restoring brings back exactly the footer shown before, its totals computed again.
  obra().Execute("UPDATE CalDet SET Total = 0 WHERE Formato = 'Num. 0'");
  pagina->Command2_Click();
  EXPECT_FALSE(pagina->ContratistaEnVista());
  const std::vector<Fila> vuelto = pie();
  ASSERT_EQ(vuelto.size(), propio.size());
  for (size_t i = 0; i < vuelto.size(); ++i) {
    EXPECT_EQ(vuelto[i].texto, propio[i].texto);
    EXPECT_EQ(vuelto[i].refs, propio[i].refs);
    EXPECT_EQ(vuelto[i].total, propio[i].total);
  }
  EXPECT_EQ(pagina->CalculaFactorIntegrado(), cur("1.2643"));
  EXPECT_TRUE(cajas.shown().empty()) << cajas.texts().join(" | ").toStdString();
}

TEST_F(Formatos, TheBaseFooterNeedsRowsToBeSavedOrRestored) {
  abre("Ejemplo.mdb", 1);
  // An empty footer keeps the base footer stored before.
  obra().Execute("DELETE FROM Pie");
  pagina->copiarPieBase();
  EXPECT_EQ(formato(obra(), "Num. 0").size(), 10u);
  // A base footer without rows: the message, and the contractor's format stays on show.
  obra().Execute("DELETE FROM CalDet WHERE Formato = 'Num. 0'");
  pagina->lblnumcontratista->setText("Contratista: X");
  pagina->lblnumcontratista->show();
  cajas.answer(ui::vbOK);
  pagina->Command2_Click();
  ASSERT_EQ(cajas.shown().size(), 1u);
  EXPECT_EQ(cajas.shown()[0].prompt, "El formato no tiene datos. Seleccione otro de la lista.");
  EXPECT_EQ(cajas.shown()[0].icon(), ui::vbExclamation);
  EXPECT_TRUE(pagina->ContratistaEnVista());
  // A text with a quote goes into the base footer and back.
  obra().Execute("INSERT INTO Pie (Renglon, Texto, Renglon1, Operacion, Factor, Porcen) VALUES (1, 'D''Artagnan', 99, '*', 0, ' ')");
  pagina->copiarPieBase();
  obra().Execute("DELETE FROM Pie");
  pagina->Command2_Click();
  ASSERT_EQ(pie().size(), 1u);
  EXPECT_EQ(pie()[0].texto, "D'Artagnan");
  EXPECT_EQ(pie()[0].total, cur("100"));
  EXPECT_FALSE(pagina->ContratistaEnVista());
}

TEST_F(Formatos, AFooterLeftWithoutTotalsIsSavedAndBroughtBackLikeAnyOther) {
  abre("Ejemplo.mdb", 1);
  // The financing row without references: the evaluation stops and no row keeps a total.
  obra().Execute("UPDATE Pie SET Renglon1 = 0 WHERE Renglon = 5");
  cajas.answer(ui::vbOK);
  pagina->Form_Activate();
  ASSERT_EQ(sinTotal().size(), 10u);
  grabaFormato("SINTOTAL", "");
  pagina->copiarPieBase();
  EXPECT_EQ(cajas.shown().size(), 1u) << cajas.texts().join(" | ").toStdString();
  EXPECT_EQ(formato(biblioteca(), "SINTOTAL").size(), 10u);
  EXPECT_EQ(formato(obra(), "Num. 0").size(), 10u);
  EXPECT_EQ(factorIntegrado(), cur("0"));
  // Opened again once put right, the format is evaluated whole.
  biblioteca().Execute("UPDATE CalDet SET Renglon1 = 4 WHERE Formato = 'SINTOTAL' AND Renglon = 5");
  alAbrir([&](QDialog* d) {
    auto* a = qobject_cast<frmPieAbre*>(d);
    ASSERT_TRUE(a);
    elige(a, "SINTOTAL");
    a->Command1->click();
  });
  pagina->Command6_Click();
  EXPECT_EQ(cajas.shown().size(), 1u) << cajas.texts().join(" | ").toStdString();
  EXPECT_TRUE(sinTotal().empty());
  EXPECT_EQ(totales()[9], cur("126.43"));
}

// A database that refuses the row numbered 3 of a table (a trigger put in behind the program's back).
void rechazaTercerRenglon(const QString& archivo, const char* tabla) {
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(archivo.toUtf8().constData(), &db), SQLITE_OK);
  const QByteArray sql = QByteArray("CREATE TRIGGER rechazo BEFORE INSERT ON ") + tabla +
                         " WHEN NEW.Renglon = 3 BEGIN SELECT RAISE(ABORT, 'renglón rechazado'); END;";
  char* error = nullptr;
  EXPECT_EQ(sqlite3_exec(db, sql.constData(), nullptr, nullptr, &error), SQLITE_OK) << (error ? error : "");
  sqlite3_free(error);
  sqlite3_close(db);
}

TEST_F(Formatos, ACopyThatFailsHalfwayLeavesEverythingAsItWas) {
  abre("Ejemplo.mdb", 1, [](const QString& obra, const QString& biblioteca) {
    rechazaTercerRenglon(obra, "Pie");
    rechazaTercerRenglon(biblioteca, "CalDet");
  });
  // Saving: neither the header nor any row reaches the library, and the dialog stays open.
  bool abierto = false;
  alAbrir([&](QDialog* d) {
    auto* g = qobject_cast<frmPieGraba*>(d);
    g->txtNombre->setText("NUEVO");
    g->Command1->click();
    abierto = cargado(g);
    g->Command2->click();
  });
  cajas.answer(ui::vbOK);
  pagina->Command5_Click();
  EXPECT_TRUE(abierto);
  ASSERT_EQ(cajas.shown().size(), 1u);
  EXPECT_TRUE(cajas.shown()[0].prompt.startsWith("frmPieGraba.Aceptar: ")) << cajas.shown()[0].prompt.toStdString();
  EXPECT_EQ(cuenta(biblioteca(), "SELECT * FROM CalCab"), 0);
  EXPECT_EQ(cuenta(biblioteca(), "SELECT * FROM CalDet"), 0);

  // Opening a format into the bid: Pie keeps its rows.
  formatoDeTres(obra(), "CONT1");
  alAbrir([&](QDialog* d) {
    auto* a = qobject_cast<frmPieAbre1*>(d);
    elige(a, "CONT1");
    a->Command1->click();
    abierto = cargado(a);
    a->Command2->click();
  });
  cajas.answer(ui::vbOK);
  pagina->Command1_Click();
  EXPECT_TRUE(abierto);
  ASSERT_EQ(cajas.shown().size(), 2u);
  EXPECT_TRUE(cajas.shown()[1].prompt.startsWith("FrmPieAbre1.Command1: ")) << cajas.shown()[1].prompt.toStdString();
  EXPECT_EQ(pie().size(), 10u);
  EXPECT_EQ(totales().back(), cur("126.43"));
}

TEST_F(Formatos, ClearingTheFooterAsksFirst) {
  abre("Ejemplo.mdb", 1);
  cajas.answer(ui::vbCancel).answer(ui::vbOK);
  pagina->Commmand3_Click();
  EXPECT_EQ(pie().size(), 10u);
  EXPECT_EQ(grid().RowCount(), 11);
  pagina->Commmand3_Click();
  ASSERT_EQ(cajas.shown().size(), 2u);
  EXPECT_EQ(cajas.shown()[0].prompt, "¿Está seguro de limpiar el formato?");
  EXPECT_EQ(cajas.shown()[0].buttons, ui::vbQuestion | ui::vbOKCancel);
  EXPECT_TRUE(pie().empty());
  EXPECT_EQ(grid().RowCount(), 1);  // the add-new line
  // The factor is not recalculated here.
  EXPECT_EQ(factorIntegrado(), quarvel::rsDatosGenerales->Value("FactorIntegrado").toCurrency());
}

}  // namespace
