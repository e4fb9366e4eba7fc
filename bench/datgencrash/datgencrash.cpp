// The program killed (SIGKILL) at random moments of a general-data save that moves the project dates,
// and what each kill left:
//   tornavo_datgencrash [--runs N] [--concepts N] [--seed N] [--only end|start|later] [--keep DIR]
// Three saves of a synthetic bid of N concepts (5 000 unless told) with a twelve-month schedule, each
// killed N times before its end (25 unless told):
//   end     the contractor moves the end six months earlier: the volumes of the periods the bid no
//           longer has go, their concepts' totals and dates follow
//   start   the contracting body moves the start into the month before: the periods are renumbered,
//           every volume keeps its month under the month's new number
//   later   the contracting body moves the start into the middle of the second month: the first
//           month's volumes go, the others are renumbered, the totals and dates follow
// Each run starts tornavo_datgencrash_step (the program, offscreen, the dialog driven as a user drives
// it), kills it at a random moment between the click on Aceptar and the save's end as timed by
// uninterrupted runs, and opens the bid as the program opens it: it must open, pass SQLite's
// integrity check and hold exactly the content it had before the click or the content the save gives.
// Prints the counts; exit status 1 when any run left anything else.
#include "build.h"
#include "dao.h"
#include "pasocrash.h"
#include "quarvel.h"
#include "sqlfunctions.h"
#include "synthetic.h"
#include "timing.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <cstdio>
#include <map>
#include <optional>
#include <sqlite3.h>
#include <vector>

