// The device context of one WM_PAINT: BeginPaint when made, EndPaint when it
// goes out of scope, both through the platform seam.
#pragma once

#include <windows.h>

#include "platform/Platform.h"

namespace formsrt {

class PaintDC {
 public:
  explicit PaintDC(HWND window) : window_(window), dc_(User32().BeginPaint(window, &paint_)) {}
  ~PaintDC() { User32().EndPaint(window_, &paint_); }
  PaintDC(const PaintDC&) = delete;
  PaintDC& operator=(const PaintDC&) = delete;

  HDC Get() const { return dc_; }

 private:
  HWND window_;
  PAINTSTRUCT paint_{};
  HDC dc_;
};

}  // namespace formsrt
