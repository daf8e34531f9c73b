// Owns a font or a bitmap that the suite made or loaded: deletes it through
// the platform seam when it goes out of scope. Stock objects and objects
// that others own (a container's font) are never given to one.
#pragma once

#include <windows.h>

#include <utility>

#include "com/Platform.h"

namespace formsrt {

template <class Handle>
class GdiObject {
 public:
  GdiObject() = default;
  explicit GdiObject(Handle owned) : handle_(owned) {}
  ~GdiObject() {
    if (handle_) Gdi32().DeleteObject(handle_);
  }
  GdiObject(GdiObject&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
  GdiObject& operator=(GdiObject&& other) noexcept {
    std::swap(handle_, other.handle_);
    return *this;
  }
  GdiObject(const GdiObject&) = delete;
  GdiObject& operator=(const GdiObject&) = delete;

  Handle Get() const { return handle_; }
  explicit operator bool() const { return handle_ != nullptr; }

 private:
  Handle handle_ = nullptr;
};

}  // namespace formsrt
