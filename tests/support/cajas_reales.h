#pragma once
// Message boxes as the user meets them: real windows that take the keyboard, closed by pressing Enter
// on them. Their texts are kept.
#include "msgbox.h"

#include <QApplication>
#include <QStringList>
#include <QTest>
#include <QTimer>

#include <functional>

namespace testsupport {

class CajasAceptadas : public ui::MsgBoxService {
public:
  CajasAceptadas() : previo_(ui::installMsgBoxService(this)) {}
  ~CajasAceptadas() override { ui::installMsgBoxService(previo_); }
  ui::VbMsgBoxResult show(const ui::MsgBoxRequest& request) override {
    textos << request.prompt;
    QTimer::singleShot(0, [this] {
      if (QWidget* caja = QApplication::activeModalWidget()) {
        if (mientrasAbierta) mientrasAbierta();
        QTest::keyClick(caja, Qt::Key_Return);
      }
    });
    return ui::QtMsgBoxService().show(request);
  }
  QStringList textos;
  std::function<void()> mientrasAbierta;  // what the user does while a box is open, before Enter

private:
  ui::MsgBoxService* previo_;
};

}  // namespace testsupport
