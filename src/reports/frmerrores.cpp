#include "frmerrores.h"

#include "contextoreporte.h"
#include "dialogos.h"
#include "escritores.h"
#include "msgbox.h"
#include "printing.h"

#include <QFontDatabase>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QPushButton>
#include <QScrollBar>
#include <QAbstractTextDocumentLayout>
#include <QTextDocument>

#include <cmath>

using dialogos::control;
using dialogos::twips;

namespace {

// The list is laid out in fixed columns: a font whose letters all have one width, on screen and on
// paper.
QFont fuenteFija(int puntos) {
  QFont f(QStringLiteral("Liberation Mono"), puntos);
  f.setStyleHint(QFont::Monospace);
  f.setFixedPitch(true);
  return f;
}

}  // namespace

FrmErrores::FrmErrores(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("FrmErrores"));
  setWindowTitle(QStringLiteral("Errores"));
  setFixedSize(ui::twipsToPixels(QSizeF(6315, 5400)));
  Text1 = control<QPlainTextEdit>(this, QStringLiteral("Text1"), twips(30, 30, 6255, 4860));
  Text1->setFont(fuenteFija(9));
  Text1->setLineWrapMode(QPlainTextEdit::NoWrap);
  Text1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
  Text1->setTabChangesFocus(true);
  anchoLista_ = Text1->width();
  Salir = control<QPushButton>(this, QStringLiteral("Salir"), QStringLiteral("&Salir"), twips(3960, 4980, 1095, 315));
  Imprimir = control<QPushButton>(this, QStringLiteral("Imprimir"), QStringLiteral("&Imprimir"),
                                  twips(5190, 4980, 1095, 315));
  setTabOrder(Salir, Imprimir);
  setTabOrder(Imprimir, Text1);
  connect(Text1, &QPlainTextEdit::textChanged, this, [this] { ajustaAncho(); });
  connect(Salir, &QPushButton::clicked, this, [this] { Salir_Click(); });
  connect(Imprimir, &QPushButton::clicked, this, [this] { Imprimir_Click(); });
}

// The list as wide as its longest line (its title), so that no line is cut on screen; never narrower
// than the window was drawn. The buttons keep their place at the right of the foot.
void FrmErrores::ajustaAncho() {
  const QFontMetrics fm(Text1->font());
  int linea = 0;
  for (QString l : Text1->toPlainText().split(QLatin1Char('\n')))
    linea = std::max(linea, fm.horizontalAdvance(l.remove(QLatin1Char('\r'))));
  // The frame, the document's margins, the cursor and the vertical scroll bar around the text.
  const int bordes = 2 * Text1->frameWidth() + 2 * int(std::ceil(Text1->document()->documentMargin())) +
                     Text1->cursorWidth() + Text1->verticalScrollBar()->sizeHint().width();
  const int ancho = std::max(anchoLista_, linea + bordes);
  const int cambio = ancho - Text1->width();
  if (cambio == 0)
    return;
  Text1->resize(ancho, Text1->height());
  for (QPushButton* b : {Salir, Imprimir})
    b->move(b->x() + cambio, b->y());
  setFixedSize(width() + cambio, height());
}

void FrmErrores::Muestra(const QString& texto) {
  auto& formas = ui::Forms::instance();
  FrmErrores* forma = formas.get<FrmErrores>();
  if (!forma)
    return;
  forma->Text1->setPlainText(texto);
  forma->Salir->setFocus();
  formas.showModal(forma);
}

void FrmErrores::Form_Unload() { Text1->clear(); }

void FrmErrores::Salir_Click() { ui::Forms::instance().unload(this); }

void FrmErrores::reject() { Salir_Click(); }

void FrmErrores::Imprimir_Click() {
  wb::PrintService& servicio = wb::PrintService::instance();
  // Printed to a file: "Errores.pdf" in the bid's folder, never over a file unasked.
  const bool archivo = servicio.printer().outputFormat() == QPrinter::PdfFormat;
  const QString pdf = archivo ? repgen::archivoPdf(QStringLiteral("Errores")) : QString();
  if (archivo && !wb::PrintService::mayReplace(pdf))
    return;
  QTextDocument documento;
  documento.setDefaultFont(fuenteFija(10));
  documento.setPlainText(Text1->toPlainText());
  try {
    const bool impreso = servicio.printPages(pdf, [&](QPagedPaintDevice& hoja, int resolucion) {
      QPainter p;
      if (!p.begin(&hoja))
        return false;
      // The printer paints on the whole paper: the text goes inside a margin of one inch.
      documento.documentLayout()->setPaintDevice(&hoja);
      const double pulgada = resolucion;
      const QRectF papel = hoja.pageLayout().fullRectPixels(resolucion);
      const QSizeF pagina(papel.width() - 2 * pulgada, papel.height() - 2 * pulgada);
      documento.setPageSize(pagina);
      for (int i = 0; i < documento.pageCount(); ++i) {
        if (i > 0)
          hoja.newPage();
        p.save();
        p.translate(pulgada, pulgada - i * pagina.height());
        documento.drawContents(&p, QRectF(QPointF(0, i * pagina.height()), pagina));
        p.restore();
      }
      return p.end();
    });
    if (!impreso)
      ui::MsgBox(QStringLiteral("Error en FrmErrores.Imprimir_Click: 20102 No se puede imprimir en \"") +
                 servicio.printerName() + QLatin1Char('"'));
  } catch (const vb::Error& e) {
    ui::MsgBox(QStringLiteral("Error en FrmErrores.Imprimir_Click: ") + QString::number(e.number()) + QLatin1Char(' ') +
               e.description());
  }
}

void repgen::muestraErrores(const QString& texto) { FrmErrores::Muestra(texto); }
