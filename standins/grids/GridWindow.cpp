#include "GridWindow.h"

#include <algorithm>
#include <optional>

#include "GridQueryAnswer.h"
#include "forms/PaintDC.h"
#include "forms/SelectedObject.h"
#include "forms/WindowDC.h"
#include "platform/Platform.h"

namespace standins {

namespace {

constexpr int kColumnWidth = 96;
constexpr int kTextPadding = 3;

HFONT FontOf(const GridViewState& state) {
  return state.font ? state.font : static_cast<HFONT>(formsrt::Gdi32().GetStockObject(DEFAULT_GUI_FONT));
}

// A row's height for a font, by the platform's measure; none when the
// context cannot measure.
std::optional<int> TextRowHeight(HDC dc, HFONT font) {
  if (!dc) return std::nullopt;
  formsrt::SelectedObject selected(dc, font);
  TEXTMETRICW metrics{};
  if (!formsrt::Gdi32().GetTextMetricsW(dc, &metrics)) return std::nullopt;
  return metrics.tmHeight + 4;
}

// The height of a row that cannot be measured: the GUI font's at 96 dots
// per inch.
constexpr int kUnmeasuredRowHeight = 17;

void DrawCell(HDC dc, const RECT& cell, std::wstring_view text, bool fixed) {
  formsrt::User32().FillRect(dc, &cell, formsrt::User32().GetSysColorBrush(fixed ? COLOR_BTNFACE : COLOR_WINDOW));
  RECT textBounds{cell.left + kTextPadding, cell.top, cell.right - kTextPadding, cell.bottom};
  formsrt::User32().DrawTextW(dc, text.data(), static_cast<int>(text.size()), &textBounds,
              DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
  formsrt::SelectedObject pen(dc, formsrt::Gdi32().GetStockObject(DC_PEN));
  formsrt::Gdi32().SetDCPenColor(dc, formsrt::User32().GetSysColor(COLOR_BTNSHADOW));
  formsrt::Gdi32().MoveToEx(dc, cell.left, cell.bottom - 1, nullptr);
  formsrt::Gdi32().LineTo(dc, cell.right - 1, cell.bottom - 1);
  formsrt::Gdi32().LineTo(dc, cell.right - 1, cell.top - 1);
}

// The rows or columns drawn along one axis: the fixed ones, then the
// scrollable ones from `first`, until `extent` pixels are covered.
template <class Visit>
void ForEachShown(LONG fixed, LONG total, LONG first, int step, int extent, Visit&& visit) {
  int offset = 0;
  for (LONG index = 0; index < std::min(fixed, total) && offset < extent; ++index, offset += step) {
    visit(index, offset, true);
  }
  for (LONG index = fixed + first; index < total && offset < extent; ++index, offset += step) {
    visit(index, offset, false);
  }
}

void DrawCells(HDC dc, const RECT& bounds, const CellStore& cells, const GridViewState& state,
               LONG firstRow, LONG firstColumn) {
  formsrt::SelectedObject font(dc, FontOf(state));
  int rowHeight = TextRowHeight(dc, FontOf(state)).value_or(kUnmeasuredRowHeight);
  formsrt::Gdi32().SetBkMode(dc, TRANSPARENT);
  formsrt::Gdi32().SetTextColor(dc, formsrt::User32().GetSysColor(COLOR_WINDOWTEXT));
  formsrt::User32().FillRect(dc, &bounds, formsrt::User32().GetSysColorBrush(COLOR_APPWORKSPACE));
  int width = bounds.right - bounds.left, height = bounds.bottom - bounds.top;
  ForEachShown(state.fixedRows, cells.RowCount(), firstRow, rowHeight, height,
               [&](LONG row, int y, bool fixedRow) {
                 ForEachShown(state.fixedColumns, cells.ColumnCount(), firstColumn, kColumnWidth,
                              width, [&](LONG column, int x, bool fixedColumn) {
                                RECT cell{bounds.left + x, bounds.top + y,
                                          bounds.left + x + kColumnWidth,
                                          bounds.top + y + rowHeight};
                                DrawCell(dc, cell, cells.Text(row, column), fixedRow || fixedColumn);
                              });
               });
}

// While it lives, the window draws nothing: the platform draws a scroll bar
// at once when a new range enables or disables it, whatever its caller
// asks, unless the window's drawing is off (turning it off and on costs
// less than that drawing). A window that is not shown is left as it is.
class DrawingSuspended {
 public:
  explicit DrawingSuspended(HWND window)
      : window_(window), suspended_(formsrt::User32().GetWindowLongW(window, GWL_STYLE) & WS_VISIBLE) {
    if (suspended_) formsrt::User32().SendMessageW(window_, WM_SETREDRAW, FALSE, 0);
  }
  ~DrawingSuspended() {
    if (suspended_) formsrt::User32().SendMessageW(window_, WM_SETREDRAW, TRUE, 0);
  }
  DrawingSuspended(const DrawingSuspended&) = delete;
  DrawingSuspended& operator=(const DrawingSuspended&) = delete;

 private:
  HWND window_;
  bool suspended_;
};

}  // namespace

GridWindow::GridWindow(const wchar_t* className, HWND parent, const RECT& bounds,
                       const CellStore& cells, const GridViewState& state)
    : cells_(cells), state_(state) {
  formsrt::RegisterTargetClass(className, CS_DBLCLKS, nullptr);
  DWORD style = WS_CHILD | WS_CLIPSIBLINGS | WS_TABSTOP | WS_VSCROLL | WS_HSCROLL;
  window_ = formsrt::CreateRuntimeWindow(
      {className, L"", style, WS_EX_CLIENTEDGE, bounds, parent}, this);
  UpdateScrollBars();
}

void GridWindow::Refresh() {
  // Handle() is still null while the window is being created.
  if (!state_.redraw || !Handle()) return;
  bool barsChanged = UpdateScrollBars();
  // The scroll bars were set without drawing them (drawing one at once
  // costs more than a fill of a thousand cells), and turning the window's
  // drawing off and on again dropped what was to be painted: the client,
  // and the frame with the bars, are drawn at the next paint.
  formsrt::User32().RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | (barsChanged ? RDW_FRAME : 0));
}

void GridWindow::Draw(HDC dc, const RECT& bounds, const CellStore& cells,
                      const GridViewState& state) {
  int saved = formsrt::Gdi32().SaveDC(dc);
  formsrt::Gdi32().IntersectClipRect(dc, bounds.left, bounds.top, bounds.right, bounds.bottom);
  DrawCells(dc, bounds, cells, state, 0, 0);
  formsrt::Gdi32().RestoreDC(dc, saved);
}

LRESULT GridWindow::HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT answer = 0;
  if (AnswerGridQuery(hwnd, message, wParam, lParam, cells_, state_.fixedRows, answer)) return answer;
  switch (message) {
    case WM_PAINT: Paint(); return 0;
    case WM_ERASEBKGND: return 1;  // WM_PAINT covers every pixel
    case WM_SIZE: Refresh(); return 0;
    case WM_VSCROLL: Scroll(SB_VERT, LOWORD(wParam)); return 0;
    case WM_HSCROLL: Scroll(SB_HORZ, LOWORD(wParam)); return 0;
    case WM_MOUSEWHEEL:
      ScrollTo(SB_VERT, firstRow_ - GET_WHEEL_DELTA_WPARAM(wParam) / WHEEL_DELTA * 3);
      return 0;
    case WM_LBUTTONDOWN: formsrt::User32().SetFocus(hwnd); return 0;
    default: return formsrt::User32().DefWindowProcW(hwnd, message, wParam, lParam);
  }
}

