#include "ListViewContent.h"

#include <commctrl.h>

#include <algorithm>
#include <limits>
#include <new>
#include <string>
#include <utility>

#include "platform/Platform.h"
#include "core/RuntimeError.h"

namespace standins {

namespace {

using formsrt::RuntimeError;
namespace error = formsrt::error;

constexpr int kColumnWidth = 96;

// LVM_INSERTCOLUMNW a new column of the standard width, or LVM_SETCOLUMNW
// the header text of one there.
void SendColumn(HWND listView, UINT message, LONG index, std::wstring& text) {
  LVCOLUMNW column{};
  column.mask = message == LVM_INSERTCOLUMNW ? LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM : LVCF_TEXT;
  column.cx = kColumnWidth;
  column.pszText = text.data();
  column.iSubItem = index;
  formsrt::User32().SendMessageW(listView, message, index, reinterpret_cast<LPARAM>(&column));
}

}  // namespace

ListViewContent::ListViewContent() {
  cells_.SetRowCount(1);
  cells_.SetColumnCount(1);
}

void ListViewContent::ClearItems() {
  cells_.SetRowCount(1);
  ++itemGeneration_;
  MarkStale(itemCountStale_);
}

// All or nothing: an item whose text cannot be stored is taken away again
// (shrinking the store cannot fail).
LONG ListViewContent::AddItem(std::wstring_view text) {
  LONG row = cells_.RowCount();
  if (row == std::numeric_limits<int>::max()) formsrt::Raise(error::OutOfMemory);
  cells_.SetRowCount(row + 1);
  try {
    cells_.SetText(row, 0, text);
  } catch (...) {
    cells_.SetRowCount(row);
    throw;
  }
  MarkStale(itemCountStale_);
  return row;
}

void ListViewContent::ClearColumns() {
  columns_ = 0;
  cells_.SetColumnCount(1);
  cells_.SetText(0, 0, L"");
  ++columnGeneration_;
  MarkStale(columnsStale_);
}

// All or nothing, as AddItem.
LONG ListViewContent::AddColumn(std::wstring_view text) {
  if (columns_ == std::numeric_limits<SHORT>::max()) formsrt::Raise(error::OutOfMemory);
  LONG column = columns_;
  LONG storeColumns = cells_.ColumnCount();
  cells_.SetColumnCount(std::max<LONG>(storeColumns, column + 1));
  try {
    cells_.SetText(0, column, text);
  } catch (...) {
    cells_.SetColumnCount(storeColumns);
    throw;
  }
  columns_ = column + 1;
  MarkStale(columnsStale_);
  return columns_;
}

void ListViewContent::RequireItem(LONG item, ULONG generation) const {
  if (generation != itemGeneration_) {
    throw RuntimeError(error::InvalidProcedureCall, L"The list item was removed from the list view");
  }
  if (item < 1 || item > ItemCount()) {
    throw RuntimeError(error::SubscriptOutOfRange, L"Item " + std::to_wstring(item) +
                                                       L" is outside the list's items 1 to " +
                                                       std::to_wstring(ItemCount()));
  }
}

void ListViewContent::RequireColumn(LONG column) const {
  if (column != 0) RequireSubItem(column);
}

void ListViewContent::RequireSubItem(LONG index) const {
  if (index >= 1 && index < columns_) return;
  throw RuntimeError(error::InvalidPropertyValue,
                     L"Sub-item " + std::to_wstring(index) + L" is outside 1 to " +
                         std::to_wstring(columns_ - 1) + L" (one less than the column headers)");
}

std::wstring_view ListViewContent::ItemText(LONG item, ULONG generation, LONG column) const {
  RequireItem(item, generation);
  RequireColumn(column);
  return cells_.Text(item, column);
}

void ListViewContent::SetItemText(LONG item, ULONG generation, LONG column, std::wstring_view text) {
  RequireItem(item, generation);
  RequireColumn(column);
  cells_.SetText(item, column, text);
  MarkStale(drawingStale_);
}

std::wstring_view ListViewContent::ColumnText(LONG column, ULONG generation) const {
  if (generation != columnGeneration_) {
    throw RuntimeError(error::InvalidProcedureCall,
                       L"The column header was removed from the list view");
  }
  if (column < 1 || column > columns_) {
    throw RuntimeError(error::SubscriptOutOfRange, L"Column " + std::to_wstring(column) +
                                                       L" is outside the list's columns 1 to " +
                                                       std::to_wstring(columns_));
  }
  return cells_.Text(0, column - 1);
}

// A new list view has no columns and no items.
void ListViewContent::AttachListView(HWND listView) {
  listView_ = listView;
  shownColumns_.clear();
  shownItemCount_ = 0;
  syncPosted_ = false;  // a message posted to another list view went with it
  columnsStale_ = true;
  MarkStale(itemCountStale_);
}

// One message for all the changes until it arrives. Without it the list
// view, its header and those who read them would show the old content until
// something else sent the list view a message.
void ListViewContent::MarkStale(bool& stale) {
  stale = true;
  if (listView_ && !syncPosted_) {
    syncPosted_ = formsrt::User32().PostMessageW(listView_, kSyncMessage, 0, 0) != FALSE;
  }
}

void ListViewContent::SyncPosted() {
  syncPosted_ = false;
  SyncListView();
}

void ListViewContent::SyncListView() {
  if (!listView_) return;
  // Cleared first: the messages below pass through the list view's window
  // again, which calls this again.
  bool columnsStale = std::exchange(columnsStale_, false);
  bool countStale = std::exchange(itemCountStale_, false);
  bool drawingStale = std::exchange(drawingStale_, false);
  if (columnsStale) {
    try {
      SyncColumns();
    } catch (const std::bad_alloc&) {
      columnsStale_ = true;  // tried again at the list view's next message
    }
  }
  if (countStale && shownItemCount_ != ItemCount()) {
    shownItemCount_ = ItemCount();
    formsrt::User32().SendMessageW(listView_, LVM_SETITEMCOUNT, shownItemCount_, LVSICF_NOSCROLL);
  }
  if (columnsStale || countStale || drawingStale) formsrt::User32().InvalidateRect(listView_, nullptr, FALSE);
}

// The platform list view's headers made the content's with the fewest
// changes: a header already showing the same text stays as it is (a list
// cleared and filled again with the same columns costs no column work), one
// with another text gets the new text, and only the columns beyond the
// shorter of the two lists are inserted or deleted.
void ListViewContent::SyncColumns() {
  LONG shown = static_cast<LONG>(shownColumns_.size());
  LONG kept = std::min(shown, columns_);
  for (LONG column = 0; column < kept; ++column) {
    std::wstring_view text = cells_.Text(0, column);
    if (shownColumns_[column] == text) continue;
    shownColumns_[column] = text;
    SendColumn(listView_, LVM_SETCOLUMNW, column, shownColumns_[column]);
  }
  for (LONG column = shown - 1; column >= kept; --column) {
    formsrt::User32().SendMessageW(listView_, LVM_DELETECOLUMN, column, 0);
    shownColumns_.pop_back();
  }
  for (LONG column = kept; column < columns_; ++column) {
    shownColumns_.emplace_back(cells_.Text(0, column));
    SendColumn(listView_, LVM_INSERTCOLUMNW, column, shownColumns_.back());
  }
}

}  // namespace standins
