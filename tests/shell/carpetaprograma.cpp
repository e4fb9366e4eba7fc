#include "carpetaprograma.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace shelltest {

namespace {

bool copia(const QString& origen, const QString& destino) {
  QDir().mkpath(QFileInfo(destino).absolutePath());
  return QFile::copy(origen, destino) &&
         QFile::setPermissions(destino, QFile::permissions(destino) | QFileDevice::WriteOwner);
}

}  // namespace

CarpetaPrograma::CarpetaPrograma() {
  copiada_ = dir_.isValid();
  for (const char* nombre : {"TORNAVO.KOR", "paratorn.kor", "Ejemplo.mdb"}) {
    const QString n = QString::fromLatin1(nombre);
    copiada_ = copiada_ && copia(QDir(QStringLiteral(TORNAVO_BIN_DIR)).filePath(n), dir_.filePath(n));
  }
}

QString CarpetaPrograma::copiaEjemplo(const QString& relativa) const {
  const QString destino = dir_.filePath(relativa);
  return copia(dir_.filePath(QStringLiteral("Ejemplo.mdb")), destino) ? destino : QString();
}

}  // namespace shelltest