namespace {

// The tables a general-data save writes.
const char* const kTablas[] = {"DatosGenerales", "Presupuesto", "Programa", "Pie", "CalCab", "CalDet"};

// What the bid holds in those tables, one digest per table (rows in any order); nullopt with the
// reason when it does not open as the program opens it (exclusive, read-write: a journal left by the
// kill is rolled back here) or fails SQLite's integrity check.
struct Contenido {
  std::map<QString, QByteArray> tablas;
  bool operator==(const Contenido&) const = default;
};

std::optional<Contenido> contenido(const QString& ruta, QString& porque) {
  Contenido c;
  try {
    auto db = dao::DBEngine::OpenDatabase(ruta, true, false, quarvel::kConexion);
    for (const char* nombre : kTablas) {
      auto rs = db->OpenRecordset(QStringLiteral("SELECT * FROM %1").arg(QString::fromLatin1(nombre)),
                                  dao::RecordsetType::Snapshot);
      QStringList filas;
      for (; !rs->EOF_(); rs->MoveNext()) {
        QString fila;
        for (int i = 0; i < rs->FieldCount(); ++i) {
          const vb::Variant v = rs->Fields(i).Value();
          fila += v.isNull() ? QStringLiteral("<Null>") : v.toString();
          fila += u'\x1f';
        }
        filas << fila;
      }
      filas.sort();
      c.tablas[QString::fromLatin1(nombre)] =
          QCryptographicHash::hash(filas.join(u'\x1e').toUtf8(), QCryptographicHash::Sha256);
    }
    db->Close();
  } catch (const vb::Error& e) {
    porque = QStringLiteral("does not open: %1 %2").arg(e.number()).arg(e.description());
    return std::nullopt;
  }
  sqlite3* raw = nullptr;
  bool integra = false;
  if (sqlite3_open_v2(QFile::encodeName(ruta).constData(), &raw, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
    dao::detail::registerJetFunctions(raw);  // the collation of the text columns
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(raw, "PRAGMA integrity_check", -1, &st, nullptr) == SQLITE_OK && sqlite3_step(st) == SQLITE_ROW)
      integra = QByteArray(reinterpret_cast<const char*>(sqlite3_column_text(st, 0))) == "ok";
    sqlite3_finalize(st);
  }
  sqlite3_close_v2(raw);
  if (!integra) {
    porque = QStringLiteral("integrity check fails");
    return std::nullopt;
  }
  return c;
}

// The tables in which two contents differ.
QStringList diferencias(const Contenido& a, const Contenido& b) {
  QStringList tablas;
  for (const auto& [tabla, h] : a.tablas)
    if (b.tablas.count(tabla) == 0 || b.tablas.at(tabla) != h) tablas << tabla;
  return tablas;
}

struct Escenario {
  QString nombre;
  QString producto;  // the edition
  QString caja;      // the date box typed into
  QString fecha;
  Contenido viejo, nuevo;
};

struct Lugar {
  QString raiz, programa, obra;
};

void prepara(const Lugar& l, const QString& original) {
  QDir(l.raiz).removeRecursively();
  QDir().mkpath(l.programa);
  // The program's files: the template, the library, the report templates.
  for (const QString& f : QDir(QStringLiteral(TORNAVO_BIN_DIR)).entryList({QStringLiteral("*.kor"), QStringLiteral("*.KOR")}, QDir::Files))
    QFile::copy(QStringLiteral(TORNAVO_BIN_DIR "/") + f, l.programa + u'/' + f);
  QFile::copy(original, l.obra);
  QFile::setPermissions(l.obra, QFile::permissions(l.obra) | QFileDevice::WriteOwner);
}

// Runs the save; with `matarTras`, kills the program that many milliseconds after the click. With
// `soloAntes` the program stops just before the click.
bench::Paso corre(const Escenario& e, const Lugar& l, std::optional<double> matarTras, bool soloAntes = false) {
  QStringList args{e.producto, l.programa, l.obra, e.caja, e.fecha};
  if (soloAntes) args << QStringLiteral("antes");
  return bench::correPaso(QStringLiteral("tornavo_datgencrash_step"), args, l.raiz + QStringLiteral("/casa"), matarTras);
}

struct Cuenta {
  int corridas = 0, aMedias = 0, antes = 0, viejo = 0, nuevo = 0, danado = 0;
  double calibracion = 0;
};

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const std::optional<bench::Opciones> opciones = bench::leeOpciones(app.arguments(), "tornavo_datgencrash [--runs N] [--concepts N] [--seed N] [--only end|start|later] [--keep DIR]");
  if (!opciones) return 2;
  const int corridas = opciones->corridas, conceptos = opciones->conceptos;
  const quint32 semilla = opciones->semilla;
  const QString soloUno = opciones->solo, guarda = opciones->guarda;
  QTemporaryDir trabajo;
  const QString original = trabajo.filePath(QStringLiteral("sintetica.mdb"));
  const int preparado = resources::runTool("tornavo_datgencrash", [&] {
    bench::SyntheticBid opciones;
    opciones.concepts = conceptos;
    bench::writeSyntheticBid(original,
                             resources::loadSchema(QStringLiteral(TORNAVO_SOURCE_DIR "/resources/TORNAVO.KOR.txt")),
                             opciones);
  });
  if (preparado != 0) return preparado;

  // The synthetic bid runs from 6 January to 19 December 2025, monthly.
  std::vector<Escenario> escenarios = {
      {QStringLiteral("end"), QStringLiteral("Tornavo"), QStringLiteral("FechaFin"), QStringLiteral("15/06/2025"), {}, {}},
      {QStringLiteral("start"), QStringLiteral("Plicadora"), QStringLiteral("FechaIni"), QStringLiteral("09/12/2024"), {}, {}},
      {QStringLiteral("later"), QStringLiteral("Plicadora"), QStringLiteral("FechaIni"), QStringLiteral("14/02/2025"), {}, {}},
  };
  std::erase_if(escenarios, [&](const Escenario& e) { return !soloUno.isEmpty() && e.nombre != soloUno; });
  std::printf("%d concepts, %d runs per save, seed %u\n", conceptos, corridas, semilla);
  QRandomGenerator azar(semilla);
  const Lugar lugar{trabajo.filePath(QStringLiteral("corrida")), trabajo.filePath(QStringLiteral("corrida/programa")),
                    trabajo.filePath(QStringLiteral("corrida/obra.mdb"))};
  bool falla = false;
  std::vector<std::pair<QString, Cuenta>> cuentas;

