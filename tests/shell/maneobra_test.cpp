// The bid file's life cycle on real files: repair and its .bak, new bids from the template, the shared
// recordsets and the look-ups of module general on the sample bid.
#include "barcontrol.h"
#include "corte.h"
#include "dao.h"
#include "disco_que_falla.h"
#include "general.h"
#include "maneobra.h"
#include "mditoolbar.h"
#include "qt_print.h"
#include "quarvel.h"
#include "shellfixture.h"
#include "solo_lectura.h"
#include "vbdate.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <csignal>
#include <map>

using namespace shelltest;

namespace {

int64_t filas(const QString& ruta, const QString& tabla, const QString& clave = quarvel::kConexion) {
  auto db = dao::DBEngine::OpenDatabase(ruta, false, true, clave);
  return db->OpenRecordset("SELECT * FROM " + tabla)->RecordCount();
}

QByteArray huella(const QString& ruta) {
  QFile f(ruta);
  if (!f.open(QIODevice::ReadOnly))
    return {};
  return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
}

QStringList archivosEn(const QString& carpeta) { return QDir(carpeta).entryList(QDir::Files, QDir::Name); }

// What an interrupted run may leave beside a file: its temporaries and their journals.
QStringList restos(const QString& carpeta) {
  QStringList quedan;
  for (const QString& nombre : archivosEn(carpeta))
    if (nombre.contains(".~") || nombre.startsWith(u'$') || nombre.endsWith("-journal"))
      quedan << nombre;
  return quedan;
}

}  // namespace

TEST_F(ShellTest, RepararObraLeavesTheBakAndKeepsThePassword) {
  const QString obra = carpeta.copiaEjemplo("obras/puente.mdb");
  const QString bak = carpeta.archivo("obras/puente.bak");
  QFile viejo(bak);  // an older .bak is replaced
  ASSERT_TRUE(viejo.open(QIODevice::WriteOnly));
  viejo.write("viejo");
  viejo.close();

  EXPECT_TRUE(maneobra::RepararObra(carpeta.archivo("obras/"), "puente.mdb", quarvel::kConexion));
  EXPECT_TRUE(QFile::exists(obra));
  EXPECT_GT(QFileInfo(bak).size(), 5);
  EXPECT_EQ(filas(obra, "Presupuesto"), 257);
  EXPECT_EQ(filas(bak, "Presupuesto"), 257);
  EXPECT_EQ(errorOf([&] { dao::DBEngine::OpenDatabase(obra, false, true, ";pwd=OTRA"); }), 3031);
  EXPECT_EQ(errorOf([&] { dao::DBEngine::OpenDatabase(obra, false, true, ""); }), 3031);
}

TEST_F(ShellTest, RepararObraOfABidInUseLeavesItInPlace) {
  const QString obra = carpeta.copiaEjemplo("obras/puente.mdb");
  OtroPrograma otro(obra, false);
  ASSERT_EQ(otro.error(), 0);
  cajas.answer(ui::vbOK);
  EXPECT_FALSE(maneobra::RepararObra(carpeta.archivo("obras/"), "puente.mdb", quarvel::kConexion));
  EXPECT_EQ(cajas.texts(), QStringList({"La base de datos esta siendo utilizada por otra persona\r\n"
                                        "Se necesita que la base este libre para poderse reparar"}));
  EXPECT_TRUE(QFile::exists(obra));
  EXPECT_FALSE(QFile::exists(carpeta.archivo("obras/puente.bak")));

  cajas.answer(ui::vbOK);
  EXPECT_FALSE(maneobra::RepararObra(carpeta.archivo("obras/"), "falta.mdb", quarvel::kConexion));
  EXPECT_TRUE(cajas.texts().back().startsWith("Error en el Módulo MDITool.RepararObra 3024 ")) << cajas.texts().back().toStdString();
}

TEST_F(ShellTest, ARepairKilledWhileItWritesLeavesTheBidAsItWas) {
  const QString obra = carpeta.copiaEjemplo("obras/puente.mdb");
  const QByteArray antes = huella(obra);
  EXPECT_EXIT(
      {
        testsupport::cortaAlEscribirMasDe(QFileInfo(obra).size() / 2);
        maneobra::RepararObra(carpeta.archivo("obras/"), "puente.mdb", quarvel::kConexion);
      },
      ::testing::KilledBySignal(SIGXFSZ), "");
  EXPECT_EQ(huella(obra), antes);
  EXPECT_EQ(filas(obra, "Presupuesto"), 257);

  // The next repair goes through, and removes what the killed one left.
  EXPECT_TRUE(maneobra::RepararObra(carpeta.archivo("obras/"), "puente.mdb", quarvel::kConexion));
  EXPECT_EQ(archivosEn(carpeta.archivo("obras")), QStringList({"puente.bak", "puente.mdb"}));
  EXPECT_EQ(filas(obra, "Presupuesto"), 257);
  EXPECT_EQ(huella(carpeta.archivo("obras/puente.bak")), antes);
}

