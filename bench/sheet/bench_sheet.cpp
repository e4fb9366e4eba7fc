// Report-sized workbook: a formatted template row copied 15 000 times and its cells filled (with the
// row auto-fitted, as the report does), saved as .xlsx and read back, then printed to PDF with the
// template row repeated as print titles and numbered pages; libxlsxwriter writing the same cells is
// the floor for the save.
//   bench_sheet [rows] [keep-folder]
// Targets: build under 1 s, save within 2x libxlsxwriter, PDF under 3 s, peak memory under 300 MB.
#include "book.h"
#include "printing.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QApplication>
#include <QTemporaryDir>
#include <cstdio>
#include <sys/resource.h>
#include <xlsxwriter.h>

namespace {

constexpr int kCols = 10;

long peakMb() {
  rusage u{};
  getrusage(RUSAGE_SELF, &u);
  return u.ru_maxrss / 1024;
}

QString description(int i) {
  return QStringLiteral("Suministro y colocación de concreto premezclado f'c=250 kg/cm2 en losas, concepto %1, "
                        "incluye cimbra, descimbra, acarreos y todo lo necesario para su correcta ejecución")
      .arg(i);
}

void templateRow(wb::Book& b) {
  const char* formats[kCols] = {"@", "@", "General", "@", "#,###,###,##0.00##", "$#,##0.00", "$#,##0.00",
                                "#,##0.0000%", "dd/mm/yyyy", "@"};
  const int widths[kCols] = {900, 4200, 700, 700, 1400, 1400, 1600, 1100, 1200, 1500};
  for (int c = 1; c <= kCols; ++c) {
    b.setActiveCell(1, c);
    b.setColWidth(c, widths[c - 1]);
    b.setFont("Arial", 8, c == 1, false, false, false, 0, false, false);
    b.setNumberFormat(formats[c - 1]);
    b.setBorder(-1, 1, 1, -1, -1, -1, wb::kKeepColor, 0, 0, wb::kKeepColor, wb::kKeepColor);
    b.setAlignment({c == 2 ? wb::HAlign::Left : wb::HAlign::General, c == 2, wb::VAlign::Top, 0});
    b.setText(QStringLiteral("{campo%1}").arg(c));
  }
}

void fill(wb::Book& b, int r, int i) {
  b.setActiveCell(r, 1);
  b.setText(QStringLiteral("C-%1").arg(i, 5, 10, QLatin1Char('0')));
  b.setCol(2);
  b.setText(description(i));
  b.setCol(3);
  b.setNumber(i);
  b.setCol(4);
  b.setText(QStringLiteral("m3"));
  b.setCol(5);
  b.setNumber(12.5 + i % 100);
  b.setCol(6);
  b.setNumber(1834.27 + i);
  b.setCol(7);
  b.setNumber((12.5 + i % 100) * (1834.27 + i));
  b.setCol(8);
  b.setNumber(0.0001 * (i % 97));
  b.setCol(9);
  b.setNumber(43831 + i % 365);
  b.setCol(10);
  b.setText(QStringLiteral("Partida %1").arg(i / 50 + 1));
}

double libxlsxwriterSave(const QString& path, int rows) {
  QElapsedTimer t;
  t.start();
  lxw_workbook* wb = workbook_new(QFile::encodeName(path).constData());
  lxw_worksheet* ws = workbook_add_worksheet(wb, "Reporte");
  const char* formats[kCols] = {"@", "@", "General", "@", "#,###,###,##0.00##", "$#,##0.00", "$#,##0.00",
                                "#,##0.0000%", "dd/mm/yyyy", "@"};
  lxw_format* f[kCols];
  for (int c = 0; c < kCols; ++c) {
    f[c] = workbook_add_format(wb);
    format_set_font_name(f[c], "Arial");
    format_set_font_size(f[c], 8);
    format_set_num_format(f[c], formats[c]);
    format_set_left(f[c], LXW_BORDER_THIN);
    format_set_right(f[c], LXW_BORDER_THIN);
    format_set_align(f[c], LXW_ALIGN_VERTICAL_TOP);
    if (c == 1)
      format_set_text_wrap(f[c]);
  }
  for (int i = 0; i < rows; ++i) {
    const lxw_row_t r = lxw_row_t(i + 1);
    worksheet_set_row(ws, r, i % 3 ? 33.75 : 22.5, nullptr);
    worksheet_write_string(ws, r, 0, QStringLiteral("C-%1").arg(i, 5, 10, QLatin1Char('0')).toUtf8().constData(), f[0]);
    worksheet_write_string(ws, r, 1, description(i).toUtf8().constData(), f[1]);
    worksheet_write_number(ws, r, 2, i, f[2]);
    worksheet_write_string(ws, r, 3, "m3", f[3]);
    worksheet_write_number(ws, r, 4, 12.5 + i % 100, f[4]);
    worksheet_write_number(ws, r, 5, 1834.27 + i, f[5]);
    worksheet_write_number(ws, r, 6, (12.5 + i % 100) * (1834.27 + i), f[6]);
    worksheet_write_number(ws, r, 7, 0.0001 * (i % 97), f[7]);
    worksheet_write_number(ws, r, 8, 43831 + i % 365, f[8]);
    worksheet_write_string(ws, r, 9, QStringLiteral("Partida %1").arg(i / 50 + 1).toUtf8().constData(), f[9]);
  }
  workbook_close(wb);
  return t.nsecsElapsed() / 1e9;
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const int rows = argc > 1 ? std::max(1, atoi(argv[1])) : 15000;
  QTemporaryDir tmp;
  const QString folder = argc > 2 ? QString::fromLocal8Bit(argv[2]) : tmp.path();
  QDir().mkpath(folder);

  wb::Book b;
  QElapsedTimer t;
  t.start();
  b.setRepaint(false);
  templateRow(b);
  b.setSelection(1, 1, 1, kCols);
  b.editCopy();
  for (int i = 0; i < rows; ++i) {
    const int r = i + 2;
    b.setActiveCell(r, 1);
    b.editPaste();
    fill(b, r, i);
    b.setRowHeightAuto(r, 1, r, 255, true);
  }
  b.setRepaint(true);
  const double build = t.nsecsElapsed() / 1e9;

  const QString ours = folder + QStringLiteral("/sheet-ours.xlsx");
  t.restart();
  b.write(ours);
  const double save = t.nsecsElapsed() / 1e9;

  const double floor = libxlsxwriterSave(folder + QStringLiteral("/sheet-libxlsxwriter.xlsx"), rows);

  wb::Book back;
  t.restart();
  back.read(ours);
  const double read = t.nsecsElapsed() / 1e9;
  const bool same = back.lastRow() == rows + 1 && back.lastCol() == kCols;

  b.pageSetup().titleRows = std::pair{1, 1};
  b.setPrintFooter(QStringLiteral("&CPágina &P de &N"));
  const QString pdf = folder + QStringLiteral("/sheet.pdf");
  t.restart();
  wb::PrintService::instance().exportPdf(b, pdf);
  const double print = t.nsecsElapsed() / 1e9;
  const int pages =
      wb::SheetPrintLayout(b.workbook(), b.currentSheet(), wb::PrintService::instance().paperSize()).pageCount();

  std::printf("rows %d x %d columns, %d styles\n", rows, kCols, b.workbook().styles.size());
  std::printf("build (paste template row, fill, auto-fit) %7.3f s   target < 1 s        %s\n", build,
              build < 1 ? "ok" : "MISSED");
  std::printf("save .xlsx                                 %7.3f s   (%lld bytes)\n", save,
              static_cast<long long>(QFileInfo(ours).size()));
  std::printf("libxlsxwriter, same cells                  %7.3f s   ratio %.2f, target <= 2  %s\n", floor,
              save / floor, save <= 2 * floor ? "ok" : "MISSED");
  std::printf("read back                                  %7.3f s   %s\n", read, same ? "same size" : "DIFFERENT");
  std::printf("render to PDF (%4d pages)                  %7.3f s   target < 3 s        %s\n", pages, print,
              print < 3 ? "ok" : "MISSED");
  std::printf("peak memory                                %7ld MB   target < 300 MB     %s\n", peakMb(),
              peakMb() < 300 ? "ok" : "MISSED");
  return 0;
}
