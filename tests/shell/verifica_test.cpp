#include "verifica.h"

#include "copia_programa.h"
#include "corte.h"
#include "dao.h"
#include "qt_print.h"
#include "quarvel.h"
#include "scripted_ui.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTime>
#include <csignal>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <optional>

namespace {

using DatabasePtr = std::shared_ptr<dao::Database>;
using dao::DataType;
using ui::vbAbort;
using ui::vbIgnore;
using ui::vbNo;
using ui::vbOK;
using ui::vbRetry;
using ui::vbYes;

const QString kPregunta = QStringLiteral("La estructura de la obra no corresponde a la actual, ¿Deseas actualizarla?");
const QString kHecho = QStringLiteral("La estructura se actualizó satisfactoriamente");

DatabasePtr abre(const QString& ruta) { return dao::DBEngine::OpenDatabase(ruta, true, false, quarvel::kConexion); }

QByteArray huella(const QString& ruta) {
  QFile f(ruta);
  if (!f.open(QIODevice::ReadOnly)) return {};
  return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
}

// What to change in a field of a table rebuilt by rehaceTabla.
struct Cambio {
  QString campo;
  bool quitar = false;
  std::optional<DataType> tipo;
  std::optional<int> largo;
  std::optional<QString> omision;
  std::optional<bool> requerido;
  std::optional<bool> cadenaVacia;
};

// Replaces a table of db by one with the same fields and keys, but for the changes; extra fields
// are added at the end, and without conservarLlaves the table has no keys.
void rehaceTabla(dao::Database& db, const QString& tabla, const std::vector<Cambio>& cambios,
                 const QStringList& extra = {}, bool conservarLlaves = true) {
  dao::TableDef& vieja = db.TableDefs().Item(tabla);
  auto nueva = db.CreateTableDef(vieja.Name());
  for (const auto& f : vieja.Fields()) {
    const Cambio* c = nullptr;
    for (const Cambio& x : cambios)
      if (x.campo.compare(f->Name(), Qt::CaseInsensitive) == 0) c = &x;
    if (c && c->quitar) continue;
    auto g = nueva->CreateField(f->Name(), c && c->tipo ? *c->tipo : f->Type(),
                                c && c->largo ? *c->largo : f->Size());
    g->SetDefaultValue(c && c->omision ? *c->omision : f->DefaultValue());
    g->SetRequired(c && c->requerido ? *c->requerido : f->Required());
    g->SetAllowZeroLength(c && c->cadenaVacia ? *c->cadenaVacia : f->AllowZeroLength());
    nueva->Fields().Append(g);
  }
  for (const QString& nombre : extra) nueva->Fields().Append(nueva->CreateField(nombre, DataType::Text, 20));
  if (conservarLlaves)
    for (int i = 0; i < vieja.Indexes().Count(); ++i) {
      const dao::Index& idx = vieja.Indexes().Item(i);
      bool quitado = false;
      for (const Cambio& c : cambios) quitado |= c.quitar && idx.Fields().contains(c.campo, Qt::CaseInsensitive);
      if (quitado) continue;
      auto n = nueva->CreateIndex(idx.Name());
      n->SetPrimary(idx.Primary());
      n->SetUnique(idx.Unique());
      for (const QString& f : idx.Fields()) n->AppendField(f);
      nueva->Indexes().Append(n);
    }
  db.TableDefs().Delete(tabla);
  db.TableDefs().Append(nueva);
}

vb::Variant valor(dao::Database& db, const QString& sql, const QString& campo) {
  auto rs = db.OpenRecordset(sql, dao::RecordsetType::Snapshot);
  return rs->EOF_() ? vb::Variant() : rs->Value(campo);
}

int64_t renglones(dao::Database& db, const QString& tabla) {
  return db.OpenRecordset(tabla, dao::RecordsetType::Snapshot)->RecordCount();
}

// A program folder holding the template, and a folder of bids beside it.
class Estructura : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    ASSERT_TRUE(QDir(dir_.path()).mkpath(QStringLiteral("programa")));
    ASSERT_TRUE(QDir(dir_.path()).mkpath(QStringLiteral("obras")));
    ASSERT_TRUE(QFile::copy(QStringLiteral(TORNAVO_BIN_DIR "/TORNAVO.KOR"), plantilla()));
    quarvel::rutaPrograma = dir_.filePath(QStringLiteral("programa"));
  }
  void TearDown() override { quarvel::rutaPrograma.clear(); }

  QString plantilla() const { return dir_.filePath(QStringLiteral("programa/TORNAVO.KOR")); }
  QString carpetaObras() const { return dir_.filePath(QStringLiteral("obras")); }

  // A bid made from the template, changed by `cambia` (with the bid open exclusively).
  QString obra(const QString& nombre, const std::function<void(dao::Database&)>& cambia = {}) {
    const QString ruta = carpetaObras() + QLatin1Char('/') + nombre;
    EXPECT_TRUE(testsupport::copiaDelPrograma(QStringLiteral("TORNAVO.KOR"), ruta));
    if (cambia) {
      auto db = abre(ruta);
      cambia(*db);
      db->Close();
    }
    return ruta;
  }

  int compara(const QString& ruta, bool completo = true) {
    return VERIFICA::ComparaEstructura(ruta, QStringLiteral("TORNAVO.KOR"), quarvel::kConexion, completo);
  }

  QStringList temporales() const {
    QStringList todos;
    for (const QString& carpeta : {carpetaObras(), quarvel::rutaPrograma, QDir::currentPath()})
      todos << QDir(carpeta).entryList({QStringLiteral("$*"), QStringLiteral("*.~*"), QStringLiteral("*-journal")},
                                       QDir::Files);
    return todos;
  }

  QTemporaryDir dir_;
};

