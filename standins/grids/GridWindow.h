// The window of a grid stand-in: draws the cells of a store itself, with
// the fixed rows and columns shaded, scroll bars over the rest, and no
// painting while the grid's redraw switch is off.
#pragma once

#include <windows.h>

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

  // Draws the top-left part of the grid into any device context.
  static void Draw(HDC dc, const RECT& bounds, const CellStore& cells, const GridViewState& state);

 private:
  LRESULT HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override;
  void Paint();
  void Scroll(int bar, WORD request);
  void ScrollTo(int bar, LONG position);
  void UpdateScrollBars();
  LONG VisibleRows() const;
  LONG VisibleColumns() const;

  const CellStore& cells_;
  const GridViewState& state_;
  LONG firstRow_ = 0;     // first scrollable row shown, counted after the fixed rows
  LONG firstColumn_ = 0;  // likewise for columns
  formsrt::WindowHandle window_;
};

}  // namespace standins
