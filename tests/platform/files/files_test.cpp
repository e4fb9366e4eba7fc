// Files replaced whole: the new file in place or the old one, never half; backups; what interrupted
// work leaves and its removal.
#include "corte.h"
#include "error_of.h"
#include "files.h"
#include "qt_print.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <csignal>
#include <cstring>
#include <gtest/gtest.h>
#include <optional>
#include <unistd.h>

namespace {

// Owner, group and others (the "user" flags only repeat the owner's here).
QFileDevice::Permissions mode(const QString& file) {
  return QFile::permissions(file) & ~(QFileDevice::ReadUser | QFileDevice::WriteUser | QFileDevice::ExeUser);
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
  QStringList names() const { return QDir(dir.path()).entryList(QDir::Files | QDir::Hidden, QDir::Name); }

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
    put("obra.mdb.~compacta", "nuevo");
    files::replace(path("obra.mdb.~compacta"), path("obra.mdb"), c.withBackup ? path("obra.bak") : QString());
    EXPECT_EQ(names(), c.after) << c.what;
    EXPECT_EQ(content("obra.mdb"), QByteArray("nuevo")) << c.what;
    if (c.withBackup && c.targetExists) EXPECT_EQ(content("obra.bak"), QByteArray("viejo")) << c.what;
    if (c.targetExists)  // the new file takes the permissions of the one it replaces
      EXPECT_EQ(mode(path("obra.mdb")), QFileDevice::ReadOwner | QFileDevice::WriteOwner) << c.what;
  }
}

TEST_F(Files, AFailedReplaceLeavesTheTarget) {
  put("obra.mdb", "viejo");
  // The new file missing, the backup's folder missing.
  EXPECT_EQ(errorOf([&] { files::replace(path("no-hay"), path("obra.mdb"), path("obra.bak")); }), 75);
  put("obra.mdb.~compacta", "nuevo");
  EXPECT_EQ(errorOf([&] { files::replace(path("obra.mdb.~compacta"), path("obra.mdb"), path("no/hay/obra.bak")); }), 75);
  EXPECT_EQ(content("obra.mdb"), QByteArray("viejo"));
  // The new file is left to the caller; no other file was made.
  EXPECT_EQ(names(), QStringList({"obra.mdb", "obra.mdb.~compacta"}));
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
    put("obra.mdb.~compacta", "nuevo");
    EXPECT_EXIT(
        {
          files::setStepHook([&](const char* s) {
            if (std::strcmp(s, c.step) == 0) _exit(3);
          });
          files::replace(path("obra.mdb.~compacta"), path("obra.mdb"), path("obra.bak"));
        },
        ::testing::ExitedWithCode(3), "")
        << c.step;
    EXPECT_EQ(content("obra.mdb"), QByteArray(c.target)) << c.step;
    EXPECT_EQ(content("obra.bak"), QByteArray(c.backup)) << c.step;
    // What was left beside the file goes the next time; the file and its backup stay.
    files::removeLeftovers(path("obra.mdb"));
    EXPECT_EQ(names(), QStringList({"obra.bak", "obra.mdb"})) << c.step;
  }
}

TEST_F(Files, RemoveLeftoversTakesOnlyThatFilesTemporaries) {
  const QStringList all = {"obra.mdb",           "obra.mdb.~compacta", "obra.mdb.~reconstruye-journal",
                           "obra.mdb-journal",   "obra.bak",           "obra.mdbx.~compacta",
                           "otra.mdb.~compacta", "obra.mdb.copia"};
  for (const QString& n : all) put(n, "x");
  files::removeLeftovers(path("obra.mdb"));
  // A database's own journal is no leftover: it is what puts the file back after a crash.
  EXPECT_EQ(names(), QStringList({"obra.bak", "obra.mdb", "obra.mdb-journal", "obra.mdb.copia", "obra.mdbx.~compacta",
                                  "otra.mdb.~compacta"}));
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

}  // namespace
