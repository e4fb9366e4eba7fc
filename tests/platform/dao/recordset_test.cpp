// Recordsets over a real bid file: what a dynaset sees, clones, Find, Sort, editing and its errors.
#include "bidfixture.h"
#include "qt_print.h"

using namespace dao;
using daotest::BidTest;

namespace {

QStringList column(Recordset& rs, const QString& field) {
  QStringList out;
  if (rs.RecordCount() == 0) return out;
  rs.MoveFirst();
  while (!rs.EOF_()) {
    out << rs.Value(field).toString();
    rs.MoveNext();
  }
  return out;
}

}  // namespace

TEST_F(BidTest, RowsComeInPrimaryKeyOrder) {
  auto rs = db->OpenRecordset("SELECT * FROM Presupuesto");
  EXPECT_EQ(rs->Type(), RecordsetType::Dynaset);
  EXPECT_EQ(rs->RecordCount(), 4);
  EXPECT_EQ(column(*rs, "Partida"), QStringList({"A01", "A01", "B", "B"}));
  EXPECT_EQ(column(*rs, "renglon"), QStringList({"1", "2", "1", "2"}));
  auto table = db->OpenRecordset("Presupuesto", RecordsetType::Table);
  EXPECT_EQ(column(*table, "Codigo"), QStringList({"LIM-01", "TRZ-01", "EXC-01", "TRZ-01"}));
}

TEST_F(BidTest, DynasetSeesEditsFromOtherRecordsetsAndStatements) {
  auto grid = db->OpenRecordset("SELECT * FROM Presupuesto");
  grid->MoveFirst();
  grid->MoveNext();   // A01/2, TRZ-01
  ASSERT_EQ(grid->Value("Codigo").toString(), "TRZ-01");

  // A second dynaset rewrites every row of the code (the price spread).
  auto spread = db->OpenRecordset("select Codigo,Importe,Cantidad,Precio from Presupuesto where presupuesto.codigo ='trz-01' ");
  EXPECT_EQ(spread->RecordCount(), 2);
  while (!spread->EOF_()) {
    spread->Edit();
    spread->SetValue("Precio", vb::Currency::fromScaled(133300));
    spread->SetValue("Importe", vb::Variant(spread->Value("Precio").toCurrency() * vb::Currency::fromInt(1)));
    spread->Update();
    spread->MoveNext();
  }
  EXPECT_EQ(grid->Value("Precio").toCurrency(), vb::Currency::fromScaled(133300));

  // A statement changes the same row.
  db->Execute("UPDATE Presupuesto SET TotalVol = TotalVol + 12.5 WHERE Partida = 'A01' AND Renglon = 2");
  EXPECT_EQ(grid->Value("TotalVol").toCurrency(), vb::Currency::fromScaled(125000));

  // The saved query over the same table sees it as well.
  auto programa = db->OpenRecordset("ProgramaObra");
  programa->FindFirst("Partida='A01' And Renglon=2");
  ASSERT_FALSE(programa->NoMatch());
  EXPECT_EQ(programa->Value("TotalVol").toDouble(), 12.5);
  // ... and writes through it reach the grid's dynaset (the query is updatable).
  programa->Edit();
  programa->SetValue("FechaIni", vb::Variant::fromDate(2024, 2, 1));
  programa->Update();
  EXPECT_EQ(grid->Value("FechaIni").toDate(), vb::Variant::fromDate(2024, 2, 1).toDate());
}

