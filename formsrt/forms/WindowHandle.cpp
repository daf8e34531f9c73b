#include "forms/WindowHandle.h"

#include "platform/Platform.h"
#include "forms/WindowClass.h"

namespace formsrt {

void WindowHandle::Reset() {
  if (!hwnd_) return;
  DetachMessageTarget(hwnd_);
  User32().DestroyWindow(std::exchange(hwnd_, nullptr));
}

}  // namespace formsrt
