#include "HiddenTimerWindow.h"

#include "com/Platform.h"
#include "com/RuntimeError.h"

using formsrt::User32;

namespace hookwatch {

namespace {

constexpr UINT_PTR kTimerId = 1;

}  // namespace

HiddenTimerWindow::HiddenTimerWindow(std::function<void()> onTick) : onTick_(std::move(onTick)) {
  window_ = User32().CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                     nullptr, nullptr);
  if (!window_) formsrt::Raise(formsrt::error::OutOfMemory);
  ::SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

HiddenTimerWindow::~HiddenTimerWindow() {
  Stop();
  User32().DestroyWindow(window_);
}

void HiddenTimerWindow::Start(UINT milliseconds) {
  if (!User32().SetTimer(window_, kTimerId, milliseconds, OnTimer)) {
    formsrt::Raise(formsrt::error::OutOfMemory);
  }
  running_ = true;
}

void HiddenTimerWindow::Stop() {
  if (running_) User32().KillTimer(window_, kTimerId);
  running_ = false;
}

void CALLBACK HiddenTimerWindow::OnTimer(HWND window, UINT, UINT_PTR, DWORD) {
  auto* self = reinterpret_cast<HiddenTimerWindow*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
  if (!self || !self->running_) return;
  try {
    // A copy: the handler may end the object that owns this window.
    std::function<void()> onTick = self->onTick_;
    onTick();
  } catch (...) {
    // No exception may leave a timer procedure; the tick is lost.
  }
}

}  // namespace hookwatch
