#include "ListViewWindow.h"

#include <commctrl.h>

#include <algorithm>

#include "GridQuery.h"
#include "GridQueryAnswer.h"
#include "platform/Platform.h"

namespace standins {

ListViewWindow::ListViewWindow(HWND parent, const RECT& bounds, ListViewContent& content)
    : content_(content) {
  INITCOMMONCONTROLSEX classes{sizeof(classes), ICC_LISTVIEW_CLASSES};
  formsrt::Comctl32().InitCommonControlsEx(&classes);
  formsrt::RegisterTargetClass(kListViewWindowClass, 0, formsrt::User32().GetSysColorBrush(COLOR_WINDOW));
  window_ = formsrt::CreateRuntimeWindow(
      // WS_EX_CONTROLPARENT: the form's Tab key reaches the list view inside.
      {kListViewWindowClass, L"", WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, WS_EX_CONTROLPARENT,
       bounds, parent},
      this);
  RECT client;
  formsrt::User32().GetClientRect(Handle(), &client);
  DWORD style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_OWNERDATA | LVS_SHOWSELALWAYS;
  formsrt::WindowHandle listView = formsrt::CreateRuntimeWindow(
      {WC_LISTVIEWW, L"", style, WS_EX_CLIENTEDGE, client, Handle()});
  listView_ = listView.Get();
  listView.Forget();  // destroyed with its parent
  formsrt::User32().SendMessageW(listView_, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES,
                 LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
  formsrt::Comctl32().SetWindowSubclass(listView_, SyncBeforeMessage, 1, reinterpret_cast<DWORD_PTR>(this));
  content_.AttachListView(listView_);
}

ListViewWindow::~ListViewWindow() {
  formsrt::Comctl32().RemoveWindowSubclass(listView_, SyncBeforeMessage, 1);
  content_.AttachListView(nullptr);
}

// Every message to the list view (painting, scrolling, a query of its
// items) first brings it up to date with the content. The content's own
// message is answered here: it is not the platform list view's.
LRESULT CALLBACK ListViewWindow::SyncBeforeMessage(HWND window, UINT message, WPARAM wParam,
                                                   LPARAM lParam, UINT_PTR, DWORD_PTR self) {
  ListViewContent& content = reinterpret_cast<ListViewWindow*>(self)->content_;
  if (message == ListViewContent::kSyncMessage) {
    content.SyncPosted();
    return 0;
  }
  content.SyncListView();
  return formsrt::Comctl32().DefSubclassProc(window, message, wParam, lParam);
}

void ListViewWindow::SetFont(HFONT font) {
  formsrt::User32().SendMessageW(listView_, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

LRESULT ListViewWindow::HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT answer = 0;
  if (AnswerGridQuery(hwnd, message, wParam, lParam, content_.Cells(), 1, answer)) return answer;
  switch (message) {
    case WM_SIZE:
      if (listView_) formsrt::User32().MoveWindow(listView_, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
      return 0;
    case WM_NOTIFY: {
      auto* header = reinterpret_cast<NMHDR*>(lParam);
      if (header->hwndFrom == listView_ && header->code == LVN_GETDISPINFOW) {
        FillDisplayInfo(*reinterpret_cast<NMLVDISPINFOW*>(lParam));
      }
      return 0;
    }
    default: return formsrt::User32().DefWindowProcW(hwnd, message, wParam, lParam);
  }
}

void ListViewWindow::FillDisplayInfo(NMLVDISPINFOW& request) const {
  LVITEMW& item = request.item;
  if (!(item.mask & LVIF_TEXT) || !item.pszText || item.cchTextMax <= 0) return;
  item.pszText[0] = L'\0';
  LONG row = item.iItem + 1;
  const CellStore& cells = content_.Cells();
  if (!cells.Contains(row, item.iSubItem)) return;
  std::wstring_view text = cells.Text(row, item.iSubItem);
  size_t length = std::min<size_t>(text.size(), static_cast<size_t>(item.cchTextMax - 1));
  std::copy_n(text.data(), length, item.pszText);
  item.pszText[length] = L'\0';
}

}  // namespace standins
