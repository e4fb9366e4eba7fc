// The program killed (SIGKILL) at random moments of its file operations, and what each kill left:
//   tornavo_filecrash [--runs N] [--concepts N] [--seed N] [--only NAME] [--keep DIR]
// Four operations, each killed N times before its end (25 unless told):
//   repair    Reparar/Compactar of a synthetic bid of N concepts (5 000 unless told)
//   rebuild   opening an older copy of it whose field sizes differ: Yes to the question rebuilds it
//             from the template, then compacts it
//   upgrade   opening an older copy that lacks a saved query and a table: upgrade in place, compaction
//   library   Reparar/Compactar of a small bid with a large library "paratorn.kor" (its compaction
//             takes most of the command)
// Each run starts tornavo_filecrash_step (the program, offscreen, driven through the real command),
// kills it at a random moment between the command's start and its end as timed by uninterrupted runs,
// and checks the file: it must open, pass SQLite's integrity check and hold the data it held, in the
// old structure and bytes or the new ones. The command then runs again to its end: that must give
// the new file and leave nothing beside the files. Exit status 1 when any run fails.
#include "build.h"
#include "dao.h"
#include "pasocrash.h"
#include "quarvel.h"
#include "sqlfunctions.h"
#include "synthetic.h"
#include "timing.h"
#include "verifica.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <cstdio>
#include <cstring>
#include <map>
#include <optional>
#include <sqlite3.h>
#include <vector>

namespace {

using DatabasePtr = std::shared_ptr<dao::Database>;

QByteArray huella(const QString& ruta) {
  QFile f(ruta);
  if (!f.open(QIODevice::ReadOnly))
    return {};
  QCryptographicHash h(QCryptographicHash::Sha256);
  h.addData(&f);
  return h.result();
}

// A raw SQLite connection with the layer's collation and functions, read-only.
class Sqlite {
public:
  explicit Sqlite(const QString& ruta) {
    if (sqlite3_open_v2(QFile::encodeName(ruta).constData(), &db_, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK)
      dao::detail::registerJetFunctions(db_);
  }
  ~Sqlite() { sqlite3_close_v2(db_); }
  // The rows of sql, each as one text; nullopt on an error.
  std::optional<QStringList> filas(const QString& sql) const {
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db_, sql.toUtf8().constData(), -1, &st, nullptr) != SQLITE_OK) {
      sqlite3_finalize(st);
      return std::nullopt;
    }
    QStringList filas;
    int rc;
    while ((rc = sqlite3_step(st)) == SQLITE_ROW) {
      QString fila;
      for (int i = 0; i < sqlite3_column_count(st); ++i) {
        const int tipo = sqlite3_column_type(st, i);
        fila += QString::number(tipo) + u':';
        if (tipo != SQLITE_NULL)
          fila += QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, i)));
        fila += u'\x1f';
      }
      filas << fila;
    }
    sqlite3_finalize(st);
    if (rc != SQLITE_DONE)
      return std::nullopt;
    return filas;
  }

private:
  sqlite3* db_ = nullptr;
};

QString entreComillas(const QString& nombre) { return u'"' + QString(nombre).replace(u'"', QStringLiteral("\"\"")) + u'"'; }

// The tables of a file (its own catalogue left out) and their columns.
using Columnas = std::map<QString, QStringList>;

Columnas columnasDe(const QString& ruta) {
  const Sqlite db(ruta);
  Columnas columnas;
  const auto tablas = db.filas(QStringLiteral(
      "SELECT name FROM sqlite_schema WHERE type = 'table' AND name NOT GLOB 'MSys*' AND name NOT GLOB 'sqlite_*'"));
  for (QString t : tablas.value_or(QStringList())) {
    t = t.section(u':', 1).chopped(1);
    for (const QString& c : db.filas(QStringLiteral("SELECT name FROM pragma_table_info(%1)").arg(
                                         u'\'' + QString(t).replace(u'\'', QStringLiteral("''")) + u'\''))
                                .value_or(QStringList()))
      columnas[t] << c.section(u':', 1).chopped(1);
  }
  return columnas;
}

// What the file holds in those tables and columns, table by table, whatever the order of its rows;
// nullopt when it cannot be read.
using Datos = std::map<QString, QByteArray>;

