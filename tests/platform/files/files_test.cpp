// Files replaced whole: the new file in place or the old one, never half; backups; symbolic links
// followed; owner, group and mode kept; read-only files and folders refused; what interrupted work
// leaves and its removal (and nothing else).
#include "archivos.h"
#include "corte.h"
#include "error_of.h"
#include "files.h"
#include "qt_print.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <csignal>
#include <cerrno>
#include <cstring>
#include <gtest/gtest.h>
#include <optional>
#include <tuple>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace {

// Owner, group and others (the "user" flags only repeat the owner's here).
QFileDevice::Permissions mode(const QString& file) {
  return QFile::permissions(file) & ~(QFileDevice::ReadUser | QFileDevice::WriteUser | QFileDevice::ExeUser);
}

// What a symbolic link says, as written.
QString linkText(const QString& link) {
  QByteArray text(4096, '\0');
  const ssize_t n = ::readlink(QFile::encodeName(link).constData(), text.data(), size_t(text.size()));
  return n < 0 ? QString() : QFile::decodeName(text.left(n));
}

class Files : public ::testing::Test {
protected:
  QString path(const QString& name) const { return dir.filePath(name); }
  void put(const QString& name, const QByteArray& content) const {
    QFile f(path(name));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(content);
  }
  std::optional<QByteArray> content(const QString& name) const {
    QFile f(path(name));
    if (!f.open(QIODevice::ReadOnly)) return std::nullopt;
    return f.readAll();
  }
  QStringList names() const { return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name); }
  // A new file made by `work` and put in target's place as its work ends.
  void replace(const QString& fresh, const QString& target, const QString& backup = {},
               files::Work work = files::Work::Compaction) const {
    files::Replacement r(path(target), work);
    QFile::remove(r.temporary());
    ASSERT_TRUE(QFile::copy(path(fresh), r.temporary()));
    QFile::remove(path(fresh));
    r.commit(backup.isEmpty() ? QString() : path(backup));
  }

  QTemporaryDir dir;
};

TEST_F(Files, ReplacePutsTheNewFileInPlace) {
  enum Backup { none, older, linked };  // what lies under the backup's name before
  struct Case {
    const char* what;
    bool targetExists;
    Backup before;
    bool withBackup;
    QStringList after;
  };
  const Case cases[] = {
      {"with a backup", true, none, true, {"obra.bak", "obra.mdb"}},
      {"replacing an older backup", true, older, true, {"obra.bak", "obra.mdb"}},
      {"a backup that is already the target's file", true, linked, true, {"obra.bak", "obra.mdb"}},
      {"without a backup", true, none, false, {"obra.mdb"}},
      {"a target that did not exist", false, none, true, {"obra.mdb"}},
  };
  for (const Case& c : cases) {
    for (const QString& n : names()) QFile::remove(path(n));
    if (c.targetExists) {
      put("obra.mdb", "viejo");
      ASSERT_TRUE(QFile::setPermissions(path("obra.mdb"), QFileDevice::ReadOwner | QFileDevice::WriteOwner));
    }
    if (c.before == older) put("obra.bak", "anterior");
    if (c.before == linked) ASSERT_EQ(::link(QFile::encodeName(path("obra.mdb")), QFile::encodeName(path("obra.bak"))), 0);
    put("nuevo", "nuevo");
    replace("nuevo", "obra.mdb", c.withBackup ? "obra.bak" : "");
    EXPECT_EQ(names(), c.after) << c.what;
    EXPECT_EQ(content("obra.mdb"), QByteArray("nuevo")) << c.what;
    if (c.withBackup && c.targetExists) EXPECT_EQ(content("obra.bak"), QByteArray("viejo")) << c.what;
    if (c.targetExists)  // the new file takes the permissions of the one it replaces
      EXPECT_EQ(mode(path("obra.mdb")), QFileDevice::ReadOwner | QFileDevice::WriteOwner) << c.what;
  }
}

TEST_F(Files, AFailedReplaceLeavesTheTargetAndNothingBeside) {
  put("obra.mdb", "viejo");
  // The new content never written.
  EXPECT_EQ(errorOf([&] { files::Replacement(path("obra.mdb"), files::Work::Compaction).commit(path("obra.bak")); }), 75);
  // The backup's folder missing.
  put("nuevo", "nuevo");
  EXPECT_EQ(errorOf([&] { replace("nuevo", "obra.mdb", "no/hay/obra.bak"); }), 75);
  EXPECT_EQ(content("obra.mdb"), QByteArray("viejo"));
  // The new file went with the replacement; no other file was made.
  EXPECT_EQ(names(), QStringList({"obra.mdb"}));
}

