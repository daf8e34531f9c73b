// A small program for the tests of the standard report: it raises a
// run-time error that nothing traps, in the way its argument names.
//   handler   inside an event handler run through RunEventHandler
//   timer     inside an interval timer's tick (reaching the window procedure)
//   com       a COM failure without a runtime number
#include <windows.h>

#include <cwchar>

#include "com/RuntimeError.h"
#include "forms/IntervalTimer.h"
#include "services/UnhandledError.h"

using namespace formsrt;

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) return 2;
  if (std::wcscmp(argv[1], L"handler") == 0) {
    RunEventHandler([] { Raise(error::TypeMismatch); });
  } else if (std::wcscmp(argv[1], L"com") == 0) {
    RunEventHandler([] { throw ComError(HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND)); });
  } else if (std::wcscmp(argv[1], L"timer") == 0) {
    IntervalTimer timer;
    timer.onTick = [] { Raise(error::Overflow); };
    timer.SetInterval(50);
    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) ::DispatchMessageW(&message);
  }
  return 0;  // not reached: the report ends the program
}
