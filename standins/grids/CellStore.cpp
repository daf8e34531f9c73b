#include "CellStore.h"

#include <limits>
#include <string>

#include "com/RuntimeError.h"

namespace standins {

namespace {

using formsrt::Raise;
using formsrt::RuntimeError;
namespace error = formsrt::error;

// Cell places and lengths are 32-bit; the store refuses to grow past that.
constexpr size_t kMaxCells = std::numeric_limits<UINT32>::max() / 2;
constexpr size_t kMaxPool = std::numeric_limits<UINT32>::max();

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

void CellStore::Clear() {
  // swap, not clear(): the memory goes back at once.
  std::vector<CellRef>().swap(cells_);
  std::vector<wchar_t>().swap(pool_);
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

void CellStore::SetText(LONG row, LONG column, std::wstring_view text) {
  CellRef& cell = cells_[IndexOf(row, column)];
  liveCharacters_ -= cell.length;
  cell = {};
  if (text.empty()) return;
  if (pool_.size() + text.size() > kMaxPool) Raise(error::OutOfMemory);
  cell.start = static_cast<UINT32>(pool_.size());
  cell.length = static_cast<UINT32>(text.size());
  pool_.insert(pool_.end(), text.begin(), text.end());
  liveCharacters_ += text.size();
  CompactIfWasteful();
}

std::wstring_view CellStore::Text(LONG row, LONG column) const {
  const CellRef& cell = cells_[IndexOf(row, column)];
  return {pool_.data() + cell.start, cell.length};
}

void CellStore::Relayout(LONG rows, LONG columns) {
  if (rows == rows_ && columns == columns_) return;
  if (static_cast<size_t>(rows) * static_cast<size_t>(columns) > kMaxCells) {
    Raise(error::OutOfMemory);
  }
  if (columns == columns_) {
    for (LONG row = rows; row < rows_; ++row) {
      for (LONG column = 0; column < columns_; ++column) {
        liveCharacters_ -= cells_[IndexOf(row, column)].length;
      }
    }
    cells_.resize(static_cast<size_t>(rows) * columns);
  } else {
    std::vector<CellRef> moved(static_cast<size_t>(rows) * columns);
    for (LONG row = 0; row < rows_; ++row) {
      for (LONG column = 0; column < columns_; ++column) {
        const CellRef& cell = cells_[IndexOf(row, column)];
        if (row < rows && column < columns) {
          moved[static_cast<size_t>(row) * columns + column] = cell;
        } else {
          liveCharacters_ -= cell.length;
        }
      }
    }
    cells_.swap(moved);
  }
  rows_ = rows;
  columns_ = columns;
  CompactIfWasteful();
}

// Overwritten and dropped cells leave their old texts in the pool; once
// those are more than half of it, the live texts are copied into a new pool.
void CellStore::CompactIfWasteful() {
  constexpr size_t kMinimumPool = 1 << 16;
  if (pool_.size() < kMinimumPool || liveCharacters_ * 2 >= pool_.size()) return;
  std::vector<wchar_t> compacted;
  compacted.reserve(liveCharacters_ + liveCharacters_ / 2);
  for (CellRef& cell : cells_) {
    if (cell.length == 0) continue;
    UINT32 start = static_cast<UINT32>(compacted.size());
    compacted.insert(compacted.end(), pool_.begin() + cell.start,
                     pool_.begin() + cell.start + cell.length);
    cell.start = start;
  }
  pool_.swap(compacted);
}

}  // namespace standins
