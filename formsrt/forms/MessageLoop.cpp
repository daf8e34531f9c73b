#include "forms/MessageLoop.h"

#include "forms/Form.h"

namespace formsrt {

namespace {

bool IsFormWindow(HWND hwnd) {
  wchar_t className[32] = {};
  ::GetClassNameW(hwnd, className, ARRAYSIZE(className));
  return wcscmp(className, Form::kClassName) == 0;
}

}  // namespace

void DispatchFormMessage(MSG& message) {
  HWND top = message.hwnd ? ::GetAncestor(message.hwnd, GA_ROOT) : nullptr;
  if (top && IsFormWindow(top) && ::IsDialogMessageW(top, &message)) return;
  ::TranslateMessage(&message);
  ::DispatchMessageW(&message);
}

void DispatchWaitingMessages() {
  MSG message;
  while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchFormMessage(message);
}

void RunMessageLoop(const Form& form) {
  MSG message;
  while (form.IsLoaded() && ::GetMessageW(&message, nullptr, 0, 0) > 0) {
    DispatchFormMessage(message);
  }
}

}  // namespace formsrt
