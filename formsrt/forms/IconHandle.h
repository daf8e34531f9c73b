// Owns an icon that the suite loaded (not a shared system icon): destroys it
// through the platform seam when it goes out of scope.
#pragma once

#include <windows.h>

#include <utility>

#include "com/Platform.h"

namespace formsrt {

class IconHandle {
 public:
  IconHandle() = default;
  explicit IconHandle(HICON owned) : icon_(owned) {}
  ~IconHandle() {
    if (icon_) User32().DestroyIcon(icon_);
  }
  IconHandle(IconHandle&& other) noexcept : icon_(std::exchange(other.icon_, nullptr)) {}
  IconHandle& operator=(IconHandle&& other) noexcept {
    std::swap(icon_, other.icon_);
    return *this;
  }
  IconHandle(const IconHandle&) = delete;
  IconHandle& operator=(const IconHandle&) = delete;

  HICON Get() const { return icon_; }

 private:
  HICON icon_ = nullptr;
};

}  // namespace formsrt