TEST_F(Estructura, ComparisonGivesTheMostSevereDifference) {
  struct Caso {
    const char* nombre;
    std::function<void(dao::Database&)> cambia;
    int completo, parcial;
  };
  const auto extra = [](dao::Database& db) {
    auto t = db.CreateTableDef(QStringLiteral("Borrador"));
    t->Fields().Append(t->CreateField(QStringLiteral("Nota"), DataType::Text, 10));
    db.TableDefs().Append(t);
    db.CreateQueryDef(QStringLiteral("MiConsulta"), QStringLiteral("SELECT * FROM Monedas"));
    rehaceTabla(db, QStringLiteral("CalCab"), {}, {QStringLiteral("Propio")});
  };
  const std::vector<Caso> casos = {
      {"the template itself", {}, 1, 1},
      {"objects only the bid has", extra, 1, 1},
      {"a saved query missing",
       [](dao::Database& db) { db.QueryDefs().Delete(QStringLiteral("UnaPartida")); }, 2, 2},
      {"a query whose SQL differs only in letter case",
       [](dao::Database& db) {
         auto& q = db.QueryDefs().Item(QStringLiteral("ProgramaObra"));
         q.SetSQL(q.SQL().replace(QStringLiteral("SELECT"), QStringLiteral("select")));
       },
       2, 2},
      {"a table missing", [](dao::Database& db) { db.TableDefs().Delete(QStringLiteral("Pie")); }, 2, 2},
      {"a field missing",
       [](dao::Database& db) { rehaceTabla(db, QStringLiteral("CalCab"), {{.campo = "Descripcion", .quitar = true}}); },
       2, 2},
      {"a text of another size",
       [](dao::Database& db) { rehaceTabla(db, QStringLiteral("CalCab"), {{.campo = "Descripcion", .largo = 30}}); },
       3, 3},
      {"a field of another type",
       [](dao::Database& db) {
         rehaceTabla(db, QStringLiteral("CalCab"), {{.campo = "Descripcion", .tipo = DataType::Memo}});
       },
       3, 3},
      {"another default value",
       [](dao::Database& db) {
         rehaceTabla(db, QStringLiteral("Monedas"), {{.campo = "Paridad", .omision = QStringLiteral("2")}});
       },
       3, 1},
      {"another Required",
       [](dao::Database& db) { rehaceTabla(db, QStringLiteral("Monedas"), {{.campo = "Texto", .requerido = true}}); },
       3, 1},
      {"another AllowZeroLength",
       [](dao::Database& db) {
         rehaceTabla(db, QStringLiteral("Monedas"), {{.campo = "Texto", .cadenaVacia = false}});
       },
       3, 1},
      {"a changed type in one table and a missing field in a later one",
       [](dao::Database& db) {
         rehaceTabla(db, QStringLiteral("Partidas"), {{.campo = "Texto", .largo = 80}});
         rehaceTabla(db, QStringLiteral("CalDet"), {{.campo = "FactorDls", .quitar = true}});
         db.QueryDefs().Delete(QStringLiteral("BuscaPre"));
       },
       3, 3},
  };
  int n = 0;
  for (const Caso& c : casos) {
    const QString ruta = obra(QStringLiteral("caso%1.mdb").arg(++n), c.cambia);
    EXPECT_EQ(compara(ruta, true), c.completo) << c.nombre;
    EXPECT_EQ(compara(ruta, false), c.parcial) << c.nombre;
  }
}

