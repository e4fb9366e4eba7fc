#include "xarray.h"

#include <error.h>

#include <algorithm>

namespace ui {

namespace {

[[noreturn]] void fueraDeRango() { throw vb::Error(9); }

}  // namespace

void XArray::LoadRows(const Block& block, bool transpose) {
  rows_.clear();
  columns_ = 0;
  if (!transpose) {
    for (const auto& r : block) columns_ = std::max(columns_, int(r.size()));
    rows_.reserve(block.size());
    for (const auto& r : block) {
      rows_.push_back(r);
      rows_.back().resize(size_t(columns_));
    }
    return;
  }
  columns_ = int(block.size());
  size_t n = 0;
  for (const auto& c : block) n = std::max(n, c.size());
  rows_.assign(n, std::vector<vb::Variant>(size_t(columns_)));
  for (size_t c = 0; c < block.size(); ++c)
    for (size_t r = 0; r < block[c].size(); ++r) rows_[r][c] = block[c][r];
}

void XArray::ReDim(int rows, int columns) {
  if (rows < 0 || columns < 0) fueraDeRango();
  columns_ = columns;
  rows_.assign(size_t(rows), std::vector<vb::Variant>(size_t(columns)));
}

int XArray::Count(int dimension) const {
  if (dimension == 1) return Rows();
  if (dimension == 2) return columns_;
  fueraDeRango();
}

int XArray::LowerBound(int dimension) const {
  if (dimension != 1 && dimension != 2) fueraDeRango();
  return 0;
}

int XArray::UpperBound(int dimension) const { return Count(dimension) - 1; }

void XArray::checkCell(int row, int col) const {
  if (row < 0 || row >= Rows() || col < 0 || col >= columns_) fueraDeRango();
}

const vb::Variant& XArray::Value(int row, int col) const {
  checkCell(row, col);
  return rows_[size_t(row)][size_t(col)];
}

void XArray::SetValue(int row, int col, const vb::Variant& value) {
  checkCell(row, col);
  rows_[size_t(row)][size_t(col)] = value;
}

const std::vector<vb::Variant>& XArray::Row(int row) const {
  if (row < 0 || row >= Rows()) fueraDeRango();
  return rows_[size_t(row)];
}

void XArray::AppendRow(std::vector<vb::Variant> values) {
  if (int(values.size()) > columns_) {
    columns_ = int(values.size());
    for (auto& r : rows_) r.resize(size_t(columns_));
  }
  values.resize(size_t(columns_));
  rows_.push_back(std::move(values));
}

void XArray::DeleteRows(int row, int count) {
  if (count < 0 || row < 0 || row + count > Rows()) fueraDeRango();
  rows_.erase(rows_.begin() + row, rows_.begin() + row + count);
}

}  // namespace ui
