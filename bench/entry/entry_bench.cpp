// The unit-price window on a synthetic bid of N concepts (default 20 000), offscreen, as the program
// opens it (the shared recordsets of an opened bid, the window in an MDI area):
//  - opening FrmPre and painting its first screen; scrolling, rows read per screen;
//  - a price typed into the grid: rounded, spread to every row of its code, the row written, the
//    action committed (target: under 20 ms), then the section totals requeried;
//  - CalculaImportes over every row, with the amounts right (what each activation of the window costs)
//    and all wrong;
//  - pasting a block of 5 000 prices (target: under 2 s), and the refresh after it.
//   tornavo_entry_bench [concepts]
#include "boundgrid.h"
#include "build.h"
#include "calculos.h"
#include "copiadogrid.h"
#include "datacontrol.h"
#include "forms.h"
#include "frmpartorn.h"
#include "frmpre.h"
#include "funcgrid.h"
#include "general.h"
#include "maneobra.h"
#include "quarvel.h"
#include "synthetic.h"
#include "timing.h"

#include <QApplication>
#include <QMdiArea>
#include <QScrollBar>
#include <QTemporaryDir>
#include <dao.h>

#include <algorithm>
#include <cstdio>

using bench::millis;
using bench::median;

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  bench::SyntheticBid options;
  if (argc > 1)
    options.concepts = std::max(1, std::atoi(argv[1]));
  QTemporaryDir dir;
  const QString path = dir.filePath(QStringLiteral("obra.mdb"));
  const auto schema = resources::loadSchema(QStringLiteral(TORNAVO_SOURCE_DIR "/resources/TORNAVO.KOR.txt"));
  bench::writeSyntheticBid(path, schema, options);
  std::printf("concepts: %d\n", options.concepts);

  quarvel::dbObra = dao::DBEngine::OpenDatabase(path, true, false, quarvel::kConexion);
  maneobra::abreRecordSets();
  quarvel::obraAbierta = true;
  QMdiArea area;
  area.resize(1400, 800);
  ui::Forms::instance().setMdiArea(&area);
  area.show();

  // ---- opening the window
  FrmPre* pre = nullptr;
  const double abreMs = millis([&] {
    pre = ui::Forms::instance().get<FrmPre>();
    ui::Forms::instance().show(pre);
    pre->grab();
  });
  ui::BoundGrid* grid = pre->Grid1();
  ui::RecordsetModel* modelo = grid->recordsetModel();
  std::printf("FrmPre opened and its first screen painted: %.1f ms (its activation's CalculaImportes included), "
              "%d rows shown, %lld rows read\n",
              abreMs, grid->VisibleRows(), (long long)modelo->stats().rowReads);
  QCoreApplication::processEvents();
  dao::DBEngine::EndAction();

  modelo->resetStats();
  const int pantallas = 50;
  const int pantalla = grid->VisibleRows();
  const double paginaMs = millis([&] {
    for (int i = 0; i < pantallas; ++i) {
      grid->verticalScrollBar()->setValue(grid->verticalScrollBar()->value() + pantalla);
      grid->grab();
    }
  }) / pantallas;
  std::printf("page down: %.2f ms a screen, %.1f rows read a screen (of %d rows)\n", paginaMs,
              double(modelo->stats().rowReads) / pantallas, modelo->recordCount());
  modelo->resetStats();
  const double finMs = millis([&] {
    grid->scrollToBottom();
    grid->grab();
  });
  std::printf("to the last row: %.1f ms, %lld rows read\n", finMs, (long long)modelo->stats().rowReads);

  // ---- sorting by a selected column, as the main window's sort command does
  grid->SetSelStartCol(FrmPre::cPrecio);
  grid->SetSelEndCol(FrmPre::cPrecio);
  const double ordenaMs = millis([&] {
    FuncGrid::OrdenaGrid(grid, true);
    grid->grab();
  });
  std::printf("sorted by price, descending, and repainted: %.1f ms\n", ordenaMs);
  grid->SetSelStartCol(FrmPre::cPartida);
  grid->SetSelEndCol(FrmPre::cRenglon);
  FuncGrid::OrdenaGrid(grid, false);

  // ---- a price typed: the edit's write-through, its commit, then the totals
  std::vector<double> edicion, commit, pinta, totales;
  int maxFilas = 0;
  for (int i = 0; i < 15; ++i) {
    const int fila = 1000 + 997 * i % std::max(1, modelo->recordCount() - 1);
    grid->setCurrentIndex(modelo->index(fila, FrmPre::cPrecio));
    const auto mismas = quarvel::dbObra->OpenRecordset(
        QStringLiteral("SELECT Codigo FROM Presupuesto WHERE Codigo='") + modelo->storedValue(fila, FrmPre::cCodigo).toString() +
            QStringLiteral("'"),
        dao::RecordsetType::Snapshot);
    maxFilas = std::max(maxFilas, int(mismas->RecordCount()));
    edicion.push_back(millis([&] { grid->CommitCell(FrmPre::cPrecio, QString::number(100 + i) + QStringLiteral(".237")); }));
    commit.push_back(millis([&] { dao::DBEngine::EndAction(); }));
    pinta.push_back(millis([&] { grid->grab(); }));
    totales.push_back(millis([&] { FrmParTorn::requeryTotales(); }));
    QCoreApplication::processEvents();
    // Timings of an edit that was refused would say nothing.
    if (vb::CCur(modelo->storedValue(fila, FrmPre::cPrecio)) != vb::CCur(vb::Variant(100.24 + i))) {
      std::fprintf(stderr, "the price of row %d was not written\n", fila);
      return 1;
    }
  }
  std::printf("price typed, rounded, spread to every row of its code (up to %d rows) and committed: %.2f ms "
              "(target 20)\n"
              "  then repainting the grid %.2f ms, the section totals requeried %.2f ms\n",
              maxFilas, median(edicion) + median(commit), median(pinta), median(totales));

  // ---- amounts
  const double bienMs = millis([&] { Calculos::CalculaImportes(); });
  dao::DBEngine::EndAction();
  quarvel::dbObra->Execute(QStringLiteral("UPDATE Presupuesto SET Importe = 0"));
  dao::DBEngine::EndAction();
  double malMs = millis([&] {
    Calculos::CalculaImportes();
    dao::DBEngine::EndAction();
  });
  std::printf("CalculaImportes: %.1f ms with every amount right (each activation of the window), %.1f ms rewriting "
              "all %d (committed)\n",
              bienMs, malMs, modelo->recordCount());

  // ---- pasting 5 000 prices (each code once, then again from the first)
  QString bloque = QStringLiteral("Código\tTexto\tPrecio\r\n");
  QStringList codigos;
  const auto todos = quarvel::dbObra->OpenRecordset(QStringLiteral("SELECT DISTINCT Codigo FROM Presupuesto"),
                                                    dao::RecordsetType::Snapshot);
  for (; !todos->EOF_() && codigos.size() < 5000; todos->MoveNext())
    codigos << vb::CStr(todos->Value(QStringLiteral("Codigo")));
  const int lineas = 5000;
  for (int i = 0; i < lineas; ++i)
    bloque += codigos[i % codigos.size()] + QStringLiteral("\tconcepto\t") + QString::number(50 + i % 700) +
              QStringLiteral(".25\r\n");
  grid->MoveFirst();
  copiado::PegadoEnGrid destino(*grid, QStringLiteral("FrmPre"));
  const double pegaMs = millis([&] {
    copiado::pegaTexto(bloque, destino);
    dao::DBEngine::EndAction();
  });
  const double refrescaMs = millis([&] {
    grid->Refresh();
    grid->grab();
    FrmParTorn::requeryTotales();
  });
  std::printf("paste of %d prices for %lld codes (every row of each code written, committed): %.0f ms (target 2000); "
              "the grid and the totals after it: %.1f ms\n",
              lineas, (long long)codigos.size(), pegaMs, refrescaMs);

  ui::Forms::instance().descargaFormas(QString());
  QCoreApplication::processEvents();
  quarvel::dbObra->Close();
  return 0;
}
