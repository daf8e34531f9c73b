#include "control/InPlaceWindow.h"

namespace formsrt {

void InPlaceWindow::ShowIn(HWND parent, const RECT& position) {
  Enter(parent, position);
  Move(position);
  ::ShowWindow(Handle(), SW_SHOWNA);
}

void InPlaceWindow::Move(const RECT& position) {
  ::MoveWindow(Handle(), position.left, position.top, position.right - position.left,
               position.bottom - position.top, TRUE);
}

}  // namespace formsrt
