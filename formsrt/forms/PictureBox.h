// A picture box: a child window of its own class. A mouse move over it is
// reported with X and Y in twips. The coordinates are taken raw from the
// message's lParam as signed 16-bit values, so a notification that carries a
// number in lParam (the shell's tray callback, which uses the mouse-move
// message) arrives as X = that number times Screen::TwipsPerPixelX().
#pragma once

#include <windows.h>

#include <functional>

#include "forms/TwipsRect.h"
#include "forms/WindowClass.h"

namespace formsrt {

// Button and shift states as the runtime reports them with mouse events.
namespace mouse {
inline constexpr short LeftButton = 1;
inline constexpr short RightButton = 2;
inline constexpr short MiddleButton = 4;
inline constexpr short ShiftKey = 1;
inline constexpr short ControlKey = 2;
inline constexpr short AltKey = 4;
}  // namespace mouse

class PictureBox : private MessageTarget {
 public:
  PictureBox(HWND parent, const TwipsRect& bounds);
  PictureBox(const PictureBox&) = delete;
  PictureBox& operator=(const PictureBox&) = delete;

  HWND Handle() const { return window_.Get(); }

  std::function<void(short button, short shift, float x, float y)> onMouseMove;

 private:
  LRESULT HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) override;
  void RaiseMouseMove(WPARAM wParam, LPARAM lParam);

  WindowHandle window_;
};

}  // namespace formsrt
