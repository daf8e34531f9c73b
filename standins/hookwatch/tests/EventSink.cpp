#include "EventSink.h"

#include "Hookwatch.h"

namespace {

constexpr DISPID kThatTime = 1;

}  // namespace

STDMETHODIMP EventSink::QueryInterface(REFIID iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (iid != IID_IUnknown && iid != IID_IDispatch && iid != DIID___HookwatchTimer) {
    return E_NOINTERFACE;
  }
  AddRef();
  *out = static_cast<IDispatch*>(this);
  return S_OK;
}

STDMETHODIMP EventSink::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                               UINT*) {
  if (id != kThatTime) return DISP_E_MEMBERNOTFOUND;
  ++ticks;
  if (::GetCurrentThreadId() != testThread_) ++ticksOnOtherThreads;
  if (onTick) onTick();
  return invokeOutcome;
}