TEST_F(ShellTest, TheRepairCommandKilledInTheLibraryLeavesAProgramThatStarts) {
  // A library larger than the bid, so that the cut falls in the library's compaction.
  const QString biblioteca = carpeta.archivo("paratorn.kor");
  {
    auto db = dao::DBEngine::OpenDatabase(biblioteca, true, false, quarvel::kConexion);
    for (int n = 1; n <= 4000; ++n)
      db->Execute(QStringLiteral("INSERT INTO CalDet (Formato, Renglon, Texto) VALUES ('F%1', %2, '%3')")
                      .arg(n / 100)
                      .arg(n)
                      .arg(QString(80, QLatin1Char('x'))));
    db->Close();
  }
  const int64_t formatos = filas(biblioteca, "CalDet");
  const QString obra = carpeta.archivo("obras/chica.mdb");
  ASSERT_TRUE(QDir().mkpath(carpeta.archivo("obras")));
  ASSERT_TRUE(QFile::copy(carpeta.archivo("TORNAVO.KOR"), obra));
  ASSERT_LT(QFileInfo(obra).size() * 2, QFileInfo(biblioteca).size());

  // The repair command's procedure, in a child with the library open as the start-up leaves it but
  // no window: a forked process must not paint (the painting threads stay behind in the parent).
  EXPECT_EXIT(
      {
        quarvel::rutaPrograma = carpeta.ruta();
        quarvel::dbParametros = dao::DBEngine::OpenDatabase(biblioteca, false, false, quarvel::kConexion);
        quarvel::rsTitgen = quarvel::dbParametros->OpenRecordset("SELECT * FROM titgen", dao::RecordsetType::Dynaset);
        dialogos.choose(obra);
        testsupport::cortaAlEscribirMasDe(QFileInfo(biblioteca).size() / 2);
        maneobra::mnuReparar();
      },
      ::testing::KilledBySignal(SIGXFSZ), "");
  EXPECT_EQ(filas(biblioteca, "CalDet"), formatos);

  // The program starts, and its next repair removes what the killed one left.
  ASSERT_NE(arranca(), nullptr);
  dialogos.choose(obra);
  ASSERT_TRUE(clic("mnuRepCom"));
  EXPECT_TRUE(cajas.texts().isEmpty()) << cajas.texts().join(" | ").toStdString();
  EXPECT_EQ(restos(carpeta.ruta()), QStringList());
  EXPECT_EQ(restos(carpeta.archivo("obras")), QStringList());
  EXPECT_EQ(filas(biblioteca, "CalDet"), formatos);
  EXPECT_TRUE(QFile::exists(carpeta.archivo("paratorn.bak")));
}

TEST_F(ShellTest, RepairCommandWithABidOpen) {
  ASSERT_NE(arranca(), nullptr);
  const QString obra = carpeta.copiaEjemplo("obras/puente.mdb");
  abre(obra);
  const QStringList disponibles = clicables();
  quarvel::rsMonedas->MoveFirst();
  quarvel::rsMonedas->Edit();
  quarvel::rsMonedas->SetValue("Remate", "MONEDA NACIONAL");
  quarvel::rsMonedas->Update();

  ASSERT_TRUE(clic("mnuRepCom"));
  EXPECT_TRUE(cajas.texts().isEmpty()) << cajas.texts().join(" | ").toStdString();
  EXPECT_TRUE(QFile::exists(carpeta.archivo("obras/puente.bak")));
  EXPECT_TRUE(QFile::exists(carpeta.archivo("paratorn.bak")));
  // The bid is open again, with what was written before the repair.
  EXPECT_TRUE(quarvel::obraAbierta);
  EXPECT_EQ(caption(), "Obra: " + obra);
  EXPECT_EQ(clicables(), disponibles);
  quarvel::rsMonedas->MoveFirst();
  EXPECT_EQ(vb::CStr(quarvel::rsMonedas->Value("Remate")), "MONEDA NACIONAL");
  EXPECT_TRUE(quarvel::dbParametros->IsOpen());
  EXPECT_EQ(quarvel::rsReportes->RecordCount(), filas(carpeta.archivo("paratorn.kor"), "reportes"));
  EXPECT_EQ(recientes()[0], obra);
}

