// The database files the build writes next to the executables, opened through the database layer:
// their structure is the text's, their saved queries run, and the sample bid is consistent.
#include "build.h"
#include "dao.h"
#include "sample.h"
#include "schema.h"
#include "vbdate.h"

#include "qt_print.h"
#include "error_of.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <map>

namespace {

using namespace resources;

QString binPath(const QString& name) { return QDir(TORNAVO_BIN_DIR).filePath(name); }
QString resourcePath(const QString& name) { return QDir(TORNAVO_SOURCE_DIR "/resources").filePath(name); }

const Schema& bidSchema() {
  static const Schema s = loadSchema(resourcePath("TORNAVO.KOR.txt"));
  return s;
}
const Schema& librarySchema() {
  static const Schema s = loadSchema(resourcePath("paratorn.kor.txt"));
  return s;
}
const SampleBid& sample() {
  static const SampleBid b = parseSample(readTextFile(resourcePath("Ejemplo.txt")));
  return b;
}

std::shared_ptr<dao::Database> openReadOnly(const QString& file) {
  return dao::DBEngine::OpenDatabase(binPath(file), false, true, kConnect);
}

// Every table, field and query of the text, with the properties the structure check compares.
void expectStructure(dao::Database& db, const Schema& schema) {
  QStringList tables;
  for (int i = 0; i < db.TableDefs().Count(); ++i) {
    const QString name = db.TableDefs().Item(i).Name();
    if (!name.startsWith("msys", Qt::CaseInsensitive)) tables << name;
  }
  QStringList expected;
  for (const TableDef& t : schema.tables) expected << t.name;
  EXPECT_EQ(tables, expected);
  for (const TableDef& t : schema.tables) {
    dao::TableDef& td = db.TableDefs().Item(t.name);
    ASSERT_EQ(td.Fields().Count(), int(t.fields.size())) << t.name.toStdString();
    for (int i = 0; i < td.Fields().Count(); ++i) {
      const dao::Field& f = td.Fields().Item(i);
      const FieldDef& d = t.fields[size_t(i)];
      SCOPED_TRACE((t.name + "." + d.name).toStdString());
      EXPECT_EQ(f.Name(), d.name);
      EXPECT_EQ(int(f.Type()), int(d.type));
      if (d.type == FieldType::Text) {
        EXPECT_EQ(f.Size(), d.size);
      }
      EXPECT_EQ(f.Required(), d.required);
      if (d.type == FieldType::Text || d.type == FieldType::Memo) {
        EXPECT_EQ(f.AllowZeroLength(), d.allowZeroLength);
      }
      EXPECT_EQ(f.DefaultValue(), d.defaultValue);
    }
  }
  ASSERT_EQ(db.QueryDefs().Count(), int(schema.queries.size()));
  for (const QueryDef& q : schema.queries) EXPECT_EQ(db.QueryDefs().Item(q.name).SQL(), q.sql) << q.name.toStdString();
}

TEST(ProgramFiles, TheTemplateBidHasTheTextsStructureAndOneRowOfGeneralData) {
  auto db = openReadOnly("TORNAVO.KOR");
  expectStructure(*db, bidSchema());
  auto general = db->OpenRecordset("SELECT * FROM DatosGenerales");
  ASSERT_EQ(general->RecordCount(), 1);
  EXPECT_EQ(general->Value("Redondeo").toLong(), 2);
  EXPECT_EQ(general->Value("Iva").toDouble(), 16.0);
  EXPECT_FALSE(general->Value("BaseCerrada").toBool());
  EXPECT_TRUE(general->Value("NombreEmpresa").isNull());
  for (const char* table : {"Presupuesto", "Partidas", "Programa", "Monedas", "Pie", "CalCab", "CalDet"})
    EXPECT_EQ(db->OpenRecordset(table)->RecordCount(), 0) << table;
}

TEST(ProgramFiles, TheLibraryHasItsTablesTheRecentBidsRowAndOneTemplatePerReport) {
  auto db = openReadOnly("paratorn.kor");
  expectStructure(*db, librarySchema());
  auto titgen = db->OpenRecordset("SELECT * FROM titgen");
  ASSERT_EQ(titgen->RecordCount(), 1);
  EXPECT_TRUE(titgen->Value("obra1").isNull());
  auto reportes = db->OpenRecordset("SELECT * FROM reportes");
  EXPECT_EQ(reportes->RecordCount(), 5);
  reportes->FindFirst("Reporte='presupuesto'");  // the report window searches in lower case
  ASSERT_FALSE(reportes->NoMatch());
  EXPECT_EQ(reportes->Value("Libro").toString(), "Parator1.kor");
  EXPECT_EQ(reportes->Value("Hoja").toString(), "Presupuesto");
  EXPECT_EQ(db->OpenRecordset("repOpciones")->RecordCount(), 0);
}

TEST(ProgramFiles, EveryDatabaseNeedsThePassword) {
  for (const char* file : {"TORNAVO.KOR", "paratorn.kor", "Ejemplo.mdb"}) {
    EXPECT_EQ(errorOf([&] { dao::DBEngine::OpenDatabase(binPath(file), false, true); }), 3031) << file;
    EXPECT_EQ(errorOf([&] { dao::DBEngine::OpenDatabase(binPath(file), false, true, ";pwd=OTRA"); }), 3031) << file;
  }
}

class SampleBidFile : public ::testing::Test {
protected:
  void SetUp() override { db = openReadOnly("Ejemplo.mdb"); }
  void TearDown() override { db->Close(); }

