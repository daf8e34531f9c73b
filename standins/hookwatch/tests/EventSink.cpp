#include "EventSink.h"

#include "Hookwatch.h"

namespace {

constexpr DISPID kThatTime = 1;

}  // namespace

STDMETHODIMP EventSink::QueryInterface(REFIID iid, void** out) {
  return QueryAs<__HookwatchTimer>(iid, out);
}

STDMETHODIMP EventSink::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                               UINT*) {
  if (id != kThatTime) return DISP_E_MEMBERNOTFOUND;
  ++ticks;
  if (::GetCurrentThreadId() != testThread_) ++ticksOnOtherThreads;
  if (onTick) onTick();
  return invokeOutcome;
}