std::optional<Datos> contenido(const QString& ruta, const Columnas& columnas) {
  const Sqlite db(ruta);
  Datos datos;
  for (const auto& [tabla, campos] : columnas) {
    QStringList lista;
    for (const QString& c : campos)
      lista << entreComillas(c);
    auto filas = db.filas(QStringLiteral("SELECT %1 FROM %2").arg(lista.join(u','), entreComillas(tabla)));
    if (!filas)
      return std::nullopt;
    filas->sort();
    QCryptographicHash h(QCryptographicHash::Sha256);
    for (const QString& f : *filas)
      h.addData(f.toUtf8());
    datos[tabla] = h.result();
  }
  return datos;
}

// The tables whose data differ.
QStringList diferencias(const std::optional<Datos>& a, const Datos& b) {
  if (!a)
    return {QStringLiteral("(unreadable)")};
  QStringList tablas;
  for (const auto& [tabla, h] : b)
    if (a->count(tabla) == 0 || a->at(tabla) != h)
      tablas << tabla;
  return tablas;
}

bool integra(const QString& ruta) {
  const auto r = Sqlite(ruta).filas(QStringLiteral("PRAGMA integrity_check"));
  return r && r->size() == 1 && r->first().section(u':', 1).chopped(1) == QLatin1String("ok");
}

// Files another run of work may leave beside the files: temporaries, journals, rebuild copies.
QStringList restos(const QStringList& carpetas) {
  QStringList quedan;
  for (const QString& carpeta : carpetas)
    for (const QString& n : QDir(carpeta).entryList(
             {QStringLiteral("*.~*"), QStringLiteral("$*"), QStringLiteral("*-journal")}, QDir::Files | QDir::Hidden))
      quedan << n;
  return quedan;
}

struct Escenario {
  QString nombre;
  QString orden;        // the command: "reparar" or "abrir"
  QString obra;         // the bid the command works on (a prepared original, copied for each run)
  QString biblioteca;   // the library of the program folder (the same)
  bool revisaBiblioteca = false;  // the file checked: the library, else the bid
  // What the checked file held before: its bytes, data and structure (1 same as the template).
  QByteArray bytes;
  Columnas columnas;
  Datos datos;
  int estructura = 1;
};

enum class Estado { viejo, nuevo, danado };

struct Revision {
  Estado estado;
  QString porque;
};

// Where a run works: a program folder and a folder of bids, rebuilt from the originals for each run.
struct Lugar {
  QString raiz, programa, obras;
  QString obra() const { return obras + QStringLiteral("/obra.mdb"); }
  QString revisado(const Escenario& e) const {
    return e.revisaBiblioteca ? programa + QStringLiteral("/paratorn.kor") : obra();
  }
};

void prepara(const Escenario& e, const Lugar& l) {
  QDir(l.raiz).removeRecursively();
  QDir().mkpath(l.programa);
  QDir().mkpath(l.obras);
  QFile::copy(QStringLiteral(TORNAVO_BIN_DIR "/TORNAVO.KOR"), l.programa + QStringLiteral("/TORNAVO.KOR"));
  QFile::copy(e.biblioteca, l.programa + QStringLiteral("/paratorn.kor"));
  QFile::copy(e.obra, l.obra());
}

Revision revisa(const Escenario& e, const Lugar& l, bool despuesDeMatar) {
  const QString archivo = l.revisado(e);
  const QByteArray bytes = huella(archivo);  // before anything opens it
  try {
    dao::DBEngine::OpenDatabase(archivo, false, true, quarvel::kConexion)->Close();
  } catch (const vb::Error& err) {
    return {Estado::danado, QStringLiteral("does not open: %1 %2").arg(err.number()).arg(err.description())};
  }
  if (!integra(archivo))
    return {Estado::danado, QStringLiteral("integrity check fails")};
  if (const QStringList otras = diferencias(contenido(archivo, e.columnas), e.datos); !otras.isEmpty())
    return {Estado::danado, QStringLiteral("data differ in ") + otras.join(u' ')};
  if (e.orden == QLatin1String("reparar")) {
    if (bytes == e.bytes)
      return {Estado::viejo, {}};
    // Compacted: the file as it was stays as the .bak.
    const QString bak = archivo.left(archivo.size() - 4) + QStringLiteral(".bak");
    if (despuesDeMatar && huella(bak) != e.bytes)
      return {Estado::danado, QStringLiteral("compacted, without the old file as .bak")};
    return {Estado::nuevo, {}};
  }
  quarvel::rutaPrograma = l.programa;
  int codigo = 0;
  try {
    codigo = VERIFICA::ComparaEstructura(archivo, QStringLiteral("TORNAVO.KOR"), quarvel::kConexion, true);
  } catch (const vb::Error& err) {
    return {Estado::danado, QStringLiteral("comparison fails: %1").arg(err.number())};
  }
  if (codigo == 1)
    return {Estado::nuevo, {}};
  if (codigo == e.estructura)
    return {Estado::viejo, {}};
  return {Estado::danado, QStringLiteral("structure %1").arg(codigo)};
}

