#include "copiadogrid.h"

#include "boundgrid.h"
#include "dao.h"
#include "datacontrol.h"
#include "forms.h"
#include "portapapeles.h"
#include "utilidades.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>

namespace copiado {

namespace {

// The grid a control is, or whose cell editor it is, when that grid is the window's "Grid1".
ui::BoundGrid* gridDe(QWidget* control) {
  for (QWidget* w = control; w; w = w->parentWidget()) {
    if (auto* grid = qobject_cast<ui::BoundGrid*>(w))
      return grid->objectName().toLower() == u"grid1" ? grid : nullptr;
    if (ui::Forms::instance().isLoaded(w))
      break;
  }
  return nullptr;
}

// The name of the loaded form a control sits in.
QString formaDe(QWidget* control) {
  for (QWidget* w = control; w; w = w->parentWidget())
    if (ui::Forms::instance().isLoaded(w))
      return ui::Forms::name(w);
  return {};
}

QLineEdit* lineaDe(QWidget* control) {
  if (auto* linea = qobject_cast<QLineEdit*>(control))
    return linea;
  auto* combo = qobject_cast<QComboBox*>(control);
  return combo && combo->isEditable() ? combo->lineEdit() : nullptr;
}

// A text control's selected text; error 438 for a control without text.
QString textoSeleccionado(QWidget* control) {
  if (QLineEdit* linea = lineaDe(control))
    return linea->selectedText();
  QString texto;
  if (auto* edicion = qobject_cast<QTextEdit*>(control))
    texto = edicion->textCursor().selectedText();
  else if (auto* plano = qobject_cast<QPlainTextEdit*>(control))
    texto = plano->textCursor().selectedText();
  else
    throw vb::Error(438);
  return texto.replace(QChar::ParagraphSeparator, QStringLiteral("\r\n"));
}

// Replaces a text control's text; error 438 for a control without text.
void ponTexto(QWidget* control, QString texto) {
  texto.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  if (QLineEdit* linea = lineaDe(control))
    linea->setText(texto);
  else if (auto* edicion = qobject_cast<QTextEdit*>(control))
    edicion->setPlainText(texto);
  else if (auto* plano = qobject_cast<QPlainTextEdit*>(control))
    plano->setPlainText(texto);
  else
    throw vb::Error(438);
}

}  // namespace

void copiaClipboard(QWidget* control) {
  if (ui::BoundGrid* grid = gridDe(control)) {
    CopiaDeGrid copia(*grid);
    copiado::copiaClipboard(copia);
    return;
  }
  try {
    portapapeles().Limpia();
    if (control)
      portapapeles().PonTexto(textoSeleccionado(control));
  } catch (const vb::Error&) {
    // 438: the control holds no text to copy.
  }
}

void pegaClipboard(QWidget* control) {
  if (ui::BoundGrid* grid = gridDe(control)) {
    PegadoEnGrid destino(*grid, formaDe(grid));
    copiado::pegaClipboard(destino);
    return;
  }
  try {
    if (control)
      ponTexto(control, portapapeles().Texto());
  } catch (const vb::Error&) {
    // 438: the control takes no text.
  }
}

// ---- CopiaDeGrid

int CopiaDeGrid::Columnas() const { return grid_.Columns().Count(); }
bool CopiaDeGrid::Visible(int col) const { return grid_.Columns(col).Visible(); }
QString CopiaDeGrid::Caption(int col) const { return grid_.Columns(col).Caption(); }
QString CopiaDeGrid::Texto(const dao::Bookmark& fila, int col) { return grid_.Columns(col).CellText(fila); }

std::vector<dao::Bookmark> CopiaDeGrid::Marcados() const {
  std::vector<dao::Bookmark> filas;
  const ui::SelectedBookmarks& marcas = grid_.SelBookmarks();
  for (int i = 0; i < marcas.Count(); ++i)
    filas.push_back(marcas.Item(i));
  return filas;
}

// ---- PegadoEnGrid

bool PegadoEnGrid::PegaCelda(const QString& texto) {
  if (!grid_.CellEditable(grid_.Col()))
    return false;
  grid_.CommitCell(grid_.Col(), texto);
  return true;
}

void PegadoEnGrid::PreparaBloque() {
  if (forma_ != u"FrmPre" || !grid_.DataSource())
    return;
  const std::shared_ptr<dao::Recordset>& rs = grid_.DataSource()->Recordset();
  if (rs && rs->RecordCount() > 0 && general::esNulo(grid_.Columns(QStringLiteral("codigo")).Value())) {
    rs->MoveFirst();
    grid_.Refresh();
  }
}

void PegadoEnGrid::Refresca() { grid_.Refresh(); }

}  // namespace copiado
