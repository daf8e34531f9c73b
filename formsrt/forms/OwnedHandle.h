// Owns a platform handle that the suite acquired: gives it back with
// `Release` (a call through the platform seam) when it goes out of scope.
// GdiObject.h and IconHandle.h name the two kinds the suite owns.
#pragma once

#include <utility>

namespace formsrt {

template <class Handle, class Release>
class OwnedHandle {
 public:
  OwnedHandle() = default;
  explicit OwnedHandle(Handle owned) : handle_(owned) {}
  ~OwnedHandle() {
    if (handle_) Release{}(handle_);
  }
  OwnedHandle(OwnedHandle&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
  OwnedHandle& operator=(OwnedHandle&& other) noexcept {
    std::swap(handle_, other.handle_);
    return *this;
  }
  OwnedHandle(const OwnedHandle&) = delete;
  OwnedHandle& operator=(const OwnedHandle&) = delete;

  Handle Get() const { return handle_; }
  explicit operator bool() const { return handle_ != nullptr; }

 private:
  Handle handle_ = nullptr;
};

}  // namespace formsrt