TEST_F(BidTest, ClonesShareRowsNotPosition) {
  auto monedas = db->OpenRecordset("SELECT * FROM Monedas");
  auto clon = monedas->Clone();
  EXPECT_EQ(errorOf([&] { clon->Value("Moneda"); }), 3021);   // a new clone has no current record

  monedas->AddNew();
  monedas->SetValue("Moneda", "EUROS");
  monedas->SetValue("Texto", "Euros");
  monedas->SetValue("Paridad", 19.25);
  monedas->Update();
  EXPECT_EQ(monedas->RecordCount(), 3);
  EXPECT_EQ(clon->RecordCount(), 3);
  clon->FindFirst("Moneda = 'euros'");
  ASSERT_FALSE(clon->NoMatch());
  EXPECT_EQ(clon->Value("Texto").toString(), "Euros");
  EXPECT_EQ(monedas->Value("Moneda").toString(), "DOLARES");   // the clone's source did not move

  // A bookmark of one is valid in the other, not in another family.
  clon->SetBookmark(monedas->GetBookmark());
  EXPECT_EQ(clon->Value("Moneda").toString(), "DOLARES");
  auto other = db->OpenRecordset("SELECT * FROM Monedas");
  EXPECT_EQ(errorOf([&] { other->SetBookmark(monedas->GetBookmark()); }), 3159);
  // Rows added elsewhere show after Requery only.
  EXPECT_EQ(other->RecordCount(), 3);
  db->Execute("INSERT INTO Monedas (Moneda, Texto, Paridad) VALUES ('YENES', 'Yenes', 0.12)");
  EXPECT_EQ(other->RecordCount(), 3);
  other->Requery();
  EXPECT_EQ(other->RecordCount(), 4);
}

TEST_F(BidTest, RowsDeletedElsewhereDropOut) {
  auto programa = db->OpenRecordset("SELECT * FROM Programa");
  auto clon = programa->Clone();
  EXPECT_EQ(programa->RecordCount(), 3);
  db->Execute("DELETE * FROM Programa");   // no WHERE: every row still leaves the keyset
  EXPECT_EQ(programa->RecordCount(), 0);
  EXPECT_TRUE(programa->EOF_());
  programa->FindFirst("Partida='A01' AND Renglon=1 AND Periodo=1");
  EXPECT_TRUE(programa->NoMatch());
  programa->AddNew();
  programa->SetValue("Partida", "B");
  programa->SetValue("Renglon", 2);
  programa->SetValue("Periodo", int16_t(3));
  programa->SetValue("Volumen", vb::Currency::fromScaled(15));
  programa->Update();
  programa->FindFirst("Partida='B' AND Renglon=2 AND Periodo=3");
  ASSERT_FALSE(programa->NoMatch());
  EXPECT_EQ(programa->Value("Volumen").toCurrency(), vb::Currency::fromScaled(15));
  EXPECT_EQ(clon->RecordCount(), 1);

  // Deleting through one recordset: the row stays current but deleted.
  programa->Delete();
  EXPECT_EQ(errorOf([&] { programa->Value("Volumen"); }), 3167);
  EXPECT_EQ(programa->RecordCount(), 0);
}

