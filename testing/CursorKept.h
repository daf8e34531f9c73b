// The mouse pointer's position when this is made, put back when it goes: a
// test that moves the real pointer leaves it where it found it, also when
// it fails.
#pragma once

#include <windows.h>

namespace testing_support {

class CursorKept {
 public:
  CursorKept() { ::GetCursorPos(&position_); }
  ~CursorKept() { ::SetCursorPos(position_.x, position_.y); }
  CursorKept(const CursorKept&) = delete;
  CursorKept& operator=(const CursorKept&) = delete;

 private:
  POINT position_{};
};

}  // namespace testing_support
