#include <QApplication>
#include <QMainWindow>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  app.setApplicationName(QStringLiteral("Tornavo"));
  QMainWindow w;
  w.setWindowTitle(QStringLiteral("Tornavo"));
  w.resize(1024, 700);
  w.show();
  return app.exec();
}
