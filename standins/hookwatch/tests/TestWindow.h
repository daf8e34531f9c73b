// A real top-level window of the test thread whose own procedure logs the
// messages the tests look at ("window") and answers kProbe with kProbeAnswer,
// so that a test sees whether and when the previous procedure ran.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "forms/WindowClass.h"
#include "forms/WindowHandle.h"

class TestWindow : private formsrt::MessageTarget {
 public:
  static constexpr UINT kProbe = WM_USER + 1;
  static constexpr UINT kOtherProbe = WM_USER + 2;
  static constexpr LRESULT kProbeAnswer = 1000;

  explicit TestWindow(std::vector<std::string>* log = nullptr);
  TestWindow(const TestWindow&) = delete;
  TestWindow& operator=(const TestWindow&) = delete;

  HWND Handle() const { return window_.Get(); }
  // The handle as the automation interfaces carry it.
  LONG HandleValue() const { return static_cast<LONG>(reinterpret_cast<LONG_PTR>(Handle())); }
  void Destroy() { window_.Reset(); }

  int sizeMessages = 0;
  int probes = 0;

 private:
  LRESULT HandleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) override;

  std::vector<std::string>* log_;
  // The messages of the window's creation are not counted: the tests look
  // at what arrives once it exists.
  bool created_ = false;
  formsrt::WindowHandle window_;
};