TEST_F(Estructura, ComparisonErrorsReachTheCallerAndChangeNothing) {
  const QString ruta = obra(QStringLiteral("obra.mdb"), [](dao::Database& db) {
    db.QueryDefs().Delete(QStringLiteral("TotalMonedas"));
  });
  const QByteArray antes = huella(ruta);
  try {
    VERIFICA::ComparaEstructura(ruta, QStringLiteral("NOEXISTE.KOR"), quarvel::kConexion, true);
    ADD_FAILURE() << "a missing template was not reported";
  } catch (const vb::Error& e) {
    EXPECT_EQ(e.number(), 3024);
  }
  // Without the template the check asks nothing and changes nothing: the one message names the
  // program's missing file, not the bid.
  QFile::remove(plantilla());
  testui::ScriptedMsgBoxes cajas;
  cajas.answer(vbOK);
  EXPECT_FALSE(VERIFICA::VerificaEstructura(ruta));
  ASSERT_EQ(cajas.texts().size(), 1);
  EXPECT_TRUE(cajas.texts()[0].startsWith("No se encuentra el archivo del programa TORNAVO.KOR en "))
      << cajas.texts()[0].toStdString();
  EXPECT_EQ(huella(ruta), antes);
}

TEST_F(Estructura, AnIdenticalBidOpensWithNoQuestionAndIsNotTouched) {
  const QString ruta = obra(QStringLiteral("Obra.mdb"));
  const QByteArray antes = huella(ruta);
  testui::ScriptedMsgBoxes cajas;
  // The file is found whatever the letter case of the name asked for.
  EXPECT_TRUE(VERIFICA::VerificaEstructura(carpetaObras() + QStringLiteral("/OBRA.MDB")));
  EXPECT_TRUE(cajas.texts().isEmpty());
  EXPECT_EQ(huella(ruta), antes);
  EXPECT_FALSE(QFile::exists(carpetaObras() + QStringLiteral("/Obra.bak")));
}

TEST_F(Estructura, ARefusedUpgradeLeavesTheFileUntouched) {
  const std::vector<std::pair<const char*, std::function<void(dao::Database&)>>> obras = {
      {"upgrade", [](dao::Database& db) { db.QueryDefs().Delete(QStringLiteral("UnaPartida")); }},
      {"rebuild",
       [](dao::Database& db) { rehaceTabla(db, QStringLiteral("Monedas"), {{.campo = "Texto", .largo = 80}}); }},
  };
  for (const auto& [nombre, cambia] : obras) {
    const QString ruta = obra(QString::fromLatin1(nombre) + QStringLiteral(".mdb"), cambia);
    const QByteArray antes = huella(ruta);
    testui::ScriptedMsgBoxes cajas;
    cajas.answer(vbNo);
    EXPECT_FALSE(VERIFICA::VerificaEstructura(ruta)) << nombre;
    ASSERT_EQ(cajas.shown().size(), 1u) << nombre;
    EXPECT_EQ(cajas.shown()[0].prompt, kPregunta);
    EXPECT_EQ(int(cajas.shown()[0].buttons), ui::vbYesNo | ui::vbInformation);
    EXPECT_EQ(huella(ruta), antes) << nombre;
    EXPECT_TRUE(temporales().isEmpty()) << nombre;
  }
  EXPECT_TRUE(QDir(carpetaObras()).entryList({QStringLiteral("*.bak")}).isEmpty());
}

