// One window message as a subclass procedure receives it, and the 32-bit
// values in which the automation interfaces carry window handles.
#pragma once

#include <windows.h>

namespace hookwatch {

struct WindowMessage {
  HWND window;
  UINT message;
  WPARAM wParam;
  LPARAM lParam;
};

// Window handles are 32-bit values on both targets (a 64-bit handle is the
// sign extension of its low half), so they pass through a long unchanged.
inline HWND HandleFromLong(LONG value) {
  return reinterpret_cast<HWND>(static_cast<LONG_PTR>(value));
}

inline LONG LongFromHandle(HWND window) {
  return static_cast<LONG>(reinterpret_cast<LONG_PTR>(window));
}

}  // namespace hookwatch
