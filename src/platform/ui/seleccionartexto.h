#pragma once
// Selecting the whole text of a control when it gets the focus, so that typing replaces it.
#include <QPointer>
#include <QWidget>

namespace ui {

class SeleccionarTexto {
public:
  // The control to work on; callers set it to the form's active control.
  QPointer<QWidget> ControlActivo;

  // Selects the whole text of ControlActivo when its text, trimmed, is not empty; a blank control keeps
  // its caret. Text boxes (one or several lines), spin and date boxes and editable combo boxes.
  void SeleccionaTexto();
};

// Select-on-focus for one control: every time it gets the focus its text is selected as above. The
// selection is made once the focus event is over, or the mouse press that gave the focus would undo it.
void installSeleccionarTexto(QWidget* control);

}  // namespace ui