TEST_F(Estructura, MissingObjectsAreAddedInPlaceKeepingTheData) {
  const QString ruta = obra(QStringLiteral("obra.mdb"), [](dao::Database& db) {
    db.QueryDefs().Delete(QStringLiteral("UnaPartida"));
    auto& q = db.QueryDefs().Item(QStringLiteral("TotalMonedas"));
    q.SetSQL(q.SQL().toLower());
    db.TableDefs().Delete(QStringLiteral("CalDet"));
    rehaceTabla(db, QStringLiteral("Monedas"), {{.campo = "Paridad", .quitar = true}});
    db.Execute(QStringLiteral("INSERT INTO Monedas (Moneda, Texto) VALUES ('MN', 'Pesos')"));
    db.Execute(QStringLiteral("INSERT INTO Partidas (Partida, Texto) VALUES ('01', 'Preliminares')"));
  });
  ASSERT_EQ(compara(ruta), 2);
  {
    testui::ScriptedMsgBoxes cajas;
    cajas.answer(vbYes).answer(ui::vbOK);
    EXPECT_TRUE(VERIFICA::VerificaEstructura(ruta));
    EXPECT_EQ(cajas.texts(), (QStringList{kPregunta, kHecho}));
    EXPECT_EQ(int(cajas.shown()[1].buttons), ui::vbOKOnly);
  }
  EXPECT_EQ(compara(ruta), 1);
  auto db = abre(ruta);
  EXPECT_EQ(valor(*db, QStringLiteral("SELECT * FROM Monedas"), QStringLiteral("Texto")).toString(), "Pesos");
  // A field added to rows already there takes its default value.
  EXPECT_EQ(valor(*db, QStringLiteral("SELECT * FROM Monedas"), QStringLiteral("Paridad")).toDouble(), 1.0);
  EXPECT_EQ(renglones(*db, QStringLiteral("Partidas")), 1);
  // A table created by the upgrade has the template's key.
  dao::TableDef& caldet = db->TableDefs().Item(QStringLiteral("CalDet"));
  ASSERT_EQ(caldet.Indexes().Count(), 1);
  EXPECT_TRUE(caldet.Indexes().Item(0).Primary());
  EXPECT_EQ(caldet.Indexes().Item(0).Fields(), (QStringList{"Formato", "Renglon"}));
  db->Execute(QStringLiteral("INSERT INTO CalDet (Formato, Renglon) VALUES ('A', 1)"));
  EXPECT_THROW(db->Execute(QStringLiteral("INSERT INTO CalDet (Formato, Renglon) VALUES ('A', 1)")), vb::Error);
  db->Close();
  // Compacted: the .bak of the repair stays beside the bid, and no copy is left anywhere.
  EXPECT_TRUE(QFile::exists(carpetaObras() + QStringLiteral("/obra.bak")));
  EXPECT_TRUE(temporales().isEmpty());
}

