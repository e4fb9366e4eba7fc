#include "value.h"

#include "bounds.h"
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

ArrayData::~ArrayData() {
  if (memory) memory->give(bytes);
}

void ArrayData::set(size_t position, Value v) {
  const int64_t after = cells - items[position].cells() + v.cells();
  checkCells(after);
  if (memory) {
    const uint64_t now = memory->cell(v), before = memory->cell(items[position]);
    if (now > before) memory->take(now - before);
    else memory->give(before - now);
    bytes = bytes + now - before;
  }
  items[position] = std::move(v);
  cells = after;
}

Value Value::array(int lower, std::vector<Value> items) {
  const std::shared_ptr<Memory>* m = Memory::current();
  int64_t cells = int64_t(items.size());
  uint64_t bytes = sizeof(ArrayData) + items.capacity() * sizeof(Value);
  for (const Value& it : items) {
    cells += it.cells();
    if (m) bytes += (*m)->cell(it);
  }
  checkCells(cells);
  Value v;
  v.arr_ = std::make_shared<ArrayData>();
  if (m) {
    (*m)->take(bytes);
    v.arr_->memory = *m;
    v.arr_->bytes = bytes;
  }
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
