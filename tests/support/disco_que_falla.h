#pragma once
// A disk that refuses writes, for tests of what the program does when a write fails, in the way
// SQLite tests itself: a VFS over the system's own, made the default of every connection the test
// binary opens (it is registered before main). It passes everything through untouched until a
// DiscoQueFalla is made; while that lives, writes to the files under its folder are counted and,
// past the bytes it allows, refused as a full disk (SQLITE_FULL), a failing disk (SQLITE_IOERR_WRITE,
// EIO) or a medium turned read-only (SQLITE_IOERR_WRITE, EROFS) refuses them: every later write too,
// but that a full disk still lets a file's own bytes be written over (a rollback does), and a medium
// turned read-only says so when asked whether a file can be written. Reads, truncations and syncs pass.
#include <QString>
#include <cstdint>

namespace testsupport {

class DiscoQueFalla {
public:
  enum class Causa { Lleno, Averiado, SoloLectura };
  // Which writes count and fail: every file, the database files only (their pages reach them at the
  // commit), or the rollback journals only (written while a statement runs).
  enum class Archivos { Todos, Bases, Diarios };

  DiscoQueFalla(const QString& carpeta, int64_t bytes, Causa causa = Causa::Lleno, Archivos archivos = Archivos::Todos);
  ~DiscoQueFalla();
  DiscoQueFalla(const DiscoQueFalla&) = delete;
  DiscoQueFalla& operator=(const DiscoQueFalla&) = delete;

  int rechazadas() const;   // writes refused so far
  int64_t escritos() const; // bytes written so far under the folder
};

}  // namespace testsupport
