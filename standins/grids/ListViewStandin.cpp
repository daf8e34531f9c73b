#include "CallLog.h"
#include "ListViewStandin.h"

#include "ListViewCollections.h"
#include "com/ComBoundary.h"
#include "com/TypeInformation.h"

namespace standins {

using formsrt::ComPtr;
using formsrt::OfferInterface;

ListViewStandin::ListViewStandin()
    : StandinControl(CLSID_ListView), DispatchImpl(formsrt::ModuleTypeInfo(IID_IListView)) {}

STDMETHODIMP ListViewStandin::QueryInterface(REFIID iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (iid == IID_IUnknown || iid == IID_IDispatch) {
    return OfferInterface<IListView>(IID_IListView, this, out) ? S_OK : E_NOINTERFACE;
  }
  return OfferInterface<IListView>(iid, this, out) || QueryControlInterface(iid, out)
             ? S_OK
             : E_NOINTERFACE;
}

// A new collection object for every fetch, as clients fetch them anew for
// every use; each keeps the list view alive while it lives.
STDMETHODIMP ListViewStandin::get_ListItems(IListItems** items) {
  CallLog::RecordGet(L"ListView.ListItems");
  ComPtr<IUnknown> owner(static_cast<IListView*>(this));
  return formsrt::CreateAndQuery<ListItemsCollection>(IID_IListItems, reinterpret_cast<void**>(items),
                                                      owner, content_);
}

STDMETHODIMP ListViewStandin::get_ColumnHeaders(IColumnHeaders** headers) {
  CallLog::RecordGet(L"ListView.ColumnHeaders");
  ComPtr<IUnknown> owner(static_cast<IListView*>(this));
  return formsrt::CreateAndQuery<ColumnHeadersCollection>(
      IID_IColumnHeaders, reinterpret_cast<void**>(headers), owner, content_);
}

HWND ListViewStandin::CreateControlWindow(HWND parent, const RECT& bounds) {
  window_ = std::make_unique<ListViewWindow>(parent, bounds, content_);
  if (font_) window_->SetFont(font_);
  return window_->Handle();
}

void ListViewStandin::DrawContent(HDC dc, const RECT& bounds) {
  ::FillRect(dc, &bounds, ::GetSysColorBrush(COLOR_WINDOW));
  if (!window_) return;
  int saved = ::SaveDC(dc);
  ::SetViewportOrgEx(dc, bounds.left, bounds.top, nullptr);
  ::SendMessageW(window_->Handle(), WM_PRINT, reinterpret_cast<WPARAM>(dc),
                 PRF_CLIENT | PRF_NONCLIENT | PRF_CHILDREN);
  ::RestoreDC(dc, saved);
}

void ListViewStandin::ApplyFont(HFONT font) {
  font_ = font;
  if (window_ && font_) window_->SetFont(font_);
}

HRESULT CreateListViewStandin(REFIID iid, void** object) {
  return formsrt::CreateAndQuery<ListViewStandin>(iid, object);
}

}  // namespace standins
