// The wizard style of the navigator: its chrome (banner, etched lines, opening and closing pages,
// button row) and the moves between pages.
#include <QLabel>
#include <QPushButton>
#include <QShortcut>

#include "clslistaopciones.h"
#include "vbui.h"

using namespace vbui;

namespace {

bool igual(const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

void fondoBlanco(QWidget* control) {
  control->setAutoFillBackground(true);
  QPalette colores = control->palette();
  colores.setColor(QPalette::Window, Qt::white);
  control->setPalette(colores);
}

void ponEn(QWidget* control, QWidget* contenedor) {
  control->setParent(contenedor);
  control->hide();
}

QLabel* etiquetaDeTexto(QLabel* etiqueta) {
  etiqueta->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  etiqueta->setWordWrap(true);
  return etiqueta;
}

}  // namespace

void clsListaOpciones::setAsistenteTextoInicial(const QString& texto) {
  asistenteTextoInicial_ = texto;
  if (lblInicial_) lblInicial_->setText(texto);
}

void clsListaOpciones::setAsistenteTextoFinal(const QString& texto) {
  asistenteTextoFinal_ = texto;
  if (lblFinal_) lblFinal_->setText(texto);
}

void clsListaOpciones::setAsistenteIcono(const QPixmap& imagen) {
  asistenteIcono_ = imagen;
  if (imgAsistente_) MuestraIcono();
}

void clsListaOpciones::MuestraIcono() {
  const QSize caja = imgAsistente_->size();
  imgAsistente_->setAlignment(Qt::AlignCenter);
  imgAsistente_->setPixmap(asistenteIcono_.isNull() || caja.isEmpty()
                               ? asistenteIcono_
                               : asistenteIcono_.scaled(caja, Qt::KeepAspectRatio,
                                                        Qt::SmoothTransformation));
  imgAsistente_->show();
}

void clsListaOpciones::CreaAsistente() {
  QWidget* host = formulario_;
  pctAsistente_ = addControl<QWidget>(host, QStringLiteral("pctAsistente"));
  fraComandos_ = addControl<VbFrame>(host, QStringLiteral("fraComandos"));
  fraInicial_ = addControl<VbFrame>(host, QStringLiteral("fraInicial"));
  fraFinal_ = addControl<VbFrame>(host, QStringLiteral("fraFinal"));
  lblAsistenteTit_ = addControl<QLabel>(host, QStringLiteral("lblAsistenteTit"));
  lblAsistenteExp_ = addControl<QLabel>(host, QStringLiteral("lblAsistenteExp"));
  imgAsistente_ = addControl<QLabel>(host, QStringLiteral("imgAsistente"));
  cmdAtras_ = addControl<QPushButton>(host, QStringLiteral("cmdAtras"));
  cmdSiguiente_ = addControl<QPushButton>(host, QStringLiteral("cmdSiguiente"));
  cmdCancelarFin_ = addControl<QPushButton>(host, QStringLiteral("cmdCancelarFin"));
  lblInicial_ = addControl<QLabel>(host, QStringLiteral("lblInicial"));
  lblFinal_ = addControl<QLabel>(host, QStringLiteral("lblFinal"));
  for (int i = 0; i < 4; ++i)
    linLinea_[i] = addControl<VbLine>(host, QStringLiteral("linLinea%1").arg(i + 1));

  ponEn(lblAsistenteTit_, pctAsistente_);
  ponEn(lblAsistenteExp_, pctAsistente_);
  ponEn(imgAsistente_, pctAsistente_);
  ponEn(cmdAtras_, fraComandos_);
  ponEn(cmdSiguiente_, fraComandos_);
  ponEn(cmdCancelarFin_, fraComandos_);
  ponEn(lblInicial_, fraInicial_);
  ponEn(lblFinal_, fraFinal_);

  // Banner: white, the title in bold, the explanation below it, the picture at its right.
  fondoBlanco(pctAsistente_);
  setHeightTw(pctAsistente_, 855);
  pctAsistente_->show();
  etiquetaDeTexto(lblAsistenteTit_)->setWordWrap(false);
  moveTw(lblAsistenteTit_, 120, 120);
  QFont negrita = lblAsistenteTit_->font();
  negrita.setBold(true);
  lblAsistenteTit_->setFont(negrita);
  lblAsistenteTit_->show();
  etiquetaDeTexto(lblAsistenteExp_);
  moveTw(lblAsistenteExp_, leftTw(lblAsistenteTit_) + 120, 420);
  setHeightTw(lblAsistenteExp_, 2 * fontSizeTw(lblAsistenteExp_->font()) + 60);
  lblAsistenteExp_->show();

  // Etched separators: a grey line two pixels wide with a white one over it.
  for (int i : {0, 2}) {
    linLinea_[i]->setBorderWidth(2);
    linLinea_[i]->setBorderColor(QColor(0x80, 0x80, 0x80));
    linLinea_[i]->show();
    linLinea_[i + 1]->setBorderColor(Qt::white);
    linLinea_[i + 1]->show();
    linLinea_[i + 1]->raise();
  }

  setWidthTw(imgAsistente_, 615);
  setHeightTw(imgAsistente_, 615);
  imgAsistente_->show();
  imgAsistente_->raise();

  moveTw(cmdAtras_, 0, 0, 1215, 375);
  cmdAtras_->setText(QStringLiteral("< Anterior"));
  cmdAtras_->show();
  moveTw(cmdSiguiente_, widthTw(cmdAtras_) + 60, 0, widthTw(cmdAtras_), heightTw(cmdAtras_));
  cmdSiguiente_->setText(QStringLiteral("Siguiente >"));
  cmdSiguiente_->show();
  moveTw(cmdCancelarFin_, leftTw(cmdSiguiente_) + widthTw(cmdSiguiente_) + 120, 0, widthTw(cmdAtras_),
         heightTw(cmdAtras_));
  cmdCancelarFin_->setText(QStringLiteral("Cancelar"));
  cmdCancelarFin_->show();
  cmdCancelarFinEsCancelar_ = true;
  // Esc presses the third button while it is the cancel button, and nothing else in this style.
  auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), host);
  connect(escape, &QShortcut::activated, this, [this] {
    if (cmdCancelarFinEsCancelar_ && cmdCancelarFin_ && cmdCancelarFin_->isEnabled() &&
        cmdCancelarFin_->isVisible())
      cmdCancelarFin_->click();
  });
  connect(cmdAtras_, &QPushButton::clicked, this, &clsListaOpciones::cmdAtras_Click);
  connect(cmdSiguiente_, &QPushButton::clicked, this, &clsListaOpciones::cmdSiguiente_Click);
  connect(cmdCancelarFin_, &QPushButton::clicked, this, &clsListaOpciones::cmdCancelarFin_Click);

  setWidthTw(fraComandos_, leftTw(cmdCancelarFin_) + widthTw(cmdCancelarFin_));
  setHeightTw(fraComandos_, heightTw(cmdAtras_));
  fraComandos_->setCaption(QString());
  fraComandos_->setBorderStyle(0);
  fraComandos_->show();

  for (VbFrame* pagina : {fraInicial_.data(), fraFinal_.data()}) {
    fondoBlanco(pagina);
    pagina->setBorderStyle(0);
  }
  etiquetaDeTexto(lblInicial_);
  moveTw(lblInicial_, 420, 420);
  lblInicial_->setText(asistenteTextoInicial_);
  lblInicial_->show();
  etiquetaDeTexto(lblFinal_);
  moveTw(lblFinal_, 420, 420);
  lblFinal_->setText(asistenteTextoFinal_);
  lblFinal_->show();

  paginaActual_ = 0;

  for (QWidget* control : controls(host))
    if (igual(getPropiedad(tag(control), QStringLiteral("Acción")), QStringLiteral("Estándar")))
      control->hide();
}

