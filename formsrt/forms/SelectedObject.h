// An object selected into a device context for as long as this lives: the
// object it replaced is selected back when it goes out of scope, so that the
// context is given back or deleted with its own objects.
#pragma once

#include <windows.h>

#include "platform/Platform.h"

namespace formsrt {

class SelectedObject {
 public:
  SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), previous_(Gdi32().SelectObject(dc, object)) {}
  ~SelectedObject() {
    if (previous_) Gdi32().SelectObject(dc_, previous_);
  }
  SelectedObject(const SelectedObject&) = delete;
  SelectedObject& operator=(const SelectedObject&) = delete;

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

}  // namespace formsrt
