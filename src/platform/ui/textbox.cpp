#include "textbox.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMimeData>
#include <QTextBlock>

namespace ui {

namespace {

// Lines as the box keeps them (LF), CR LF as its Text gives them.
QString conCrLf(QString texto) { return texto.replace(QLatin1Char('\n'), QStringLiteral("\r\n")); }
QString sinCrLf(QString texto) {
  texto.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  return texto.replace(QLatin1Char('\r'), QLatin1Char('\n'));
}
// A line break counts as the two characters of CR LF.
int largo(const QString& lineas) { return int(lineas.size() + lineas.count(QLatin1Char('\n'))); }

// The longest start of `texto` (lines with LF) that fits in `cabe` characters.
QString recorta(const QString& texto, int cabe) {
  int usado = 0;
  int n = 0;
  for (; n < texto.size(); ++n) {
    const int c = texto[n] == QLatin1Char('\n') ? 2 : 1;
    if (usado + c > cabe) break;
    usado += c;
  }
  return texto.left(n);
}

}  // namespace

TextBox::TextBox(QWidget* parent) : QPlainTextEdit(parent) {
  setTabChangesFocus(true);
  setLineWrapMode(QPlainTextEdit::WidgetWidth);
  setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
}

QString TextBox::Text() const { return conCrLf(toPlainText()); }

void TextBox::SetText(const QString& text) { setPlainText(sinCrLf(text)); }

int TextBox::room() const {
  if (maxLength_ <= 0) return -1;
  QString seleccion = textCursor().selectedText();
  seleccion.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
  return std::max(0, maxLength_ - (largo(toPlainText()) - largo(seleccion)));
}

void TextBox::keyPressEvent(QKeyEvent* event) {
  if (!isReadOnly() && maxLength_ > 0) {
    const bool salto = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    const QString texto = event->text();
    const bool escribe = salto || (!texto.isEmpty() && texto.at(0).isPrint() &&
                                   !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier)));
    if (escribe && (salto ? 2 : largo(texto)) > room()) {
      QApplication::beep();
      event->accept();
      return;
    }
  }
  QPlainTextEdit::keyPressEvent(event);
}

void TextBox::insertFromMimeData(const QMimeData* source) {
  if (isReadOnly() || !source || !source->hasText()) return;
  QString texto = sinCrLf(source->text());
  const int cabe = room();
  if (cabe >= 0) texto = recorta(texto, cabe);
  textCursor().insertText(texto);
  ensureCursorVisible();
}

// Two lines of text.
QSize TextBox::sizeHint() const {
  const QSize base = QPlainTextEdit::sizeHint();
  const int alto = fontMetrics().lineSpacing() * 2 + 2 * frameWidth() + int(document()->documentMargin() * 2);
  return QSize(base.width(), alto);
}

QSize TextBox::minimumSizeHint() const {
  return QSize(QPlainTextEdit::minimumSizeHint().width(), sizeHint().height());
}

}  // namespace ui
