// The text form of the program's databases and of the sample bid, read without the database layer.
#include "sample.h"
#include "schema.h"

#include "qt_print.h"

#include <QDir>
#include <QSet>
#include <cmath>
#include <gtest/gtest.h>
#include <stdexcept>

namespace {

using namespace resources;

QString resourcePath(const QString& name) { return QDir(TORNAVO_SOURCE_DIR "/resources").filePath(name); }

QStringList tableNames(const Schema& s) {
  QStringList names;
  for (const TableDef& t : s.tables) names << t.name;
  return names;
}

TEST(SchemaText, TheTemplateBidHoldsEveryTableAndSavedQuery) {
  const Schema s = loadSchema(resourcePath("TORNAVO.KOR.txt"));
  EXPECT_EQ(tableNames(s), QStringList({"Presupuesto", "Partidas", "Programa", "Monedas", "DatosGenerales", "Pie",
                                        "CalCab", "CalDet"}));
  QStringList queries;
  for (const QueryDef& q : s.queries) queries << q.name;
  EXPECT_EQ(queries, QStringList({"TotalPartidas", "TotalMonedas", "ProgramaObra", "BuscaPre", "UnaPartida"}));
  ASSERT_EQ(s.relations.size(), 1u);
  EXPECT_EQ(s.relations[0].referredTable, "Monedas");
  EXPECT_EQ(s.relations[0].table, "Presupuesto");
  EXPECT_EQ(s.statements, QStringList({"INSERT INTO DatosGenerales (Periodicidad) VALUES (1);"}));

  const TableDef* budget = s.table("presupuesto");
  ASSERT_NE(budget, nullptr);
  ASSERT_EQ(budget->indexes.front().fields, QStringList({"Partida", "Renglon"}));
  EXPECT_TRUE(budget->indexes.front().primary);
  const FieldDef* descri = budget->field("DESCRI");
  ASSERT_NE(descri, nullptr);
  EXPECT_EQ(descri->type, FieldType::Memo);
  const FieldDef* partida = budget->field("Partida");
  EXPECT_EQ(partida->size, 20);
  EXPECT_TRUE(partida->required);
  EXPECT_FALSE(partida->allowZeroLength);
  EXPECT_EQ(budget->field("Precio")->type, FieldType::Currency);
  EXPECT_EQ(budget->field("Precio")->defaultValue, "0");
  EXPECT_TRUE(budget->field("Texto")->allowZeroLength);
  EXPECT_FALSE(budget->field("Cantidad")->allowZeroLength);  // only text carries the property

  const TableDef* general = s.table("DatosGenerales");
  EXPECT_EQ(general->field("FechaConcurso")->type, FieldType::Text);
  EXPECT_EQ(general->field("Contraseña")->type, FieldType::Text);
  EXPECT_EQ(general->field("NombreEmpresa")->size, 90);
  EXPECT_EQ(general->field("BaseCerrada")->defaultValue, "No");

  const QueryDef& buscaPre = s.queries[3];
  EXPECT_TRUE(buscaPre.sql.startsWith("PARAMETERS CRenglon Long, CPartida Text ( 255 );\nSELECT Presupuesto.*"));
}

TEST(SchemaText, TheLibraryHoldsItsTablesAndOneRowPerReportKind) {
  const Schema s = loadSchema(resourcePath("paratorn.kor.txt"));
  EXPECT_EQ(tableNames(s), QStringList({"titgen", "reportes", "repOpciones", "CalCab", "CalDet"}));
  EXPECT_TRUE(s.queries.empty());
  ASSERT_EQ(s.statements.size(), 6);
  for (const char* kind : {"'Presupuesto'", "'Totales del presupuesto'", "'Programa de obra'", "'Montos mensuales'",
                           "'Conceptos,cantidades y precios'"})
    EXPECT_EQ(s.statements.filter(QString("VALUES (") + kind).size(), 1) << kind;
  // The footer formats keep the same layout in the library as in the bid.
  const Schema bid = loadSchema(resourcePath("TORNAVO.KOR.txt"));
  for (const char* name : {"CalCab", "CalDet"}) {
    const TableDef* a = s.table(name);
    const TableDef* b = bid.table(name);
    ASSERT_EQ(a->fields.size(), b->fields.size()) << name;
    for (size_t i = 0; i < a->fields.size(); ++i) {
      EXPECT_EQ(a->fields[i].name, b->fields[i].name);
      EXPECT_EQ(a->fields[i].type, b->fields[i].type);
      EXPECT_EQ(a->fields[i].size, b->fields[i].size);
      EXPECT_EQ(a->fields[i].defaultValue, b->fields[i].defaultValue);
    }
  }
}

TEST(SchemaText, TextItCannotReadNamesTheLine) {
  const std::pair<const char*, const char*> cases[] = {
      {"TABLE T\n  A Text\n", "x:2: a Text field needs its size"},
      {"TABLE T\n  A Text(256)\n", "x:2: a Text field holds 1 to 255"},
      {"TABLE T\n  A Decimal\n", "x:2: unknown field type \"Decimal\""},
      {"TABLE T\n  A Long unique\n", "x:2: unknown field attribute \"unique\""},
      {"TABLE T\n  A Long nozerolength\n", "x:2: nozerolength applies to Text and Memo"},
      {"TABLE T\n  A Long\n  a Text(3)\n", "x:3: field a appears twice"},
      {"TABLE T\n  A Long\n  PRIMARY KEY B\n", "x:3: no field B in table T"},
      {"TABLE T\n  A Long\n  PRIMARY KEY A\n  PRIMARY KEY A\n", "x:4: table T has two primary keys"},
      {"  A Long\n", "x:1: an indented line belongs to a TABLE"},
      {"TABLE T\n  A Long\nTABLE t\n  B Long\n", "x:3: table t appears twice"},
      {"TABLE T\n  A Long\nRELATION T.A -> U.B\n", "x:3: no field U.B for the relation"},
      {"QUERY Q\nSELECT 1\n", "x:1: query Q has no END"},
      {"QUERY Q\nEND\n", "x:2: query Q has no SQL"},
      {"TABLE T\n", "x: table T has no fields"},
      {"SELECT 1\n", "x:1: cannot read \"SELECT 1\""},
  };
  for (const auto& [text, message] : cases) {
    try {
      parseSchema(QString::fromUtf8(text), "x");
      ADD_FAILURE() << "no error for: " << text;
    } catch (const std::runtime_error& e) {
      EXPECT_TRUE(QString::fromUtf8(e.what()).startsWith(QString::fromUtf8(message))) << e.what();
    }
  }
}

TEST(SchemaText, QueriesKeepTheirTextLineByLineAndDefaultsRunToTheLineEnd) {
  const Schema s = parseSchema(
      "# comment\r\nTABLE T\r\n  A Text(5) required default \"a b\"\r\n\r\nQUERY Q\r\n  SELECT A\r\n\r\n  FROM T;\r\nEND\r\n");
  EXPECT_EQ(s.tables[0].fields[0].defaultValue, "\"a b\"");
  EXPECT_TRUE(s.tables[0].fields[0].required);
  EXPECT_EQ(s.queries[0].sql, "SELECT A\nFROM T;");
}

class SampleText : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    const QString path = resourcePath("Ejemplo.txt");
    bid_ = new SampleBid(parseSample(readTextFile(path), path));
    schema_ = new Schema(loadSchema(resourcePath("TORNAVO.KOR.txt")));
  }
  static void TearDownTestSuite() {
    delete bid_;
    delete schema_;
  }
  static const SampleBid& bid() { return *bid_; }
  static const Schema& schema() { return *schema_; }

