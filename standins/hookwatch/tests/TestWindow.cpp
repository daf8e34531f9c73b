#include "TestWindow.h"

#include <stdexcept>

namespace {

constexpr const wchar_t* kClassName = L"HookwatchTestWindow";

void RegisterClassOnce() {
  static bool registered = false;
  if (registered) return;
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.lpfnWndProc = ::DefWindowProcW;
  windowClass.hInstance = ::GetModuleHandleW(nullptr);
  windowClass.lpszClassName = kClassName;
  if (!::RegisterClassExW(&windowClass)) throw std::runtime_error("RegisterClassEx failed");
  registered = true;
}

}  // namespace

TestWindow::TestWindow(std::vector<std::string>* log) : log_(log) {
  RegisterClassOnce();
  window_ = ::CreateWindowExW(0, kClassName, L"Hookwatch test", WS_OVERLAPPEDWINDOW, 10, 10, 300,
                              200, nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
  if (!window_) throw std::runtime_error("CreateWindowEx failed");
  ::SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  ::SetWindowLongPtrW(window_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Procedure));
}

TestWindow::~TestWindow() { Destroy(); }

void TestWindow::Destroy() {
  if (window_ && ::IsWindow(window_)) ::DestroyWindow(window_);
  window_ = nullptr;
}

LRESULT CALLBACK TestWindow::Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<TestWindow*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
  bool logged = message == kProbe || message == kOtherProbe || message == WM_SIZE ||
                message == WM_LBUTTONDOWN;
  if (self && logged && self->log_) self->log_->push_back("window");
  if (self && message == WM_SIZE) ++self->sizeMessages;
  if (self && message == kProbe) {
    ++self->probes;
    return kProbeAnswer;
  }
  return ::DefWindowProcW(window, message, wParam, lParam);
}
