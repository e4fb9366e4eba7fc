// Writes the disk refuses (full, failing, turned read-only), made by a VFS that fails writes after a
// number of bytes: the error tells the cause, the action's writes are undone whole in the program and
// in the file, and the next action commits as usual.
#include "bidfixture.h"
#include "disco_que_falla.h"
#include "qt_print.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <algorithm>
#include <cstring>
#include <sqlite3.h>

using namespace dao;
using daotest::BidTest;
using daotest::kConnect;
using testsupport::DiscoQueFalla;

namespace {

// The first column of the first row of a query, read from the file by a connection of its own: what
// the file holds, whatever the layer's handles show. "" for no row or Null.
QString enArchivo(const QString& path, const char* sql) {
  sqlite3* db = nullptr;
  QString out;
  if (sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
    // The tables' text collation, enough for the comparisons here.
    sqlite3_create_collation(db, "JETTEXT", SQLITE_UTF8, nullptr, [](void*, int n1, const void* a, int n2, const void* b) {
      const int c = std::memcmp(a, b, size_t(std::min(n1, n2)));
      return c != 0 ? c : n1 - n2;
    });
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db, sql, -1, &st, nullptr) == SQLITE_OK && sqlite3_step(st) == SQLITE_ROW &&
        sqlite3_column_type(st, 0) != SQLITE_NULL)
      out = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
    sqlite3_finalize(st);
  }
  sqlite3_close(db);
  return out;
}

QString enPrograma(Database& db, const QString& sql) {
  auto rs = db.OpenRecordset(sql, RecordsetType::Snapshot);
  return rs->EOF_() ? QString() : rs->Fields(0).Value().toString();
}

struct Causa {
  const char* nombre;
  DiscoQueFalla::Causa causa;
  int numero;
};
const Causa kCausas[] = {{"disco lleno", DiscoQueFalla::Causa::Lleno, 61},
                         {"disco averiado", DiscoQueFalla::Causa::Averiado, 3000},
                         {"medio de solo lectura", DiscoQueFalla::Causa::SoloLectura, 3027}};

// The failures told through the layer's report while one lives.
struct Reportes {
  Reportes() {
    DBEngine::OnCommitFailure([this](const QString& file, const vb::Error& e) {
      archivos << QFileInfo(file).fileName();
      numeros.push_back(e.number());
    });
  }
  ~Reportes() { DBEngine::OnCommitFailure(nullptr); }
  QStringList archivos;
  std::vector<int> numeros;
};

constexpr const char* kParidad = "SELECT Paridad FROM Monedas WHERE Moneda = 'PESOS'";
constexpr const char* kParidadArchivo = "SELECT printf('%g', Paridad) FROM Monedas WHERE Moneda = 'PESOS'";
constexpr const char* kPrecios = "SELECT Sum(Precio) FROM Presupuesto";

}  // namespace

