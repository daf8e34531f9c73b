// What the two self-drawing grid stand-ins share: one COM object that is an
// OLE control with a hand-dispatched automation interface, a cell store and
// a grid window while it is active in place.
#pragma once

#include <windows.h>

#include <memory>

#include "CellStore.h"
#include "GridWindow.h"
#include "HandwrittenDispatch.h"
#include "StandinControl.h"
#include "com/ComModule.h"

namespace standins {

class GridStandin : public StandinControl, public HandwrittenDispatch, private formsrt::ComObjectBase {
 public:
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
  STDMETHODIMP_(ULONG) AddRef() override { return AddRefImpl(); }
  STDMETHODIMP_(ULONG) Release() override { return ReleaseImpl(); }

 protected:
  GridStandin(const CLSID& clsid, REFIID dispinterface, const wchar_t* windowClass,
              const wchar_t* source);

  // After every change of cells or view state.
  void Changed();
  void SetRedraw(bool redraw);

  CellStore cells_;
  GridViewState view_;

 private:
  HWND CreateControlWindow(HWND parent, const RECT& bounds) override;
  void DestroyControlWindow() override { window_.reset(); }
  void DrawContent(HDC dc, const RECT& bounds) override;
  void ApplyFont(HFONT font) override;

  const IID& dispinterface_;
  const wchar_t* windowClass_;
  std::unique_ptr<GridWindow> window_;
};

}  // namespace standins