void GridWindow::Paint() {
  formsrt::PaintDC dc(Handle());
  if (!state_.redraw) return;
  RECT client;
  formsrt::User32().GetClientRect(Handle(), &client);
  DrawCells(dc.Get(), client, cells_, state_, firstRow_, firstColumn_);
}

void GridWindow::Scroll(int bar, WORD request) {
  SCROLLINFO info{};
  info.cbSize = sizeof(info);
  info.fMask = SIF_ALL;
  formsrt::User32().GetScrollInfo(Handle(), bar, &info);
  LONG page = std::max<LONG>(1, static_cast<LONG>(info.nPage));
  LONG position = info.nPos;
  switch (request) {
    case SB_LINEUP: --position; break;
    case SB_LINEDOWN: ++position; break;
    case SB_PAGEUP: position -= page; break;
    case SB_PAGEDOWN: position += page; break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: position = info.nTrackPos; break;
    case SB_TOP: position = 0; break;
    case SB_BOTTOM: position = info.nMax; break;
    default: return;
  }
  ScrollTo(bar, position);
}

void GridWindow::ScrollTo(int bar, LONG position) {
  LONG& first = bar == SB_VERT ? firstRow_ : firstColumn_;
  LONG total = bar == SB_VERT ? cells_.RowCount() - state_.fixedRows
                              : cells_.ColumnCount() - state_.fixedColumns;
  LONG shown = bar == SB_VERT ? VisibleRows() : VisibleColumns();
  first = std::clamp<LONG>(position, 0, std::max<LONG>(0, total - shown));
  Refresh();
}

