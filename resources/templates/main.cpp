// Writes the report template workbooks from their descriptions:
//   tornavo_templates <program folder> <description>...
// Every description is read before anything is written, so a mistake in one leaves the folder as it was.
#include "template.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <cstdio>
#include <vector>

int main(int argc, char** argv) {
  // Fonts are measured (column widths, row heights) but nothing is shown. A build has no session,
  // so the platform gets a private runtime folder of its own rather than complaining.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  QTemporaryDir runtime;
  if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR") && runtime.isValid())
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
  QGuiApplication app(argc, argv);
  const QStringList args = QGuiApplication::arguments();
  if (args.size() < 3) {
    std::fprintf(stderr, "usage: tornavo_templates <program folder> <description>...\n");
    return 2;
  }
  try {
    std::vector<templates::Template> all;
    for (qsizetype i = 2; i < args.size(); ++i)
      all.push_back(templates::buildFile(args[i]));
    if (!QDir().mkpath(args[1]))
      throw templates::DescriptionError(QStringLiteral("cannot create %1").arg(args[1]).toStdString());
    for (const templates::Template& t : all)
      templates::write(t, args[1]);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "tornavo_templates: %s\n", e.what());
    return 1;
  }
  return 0;
}
