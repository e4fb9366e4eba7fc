// Opening, locking, compaction, definitions and values, on real files.
#include "bidfixture.h"
#include "corte.h"
#include "files.h"
#include "qt_print.h"
#include "solo_lectura.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QCryptographicHash>
#include <QProcess>
#include <csignal>
#include <cstring>
#include <functional>
#include <unistd.h>

using namespace dao;
using daotest::BidTest;
using daotest::kConnect;

namespace {

// Opens the file in another process; its error number, 0 when it opened.
int openElsewhere(const QString& path, bool exclusive) {
  QProcess p;
  p.start(QCoreApplication::applicationDirPath() + "/dao_open_helper",
          {path, exclusive ? "1" : "0", kConnect});
  if (!p.waitForFinished(20000)) return -1;
  return QString::fromLocal8Bit(p.readAllStandardOutput()).section(u' ', 0, 0).trimmed().toInt();
}

QStringList filesIn(const QString& dir) { return QDir(dir).entryList(QDir::Files | QDir::Hidden); }

// Owner, group and others (the "user" flags only repeat the owner's here).
QFileDevice::Permissions mode(const QString& file) {
  return QFile::permissions(file) & ~(QFileDevice::ReadUser | QFileDevice::WriteUser | QFileDevice::ExeUser);
}

QByteArray digest(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return {};
  return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
}

}  // namespace

TEST_F(BidTest, OpenErrors) {
  db->Close();
  EXPECT_EQ(errorOf([&] { DBEngine::OpenDatabase(dir.filePath("falta.mdb"), false, false, kConnect); }), 3024);
  EXPECT_EQ(errorOf([&] { DBEngine::OpenDatabase(dir.filePath("no/hay/obra.mdb"), false, false, kConnect); }), 3044);
  EXPECT_EQ(errorOf([&] { DBEngine::OpenDatabase(path, false, false, ";pwd=zarvumek"); }), 3031);
  EXPECT_EQ(errorOf([&] { DBEngine::OpenDatabase(path, false, false, ""); }), 3031);
  QFile junk(dir.filePath("basura.mdb"));
  ASSERT_TRUE(junk.open(QIODevice::WriteOnly));
  junk.write(QByteArray(4096, 'x'));
  junk.close();
  EXPECT_EQ(errorOf([&] { DBEngine::OpenDatabase(junk.fileName(), false, false, kConnect); }), 3343);
  EXPECT_EQ(filesIn(dir.path()), QStringList({"basura.mdb", "obra.mdb"}));   // no sidecar files left
  // Letter case of the file name does not matter.
  auto again = DBEngine::OpenDatabase(dir.filePath("OBRA.MDB"), false, true, kConnect);
  EXPECT_EQ(again->OpenRecordset("Monedas")->RecordCount(), 2);
  EXPECT_EQ(errorOf([&] { again->Execute("DELETE FROM Pie"); }), 3027);   // read-only
}

// A file or folder the process may not write: the bid opens and reads, and every write fails as Jet's
// read-only database does (3027), whether the file refuses it or the folder refuses its journal.
TEST_F(BidTest, AFileOrFolderThatCannotBeWrittenRefusesWritesWith3027) {
  db->Close();
  for (const bool carpeta : {false, true}) {
    SCOPED_TRACE(carpeta ? "carpeta" : "archivo");
    testsupport::SoloLectura soloLectura(carpeta ? dir.path() : path);
    if (!soloLectura.Efectivo()) GTEST_SKIP() << "this file system lets the test's user write whatever the permissions";
    auto obra = DBEngine::OpenDatabase(path, true, false, kConnect);
    EXPECT_EQ(obra->OpenRecordset("Monedas")->RecordCount(), 2);
    EXPECT_EQ(errorOf([&] { obra->Execute("DELETE FROM Pie"); }), 3027);
    auto monedas = obra->OpenRecordset("SELECT * FROM Monedas", RecordsetType::Dynaset);
    EXPECT_EQ(errorOf([&] {
      monedas->Edit();
      monedas->Fields("Texto").SetValue(vb::Variant("OTRO"));
      monedas->Update();
    }), 3027);
    obra->Close();
  }
}

