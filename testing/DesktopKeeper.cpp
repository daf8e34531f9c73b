// Keeps the test run's Wine desktop alive from start to end. Wine starts its
// desktop process (which also hosts the tray window) with the first window
// and ends it after the last GUI process exits; restarted inside a test, it
// would inherit that test's output pipe and CTest would wait on it. The test
// environment starts this program first, with its output going nowhere.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = ::DefWindowProcW;
  windowClass.hInstance = instance;
  windowClass.lpszClassName = L"SuiteDesktopKeeper";
  ::RegisterClassW(&windowClass);
  // A hidden top-level window: enough for Wine to bring its desktop up.
  HWND window = ::CreateWindowExW(0, windowClass.lpszClassName, L"", WS_OVERLAPPED, 0, 0, 1, 1,
                                  nullptr, nullptr, instance, nullptr);
  if (!window) return 1;
  MSG message;
  while (::GetMessageW(&message, nullptr, 0, 0) > 0) ::DispatchMessageW(&message);
  return 0;
}
