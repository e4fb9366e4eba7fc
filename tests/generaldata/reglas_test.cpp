// The dialog's field rules and keys: period and day counts, the rounding box, the percentages' key
// filter, select on focus, Enter as Tab, the Alt+A clash, and the footer page hosted in it.
#include "datgenfixture.h"

#include "textbox.h"
#include "unboundgrid.h"
#include "vbdate.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

namespace {

using namespace datgentest;

class Reglas : public DatGenTest {};

QString enfocado() { return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString(); }

// A key on the focused control, and the focus move it queues.
void tecla(int key, Qt::KeyboardModifiers mod = Qt::NoModifier) {
  QTest::keyClick(QApplication::focusWidget(), Qt::Key(key), mod);
  QCoreApplication::processEvents();
}

TEST_F(Reglas, PeriodicityOptionsAndDateChangesRecountThePeriods) {
  abre(1);
  ASSERT_TRUE(carga());
  forma->FechaIni->SetValue(vb::Variant::fromDate(2025, 3, 1));
  forma->FechaFin->SetValue(vb::Variant::fromDate(2025, 3, 31));
  EXPECT_EQ(forma->DiasCal->text(), "31");
  EXPECT_EQ(forma->Periodos->text(), "1") << "the date change counts at the selected periodicity";
  forma->DiasCal->setText("sin tocar");
  struct Caso {
    QRadioButton* FrmDatGen::*opcion;
    const char* periodos;
  } casos[] = {{&FrmDatGen::optDiaria, "31"}, {&FrmDatGen::optSemanal, "6"}, {&FrmDatGen::optQuincenal, "2"},
               {&FrmDatGen::optMensual, "1"}};
  for (const Caso& c : casos) {
    (forma->*c.opcion)->click();
    EXPECT_EQ(forma->Periodos->text(), c.periodos);
  }
  EXPECT_EQ(forma->DiasCal->text(), "sin tocar") << "an option click leaves the days alone";

  forma->optDiaria->click();
  forma->FechaFin->SetValue(vb::Variant::fromDate(2025, 4, 9));
  EXPECT_EQ(forma->Periodos->text(), "40");
  EXPECT_EQ(forma->DiasCal->text(), "40");
  // Without a date there is nothing to count; the days keep their last value.
  forma->FechaIni->SetValue(vb::Variant::null());
  EXPECT_EQ(forma->Periodos->text(), "0");
  EXPECT_EQ(forma->DiasCal->text(), "40");
  forma->optMensual->click();
  EXPECT_EQ(forma->Periodos->text(), "0");
}

TEST_F(Reglas, TheContractorsPeriodCountStaysZeroOnScreen) {
  abre(2);
  ASSERT_TRUE(carga());
  forma->FechaFin->SetValue(vb::Variant::fromDate(2025, 12, 31));
  EXPECT_EQ(forma->Periodos->text(), "0");
  EXPECT_EQ(forma->DiasCal->text(), "304");
}

TEST_F(Reglas, TheRoundingBoxKeepsANumberFromZeroToFourOnceLeft) {
  abre(1);
  ASSERT_TRUE(carga());
  EXPECT_EQ(forma->Redondeo->maxLength(), 1);
  const std::pair<const char*, const char*> casos[] = {{"7", "4"}, {"3", "3"}, {"0", "0"}, {"a", "0"}, {".", "0"},
                                                       {"-", "0"}, {"", "0"}, {"-3", "2"}, {"03", "3"}, {"2.5", "2.5"}};
  for (const auto& [entrada, salida] : casos) {
    // Code may put more in the box than the one character the user can type.
    forma->Redondeo->setMaxLength(3);
    forma->Redondeo->setText(QString::fromLatin1(entrada));
    forma->Redondeo_Validate();
    EXPECT_EQ(forma->Redondeo->text(), salida) << entrada;
  }
  forma->Redondeo->setMaxLength(1);
  // Typed and left with Tab, as the user does.
  ASSERT_TRUE(activa());
  forma->Redondeo->setFocus();
  forma->Redondeo->selectAll();
  QTest::keyClicks(forma->Redondeo, "9");
  tecla(Qt::Key_Tab);
  EXPECT_EQ(forma->Redondeo->text(), "4");
  EXPECT_NE(enfocado(), "Redondeo");
}

TEST_F(Reglas, PercentageBoxesTakeDigitsAndOneDecimalPoint) {
  abre(2);
  ASSERT_TRUE(carga());
  struct Caso {
    int tecla;
    const char* texto;
    int resultado;
  } casos[] = {{8, "12", 8},    {13, "", 13},      {'5', "", '5'},   {'.', "1", '.'},  {'.', "1.2", 0},
               {'.', ".", 0},   {'a', "", 0},      {' ', "", 0},     {'-', "", 0},     {',', "1", '.'},
               {',', "1.2", 0}, {',', "", '.'},    {26, "", 0},      {27, "", 0},      {'0', "0.5", '0'}};
  for (const Caso& c : casos)
    EXPECT_EQ(forma->FormatoMoneda(c.tecla, QString::fromLatin1(c.texto)), c.resultado) << c.tecla << " " << c.texto;

  ASSERT_TRUE(activa());
  muestraPagina(QStringLiteral("Concurso"));
  auto* iva = static_cast<QLineEdit*>(forma->caja("txtIVA"));
  iva->setFocus();
  iva->clear();
  QTest::keyClicks(iva, "1a6, -.5.0");
  EXPECT_EQ(iva->text(), "16.50");
  // A second point is refused where it would stay beside the first; over a selection holding the
  // first it replaces it.
  iva->setCursorPosition(1);
  QTest::keyClicks(iva, ".,");
  EXPECT_EQ(iva->text(), "16.50");
  iva->selectAll();
  QTest::keyClicks(iva, ".");
  EXPECT_EQ(iva->text(), ".");
  QTest::keyClick(iva, Qt::Key_Backspace);
  EXPECT_EQ(iva->text(), "") << "Backspace is a control key and passes";
}

// A comma typed in a percentage box is its decimal point (the keypad's decimal key gives one on many
// layouts): typed in the four boxes of the contractor's Concurso page and stored with Aceptar.
TEST_F(Reglas, ACommaTypedInAPercentageBoxIsItsDecimalPoint) {
  abre(2);
  ASSERT_TRUE(carga());
  ASSERT_TRUE(activa());
  muestraPagina(QStringLiteral("Concurso"));
  struct Caso {
    const char* caja;
    const char* campo;
    const char* teclas;
    const char* texto;
    double guardado;
  } casos[] = {{"txtIVA", "Iva", "16,5", "16.5", 16.5},
               {"txtAnticipo", "anticipo", "30,25", "30.25", 30.25},
               // One decimal separator, whichever was typed first.
               {"txtEstimacion", "contraest", "2,5,0.1", "2.501", 2.501},
               {"txtFiniquito", "finiquito", "7.5,1", "7.51", 7.51}};
  for (const Caso& c : casos) {
    auto* caja = static_cast<QLineEdit*>(forma->caja(c.caja));
    caja->setFocus();
    caja->selectAll();
    QTest::keyClick(caja, Qt::Key_Backspace);
    QTest::keyClicks(caja, QString::fromLatin1(c.teclas));
    EXPECT_EQ(caja->text(), c.texto) << c.caja;
  }
  ASSERT_TRUE(acepta());
  EXPECT_TRUE(cajas.shown().empty()) << cajas.texts().join(" | ").toStdString();
  for (const Caso& c : casos)
    EXPECT_DOUBLE_EQ(vb::CDbl(dato(QString::fromLatin1(c.campo))), c.guardado) << c.campo;
}

// A box entered with Tab has its whole text selected, and what is typed replaces it: a decimal
// separator typed first starts the new value (",5" is half a per cent, not 5). A value pasted into a
// box keeps the same rule as a typed one: its comma is the decimal point, and what a percentage cannot
// hold is dropped, so "16,5" from a spreadsheet is 16.50 and not 16.
TEST_F(Reglas, APercentageTypedOverTheSelectedTextOrPastedKeepsItsDecimalSeparator) {
  abre(2);
  ASSERT_TRUE(carga());
  ASSERT_TRUE(activa());
  muestraPagina(QStringLiteral("Concurso"));
  struct Caso {
    const char* caja;
    const char* campo;
    const char* teclas;  // typed over the selected text
    const char* pegado;  // else pasted with Ctrl+V over it
    const char* texto;
    double guardado;
  } casos[] = {{"txtIVA", "Iva", ",5", nullptr, ".5", 0.5},
               {"txtAnticipo", "anticipo", ".75", nullptr, ".75", 0.75},
               {"txtEstimacion", "contraest", nullptr, "16,5", "16.5", 16.5},
               {"txtFiniquito", "finiquito", nullptr, " 1,2,5 %\n", "1.25", 1.25}};
  for (const Caso& c : casos) {
    auto* caja = static_cast<QLineEdit*>(forma->caja(c.caja));
    caja->setFocus(Qt::TabFocusReason);
    QCoreApplication::processEvents();
    ASSERT_EQ(caja->selectedText(), caja->text()) << c.caja;
    ASSERT_FALSE(caja->text().isEmpty()) << c.caja;
    if (c.teclas) {
      QTest::keyClicks(caja, QString::fromLatin1(c.teclas));
    } else {
      QApplication::clipboard()->setText(QString::fromLatin1(c.pegado));
      QTest::keyClick(caja, Qt::Key_V, Qt::ControlModifier);
    }
    EXPECT_EQ(caja->text(), c.texto) << c.caja;
  }
  ASSERT_TRUE(acepta());
  EXPECT_TRUE(cajas.shown().empty()) << cajas.texts().join(" | ").toStdString();
  for (const Caso& c : casos)
    EXPECT_DOUBLE_EQ(vb::CDbl(dato(QString::fromLatin1(c.campo))), c.guardado) << c.campo;
}

TEST_F(Reglas, TextBoxesSelectTheirTextOnFocusButTheCompanyAddressOnes) {
  abre(2);
  ASSERT_TRUE(carga());
  ASSERT_TRUE(activa());
  muestraPagina(QStringLiteral("Datos de la Empresa"));
  auto* responsable = static_cast<QLineEdit*>(forma->caja("responsable"));
  auto* domicilio = static_cast<QLineEdit*>(forma->caja("DomFiscal"));
  auto* empresa = static_cast<QPlainTextEdit*>(forma->caja("empresa"));
  responsable->setFocus();
  QCoreApplication::processEvents();
  EXPECT_EQ(responsable->selectedText(), responsable->text());
  domicilio->setFocus();
  QCoreApplication::processEvents();
  EXPECT_TRUE(domicilio->selectedText().isEmpty());
  empresa->setFocus();
  QCoreApplication::processEvents();
  EXPECT_EQ(empresa->textCursor().selectedText(), empresa->toPlainText());
  // A locked box still takes the focus and selects its text.
  muestraPagina(QStringLiteral("Obra"));
  auto* obra = static_cast<QLineEdit*>(forma->caja("nomobra1"));
  obra->setFocus();
  QCoreApplication::processEvents();
  EXPECT_EQ(enfocado(), "nomobra1");
  EXPECT_EQ(obra->selectedText(), obra->text());
}

TEST_F(Reglas, EnterAndDownMoveOnUpMovesBackAndEnterInALinesBoxAlsoBreaksTheLine) {
  abre(1);
  ASSERT_TRUE(carga());
  ASSERT_TRUE(activa());
  muestraPagina(QStringLiteral("Obra"));
  forma->caja("nomobra1")->setFocus();
  tecla(Qt::Key_Return);
  EXPECT_EQ(enfocado(), "nomobra2");
  tecla(Qt::Key_Down);
  EXPECT_EQ(enfocado(), "nomobra3");
  tecla(Qt::Key_Up);
  EXPECT_EQ(enfocado(), "nomobra2");

  auto* direccion = static_cast<ui::TextBox*>(forma->caja("obradirec"));
  direccion->SetText("CALLE");
  direccion->setFocus();
  direccion->moveCursor(QTextCursor::End);
  tecla(Qt::Key_Return);
  EXPECT_EQ(direccion->Text(), "CALLE\r\n");
  EXPECT_EQ(enfocado(), "obraciudad");

  // The arrows of a date box change its date, not the focus.
  forma->FechaFin->setFocus();
  forma->FechaFin->setCurrentSection(QDateTimeEdit::DaySection);
  tecla(Qt::Key_Down);
  EXPECT_EQ(dia(forma->FechaFin), QDate(2025, 8, 28));
  EXPECT_EQ(enfocado(), "FechaFin");
  // Enter in the footer grid stays in the grid.
  muestraPagina(QStringLiteral("Indirectos"));
  forma->pagina->Grid1->setFocus();
  tecla(Qt::Key_Return);
  EXPECT_TRUE(forma->pagina->Grid1->isAncestorOf(QApplication::focusWidget()) ||
              QApplication::focusWidget() == forma->pagina->Grid1);
  EXPECT_TRUE(ui::Forms::instance().find<FrmDatGen>()) << "Enter never accepts the dialog";
}

TEST_F(Reglas, EnterOnAFocusedButtonPressesIt) {
  struct Caso {
    const char* boton;
    bool guarda;
  } casos[] = {{"Aceptar", true}, {"Cancelar", false}};
  for (const Caso& c : casos) {
    SCOPED_TRACE(c.boton);
    abre(2);
    ASSERT_TRUE(carga());
    ASSERT_TRUE(activa());
    pon("empresa", "POR ENTER");
    QPushButton* boton = QString(c.boton) == "Aceptar" ? forma->Aceptar : forma->Cancelar;
    boton->setFocus();
    ASSERT_EQ(enfocado(), c.boton);
    tecla(Qt::Key_Return);
    EXPECT_FALSE(ui::Forms::instance().find<FrmDatGen>()) << "the dialog closed";
    EXPECT_EQ(texto(dato("NombreEmpresa")), c.guarda ? "POR ENTER" : "CONSTRUCTORA EJEMPLO DEL BAJÍO, S.A. DE C.V.");
    EXPECT_TRUE(cajas.shown().empty()) << cajas.texts().join(" | ").toStdString();
  }
}

TEST_F(Reglas, ADateTypedAsShownAndEnterMoveOnWithThatDateAndItsCounts) {
  abre(1);
  ASSERT_TRUE(carga());
  ASSERT_TRUE(activa());
  muestraPagina(QStringLiteral("Obra"));
  forma->FechaIni->setFocus();
  tecla(Qt::Key_Return);
  ASSERT_EQ(enfocado(), "FechaFin");
  QTest::keyClicks(forma->FechaFin, "15/06/2025");
  tecla(Qt::Key_Return);
  EXPECT_EQ(dia(forma->FechaFin), QDate(2025, 6, 15));
  EXPECT_EQ(enfocado(), "FechaTope");
  EXPECT_EQ(forma->DiasCal->text(), "105");  // 3 March to 15 June
  EXPECT_EQ(forma->Periodos->text(), "4");
  // A day that does not exist gives the old date back when the box is left.
  forma->FechaFin->setFocus();
  QTest::keyClicks(forma->FechaFin, "31/06/2025");
  tecla(Qt::Key_Tab);
  EXPECT_EQ(dia(forma->FechaFin), QDate(2025, 6, 15));
  // A date still being typed is taken by Aceptar's shortcut (the volumes of July and August go: Yes).
  forma->FechaFin->setFocus();
  QTest::keyClicks(forma->FechaFin, "30062025");
  cajas.answer(ui::vbYes);
  tecla(Qt::Key_A, Qt::AltModifier);
  QTest::qWait(300);  // a mnemonic clicks its button after a short delay
  EXPECT_FALSE(ui::Forms::instance().find<FrmDatGen>());
  EXPECT_EQ(vb::toQDate(vb::CDate(dato("FechaFinalProy"))), QDate(2025, 6, 30));
}

// Every date box of the dialog, in both editions, takes a date typed with a two-digit year.
TEST_F(Reglas, DatesTypedWithTwoDigitYearsAreTakenInEveryDateBox) {
  struct Caso {
    int16_t edicion;
    ui::DatePicker* FrmDatGen::*caja;
    const char* tecleado;
    QDate esperado;
  } casos[] = {{1, &FrmDatGen::FechaIni, "5/3/26", {2026, 3, 5}},  {1, &FrmDatGen::FechaFin, "31/12/29", {2029, 12, 31}},
               {1, &FrmDatGen::FechaTope, "1/1/30", {1930, 1, 1}}, {1, &FrmDatGen::FechaCon, "15/06/99", {1999, 6, 15}},
               {2, &FrmDatGen::FechaFin, "31/8/25", {2025, 8, 31}}};
  for (const Caso& c : casos) {
    SCOPED_TRACE(c.tecleado);
    abre(c.edicion);
    ASSERT_TRUE(carga());
    ASSERT_TRUE(activa());
    ui::DatePicker* fecha = forma.data()->*c.caja;
    muestraPagina(fecha == forma->FechaCon ? QStringLiteral("Concurso") : QStringLiteral("Obra"));
    fecha->setFocus();
    ASSERT_TRUE(fecha->hasFocus());
    QTest::keyClicks(fecha, c.tecleado);
    tecla(Qt::Key_Tab);
    EXPECT_EQ(dia(fecha), c.esperado);
  }
  // The contractor's later end (up to the limit date), typed so, is what Aceptar stores.
  EXPECT_TRUE(acepta());
  EXPECT_TRUE(cajas.shown().empty()) << cajas.texts().join(" | ").toStdString();
  EXPECT_EQ(vb::toQDate(vb::CDate(dato("FechaFinalProy"))), QDate(2025, 8, 31));
}

TEST_F(Reglas, AltAOnTheFooterPageOfThePlicadoraEditionDoesNotSave) {
  abre(1);
  ASSERT_TRUE(carga());
  ASSERT_TRUE(activa());
  pon("empresa", "NO SE GUARDA");
  muestraPagina(QStringLiteral("Indirectos"));
  forma->pagina->Grid1->setFocus();
  tecla(Qt::Key_A, Qt::AltModifier);
  QTest::qWait(300);  // a mnemonic clicks its button after a short delay
  ASSERT_TRUE(ui::Forms::instance().find<FrmDatGen>());
  EXPECT_EQ(texto(dato("NombreEmpresa")), "CONSTRUCTORA EJEMPLO DEL BAJÍO, S.A. DE C.V.");
  // On any other page "&Aceptar" is the only Alt+A.
  pon("empresa", "SE GUARDA");
  muestraPagina(QStringLiteral("Concurso"));
  forma->caja("numcon")->setFocus();
  tecla(Qt::Key_A, Qt::AltModifier);
  QTest::qWait(300);
  EXPECT_FALSE(ui::Forms::instance().find<FrmDatGen>());
  EXPECT_EQ(texto(dato("NombreEmpresa")), "SE GUARDA");
}

TEST_F(Reglas, ExisteFormaIgnoresCase) {
  abre(2);
  ASSERT_TRUE(carga());
  EXPECT_TRUE(forma->ExisteForma("FrmDatGen"));
  EXPECT_TRUE(forma->ExisteForma("frmdatgen"));
  EXPECT_FALSE(forma->ExisteForma("FrmPrograma"));
  EXPECT_FALSE(forma->ExisteForma("frmprograma"));
}

TEST_F(Reglas, TheWorkedFooterTypedInTheDialogReachesFactorIntegradoAndTheBaseFormat) {
  abre(1, QStringLiteral("TORNAVO.KOR"));
  ASSERT_TRUE(carga());
  ui::UnboundGrid& grid = *forma->pagina->Grid1;
  auto escribe = [&](int fila, const char* campo, const QString& t) {
    grid.SetRow(fila);
    return grid.CommitCell(grid.ColumnIndex(QString::fromLatin1(campo)), t);
  };
  struct Renglon {
    const char* texto;
    QStringList refs;
    const char* factor;
  } renglones[] = {{"Costo directo", {"99"}, ""},
                   {"Indirectos", {"1"}, "12.5"},
                   {"Subtotal", {"1", "2"}, ""},
                   {"Utilidad", {"3"}, "10"},
                   {"Total", {"3", "4"}, ""}};
  for (int i = 0; i < 5; ++i) {
    ASSERT_TRUE(escribe(i, "Texto", renglones[i].texto));
    for (int k = 0; k < renglones[i].refs.size(); ++k)
      ASSERT_TRUE(escribe(i, qPrintable(QString("Renglon%1").arg(k + 1)), renglones[i].refs[k]));
    if (*renglones[i].factor) {
      ASSERT_TRUE(escribe(i, "Factor", renglones[i].factor));
      ASSERT_TRUE(escribe(i, "Porcen", "%"));
    }
  }
  EXPECT_EQ(dato("FactorIntegrado").toCurrency(), cur("1.2375"));
  // Returning from a format dialog re-evaluates: a total spoiled in the file is put right.
  quarvel::dbObra->Execute("UPDATE Pie SET Total = 0");
  emit forma->pagina->dialogoCerrado();
  EXPECT_EQ(vb::CCur(guardado("Total", *quarvel::dbObra, "Pie WHERE Renglon = 5")), cur("123.75"));

  ASSERT_TRUE(acepta());
  EXPECT_EQ(dato("FactorIntegrado").toCurrency(), cur("1.2375"));
  EXPECT_EQ(cuenta("SELECT * FROM CalCab WHERE Formato = 'Num. 0'"), 1);
  EXPECT_EQ(cuenta("SELECT * FROM CalDet WHERE Formato = 'Num. 0'"), 5);
}

// A footer value the cell refuses, typed and entered: told once, and the cell's editor stays open with
// what was typed, for the user to mend it or give it up with Escape, as in the other grids. Enter and
// Tab alike; the mended value is stored.
TEST_F(Reglas, ARefusedFooterValueIsToldAndItsEditorStaysOpenWithTheTypedText) {
  const struct {
    int16_t edicion;
    const char* campo;
    const char* texto;
    Qt::Key tecla;
    const char* mensaje;
  } casos[] = {{2, "Factor", "8,5", Qt::Key_Return, "El factor debe ser un número, con punto decimal \".\" (por ejemplo 1,234.50)"},
               {2, "Factor", "abc", Qt::Key_Tab, "El factor debe ser un número, con punto decimal \".\" (por ejemplo 1,234.50)"},
               {1, "Renglon1", "x", Qt::Key_Return,
                "El renglón de referencia debe ser un número, con punto decimal \".\" (por ejemplo 1,234.50)"}};
  for (const auto& c : casos) {
    SCOPED_TRACE(std::string(c.campo) + " " + c.texto);
    testui::ScriptedMsgBoxes cajasCaso;
    abre(c.edicion);
    ASSERT_TRUE(carga());
    ASSERT_TRUE(activa());
    ui::UnboundGrid* grid = forma->pagina->Grid1;
    const int col = grid->ColumnIndex(QString::fromLatin1(c.campo));
    const vb::Variant antes = guardado(c.campo, *quarvel::dbObra, "Pie WHERE Renglon = 2");
    const QString celda = grid->CellText(1, col);
    QLineEdit* editor = tecleaEnPie(1, col, QString::fromLatin1(c.texto));
    ASSERT_NE(editor, nullptr);
    cajasCaso.answer(ui::vbOK);
    QTest::keyClick(editor, c.tecla);
    QCoreApplication::processEvents();
    EXPECT_EQ(cajasCaso.texts(), QStringList({QString::fromUtf8(c.mensaje)}));
    auto* abierto = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    ASSERT_NE(abierto, nullptr) << "the editor is open again";
    EXPECT_EQ(abierto->text(), c.texto);
    EXPECT_EQ(grid->Row(), 1);
    EXPECT_EQ(grid->Col(), col);
    EXPECT_EQ(vb::Compare(guardado(c.campo, *quarvel::dbObra, "Pie WHERE Renglon = 2"), antes), 0);
    // Escape gives the refused text up; typed again, a good value is stored.
    QTest::keyClick(abierto, Qt::Key_Escape);
    QCoreApplication::processEvents();
    EXPECT_EQ(grid->CellText(1, col), celda);
    QTest::keyClick(grid, Qt::Key_F2);
    auto* otra = qobject_cast<QLineEdit*>(QApplication::focusWidget());
    ASSERT_NE(otra, nullptr);
    otra->selectAll();
    QTest::keyClicks(otra, "1");
    QTest::keyClick(otra, Qt::Key_Return);
    QCoreApplication::processEvents();
    EXPECT_EQ(vb::CDbl(guardado(c.campo, *quarvel::dbObra, "Pie WHERE Renglon = 2")), 1.0);
    EXPECT_EQ(cajasCaso.shown().size(), 1u);
    ASSERT_TRUE(acepta());
  }
}

TEST_F(Reglas, ClosingWhileAContractorsFormatIsShownBringsBackTheBaseFooter) {
  abre(1);
  ASSERT_TRUE(carga());
  const vb::Variant factor = guardado("Factor", *quarvel::dbObra, "Pie WHERE Renglon = 2");
  // What a contractor's format leaves: its rows in Pie, the label on show.
  quarvel::dbObra->Execute("UPDATE Pie SET Factor = 99 WHERE Renglon = 2");
  forma->pagina->lblnumcontratista->show();
  forma->Cancelar->click();
  EXPECT_FALSE(ui::Forms::instance().find<FrmDatGen>());
  EXPECT_EQ(vb::Compare(guardado("Factor", *quarvel::dbObra, "Pie WHERE Renglon = 2"), factor), 0);
}

}  // namespace
