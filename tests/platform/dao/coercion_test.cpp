// What Jet stored when a write gave a Date field a text or a Yes/No field a nonzero: the date and
// True, by every write path, in new files and in files written before the layer converted them.
#include "bidfixture.h"
#include "qt_print.h"

#include <QCryptographicHash>
#include <QFile>
#include <sqlite3.h>
#include <vbdate.h>

#include <algorithm>
#include <cstring>
#include <functional>

using namespace dao;
using daotest::BidTest;
using daotest::kConnect;
using vb::Variant;

namespace {

// The criteria literal of a serial.
QString literal(double serial) { return u'#' + vb::toQDateTime(serial).toString("yyyy/MM/dd hh:mm:ss") + u'#'; }

// "Partida/Renglon" of each row the SQL selects.
QStringList keys(Database& db, const QString& sql) {
  QStringList out;
  for (auto rs = db.OpenRecordset(sql, RecordsetType::Snapshot); !rs->EOF_(); rs->MoveNext())
    out << rs->Value("Partida").toString() + u'/' + rs->Value("Renglon").toString();
  return out;
}

// Every row's date fields, as read.
QStringList dates(Database& db) {
  QStringList out;
  for (auto rs = db.OpenRecordset("SELECT * FROM Presupuesto", RecordsetType::Snapshot); !rs->EOF_(); rs->MoveNext())
    for (const char* f : {"Partida", "Renglon", "FechaIni", "FechaFin"})
      out << (rs->Value(f).isNull() ? QStringLiteral("Null") : rs->Value(f).toString());
  return out;
}

// What the structure comparison reads: tables with every field property, and queries.
QStringList structure(Database& db) {
  QStringList out;
  auto& tds = db.TableDefs();
  for (int i = 0; i < tds.Count(); ++i) {
    auto& td = tds.Item(i);
    for (const auto& f : td.Fields())
      out << QStringLiteral("%1.%2 %3 %4 %5 %6 %7")
                 .arg(td.Name(), f->Name())
                 .arg(int(f->Type()))
                 .arg(f->Size())
                 .arg(int(f->Required()))
                 .arg(int(f->AllowZeroLength()))
                 .arg(f->DefaultValue());
  }
  auto& qds = db.QueryDefs();
  for (int i = 0; i < qds.Count(); ++i) out << qds.Item(i).Name() + u' ' + qds.Item(i).SQL();
  return out;
}

QByteArray fileHash(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return {};
  return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
}

// Turns a file into one written before the layer converted values: no conversion triggers, and
// what raw SQL left then (text dates, -1 in a Yes/No field, a blank in a Date field).
void makeOlder(const QString& path) {
  sqlite3* raw = nullptr;
  ASSERT_EQ(sqlite3_open_v2(path.toUtf8().constData(), &raw, SQLITE_OPEN_READWRITE, nullptr), SQLITE_OK);
  sqlite3_create_collation(raw, "JETTEXT", SQLITE_UTF8, nullptr, [](void*, int n1, const void* a, int n2, const void* b) {
    const int c = std::memcmp(a, b, size_t(std::min(n1, n2)));
    return c ? c : n1 - n2;
  });
  QStringList drops;
  sqlite3_stmt* st = nullptr;
  sqlite3_prepare_v2(raw, "SELECT name FROM sqlite_schema WHERE type = 'trigger' AND name GLOB 'jetcoerce.*'", -1, &st, nullptr);
  while (sqlite3_step(st) == SQLITE_ROW)
    drops << QStringLiteral("DROP TRIGGER \"%1\";").arg(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
  sqlite3_finalize(st);
  EXPECT_FALSE(drops.isEmpty());
  const QString sql = drops.join(QString()) +
                      "UPDATE Presupuesto SET FechaIni = '2009/03/15' WHERE Codigo = 'LIM-01';"
                      "UPDATE Presupuesto SET FechaFin = ' ' WHERE Codigo = 'EXC-01';"
                      "UPDATE Pie SET ImprimirRaya = -1;";
  char* err = nullptr;
  EXPECT_EQ(sqlite3_exec(raw, sql.toUtf8().constData(), nullptr, nullptr, &err), SQLITE_OK) << (err ? err : "");
  sqlite3_free(err);
  sqlite3_close(raw);
}

// A text date through each way of writing a row, and the rows each way writes.
struct Way {
  const char* name;
  std::function<void(Database&, const QString&)> write;
};

const Way kWays[] = {
    {"INSERT", [](Database& db, const QString& t) {
       db.Execute("INSERT INTO Presupuesto (Partida, Renglon, Codigo, FechaIni) VALUES ('C', 1, 'NUEVO', '" + t + "')");
     }},
    {"UPDATE", [](Database& db, const QString& t) {
       db.Execute("UPDATE Presupuesto SET FechaIni = '" + t + "' WHERE Codigo = 'LIM-01'");
     }},
    // The builder's IIF form: the value comes from an expression, and its other branch is Null.
    {"UPDATE IIF", [](Database& db, const QString& t) {
       db.Execute("UPDATE Presupuesto SET FechaIni = IIF(Codigo = 'EXC-01', '" + t + "', Null) WHERE Partida = 'B'");
     }},
    {"saved query", [](Database& db, const QString& t) {
       auto& q = db.QueryDefs().Item("PoneFecha");
       q.Parameters("Fecha").SetValue(Variant(t));
       q.Execute();
     }},
    {"recordset", [](Database& db, const QString& t) {
       auto rs = db.OpenRecordset("Presupuesto");
       rs->AddNew();
       rs->SetValue("Partida", "E");
       rs->SetValue("Renglon", 1);
       rs->SetValue("FechaIni", Variant(t));
       rs->Update();
     }},
};
const QStringList kWritten = {"A01/1", "A01/2", "B/1", "C/1", "E/1"};

class Coercion : public BidTest {
protected:
  void SetUp() override {
    BidTest::SetUp();
    db->CreateQueryDef("PoneFecha",
                       "PARAMETERS Fecha Text ( 255 ); UPDATE Presupuesto SET FechaIni = [Fecha] "
                       "WHERE Partida = 'A01' AND Renglon = 2;");
  }
};

}  // namespace

TEST_F(Coercion, TextDatesAreStoredAsDatesByEveryWrite) {
  struct Case { const char* text; int y, m, d, h, mi, s; };
  const Case cases[] = {
      {"2009/03/15", 2009, 3, 15, 0, 0, 0},        {"15/03/2009", 2009, 3, 15, 0, 0, 0},
      {"15/mar/2009", 2009, 3, 15, 0, 0, 0},       {"15-03-09", 2009, 3, 15, 0, 0, 0},
      {"15/Mar/2009 10:30", 2009, 3, 15, 10, 30, 0}, {"2024/02/29 18:45:30", 2024, 2, 29, 18, 45, 30},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    const double serial = vb::dateSerial(c.y, c.m, c.d) + (c.h * 3600 + c.mi * 60 + c.s) / 86400.0;
    db->Execute("DELETE FROM Presupuesto WHERE Partida IN ('C', 'E')");
    for (const auto& w : kWays) {
      SCOPED_TRACE(w.name);
      w.write(*db, QString::fromUtf8(c.text));
    }
    // Criteria in SQL and in FindFirst/FindNext see the date.
    EXPECT_EQ(keys(*db, "SELECT * FROM Presupuesto WHERE FechaIni = " + literal(serial) + " ORDER BY Partida, Renglon"), kWritten);
    auto rs = db->OpenRecordset("SELECT * FROM Presupuesto ORDER BY Partida, Renglon");
    QStringList found;
    for (rs->FindFirst("FechaIni = " + literal(serial)); !rs->NoMatch(); rs->FindNext("FechaIni = " + literal(serial))) {
      found << rs->Value("Partida").toString() + u'/' + rs->Value("Renglon").toString();
      EXPECT_EQ(rs->Value("FechaIni"), Variant::fromDate(serial));
    }
    EXPECT_EQ(found, kWritten);
    // Arithmetic on the field, and the IIF's Null branch left Null.
    auto calc = db->OpenRecordset("SELECT FechaIni + 1 AS Manana, FechaFin FROM Presupuesto WHERE Partida = 'C'");
    EXPECT_EQ(calc->Value("Manana").toDouble(), serial + 1);
    EXPECT_TRUE(calc->Value("FechaFin").isNull());
    EXPECT_EQ(keys(*db, "SELECT * FROM Presupuesto WHERE FechaIni Is Null"), QStringList({"B/2"}));
  }
}

TEST_F(Coercion, TextDatesSortAmongStoredDates) {
  db->Execute("UPDATE Presupuesto SET FechaIni = '2009/03/15' WHERE Partida = 'A01' AND Renglon = 1");
  db->Execute("UPDATE Presupuesto SET FechaIni = #2009/02/01# WHERE Partida = 'A01' AND Renglon = 2");
  db->Execute("UPDATE Presupuesto SET FechaIni = '10/01/2009' WHERE Partida = 'B' AND Renglon = 1");
  EXPECT_EQ(keys(*db, "SELECT * FROM Presupuesto WHERE Not IsNull(FechaIni) ORDER BY FechaIni"),
            QStringList({"B/1", "A01/2", "A01/1"}));
  auto span = db->OpenRecordset("SELECT Max(FechaIni) - Min(FechaIni) AS Dias FROM Presupuesto");
  EXPECT_EQ(span->Value("Dias").toDouble(), 64);
}

// Jet's answer to a text that is not a date, the blank included: error 3421 and nothing written.
// The program never stores " " in a Date field (its one blank-able date, FechaConcurso, is Text),
// so a blank there is a mistake to report, not a Null to invent.
TEST_F(Coercion, TextThatIsNoDateFailsAndChangesNothing) {
  db->Execute("UPDATE Presupuesto SET FechaFin = #2024/05/01#");
  const QStringList before = dates(*db);
  for (const char* bad : {"2009/13/45", "mañana", " ", ""}) {
    SCOPED_TRACE(bad);
    const QString t = QString::fromUtf8(bad);
    for (const auto& w : kWays) {
      SCOPED_TRACE(w.name);
      EXPECT_EQ(errorOf([&] { w.write(*db, t); }), 3421);
    }
    // Rows before the failing one in a multi-row statement are undone with it.
    EXPECT_EQ(errorOf([&] {
                db->Execute("UPDATE Presupuesto SET FechaFin = IIF(Codigo = 'TRZ-01', '" + t + "', '2009/03/15')");
              }),
              3421);
    EXPECT_EQ(errorOf([&] {
                db->Execute("INSERT INTO Presupuesto (Partida, Renglon, FechaIni, FechaFin) VALUES ('C', 1, '2009/03/15', '" + t + "')");
              }),
              3421);
    EXPECT_EQ(dates(*db), before);
  }
  // Null stays Null.
  db->Execute("UPDATE Presupuesto SET FechaFin = Null WHERE Partida = 'B'");
  EXPECT_EQ(keys(*db, "SELECT * FROM Presupuesto WHERE FechaFin Is Null ORDER BY Renglon"), QStringList({"B/1", "B/2"}));
}

TEST_F(Coercion, NonzeroIntoYesNoIsTrue) {
  struct Case { const char* sql; bool value; };
  const Case cases[] = {{"5", true}, {"-1", true}, {"0.5", true}, {"True", true}, {"0", false}, {"False", false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.sql);
    db->Execute(QStringLiteral("UPDATE Pie SET ImprimirRaya = %1 WHERE Renglon = 1").arg(c.sql));
    db->Execute(QStringLiteral("DELETE FROM Pie WHERE Renglon = 2"));
    db->Execute(QStringLiteral("INSERT INTO Pie (Renglon, ImprimirRaya) VALUES (2, %1)").arg(c.sql));
    const QString criteria = c.value ? "ImprimirRaya = True" : "ImprimirRaya = False";
    EXPECT_EQ(db->OpenRecordset("SELECT * FROM Pie WHERE " + criteria)->RecordCount(), 2);
    auto rs = db->OpenRecordset("SELECT * FROM Pie");
    rs->FindFirst(criteria);
    EXPECT_FALSE(rs->NoMatch());
    EXPECT_EQ(rs->Value("ImprimirRaya"), Variant(c.value));
  }
  EXPECT_EQ(errorOf([&] { db->Execute("UPDATE Pie SET ImprimirRaya = 'quizá'"); }), 3421);
  db->Execute("UPDATE Pie SET ImprimirRaya = Null WHERE Renglon = 2");
  EXPECT_TRUE(db->OpenRecordset("SELECT * FROM Pie WHERE Renglon = 2")->Value("ImprimirRaya").isNull());
}

TEST_F(Coercion, FieldsAddedLaterAreConverted) {
  auto& td = db->TableDefs().Item("Pie");
  td.Fields().Append(td.CreateField("Fecha", DataType::Date));
  db->Execute("UPDATE Pie SET Fecha = '2009/03/15'");
  EXPECT_EQ(db->OpenRecordset("SELECT * FROM Pie WHERE Fecha = #2009/03/15#")->RecordCount(), 1);
  daotest::addTable(*db, "Avance", {{"Dia", DataType::Date}, {"Listo", DataType::Boolean}}, {});
  db->Execute("INSERT INTO Avance (Dia, Listo) VALUES ('15/mar/2009', 7)");
  EXPECT_EQ(db->OpenRecordset("SELECT * FROM Avance WHERE Dia = #2009/03/15# AND Listo = True")->RecordCount(), 1);
}

// Files written before the layer converted: a read-write open converts what was left and adds
// the conversion; a read-only open (the structure check) writes nothing; compaction keeps it all;
// none of it shows as a table, field or query.
TEST(CoercionFiles, OlderFilesAreConvertedAtOpenAndCompactionKeepsIt) {
  QTemporaryDir dir;
  const QString path = dir.filePath("obra.mdb");
  auto fresh = daotest::createBid(path);
  const QStringList shape = structure(*fresh);
  fresh->Close();
  makeOlder(path);

  const QByteArray older = fileHash(path);
  {
    auto ro = DBEngine::OpenDatabase(path, false, true, kConnect);
    EXPECT_EQ(structure(*ro), shape);
    EXPECT_EQ(ro->OpenRecordset("SELECT * FROM Presupuesto WHERE Codigo = 'LIM-01'")->Value("FechaIni"),
              Variant::fromDate(2009, 3, 15));   // a text date read as one, as before
  }
  EXPECT_EQ(fileHash(path), older);

  {
    auto d = DBEngine::OpenDatabase(path, true, false, kConnect);
    EXPECT_EQ(keys(*d, "SELECT * FROM Presupuesto WHERE FechaIni = #2009/03/15#"), QStringList({"A01/1"}));
    EXPECT_EQ(d->OpenRecordset("SELECT * FROM Pie WHERE ImprimirRaya = True")->RecordCount(), 1);
    // A blank that does not convert stays, and reads as before.
    EXPECT_EQ(d->OpenRecordset("SELECT * FROM Presupuesto WHERE Codigo = 'EXC-01'")->Value("FechaFin"), Variant(" "));
    d->Execute("UPDATE Presupuesto SET FechaFin = '15/mar/2009' WHERE Partida = 'A01'");
    EXPECT_EQ(keys(*d, "SELECT * FROM Presupuesto WHERE FechaFin = #2009/03/15# ORDER BY Renglon"), QStringList({"A01/1", "A01/2"}));
    EXPECT_EQ(errorOf([&] { d->Execute("UPDATE Presupuesto SET FechaIni = ' '"); }), 3421);
    EXPECT_EQ(structure(*d), shape);
  }

  const QString bak = dir.filePath("obra.bak");
  ASSERT_TRUE(QFile::rename(path, bak));
  DBEngine::CompactDatabase(bak, path, kConnect);
  const QByteArray compacted = fileHash(path);
  {
    // Complete: a read-write open finds nothing to add.
    auto c = DBEngine::OpenDatabase(path, true, false, kConnect);
    EXPECT_EQ(structure(*c), shape);
    EXPECT_EQ(keys(*c, "SELECT * FROM Presupuesto WHERE FechaFin = #2009/03/15# ORDER BY Renglon"), QStringList({"A01/1", "A01/2"}));
  }
  EXPECT_EQ(fileHash(path), compacted);
  auto c = DBEngine::OpenDatabase(path, true, false, kConnect);
  c->Execute("UPDATE Presupuesto SET FechaIni = '2024/01/15' WHERE Partida = 'B'");
  EXPECT_EQ(keys(*c, "SELECT * FROM Presupuesto WHERE FechaIni = #2024/01/15# ORDER BY Renglon"), QStringList({"B/1", "B/2"}));
  EXPECT_EQ(errorOf([&] { c->Execute("UPDATE Presupuesto SET FechaIni = 'ayer'"); }), 3421);
}
