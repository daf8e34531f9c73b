#include "ComponentObjects.h"

#include "core/RuntimeError.h"

namespace tessmark {

namespace {

formsrt::ComPtr<IHookwatchGlobal>& ApplicationGlobal() {
  static formsrt::ComPtr<IHookwatchGlobal> global;
  return global;
}

}  // namespace

formsrt::ComPtr<IUnknown> NewComponentObject(REFCLSID clsid, REFIID iid) {
  formsrt::ComPtr<IUnknown> object;
  HRESULT hr = ::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, iid, object.PutVoid());
  if (SUCCEEDED(hr)) return object;
  if (HRESULT_FACILITY(hr) == FACILITY_CONTROL) formsrt::ThrowIfFailed(hr);
  formsrt::Raise(formsrt::error::CannotCreateObject);
}

IHookwatchGlobal& HookwatchGlobalObject() {
  formsrt::ComPtr<IHookwatchGlobal>& global = ApplicationGlobal();
  if (!global) global = NewComponentObject<IHookwatchGlobal>(CLSID_HookwatchGlobal);
  return *global.Get();
}

void ReleaseHookwatchGlobal() { ApplicationGlobal().Reset(); }

}  // namespace tessmark
