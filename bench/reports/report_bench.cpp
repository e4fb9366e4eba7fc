// The budget report ("Presupuesto", template Parator1.kor) of a synthetic bid of N concepts (default
// 5 000), offscreen, on Letter paper:
//  - the window's sample (titles, the first concept, its sections' totals), made again each time the
//    user picks a report: target under 0.2 s;
//  - the whole report: template read, every concept under its section headings, the section totals
//    per currency in words, the pages closed and opened: target under 5 s at 5 000 concepts;
//  - the report written to PDF: target under 5 s.
//   tornavo_report_bench [concepts]
#include "build.h"
#include "contextoreporte.h"
#include "dao.h"
#include "escritores.h"
#include "maneobra.h"
#include "msgbox.h"
#include "printing.h"
#include "quarvel.h"
#include "synthetic.h"
#include "timing.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

using bench::millis;
using bench::median;

namespace {

// The row-limit notice of a big bid is answered, and counted, without a window.
struct Cajas : ui::MsgBoxService {
  QStringList vistas;
  ui::VbMsgBoxResult show(const ui::MsgBoxRequest& r) override {
    vistas << r.prompt;
    return r.defaultAnswer();
  }
};

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  Cajas cajas;
  ui::installMsgBoxService(&cajas);
  bench::SyntheticBid options;
  options.concepts = 5000;
  if (argc > 1)
    options.concepts = std::max(1, std::atoi(argv[1]));

  QTemporaryDir dir;
  for (const char* archivo : {"paratorn.kor", "Parator1.kor"})
    if (!QFile::copy(QStringLiteral(TORNAVO_BIN_DIR "/") + QLatin1String(archivo), dir.filePath(QLatin1String(archivo)))) {
      std::fprintf(stderr, "%s missing: build the program files first\n", archivo);
      return 1;
    }
  const QString obra = dir.filePath(QStringLiteral("sintetica.mdb"));
  const auto schema = resources::loadSchema(QStringLiteral(TORNAVO_SOURCE_DIR "/resources/TORNAVO.KOR.txt"));
  bench::writeSyntheticBid(obra, schema, options);

  quarvel::rutaPrograma = dir.path();
  quarvel::dbObra = dao::DBEngine::OpenDatabase(obra, true, false, quarvel::kConexion);
  maneobra::abreRecordSets();
  quarvel::dbParametros =
      dao::DBEngine::OpenDatabase(dir.filePath(QStringLiteral("paratorn.kor")), false, false, quarvel::kConexion);
  maneobra::AbreReportes();
  quarvel::obraAbierta = true;
  quarvel::unidadRedondeo = vb::Currency::fromInt(100);

  repgen::ContextoReporte rep;
  rep.impresora = std::make_shared<repgen::PapelFijo>();
  repgen::registraEscritores(rep);
  rep.tipo = repgen::kPresupuesto;
  rep.libro = dir.filePath(QStringLiteral("Parator1.kor"));
  rep.hoja = repgen::textoReporte(rep.tipo);
  std::printf("concepts: %d\n", options.concepts);

  std::vector<double> muestras, reportes;
  for (int i = 0; i < 3; ++i)
    muestras.push_back(millis([&] { rep.GeneraMuestra(); }));
  std::printf("sample:          %8.1f ms (median of 3)\n", median(muestras));
  for (int i = 0; i < 3; ++i) {
    cajas.vistas.clear();
    reportes.push_back(millis([&] { rep.GeneraReporte(); }));
  }
  const wb::Book& r = rep.Reporte;
  static const QRegularExpression codigo(QStringLiteral("^C\\d{6}$"));  // the synthetic codes
  int conceptos = 0;
  for (int ren = 1; ren <= r.lastRow(); ++ren) {
    const wb::Cell* c = r.currentSheet().cell(ren, 1);
    conceptos += c && c->type == wb::Cell::Type::Text && codigo.match(c->text).hasMatch() ? 1 : 0;
  }
  std::printf("whole report:    %8.1f ms (median of 3): %d concepts, %d rows, %d pages%s\n", median(reportes),
              conceptos, r.lastRow(), rep.numeroPagina,
              cajas.vistas.isEmpty() ? "" : " (stopped at the row limit)");

  const QString pdf = dir.filePath(QStringLiteral("presupuesto.pdf"));
  const double msPdf = millis([&] { wb::PrintService::instance().exportPdf(r, pdf); });
  std::printf("PDF:             %8.1f ms: %.1f MB\n", msPdf, double(QFileInfo(pdf).size()) / 1e6);

  quarvel::dbObra->Close();
  quarvel::dbParametros->Close();
  ui::installMsgBoxService(nullptr);
  return 0;
}
