// An interval timer on a hidden message-only window of the thread that
// creates it: the ticks arrive through that thread's message dispatch.
// Destroying the object destroys the window, which ends the timer.
#pragma once

#include <windows.h>

#include <functional>

namespace hookwatch {

class HiddenTimerWindow {
 public:
  // Raises error 7 when the platform gives no window.
  explicit HiddenTimerWindow(std::function<void()> onTick);
  ~HiddenTimerWindow();
  HiddenTimerWindow(const HiddenTimerWindow&) = delete;
  HiddenTimerWindow& operator=(const HiddenTimerWindow&) = delete;

  // (Re)starts the timer: the next tick comes one interval from now.
  void Start(UINT milliseconds);
  void Stop();
  bool Running() const { return running_; }

 private:
  static void CALLBACK OnTimer(HWND window, UINT message, UINT_PTR id, DWORD time);

  std::function<void()> onTick_;
  HWND window_ = nullptr;
  bool running_ = false;
};

}  // namespace hookwatch