  for (Escenario& e : escenarios) {
    Cuenta cuenta;
    QString porque;
    // The content before the click, and the save's, from uninterrupted runs; the save's time.
    prepara(lugar, original);
    if (const bench::Paso c = corre(e, lugar, std::nullopt, true); !c.error.isEmpty()) {
      std::fprintf(stderr, "%s: %s\n", qPrintable(e.nombre), qPrintable(c.error));
      return 1;
    }
    const auto viejo = contenido(lugar.obra, porque);
    std::vector<double> tiempos;
    std::optional<Contenido> nuevo;
    for (int i = 0; i < 3; ++i) {
      prepara(lugar, original);
      const bench::Paso c = corre(e, lugar, std::nullopt);
      if (!c.error.isEmpty()) {
        std::fprintf(stderr, "%s: %s\n", qPrintable(e.nombre), qPrintable(c.error));
        return 1;
      }
      tiempos.push_back(c.ms);
      nuevo = contenido(lugar.obra, porque);
    }
    if (!viejo || !nuevo || *viejo == *nuevo) {
      std::fprintf(stderr, "%s: no content to tell apart: %s\n", qPrintable(e.nombre), qPrintable(porque));
      return 1;
    }
    e.viejo = *viejo;
    e.nuevo = *nuevo;
    cuenta.calibracion = bench::median(tiempos);

    // Until `corridas` kills fell before the save's end (a kill after it is checked all the same).
    for (int n = 1; cuenta.aMedias < corridas && n <= 4 * corridas; ++n) {
      prepara(lugar, original);
      const double tras = azar.bounded(cuenta.calibracion * 1.1);
      const bench::Paso c = corre(e, lugar, tras);
      if (!c.empezado) {
        std::printf("  %s run %d: %s\n", qPrintable(e.nombre), n, qPrintable(c.error));
        falla = true;
        continue;
      }
      ++cuenta.corridas;
      ++(c.terminado ? cuenta.antes : cuenta.aMedias);
      QString problema;
      const auto queda = contenido(lugar.obra, porque);
      if (!queda) {
        ++cuenta.danado;
        problema = porque;
      } else if (*queda == e.viejo) {
        ++cuenta.viejo;
      } else if (*queda == e.nuevo) {
        ++cuenta.nuevo;
      } else {
        ++cuenta.danado;
        problema = QStringLiteral("neither old nor new: %1 differ from the old, %2 from the new")
                       .arg(diferencias(*queda, e.viejo).join(u' '), diferencias(*queda, e.nuevo).join(u' '));
      }
      if (!problema.isEmpty()) {
        falla = true;
        std::printf("  %s run %d, killed after %.1f ms: %s\n", qPrintable(e.nombre), n, tras, qPrintable(problema));
        if (!guarda.isEmpty()) {
          const QString destino = QStringLiteral("%1/%2-%3").arg(guarda, e.nombre).arg(n);
          QDir().mkpath(destino);
          QFile::copy(lugar.obra, destino + QStringLiteral("/obra.mdb"));
        }
      }
    }
    cuentas.emplace_back(e.nombre, cuenta);
  }

  std::printf("\n  %-6s %9s %5s %9s %9s %5s %5s %8s\n", "save", "save time", "runs", "mid-way", "finished", "old", "new",
              "damaged");
  for (const auto& [nombre, c] : cuentas)
    std::printf("  %-6s %6.0f ms %5d %9d %9d %5d %5d %8d\n", qPrintable(nombre), c.calibracion, c.corridas, c.aMedias,
                c.antes, c.viejo, c.nuevo, c.danado);
  std::printf("\n  mid-way: killed before the save's end; finished: it ended before the kill;\n"
              "  old/new: the bid opened, whole, with exactly the content it had before Aceptar or the\n"
              "  content the save gives; damaged: anything else (a mixture, a file that does not open).\n");
  return falla ? 1 : 0;
}
