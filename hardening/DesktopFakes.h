// Every platform call of this module that would start a program, change the
// desktop, move the pointer or show a modal box answers from a fake while
// this lives: the wallpaper and pointer calls succeed without effect, the
// desktop window is not found, the shell opens nothing but reports success,
// the caption move loop (which follows the real mouse until a button is
// released) and arranging icons are answered without effect, program starts
// and message boxes are recorded and answered.
#pragma once

#include "FakeMessageBox.h"
#include "FakeProgramStart.h"
#include "platform/Platform.h"

namespace hardening {

class DesktopFakes {
 public:
  DesktopFakes();

  size_t MessageBoxCount() const { return messageBoxes_.Boxes().size(); }
  size_t ProgramStartCount() const { return programStarts_.Starts().size(); }

 private:
  static BOOL WINAPI SystemParametersInfoA(UINT, UINT, PVOID, UINT) { return TRUE; }
  static BOOL WINAPI SetCursorPos(int, int) { return TRUE; }
  static HWND WINAPI FindWindowA(LPCSTR, LPCSTR) { return nullptr; }
  static HINSTANCE WINAPI ShellExecuteW(HWND, LPCWSTR, LPCWSTR, LPCWSTR, LPCWSTR, INT);
  static LRESULT WINAPI SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  testing_support::FakeMessageBox messageBoxes_;
  testing_support::FakeProgramStart programStarts_;
  formsrt::PlatformOverride<formsrt::User32Api> user32_;
  formsrt::PlatformOverride<formsrt::Shell32Api> shell32_;
};

}  // namespace hardening
