#include "FakeMessageBox.h"

namespace testing_support {

namespace {

FakeMessageBox* g_active = nullptr;

}  // namespace

FakeMessageBox::FakeMessageBox(int answer, HWND activeWindow)
    : user32_(formsrt::User32()), answer_(answer), activeWindow_(activeWindow) {
  g_active = this;
  user32_->MessageBoxW = &FakeMessageBox::MessageBoxW;
  user32_->GetActiveWindow = &FakeMessageBox::GetActiveWindow;
}

FakeMessageBox::~FakeMessageBox() { g_active = nullptr; }

int WINAPI FakeMessageBox::MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT style) {
  g_active->boxes_.push_back({owner, text ? text : L"", caption ? caption : L"", style});
  return g_active->answer_;
}

HWND WINAPI FakeMessageBox::GetActiveWindow() { return g_active->activeWindow_; }

}  // namespace testing_support
