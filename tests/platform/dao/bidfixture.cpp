#include "bidfixture.h"

namespace daotest {

using dao::DataType;

void addTable(dao::Database& db, const QString& name, std::initializer_list<FieldSpec> fields, const QStringList& pk) {
  auto td = db.CreateTableDef(name);
  for (const auto& s : fields) {
    auto f = td->CreateField(s.name, s.type, s.size);
    f->SetRequired(s.required);
    f->SetAllowZeroLength(s.allowZeroLength);
    if (s.defaultValue) f->SetDefaultValue(QString::fromUtf8(s.defaultValue));
    td->Fields().Append(f);
  }
  if (!pk.isEmpty()) {
    auto idx = td->CreateIndex("PrimaryKey");
    idx->SetPrimary(true);
    for (const auto& f : pk) idx->AppendField(f);
    td->Indexes().Append(idx);
  }
  db.TableDefs().Append(td);
}

std::shared_ptr<dao::Database> createBid(const QString& path) {
  auto db = dao::DBEngine::CreateDatabase(path, kConnect);
  addTable(*db, "Monedas",
           {{"Moneda", DataType::Text, 10, true}, {"Texto", DataType::Text, 50}, {"Paridad", DataType::Double},
            {"Remate", DataType::Text, 20}},
           {"Moneda"});
  addTable(*db, "Partidas", {{"Partida", DataType::Text, 20, true}, {"Renglon", DataType::Long}, {"Texto", DataType::Text, 255}},
           {"Partida"});
  addTable(*db, "Presupuesto",
           {{"Partida", DataType::Text, 20, true}, {"Renglon", DataType::Long, 0, true}, {"Codigo", DataType::Text, 20},
            {"Codemp", DataType::Text, 20}, {"Texto", DataType::Text, 255}, {"Descri", DataType::Memo},
            {"Unidad", DataType::Text, 10}, {"Cantidad", DataType::Double, 0, false, false, "0"},
            {"Precio", DataType::Currency, 0, false, false, "0"}, {"Importe", DataType::Currency, 0, false, false, "0"},
            {"Moneda", DataType::Text, 10, false, false, "\"PESOS\""}, {"FechaIni", DataType::Date},
            {"FechaFin", DataType::Date}, {"TotalVol", DataType::Currency, 0, false, false, "0"}},
           {"Partida", "Renglon"});
  {
    auto& td = db->TableDefs().Item("Presupuesto");
    auto idx = td.CreateIndex("Codigo");
    idx->AppendField("Codigo");
    td.Indexes().Append(idx);
  }
  addTable(*db, "Programa",
           {{"Partida", DataType::Text, 20, true}, {"Renglon", DataType::Long, 0, true},
            {"Periodo", DataType::Integer, 0, true}, {"Volumen", DataType::Currency}},
           {"Partida", "Renglon", "Periodo"});
  addTable(*db, "DatosGenerales",
           {{"BaseCerrada", DataType::Boolean, 0, false, false, "No"}, {"Cerrada", DataType::Boolean},
            {"Contraseña", DataType::Text, 20, false, true}, {"Redondeo", DataType::Byte},
            {"FechaInicioProy", DataType::Date}, {"FechaFinalProy", DataType::Date},
            {"FechaConcurso", DataType::Text, 20}, {"Periodos", DataType::Integer},
            {"NombreEmpresa", DataType::Text, 90}, {"FactorIntegrado", DataType::Currency},
            {"Totalletra", DataType::Text, 50}},
           {});
  addTable(*db, "Pie",
           {{"Renglon", DataType::Integer, 0, true}, {"Texto", DataType::Text, 255}, {"Renglon1", DataType::Integer},
            {"Renglon2", DataType::Integer}, {"Renglon3", DataType::Integer}, {"Renglon4", DataType::Integer},
            {"Renglon5", DataType::Integer}, {"Renglon6", DataType::Integer}, {"Renglon7", DataType::Integer},
            {"Renglon8", DataType::Integer}, {"Renglon9", DataType::Integer}, {"Operacion", DataType::Text, 1},
            {"Factor", DataType::Double}, {"Porcen", DataType::Text, 1}, {"RenglonFactor2", DataType::Double},
            {"Total", DataType::Currency}, {"ImprimirRenglon", DataType::Boolean}, {"ImprimirBase", DataType::Boolean},
            {"ImprimirRaya", DataType::Boolean}, {"FactorDls", DataType::Double}},
           {"Renglon"});
  addTable(*db, "CalCab", {{"Formato", DataType::Text, 10, true}, {"Descripcion", DataType::Text, 40}}, {"Formato"});
  addTable(*db, "CalDet",
           {{"Formato", DataType::Text, 10, true}, {"Renglon", DataType::Integer, 0, true}, {"Texto", DataType::Text, 255},
            {"Renglon1", DataType::Integer}, {"Renglon2", DataType::Integer}, {"Renglon3", DataType::Integer},
            {"Renglon4", DataType::Integer}, {"Renglon5", DataType::Integer}, {"Renglon6", DataType::Integer},
            {"Renglon7", DataType::Integer}, {"Renglon8", DataType::Integer}, {"Renglon9", DataType::Integer},
            {"Operacion", DataType::Text, 1}, {"Factor", DataType::Double}, {"Porcen", DataType::Text, 1},
            {"RenglonFactor2", DataType::Double}, {"Total", DataType::Currency}, {"ImprimirRenglon", DataType::Boolean},
            {"ImprimirBase", DataType::Boolean}, {"ImprimirRaya", DataType::Boolean}, {"FactorDls", DataType::Double}},
           {"Formato", "Renglon"});
  addTable(*db, "titgen", {{"obra1", DataType::Text, 255}, {"obra2", DataType::Text, 255}}, {});
  addTable(*db, "reportes", {{"Reporte", DataType::Text, 30}, {"Libro", DataType::Text, 255}, {"Hoja", DataType::Text, 50}}, {});
  addTable(*db, "repOpciones",
           {{"Reporte", DataType::Text, 30}, {"Libro", DataType::Text, 255}, {"Hoja", DataType::Text, 50},
            {"Parametro", DataType::Text, 50}, {"Valor", DataType::Text, 255}},
           {});

  auto rel = db->CreateRelation("MonedasPresupuesto", "Monedas", "Presupuesto");
  rel->AppendField("Moneda", "Moneda");
  db->Relations().Append(rel);

  db->CreateQueryDef("TotalMonedas",
                     "SELECT Presupuesto.Moneda, Monedas.Texto, Sum(Presupuesto.Importe) AS SumaDeImporte "
                     "FROM Presupuesto LEFT JOIN Monedas ON Presupuesto.Moneda = Monedas.Moneda "
                     "GROUP BY Presupuesto.Moneda, Monedas.Texto;");
  db->CreateQueryDef("TotalPartidas",
                     "SELECT Partidas.Partida, Partidas.Texto AS TextoP, Sum(Presupuesto.Importe) AS TotalPartida, "
                     "Presupuesto.Moneda, Monedas.Texto AS TextoM FROM (Partidas INNER JOIN Presupuesto ON "
                     "Presupuesto.Partida Like Partidas.Partida & \"*\") LEFT JOIN Monedas ON "
                     "Presupuesto.Moneda = Monedas.Moneda GROUP BY Partidas.Partida, Partidas.Texto, "
                     "Presupuesto.Moneda, Monedas.Texto;");
  db->CreateQueryDef("ProgramaObra",
                     "SELECT Presupuesto.Partida, Presupuesto.Renglon, Presupuesto.Codigo, Presupuesto.Texto, "
                     "Presupuesto.Unidad, Presupuesto.Cantidad, Presupuesto.FechaIni, Presupuesto.FechaFin, "
                     "Presupuesto.TotalVol FROM Presupuesto ORDER BY Presupuesto.Partida, Presupuesto.Renglon;");
  db->CreateQueryDef("BuscaPre",
                     "PARAMETERS CRenglon Long, CPartida Text ( 255 ); SELECT Presupuesto.* FROM Presupuesto "
                     "WHERE Presupuesto.Renglon=[CRenglon] AND Presupuesto.Partida=[CPartida];");
  db->CreateQueryDef("UnaPartida",
                     "PARAMETERS partidax Text ( 255 ); SELECT Presupuesto.Moneda, Monedas.Texto AS TextoM, "
                     "Sum(Presupuesto.Importe) AS TotalPartida FROM Presupuesto LEFT JOIN Monedas ON "
                     "Presupuesto.Moneda = Monedas.Moneda WHERE Presupuesto.Partida Like [partidax] & \"*\" "
                     "GROUP BY Presupuesto.Moneda, Monedas.Texto;");

  db->Execute("INSERT INTO Monedas (Moneda, Texto, Paridad, Remate) VALUES ('PESOS', 'Pesos', 1, 'M.N.')");
  db->Execute("INSERT INTO Monedas (Moneda, Texto, Paridad, Remate) VALUES ('DOLARES', 'Dólares', 17.5, 'USD')");
  db->Execute("INSERT INTO Partidas (Partida, Texto) VALUES ('A', 'Preliminares')");
  db->Execute("INSERT INTO Partidas (Partida, Texto) VALUES ('A01', 'Limpieza')");
  db->Execute("INSERT INTO Partidas (Partida, Texto) VALUES ('B', 'Cimentación')");
  // Inserted out of key order: reads come back in primary-key order.
  db->Execute("INSERT INTO Presupuesto (Partida, Renglon, Codigo, Texto, Descri, Unidad, Cantidad, Precio, Importe, Moneda) "
              "VALUES ('B', 1, 'EXC-01', 'Excavación', 'Excavación a mano en cepas', 'm3', 10, 150.5, 1505, 'PESOS')");
  db->Execute("INSERT INTO Presupuesto (Partida, Renglon, Codigo, Texto, Descri, Unidad, Cantidad, Precio, Importe, Moneda) "
              "VALUES ('A01', 2, 'TRZ-01', 'Trazo', 'Trazo y nivelación', 'm2', 100, 12.25, 1225, 'PESOS')");
  db->Execute("INSERT INTO Presupuesto (Partida, Renglon, Codigo, Texto, Descri, Unidad, Cantidad, Precio, Importe, Moneda) "
              "VALUES ('A01', 1, 'LIM-01', 'Limpieza', 'Limpieza del terreno', 'm2', 100, 5.5, 550, 'DOLARES')");
  db->Execute("INSERT INTO Presupuesto (Partida, Renglon, Codigo, Texto, Unidad, Cantidad, Precio, Importe, Moneda) "
              "VALUES ('B', 2, 'TRZ-01', 'Trazo de ejes', 'm2', 20, 12.25, 245, 'PESOS')");
  db->Execute("INSERT INTO Programa (Partida, Renglon, Periodo, Volumen) VALUES ('A01', 1, 1, 60)");
  db->Execute("INSERT INTO Programa (Partida, Renglon, Periodo, Volumen) VALUES ('A01', 1, 2, 40)");
  db->Execute("INSERT INTO Programa (Partida, Renglon, Periodo, Volumen) VALUES ('B', 1, 1, 9.9999)");
  db->Execute("INSERT INTO DatosGenerales (BaseCerrada, Contraseña, FechaInicioProy, FechaFinalProy, Periodos, NombreEmpresa) "
              "VALUES (0, '', #2024/01/15#, #2024/06/30#, 6, 'Constructora Peña')");
  db->Execute("INSERT INTO Pie (Renglon, Texto, Renglon1, Operacion, Factor, Total, ImprimirRenglon, ImprimirBase, ImprimirRaya) "
              "VALUES (1, 'Costo directo', 0, '*', 1, 3525, 1, 0, 0)");
  db->Execute("INSERT INTO titgen (obra1) VALUES (NULL)");
  db->Execute("INSERT INTO reportes (Reporte, Libro, Hoja) VALUES ('Presupuesto', 'Parator1.kor', 'Hoja1')");
  db->Execute("INSERT INTO repOpciones (Reporte, Libro, Hoja, Parametro, Valor) "
              "VALUES ('Presupuesto', 'Parator1.kor', 'Hoja1', 'PreImprimirIva', 'S')");
  db->Flush();
  return db;
}

}  // namespace daotest
