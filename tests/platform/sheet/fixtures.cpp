#include "fixtures.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <stdexcept>
#include <xlsxwriter.h>
#include <zip.h>

namespace fixtures {

QByteArray pngBytes(int w, int h) {
  QImage img(w, h, QImage::Format_RGB32);
  img.fill(Qt::white);
  QPainter p(&img);
  p.setPen(Qt::black);
  p.drawRect(0, 0, w - 1, h - 1);
  p.end();
  QByteArray out;
  QBuffer buf(&out);
  buf.open(QIODevice::WriteOnly);
  img.save(&buf, "PNG");
  return out;
}

void writeRichWorkbook(const QString& path) {
  lxw_workbook* wb = workbook_new(QFile::encodeName(path).constData());
  lxw_worksheet* ws = workbook_add_worksheet(wb, "Presupuesto");
  lxw_worksheet* ws2 = workbook_add_worksheet(wb, "Segunda");

  lxw_format* title = workbook_add_format(wb);
  format_set_font_name(title, "Arial");
  format_set_font_size(title, 12);
  format_set_bold(title);
  format_set_italic(title);
  format_set_underline(title, LXW_UNDERLINE_SINGLE);
  format_set_font_color(title, 0x1F4E79);

  lxw_format* money = workbook_add_format(wb);
  format_set_num_format(money, "$#,##0.00");
  format_set_border(money, LXW_BORDER_THIN);
  format_set_right(money, LXW_BORDER_MEDIUM);
  format_set_right_color(money, 0xFF0000);

  lxw_format* heading = workbook_add_format(wb);
  format_set_pattern(heading, LXW_PATTERN_SOLID);
  format_set_fg_color(heading, 0xD9D9D9);
  format_set_align(heading, LXW_ALIGN_CENTER);
  format_set_align(heading, LXW_ALIGN_VERTICAL_TOP);
  format_set_text_wrap(heading);
  format_set_font_strikeout(heading);

  lxw_format* date = workbook_add_format(wb);
  format_set_num_format_index(date, 14);

  lxw_format* rotated = workbook_add_format(wb);
  format_set_rotation(rotated, 90);
  format_set_num_format(rotated, "#,###,###,##0.00##");

  lxw_format* formattedEmpty = workbook_add_format(wb);
  format_set_border(formattedEmpty, LXW_BORDER_DOUBLE);

  worksheet_write_string(ws, 0, 0, "{titulos}", nullptr);
  worksheet_write_string(ws, 1, 1, "Información del año", title);
  worksheet_write_string(ws, 2, 0, "Descripción larga", heading);
  worksheet_write_number(ws, 2, 1, 1234.5, money);
  worksheet_write_number(ws, 3, 1, 39887, date);  // 15/03/2009
  worksheet_write_number(ws, 4, 1, 9876543.21, rotated);
  worksheet_write_string(ws, 5, 0, "  blancos  ", nullptr);
  worksheet_write_boolean(ws, 5, 1, 1, nullptr);
  worksheet_write_formula_num(ws, 6, 1, "=B3*2", nullptr, 2469);
  worksheet_write_formula_str(ws, 6, 2, "=\"x\"&A1", nullptr, "x{titulos}");
  worksheet_write_blank(ws, 9, 6, formattedEmpty);  // G10: formatted, no value
  worksheet_merge_range(ws, 7, 0, 7, 2, "Combinada", heading);

  worksheet_set_column(ws, 0, 0, 12.57, nullptr);
  worksheet_set_column(ws, 1, 1, 30, nullptr);
  worksheet_set_row(ws, 1, 30, nullptr);
  lxw_row_col_options hidden = {1, 0, 0};
  worksheet_set_row_opt(ws, 8, LXW_DEF_ROW_HEIGHT, nullptr, &hidden);

  worksheet_set_landscape(ws);
  worksheet_set_paper(ws, 1);
  worksheet_set_margins(ws, 0.4, 0.5, 0.75, 0.8);
  worksheet_set_header(ws, "&L&8{razón social}&RConcurso");
  worksheet_set_footer(ws, "&CHoja &P de &N");
  worksheet_print_area(ws, 0, 0, 59, 6);
  worksheet_repeat_rows(ws, 1, 3);
  lxw_row_t breaks[] = {20, 40, 0};
  worksheet_set_h_pagebreaks(ws, breaks);
  worksheet_center_horizontally(ws);
  worksheet_gridlines(ws, LXW_HIDE_ALL_GRIDLINES);

  static QByteArray png = pngBytes(96, 40);
  lxw_image_options io = {};
  io.x_offset = 16;
  io.y_offset = 4;
  worksheet_insert_image_buffer_opt(ws, 1, 2, reinterpret_cast<const unsigned char*>(png.constData()),
                                    size_t(png.size()), &io);

  worksheet_write_string(ws2, 0, 0, "otra", nullptr);
  lxw_data_validation dv = {};
  dv.validate = LXW_VALIDATION_TYPE_INTEGER;
  dv.criteria = LXW_VALIDATION_CRITERIA_BETWEEN;
  dv.minimum_number = 1;
  dv.maximum_number = 10;
  worksheet_data_validation_cell(ws2, 2, 2, &dv);
  worksheet_write_number(ws2, 1, 0, 3, nullptr);
  worksheet_write_number(ws2, 2, 0, 5, nullptr);
  lxw_chart* chart = workbook_add_chart(wb, LXW_CHART_COLUMN);
  chart_add_series(chart, nullptr, "=Segunda!$A$1:$A$3");
  worksheet_insert_chart(ws2, 5, 1, chart);
  worksheet_activate(ws2);

  if (workbook_close(wb) != LXW_NO_ERROR)
    throw std::runtime_error("libxlsxwriter failed");
}

QByteArray zipPart(const QString& zipPath, const QString& part) {
  int err = 0;
  zip_t* za = zip_open(QFile::encodeName(zipPath).constData(), ZIP_RDONLY, &err);
  if (!za)
    return {};
  QByteArray out;
  zip_stat_t st;
  if (zip_stat(za, part.toUtf8().constData(), 0, &st) == 0) {
    out.resize(qsizetype(st.size));
    zip_file_t* f = zip_fopen(za, part.toUtf8().constData(), 0);
    zip_fread(f, out.data(), st.size);
    zip_fclose(f);
  }
  zip_discard(za);
  return out;
}

void zipPut(const QString& zipPath, const QString& part, const QByteArray& data) {
  int err = 0;
  zip_t* za = zip_open(QFile::encodeName(zipPath).constData(), 0, &err);
  if (!za)
    throw std::runtime_error("zip_open");
  auto* copy = new QByteArray(data);
  zip_source_t* src = zip_source_buffer(za, copy->constData(), zip_uint64_t(copy->size()), 0);
  zip_file_add(za, part.toUtf8().constData(), src, ZIP_FL_OVERWRITE | ZIP_FL_ENC_UTF_8);
  zip_close(za);
  delete copy;
}

void zipDelete(const QString& zipPath, const QString& part) {
  int err = 0;
  zip_t* za = zip_open(QFile::encodeName(zipPath).constData(), 0, &err);
  if (!za)
    throw std::runtime_error("zip_open");
  const zip_int64_t i = zip_name_locate(za, part.toUtf8().constData(), 0);
  if (i >= 0)
    zip_delete(za, zip_uint64_t(i));
  zip_close(za);
}

}  // namespace fixtures