// A bid of an older structure: Monedas without a key and with longer descriptions, Presupuesto's
// Cantidad a text, a field and a table the template no longer has, and DatosGenerales (a later
// table) without the password field.
QString obraAntigua(const QString& ruta) {
  auto db = abre(ruta);
  rehaceTabla(*db, QStringLiteral("Monedas"), {{.campo = "Texto", .largo = 80}}, {}, false);
  rehaceTabla(*db, QStringLiteral("Presupuesto"), {{.campo = "Cantidad", .tipo = DataType::Text, .largo = 20}},
              {QStringLiteral("Viejo")});
  rehaceTabla(*db, QStringLiteral("DatosGenerales"), {{.campo = QStringLiteral("Contraseña"), .quitar = true}});
  auto t = db->CreateTableDef(QStringLiteral("Borrador"));
  t->Fields().Append(t->CreateField(QStringLiteral("Nota"), DataType::Text, 10));
  db->TableDefs().Append(t);
  const QString largo = QString(70, QLatin1Char('x'));
  db->Execute(QStringLiteral("INSERT INTO Monedas (Moneda, Texto, Paridad) VALUES ('MN', '%1', 1)").arg(largo));
  db->Execute(QStringLiteral("INSERT INTO Monedas (Moneda, Texto, Paridad) VALUES ('USD', 'Dolares', 17.5)"));
  db->Execute(QStringLiteral("INSERT INTO Partidas (Partida, Texto) VALUES ('01', 'Preliminares')"));
  db->Execute(QStringLiteral(
      "INSERT INTO Presupuesto (Partida, Renglon, Codigo, Cantidad, Precio, Moneda, Viejo) VALUES ('01', 1, 'A-1', '12.5', 10, 'MN', 'x')"));
  db->Execute(QStringLiteral(
      "INSERT INTO Presupuesto (Partida, Renglon, Codigo, Cantidad, Precio, Moneda) VALUES ('01', 2, 'A-2', 'doce', 20, 'USD')"));
  db->Execute(QStringLiteral("INSERT INTO DatosGenerales (NombreObra, Redondeo) VALUES ('Puente', 3)"));
  db->Execute(QStringLiteral("INSERT INTO Borrador (Nota) VALUES ('tirar')"));
  db->Close();
  return ruta;
}

TEST_F(Estructura, AChangedFieldRebuildsTheBidWithItsData) {
  // The template's name is found whatever its letter case.
  ASSERT_TRUE(QFile::rename(plantilla(), quarvel::rutaPrograma + QStringLiteral("/tornavo.kor")));
  const QString ruta = obraAntigua(obra(QStringLiteral("antigua.mdb")));
  ASSERT_EQ(compara(ruta), 3);
  {
    testui::ScriptedMsgBoxes cajas;
    cajas.answer(vbYes).answer(ui::vbOK);
    EXPECT_TRUE(VERIFICA::VerificaEstructura(ruta));
    EXPECT_EQ(cajas.texts(), (QStringList{kPregunta, kHecho}));
  }
  EXPECT_EQ(compara(ruta), 1);
  auto db = abre(ruta);
  EXPECT_FALSE(db->TableDefs().Contains(QStringLiteral("Borrador")));
  EXPECT_FALSE(VERIFICA::ExisteCampo(*db, QStringLiteral("Presupuesto"), QStringLiteral("Viejo")));
  // Long texts are cut to the template's size; a value that does not convert is left at the default.
  EXPECT_EQ(valor(*db, QStringLiteral("SELECT * FROM Monedas WHERE Moneda = 'MN'"), QStringLiteral("Texto")).toString(),
            QString(50, QLatin1Char('x')));
  EXPECT_EQ(valor(*db, QStringLiteral("SELECT * FROM Monedas WHERE Moneda = 'USD'"), QStringLiteral("Paridad")).toDouble(),
            17.5);
  EXPECT_EQ(valor(*db, QStringLiteral("SELECT * FROM Presupuesto WHERE Renglon = 1"), QStringLiteral("Cantidad")).toDouble(),
            12.5);
  EXPECT_EQ(valor(*db, QStringLiteral("SELECT * FROM Presupuesto WHERE Renglon = 2"), QStringLiteral("Cantidad")).toDouble(),
            0.0);
  EXPECT_EQ(valor(*db, QStringLiteral("SELECT * FROM Presupuesto WHERE Renglon = 2"), QStringLiteral("Precio")).toDouble(),
            20.0);
  EXPECT_EQ(renglones(*db, QStringLiteral("Partidas")), 1);
  // The single general-data row is the bid's, not the template's, and the new field is there.
  EXPECT_EQ(renglones(*db, QStringLiteral("DatosGenerales")), 1);
  EXPECT_EQ(valor(*db, QStringLiteral("SELECT * FROM DatosGenerales"), QStringLiteral("NombreObra")).toString(), "Puente");
  EXPECT_EQ(valor(*db, QStringLiteral("SELECT * FROM DatosGenerales"), QStringLiteral("Redondeo")).toInteger(), 3);
  EXPECT_TRUE(VERIFICA::ExisteCampo(*db, QStringLiteral("DatosGenerales"), QStringLiteral("contraseña")));
  // The template's rules hold in the rebuilt bid: Monedas has its key again.
  EXPECT_THROW(db->Execute(QStringLiteral("INSERT INTO Monedas (Moneda) VALUES ('USD')")), vb::Error);
  db->Close();
  EXPECT_TRUE(QFile::exists(carpetaObras() + QStringLiteral("/antigua.bak")));
  EXPECT_TRUE(temporales().isEmpty());
}

