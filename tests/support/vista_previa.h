#pragma once
// The print preview used as a user uses it, for tests that open it. Only for test targets that link
// Qt's printing.
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDialogButtonBox>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QProgressDialog>
#include <QPushButton>
#include <QTimer>

#include <functional>

namespace testsupport {

// Once the preview is shown (its pages made), notes how many pages it has and closes it, as its close
// box would. Closed any earlier, while its pages are still being made (a long report's progress lets
// events through), it would never end.
inline void cierraAlMostrarse(QWidget& vista, int& paginas) {
  auto* vigia = new QTimer(&vista);
  vigia->setInterval(5);
  QObject::connect(vigia, &QTimer::timeout, &vista, [&vista, &paginas, vigia] {
    if (!vista.isVisible() || QApplication::activeModalWidget() != &vista)
      return;
    vigia->stop();
    if (auto* hojas = vista.findChild<QPrintPreviewWidget*>())
      paginas = hojas->pageCount();
    vista.close();
  });
  vigia->start();
}

// Prints from the preview: once it shows its pages, its print button; then the print dialog's own
// print button, and "Sí" when it asks before replacing a file.
class ImprimeDesdeVista {
public:
  // `mientras` is told, over and over while the print runs, of the progress dialog then shown (nullptr
  // while there is none).
  explicit ImprimeDesdeVista(std::function<void(QProgressDialog*)> mientras = {}) : mientras_(std::move(mientras)) {
    vigia_.setInterval(5);
    QObject::connect(&vigia_, &QTimer::timeout, [this] { mira(); });
    vigia_.start();
  }

  // The print dialog was answered: the print has started.
  bool imprime() const { return paso_ == Paso::Imprime; }

private:
  enum class Paso { Vista, Dialogo, Pregunta, Imprime };

  static void pulsa(QAbstractButton* boton) {
    if (boton)
      QTimer::singleShot(0, boton, &QAbstractButton::click);
  }

  void mira() {
    QWidget* modal = QApplication::activeModalWidget();
    switch (paso_) {
      case Paso::Vista: {
        auto* vista = qobject_cast<QPrintPreviewDialog*>(modal);
        auto* paginas = vista ? vista->findChild<QPrintPreviewWidget*>() : nullptr;
        if (!paginas || paginas->pageCount() == 0)
          return;
        // The tool bar's print button, whatever language its text is in: the one with the printer icon.
        for (QAction* accion : vista->findChildren<QAction*>())
          if (accion->icon().name().contains(QLatin1String("print")) || accion->text() == QLatin1String("Print")) {
            paso_ = Paso::Dialogo;
            QTimer::singleShot(0, accion, &QAction::trigger);
            return;
          }
        return;
      }
      case Paso::Dialogo:
        if (auto* dialogo = qobject_cast<QPrintDialog*>(modal)) {
          paso_ = Paso::Pregunta;
          if (auto* botones = dialogo->findChild<QDialogButtonBox*>())
            pulsa(botones->button(QDialogButtonBox::Ok));
        }
        return;
      case Paso::Pregunta:
        if (auto* pregunta = qobject_cast<QMessageBox*>(modal)) {
          pulsa(pregunta->button(QMessageBox::Yes));
          paso_ = Paso::Imprime;
        } else if (!qobject_cast<QPrintDialog*>(modal)) {
          paso_ = Paso::Imprime;  // no file to replace: no question
        }
        return;
      case Paso::Imprime:
        if (mientras_)
          mientras_(qobject_cast<QProgressDialog*>(modal));
        return;
    }
  }

  std::function<void(QProgressDialog*)> mientras_;
  QTimer vigia_;
  Paso paso_ = Paso::Vista;
};

}  // namespace testsupport
