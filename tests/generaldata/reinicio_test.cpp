// Moving the project dates or the periodicity in the dialog: the schedule's volumes are never lost
// without a question, the bid keeps no concept dated outside the project, and one Aceptar reaches the
// file whole or not at all.
#include "datgenfixture.h"

#include "boundgrid.h"
#include "frmprograma.h"
#include "vbdate.h"

#include <QApplication>
#include <QFileInfo>

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
              "ese periodo de 125 conceptos. ¿Desea continuar?");
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

TEST_F(Reinicio, RenumberedPeriodsAskFirstAndOnYesClearTheWholeSchedule) {
  struct Caso {
    const char* nombre;
    const char* inicio;  // typed, or nullptr
    bool semanal;
    bool programaVacio;
    int columnas;
  } casos[] = {
      {"a start in another month", "03/02/2025", false, false, 7},
      {"a weekly schedule", nullptr, true, false, 26},
      {"nothing programmed: nothing to ask", "03/02/2025", false, true, 7},
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
    if (c.semanal) QTest::mouseClick(forma->optSemanal, Qt::LeftButton, {}, QPoint(4, forma->optSemanal->height() / 2));
    const int antes = int(cajas.shown().size());
    if (!c.programaVacio) {
      cajas.answer(ui::vbNo);
      EXPECT_FALSE(aceptaConClic());
      ASSERT_EQ(int(cajas.shown().size()), antes + 1);
      EXPECT_EQ(cajas.shown().back().prompt,
                "Con la nueva fecha de inicio o periodicidad cambian los periodos del programa de obra: se borrarán los "
                "volúmenes programados de 257 conceptos. ¿Desea continuar?");
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

// A kill at any moment of the save leaves on disk what the file held at that moment: its committed
// state, the journal undoing the rest when it is opened again. Each statement of the save is such a
// moment; a copy of the file (and its journal) taken there must open as the old bid or the new one.
TEST_F(Reinicio, ASaveInterruptedAtAnyStatementLeavesTheOldBidOrTheNewOne) {
  struct Estado {
    double fin = 0;
    int periodos = 0, volumenes = 0, terminanDespues = 0;
    double totalVol = 0;
    bool operator==(const Estado&) const = default;
    std::string texto() const {
      return QString("fin %1, %2 periodos, %3 volúmenes, %4 después, TotalVol %5")
          .arg(fin).arg(periodos).arg(volumenes).arg(terminanDespues).arg(totalVol).toStdString();
    }
  };
  auto estado = [](dao::Database& db) {
    auto uno = [&](const char* sql) {
      return db.OpenRecordset(QString::fromLatin1(sql), dao::RecordsetType::Snapshot)->Fields(0).Value();
    };
    return Estado{vb::CDate(uno("SELECT FechaFinalProy FROM DatosGenerales")),
                  vb::CInt(uno("SELECT Periodos FROM DatosGenerales")), vb::CInt(uno("SELECT Count(*) FROM Programa")),
                  vb::CInt(uno("SELECT Count(*) FROM Presupuesto WHERE FechaFin > 45823")),
                  vb::CDbl(uno("SELECT Sum(TotalVol) FROM Presupuesto"))};
  };
  auto estadoDe = [&](const QString& ruta) {
    auto db = dao::DBEngine::OpenDatabase(ruta, true, false, quarvel::kConexion);
    const Estado e = estado(*db);
    db->Close();
    return e;
  };
  const QString original = dir_->filePath("original.mdb");
  ASSERT_TRUE(testsupport::copiaDelPrograma(QStringLiteral("Ejemplo.mdb"), original));
  const Estado viejo = estadoDe(original);

  abre(2);
  abreDialogo();
  teclea(forma->FechaFin, "15/06/2025");
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
  ASSERT_EQ(nuevo.periodos, 4);

  ASSERT_GT(copias.size(), 3) << "the save runs several statements";
  for (const QString& copia : copias) {
    SCOPED_TRACE(QFileInfo(copia).fileName().toStdString());
    const Estado e = estadoDe(copia);
    EXPECT_TRUE(e == viejo || e == nuevo) << e.texto() << "\n old: " << viejo.texto() << "\n new: " << nuevo.texto();
  }
}

}  // namespace
