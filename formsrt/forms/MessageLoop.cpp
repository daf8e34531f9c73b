#include "forms/MessageLoop.h"

#include "forms/Form.h"
#include "platform/Platform.h"

namespace formsrt {

namespace {

bool IsFormWindow(HWND hwnd) {
  wchar_t className[32] = {};
  formsrt::User32().GetClassNameW(hwnd, className, ARRAYSIZE(className));
  return wcscmp(className, Form::kClassName) == 0;
}

}  // namespace

void DispatchFormMessage(MSG& message) {
  HWND top = message.hwnd ? formsrt::User32().GetAncestor(message.hwnd, GA_ROOT) : nullptr;
  if (top && IsFormWindow(top) && formsrt::User32().IsDialogMessageW(top, &message)) return;
  formsrt::User32().TranslateMessage(&message);
  formsrt::User32().DispatchMessageW(&message);
}

void DispatchWaitingMessages() {
  MSG message;
  while (formsrt::User32().PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchFormMessage(message);
}

void RunMessageLoop(const Form& form) {
  MSG message;
  while (form.IsLoaded() && formsrt::User32().GetMessageW(&message, nullptr, 0, 0) > 0) {
    DispatchFormMessage(message);
  }
}

}  // namespace formsrt
