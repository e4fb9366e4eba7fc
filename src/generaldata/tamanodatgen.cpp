// The dialog's size. The navigator lays it out at its design size, which stays the smallest one; the
// dialog opens as large as the bid's texts and the footer's columns need (within the screen), and
// may be enlarged: the pages, the page list and the grids on them grow with it, the buttons keep to
// its lower right corner.
#include "frmdatgen.h"

#include "textbox.h"
#include "vbcontrols.h"

#include <QAbstractSpinBox>
#include <QHeaderView>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QResizeEvent>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QTableView>
#include <QTextDocument>

#include <algorithm>
#include <cmath>

namespace {

// Lays a widget's children out at its present size, and theirs: a page not on show is laid out too.
void aplicaDisposicion(QWidget* w) {
  if (QLayout* l = w->layout()) l->setGeometry(w->contentsRect());
  if (qobject_cast<QAbstractScrollArea*>(w) || qobject_cast<QAbstractSpinBox*>(w)) return;
  for (QObject* o : w->children())
    if (auto* hijo = qobject_cast<QWidget*>(o); hijo && !hijo->isWindow()) aplicaDisposicion(hijo);
}

int marcoDe(const QWidget* w) { return w->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, w); }

// What a box lacks to show its whole text: width for a line, width for the lines of a box of several
// when they do not fit its height.
int faltaLinea(const QLineEdit* e) {
  const QMargins m = e->textMargins();
  const int necesario = e->fontMetrics().horizontalAdvance(e->text()) + m.left() + m.right() + 2 * marcoDe(e) + 8;
  return necesario - e->width();
}

int faltaLineas(const ui::TextBox* t) {
  const QString texto = t->toPlainText();
  if (texto.trimmed().isEmpty()) return 0;
  const QFontMetrics fm = t->fontMetrics();
  const int margen = int(std::ceil(t->document()->documentMargin()));
  const int ancho = t->width() - 2 * marcoDe(t) - 2 * margen - t->verticalScrollBar()->sizeHint().width();
  const int alto = t->height() - 2 * marcoDe(t) - 2 * margen;
  const QRect ocupado = fm.boundingRect(QRect(0, 0, std::max(ancho, 1), 1 << 20), Qt::TextWordWrap, texto);
  if (ocupado.height() <= alto) return 0;
  const int renglones = std::max(1, alto / fm.lineSpacing());
  // The text spread over the lines the box shows, with room for the words that do not break evenly.
  return int(fm.horizontalAdvance(texto) / renglones) + 6 * fm.averageCharWidth() - ancho;
}

// A grid shows all its columns, and all its rows.
QSize faltaGrid(const QTableView* g) {
  const int marco = 2 * g->frameWidth();
  const QHeaderView* filas = g->verticalHeader();
  const QHeaderView* columnas = g->horizontalHeader();
  const int encabezadoFilas = filas->isHidden() ? 0 : std::max(filas->sizeHint().width(), filas->minimumWidth());
  const int encabezadoColumnas =
      columnas->isHidden() ? 0 : std::max(columnas->sizeHint().height(), columnas->minimumHeight());
  const int ancho = marco + encabezadoFilas + columnas->length() + g->verticalScrollBar()->sizeHint().width();
  const int alto = marco + encabezadoColumnas + filas->length() + g->horizontalScrollBar()->sizeHint().height();
  return {ancho - g->width(), alto - g->height()};
}

bool puedeCrecer(const QWidget* w) { return w->maximumWidth() > w->width(); }

}  // namespace

void FrmDatGen::fijaDisenio(const QSize& disenio) {
  disenio_ = disenio;
  setMinimumSize(disenio);
  setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
  resize(disenio);
  anclados_.clear();
  for (int i = 1; i <= 8; ++i)
    if (VbFrame* marco = fraMarco(i)) anclados_.push_back({marco, marco->geometry(), Anclado::Crece});
  if (auto* lista = findChild<QWidget*>(QStringLiteral("tvwOpciones")); lista && lista->parentWidget() == this)
    anclados_.push_back({lista, lista->geometry(), Anclado::CreceAlto});
  for (QPushButton* b : {Aceptar, Cancelar}) anclados_.push_back({b, b->geometry(), Anclado::Esquina});
}

void FrmDatGen::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  colocaPaginas();
}

void FrmDatGen::colocaPaginas() {
  if (disenio_.isEmpty()) return;
  const QSize crece = size() - disenio_;
  for (const Anclado& a : anclados_) {
    if (!a.control) continue;
    switch (a.modo) {
      case Anclado::Crece: a.control->setGeometry(a.base.adjusted(0, 0, crece.width(), crece.height())); break;
      case Anclado::CreceAlto: a.control->setGeometry(a.base.adjusted(0, 0, 0, crece.height())); break;
      case Anclado::Esquina: a.control->move(a.base.topLeft() + QPoint(crece.width(), crece.height())); break;
    }
  }
  // The caption bar over the page on show spans it.
  if (auto* titulo = findChild<QLabel*>(QStringLiteral("lblOpciones")); titulo && titulo->parentWidget() != this)
    titulo->resize(titulo->parentWidget()->width(), titulo->height());
}

void FrmDatGen::ajustaATextos() {
  if (disenio_.isEmpty()) return;
  const QScreen* pantalla = screen();
  if (!pantalla) return;
  // The window's own frame is not known before it is shown: room for a title bar and borders.
  const QSize tope = pantalla->availableGeometry().size() - QSize(16, 48);
  // Each pass grows the dialog by what the most lacking box or grid lacks; a box that shares the
  // growth with another column takes a few passes.
  for (int pasada = 0; pasada < 12; ++pasada) {
    QSize falta(0, 0);
    for (int i = 1; i <= 8; ++i) {
      VbFrame* marco = fraMarco(i);
      if (!marco) continue;
      aplicaDisposicion(marco);
      for (QLineEdit* e : marco->findChildren<QLineEdit*>()) {
        if (!e->isVisibleTo(marco) || !puedeCrecer(e) || qobject_cast<QAbstractSpinBox*>(e->parentWidget()) ||
            qobject_cast<QAbstractItemView*>(e->parentWidget() ? e->parentWidget()->parentWidget() : nullptr))
          continue;
        falta.setWidth(std::max(falta.width(), faltaLinea(e)));
      }
      for (ui::TextBox* t : marco->findChildren<ui::TextBox*>())
        if (t->isVisibleTo(marco) && puedeCrecer(t)) falta.setWidth(std::max(falta.width(), faltaLineas(t)));
      for (QTableView* g : marco->findChildren<QTableView*>())
        if (g->isVisibleTo(marco)) falta = falta.expandedTo(faltaGrid(g));
    }
    const QSize nuevo = (size() + falta).boundedTo(tope).expandedTo(size());
    if (nuevo == size()) break;
    resize(nuevo);
    colocaPaginas();
  }
}
