#include "GridStandin.h"

namespace standins {

using formsrt::OfferInterface;

GridStandin::GridStandin(const CLSID& clsid, REFIID dispinterface, const wchar_t* windowClass,
                         const wchar_t* source)
    : StandinControl(clsid),
      HandwrittenDispatch(source, dispinterface),
      dispinterface_(dispinterface),
      windowClass_(windowClass) {}

STDMETHODIMP GridStandin::QueryInterface(REFIID iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (iid == IID_IUnknown || iid == IID_IDispatch || iid == dispinterface_) {
    return OfferInterface<IDispatch>(IID_IDispatch, this, out) ? S_OK : E_NOINTERFACE;
  }
  return QueryControlInterface(iid, out) ? S_OK : E_NOINTERFACE;
}

void GridStandin::Changed() {
  if (window_) window_->Refresh();
}

void GridStandin::SetRedraw(bool redraw) {
  view_.redraw = redraw;
  Changed();
}

HWND GridStandin::CreateControlWindow(HWND parent, const RECT& bounds) {
  window_ = std::make_unique<GridWindow>(windowClass_, parent, bounds, cells_, view_);
  return window_->Handle();
}

void GridStandin::DrawContent(HDC dc, const RECT& bounds) {
  GridWindow::Draw(dc, bounds, cells_, view_);
}

void GridStandin::ApplyFont(HFONT font) {
  view_.font = font;
  Changed();
}

}  // namespace standins