// A repair on a disk without room, failing, or turned read-only: the cause is told once, the bid is as
// it was with nothing left beside it, it is open again, and its next edit is stored.
TEST_F(ShellTest, RepairCommandOnADiskThatRefusesTheCopy) {
  ASSERT_NE(arranca(), nullptr);
  const QString obra = carpeta.copiaEjemplo("obras/puente.mdb");
  abre(obra);
  ASSERT_TRUE(quarvel::obraAbierta);
  struct Caso {
    testsupport::DiscoQueFalla::Causa causa;
    const char* mensaje;
  };
  const Caso casos[] = {
      {testsupport::DiscoQueFalla::Causa::Lleno, "Error en el Módulo MDITool.RepararObra 61 Disco lleno"},
      {testsupport::DiscoQueFalla::Causa::Averiado, "Error en el Módulo MDITool.RepararObra 3000 Error de lectura o escritura en el disco"},
      {testsupport::DiscoQueFalla::Causa::SoloLectura,
       "Error en el Módulo MDITool.RepararObra 3027 No se puede actualizar. La base de datos o el objeto es de sólo lectura."},
  };
  for (const Caso& c : casos) {
    SCOPED_TRACE(c.mensaje);
    ASSERT_TRUE(clic("mnuCer"));
    const QByteArray antes = huella(obra);
    abre(obra);
    const size_t vistas = cajas.shown().size();
    {
      testsupport::DiscoQueFalla disco(carpeta.archivo("obras"), 4096, c.causa);
      cajas.answer(ui::vbOK);
      ASSERT_TRUE(clic("mnuRepCom"));
    }
    ASSERT_EQ(cajas.shown().size(), vistas + 1) << cajas.texts().join(" | ").toStdString();
    EXPECT_TRUE(cajas.texts().back().startsWith(c.mensaje)) << cajas.texts().back().toStdString();
    EXPECT_EQ(huella(obra), antes);
    EXPECT_EQ(archivosEn(carpeta.archivo("obras")), QStringList({"puente.mdb"}));
    EXPECT_TRUE(quarvel::obraAbierta);
    EXPECT_EQ(caption(), "Obra: " + obra);
  }
  quarvel::rsMonedas->MoveFirst();
  quarvel::rsMonedas->Edit();
  quarvel::rsMonedas->SetValue("Remate", "MONEDA NACIONAL");
  quarvel::rsMonedas->Update();
  ASSERT_TRUE(clic("mnuCer"));
  auto db = dao::DBEngine::OpenDatabase(obra, false, true, quarvel::kConexion);
  EXPECT_EQ(db->OpenRecordset("SELECT Remate FROM Monedas")->Value("Remate").toString(), "MONEDA NACIONAL");
}

// A bid that cannot be written is not repaired (that would replace it): 3027, and it is as it was,
// open again read-only.
TEST_F(ShellTest, RepairCommandOnAReadOnlyBid) {
  ASSERT_NE(arranca(), nullptr);
  const QString obra = carpeta.copiaEjemplo("obras/puente.mdb");
  const QByteArray antes = huella(obra);
  testsupport::SoloLectura soloLectura(obra, testsupport::SoloLectura::SoloPermisos);
  cajas.answer(ui::vbOK);
  abre(obra);
  ASSERT_TRUE(quarvel::obraAbierta);
  cajas.answer(ui::vbOK).answer(ui::vbOK);
  ASSERT_TRUE(clic("mnuRepCom"));
  ASSERT_EQ(cajas.texts().size(), 3) << cajas.texts().join(" | ").toStdString();
  EXPECT_EQ(cajas.texts()[1], "Error en el Módulo MDITool.RepararObra 3027 " + dao::errorDescription(3027));
  EXPECT_TRUE(cajas.texts()[2].startsWith("La obra se abrió sólo para lectura")) << cajas.texts()[2].toStdString();
  EXPECT_EQ(huella(obra), antes);
  EXPECT_EQ(archivosEn(carpeta.archivo("obras")), QStringList({"puente.mdb"}));
  EXPECT_TRUE(quarvel::obraAbierta);
  EXPECT_TRUE(QFile::exists(carpeta.archivo("paratorn.bak"))) << "the library is repaired all the same";
}

