#include "WindowHooks.h"

#include <algorithm>

#include "core/RuntimeError.h"
#include "platform/Platform.h"

using formsrt::ComPtr;

namespace hookwatch {

namespace {

ComPtr<IUnknown> IdentityOf(ISubClass* client) {
  if (!client) formsrt::Raise(formsrt::error::ObjectNotSet);
  ComPtr<IUnknown> identity;
  formsrt::ThrowIfFailed(client->QueryInterface(IID_IUnknown, identity.PutVoid()));
  return identity;
}

void RequireWindowOfThisThread(HWND window) {
  if (!formsrt::User32().IsWindow(window) ||
      formsrt::User32().GetWindowThreadProcessId(window, nullptr) != formsrt::Kernel32().GetCurrentThreadId()) {
    formsrt::Raise(formsrt::error::InvalidProcedureCall);
  }
}

}  // namespace

WindowHooks::~WindowHooks() {
  for (const auto& hooked : windows_) hooked->DetachAll();
}

void WindowHooks::Attach(ISubClass* client, HWND window, UINT message) {
  ComPtr<IUnknown> identity = IdentityOf(client);
  RequireWindowOfThisThread(window);
  FindOrHook(window).Attach(ComPtr<ISubClass>(client), std::move(identity), message);
}

void WindowHooks::Detach(ISubClass* client, HWND window, UINT message) {
  ComPtr<IUnknown> identity = IdentityOf(client);
  if (HookedWindow* hooked = Find(window)) hooked->Detach(identity.Get(), message);
}

long WindowHooks::AttachmentCount() {
  ForgetUnhooked();
  long count = 0;
  for (const auto& hooked : windows_) count += hooked->AttachmentCount();
  return count;
}

HookedWindow* WindowHooks::Find(HWND window) {
  ForgetUnhooked();
  auto found = std::find_if(windows_.begin(), windows_.end(),
                            [&](const auto& hooked) { return hooked->Window() == window; });
  return found == windows_.end() ? nullptr : found->get();
}

HookedWindow& WindowHooks::FindOrHook(HWND window) {
  if (HookedWindow* hooked = Find(window)) return *hooked;
  windows_.push_back(std::make_shared<HookedWindow>(window));
  return *windows_.back();
}

void WindowHooks::ForgetUnhooked() {
  std::erase_if(windows_, [](const auto& hooked) { return !hooked->StillHooked(); });
}

}  // namespace hookwatch
