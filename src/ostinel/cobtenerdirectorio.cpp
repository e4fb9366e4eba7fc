#include "cobtenerdirectorio.h"

#include <QCoreApplication>

using namespace shfolder;

qint32 PlatformShellFolders::GetFolderPath(qint32 folder, QString& /*buffer*/) {
  if ((folder & ~CSIDL_FLAG_MASK) == CSIDL_SYSTEMX86) return S_FALSE;
  return E_INVALIDARG;
}

cObtenerDirectorio::cObtenerDirectorio(ShellFolders* shell) : shell_(shell ? shell : &platform_) {}

QString cObtenerDirectorio::ObtenerCarpeta(qint32 CualCarpeta, qint32 CrearCarpeta) {
  QString buffer(MAX_PATH, QChar(0));
  const qint32 result = shell_->GetFolderPath(CualCarpeta | CrearCarpeta, buffer);
  switch (result) {
    case S_OK: {
      const qsizetype end = buffer.indexOf(QChar(0));
      return end < 0 ? buffer : buffer.left(end);
    }
    case S_FALSE:
      return QCoreApplication::applicationDirPath();
    case E_INVALIDARG:
      return QString();
    default:
      return buffer;
  }
}
