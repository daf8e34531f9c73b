// A memory device context compatible with another, deleted through the
// platform seam when it goes out of scope.
#pragma once

#include <windows.h>

#include "platform/Platform.h"

namespace formsrt {

class MemoryDC {
 public:
  explicit MemoryDC(HDC compatibleWith) : dc_(Gdi32().CreateCompatibleDC(compatibleWith)) {}
  ~MemoryDC() {
    if (dc_) Gdi32().DeleteDC(dc_);
  }
  MemoryDC(const MemoryDC&) = delete;
  MemoryDC& operator=(const MemoryDC&) = delete;

  HDC Get() const { return dc_; }

 private:
  HDC dc_;
};

}  // namespace formsrt
