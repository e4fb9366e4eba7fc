// The bound grid over a synthetic bid of N concepts (default 20 000), offscreen:
//  - the budget window's grid bound to the budget and its first screen painted: time and rows read;
//  - scrolling to the last row and page by page: rows read per screen, never the whole table;
//  - one cell edit written through (the edit's checks, the row's write and the commit), plain and
//    as the budget window makes it: the rounded price spread to every row of the code and the
//    section totals requeried (target: under 20 ms);
//  - the schedule grid with one unbound column per period, each cell one look-up, first screen.
//   tornavo_grid_bench [concepts]
#include "boundgrid.h"
#include "build.h"
#include "datacontrol.h"
#include "synthetic.h"
#include "timing.h"

#include <QApplication>
#include <QScrollBar>
#include <QTemporaryDir>
#include <dao.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

using bench::millis;
using bench::median;

namespace {

void addColumn(ui::BoundGrid& g, const QString& caption, const QString& field, int width, const QString& format = {}) {
  ui::Column& c = g.Columns().Add(g.Columns().Count());
  c.SetCaption(caption);
  c.SetDataField(field);
  c.SetWidth(width);
  c.SetNumberFormat(format);
}

// The price edit as the budget window checks it: rounded, spread to every row of the code, totals
// requeried, the grid refreshed.
struct BudgetHandlers : ui::BoundGridEvents {
  ui::BoundGrid* grid = nullptr;
  std::shared_ptr<dao::Database> db;
  std::shared_ptr<dao::Recordset> totals;
  bool spread = false;
  void BeforeColUpdate(int col, const vb::Variant&, bool& cancel) override {
    if (!spread || grid->Columns(col).DataField() != QStringLiteral("Precio")) return;
    const vb::Variant v = grid->Columns(col).Value();
    if (!vb::IsNumeric(v)) {
      cancel = true;
      return;
    }
    const double price = std::floor((vb::CDbl(v) + 1e-7) * 100 + 0.5) / 100;
    const QString code = grid->Columns(QStringLiteral("Codigo")).Value().toString();
    auto rs = db->OpenRecordset(QStringLiteral("select Codigo,Importe,Cantidad,Precio from Presupuesto where presupuesto.codigo ='") +
                                code + QStringLiteral("' "));
    while (!rs->EOF_()) {
      rs->Edit();
      rs->SetValue(QStringLiteral("Precio"), vb::CCur(price));
      rs->SetValue(QStringLiteral("Importe"), vb::CCur(std::floor((vb::CDbl(rs->Value(QStringLiteral("Cantidad"))) * price + 1e-7) * 100 + 0.5) / 100));
      rs->Update();
      rs->MoveNext();
    }
    totals->Requery();
    grid->Refresh();
  }
};

// The schedule grid's period cells: the row's section and number (already read for its bound
// cells, or through a clone by bookmark), its volume found in the schedule table.
struct ScheduleHandlers : ui::BoundGridEvents {
  ui::BoundGrid* grid = nullptr;
  std::shared_ptr<dao::Recordset> clone, schedule;
  bool throughClone = false;
  int fixed = 9;
  void UnboundColumnFetch(const dao::Bookmark& b, int col, vb::Variant& value) override {
    QString partida, renglon;
    if (throughClone) {
      clone->SetBookmark(b);
      partida = clone->Fields(0).Value().toString();
      renglon = clone->Fields(1).Value().toString();
    } else {
      partida = grid->Columns(0).CellValue(b).toString();
      renglon = grid->Columns(1).CellValue(b).toString();
    }
    schedule->FindFirst(QStringLiteral("Partida='%1' AND Renglon=%2 AND Periodo=%3").arg(partida, renglon).arg(col - fixed + 1));
    if (!schedule->NoMatch()) value = vb::Format(schedule->Value(QStringLiteral("Volumen")), QStringLiteral("#,###,###,##0.00##"));
  }
};

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  bench::SyntheticBid options;
  if (argc > 1) options.concepts = std::max(1, std::atoi(argv[1]));
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("grid.mdb"));
  const auto schema = resources::loadSchema(QStringLiteral(TORNAVO_SOURCE_DIR "/resources/TORNAVO.KOR.txt"));
  bench::writeSyntheticBid(path, schema, options);

  auto db = dao::DBEngine::OpenDatabase(path, true, false, resources::kConnect);
  auto budget = db->OpenRecordset(QStringLiteral("SELECT * FROM Presupuesto"));
  auto totals = db->OpenRecordset(QStringLiteral("TotalPartidas"));
  std::printf("concepts: %d\n", options.concepts);

  // ---- the budget grid
  ui::BoundGrid grid;
  ui::DataControl data;
  BudgetHandlers handlers;
  handlers.grid = &grid;
  handlers.db = db;
  handlers.totals = totals;
  grid.resize(1200, 700);
  double openMs = millis([&] {
    addColumn(grid, QStringLiteral("Partida"), QStringLiteral("Partida"), 1100);
    addColumn(grid, QStringLiteral("Renglón"), QStringLiteral("Renglon"), 800);
    addColumn(grid, QStringLiteral("Código"), QStringLiteral("Codigo"), 1100);
    addColumn(grid, QStringLiteral("Código Auxiliar"), QStringLiteral("Codemp"), 1100);
    addColumn(grid, QStringLiteral("Texto completo"), QStringLiteral("Descri"), 3500);
    addColumn(grid, QStringLiteral("Unidad"), QStringLiteral("Unidad"), 800);
    addColumn(grid, QStringLiteral("Cantidad"), QStringLiteral("Cantidad"), 1400, QStringLiteral("###,###,###,##0.00##"));
    addColumn(grid, QStringLiteral("Precio"), QStringLiteral("Precio"), 1400, QStringLiteral("Currency"));
    addColumn(grid, QStringLiteral("Importe"), QStringLiteral("Importe"), 1600, QStringLiteral("Currency"));
    addColumn(grid, QStringLiteral("Moneda"), QStringLiteral("Moneda"), 1000);
    grid.SetEvents(&handlers);
    data.SetRecordset(budget);
    grid.SetDataSource(&data);
    grid.show();
    grid.grab();   // painted
  });
  auto* model = grid.recordsetModel();
  const int screen = grid.VisibleRows();
  std::printf("budget grid opened, first screen painted: %.1f ms, %d rows shown, %lld rows read (one statement each)\n",
              openMs, screen, (long long)model->stats().rowReads);

  model->resetStats();
  const double endMs = millis([&] {
    grid.scrollToBottom();
    grid.grab();
  });
  std::printf("scroll to the last row: %.1f ms, %lld rows read\n", endMs, (long long)model->stats().rowReads);
  model->resetStats();
  const int pages = 50;
  grid.scrollToTop();
  const double pageMs = millis([&] {
    for (int i = 0; i < pages; ++i) {
      grid.verticalScrollBar()->setValue(grid.verticalScrollBar()->value() + screen);
      grid.grab();
    }
  }) / pages;
  std::printf("page down: %.2f ms a screen, %.1f rows read a screen (of %lld rows)\n", pageMs,
              double(model->stats().rowReads) / pages, (long long)budget->RecordCount());
  const double paintMs = millis([&] { for (int i = 0; i < pages; ++i) grid.grab(); }) / pages;
  std::printf("  of which painting a screen already read: %.2f ms\n", paintMs);

  // ---- one cell edit written through, committed
  std::vector<double> plain, commit, spread, spreadCommit, requery;
  // Rows spread over the table, inside it whatever its size.
  const int filas = int(budget->RecordCount());
  const auto fila = [filas](int desde, int i) { return (desde + i) % filas; };
  for (int i = 0; i < 9; ++i) {
    grid.setCurrentIndex(model->index(fila(1000, 37 * i), 5));
    plain.push_back(millis([&] { grid.CommitCell(5, i % 2 ? QStringLiteral("m3") : QStringLiteral("m2")); }));
    commit.push_back(millis([&] { dao::DBEngine::EndAction(); }));
  }
  handlers.spread = true;
  int rowsOfCode = 0;
  for (int i = 0; i < 9; ++i) {
    const int row = fila(2000, 53 * i);
    grid.setCurrentIndex(model->index(row, 7));
    auto same = db->OpenRecordset(QStringLiteral("SELECT Codigo FROM Presupuesto WHERE Codigo='") +
                                      model->storedValue(row, 2).toString() + QStringLiteral("'"),
                                  dao::RecordsetType::Snapshot);
    rowsOfCode = std::max(rowsOfCode, int(same->RecordCount()));
    spread.push_back(millis([&] {
      grid.CommitCell(7, QString::number(100 + i) + QStringLiteral(".237"));
      grid.grab();
    }));
    spreadCommit.push_back(millis([&] { dao::DBEngine::EndAction(); }));
    requery.push_back(millis([&] { totals->Requery(); }));
  }
  std::printf("cell edit written through: %.2f ms, its commit %.2f ms: %.2f ms (target 20)\n", median(plain),
              median(commit), median(plain) + median(commit));
  std::printf("price edit spread to the rows of its code (up to %d), totals requeried, repainted: %.2f ms, commit %.2f ms "
              "(of which the totals' requery alone %.2f ms)\n",
              rowsOfCode, median(spread), median(spreadCommit), median(requery));

  // ---- the schedule grid: 9 bound columns and one unbound column per period
  auto general = db->OpenRecordset(QStringLiteral("SELECT Periodos FROM DatosGenerales"));
  const int periods = vb::CLng(general->Value(QStringLiteral("Periodos")));
  auto rows = db->OpenRecordset(QStringLiteral("ProgramaObra"));
  ScheduleHandlers sched;
  sched.schedule = db->OpenRecordset(QStringLiteral("SELECT * FROM Programa"));
  ui::BoundGrid sg;
  ui::DataControl sdata;
  sched.grid = &sg;
  sg.resize(1200, 700);
  qint64 fetches = 0;
  const double schedMs = millis([&] {
    const char* fields[] = {"Partida", "Renglon", "Codigo", "Texto", "Unidad", "Cantidad", "FechaIni", "FechaFin", "TotalVol"};
    for (const char* f : fields) addColumn(sg, QString::fromLatin1(f), QString::fromLatin1(f), 900);
    for (int p = 1; p <= periods; ++p) {
      addColumn(sg, QStringLiteral("Periodo %1").arg(p), QString(), 1000);
      sg.Columns(sg.Columns().Count() - 1).SetAlignment(ui::dbgRight);
    }
    sdata.SetRecordset(rows);
    sched.clone = rows->Clone();
    sg.SetEvents(&sched);
    sg.SetDataSource(&sdata);
    sg.show();
    sg.grab();
    fetches = sg.recordsetModel()->stats().fetches;
  });
  const int cols = std::min<int>(sg.Columns().Count(), sg.columnAt(sg.viewport()->width() - 1) < 0 ? sg.Columns().Count() : sg.columnAt(sg.viewport()->width() - 1) + 1);
  std::printf("schedule grid, %d periods, first screen painted: %.1f ms, %lld rows read, %lld period cells fetched "
              "(%d rows x %d period columns shown)\n",
              periods, schedMs, (long long)sg.recordsetModel()->stats().rowReads, (long long)fetches, sg.VisibleRows(),
              std::max(0, cols - 9));
  sched.throughClone = true;
  const double cloneMs = millis([&] {
    sg.Refresh();
    sg.grab();
  });
  sched.throughClone = false;
  const double cellMs = millis([&] {
    sg.Refresh();
    sg.grab();
  });
  std::printf("  repainted after a change: %.1f ms with the row read through a clone per cell, %.1f ms with the row's "
              "cells the grid has read\n",
              cloneMs, cellMs);
  db->Close();
  return 0;
}
