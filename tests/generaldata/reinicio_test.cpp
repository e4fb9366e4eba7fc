// Moving the project dates or the periodicity in the dialog: the schedule's volumes are never lost
// without a question, the bid keeps no concept dated outside the project, and one Aceptar reaches the
// file whole or not at all.
#include "datgenfixture.h"

#include "boundgrid.h"
#include "frmprograma.h"
#include "obra_periodica.h"
#include "vbdate.h"

#include <QApplication>
#include <QFileInfo>

#include <map>
#include <set>
#include <tuple>

namespace {

using namespace datgentest;

class Reinicio : public DatGenTest {
protected:
  // The dialog shown as the user has it, on its works page.
  void abreDialogo() {
    ASSERT_TRUE(carga());
    ASSERT_TRUE(activa());
    muestraPagina(QStringLiteral("Obra"));
  }
  // A date typed into its box as it is shown, and the box left with Tab.
  static void teclea(ui::DatePicker* caja, const char* fecha) {
    caja->setFocus();
    QTest::keyClicks(caja, fecha);
    QTest::keyClick(caja, Qt::Key_Tab);
  }
  // Aceptar clicked; true when the dialog closed.
  bool aceptaConClic() {
    QPointer<FrmDatGen> f(forma);
    QTest::mouseClick(f->Aceptar, Qt::LeftButton);
    QCoreApplication::processEvents();
    return !f || !ui::Forms::instance().isLoaded(f);
  }
  static QDate fechaGuardada(const char* campo) { return vb::toQDate(vb::CDate(dato(QString::fromLatin1(campo)))); }
  // Concepts whose programmed total is not the sum of their volumes.
  static int totalesDescuadrados() {
    return cuenta("SELECT * FROM Presupuesto AS p WHERE TotalVol <> (SELECT Nz(Sum(Volumen), 0) FROM Programa AS g "
                  "WHERE g.Partida = p.Partida AND g.Renglon = p.Renglon)");
  }
  static int fuera(const QDate& inicio, const QDate& fin) {
    const QString i = QString::number(vb::fromQDate(inicio), 'f', 0);
    const QString f = QString::number(vb::fromQDate(fin), 'f', 0);
    return cuenta(QStringLiteral("SELECT * FROM Presupuesto WHERE FechaIni < %1 OR FechaFin < %1 OR FechaIni > %2 OR "
                                 "FechaFin > %2")
                      .arg(i, f));
  }
  // The schedule as stored: section, row, period, volume; sorted.
  using Volumen = std::tuple<QString, int, int, QString>;
  static std::vector<Volumen> programa() {
    auto rs = quarvel::dbObra->OpenRecordset("SELECT Partida, Renglon, Periodo, Volumen FROM Programa",
                                             dao::RecordsetType::Snapshot);
    std::vector<Volumen> v;
    for (; !rs->EOF_(); rs->MoveNext())
      v.emplace_back(vb::CStr(rs->Value("Partida")), vb::CLng(rs->Value("Renglon")), vb::CInt(rs->Value("Periodo")),
                     vb::CStr(rs->Value("Volumen")));
    std::sort(v.begin(), v.end());
    return v;
  }
  // Volumes programmed in a period outside their concept's dates, the periods counted on the calendar
  // from `inicio`.
  static int fueraDeSusFechas(const QDate& inicio, int periodicidad) {
    auto rs = quarvel::dbObra->OpenRecordset(
        "SELECT g.Periodo, p.FechaIni, p.FechaFin FROM Programa AS g, Presupuesto AS p WHERE g.Partida = p.Partida "
        "AND g.Renglon = p.Renglon",
        dao::RecordsetType::Snapshot);
    int n = 0;
    for (; !rs->EOF_(); rs->MoveNext()) {
      const int periodo = vb::CInt(rs->Value("Periodo"));
      const auto de = [&](const char* campo) {
        return testsupport::periodoCalendario(testsupport::fechaDe(rs->Value(campo)), inicio, periodicidad);
      };
      if (periodo < de("FechaIni") || periodo > de("FechaFin")) ++n;
    }
    return n;
  }
  static const QString& kPregunta() {
    static const QString texto = QStringLiteral("¿Desea continuar?");
    return texto;
  }
};

// The sample: 3 March to 29 August 2025, monthly, 577 volumes of 257 concepts; 125 concepts hold
// volumes in July and August (periods 5 and 6); 172 concepts end after 15 June, 41 start after it.
TEST_F(Reinicio, AnEarlierEndAsksFirstAndOnYesCutsTheScheduleAndBringsTheConceptsInside) {
  for (int16_t edicion : {int16_t(2), int16_t(1)}) {
    SCOPED_TRACE(edicion == 1 ? "Plicadora" : "contractor");
    abre(edicion);
    FrmPrograma* programa = ui::Forms::instance().get<FrmPrograma>();
    ASSERT_TRUE(programa);
    ASSERT_EQ(programa->Grid1()->Columns().Count(), 9 + 6);
    const int volumenes = cuenta("SELECT * FROM Programa");
    const int quedan = cuenta("SELECT * FROM Programa WHERE Periodo <= 4");
    ASSERT_EQ(volumenes, 577);
    // 45823 is 15 June 2025.
    const int terminanEseDia = cuenta("SELECT * FROM Presupuesto WHERE FechaFin = 45823");
    const int empiezanEseDia = cuenta("SELECT * FROM Presupuesto WHERE FechaIni = 45823");
    const int terminanAntes = cuenta("SELECT * FROM Presupuesto WHERE FechaFin < 45823");
    ASSERT_EQ(cuenta("SELECT * FROM Presupuesto WHERE FechaFin > 45823"), 172);
    ASSERT_EQ(cuenta("SELECT * FROM Presupuesto WHERE FechaIni > 45823"), 41);

    abreDialogo();
    teclea(forma->FechaFin, "15/06/2025");
    ASSERT_EQ(dia(forma->FechaFin), QDate(2025, 6, 15));
    const QString firma = texto(edicion == 1 ? titgen("Nombre") : dato("Nombre"));
    pon("Nombre", "FIRMA NUEVA");
    // No: nothing is stored (not even the signatures the Plicadora edition writes to the library
    // before the question) and the dialog stays open.
    const size_t antes = cajas.shown().size();
    cajas.answer(ui::vbNo);
    EXPECT_FALSE(aceptaConClic());
    ASSERT_EQ(cajas.shown().size(), antes + 1);
    const ui::MsgBoxRequest& caja = cajas.shown()[antes];
    const QString pregunta = caja.prompt;
    EXPECT_EQ(pregunta,
              "Con las nuevas fechas la obra termina en el periodo 4: se borrarán los volúmenes programados después de "
              "ese periodo de 125 conceptos y se moverán dentro de la obra las fechas de 172 conceptos. ¿Desea continuar?");
    EXPECT_EQ(caja.buttonSet(), ui::vbYesNo);
    EXPECT_EQ(caja.icon(), ui::vbQuestion);
    EXPECT_EQ(quarvel::rsDatosGenerales->GetEditMode(), dao::EditMode::None);
    EXPECT_EQ(fechaGuardada("FechaFinalProy"), QDate(2025, 8, 29));
    EXPECT_EQ(vb::CInt(dato("Periodos")), 6);
    EXPECT_EQ(cuenta("SELECT * FROM Programa"), volumenes);
    EXPECT_EQ(fuera(QDate(2025, 3, 3), QDate(2025, 8, 29)), 0);
    EXPECT_EQ(texto(edicion == 1 ? titgen("Nombre") : dato("Nombre")), firma);
    if (edicion == 1) EXPECT_EQ(texto(quarvel::rsTitgen->Value("Nombre")), firma) << "as the open row shows it";

    // Yes: the periods the bid no longer has go, with their concepts' totals, and no concept is dated
    // after the project.
    cajas.answer(ui::vbYes);
    ASSERT_TRUE(aceptaConClic());
    EXPECT_EQ(cajas.texts().mid(int(antes)), (QStringList{pregunta, pregunta}));
    EXPECT_EQ(fechaGuardada("FechaFinalProy"), QDate(2025, 6, 15));
    EXPECT_EQ(texto(edicion == 1 ? titgen("Nombre") : dato("Nombre")), "FIRMA NUEVA");
    EXPECT_EQ(vb::CInt(dato("Periodos")), 4);
    EXPECT_EQ(cuenta("SELECT * FROM Programa"), quedan);
    EXPECT_EQ(totalesDescuadrados(), 0);
    EXPECT_EQ(fuera(QDate(2025, 3, 3), QDate(2025, 6, 15)), 0);
    EXPECT_EQ(cuenta("SELECT * FROM Presupuesto WHERE FechaFin = 45823"), terminanEseDia + 172);
    EXPECT_EQ(cuenta("SELECT * FROM Presupuesto WHERE FechaIni = 45823"), empiezanEseDia + 41)
        << "a concept that started after the new end starts on it";
    EXPECT_EQ(cuenta("SELECT * FROM Presupuesto WHERE FechaFin < 45823"), terminanAntes) << "the others keep their dates";
    EXPECT_EQ(programa->Grid1()->Columns().Count(), 9 + 4);
  }
}

// Another periodicity numbers other periods: the schedule is planned again from nothing.
TEST_F(Reinicio, AnotherPeriodicityAsksFirstAndOnYesClearsTheWholeSchedule) {
  struct Caso {
    const char* nombre;
    const char* inicio;  // typed, or nullptr
    bool programaVacio;
    int columnas;
  } casos[] = {
      {"weekly", nullptr, false, 26},
      {"weekly from another month", "03/02/2025", false, 30},
      {"nothing programmed: nothing to ask", nullptr, true, 26},
  };
  for (const Caso& c : casos) {
    SCOPED_TRACE(c.nombre);
    abre(1, QStringLiteral("Ejemplo.mdb"), [&](dao::Database& obra, dao::Database&) {
      if (c.programaVacio) {
        obra.Execute("DELETE * FROM Programa");
        obra.Execute("UPDATE Presupuesto SET TotalVol = 0");
      }
    });
    FrmPrograma* programa = ui::Forms::instance().get<FrmPrograma>();
    abreDialogo();
    if (c.inicio) teclea(forma->FechaIni, c.inicio);
    QTest::mouseClick(forma->optSemanal, Qt::LeftButton, {}, QPoint(4, forma->optSemanal->height() / 2));
    const int antes = int(cajas.shown().size());
    if (!c.programaVacio) {
      cajas.answer(ui::vbNo);
      EXPECT_FALSE(aceptaConClic());
      ASSERT_EQ(int(cajas.shown().size()), antes + 1);
      EXPECT_EQ(cajas.shown().back().prompt,
                "Con la nueva periodicidad cambian todos los periodos del programa de obra: se borrarán todos los "
                "volúmenes programados, los de 257 conceptos. ¿Desea continuar?");
      EXPECT_EQ(cuenta("SELECT * FROM Programa"), 577);
      EXPECT_EQ(vb::CInt(dato("Periodicidad")), 1);
      EXPECT_EQ(fechaGuardada("FechaInicioProy"), QDate(2025, 3, 3));
      cajas.answer(ui::vbYes);
    }
    ASSERT_TRUE(aceptaConClic());
    EXPECT_EQ(int(cajas.shown().size()) - antes, c.programaVacio ? 0 : 2);
    EXPECT_EQ(cuenta("SELECT * FROM Programa"), 0);
    EXPECT_EQ(cuenta("SELECT * FROM Presupuesto WHERE TotalVol <> 0"), 0);
    EXPECT_EQ(vb::CInt(dato("Periodos")), c.columnas);
    EXPECT_EQ(programa->Grid1()->Columns().Count(), 9 + c.columnas);
    EXPECT_EQ(fuera(fechaGuardada("FechaInicioProy"), fechaGuardada("FechaFinalProy")), 0);
  }
}

TEST_F(Reinicio, ChangesThatKeepThePeriodsKeepEveryVolumeWithoutAQuestion) {
  struct Caso {
    const char* nombre;
    int16_t edicion;
    const char* inicio;
    const char* fin;
    int periodos;
    bool adelantaInicio;  // the concepts that started before the new start start on it
  } casos[] = {
      {"a later end, contractor", 2, nullptr, "15/10/2025", 8, false},
      {"a later end, Plicadora", 1, nullptr, "15/10/2025", 8, false},
      {"an earlier end in the last month", 2, nullptr, "15/08/2025", 6, false},
      {"an earlier start in the same month", 1, "01/03/2025", nullptr, 6, false},
      {"a later start in the same month", 1, "10/03/2025", nullptr, 6, true},
      {"nothing changed", 2, nullptr, nullptr, 6, false},
  };
  for (const Caso& c : casos) {
    SCOPED_TRACE(c.nombre);
    abre(c.edicion, QStringLiteral("Ejemplo.mdb"), [](dao::Database& obra, dao::Database&) {
      obra.Execute("UPDATE DatosGenerales SET FechaTope = #12/31/2025#");
    });
    const int volumenes = cuenta("SELECT * FROM Programa");
    // 45726 is 10 March 2025.
    const int empiezanAntes = cuenta("SELECT * FROM Presupuesto WHERE FechaIni < 45726");
    const int empiezanEseDia = cuenta("SELECT * FROM Presupuesto WHERE FechaIni = 45726");
    abreDialogo();
    if (c.inicio) teclea(forma->FechaIni, c.inicio);
    if (c.fin) teclea(forma->FechaFin, c.fin);
    const size_t antes = cajas.shown().size();
    ASSERT_TRUE(aceptaConClic());
    EXPECT_EQ(cajas.shown().size(), antes) << cajas.texts().join(" | ").toStdString();
    EXPECT_EQ(vb::CInt(dato("Periodos")), c.periodos);
    EXPECT_EQ(cuenta("SELECT * FROM Programa"), volumenes);
    EXPECT_EQ(totalesDescuadrados(), 0);
    EXPECT_EQ(fuera(fechaGuardada("FechaInicioProy"), fechaGuardada("FechaFinalProy")), 0);
    if (c.adelantaInicio) {
      ASSERT_GT(empiezanAntes, 0);
      EXPECT_EQ(cuenta("SELECT * FROM Presupuesto WHERE FechaIni = 45726"), empiezanEseDia + empiezanAntes);
    }
  }
}

// A new start with the periodicity unchanged: periods are calendar periods, so each volume stays in the
// period it was programmed in, under that period's new number; only the volumes of periods now outside
// the project go, and only then is the question asked. The sample in each periodicity (monthly 577
// volumes, weekly 514), its project 03/03/2025 (a Monday) to 29/08/2025.
TEST_F(Reinicio, ANewStartKeepsEachVolumeInItsCalendarPeriod) {
  // The start is the contracting body's (the contractor's box is locked); the contractor moves the end
  // of a bid of any periodicity.
  struct Caso {
    const char* nombre;
    int16_t edicion;
    int periodicidad;
    const char* inicio;  // nullptr: unchanged
    const char* fin;     // nullptr: unchanged
    bool pierde;         // volumes fall outside the project
  } casos[] = {
      {"monthly, a month earlier", 1, 1, "03/02/2025", nullptr, false},
      {"monthly, a year earlier and the end a year later", 1, 1, "03/03/2024", "29/08/2026", false},
      {"fortnightly, a fortnight earlier", 1, 2, "20/02/2025", nullptr, false},
      {"weekly, a week earlier", 1, 3, "24/02/2025", nullptr, false},
      {"daily, ten days earlier", 1, 4, "21/02/2025", nullptr, false},
      {"monthly, a later start in the middle of April", 1, 1, "15/04/2025", nullptr, true},
      {"weekly, a week later", 1, 3, "10/03/2025", nullptr, true},
      {"weekly, a Wednesday two weeks later: its first week cut", 1, 3, "19/03/2025", nullptr, true},
      {"fortnightly, a later start and an earlier end", 1, 2, "16/04/2025", "15/07/2025", true},
      {"daily, a day later", 1, 4, "04/03/2025", nullptr, true},
      {"weekly, a later end, contractor", 2, 3, nullptr, "30/10/2025", false},
      {"daily, an earlier end, contractor", 2, 4, nullptr, "10/08/2025", true},
  };
  const QDate inicioAntes(2025, 3, 3), finAntes(2025, 8, 29);
  auto cuantos = [](size_t n, const char* uno, const char* varios) {
    return QStringLiteral("%1 %2").arg(n).arg(QString::fromUtf8(n == 1 ? uno : varios));
  };
  for (const Caso& c : casos) {
    SCOPED_TRACE(c.nombre);
    abre(c.edicion, QStringLiteral("Ejemplo.mdb"), [&](dao::Database& obra, dao::Database&) {
      if (c.periodicidad != 1) testsupport::cambiaPeriodicidad(obra, c.periodicidad);
      obra.Execute("UPDATE DatosGenerales SET FechaTope = #12/31/2026#");
    });
    FrmPrograma* ventana = ui::Forms::instance().get<FrmPrograma>();
    ASSERT_TRUE(ventana);
    auto fecha = [](const char* t, const QDate& otra) {
      return t ? QDate::fromString(QString::fromLatin1(t), QStringLiteral("dd/MM/yyyy")) : otra;
    };
    const QDate inicio = fecha(c.inicio, inicioAntes), fin = fecha(c.fin, finAntes);
    const int periodos = testsupport::periodoCalendario(fin, inicio, c.periodicidad);

    // What should stay: each volume's period found on the calendar by one of its days, and numbered
    // again from the new start.
    std::map<int, QDate> diaDe;
    for (QDate d = inicioAntes; d <= finAntes; d = d.addDays(1))
      diaDe.emplace(testsupport::periodoCalendario(d, inicioAntes, c.periodicidad), d);
    const std::vector<Volumen> antes = programa();
    std::vector<Volumen> quedan;
    std::set<std::pair<QString, int>> pierden;
    for (const auto& [partida, renglon, periodo, volumen] : antes) {
      ASSERT_EQ(diaDe.count(periodo), 1u) << periodo;
      const int nuevo = testsupport::periodoCalendario(diaDe[periodo], inicio, c.periodicidad);
      if (nuevo >= 1 && nuevo <= periodos)
        quedan.emplace_back(partida, renglon, nuevo, volumen);
      else
        pierden.emplace(partida, renglon);
    }
    std::sort(quedan.begin(), quedan.end());
    ASSERT_EQ(quedan.size() < antes.size(), c.pierde);
    ASSERT_EQ(fueraDeSusFechas(inicioAntes, c.periodicidad), 0);
    const int fechasMovidas = fuera(inicio, fin);

    abreDialogo();
    if (c.inicio) teclea(forma->FechaIni, c.inicio);
    if (c.fin) teclea(forma->FechaFin, c.fin);
    const size_t preguntas = cajas.shown().size();
    if (c.pierde) {
      // No: nothing is stored and the dialog stays open.
      cajas.answer(ui::vbNo);
      EXPECT_FALSE(aceptaConClic());
      ASSERT_EQ(cajas.shown().size(), preguntas + 1);
      const QString pregunta = cajas.shown().back().prompt;
      const QString borra =
          c.inicio ? QStringLiteral("se borrarán %1 de %2 que quedan fuera de la obra")
                         .arg(cuantos(antes.size() - quedan.size(), "volumen programado", "volúmenes programados"),
                              cuantos(pierden.size(), "concepto", "conceptos"))
                   : QStringLiteral("la obra termina en el periodo %1: se borrarán los volúmenes programados después de "
                                    "ese periodo de %2")
                         .arg(periodos)
                         .arg(cuantos(pierden.size(), "concepto", "conceptos"));
      EXPECT_TRUE(pregunta.contains(borra)) << pregunta.toStdString();
      EXPECT_TRUE(pregunta.contains(QStringLiteral("se moverán dentro de la obra las fechas de ") +
                                    cuantos(size_t(fechasMovidas), "concepto", "conceptos")))
          << pregunta.toStdString();
      EXPECT_TRUE(pregunta.endsWith(kPregunta()));
      EXPECT_EQ(programa(), antes);
      EXPECT_EQ(fechaGuardada("FechaInicioProy"), inicioAntes);
      cajas.answer(ui::vbYes);
    }
    ASSERT_TRUE(aceptaConClic());
    EXPECT_EQ(cajas.shown().size(), preguntas + (c.pierde ? 2 : 0)) << cajas.texts().join(" | ").toStdString();
    EXPECT_EQ(fechaGuardada("FechaInicioProy"), inicio);
    EXPECT_EQ(vb::CInt(dato("Periodos")), periodos);
    EXPECT_EQ(programa(), quedan);
    EXPECT_EQ(totalesDescuadrados(), 0);
    EXPECT_EQ(fuera(inicio, fin), 0);
    EXPECT_EQ(fueraDeSusFechas(inicio, c.periodicidad), 0) << "the concepts' dates cover their volumes";
    // The open schedule window shows each period's volumes in its column (the first ones looked at).
    ui::BoundGrid& grid = *ventana->Grid1();
    ASSERT_EQ(grid.Columns().Count(), 9 + periodos);
    const int vistos = std::min(periodos, 8);
    std::vector<int> porPeriodo(size_t(vistos) + 1), enLaVentana(size_t(vistos) + 1);
    for (const auto& [partida, renglon, periodo, volumen] : quedan)
      if (periodo <= vistos) ++porPeriodo[size_t(periodo)];
    for (int fila = 0; fila < grid.recordsetModel()->recordCount(); ++fila)
      for (int p = 1; p <= vistos; ++p)
        if (!grid.cellText(fila, 9 + p - 1).isEmpty()) ++enLaVentana[size_t(p)];
    EXPECT_EQ(enLaVentana, porPeriodo);
    // Period 1 begins at the new start (a month on its 1st).
    ASSERT_GT(quarvel::tablaPeriodos.size(), size_t(periodos));
    EXPECT_EQ(vb::toQDate(quarvel::tablaPeriodos[1].inicio),
              c.periodicidad == 1 ? QDate(inicio.year(), inicio.month(), 1) : inicio);
  }
}

// A bid without a start has periods on no calendar: given a start, its volumes keep their numbers.
TEST_F(Reinicio, AStartGivenToABidWithoutOneKeepsThePeriodNumbers) {
  abre(1, QStringLiteral("Ejemplo.mdb"), [](dao::Database& obra, dao::Database&) {
    obra.Execute("UPDATE DatosGenerales SET FechaInicioProy = Null");
  });
  const std::vector<Volumen> antes = programa();
  ASSERT_EQ(antes.size(), 577u);
  abreDialogo();
  teclea(forma->FechaIni, "03/03/2025");
  const size_t preguntas = cajas.shown().size();
  ASSERT_TRUE(aceptaConClic());
  EXPECT_EQ(cajas.shown().size(), preguntas) << cajas.texts().join(" | ").toStdString();
  EXPECT_EQ(fechaGuardada("FechaInicioProy"), QDate(2025, 3, 3));
  EXPECT_EQ(vb::CInt(dato("Periodos")), 6);
  EXPECT_EQ(programa(), antes);
  EXPECT_EQ(totalesDescuadrados(), 0);
}

// A kill at any moment of the save leaves on disk what the file held at that moment: its committed
// state, the journal undoing the rest when it is opened again. Each statement of the save is such a
// moment; a copy of the file (and its journal) taken there must open as the old bid or the new one.
// Both saves that touch the schedule: an earlier end cuts it, a later start cuts and renumbers it.
TEST_F(Reinicio, ASaveInterruptedAtAnyStatementLeavesTheOldBidOrTheNewOne) {
  struct Estado {
    double inicio = 0, fin = 0;
    int periodos = 0, volumenes = 0, terminanDespues = 0;
    double sumaPeriodos = 0, totalVol = 0;
    bool operator==(const Estado&) const = default;
    std::string texto() const {
      return QString("inicio %1, fin %2, %3 periodos, %4 volúmenes en periodos que suman %5, %6 después, TotalVol %7")
          .arg(inicio).arg(fin).arg(periodos).arg(volumenes).arg(sumaPeriodos).arg(terminanDespues).arg(totalVol)
          .toStdString();
    }
  };
  auto estado = [](dao::Database& db) {
    auto uno = [&](const char* sql) {
      return db.OpenRecordset(QString::fromLatin1(sql), dao::RecordsetType::Snapshot)->Fields(0).Value();
    };
    return Estado{vb::CDate(uno("SELECT FechaInicioProy FROM DatosGenerales")),
                  vb::CDate(uno("SELECT FechaFinalProy FROM DatosGenerales")),
                  vb::CInt(uno("SELECT Periodos FROM DatosGenerales")), vb::CInt(uno("SELECT Count(*) FROM Programa")),
                  vb::CInt(uno("SELECT Count(*) FROM Presupuesto WHERE FechaFin > 45823")),
                  vb::CDbl(uno("SELECT Nz(Sum(Periodo), 0) FROM Programa")), vb::CDbl(uno("SELECT Sum(TotalVol) FROM Presupuesto"))};
  };
  auto estadoDe = [&](const QString& ruta) {
    auto db = dao::DBEngine::OpenDatabase(ruta, true, false, quarvel::kConexion);
    const Estado e = estado(*db);
    db->Close();
    return e;
  };
  struct Caso {
    const char* nombre;
    int16_t edicion;
    bool inicio;  // the start typed, else the end
    const char* fecha;
    int periodos;
  } casos[] = {
      {"an earlier end", 2, false, "15/06/2025", 4},
      {"a later start in the middle of April", 1, true, "15/04/2025", 5},
  };
  for (const Caso& c : casos) {
    SCOPED_TRACE(c.nombre);
    abre(c.edicion);
    const QString original = dir_->filePath("original.mdb");
    ASSERT_TRUE(testsupport::copiaDelPrograma(QStringLiteral("Ejemplo.mdb"), original));
    const Estado viejo = estadoDe(original);

    abreDialogo();
    teclea(c.inicio ? forma->FechaIni : forma->FechaFin, c.fecha);
    // After every statement of the save, the files as a kill would leave them.
    QStringList copias;
    const int suscripcion = quarvel::dbObra->Subscribe([&](const QString&) {
      const QString copia = dir_->filePath(QString("corte%1.mdb").arg(copias.size()));
      QFile::copy(ruta_, copia);
      if (QFileInfo::exists(ruta_ + "-journal")) QFile::copy(ruta_ + "-journal", copia + "-journal");
      copias << copia;
    });
    cajas.answer(ui::vbYes);
    ASSERT_TRUE(aceptaConClic());
    quarvel::dbObra->Unsubscribe(suscripcion);
    const Estado nuevo = estado(*quarvel::dbObra);
    ASSERT_NE(nuevo, viejo);
    ASSERT_EQ(nuevo.periodos, c.periodos);
    ASSERT_LT(nuevo.volumenes, viejo.volumenes) << "volumes were deleted";

    ASSERT_GT(copias.size(), 3) << "the save runs several statements";
    for (const QString& copia : copias) {
      SCOPED_TRACE(QFileInfo(copia).fileName().toStdString());
      const Estado e = estadoDe(copia);
      EXPECT_TRUE(e == viejo || e == nuevo) << e.texto() << "\n old: " << viejo.texto() << "\n new: " << nuevo.texto();
    }
  }
}

}  // namespace
