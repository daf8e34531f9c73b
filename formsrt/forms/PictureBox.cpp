#include "forms/PictureBox.h"

#include "forms/Screen.h"
#include "platform/Platform.h"

namespace formsrt {

namespace {

constexpr wchar_t kClassName[] = L"FormsrtPictureBox";

short ButtonsFrom(WPARAM keys) {
  short buttons = 0;
  if (keys & MK_LBUTTON) buttons |= mouse::LeftButton;
  if (keys & MK_RBUTTON) buttons |= mouse::RightButton;
  if (keys & MK_MBUTTON) buttons |= mouse::MiddleButton;
  return buttons;
}

short ShiftFrom(WPARAM keys) {
  short shift = 0;
  if (keys & MK_SHIFT) shift |= mouse::ShiftKey;
  if (keys & MK_CONTROL) shift |= mouse::ControlKey;
  if (formsrt::User32().GetKeyState(VK_MENU) < 0) shift |= mouse::AltKey;
  return shift;
}

}  // namespace

PictureBox::PictureBox(HWND parent, const TwipsRect& bounds) {
  RegisterTargetClass(kClassName, CS_DBLCLKS, formsrt::User32().GetSysColorBrush(COLOR_BTNFACE));
  window_ = CreateRuntimeWindow({kClassName, L"", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 0,
                                 Screen::PixelsFromTwips(bounds), parent},
                                this);
}

LRESULT PictureBox::HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_MOUSEMOVE) {
    RaiseMouseMove(wParam, lParam);
    return 0;
  }
  return formsrt::User32().DefWindowProcW(hwnd, message, wParam, lParam);
}

void PictureBox::RaiseMouseMove(WPARAM wParam, LPARAM lParam) {
  if (!onMouseMove) return;
  auto x = static_cast<short>(LOWORD(lParam));
  auto y = static_cast<short>(HIWORD(lParam));
  onMouseMove(ButtonsFrom(wParam), ShiftFrom(wParam), x * Screen::TwipsPerPixelX(),
              y * Screen::TwipsPerPixelY());
}

}  // namespace formsrt