// Runs the command; with `matarTras`, kills the program that many milliseconds after the command began.
bench::Paso corre(const Escenario& e, const Lugar& l, std::optional<double> matarTras) {
  return bench::correPaso(QStringLiteral("tornavo_filecrash_step"), {e.orden, l.programa, l.obra()},
                          l.raiz + QStringLiteral("/casa"), matarTras);
}

struct Cuenta {
  int corridas = 0, aMedias = 0, antes = 0, viejo = 0, nuevo = 0, danado = 0, conRestos = 0, siguienteBien = 0;
  double calibracion = 0;
};

// A bid made older: Monedas with a longer text than the template's (its rows kept), for a rebuild.
void agrandaTextoDeMonedas(dao::Database& db) {
  std::vector<std::vector<std::pair<QString, vb::Variant>>> filas;
  {
    auto rs = db.OpenRecordset(QStringLiteral("Monedas"), dao::RecordsetType::Snapshot);
    for (; !rs->EOF_(); rs->MoveNext()) {
      auto& fila = filas.emplace_back();
      for (int i = 0; i < rs->FieldCount(); ++i)
        fila.emplace_back(rs->Fields(i).Name(), rs->Fields(i).Value());
    }
  }
  dao::TableDef& vieja = db.TableDefs().Item(QStringLiteral("Monedas"));
  auto nueva = db.CreateTableDef(vieja.Name());
  for (const auto& f : vieja.Fields()) {
    auto g = nueva->CreateField(f->Name(), f->Type(),
                                f->Name() == QLatin1String("Texto") ? f->Size() + 30 : f->Size());
    g->SetDefaultValue(f->DefaultValue());
    g->SetRequired(f->Required());
    g->SetAllowZeroLength(f->AllowZeroLength());
    nueva->Fields().Append(g);
  }
  for (int i = 0; i < vieja.Indexes().Count(); ++i) {
    const dao::Index& idx = vieja.Indexes().Item(i);
    auto n = nueva->CreateIndex(idx.Name());
    n->SetPrimary(idx.Primary());
    n->SetUnique(idx.Unique());
    for (const QString& f : idx.Fields())
      n->AppendField(f);
    nueva->Indexes().Append(n);
  }
  db.TableDefs().Delete(QStringLiteral("Monedas"));
  db.TableDefs().Append(nueva);
  auto rs = db.OpenRecordset(QStringLiteral("Monedas"), dao::RecordsetType::Table);
  for (const auto& fila : filas) {
    rs->AddNew();
    for (const auto& [campo, v] : fila)
      if (!v.isNull())
        rs->SetValue(campo, v);
    rs->Update();
  }
}

// Free pages in the file, so that its compaction changes its bytes.
void dejaHuecos(dao::Database& db) {
  auto relleno = db.CreateTableDef(QStringLiteral("Relleno"));
  relleno->Fields().Append(relleno->CreateField(QStringLiteral("Texto"), dao::DataType::Memo));
  db.TableDefs().Append(relleno);
  for (int i = 0; i < 200; ++i)
    db.Execute(QStringLiteral("INSERT INTO Relleno (Texto) VALUES ('%1')").arg(QString(2000, QLatin1Char('r'))));
  db.TableDefs().Delete(QStringLiteral("Relleno"));
}

DatabasePtr abre(const QString& ruta) { return dao::DBEngine::OpenDatabase(ruta, true, false, quarvel::kConexion); }

