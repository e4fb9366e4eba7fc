// The bid file's life cycle on real files: repair and its .bak, new bids from the template, the shared
// recordsets and the look-ups of module general on the sample bid; the files beside a bid that are
// not the program's, bids reached through symbolic links and read-only ones.
#include "archivos.h"
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
#include <algorithm>
#include <csignal>
#include <cstring>
#include <functional>
#include <map>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace shelltest;
using testsupport::contenido;
using testsupport::pon;

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

// What a symbolic link says, as written ("" when it is none).
QString enlace(const QString& ruta) {
  QByteArray texto(4096, '\0');
  const ssize_t n = ::readlink(QFile::encodeName(ruta).constData(), texto.data(), size_t(texto.size()));
  return n < 0 ? QString() : QFile::decodeName(texto.left(n));
}

// A bid made older than the template in a way only the rebuild mends: a text field of another size.
void envejece(const QString& ruta) {
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(QFile::encodeName(ruta).constData(), &db), SQLITE_OK);
  // The catalogue's names compare as the database layer compares them; plain bytes do here.
  sqlite3_create_collation(db, "JETTEXT", SQLITE_UTF8, nullptr, [](void*, int n1, const void* a, int n2, const void* b) {
    const int c = std::memcmp(a, b, size_t(std::min(n1, n2)));
    return c != 0 ? c : n1 - n2;
  });
  EXPECT_EQ(sqlite3_exec(db, "UPDATE MSysFields SET Size = 80 WHERE TableName = 'Monedas' AND FieldName = 'Texto'",
                         nullptr, nullptr, nullptr),
            SQLITE_OK);
  EXPECT_EQ(sqlite3_changes(db), 1);
  sqlite3_close(db);
}

int tamanoTexto(const QString& ruta) {
  auto db = dao::DBEngine::OpenDatabase(ruta, false, true, quarvel::kConexion);
  return db->TableDefs().Item("Monedas").Fields().Item("Texto").Size();
}

const QString kPregunta = "La estructura de la obra no corresponde a la actual, ¿Deseas actualizarla?";
const QString kActualizada = "La estructura se actualizó satisfactoriamente";

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

// The user's own files beside a bid stay whatever the program does with the bid: the numbered
// backups of "cp --backup=numbered", "mv -b" and editors ("obra.mdb.~1~"), and any other name that
// only looks like the program's. What the program itself left there (the temporaries of an
// interrupted compaction, rebuild or write, and their journals) goes.
TEST_F(ShellTest, OnlyTheProgramsOwnLeftoversGoWhenABidIsOpenedOrRepaired) {
  ASSERT_NE(arranca(), nullptr);
  const QStringList delUsuario = {"puente.mdb.~1~", "puente.mdb.~2~", "puente.mdb.~17~", "puente.mdb~",
                                  "puente.mdb.~mia", "puente.mdb.~compacta~"};
  const QStringList delPrograma = {"puente.mdb.~compacta", "puente.mdb.~reconstruye", "puente.mdb.~reconstruye-journal",
                                   "puente.mdb.~escribe", "puente.mdb.~respaldo"};
  struct Caso {
    const char* como;
    bool antigua;  // a bid the opening rebuilds
    std::function<void(const QString& obra)> haz;
  };
  const Caso casos[] = {
      {"Archivo, Abrir", false, [&](const QString& obra) { abre(obra); }},
      {"Archivo, Abrir of a bid the rebuild upgrades", true,
       [&](const QString& obra) {
         cajas.answer(ui::vbYes).answer(ui::vbOK);
         abre(obra);
         EXPECT_EQ(cajas.texts().mid(cajas.texts().size() - 2), QStringList({kPregunta, kActualizada}));
       }},
      {"Reparar/Compactar with the bid open", false,
       [&](const QString& obra) {
         abre(obra);
         ASSERT_TRUE(clic("mnuRepCom"));
       }},
      {"Reparar/Compactar without a bid", false,
       [&](const QString& obra) {
         dialogos.choose(obra);
         ASSERT_TRUE(clic("miherramientasrc"));
       }},
  };
  int n = 0;
  for (const Caso& c : casos) {
    SCOPED_TRACE(c.como);
    clic("mnuCer");
    const QString carpetaObra = carpeta.archivo(QStringLiteral("obras%1").arg(++n));
    const QString obra = carpeta.copiaEjemplo(QStringLiteral("obras%1/puente.mdb").arg(n));
    if (c.antigua)
      envejece(obra);
    for (const QString& nombre : delUsuario)
      pon(carpetaObra + "/" + nombre, nombre.toUtf8());
    for (const QString& nombre : delPrograma)
      pon(carpetaObra + "/" + nombre, "resto");
    const qsizetype cajasAntes = cajas.texts().size();
    c.haz(obra);
    EXPECT_TRUE(quarvel::obraAbierta || c.como == QLatin1String("Reparar/Compactar without a bid"));
    if (!c.antigua)
      EXPECT_EQ(cajas.texts().size(), cajasAntes) << cajas.texts().join(" | ").toStdString();
    for (const QString& nombre : delUsuario)
      EXPECT_EQ(contenido(carpetaObra + "/" + nombre), nombre.toUtf8()) << nombre.toStdString();
    for (const QString& nombre : delPrograma)
      EXPECT_FALSE(QFile::exists(carpetaObra + "/" + nombre)) << nombre.toStdString();
  }
}