// Records which rebuild copies exist while each box is up.
class CajasQueMiran : public testui::ScriptedMsgBoxes {
public:
  explicit CajasQueMiran(QString carpeta) : carpeta_(std::move(carpeta)) {}
  ui::VbMsgBoxResult show(const ui::MsgBoxRequest& r) override {
    copias << QDir(carpeta_).entryList({QStringLiteral("*.~*")}, QDir::Files).join(u',');
    return ScriptedMsgBoxes::show(r);
  }
  QStringList copias;

private:
  QString carpeta_;
};

TEST_F(Estructura, ARowThatCannotBeSavedAsksAbortRetryIgnore) {
  // Two rows with the same currency code: the template's key refuses the second every time.
  const auto duplicada = [this](const QString& nombre) {
    const QString ruta = obraAntigua(obra(nombre));
    auto db = abre(ruta);
    db->Execute(QStringLiteral("INSERT INTO Monedas (Moneda, Texto, Paridad) VALUES ('MN', 'Otra', 2)"));
    db->Close();
    return ruta;
  };
  const QRegularExpression error3022(QStringLiteral("^Verifica\\.Importaobra: Error no\\. 3022  \\S.*"));

  {  // Retry repeats the same failure; Ignore leaves the row out and the rebuild goes on.
    const QString ruta = duplicada(QStringLiteral("reintenta.mdb"));
    testui::ScriptedMsgBoxes cajas;
    cajas.answer(vbYes).answer(vbRetry).answer(vbIgnore).answer(ui::vbOK);
    EXPECT_TRUE(VERIFICA::VerificaEstructura(ruta));
    ASSERT_EQ(cajas.shown().size(), 4u);
    for (int i : {1, 2}) {
      EXPECT_TRUE(error3022.match(cajas.shown()[i].prompt).hasMatch()) << cajas.shown()[i].prompt.toStdString();
      EXPECT_EQ(int(cajas.shown()[i].buttons), ui::vbAbortRetryIgnore);
    }
    EXPECT_EQ(cajas.shown()[3].prompt, kHecho);
    auto db = abre(ruta);
    EXPECT_EQ(renglones(*db, QStringLiteral("Monedas")), 2);
    EXPECT_EQ(renglones(*db, QStringLiteral("Presupuesto")), 2);
    EXPECT_EQ(valor(*db, QStringLiteral("SELECT * FROM DatosGenerales"), QStringLiteral("NombreObra")).toString(), "Puente");
    db->Close();
    EXPECT_EQ(compara(ruta), 1);
  }
  {  // Abort: the bid stays as it was, and the copy made beside it goes.
    const QString ruta = duplicada(QStringLiteral("aborta.mdb"));
    const QByteArray antes = huella(ruta);
    CajasQueMiran cajas(carpetaObras());
    cajas.answer(vbYes).answer(vbAbort);
    EXPECT_FALSE(VERIFICA::VerificaEstructura(ruta));
    ASSERT_EQ(cajas.shown().size(), 2u);
    EXPECT_TRUE(error3022.match(cajas.shown()[1].prompt).hasMatch());
    EXPECT_TRUE(cajas.copias[1].startsWith(QStringLiteral("aborta.mdb.~reconstruye"))) << cajas.copias[1].toStdString();
    EXPECT_EQ(huella(ruta), antes);
    EXPECT_TRUE(temporales().isEmpty());
    EXPECT_FALSE(QFile::exists(carpetaObras() + QStringLiteral("/aborta.bak")));
  }
}

