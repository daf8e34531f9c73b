// Owns a window: destroys it through the platform seam when it goes out of
// scope. Before destroying, it detaches the window from its C++ message
// target, so a half-destroyed object never receives the window's last
// messages.
#pragma once

#include <windows.h>

#include <utility>

namespace formsrt {

class WindowHandle {
 public:
  WindowHandle() = default;
  explicit WindowHandle(HWND owned) : hwnd_(owned) {}
  ~WindowHandle() { Reset(); }
  WindowHandle(WindowHandle&& other) noexcept : hwnd_(std::exchange(other.hwnd_, nullptr)) {}
  WindowHandle& operator=(WindowHandle&& other) noexcept {
    if (this != &other) {
      Reset();
      hwnd_ = std::exchange(other.hwnd_, nullptr);
    }
    return *this;
  }
  WindowHandle(const WindowHandle&) = delete;
  WindowHandle& operator=(const WindowHandle&) = delete;

  HWND Get() const { return hwnd_; }
  void Reset();
  // For a window that is already gone (destroyed by its parent or by the user).
  void Forget() { hwnd_ = nullptr; }

 private:
  HWND hwnd_ = nullptr;
};

}  // namespace formsrt
