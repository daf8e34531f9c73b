// The platform's ActiveX container window ("AtlAxWin" of atl.dll): a window
// whose text is a ProgID creates, sites and activates that control, and
// releases it when the window is destroyed. atl.dll is loaded at run time:
// the 32-bit MinGW has no import library for it.
#pragma once

#include <windows.h>

#include <oaidl.h>

#include <memory>

#include "com/ComPtr.h"

namespace soak {

class AtlContainer {
 public:
  AtlContainer();
  AtlContainer(const AtlContainer&) = delete;
  AtlContainer& operator=(const AtlContainer&) = delete;

  struct DestroyWindowOnExit {
    void operator()(HWND window) const { ::DestroyWindow(window); }
  };
  using Window = std::unique_ptr<HWND__, DestroyWindowOnExit>;

  // A container window on `parent` holding a new control; throws when the
  // control cannot be created.
  Window Host(HWND parent, const wchar_t* progId) const;
  formsrt::ComPtr<IDispatch> Control(HWND container) const;

 private:
  struct FreeModule {
    void operator()(HMODULE module) const { ::FreeLibrary(module); }
  };

  std::unique_ptr<HINSTANCE__, FreeModule> library_;
  HRESULT(WINAPI* getControl_)(HWND, IUnknown**) = nullptr;
};

}  // namespace soak
