// The statement builder's texts: literals by type code, conditions, statement shapes, LIKE escapes,
// and the messages of its trapped errors.
#include "generasql.h"
#include "qt_print.h"
#include "scripted_ui.h"

#include <QDate>
#include <QLocale>
#include <gtest/gtest.h>

using footer::GeneraSql;
using vb::Variant;

namespace {

QString hoy() { return QDate::currentDate().toString("yyyy/MM/dd"); }

// The literal DameValores makes of a value, read back from an INSERT of that one field.
QString literal(const QString& campo, int tipo, const Variant& valor, int dialecto = 1) {
  GeneraSql g;
  g.setTipoBaseDatos(dialecto);
  g.ParametrosSQL("T", 1, false);
  g.DameValores(campo, tipo, valor);
  const QString s = g.DameSentencia();
  const QString prefijo = "INSERT INTO T(" + campo + ") VALUES(";
  return s.startsWith(prefijo) ? s.mid(prefijo.size()).chopped(1) : "<" + s + ">";
}

QString condicion(int tipo, const Variant& valor, int dialecto = 1) {
  GeneraSql g;
  g.setTipoBaseDatos(dialecto);
  g.ParametrosSQL("T", 3, false);
  g.CondicionSQL("", "C", "=", valor, tipo, false);
  return g.DameSentencia();
}

}  // namespace

TEST(GeneraSql, TheFooterTotalUpdate) {
  const QLocale antes;
  QLocale::setDefault(QLocale(QLocale::Spanish, QLocale::Spain));  // a comma locale must not leak in
  GeneraSql g;
  g.ParametrosSQL("Pie", 2, false);
  g.DameValores("Total", 1, Variant(1234.5));
  g.CondicionSQL("", "Renglon", "=", Variant(int16_t(3)), 1, false);
  EXPECT_EQ(g.DameSentencia(), "UPDATE Pie SET Total = 1234.5 WHERE   Renglon = 3 ");
  QLocale::setDefault(antes);
}

TEST(GeneraSql, FieldLiteralsByTypeCode) {
  struct Caso {
    QString campo;
    int tipo;
    Variant valor;
    QString esperado;
  };
  const Caso casos[] = {
      {"F", 0, Variant("Renglon + 1"), "Renglon + 1"},
      {"F", 1, Variant(1234.5), "1234.5"},
      {"F", 1, Variant(vb::Currency::fromScaled(125)), "0.0125"},
      {"F", 1, Variant("12.5"), "12.5"},
      {"F", 1, Variant::null(), "0"},
      {"F", 1, Variant(" "), "0"},
      {"F", 1, Variant(0.00001), "1E-05"},
      {"F", 2, Variant("O'Brien"), "'O''Brien'"},
      {"F", 2, Variant::null(), "' '"},
      {"Familia", 2, Variant::null(), "'FAMILIA'"},
      {"FICHAID", 2, Variant(" "), "'FichaId'"},
      {"codprov", 2, Variant(), "'CodProv'"},
      {"F", 3, Variant(true), "1"},
      {"F", 3, Variant(false), "0"},
      {"F", 3, Variant::null(), "0"},
      {"F", 3, Variant(int16_t(5)), "1"},
      {"F", 4, Variant::fromDate(2009, 3, 15), "'2009/03/15'"},
      {"F", 4, Variant("15/03/2009"), "'2009/03/15'"},
      {"F", 4, Variant("no es fecha"), "'" + hoy() + "'"},
      {"F", 4, Variant::null(), "'" + hoy() + "'"},
      {"F", 7, Variant("O'Brien"), "'O''Brien'"},
      {"F", -1, Variant(12.5), "'12.5'"},
      {"F", 2, Variant("iif(A>0,si,no)"), "IIF(A>0,'si','no')"},
      {"F", 3, Variant("IIF(A>0,True,False)"), "IIF(A>0,1,0)"},
      {"F", 0, Variant("iif(A>0,1,2)"), "IIF(A>0,1,2)"},
  };
  for (const Caso& c : casos) EXPECT_EQ(literal(c.campo, c.tipo, c.valor), c.esperado) << c.campo.toStdString() << " " << c.tipo;
  EXPECT_EQ(literal("F", 2, Variant("iif(A>0,si,no)"), 2), "CASE WHEN A>0 THEN 'si' ELSE 'no' END");
  EXPECT_EQ(literal("F", 2, Variant("iif(A>0,si,no)"), 5), "");
}

