#include "DesktopFakes.h"

namespace hardening {

DesktopFakes::DesktopFakes() : user32_(formsrt::User32()), shell32_(formsrt::Shell32()) {
  user32_->SystemParametersInfoA = &DesktopFakes::SystemParametersInfoA;
  user32_->SetCursorPos = &DesktopFakes::SetCursorPos;
  user32_->FindWindowA = &DesktopFakes::FindWindowA;
  shell32_->ShellExecuteW = &DesktopFakes::ShellExecuteW;
  user32_->SendMessageA = &DesktopFakes::SendMessageA;
}

LRESULT WINAPI DesktopFakes::SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  bool moveLoop = message == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_MOVE;
  if (moveLoop || message == LVM_ARRANGE) return 0;
  return ::SendMessageA(window, message, wParam, lParam);
}

HINSTANCE WINAPI DesktopFakes::ShellExecuteW(HWND, LPCWSTR, LPCWSTR, LPCWSTR, LPCWSTR, INT) {
  return reinterpret_cast<HINSTANCE>(static_cast<INT_PTR>(42));  // above 32: success
}

}  // namespace hardening