private:
  static inline SampleBid* bid_ = nullptr;
  static inline Schema* schema_ = nullptr;
};

TEST_F(SampleText, IsARealLookingTenderOfAFewHundredConceptsOverThreeLevels) {
  const auto rows = expandSample(bid(), 2);
  EXPECT_GE(rows.size(), 200u);
  EXPECT_LE(rows.size(), 500u);
  QSet<int> levels;
  QSet<QString> currencies, units, codes;
  for (const SampleSection& s : bid().sections) levels << s.code.size();
  for (const SampleRow& r : rows) {
    currencies << r.entry->currency;
    units << r.entry->unit;
    codes << r.entry->code;
  }
  EXPECT_EQ(levels, QSet<int>({1, 3, 6}));  // level widths 1, 2 and 3
  EXPECT_EQ(currencies, QSet<QString>({"PESOS", "DOLARES"}));
  for (const char* unit : {"m3", "m2", "ml", "pza", "kg", "lote"}) EXPECT_TRUE(units.contains(unit)) << unit;
  EXPECT_LT(codes.size(), int(rows.size()));  // the same concept stands in several sections
  EXPECT_EQ(bid().generalValue("nivel1") + bid().generalValue("nivel2") + bid().generalValue("nivel3"), "123");
}

TEST_F(SampleText, EverySectionCodeExtendsItsParentAndEveryConceptSitsInALeafSection) {
  QStringList codes;
  for (const SampleSection& s : bid().sections) codes << s.code;
  for (const SampleSection& s : bid().sections) {
    if (s.code.size() > 1) {
      EXPECT_TRUE(codes.contains(s.code.left(s.code.size() == 3 ? 1 : 3))) << s.code.toStdString();
    }
    EXPECT_EQ(s.items.empty(), s.code.size() < 6) << s.code.toStdString();
  }
}