void clsListaOpciones::NavegaAsistente(int accion) {
  const QList<QWidget*> marcos = Marcos();
  const int total = int(marcos.size());
  const int inferior = 0;
  const int superior = total - 1;
  fraInicial_->hide();
  fraFinal_->hide();

  int actual = -1;
  for (int i = inferior; i <= superior; ++i) {
    if (visible(marcos[i])) actual = i;
    marcos[i]->hide();
  }

  if (accion == 1 && actual != -1) {
    const QString validar = getPropiedad(tag(marcos[actual]), QStringLiteral("AsistenteValidar"));
    if (!validar.isEmpty() && !ValidarEnHost(validar)) {
      marcos[actual]->show();
      return;
    }
  }

  int paso = 0;
  switch (accion) {
    case 3: paginaActual_ = 0; break;
    case 4: paginaActual_ = total + 1; break;
    case 0: paso = -1; break;
    case 1: paso = 1; break;
    case 2:
      ValidarEnHost(paginaActual_ == total + 1 ? QStringLiteral("Guardar") : QStringLiteral("Cancelar"));
      return;
    default: return;
  }

  cmdAtras_->setEnabled(true);
  cmdSiguiente_->setEnabled(true);
  cmdCancelarFin_->setText(QStringLiteral("Cancelar"));
  cmdCancelarFinEsCancelar_ = true;

  if (accion == 3) {
    lblAsistenteTit_->setText(asistenteTitulo_);
    lblAsistenteExp_->setText(asistenteNotaInicial_);
    fraInicial_->show();
    cmdAtras_->setEnabled(false);
    return;
  }
  if (accion == 4) {
    lblAsistenteTit_->setText(asistenteTitulo_);
    lblAsistenteExp_->setText(asistenteNotaFinal_);
    fraFinal_->show();
    cmdCancelarFin_->setText(QStringLiteral("&Finalizar"));
    cmdCancelarFinEsCancelar_ = false;
    cmdSiguiente_->setEnabled(false);
    return;
  }

  auto enLista = [&](int i) { return getPropiedad(tag(marcos[i]), QStringLiteral("EnLista")); };
  const QString si = QStringLiteral("Sí");
  const QString no = QStringLiteral("No");
  int siguiente = -1;
  if (actual == -1) {
    // From the closing page back to the last frame, from the opening page on to the first.
    siguiente = paso < 0 ? superior : inferior;
    paginaActual_ = paso < 0 ? total : 1;
  } else {
    // Walk to the next listed frame; past the end of the array (or onto an end frame that says "No")
    // lies the wizard's own page on that side.
    const int extremo = paso > 0 ? superior : inferior;
    const int paginaPropia = paso > 0 ? 4 : 3;
    if (actual == extremo) return NavegaAsistente(paginaPropia);
    do {
      paginaActual_ += paso;
      actual += paso;
    } while (!igual(enLista(actual), si) && actual != extremo);
    if (igual(enLista(actual), no)) return NavegaAsistente(paginaPropia);
    siguiente = actual;
  }

  const QString etiqueta = tag(marcos[siguiente]);
  lblAsistenteTit_->setText(getPropiedad(etiqueta, QStringLiteral("AsistenteTítulo")) +
                            QStringLiteral(" (%1 de %2)").arg(paginaActual_).arg(total));
  lblAsistenteExp_->setText(getPropiedad(etiqueta, QStringLiteral("AsistenteExplicación")));
  marcos[siguiente]->show();
  sendTabKeys(2);
}
