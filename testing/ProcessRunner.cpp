#include "ProcessRunner.h"

#include <memory>
#include <stdexcept>
#include <thread>

namespace testing_support {

namespace {

struct CloseKernelHandle {
  void operator()(HANDLE handle) const {
    if (handle != INVALID_HANDLE_VALUE) ::CloseHandle(handle);
  }
};
using Handle = std::unique_ptr<void, CloseKernelHandle>;

// Whether the process ended within the time, serving this thread's messages
// meanwhile when asked to.
bool WaitForEnd(HANDLE process, DWORD timeoutMs, bool pumpMessages) {
  if (!pumpMessages) return ::WaitForSingleObject(process, timeoutMs) != WAIT_TIMEOUT;
  DWORD deadline = ::GetTickCount() + timeoutMs;
  for (;;) {
    DWORD now = ::GetTickCount();
    DWORD left = static_cast<LONG>(deadline - now) > 0 ? deadline - now : 0;
    DWORD woken = ::MsgWaitForMultipleObjects(1, &process, FALSE, left, QS_ALLINPUT);
    if (woken == WAIT_OBJECT_0) return true;
    if (woken != WAIT_OBJECT_0 + 1) return false;
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      ::TranslateMessage(&message);
      ::DispatchMessageW(&message);
    }
  }
}

}  // namespace

ProcessResult RunProcess(const std::wstring& commandLine, DWORD timeoutMs, bool pumpMessages) {
  SECURITY_ATTRIBUTES inherit{sizeof(inherit), nullptr, TRUE};
  HANDLE pipeRead = nullptr, pipeWrite = nullptr;
  if (!::CreatePipe(&pipeRead, &pipeWrite, &inherit, 0)) throw std::runtime_error("CreatePipe failed");
  Handle readEnd(pipeRead), writeEnd(pipeWrite);
  ::SetHandleInformation(readEnd.get(), HANDLE_FLAG_INHERIT, 0);

  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = writeEnd.get();
  startup.hStdError = writeEnd.get();
  startup.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
  PROCESS_INFORMATION info{};
  std::wstring mutableLine = commandLine;
  if (!::CreateProcessW(nullptr, mutableLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                        &startup, &info)) {
    throw std::runtime_error("CreateProcess failed");
  }
  Handle process(info.hProcess), thread(info.hThread);
  writeEnd.reset();

  ProcessResult result;
  std::thread reader([&] {
    char buffer[4096];
    DWORD got = 0;
    while (::ReadFile(readEnd.get(), buffer, sizeof(buffer), &got, nullptr) && got > 0) {
      result.output.append(buffer, got);
    }
  });
  if (!WaitForEnd(process.get(), timeoutMs, pumpMessages)) {
    result.timedOut = true;
    ::TerminateProcess(process.get(), 99);
    ::WaitForSingleObject(process.get(), 5000);
  }
  reader.join();
  ::GetExitCodeProcess(process.get(), &result.exitCode);
  return result;
}

std::wstring ExecutableFolder() {
  wchar_t path[MAX_PATH * 4] = {};
  DWORD length = ::GetModuleFileNameW(nullptr, path, MAX_PATH * 4);
  std::wstring folder(path, length);
  return folder.substr(0, folder.find_last_of(L"\\/") + 1);
}

std::wstring WriteTempFile(const std::wstring& name, const std::string& contents) {
  wchar_t folder[MAX_PATH + 1] = {};
  ::GetTempPathW(MAX_PATH + 1, folder);
  std::wstring path = std::wstring(folder) + name;
  Handle file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr));
  DWORD written = 0;
  if (file.get() == INVALID_HANDLE_VALUE ||
      !::WriteFile(file.get(), contents.data(), static_cast<DWORD>(contents.size()), &written,
                   nullptr)) {
    throw std::runtime_error("cannot write a temporary file");
  }
  return path;
}

}  // namespace testing_support
