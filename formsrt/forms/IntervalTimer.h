// An interval timer: calls onTick every Interval() milliseconds while it is
// enabled and the interval is not 0. Ticks arrive on the thread that created
// the timer, from its message loop (through a hidden message-only window of
// the timer's own); destroying the timer stops it, also from inside onTick.
// The one timer of the suite: the forms' timer control and the timers of
// the components.
#pragma once

#include <windows.h>

#include <functional>

#include "forms/WindowClass.h"

namespace formsrt {

class IntervalTimer : private MessageTarget {
 public:
  IntervalTimer();
  ~IntervalTimer();
  IntervalTimer(const IntervalTimer&) = delete;
  IntervalTimer& operator=(const IntervalTimer&) = delete;

  UINT Interval() const { return interval_; }
  // A new interval restarts the count from now.
  void SetInterval(UINT milliseconds);
  // Enabled by default, as a new timer with interval 0 does not tick anyway.
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);
  // Whether it ticks: enabled, an interval, and a timer the platform gave.
  bool Running() const { return running_; }

  std::function<void()> onTick;

 private:
  LRESULT HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override;
  void Restart();
  void Stop();

  WindowHandle window_;
  UINT interval_ = 0;
  bool enabled_ = true;
  bool running_ = false;
};

}  // namespace formsrt
