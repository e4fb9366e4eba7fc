#include "verifica.h"

#include "dao.h"
#include "files.h"
#include "general.h"
#include "maneobra.h"
#include "msgbox.h"
#include "quarvel.h"
#include "variant.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QCursor>
#include <QGuiApplication>

#include <algorithm>
#include <functional>
#include <memory>
#include <optional>

namespace VERIFICA {

namespace {

using DatabasePtr = std::shared_ptr<dao::Database>;

const QString kPlantilla = QStringLiteral("TORNAVO.KOR");

// The hourglass while files are compared or written, and the normal pointer back however it ends.
class RelojDeArena {
public:
  RelojDeArena() { QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor)); }
  ~RelojDeArena() { QGuiApplication::restoreOverrideCursor(); }
  RelojDeArena(const RelojDeArena&) = delete;
  RelojDeArena& operator=(const RelojDeArena&) = delete;
};

QString rutaPlantilla(const QString& plantilla) {
  return dao::DBEngine::ResolvePath(quarvel::rutaPrograma + QLatin1Char('/') + plantilla);
}

bool esDeSistema(const QString& tabla) { return tabla.toLower().startsWith(QLatin1String("msys")); }

QStringList nombresDeTablas(dao::Database& db) {
  QStringList nombres;
  auto& tablas = db.TableDefs();
  for (int i = 0; i < tablas.Count(); ++i)
    if (!esDeSistema(tablas.Item(i).Name())) nombres << tablas.Item(i).Name();
  return nombres;
}

void mensajeEnUso() {
  ui::MsgBox(QStringLiteral("La base de datos está siendo utilizada y no puede ser actualizada"), ui::vbInformation);
}

// ---- The rebuild -------------------------------------------------------------------------------

// Leaves the rebuild: the user chose Abort, the bid is in use, or a step it cannot do without failed.
struct Abandono {};

// Runs one step of the rebuild. On an error the user chooses: Retry runs the step again, Ignore
// goes on without it (false), Abort leaves the rebuild. A bid in use leaves it at once.
bool paso(const std::function<void()>& accion) {
  for (;;) {
    try {
      accion();
      return true;
    } catch (const vb::Error& e) {
      if (e.number() == 3356) {
        mensajeEnUso();
        throw Abandono{};
      }
      const auto respuesta = ui::MsgBox(QStringLiteral("Verifica.Importaobra: Error no. ") + QString::number(e.number()) +
                                            QStringLiteral("  ") + e.description(),
                                        ui::vbAbortRetryIgnore);
      if (respuesta == ui::vbRetry) continue;
      if (respuesta == ui::vbIgnore) return false;
      throw Abandono{};
    }
  }
}

// A step the rebuild cannot go on without: ignoring it ends the rebuild as Abort does.
void pasoNecesario(const std::function<void()>& accion) {
  if (!paso(accion)) throw Abandono{};
}

struct Campo {
  QString nombre;
  dao::DataType tipo;
  int largo;
};

// A text too long for its field is written cut to the field's size; a value that does not take
// the field's type is left out (the field keeps its default).
void asignaCampo(dao::Recordset& destino, const Campo& campo, const vb::Variant& valor) {
  try {
    destino.SetValue(campo.nombre, valor);
  } catch (const vb::Error& e) {
    if (e.number() == 3421) return;
    if (e.number() == 3163 && campo.tipo == dao::DataType::Text) {
      destino.SetValue(campo.nombre, vb::Left(valor.toString(), campo.largo));
      return;
    }
    throw;
  }
}

