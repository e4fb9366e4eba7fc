// The schedule window over a synthetic bid (default 5 000 concepts, 36 monthly periods), offscreen:
//  - FrmPrograma opened as the main window opens it and its first screen painted: time, rows read,
//    period cells fetched and SQL statements run (one look-up per period cell shown, none over the
//    whole table);
//  - a screen further down, and the screen painted again after one volume is typed;
//  - a block of 1 000 schedule rows (dates and every period column, as the window copies them) pasted
//    through the paste command: time, statements, and the commit of the action.
//   tornavo_schedule_bench [concepts] [periods] [rows pasted]
#include "build.h"
#include "connection.h"
#include "copiadogrid.h"
#include "dao.h"
#include "forms.h"
#include "frmprograma.h"
#include "maneobra.h"
#include "msgbox.h"
#include "portapapeles.h"
#include "quarvel.h"
#include "synthetic.h"
#include "timing.h"
#include "vbdate.h"

#include <QApplication>
#include <QMdiArea>
#include <QScrollBar>
#include <QTemporaryDir>

#include <cmath>
#include <cstdio>

using bench::millis;

namespace {

// Statements SQLite starts on the bid (statements run by triggers excluded).
qint64 sentencias = 0;

int cuenta(unsigned, void*, void*, void* texto) {
  if (texto && qstrncmp(static_cast<const char*>(texto), "--", 2) != 0)
    ++sentencias;
  return 0;
}

// Every question answered Yes, every box counted.
struct CajasSi : ui::MsgBoxService {
  int vistas = 0;
  ui::VbMsgBoxResult show(const ui::MsgBoxRequest& r) override {
    ++vistas;
    return r.buttonSet() == ui::vbYesNo ? ui::vbYes : ui::vbOK;
  }
};

struct Portapapeles : copiado::Portapapeles {
  QString texto;
  QString Texto() override { return texto; }
  void PonTexto(const QString& t) override { texto = t; }
  void Limpia() override { texto.clear(); }
};

// A block as the schedule window copies its rows: dates, then every period column, each concept's
// quantity spread over the periods of its dates.
QString bloque(int filas, int periodos) {
  QString texto = QStringLiteral("Partida\tRenglón\tCódigo\tComienzo\tFin");
  for (int p = 1; p <= periodos; ++p)
    texto += QStringLiteral("\tPeriodo %1").arg(p);
  texto += QStringLiteral("\t\r\n");
  const auto rs = quarvel::dbObra->OpenRecordset(QStringLiteral("ProgramaObra"), dao::RecordsetType::Snapshot);
  const double inicio = vb::CDate(quarvel::rsDatosGenerales->Value(QStringLiteral("FechaInicioProy")));
  auto periodo = [&](double d) { return (vb::year(d) - vb::year(inicio)) * 12 + vb::month(d) - vb::month(inicio) + 1; };
  for (int n = 0; n < filas && !rs->EOF_(); ++n, rs->MoveNext()) {
    const double ini = vb::CDate(rs->Value(QStringLiteral("FechaIni")));
    const double fin = vb::CDate(rs->Value(QStringLiteral("FechaFin")));
    const int p0 = periodo(ini), p1 = periodo(fin);
    const double volumen = std::floor(vb::CDbl(rs->Value(QStringLiteral("Cantidad"))) / (p1 - p0 + 1) * 100) / 100;
    texto += vb::CStr(rs->Value(QStringLiteral("Partida"))) + u'\t' + vb::CStr(rs->Value(QStringLiteral("Renglon"))) +
             u'\t' + vb::CStr(rs->Value(QStringLiteral("Codigo"))) + u'\t' + vb::dateToString(ini) + u'\t' +
             vb::dateToString(fin);
    for (int p = 1; p <= periodos; ++p)
      texto += u'\t' + (p >= p0 && p <= p1 ? QString::number(volumen, 'f', 2) : QString());
    texto += QStringLiteral("\t\r\n");
  }
  return texto;
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  bench::SyntheticBid opciones;
  opciones.concepts = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5000;
  opciones.periods = argc > 2 ? std::max(1, std::atoi(argv[2])) : 36;
  const int pegadas = argc > 3 ? std::max(1, std::atoi(argv[3])) : 1000;

  QTemporaryDir carpeta;
  const QString ruta = carpeta.filePath(QStringLiteral("programa.mdb"));
  const auto esquema = resources::loadSchema(QStringLiteral(TORNAVO_SOURCE_DIR "/resources/TORNAVO.KOR.txt"));
  bench::writeSyntheticBid(ruta, esquema, opciones);
  quarvel::rutaPrograma = carpeta.path();
  quarvel::dbObra = dao::DBEngine::OpenDatabase(ruta, true, false, resources::kConnect);
  maneobra::abreRecordSets();
  sqlite3_trace_v2(quarvel::dbObra->connection().db(), SQLITE_TRACE_STMT, cuenta, nullptr);
  CajasSi cajas;
  ui::installMsgBoxService(&cajas);
  std::printf("concepts: %d, periods: %d, schedule rows: %lld\n", opciones.concepts, opciones.periods,
              (long long)quarvel::rsPrograma->RecordCount());

  QMdiArea area;
  area.resize(1400, 800);
  ui::Forms::instance().setMdiArea(&area);
  area.show();

  // ---- opening and the first screen
  FrmPrograma* forma = nullptr;
  sentencias = 0;
  const double abrirMs = millis([&] {
    forma = ui::Forms::instance().get<FrmPrograma>();
    ui::Forms::instance().show(forma);
    if (QWidget* marco = forma->parentWidget())
      marco->showMaximized();
    QApplication::processEvents();
    area.grab();
  });
  ui::BoundGrid* grid = forma->Grid1();
  ui::RecordsetModel* modelo = grid->recordsetModel();
  const int filas = grid->VisibleRows();
  int columnas = 0;
  for (int c = forma->ColumnasFijas(); c < grid->Columns().Count(); ++c)
    if (grid->columnViewportPosition(c) < grid->viewport()->width())
      ++columnas;
  std::printf("FrmPrograma opened, first screen painted: %.1f ms; %d rows x %d period columns shown; %lld rows read, "
              "%lld period cells fetched, %lld SQL statements\n",
              abrirMs, filas, columnas, (long long)modelo->stats().rowReads, (long long)modelo->stats().fetches,
              (long long)sentencias);

  // ---- a screen further down, then painted again after a volume is typed
  modelo->resetStats();
  sentencias = 0;
  const double bajarMs = millis([&] {
    grid->verticalScrollBar()->setValue(grid->verticalScrollBar()->value() + 40 * filas);
    area.grab();
  });
  std::printf("a screen 40 pages down: %.1f ms, %lld rows read, %lld cells fetched, %lld SQL statements\n", bajarMs,
              (long long)modelo->stats().rowReads, (long long)modelo->stats().fetches, (long long)sentencias);
  modelo->resetStats();
  sentencias = 0;
  const double repintaMs = millis([&] { area.grab(); });
  std::printf("  painted again, nothing changed: %.2f ms, %lld SQL statements\n", repintaMs, (long long)sentencias);

  const int fila = grid->rowAt(grid->viewport()->height() / 2);
  grid->setCurrentIndex(modelo->index(fila, 0));
  int celda = -1;  // a period cell of the row inside its dates
  for (int c = forma->ColumnasFijas(); c < grid->Columns().Count() && celda < 0; ++c)
    if (!grid->cellText(fila, c).isEmpty())
      celda = c;
  modelo->resetStats();
  sentencias = 0;
  qint64 sentenciasEdicion = 0;
  const double editaMs = millis([&] {
    grid->CommitCell(celda, QStringLiteral("0.5"));
    sentenciasEdicion = sentencias;
    QApplication::processEvents();
    area.grab();
  });
  std::printf("one volume typed (checked, written, total stored) and the screen painted again: %.1f ms, %lld SQL "
              "statements for the edit, %lld in all; %lld cells fetched again\n",
              editaMs, (long long)sentenciasEdicion, (long long)sentencias, (long long)modelo->stats().fetches);

  // ---- paste of schedule rows
  Portapapeles portapapeles;
  copiado::instalaPortapapeles(&portapapeles);
  portapapeles.texto = bloque(pegadas, opciones.periods);
  grid->setFocus();
  sentencias = 0;
  const int cajasAntes = cajas.vistas;
  const double pegaMs = millis([&] { copiado::pegaClipboard(grid); });
  const qint64 sentenciasPegado = sentencias;
  const double commitMs = millis([&] { dao::DBEngine::EndAction(); });
  sentencias = 0;
  const double pintaMs = millis([&] {
    QApplication::processEvents();
    area.grab();
  });
  std::printf("paste of %d schedule rows (%d period columns each): %.0f ms (%.2f ms a row), %lld SQL statements "
              "(%.1f a row), commit %.1f ms, %d messages; grid painted after it: %.1f ms, %lld statements\n",
              pegadas, opciones.periods, pegaMs, pegaMs / pegadas, (long long)sentenciasPegado,
              double(sentenciasPegado) / pegadas, commitMs, cajas.vistas - cajasAntes, pintaMs, (long long)sentencias);

  copiado::instalaPortapapeles(nullptr);
  ui::Forms::instance().descargaFormas(QString());
  ui::installMsgBoxService(nullptr);
  sqlite3_trace_v2(quarvel::dbObra->connection().db(), 0, nullptr, nullptr);
  maneobra::CierraArchivo();
  return 0;
}