TEST_F(BidTest, FindWithJetCriteria) {
  auto rs = db->OpenRecordset("SELECT * FROM Presupuesto");
  struct Case { const char* criteria; const char* codigo; };
  const Case cases[] = {
      {"Partida='B' And Renglon=2", "TRZ-01"},
      {"Partida='b'  AND Renglon=1", "EXC-01"},                        // case, two blanks before AND
      {"Texto = 'EXCAVACIÓN'", "EXC-01"},                              // accented capital
      {"Texto Like 'trazo*'", "TRZ-01"},
      {"Descri Like '*NIVELACIÓN'", "TRZ-01"},
      {"Moneda = \"dolares\"", "LIM-01"},
      {"IsNull(Descri)", "TRZ-01"},
      {"Cantidad > 50 And Precio < 10", "LIM-01"},
      {"presupuesto.codigo ='exc-01'", "EXC-01"},
  };
  for (const auto& c : cases) {
    rs->FindFirst(QString::fromUtf8(c.criteria));
    ASSERT_FALSE(rs->NoMatch()) << c.criteria;
    EXPECT_EQ(rs->Value("Codigo").toString(), c.codigo) << c.criteria;
  }
  // Next / previous / last in recordset order.
  rs->FindFirst("Codigo='TRZ-01'");
  EXPECT_EQ(rs->Value("Partida").toString(), "A01");
  rs->FindNext("Codigo='TRZ-01'");
  EXPECT_EQ(rs->Value("Partida").toString(), "B");
  rs->FindNext("Codigo='TRZ-01'");
  EXPECT_TRUE(rs->NoMatch());
  EXPECT_EQ(rs->Value("Partida").toString(), "B");   // a failed Find keeps the position
  rs->FindPrevious("Codigo='TRZ-01'");
  EXPECT_EQ(rs->Value("Partida").toString(), "A01");
  rs->FindLast("Moneda='PESOS'");
  EXPECT_EQ(rs->Value("Codigo").toString(), "TRZ-01");
  EXPECT_EQ(rs->Value("Partida").toString(), "B");

  // NoMatch lasts until the next Find; moving does not clear it.
  rs->FindFirst("Codigo='NADA'");
  rs->MoveFirst();
  EXPECT_TRUE(rs->NoMatch());

  // Dates and text with quotes.
  db->Execute("UPDATE Presupuesto SET FechaIni = #2024/03/01#, Texto = 'Muro de 0.15 m ''tipo A''' WHERE Codigo = 'EXC-01'");
  rs->FindFirst("FechaIni = #2024/03/01#");
  ASSERT_FALSE(rs->NoMatch());
  EXPECT_EQ(rs->Value("Texto").toString(), "Muro de 0.15 m 'tipo A'");
  rs->FindFirst("Texto = 'MURO DE 0.15 M ''TIPO A'''");
  EXPECT_FALSE(rs->NoMatch());
  rs->FindFirst("FechaIni > #2/29/2024# And FechaIni < #2024-03-02#");
  EXPECT_FALSE(rs->NoMatch());

  // A criteria the caller broke (an apostrophe in a concatenated value) raises; unknown fields too.
  EXPECT_EQ(errorOf([&] { rs->FindFirst("Texto = 'O'Brien'"); }), 3077);
  EXPECT_EQ(errorOf([&] { rs->FindFirst("NoSuchField = 1"); }), 3061);
  auto table = db->OpenRecordset("Presupuesto", RecordsetType::Table);
  EXPECT_EQ(errorOf([&] { table->FindFirst("Codigo='X'"); }), 3251);
}

TEST_F(BidTest, FindOnSnapshotsAndCaseOfReportKeys) {
  auto rep = db->OpenRecordset("SELECT * FROM repOpciones");
  rep->FindFirst("Reporte='presupuesto' AND Libro='PARATOR1.KOR' AND Hoja='hoja1' AND Parametro='preImprimirIva'");
  ASSERT_FALSE(rep->NoMatch());
  EXPECT_EQ(rep->Value("Valor").toString(), "S");

  auto totals = db->OpenRecordset("totalmonedas", RecordsetType::Snapshot);
  totals->MoveLast();
  EXPECT_EQ(totals->RecordCount(), 2);
  totals->FindFirst("Moneda = 'pesos'");
  ASSERT_FALSE(totals->NoMatch());
  EXPECT_DOUBLE_EQ(totals->Value("sumadeimporte").toDouble(), 1505 + 1225 + 245);
  EXPECT_EQ(errorOf([&] { totals->Edit(); }), 3027);
}

