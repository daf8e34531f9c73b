#include "AtlContainer.h"

#include <stdexcept>

namespace soak {

namespace {

template <class Function>
Function Entry(HMODULE library, const char* name) {
  FARPROC entry = library ? ::GetProcAddress(library, name) : nullptr;
  if (!entry) throw std::runtime_error("atl.dll lacks an entry point the soak needs");
  return reinterpret_cast<Function>(reinterpret_cast<void*>(entry));
}

}  // namespace

AtlContainer::AtlContainer() : library_(::LoadLibraryW(L"atl.dll")) {
  if (!Entry<BOOL(WINAPI*)()>(library_.get(), "AtlAxWinInit")()) {
    throw std::runtime_error("AtlAxWinInit failed");
  }
  getControl_ = Entry<decltype(getControl_)>(library_.get(), "AtlAxGetControl");
}

AtlContainer::Window AtlContainer::Host(HWND parent, const wchar_t* progId) const {
  Window container(::CreateWindowExW(0, L"AtlAxWin", progId, WS_CHILD | WS_VISIBLE, 0, 0, 200, 100,
                                     parent, nullptr, ::GetModuleHandleW(nullptr), nullptr));
  if (!container) throw std::runtime_error("the container window failed");
  return container;
}

formsrt::ComPtr<IDispatch> AtlContainer::Control(HWND container) const {
  formsrt::ComPtr<IUnknown> control;
  formsrt::ComPtr<IDispatch> dispatch;
  if (FAILED(getControl_(container, control.Put())) || FAILED(control.As(dispatch))) {
    throw std::runtime_error("the container holds no control");
  }
  return dispatch;
}

}  // namespace soak
