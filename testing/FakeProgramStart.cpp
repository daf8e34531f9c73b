#include "FakeProgramStart.h"

namespace testing_support {

namespace {

FakeProgramStart* g_active = nullptr;

}  // namespace

FakeProgramStart::FakeProgramStart(DWORD failure)
    : kernel32_(formsrt::Kernel32()), failure_(failure) {
  g_active = this;
  kernel32_->CreateProcessW = &FakeProgramStart::CreateProcessW;
  kernel32_->CloseHandle = &FakeProgramStart::CloseHandle;
}

FakeProgramStart::~FakeProgramStart() { g_active = nullptr; }

BOOL WINAPI FakeProgramStart::CreateProcessW(LPCWSTR, LPWSTR commandLine, LPSECURITY_ATTRIBUTES,
                                             LPSECURITY_ATTRIBUTES, BOOL, DWORD, LPVOID, LPCWSTR,
                                             LPSTARTUPINFOW startup,
                                             LPPROCESS_INFORMATION process) {
  g_active->starts_.push_back(
      {commandLine ? commandLine : L"", startup->dwFlags, startup->wShowWindow});
  if (g_active->failure_) {
    ::SetLastError(g_active->failure_);
    return FALSE;
  }
  *process = {kProcessHandle, kThreadHandle, kProcessId, 1};
  return TRUE;
}

BOOL WINAPI FakeProgramStart::CloseHandle(HANDLE handle) {
  g_active->closed_.push_back(handle);
  return TRUE;
}

}  // namespace testing_support
