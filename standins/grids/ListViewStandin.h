// The list view stand-in: an OLE control whose automation interface gives
// the item and column-header collections, shown by the platform's list view
// in report mode while it is active in place.
#pragma once

#include <windows.h>

#include "GridStandins.h"
#include "ListViewContent.h"
#include "ListViewWindow.h"
#include "control/ActivationWindow.h"
#include "control/ActiveXControl.h"

namespace standins {

class ListViewStandin : public formsrt::ActiveXControl<IListView> {
 public:
  ListViewStandin();

  STDMETHODIMP get_ListItems(IListItems** items) override;
  STDMETHODIMP get_ColumnHeaders(IColumnHeaders** headers) override;

  // A fetch of a collection by its DISPID is answered here; every other
  // call goes through the type information.
  STDMETHODIMP Invoke(DISPID id, REFIID riid, LCID locale, WORD flags, DISPPARAMS* params,
                      VARIANT* result, EXCEPINFO* excepInfo, UINT* argErr) override;

 private:
  template <class Collection, class Interface>
  HRESULT FetchCollection(const wchar_t* fetch, Interface** out);
  void UserControl_Paint(HDC dc, const RECT& bounds) override;
  void UserControl_AmbientChanged(DISPID property) override;

  ListViewContent content_;
  formsrt::ActivationWindow<ListViewWindow> window_;
};

HRESULT CreateListViewStandin(REFIID iid, void** object);

}  // namespace standins
