// A small program for the tests of the standard report: it raises a
// run-time error that nothing traps, in the way its argument names.
//   handler   inside an event handler run through RunEventHandler
//   timer     inside an interval timer's tick (reaching the window procedure)
//   com       a COM failure without a runtime number
//   load      inside a form's load event, before the form is first shown
#include <windows.h>

#include <cstdlib>
#include <cwchar>

#include "core/RuntimeError.h"
#include "forms/Form.h"
#include "forms/IntervalTimer.h"
#include "platform/Platform.h"
#include "services/UnhandledError.h"

using namespace formsrt;

namespace {

// The report ends the probe through the C runtime's exit with the code it
// was given: the same exit code as ExitProcess, and the exit functions run,
// so an instrumented build writes what the report's path ran.
[[noreturn]] void WINAPI ExitThroughTheRuntime(UINT code) { std::exit(static_cast<int>(code)); }

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) return 2;
  Kernel32().ExitProcess = ExitThroughTheRuntime;
  if (std::wcscmp(argv[1], L"handler") == 0) {
    RunEventHandler([] { Raise(error::TypeMismatch); });
  } else if (std::wcscmp(argv[1], L"com") == 0) {
    RunEventHandler([] { throw ComError(HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND)); });
  } else if (std::wcscmp(argv[1], L"load") == 0) {
    ComPtr<Form> form = Form::Create(L"Probe", TwipsRect{1500, 1500, 3000, 2000});
    form->onLoad = [] { Raise(error::ObjectRequired); };
    form->Show();
  } else if (std::wcscmp(argv[1], L"timer") == 0) {
    // Every tick raises, and the timer goes on ticking behind the report.
    IntervalTimer timer;
    timer.onTick = [] { Raise(error::Overflow); };
    timer.SetInterval(50);
    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) ::DispatchMessageW(&message);
  }
  return 0;  // not reached: the report ends the program
}
