#include "files.h"

#include "error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QIODevice>

#include <array>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
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
    case EROFS:
    case ETXTBSY: number = 70; break;
    case EIO: number = 57; break;
    default: break;
  }
  throw vb::Error(number, vb::Error::standardDescription(number) + QStringLiteral(": ") + QDir::toNativeSeparators(path));
}

QByteArray native(const QString& path) { return QFile::encodeName(path); }

QString folderOf(const QString& path) { return QFileInfo(path).absolutePath(); }

// Closes fd whatever happens to the work done with it.
class Descriptor {
public:
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() { reset(); }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int get() const { return fd_; }
  void reset(int fd = -1) {
    if (fd_ >= 0)
      ::close(fd_);
    fd_ = fd;
  }

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

// 0 when every byte went; otherwise the error.
int writeAll(int fd, const char* p, qint64 left) {
  while (left > 0) {
    const ssize_t n = ::write(fd, p, size_t(left));
    if (n < 0) {
      if (errno == EINTR)
        continue;
      return errno;
    }
    p += n;
    left -= n;
  }
  return 0;
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

// The new file takes the one it replaces' owner and group where the system lets it (the superuser;
// a member of the group, for the group), then its mode, which a change of owner may have cleared,
// then its access list, where it has one: the rights it gives other users and groups (a bid shared
// with a colleague stays writable for the colleague).
void takeAttributes(const QString& fresh, const QString& replaced, const struct stat& old) {
  const QByteArray name = native(fresh);
  if (::chown(name.constData(), old.st_uid, old.st_gid) != 0)
    (void)::chown(name.constData(), uid_t(-1), old.st_gid);
  ::chmod(name.constData(), old.st_mode & 07777);
  static const char* const kAccessList = "system.posix_acl_access";
  const QByteArray from = native(replaced);
  const ssize_t size = ::getxattr(from.constData(), kAccessList, nullptr, 0);
  if (size <= 0)
    return;
  QByteArray list(size, '\0');
  const ssize_t read = ::getxattr(from.constData(), kAccessList, list.data(), size_t(list.size()));
  if (read > 0)
    (void)::setxattr(name.constData(), kAccessList, list.constData(), size_t(read), 0);
}

}  // namespace

QString temporaryFor(const QString& target, Work work) {
  static const std::array<QString, 4> names = {QStringLiteral("compacta"), QStringLiteral("reconstruye"),
                                               QStringLiteral("escribe"), QStringLiteral("respaldo")};
  return target + QStringLiteral(".~") + names[size_t(work)];
}

QString writeTarget(const QString& path) {
  QString current = QFileInfo(path).absoluteFilePath();
  // As many links as the system itself follows before it gives up.
  for (int links = 0; links < 40; ++links) {
    QByteArray text(4096, '\0');
    const ssize_t n = ::readlink(native(current).constData(), text.data(), size_t(text.size()));
    if (n < 0) {
      // No link (any more): the folder as it really is, the file's own name.
      const QFileInfo file(current);
      const QString folder = QFileInfo(file.absolutePath()).canonicalFilePath();
      return folder.isEmpty() ? current : QDir(folder).filePath(file.fileName());
    }
    text.resize(n);
    const QString to = QFile::decodeName(text);
    current = QDir::isAbsolutePath(to) ? to : folderOf(current) + u'/' + to;
  }
  fail(ELOOP, path);
}

int writeRefusal(const QString& path) {
  struct stat st {};
  if (::stat(native(path).constData(), &st) != 0)
    return errno;
  if (::faccessat(AT_FDCWD, native(path).constData(), W_OK, AT_EACCESS) != 0)
    return errno;
  return (st.st_mode & S_IWUSR) == 0 ? EACCES : 0;
}

void checkWritable(const QString& target) {
  struct stat st {};
  if (::stat(native(target).constData(), &st) == 0) {
    if (S_ISDIR(st.st_mode))
      fail(EISDIR, target);
    if (const int error = writeRefusal(target))
      fail(error, target);
  } else if (errno != ENOENT) {
    fail(errno, target);
  }
  const QString folder = folderOf(target);
  if (const int error = writeRefusal(folder))
    fail(error, folder);
}

void removeLeftovers(const QString& path) {
  const QString target = writeTarget(path);
  for (const Work work : {Work::Compaction, Work::Rebuild, Work::Write, Work::Backup})
    for (const char* journal : {"", "-journal", "-wal", "-shm"})
      ::unlink(native(temporaryFor(target, work) + QLatin1String(journal)).constData());
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

// The new content as a stream: an unnamed file in the target's folder where the system has them
// (named only once complete), otherwise the named temporary itself.
class Replacement::Stream : public QIODevice {
public:
  Stream(const QString& temporary) : temporary_(temporary), fd_(-1) {
    fd_.reset(::open(native(folderOf(temporary)).constData(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666));
    unnamed_ = fd_.get() >= 0;
    if (!unnamed_) {
      fd_.reset(::open(native(temporary).constData(), O_CREAT | O_EXCL | O_WRONLY | O_CLOEXEC, 0666));
      if (fd_.get() < 0)
        fail(errno, temporary);
    }
    QIODevice::open(QIODevice::WriteOnly | QIODevice::Unbuffered);
  }

  bool isSequential() const override { return true; }

  void check() const {
    if (error_ != 0)
      fail(error_, temporary_);
  }

  // Everything written, flushed and under the temporary's name.
  void finish() {
    QIODevice::close();
    check();
    syncDescriptor(fd_.get(), temporary_, false);
    if (unnamed_) {
      const QByteArray self = "/proc/self/fd/" + QByteArray::number(fd_.get());
      if (::linkat(AT_FDCWD, self.constData(), AT_FDCWD, native(temporary_).constData(), AT_SYMLINK_FOLLOW) != 0)
        fail(errno, temporary_);
    }
    fd_.reset();
  }

protected:
  qint64 readData(char*, qint64) override { return -1; }
  qint64 writeData(const char* data, qint64 size) override {
    if (error_ == 0)
      error_ = writeAll(fd_.get(), data, size);
    if (error_ == 0)
      return size;
    setErrorString(QString::fromLocal8Bit(std::strerror(error_)));
    return -1;
  }

private:
  QString temporary_;
  Descriptor fd_;
  bool unnamed_ = false;
  int error_ = 0;
};

Replacement::Replacement(const QString& path, Work work)
    : target_(writeTarget(path)), temporary_(temporaryFor(target_, work)) {
  checkWritable(target_);
  ::unlink(native(temporary_).constData());  // a leftover of an earlier run
}

Replacement::~Replacement() {
  stream_.reset();
  if (!committed_)
    ::unlink(native(temporary_).constData());
}

QIODevice& Replacement::device() {
  if (!stream_)
    stream_ = std::make_unique<Stream>(temporary_);
  return *stream_;
}

void Replacement::checkDevice() const {
  if (stream_)
    stream_->check();
}

void Replacement::commit(const QString& backup) {
  if (stream_)
    stream_->finish();
  struct stat old {};
  const bool exists = ::stat(native(target_).constData(), &old) == 0;
  if (exists)
    takeAttributes(temporary_, target_, old);
  sync(temporary_);
  step("flushed");

  const QString folder = folderOf(target_);
  QString backupFolder = folder;
  if (exists && !backup.isEmpty()) {
    const QString kept = writeTarget(backup);
    checkWritable(kept);
    backupFolder = folderOf(kept);
    // The backup is made under a name of its own before it takes its place, so that an older backup
    // is replaced in one step too: named after target where the two share a folder.
    const QString copy = temporaryFor(backupFolder == folder ? target_ : kept, Work::Backup);
    keepCopy(target_, copy);
    const int renamed = ::rename(native(copy).constData(), native(kept).constData());
    const int error = errno;
    // Where the backup already is target's file (a link left by an earlier run), rename leaves both.
    ::unlink(native(copy).constData());
    if (renamed != 0)
      fail(error, kept);
    step("backed-up");
  }

  if (::rename(native(temporary_).constData(), native(target_).constData()) != 0)
    fail(errno, target_);
  committed_ = true;
  syncFolder(folder);
  if (backupFolder != folder)
    syncFolder(backupFolder);
  step("replaced");
}

void write(const QString& path, const QByteArray& data, const QString& backup) {
  Replacement replacement(path);
  replacement.device().write(data);
  replacement.commit(backup);
}

void setStepHook(std::function<void(const char* step)> hook) { stepHook() = std::move(hook); }

}  // namespace files