TEST_F(BidTest, SortOpensANewOrderedRecordset) {
  auto rs = db->OpenRecordset("SELECT * FROM Presupuesto");
  rs->SetSort("Codigo,Renglon DESC");
  EXPECT_EQ(column(*rs, "Codigo"), QStringList({"LIM-01", "TRZ-01", "EXC-01", "TRZ-01"}));   // rs itself unchanged
  auto sorted = rs->OpenRecordset();
  EXPECT_EQ(column(*sorted, "Codigo"), QStringList({"EXC-01", "LIM-01", "TRZ-01", "TRZ-01"}));
  EXPECT_EQ(column(*sorted, "Renglon"), QStringList({"1", "1", "2", "2"}));
  EXPECT_TRUE(sorted->Updatable());
  rs->SetSort("Codigo,Descri DESC");
  EXPECT_EQ(errorOf([&] { rs->OpenRecordset(); }), 3117);

  auto totals = db->OpenRecordset("TotalPartidas");
  totals->SetSort("TotalPartida DESC");
  auto t2 = totals->OpenRecordset();
  t2->MoveFirst();
  EXPECT_EQ(t2->Value("Partida").toString(), "B");
}

TEST_F(BidTest, EditBufferAndEditMode) {
  auto dg = db->OpenRecordset("SELECT * FROM DatosGenerales");
  EXPECT_EQ(dg->GetEditMode(), EditMode::None);
  EXPECT_EQ(errorOf([&] { dg->SetValue("NombreEmpresa", "X"); }), 3020);
  EXPECT_EQ(errorOf([&] { dg->Update(); }), 3020);
  dg->Edit();
  EXPECT_EQ(dg->GetEditMode(), EditMode::InProgress);
  dg->SetValue("NombreEmpresa", "  Constructora Ñandú  ");
  EXPECT_EQ(dg->Value("NombreEmpresa").toString(), "  Constructora Ñandú  ");   // reads the buffer
  dg->CancelUpdate();
  EXPECT_EQ(dg->Value("NombreEmpresa").toString(), "Constructora Peña");
  dg->Edit();
  dg->SetValue("NombreEmpresa", "  Constructora Ñandú  ");
  dg->SetValue("BaseCerrada", true);
  dg->Update();
  auto again = db->OpenRecordset("DatosGenerales");
  EXPECT_EQ(again->Value("NombreEmpresa").toString(), "  Constructora Ñandú  ");   // kept exactly
  EXPECT_TRUE(again->Value("BaseCerrada").toBool());
  EXPECT_EQ(again->Value("Cerrada").type(), vb::VarType::Null);
  EXPECT_EQ(again->Value("FechaInicioProy").toDate(), vb::Variant::fromDate(2024, 1, 15).toDate());
  // Moving away drops an edit.
  auto p = db->OpenRecordset("SELECT * FROM Partidas");
  p->Edit();
  p->SetValue("Texto", "perdido");
  p->MoveNext();
  EXPECT_EQ(p->GetEditMode(), EditMode::None);
  p->MoveFirst();
  EXPECT_EQ(p->Value("Texto").toString(), "Preliminares");
}

TEST_F(BidTest, AddNewTakesDefaultsAndKeepsPosition) {
  auto rs = db->OpenRecordset("SELECT * FROM Presupuesto");
  rs->MoveLast();
  const Bookmark before = rs->GetBookmark();
  rs->AddNew();
  EXPECT_EQ(rs->GetEditMode(), EditMode::Add);
  EXPECT_EQ(rs->Value("Moneda").toString(), "PESOS");
  EXPECT_EQ(rs->Value("Precio").toCurrency(), vb::Currency());
  rs->SetValue("Partida", "C");
  rs->SetValue("Renglon", 1);
  rs->Update();
  EXPECT_EQ(rs->GetBookmark(), before);
  rs->SetBookmark(rs->LastModified());
  EXPECT_EQ(rs->Value("Partida").toString(), "C");
  EXPECT_EQ(rs->Value("Moneda").toString(), "PESOS");
  EXPECT_EQ(rs->RecordCount(), 5);
}

