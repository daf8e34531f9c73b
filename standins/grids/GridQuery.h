// A read-only query that the three grid stand-ins answer through their
// windows, so that a test in another process can check what a program put
// into them. Rows and columns are those of the grid as drawn, from 0: row 0
// is the header row (the column headers of the list view and of cvntGrid,
// the first fixed row of the flex grid), and the data rows follow.
//
//   SendMessage(grid, kGridQueryRowCount, 0, 0)     rows, the header row included
//   SendMessage(grid, kGridQueryColumnCount, 0, 0)  columns
//   SendMessage(grid, kGridQueryFixedRows, 0, 0)    fixed rows at the top
//   SendMessage(grid, WM_COPYDATA, (WPARAM)answerTo, (LPARAM)&request)
//       request: dwData kGridCellTextRequest, lpData a GridCellAddress.
//       Returns TRUE and, before returning, sends WM_COPYDATA to answerTo
//       with dwData kGridCellTextAnswer and the cell's UTF-16 text (no
//       terminator); FALSE for a cell outside the grid.
//
// The grid window is the stand-in's own window (the one that IOleWindow
// gives); it has the class name kListViewWindowClass, kCvntGridWindowClass
// or kFlexGridWindowClass.
#pragma once

#include <windows.h>

namespace standins {

// Private messages of a window class live in WM_APP's range, 0x8000 to
// 0xBFFF; from 0xC000 on the numbers are those RegisterWindowMessage hands out.
inline constexpr UINT kGridQueryRowCount = WM_APP + 0x3701;
inline constexpr UINT kGridQueryColumnCount = WM_APP + 0x3702;
inline constexpr UINT kGridQueryFixedRows = WM_APP + 0x3703;
static_assert(kGridQueryRowCount >= WM_APP && kGridQueryFixedRows < 0xC000,
              "the grid query's messages must stay in WM_APP's range");
inline constexpr ULONG_PTR kGridCellTextRequest = 0x47524431;  // "GRD1"
inline constexpr ULONG_PTR kGridCellTextAnswer = 0x47524432;   // "GRD2"

struct GridCellAddress {
  LONG row;
  LONG column;
};

inline constexpr const wchar_t* kListViewWindowClass = L"StandinListView";
inline constexpr const wchar_t* kCvntGridWindowClass = L"StandinCvntGrid";
inline constexpr const wchar_t* kFlexGridWindowClass = L"StandinFlexGrid";

}  // namespace standins