// A compaction of the library stopped by a kill leaves its copy beside it; the next start removes it,
// and nothing else beside the library.
TEST_F(ShellTest, TheLibrarysCompactionLeftoverGoesAtTheNextStart) {
  const QStringList restos = {"paratorn.kor.~compacta", "paratorn.kor.~compacta-journal", "paratorn.kor.~respaldo"};
  const QStringList propios = {"paratorn.kor.~1~", "paratorn.kor~", "paratorn.bak"};
  for (const QString& nombre : restos + propios)
    pon(carpeta.archivo(nombre), nombre.toUtf8());
  ASSERT_NE(arranca(), nullptr);
  EXPECT_TRUE(cajas.texts().isEmpty()) << cajas.texts().join(" | ").toStdString();
  for (const QString& nombre : restos)
    EXPECT_FALSE(QFile::exists(carpeta.archivo(nombre))) << nombre.toStdString();
  for (const QString& nombre : propios)
    EXPECT_EQ(contenido(carpeta.archivo(nombre)), nombre.toUtf8()) << nombre.toStdString();
}

// A bid reached through a symbolic link (a bid shared from another folder) is still a link after the
// program rewrote it whole: the file the link names holds the new content, with its owner, group and
// mode, and the work and the .bak are done beside that file. Another owner can only be given by the
// superuser: as anyone else the test checks the mode alone.
TEST_F(ShellTest, ABidReachedThroughASymbolicLinkStaysALink) {
  ASSERT_NE(arranca(), nullptr);
  const bool root = ::geteuid() == 0;
  struct Caso {
    const char* como;
    bool existe;  // the file the link names is there before
    std::function<void(const QString& enlace)> haz;
    std::function<void(const QString& archivo)> revisa;  // what the file holds afterwards
  };
  const Caso casos[] = {
      {"the rebuild of an outdated bid on opening", true,
       [&](const QString& ruta) {
         cajas.answer(ui::vbYes).answer(ui::vbOK);
         abre(ruta);
         EXPECT_EQ(cajas.texts().mid(cajas.texts().size() - 2), QStringList({kPregunta, kActualizada}));
       },
       [&](const QString& archivo) {
         EXPECT_EQ(tamanoTexto(archivo), 50);
         EXPECT_EQ(filas(archivo, "Presupuesto"), 257);
         EXPECT_TRUE(QFile::exists(QFileInfo(archivo).absolutePath() + "/puente.bak"));
       }},
      {"Reparar/Compactar with the bid open", true,
       [&](const QString& ruta) {
         abre(ruta);
         ASSERT_TRUE(clic("mnuRepCom"));
       },
       [&](const QString& archivo) {
         EXPECT_EQ(filas(archivo, "Presupuesto"), 257);
         EXPECT_EQ(filas(QFileInfo(archivo).absolutePath() + "/puente.bak", "Presupuesto"), 257);
       }},
      {"a new bid named by a link to a file still to be made", false,
       [&](const QString& ruta) {
         dialogos.choose(ruta);
         maneobra::pideObra(true, "Nueva");
       },
       [&](const QString& archivo) { EXPECT_EQ(filas(archivo, "Presupuesto"), 0); }},
  };
  int n = 0;
  for (const Caso& c : casos) {
    SCOPED_TRACE(c.como);
    clic("mnuCer");
    ++n;
    const QString mias = carpeta.archivo(QStringLiteral("mias%1").arg(n));
    const QString compartida = carpeta.archivo(QStringLiteral("compartida%1").arg(n));
    ASSERT_TRUE(QDir().mkpath(mias));
    const QString archivo = compartida + "/puente.mdb";
    const QByteArray nombre = QFile::encodeName(archivo);
    if (c.existe) {
      carpeta.copiaEjemplo(QStringLiteral("compartida%1/puente.mdb").arg(n));
      if (n == 1)
        envejece(archivo);
      if (root)
        ASSERT_EQ(::chown(nombre.constData(), 4321, 5432), 0);
      ASSERT_EQ(::chmod(nombre.constData(), 0660), 0);
    } else {
      ASSERT_TRUE(QDir().mkpath(compartida));
    }
    const QString texto = QStringLiteral("../compartida%1/puente.mdb").arg(n);
    const QString ruta = mias + "/puente.mdb";
    ASSERT_EQ(::symlink(QFile::encodeName(texto).constData(), QFile::encodeName(ruta).constData()), 0);
    const QByteArray antes = huella(archivo);

    c.haz(ruta);
    EXPECT_TRUE(quarvel::obraAbierta || !c.existe);
    clic("mnuCer");
    EXPECT_EQ(enlace(ruta), texto);
    EXPECT_NE(huella(archivo), antes);
    c.revisa(archivo);
    EXPECT_EQ(archivosEn(mias), QStringList({"puente.mdb"}));
    EXPECT_EQ(restos(compartida), QStringList());
    if (c.existe) {
      struct stat st {};
      ASSERT_EQ(::stat(nombre.constData(), &st), 0);
      EXPECT_EQ(st.st_mode & 07777, 0660u);
      if (root) {
        EXPECT_EQ(st.st_uid, 4321u);
        EXPECT_EQ(st.st_gid, 5432u);
      }
    }
  }
}