// Read-only by its permissions alone (as a user marks a file read-only; it binds the superuser here
// too) or by a mark no one may pass, the file or its folder: the database tells which, reads as any
// other, refuses writes with 3027, and keeps what is written while MemoryWrites lives in memory only.
TEST_F(BidTest, AFileThatCannotBeWrittenIsReadInMemoryAndKeepsRecalculationsThere) {
  EXPECT_EQ(db->Access(), FileAccess::Writable);
  db->Close();
  const QByteArray antes = digest(path);
  using testsupport::SoloLectura;
  struct Caso {
    bool carpeta;
    SoloLectura::Alcance alcance;
  };
  for (const Caso& c : {Caso{false, SoloLectura::SoloPermisos}, Caso{true, SoloLectura::SoloPermisos},
                        Caso{false, SoloLectura::Inmutable}, Caso{true, SoloLectura::Inmutable}}) {
    SCOPED_TRACE(std::string(c.carpeta ? "carpeta" : "archivo") + (c.alcance == SoloLectura::Inmutable ? ", inmutable" : ""));
    {
      SoloLectura soloLectura(c.carpeta ? dir.path() : path, c.alcance);
      auto obra = DBEngine::OpenDatabase(path, true, false, kConnect);
      EXPECT_EQ(obra->Access(), c.carpeta ? FileAccess::FolderReadOnly : FileAccess::FileReadOnly);
      const auto paridad = [&] {
        return obra->OpenRecordset("SELECT Paridad FROM Monedas WHERE Moneda = 'PESOS'")->Value("Paridad").toDouble();
      };
      EXPECT_EQ(errorOf([&] { obra->Execute("UPDATE Monedas SET Paridad = 20 WHERE Moneda = 'PESOS'"); }), 3027);
      {
        MemoryWrites enMemoria;
        obra->Execute("UPDATE Monedas SET Paridad = 20 WHERE Moneda = 'PESOS'");
        DBEngine::EndAction();
      }
      EXPECT_EQ(paridad(), 20);
      EXPECT_EQ(errorOf([&] { obra->Execute("DELETE FROM Pie"); }), 3027) << "only while it lives";
      obra->Close();
      EXPECT_EQ(errorOf([&] { DBEngine::CompactInPlace(path, dir.filePath("obra.bak"), kConnect); }), 3027);
      EXPECT_EQ(digest(path), antes);
      EXPECT_EQ(filesIn(dir.path()), QStringList({"obra.mdb"}));
    }
    auto otra = DBEngine::OpenDatabase(path, true, false, kConnect);
    EXPECT_EQ(otra->Access(), FileAccess::Writable);
    EXPECT_EQ(otra->OpenRecordset("SELECT Paridad FROM Monedas WHERE Moneda = 'PESOS'")->Value("Paridad").toDouble(), 1);
    otra->Close();
  }
}

TEST_F(BidTest, ExclusiveOpenKeepsOtherProcessesOut) {
  db->Close();
  {
    auto mine = DBEngine::OpenDatabase(path, true, false, kConnect);
    EXPECT_EQ(openElsewhere(path, false), 3356);
    EXPECT_EQ(openElsewhere(path, true), 3356);
    // This process may open it again: the same connection.
    auto second = DBEngine::OpenDatabase(path, false, true, kConnect);
    EXPECT_EQ(second->OpenRecordset("Monedas")->RecordCount(), 2);
    EXPECT_EQ(errorOf([&] { DBEngine::CompactDatabase(path, dir.filePath("c.mdb"), kConnect); }), 3356);
  }
  {
    auto shared = DBEngine::OpenDatabase(path, false, false, kConnect);
    EXPECT_EQ(openElsewhere(path, false), 0);      // shared opens coexist
    EXPECT_EQ(openElsewhere(path, true), 3356);    // an exclusive one does not
  }
  EXPECT_EQ(openElsewhere(path, true), 0);
}

TEST_F(BidTest, EditsReachTheFileByTheEndOfTheAction) {
  auto rs = db->OpenRecordset("SELECT * FROM Monedas");
  rs->Edit();
  rs->SetValue("Texto", "Dólares americanos");
  rs->Update();
  // The action's transaction is committed when control returns to the event loop.
  QCoreApplication::processEvents();
  QProcess p;
  p.start(QCoreApplication::applicationDirPath() + "/dao_open_helper", {path, "0", kConnect});
  ASSERT_TRUE(p.waitForFinished(20000));
  EXPECT_TRUE(p.readAllStandardOutput().startsWith("0 "));
  auto check = DBEngine::OpenDatabase(path, false, false, kConnect);
  EXPECT_EQ(check->OpenRecordset("SELECT Texto FROM Monedas WHERE Moneda='DOLARES'")->Value("Texto").toString(),
            "Dólares americanos");
}

