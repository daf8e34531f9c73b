#include "GridQueryAnswer.h"

#include "GridQuery.h"
#include "platform/Platform.h"

namespace standins {

namespace {

LRESULT AnswerCellText(HWND window, HWND answerTo, const COPYDATASTRUCT& request,
                       const CellStore& cells) {
  if (request.cbData != sizeof(GridCellAddress) || !request.lpData || !answerTo) return FALSE;
  const auto* address = static_cast<const GridCellAddress*>(request.lpData);
  if (!cells.Contains(address->row, address->column)) return FALSE;
  std::wstring_view text = cells.Text(address->row, address->column);
  COPYDATASTRUCT answer{kGridCellTextAnswer, static_cast<DWORD>(text.size() * sizeof(wchar_t)),
                        const_cast<wchar_t*>(text.data())};
  formsrt::User32().SendMessageW(answerTo, WM_COPYDATA, reinterpret_cast<WPARAM>(window),
                 reinterpret_cast<LPARAM>(&answer));
  return TRUE;
}

}  // namespace

bool AnswerGridQuery(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                     const CellStore& cells, LONG fixedRows, LRESULT& result) {
  switch (message) {
    case kGridQueryRowCount: result = cells.RowCount(); return true;
    case kGridQueryColumnCount: result = cells.ColumnCount(); return true;
    case kGridQueryFixedRows: result = fixedRows; return true;
    case WM_COPYDATA: {
      const auto* request = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
      if (!request || request->dwData != kGridCellTextRequest) return false;
      result = AnswerCellText(window, reinterpret_cast<HWND>(wParam), *request, cells);
      return true;
    }
    default: return false;
  }
}

}  // namespace standins
