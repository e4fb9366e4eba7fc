#pragma once
// The two bounds on the engine: the work of one call into it, or of all its calls once the host
// shares the bound (error 18 past it), and the memory that its texts, arrays, frames and code hold
// together (error 7 past it). Both leave the engine usable: the call that passed the bound ends, and
// what it held is given back as its values go.
#include <QElapsedTimer>
#include <QString>

#include <cstdint>
#include <memory>
#include <unordered_set>
#include <utility>
#include <vector>

namespace script {

class Value;

// The bound on the work of one call into the engine (addCode, run, executeStatement, eval), or of
// all of them together once the host shares it: evaluation steps, and the time on the clock as a
// safety net. The default step count is about three
// seconds of work on a current machine; no footer comes near it.
struct WorkLimit {
  uint64_t steps = 150'000'000;
  int milliseconds = 10'000;
};

// The work done in the current call, or in every call since the host shared the bound among them.
// A node of an expression is one step; a procedure call and its frame, a built-in's call, the cells
// of an array and the characters of a text scanned or built cost more.
class Work {
public:
  static constexpr uint64_t kCharsPerStep = 8;

  // A new count.
  void start(const WorkLimit& limit);
  // Between the calls of a shared count: the clock counts only the time spent inside them.
  void pause();
  void resume();
  // Error 18 once the steps or the clock pass the bound.
  void charge(uint64_t steps) {
    steps_ += steps;
    if (steps_ >= nextCheck_) check();
  }
  void chargeChars(uint64_t chars) { charge(chars / kCharsPerStep); }

private:
  void check();

  WorkLimit limit_;
  uint64_t steps_ = 0;
  uint64_t nextCheck_ = 0;
  int64_t spentMs_ = 0;  // in the calls before this one
  QElapsedTimer clock_;
};

// What the engine's texts, arrays, frames and code hold. An array counts its cells and the characters
// of the short texts in them, from its making to its end; a long text, and any text a variable or an
// argument keeps, counts once however many values share it, until no value holds it any more. The
// frames of the calls under way and the parsed code of the modules are counted by Held.
class Memory {
public:
  static constexpr uint64_t kDefaultLimit = uint64_t(256) << 20;  // bytes
  static constexpr qsizetype kLongText = 1024;                    // characters

  explicit Memory(uint64_t limit = kDefaultLimit) : limit_(limit) {}
  Memory(const Memory&) = delete;
  Memory& operator=(const Memory&) = delete;

  void setLimit(uint64_t bytes) { limit_ = bytes; }
  uint64_t held() const { return held_; }

  // Counts bytes about to be held; error 7, with nothing counted, when they would pass the bound.
  void take(uint64_t bytes);
  void give(uint64_t bytes) { held_ -= std::min(bytes, held_); }
  // Counts a new value that is a long text (error 7 as take).
  void hold(const Value& v);
  // Counts a text that a variable or an argument keeps, however short (error 7 as take): the
  // variables of a thousand nested calls hold as much as any array.
  void keep(const Value& v);
  // What one cell of an array counts beyond the cell itself: the characters of a short text. A long
  // text in it is counted as hold counts it.
  uint64_t cell(const Value& v);
  // Forgets the long texts that no value holds any more.
  void sweep();
  // Forgets every long text: the engine is gone, its arrays may live on in the host.
  void clearTexts();

  // The memory of the engine whose call runs on this thread, which arrays made there are counted
  // to; nullptr outside any call.
  static const std::shared_ptr<Memory>* current();
  // Makes a memory the current one while it lives (the outermost call into an engine).
  class Scope {
  public:
    explicit Scope(const std::shared_ptr<Memory>& m);
    ~Scope();
    Scope(const Scope&) = delete;
    Scope& operator=(const Scope&) = delete;

  private:
    const std::shared_ptr<Memory>* previous_;
  };

private:
  void holdText(const QString& s);
  // Gives back the i-th text counted when no value holds it any more.
  bool dropIfUnheld(size_t i);

  uint64_t limit_;
  uint64_t held_ = 0;
  // The long texts counted, each kept here by one more reference: once that is the only one, no
  // value holds the text and a sweep gives it back.
  std::vector<QString> texts_;
  std::unordered_set<const void*> known_;  // the characters of each of them
  size_t next_ = 0;                        // where the next look goes
};

// Bytes counted to an engine's memory for as long as this lives (error 7 when they would pass its
// bound): the slots of a call's frame, the parsed code of a module. Without a memory it counts nothing.
class Held {
public:
  Held() = default;
  explicit Held(Memory* m, uint64_t bytes = 0) : m_(m) { add(bytes); }
  Held(Held&& o) noexcept : m_(o.m_), bytes_(std::exchange(o.bytes_, 0)) {}
  Held& operator=(Held&& o) noexcept;
  Held(const Held&) = delete;
  Held& operator=(const Held&) = delete;
  ~Held() { release(); }

  // Counts more; past the bound nothing more is counted.
  void add(uint64_t bytes) {
    if (!m_ || bytes == 0) return;
    m_->take(bytes);
    bytes_ += bytes;
  }
  // Takes over what another one of the same memory counts.
  void merge(Held&& o) { bytes_ += std::exchange(o.bytes_, 0); }
  // Gives back everything.
  void release() {
    if (m_) m_->give(bytes_);
    bytes_ = 0;
  }

private:
  Memory* m_ = nullptr;
  uint64_t bytes_ = 0;
};

}  // namespace script
