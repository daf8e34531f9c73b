// The device context of a window (or, for no window, of the screen), taken
// with GetDC and given back with ReleaseDC through the platform seam.
#pragma once

#include <windows.h>

#include "platform/Platform.h"

namespace formsrt {

class WindowDC {
 public:
  explicit WindowDC(HWND window) : window_(window), dc_(User32().GetDC(window)) {}
  ~WindowDC() {
    if (dc_) User32().ReleaseDC(window_, dc_);
  }
  WindowDC(const WindowDC&) = delete;
  WindowDC& operator=(const WindowDC&) = delete;

  HDC Get() const { return dc_; }

 private:
  HWND window_;
  HDC dc_;
};

}  // namespace formsrt
