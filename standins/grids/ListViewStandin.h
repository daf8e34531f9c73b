// The list view stand-in: an OLE control whose automation interface gives
// the item and column-header collections, shown by the platform's list view
// in report mode.
#pragma once

#include <windows.h>

#include <memory>

#include "GridStandins.h"
#include "ListViewContent.h"
#include "ListViewWindow.h"
#include "StandinControl.h"
#include "com/ComModule.h"
#include "com/TypeLibDispatch.h"

namespace standins {

class ListViewStandin : public StandinControl,
                        public formsrt::DispatchImpl<IListView>,
                        private formsrt::ComObjectBase {
 public:
  ListViewStandin();

  STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
  STDMETHODIMP_(ULONG) AddRef() override { return AddRefImpl(); }
  STDMETHODIMP_(ULONG) Release() override { return ReleaseImpl(); }

  STDMETHODIMP get_ListItems(IListItems** items) override;
  STDMETHODIMP get_ColumnHeaders(IColumnHeaders** headers) override;

 private:
  HWND CreateControlWindow(HWND parent, const RECT& bounds) override;
  void DestroyControlWindow() override { window_.reset(); }
  void DrawContent(HDC dc, const RECT& bounds) override;
  void ApplyFont(HFONT font) override;

  ListViewContent content_;
  HFONT font_ = nullptr;
  std::unique_ptr<ListViewWindow> window_;
};

HRESULT CreateListViewStandin(REFIID iid, void** object);

}  // namespace standins
