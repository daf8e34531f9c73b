#include "control/ControlWindow.h"

#include "forms/PaintDC.h"
#include "platform/Platform.h"

namespace formsrt {

namespace {

constexpr wchar_t kWindowClass[] = L"FormsrtControlWindow";

}  // namespace

ControlWindow::ControlWindow(SIZE pixels, Painter painter) : painter_(std::move(painter)) {
  RegisterTargetClass(kWindowClass, 0, nullptr);
  RECT bounds{0, 0, pixels.cx, pixels.cy};
  parking_ = CreateRuntimeWindow({L"STATIC", L"", WS_POPUP, WS_EX_TOOLWINDOW, bounds, nullptr});
  window_ = CreateRuntimeWindow(
      {kWindowClass, L"", WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, 0, bounds, parking_.Get()},
      this);
}

void ControlWindow::Enter(HWND parent, const RECT&) { formsrt::User32().SetParent(Handle(), parent); }

void ControlWindow::Withdraw() {
  formsrt::User32().ShowWindow(Handle(), SW_HIDE);
  formsrt::User32().SetParent(Handle(), parking_.Get());
}

LRESULT ControlWindow::HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != WM_PAINT) return formsrt::User32().DefWindowProcW(hwnd, message, wParam, lParam);
  PaintDC dc(hwnd);
  RECT bounds;
  formsrt::User32().GetClientRect(hwnd, &bounds);
  if (painter_) painter_(dc.Get(), bounds);
  return 0;
}

}  // namespace formsrt
