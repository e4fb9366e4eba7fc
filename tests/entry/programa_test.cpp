// The work schedule on a copy of the sample bid (project 03/03/2025 to 29/08/2025, six monthly
// periods): the checks of an edited schedule cell, the volumes it writes and folds, and schedule rows
// pasted as a spreadsheet program writes them.
#include "copiado.h"
#include "obra.h"
#include "portapapeles.h"
#include "programa.h"
#include "quarvel.h"
#include "vbdate.h"

#include "qt_print.h"

namespace entrytest {
namespace {

using programa::Columna;

vb::Variant fecha(const char* t) { return vb::Variant::fromDate(*vb::parseDate(QString::fromLatin1(t))); }

// A01004 renglón 1 (ALB-001): quantity 286.5, from 01/04/2025 to 30/06/2025, 95.5 in each of periods 2-4.
programa::Fila alb001() {
  programa::Fila f;
  f.partida = QStringLiteral("A01004");
  f.renglon = 1;
  f.cantidad = 286.5;
  f.total = vb::CCur(286.5);
  f.comienzo = fecha("01/04/2025");
  f.fin = fecha("30/06/2025");
  return f;
}

class ProgramaTest : public ObraTest {
public:
  void pon(const QString& partida, int renglon, std::initializer_list<std::pair<int, double>> volumenes) {
    sql(QStringLiteral("DELETE FROM Programa WHERE Partida='%1' AND Renglon=%2").arg(partida).arg(renglon));
    for (const auto& [periodo, volumen] : volumenes)
      sql(QStringLiteral("INSERT INTO Programa (Partida, Renglon, Periodo, Volumen) VALUES ('%1', %2, %3, %4)")
              .arg(partida)
              .arg(renglon)
              .arg(periodo)
              .arg(volumen));
    quarvel::rsPrograma->Requery();  // rows added by SQL join the shared recordset only so
  }
};

// ---- The checks of an edited cell

struct CasoCelda {
  const char* nombre;
  Columna columna;
  int periodo;
  vb::Variant anterior;
  const char* texto;
  bool cerrada;
  vb::Currency total;  // of the row
  int16_t codigo;
};

void PrintTo(const CasoCelda& c, std::ostream* os) { *os << c.nombre; }

class RevisaCeldaTest : public ProgramaTest, public ::testing::WithParamInterface<CasoCelda> {};

TEST_P(RevisaCeldaTest, CodeOfTheEditedCell) {
  const CasoCelda& c = GetParam();
  if (c.cerrada)
    dato("BaseCerrada", true);
  programa::Fila fila = alb001();
  fila.total = c.total;
  EXPECT_EQ(programa::RevisaCelda(c.columna, c.periodo, c.anterior, QString::fromUtf8(c.texto), fila), c.codigo);
  // No check writes a volume; only an accepted date folds them, and these move no period.
  EXPECT_EQ(volumenes("A01004", 1), QStringList({"2:95.5", "3:95.5", "4:95.5"}));
}

const vb::Currency kLleno = vb::CCur(286.5);
const vb::Currency kHueco = vb::CCur(200);

INSTANTIATE_TEST_SUITE_P(
    Casos, RevisaCeldaTest,
    ::testing::Values(
        // Volumes.
        CasoCelda{"volume_accepted", Columna::Periodo, 3, "95.5", "90", false, kLleno, programa::kAcepta},
        CasoCelda{"volume_up_to_the_quantity", Columna::Periodo, 3, "90", "95.5", false, vb::CCur(281),
                  programa::kAcepta},
        CasoCelda{"volume_with_thousands", Columna::Periodo, 3, "1,090.00", "1,095.5", false, vb::CCur(1281),
                  programa::kSumaMayor},
        CasoCelda{"volume_above_the_budgeted_quantity", Columna::Periodo, 3, "95.5", "95.51", false, kLleno,
                  programa::kSumaMayor},
        CasoCelda{"letters_refused", Columna::Periodo, 3, "95.5", "abc", false, kLleno, programa::kVolumenInvalido},
        CasoCelda{"comma_decimal_refused", Columna::Periodo, 3, "95.5", "0,500", false, kLleno,
                  programa::kVolumenInvalido},
        CasoCelda{"negative_refused", Columna::Periodo, 3, "95.5", "-5", false, kLleno, programa::kVolumenInvalido},
        CasoCelda{"empty_refused", Columna::Periodo, 3, "95.5", "", false, kLleno, programa::kVolumenInvalido},
        CasoCelda{"beyond_currency_refused", Columna::Periodo, 3, "95.5", "1e300", false, kLleno,
                  programa::kVolumenInvalido},
        CasoCelda{"volume_before_the_start", Columna::Periodo, 1, vb::Variant(), "5", false, kHueco,
                  programa::kPeriodoInvalido},
        CasoCelda{"volume_after_the_end", Columna::Periodo, 5, vb::Variant(), "5", false, kHueco,
                  programa::kPeriodoInvalido},
        CasoCelda{"zero_outside_the_dates_accepted", Columna::Periodo, 1, vb::Variant(), "0", false, kLleno,
                  programa::kAcepta},
        CasoCelda{"same_volume_written_otherwise", Columna::Periodo, 3, "1,095.50", "1095.5", true, kLleno,
                  programa::kAcepta},
        // Dates.
        CasoCelda{"start_not_a_date", Columna::Comienzo, 0, fecha("01/04/2025"), "abc", false, kLleno,
                  programa::kValorInvalido},
        CasoCelda{"start_before_the_project", Columna::Comienzo, 0, fecha("01/04/2025"), "02/03/2025", false, kLleno,
                  programa::kInicioAntesDelProyecto},
        CasoCelda{"start_after_the_end", Columna::Comienzo, 0, fecha("01/04/2025"), "01/07/2025", false, kLleno,
                  programa::kInicioDespuesDelFin},
        CasoCelda{"start_earlier_in_its_period", Columna::Comienzo, 0, fecha("15/04/2025"), "01/04/2025", false,
                  kLleno, programa::kAcepta},
        CasoCelda{"end_not_a_date", Columna::Fin, 0, fecha("30/06/2025"), "", false, kLleno, programa::kValorInvalido},
        CasoCelda{"end_after_the_project", Columna::Fin, 0, fecha("30/06/2025"), "30/08/2025", false, kLleno,
                  programa::kFinDespuesDelProyecto},
        CasoCelda{"end_before_the_start", Columna::Fin, 0, fecha("30/06/2025"), "31/03/2025", false, kLleno,
                  programa::kFinAntesDelInicio},
        CasoCelda{"end_on_the_project_end", Columna::Fin, 0, fecha("30/06/2025"), "29/08/2025", false, kLleno,
                  programa::kAcepta},
        // A closed bid: every changed cell, dates too; the same value again passes.
        CasoCelda{"closed_volume", Columna::Periodo, 3, "95.5", "90", true, kLleno, programa::kBaseCerrada},
        CasoCelda{"closed_date", Columna::Fin, 0, fecha("30/06/2025"), "29/06/2025", true, kLleno,
                  programa::kBaseCerrada},
        CasoCelda{"closed_same_date", Columna::Fin, 0, fecha("30/06/2025"), "30/6/2025", true, kLleno,
                  programa::kAcepta},
        CasoCelda{"closed_empty_cell_left_empty", Columna::Periodo, 1, vb::Variant::null(), "", true, kLleno,
                  programa::kAcepta}),
    [](const auto& info) { return std::string(info.param.nombre); });

TEST_F(ProgramaTest, MessagesOfThePostedCodes) {
  EXPECT_EQ(programa::mensaje(1), "La base de datos esta cerrada no se puede modificar");
  EXPECT_EQ(programa::mensaje(2), "La suma de periodos es mayor que el volumen presupuestado");
  EXPECT_EQ(programa::mensaje(7), "Periodo invalido para la actividad");
  EXPECT_EQ(programa::mensaje(8), "El valor es inválido");
  EXPECT_EQ(programa::mensaje(9),
            "El volumen debe ser un número mayor o igual a 0, con punto decimal \".\" (por ejemplo 1,234.50)");
  EXPECT_EQ(programa::mensaje(0), "");
  EXPECT_EQ(programa::mensaje(10), "");
}

// ---- Folding when a date moves

TEST_F(ProgramaTest, StartMovedLaterFoldsTheVolumesItLeavesIntoItsPeriod) {
  pon("A01004", 1, {{2, 10}, {3, 20}, {4, 30}});
  programa::Fila fila = alb001();
  EXPECT_EQ(programa::RevisaCelda(Columna::Comienzo, 0, fila.comienzo, "15/06/2025", fila), programa::kAcepta);
  EXPECT_EQ(volumenes("A01004", 1), QStringList({"4:60"}));
}

TEST_F(ProgramaTest, EndMovedEarlierFoldsTheVolumesItLeavesIntoItsPeriod) {
  pon("A01004", 1, {{2, 10}, {3, 20}, {4, 30}});
  programa::Fila fila = alb001();
  EXPECT_EQ(programa::RevisaCelda(Columna::Fin, 0, fila.fin, "20/04/2025", fila), programa::kAcepta);
  EXPECT_EQ(volumenes("A01004", 1), QStringList({"2:60"}));
}

TEST_F(ProgramaTest, DatesMovedOutwardOrWithinAPeriodFoldNothing) {
  pon("A01004", 1, {{2, 10}, {3, 20}, {4, 30}});
  programa::Fila fila = alb001();
  EXPECT_EQ(programa::RevisaCelda(Columna::Comienzo, 0, fila.comienzo, "03/03/2025", fila), programa::kAcepta);
  EXPECT_EQ(programa::RevisaCelda(Columna::Fin, 0, fila.fin, "15/06/2025", fila), programa::kAcepta);
  EXPECT_EQ(programa::RevisaCelda(Columna::Fin, 0, fila.fin, "29/08/2025", fila), programa::kAcepta);
  // A concept without a start yet: every period up to the new one folds into it.
  fila.comienzo = vb::Variant::null();
  EXPECT_EQ(programa::RevisaCelda(Columna::Comienzo, 0, vb::Variant::null(), "01/05/2025", fila), programa::kAcepta);
  EXPECT_EQ(volumenes("A01004", 1), QStringList({"3:30", "4:30"}));
}

// ---- Writing volumes

TEST_F(ProgramaTest, VolumesWrittenReadAndDeletedAtZero) {
  programa::GrabaVolumen("A01004", 1, 3, vb::CCur(12.25));
  programa::GrabaVolumen("A01004", 1, 5, vb::CCur(1234.5));
  programa::GrabaVolumen("A01004", 1, 2, vb::Currency());
  programa::GrabaVolumen("A01004", 1, 1, vb::Currency());  // none there: nothing
  EXPECT_EQ(programa::TextoVolumen("A01004", 1, 5), "1,234.50");
  EXPECT_EQ(programa::TextoVolumen("A01004", 1, 2), "");
  EXPECT_EQ(programa::TotalProgramado("A01004", 1), vb::CCur(1342.25));
  // Periods beyond the bid's count are outside the programmed total.
  sql("INSERT INTO Programa (Partida, Renglon, Periodo, Volumen) VALUES ('A01004', 1, 7, 1)");
  EXPECT_EQ(programa::TotalProgramado("A01004", 1), vb::CCur(1342.25));
  EXPECT_EQ(programa::TotalProgramado("A01004", 99), vb::Currency());
  EXPECT_EQ(volumenes("A01004", 1), QStringList({"3:12.25", "4:95.5", "5:1234.5", "7:1"}));
}

TEST_F(ProgramaTest, QuoteInAPartidaIsALiteral) {
  EXPECT_FALSE(programa::Volumen("A'01004", 1, 2).has_value());
  EXPECT_EQ(programa::TotalProgramado("x' OR 'a'='a", 1), vb::Currency());
  EXPECT_EQ(programa::Criterio("A'1", 2, 3), "Partida='A''1' AND Renglon=2 AND Periodo=3");
}

TEST_F(ProgramaTest, PeriodOfADateByCalendarMonths) {
  EXPECT_EQ(programa::PeriodoDe(fecha("01/03/2025")), 1);
  EXPECT_EQ(programa::PeriodoDe(fecha("31/08/2025")), 6);
  EXPECT_EQ(programa::PeriodoDe(fecha("15/01/2026")), 11);
  EXPECT_EQ(programa::PeriodoDe(fecha("28/02/2025")), 0);
  EXPECT_EQ(programa::PeriodoDe(vb::Variant::null()), 0);
  EXPECT_TRUE(programa::PeriodoValido(fecha("01/04/2025"), fecha("30/06/2025"), 4));
  EXPECT_FALSE(programa::PeriodoValido(fecha("01/04/2025"), fecha("30/06/2025"), 5));
  EXPECT_FALSE(programa::PeriodoValido(vb::Variant::null(), fecha("30/06/2025"), 3));
  dato("FechaInicioProy", vb::Variant::null());
  EXPECT_EQ(programa::PeriodoDe(fecha("01/04/2025")), 0);
}

// ---- Pasted schedule rows

class DestinoPrograma : public copiado::DestinoPegado {
public:
  QString Forma() const override { return QStringLiteral("FrmPrograma"); }
  bool PegaCelda(const QString&) override { return true; }
  void Refresca() override { ++refrescado; }
  int refrescado = 0;
};

class PegaProgramaTest : public ProgramaTest {
public:
  void SetUp() override {
    ProgramaTest::SetUp();
    copiado::calculaPeriodos();
  }
  // Pastes text as a spreadsheet program on this system puts it on the clipboard (rows end in LF).
  void pega(const QString& texto) {
    portapapeles.texto = copiado::desdeSistema(texto);
    copiado::pegaClipboard(destino);
  }
  PortapapelesFalso portapapeles;
  DestinoPrograma destino;
};

TEST_F(PegaProgramaTest, SpreadsheetBlockWithABadRowAndNoToTheQuestion) {
  const QString pregunta = "Error: Volumen programado mayor al del presupuesto original. Partida:A01002 Renglón:1\r\n"
                           " ¿ Deseas continuar ?";
  cajas.answer(ui::vbOK).answer(ui::vbNo);
  pega("Partida\tRenglón\tCódigo\tComienzo\tFin\tPeriodo 1\tPeriodo 2\tPeriodo 3\tPeriodo 4\tPeriodo 5\tPeriodo 6\n"
       // Dates inside the first and last periods with a volume; an empty cell deletes its period.
       "A01001\t1\tPRE-001\t10/03/2025\t31/03/2025\t200\t220\t\t\t\t\n"
       // A volume that is no number: the row is refused whole.
       "A01001\t2\tPRE-002\t03/03/2025\t30/04/2025\t100\tabc\t\t\t\t\n"
       // Above the quantity (96.4): nothing of the row is applied, and No ends the paste.
       "A01002\t1\tCIM-001\t01/04/2025\t30/04/2025\t50\t50\t\t\t\t\n"
       "A01003\t1\tEST-001\t01/05/2025\t31/05/2025\t\t\t7.85\t\t\t\n");
  ASSERT_EQ(cajas.shown().size(), 2u);
  EXPECT_TRUE(cajas.texts()[0].startsWith("pegaclipdetalle: 13 " + vb::Error(13).description()));
  EXPECT_TRUE(cajas.texts()[0].contains("abc"));
  EXPECT_EQ(cajas.texts()[1], pregunta);
  EXPECT_EQ(cajas.shown()[1].buttons, ui::vbYesNo | ui::vbInformation);
  EXPECT_EQ(cajas.shown()[1].title, "Quarvel");
  EXPECT_EQ(destino.refrescado, 1);

  EXPECT_EQ(volumenes("A01001", 1), QStringList({"1:200", "2:220"}));
  EXPECT_EQ(concepto("A01001", 1), "10/03/2025-30/04/2025 420");
  EXPECT_EQ(volumenes("A01001", 2), QStringList({"1:257"}));
  EXPECT_EQ(concepto("A01001", 2), "03/03/2025-31/03/2025 257");
  // The refused row keeps its volumes and its dates (not the pasted 01/04/2025).
  EXPECT_EQ(volumenes("A01002", 1), QStringList({"1:48.2", "2:48.2"}));
  EXPECT_EQ(concepto("A01002", 1), "03/03/2025-30/04/2025 96.4");
  EXPECT_EQ(volumenes("A01003", 1), QStringList({"2:3.92", "3:3.93"}));
  EXPECT_EQ(concepto("A01003", 1), "01/04/2025-31/05/2025 7.85");
}

TEST_F(PegaProgramaTest, YesGoesOnWithTheNextRowAndTheRefusedRowStaysAsItWas) {
  cajas.answer(ui::vbYes);
  pega("Partida\tRenglón\tPeriodo 1\tPeriodo 2\tPeriodo 3\n"
       // 48.2 + 48.2 stored of 96.4: 40 + 60 + 10 would leave 110, so the row is asked about once
       // and applied not at all, neither its volumes nor its dates.
       "A01002\t1\t40\t60\t10\n"
       // An empty cell deletes its period.
       "A01002\t2\t\t27.1\t\n");
  EXPECT_EQ(cajas.texts().size(), 1u);
  EXPECT_EQ(volumenes("A01002", 1), QStringList({"1:48.2", "2:48.2"}));
  EXPECT_EQ(volumenes("A01002", 2), QStringList({"2:27.1"}));
  EXPECT_EQ(concepto("A01002", 1), "03/03/2025-30/04/2025 96.4");
  // No date column: periods with a volume give the dates, within the project's.
  EXPECT_EQ(concepto("A01002", 2), "01/04/2025-30/04/2025 27.1");
}

TEST_F(PegaProgramaTest, VolumesOnlySetDatesFromTheirPeriods) {
  pega("partida\trenglon\tPeriodo 3\tPeriodo 4\tPeriodo 5\tPeriodo 6\n"
       "A01004\t1\t50\t\t100\t41\n"
       // The same volume again adds nothing to the total (7.85, all of the quantity).
       "A01003\t1\t3.93\t\t\t\n"
       // No volume: period 1 gives the dates.
       "A01001\t1\t\t\t\t\n");
  EXPECT_TRUE(cajas.shown().empty());
  // The dates reach the volumes the block did not touch (period 2) as well as the pasted ones.
  EXPECT_EQ(volumenes("A01004", 1), QStringList({"2:95.5", "3:50", "5:100", "6:41"}));
  EXPECT_EQ(concepto("A01004", 1), "01/04/2025-29/08/2025 286.5");
  EXPECT_EQ(volumenes("A01003", 1), QStringList({"2:3.92", "3:3.93"}));
  EXPECT_EQ(concepto("A01003", 1), "01/04/2025-31/05/2025 7.85");
  EXPECT_EQ(volumenes("A01001", 1), QStringList({"1:420"}));
  EXPECT_EQ(concepto("A01001", 1), "03/03/2025-31/03/2025 420");
}

TEST_F(PegaProgramaTest, DatesOnlyAreCheckedAndKeepTheTotal) {
  sql("UPDATE Presupuesto SET TotalVol = 1 WHERE Partida = 'A01004' AND Renglon = 1");
  cajas.answer(ui::vbYes).answer(ui::vbYes).answer(ui::vbNo);
  pega("Partida\tRenglón\tComienzo\tFin\n"
       "A01004\t1\t15/04/2025\t15/07/2025\n"   // accepted: dates replaced, volumes and total kept
       "A01004\t2\t\t31/03/2025\n"              // end before the concept's start (01/04/2025)
       "A01004\t3\t01/02/2025\t30/06/2025\n"   // start before the project
       "A01004\t4\t01/04/2025\t30/09/2025\n"   // end after the project: No
       "A01004\t5\t01/05/2025\t31/05/2025\n");
  EXPECT_EQ(cajas.texts(),
            QStringList({"Error: El Comienzo de actividad mayor que Fin de actividad. Partida:A01004 Renglón:2\r\n"
                         " ¿ Deseas continuar ?",
                         "Error: Comienzo fuera de las fechas del proyecto. Partida:A01004 Renglón:3\r\n"
                         " ¿ Deseas continuar ?",
                         "Error: Fin fuera de las fechas del proyecto. Partida:A01004 Renglón:4\r\n"
                         " ¿ Deseas continuar ?"}));
  EXPECT_EQ(concepto("A01004", 1), "15/04/2025-15/07/2025 1");
  EXPECT_EQ(concepto("A01004", 2), "01/04/2025-30/06/2025 498.2");
  EXPECT_EQ(concepto("A01004", 3), "01/04/2025-30/06/2025 236.4");
  EXPECT_EQ(concepto("A01004", 5), "01/04/2025-30/06/2025 35.5");
}

TEST_F(PegaProgramaTest, RowsThatChangeNothing) {
  cajas.answer(ui::vbOK).answer(ui::vbOK).answer(ui::vbOK).answer(ui::vbOK);
  pega("Partida\tRenglón\tComienzo\tPeriodo 1\n"
       "Z99\t1\t03/03/2025\t5\n"            // no such concept
       "A01001\tuno\t03/03/2025\t5\n"       // a renglón that is no number
       "A01001\t1\t31/02/2025\t5\n"         // a start that is no date
       "A01001\t1\t\t-5\n");                // a negative volume
  // Without partida and renglón columns a block is refused before its rows.
  pega("Código\tPeriodo 1\nPRE-001\t5\n");
  ASSERT_EQ(cajas.shown().size(), 4u);
  for (const QString& texto : cajas.texts().mid(0, 3))
    EXPECT_TRUE(texto.startsWith("pegaclipdetalle: 13 " + vb::Error(13).description())) << texto.toStdString();
  EXPECT_EQ(cajas.texts()[3], "No se puede pegar un bloque de datos que no contenga un encabezado de columna partida");
  EXPECT_EQ(volumenes("A01001", 1), QStringList({"1:420"}));
  EXPECT_EQ(concepto("A01001", 1), "03/03/2025-31/03/2025 420");
}

}  // namespace
}  // namespace entrytest
