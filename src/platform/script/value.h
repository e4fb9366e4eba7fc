#pragma once
// A script value: a vb::Variant, or a one-dimensional array of values with its lower bound.
// Arrays are copied on assignment, as in VBScript; the engine shares them only while it binds an
// argument by reference.
#include "variant.h"

#include <memory>
#include <vector>

namespace script {

class Value;

struct ArrayData {
  int lower = 0;
  std::vector<Value> items;
};

class Value {
public:
  Value() = default;
  Value(vb::Variant v) : v_(std::move(v)) {}  // NOLINT: a Variant is a value

  // An array with positions lower .. lower + items.size() - 1.
  static Value array(int lower, std::vector<Value> items);

  bool isArray() const { return arr_ != nullptr; }
  // The Variant of a non-array value (Empty for an array).
  const vb::Variant& variant() const { return v_; }
  ArrayData* arrayData() const { return arr_.get(); }

  // An independent copy (arrays deep-copied), what an assignment stores.
  Value copy() const;

private:
  vb::Variant v_;
  std::shared_ptr<ArrayData> arr_;
};

}  // namespace script
