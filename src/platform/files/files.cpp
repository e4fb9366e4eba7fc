#include "files.h"

#include "error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace files {

namespace {

std::function<void(const char*)>& stepHook() {
  static std::function<void(const char*)> hook;
  return hook;
}

void step(const char* name) {
  if (stepHook())
    stepHook()(name);
}

[[noreturn]] void fail(int error, const QString& path) {
  int number = 75;
  switch (error) {
    case ENOSPC:
    case EDQUOT:
    case EFBIG: number = 61; break;
    case EACCES:
    case EPERM:
    case EROFS: number = 70; break;
    case EIO: number = 57; break;
    default: break;
  }
  throw vb::Error(number, vb::Error::standardDescription(number) + QStringLiteral(": ") + QDir::toNativeSeparators(path));
}

QByteArray native(const QString& path) { return QFile::encodeName(path); }

// Closes fd whatever happens to the work done with it.
class Descriptor {
public:
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0)
      ::close(fd_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int get() const { return fd_; }

private:
  int fd_;
};

void syncDescriptor(int fd, const QString& path, bool folder) {
  if (::fsync(fd) == 0)
    return;
  // Some file systems cannot flush a folder; the rename is then as safe as they make it.
  if (folder && (errno == EINVAL || errno == ENOTSUP))
    return;
  fail(errno, path);
}

void writeAll(int fd, const QByteArray& data, const QString& path) {
  const char* p = data.constData();
  qsizetype left = data.size();
  while (left > 0) {
    const ssize_t n = ::write(fd, p, size_t(left));
    if (n < 0) {
      if (errno == EINTR)
        continue;
      fail(errno, path);
    }
    p += n;
    left -= n;
  }
}

// The data in a new file named temporary, flushed. An unnamed file first, named only once complete,
// where the system has them; otherwise the named file directly.
void writeTemporary(const QString& temporary, const QByteArray& data) {
  const QString folder = QFileInfo(temporary).absolutePath();
  ::unlink(native(temporary).constData());  // a leftover of an earlier run
  {
    Descriptor unnamed(::open(native(folder).constData(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666));
    if (unnamed.get() >= 0) {
      writeAll(unnamed.get(), data, temporary);
      syncDescriptor(unnamed.get(), temporary, false);
      const QByteArray self = "/proc/self/fd/" + QByteArray::number(unnamed.get());
      if (::linkat(AT_FDCWD, self.constData(), AT_FDCWD, native(temporary).constData(), AT_SYMLINK_FOLLOW) == 0)
        return;
    }
  }
  Descriptor named(::open(native(temporary).constData(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0666));
  if (named.get() < 0)
    fail(errno, temporary);
  try {
    writeAll(named.get(), data, temporary);
    syncDescriptor(named.get(), temporary, false);
  } catch (...) {
    ::unlink(native(temporary).constData());
    throw;
  }
}

// target's content under the name copy: a hard link, or a flushed copy.
void keepCopy(const QString& target, const QString& copy) {
  ::unlink(native(copy).constData());
  if (::link(native(target).constData(), native(copy).constData()) == 0)
    return;
  if (!QFile::copy(target, copy)) {
    QFile::remove(copy);
    fail(0, copy);
  }
  try {
    sync(copy);
  } catch (...) {
    QFile::remove(copy);
    throw;
  }
}

}  // namespace

QString temporaryFor(const QString& target, const QString& purpose) { return target + QStringLiteral(".~") + purpose; }

void removeLeftovers(const QString& target) {
  const QFileInfo info(target);
  const QDir folder = info.absoluteDir();
  const QString prefix = info.fileName() + QStringLiteral(".~");
  for (const QString& name : folder.entryList(QDir::Files | QDir::Hidden | QDir::System))
    if (name.startsWith(prefix))
      QFile::remove(folder.filePath(name));
}

void sync(const QString& file) {
  Descriptor fd(::open(native(file).constData(), O_RDONLY | O_CLOEXEC));
  if (fd.get() < 0)
    fail(errno, file);
  syncDescriptor(fd.get(), file, false);
}

void syncFolder(const QString& folder) {
  Descriptor fd(::open(native(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (fd.get() < 0)
    fail(errno, folder);
  syncDescriptor(fd.get(), folder, true);
}

void replace(const QString& fresh, const QString& target, const QString& backup) {
  const QString folder = QFileInfo(target).absolutePath();
  struct stat old {};
  const bool exists = ::stat(native(target).constData(), &old) == 0;
  if (exists)
    ::chmod(native(fresh).constData(), old.st_mode & 07777);
  sync(fresh);
  step("flushed");

  if (exists && !backup.isEmpty()) {
    // The backup is made under a name of target's before it takes its own, so that an older backup
    // is replaced in one step too.
    const QString copy = temporaryFor(target, QStringLiteral("respaldo"));
    keepCopy(target, copy);
    const int renamed = ::rename(native(copy).constData(), native(backup).constData());
    const int error = errno;
    // Where the backup already is target's file (a link left by an earlier run), rename leaves both.
    ::unlink(native(copy).constData());
    if (renamed != 0)
      fail(error, backup);
    step("backed-up");
  }

  if (::rename(native(fresh).constData(), native(target).constData()) != 0)
    fail(errno, target);
  syncFolder(folder);
  const QString backupFolder = backup.isEmpty() ? folder : QFileInfo(backup).absolutePath();
  if (backupFolder != folder)
    syncFolder(backupFolder);
  step("replaced");
}

void write(const QString& path, const QByteArray& data) {
  const QString target = QFileInfo(path).absoluteFilePath();
  const QString temporary = temporaryFor(target, QStringLiteral("escribe"));
  writeTemporary(temporary, data);
  try {
    replace(temporary, target);
  } catch (...) {
    ::unlink(native(temporary).constData());
    throw;
  }
}

void setStepHook(std::function<void(const char* step)> hook) { stepHook() = std::move(hook); }

}  // namespace files