// Copies the rows of tabla one by one, each field the copy's table also has and that is not Null.
void copiaRenglones(dao::Database& copia, dao::Database& vieja, const QString& tabla) {
  std::shared_ptr<dao::Recordset> destino, origen;
  if (!paso([&] { destino = copia.OpenRecordset(tabla, dao::RecordsetType::Table); })) return;
  if (!paso([&] { origen = vieja.OpenRecordset(tabla, dao::RecordsetType::Table); })) return;
  std::vector<Campo> comunes;
  if (!paso([&] {
        comunes.clear();
        for (int i = 0; i < origen->FieldCount(); ++i) {
          const QString nombre = origen->Fields(i).Name();
          if (!ExisteCampo(copia, tabla, nombre)) continue;
          const dao::Field& modelo = copia.TableDefs().Item(tabla).Fields().Item(nombre);
          comunes.push_back({modelo.Name(), modelo.Type(), modelo.Size()});
        }
      }))
    return;

  while (!origen->EOF_()) {
    if (paso([&] { destino->AddNew(); })) {
      for (const Campo& campo : comunes) {
        vb::Variant valor;
        if (!paso([&] { valor = origen->Value(campo.nombre); }) || valor.isNull()) continue;
        paso([&] { asignaCampo(*destino, campo, valor); });
      }
      // A row whose saving is ignored is left out; the next one starts clean.
      if (!paso([&] { destino->Update(); }) && destino->GetEditMode() != dao::EditMode::None) destino->CancelUpdate();
    }
    // A cursor that cannot move on would copy the same row for ever.
    if (!paso([&] { origen->MoveNext(); })) break;
  }
}

// What an interrupted rebuild or compaction of the bid left beside it goes. The bid is held open
// meanwhile, so that no other program can be at work on it; a bid that cannot be opened keeps them.
void quitaRestos(const QString& ruta) {
  try {
    const DatabasePtr obra = dao::DBEngine::OpenDatabase(ruta, false, true, quarvel::kConexion);
    files::removeLeftovers(obra->Name());
    obra->Close();
  } catch (const vb::Error&) {
  }
}

}  // namespace

// ---- Look-ups and definitions --------------------------------------------------------------------

bool ExisteTabla(dao::Database& db, const QString& tabla) { return db.TableDefs().Contains(tabla); }

bool ExisteCampo(dao::Database& db, const QString& tabla, const QString& campo) {
  return ExisteTabla(db, tabla) && db.TableDefs().Item(tabla).Fields().Contains(campo);
}

bool ExisteConsulta(dao::Database& db, const QString& nombre) { return db.QueryDefs().Contains(nombre); }

QString DameSqlConsulta(dao::Database& db, const QString& nombre) {
  const auto consulta = db.QueryDefs().Get(nombre);
  return consulta ? consulta->SQL() : QString();
}

void CreaTabla(dao::Database& db, dao::TableDef& modelo) {
  auto tabla = db.CreateTableDef(modelo.Name());
  for (const auto& campo : modelo.Fields()) CreaCampo(*tabla, *campo);
  // The keys too: code that finds rows by key, and the row order, rely on them.
  for (int i = 0; i < modelo.Indexes().Count(); ++i) {
    const dao::Index& indice = modelo.Indexes().Item(i);
    auto nuevo = tabla->CreateIndex(indice.Name());
    nuevo->SetPrimary(indice.Primary());
    nuevo->SetUnique(indice.Unique());
    for (const QString& campo : indice.Fields()) nuevo->AppendField(campo);
    tabla->Indexes().Append(nuevo);
  }
  db.TableDefs().Append(tabla);
}

void CreaCampo(dao::TableDef& tabla, const dao::Field& modelo) {
  auto campo = tabla.CreateField(modelo.Name(), modelo.Type(), modelo.Size());
  if (modelo.Type() == dao::DataType::Text || modelo.Type() == dao::DataType::Memo)
    campo->SetAllowZeroLength(modelo.AllowZeroLength());
  campo->SetDefaultValue(modelo.DefaultValue());
  campo->SetRequired(modelo.Required());
  tabla.Fields().Append(campo);
}

QString DameNombreTemporal(const QString& ruta) {
  return files::temporaryFor(files::writeTarget(ruta), files::Work::Rebuild);
}

bool CopiaDatosTabla(dao::Database& db, const QString& tabla, const QString& origen) {
  try {
    db.Execute(QStringLiteral(" INSERT INTO ") + tabla + QStringLiteral(" select * from ") + origen + QLatin1Char('.') +
               tabla + QStringLiteral(";"));
    return true;
  } catch (const vb::Error&) {
    return false;
  }
}

