#include "TaskbarCreatedListener.h"

namespace quennet {

namespace {

constexpr wchar_t kClassName[] = L"QuennetTaskbarCreatedListener";

}  // namespace

TaskbarCreatedListener::TaskbarCreatedListener(std::function<void()> onTaskbarCreated)
    : onTaskbarCreated_(std::move(onTaskbarCreated)),
      taskbarCreated_(::RegisterWindowMessageW(L"TaskbarCreated")) {
  formsrt::RegisterTargetClass(kClassName, 0, nullptr);
  // Hidden and unowned: such a window receives HWND_BROADCAST, unlike a
  // message-only window.
  window_ = formsrt::CreateRuntimeWindow({kClassName, L"", WS_POPUP, 0, {}, nullptr}, this);
  // A host that runs elevated would otherwise never hear the shell, which
  // runs at a lower integrity level.
  ::ChangeWindowMessageFilterEx(window_.Get(), taskbarCreated_, MSGFLT_ALLOW, nullptr);
}

LRESULT TaskbarCreatedListener::HandleMessage(HWND hwnd, UINT message, WPARAM wParam,
                                              LPARAM lParam) {
  if (message == taskbarCreated_ && taskbarCreated_ != 0) {
    onTaskbarCreated_();
    return 0;
  }
  return ::DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace quennet