// Handles left in globals are released by the process's exit handlers, in whatever order they run.
TEST_F(BidTest, HandlesHeldByGlobalsEndWithTheProcess) {
  db->Close();
  QProcess p;
  p.start(QCoreApplication::applicationDirPath() + "/dao_open_helper", {path, "1", kConnect, "global"});
  ASSERT_TRUE(p.waitForFinished(20000));
  EXPECT_EQ(p.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
  auto check = DBEngine::OpenDatabase(path, false, false, kConnect);
  EXPECT_EQ(check->OpenRecordset("SELECT Texto FROM Monedas WHERE Moneda='DOLARES'")->Value("Texto").toString(),
            "Al final");
}

TEST_F(BidTest, CompactionKeepsDataAndPassword) {
  db->Execute("DELETE FROM Programa");
  db->Close();
  const QString bak = dir.filePath("obra.bak");
  ASSERT_TRUE(QFile::rename(path, bak));
  EXPECT_EQ(errorOf([&] { DBEngine::CompactDatabase(bak, path, ";pwd=otra"); }), 3031);
  EXPECT_FALSE(QFile::exists(path));
  DBEngine::CompactDatabase(bak, path, kConnect);
  EXPECT_EQ(errorOf([&] { DBEngine::CompactDatabase(bak, path, kConnect); }), 3204);
  EXPECT_EQ(errorOf([&] { DBEngine::OpenDatabase(path, false, false, ""); }), 3031);
  auto c = DBEngine::OpenDatabase(path, true, false, kConnect);
  EXPECT_EQ(c->OpenRecordset("Presupuesto")->RecordCount(), 4);
  EXPECT_EQ(c->OpenRecordset("Programa")->RecordCount(), 0);
  EXPECT_EQ(c->QueryDefs().Count(), 5);
  EXPECT_EQ(errorOf([&] { c->Execute("DELETE FROM Monedas WHERE Moneda='PESOS'"); }), 3200);   // rules travel too
  c->Close();
  EXPECT_EQ(filesIn(dir.path()), QStringList({"obra.bak", "obra.mdb"}));
}

TEST_F(BidTest, CompactionInPlaceKeepsTheOldFileAsBackup) {
  db->Execute("DELETE FROM Programa");
  db->Close();
  const QByteArray before = digest(path);
  const QString bak = dir.filePath("obra.bak");
  {
    QFile older(bak);  // an older backup is replaced
    ASSERT_TRUE(older.open(QIODevice::WriteOnly));
    older.write("older");
  }
  ASSERT_TRUE(QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup));
  DBEngine::CompactInPlace(path, bak, kConnect);
  EXPECT_EQ(digest(bak), before);
  EXPECT_NE(digest(path), before);
  EXPECT_EQ(mode(path), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup);
  EXPECT_EQ(filesIn(dir.path()), QStringList({"obra.bak", "obra.mdb"}));
  EXPECT_EQ(errorOf([&] { DBEngine::OpenDatabase(path, false, false, ""); }), 3031);
  auto c = DBEngine::OpenDatabase(path, true, false, kConnect);
  EXPECT_EQ(c->OpenRecordset("Presupuesto")->RecordCount(), 4);
  EXPECT_EQ(c->OpenRecordset("Programa")->RecordCount(), 0);

  // Refused, the file stays as it is and nothing is left beside it.
  const QByteArray compacted = digest(path);
  EXPECT_EQ(errorOf([&] { DBEngine::CompactInPlace(path, bak, kConnect); }), 3356);   // open here
  c->Close();
  EXPECT_EQ(errorOf([&] { DBEngine::CompactInPlace(path, bak, ";pwd=otra"); }), 3031);
  EXPECT_EQ(errorOf([&] { DBEngine::CompactInPlace(dir.filePath("falta.mdb"), bak, kConnect); }), 3024);
  EXPECT_EQ(digest(path), compacted);
  EXPECT_EQ(digest(bak), before);
  EXPECT_EQ(filesIn(dir.path()), QStringList({"obra.bak", "obra.mdb"}));
}