TEST_F(ShellTest, RepairCommandWithoutABid) {
  ASSERT_NE(arranca(), nullptr);
  const QString obra = carpeta.copiaEjemplo("obras/puente.mdb");

  dialogos.cancel();
  ASSERT_TRUE(clic("miherramientasrc"));
  EXPECT_EQ(dialogos.shown().back().title, "Reparar base de datos");
  EXPECT_EQ(MDIToolbar::instancia()->CommonDialog1.DialogTitle, "Abrir");
  EXPECT_FALSE(QFile::exists(carpeta.archivo("paratorn.bak")));

  dialogos.choose(obra);
  ASSERT_TRUE(clic("miherramientasrc"));
  EXPECT_TRUE(cajas.texts().isEmpty()) << cajas.texts().join(" | ").toStdString();
  EXPECT_TRUE(QFile::exists(carpeta.archivo("obras/puente.bak")));
  EXPECT_TRUE(QFile::exists(carpeta.archivo("paratorn.bak")));
  EXPECT_FALSE(quarvel::obraAbierta);  // repaired, not opened
  EXPECT_EQ(caption(), "Tornavo de Presupuesto");
  EXPECT_EQ(filas(obra, "Presupuesto"), 257);

  // The library held by another copy of the program: the bid is repaired, the library is not.
  OtroPrograma otro(carpeta.archivo("paratorn.kor"), false);
  ASSERT_EQ(otro.error(), 0);
  QFile::remove(carpeta.archivo("paratorn.bak"));
  dialogos.choose(obra);
  cajas.answer(ui::vbOK);
  ASSERT_TRUE(clic("mnuRepCom"));
  EXPECT_EQ(cajas.texts(), QStringList({"La base de datos esta siendo utilizada por otra persona\r\n"
                                        "Se necesita que la base este libre para poderse reparar"}));
  EXPECT_TRUE(QFile::exists(carpeta.archivo("paratorn.kor")));
  EXPECT_TRUE(quarvel::dbParametros->IsOpen());
  EXPECT_NO_THROW(quarvel::rsTitgen->MoveFirst());
}

TEST_F(ShellTest, NewBidFromTheTemplate) {
  ASSERT_NE(arranca(), nullptr);
  const QString nueva = carpeta.archivo("nueva.mdb");
  dialogos.choose(nueva);
  maneobra::pideObra(true, "Nueva");
  EXPECT_EQ(dialogos.shown().back().flags, ui::cdlOFNCreatePrompt | ui::cdlOFNPathMustExist | ui::cdlOFNHideReadOnly);
  EXPECT_TRUE(cajas.texts().isEmpty()) << cajas.texts().join(" | ").toStdString();
  EXPECT_TRUE(quarvel::obraAbierta);
  EXPECT_EQ(quarvel::rutaObra, nueva);
  EXPECT_EQ(quarvel::rsPresupuesto->RecordCount(), 0);

  // The template is found whatever its letter case; without it the bid is not created.
  clic("mnuCer");
  ASSERT_TRUE(QFile::rename(carpeta.archivo("TORNAVO.KOR"), carpeta.archivo("tornavo.kor")));
  EXPECT_TRUE(maneobra::creaObra(carpeta.archivo("otra.mdb"), "TORNAVO.KOR"));
  ASSERT_TRUE(QFile::remove(carpeta.archivo("tornavo.kor")));
  cajas.answer(ui::vbOK);
  EXPECT_FALSE(maneobra::creaObra(carpeta.archivo("tercera.mdb"), "TORNAVO.KOR"));
  EXPECT_TRUE(cajas.texts().back().startsWith("maneobra.creaObra 53 ")) << cajas.texts().back().toStdString();
  EXPECT_FALSE(QFile::exists(carpeta.archivo("tercera.mdb")));
}

TEST_F(ShellTest, OpeningGivesUndatedRowsTheProjectDates) {
  const QString obra = carpeta.copiaEjemplo("obras/fechas.mdb");
  // Every row's dates by its key; the first row loses its start, the second its end.
  std::map<QString, std::pair<vb::Variant, vb::Variant>> esperado;
  {
    auto db = dao::DBEngine::OpenDatabase(obra, true, false, quarvel::kConexion);
    auto rs = db->OpenRecordset("SELECT * FROM Presupuesto");
    for (int n = 0; !rs->EOF_(); rs->MoveNext(), ++n) {
      auto& fechas = esperado[vb::CStr(rs->Value("Partida")) + "|" + vb::CStr(rs->Value("Renglon"))];
      fechas = {rs->Value("FechaIni"), rs->Value("FechaFin")};
      if (n == 0 || n == 1) {
        rs->Edit();
        rs->SetValue(n == 0 ? "FechaIni" : "FechaFin", vb::Variant::null());
        rs->Update();
        (n == 0 ? fechas.first : fechas.second) =
            vb::Variant::fromDate(n == 0 ? vb::dateSerial(2025, 3, 3) : vb::dateSerial(2025, 8, 29));
      }
    }
    db->Close();
  }
  ASSERT_EQ(esperado.size(), 257u);
  ASSERT_NE(arranca(), nullptr);
  abre(obra);
  auto rs = quarvel::dbObra->OpenRecordset("SELECT * FROM Presupuesto");
  for (; !rs->EOF_(); rs->MoveNext()) {
    const QString clave = vb::CStr(rs->Value("Partida")) + "|" + vb::CStr(rs->Value("Renglon"));
    EXPECT_EQ(vb::CDbl(rs->Value("FechaIni")), vb::CDbl(esperado[clave].first)) << clave.toStdString();
    EXPECT_EQ(vb::CDbl(rs->Value("FechaFin")), vb::CDbl(esperado[clave].second)) << clave.toStdString();
  }
}