// The sample bid, 257 concepts with their schedule, made older as `cambia` says. The rows of the
// tables `cambia` rebuilds are put back.
QString ejemploAntiguo(const QString& ruta, const QStringList& rehechas,
                       const std::function<void(dao::Database&)>& cambia) {
  EXPECT_TRUE(testsupport::copiaDelPrograma(QStringLiteral("Ejemplo.mdb"), ruta));
  auto db = abre(ruta);
  std::map<QString, std::vector<std::vector<std::pair<QString, vb::Variant>>>> filas;
  for (const QString& tabla : rehechas) {
    auto rs = db->OpenRecordset(tabla, dao::RecordsetType::Snapshot);
    for (; !rs->EOF_(); rs->MoveNext()) {
      auto& fila = filas[tabla].emplace_back();
      for (int i = 0; i < rs->FieldCount(); ++i) fila.emplace_back(rs->Fields(i).Name(), rs->Fields(i).Value());
    }
  }
  cambia(*db);
  for (const auto& [tabla, renglones] : filas) {
    auto rs = db->OpenRecordset(tabla, dao::RecordsetType::Table);
    for (const auto& fila : renglones) {
      rs->AddNew();
      for (const auto& [campo, v] : fila)
        if (!v.isNull()) rs->SetValue(campo, v);
      rs->Update();
    }
  }
  db->Close();
  return ruta;
}

QStringList archivosEn(const QString& carpeta) { return QDir(carpeta).entryList(QDir::Files, QDir::Name); }

TEST_F(Estructura, ARebuildKilledWhileItWritesLeavesTheBidAndTheNextCheckClearsItsCopy) {
  const QString ruta = ejemploAntiguo(carpetaObras() + QStringLiteral("/antigua.mdb"), {QStringLiteral("Monedas")},
                                      [](dao::Database& db) {
                                        rehaceTabla(db, QStringLiteral("Monedas"), {{.campo = "Texto", .largo = 80}});
                                      });
  ASSERT_EQ(compara(ruta), 3);
  const QByteArray antes = huella(ruta);
  const qint64 plantillaBytes = QFileInfo(plantilla()).size();
  ASSERT_GT(QFileInfo(ruta).size(), plantillaBytes + 40000);

  EXPECT_EXIT(
      {
        testui::ScriptedMsgBoxes cajas;
        cajas.answer(vbYes);
        testsupport::cortaAlEscribirMasDe((plantillaBytes + QFileInfo(ruta).size()) / 2);
        VERIFICA::VerificaEstructura(ruta);
      },
      ::testing::KilledBySignal(SIGXFSZ), "");
  EXPECT_EQ(huella(ruta), antes);
  // What the killed rebuild left is named after the bid, so that it can be told.
  const QStringList dejados = archivosEn(carpetaObras());
  ASSERT_GT(dejados.size(), 1);
  for (const QString& nombre : dejados)
    EXPECT_TRUE(nombre.startsWith(QStringLiteral("antigua.mdb"))) << nombre.toStdString();

  {  // The next check removes it, and the rebuild then goes through.
    testui::ScriptedMsgBoxes cajas;
    cajas.answer(vbYes).answer(ui::vbOK);
    EXPECT_TRUE(VERIFICA::VerificaEstructura(ruta));
    EXPECT_EQ(cajas.texts(), (QStringList{kPregunta, kHecho}));
  }
  EXPECT_EQ(archivosEn(carpetaObras()), (QStringList{"antigua.bak", "antigua.mdb"}));
  EXPECT_TRUE(temporales().isEmpty());
  EXPECT_EQ(compara(ruta), 1);
  auto db = abre(ruta);
  EXPECT_EQ(renglones(*db, QStringLiteral("Presupuesto")), 257);
  EXPECT_EQ(renglones(*db, QStringLiteral("Monedas")), 2);
}