// A compaction ended at each of its steps as a crash would end it: the file opens, old or compacted
// whole, and the next compaction removes what the first one left.
TEST_F(BidTest, CompactionInPlaceEndedAtAnyStepLeavesAWholeFile) {
  db->Close();
  const QString bak = dir.filePath("obra.bak");
  struct Case {
    const char* step;     // nullptr: killed while the copy is written
    bool compacted;       // the name holds the compacted file
    bool backedUp;        // the backup holds the file as it was
  };
  const Case cases[] = {{nullptr, false, false}, {"flushed", false, false}, {"backed-up", false, true}, {"replaced", true, true}};
  for (const Case& c : cases) {
    const std::string name = c.step ? c.step : "writing";
    QFile::remove(bak);
    ASSERT_TRUE(QFile::remove(path));
    daotest::createBid(path)->Close();
    const QByteArray before = digest(path);
    EXPECT_EXIT(
        {
          if (c.step)
            files::setStepHook([&](const char* s) {
              if (std::strcmp(s, c.step) == 0) _exit(3);
            });
          else
            testsupport::cortaAlEscribirMasDe(QFileInfo(path).size() / 2);
          DBEngine::CompactInPlace(path, bak, kConnect);
        },
        (c.step ? std::function<bool(int)>(::testing::ExitedWithCode(3))
                : std::function<bool(int)>(::testing::KilledBySignal(SIGXFSZ))),
        "")
        << name;
    EXPECT_EQ(digest(path) == before, !c.compacted) << name;
    EXPECT_EQ(QFile::exists(bak), c.backedUp) << name;
    if (c.backedUp) EXPECT_EQ(digest(bak), before) << name;
    auto d = DBEngine::OpenDatabase(path, true, false, kConnect);
    EXPECT_EQ(d->OpenRecordset("Presupuesto")->RecordCount(), 4) << name;
    d->Close();
    DBEngine::CompactInPlace(path, bak, kConnect);
    EXPECT_EQ(filesIn(dir.path()), QStringList({"obra.bak", "obra.mdb"})) << name;
  }
}

TEST_F(BidTest, DefinitionsRoundTripExactly) {
  db->Close();
  auto d = DBEngine::OpenDatabase(path, true, false, kConnect);
  auto& tds = d->TableDefs();
  EXPECT_TRUE(tds.Contains("presupuesto"));
  EXPECT_EQ(tds.Item("PRESUPUESTO").Name(), "Presupuesto");   // the name as created
  EXPECT_FALSE(tds.Contains("MSysFields"));
  EXPECT_FALSE(tds.Contains("TotalPartidas"));                // queries are not tables
  auto& pre = tds.Item("Presupuesto");
  struct Expect { const char* name; DataType type; int size; bool required; bool azl; const char* def; };
  const Expect expected[] = {
      {"Partida", DataType::Text, 20, true, false, ""},      {"Renglon", DataType::Long, 4, true, false, ""},
      {"Descri", DataType::Memo, 0, false, false, ""},        {"Cantidad", DataType::Double, 8, false, false, "0"},
      {"Precio", DataType::Currency, 8, false, false, "0"},   {"Moneda", DataType::Text, 10, false, false, "\"PESOS\""},
      {"FechaIni", DataType::Date, 8, false, false, ""},
  };
  for (const auto& e : expected) {
    const Field& f = pre.Fields().Item(e.name);
    EXPECT_EQ(f.Type(), e.type) << e.name;
    EXPECT_EQ(f.Size(), e.size) << e.name;
    EXPECT_EQ(f.Required(), e.required) << e.name;
    EXPECT_EQ(f.AllowZeroLength(), e.azl) << e.name;
    EXPECT_EQ(f.DefaultValue(), QString::fromUtf8(e.def)) << e.name;
  }
  EXPECT_EQ(pre.Fields().Item(0).Name(), "Partida");
  EXPECT_EQ(pre.Fields().Count(), 14);
  EXPECT_TRUE(d->TableDefs().Item("DatosGenerales").Fields().Item("Contraseña").AllowZeroLength());
  EXPECT_EQ(d->TableDefs().Item("DatosGenerales").Fields().Item("Redondeo").Type(), DataType::Byte);
  EXPECT_EQ(d->TableDefs().Item("Pie").Fields().Item("ImprimirRaya").Type(), DataType::Boolean);
  EXPECT_EQ(pre.Indexes().Item("PrimaryKey").Fields(), QStringList({"Partida", "Renglon"}));
  EXPECT_EQ(errorOf([&] { pre.Fields().Item("Precio").SetSize(3); }), 3219);

  // Adding a field to a table with rows, as the structure upgrade does.
  auto f = pre.CreateField("Notas", DataType::Text, 30);
  f->SetAllowZeroLength(true);
  f->SetDefaultValue("\" \"");
  pre.Fields().Append(f);
  EXPECT_EQ(errorOf([&] { pre.Fields().Append(pre.CreateField("notas", DataType::Long)); }), 3191);
  auto rs = d->OpenRecordset("Presupuesto");
  EXPECT_EQ(rs->Fields("Notas").Size(), 30);
  EXPECT_EQ(rs->Value("Notas").toString(), " ");
  // A new table and a query appended by name keep their texts verbatim.
  const QString sql = "SELECT Partida, Texto FROM Partidas  WHERE Partida Like \"A*\"  ;";
  d->CreateQueryDef("Secciones", sql);
  EXPECT_EQ(errorOf([&] { d->CreateQueryDef("secciones", sql); }), 3012);
  EXPECT_EQ(errorOf([&] { d->CreateTableDef("Monedas")->Fields(); d->TableDefs().Append([&] {
    auto t = d->CreateTableDef("Monedas");
    t->Fields().Append(t->CreateField("x", DataType::Long));
    return t;
  }()); }), 3010);
  d->Close();
  auto e = DBEngine::OpenDatabase(path, false, false, kConnect);
  EXPECT_EQ(e->QueryDefs().Item("secciones").SQL(), sql);
  EXPECT_EQ(e->QueryDefs().Item("BuscaPre").SQL(),
            "PARAMETERS CRenglon Long, CPartida Text ( 255 ); SELECT Presupuesto.* FROM Presupuesto "
            "WHERE Presupuesto.Renglon=[CRenglon] AND Presupuesto.Partida=[CPartida];");
  EXPECT_EQ(e->OpenRecordset("SELECT * FROM Secciones")->RecordCount(), 2);
  auto q = e->QueryDefs().Get("Secciones");
  q->SetSQL("SELECT Partida FROM Partidas");
  EXPECT_EQ(e->OpenRecordset("SELECT * FROM Secciones")->RecordCount(), 3);
  EXPECT_EQ(e->TableDefs().Item("Presupuesto").Fields().Item("Notas").DefaultValue(), "\" \"");
}

