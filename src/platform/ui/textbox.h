#pragma once
// The text box of several lines: words wrap, Enter starts a new line and Tab moves to the next control.
// Its Text has CR LF between lines, and MaxLength counts them as two characters: typing beyond it is
// refused and a paste is cut to what still fits (text set by code is taken whole). Locked: the text
// can be selected and copied but not changed.
#include <QPlainTextEdit>

namespace ui {

class TextBox : public QPlainTextEdit {
  Q_OBJECT
public:
  explicit TextBox(QWidget* parent = nullptr);

  QString Text() const;
  void SetText(const QString& text);
  int MaxLength() const { return maxLength_; }
  void SetMaxLength(int length) { maxLength_ = length; }  // 0: no limit
  bool Locked() const { return isReadOnly(); }
  void SetLocked(bool locked) { setReadOnly(locked); }

  QSize sizeHint() const override;         // two lines high
  QSize minimumSizeHint() const override;  // no taller than that

protected:
  void keyPressEvent(QKeyEvent* event) override;
  void insertFromMimeData(const QMimeData* source) override;

private:
  int room() const;  // characters that may still be added in place of the selection; -1: any
  int maxLength_ = 0;
};

}  // namespace ui
