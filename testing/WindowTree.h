// What tests read of windows, of their own process or another's: a window's
// class and text, the windows under it, and where it lies.
#pragma once

#include <windows.h>

#include <string>
#include <tuple>
#include <vector>

namespace testing_support {

inline std::wstring ClassOf(HWND window) {
  wchar_t name[64] = {};
  ::GetClassNameW(window, name, 64);
  return name;
}

// Through WM_GETTEXT, which reaches another process's windows too.
inline std::wstring TextOf(HWND window) {
  wchar_t text[512] = {};
  ::SendMessageW(window, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text));
  return text;
}

inline BOOL CALLBACK CollectWindow(HWND window, LPARAM found) {
  reinterpret_cast<std::vector<HWND>*>(found)->push_back(window);
  return TRUE;
}

// Its children, theirs and so on, as EnumChildWindows gives them.
inline std::vector<HWND> Descendants(HWND parent) {
  std::vector<HWND> found;
  ::EnumChildWindows(parent, CollectWindow, reinterpret_cast<LPARAM>(&found));
  return found;
}

inline int TopOf(HWND window) {
  RECT bounds{};
  ::GetWindowRect(window, &bounds);
  return bounds.top;
}

// Where the window lies in the client area of `parent`.
inline RECT PlacedIn(HWND parent, HWND window) {
  RECT placed{};
  ::GetWindowRect(window, &placed);
  ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&placed), 2);
  return placed;
}

// A rectangle as one comparable value that prints its four edges.
inline std::tuple<LONG, LONG, LONG, LONG> Edges(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }

}  // namespace testing_support
