#pragma once
// A file or folder that no one may write while the object lives, the superuser included: its write
// permissions are taken away and, where permissions do not bind (tests run as root), it is marked
// immutable. Everything is put back when the object goes. Efectivo() tells whether the path really
// refuses writes here (a file system without the immutable mark, for one, leaves it writable to root).
// SoloPermisos only takes the permissions away: a file marked read-only as a user marks it, which the
// superuser could still write.
#include <QFile>
#include <QFileInfo>
#include <QString>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace testsupport {

class SoloLectura {
public:
  enum Alcance { Inmutable, SoloPermisos };
  explicit SoloLectura(const QString& ruta, Alcance alcance = Inmutable)
      : ruta_(ruta), permisos_(QFile::permissions(ruta)) {
    QFile::setPermissions(ruta_, permisos_ & ~(QFileDevice::WriteOwner | QFileDevice::WriteUser |
                                               QFileDevice::WriteGroup | QFileDevice::WriteOther));
    if (alcance == Inmutable && ::geteuid() == 0) inmutable_ = marca(true);
  }
  ~SoloLectura() {
    if (inmutable_) marca(false);
    QFile::setPermissions(ruta_, permisos_);
  }
  SoloLectura(const SoloLectura&) = delete;
  SoloLectura& operator=(const SoloLectura&) = delete;

  bool Efectivo() const {
    if (QFileInfo(ruta_).isDir()) {
      const QByteArray prueba = QFile::encodeName(ruta_ + QStringLiteral("/.escritura"));
      const int fd = ::open(prueba.constData(), O_CREAT | O_WRONLY | O_CLOEXEC, 0600);
      if (fd < 0) return true;
      ::close(fd);
      ::unlink(prueba.constData());
      return false;
    }
    const int fd = ::open(QFile::encodeName(ruta_).constData(), O_RDWR | O_CLOEXEC);
    if (fd < 0) return true;
    ::close(fd);
    return false;
  }

private:
  bool marca(bool inmutable) {
    const int fd = ::open(QFile::encodeName(ruta_).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return false;
    int banderas = 0;
    bool hecho = ::ioctl(fd, FS_IOC_GETFLAGS, &banderas) == 0;
    if (hecho) {
      banderas = inmutable ? (banderas | FS_IMMUTABLE_FL) : (banderas & ~FS_IMMUTABLE_FL);
      hecho = ::ioctl(fd, FS_IOC_SETFLAGS, &banderas) == 0;
    }
    ::close(fd);
    return hecho;
  }

  QString ruta_;
  QFile::Permissions permisos_;
  bool inmutable_ = false;
};

}  // namespace testsupport
