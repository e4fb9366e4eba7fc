#include "printsamples.h"

#include <QBuffer>
#include <cmath>
#include <QImage>
#include <QPainter>

namespace samples {

QByteArray logoPng() {
  QImage img(160, 80, QImage::Format_RGB32);
  img.fill(Qt::white);
  QPainter p(&img);
  p.setPen(QPen(QColor(0x1F, 0x4E, 0x79), 6));
  p.drawRect(3, 3, 154, 74);
  p.drawLine(0, 80, 160, 0);
  p.end();
  QByteArray out;
  QBuffer buf(&out);
  buf.open(QIODevice::WriteOnly);
  img.save(&buf, "PNG");
  return out;
}

void plainRows(wb::Book& b, int rows, int height) {
  wb::PageSetup& ps = b.pageSetup();
  ps.top = ps.bottom = ps.left = ps.right = 1.0;
  for (int r = 1; r <= rows; ++r) {
    b.setActiveCell(r, 1);
    b.setNumber(r);
    b.setRowHeight(r, height);
  }
}

void budget(wb::Book& b, int rows) {
  const int widths[] = {900, 3900, 700, 1100, 1400, 1600};
  for (int c = 1; c <= 6; ++c)
    b.setColWidth(c, widths[c - 1]);
  b.addPicture(wb::ObjPos{1.1, 1.1, 2.0, 3.9}, logoPng(), QStringLiteral("png"));

  b.setSelection(1, 2, 1, 6);
  b.workbook().sheets[0]->merges.push_back(wb::Range{1, 2, 1, 6});
  b.setActiveCell(1, 2);
  b.setText(QStringLiteral("CONSTRUCTORA DEL NORTE, S.A. DE C.V."));
  b.setFont(QStringLiteral("Arial"), 14, true, false, false, false, 0x1F4E79, false, false);
  b.setAlignment({wb::HAlign::Center, false, wb::VAlign::Center, 0});
  b.setRowHeight(1, 480);
  b.setActiveCell(2, 3);
  b.setText(QStringLiteral("Obra: Rehabilitación del mercado municipal, primera etapa, Monterrey, N.L."));
  b.setFont(QStringLiteral("Arial"), 9, false, true, false, false, 0, false, false);
  b.setActiveCell(3, 6);
  b.setText(QStringLiteral("Fecha: 15/03/2009"));
  b.setAlignment({wb::HAlign::Right, false, wb::VAlign::Bottom, 0});

  const char* heads[] = {"Clave", "Descripción", "Unidad", "Cantidad", "Precio unitario", "Importe"};
  for (int c = 1; c <= 6; ++c) {
    b.setActiveCell(4, c);
    b.setText(QString::fromUtf8(heads[c - 1]));
    b.setFont(QStringLiteral("Arial"), 8, true, false, false, false, 0xFFFFFF, false, false);
    b.setPattern(1, 0x1F4E79, 0xFFFFFF);
    b.setAlignment({wb::HAlign::Center, true, wb::VAlign::Center, 0});
    b.setBorder(1, -1, -1, -1, -1, -1, 0, wb::kKeepColor, wb::kKeepColor, wb::kKeepColor, wb::kKeepColor);
  }
  b.setRowHeightAuto(4, 1, 4, 255, true);

  for (int i = 0; i < rows; ++i) {
    const int r = 5 + i;
    auto cell = [&](int c) {
      b.setActiveCell(r, c);
      b.setFont(QStringLiteral("Arial"), 8, false, false, false, false, 0, false, false);
      b.setBorder(-1, 1, 1, -1, i == rows - 1 ? 1 : -1, -1, wb::kKeepColor, 0, 0, wb::kKeepColor, 0);
    };
    cell(1);
    b.setText(QStringLiteral("C-%1").arg(i + 1, 4, 10, QLatin1Char('0')));
    cell(2);
    b.setAlignment({wb::HAlign::Left, true, wb::VAlign::Top, 0});
    b.setText(i % 3 == 0 ? QStringLiteral("Suministro y colocación de concreto premezclado f'c=250 kg/cm2 en losas, "
                                          "incluye cimbra, descimbra y acarreos")
                         : QStringLiteral("Excavación a mano en cepas, material tipo II"));
    cell(3);
    b.setAlignment({wb::HAlign::Center, false, wb::VAlign::Top, 0});
    b.setText(i % 2 ? QStringLiteral("m3") : QStringLiteral("m2"));
    cell(4);
    b.setNumberFormat(QStringLiteral("#,##0.00"));
    b.setAlignment({wb::HAlign::General, false, wb::VAlign::Top, 0});
    b.setNumber(12.5 + i);
    cell(5);
    b.setNumberFormat(QStringLiteral("_($* #,##0.00_)"));
    b.setAlignment({wb::HAlign::General, false, wb::VAlign::Top, 0});
    b.setNumber(1834.27 + 10 * i);
    cell(6);
    b.setNumberFormat(QStringLiteral("$#,##0.00"));
    b.setAlignment({wb::HAlign::General, false, wb::VAlign::Top, 0});
    b.setNumber((12.5 + i) * (1834.27 + 10 * i));
    b.setRowHeightAuto(r, 1, r, 255, true);
  }
  wb::PageSetup& ps = b.pageSetup();
  ps.titleRows = std::pair{4, 4};
  ps.header = QStringLiteral("&L&8Concurso 2009-17&R&8&D");
  ps.footer = QStringLiteral("&CPágina &P de &N");
  ps.top = ps.bottom = 0.75;
  ps.left = ps.right = 0.7;
  if (rows > 60)
    b.addRowPageBreak(5 + rows / 2);
  b.setShowGridlines(false);
}

int pagedReport(wb::Book& b, int concepts, double paperHeight) {
  const int widths[] = {1000, 4600, 800, 1300, 1500};
  for (int c = 1; c <= 5; ++c)
    b.setColWidth(c, widths[c - 1]);
  wb::PageSetup& ps = b.pageSetup();
  ps.top = ps.bottom = 0.75;
  ps.left = ps.right = 0.6;
  ps.footer = QStringLiteral("&CPágina &P de &N");
  const QByteArray logo = logoPng();
  auto setFont = [&](int size, bool bold) {
    b.setFont(QStringLiteral("Arial"), size, bold, false, false, false, 0, false, false);
  };
  // The title block: company, work, column headings (3 rows); the footer: one row.
  auto titles = [&](int r) {
    b.addPicture(wb::ObjPos{1.05, double(r) + 0.05, 1.95, double(r) + 1.95}, logo, QStringLiteral("png"));
    b.setActiveCell(r, 2);
    b.setText(QStringLiteral("CONSTRUCTORA DEL NORTE, S.A. DE C.V."));
    setFont(12, true);
    b.setActiveCell(r + 1, 2);
    b.setText(QStringLiteral("Presupuesto de obra"));
    setFont(9, false);
    const char* heads[] = {"Clave", "Descripción", "Unidad", "Cantidad", "Importe"};
    for (int c = 1; c <= 5; ++c) {
      b.setActiveCell(r + 2, c);
      b.setText(QString::fromUtf8(heads[c - 1]));
      setFont(8, true);
      b.setAlignment({wb::HAlign::Center, false, wb::VAlign::Center, 0});
      b.setBorder(1, -1, -1, -1, -1, -1, 0, wb::kKeepColor, wb::kKeepColor, wb::kKeepColor, wb::kKeepColor);
    }
    b.setRowHeight(r, 400);
    b.setRowHeight(r + 1, 300);
    b.setRowHeight(r + 2, 300);
    return 1000;
  };
  auto footer = [&](int r, double total) {
    b.setActiveCell(r, 4);
    b.setText(QStringLiteral("Total de la hoja"));
    setFont(8, true);
    b.setActiveCell(r, 5);
    b.setNumber(total);
    b.setNumberFormat(QStringLiteral("$#,##0.00"));
    setFont(8, true);
    b.setBorder(-1, -1, -1, 1, -1, -1, wb::kKeepColor, wb::kKeepColor, wb::kKeepColor, 0, wb::kKeepColor);
    b.setRowHeight(r, 300);
    return 300;
  };
  const double titleH = 1000, footerH = 300;
  const double budget = paperHeight - (ps.top + ps.bottom) * 2.54 * 565.0 - titleH - footerH - 700;
  int r = 1, pages = 1;
  titles(r);
  r += 3;
  double used = 0, total = 0;
  for (int i = 0; i < concepts; ++i) {
    b.setActiveCell(r, 1);
    b.setText(QStringLiteral("C-%1").arg(i + 1, 4, 10, QLatin1Char('0')));
    setFont(8, false);
    b.setActiveCell(r, 2);
    b.setText(i % 4 == 0 ? QStringLiteral("Suministro y colocación de acero de refuerzo fy=4200 kg/cm2 en cimentación, "
                                          "incluye habilitado, armado, silletas, alambre recocido y desperdicios")
                         : QStringLiteral("Relleno compactado con material de banco al 90% proctor"));
    setFont(8, false);
    b.setAlignment({wb::HAlign::Left, true, wb::VAlign::Top, 0});
    b.setActiveCell(r, 3);
    b.setText(QStringLiteral("m3"));
    setFont(8, false);
    b.setActiveCell(r, 4);
    b.setNumber(10 + i);
    setFont(8, false);
    b.setActiveCell(r, 5);
    const double amount = (10 + i) * 215.5;
    b.setNumber(amount);
    b.setNumberFormat(QStringLiteral("$#,##0.00"));
    setFont(8, false);
    b.setRowHeightAuto(r, 1, r, 255, true);
    used += b.rowHeight(r);
    total += amount;
    if (used >= budget && i + 1 < concepts) {
      // The row that did not fit goes to the next page: filler, footer, break, titles, the row again.
      used -= b.rowHeight(r);
      total -= amount;
      b.clearRange(r, 1, r, 255, wb::Book::ClearMode::All);
      if (used + 50 < budget) {
        b.setRowHeight(r, int(std::nearbyint((budget - used) * 0.995)));
        ++r;
      }
      footer(r, total);
      ++r;
      b.addRowPageBreak(r);
      titles(r);
      r += 3;
      ++pages;
      used = 0;
      total = 0;
      --i;
      continue;
    }
    ++r;
  }
  b.setRowHeight(r, int(std::nearbyint((budget - used) * 0.995)));
  footer(r + 1, total);
  b.setShowGridlines(false);
  return pages;
}

}  // namespace samples
