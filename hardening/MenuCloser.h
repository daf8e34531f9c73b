// Closes any pop-up menu that this thread shows while it lives, from a timer
// of the thread (a menu's modal loop dispatches it), so that a member that
// pops up a menu returns instead of waiting for a user. Counts the menus
// closed.
#pragma once

#include <windows.h>

namespace hardening {

class MenuCloser {
 public:
  MenuCloser();
  ~MenuCloser();
  MenuCloser(const MenuCloser&) = delete;
  MenuCloser& operator=(const MenuCloser&) = delete;

  static size_t Closed();

 private:
  static void CALLBACK CloseShownMenu(HWND, UINT, UINT_PTR, DWORD);

  UINT_PTR timer_;
};

}  // namespace hardening
