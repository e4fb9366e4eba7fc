// The budget report ("Presupuesto", template Parator1.kor) of a synthetic bid of N concepts (default
// 20 000), offscreen, on Letter paper:
//  - the window's sample (titles, the first concept, its sections' totals), made again each time the
//    user picks a report;
//  - the whole report: template read, every concept under its section headings, the section totals
//    per currency in words, the pages closed and opened: target under 3 s at 20 000 concepts;
//  - the report printed to a PDF file through the print path the report window takes: target under
//    10 s;
//  - the peak memory of the whole run: target under 500 MB;
//  - the same workbook, written as .xlsx, converted to PDF by LibreOffice headless when soffice is
//    installed (skipped otherwise, or with --no-libreoffice), and how many times our PDF's time it took.
//   tornavo_report_bench [concepts] [--no-libreoffice]
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
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <sys/resource.h>

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

double picoMemoriaMb() {
  rusage uso{};
  getrusage(RUSAGE_SELF, &uso);
  return double(uso.ru_maxrss) / 1024.0;  // kilobytes on Linux
}

// Pages of a PDF file: pdfinfo's count when it is installed, else its page objects.
int paginasPdf(const QString& ruta) {
  if (!QStandardPaths::findExecutable(QStringLiteral("pdfinfo")).isEmpty()) {
    QProcess p;
    p.start(QStringLiteral("pdfinfo"), {ruta});
    p.waitForFinished(60000);
    static const QRegularExpression paginas(QStringLiteral("^Pages:\\s+(\\d+)"), QRegularExpression::MultilineOption);
    const QRegularExpressionMatch m = paginas.match(QString::fromLocal8Bit(p.readAllStandardOutput()));
    if (m.hasMatch())
      return m.captured(1).toInt();
  }
  QFile f(ruta);
  if (!f.open(QIODevice::ReadOnly))
    return -1;
  static const QRegularExpression pagina(QStringLiteral("/Type\\s*/Page(?!s)"));
  return int(QString::fromLatin1(f.readAll()).count(pagina));
}

// LibreOffice converts the workbook in a profile of its own; the time of the conversion, or a
// negative number when it failed.
double convierteConLibreOffice(const QString& soffice, const QString& xlsx, const QString& carpeta, QString& pdf) {
  QProcess p;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
  p.setProcessEnvironment(env);
  const QStringList args{QStringLiteral("-env:UserInstallation=file://") + carpeta + QStringLiteral("/perfil"),
                         QStringLiteral("--headless"), QStringLiteral("--norestore"),
                         QStringLiteral("--convert-to"), QStringLiteral("pdf"), QStringLiteral("--outdir"), carpeta, xlsx};
  const double ms = millis([&] {
    p.start(soffice, args);
    p.waitForFinished(30 * 60 * 1000);
  });
  pdf = carpeta + QLatin1Char('/') + QFileInfo(xlsx).completeBaseName() + QStringLiteral(".pdf");
  return p.exitStatus() == QProcess::NormalExit && QFile::exists(pdf) ? ms : -1;
}

}  // namespace

int main(int argc, char** argv) {
  std::setvbuf(stdout, nullptr, _IOLBF, 0);  // each figure as soon as it is known (LibreOffice takes minutes)
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  Cajas cajas;
  ui::installMsgBoxService(&cajas);
  bench::SyntheticBid options;
  options.concepts = 20000;
  bool libreOffice = true;
  for (int i = 1; i < argc; ++i) {
    if (QByteArray(argv[i]) == "--no-libreoffice")
      libreOffice = false;
    else
      options.concepts = std::max(1, std::atoi(argv[i]));
  }

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
  const double msReporte = median(reportes);
  std::printf("whole report:    %8.1f ms (median of 3; target 3000): %d concepts, %d rows, %d pages%s\n", msReporte,
              conceptos, r.lastRow(), rep.numeroPagina, cajas.vistas.isEmpty() ? "" : " (stopped at the row limit)");

  // Printed as the report window prints it, on the PDF printer; the print dialog's answer is the file.
  const QString pdf = dir.filePath(QStringLiteral("presupuesto.pdf"));
  wb::PrintService& impresion = wb::PrintService::instance();
  impresion.setPrinterName(QString());
  impresion.setPrintDialogHook([&](QPrinter& p) {
    p.setOutputFileName(pdf);
    return true;
  });
  const double msPdf = millis([&] { impresion.print(r, true); });
  impresion.setPrintDialogHook(nullptr);
  std::printf("PDF:             %8.1f ms (target 10000): %d pages, %.1f MB\n", msPdf, paginasPdf(pdf),
              double(QFileInfo(pdf).size()) / 1e6);
  std::printf("peak memory:     %8.1f MB (target 500)\n", picoMemoriaMb());

  const QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
  if (libreOffice && !soffice.isEmpty()) {
    const QString xlsx = dir.filePath(QStringLiteral("presupuesto.xlsx"));
    r.write(xlsx);
    const QString carpeta = dir.filePath(QStringLiteral("libreoffice"));
    QDir().mkpath(carpeta);
    QString pdfLo;
    const double msLo = convierteConLibreOffice(soffice, xlsx, carpeta, pdfLo);
    if (msLo < 0)
      std::printf("LibreOffice:     could not convert the workbook\n");
    else
      std::printf("LibreOffice:     %8.1f ms: %d pages, %.1f times our PDF's time\n", msLo, paginasPdf(pdfLo),
                  msLo / msPdf);
  }

  quarvel::dbObra->Close();
  quarvel::dbParametros->Close();
  ui::installMsgBoxService(nullptr);
  return 0;
}
