#include "CellStore.h"

#include <algorithm>
#include <limits>
#include <new>
#include <string>

#include "core/RuntimeError.h"

namespace standins {

namespace {

using formsrt::Raise;
using formsrt::RuntimeError;
namespace error = formsrt::error;

// Cell places and lengths are 32-bit, and the cells take 8 bytes each: the
// store refuses to grow beyond 2^25 cells (256 MB of cells before any text),
// far above what a speed test fills, rather than try to allocate up to 16 GB
// and stall the program for half a minute before anything fails.
constexpr size_t kMaxCells = size_t{1} << 25;
constexpr size_t kMaxPool = std::numeric_limits<UINT32>::max();

// In 64 bits on both targets: on x86 a size_t product of two counts wraps.
bool TooManyCells(LONG rows, LONG columns) {
  return static_cast<unsigned long long>(rows) * static_cast<unsigned long long>(columns) >
         kMaxCells;
}

void RequireCount(LONG count, const wchar_t* what) {
  if (count < 0) {
    throw RuntimeError(error::InvalidPropertyValue,
                       std::wstring(what) + L" cannot be negative: " + std::to_wstring(count));
  }
}

}  // namespace

void CellStore::SetRowCount(LONG rows) {
  RequireCount(rows, L"The row count");
  Relayout(rows, columns_);
}

void CellStore::SetColumnCount(LONG columns) {
  RequireCount(columns, L"The column count");
  Relayout(rows_, columns);
}

// The blocks stay for the next fill: giving back the memory of a large grid
// costs the platform time in proportion to its size, which a small fill
// after it would otherwise pay.
void CellStore::Clear() {
  cells_.clear();
  pool_.clear();
  rows_ = columns_ = 0;
  liveCharacters_ = 0;
}

void CellStore::ClearTexts() {
  LONG rows = rows_, columns = columns_;
  Clear();
  Relayout(rows, columns);
}

bool CellStore::Contains(LONG row, LONG column) const {
  return row >= 0 && row < rows_ && column >= 0 && column < columns_;
}

size_t CellStore::IndexOf(LONG row, LONG column) const {
  if (!Contains(row, column)) {
    throw RuntimeError(error::SubscriptOutOfRange,
                       L"Cell (" + std::to_wstring(row) + L", " + std::to_wstring(column) +
                           L") is outside the grid of " + std::to_wstring(rows_) + L" rows and " +
                           std::to_wstring(columns_) + L" columns");
  }
  return static_cast<size_t>(row) * columns_ + column;
}

// All or nothing: the new text is in the pool before the cell points at it,
// so a refusal or a failed allocation leaves the cell's old text.
void CellStore::SetText(LONG row, LONG column, std::wstring_view text) {
  CellRef& cell = cells_[IndexOf(row, column)];
  CellRef written;
  if (!text.empty()) {
    if (text.size() > kMaxPool - pool_.size()) Raise(error::OutOfMemory);
    written = {static_cast<UINT32>(pool_.size()), static_cast<UINT32>(text.size())};
    pool_.insert(pool_.end(), text.begin(), text.end());
  }
  liveCharacters_ = liveCharacters_ - cell.length + written.length;
  cell = written;
  CompactIfWasteful();
}

std::wstring_view CellStore::Text(LONG row, LONG column) const {
  const CellRef& cell = cells_[IndexOf(row, column)];
  return {pool_.data() + cell.start, cell.length};
}

// Growing the columns beyond the cells' room copies the cells into a new
// layout; every other change reuses the cells in place, after reserving what
// growth needs. Either way an allocation that fails comes before anything
// changes, and a change that needs none cannot fail.
void CellStore::Relayout(LONG rows, LONG columns) {
  if (rows == rows_ && columns == columns_) return;
  if (TooManyCells(rows, columns)) Raise(error::OutOfMemory);
  size_t size = static_cast<size_t>(rows) * static_cast<size_t>(columns);
  if (columns > columns_ && size <= cells_.capacity()) {
    DropCellsOutside(rows, columns);
    SpreadRows(std::min(rows, rows_), columns, size);
  } else if (columns > columns_) {
    std::vector<CellRef> moved(size);
    DropCellsOutside(rows, columns);
    for (LONG row = 0; row < std::min(rows, rows_); ++row) {
      std::copy_n(cells_.begin() + static_cast<size_t>(row) * columns_, columns_,
                  moved.begin() + static_cast<size_t>(row) * columns);
    }
    cells_.swap(moved);
  } else {
    // At least double what is held: a list that grows one row at a time
    // then copies its cells a few times in all, not once per row.
    if (size > cells_.capacity()) {
      cells_.reserve(std::max(size, std::min(2 * cells_.capacity(), kMaxCells)));
    }
    DropCellsOutside(rows, columns);
    if (columns < columns_) CloseUpRows(std::min(rows, rows_), columns, size);
    cells_.resize(size);
  }
  rows_ = rows;
  columns_ = columns;
  CompactIfWasteful();
}

// The texts of the cells that a layout of rows x columns leaves out no
// longer count as live. Only the rows beyond the new count lose cells,
// unless the columns shrink too. When fewer cells stay than go (a grid of
// 100,000 rows cut to 1,000), the ones that stay are counted instead, so
// that the work follows the new size, not the old.
void CellStore::DropCellsOutside(LONG rows, LONG columns) {
  LONG keptRows = std::min(rows, rows_), keptColumns = std::min(columns, columns_);
  size_t kept = static_cast<size_t>(keptRows) * static_cast<size_t>(keptColumns);
  if (kept < cells_.size() - kept) {
    liveCharacters_ = 0;
    for (LONG row = 0; row < keptRows; ++row) {
      for (LONG column = 0; column < keptColumns; ++column) {
        liveCharacters_ += cells_[IndexOf(row, column)].length;
      }
    }
    return;
  }
  LONG firstRow = columns < columns_ ? 0 : std::min(rows, rows_);
  for (LONG row = firstRow; row < rows_; ++row) {
    for (LONG column = row < rows ? columns : 0; column < columns_; ++column) {
      liveCharacters_ -= cells_[IndexOf(row, column)].length;
    }
  }
}

// Moves the first `rows` rows, cut to `columns`, to their places in the
// narrower layout, and empties what lies between them and `size` cells.
// Each cell moves to a lower index or stays, so in order nothing is
// overwritten before it has moved.
void CellStore::CloseUpRows(LONG rows, LONG columns, size_t size) {
  size_t kept = static_cast<size_t>(rows) * static_cast<size_t>(columns);
  for (size_t index = 0; index < kept; ++index) {
    cells_[index] = cells_[index / columns * columns_ + index % columns];
  }
  std::fill(cells_.begin() + kept, cells_.begin() + std::min(size, cells_.size()), CellRef{});
}

// Moves the first `rows` rows to their places in the wider layout of `size`
// cells, which the cells' room holds, and empties the rest. Each row moves to
// a higher index or stays, so from the last row back nothing is overwritten
// before it has moved.
void CellStore::SpreadRows(LONG rows, LONG columns, size_t size) {
  if (size > cells_.size()) cells_.resize(size);
  for (LONG row = rows - 1; row >= 0; --row) {
    auto from = cells_.begin() + static_cast<size_t>(row) * columns_;
    auto to = cells_.begin() + static_cast<size_t>(row) * columns;
    std::copy_backward(from, from + columns_, to + columns_);
    std::fill(to + columns_, to + columns, CellRef{});
  }
  std::fill(cells_.begin() + static_cast<size_t>(rows) * columns, cells_.begin() + size, CellRef{});
  cells_.resize(size);
}

// Overwritten and dropped cells leave their old texts in the pool; once
// those are more than half of it, the live texts are gathered and copied
// back to the pool's start. The pool keeps its block, as Clear does.
void CellStore::CompactIfWasteful() {
  constexpr size_t kMinimumPool = 1 << 16;
  if (pool_.size() < kMinimumPool || liveCharacters_ * 2 >= pool_.size()) return;
  std::vector<wchar_t> compacted;
  try {
    compacted.reserve(liveCharacters_);
  } catch (const std::bad_alloc&) {
    return;  // a saving, not a need: without room to gather the texts the pool stays
  }
  for (CellRef& cell : cells_) {
    if (cell.length == 0) continue;
    UINT32 start = static_cast<UINT32>(compacted.size());
    compacted.insert(compacted.end(), pool_.begin() + cell.start,
                     pool_.begin() + cell.start + cell.length);
    cell.start = start;
  }
  pool_.assign(compacted.begin(), compacted.end());
}

}  // namespace standins
