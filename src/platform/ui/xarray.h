#pragma once
// The in-memory table an unbound grid shows: rows and columns of values, both counted from 0.
// Rows are loaded at once from a block such as a recordset's GetRows ([field][row], loaded
// transposed), read and written cell by cell, added at the end and removed.
//
//   auto datos = std::make_shared<ui::XArray>();
//   datos->LoadRows(rs->GetRows(n), true);   // row i = the i-th record, column c = its c-th field
//   grid->SetArray(datos);
//
// A row or column outside the table is error 9 (subscript out of range).
#include <variant.h>

#include <vector>

namespace ui {

class XArray {
public:
  using Block = std::vector<std::vector<vb::Variant>>;

  // Replaces the whole content. Not transposed, block[r][c] becomes row r, column c; transposed,
  // block[c][r] does. Every row takes as many columns as the longest one, the missing cells Empty.
  void LoadRows(const Block& block, bool transpose);
  // Makes rows × columns cells, all Empty.
  void ReDim(int rows, int columns);
  void Clear() { ReDim(0, 0); }

  // Dimension 1: rows; 2: columns. UpperBound is Count - 1 (-1 when empty); any other dimension
  // is error 9.
  int Count(int dimension) const;
  int LowerBound(int dimension) const;
  int UpperBound(int dimension) const;
  int Rows() const { return int(rows_.size()); }
  int Columns() const { return columns_; }

  const vb::Variant& Value(int row, int col) const;
  void SetValue(int row, int col, const vb::Variant& value);
  const std::vector<vb::Variant>& Row(int row) const;

  // A row at the end; a longer row widens the table.
  void AppendRow(std::vector<vb::Variant> values);
  // Removes count rows from row on (error 9 when they are not all there).
  void DeleteRows(int row, int count = 1);

private:
  void checkCell(int row, int col) const;
  std::vector<std::vector<vb::Variant>> rows_;
  int columns_ = 0;
};

}  // namespace ui
