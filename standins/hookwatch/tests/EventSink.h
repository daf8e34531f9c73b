// A client's sink for the events of a HookwatchTimer: counts ThatTime, notes
// whether it arrived on another thread than the one that made the sink, and
// can act inside the handler.
#pragma once

#include <windows.h>

#include <functional>

#include "CountedTestObject.h"

class EventSink : public CountedTestObject<IDispatch> {
 public:
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
  STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                      UINT*) override;

  int ticks = 0;
  int ticksOnOtherThreads = 0;
  std::function<void()> onTick;
  HRESULT invokeOutcome = S_OK;

 private:
  const DWORD testThread_ = ::GetCurrentThreadId();
};
