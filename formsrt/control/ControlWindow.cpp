#include "ControlWindow.h"

#include "com/ComModule.h"
#include "com/Platform.h"
#include "com/RuntimeError.h"

namespace formsrt {

namespace {

constexpr wchar_t kWindowClass[] = L"FormsrtControlWindow";

void RegisterWindowClass(WNDPROC procedure) {
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof(windowClass);
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = ThisModule();
  windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  windowClass.lpszClassName = kWindowClass;
  // A class left registered by an earlier load of this module at the same
  // address is the same class.
  if (!::RegisterClassExW(&windowClass) && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
    throw ComError(HRESULT_FROM_WIN32(::GetLastError()));
  }
}

HWND CreateOrThrow(DWORD exStyle, const wchar_t* windowClass, DWORD style, SIZE size, HWND parent,
                   void* creationData) {
  HWND window = User32().CreateWindowExW(exStyle, windowClass, L"", style, 0, 0, size.cx, size.cy,
                                         parent, nullptr, ThisModule(), creationData);
  if (!window) throw ComError(HRESULT_FROM_WIN32(::GetLastError()));
  return window;
}

}  // namespace

ControlWindow::ControlWindow(SIZE pixels, Painter painter) : painter_(std::move(painter)) {
  RegisterWindowClass(WindowProc);
  parking_ = CreateOrThrow(WS_EX_TOOLWINDOW, L"STATIC", WS_POPUP, pixels, nullptr, nullptr);
  try {
    window_ = CreateOrThrow(0, kWindowClass, WS_CHILD | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, pixels,
                            parking_, this);
  } catch (...) {
    User32().DestroyWindow(parking_);
    throw;
  }
}

ControlWindow::~ControlWindow() {
  User32().DestroyWindow(window_);
  User32().DestroyWindow(parking_);
}

void ControlWindow::ShowIn(HWND parent, const RECT& position) {
  ::SetParent(window_, parent);
  Move(position);
  ::ShowWindow(window_, SW_SHOWNA);
}

void ControlWindow::Move(const RECT& position) {
  ::MoveWindow(window_, position.left, position.top, position.right - position.left,
               position.bottom - position.top, TRUE);
}

void ControlWindow::Park() {
  ::ShowWindow(window_, SW_HIDE);
  ::SetParent(window_, parking_);
}

void ControlWindow::Paint(HWND window) {
  PAINTSTRUCT paint;
  HDC dc = ::BeginPaint(window, &paint);
  RECT bounds;
  ::GetClientRect(window, &bounds);
  if (painter_) painter_(dc, bounds);
  ::EndPaint(window, &paint);
}

LRESULT CALLBACK ControlWindow::WindowProc(HWND window, UINT message, WPARAM wParam,
                                           LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* created = reinterpret_cast<CREATESTRUCTW*>(lParam);
    ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created->lpCreateParams));
  }
  auto* self = reinterpret_cast<ControlWindow*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
  if (message == WM_PAINT && self) {
    self->Paint(window);
    return 0;
  }
  if (message == WM_NCDESTROY) ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
  return ::DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace formsrt
