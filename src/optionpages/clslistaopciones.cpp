#include "clslistaopciones.h"

#include <QApplication>
#include <QLabel>
#include <QMetaMethod>
#include <QPalette>
#include <QStyle>

#include "error.h"
#include "msgbox.h"
#include "vbui.h"

using namespace vbui;

namespace {

const QString kSi = QStringLiteral("Sí");
const QString kNo = QStringLiteral("No");

bool igual(const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

// The numeric value of the leading digits of a text, as Val reads it ("" and "abc" give 0).
int valorEntero(const QString& texto) {
  const QString t = texto.trimmed();
  int i = 0;
  bool negativo = false;
  if (i < t.size() && (t[i] == u'-' || t[i] == u'+')) negativo = t[i++] == u'-';
  qint64 valor = 0;
  for (; i < t.size() && t[i].isDigit() && valor <= 100000; ++i) valor = valor * 10 + t[i].digitValue();
  return int(negativo ? -valor : valor);
}

// Moves a control into another container; it keeps its left and top, now counted from the new
// container's corner, and its own Visible setting.
void ponEnContenedor(QWidget* control, QWidget* contenedor) {
  if (control->parentWidget() == contenedor) return;
  const bool eraVisible = visible(control);
  control->setParent(contenedor);
  control->setVisible(eraVisible);
}

bool hostTieneValidar(const QObject* host) {
  const QMetaObject* meta = host->metaObject();
  const int indice = meta->indexOfMethod("Validar(QString)");
  return indice >= 0 && meta->method(indice).returnType() == QMetaType::Bool;
}

vb::Error sinPropiedadOMetodo() {
  return vb::Error(438, QStringLiteral("El objeto no acepta esta propiedad o método"));
}

}  // namespace

clsListaOpciones::clsListaOpciones(QObject* parent)
    : QObject(parent),
      asistenteTextoInicial_(QStringLiteral(
          "Para iniciar la ejecución de este asistente, haga clic en el botón Siguiente.")),
      asistenteTextoFinal_(
          QStringLiteral("Para guardar los cambios hechos, haga clic en el botón Finalizar.")),
      asistenteTitulo_(QStringLiteral("Asistente para capturar datos")),
      asistenteNotaInicial_(QStringLiteral(
          "Este asistente le ayudará a capturar ordenadamente una serie de datos.")),
      asistenteNotaFinal_(QStringLiteral("Ha finalizado la ejecución del asistente.")) {}

// ---------------------------------------------------------------------------------------------------
// Tag strings

QString clsListaOpciones::getPropiedad(const QString& cadena, QString clave, const QString& separador,
                                       Qt::CaseSensitivity comparacion, bool agregaIgual) {
  if (agregaIgual && !clave.endsWith(u'=')) clave += u'=';
  // A plain search: "Validar=" is also found inside "AsistenteValidar=", and the first one wins.
  const int posicion = cadena.indexOf(clave, 0, comparacion);
  if (posicion < 0 || clave.isEmpty()) return QString();
  const int desde = posicion + clave.size();
  const int fin = separador.isEmpty() ? -1 : cadena.indexOf(separador, posicion, comparacion);
  if (fin < 0) return cadena.mid(desde);
  return cadena.mid(desde, std::max(fin - desde, 0));
}

QString clsListaOpciones::setPropiedad(const QString& cadena, QString clave, const QString& valor,
                                       const QString& separador, Qt::CaseSensitivity comparacion) {
  if (!clave.endsWith(u'=')) clave += u'=';
  const int posicion = cadena.indexOf(clave, 0, comparacion);
  QString izquierda = cadena;
  QString derecha;
  if (posicion >= 0) {
    izquierda = cadena.left(posicion);
    const int fin = separador.isEmpty() ? -1 : cadena.indexOf(separador, posicion, comparacion);
    if (fin >= 0) derecha = cadena.mid(fin + separador.size());
  }
  if (derecha.isEmpty() && !izquierda.endsWith(separador)) izquierda += separador;
  return izquierda + clave + valor + separador + derecha;
}

// ---------------------------------------------------------------------------------------------------
// Attaching and building

void clsListaOpciones::setEstilo(int estilo) {
  if (estiloFijo_) {
    QApplication::beep();
    return;
  }
  if (estilo < -32768 || estilo > 32767) throw vb::Error(6);
  estilo_ = estilo;
  estiloFijo_ = true;
}

void clsListaOpciones::setFormulario(QWidget* host) {
  if (!host) throw vb::Error(91);
  formulario_ = host;
  estiloFijo_ = true;

  // The host's frame array and its Validar are reached by name; a host that lacks what its own Tags
  // ask for fails here, in its own set-up, rather than later in a click that nobody could answer.
  const QList<QWidget*> marcos = Marcos();
  if (marcos.isEmpty()) throw sinPropiedadOMetodo();
  if (!hostTieneValidar(host)) {
    bool usaValidar = estilo_ == EstiloAsistente;
    for (QWidget* marco : marcos)
      if (!getPropiedad(tag(marco), QStringLiteral("Validar")).isEmpty()) usaValidar = true;
    if (usaValidar) throw sinPropiedadOMetodo();
  }
  ConstruyeOpciones();
}

void clsListaOpciones::ConstruyeOpciones() {
  switch (estilo_) {
    case EstiloArbol: CreaArbol(); break;
    case EstiloPestanas: CreaPestanas(); break;
    case EstiloAsistente: CreaAsistente(); break;
    default: break;
  }
  AcomodaControles();
  if (estilo_ == EstiloArbol) {
    if (tvwOpciones_->topLevelItemCount() > 0) {
      QTreeWidgetItem* primero = tvwOpciones_->topLevelItem(0);
      tvwOpciones_->selectNode(primero);
      EstableceMarco(VbTreeView::tag(primero));
    }
  } else if (estilo_ == EstiloPestanas) {
    if (tabOpciones_->count() > 0) {
      tabOpciones_->selectTab(0);
      EstableceMarco(tabOpciones_->tabTag(0));
    }
  } else if (estilo_ == EstiloAsistente) {
    NavegaAsistente(3);
  }
}

QList<QWidget*> clsListaOpciones::Marcos() const {
  return controlArray(formulario_, QStringLiteral("fraMarco"));
}

namespace {

QString etiquetaDeLista(QWidget* marco, const QString& texto) {
  QString etiqueta = clsListaOpciones::setPropiedad(QString(), QStringLiteral("Marco"),
                                                    QString::number(controlIndex(marco).value_or(0)));
  etiqueta = clsListaOpciones::setPropiedad(etiqueta, QStringLiteral("Título"), texto);
  return clsListaOpciones::setPropiedad(etiqueta, QStringLiteral("Nombre"), controlName(marco));
}

bool enLista(QWidget* marco) {
  return igual(clsListaOpciones::getPropiedad(tag(marco), QStringLiteral("EnLista")), kSi);
}

}  // namespace

void clsListaOpciones::CreaArbol() {
  lblOpciones_ = addControl<QLabel>(formulario_, QStringLiteral("lblOpciones"));
  lblOpciones_->setText(QString());
  lblOpciones_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  lblOpciones_->setAutoFillBackground(true);
  QPalette colores = lblOpciones_->palette();
  colores.setColor(QPalette::Window, QColor(0x80, 0x80, 0x80));  // inactive caption
  colores.setColor(QPalette::WindowText, Qt::white);              // caption text
  lblOpciones_->setPalette(colores);
  QFont letra = lblOpciones_->font();
  letra.setPointSize(12);
  letra.setBold(true);
  lblOpciones_->setFont(letra);
  setHeightTw(lblOpciones_, pointsTw(12) + 60);

  tvwOpciones_ = addControl<VbTreeView>(formulario_, QStringLiteral("tvwOpciones"));
  tvwOpciones_->setEnabled(true);
  // 120.18 twips is below what the tree needs for its expand marks; it takes the least it can draw.
  tvwOpciones_->setIndentation(std::max(
      ui::twipsToPixels(120.18), tvwOpciones_->style()->pixelMetric(QStyle::PM_TreeViewIndentation)));
  setWidthTw(tvwOpciones_, 2500);
  connect(tvwOpciones_, &VbTreeView::genericEvent, this, &clsListaOpciones::tvwOpciones_Evento);

  int multiplicador = 1;
  const int paso = pixelsTw(tvwOpciones_->indentation()) + 240;
  for (QWidget* marco : Marcos())
    if (enLista(marco)) AgregaNodo(marco, paso, multiplicador);
  ColectaEtiquetados();
  if (clasificar_) tvwOpciones_->sortNodes();
  CopiaEtiquetaDelPrimerHijo();
}

// The node of a listed frame, under its Principal (a heading made for it when no node has that key;
// from then on the width fit counts two indentation steps); the frame loses its border and is hidden.
QTreeWidgetItem* clsListaOpciones::AgregaNodo(QWidget* marco, int sangria, int& factor) {
  const QString principal = getPropiedad(tag(marco), QStringLiteral("Principal"));
  QTreeWidgetItem* padre = nullptr;
  if (!principal.isEmpty()) {
    padre = tvwOpciones_->node(principal);
    if (!padre) {
      padre = tvwOpciones_->addNode(nullptr, principal, principal);
      factor = 2;
    }
  }
  const QString texto = caption(marco);
  QTreeWidgetItem* nodo =
      tvwOpciones_->addNode(padre, QStringLiteral("n%1").arg(controlIndex(marco).value_or(0)), texto);
  VbTreeView::setTag(nodo, etiquetaDeLista(marco, texto));
  tvwOpciones_->ensureVisible(nodo);
  AjustaAnchoArbol(texto, sangria * factor);
  setBorderStyle(marco, 0);
  marco->hide();
  return nodo;
}

int clsListaOpciones::AgregaPestana(QWidget* marco) {
  const QString texto = caption(marco);
  const int pestana =
      tabOpciones_->addTab(QStringLiteral("t%1").arg(controlIndex(marco).value_or(0)), texto);
  tabOpciones_->setTabTag(pestana, etiquetaDeLista(marco, texto));
  setBorderStyle(marco, 0);
  marco->hide();
  return pestana;
}

void clsListaOpciones::AjustaAnchoArbol(const QString& texto, int sangria) {
  const int ancho = textWidthTw(formulario_->font(), texto) + sangria;
  if (widthTw(tvwOpciones_) < ancho) setWidthTw(tvwOpciones_, ancho);
}

// A heading (or a page with pages under it) opens the page of its first child.
void clsListaOpciones::CopiaEtiquetaDelPrimerHijo() {
  for (int i = 0; i < tvwOpciones_->topLevelItemCount(); ++i) {
    QTreeWidgetItem* nodo = tvwOpciones_->topLevelItem(i);
    if (nodo->childCount() > 0) VbTreeView::setTag(nodo, VbTreeView::tag(nodo->child(0)));
  }
}

void clsListaOpciones::CreaPestanas() {
  tabOpciones_ = addControl<VbTabStrip>(formulario_, QStringLiteral("tabOpciones"));
  tabOpciones_->setEnabled(true);
  tabOpciones_->show();
  tabOpciones_->clearTabs();
  connect(tabOpciones_, &VbTabStrip::genericEvent, this, &clsListaOpciones::tabOpciones_Evento);
  for (QWidget* marco : Marcos())
    if (enLista(marco)) AgregaPestana(marco);
  ColectaEtiquetados();
  if (tabOpciones_->count() > 0) tabOpciones_->selectTab(0);
}

// ---------------------------------------------------------------------------------------------------
// Tagged controls

void clsListaOpciones::ColectaEtiquetados() {
  int flotantes = 0;
  for (QWidget* control : controls(formulario_)) {
    const QString etiqueta = tag(control);
    if (etiqueta.isEmpty()) continue;
    const QString accion = getPropiedad(etiqueta, QStringLiteral("Acción"));
    const QString aceptar = QStringLiteral("Aceptar");
    if (igual(accion, aceptar)) {
      AgregaEtiquetado(aceptar, control, QStringLiteral("Acción"), aceptar);
      // An OK button inside a container of the form: the container is laid out instead.
      QWidget* contenedor = control->parentWidget();
      if (contenedor && contenedor != formulario_ && contenedor->parentWidget() &&
          !igual(controlName(contenedor), controlName(formulario_))) {
        botonesEnContenedor_ = true;
        AgregaEtiquetado(QStringLiteral("Contenedor"), contenedor, QStringLiteral("Acción"),
                         QStringLiteral("Contenedor"));
      }
      continue;
    }
    bool encontrada = false;
    for (const QString& otra : {QStringLiteral("Cancelar"), QStringLiteral("Predeterminar"),
                                QStringLiteral("Aplicar")}) {
      if (igual(accion, otra)) {
        AgregaEtiquetado(otra, control, QStringLiteral("Acción"), otra);
        encontrada = true;
        break;
      }
    }
    if (!encontrada && igual(getPropiedad(etiqueta, QStringLiteral("Flotante")), kSi))
      AgregaEtiquetado(QStringLiteral("Flotante%1").arg(++flotantes), control,
                       QStringLiteral("Flotante"), kSi);
  }
}

void clsListaOpciones::AgregaEtiquetado(const QString& clave, QWidget* control, const QString& llave,
                                        const QString& valor) {
  if (BuscaEtiquetado(clave))
    throw vb::Error(457, QStringLiteral("Esta clave ya está asociada a un elemento de esta colección"));
  QString descriptor = setPropiedad(QString(), QStringLiteral("Nombre"), controlName(control));
  if (const auto indice = controlIndex(control))
    descriptor = setPropiedad(descriptor, QStringLiteral("Indice"), QString::number(*indice));
  descriptor = setPropiedad(descriptor, llave, valor);
  controlesEtiquetados_.append({clave, descriptor, control});
}

const clsListaOpciones::Etiquetado* clsListaOpciones::BuscaEtiquetado(const QString& clave) const {
  for (const Etiquetado& entrada : controlesEtiquetados_)
    if (igual(entrada.clave, clave)) return &entrada;
  return nullptr;
}

QWidget* clsListaOpciones::ControlEtiquetado(const QString& clave) const {
  const Etiquetado* entrada = BuscaEtiquetado(clave);
  return entrada ? entrada->control.data() : nullptr;
}

QList<QPair<QString, QString>> clsListaOpciones::ControlesEtiquetados() const {
  QList<QPair<QString, QString>> lista;
  for (const Etiquetado& entrada : controlesEtiquetados_) lista.append({entrada.clave, entrada.descriptor});
  return lista;
}

// ---------------------------------------------------------------------------------------------------
// Layout, in twips

void clsListaOpciones::AcomodaControles() {
  const QList<QWidget*> marcos = Marcos();
  int margen = 0;
  int encabezado = 0;
  switch (estilo_) {
    case EstiloArbol:
      margen = 120;
      moveTw(tvwOpciones_, 120, 120);
      tvwOpciones_->show();
      lblOpciones_->show();
      break;
    case EstiloPestanas:
      margen = 90;
      encabezado = 90 + fontSizeTw(tabOpciones_->font());
      moveTw(tabOpciones_, 120, 90);
      break;
    case EstiloAsistente:
      margen = heightTw(pctAsistente_) + 60;
      moveTw(pctAsistente_, 0, 0);
      for (int i : {0, 1}) {
        linLinea_[i]->setY1(heightTw(pctAsistente_) + 30);
        linLinea_[i]->setY2(heightTw(pctAsistente_) + 30);
        linLinea_[i]->setX1(0);
      }
      break;
    default: break;
  }

  int anchoPagina = 0;
  int altoPagina = 0;
  for (QWidget* marco : marcos) {
    if (estilo_ == EstiloArbol)
      moveTw(marco, leftTw(tvwOpciones_) + widthTw(tvwOpciones_) + 60, topTw(tvwOpciones_));
    else if (estilo_ == EstiloPestanas)
      moveTw(marco, leftTw(tabOpciones_) + 60, topTw(tabOpciones_) + encabezado + 90);
    else if (estilo_ == EstiloAsistente)
      moveTw(marco, 60, margen);
    anchoPagina = std::max(anchoPagina, widthTw(marco));
    altoPagina = std::max(altoPagina, heightTw(marco));
  }
  for (QWidget* marco : marcos) {
    setHeightTw(marco, altoPagina);
    setWidthTw(marco, anchoPagina);
    setBorderStyle(marco, 0);
  }

  if (estilo_ == EstiloArbol) {
    setHeightTw(tvwOpciones_, altoPagina);
  } else if (estilo_ == EstiloPestanas) {
    setHeightTw(tabOpciones_, altoPagina + encabezado + 120);
    setWidthTw(tabOpciones_, anchoPagina + 120);
  } else if (estilo_ == EstiloAsistente) {
    const int ancho = anchoPagina + 120;
    setWidthTw(pctAsistente_, ancho);
    for (int i : {0, 1}) linLinea_[i]->setX2(ancho);
    for (int i : {2, 3}) {
      linLinea_[i]->setY1(margen + altoPagina + 30);
      linLinea_[i]->setY2(margen + altoPagina + 30);
      linLinea_[i]->setX1(0);
      linLinea_[i]->setX2(ancho);
    }
    linLinea_[3]->raise();
    moveTw(imgAsistente_, widthTw(pctAsistente_) - widthTw(imgAsistente_) - 120, 120);
    if (!asistenteIcono_.isNull()) MuestraIcono();
    moveTw(fraInicial_, 60, margen, anchoPagina, altoPagina);
    moveTw(fraFinal_, 60, margen, anchoPagina, altoPagina);
    setWidthTw(lblAsistenteTit_, leftTw(imgAsistente_) - 180);
    setHeightTw(lblAsistenteTit_, fontSizeTw(lblAsistenteTit_->font()) + 30);
    setWidthTw(lblAsistenteExp_, widthTw(lblAsistenteTit_) - 120);
    setHeightTw(lblInicial_, heightTw(fraInicial_) - 540);
    setWidthTw(lblInicial_, widthTw(fraInicial_) - 540);
    setHeightTw(lblFinal_, heightTw(fraFinal_) - 540);
    setWidthTw(lblFinal_, widthTw(fraFinal_) - 540);
    moveTw(fraComandos_, anchoPagina + 60 - widthTw(fraComandos_), margen + altoPagina + 180);
    fraComandos_->show();
  }

  const int borde = formBorderWidthTw(formulario_);

  // The host's buttons, right to left under the pages: cancel at the pages' right edge, then OK,
  // apply and set-default. A button whose neighbour to the right is missing stays where it is.
  QWidget* filaBotones = nullptr;  // the cancel button, or the container that stands in for it
  if (estilo_ == EstiloArbol || estilo_ == EstiloPestanas) {
    auto colocaComoCancelar = [&](QWidget* control) {
      if (estilo_ == EstiloArbol)
        moveTw(control,
               leftTw(tvwOpciones_) + anchoPagina + widthTw(tvwOpciones_) + 60 - widthTw(control),
               altoPagina + 180);
      else
        moveTw(control, leftTw(tabOpciones_) + widthTw(tabOpciones_) - widthTw(control),
               heightTw(tabOpciones_) + 180);
    };
    if (!botonesEnContenedor_) {
      QWidget* cancelar = ControlEtiquetado(QStringLiteral("Cancelar"));
      QWidget* aceptar = ControlEtiquetado(QStringLiteral("Aceptar"));
      QWidget* aplicar = ControlEtiquetado(QStringLiteral("Aplicar"));
      QWidget* predeterminar = ControlEtiquetado(QStringLiteral("Predeterminar"));
      if (cancelar) {
        colocaComoCancelar(cancelar);
        const int arriba = topTw(cancelar);
        if (aceptar) moveTw(aceptar, leftTw(cancelar) - widthTw(aceptar) - 60, arriba);
        else aplicar = nullptr;
        if (aplicar) moveTw(aplicar, leftTw(aceptar) - widthTw(aplicar) - 60, arriba);
        if (QWidget* vecino = aplicar ? aplicar : aceptar; predeterminar && vecino)
          moveTw(predeterminar, leftTw(vecino) - widthTw(predeterminar) - 120, arriba);
      }
      filaBotones = cancelar;
    } else if (QWidget* contenedor = ControlEtiquetado(QStringLiteral("Contenedor"))) {
      colocaComoCancelar(contenedor);
      filaBotones = contenedor;
    }
  }

  const int altoBotones = filaBotones ? heightTw(filaBotones) : 0;
  if (estilo_ == EstiloArbol)
    setFormSizeTw(formulario_, widthTw(tvwOpciones_) + 120 + 60 + anchoPagina + 120 + borde,
                  heightTw(tvwOpciones_) + altoBotones + 720);
  else if (estilo_ == EstiloPestanas)
    setFormSizeTw(formulario_, widthTw(tabOpciones_) + 240 + borde,
                  heightTw(tabOpciones_) + altoBotones + 720);
  else if (estilo_ == EstiloAsistente)
    setFormSizeTw(formulario_, widthTw(pctAsistente_) + borde,
                  heightTw(fraComandos_) + margen + altoPagina + 720);
  formulario_->update();
}

// ---------------------------------------------------------------------------------------------------
// Page selection

void clsListaOpciones::EstableceMarco(const QString& etiqueta) {
  const int indice = valorEntero(getPropiedad(etiqueta, QStringLiteral("Marco")));
  const QString titulo = getPropiedad(etiqueta, QStringLiteral("Título"));
  const QList<QWidget*> marcos = Marcos();
  QWidget* marco = nullptr;
  for (QWidget* m : marcos)
    if (controlIndex(m) == indice) marco = m;
  if (!marco)
    throw vb::Error(340, QStringLiteral("El elemento %1 de la matriz de controles fraMarco no existe")
                             .arg(indice));

  for (QWidget* m : marcos)
    if (visible(m)) m->hide();

  const QString etiquetaMarco = tag(marco);
  if (QWidget* predeterminar = ControlEtiquetado(QStringLiteral("Predeterminar"))) {
    if (igual(getPropiedad(etiquetaMarco, QStringLiteral("Predeterminar")), kSi)) {
      setTag(predeterminar,
             setPropiedad(tag(predeterminar), QStringLiteral("Procedimiento"),
                          getPropiedad(etiquetaMarco, QStringLiteral("Procedimiento"))));
      predeterminar->show();
    } else {
      predeterminar->hide();
    }
  }

  for (int n = 1;; ++n) {
    const QString clave = QStringLiteral("Flotante%1").arg(n);
    if (!BuscaEtiquetado(clave)) break;
    if (QWidget* flotante = ControlEtiquetado(clave)) ponEnContenedor(flotante, marco);
  }

  marco->show();
  marco->raise();
  const QString validar = getPropiedad(etiquetaMarco, QStringLiteral("Validar"));

  if (estilo_ == EstiloArbol && lblOpciones_) {
    ponEnContenedor(lblOpciones_, marco);
    lblOpciones_->setText(titulo);
    moveTw(lblOpciones_, 0, 0, widthTw(marco), fontSizeTw(lblOpciones_->font()) + 60);
    lblOpciones_->show();
    lblOpciones_->raise();
  }

  if (!validar.isEmpty()) ValidarEnHost(validar);
}

void clsListaOpciones::Reasigna() {
  if (estilo_ == EstiloArbol && tvwOpciones_) {
    QTreeWidgetItem* seleccionado = tvwOpciones_->selectedNode();
    const QString texto = seleccionado ? seleccionado->text(0) : QString();
    const int posicion = seleccionado ? int(tvwOpciones_->nodes().indexOf(seleccionado)) + 1 : 0;
    const int sangria = pixelsTw(tvwOpciones_->indentation());

    tvwOpciones_->clearNodes();
    int factor = 1;
    QTreeWidgetItem* coincidente = nullptr;
    for (QWidget* marco : Marcos()) {
      if (!enLista(marco)) continue;
      QTreeWidgetItem* nodo = AgregaNodo(marco, sangria, factor);
      if (igual(nodo->text(0), texto)) coincidente = nodo;
    }
    if (clasificar_) tvwOpciones_->sortNodes();
    CopiaEtiquetaDelPrimerHijo();
    tvwOpciones_->update();
    QCoreApplication::processEvents();

    const QList<QTreeWidgetItem*>& nodos = tvwOpciones_->nodes();
    if (nodos.isEmpty()) return;
    QTreeWidgetItem* elegido = coincidente;
    if (!elegido && posicion >= 1 && posicion <= nodos.size()) elegido = nodos[posicion - 1];
    if (!elegido) elegido = tvwOpciones_->topLevelItem(tvwOpciones_->topLevelItemCount() - 1);
    tvwOpciones_->selectNode(elegido);
    EstableceMarco(VbTreeView::tag(elegido));
  } else if (estilo_ == EstiloPestanas && tabOpciones_) {
    const int seleccionada = tabOpciones_->selectedIndex();
    const QString texto = seleccionada >= 0 ? tabOpciones_->tabCaption(seleccionada) : QString();
    const int posicion = seleccionada + 1;

    tabOpciones_->clearTabs();
    int coincidente = -1;
    for (QWidget* marco : Marcos()) {
      if (!enLista(marco)) continue;
      const int pestana = AgregaPestana(marco);
      if (igual(tabOpciones_->tabCaption(pestana), texto)) coincidente = pestana;
    }
    const int cuenta = tabOpciones_->count();
    if (cuenta == 0) return;
    int elegida = coincidente;
    if (elegida < 0) elegida = posicion >= 1 && posicion <= cuenta ? posicion - 1 : cuenta - 1;
    tabOpciones_->selectTab(elegida);
    EstableceMarco(tabOpciones_->tabTag(elegida));
  }
}

// ---------------------------------------------------------------------------------------------------
// Events of the run-time controls. They end here: an error cannot travel back through the window
// system's event delivery, so it is shown in a message box and the page change stops where it failed.

template <class Accion>
void clsListaOpciones::AtrapaErrores(const char* procedimiento, Accion accion) const {
  const QString prefijo = QStringLiteral("Error en clsListaOpciones.%1: ").arg(QLatin1String(procedimiento));
  try {
    accion();
  } catch (const vb::Error& error) {
    ui::MsgBox(prefijo + QString::number(error.number()) + u' ' + error.description());
  } catch (const std::exception& error) {
    ui::MsgBox(prefijo + QString::fromUtf8(error.what()));
  }
}

void clsListaOpciones::tvwOpciones_Evento(const QString& nombre) {
  AtrapaErrores("tvwOpciones_Evento", [&] {
    if ((igual(nombre, QStringLiteral("NodeClick")) || igual(nombre, QStringLiteral("Collapse"))) &&
        tvwOpciones_->selectedNode())
      EstableceMarco(VbTreeView::tag(tvwOpciones_->selectedNode()));
  });
}

void clsListaOpciones::tabOpciones_Evento(const QString& nombre) {
  AtrapaErrores("tabOpciones_Evento", [&] {
    if (igual(nombre, QStringLiteral("Click")) && tabOpciones_->selectedIndex() >= 0)
      EstableceMarco(tabOpciones_->tabTag(tabOpciones_->selectedIndex()));
  });
}

void clsListaOpciones::cmdAtras_Click() {
  AtrapaErrores("cmdAtras_Click", [this] { NavegaAsistente(0); });
}

void clsListaOpciones::cmdSiguiente_Click() {
  AtrapaErrores("cmdSiguiente_Click", [this] { NavegaAsistente(1); });
}

void clsListaOpciones::cmdCancelarFin_Click() {
  AtrapaErrores("cmdCancelarFin_Click", [this] { NavegaAsistente(2); });
}

bool clsListaOpciones::ValidarEnHost(const QString& valor) {
  if (!hostTieneValidar(formulario_)) throw sinPropiedadOMetodo();
  bool resultado = false;
  QMetaObject::invokeMethod(formulario_, "Validar", Qt::DirectConnection,
                            Q_RETURN_ARG(bool, resultado), Q_ARG(QString, valor));
  return resultado;
}