// A replace ended at each of its steps as a crash would end it (no clean-up runs).
TEST_F(Files, AReplaceEndedAtAnyStepLeavesTheOldFileOrTheWholeNewOne) {
  struct Case {
    const char* step;
    const char* target;
    const char* backup;
  };
  const Case cases[] = {{"flushed", "viejo", "anterior"}, {"backed-up", "viejo", "viejo"}, {"replaced", "nuevo", "viejo"}};
  for (const Case& c : cases) {
    for (const QString& n : names()) QFile::remove(path(n));
    put("obra.mdb", "viejo");
    put("obra.bak", "anterior");
    put("nuevo", "nuevo");
    EXPECT_EXIT(
        {
          files::setStepHook([&](const char* s) {
            if (std::strcmp(s, c.step) == 0) _exit(3);
          });
          replace("nuevo", "obra.mdb", "obra.bak");
        },
        ::testing::ExitedWithCode(3), "")
        << c.step;
    EXPECT_EQ(content("obra.mdb"), QByteArray(c.target)) << c.step;
    EXPECT_EQ(content("obra.bak"), QByteArray(c.backup)) << c.step;
    // What was left beside the file goes the next time; the file and its backup stay.
    QFile::remove(path("nuevo"));
    files::removeLeftovers(path("obra.mdb"));
    EXPECT_EQ(names(), QStringList({"obra.bak", "obra.mdb"})) << c.step;
  }
}

// Only the program's own temporaries of that file go: never the user's numbered backups ("cp
// --backup=numbered", "mv -b", editors) nor any other name that merely looks alike.
TEST_F(Files, RemoveLeftoversTakesOnlyThatFilesTemporaries) {
  const QStringList temporaries = {"obra.mdb.~compacta",       "obra.mdb.~compacta-journal", "obra.mdb.~reconstruye",
                                   "obra.mdb.~reconstruye-journal", "obra.mdb.~reconstruye-wal", "obra.mdb.~reconstruye-shm",
                                   "obra.mdb.~escribe",        "obra.mdb.~respaldo"};
  const QStringList others = {"obra.mdb",           "obra.mdb-journal",    "obra.bak",           "obra.mdb.~1~",
                              "obra.mdb.~2~",       "obra.mdb.~12~",       "obra.mdb~",          "obra.mdb.~compacta~",
                              "obra.mdb.~compacta.1", "obra.mdb.~mia",     "obra.mdb.~Compacta", "obra.mdbx.~compacta",
                              "otra.mdb.~compacta", "obra.mdb.copia"};
  for (const QString& n : temporaries + others) put(n, "x");
  files::removeLeftovers(path("obra.mdb"));
  // A database's own journal is no leftover either: it is what puts the file back after a crash.
  QStringList left = others;
  left.sort();
  EXPECT_EQ(names(), left);

  // Through a symbolic link, what lies beside the file it names.
  ASSERT_TRUE(QDir(dir.path()).mkdir("enlaces"));
  ASSERT_TRUE(QFile::link(path("obra.mdb"), path("enlaces/obra.mdb")));
  put("obra.mdb.~compacta", "x");
  files::removeLeftovers(path("enlaces/obra.mdb"));
  EXPECT_EQ(names(), left);
}

