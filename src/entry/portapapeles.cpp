#include "portapapeles.h"

#include <QClipboard>
#include <QGuiApplication>

namespace copiado {

namespace {

#ifdef Q_OS_WIN
constexpr bool kFinesWindows = true;
#else
constexpr bool kFinesWindows = false;
#endif

// The system's clipboard. Without a GUI application there is none: reads give nothing and writes are
// dropped.
class PortapapelesSistema : public Portapapeles {
public:
  QString Texto() override {
    QClipboard* c = sistema();
    return c ? desdeSistema(c->text()) : QString();
  }
  void PonTexto(const QString& texto) override {
    if (QClipboard* c = sistema())
      c->setText(haciaSistema(texto));
  }
  void Limpia() override {
    if (QClipboard* c = sistema())
      c->clear();
  }

private:
  static QClipboard* sistema() {
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) ? QGuiApplication::clipboard() : nullptr;
  }
};

Portapapeles* instalado = nullptr;

}  // namespace

Portapapeles& portapapeles() {
  static PortapapelesSistema sistema;
  return instalado ? *instalado : sistema;
}

Portapapeles* instalaPortapapeles(Portapapeles* otro) {
  Portapapeles* previo = instalado;
  instalado = otro;
  return previo;
}

QString desdeSistema(const QString& texto) {
  if (kFinesWindows)
    return texto;
  QString nuestro;
  nuestro.reserve(texto.size() + texto.size() / 16);
  for (qsizetype i = 0; i < texto.size(); ++i) {
    const QChar c = texto[i];
    if (c == u'\n' && (i == 0 || texto[i - 1] != u'\r'))
      nuestro += u'\r';
    nuestro += c;
  }
  return nuestro;
}

QString haciaSistema(const QString& texto) {
  if (kFinesWindows)
    return texto;
  QString suyo;
  suyo.reserve(texto.size());
  for (qsizetype i = 0; i < texto.size(); ++i) {
    const QChar c = texto[i];
    if (c == u'\r' && i + 1 < texto.size() && texto[i + 1] == u'\n') {
      suyo += u'\n';
      ++i;
    } else if (c == u'\n') {
      suyo += u' ';
    } else {
      suyo += c;
    }
  }
  return suyo;
}

}  // namespace copiado
