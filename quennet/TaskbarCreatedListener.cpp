#include "TaskbarCreatedListener.h"

#include "platform/Platform.h"

namespace quennet {

namespace {

constexpr wchar_t kClassName[] = L"QuennetTaskbarCreatedListener";
constexpr DWORD kAllowMessage = 1;  // MSGFLT_ALLOW, and MSGFLT_ADD of the older call

// A host that runs elevated would otherwise never hear the shell, which runs
// at a lower integrity level. Windows 7 lets the message through to this
// window only, Vista to the whole process; before Vista no filter exists.
void LetThroughFromTheShell(HWND window, UINT message) {
  formsrt::User32Api& user32 = formsrt::User32();
  if (user32.ChangeWindowMessageFilterEx) {
    user32.ChangeWindowMessageFilterEx(window, message, kAllowMessage, nullptr);
  } else if (user32.ChangeWindowMessageFilter) {
    user32.ChangeWindowMessageFilter(message, kAllowMessage);
  }
}

}  // namespace

TaskbarCreatedListener::TaskbarCreatedListener(std::function<void()> onTaskbarCreated)
    : onTaskbarCreated_(std::move(onTaskbarCreated)),
      taskbarCreated_(formsrt::User32().RegisterWindowMessageW(L"TaskbarCreated")) {
  formsrt::RegisterTargetClass(kClassName, 0, nullptr);
  // Hidden and unowned: such a window receives HWND_BROADCAST, unlike a
  // message-only window.
  window_ = formsrt::CreateRuntimeWindow({kClassName, L"", WS_POPUP, 0, {}, nullptr}, this);
  LetThroughFromTheShell(window_.Get(), taskbarCreated_);
}

LRESULT TaskbarCreatedListener::HandleMessage(HWND hwnd, UINT message, WPARAM wParam,
                                              LPARAM lParam) {
  if (message == taskbarCreated_ && taskbarCreated_ != 0) {
    onTaskbarCreated_();
    return 0;
  }
  return formsrt::User32().DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace quennet