// ---- Comparison, upgrade, rebuild ----------------------------------------------------------------

int ComparaEstructura(const QString& ruta, const QString& plantilla, const QString& conexion, bool completo) {
  RelojDeArena reloj;
  // Only read here: the template too is opened read-only, so a program folder without write
  // access still checks bids.
  const DatabasePtr modelo = dao::DBEngine::OpenDatabase(rutaPlantilla(plantilla), false, true, conexion);
  const DatabasePtr obra = dao::DBEngine::OpenDatabase(ruta, false, true, conexion);
  int resultado = kIgual;
  const auto nota = [&resultado](int diferencia) { resultado = std::max(resultado, diferencia); };

  auto& consultas = modelo->QueryDefs();
  for (int i = 0; i < consultas.Count(); ++i) {
    const dao::QueryDef& consulta = consultas.Item(i);
    // The SQL texts are compared exactly: a difference in letter case counts.
    if (!ExisteConsulta(*obra, consulta.Name()) || DameSqlConsulta(*obra, consulta.Name()) != consulta.SQL())
      nota(kFaltante);
  }

  for (const QString& nombre : nombresDeTablas(*modelo)) {
    if (!ExisteTabla(*obra, nombre)) {
      nota(kFaltante);
      continue;
    }
    dao::TableDef& suya = obra->TableDefs().Item(nombre);
    for (const auto& campo : modelo->TableDefs().Item(nombre).Fields()) {
      if (!suya.Fields().Contains(campo->Name())) {
        nota(kFaltante);
        continue;
      }
      const dao::Field& otro = suya.Fields().Item(campo->Name());
      if (campo->Type() != otro.Type() || campo->Size() != otro.Size()) nota(kDiferente);
      if (completo && (campo->Required() != otro.Required() || campo->DefaultValue() != otro.DefaultValue() ||
                       campo->AllowZeroLength() != otro.AllowZeroLength()))
        nota(kDiferente);
    }
  }
  obra->Close();
  modelo->Close();
  return resultado;
}

bool ActualizaEstructura(const QString& ruta) {
  RelojDeArena reloj;
  DatabasePtr modelo, obra;
  auto& espacio = dao::DBEngine::Workspaces();
  bool enTransaccion = false;
  try {
    modelo = dao::DBEngine::OpenDatabase(rutaPlantilla(kPlantilla), false, true, quarvel::kConexion);
    obra = dao::DBEngine::OpenDatabase(ruta, true, false, quarvel::kConexion);
    // All of it or nothing: a bid left half upgraded would be neither the old nor the new one.
    espacio.BeginTrans();
    enTransaccion = true;

    auto& consultas = modelo->QueryDefs();
    for (int i = 0; i < consultas.Count(); ++i) {
      const dao::QueryDef& consulta = consultas.Item(i);
      if (!ExisteConsulta(*obra, consulta.Name()))
        obra->CreateQueryDef(consulta.Name(), consulta.SQL());
      else if (DameSqlConsulta(*obra, consulta.Name()) != consulta.SQL())
        obra->QueryDefs().Item(consulta.Name()).SetSQL(consulta.SQL());
    }

    for (const QString& nombre : nombresDeTablas(*modelo)) {
      dao::TableDef& tabla = modelo->TableDefs().Item(nombre);
      if (!ExisteTabla(*obra, nombre)) {
        CreaTabla(*obra, tabla);
        continue;
      }
      for (const auto& campo : tabla.Fields())
        if (!ExisteCampo(*obra, nombre, campo->Name())) CreaCampo(obra->TableDefs().Item(nombre), *campo);
    }

    enTransaccion = false;
    espacio.CommitTrans();
    obra->Close();
    modelo->Close();
    return true;
  } catch (const vb::Error& e) {
    if (enTransaccion) {
      try {
        espacio.Rollback();
      } catch (const vb::Error&) {
        // Closing the bid below drops what was not committed.
      }
    }
    obra.reset();
    modelo.reset();
    if (e.number() == 3356)
      mensajeEnUso();
    else
      ui::MsgBox(QStringLiteral("Verifica.ActualizaEstructura: Error no. ") + QString::number(e.number()) +
                 QStringLiteral("  ") + e.description());
    return false;
  }
}