// One action writes two tables; the disk refuses the second write while its statement runs, or the
// pages of both at the commit that ends the action. Either way the error names the cause, nothing of
// the action stays (in the file nor in what the program reads), and the next action commits: on a
// shared file and on one held exclusively, as a bid is.
TEST_F(BidTest, AWriteTheDiskRefusesUndoesTheWholeActionAndNamesTheCause) {
  const QString precios = enPrograma(*db, kPrecios);
  for (const bool exclusivo : {false, true}) {
    db->Close();
    db = DBEngine::OpenDatabase(path, exclusivo, false, kConnect);
    // What the file holds; an exclusive file is read once the program let it go.
    auto archivo = [&](const char* sql) {
      if (!exclusivo) return enArchivo(path, sql);
      db->Close();
      const QString v = enArchivo(path, sql);
      db = DBEngine::OpenDatabase(path, true, false, kConnect);
      return v;
    };
    for (const Causa& c : kCausas) {
      for (const bool alConfirmar : {false, true}) {
        SCOPED_TRACE(std::string(c.nombre) + (alConfirmar ? ", at the commit" : ", in the statement") +
                     (exclusivo ? ", exclusive" : ", shared"));
        Reportes reportes;
        db->Execute("UPDATE Monedas SET Paridad = 20 WHERE Moneda = 'PESOS'");
        {
          DiscoQueFalla disco(dir.path(), 0, c.causa,
                              alConfirmar ? DiscoQueFalla::Archivos::Bases : DiscoQueFalla::Archivos::Diarios);
          const int error = errorOf([&] { db->Execute("UPDATE Presupuesto SET Precio = Precio + 1"); });
          DBEngine::EndAction();
          EXPECT_GT(disco.rechazadas(), 0);
          if (alConfirmar) {
            EXPECT_EQ(error, 0);
            EXPECT_EQ(reportes.numeros, std::vector<int>{c.numero});
            EXPECT_EQ(reportes.archivos, QStringList{"obra.mdb"});
          } else {
            EXPECT_EQ(error, c.numero);
            EXPECT_TRUE(reportes.numeros.empty()) << "told once, by the statement";
          }
        }
        EXPECT_EQ(enPrograma(*db, kParidad), "1");
        EXPECT_EQ(enPrograma(*db, kPrecios), precios);

        db->Execute("UPDATE Monedas SET Texto = 'Pesos mexicanos' WHERE Moneda = 'PESOS'");
        DBEngine::EndAction();
        EXPECT_EQ(archivo(kParidadArchivo), "1");
        EXPECT_EQ(archivo(kPrecios), precios);
        EXPECT_EQ(archivo("SELECT Texto FROM Monedas WHERE Moneda = 'PESOS'"), "Pesos mexicanos");
        db->Execute("UPDATE Monedas SET Texto = 'Pesos' WHERE Moneda = 'PESOS'");
        DBEngine::EndAction();
      }
    }
  }
}

// Inside workspace transactions (a price spread, a general-data save): the write that fails or the
// CommitTrans that cannot commit raises the cause; the Rollback the caller then calls is accepted;
// the transaction is over, with nothing of it kept, and the next one commits. A failure inside a
// nested transaction refuses the outer one too.
TEST_F(BidTest, AWorkspaceTransactionTheDiskRefusesEndsWholeAndTheNextOneCommits) {
  auto& ws = DBEngine::Workspaces(0);
  struct Caso {
    const char* nombre;
    DiscoQueFalla::Archivos archivos;
    bool anidada;
  };
  const Caso casos[] = {{"write refused", DiscoQueFalla::Archivos::Diarios, false},
                        {"commit refused", DiscoQueFalla::Archivos::Bases, false},
                        {"write refused in a nested transaction", DiscoQueFalla::Archivos::Diarios, true}};
  for (const Caso& c : casos) {
    SCOPED_TRACE(c.nombre);
    int error = 0;
    ws.BeginTrans();
    db->Execute("UPDATE Monedas SET Paridad = 20 WHERE Moneda = 'PESOS'");
    {
      DiscoQueFalla disco(dir.path(), 0, DiscoQueFalla::Causa::Lleno, c.archivos);
      try {
        if (c.anidada) {
          ws.BeginTrans();
          try {
            db->Execute("UPDATE Presupuesto SET Precio = 1");
            ws.CommitTrans();
          } catch (const vb::Error& e) {
            EXPECT_EQ(e.number(), 61);
            ws.Rollback();
          }
        } else {
          db->Execute("UPDATE Presupuesto SET Precio = 1");
        }
        ws.CommitTrans();
      } catch (const vb::Error& e) {
        error = e.number();
        EXPECT_EQ(errorOf([&] { ws.Rollback(); }), 0);
      }
    }
    EXPECT_EQ(error, 61);
    EXPECT_EQ(errorOf([&] { ws.Rollback(); }), 3034) << "no transaction is left open";
    EXPECT_EQ(enPrograma(*db, kParidad), "1");
    EXPECT_EQ(enArchivo(path, kParidadArchivo), "1");
    EXPECT_EQ(enArchivo(path, "SELECT Count(*) FROM Presupuesto WHERE Precio = 1"), "0");

    ws.BeginTrans();
    db->Execute("UPDATE Monedas SET Paridad = 2 WHERE Moneda = 'PESOS'");
    ws.CommitTrans();
    EXPECT_EQ(enArchivo(path, kParidadArchivo), "2");
    db->Execute("UPDATE Monedas SET Paridad = 1 WHERE Moneda = 'PESOS'");
    DBEngine::EndAction();
  }
}