TEST(GeneraSql, ABooleanOrADateAsANumberIsItsNumericValue) {
  const Variant mediodia = Variant::fromDate(39887.5);  // 15/03/2009 12:00
  struct Caso {
    int tipo;
    Variant valor;
    QString esperado;
  };
  const Caso casos[] = {
      {1, Variant(true), "-1"},
      {1, Variant(false), "0"},
      {1, mediodia, "39887.5"},
      {1, Variant::fromDate(2009, 3, 15), "39887"},
      // The other codes read them as before.
      {3, Variant(true), "1"},
      {3, Variant(false), "0"},
      {4, mediodia, "'2009/03/15'"},
  };
  testui::ScriptedMsgBoxes cajas;
  for (const Caso& c : casos) {
    EXPECT_EQ(literal("F", c.tipo, c.valor), c.esperado) << c.tipo << " " << c.valor.toString().toStdString();
    if (c.tipo == 1) {
      EXPECT_EQ(GeneraSql().CadenaOk(c.valor, 1, true), c.esperado);
      EXPECT_EQ(condicion(1, c.valor), "DELETE FROM T WHERE   C = " + c.esperado + " ");
    }
  }
  EXPECT_TRUE(cajas.shown().empty()) << cajas.texts().join(" | ").toStdString();
}

TEST(GeneraSql, ConditionLiterals) {
  EXPECT_EQ(condicion(2, Variant("O'Brien")), "DELETE FROM T WHERE   C = 'O''Brien' ");
  EXPECT_EQ(condicion(2, Variant::null()), "DELETE FROM T WHERE   C = '' ");
  EXPECT_EQ(condicion(1, Variant::null()), "DELETE FROM T WHERE   C = 0 ");
  EXPECT_EQ(condicion(3, Variant(true)), "DELETE FROM T WHERE   C = 1 ");
  EXPECT_EQ(condicion(4, Variant::fromDate(2009, 3, 15)), "DELETE FROM T WHERE   C = #2009/03/15# ");
  EXPECT_EQ(condicion(4, Variant::fromDate(2009, 3, 15), 2), "DELETE FROM T WHERE   C = '2009/03/15' ");
  EXPECT_EQ(condicion(4, Variant::null()), "DELETE FROM T WHERE   C = ## ");
  EXPECT_EQ(condicion(0, Variant("X")), "DELETE FROM T WHERE   C = X ");
  EXPECT_EQ(condicion(9, Variant(12.5)), "DELETE FROM T WHERE   C = 12.5 ");

  GeneraSql g;
  g.ParametrosSQL("Pie", 7, false);  // any kind but 1 and 2 deletes
  g.CondicionSQL("", "Renglon", ">", Variant(int16_t(3)), 1, false);
  g.CondicionSQL("AND", "Texto", "LIKE", Variant("'a%'"), 2, true);
  EXPECT_EQ(g.DameSentencia(), "DELETE FROM Pie WHERE   Renglon > 3  AND Texto LIKE 'a%'");
}

TEST(GeneraSql, StatementShapesAndTheFieldList) {
  GeneraSql g;
  g.ParametrosSQL("CalCab", 1, false);
  g.DameValores("Formato", 2, Variant("Num. 1"));
  g.DameValores("Descripcion", 2, Variant("Base"));
  g.DameValores("formato", 2, Variant("otro"));  // a field already there keeps its first value
  EXPECT_EQ(g.DameSentencia(), "INSERT INTO CalCab(Formato, Descripcion) VALUES('Num. 1', 'Base')");
  EXPECT_EQ(g.DameSentencia(), "INSERT INTO CalCab(Formato, Descripcion) VALUES('Num. 1', 'Base')");
  g.ParametrosSQL("CalCab", 2, true);  // keep: the same fields become an UPDATE
  EXPECT_EQ(g.DameSentencia(), "UPDATE CalCab SET Formato = 'Num. 1', Descripcion = 'Base'");
  g.Remueve(Variant("FORMATO"));
  g.Remueve(Variant("nada"));
  EXPECT_EQ(g.DameSentencia(), "UPDATE CalCab SET Descripcion = 'Base'");
  g.Remueve(Variant(int16_t(1)));
  g.CondicionSQL("", "Formato", "=", Variant("Num. 1"), 2, false);
  EXPECT_EQ(g.DameSentencia(), "UPDATE CalCab SET  WHERE   Formato = 'Num. 1' ");
  g.ParametrosSQL("Pie", 3, false);
  EXPECT_EQ(g.DameSentencia(), "DELETE FROM Pie");
}

