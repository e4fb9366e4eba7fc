// The builder's statements executed on a bid file through the database layer: every type code, in
// the INSERT, UPDATE and DELETE forms the footer uses, read back as the fields' own types.
#include "bidfixture.h"
#include "generasql.h"
#include "qt_print.h"
#include "script_test_util.h"

#include <gtest/gtest.h>

using footer::GeneraSql;
using vb::Currency;
using vb::Variant;

namespace {

class GeneraSqlBd : public daotest::BidTest {
protected:
  // Runs the builder's statement and returns the rows it touched.
  int64_t ejecuta() {
    const QString sql = g.DameSentencia();
    db->Execute(sql);
    return db->RecordsAffected();
  }
  std::shared_ptr<dao::Recordset> fila(const QString& sql) {
    auto rs = db->OpenRecordset(sql, dao::RecordsetType::Snapshot);
    EXPECT_FALSE(rs->EOF_()) << sql.toStdString();
    return rs;
  }
  GeneraSql g;
};

}  // namespace

TEST_F(GeneraSqlBd, AFooterRowWrittenReadAndDeleted) {
  g.ParametrosSQL("Pie", 1, false);
  g.DameValores("Renglon", 1, Variant(int16_t(2)));
  g.DameValores("Texto", 2, Variant("Indirectos de O'Brien"));
  g.DameValores("Renglon1", 1, Variant(int16_t(1)));
  g.DameValores("Renglon2", 1, Variant::null());
  g.DameValores("Operacion", 2, Variant("*"));
  g.DameValores("Factor", 1, Variant(12.5));
  g.DameValores("Porcen", 2, Variant::null());
  g.DameValores("Total", 1, Variant(Currency::fromScaled(125000)));
  g.DameValores("ImprimirRenglon", 3, Variant(true));
  g.DameValores("ImprimirBase", 3, Variant::null());
  g.DameValores("FactorDls", 1, Variant(" "));
  EXPECT_EQ(ejecuta(), 1);
  auto rs = fila("SELECT * FROM Pie WHERE Renglon = 2");
  EXPECT_EQ(rs->Value("Texto"), Variant("Indirectos de O'Brien"));
  EXPECT_EQ(rs->Value("Renglon1"), Variant(int16_t(1)));
  EXPECT_EQ(rs->Value("Renglon2"), Variant(int16_t(0)));
  EXPECT_EQ(rs->Value("Factor"), Variant(12.5));
  EXPECT_EQ(rs->Value("Porcen"), Variant(" "));
  EXPECT_EQ(rs->Value("Total"), Variant(Currency::fromScaled(125000)));
  EXPECT_EQ(rs->Value("ImprimirRenglon"), Variant(true));
  EXPECT_EQ(rs->Value("ImprimirBase"), Variant(false));
  EXPECT_EQ(rs->Value("FactorDls"), Variant(0.0));

  // The evaluation pass's UPDATE, with an expression (code 0) and an IIF in the values.
  g.ParametrosSQL("Pie", 2, false);
  g.DameValores("Total", 1, Variant(Currency::fromScaled(1234500)));
  g.DameValores("RenglonFactor2", 0, Variant("Factor * 2"));
  g.DameValores("Porcen", 2, Variant("iif(Factor > 10,%,x)"));
  g.DameValores("ImprimirRaya", 3, Variant(false));
  g.CondicionSQL("", "Renglon", "=", Variant(int16_t(2)), 1, false);
  g.CondicionSQL("AND", "Texto", "=", Variant("Indirectos de O'Brien"), 2, false);
  EXPECT_EQ(g.DameSentencia(),
            "UPDATE Pie SET Total = 123.45, RenglonFactor2 = Factor * 2, Porcen = IIF(Factor > 10,'%','x'), "
            "ImprimirRaya = 0 WHERE   Renglon = 2  AND Texto = 'Indirectos de O''Brien' ");
  EXPECT_EQ(ejecuta(), 1);
  rs = fila("SELECT * FROM Pie WHERE Renglon = 2");
  EXPECT_EQ(rs->Value("Total"), Variant(Currency::fromScaled(1234500)));
  EXPECT_EQ(rs->Value("RenglonFactor2"), Variant(25.0));
  EXPECT_EQ(rs->Value("Porcen"), Variant("%"));
  EXPECT_EQ(rs->Value("ImprimirRaya"), Variant(false));

  g.ParametrosSQL("Pie", 3, false);
  g.CondicionSQL("", "ImprimirRenglon", "=", Variant(true), 3, false);
  g.CondicionSQL("AND", "Porcen", "<>", Variant::null(), 2, false);
  EXPECT_EQ(ejecuta(), 1);
  EXPECT_EQ(db->OpenRecordset("SELECT * FROM Pie")->RecordCount(), 1);
}

TEST_F(GeneraSqlBd, DatesAndLikePatterns) {
  // A date value as the builder writes it ('yyyy/mm/dd') reads back as that date.
  g.ParametrosSQL("Presupuesto", 2, false);
  g.DameValores("FechaIni", 4, Variant::fromDate(2009, 3, 15));
  g.CondicionSQL("", "Codigo", "=", Variant("LIM-01"), 2, false);
  EXPECT_EQ(ejecuta(), 1);
  EXPECT_EQ(fila("SELECT FechaIni FROM Presupuesto WHERE Codigo = 'LIM-01'")->Value("FechaIni"),
            Variant::fromDate(2009, 3, 15));
  // A date condition (#yyyy/mm/dd#) finds a stored date.
  g.ParametrosSQL("DatosGenerales", 2, false);
  g.DameValores("Periodos", 1, Variant(int16_t(7)));
  g.CondicionSQL("", "FechaInicioProy", "=", Variant::fromDate(2024, 1, 15), 4, false);
  EXPECT_EQ(ejecuta(), 1);
  EXPECT_EQ(fila("SELECT Periodos FROM DatosGenerales")->Value("Periodos"), Variant(int16_t(7)));

  // A "%" that belongs to the text is escaped so that it matches only itself.
  g.ParametrosSQL("Partidas", 1, false);
  g.DameValores("Partida", 2, Variant("C"));
  g.DameValores("Texto", 2, Variant("50% anticipo"));
  EXPECT_EQ(ejecuta(), 1);
  const QString borra = g.analizaSqlLike("DELETE FROM Partidas WHERE Texto like '50%*'", true);
  EXPECT_EQ(borra, "DELETE FROM Partidas WHERE Texto LIKE '50[%]*'");
  db->Execute(g.analizaSqlLike("DELETE FROM Partidas WHERE Texto like '5%0*'", true));
  EXPECT_EQ(db->RecordsAffected(), 0);
  db->Execute(borra);
  EXPECT_EQ(db->RecordsAffected(), 1);
}