TEST_F(BidTest, CurrencyIsExactThroughStoreSumAndRead) {
  db->Execute("DELETE FROM Programa");
  auto rs = db->OpenRecordset("SELECT * FROM Programa");
  // 0.1 + 0.2 style amounts, and the smallest step.
  const int64_t scaled[] = {1000, 2000, 1, 33333, 99999999999, -5000};
  int periodo = 1;
  for (int64_t s : scaled) {
    rs->AddNew();
    rs->SetValue("Partida", "A01");
    rs->SetValue("Renglon", 1);
    rs->SetValue("Periodo", int16_t(periodo++));
    rs->SetValue("Volumen", vb::Currency::fromScaled(s));
    rs->Update();
  }
  rs->MoveFirst();
  for (int64_t s : scaled) {
    EXPECT_EQ(rs->Value("Volumen").toCurrency().scaled(), s);
    rs->MoveNext();
  }
  auto sum = db->OpenRecordset("SELECT SUM(Volumen) AS Total FROM Programa WHERE Periodo <= 2", RecordsetType::ForwardOnly);
  EXPECT_EQ(sum->Value("Total").toCurrency().scaled(), 3000);
  EXPECT_EQ(sum->Value("Total").toDouble(), 0.3);
  auto all = db->OpenRecordset("SELECT Sum(Volumen) AS Total FROM Programa");
  EXPECT_EQ(all->Value("Total").toCurrency().scaled(), 1000 + 2000 + 1 + 33333 + 99999999999 - 5000);
  // The quantity check compares a sum with a Double in SQL: no float noise.
  db->Execute("UPDATE Presupuesto SET Cantidad = 0.3 WHERE Partida = 'A01' AND Renglon = 1");
  db->Execute("DELETE FROM Programa WHERE Periodo > 2");
  auto diff = db->OpenRecordset(
      "SELECT Presupuesto.Partida, Presupuesto.Renglon,Presupuesto.Codigo, Sum(Programa.Volumen) AS SumaDeVolumen, "
      "PRESUPUESTO.CANTIDAD FROM Programa INNER JOIN Presupuesto ON  (Presupuesto.Partida = Programa.Partida) AND "
      " (Programa.Renglon = Presupuesto.rENGLON)  GROUP BY Presupuesto.Partida, Presupuesto.Renglon,"
      "Presupuesto.Codigo,PRESUPUESTO.CANTIDAD HAVING Sum(Programa.Volumen) <> presupuesto.cantidad",
      RecordsetType::ForwardOnly);
  EXPECT_TRUE(diff->EOF_());
  // Arithmetic in SQL reads back rounded to the ten-thousandth, half to even.
  db->Execute("UPDATE Presupuesto SET TotalVol = 0.00005 WHERE Codigo = 'EXC-01'");
  db->Execute("UPDATE Presupuesto SET TotalVol = TotalVol + 12.5 WHERE Codigo = 'LIM-01'");
  auto pre = db->OpenRecordset("SELECT Codigo, TotalVol FROM Presupuesto WHERE Codigo IN ('EXC-01', 'LIM-01')");
  pre->FindFirst("Codigo = 'EXC-01'");
  EXPECT_EQ(pre->Value("TotalVol").toCurrency().scaled(), 0);
  pre->FindFirst("Codigo = 'LIM-01'");
  EXPECT_EQ(pre->Value("TotalVol").toCurrency().scaled(), 125000);
}

