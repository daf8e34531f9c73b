// The window of an ActiveX control that keeps one from its creation to its
// end: the parent of its child controls. While no container has activated
// the control in place, it lives hidden under a parking window of the
// control's own, so that the children (a tray icon's owner, a text box used
// as a buffer, a timer) work for a script that never sites the control.
#pragma once

#include <windows.h>

#include <functional>

#include "control/InPlaceWindow.h"
#include "forms/WindowClass.h"
#include "forms/WindowHandle.h"

namespace formsrt {

class ControlWindow final : public InPlaceWindow, private MessageTarget {
 public:
  using Painter = std::function<void(HDC dc, const RECT& bounds)>;

  ControlWindow(SIZE pixels, Painter painter);

  HWND Handle() const override { return window_.Get(); }
  // Hides the window and returns it under the parking window.
  void Withdraw() override;

 private:
  void Enter(HWND parent, const RECT& position) override;
  LRESULT HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override;

  Painter painter_;
  WindowHandle parking_;
  WindowHandle window_;  // declared last: destroyed before its parking window
};

}  // namespace formsrt
