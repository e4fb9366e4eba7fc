#include "value.h"

#include "errors.h"

namespace script {

void checkTextLength(qsizetype length) {
  if (length > kMaxTextLength) raise(errOutOfStringSpace);
}

namespace {

void checkCells(int64_t cells) {
  if (cells > kMaxArrayCells) raise(errOutOfMemory);
}

}  // namespace

void ArrayData::set(size_t position, Value v) {
  const int64_t after = cells - items[position].cells() + v.cells();
  checkCells(after);
  items[position] = std::move(v);
  cells = after;
}

Value Value::array(int lower, std::vector<Value> items) {
  int64_t cells = int64_t(items.size());
  for (const Value& it : items) cells += it.cells();
  checkCells(cells);
  Value v;
  v.arr_ = std::make_shared<ArrayData>();
  v.arr_->lower = lower;
  v.arr_->items = std::move(items);
  v.arr_->cells = cells;
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