TEST_F(SampleText, AmountsDatesAndScheduleFollowFromPricesQuantitiesAndSectionPeriods) {
  const QDate start = bid().generalDate("FechaInicioProy");
  const QDate end = bid().generalDate("FechaFinalProy");
  for (const SampleRow& r : expandSample(bid(), 2)) {
    SCOPED_TRACE((r.partida + " " + QString::number(r.renglon)).toStdString());
    const int64_t exact = r.entry->price.scaled() * r.quantity.scaled() / 10000;  // both of two decimals
    EXPECT_EQ(r.amount.scaled(), (exact + 50) / 100 * 100);
    EXPECT_LE(start, r.start);
    EXPECT_LE(r.start, r.end);
    EXPECT_LE(r.end, end);
    vb::Currency total;
    for (const auto& [period, volume] : r.schedule) {
      EXPECT_GT(volume, vb::Currency());
      total += volume;
    }
    EXPECT_EQ(total, r.quantity);
  }
}

TEST_F(SampleText, EveryValueFitsItsField) {
  const TableDef* budget = schema().table("Presupuesto");
  for (const auto& [code, c] : bid().concepts) {
    EXPECT_LE(code.size(), budget->field("Codigo")->size) << code.toStdString();
    EXPECT_LE(c.unit.size(), budget->field("Unidad")->size) << code.toStdString();
    EXPECT_LE(c.text.size(), budget->field("Texto")->size) << code.toStdString();
  }
  for (const SampleSection& s : bid().sections) EXPECT_LE(s.text.size(), schema().table("Partidas")->field("Texto")->size);
  const TableDef* general = schema().table("DatosGenerales");
  for (const auto& [name, value] : bid().general) {
    const FieldDef* f = general->field(name);
    ASSERT_NE(f, nullptr) << name.toStdString();
    if (f->type == FieldType::Text) {
      EXPECT_LE(value.size(), f->size) << name.toStdString();
    }
  }
  for (const SampleCurrency& c : bid().currencies) EXPECT_LE(c.closing.size(), schema().table("Monedas")->field("Remate")->size);
}

