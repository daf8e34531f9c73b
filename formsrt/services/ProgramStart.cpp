#include "services/ProgramStart.h"

#include <string>

#include "platform/Platform.h"
#include "core/RuntimeError.h"

namespace formsrt {

namespace {

constexpr long kPermissionDenied = 70;

WORD ShowCommandFor(int showStyle) {
  switch (showStyle) {
    case show_style::Hidden: return SW_HIDE;
    case show_style::NormalFocus: return SW_SHOWNORMAL;
    case show_style::MinimizedFocus: return SW_SHOWMINIMIZED;
    case show_style::MaximizedFocus: return SW_SHOWMAXIMIZED;
    case show_style::NormalNoFocus: return SW_SHOWNOACTIVATE;
    case show_style::MinimizedNoFocus: return SW_SHOWMINNOACTIVE;
    default: Raise(error::InvalidProcedureCall);
  }
}

// A program in a folder that does not exist is as missing as one whose file
// does not: both raise 53.
[[noreturn]] void RaiseStartFailure(DWORD failure) {
  switch (failure) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
      Raise(error::FileNotFound);
    case ERROR_ACCESS_DENIED:
      throw RuntimeError(kPermissionDenied, L"Permission denied");
    default:
      Raise(error::InvalidProcedureCall);
  }
}

}  // namespace

DWORD StartProgram(std::wstring_view commandLine, int showStyle) {
  if (commandLine.find_first_not_of(L' ') == std::wstring_view::npos) {
    Raise(error::InvalidProcedureCall);
  }
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = ShowCommandFor(showStyle);
  std::wstring writable(commandLine);  // CreateProcessW may write into it
  PROCESS_INFORMATION process{};
  if (!Kernel32().CreateProcessW(nullptr, writable.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                 nullptr, &startup, &process)) {
    RaiseStartFailure(formsrt::Kernel32().GetLastError());
  }
  Kernel32().CloseHandle(process.hThread);
  Kernel32().CloseHandle(process.hProcess);
  return process.dwProcessId;
}

}  // namespace formsrt