TEST_F(ShellTest, LookUpsOfTheOpenBid) {
  ASSERT_NE(arranca(), nullptr);
  abre(carpeta.archivo("Ejemplo.mdb"));

  EXPECT_TRUE(general::MonedaEnUso("PESOS"));
  EXPECT_TRUE(general::MonedaEnUso("pesos"));  // the bid's text compares without case
  EXPECT_FALSE(general::MonedaEnUso("EUROS"));
  EXPECT_FALSE(general::MonedaEnUso("PE'SOS"));  // a quote is part of the code, not of the criteria

  quarvel::rsPresupuesto->MoveFirst();
  const vb::Variant partida = quarvel::rsPresupuesto->Value("Partida");
  const vb::Variant renglon = quarvel::rsPresupuesto->Value("Renglon");
  EXPECT_EQ(general::CuentaBuscaPre(partida, renglon), 1);
  EXPECT_EQ(general::CuentaBuscaPre(partida, vb::Variant(int32_t{9999})), 0);
  EXPECT_EQ(general::CuentaBuscaPre(vb::Variant("NO HAY"), renglon), 0);

  quarvel::rsDatosGenerales->Edit();
  quarvel::rsDatosGenerales->SetValue("Redondeo", int16_t{4});
  quarvel::rsDatosGenerales->Update();
  general::CalculaRedondeo();
  EXPECT_EQ(quarvel::unidadRedondeo, vb::Currency::fromInt(1));
}

TEST_F(ShellTest, OutdatedBidIsUpgradedOnlyWhenTheUserAgrees) {
  const QString vieja = carpeta.copiaEjemplo("obras/vieja.mdb");
  {
    auto db = dao::DBEngine::OpenDatabase(vieja, true, false, quarvel::kConexion);
    db->QueryDefs().Delete("UnaPartida");
  }
  const QString pregunta = "La estructura de la obra no corresponde a la actual, ¿Deseas actualizarla?";
  ASSERT_NE(arranca(), nullptr);

  // Refused with no bid open: nothing opens.
  cajas.answer(ui::vbNo);
  abre(vieja);
  EXPECT_EQ(cajas.texts(), QStringList({pregunta}));
  EXPECT_FALSE(quarvel::obraAbierta);
  EXPECT_EQ(caption(), "Tornavo de Presupuesto");

  // Refused while another bid is open: that one stays open, and the paths still name it.
  const QString ejemplo = carpeta.archivo("Ejemplo.mdb");
  abre(ejemplo);
  cajas.answer(ui::vbNo);
  abre(vieja);
  EXPECT_TRUE(quarvel::obraAbierta);
  EXPECT_EQ(quarvel::rutaObra, ejemplo);
  EXPECT_EQ(quarvel::archivoObra, "Ejemplo.mdb");
  EXPECT_EQ(caption(), "Obra: " + ejemplo);
  EXPECT_EQ(quarvel::rsPresupuesto->RecordCount(), 257);

  // Accepted: upgraded, compacted (leaving its .bak) and opened.
  cajas.answer(ui::vbYes).answer(ui::vbOK);
  abre(vieja);
  EXPECT_EQ(cajas.texts().mid(2), QStringList({pregunta, "La estructura se actualizó satisfactoriamente"}));
  EXPECT_TRUE(quarvel::obraAbierta);
  EXPECT_EQ(caption(), "Obra: " + vieja);
  EXPECT_TRUE(QFile::exists(carpeta.archivo("obras/vieja.bak")));
  EXPECT_TRUE(quarvel::dbObra->QueryDefs().Contains("UnaPartida"));
  EXPECT_EQ(recientes().mid(0, 2), QStringList({vieja, ejemplo}));
}
