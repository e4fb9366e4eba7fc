#pragma once
// Small files for tests of what the program writes: put in place, read back, made read-only.
#include <QByteArray>
#include <QFile>
#include <QString>

#include <sys/stat.h>

namespace testsupport {

// Writes `contenido` as the whole file; false when it could not.
inline bool pon(const QString& ruta, const QByteArray& contenido) {
  QFile f(ruta);
  return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(contenido) == contenido.size();
}

// The whole file; "(no existe)" when it cannot be read.
inline QByteArray contenido(const QString& ruta) {
  QFile f(ruta);
  return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("(no existe)");
}

// A file or folder with no write permission for anyone while the object lives; its permissions back
// when it goes. The system lets the superuser write it all the same: what the test checks is the
// program's own rule, that what nobody may write is read-only for everyone.
class SinEscritura {
public:
  explicit SinEscritura(const QString& ruta) : ruta_(QFile::encodeName(ruta)) {
    struct stat st {};
    hecho_ = ::stat(ruta_.constData(), &st) == 0 && ::chmod(ruta_.constData(), st.st_mode & ~mode_t(0222)) == 0;
    modo_ = st.st_mode & 07777;
  }
  ~SinEscritura() {
    if (hecho_)
      ::chmod(ruta_.constData(), modo_);
  }
  SinEscritura(const SinEscritura&) = delete;
  SinEscritura& operator=(const SinEscritura&) = delete;
  bool hecho() const { return hecho_; }

private:
  QByteArray ruta_;
  mode_t modo_ = 0;
  bool hecho_ = false;
};

}  // namespace testsupport