TEST_F(SampleText, TheFooterTotalsAreTheEvaluatedOnes) {
  // Each row: its references summed, times the factor (a percentage when marked), rounded to two
  // decimals with halves up; the integrated factor is the last total over 100.
  std::map<int, double> totals;
  for (const SampleFooterRow& row : bid().footer) {
    double sum = 0;
    for (int ref : row.refs)
      if (ref) sum += ref == 99 ? 100.0 : totals.at(ref);
    double factor = row.percent == "%" ? row.factor / 100 : (row.factor == 0 ? 1 : row.factor);
    const double value = std::floor((sum * factor + 1e-7) * 100 + 0.5) / 100;
    totals[row.row] = value;
    EXPECT_EQ(row.total, vb::Currency::fromDouble(value)) << row.text.toStdString();
  }
  EXPECT_EQ(bid().generalValue("FactorIntegrado"), vb::Currency::fromDouble(totals.rbegin()->second / 100).toString());
}

TEST(SampleParse, MistakesAreReportedWithTheirLine) {
  const QString head = "DATO Periodos = 3\nMONEDA PESOS | PESOS | 1 | M.N.\n"
                       "CONCEPTO C1 | m2 | 10.00 | PESOS | Uno | Uno completo\n";
  const std::pair<QString, QString> cases[] = {
      {"SECCION A | Obra | 1-2\n  C2 3\n", "x:5: unknown concept C2"},
      {"SECCION A | Obra | 2-4\n", "x:4: periods 2-4 outside the project's 1-3"},
      {"SECCION A | Obra\n  C1 3\n", "x:5: concepts belong to a section with periods"},
      {"SECCION A | Obra | 1-1\n  C1 3.12345\n", "x:5: \"3.12345\" is not a number with up to four decimals"},
      {"CONCEPTO C9 | m2 | 1 | EUROS | a | b\n", "x:4: unknown currency EUROS"},
      {"CONCEPTO C1 | m2 | 1 | PESOS | a | b\n", "x:4: concept C1 appears twice"},
      {"MONEDA X | Y\n", "x:4: expected 4 parts"},
      {"PIE 1 | a | 99 0 | * | 0 | | 100\n", "x:4: a footer row has nine references"},
      {"OTRA cosa\n", "x:4: cannot read"},
  };
  for (const auto& [tail, message] : cases) {
    try {
      parseSample(head + tail, "x");
      ADD_FAILURE() << "no error for: " << tail.toStdString();
    } catch (const std::runtime_error& e) {
      EXPECT_TRUE(QString::fromUtf8(e.what()).startsWith(message)) << e.what() << " / " << message.toStdString();
    }
  }
}

TEST(SampleParse, SpreadAndRoundingKeepTheWholeQuantity) {
  auto c = [](int64_t scaled) { return vb::Currency::fromScaled(scaled); };
  EXPECT_EQ(roundAmount(c(12345), 2), c(12300));
  EXPECT_EQ(roundAmount(c(12350), 2), c(12400));   // a half goes up
  EXPECT_EQ(roundAmount(c(-1250), 2), c(-1200));   // upwards for negatives too
  EXPECT_EQ(roundAmount(c(25000), 0), c(30000));
  EXPECT_EQ(roundAmount(c(12345), 4), c(12345));
  const std::vector<vb::Currency> thirds = spread(c(100000), 3, 2);  // 10 in three periods
  EXPECT_EQ(thirds, (std::vector<vb::Currency>{c(33300), c(33300), c(33400)}));
  EXPECT_EQ(spread(c(30000), 1, 2), std::vector<vb::Currency>{c(30000)});
  EXPECT_EQ(spread(c(100), 2, 2), (std::vector<vb::Currency>{c(0), c(100)}));  // 0.01: all in the last
  EXPECT_EQ(spread(c(500), 10, 2).back(), c(500));                               // never a negative rest
  EXPECT_EQ(spread(c(29900), 3, 2), (std::vector<vb::Currency>{c(9900), c(9900), c(10100)}));
}

}  // namespace
