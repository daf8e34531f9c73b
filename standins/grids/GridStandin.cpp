#include "GridStandin.h"

namespace standins {

GridStandin::GridStandin(const CLSID& clsid, REFIID dispinterface, const wchar_t* windowClass,
                         const wchar_t* source)
    : StandinControl(clsid),
      HandwrittenDispatch(source, dispinterface),
      dispinterface_(dispinterface),
      windowClass_(windowClass) {}

STDMETHODIMP GridStandin::QueryInterface(REFIID iid, void** out) {
  if (out && (iid == IID_IDispatch || iid == dispinterface_)) {
    *out = static_cast<IDispatch*>(this);
    AddRef();
    return S_OK;
  }
  return QueryControlInterface(iid, out);
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
