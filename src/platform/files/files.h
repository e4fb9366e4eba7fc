#pragma once
// Files replaced whole. A new file is written beside the one it replaces, flushed to the disk and
// renamed over it in one step, so that at every moment the name holds the old file or the whole new
// one, whatever ends the program meanwhile. The temporaries are named after the file they are about
// to replace ("obra.mdb.~compacta"), so that what an interrupted run left can be told and removed.
//
// Errors are vb::Error with the run-time numbers of file access: 61 disk full, 70 permission
// denied, 57 the disk failed to keep the data, 75 any other.
#include <QByteArray>
#include <QString>

#include <functional>

namespace files {

// "<target>.~<purpose>": the temporary, beside target, of work that ends by putting it in target's place.
QString temporaryFor(const QString& target, const QString& purpose);

// Removes what interrupted work left beside target: every "<target>.~*" (with their journals). Only
// while no other program can be at work on target (the caller holds it open).
void removeLeftovers(const QString& target);

// Flushes a file's content, or a folder's entries, to the disk.
void sync(const QString& file);
void syncFolder(const QString& folder);

// Puts fresh, a complete file in target's folder, in target's place: flushed first, then renamed over
// target in one step, taking the permissions target had. With a backup name, the file target held
// until then stays under that name (a hard link, or a flushed copy where the file system has none),
// replacing an older one. On an error target is as it was, and fresh is left to the caller.
void replace(const QString& fresh, const QString& target, const QString& backup = {});

// Writes data as the whole new content of path, in the same way. Nothing is left beside path if the
// program ends while it writes (the data goes first into an unnamed file where the system has them).
void write(const QString& path, const QByteArray& data);

// For tests: hook is called with the name of each step of replace() once it is done ("flushed",
// "backed-up", "replaced"), so that a test can end the process there as a crash would.
void setStepHook(std::function<void(const char* step)> hook);

}  // namespace files
