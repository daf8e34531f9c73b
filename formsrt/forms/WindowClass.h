// Windows of the runtime's own classes (form, picture box, timer) hand their
// messages to a C++ object, the MessageTarget given when the window is made.
// Standard controls (STATIC, EDIT, BUTTON) are made by the same function
// without a target.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "forms/WindowHandle.h"

namespace formsrt {

class MessageTarget {
 public:
  virtual LRESULT HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) = 0;

 protected:
  ~MessageTarget() = default;
};

// Registers one of the runtime's classes in this module, once: the class
// procedure routes every message to the window's MessageTarget.
void RegisterTargetClass(const wchar_t* className, UINT classStyle, HBRUSH background);

struct WindowLayout {
  const wchar_t* className;
  const wchar_t* text;
  DWORD style;
  DWORD extendedStyle;
  RECT bounds;  // pixels, in the parent's client coordinates
  HWND parent;
};

// Creates a window through the platform seam; raises the platform's failure.
// A window of a target class routes its messages to `target`.
WindowHandle CreateRuntimeWindow(const WindowLayout& layout, MessageTarget* target = nullptr);

// Stops routing the window's messages to its target.
void DetachMessageTarget(HWND hwnd);

// The window's text (a control's caption), through WM_GETTEXT and WM_SETTEXT.
std::wstring WindowText(HWND hwnd);
void SetWindowTextTo(HWND hwnd, std::wstring_view text);

}  // namespace formsrt
