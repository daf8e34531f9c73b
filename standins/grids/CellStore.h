// The texts of a grid of cells, kept compactly: every text lives in one
// shared pool and a cell holds only its place in that pool. A million cells
// take about 36 MB instead of the ~80 MB of a string object per cell, in a
// few large blocks instead of a million small ones. Clearing or shrinking
// the store keeps its blocks for the next fill; they go with the store.
#pragma once

#include <windows.h>

#include <string_view>
#include <vector>

namespace standins {

class CellStore {
 public:
  LONG RowCount() const { return rows_; }
  LONG ColumnCount() const { return columns_; }

  // Growing adds empty cells; shrinking drops the cells beyond the new size
  // and cannot fail. Both raise error 380 for a negative count, and error 7
  // beyond 2^25 cells; a refused or failed change keeps the previous size.
  void SetRowCount(LONG rows);
  void SetColumnCount(LONG columns);
  void Clear();

  // Rows and columns count from 0; out of range raises error 9. A write
  // that fails (error 7, or no memory) leaves the cell as it was.
  void SetText(LONG row, LONG column, std::wstring_view text);
  std::wstring_view Text(LONG row, LONG column) const;
  bool Contains(LONG row, LONG column) const;

  // Empties every cell and keeps the rows and columns.
  void ClearTexts();

 private:
  struct CellRef {
    UINT32 start = 0;
    UINT32 length = 0;
  };

  size_t IndexOf(LONG row, LONG column) const;
  void Relayout(LONG rows, LONG columns);
  void DropCellsOutside(LONG rows, LONG columns);
  void CloseUpRows(LONG rows, LONG columns, size_t size);
  void SpreadRows(LONG rows, LONG columns, size_t size);
  void CompactIfWasteful();

  LONG rows_ = 0;
  LONG columns_ = 0;
  std::vector<CellRef> cells_;  // row by row
  std::vector<wchar_t> pool_;
  size_t liveCharacters_ = 0;
};

}  // namespace standins