TEST_F(Estructura, AnUpgradeKilledWhileItWritesLeavesABidThatOpens) {
  const QString ruta = ejemploAntiguo(carpetaObras() + QStringLiteral("/vieja.mdb"), {}, [](dao::Database& db) {
    db.QueryDefs().Delete(QStringLiteral("UnaPartida"));
    db.TableDefs().Delete(QStringLiteral("CalDet"));
  });
  ASSERT_EQ(compara(ruta), 2);

  // The process ends halfway through a file: in the upgrade's own writes or in the compaction after it.
  EXPECT_EXIT(
      {
        testui::ScriptedMsgBoxes cajas;
        cajas.answer(vbYes).answer(ui::vbOK);
        testsupport::cortaAlEscribirMasDe(QFileInfo(ruta).size() / 2);
        VERIFICA::VerificaEstructura(ruta);
      },
      ::testing::KilledBySignal(SIGXFSZ), "");
  // Either as it was or upgraded, never half of it, and with every concept.
  const int codigo = compara(ruta);
  EXPECT_TRUE(codigo == 1 || codigo == 2) << codigo;
  {
    auto db = abre(ruta);
    EXPECT_EQ(renglones(*db, QStringLiteral("Presupuesto")), 257);
  }

  {
    testui::ScriptedMsgBoxes cajas;
    if (codigo == 2) cajas.answer(vbYes).answer(ui::vbOK);
    EXPECT_TRUE(VERIFICA::VerificaEstructura(ruta));
  }
  EXPECT_EQ(compara(ruta), 1);
  const QStringList quedan = archivosEn(carpetaObras());
  EXPECT_TRUE(quedan == (QStringList{"vieja.mdb"}) || quedan == (QStringList{"vieja.bak", "vieja.mdb"}))
      << quedan.join(u' ').toStdString();
}

TEST_F(Estructura, ACheckRemovesWhatInterruptedWorkLeftBesideThatBidOnly) {
  const QString ruta = obra(QStringLiteral("obra.mdb"));
  const QString otra = obra(QStringLiteral("otra.mdb"));
  // A copy of the rebuild and its journal, and a compaction's copy, left by work that was killed; the
  // same beside another bid.
  const QStringList dejados = {QStringLiteral("obra.mdb.~reconstruye"), QStringLiteral("obra.mdb.~reconstruye-journal"),
                               QStringLiteral("obra.mdb.~compacta"), QStringLiteral("otra.mdb.~reconstruye")};
  for (const QString& nombre : dejados) ASSERT_TRUE(QFile::copy(plantilla(), carpetaObras() + QLatin1Char('/') + nombre));
  testui::ScriptedMsgBoxes cajas;
  EXPECT_TRUE(VERIFICA::VerificaEstructura(ruta));
  EXPECT_EQ(archivosEn(carpetaObras()), (QStringList{"obra.mdb", "otra.mdb", "otra.mdb.~reconstruye"}));
  EXPECT_EQ(compara(otra), 1);
}

TEST(DameNombreTemporal, TheRebuildCopyIsNamedAfterTheBidBesideIt) {
  EXPECT_EQ(VERIFICA::DameNombreTemporal(QStringLiteral("/obras/Puente.mdb")),
            QStringLiteral("/obras/Puente.mdb.~reconstruye"));
}

}  // namespace
