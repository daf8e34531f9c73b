#include "forms/WindowClass.h"

#include <mutex>
#include <set>
#include <string>

#include "com/ModuleCounts.h"
#include "platform/Platform.h"
#include "core/RuntimeError.h"
#include "services/UnhandledError.h"

namespace formsrt {

namespace {

// A window property rather than GWLP_USERDATA, which belongs to whoever
// subclasses the window (an outside component may), and rather than the
// window's extra bytes, which a standard control uses for itself.
constexpr wchar_t kTargetProperty[] = L"FormsrtMessageTarget";

MessageTarget* TargetOf(HWND hwnd) {
  return static_cast<MessageTarget*>(formsrt::User32().GetPropW(hwnd, kTargetProperty));
}

LRESULT CALLBACK RouteToTarget(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
    formsrt::User32().SetPropW(hwnd, kTargetProperty, create->lpCreateParams);
  }
  MessageTarget* target = TargetOf(hwnd);
  if (message == WM_NCDESTROY) DetachMessageTarget(hwnd);
  if (!target) return formsrt::User32().DefWindowProcW(hwnd, message, wParam, lParam);
  // No exception may unwind through the platform's frames: an error that
  // an event handler left untrapped gets the standard report here.
  try {
    return target->HandleMessage(hwnd, message, wParam, lParam);
  } catch (...) {
    ReportUnhandledErrorAndEnd();
  }
}

// The classes this module registered. Registration is serialised, since
// apartments on several threads may make their first window at once (two
// registrations racing leave the platform's class list unsettled for a
// moment, and a window made then fails). A class registered by a DLL
// outlives the DLL's unloading, so they are unregistered when the module
// goes: a library loaded again, perhaps elsewhere, registers anew.
class ModuleClasses {
 public:
  ModuleClasses() = default;
  ModuleClasses(const ModuleClasses&) = delete;
  ModuleClasses& operator=(const ModuleClasses&) = delete;
  ~ModuleClasses() {
    for (const std::wstring& name : registered_) formsrt::User32().UnregisterClassW(name.c_str(), ThisModule());
  }

  void Register(const wchar_t* className, UINT classStyle, HBRUSH background) {
    std::lock_guard<std::mutex> guard(lock_);
    if (registered_.count(className)) return;
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.style = classStyle;
    windowClass.lpfnWndProc = RouteToTarget;
    windowClass.hInstance = ThisModule();
    windowClass.hCursor = formsrt::User32().LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = background;
    windowClass.lpszClassName = className;
    if (!formsrt::User32().RegisterClassExW(&windowClass) && formsrt::Kernel32().GetLastError() != ERROR_CLASS_ALREADY_EXISTS) {
      ThrowLastError();
    }
    registered_.insert(className);
  }

 private:
  std::mutex lock_;
  std::set<std::wstring, std::less<>> registered_;
};

ModuleClasses g_moduleClasses;

}  // namespace

void RegisterTargetClass(const wchar_t* className, UINT classStyle, HBRUSH background) {
  g_moduleClasses.Register(className, classStyle, background);
}

WindowHandle CreateRuntimeWindow(const WindowLayout& layout, MessageTarget* target) {
  const RECT& r = layout.bounds;
  HWND hwnd = User32().CreateWindowExW(layout.extendedStyle, layout.className, layout.text, layout.style,
                                       r.left, r.top, r.right - r.left, r.bottom - r.top,
                                       layout.parent, nullptr, ThisModule(), target);
  if (!hwnd) ThrowLastError();
  return WindowHandle(hwnd);
}

void DetachMessageTarget(HWND hwnd) { formsrt::User32().RemovePropW(hwnd, kTargetProperty); }

std::wstring WindowText(HWND hwnd) {
  std::wstring text(static_cast<size_t>(formsrt::User32().GetWindowTextLengthW(hwnd)) + 1, L'\0');
  int copied = formsrt::User32().GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()));
  text.resize(copied > 0 ? copied : 0);
  return text;
}

void SetWindowTextTo(HWND hwnd, std::wstring_view text) {
  std::wstring terminated(text);
  formsrt::User32().SetWindowTextW(hwnd, terminated.c_str());
}

}  // namespace formsrt