TEST_F(Files, WriteReplacesTheWholeContent) {
  files::write(path("informe.xlsx"), "primero");
  EXPECT_EQ(content("informe.xlsx"), QByteArray("primero"));
  ASSERT_TRUE(QFile::setPermissions(path("informe.xlsx"), QFileDevice::ReadOwner | QFileDevice::WriteOwner));
  files::write(path("informe.xlsx"), "segundo");
  EXPECT_EQ(content("informe.xlsx"), QByteArray("segundo"));
  EXPECT_EQ(mode(path("informe.xlsx")), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
  EXPECT_EQ(names(), QStringList({"informe.xlsx"}));
  EXPECT_NE(errorOf([&] { files::write(path("no/hay/informe.xlsx"), "x"); }), 0);
  EXPECT_EQ(names(), QStringList({"informe.xlsx"}));
}

TEST_F(Files, AWriteKilledHalfWayLeavesTheOldContentAndNothingBeside) {
  files::write(path("informe.xlsx"), "viejo");
  const QByteArray grande(200000, 'n');
  EXPECT_EXIT(
      {
        testsupport::cortaAlEscribirMasDe(100000);
        files::write(path("informe.xlsx"), grande);
      },
      ::testing::KilledBySignal(SIGXFSZ), "");
  EXPECT_EQ(content("informe.xlsx"), QByteArray("viejo"));
  EXPECT_EQ(names(), QStringList({"informe.xlsx"}));
  files::write(path("informe.xlsx"), grande);
  EXPECT_EQ(content("informe.xlsx"), grande);
  EXPECT_EQ(names(), QStringList({"informe.xlsx"}));
}

// A symbolic link is followed: the file it names gets the new content, the link stays a link
// (its text as it was), and the work is done beside the file, not beside the link.
TEST_F(Files, AWriteThroughASymbolicLinkReplacesTheFileItNames) {
  struct Case {
    const char* what;
    QString link;          // the name written to
    QStringList chain;     // links made, each "name>text" (text relative or absolute)
    QString file;          // the file that holds the content
    bool fileExists;
  };
  ASSERT_TRUE(QDir(dir.path()).mkpath("compartida/obras"));
  ASSERT_TRUE(QDir(dir.path()).mkpath("mias"));
  const Case cases[] = {
      {"absolute link", "mias/a.xlsx", {"mias/a.xlsx>" + path("compartida/obras/a.xlsx")}, "compartida/obras/a.xlsx", true},
      {"relative link", "mias/b.xlsx", {"mias/b.xlsx>../compartida/obras/b.xlsx"}, "compartida/obras/b.xlsx", true},
      {"a link to a link", "mias/c.xlsx", {"mias/c.xlsx>d.xlsx", "mias/d.xlsx>../compartida/obras/c.xlsx"},
       "compartida/obras/c.xlsx", true},
      {"a link to a file still to be made", "mias/e.xlsx", {"mias/e.xlsx>../compartida/obras/e.xlsx"},
       "compartida/obras/e.xlsx", false},
      {"a link in a linked folder", "atajo/f.xlsx", {"atajo>compartida/obras", "compartida/obras/f.xlsx>g.xlsx"},
       "compartida/obras/g.xlsx", true},
  };
  for (const Case& c : cases) {
    if (c.fileExists) put(c.file, "viejo");
    for (const QString& l : c.chain) {
      const QStringList parts = l.split('>');
      ASSERT_EQ(::symlink(QFile::encodeName(parts[1]).constData(), QFile::encodeName(path(parts[0])).constData()), 0)
          << c.what;
    }
    const auto folders = [&] {
      return QDir(path("mias")).entryList(QDir::Files | QDir::System | QDir::Hidden, QDir::Name) +
             QDir(path("compartida/obras")).entryList(QDir::Files | QDir::System | QDir::Hidden, QDir::Name);
    };
    const QStringList before = folders();
    files::write(path(c.link), "nuevo");
    EXPECT_EQ(content(c.file), QByteArray("nuevo")) << c.what;
    for (const QString& l : c.chain) {
      const QStringList parts = l.split('>');
      EXPECT_TRUE(QFileInfo(path(parts[0])).isSymLink()) << c.what << " " << parts[0].toStdString();
      EXPECT_EQ(linkText(path(parts[0])), parts[1]) << c.what;
    }
    QStringList expected = before;
    if (!c.fileExists) expected.append(QFileInfo(c.file).fileName());
    expected.sort();
    QStringList after = folders();
    after.sort();
    EXPECT_EQ(after, expected) << c.what;  // nothing left beside the link or the file
  }
  // A loop of links names no file.
  ASSERT_EQ(::symlink("bucle2", QFile::encodeName(path("mias/bucle1")).constData()), 0);
  ASSERT_EQ(::symlink("bucle1", QFile::encodeName(path("mias/bucle2")).constData()), 0);
  EXPECT_EQ(errorOf([&] { files::write(path("mias/bucle1"), "x"); }), 75);
}

// The new file keeps the owner, group and mode of the one it replaces. Another owner can only be
// given by the superuser: as anyone else the test checks the mode alone.
TEST_F(Files, TheReplacedFileKeepsItsOwnerGroupAndMode) {
  const bool root = ::geteuid() == 0;
  struct Case {
    mode_t mode;
    uid_t owner;
    gid_t group;
  };
  const Case cases[] = {{0600, 0, 0}, {0640, 4321, 5432}, {0664, 0, 5432}, {0604, 4321, 0}, {0755, 0, 0}};
  for (const Case& c : cases) {
    put("informe.xlsx", "viejo");
    const QByteArray name = QFile::encodeName(path("informe.xlsx"));
    ASSERT_EQ(::chmod(name.constData(), c.mode), 0);
    struct stat before {};
    ASSERT_EQ(::stat(name.constData(), &before), 0);
    if (root) {
      ASSERT_EQ(::chown(name.constData(), c.owner, c.group), 0);
      ASSERT_EQ(::chmod(name.constData(), c.mode), 0);
    }
    for (const files::Work work : {files::Work::Write, files::Work::Compaction}) {
      if (work == files::Work::Write) {
        files::write(path("informe.xlsx"), "nuevo");
      } else {
        put("nuevo", "nuevo");
        replace("nuevo", "informe.xlsx", {}, work);
      }
      struct stat after {};
      ASSERT_EQ(::stat(name.constData(), &after), 0);
      EXPECT_EQ(content("informe.xlsx"), QByteArray("nuevo"));
      EXPECT_EQ(after.st_mode & 07777, c.mode) << std::oct << c.mode;
      EXPECT_EQ(after.st_uid, root ? c.owner : before.st_uid) << std::oct << c.mode;
      EXPECT_EQ(after.st_gid, root ? c.group : before.st_gid) << std::oct << c.mode;
    }
  }
}

// A file shared through an access list (another user or group given rights besides the owner's) keeps
// the list when replaced: a repaired bid stays writable for the colleague it was shared with. A file
// system without access lists leaves nothing to check.
TEST_F(Files, TheReplacedFileKeepsItsAccessList) {
  // The list as the system stores it: a version, then (tag, rights, id) entries in tag order.
  const auto list = [](std::initializer_list<std::tuple<uint16_t, uint16_t, uint32_t>> entries) {
    QByteArray data;
    const auto put32 = [&data](uint32_t v) { for (int i = 0; i < 4; ++i) data.append(char((v >> (8 * i)) & 0xff)); };
    const auto put16 = [&data](uint16_t v) { data.append(char(v & 0xff)).append(char(v >> 8)); };
    put32(2);
    for (const auto& [tag, rights, id] : entries) {
      put16(tag);
      put16(rights);
      put32(id);
    }
    return data;
  };
  constexpr uint32_t kNone = 0xffffffff;
  // The owner rw, user 4321 rw, the group r, group 5432 rw, the mask rw, others nothing: mode 0660.
  const QByteArray shared =
      list({{0x01, 6, kNone}, {0x02, 6, 4321}, {0x04, 4, kNone}, {0x08, 6, 5432}, {0x10, 6, kNone}, {0x20, 0, kNone}});
  const char* attribute = "system.posix_acl_access";
  const auto listOf = [&](const QString& file) {
    QByteArray data(256, '\0');
    const ssize_t n = ::getxattr(QFile::encodeName(file).constData(), attribute, data.data(), size_t(data.size()));
    return n < 0 ? QByteArray() : data.left(n);
  };
  for (const files::Work work : {files::Work::Write, files::Work::Compaction}) {
    put("obra.mdb", "viejo");
    const QByteArray name = QFile::encodeName(path("obra.mdb"));
    if (::setxattr(name.constData(), attribute, shared.constData(), size_t(shared.size()), 0) != 0)
      GTEST_SKIP() << "no access lists here: " << std::strerror(errno);
    ASSERT_EQ(listOf(path("obra.mdb")), shared);
    if (work == files::Work::Write) {
      files::write(path("obra.mdb"), "nuevo");
    } else {
      put("nuevo", "nuevo");
      replace("nuevo", "obra.mdb", {}, work);
    }
    EXPECT_EQ(content("obra.mdb"), QByteArray("nuevo"));
    EXPECT_EQ(listOf(path("obra.mdb")), shared) << (work == files::Work::Write ? "write" : "compaction");
    struct stat after {};
    ASSERT_EQ(::stat(name.constData(), &after), 0);
    EXPECT_EQ(after.st_mode & 07777, mode_t(0660));
  }
}

// A file or folder the user may not write is refused with 70, naming it, and nothing changes. The
// superuser passes every permission check, so the rule also reads the permissions themselves: a file
// or folder its owner may not write is read-only for everyone, and the test means the same run as root.
TEST_F(Files, AReadOnlyFileOrFolderIsRefusedNeverReplaced) {
  struct Case {
    const char* what;
    const char* readOnly;  // what is made read-only
    const char* written;   // what is written (through a link, the file it names)
    const char* refused;   // the path the message names
    const char* backup;
  };
  ASSERT_TRUE(QDir(dir.path()).mkpath("carpeta"));
  ASSERT_TRUE(QDir(dir.path()).mkpath("otra"));
  put("carpeta/obra.mdb", "viejo");
  put("carpeta/obra.bak", "anterior");
  ASSERT_TRUE(QFile::link(path("carpeta/obra.mdb"), path("otra/enlace.mdb")));
  const Case cases[] = {
      {"a read-only file", "carpeta/obra.mdb", "carpeta/obra.mdb", "carpeta/obra.mdb", ""},
      {"a read-only file through a link", "carpeta/obra.mdb", "otra/enlace.mdb", "carpeta/obra.mdb", ""},
      {"a read-only folder", "carpeta", "carpeta/obra.mdb", "carpeta", ""},
      {"a new file in a read-only folder", "carpeta", "carpeta/nueva.mdb", "carpeta", ""},
      {"a read-only backup", "carpeta/obra.bak", "carpeta/obra.mdb", "carpeta/obra.bak", "carpeta/obra.bak"},
  };
  const auto everything = [&] {
    return QDir(path("carpeta")).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
  };
  const QStringList before = everything();
  for (const Case& c : cases) {
    const testsupport::SinEscritura readOnly(path(c.readOnly));
    ASSERT_TRUE(readOnly.hecho());
    for (const files::Work work : {files::Work::Write, files::Work::Compaction}) {
      QString description;
      const int error = errorOf(
          [&] {
            if (work == files::Work::Write) {
              files::write(path(c.written), "nuevo", *c.backup ? path(c.backup) : QString());
            } else {
              files::Replacement r(path(c.written), work);
              put(r.temporary().mid(dir.path().size() + 1), "nuevo");
              r.commit(*c.backup ? path(c.backup) : QString());
            }
          },
          &description);
      EXPECT_EQ(error, 70) << c.what;
      EXPECT_EQ(description, "Permiso denegado: " + path(c.refused)) << c.what;
      EXPECT_EQ(content("carpeta/obra.mdb"), QByteArray("viejo")) << c.what;
      EXPECT_EQ(content("carpeta/obra.bak"), QByteArray("anterior")) << c.what;
      EXPECT_EQ(everything(), before) << c.what;
    }
  }
  // The mark is the owner's write permission: without it, the file is read-only for everyone, the
  // superuser too, whatever the others may; with it, a file the user may write is replaced.
  for (const mode_t mode : {0444, 0464, 0466}) {
    ASSERT_EQ(::chmod(QFile::encodeName(path("carpeta/obra.mdb")).constData(), mode), 0);
    EXPECT_EQ(errorOf([&] { files::write(path("carpeta/obra.mdb"), "nuevo"); }), 70) << std::oct << mode;
    EXPECT_EQ(content("carpeta/obra.mdb"), QByteArray("viejo"));
  }
  ASSERT_EQ(::chmod(QFile::encodeName(path("carpeta/obra.mdb")).constData(), 0600), 0);
  files::write(path("carpeta/obra.mdb"), "nuevo");
  EXPECT_EQ(content("carpeta/obra.mdb"), QByteArray("nuevo"));
}

// A write the file system refuses half way (a full disk, a file over the size allowed) is reported
// with its number, and the old file stays whole with nothing beside it.
TEST_F(Files, AWriteTheDiskRefusesIsToldAndLeavesTheOldFile) {
  files::write(path("informe.xlsx"), "viejo");
  const auto refused = [&] {
    std::signal(SIGXFSZ, SIG_IGN);  // the write fails with EFBIG instead of ending the process
    const rlimit tope{100000, 100000};
    setrlimit(RLIMIT_FSIZE, &tope);
    QString description;
    const int error = errorOf([&] { files::write(path("informe.xlsx"), QByteArray(200000, 'n')); }, &description);
    const bool whole = content("informe.xlsx") == QByteArray("viejo") && names() == QStringList{"informe.xlsx"};
    return error == 61 && description == "Disco lleno: " + path("informe.xlsx.~escribe") && whole;
  };
  EXPECT_EXIT(_exit(refused() ? 0 : 1),
      ::testing::ExitedWithCode(0), "");
}

}  // namespace
