// The printer list and the sound player.
#include "printers.h"
#include "sound.h"

#include "qt_print.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

TEST(Printers, PrintingToPdfCountsAsAnInstalledPrinter) {
  ui::overridePrinterList(std::nullopt);
  const QStringList names = ui::printerNames();
  ASSERT_FALSE(names.isEmpty());
  EXPECT_EQ(names.last(), ui::pdfPrinterName());
  EXPECT_EQ(names.count(ui::pdfPrinterName()), 1);
  EXPECT_TRUE(ui::isPdfPrinter(ui::pdfPrinterName()));
  EXPECT_TRUE(ui::HayImpresora());
  EXPECT_TRUE(names.contains(ui::defaultPrinterName()));
}

TEST(Printers, TestsCanSwitchTheListOffOrSetIt) {
  ui::overridePrinterList(QStringList{});
  EXPECT_FALSE(ui::HayImpresora());
  EXPECT_TRUE(ui::printerNames().isEmpty());
  EXPECT_EQ(ui::defaultPrinterName(), QString());

  ui::overridePrinterList(QStringList{"Oficina", ui::pdfPrinterName()});
  EXPECT_TRUE(ui::HayImpresora());
  EXPECT_EQ(ui::defaultPrinterName(), "Oficina");

  ui::overridePrinterList(std::nullopt);
  EXPECT_TRUE(ui::HayImpresora());
}

class Recorder : public ui::SoundPlayer {
public:
  QStringList calls;
  void play(const QString& path) override { calls << "play " + path; }
  void stop() override { calls << "stop"; }
};

TEST(Sound, PlaysOnlyAFileThatExists) {
  QTemporaryDir dir;
  const QString wav = QDir(dir.path()).filePath("quarvel.wav");
  Recorder recorder;
  ui::SoundPlayer* previous = ui::installSoundPlayer(&recorder);
  ui::playWave(wav);  // not there yet
  ui::playWave(dir.path());  // a folder is no sound
  EXPECT_TRUE(recorder.calls.isEmpty());
  QFile f(wav);
  ASSERT_TRUE(f.open(QIODevice::WriteOnly));
  f.write("RIFF");
  f.close();
  ui::playWave(wav);
  ui::stopSound();
  EXPECT_EQ(recorder.calls, (QStringList{"play " + wav, "stop"}));
  EXPECT_EQ(ui::installSoundPlayer(previous), &recorder);
}

// aplay's stand-in writes its arguments down and waits to be stopped.
TEST(Sound, AplayIsStartedWithTheFileAndStoppedOnRequest) {
  QTemporaryDir dir;
  const QString log = QDir(dir.path()).filePath("args.txt");
  const QString script = QDir(dir.path()).filePath("aplay");
  QFile s(script);
  ASSERT_TRUE(s.open(QIODevice::WriteOnly));
  s.write(QString("#!/bin/sh\necho \"$$ $@\" > '%1'\nexec sleep 30\n").arg(log).toUtf8());
  s.close();
  s.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);

  ui::AplaySoundPlayer player(script);
  player.play("/algun/lugar/quarvel.wav");
  ASSERT_TRUE(QTest::qWaitFor([&] { return QFile(log).size() > 0; }, 10000));
  QFile args(log);
  ASSERT_TRUE(args.open(QIODevice::ReadOnly));
  const QList<QByteArray> words = args.readAll().trimmed().split(' ');
  ASSERT_EQ(words.size(), 3);
  EXPECT_EQ(words[1] + " " + words[2], "-q /algun/lugar/quarvel.wav");
  const QString proc = "/proc/" + QString::fromLatin1(words[0]);
  EXPECT_TRUE(QFile::exists(proc));  // still playing
  player.stop();
  EXPECT_FALSE(QFile::exists(proc));  // ended, and reaped

  // Without the program there is nothing to start and nothing to complain about.
  ui::AplaySoundPlayer missing(QDir(dir.path()).filePath("no-existe"));
  missing.play(script);
  missing.stop();
}

}  // namespace