TEST(GeneraSql, CadenaOkAndLikeEscapes) {
  GeneraSql g;
  EXPECT_EQ(g.CadenaOk(Variant("O'Brien"), 2, true), "'O''Brien'");
  EXPECT_EQ(g.CadenaOk(Variant("O'Brien"), 2, false), "O''Brien");
  EXPECT_EQ(g.CadenaOk(Variant(12.5), 1, true), "12.5");
  EXPECT_EQ(g.CadenaOk(Variant(true), 3, true), "1");
  EXPECT_EQ(g.CadenaOk(Variant::fromDate(2009, 3, 15), 4, true), "#2009/03/15#");
  EXPECT_EQ(g.CadenaOk(Variant("x"), 4, false), hoy());
  EXPECT_EQ(g.CadenaOk(Variant("x"), 4, true), "'" + hoy() + "'");
  EXPECT_EQ(g.CadenaOk(Variant(int16_t(7)), 0, true), "7");

  const QString s = "SELECT * FROM T WHERE A like '%5%%' AND B LIKE 'x' AND C LIKE '50%'";
  EXPECT_EQ(g.analizaSqlLike(s, false), "SELECT * FROM T WHERE A LIKE '%5[%]%' AND B LIKE 'x' AND C LIKE '50%'");
  EXPECT_EQ(g.analizaSqlLike(s, true), "SELECT * FROM T WHERE A LIKE '[%]5[%]%' AND B LIKE 'x' AND C LIKE '50%'");
  g.setTipoBaseDatos(2);
  EXPECT_EQ(g.analizaSqlLike("SELECT * FROM T WHERE A LIKE '%5%%'", false),
            "SELECT * FROM T WHERE A LIKE '%5*%%' ESCAPE '*' ");
}

TEST(GeneraSql, TrappedErrorsShowTheirMessageAndLeaveTheStatementWhole) {
  testui::ScriptedMsgBoxes cajas;
  cajas.answer(ui::vbOK).answer(ui::vbOK).answer(ui::vbOK).answer(ui::vbOK).answer(ui::vbOK).answer(ui::vbOK);
  GeneraSql g;
  g.ParametrosSQL("Pie", 2, false);
  g.DameValores("Total", 1, Variant(12.5));
  g.DameValores("Factor", 1, Variant("doce"));         // not a number: left out
  g.ParametrosSQL("Otra", 300, false);                 // the table changes, nothing else does
  g.CondicionSQL("", "Texto", "=", Variant(true), 3, false);
  g.CondicionSQL("AND", "Total", "=", Variant("x"), 1, false);  // condition unchanged
  EXPECT_EQ(g.DameSentencia(), "UPDATE Otra SET Total = 12.5 WHERE   Texto = 1 ");
  EXPECT_EQ(g.analizaSqlLike("SELECT * FROM T WHERE A LIKE x", false), "");
  EXPECT_EQ(g.CadenaOk(Variant::null(), 2, true), "");
  g.DameValores("Marca", 3, Variant("IIF(A,1)"));  // no second comma: the IIF text is lost
  EXPECT_EQ(g.DameSentencia(), "UPDATE Otra SET Total = 12.5, Marca =  WHERE   Texto = 1 ");
  EXPECT_EQ(cajas.texts(), (QStringList{
                               "Error en la Clase GeneraSQL.DameValores: 13 No coinciden los tipos",
                               "Error en GeneraSQL.ParametrosSQL: 6 Desbordamiento",
                               "Error en GeneraSQL.CondicionSQL: 13 No coinciden los tipos",
                               "Error en GeneraSQL.analizaSqlLike: 5 Argumento o llamada a procedimiento no válida",
                               "Error en GeneraSQL.CadenaOK: 94 Uso no válido de Null",
                               "Error en GeneraSQL.DameCadenaIIF: 5 Argumento o llamada a procedimiento no válida",
                           }));
}
