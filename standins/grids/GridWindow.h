// The window of a grid stand-in: draws the cells of a store itself, with
// the fixed rows and columns shaded, scroll bars over the rest, and no
// painting while the grid's redraw switch is off.
#pragma once

#include <windows.h>

#include <optional>

#include "CellStore.h"
#include "forms/WindowClass.h"
#include "forms/WindowHandle.h"

namespace standins {

// What the grid object decides about its look; the window reads it.
struct GridViewState {
  LONG fixedRows = 1;
  LONG fixedColumns = 0;
  bool redraw = true;
  HFONT font = nullptr;  // null: the system's GUI font
};

class GridWindow : private formsrt::MessageTarget {
 public:
  GridWindow(const wchar_t* className, HWND parent, const RECT& bounds, const CellStore& cells,
             const GridViewState& state);
  GridWindow(const GridWindow&) = delete;
  GridWindow& operator=(const GridWindow&) = delete;

  HWND Handle() const { return window_.Get(); }

  // After a change of cells or state: with redraw on, the scroll bars follow
  // the content and the window repaints; with it off, nothing happens.
  void Refresh();
  // The font was set: the rows are measured again, even when the font has
  // the handle of the one before (a font deleted and another made).
  void FontChanged() { rowHeight_.reset(); }

  // Draws the top-left part of the grid into any device context.
  static void Draw(HDC dc, const RECT& bounds, const CellStore& cells, const GridViewState& state);

 private:
  LRESULT HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override;
  void Paint();
  void Scroll(int bar, WORD request);
  void ScrollTo(int bar, LONG position);
  // A scroll bar's range as the window last gave it to the platform.
  struct ScrollRange {
    LONG count = -1;  // none given yet
    LONG page = 0;
    LONG position = 0;
    bool operator==(const ScrollRange&) const = default;
    // With SIF_DISABLENOSCROLL, a bar with nothing to scroll is disabled.
    bool Enabled() const { return count > page; }
  };

  // Gives the platform only the ranges that changed; whether any did.
  bool UpdateScrollBars();
  void SetScrollRange(int bar, const ScrollRange& range);
  int RowHeight();
  LONG VisibleRows();
  LONG VisibleColumns() const;

  const CellStore& cells_;
  const GridViewState& state_;
  LONG firstRow_ = 0;     // first scrollable row shown, counted after the fixed rows
  LONG firstColumn_ = 0;  // likewise for columns
  ScrollRange verticalBar_;
  ScrollRange horizontalBar_;
  HFONT rowHeightFont_ = nullptr;  // the font rowHeight_ was measured with
  std::optional<int> rowHeight_;   // none: to be measured
  formsrt::WindowHandle window_;
};

}  // namespace standins
