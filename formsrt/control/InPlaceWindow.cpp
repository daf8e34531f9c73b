#include "control/InPlaceWindow.h"
#include "platform/Platform.h"

namespace formsrt {

void InPlaceWindow::ShowIn(HWND parent, const RECT& position) {
  Enter(parent, position);
  Move(position);
  formsrt::User32().ShowWindow(Handle(), SW_SHOWNA);
}

void InPlaceWindow::Move(const RECT& position) {
  formsrt::User32().MoveWindow(Handle(), position.left, position.top, position.right - position.left,
               position.bottom - position.top, TRUE);
}

}  // namespace formsrt