TEST_F(BidTest, ErrorNumbersOfEdits) {
  auto rs = db->OpenRecordset("SELECT * FROM Presupuesto");
  // 3163 text too long, 3421 conversion, both at assignment.
  rs->Edit();
  EXPECT_EQ(errorOf([&] { rs->SetValue("Unidad", "metro cúbico"); }), 3163);
  EXPECT_EQ(errorOf([&] { rs->SetValue("Cantidad", "diez"); }), 3421);
  EXPECT_EQ(errorOf([&] { rs->SetValue("FechaIni", "no es fecha"); }), 3421);
  rs->SetValue("FechaIni", "2024/03/15");
  EXPECT_EQ(rs->Value("FechaIni").type(), vb::VarType::Date);
  rs->CancelUpdate();
  // 3265 item not found.
  EXPECT_EQ(errorOf([&] { rs->Fields("NoExiste"); }), 3265);
  EXPECT_EQ(errorOf([&] { rs->Fields(99); }), 3265);
  EXPECT_EQ(errorOf([&] { db->QueryDefs().Item("NoExiste"); }), 3265);
  // 3314 required field, 3022 duplicate key.
  rs->AddNew();
  rs->SetValue("Partida", "Z");
  EXPECT_EQ(errorOf([&] { rs->Update(); }), 3314);
  rs->SetValue("Renglon", 1);
  rs->SetValue("Partida", "a01");   // same key as A01/1, letter case aside
  EXPECT_EQ(errorOf([&] { rs->Update(); }), 3022);
  rs->CancelUpdate();
  // 3315 zero-length text where not allowed; allowed where the field says so.
  rs->MoveFirst();
  rs->Edit();
  rs->SetValue("Codigo", "");
  EXPECT_EQ(errorOf([&] { rs->Update(); }), 3315);
  rs->CancelUpdate();
  auto dg = db->OpenRecordset("DatosGenerales");
  dg->Edit();
  dg->SetValue("Contraseña", "");
  dg->Update();
  // 3021 no current record.
  auto empty = db->OpenRecordset("SELECT * FROM CalCab");
  EXPECT_TRUE(empty->EOF_() && empty->BOF());
  EXPECT_EQ(errorOf([&] { empty->Value("Formato"); }), 3021);
  EXPECT_EQ(errorOf([&] { empty->MoveNext(); }), 3021);
  EXPECT_EQ(errorOf([&] { empty->Edit(); }), 3021);
  // 3200 currency in use: through a recordset and through SQL; a currency not in use goes.
  auto mon = db->OpenRecordset("SELECT * FROM Monedas");
  mon->FindFirst("Moneda='PESOS'");
  EXPECT_EQ(errorOf([&] { mon->Delete(); }), 3200);
  EXPECT_EQ(errorOf([&] { db->Execute("DELETE FROM Monedas WHERE Moneda = 'dolares'"); }), 3200);
  EXPECT_EQ(errorOf([&] { db->Execute("UPDATE Monedas SET Moneda = 'MXN' WHERE Moneda = 'PESOS'"); }), 3200);
  db->Execute("UPDATE Monedas SET Moneda = 'Pesos' WHERE Moneda = 'PESOS'");   // letter case only: same key
  db->Execute("INSERT INTO Monedas (Moneda, Texto) VALUES ('LIBRAS', 'Libras')");
  db->Execute("DELETE FROM Monedas WHERE Moneda = 'LIBRAS'");
  EXPECT_EQ(db->RecordsAffected(), 1);
  // Raw SQL meets the same checks; a failed statement changes nothing.
  EXPECT_EQ(errorOf([&] { db->Execute("UPDATE Presupuesto SET Unidad = 'demasiado largo' "); }), 3163);
  EXPECT_EQ(errorOf([&] { db->Execute("INSERT INTO Presupuesto (Partida, Renglon) VALUES ('A01', 1)"); }), 3022);
  EXPECT_EQ(errorOf([&] { db->Execute("UPDATE Presupuesto SET Precio = 1 WHERE NoSuchColumn = 1"); }), 3061);
  EXPECT_EQ(errorOf([&] { db->Execute("UPDATE NoSuchTable SET x = 1"); }), 3078);
  EXPECT_EQ(errorOf([&] { db->Execute("SELECT * FROM Presupuesto"); }), 3065);
  auto check = db->OpenRecordset("SELECT Count(*) AS n FROM Presupuesto WHERE Unidad = 'demasiado largo'");
  EXPECT_EQ(check->Value("n").toLong(), 0);
}

