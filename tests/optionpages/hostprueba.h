#pragma once
// A small host dialog for the navigator's tests: frames fraMarco(i) with Tags and captions, a few fields
// on each page so a picture of it looks like a dialog, and buttons tagged as the layout expects.
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStringList>

#include "vbcontrols.h"
#include "vbui.h"

struct PaginaPrueba {
  int indice;
  QString titulo;
  QString etiqueta;
  int ancho = 6000;  // twips
  int alto = 3000;
};

// Adds the frame fraMarco(indice) at the form's corner, with a bordered caption as designed.
inline VbFrame* agregaMarco(QWidget* host, const PaginaPrueba& pagina) {
  auto* marco = new VbFrame(host);
  marco->setObjectName(QStringLiteral("fraMarco_%1").arg(pagina.indice));
  marco->setProperty("ArrayName", QStringLiteral("fraMarco"));
  marco->setProperty("Index", pagina.indice);
  marco->setCaption(pagina.titulo);
  vbui::setTag(marco, pagina.etiqueta);
  vbui::moveTw(marco, 0, 0, pagina.ancho, pagina.alto);
  for (int fila = 0; fila < 2; ++fila) {
    auto* rotulo = new QLabel(QStringLiteral("%1, campo %2:").arg(pagina.titulo).arg(fila + 1), marco);
    vbui::moveTw(rotulo, 240, 480 + fila * 420, 2400, 300);
    auto* campo = new QLineEdit(marco);
    campo->setObjectName(QStringLiteral("campo%1_%2").arg(pagina.indice).arg(fila + 1));
    vbui::moveTw(campo, 2760, 450 + fila * 420, 2400, 330);
  }
  return marco;
}

inline QPushButton* agregaBoton(QWidget* contenedor, const QString& nombre, const QString& texto,
                                const QString& etiqueta, int ancho = 1215, int alto = 375) {
  auto* boton = new QPushButton(texto, contenedor);
  boton->setObjectName(nombre);
  vbui::setTag(boton, etiqueta);
  vbui::moveTw(boton, 0, 0, ancho, alto);
  return boton;
}

class HostPrueba : public QDialog {
  Q_OBJECT
public:
  explicit HostPrueba(const QList<PaginaPrueba>& paginas, bool conBotones = true) {
    setObjectName(QStringLiteral("HostPrueba"));
    setWindowTitle(QStringLiteral("Parámetros"));
    for (const PaginaPrueba& pagina : paginas) agregaMarco(this, pagina);
    if (conBotones) {
      aceptar = agregaBoton(this, QStringLiteral("Aceptar"), QStringLiteral("&Aceptar"),
                            QStringLiteral("Acción=Aceptar"));
      cancelar = agregaBoton(this, QStringLiteral("Cancelar"), QStringLiteral("&Cancelar"),
                             QStringLiteral("Acción=Cancelar"));
    }
  }

  VbFrame* marco(int indice) {
    return qobject_cast<VbFrame*>(vbui::findControl(this, QStringLiteral("fraMarco"), indice));
  }

  // What the navigator asked, in order; the answer given to page validations.
  Q_INVOKABLE bool Validar(const QString& valor) {
    llamadas.append(valor);
    return respuesta;
  }

  QStringList llamadas;
  bool respuesta = true;
  QPushButton* aceptar = nullptr;
  QPushButton* cancelar = nullptr;
};

// The same host without the Validar call-back.
class HostSinValidar : public QDialog {
  Q_OBJECT
public:
  explicit HostSinValidar(const QList<PaginaPrueba>& paginas) {
    for (const PaginaPrueba& pagina : paginas) agregaMarco(this, pagina);
  }
};
