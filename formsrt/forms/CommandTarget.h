// Standard controls (BUTTON and its kin) report clicks to their parent window
// as WM_COMMAND. A control object that wants its notifications derives from
// CommandTarget; the parent's window procedure hands WM_COMMAND to
// ReflectCommand, which passes it to the child's object. Form does this, and
// any other window that parents standard controls can do the same.
#pragma once

#include <windows.h>

namespace formsrt {

class CommandTarget {
 public:
  virtual void OnCommand(WORD notification) = 0;

 protected:
  CommandTarget() = default;
  ~CommandTarget() = default;
  CommandTarget(const CommandTarget&) = delete;
  CommandTarget& operator=(const CommandTarget&) = delete;

  void AttachTo(HWND control);
  static void DetachFrom(HWND control);
};

// Returns whether the WM_COMMAND came from a control with a CommandTarget.
bool ReflectCommand(WPARAM wParam, LPARAM lParam);

}  // namespace formsrt
