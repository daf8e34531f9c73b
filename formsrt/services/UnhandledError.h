// A run-time error that no event handler of a program trapped: the runtime
// shows its standard report, a modal box such as
//   Run-time error '13':
//
//   Type mismatch
// captioned with the program's title, and then ends the program with the
// error number as its exit status. Controls do not end their host
// (RunControlHandler).
#pragma once

#include <string>
#include <string_view>

namespace formsrt {

// The report's text for an error number and its description.
std::wstring UnhandledErrorReport(std::wstring_view number, std::wstring_view description);

// Called inside a catch block: reports the exception being handled and ends
// the program. A C++ failure without a runtime number reports as one: a COM
// failure by its HRESULT ("Automation error"), std::bad_alloc as 7.
[[noreturn]] void ReportUnhandledErrorAndEnd() noexcept;

// True from the moment the standard report is shown until the program ends.
bool ProgramIsEnding() noexcept;

// Runs one handler of a control's own windows (a notification, a timer
// tick, a paint). A control is a guest in its host's process, and the
// standard report ends the process: so what such a handler leaves untrapped
// ends only the message it was handling, and the host goes on. The handler
// leaves its own state whole on the way out.
template <class Handler>
void RunControlHandler(Handler&& handler) noexcept {
  try {
    handler();
  } catch (...) {
  }
}

// Runs one event handler of a program; what it does not trap ends the program.
// While the report is shown, its box pumps messages: events that fall due
// then (a timer's ticks, say) are not run, so one error gives one report.
template <class Handler>
void RunEventHandler(Handler&& handler) noexcept {
  if (ProgramIsEnding()) return;
  try {
    handler();
  } catch (...) {
    ReportUnhandledErrorAndEnd();
  }
}

}  // namespace formsrt
