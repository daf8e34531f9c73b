// A client's sink for the events of a HookwatchTimer: counts ThatTime, notes
// the thread it arrived on and can act inside the handler. It lives on the
// stack; References() shows whether the timer let go of it.
#pragma once

#include <windows.h>

#include <functional>

class EventSink : public IDispatch {
 public:
  EventSink() = default;
  EventSink(const EventSink&) = delete;
  EventSink& operator=(const EventSink&) = delete;
  virtual ~EventSink() = default;

  STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
  STDMETHODIMP_(ULONG) AddRef() override { return ++references_; }
  STDMETHODIMP_(ULONG) Release() override { return --references_; }
  STDMETHODIMP GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                      UINT*) override;

  ULONG References() const { return references_; }

  int ticks = 0;
  int ticksOnOtherThreads = 0;
  std::function<void()> onTick;
  HRESULT invokeOutcome = S_OK;

 private:
  ULONG references_ = 1;
  const DWORD testThread_ = ::GetCurrentThreadId();  // the thread that made the sink
};
