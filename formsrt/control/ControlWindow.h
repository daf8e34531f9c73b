// The window of an ActiveX control: the parent of its child controls. It
// exists from the control's creation to its end. While no container has
// activated the control in place, it lives hidden under a parking window of
// the control's own, so that the children (a tray icon's owner, a text box
// used as a buffer, a timer) work for a script that never sites the control.
#pragma once

#include <windows.h>

#include <functional>

#include "forms/WindowClass.h"
#include "forms/WindowHandle.h"

namespace formsrt {

class ControlWindow : private MessageTarget {
 public:
  using Painter = std::function<void(HDC dc, const RECT& bounds)>;

  ControlWindow(SIZE pixels, Painter painter);
  ControlWindow(const ControlWindow&) = delete;
  ControlWindow& operator=(const ControlWindow&) = delete;

  HWND Handle() const { return window_.Get(); }

  // Moves the window into the container's window at the given place and shows it.
  void ShowIn(HWND parent, const RECT& position);
  void Move(const RECT& position);
  // Hides the window and returns it under the parking window.
  void Park();

 private:
  LRESULT HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override;

  Painter painter_;
  WindowHandle parking_;
  WindowHandle window_;  // declared last: destroyed before its parking window
};

}  // namespace formsrt
