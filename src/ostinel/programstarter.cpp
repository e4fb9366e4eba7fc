#include "programstarter.h"

#include "error.h"

#include <QProcess>

void QtProgramStarter::start(const QString& program, const QStringList& arguments) {
  // Missing from the PATH is the usual failure; it reads as the file-not-found error that
  // starting a missing program always gave.
  if (!QProcess::startDetached(program, arguments)) throw vb::Error(53);
}
