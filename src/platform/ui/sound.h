#pragma once
// Playing a .wav file. The program plays it with `aplay` when that program is installed and stays
// silent otherwise; tests put a recorder in its place to see what would be played.
#include <QString>
#include <memory>

class QProcess;

namespace ui {

class SoundPlayer {
public:
  virtual ~SoundPlayer() = default;
  virtual void play(const QString& wavPath) = 0;  // starts playing and returns at once
  virtual void stop() = 0;                        // ends what is playing, if anything
};

// Plays through `aplay` (found on the PATH unless a program is given); without it, does nothing.
class AplaySoundPlayer : public SoundPlayer {
public:
  explicit AplaySoundPlayer(QString program = QString());
  ~AplaySoundPlayer() override;
  void play(const QString& wavPath) override;
  void stop() override;
  const QString& program() const { return program_; }

private:
  QString program_;
  std::unique_ptr<QProcess> process_;
};

// The player the program uses (an AplaySoundPlayer unless one was installed).
SoundPlayer& soundPlayer();
// Makes `player` the program's player and returns the one it replaces (nullptr for the built-in one);
// nullptr brings the built-in one back. The caller keeps ownership.
SoundPlayer* installSoundPlayer(SoundPlayer* player);

// Plays a wave file when it exists; nothing, and no message, when it does not.
void playWave(const QString& wavPath);
// Stops the program's player.
void stopSound();

}  // namespace ui