// Measured again when the font is set or another font handle is in use. A
// height that could not be measured (no device context) is not kept: the
// next ask measures again, and meanwhile the last measure or a standard
// height serves.
int GridWindow::RowHeight() {
  HFONT font = FontOf(state_);
  if (rowHeight_ && font == rowHeightFont_) return *rowHeight_;
  formsrt::WindowDC dc(Handle());
  std::optional<int> measured = TextRowHeight(dc.Get(), font);
  if (!measured) return rowHeight_.value_or(kUnmeasuredRowHeight);
  rowHeight_ = measured;
  rowHeightFont_ = font;
  return *measured;
}

LONG GridWindow::VisibleRows() {
  RECT client;
  formsrt::User32().GetClientRect(Handle(), &client);
  LONG shown = client.bottom / std::max(1, RowHeight()) - state_.fixedRows;
  return std::max<LONG>(1, shown);
}

LONG GridWindow::VisibleColumns() const {
  RECT client;
  formsrt::User32().GetClientRect(Handle(), &client);
  return std::max<LONG>(1, client.right / kColumnWidth - state_.fixedColumns);
}

bool GridWindow::UpdateScrollBars() {
  LONG rows = std::max<LONG>(0, cells_.RowCount() - state_.fixedRows);
  LONG columns = std::max<LONG>(0, cells_.ColumnCount() - state_.fixedColumns);
  LONG shownRows = VisibleRows(), shownColumns = VisibleColumns();
  firstRow_ = std::clamp<LONG>(firstRow_, 0, std::max<LONG>(0, rows - shownRows));
  firstColumn_ = std::clamp<LONG>(firstColumn_, 0, std::max<LONG>(0, columns - shownColumns));
  ScrollRange vertical{rows, shownRows, firstRow_}, horizontal{columns, shownColumns, firstColumn_};
  if (vertical == verticalBar_ && horizontal == horizontalBar_) return false;
  std::optional<DrawingSuspended> suspended;
  if (vertical.Enabled() != verticalBar_.Enabled() ||
      horizontal.Enabled() != horizontalBar_.Enabled()) {
    suspended.emplace(Handle());
  }
  if (vertical != verticalBar_) SetScrollRange(SB_VERT, vertical);
  if (horizontal != horizontalBar_) SetScrollRange(SB_HORZ, horizontal);
  verticalBar_ = vertical;
  horizontalBar_ = horizontal;
  return true;
}

// Without drawing the bar: the window's next paint draws its frame.
void GridWindow::SetScrollRange(int bar, const ScrollRange& range) {
  SCROLLINFO info{};
  info.cbSize = sizeof(info);
  info.fMask = SIF_ALL | SIF_DISABLENOSCROLL;
  info.nMax = std::max<LONG>(0, range.count - 1);
  info.nPage = static_cast<UINT>(range.page);
  info.nPos = range.position;
  formsrt::User32().SetScrollInfo(Handle(), bar, &info, FALSE);
}

}  // namespace standins
