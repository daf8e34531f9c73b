#include "TessmarkProcess.h"

#include <stdexcept>
#include <thread>

#include "ProcessRunner.h"
#include "forms/Screen.h"

namespace tessmark_tests {

namespace {

using namespace std::chrono_literals;

struct WindowSearch {
  DWORD processId;
  std::wstring caption;
  bool visibleOnly;
  HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM context) {
  auto* search = reinterpret_cast<WindowSearch*>(context);
  DWORD owner = 0;
  ::GetWindowThreadProcessId(window, &owner);
  if (owner != search->processId) return TRUE;
  if (search->visibleOnly && !::IsWindowVisible(window)) return TRUE;
  wchar_t caption[256] = {};
  ::GetWindowTextW(window, caption, ARRAYSIZE(caption));
  if (search->caption != caption) return TRUE;
  search->found = window;
  return FALSE;
}

HWND FindTopLevel(DWORD processId, const std::wstring& caption, bool visibleOnly) {
  WindowSearch search{processId, caption, visibleOnly, nullptr};
  ::EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

BOOL CALLBACK CloseVisibleWindowOf(HWND window, LPARAM processId) {
  DWORD owner = 0;
  ::GetWindowThreadProcessId(window, &owner);
  if (owner == static_cast<DWORD>(processId) && ::IsWindowVisible(window)) {
    ::PostMessageW(window, WM_CLOSE, 0, 0);
  }
  return TRUE;
}

void SendButton(DWORD flags) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = flags;
  ::SendInput(1, &input, sizeof(input));
}

}  // namespace

TessmarkProcess::TessmarkProcess() {
  std::wstring commandLine = L"\"" + testing_support::ExecutableFolder() + L"..\\Tessmark.exe\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info{};
  if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &info)) {
    throw std::runtime_error("cannot start Tessmark.exe");
  }
  ::CloseHandle(info.hThread);
  process_ = info.hProcess;
  processId_ = info.dwProcessId;
}

// A program still running is closed as its user would close it, so that it
// ends through its own exit path (an instrumented build writes its coverage
// there); only one that does not end then is terminated.
TessmarkProcess::~TessmarkProcess() {
  if (::WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) {
    ::EnumWindows(CloseVisibleWindowOf, static_cast<LPARAM>(processId_));
  }
  if (::WaitForSingleObject(process_, 5000) == WAIT_TIMEOUT) {
    ::TerminateProcess(process_, 99);
    ::WaitForSingleObject(process_, 5000);
  }
  ::CloseHandle(process_);
}

HWND TessmarkProcess::WaitForWindow(const std::wstring& caption,
                                    std::chrono::milliseconds limit) const {
  HWND found = nullptr;
  WaitUntil([&] { return (found = FindTopLevel(processId_, caption, true)) != nullptr; }, limit);
  return found;
}

HWND TessmarkProcess::FindWindowNamed(const std::wstring& caption) const {
  return FindTopLevel(processId_, caption, false);
}

std::optional<DWORD> TessmarkProcess::WaitForExit(std::chrono::milliseconds limit) const {
  if (::WaitForSingleObject(process_, static_cast<DWORD>(limit.count())) != WAIT_OBJECT_0) {
    return std::nullopt;
  }
  DWORD code = 0;
  ::GetExitCodeProcess(process_, &code);
  return code;
}

void PressAt(HWND window, POINT clientPoint, MouseButton button) {
  static constexpr DWORD kDown[] = {MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_RIGHTDOWN,
                                    MOUSEEVENTF_MIDDLEDOWN};
  ::ClientToScreen(window, &clientPoint);
  ::SetCursorPos(clientPoint.x, clientPoint.y);
  SendButton(kDown[static_cast<int>(button)]);
}

void Release(MouseButton button) {
  static constexpr DWORD kUp[] = {MOUSEEVENTF_LEFTUP, MOUSEEVENTF_RIGHTUP, MOUSEEVENTF_MIDDLEUP};
  SendButton(kUp[static_cast<int>(button)]);
}

void ClickAt(HWND window, POINT clientPoint, MouseButton button) {
  PressAt(window, clientPoint, button);
  Release(button);
}

HWND ChildAtTwips(HWND form, int left, int top, int width, int height) {
  RECT pixels = formsrt::Screen::PixelsFromTwips({left, top, width, height});
  POINT centre{(pixels.left + pixels.right) / 2, (pixels.top + pixels.bottom) / 2};
  return ::ChildWindowFromPointEx(form, centre, CWP_SKIPINVISIBLE);
}

std::wstring TextOf(HWND window) {
  wchar_t text[256] = {};
  DWORD_PTR copied = 0;
  ::SendMessageTimeoutW(window, WM_GETTEXT, ARRAYSIZE(text), reinterpret_cast<LPARAM>(text),
                        SMTO_ABORTIFHUNG, 5000, &copied);
  return text;
}

bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds limit) {
  auto deadline = std::chrono::steady_clock::now() + limit;
  while (!condition()) {
    if (std::chrono::steady_clock::now() >= deadline) return false;
    std::this_thread::sleep_for(50ms);
  }
  return true;
}

}  // namespace tessmark_tests