std::vector<Escenario> escenarios(const QString& carpeta, int conceptos, const QString& soloUno) {
  const QString sintetica = carpeta + QStringLiteral("/sintetica.mdb");
  bench::SyntheticBid opciones;
  opciones.concepts = conceptos;
  bench::writeSyntheticBid(
      sintetica, resources::loadSchema(QStringLiteral(TORNAVO_SOURCE_DIR "/resources/TORNAVO.KOR.txt")), opciones);
  const QString biblioteca = QStringLiteral(TORNAVO_BIN_DIR "/paratorn.kor");

  const auto copia = [&](const QString& nombre, const QString& de, const std::function<void(dao::Database&)>& cambia) {
    const QString ruta = carpeta + u'/' + nombre;
    QFile::remove(ruta);
    QFile::copy(de, ruta);
    QFile::setPermissions(ruta, QFile::permissions(ruta) | QFileDevice::WriteOwner);
    auto db = abre(ruta);
    cambia(*db);
    db->Close();
    return ruta;
  };
  std::vector<Escenario> todos;
  const auto agrega = [&](const char* nombre, const char* orden, const QString& obra, const QString& bibl, bool revisaBibl) {
    Escenario e;
    e.nombre = QString::fromLatin1(nombre);
    e.orden = QString::fromLatin1(orden);
    e.obra = obra;
    e.biblioteca = bibl;
    e.revisaBiblioteca = revisaBibl;
    todos.push_back(e);
  };
  agrega("repair", "reparar", copia(QStringLiteral("repair.mdb"), sintetica, dejaHuecos), biblioteca, false);
  agrega("rebuild", "abrir", copia(QStringLiteral("rebuild.mdb"), sintetica, agrandaTextoDeMonedas), biblioteca, false);
  agrega("upgrade", "abrir",
         copia(QStringLiteral("upgrade.mdb"), sintetica,
               [](dao::Database& db) {
                 db.QueryDefs().Delete(QStringLiteral("UnaPartida"));
                 db.TableDefs().Delete(QStringLiteral("CalDet"));
               }),
         biblioteca, false);
  agrega("library", "reparar", QStringLiteral(TORNAVO_BIN_DIR "/TORNAVO.KOR"),
         copia(QStringLiteral("paratorn.kor"), biblioteca,
               [](dao::Database& db) {
                 for (int n = 0; n < 60000; ++n)
                   db.Execute(QStringLiteral("INSERT INTO CalDet (Formato, Renglon, Texto) VALUES ('F%1', %2, '%3')")
                                  .arg(n / 30000)
                                  .arg(n % 30000)
                                  .arg(QString(90, QLatin1Char(char('a' + n % 26)))));
                 dejaHuecos(db);
               }),
         true);
  std::erase_if(todos, [&](const Escenario& e) { return !soloUno.isEmpty() && e.nombre != soloUno; });

  quarvel::rutaPrograma = QStringLiteral(TORNAVO_BIN_DIR);
  for (Escenario& e : todos) {
    const QString revisado = e.revisaBiblioteca ? e.biblioteca : e.obra;
    e.bytes = huella(revisado);
    e.columnas = columnasDe(revisado);
    e.datos = contenido(revisado, e.columnas).value_or(Datos());
    if (!e.revisaBiblioteca)
      e.estructura = VERIFICA::ComparaEstructura(revisado, QStringLiteral("TORNAVO.KOR"), quarvel::kConexion, true);
  }
  return todos;
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const std::optional<bench::Opciones> opciones = bench::leeOpciones(app.arguments(), "tornavo_filecrash [--runs N] [--concepts N] [--seed N] [--only repair|rebuild|upgrade|library] [--keep DIR]");
  if (!opciones) return 2;
  const int corridas = opciones->corridas, conceptos = opciones->conceptos;
  const quint32 semilla = opciones->semilla;
  const QString soloUno = opciones->solo, guarda = opciones->guarda;
  QTemporaryDir trabajo;
  std::vector<Escenario> todos;
  const int preparado = resources::runTool("tornavo_filecrash", [&] { todos = escenarios(trabajo.path(), conceptos, soloUno); });
  if (preparado != 0)
    return preparado;
  std::printf("%d concepts, %d runs per operation, seed %u\n", conceptos, corridas, semilla);
  QRandomGenerator azar(semilla);
  const Lugar lugar{trabajo.path() + QStringLiteral("/corrida"), trabajo.path() + QStringLiteral("/corrida/programa"),
                    trabajo.path() + QStringLiteral("/corrida/obras")};
  bool falla = false;
  std::vector<std::pair<QString, Cuenta>> cuentas;

  for (const Escenario& e : todos) {
    Cuenta cuenta;
    // The command's time, uninterrupted.
    std::vector<double> tiempos;
    for (int i = 0; i < 3; ++i) {
      prepara(e, lugar);
      const bench::Paso c = corre(e, lugar, std::nullopt);
      if (!c.error.isEmpty()) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(e.nombre), qPrintable(c.error));
        return 1;
      }
      tiempos.push_back(c.ms);
    }
    cuenta.calibracion = bench::median(tiempos);

    // Until `corridas` kills fell before the command's end (a kill after it is checked all the same).
    for (int n = 1; cuenta.aMedias < corridas && n <= 4 * corridas; ++n) {
      prepara(e, lugar);
      const double tras = azar.bounded(cuenta.calibracion * 1.1);
      const bench::Paso c = corre(e, lugar, tras);
      ++cuenta.corridas;
      ++(c.terminado ? cuenta.antes : cuenta.aMedias);
      const bool conRestos = !restos({lugar.programa, lugar.obras}).isEmpty();
      const Revision r = revisa(e, lugar, true);
      cuenta.conRestos += conRestos;
      QString problema;
      switch (r.estado) {
        case Estado::viejo: ++cuenta.viejo; break;
        case Estado::nuevo: ++cuenta.nuevo; break;
        case Estado::danado:
          ++cuenta.danado;
          problema = QStringLiteral("killed after %1 ms: %2").arg(tras, 0, 'f', 1).arg(r.porque);
          break;
      }
      if (r.estado != Estado::danado) {
        // The next time: the command runs to its end, gives the new file and leaves nothing beside.
        const bench::Paso otra = corre(e, lugar, std::nullopt);
        const Revision despues = otra.error.isEmpty() ? revisa(e, lugar, false) : Revision{Estado::danado, otra.error};
        const QStringList quedan = restos({lugar.programa, lugar.obras});
        if (despues.estado == Estado::nuevo && quedan.isEmpty())
          ++cuenta.siguienteBien;
        else
          problema = QStringLiteral("the next run after a kill at %1 ms: %2 %3")
                         .arg(tras, 0, 'f', 1)
                         .arg(despues.estado == Estado::nuevo ? QStringLiteral("left") : despues.porque, quedan.join(u' '));
      }
      if (!problema.isEmpty()) {
        falla = true;
        std::printf("  %s run %d: %s\n", qPrintable(e.nombre), n, qPrintable(problema));
        if (!guarda.isEmpty()) {
          const QString destino = QStringLiteral("%1/%2-%3").arg(guarda, e.nombre).arg(n);
          QDir().mkpath(destino);
          for (const QString& carpeta : {lugar.programa, lugar.obras})
            for (const QString& f : QDir(carpeta).entryList(QDir::Files | QDir::Hidden))
              QFile::copy(carpeta + u'/' + f, destino + u'/' + f);
        }
      }
    }
    cuentas.emplace_back(e.nombre, cuenta);
  }

  std::printf("\n  %-9s %9s %5s %9s %9s %5s %5s %8s %10s %9s\n", "operation", "command", "runs", "mid-way", "finished",
              "old", "new", "damaged", "leftovers", "next ok");
  for (const auto& [nombre, c] : cuentas)
    std::printf("  %-9s %6.0f ms %5d %9d %9d %5d %5d %8d %10d %9d\n", qPrintable(nombre), c.calibracion, c.corridas,
                c.aMedias, c.antes, c.viejo, c.nuevo, c.danado, c.conRestos, c.siguienteBien);
  std::printf("\n  mid-way: killed before the command's end; finished: it ended before the kill;\n"
              "  old/new: the file opened, whole, with its data, as it was or as the command makes it;\n"
              "  leftovers: runs whose kill left temporaries beside the files; next ok: the command run\n"
              "  again to its end gave the new file and left nothing beside the files.\n");
  return falla ? 1 : 0;
}
