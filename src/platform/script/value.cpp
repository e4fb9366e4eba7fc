#include "value.h"

namespace script {

Value Value::array(int lower, std::vector<Value> items) {
  Value v;
  v.arr_ = std::make_shared<ArrayData>();
  v.arr_->lower = lower;
  v.arr_->items = std::move(items);
  return v;
}

Value Value::copy() const {
  if (!arr_) return *this;
  std::vector<Value> items;
  items.reserve(arr_->items.size());
  for (const Value& it : arr_->items) items.push_back(it.copy());
  return array(arr_->lower, std::move(items));
}

}  // namespace script
