#pragma once
// Copies of the files the build puts in the program folder (templates, library database, sample bid),
// for tests that change them. Only for test targets (TORNAVO_BIN_DIR is theirs).
#include <QFile>
#include <QString>

namespace testsupport {

// Copies the program folder's file `archivo` to destino, writable by its owner. False when it could
// not be made.
inline bool copiaDelPrograma(const QString& archivo, const QString& destino) {
  return QFile::copy(QStringLiteral(TORNAVO_BIN_DIR "/") + archivo, destino) &&
         QFile::setPermissions(destino, QFile::permissions(destino) | QFileDevice::WriteOwner);
}

}  // namespace testsupport
