#include "disco_que_falla.h"

#include <QByteArray>
#include <QFileInfo>

#include <cerrno>
#include <cstring>
#include <optional>
#include <sqlite3.h>

namespace testsupport {
namespace {

struct Estado {
  QByteArray carpeta;   // canonical, ending in '/'
  int64_t permitidos = 0;
  int64_t escritos = 0;
  int rechazadas = 0;
  DiscoQueFalla::Causa causa = DiscoQueFalla::Causa::Lleno;
  DiscoQueFalla::Archivos archivos = DiscoQueFalla::Archivos::Todos;
};

std::optional<Estado> g_estado;
int g_errno = 0;   // what the last refused write tells as the system's error
sqlite3_vfs g_vfs;   // this one; its pAppData is the system's

sqlite3_vfs* real() { return static_cast<sqlite3_vfs*>(g_vfs.pAppData); }

struct Archivo {
  sqlite3_file base;
  sqlite3_file* real;
  QByteArray* nombre;
  bool esBase;
  bool esDiario;
};

sqlite3_file* de(sqlite3_file* f) { return reinterpret_cast<Archivo*>(f)->real; }

bool cuenta(const Archivo& a) {
  if (!g_estado || !a.nombre || !a.nombre->startsWith(g_estado->carpeta)) return false;
  switch (g_estado->archivos) {
    case DiscoQueFalla::Archivos::Todos: return true;
    case DiscoQueFalla::Archivos::Bases: return a.esBase;
    case DiscoQueFalla::Archivos::Diarios: return a.esDiario;
  }
  return false;
}

int cierra(sqlite3_file* f) {
  auto* a = reinterpret_cast<Archivo*>(f);
  const int rc = a->real->pMethods ? a->real->pMethods->xClose(a->real) : SQLITE_OK;
  delete a->nombre;
  a->nombre = nullptr;
  return rc;
}

int lee(sqlite3_file* f, void* p, int n, sqlite3_int64 o) { return de(f)->pMethods->xRead(de(f), p, n, o); }

int escribe(sqlite3_file* f, const void* p, int n, sqlite3_int64 o) {
  auto* a = reinterpret_cast<Archivo*>(f);
  if (cuenta(*a)) {
    Estado& e = *g_estado;
    // A full disk has no room for more, but what a file holds can be written over (a rollback).
    sqlite3_int64 tamano = 0;
    if (e.rechazadas > 0 && e.causa == DiscoQueFalla::Causa::Lleno &&
        a->real->pMethods->xFileSize(a->real, &tamano) == SQLITE_OK && o + n <= tamano)
      return a->real->pMethods->xWrite(a->real, p, n, o);
    if (e.escritos + n > e.permitidos) {
      ++e.rechazadas;
      switch (e.causa) {
        case DiscoQueFalla::Causa::Lleno: g_errno = ENOSPC; return SQLITE_FULL;
        case DiscoQueFalla::Causa::Averiado: g_errno = EIO; return SQLITE_IOERR_WRITE;
        case DiscoQueFalla::Causa::SoloLectura: g_errno = EROFS; return SQLITE_IOERR_WRITE;
      }
    }
    e.escritos += n;
  }
  return a->real->pMethods->xWrite(a->real, p, n, o);
}

int trunca(sqlite3_file* f, sqlite3_int64 n) { return de(f)->pMethods->xTruncate(de(f), n); }
int sincroniza(sqlite3_file* f, int flags) { return de(f)->pMethods->xSync(de(f), flags); }
int tamano(sqlite3_file* f, sqlite3_int64* n) { return de(f)->pMethods->xFileSize(de(f), n); }
int bloquea(sqlite3_file* f, int n) { return de(f)->pMethods->xLock(de(f), n); }
int desbloquea(sqlite3_file* f, int n) { return de(f)->pMethods->xUnlock(de(f), n); }
int reservado(sqlite3_file* f, int* r) { return de(f)->pMethods->xCheckReservedLock(de(f), r); }
int control(sqlite3_file* f, int op, void* arg) { return de(f)->pMethods->xFileControl(de(f), op, arg); }
int sector(sqlite3_file* f) { return de(f)->pMethods->xSectorSize(de(f)); }
int caracteristicas(sqlite3_file* f) { return de(f)->pMethods->xDeviceCharacteristics(de(f)); }
int shmMap(sqlite3_file* f, int i, int n, int w, void volatile** p) { return de(f)->pMethods->xShmMap(de(f), i, n, w, p); }
int shmLock(sqlite3_file* f, int o, int n, int fl) { return de(f)->pMethods->xShmLock(de(f), o, n, fl); }
void shmBarrier(sqlite3_file* f) { de(f)->pMethods->xShmBarrier(de(f)); }
int shmUnmap(sqlite3_file* f, int d) { return de(f)->pMethods->xShmUnmap(de(f), d); }
int fetch(sqlite3_file* f, sqlite3_int64 o, int n, void** p) { return de(f)->pMethods->xFetch(de(f), o, n, p); }
int unfetch(sqlite3_file* f, sqlite3_int64 o, void* p) { return de(f)->pMethods->xUnfetch(de(f), o, p); }

const sqlite3_io_methods kMetodos = {3,        cierra,   lee,        escribe,  trunca,    sincroniza, tamano,
                                     bloquea,  desbloquea, reservado, control, sector,    caracteristicas,
                                     shmMap,   shmLock,  shmBarrier, shmUnmap, fetch,     unfetch};

int abre(sqlite3_vfs*, sqlite3_filename nombre, sqlite3_file* f, int flags, int* salida) {
  auto* a = reinterpret_cast<Archivo*>(f);
  a->base.pMethods = nullptr;
  a->real = reinterpret_cast<sqlite3_file*>(a + 1);
  a->nombre = nullptr;
  a->esBase = flags & SQLITE_OPEN_MAIN_DB;
  a->esDiario = flags & SQLITE_OPEN_MAIN_JOURNAL;
  const int rc = real()->xOpen(real(), nombre, a->real, flags, salida);
  if (rc != SQLITE_OK) return rc;
  if (nombre) a->nombre = new QByteArray(nombre);
  a->base.pMethods = &kMetodos;
  return SQLITE_OK;
}

int borra(sqlite3_vfs*, const char* n, int sync) { return real()->xDelete(real(), n, sync); }
// A medium turned read-only says so when asked whether its files can be written.
int accede(sqlite3_vfs*, const char* n, int flags, int* r) {
  if (flags == SQLITE_ACCESS_READWRITE && g_estado && g_estado->causa == DiscoQueFalla::Causa::SoloLectura &&
      g_estado->rechazadas > 0 && n && QByteArray(n).startsWith(g_estado->carpeta)) {
    *r = 0;
    return SQLITE_OK;
  }
  return real()->xAccess(real(), n, flags, r);
}
int rutaCompleta(sqlite3_vfs*, const char* n, int largo, char* salida) {
  return real()->xFullPathname(real(), n, largo, salida);
}
void* dlAbre(sqlite3_vfs*, const char* n) { return real()->xDlOpen(real(), n); }
void dlError(sqlite3_vfs*, int n, char* m) { real()->xDlError(real(), n, m); }
void (*dlSimbolo(sqlite3_vfs*, void* h, const char* s))(void) { return real()->xDlSym(real(), h, s); }
void dlCierra(sqlite3_vfs*, void* h) { real()->xDlClose(real(), h); }
int azar(sqlite3_vfs*, int n, char* b) { return real()->xRandomness(real(), n, b); }
int duerme(sqlite3_vfs*, int us) { return real()->xSleep(real(), us); }
int hora(sqlite3_vfs*, double* t) { return real()->xCurrentTime(real(), t); }
int ultimoError(sqlite3_vfs*, int n, char* m) {
  if (g_errno) return g_errno;
  return real()->xGetLastError(real(), n, m);
}
int hora64(sqlite3_vfs*, sqlite3_int64* t) { return real()->xCurrentTimeInt64(real(), t); }

// Registered before main, as the default, so that every connection of the binary goes through it.
[[maybe_unused]] const bool g_registrado = [] {
  sqlite3_initialize();
  sqlite3_vfs* sistema = sqlite3_vfs_find(nullptr);
  g_vfs = sqlite3_vfs{};
  g_vfs.iVersion = 2;
  g_vfs.szOsFile = int(sizeof(Archivo)) + sistema->szOsFile;
  g_vfs.mxPathname = sistema->mxPathname;
  g_vfs.zName = "disco-que-falla";
  g_vfs.pAppData = sistema;
  g_vfs.xOpen = abre;
  g_vfs.xDelete = borra;
  g_vfs.xAccess = accede;
  g_vfs.xFullPathname = rutaCompleta;
  g_vfs.xDlOpen = dlAbre;
  g_vfs.xDlError = dlError;
  g_vfs.xDlSym = dlSimbolo;
  g_vfs.xDlClose = dlCierra;
  g_vfs.xRandomness = azar;
  g_vfs.xSleep = duerme;
  g_vfs.xCurrentTime = hora;
  g_vfs.xGetLastError = ultimoError;
  g_vfs.xCurrentTimeInt64 = hora64;
  return sqlite3_vfs_register(&g_vfs, 1) == SQLITE_OK;
}();

}  // namespace

DiscoQueFalla::DiscoQueFalla(const QString& carpeta, int64_t bytes, Causa causa, Archivos archivos) {
  Estado e;
  e.carpeta = QFileInfo(carpeta).canonicalFilePath().toUtf8() + '/';
  e.permitidos = bytes;
  e.causa = causa;
  e.archivos = archivos;
  g_estado = e;
  g_errno = 0;
}

DiscoQueFalla::~DiscoQueFalla() {
  g_estado.reset();
  g_errno = 0;
}

int DiscoQueFalla::rechazadas() const { return g_estado ? g_estado->rechazadas : 0; }
int64_t DiscoQueFalla::escritos() const { return g_estado ? g_estado->escritos : 0; }

}  // namespace testsupport
