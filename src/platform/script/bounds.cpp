#include "bounds.h"

#include "errors.h"
#include "value.h"

#include <algorithm>

namespace script {

namespace {

// The clock is read once per this many steps.
constexpr uint64_t kStepsBetweenClockReads = 1 << 16;
// The heap's share of a text: its header and the allocator's own.
constexpr uint64_t kTextOverhead = 32;
// Our own record of a text counted once: its place in the list and in the set.
constexpr uint64_t kRecordOverhead = 64;

thread_local const std::shared_ptr<Memory>* tCurrent = nullptr;

uint64_t textBytes(const QString& s) { return 2 * uint64_t(s.capacity()) + kTextOverhead; }

}  // namespace

// ---- work ----

void Work::start(const WorkLimit& limit) {
  limit_ = limit;
  steps_ = 0;
  spentMs_ = 0;
  nextCheck_ = std::min(limit_.steps, kStepsBetweenClockReads);
  clock_.start();
}

void Work::pause() { spentMs_ += clock_.elapsed(); }

void Work::resume() { clock_.start(); }

void Work::check() {
  if (steps_ >= limit_.steps || spentMs_ + clock_.elapsed() >= limit_.milliseconds) raise(errWorkLimit);
  nextCheck_ = std::min(limit_.steps, steps_ + kStepsBetweenClockReads);
}

// ---- memory ----

void Memory::take(uint64_t bytes) {
  if (held_ + bytes > limit_) {
    sweep();
    if (held_ + bytes > limit_) raise(errOutOfMemory);
  }
  held_ += bytes;
}

uint64_t Memory::cell(const Value& v) {
  if (v.isArray() || !v.variant().isString()) return 0;
  const QString& s = v.variant().rawString();
  if (s.size() >= kLongText) {
    holdText(s);
    return 0;
  }
  return s.capacity() == 0 ? 0 : textBytes(s);
}

void Memory::holdText(const QString& s) {
  if (s.capacity() == 0 || known_.count(s.constData())) return;
  // A look at two of the texts counted for each new one: those no value holds go back soon, not only
  // once the bound is reached.
  for (int k = 0; k < 2 && !texts_.empty(); ++k) {
    const size_t i = next_ % texts_.size();
    if (!dropIfUnheld(i)) next_ = i + 1;
  }
  take(textBytes(s) + kRecordOverhead);
  known_.insert(s.constData());
  texts_.push_back(s);
}

void Memory::hold(const Value& v) {
  if (!v.isArray() && v.variant().isString() && v.variant().rawString().size() >= kLongText)
    holdText(v.variant().rawString());
}

void Memory::keep(const Value& v) {
  if (!v.isArray() && v.variant().isString()) holdText(v.variant().rawString());
}

bool Memory::dropIfUnheld(size_t i) {
  if (!texts_[i].isDetached()) return false;
  give(textBytes(texts_[i]) + kRecordOverhead);
  known_.erase(texts_[i].constData());
  std::swap(texts_[i], texts_.back());
  texts_.pop_back();
  return true;
}

void Memory::sweep() {
  for (size_t i = 0; i < texts_.size();)
    if (!dropIfUnheld(i)) ++i;
}

void Memory::clearTexts() {
  for (const QString& s : texts_) give(textBytes(s) + kRecordOverhead);
  texts_.clear();
  known_.clear();
}

const std::shared_ptr<Memory>* Memory::current() { return tCurrent; }

Held& Held::operator=(Held&& o) noexcept {
  if (this != &o) {
    release();
    m_ = o.m_;
    bytes_ = std::exchange(o.bytes_, 0);
  }
  return *this;
}

Memory::Scope::Scope(const std::shared_ptr<Memory>& m) : previous_(tCurrent) { tCurrent = &m; }

Memory::Scope::~Scope() { tCurrent = previous_; }

}  // namespace script
