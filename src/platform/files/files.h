#pragma once
// Files replaced whole, by one writer and one rule, whatever the file (bids, the library, templates,
// workbooks, PDFs):
// - a symbolic link is followed to the file it names, and that file is replaced (the link stays);
// - the new content is written beside that file, flushed to the disk and renamed over it in one
//   step, so that at every moment the name holds the old file or the whole new one, whatever ends the
//   program meanwhile;
// - the new file keeps the owner, group, mode and access list of the one it replaces, as far as the
//   system lets the user give them;
// - a file or folder the user may not write is refused (70), never replaced. A file or folder without
//   write permission for its owner is read-only for everyone: the superuser, whom no permission stops,
//   is held to it too.
// The temporaries are named after the file they are about to replace ("obra.mdb.~compacta"), so that
// what an interrupted run left can be told from anything else and removed.
//
// Errors are vb::Error with the run-time numbers of file access: 61 disk full, 70 permission
// denied, 57 the disk failed to keep the data, 75 any other.
#include <QByteArray>
#include <QString>

#include <functional>
#include <memory>

class QIODevice;

namespace files {

// The work a temporary is made for; each has its own name.
enum class Work {
  Compaction,  // "<file>.~compacta"
  Rebuild,     // "<file>.~reconstruye"
  Write,       // "<file>.~escribe"
  Backup,      // "<file>.~respaldo": the old file kept under a name of its own until it becomes the backup
};

// "<target>.~<work>": the temporary, beside target, of work that ends by putting it in target's place.
QString temporaryFor(const QString& target, Work work);

// The file a write to path replaces: path with every symbolic link on the way followed, absolute.
// Also for a file that does not exist yet (a link to nowhere names the file it will make).
QString writeTarget(const QString& path);

// Why the user may not change what path holds (a file's content, a folder's entries): the errno of a
// file or folder that is not there or that this process may not write, EACCES for one without write
// permission for its owner (read-only for everyone, the superuser too); 0 when it may.
int writeRefusal(const QString& path);

// Refuses (70, naming the file or its folder) a file the user may not replace (writeRefusal); 75 for
// a folder that is not there or a file that is a folder. target as writeTarget gives it.
void checkWritable(const QString& target);

// Removes what interrupted work left beside the file path names (its link followed): exactly the
// program's own temporaries of that file and their journals, nothing else. Only while no other program
// can be at work on the file (the caller holds it open).
void removeLeftovers(const QString& path);

// Flushes a file's content, or a folder's entries, to the disk.
void sync(const QString& file);
void syncFolder(const QString& folder);

// One replacement of a file. Made ready for the file path names (checked, its link followed); the new
// content goes to temporary(), by name (a database, a copy, a printer writes it there) or through
// device(); commit() puts it in place. Whatever happens before commit(), the file stays as it was and
// the temporary goes with the object.
class Replacement {
public:
  explicit Replacement(const QString& path, Work work = Work::Write);
  ~Replacement();
  Replacement(const Replacement&) = delete;
  Replacement& operator=(const Replacement&) = delete;

  const QString& target() const { return target_; }
  const QString& temporary() const { return temporary_; }
  // The new content written as a stream, into an unnamed file where the system has them: nothing is
  // left beside the file if the program ends before commit(). A failed write is raised by commit().
  QIODevice& device();
  // Raises what a write to device() met, as commit() would; nothing when every write went.
  void checkDevice() const;
  // The new content in target's place: flushed, given target's owner, group and mode, renamed over
  // it. With a backup name, the file target held until then stays under that name (a hard link, or a
  // flushed copy where the file system has none), replacing an older one; the backup follows the
  // same rule as the file.
  void commit(const QString& backup = {});

private:
  class Stream;
  QString target_;
  QString temporary_;
  std::unique_ptr<Stream> stream_;
  bool committed_ = false;
};

// Writes data as the whole new content of path (see Replacement), with an optional backup.
void write(const QString& path, const QByteArray& data, const QString& backup = {});

// For tests: hook is called with the name of each step of commit() once it is done ("flushed",
// "backed-up", "replaced"), so that a test can end the process there as a crash would.
void setStepHook(std::function<void(const char* step)> hook);

}  // namespace files