  // Expected totals from the text: by currency, and by section prefix and currency.
  static std::map<QString, vb::Currency> totalsByCurrency(const QString& prefix = {}) {
    std::map<QString, vb::Currency> totals;
    for (const SampleRow& r : expandSample(sample(), 2))
      if (r.partida.startsWith(prefix)) totals[r.entry->currency] += r.amount;
    return totals;
  }

  std::shared_ptr<dao::Database> db;
};

TEST_F(SampleBidFile, HasTheTemplatesStructure) { expectStructure(*db, bidSchema()); }

TEST_F(SampleBidFile, HoldsTheSampleRowsWithTheirGeneralData) {
  const auto rows = expandSample(sample(), 2);
  EXPECT_EQ(db->OpenRecordset("Presupuesto")->RecordCount(), int64_t(rows.size()));
  EXPECT_EQ(db->OpenRecordset("Partidas")->RecordCount(), int64_t(sample().sections.size()));
  EXPECT_EQ(db->OpenRecordset("Monedas")->RecordCount(), 2);
  EXPECT_EQ(db->OpenRecordset("Pie")->RecordCount(), 10);
  EXPECT_EQ(db->OpenRecordset("SELECT * FROM CalDet WHERE Formato = 'Num. 0'")->RecordCount(), 10);
  EXPECT_EQ(db->OpenRecordset("SELECT * FROM CalCab WHERE Formato = 'Num. 0'")->RecordCount(), 1);

  auto g = db->OpenRecordset("SELECT * FROM DatosGenerales");
  ASSERT_EQ(g->RecordCount(), 1);
  EXPECT_EQ(g->Value("FechaInicioProy").toDate(), vb::dateSerial(2025, 3, 3));
  EXPECT_EQ(g->Value("FechaFinalProy").toDate(), vb::dateSerial(2025, 8, 29));
  EXPECT_EQ(g->Value("Periodos").toLong(), 6);
  EXPECT_EQ(g->Value("FechaConcurso").toString(), "14/02/2025");
  EXPECT_EQ(g->Value("FactorIntegrado").toCurrency(), vb::Currency::fromScaled(12643));
  EXPECT_EQ(g->Value("nombreempresa").toString(), "CONSTRUCTORA EJEMPLO DEL BAJÍO, S.A. DE C.V.");
  EXPECT_FALSE(g->Value("BaseCerrada").toBool());

  // A concept standing in the three classroom buildings, read back with its amount.
  auto budget = db->OpenRecordset("SELECT * FROM Presupuesto WHERE Codigo = 'cim-004' ORDER BY Partida");
  ASSERT_EQ(budget->RecordCount(), 5);  // four buildings and the cistern
  EXPECT_EQ(budget->Value("Partida").toString(), "A01002");
  EXPECT_EQ(budget->Value("Precio").toCurrency(), vb::Currency::fromScaled(33500000));
  EXPECT_EQ(budget->Value("Cantidad").toDouble(), 28.75);
  EXPECT_EQ(budget->Value("Importe").toCurrency(), vb::Currency::fromScaled(963125000));  // 96 312.50
  EXPECT_EQ(budget->Value("FechaIni").toDate(), vb::dateSerial(2025, 3, 3));
  EXPECT_EQ(budget->Value("FechaFin").toDate(), vb::dateSerial(2025, 4, 30));
}

TEST_F(SampleBidFile, TotalMonedasGivesEachCurrencysTotal) {
  auto rs = db->OpenRecordset("TotalMonedas", dao::RecordsetType::Snapshot);
  std::map<QString, vb::Currency> got;
  QStringList texts;
  for (; !rs->EOF_(); rs->MoveNext()) {
    got[rs->Value("Moneda").toString()] = rs->Value("sumadeimporte").toCurrency();
    texts << rs->Value("Texto").toString();
  }
  EXPECT_EQ(got, totalsByCurrency());
  EXPECT_EQ(texts, QStringList({"DOLARES", "PESOS"}));
}

TEST_F(SampleBidFile, TotalPartidasTotalsEverySectionLevelPerCurrency) {
  auto rs = db->OpenRecordset("SELECT * FROM TotalPartidas");  // as the section-totals view reopens it
  std::map<std::pair<QString, QString>, vb::Currency> got;
  QStringList order;
  for (; !rs->EOF_(); rs->MoveNext()) {
    const QString partida = rs->Value("Partida").toString();
    got[{partida, rs->Value("Moneda").toString()}] = rs->Value("TotalPartida").toCurrency();
    order << partida + "/" + rs->Value("Moneda").toString();
    EXPECT_FALSE(rs->Value("TEXTOP").toString().isEmpty());
    EXPECT_EQ(rs->Value("TextoM").toString(), rs->Value("Moneda").toString());
  }
  std::map<std::pair<QString, QString>, vb::Currency> expected;
  for (const SampleSection& s : sample().sections)
    for (const auto& [currency, total] : totalsByCurrency(s.code)) expected[{s.code, currency}] = total;
  EXPECT_EQ(got, expected);
  QStringList sorted = order;
  sorted.sort();
  EXPECT_EQ(order, sorted);
  const std::pair<QString, QString> wholeBid("A", "PESOS");  // the first level carries the whole bid
  EXPECT_EQ(got[wholeBid], totalsByCurrency()["PESOS"]);
}

TEST_F(SampleBidFile, UnaPartidaTotalsTheConceptsUnderAPrefixAndFollowsItsParameter) {
  dao::QueryDef& q = db->QueryDefs().Item("UnaPartida");
  q.Parameters("partidax").SetValue(vb::Variant(" "));
  auto rs = q.OpenRecordset();
  EXPECT_EQ(rs->RecordCount(), 0);
  for (const char* prefix : {"A04", "A05003", "A"}) {
    q.Parameters("partidax").SetValue(vb::Variant(prefix));
    rs->Requery();
    std::map<QString, vb::Currency> got;
    for (; !rs->EOF_(); rs->MoveNext()) {
      got[rs->Value("Moneda").toString()] = rs->Value("TotalPartida").toCurrency();
      EXPECT_EQ(rs->Value("TextoM").toString(), rs->Value("Moneda").toString());
    }
    EXPECT_EQ(got, totalsByCurrency(prefix)) << prefix;
  }
}

// Checks that write work on a copy, so that the build's sample stays as generated.
class SampleBidCopy : public ::testing::Test {
protected:
  void SetUp() override {
    path = QDir(dir.path()).filePath("Obra.mdb");
    ASSERT_TRUE(QFile::copy(binPath("Ejemplo.mdb"), path));
    db = dao::DBEngine::OpenDatabase(path, true, false, kConnect);
  }
  void TearDown() override { db->Close(); }
  QTemporaryDir dir;
  QString path;
  std::shared_ptr<dao::Database> db;
};

TEST_F(SampleBidCopy, BuscaPreFindsOneConceptByItsParametersAndEditsIt) {
  dao::QueryDef& q = db->QueryDefs().Item("BuscaPre");
  q.Parameters("CRenglon").SetValue(vb::Variant(int32_t(0)));
  q.Parameters("CPartida").SetValue(vb::Variant(""));
  auto rs = q.OpenRecordset();
  EXPECT_EQ(rs->RecordCount(), 0);
  q.Parameters("CPartida").SetValue(vb::Variant("a01002"));
  q.Parameters("CRenglon").SetValue(vb::Variant(int32_t(3)));
  rs->Requery();
  ASSERT_EQ(rs->RecordCount(), 1);
  EXPECT_EQ(rs->Value("Codigo").toString(), "CIM-003");
  rs->Edit();
  rs->SetValue("FechaIni", vb::Variant::fromDate(2025, 3, 10));
  rs->SetValue("TotalVol", vb::Currency::fromScaled(10000));
  rs->Update();
  auto check = db->OpenRecordset("SELECT FechaIni, TotalVol FROM Presupuesto WHERE Partida = 'A01002' AND Renglon = 3");
  EXPECT_EQ(check->Value("FechaIni").toDate(), vb::dateSerial(2025, 3, 10));
  EXPECT_EQ(check->Value("TotalVol").toCurrency(), vb::Currency::fromScaled(10000));
}

TEST_F(SampleBidCopy, ProgramaObraListsEveryConceptPartidaAndRenglonFirstAndTakesDateEdits) {
  auto rs = db->OpenRecordset("ProgramaObra");
  EXPECT_EQ(rs->RecordCount(), int64_t(expandSample(sample(), 2).size()));
  EXPECT_EQ(rs->Fields(0).Name(), "Partida");
  EXPECT_EQ(rs->Fields(1).Name(), "Renglon");
  EXPECT_TRUE(rs->Updatable());
  EXPECT_EQ(rs->Value("Partida").toString(), "A01001");
  rs->Edit();
  rs->SetValue("FechaFin", vb::Variant::fromDate(2025, 3, 31));
  rs->Update();
  EXPECT_EQ(db->OpenRecordset("SELECT FechaFin FROM Presupuesto WHERE Partida='A01001' AND Renglon=1")
                ->Value("FechaFin").toDate(),
            vb::dateSerial(2025, 3, 31));
}

TEST_F(SampleBidCopy, TheScheduleMatchesTheQuantitiesUnderTheQuantityCheck) {
  // The statements of the budget/schedule quantity check, as the report writers run them.
  auto differences = db->OpenRecordset(
      "SELECT Presupuesto.Partida, Presupuesto.Renglon,Presupuesto.Codigo, Sum(Programa.Volumen) AS SumaDeVolumen, "
      "PRESUPUESTO.CANTIDAD FROM Programa INNER JOIN Presupuesto ON  (Presupuesto.Partida = Programa.Partida) AND  "
      "(Programa.Renglon = Presupuesto.rENGLON)  GROUP BY Presupuesto.Partida, "
      "Presupuesto.Renglon,Presupuesto.Codigo,PRESUPUESTO.CANTIDAD HAVING Sum(Programa.Volumen) <> presupuesto.cantidad",
      dao::RecordsetType::ForwardOnly);
  EXPECT_TRUE(differences->EOF_());
  auto unscheduled = db->OpenRecordset(
      "SELECT Presupuesto.Partida, Presupuesto.Renglon, Presupuesto.Codigo FROM Presupuesto WHERE Cantidad <> 0 AND "
      "TotalVol = 0",
      dao::RecordsetType::ForwardOnly);
  EXPECT_TRUE(unscheduled->EOF_());
  // Opening a bid fills missing concept dates; the sample has none missing.
  db->Execute("UPDATE presupuesto SET FechaIni =45719 where isnull(fechaini)");
  EXPECT_EQ(db->RecordsAffected(), 0);
}

TEST_F(SampleBidCopy, ACurrencyInUseCannotBeDeleted) {
  EXPECT_EQ(errorOf([&] { db->Execute("DELETE FROM Monedas WHERE Moneda = 'PESOS'"); }), 3200);
  db->Execute("UPDATE Presupuesto SET Moneda = 'PESOS' WHERE Moneda = 'DOLARES'");
  db->Execute("DELETE FROM Monedas WHERE Moneda = 'DOLARES'");
  EXPECT_EQ(db->OpenRecordset("Monedas")->RecordCount(), 1);
}

}  // namespace
