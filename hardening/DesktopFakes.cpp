#include "DesktopFakes.h"

namespace hardening {

DesktopFakes::DesktopFakes() : user32_(formsrt::User32()), shell32_(formsrt::Shell32()) {
  user32_->SystemParametersInfoA = &DesktopFakes::SystemParametersInfoA;
  user32_->SetCursorPos = &DesktopFakes::SetCursorPos;
  user32_->FindWindowA = &DesktopFakes::FindWindowA;
  shell32_->ShellExecuteW = &DesktopFakes::ShellExecuteW;
}

HINSTANCE WINAPI DesktopFakes::ShellExecuteW(HWND, LPCWSTR, LPCWSTR, LPCWSTR, LPCWSTR, INT) {
  return reinterpret_cast<HINSTANCE>(static_cast<INT_PTR>(42));  // above 32: success
}

}  // namespace hardening
