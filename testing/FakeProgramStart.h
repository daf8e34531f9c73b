// Stands in for the platform's program start (CreateProcessW and the
// CloseHandle of its handles) while it lives: records what was asked and
// either succeeds with made-up handles or fails with the test's error code.
// One at a time.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "platform/Platform.h"

namespace testing_support {

struct AskedProgramStart {
  std::wstring commandLine;
  DWORD startupFlags;
  WORD showWindow;
};

class FakeProgramStart {
 public:
  static constexpr DWORD kProcessId = 4242;
  static inline const HANDLE kProcessHandle = reinterpret_cast<HANDLE>(0x1230);
  static inline const HANDLE kThreadHandle = reinterpret_cast<HANDLE>(0x4560);

  // failure 0: the start succeeds; otherwise it fails with that error code.
  explicit FakeProgramStart(DWORD failure = 0);
  ~FakeProgramStart();
  FakeProgramStart(const FakeProgramStart&) = delete;
  FakeProgramStart& operator=(const FakeProgramStart&) = delete;

  const std::vector<AskedProgramStart>& Starts() const { return starts_; }
  const std::vector<HANDLE>& ClosedHandles() const { return closed_; }

 private:
  static BOOL WINAPI CreateProcessW(LPCWSTR application, LPWSTR commandLine,
                                    LPSECURITY_ATTRIBUTES, LPSECURITY_ATTRIBUTES, BOOL, DWORD,
                                    LPVOID, LPCWSTR, LPSTARTUPINFOW startup,
                                    LPPROCESS_INFORMATION process);
  static BOOL WINAPI CloseHandle(HANDLE handle);

  formsrt::PlatformOverride<formsrt::Kernel32Api> kernel32_;
  DWORD failure_;
  std::vector<AskedProgramStart> starts_;
  std::vector<HANDLE> closed_;
};

}  // namespace testing_support
