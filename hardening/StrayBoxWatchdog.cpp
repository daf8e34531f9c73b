#include "StrayBoxWatchdog.h"

#include <chrono>

namespace hardening {

namespace {

constexpr auto kInterval = std::chrono::milliseconds(100);

}  // namespace

StrayBoxWatchdog::StrayBoxWatchdog() : thread_([this] { Watch(); }) {}

StrayBoxWatchdog::~StrayBoxWatchdog() {
  stopping_ = true;
  thread_.join();
}

std::vector<std::wstring> StrayBoxWatchdog::ClosedBoxes() {
  std::lock_guard<std::mutex> lock(mutex_);
  return closed_;
}

void StrayBoxWatchdog::Watch() {
  while (!stopping_) {
    ::EnumWindows(&StrayBoxWatchdog::CloseIfBox, reinterpret_cast<LPARAM>(this));
    std::this_thread::sleep_for(kInterval);
  }
}

BOOL CALLBACK StrayBoxWatchdog::CloseIfBox(HWND window, LPARAM self) {
  DWORD process = 0;
  ::GetWindowThreadProcessId(window, &process);
  wchar_t className[16] = L"";
  ::GetClassNameW(window, className, 16);
  if (process != ::GetCurrentProcessId() || std::wstring(className) != L"#32770" ||
      !::IsWindowVisible(window))
    return TRUE;
  wchar_t caption[256] = L"";
  ::GetWindowTextW(window, caption, 256);
  auto* watchdog = reinterpret_cast<StrayBoxWatchdog*>(self);
  {
    std::lock_guard<std::mutex> lock(watchdog->mutex_);
    watchdog->closed_.push_back(caption);
  }
  ::PostMessageW(window, WM_COMMAND, IDCANCEL, 0);
  ::PostMessageW(window, WM_CLOSE, 0, 0);
  return TRUE;
}

}  // namespace hardening
