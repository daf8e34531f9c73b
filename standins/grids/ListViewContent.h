// What the list view stand-in holds: its column headers and its items with
// their sub-items, in one cell store (row 0 the headers, row i item i), and
// the platform list view that shows them while the control is active. The
// list view runs in virtual (owner-data) report mode: it asks for the texts
// it draws, so each text is kept once, here.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

#include "CellStore.h"

namespace standins {

class ListViewContent {
 public:
  ListViewContent();

  const CellStore& Cells() const { return cells_; }
  LONG ItemCount() const { return cells_.RowCount() - 1; }
  LONG ColumnCount() const { return columns_; }

  // Items and columns are handed out with the generation of their
  // collection; clearing the collection makes them stale (error 5 on use).
  ULONG ItemGeneration() const { return itemGeneration_; }
  ULONG ColumnGeneration() const { return columnGeneration_; }

  void ClearItems();
  LONG AddItem(std::wstring_view text);  // returns the new item's index, from 1
  void ClearColumns();
  LONG AddColumn(std::wstring_view text);  // returns the new column's index, from 1

  // Raises error 380 unless 1 <= index < ColumnCount().
  void RequireSubItem(LONG index) const;
  // column 0 is the item's own text; sub-item k is column k.
  std::wstring_view ItemText(LONG item, ULONG generation, LONG column) const;
  void SetItemText(LONG item, ULONG generation, LONG column, std::wstring_view text);
  std::wstring_view ColumnText(LONG column, ULONG generation) const;

  // The platform list view that shows the content, or null.
  void AttachListView(HWND listView);
  // Brings the list view's columns, item count and drawing up to date, and
  // marks it for repainting when any of them changed. Clearing, adding items
  // and columns and setting texts only mark the list view stale, so that a
  // fill sends it no message per item or column; the list view's window
  // calls this before it handles any message.
  void SyncListView();
  // What the content posts to the list view when the first of those marks
  // is made, so that the list view catches up by itself once the calls of
  // the fill are done; its window answers it with SyncPosted.
  static constexpr UINT kSyncMessage = WM_APP + 0x51;
  void SyncPosted();

 private:
  void RequireItem(LONG item, ULONG generation) const;
  void RequireColumn(LONG column) const;
  void SyncColumns();
  void MarkStale(bool& stale);

  CellStore cells_;
  LONG columns_ = 0;
  ULONG itemGeneration_ = 0;
  ULONG columnGeneration_ = 0;
  HWND listView_ = nullptr;
  // What the platform list view was last given.
  std::vector<std::wstring> shownColumns_;
  LONG shownItemCount_ = 0;
  bool columnsStale_ = false;
  bool itemCountStale_ = false;
  bool drawingStale_ = false;
  bool syncPosted_ = false;  // a kSyncMessage is on its way to the list view
};

}  // namespace standins
