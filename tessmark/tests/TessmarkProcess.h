// Tessmark.exe of this build, running as a child process of the test, and
// what a user does to it: find its windows, press mouse buttons on them,
// resize and close the form. The program is closed (ended, if it does not
// close) when this object goes.
#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <optional>
#include <string>

namespace tessmark_tests {

enum class MouseButton { Left, Right, Middle };

class TessmarkProcess {
 public:
  TessmarkProcess();
  TessmarkProcess(const TessmarkProcess&) = delete;
  TessmarkProcess& operator=(const TessmarkProcess&) = delete;
  ~TessmarkProcess();

  DWORD Id() const { return processId_; }

  // A visible top-level window of the process with that caption, once it
  // appears; null after the time limit.
  HWND WaitForWindow(const std::wstring& caption, std::chrono::milliseconds limit) const;
  // Any top-level window of the process with that caption, visible or not.
  HWND FindWindowNamed(const std::wstring& caption) const;

  // The exit code, or nothing if the process still runs after the limit.
  std::optional<DWORD> WaitForExit(std::chrono::milliseconds limit) const;

 private:
  HANDLE process_ = nullptr;
  DWORD processId_ = 0;
};

// Presses a mouse button at a point of a window's client area (pixels), or
// releases it, or both, as the user's mouse does.
void PressAt(HWND window, POINT clientPoint, MouseButton button);
void Release(MouseButton button);
void ClickAt(HWND window, POINT clientPoint, MouseButton button = MouseButton::Left);

// The child window at the centre of a place given in twips on the form.
HWND ChildAtTwips(HWND form, int left, int top, int width, int height);

// A window's text through WM_GETTEXT, which its own thread answers.
std::wstring TextOf(HWND window);

// Polls until the condition holds; false if it still fails after the limit.
bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds limit);

}  // namespace tessmark_tests
