// The Jet SQL translator: rewrites, and every statement text the program sends, run against a small bid.
#include "bidfixture.h"
#include "jetsql.h"
#include "qt_print.h"

using namespace dao;
using daotest::BidTest;

TEST(JetSql, Rewrites) {
  struct Case { const char* jet; const char* sqlite; };
  const Case cases[] = {
      {"DELETE * FROM Programa", "DELETE FROM Programa"},
      {" DELETE * FROM Pie ;", "DELETE FROM Pie"},
      {"SELECT TOP 1 Total FROM Pie ORDER BY Renglon Desc", "SELECT Total FROM Pie ORDER BY Renglon Desc LIMIT 1"},
      {"UPDATE presupuesto SET FechaIni =45292 where isnull(fechaini)",
       "UPDATE presupuesto SET FechaIni =45292 where ((fechaini) IS NULL)"},
      {"SELECT * FROM t WHERE d = #2024/01/15#", "SELECT * FROM t WHERE d = 45306"},
      {"SELECT * FROM t WHERE d = #1/15/2024#", "SELECT * FROM t WHERE d = 45306"},
      {"SELECT * FROM t WHERE d = #2024/01/15 12:00#", "SELECT * FROM t WHERE d = 45306.5"},
      {"SELECT [Texto] FROM [Pie] WHERE x = \"a'b\"", "SELECT \"Texto\" FROM \"Pie\" WHERE x = 'a''b'"},
      {"SELECT a & \"*\" FROM t", "SELECT jet_concat((a), ('*')) FROM t"},
      {"WHERE p Like [x] & \"*\" GROUP BY m", "WHERE p Like jet_concat((\"x\"), ('*')) GROUP BY m"},
      {"SELECT a + b & c & d AS e FROM t", "SELECT jet_concat((a + b), (c), (d)) AS e FROM t"},
      {"UPDATE t SET f = True, g = False", "UPDATE t SET f = 1, g = 0"},
      {"SELECT a Mod 3 FROM t", "SELECT a % 3 FROM t"},
      {"SELECT Left(Codigo, 3), Val(x) FROM t", "SELECT jet_left(Codigo, 3), jet_val(x) FROM t"},
      {"SELECT * FROM t WHERE s = 'isnull(x) & True'", "SELECT * FROM t WHERE s = 'isnull(x) & True'"},
      {"PARAMETERS a Long, [b c] Text ( 255 ); SELECT * FROM t WHERE x=[a] AND y=[B C]",
       "SELECT * FROM t WHERE x=?1 AND y=?2"},
  };
  for (const auto& c : cases) EXPECT_EQ(jetsql::translate(QString::fromUtf8(c.jet)).sql, QString::fromUtf8(c.sqlite)) << c.jet;

  const auto p = jetsql::translate("PARAMETERS CRenglon Long, CPartida Text ( 255 ); SELECT 1");
  ASSERT_EQ(p.params.size(), 2u);
  EXPECT_EQ(p.params[1].name, "CPartida");
  EXPECT_EQ(p.params[0].type, DataType::Long);

  const auto s = jetsql::translate("SELECT p.Codigo AS c FROM Presupuesto AS p WHERE c = 'x' ORDER BY c DESC");
  EXPECT_EQ(s.shape.singleTable, "Presupuesto");
  EXPECT_EQ(s.shape.qualifier, "p");
  EXPECT_EQ(s.shape.whereClause, "c = 'x'");
  EXPECT_EQ(s.shape.orderBy, "c DESC");
  EXPECT_TRUE(jetsql::translate("SELECT Count(*) FROM t").shape.aggregate);
  EXPECT_TRUE(jetsql::translate("SELECT a FROM t INNER JOIN u ON t.x = u.x").shape.singleTable.isEmpty());

  for (const char* bad : {"SELECT * FROM t WHERE a = 'sin cierre", "SELECT (a FROM t", "DELETE FROM t; DELETE FROM u"}) {
    try {
      jetsql::translate(bad);
      ADD_FAILURE() << bad;
    } catch (const vb::Error& e) {
      EXPECT_EQ(e.number(), 3075) << bad;
    }
  }
  try {
    jetsql::translate("Texto = 'O'Brien'", jetsql::Kind::Expression);
    ADD_FAILURE();
  } catch (const vb::Error& e) {
    EXPECT_EQ(e.number(), 3077);
  }
}

