#include "forms/IntervalTimer.h"

#include "platform/Platform.h"
#include "services/UnhandledError.h"

namespace formsrt {

namespace {

constexpr wchar_t kClassName[] = L"FormsrtIntervalTimer";
constexpr UINT_PTR kTimerId = 1;

}  // namespace

IntervalTimer::IntervalTimer() {
  RegisterTargetClass(kClassName, 0, nullptr);
  window_ = CreateRuntimeWindow({kClassName, L"", 0, 0, {}, HWND_MESSAGE}, this);
}

IntervalTimer::~IntervalTimer() { Stop(); }

void IntervalTimer::SetInterval(UINT milliseconds) {
  interval_ = milliseconds;
  Restart();
}

void IntervalTimer::SetEnabled(bool enabled) {
  enabled_ = enabled;
  Restart();
}

void IntervalTimer::Restart() {
  Stop();
  if (!enabled_ || interval_ == 0) return;
  running_ = User32().SetTimer(window_.Get(), kTimerId, interval_, nullptr) != 0;
}

void IntervalTimer::Stop() {
  if (running_) User32().KillTimer(window_.Get(), kTimerId);
  running_ = false;
}

LRESULT IntervalTimer::HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_TIMER && wParam == kTimerId && running_) {
    // The standard report's box pumps messages: a tick that falls due while
    // it is up would raise its error again, and one error gives one report.
    if (ProgramIsEnding()) return 0;
    // A copy: the handler may end the timer's owner, and the timer with it.
    std::function<void()> tick = onTick;
    if (tick) tick();
    return 0;
  }
  return formsrt::User32().DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace formsrt