TEST_F(BidTest, ChangeNotificationPerTable) {
  QStringList seen;
  const int id = db->Subscribe([&](const QString& t) { seen << t; });
  db->Execute("DELETE FROM Programa");   // every row, once for the statement
  auto rs = db->OpenRecordset("Monedas");
  rs->Edit();
  rs->SetValue("Paridad", 18.0);
  rs->Update();
  EXPECT_EQ(seen, QStringList({"Programa", "Monedas"}));
  db->Unsubscribe(id);
  db->Execute("DELETE FROM Pie");
  EXPECT_EQ(seen.size(), 2);
}

TEST_F(BidTest, WorkspaceRollbackUndoesTheTransaction) {
  auto& ws = DBEngine::Workspaces(0);
  ws.BeginTrans();
  db->Execute("UPDATE Presupuesto SET TotalVol = 0");
  db->Execute("UPDATE Presupuesto SET TotalVol = TotalVol + 5 WHERE Partida = 'A01' AND Renglon = 1");
  ws.Rollback();
  EXPECT_EQ(db->OpenRecordset("SELECT Sum(TotalVol) AS t FROM Presupuesto")->Value("t").toDouble(), 0);
  ws.BeginTrans();
  db->Execute("UPDATE Presupuesto SET TotalVol = 3");
  ws.CommitTrans();
  EXPECT_EQ(db->OpenRecordset("SELECT Sum(TotalVol) AS t FROM Presupuesto")->Value("t").toDouble(), 12);
  EXPECT_EQ(errorOf([&] { ws.CommitTrans(); }), 3034);
}

TEST_F(BidTest, AnOpenRecordsetShowsTheRowsAsARollbackLeftThem) {
  // Shared (the library's way) and exclusive (the bid's) files alike.
  for (bool exclusivo : {false, true}) {
    SCOPED_TRACE(exclusivo ? "exclusive" : "shared");
    db->Close();
    db = dao::DBEngine::OpenDatabase(path, exclusivo, false, kConnect);
    auto rs = db->OpenRecordset("SELECT * FROM Monedas");
    const vb::Variant antes = rs->Value("Paridad");
    auto& ws = DBEngine::Workspaces(0);
    ws.BeginTrans();
    rs->Edit();
    rs->SetValue("Paridad", 99.5);
    rs->Update();
    EXPECT_EQ(rs->Value("Paridad").toDouble(), 99.5);
    ws.Rollback();
    EXPECT_EQ(vb::Compare(rs->Value("Paridad"), antes), 0) << rs->Value("Paridad").toString().toStdString();
  }
}

TEST_F(BidTest, ClosedDatabaseLeavesStaleRecordsets) {
  auto rs = db->OpenRecordset("Presupuesto");
  db->Close();
  EXPECT_EQ(errorOf([&] { rs->MoveNext(); }), 3420);
  EXPECT_EQ(errorOf([&] { db->Execute("DELETE FROM Pie"); }), 3420);
  EXPECT_EQ(filesIn(dir.path()), QStringList({"obra.mdb"}));
}