// Rows added, deleted and changed by the refused action: open recordsets and their views show the
// rows as the file holds them afterwards.
TEST_F(BidTest, OpenRecordsetsShowWhatTheFileHoldsAfterARefusedWrite) {
  auto programa = db->OpenRecordset("SELECT * FROM Programa");
  ASSERT_EQ(programa->RecordCount(), 3);
  QStringList avisos;
  db->Subscribe([&](const QString& t) { avisos << t; });

  programa->MoveFirst();
  const vb::Variant primero = programa->Value("Volumen");
  programa->Delete();
  programa->MoveNext();
  programa->Edit();
  programa->SetValue("Volumen", 1.5);
  programa->Update();
  programa->AddNew();
  programa->SetValue("Partida", "B");
  programa->SetValue("Renglon", 2);
  programa->SetValue("Periodo", 3);
  programa->SetValue("Volumen", 7);
  programa->Update();
  EXPECT_EQ(programa->RecordCount(), 3);
  avisos.clear();
  {
    DiscoQueFalla disco(dir.path(), 0, DiscoQueFalla::Causa::Lleno, DiscoQueFalla::Archivos::Diarios);
    EXPECT_EQ(errorOf([&] { db->Execute("UPDATE Presupuesto SET Precio = 1"); }), 61);
  }
  EXPECT_TRUE(avisos.contains("Programa")) << avisos.join(",").toStdString();
  EXPECT_EQ(programa->RecordCount(), 3);
  QStringList filas;
  for (programa->MoveFirst(); !programa->EOF_(); programa->MoveNext())
    filas << programa->Value("Partida").toString() + "/" + programa->Value("Periodo").toString() + "=" +
                 programa->Value("Volumen").toString();
  EXPECT_EQ(filas, QStringList({"A01/1=60", "A01/2=40", "B/1=9.9999"}));
  EXPECT_EQ(vb::Compare(primero, vb::Variant(vb::Currency::fromInt(60))), 0);
  EXPECT_EQ(enArchivo(path, "SELECT Count(*) FROM Programa"), "3");
}

// A save of thousands of rows on a disk with little room: refused with "Disco lleno" wherever the
// room ends (a statement spilling pages, or the commit), with the file and the program as before.
TEST_F(BidTest, ALargeSaveTheDiskCannotHoldIsRefused) {
  auto& ws = DBEngine::Workspaces(0);
  int error = 0;
  {
    DiscoQueFalla disco(dir.path(), 256 * 1024);
    ws.BeginTrans();
    try {
      for (int i = 0; i < 20000; ++i)
        db->Execute(QStringLiteral("INSERT INTO Programa (Partida, Renglon, Periodo, Volumen) VALUES ('C', %1, 1, %1)")
                        .arg(i + 1));
      ws.CommitTrans();
    } catch (const vb::Error& e) {
      error = e.number();
      ws.Rollback();
    }
  }
  EXPECT_EQ(error, 61);
  EXPECT_EQ(enPrograma(*db, "SELECT Count(*) FROM Programa"), "3");
  EXPECT_EQ(enArchivo(path, "SELECT Count(*) FROM Programa"), "3");
  db->Execute("DELETE FROM Programa WHERE Periodo = 2");
  DBEngine::EndAction();
  EXPECT_EQ(enArchivo(path, "SELECT Count(*) FROM Programa"), "2");
}

// A compaction on a disk without room: the cause is told, the bid is as it was and nothing is left
// beside it.
TEST_F(BidTest, ACompactionTheDiskCannotHoldLeavesTheBidAsItWas) {
  db->Close();
  auto huella = [&] {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256) : QByteArray();
  };
  const QByteArray antes = huella();
  for (const Causa& c : kCausas) {
    SCOPED_TRACE(c.nombre);
    DiscoQueFalla disco(dir.path(), 4096, c.causa);
    EXPECT_EQ(errorOf([&] { DBEngine::CompactInPlace(path, dir.filePath("obra.bak"), kConnect); }), c.numero);
    EXPECT_EQ(huella(), antes);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList({"obra.mdb"}));
  }
}
