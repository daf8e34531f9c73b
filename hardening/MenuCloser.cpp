#include "MenuCloser.h"

namespace hardening {

namespace {

constexpr UINT kPeriodMilliseconds = 20;
size_t g_closed = 0;

}  // namespace

MenuCloser::MenuCloser() : timer_(::SetTimer(nullptr, 0, kPeriodMilliseconds, CloseShownMenu)) {}

MenuCloser::~MenuCloser() { ::KillTimer(nullptr, timer_); }

size_t MenuCloser::Closed() { return g_closed; }

void CALLBACK MenuCloser::CloseShownMenu(HWND, UINT, UINT_PTR, DWORD) {
  HWND menu = ::FindWindowW(L"#32768", nullptr);
  if (!menu || !::IsWindowVisible(menu)) return;
  ++g_closed;
  ::EndMenu();
}

}  // namespace hardening
