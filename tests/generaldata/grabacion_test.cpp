// Aceptar: every box reaches its field by its rule, the checks refuse in their order and store nothing
// then, a closed bid is refused to the contractor, and what follows a stored row (rounding unit, base
// footer, period count and schedule).
#include "datgenfixture.h"

#include "boundgrid.h"
#include "clic_sostenido.h"
#include "disco_que_falla.h"
#include "datacontrol.h"
#include "frmprograma.h"
#include "textbox.h"
#include "vbdate.h"

#include <QFileInfo>

namespace {

using namespace datgentest;

class Grabacion : public DatGenTest {};

const QString kCerrada = QStringLiteral("La base de datos esta cerrada no se puede modificar");
const QString kTope = QStringLiteral("La fecha de Fin de proyecto no puede ser mayor a la fecha Tope.");
const QString kInicial = QStringLiteral("La fecha de Fin de proyecto no puede ser menor a la fecha inicial.");
const QString kNiveles = QStringLiteral("El total de los niveles debe ser <= a 20 caracteres.");

void ponFecha(ui::DatePicker* p, int anio, int mes, int dia) { p->SetValue(vb::Variant::fromDate(anio, mes, dia)); }

TEST_F(Grabacion, ContractorSaveWritesEveryBoxByItsRule) {
  abre(2);
  ASSERT_TRUE(carga());
  const std::pair<const char*, const char*> entradas[] = {
      {"empresa", "CONSTRUCTORA\r\nNUEVA"},
      {"responsable", "  RESPONSABLE  "},
      {"cargo", ""},
      {"DomFiscal", "   "},
      {"colonia", "CENTRO"},
      {"cp", "44100"},
      {"rfc", "AAA010101AAA"},
      {"telefono", "33 1234 5678"},
      {"NomDep1", "DEPENDENCIA UNO"},
      {"NomDep2", ""},
      {"NomDep3", "TRES"},
      {"area", "ÁREA\nDOS"},
      {"depto", "DEPTO"},
      {"txtAnticipo", "12.5"},
      {"txtEstimacion", "7 %"},
      {"txtFiniquito", "abc"},
      {"txtIVA", ""},
      {"numcon", "LP-001"},
      {"lugar", "SALA\r\nB"},
      {"VerCon", "   "},
      {"nomobra1", "OBRA"},
      {"nomobra2", " DOS "},
      {"nomobra6", "SEIS"},
      {"obradirec", "CALLE 1\r\nCOL. CENTRO"},
      {"obraciudad", "GUADALAJARA"},
      {"obraedo", ""},
      {"Contrato", "C-77"},
      {"Redondeo", "3"},
      {"Titulo", "GERENTE"},
      {"Nombre", "NOMBRE UNO"},
      {"Nombre5", "NOMBRE CINCO"},
      {"nivel1", "2"},
      {"nivel2", "3"},
      {"nivel3", "4"},
  };
  for (const auto& [nombre, valor] : entradas) pon(nombre, QString::fromUtf8(valor));
  forma->chkPermiteTornavo->setChecked(true);
  ponFecha(forma->FechaCon, 2025, 1, 20);
  ponFecha(forma->FechaFin, 2025, 8, 30);  // same month: the count stays

  ASSERT_TRUE(acepta());
  EXPECT_TRUE(cajas.shown().empty()) << cajas.texts().join(" | ").toStdString();

  const std::pair<const char*, vb::Variant> esperados[] = {
      {"NombreEmpresa", "CONSTRUCTORA  NUEVA"},  // CR LF: two blanks
      {"responsable", "  RESPONSABLE  "},
      {"cargo", " "},
      {"DomicilioFiscal", " "},
      {"ColoniaEmpresa", "CENTRO"},
      {"cpEmpresa", "44100"},
      {"rfcEmpresa", "AAA010101AAA"},
      {"telefonoEmpresa", "33 1234 5678"},
      {"nomdependencia1", "DEPENDENCIA UNO"},
      {"nomdependencia2", " "},
      {"nomdependencia3", "TRES"},
      {"area", "ÁREA  DOS"},
      {"departamento", "DEPTO"},
      {"anticipo", 12.5},
      {"contraest", 7.0},
      {"finiquito", 0.0},
      {"Iva", 0.0},
      {"PermitePreciosCero", true},
      {"PermiteCantidadCero", false},
      {"FechaConcurso", "20/01/2025"},
      {"NumeroConcurso", "LP-001"},
      {"LugarConcurso", "SALA  B"},
      {"versionconcurso", "1"},
      {"NombreObra", "OBRA"},
      {"NombreObra2", " DOS "},
      {"NombreObra3", " "},
      {"NombreObra6", "SEIS"},
      {"ubicadireccion", "CALLE 1  COL. CENTRO"},
      {"ubicaciudad", "GUADALAJARA"},
      {"ubicaestado", " "},
      {"Periodicidad", int16_t(1)},
      {"Periodos", int16_t(6)},
      {"numContrato", "C-77"},
      {"Redondeo", int16_t(3)},
      {"Titulo", "GERENTE"},
      {"Nombre", "NOMBRE UNO"},
      {"Titulo2", "SUPERINTENDENTE DE OBRA"},
      {"Titulo3", " "},
      {"Nombre5", "NOMBRE CINCO"},
      {"nivel1", int16_t(2)},
      {"nivel2", int16_t(3)},
      {"nivel3", int16_t(4)},
      {"nivel4", int16_t(0)},
  };
  for (const auto& [campo, valor] : esperados) {
    const vb::Variant v = dato(QString::fromLatin1(campo));
    if (valor.type() == vb::VarType::String)
      EXPECT_EQ(texto(v), valor.toString()) << campo;
    else
      EXPECT_EQ(vb::Compare(v, valor), 0) << campo << " = " << texto(v).toStdString();
  }
  EXPECT_EQ(vb::toQDate(vb::CDate(dato("FechaFinalProy"))), QDate(2025, 8, 30));
  EXPECT_EQ(vb::toQDate(vb::CDate(dato("FechaInicioProy"))), QDate(2025, 3, 3));
  EXPECT_EQ(vb::toQDate(vb::CDate(dato("FechaTope"))), QDate(2025, 8, 31));
  // The rounding unit follows the stored decimals; the footer is the bid's base format now.
  EXPECT_EQ(quarvel::unidadRedondeo, vb::Currency::fromInt(10));
  EXPECT_EQ(cuenta("SELECT * FROM CalDet WHERE Formato = 'Num. 0'"), cuenta("SELECT * FROM Pie"));
  // Nothing went to the library's titgen in this edition, and the schedule was kept.
  EXPECT_EQ(texto(titgen("nomdependencia1")), "<Null>");
  EXPECT_GT(cuenta("SELECT * FROM Programa"), 0);
  EXPECT_FALSE(general::objListaOpciones);
}

TEST_F(Grabacion, PlicadoraSaveSendsTheContractingBodyAndSignaturesToTitgen) {
  abre(1);
  ASSERT_TRUE(carga());
  pon("NomDep1", "SECRETARÍA");
  pon("depto", "COSTOS\r\n");
  pon("Titulo2", "SUPERVISOR");
  pon("txtIVA", "11");
  forma->chkCantidadesEnCero->setChecked(true);
  forma->chkPermiteCeroCuadro->setChecked(true);
  forma->optSemanal->click();
  const QString periodos = forma->Periodos->text();
  ASSERT_EQ(periodos.toInt(), general::CuentaPeriodos(forma->FechaIni->Value(), forma->FechaFin->Value(), 3));
  ASSERT_NE(periodos, "6");
  cajas.answer(ui::vbYes);  // the weekly periods renumber the schedule: asked first
  ASSERT_TRUE(acepta());
  ASSERT_EQ(cajas.shown().size(), 1u);
  EXPECT_EQ(cajas.shown()[0].buttonSet(), ui::vbYesNo);

  EXPECT_EQ(texto(titgen("nomdependencia1")), "SECRETARÍA");
  EXPECT_EQ(texto(titgen("nomdependencia2")), " ");
  EXPECT_EQ(texto(titgen("departamento")), "COSTOS  ");
  EXPECT_EQ(texto(titgen("Titulo2")), "SUPERVISOR");
  EXPECT_EQ(texto(titgen("Nombre")), " ");
  // The bid's own contracting body and signatures stay as they were; the percentages too.
  EXPECT_EQ(texto(dato("nomdependencia1")), "H. AYUNTAMIENTO DE SAN MARTÍN DE LAS FLORES");
  EXPECT_EQ(texto(dato("Titulo2")), "SUPERINTENDENTE DE OBRA");
  EXPECT_EQ(vb::CDbl(dato("Iva")), 16.0);
  EXPECT_EQ(dato("PermiteCantidadCero").toBool(), true);
  EXPECT_EQ(dato("PermitePreBaseCero").toBool(), true);
  EXPECT_EQ(dato("PermitePreciosCero").toBool(), false);
  EXPECT_EQ(vb::CInt(dato("Periodicidad")), 3);
  EXPECT_EQ(vb::CStr(dato("Periodos")), periodos);
}

TEST_F(Grabacion, DateAndLevelChecksRefuseInTheirOrderAndStoreNothing) {
  struct Caso {
    const char* nombre;
    QDate inicio, fin, tope;  // an invalid tope: the box holds no date
    std::vector<const char*> niveles;
    QStringList mensajes;
  } casos[] = {
      {"fin igual al tope", {2025, 3, 3}, {2025, 8, 31}, {2025, 8, 31}, {"1", "2", "3"}, {}},
      {"fin después del tope", {2025, 3, 3}, {2025, 9, 1}, {2025, 8, 31}, {"1", "2", "3"}, {kTope}},
      {"fin antes del inicio", {2025, 3, 3}, {2025, 3, 2}, {2025, 8, 31}, {"1", "2", "3"}, {kInicial}},
      {"ambas mal: sólo el tope", {2025, 9, 10}, {2025, 9, 5}, {2025, 9, 1}, {"1", "2", "3"}, {kTope}},
      {"sin tope", {2025, 3, 3}, {2030, 1, 1}, {}, {"1", "2", "3"}, {}},
      {"niveles en 20", {2025, 3, 3}, {2025, 8, 29}, {2025, 8, 31}, {"5", "5", "5", "5"}, {}},
      {"niveles en 21", {2025, 3, 3}, {2025, 8, 29}, {2025, 8, 31}, {"5", "5", "5", "5", "1"}, {kNiveles}},
      {"fechas antes que niveles", {2025, 3, 3}, {2025, 9, 1}, {2025, 8, 31}, {"9", "9", "9"}, {kTope}},
  };
  for (const Caso& c : casos) {
    SCOPED_TRACE(c.nombre);
    abre(1);
    ASSERT_TRUE(carga());
    pon("empresa", "CAMBIADA");
    forma->FechaIni->SetValue(vb::Variant::fromDate(vb::fromQDate(c.inicio)));
    forma->FechaFin->SetValue(vb::Variant::fromDate(vb::fromQDate(c.fin)));
    forma->FechaTope->SetValue(c.tope.isValid() ? vb::Variant::fromDate(vb::fromQDate(c.tope)) : vb::Variant::null());
    for (int k = 0; k < 7; ++k)
      pon(qPrintable(QString("nivel%1").arg(k + 1)), k < int(c.niveles.size()) ? c.niveles[k] : "");
    for (int i = 0; i < c.mensajes.size(); ++i) cajas.answer(ui::vbOK);

    const int antes = int(cajas.shown().size());
    const bool cerrada = acepta();
    EXPECT_EQ(cajas.texts().mid(antes), c.mensajes);
    for (size_t i = antes; i < cajas.shown().size(); ++i)
      EXPECT_EQ(int(cajas.shown()[i].buttons), int(ui::vbOKOnly)) << "plain box";
    EXPECT_EQ(cerrada, c.mensajes.isEmpty());
    if (c.mensajes.isEmpty()) {
      EXPECT_EQ(texto(dato("NombreEmpresa")), "CAMBIADA");
      if (c.tope.isValid()) EXPECT_EQ(vb::toQDate(vb::CDate(dato("FechaTope"))), c.tope);
      else EXPECT_EQ(vb::toQDate(vb::CDate(dato("FechaTope"))), QDate(2025, 8, 31)) << "kept";
      continue;
    }
    // Refused: the row holds nothing of this save, not even once the dialog closes and its unload
    // stores the footer's factor through the same row.
    EXPECT_EQ(quarvel::rsDatosGenerales->GetEditMode(), dao::EditMode::None);
    EXPECT_EQ(texto(quarvel::rsDatosGenerales->Value("NombreEmpresa")), "CONSTRUCTORA EJEMPLO DEL BAJÍO, S.A. DE C.V.");
    EXPECT_EQ(caja("empresa"), "CAMBIADA") << "the boxes keep what was typed";
    forma->Cancelar->click();
    EXPECT_FALSE(ui::Forms::instance().find<FrmDatGen>());
    EXPECT_EQ(texto(dato("NombreEmpresa")), "CONSTRUCTORA EJEMPLO DEL BAJÍO, S.A. DE C.V.");
    EXPECT_EQ(vb::toQDate(vb::CDate(dato("FechaFinalProy"))), QDate(2025, 8, 29));
  }
}

TEST_F(Grabacion, TheFirstEmptyOrZeroLevelClearsTheLevelsBelowIt) {
  struct Caso {
    std::vector<const char*> entrada, cajas;
    std::vector<int> guardados;
  } casos[] = {
      {{"2", "3", "", "4", "", "", ""}, {"2", "3", "0", "0", "0", "0", "0"}, {2, 3, 0, 0, 0, 0, 0}},
      {{"0", "5", "5", "1", "2", "3", "4"}, {"0", "0", "0", "0", "0", "0", "0"}, {0, 0, 0, 0, 0, 0, 0}},
      {{"1", "1", "1", "1", "1", "1", ""}, {"1", "1", "1", "1", "1", "1", ""}, {1, 1, 1, 1, 1, 1, 0}},
      {{"3", "x", "4", "", "", "", ""}, {"3", "x", "0", "0", "0", "0", "0"}, {3, 0, 0, 0, 0, 0, 0}},
  };
  abre(1);
  for (const Caso& c : casos) {
    ASSERT_TRUE(carga());
    for (int k = 0; k < 7; ++k) pon(qPrintable(QString("nivel%1").arg(k + 1)), c.entrada[k]);
    QPointer<FrmDatGen> f(forma);
    forma->Aceptar->click();
    ASSERT_FALSE(ui::Forms::instance().isLoaded(f));
    for (int k = 0; k < 7; ++k) EXPECT_EQ(vb::CInt(dato(QString("nivel%1").arg(k + 1))), c.guardados[k]) << k + 1;
  }
  // The boxes as rewritten stay visible after a refusal.
  ASSERT_TRUE(carga());
  const char* const rechazados[] = {"9", "9", "5", "", "4", "", ""};
  const char* const reescritos[] = {"9", "9", "5", "0", "0", "0", "0"};
  for (int k = 0; k < 7; ++k) pon(qPrintable(QString("nivel%1").arg(k + 1)), rechazados[k]);
  cajas.answer(ui::vbOK);
  EXPECT_FALSE(acepta());
  EXPECT_EQ(cajas.texts(), QStringList{kNiveles});
  for (int k = 0; k < 7; ++k)
    EXPECT_EQ(caja(qPrintable(QString("nivel%1").arg(k + 1))), reescritos[k]);
}

TEST_F(Grabacion, APlicadoraLevelRefusalComesAfterTitgenIsStored) {
  abre(1);
  ASSERT_TRUE(carga());
  pon("Nombre", "FIRMA GUARDADA");
  pon("NomDep1", "DEPENDENCIA GUARDADA");
  pon("empresa", "NO GUARDADA");
  pon("nivel1", "15");
  pon("nivel2", "15");
  cajas.answer(ui::vbOK);
  EXPECT_FALSE(acepta());
  EXPECT_EQ(cajas.texts(), QStringList{kNiveles});
  EXPECT_EQ(texto(titgen("Nombre")), "FIRMA GUARDADA");
  EXPECT_EQ(texto(titgen("nomdependencia1")), "DEPENDENCIA GUARDADA");
  EXPECT_EQ(texto(dato("NombreEmpresa")), "CONSTRUCTORA EJEMPLO DEL BAJÍO, S.A. DE C.V.");
  // A date refusal comes before: titgen keeps nothing of that save.
  pon("Nombre", "OTRA FIRMA");
  pon("nivel1", "1");
  forma->FechaFin->SetValue(vb::Variant::fromDate(2026, 1, 1));
  cajas.answer(ui::vbOK);
  EXPECT_FALSE(acepta());
  EXPECT_EQ(cajas.texts().last(), kTope);
  EXPECT_EQ(quarvel::rsTitgen->GetEditMode(), dao::EditMode::None);
  EXPECT_EQ(texto(titgen("Nombre")), "FIRMA GUARDADA");
}

TEST_F(Grabacion, AClosedBidIsRefusedToTheContractorOnly) {
  struct Caso {
    int16_t edicion;
    const char* cierre;
    bool rechazada;
  } casos[] = {{2, "BaseCerrada = True", true}, {2, "Cerrada = True", true}, {1, "BaseCerrada = True, Cerrada = True", false}};
  for (const Caso& c : casos) {
    SCOPED_TRACE(c.cierre);
    abre(c.edicion, QStringLiteral("Ejemplo.mdb"), [&](dao::Database& obra, dao::Database&) {
      obra.Execute(QStringLiteral("UPDATE DatosGenerales SET ") + c.cierre);
    });
    ASSERT_TRUE(carga());
    pon("empresa", "CAMBIADA");
    if (c.rechazada) cajas.answer(ui::vbOK);
    const size_t antes = cajas.shown().size();
    EXPECT_TRUE(acepta()) << "the dialog closes either way";
    if (c.rechazada) {
      ASSERT_EQ(cajas.shown().size(), antes + 1);
      EXPECT_EQ(cajas.shown()[antes].prompt, kCerrada);
      EXPECT_EQ(int(cajas.shown()[antes].icon()), int(ui::vbInformation));
    }
    EXPECT_EQ(texto(dato("NombreEmpresa")), c.rechazada ? "CONSTRUCTORA EJEMPLO DEL BAJÍO, S.A. DE C.V." : "CAMBIADA");
  }
}

TEST_F(Grabacion, AValueTheDatabaseRefusesIsShownAndNothingIsStored) {
  abre(2);
  ASSERT_TRUE(carga());
  pon("empresa", "CAMBIADA");
  // Code may put a longer text in a box than the user could type; the field takes 70 characters.
  static_cast<ui::TextBox*>(forma->caja("obradirec"))->SetText(QString(80, QLatin1Char('x')));
  cajas.answer(ui::vbOK);
  EXPECT_FALSE(acepta());
  ASSERT_EQ(cajas.shown().size(), 1u);
  EXPECT_TRUE(cajas.shown()[0].prompt.startsWith("Error en frmDatGen.Aceptar_Click 3163 ")) << cajas.shown()[0].prompt.toStdString();
  EXPECT_EQ(quarvel::rsDatosGenerales->GetEditMode(), dao::EditMode::None);
  forma->Cancelar->click();
  EXPECT_EQ(texto(dato("NombreEmpresa")), "CONSTRUCTORA EJEMPLO DEL BAJÍO, S.A. DE C.V.");
}

TEST_F(Grabacion, PickersWithoutADateKeepTheStoredDatesAndAnUnreadableContestDate) {
  abre(2, QStringLiteral("Ejemplo.mdb"), [](dao::Database& obra, dao::Database&) {
    obra.Execute("UPDATE DatosGenerales SET FechaConcurso = 'mañana'");
  });
  ASSERT_TRUE(carga());
  forma->FechaIni->SetValue(vb::Variant::null());
  ASSERT_TRUE(acepta());
  EXPECT_EQ(texto(dato("FechaConcurso")), "mañana");
  EXPECT_EQ(vb::toQDate(vb::CDate(dato("FechaInicioProy"))), QDate(2025, 3, 3));
  EXPECT_EQ(vb::CInt(dato("Periodos")), 6);

  // A readable date emptied by code stores one blank, as the dialog stores an empty contest date.
  ASSERT_TRUE(carga());
  EXPECT_FALSE(forma->FechaCon->HasDate());
  ponFecha(forma->FechaCon, 2025, 2, 14);
  ASSERT_TRUE(acepta());
  EXPECT_EQ(texto(dato("FechaConcurso")), "14/02/2025");
  ASSERT_TRUE(carga());
  forma->FechaCon->SetValue(vb::Variant::null());
  ASSERT_TRUE(acepta());
  EXPECT_EQ(texto(dato("FechaConcurso")), " ");
  // The blank loads as nothing: the picker shows its design date, which the next save stores.
  ASSERT_TRUE(carga());
  EXPECT_EQ(dia(forma->FechaCon), QDate(1999, 6, 2));
}

// A footer value typed into its cell without Enter when the dialog closes: checked and stored as Enter
// would store it (the footer's rows are stored as they are edited, whatever button closes the dialog).
TEST_F(Grabacion, AFooterValueLeftInItsCellIsCheckedAndStoredWhenTheDialogCloses) {
  struct Caso {
    const char* texto;
    bool cajaDeCierre;  // else Alt+C, Cancelar's key
    const char* guardado;  // "" the stored factor stays, and the refusal is explained
  } casos[] = {{"0.25", true, "0.25"}, {"0.3", false, "0.3"}, {"x", true, ""}};
  for (const Caso& c : casos) {
    SCOPED_TRACE(c.texto);
    testui::ScriptedMsgBoxes cajasCaso;
    if (!*c.guardado)
      cajasCaso.answer(ui::vbOK);
    abre(2);
    ASSERT_TRUE(carga());
    ASSERT_TRUE(activa());
    const vb::Variant antes = guardado("Factor", *quarvel::dbObra, "Pie WHERE Renglon = 2");
    QLineEdit* editor = tecleaEnPie(1, footer::PaginaPie::colFactor, QString::fromLatin1(c.texto));
    ASSERT_NE(editor, nullptr);
    if (c.cajaDeCierre) {
      forma->close();
    } else {
      QTest::keyClick(editor, Qt::Key_C, Qt::AltModifier);
      QTest::qWait(300);  // a mnemonic clicks its button after a short delay
    }
    EXPECT_FALSE(ui::Forms::instance().find<FrmDatGen>());
    const vb::Variant factor = guardado("Factor", *quarvel::dbObra, "Pie WHERE Renglon = 2");
    if (*c.guardado)
      EXPECT_EQ(vb::CStr(factor), c.guardado);
    else
      EXPECT_EQ(vb::Compare(factor, antes), 0);
    EXPECT_EQ(cajasCaso.texts(),
              *c.guardado ? QStringList()
                          : QStringList({"El factor debe ser un número, con punto decimal \".\" (por ejemplo 1,234.50)"}));
  }
}

// The dialog's Aceptar or Cancelar clicked by a hand with a footer value in its cell: the click takes
// the focus from the cell, whose value is checked, while the button is held. A refusal's message opened
// then would take the release and the click would be lost, the dialog staying open; so the button does
// its work, and a refused value is explained once and dropped, as at any close.
TEST_F(Grabacion, AClickHeldOnAceptarOrCancelarClosesTheDialogWhateverTheFooterCellHolds) {
  struct Caso {
    const char* texto;
    bool aceptar;      // else Cancelar
    bool conEnter;     // Enter pressed in the cell first, its refusal read
    const char* guardado;  // "" the stored factor stays, and the refusal is explained
  } casos[] = {{"x", false, false, ""}, {"8,5", true, false, ""}, {"abc", true, true, ""}, {"0.3", true, false, "0.3"}};
  const QString malo = QStringLiteral("El factor debe ser un número, con punto decimal \".\" (por ejemplo 1,234.50)");
  for (const Caso& c : casos) {
    SCOPED_TRACE(std::string(c.texto) + (c.aceptar ? " Aceptar" : " Cancelar") + (c.conEnter ? " Enter" : ""));
    abre(2);
    ASSERT_TRUE(carga());
    ASSERT_TRUE(activa());
    const vb::Variant antes = guardado("Factor", *quarvel::dbObra, "Pie WHERE Renglon = 2");
    QLineEdit* editor = tecleaEnPie(1, footer::PaginaPie::colFactor, QString::fromLatin1(c.texto));
    ASSERT_NE(editor, nullptr);
    if (c.conEnter) {
      testsupport::CajasAceptadas primera;
      QTest::keyClick(editor, Qt::Key_Return);
      QCoreApplication::processEvents();
      ASSERT_EQ(primera.textos, QStringList({malo}));
    }

    QPointer<FrmDatGen> dialogo(forma);
    QPushButton* boton = c.aceptar ? forma->Aceptar : forma->Cancelar;
    testsupport::CajasAceptadas cajasReales;
    testsupport::clicSostenido(boton, boton->rect().center(), cajasReales);
    EXPECT_FALSE(ui::Forms::instance().find<FrmDatGen>());
    EXPECT_EQ(cajasReales.textos, *c.guardado ? QStringList() : QStringList({malo}));
    const vb::Variant factor = guardado("Factor", *quarvel::dbObra, "Pie WHERE Renglon = 2");
    if (*c.guardado)
      EXPECT_EQ(vb::CStr(factor), c.guardado);
    else
      EXPECT_EQ(vb::Compare(factor, antes), 0);
    if (dialogo && ui::Forms::instance().isLoaded(dialogo))
      dialogo->close();
  }
}

TEST_F(Grabacion, CancelStoresNoBoxButTheUnloadRebuildsPeriodsAndStoresTheFactor) {
  abre(2, QStringLiteral("Ejemplo.mdb"), [](dao::Database& obra, dao::Database&) {
    obra.Execute("UPDATE DatosGenerales SET FactorIntegrado = 0");
  });
  ASSERT_TRUE(carga());
  pon("empresa", "CAMBIADA");
  forma->Cancelar->click();
  EXPECT_FALSE(ui::Forms::instance().find<FrmDatGen>());
  EXPECT_EQ(texto(dato("NombreEmpresa")), "CONSTRUCTORA EJEMPLO DEL BAJÍO, S.A. DE C.V.");
  auto ultimo = quarvel::dbObra->OpenRecordset("SELECT Total FROM Pie ORDER BY Renglon DESC", dao::RecordsetType::Snapshot);
  const vb::Currency esperado = vb::CCur(vb::Variant(ultimo->Value("Total").toCurrency() / vb::Currency::fromScaled(1000000)));
  EXPECT_EQ(dato("FactorIntegrado").toCurrency(), esperado);
  EXPECT_GT(esperado, vb::Currency::fromScaled(10000));
  ASSERT_EQ(quarvel::tablaPeriodos.size(), 7u);
  EXPECT_EQ(vb::toQDate(quarvel::tablaPeriodos[1].inicio), QDate(2025, 3, 1));
  EXPECT_EQ(vb::toQDate(quarvel::tablaPeriodos[6].fin), QDate(2025, 8, 31));
  EXPECT_FALSE(general::objListaOpciones);

  // Esc and the close box close as Cancelar does.
  ASSERT_TRUE(carga());
  QTest::keyClick(forma, Qt::Key_Escape);
  EXPECT_FALSE(ui::Forms::instance().find<FrmDatGen>());
  ASSERT_TRUE(carga());
  forma->close();
  EXPECT_FALSE(ui::Forms::instance().find<FrmDatGen>());
}

TEST_F(Grabacion, ContractorMovingTheEndDateRecountsThePeriodsAndKeepsTheScheduleItStillHas) {
  abre(2);
  FrmPrograma* programa = ui::Forms::instance().get<FrmPrograma>();
  ASSERT_TRUE(programa);
  ASSERT_EQ(programa->Grid1()->Columns().Count(), 9 + 6);
  const int volumenes = cuenta("SELECT * FROM Programa");
  ASSERT_GT(volumenes, 0);
  const int enLosUltimos = cuenta("SELECT * FROM Programa WHERE Periodo > 4");
  ASSERT_GT(enLosUltimos, 0) << "the sample programs the last two months";

  // An OK that changes no date keeps the count and the schedule.
  ASSERT_TRUE(carga());
  ASSERT_TRUE(acepta());
  EXPECT_EQ(vb::CInt(dato("Periodos")), 6);
  EXPECT_EQ(cuenta("SELECT * FROM Programa"), volumenes);
  EXPECT_EQ(programa->Grid1()->Columns().Count(), 9 + 6);

  // A later end adds periods after the ones programmed: nothing is lost.
  ASSERT_TRUE(carga());
  ponFecha(forma->FechaFin, 2025, 10, 15);
  ponFecha(forma->FechaTope, 2025, 10, 31);
  ASSERT_TRUE(acepta());
  EXPECT_EQ(vb::CInt(dato("Periodos")), 8);
  EXPECT_EQ(cuenta("SELECT * FROM Programa"), volumenes);
  ASSERT_EQ(programa->Grid1()->Columns().Count(), 9 + 8);
  for (int i = 1; i <= 8; ++i) EXPECT_EQ(programa->Grid1()->Columns(8 + i).Caption(), QString("Periodo %1").arg(i));
  EXPECT_EQ(quarvel::tablaPeriodos.size(), 9u) << "the period table follows on unload";

  // An earlier end drops the volumes of the periods the bid no longer has, and their concepts' totals
  // follow, once the question is answered Yes.
  ASSERT_TRUE(carga());
  ponFecha(forma->FechaFin, 2025, 6, 30);
  cajas.answer(ui::vbYes);
  ASSERT_TRUE(acepta());
  EXPECT_EQ(cajas.shown().size(), 1u);
  EXPECT_EQ(vb::CInt(dato("Periodos")), 4);
  EXPECT_EQ(cuenta("SELECT * FROM Programa WHERE Periodo > 4"), 0);
  EXPECT_EQ(cuenta("SELECT * FROM Programa"), volumenes - enLosUltimos);
  EXPECT_EQ(cuenta("SELECT * FROM Presupuesto AS p WHERE TotalVol <> "
                   "(SELECT Nz(Sum(Volumen), 0) FROM Programa AS g WHERE g.Partida = p.Partida AND g.Renglon = p.Renglon)"),
            0);
  ASSERT_EQ(programa->Grid1()->Columns().Count(), 9 + 4);
}

TEST_F(Grabacion, ContractorMovingTheStartRenumbersThePeriodsAndKeepsEachVolumeInItsMonth) {
  abre(2);
  FrmPrograma* programa = ui::Forms::instance().get<FrmPrograma>();
  ASSERT_TRUE(programa);
  const int volumenes = cuenta("SELECT * FROM Programa");
  const int enMarzo = cuenta("SELECT * FROM Programa WHERE Periodo = 1");
  ASSERT_GT(enMarzo, 0);

  // A month earlier: March, period 1 until now, is period 2; nothing falls outside, nothing is asked.
  ASSERT_TRUE(carga());
  ponFecha(forma->FechaIni, 2025, 2, 3);
  ASSERT_TRUE(acepta());
  EXPECT_EQ(cajas.shown().size(), 0u);
  EXPECT_EQ(vb::CInt(dato("Periodos")), 7);
  EXPECT_EQ(cuenta("SELECT * FROM Programa"), volumenes);
  EXPECT_EQ(cuenta("SELECT * FROM Programa WHERE Periodo = 1"), 0);
  EXPECT_EQ(cuenta("SELECT * FROM Programa WHERE Periodo = 2"), enMarzo);
  EXPECT_EQ(cuenta("SELECT * FROM Presupuesto AS p WHERE TotalVol <> "
                   "(SELECT Nz(Sum(Volumen), 0) FROM Programa AS g WHERE g.Partida = p.Partida AND g.Renglon = p.Renglon)"),
            0);
  EXPECT_EQ(programa->Grid1()->Columns().Count(), 9 + 7);
}

TEST_F(Grabacion, PlicadoraPeriodCountGoesToTheScheduleWindowsColumns) {
  abre(1, QStringLiteral("Ejemplo.mdb"), [](dao::Database& obra, dao::Database&) {
    obra.Execute("UPDATE DatosGenerales SET Periodos = 12");
  });
  FrmPrograma* programa = ui::Forms::instance().get<FrmPrograma>();
  ASSERT_EQ(programa->Grid1()->Columns().Count(), 9 + 12);
  const int volumenes = cuenta("SELECT * FROM Programa");

  ASSERT_TRUE(carga());
  EXPECT_EQ(forma->Periodos->text(), "12");
  ASSERT_TRUE(acepta());
  EXPECT_EQ(vb::CInt(dato("Periodos")), 12) << "the stored count stays when nothing changed";

  ASSERT_TRUE(carga());
  ponFecha(forma->FechaIni, 2025, 1, 1);
  ponFecha(forma->FechaFin, 2025, 10, 31);
  ponFecha(forma->FechaTope, 2025, 10, 31);
  EXPECT_EQ(forma->Periodos->text(), "10");
  ASSERT_TRUE(acepta());
  EXPECT_EQ(vb::CInt(dato("Periodos")), 10);
  ASSERT_EQ(programa->Grid1()->Columns().Count(), 9 + 10);
  EXPECT_EQ(programa->Grid1()->Columns(9).Caption(), "Periodo 1");
  EXPECT_EQ(programa->Grid1()->Columns(18).Caption(), "Periodo 10");
  // A start in another month renumbers the periods: in this edition as in the contractor's, every
  // volume keeps its month (March is period 3 now) and nothing is asked.
  ASSERT_GT(volumenes, 0);
  EXPECT_EQ(cajas.shown().size(), 0u);
  EXPECT_EQ(cuenta("SELECT * FROM Programa"), volumenes);
  EXPECT_EQ(cuenta("SELECT * FROM Programa WHERE Periodo < 3"), 0);
}

}  // namespace

