// What the two self-drawing grid stand-ins share: an OLE control of the
// runtime's base with a hand-dispatched automation interface, a cell store,
// and a grid window while it is active in place.
#pragma once

#include <windows.h>

#include "CellStore.h"
#include "GridWindow.h"
#include "HandwrittenDispatch.h"
#include "control/ActivationWindow.h"
#include "control/ControlBase.h"

namespace standins {

class GridStandin : public formsrt::ControlBase, public HandwrittenDispatch {
 public:
  // One IUnknown for every interface of the object.
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    return ControlBase::QueryInterface(iid, out);
  }
  STDMETHODIMP_(ULONG) AddRef() override { return ControlBase::AddRef(); }
  STDMETHODIMP_(ULONG) Release() override { return ControlBase::Release(); }

 protected:
  // The description's title names the members in errors and the call log.
  GridStandin(const formsrt::ControlDescription& description, const wchar_t* windowClass);

  // After every change of cells or view state.
  void Changed();
  void SetRedraw(bool redraw);

  CellStore cells_;
  GridViewState view_;

 private:
  IDispatch* DefaultDispatch() override { return static_cast<HandwrittenDispatch*>(this); }
  void UserControl_Paint(HDC dc, const RECT& bounds) override;
  void UserControl_AmbientChanged(DISPID property) override;

  formsrt::ActivationWindow<GridWindow> window_;
};

}  // namespace standins
