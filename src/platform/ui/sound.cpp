#include "sound.h"

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace ui {

namespace {

SoundPlayer*& installed() {
  static SoundPlayer* player = nullptr;
  return player;
}

}  // namespace

AplaySoundPlayer::AplaySoundPlayer(QString program)
    : program_(program.isEmpty() ? QStandardPaths::findExecutable(QStringLiteral("aplay")) : std::move(program)) {}

AplaySoundPlayer::~AplaySoundPlayer() { stop(); }

void AplaySoundPlayer::play(const QString& wavPath) {
  if (program_.isEmpty()) return;
  stop();
  process_ = std::make_unique<QProcess>();
  // Its output (and any complaint of a machine without a sound card) is of no use to the user.
  process_->setStandardOutputFile(QProcess::nullDevice());
  process_->setStandardErrorFile(QProcess::nullDevice());
  process_->start(program_, {QStringLiteral("-q"), wavPath});
}

void AplaySoundPlayer::stop() {
  if (!process_) return;
  if (process_->state() != QProcess::NotRunning) {
    process_->kill();
    process_->waitForFinished(1000);
  }
  process_.reset();
}

SoundPlayer& soundPlayer() {
  if (installed()) return *installed();
  // Never destroyed: a player torn down after the application would outlive the process machinery.
  static AplaySoundPlayer* builtIn = new AplaySoundPlayer;
  return *builtIn;
}

SoundPlayer* installSoundPlayer(SoundPlayer* player) {
  SoundPlayer* previous = installed();
  installed() = player;
  return previous;
}

void playWave(const QString& wavPath) {
  const QFileInfo file(wavPath);
  if (!file.isFile()) return;
  soundPlayer().play(file.absoluteFilePath());
}

void stopSound() { soundPlayer().stop(); }

}  // namespace ui
