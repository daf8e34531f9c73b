#include "ListViewStandin.h"

#include <memory>

#include "CallLog.h"
#include "GridDispatchIds.h"
#include "ListViewCollections.h"
#include "StandinDescription.h"
#include "com/ComBoundary.h"
#include "core/RuntimeError.h"
#include "com/TypeInformation.h"
#include "platform/Platform.h"

namespace standins {

using formsrt::ComPtr;

namespace {

const formsrt::ControlDescription kDescription{
    CLSID_ListView, IID_IListView, IID_NULL, L"ListView", kStandinDesignSizeTwips, kStandinMiscStatus};

}  // namespace

ListViewStandin::ListViewStandin()
    : ActiveXControl(kDescription, window_),
      window_([this](HWND parent, const RECT& position) {
        auto window = std::make_unique<ListViewWindow>(parent, position, content_);
        if (HFONT font = AmbientFont()) window->SetFont(font);
        return window;
      }) {}

// A new collection object for every fetch, as clients fetch them anew for
// every use; each keeps the list view alive while it lives. The fetch is
// recorded within the boundary: the record allocates.
template <class Collection, class Interface>
HRESULT ListViewStandin::FetchCollection(const wchar_t* fetch, Interface** out) {
  if (out) *out = nullptr;
  return formsrt::ComBoundary(kDescription.title, IID_IListView, [&] {
    CallLog::RecordGet(fetch);
    ComPtr<IUnknown> owner(static_cast<IListView*>(this));
    formsrt::ThrowIfFailed(formsrt::CreateAndQuery<Collection>(
        __uuidof(Interface), reinterpret_cast<void**>(out), owner, content_));
  });
}

STDMETHODIMP ListViewStandin::get_ListItems(IListItems** items) {
  return FetchCollection<ListItemsCollection>(L"ListView.ListItems", items);
}

STDMETHODIMP ListViewStandin::get_ColumnHeaders(IColumnHeaders** headers) {
  return FetchCollection<ColumnHeadersCollection>(L"ListView.ColumnHeaders", headers);
}

// A client fetches a collection for every item it adds: the platform's
// typed dispatch of a call without arguments costs more than the fetch
// itself. A fetch that fails (no memory for the collection) is made again
// through the type information, which reports the failure as it reports
// every other.
STDMETHODIMP ListViewStandin::Invoke(DISPID id, REFIID riid, LCID locale, WORD flags,
                                     DISPPARAMS* params, VARIANT* result, EXCEPINFO* excepInfo,
                                     UINT* argErr) {
  bool plainFetch = riid == IID_NULL && (flags & DISPATCH_PROPERTYGET) && params &&
                    params->cArgs == 0 && params->cNamedArgs == 0 &&
                    (id == DISPID_LISTVIEW_LISTITEMS || id == DISPID_LISTVIEW_COLUMNHEADERS);
  if (plainFetch) {
    ComPtr<IListItems> items;
    ComPtr<IColumnHeaders> headers;
    HRESULT hr = id == DISPID_LISTVIEW_LISTITEMS ? get_ListItems(items.Put())
                                                 : get_ColumnHeaders(headers.Put());
    IDispatch* collection = items.Get() ? static_cast<IDispatch*>(items.Get()) : headers.Get();
    if (SUCCEEDED(hr) && collection) {
      if (result) {
        collection->AddRef();
        V_VT(result) = VT_DISPATCH;
        V_DISPATCH(result) = collection;
      }
      return S_OK;
    }
  }
  return ActiveXControl::Invoke(id, riid, locale, flags, params, result, excepInfo, argErr);
}

void ListViewStandin::UserControl_Paint(HDC dc, const RECT& bounds) {
  formsrt::User32().FillRect(dc, &bounds, formsrt::User32().GetSysColorBrush(COLOR_WINDOW));
  ListViewWindow* window = window_.Get();
  if (!window) return;
  int saved = formsrt::Gdi32().SaveDC(dc);
  formsrt::Gdi32().SetViewportOrgEx(dc, bounds.left, bounds.top, nullptr);
  formsrt::User32().SendMessageW(window->Handle(), WM_PRINT, reinterpret_cast<WPARAM>(dc),
                 PRF_CLIENT | PRF_NONCLIENT | PRF_CHILDREN);
  formsrt::Gdi32().RestoreDC(dc, saved);
}

// The site's font; none (a site gone) gives the list view back the system's.
void ListViewStandin::UserControl_AmbientChanged(DISPID property) {
  if (property != DISPID_AMBIENT_FONT && property != DISPID_UNKNOWN) return;
  if (ListViewWindow* window = window_.Get()) window->SetFont(AmbientFont());
}

HRESULT CreateListViewStandin(REFIID iid, void** object) {
  return formsrt::CreateAndQuery<ListViewStandin>(iid, object);
}

}  // namespace standins