// An Aceptar whose writes the disk refuses (while the rows are written, or at the commit that ends the
// save, once the dialog has closed): the cause is told once, nothing of the save is stored, and what
// the program shows (the rows, the rounding, the periods, the schedule's columns) is what the bid
// holds; the next Aceptar stores as usual.
TEST_F(Grabacion, ASaveTheDiskRefusesStoresNothingAndTheNextOneStores) {
  abre(2);
  FrmPrograma* programa = ui::Forms::instance().get<FrmPrograma>();
  ASSERT_TRUE(programa);
  const int volumenes = cuenta("SELECT * FROM Programa");
  const vb::Currency unidad = quarvel::unidadRedondeo;
  const QString carpeta = QFileInfo(ruta_).absolutePath();
  struct Caso {
    const char* nombre;
    testsupport::DiscoQueFalla::Archivos archivos;
    bool cierra;   // the dialog closed before the commit
  };
  for (const Caso& c : {Caso{"al escribir", testsupport::DiscoQueFalla::Archivos::Diarios, false},
                        Caso{"al confirmar", testsupport::DiscoQueFalla::Archivos::Bases, true}}) {
    SCOPED_TRACE(c.nombre);
    ASSERT_TRUE(carga());
    pon("empresa", "CAMBIADA");
    pon("Redondeo", "4");
    ponFecha(forma->FechaFin, 2025, 6, 30);
    const size_t vistas = cajas.shown().size();
    {
      testsupport::DiscoQueFalla disco(carpeta, 0, testsupport::DiscoQueFalla::Causa::Lleno, c.archivos);
      cajas.answer(ui::vbYes).answer(ui::vbOK);
      EXPECT_EQ(acepta(), c.cierra);
      EXPECT_GT(disco.rechazadas(), 0);
    }
    ASSERT_EQ(cajas.shown().size(), vistas + 2) << cajas.texts().join(" | ").toStdString();
    EXPECT_EQ(cajas.texts().back(), "Error en frmDatGen.Aceptar_Click 61 Disco lleno");
    if (!c.cierra) forma->Cancelar->click();
    EXPECT_EQ(texto(dato("NombreEmpresa")), "CONSTRUCTORA EJEMPLO DEL BAJÍO, S.A. DE C.V.");
    EXPECT_EQ(vb::CInt(dato("Periodos")), 6);
    EXPECT_EQ(cuenta("SELECT * FROM Programa"), volumenes);
    EXPECT_EQ(quarvel::unidadRedondeo, unidad);
    EXPECT_EQ(quarvel::tablaPeriodos.size(), 7u);
    EXPECT_EQ(programa->Grid1()->Columns().Count(), 9 + 6);
    EXPECT_EQ(quarvel::rsDatosGenerales->GetEditMode(), dao::EditMode::None);
  }

  ASSERT_TRUE(carga());
  pon("empresa", "OTRA");
  const size_t vistas = cajas.shown().size();
  ASSERT_TRUE(acepta());
  EXPECT_EQ(cajas.shown().size(), vistas);
  ui::Forms::instance().unload(programa);
  quarvel::dbObra->Close();
  auto archivo = dao::DBEngine::OpenDatabase(ruta_, false, true, quarvel::kConexion);
  EXPECT_EQ(texto(guardado("NombreEmpresa", *archivo, "DatosGenerales")), "OTRA");
  EXPECT_EQ(int(archivo->OpenRecordset("SELECT * FROM Programa", dao::RecordsetType::Snapshot)->RecordCount()), volumenes);
}
