// The window of a control while a container has it active in place: the
// control base moves it into the container's window at activation, follows
// the site's rectangle, and withdraws it at deactivation. What happens to it
// outside that time is the control's window policy:
//   ControlWindow     made with the control and parked while inactive, so
//                     that its child windows serve a client that never
//                     sites the control;
//   ActivationWindow  made by the control at activation and destroyed at
//                     deactivation.
#pragma once

#include <windows.h>

namespace formsrt {

class InPlaceWindow {
 public:
  InPlaceWindow(const InPlaceWindow&) = delete;
  InPlaceWindow& operator=(const InPlaceWindow&) = delete;

  // Null while there is no window.
  virtual HWND Handle() const = 0;

  // Puts the window into the container's window at `position` (pixels) and
  // shows it.
  void ShowIn(HWND parent, const RECT& position);
  void Move(const RECT& position);
  // Takes the window out of the container's window, as the policy says.
  virtual void Withdraw() = 0;

 protected:
  InPlaceWindow() = default;
  ~InPlaceWindow() = default;

  // Gives the window the container's window as its parent.
  virtual void Enter(HWND parent, const RECT& position) = 0;
};

}  // namespace formsrt
