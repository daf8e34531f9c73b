// Stands in for the platform's message box while it lives: records every box
// asked for (owner, text, caption, style) and answers with the test's button
// at once, so nothing modal appears. One at a time.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace testing_support {

struct AskedMessageBox {
  HWND owner;
  std::wstring text;
  std::wstring caption;
  UINT style;
};

class FakeMessageBox {
 public:
  explicit FakeMessageBox(int answer = IDOK, HWND activeWindow = nullptr);
  ~FakeMessageBox();
  FakeMessageBox(const FakeMessageBox&) = delete;
  FakeMessageBox& operator=(const FakeMessageBox&) = delete;

  const std::vector<AskedMessageBox>& Boxes() const { return boxes_; }

  // Runs inside every box, as code that the box's modal loop dispatches would.
  std::function<void()> whileShown;

 private:
  static int WINAPI MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT style);
  static HWND WINAPI GetActiveWindow();

  formsrt::PlatformOverride<formsrt::User32Api> user32_;
  int answer_;
  HWND activeWindow_;
  std::vector<AskedMessageBox> boxes_;
};

}  // namespace testing_support
