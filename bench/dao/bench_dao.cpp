// The database layer on a synthetic bid of N concepts (default 20 000):
//  - opening the bid with the program's recordsets (targets: under 0.3 s),
//  - FindFirst on a concept code through a clone (under 1 ms),
//  - the row-by-row amount recalculation against one plain UPDATE (within 5x), each ending with
//    the action's commit, so the edits are on disk.
//   bench_dao [concepts]
#include "dao.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <cstdio>

using dao::DataType;

namespace {

const QString kConnect = QStringLiteral(";pwd=BANCO");

void table(dao::Database& db, const QString& name, std::initializer_list<std::pair<const char*, DataType>> fields,
           const QStringList& pk) {
  auto td = db.CreateTableDef(name);
  for (const auto& [n, t] : fields) td->Fields().Append(td->CreateField(n, t, t == DataType::Text ? 40 : 0));
  auto idx = td->CreateIndex("PrimaryKey");
  idx->SetPrimary(true);
  for (const auto& f : pk) idx->AppendField(f);
  td->Indexes().Append(idx);
  db.TableDefs().Append(td);
}

void build(const QString& path, int concepts) {
  auto db = dao::DBEngine::CreateDatabase(path, kConnect);
  table(*db, "Monedas", {{"Moneda", DataType::Text}, {"Texto", DataType::Text}, {"Paridad", DataType::Double}}, {"Moneda"});
  table(*db, "Partidas", {{"Partida", DataType::Text}, {"Texto", DataType::Text}}, {"Partida"});
  table(*db, "Presupuesto",
        {{"Partida", DataType::Text}, {"Renglon", DataType::Long}, {"Codigo", DataType::Text}, {"Texto", DataType::Text},
         {"Descri", DataType::Memo}, {"Unidad", DataType::Text}, {"Cantidad", DataType::Double},
         {"Precio", DataType::Currency}, {"Importe", DataType::Currency}, {"Moneda", DataType::Text},
         {"FechaIni", DataType::Date}, {"FechaFin", DataType::Date}, {"TotalVol", DataType::Currency}},
        {"Partida", "Renglon"});
  auto& pre = db->TableDefs().Item("Presupuesto");
  auto idx = pre.CreateIndex("Codigo");
  idx->AppendField("Codigo");
  pre.Indexes().Append(idx);
  table(*db, "Programa",
        {{"Partida", DataType::Text}, {"Renglon", DataType::Long}, {"Periodo", DataType::Integer}, {"Volumen", DataType::Currency}},
        {"Partida", "Renglon", "Periodo"});
  db->CreateQueryDef("ProgramaObra",
                     "SELECT Partida, Renglon, Codigo, Texto, Unidad, Cantidad, FechaIni, FechaFin, TotalVol "
                     "FROM Presupuesto ORDER BY Partida, Renglon;");
  db->CreateQueryDef("TotalPartidas",
                     "SELECT Partida, Moneda, Sum(Importe) AS TotalPartida FROM Presupuesto GROUP BY Partida, Moneda;");
  db->Execute("INSERT INTO Monedas (Moneda, Texto, Paridad) VALUES ('PESOS', 'Pesos', 1)");
  auto p = db->OpenRecordset("Partidas");
  auto rs = db->OpenRecordset("Presupuesto");
  for (int i = 0; i < concepts; ++i) {
    const QString partida = QStringLiteral("P%1").arg(i / 50, 4, 10, QChar(u'0'));
    if (i % 50 == 0) {
      p->AddNew();
      p->SetValue("Partida", partida);
      p->SetValue("Texto", QStringLiteral("Sección %1").arg(i / 50));
      p->Update();
    }
    rs->AddNew();
    rs->SetValue("Partida", partida);
    rs->SetValue("Renglon", int32_t(i % 50 + 1));
    rs->SetValue("Codigo", QStringLiteral("C%1").arg(i, 6, 10, QChar(u'0')));
    rs->SetValue("Texto", QStringLiteral("Concepto %1").arg(i));
    rs->SetValue("Descri", QStringLiteral("Descripción completa del concepto número %1").arg(i));
    rs->SetValue("Unidad", "m3");
    rs->SetValue("Cantidad", 1.25 * (i % 400));
    rs->SetValue("Precio", vb::Currency::fromScaled(100000 + i));
    rs->SetValue("Moneda", "PESOS");
    rs->Update();
  }
  db->Close();
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const int concepts = argc > 1 ? std::atoi(argv[1]) : 20000;
  QTemporaryDir dir;
  const QString path = dir.filePath("banco.mdb");
  build(path, concepts);

  QElapsedTimer t;
  t.start();
  auto db = dao::DBEngine::OpenDatabase(path, true, false, kConnect);
  auto pre = db->OpenRecordset("SELECT * FROM Presupuesto");
  auto preClon = pre->Clone();
  auto preClon2 = pre->Clone();
  auto mon = db->OpenRecordset("SELECT * FROM Monedas");
  auto monClon = mon->Clone();
  auto par = db->OpenRecordset("SELECT * FROM Partidas");
  auto parClon = par->Clone();
  auto prog = db->OpenRecordset("SELECT * FROM Programa");
  auto totals = db->OpenRecordset("TotalPartidas");
  auto progObra = db->OpenRecordset("ProgramaObra");
  const double openMs = t.nsecsElapsed() / 1e6;

  const int finds = 2000;
  t.restart();
  for (int i = 0; i < finds; ++i) preClon->FindFirst(QStringLiteral("Codigo='C%1'").arg((i * 7919) % concepts, 6, 10, QChar(u'0')));
  const double findMs = t.nsecsElapsed() / 1e6 / finds;

  t.restart();
  db->Execute("UPDATE Presupuesto SET Importe = Precio * Cantidad");
  db->Flush();
  const double plainMs = t.nsecsElapsed() / 1e6;
  t.restart();
  auto rs = db->OpenRecordset("SELECT Codigo,Importe,Cantidad,Precio FROM Presupuesto");
  while (!rs->EOF_()) {
    rs->Edit();
    rs->SetValue("Importe", vb::Variant(rs->Value("Precio").toCurrency() * rs->Value("Cantidad").toDouble()));
    rs->Update();
    rs->MoveNext();
  }
  dao::DBEngine::EndAction();
  const double rowsMs = t.nsecsElapsed() / 1e6;

  std::printf("concepts: %d\n", concepts);
  std::printf("open with recordsets: %.1f ms (target 300)\n", openMs);
  std::printf("FindFirst on a code: %.3f ms (target 1)\n", findMs);
  std::printf("recalculation: plain UPDATE %.1f ms, row by row %.1f ms = %.1fx (target 5x)\n", plainMs, rowsMs,
              rowsMs / plainMs);
  return 0;
}