bool Importaobra(const QString& ruta) {
  RelojDeArena reloj;
  const QString obra = dao::DBEngine::ResolvePath(ruta);
  // The copy is made beside the bid's file (its link followed), whatever the current directory is.
  std::optional<files::Replacement> nueva;
  DatabasePtr copia, vieja;
  try {
    // The bid first: held exclusively, nobody else is rebuilding it, and a copy an interrupted
    // rebuild left is stale.
    pasoNecesario([&] { vieja = dao::DBEngine::OpenDatabase(obra, true, true, quarvel::kConexion); });
    pasoNecesario([&] {
      files::removeLeftovers(obra);
      nueva.reset();
      nueva.emplace(obra, files::Work::Rebuild);
      const QString plantilla = rutaPlantilla(QStringLiteral("TORNAVO.kor"));
      if (!QFile::copy(plantilla, nueva->temporary())) throw vb::Error(QFileInfo::exists(plantilla) ? 75 : 53);
      // The rebuild writes the copy whatever the template's permissions; it takes the bid's when it
      // takes its place.
      QFile::setPermissions(nueva->temporary(), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    });
    pasoNecesario([&] { copia = dao::DBEngine::OpenDatabase(nueva->temporary(), true, false, quarvel::kConexion); });

    QStringList tablas;
    pasoNecesario([&] {
      tablas.clear();
      for (const QString& nombre : nombresDeTablas(*copia))
        if (ExisteTabla(*vieja, nombre)) tablas << nombre;
    });
    for (const QString& tabla : tablas) {
      paso([&] { copia->Execute(QStringLiteral(" DELETE * FROM ") + tabla + QStringLiteral(" ;")); });
      if (!CopiaDatosTabla(*copia, tabla, vieja->Name())) copiaRenglones(*copia, *vieja, tabla);
    }

    // The copy closed (all of it written), it takes the bid's place in one step. The old bid, only
    // read, stays held until then, so that no other program opens it in between.
    pasoNecesario([&] { copia->Close(); });
    copia.reset();
    pasoNecesario([&] { nueva->commit(); });
    vieja->Close();
    vieja.reset();
    return true;
  } catch (const Abandono&) {
    // The copy closed first, so that it can go with the rebuild.
    copia.reset();
    vieja.reset();
    return false;
  }
}

bool VerificaEstructura(const QString& ruta) {
  // Without the template no bid can be checked: the message names the program's missing file, not
  // the bid, which is there.
  if (!QFileInfo(rutaPlantilla(kPlantilla)).isFile()) {
    ui::MsgBox(QStringLiteral("No se encuentra el archivo del programa ") + kPlantilla + QStringLiteral(" en ") +
                   QDir::toNativeSeparators(quarvel::rutaPrograma) +
                   QStringLiteral(": sin él no se puede abrir ninguna obra. Vuelva a instalar el programa."),
               ui::vbExclamation);
    return false;
  }
  const int codigo = ComparaEstructura(ruta, kPlantilla, quarvel::kConexion, true);
  quitaRestos(ruta);
  if (codigo == kIgual) return true;
  if (ui::MsgBox(QStringLiteral("La estructura de la obra no corresponde a la actual, ¿Deseas actualizarla?"),
                 ui::vbYesNo | ui::vbInformation) != ui::vbYes)
    return false;
  const bool hecho = codigo == kFaltante ? ActualizaEstructura(ruta) : Importaobra(ruta);
  if (!hecho) return false;
  // The file compacted is the one just upgraded (the globals of the open bid name the same file
  // when the bid-opening code calls here).
  QString carpeta, archivo;
  general::SeparaRuta(dao::DBEngine::ResolvePath(ruta), carpeta, archivo);
  maneobra::RepararObra(carpeta, archivo, quarvel::kConexion);
  ui::MsgBox(QStringLiteral("La estructura se actualizó satisfactoriamente"));
  return true;
}

}  // namespace VERIFICA