TEST_F(BidTest, ForwardOnlyAndGetRows) {
  auto fw = db->OpenRecordset("SELECT (SUM(Volumen)) as Total FROM Programa WHERE Partida ='A01' AND Renglon = 1",
                              RecordsetType::ForwardOnly);
  EXPECT_DOUBLE_EQ(fw->Value("Total").toDouble(), 100);
  EXPECT_EQ(errorOf([&] { fw->MovePrevious(); }), 3251);
  EXPECT_EQ(errorOf([&] { fw->Clone(); }), 3251);
  auto none = db->OpenRecordset("SELECT SUM(Volumen) as Total FROM Programa WHERE Partida ='X'", RecordsetType::ForwardOnly);
  EXPECT_TRUE(none->Value("Total").isNull());

  auto pie = db->OpenRecordset(
      "SELECT '' AS Formato,Renglon,Texto,Renglon1,Renglon2,Renglon3,Renglon4,Renglon5,Renglon6,Renglon7,Renglon8,"
      "Renglon9,Operacion,Factor,Porcen,RenglonFactor2,Total,ImprimirRenglon,ImprimirBase,ImprimirRaya,FactorDls "
      "FROM pie ORDER BY Renglon",
      RecordsetType::Snapshot);
  auto rows = pie->GetRows(10);
  ASSERT_EQ(rows.size(), 21u);
  ASSERT_EQ(rows[0].size(), 1u);
  EXPECT_EQ(rows[2][0].toString(), "Costo directo");
  EXPECT_EQ(rows[16][0].toCurrency(), vb::Currency::fromInt(3525));
  EXPECT_TRUE(rows[17][0].toBool());
  EXPECT_TRUE(pie->EOF_());
}

TEST_F(BidTest, SavedQueryWithParameters) {
  auto q = db->QueryDefs().Get("BuscaPre");
  ASSERT_TRUE(q);
  EXPECT_EQ(q->ParameterCount(), 2);
  q->Parameters("CRenglon").SetValue(int32_t(0));
  q->Parameters("CPartida").SetValue("");
  auto rs = q->OpenRecordset();
  EXPECT_EQ(rs->RecordCount(), 0);
  q->Parameters("cpartida").SetValue("a01");
  q->Parameters("CRenglon").SetValue("2");
  rs->Requery();
  ASSERT_EQ(rs->RecordCount(), 1);
  EXPECT_EQ(rs->Value("Codigo").toString(), "TRZ-01");
  rs->Edit();
  rs->SetValue("FechaIni", vb::Variant::fromDate(2024, 5, 1));
  rs->SetValue("TotalVol", vb::Currency::fromInt(7));
  rs->Update();
  auto check = db->OpenRecordset("SELECT * FROM Presupuesto WHERE Partida = 'A01' AND Renglon = 2");
  EXPECT_EQ(check->Value("TotalVol").toCurrency(), vb::Currency::fromInt(7));
  EXPECT_EQ(errorOf([&] { db->OpenRecordset("BuscaPre"); }), 3061);

  auto una = db->QueryDefs().Get("UnaPartida");
  una->Parameters("partidax").SetValue(" ");
  auto tot = una->OpenRecordset(RecordsetType::Snapshot);
  EXPECT_EQ(tot->RecordCount(), 0);
  una->Parameters("partidax").SetValue("a");
  tot->Requery();
  tot->FindFirst("Moneda='PESOS'");
  ASSERT_FALSE(tot->NoMatch());
  EXPECT_DOUBLE_EQ(tot->Value("TotalPartida").toDouble(), 1225);
  EXPECT_EQ(tot->Value("TextoM").toString(), "Pesos");
}