// Every SQL text the program sends, as the program builds it, runs on a bid file.
TEST_F(BidTest, EveryProgramStatementRuns) {
  const char* queries[] = {
      "SELECT * FROM titgen", "SELECT * FROM Presupuesto", "SELECT * FROM Monedas", "SELECT * FROM DatosGenerales",
      "SELECT * FROM Partidas", "SELECT * FROM Programa", "TotalPartidas", "ProgramaObra", "SELECT * FROM reportes",
      "SELECT * FROM repOpciones",
      "select Codigo,Importe,Cantidad,Precio from Presupuesto where presupuesto.codigo ='TRZ-01' ",
      "select Codigo,Moneda from Presupuesto where presupuesto.codigo ='TRZ-01' ",
      "SELECT Codigo,Importe,Cantidad,Precio FROM Presupuesto",
      "SELECT (SUM(Volumen)) as Total FROM Programa WHERE Partida ='A01' AND Renglon = 1",
      "SELECT SUM(Programa.Volumen) as Total FROM Programa WHERE Programa.Partida ='A01' AND Renglon =1 AND Periodo <= 6",
      "SELECT SUM(Programa.Volumen) as Total FROM Programa WHERE Programa.Partida ='A01' AND Renglon =1 AND Periodo <= 6"
      " AND Periodo >= 1 AND Periodo <= 2",
      "SELECT * FROM TotalPartidas", "totalmonedas", "TotalMonedas",
      "SELECT Presupuesto.Partida, Presupuesto.Renglon,Presupuesto.Codigo, Sum(Programa.Volumen) AS SumaDeVolumen,"
      " PRESUPUESTO.CANTIDAD FROM Programa INNER JOIN Presupuesto ON  (Presupuesto.Partida = Programa.Partida) AND "
      " (Programa.Renglon = Presupuesto.rENGLON)  GROUP BY Presupuesto.Partida, Presupuesto.Renglon,Presupuesto.Codigo,"
      "PRESUPUESTO.CANTIDAD HAVING Sum(Programa.Volumen) <> presupuesto.cantidad",
      "SELECT Partida, Renglon, SUM(Volumen) AS TotalVol FROM Programa GROUP BY Partida, Renglon",
      "SELECT Presupuesto.Partida, Presupuesto.Renglon, Presupuesto.Codigo FROM Presupuesto WHERE Cantidad <> 0 AND TotalVol = 0",
      "SELECT '' AS Formato,Renglon,Texto,Renglon1,Renglon2,Renglon3,Renglon4,Renglon5,Renglon6,Renglon7,Renglon8,Renglon9,"
      "Operacion,Factor,Porcen,RenglonFactor2,Total,ImprimirRenglon,ImprimirBase,ImprimirRaya,FactorDls FROM pie ORDER BY Renglon",
      "SELECT * FROM Pie ORDER BY Pie.Renglon", "SELECT Count(Renglon) as Cuantos  FROM Pie WHERE Renglon = 3",
      "SELECT * FROM Pie ORDER BY Renglon", "SELECT TOP 1 Total FROM Pie ORDER BY Renglon Desc", "SELECT * FROM Pie",
      "SELECT formato,Renglon,Texto,Renglon1,Renglon2,Renglon3,Renglon4, Renglon5,Renglon6,Renglon7,renglon8,renglon9,"
      "Operacion,Factor,Porcen,RenglonFactor2,ImprimirRenglon,ImprimirBase,ImprimirRaya,Total,FactorDls From CalDet "
      "Where formato='Num. 0'",
      "SELECT count(formato) AS Total FROM calCab WHERE calCab.formato = 'F1'",
      "SELECT Formato,Descripcion FROM CalCab ORDER BY CalCab.formato",
      "SELECT Formato,Descripcion FROM CalCab WHERE Formato <> 'Num. 0' ORDER BY CalCab.formato",
      "SELECT formato,Renglon,Texto,Renglon1,Renglon2,Renglon3,Renglon4, Renglon5,Renglon6,Renglon7,renglon8,renglon9,"
      "Operacion,Factor,Porcen,RenglonFactor2,ImprimirRenglon,ImprimirBase,ImprimirRaya,Total,FactorDls From CalDet "
      "Where formato='O''Brien' And Formato <> 'Num. 0'",
      "SELECT Paridad FROM monedas WHERE Moneda='PESOS'",
  };
  for (const char* q : queries) {
    for (auto type : {RecordsetType::Dynaset, RecordsetType::Snapshot, RecordsetType::ForwardOnly}) {
      try {
        auto rs = db->OpenRecordset(QString::fromUtf8(q), type);
        if (!rs->EOF_()) rs->Fields(0).Value();
      } catch (const vb::Error& e) {
        ADD_FAILURE() << q << " -> " << e.number() << " " << e.description().toStdString();
      }
    }
  }
  const char* statements[] = {
      "UPDATE presupuesto SET FechaIni =45292 where isnull(fechaini)",
      "UPDATE presupuesto SET FechaFin =45473 where isnull(fechafin)",
      " DELETE * FROM Partidas ;",
      "UPDATE Presupuesto SET TotalVol = 0",
      "UPDATE Presupuesto SET TotalVol = TotalVol + 12.5 WHERE Partida = 'A01' AND Renglon = 1",
      "UPDATE Pie SET Texto = 'Indirectos', renglon1 = 99, renglon2 = 0, renglon3 = 0, renglon4 = 0, renglon5 = 0, "
      "renglon6 = 0, renglon7 = 0, renglon8 = 0, renglon9 = 0, operacion = '*', Factor = 12.5, Porcen = '%', "
      "RenglonFactor2 = 0, Total = 0, ImprimirRenglon = 1, ImprimirBase = 0, ImprimirRaya = 0, FactorDls = 0 WHERE   Renglon = 1 ",
      "UPDATE Pie SET Total = 1234.5 WHERE   Renglon = 1 ",
      "INSERT INTO Pie(Renglon, Texto, renglon1, operacion, Factor, Porcen, Total, ImprimirRenglon) "
      "VALUES(2, 'O''Brien', 1, '*', 1.5E-3, ' ', 0, 1)",
      "DELETE FROM Pie WHERE Renglon= 2",
      "DELETE FROM CalCab WHERE Formato = 'Num. 0'", "DELETE FROM Caldet WHERE Formato = 'Num. 0'",
      "UPDATE Calcab SET Formato = 'F1', Descripcion = 'Base' WHERE   Formato = 'F1' ",
      "INSERT INTO Calcab(Formato, Descripcion) VALUES('F1', 'Base')",
      "DELETE FROM Caldet WHERE formato='F1'",
      "INSERT INTO Caldet(Formato, Renglon, Texto, renglon1, renglon2, renglon3, renglon4, renglon5, renglon6, renglon7, "
      "renglon8, renglon9, operacion, Factor, Porcen, RenglonFactor2, Total, ImprimirRenglon, ImprimirBase, ImprimirRaya, "
      "FactorDls) VALUES('F1', 2, 'Indirectos', 1, 0, 0, 0, 0, 0, 0, 0, 0, '*', 12.5, '%', 0, '112.5', 1, 0, 0, 0)",
      "DELETE FROM Pie",
      "INSERT INTO Pie (Renglon,texto,renglon1,renglon2,renglon3,renglon4,renglon5,renglon6,renglon7,renglon8,renglon9,"
      "operacion,factor,porcen,total,renglonfactor2,ImprimirRenglon,imprimirbase,ImprimirRaya,FactorDls)  VALUES "
      "(1,'Costo ''directo''',0,0,0,0,0,0,0,0,0,'*',1,' ',3525.25,0,1,0,0,0)",
      "DELETE FROM CalDet Where formato='F1'", "DELETE FROM CalCab Where formato='F1'",
      "DELETE * FROM Programa",
  };
  for (const char* s : statements) {
    try {
      db->Execute(QString::fromUtf8(s));
    } catch (const vb::Error& e) {
      ADD_FAILURE() << s << " -> " << e.number() << " " << e.description().toStdString();
    }
  }
  // Jet functions a saved query may use.
  auto fn = db->OpenRecordset("SELECT Left(Codigo, 3) & '/' & Format(Precio, \"#0.00\") AS c, Val(' 12.5x') AS v, "
                              "Nz(FechaIni, 0) AS n, Year(#2024/03/01#) AS y FROM Presupuesto WHERE Codigo = 'EXC-01'");
  EXPECT_EQ(fn->Value("c").toString(), "EXC/150.50");
  EXPECT_EQ(fn->Value("v").toDouble(), 12.5);
  EXPECT_EQ(fn->Value("y").toLong(), 2024);
  auto pre = db->OpenRecordset("SELECT * FROM Presupuesto WHERE Partida = 'A01' AND Renglon = 1");
  EXPECT_EQ(pre->Value("FechaIni").toDate(), 45292);
  EXPECT_EQ(pre->Value("TotalVol").toCurrency(), vb::Currency::fromScaled(125000));
  auto pie = db->OpenRecordset("SELECT * FROM Pie");
  EXPECT_EQ(pie->Value("Texto").toString(), "Costo 'directo'");
  EXPECT_EQ(pie->Value("Total").toCurrency(), vb::Currency::fromScaled(35252500));
  EXPECT_EQ(db->OpenRecordset("Partidas")->RecordCount(), 0);
}