// A bid the user may not write, or one in a folder the user may not write, is never replaced: the
// repair is refused as any write to a read-only bid is, a new bid with the message of a refused file
// copy, and nothing changes. The superuser passes every permission check, so the rule also reads the
// permissions themselves: what its owner may not write is read-only for everyone, and the test means
// the same run as root.
TEST_F(ShellTest, AReadOnlyBidOrFolderIsNeverReplaced) {
  ASSERT_NE(arranca(), nullptr);
  const QString obra = carpeta.copiaEjemplo("obras/puente.mdb");
  const QString carpetaObras = carpeta.archivo("obras");
  const QByteArray antes = huella(obra);
  struct Caso {
    const char* como;
    QString soloLectura;
    std::function<void()> haz;
    QString mensaje;
  };
  const Caso casos[] = {
      {"Reparar/Compactar a read-only bid", obra,
       [&] {
         dialogos.choose(obra);
         ASSERT_TRUE(clic("miherramientasrc"));
       },
       "Error en el Módulo MDITool.RepararObra 3027 " + dao::errorDescription(3027)},
      {"Reparar/Compactar a bid in a read-only folder", carpetaObras,
       [&] {
         dialogos.choose(obra);
         ASSERT_TRUE(clic("miherramientasrc"));
       },
       "Error en el Módulo MDITool.RepararObra 3027 " + dao::errorDescription(3027)},
      {"a new bid in a read-only folder", carpetaObras,
       [&] {
         dialogos.choose(carpetaObras + "/nueva.mdb");
         maneobra::pideObra(true, "Nueva");
       },
       "Perminso denegado, Eval.Kor esta siendo por otro usuario"},
  };
  for (const Caso& c : casos) {
    SCOPED_TRACE(c.como);
    {
      const testsupport::SinEscritura soloLectura(c.soloLectura);
      ASSERT_TRUE(soloLectura.hecho());
      cajas.answer(ui::vbOK);
      c.haz();
    }
    ASSERT_FALSE(cajas.texts().isEmpty());
    EXPECT_EQ(cajas.texts().back(), c.mensaje);
    EXPECT_EQ(huella(obra), antes);
    EXPECT_EQ(archivosEn(carpetaObras), QStringList({"puente.mdb"}));
    EXPECT_FALSE(quarvel::obraAbierta);
  }
}
