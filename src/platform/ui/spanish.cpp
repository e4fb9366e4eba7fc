#include "spanish.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace ui {

void installSpanish() {
  const QLocale mx(QLocale::Spanish, QLocale::Mexico);
  QLocale::setDefault(mx);
  auto* qt = new QTranslator(QCoreApplication::instance());
  if (qt->load(mx, QStringLiteral("qtbase"), QStringLiteral("_"),
               QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    QCoreApplication::installTranslator(qt);
  else
    delete qt;
}

}  // namespace ui
