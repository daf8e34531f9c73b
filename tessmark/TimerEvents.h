// Receives the ThatTime events of one HookwatchTimer through its connection
// point, for as long as this object lives.
#pragma once

#include <windows.h>
#include <ocidl.h>

#include <functional>

#include "Hookwatch.h"
#include "com/ComPtr.h"

namespace tessmark {

class TimerEvents {
 public:
  // Connects a sink that runs onThatTime as an event handler of the program:
  // an error it does not trap ends the program with the standard report.
  TimerEvents(IHookwatchTimer& timer, std::function<void()> onThatTime);
  TimerEvents(const TimerEvents&) = delete;
  TimerEvents& operator=(const TimerEvents&) = delete;
  ~TimerEvents();

 private:
  class Sink;

  formsrt::ComPtr<IConnectionPoint> point_;
  formsrt::ComPtr<Sink> sink_;
  DWORD cookie_ = 0;
};

}  // namespace tessmark
