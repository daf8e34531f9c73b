#include "TestWindow.h"

namespace {

constexpr wchar_t kClassName[] = L"HookwatchTestWindow";

}  // namespace

TestWindow::TestWindow(std::vector<std::string>* log) : log_(log) {
  formsrt::RegisterTargetClass(kClassName, 0, nullptr);
  window_ = formsrt::CreateRuntimeWindow(
      {kClassName, L"Hookwatch test", WS_OVERLAPPEDWINDOW, 0, {10, 10, 310, 210}, nullptr}, this);
  created_ = true;
}

LRESULT TestWindow::HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  bool logged = message == kProbe || message == kOtherProbe || message == WM_SIZE ||
                message == WM_LBUTTONDOWN;
  if (created_ && logged && log_) log_->push_back("window");
  if (created_ && message == WM_SIZE) ++sizeMessages;
  if (message == kProbe) {
    ++probes;
    return kProbeAnswer;
  }
  return ::DefWindowProcW(window, message, wParam, lParam);
}
