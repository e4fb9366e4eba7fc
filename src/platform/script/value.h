#pragma once
// A script value: a vb::Variant, or a one-dimensional array of values with its lower bound.
// Arrays are copied on assignment, as in VBScript; the engine shares them only while it binds an
// argument by reference.
#include "variant.h"

#include <memory>
#include <vector>

namespace script {

class Value;

// What one value may hold. Past these bounds the engine raises a run-time error (14 for a text,
// 7 for an array) instead of running out of memory.
constexpr qsizetype kMaxTextLength = qsizetype(1) << 24;  // characters
constexpr int64_t kMaxArrayCells = int64_t(1) << 20;      // elements, those of nested arrays included

// Error 14 when a text of that many characters would pass the bound.
void checkTextLength(qsizetype length);

class Memory;

struct ArrayData {
  ArrayData() = default;
  ArrayData(const ArrayData&) = delete;
  ArrayData& operator=(const ArrayData&) = delete;
  ~ArrayData();

  int lower = 0;
  std::vector<Value> items;
  int64_t cells = 0;  // items plus the cells of the arrays among them

  // Replaces an element, keeping the cell count and what the array holds (error 7 past a bound).
  void set(size_t position, Value v);

  // The engine's memory this array is counted to (none for an array the host made), and how much.
  std::shared_ptr<Memory> memory;
  uint64_t bytes = 0;
};

class Value {
public:
  Value() = default;
  Value(vb::Variant v) : v_(std::move(v)) {}  // NOLINT: a Variant is a value

  // An array with positions lower .. lower + items.size() - 1; error 7 past the bound on its cells,
  // or, made in a call into an engine, past the bound on what the engine's values hold.
  static Value array(int lower, std::vector<Value> items);

  bool isArray() const { return arr_ != nullptr; }
  // The Variant of a non-array value (Empty for an array).
  const vb::Variant& variant() const { return v_; }
  ArrayData* arrayData() const { return arr_.get(); }
  // Cells of an array (0 for any other value).
  int64_t cells() const { return arr_ ? arr_->cells : 0; }

  // An independent copy (arrays deep-copied), what an assignment stores.
  Value copy() const;
  // Whether an array is held by more than this value, so that keeping it needs a copy.
  bool isShared() const { return arr_ && arr_.use_count() > 1; }

private:
  vb::Variant v_;
  std::shared_ptr<ArrayData> arr_;
};

}  // namespace script
