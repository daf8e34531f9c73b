// The soak's client of the Hookwatch component: an ISubClass that leaves the
// messages routed to it to the window (response 0), and an event sink for a
// HookwatchTimer's ThatTime.
#pragma once

#include <windows.h>

#include "Hookwatch.h"
#include "com/ComObject.h"

namespace soak {

class SubClassClient final : public ISubClass, private formsrt::ComObjectBase {
 public:
  SubClassClient() = default;


  STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
  STDMETHODIMP_(ULONG) AddRef() override { return AddRefImpl(); }
  STDMETHODIMP_(ULONG) Release() override { return ReleaseImpl(); }

  STDMETHODIMP GetTypeInfoCount(UINT* count) override;
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  // ThatTime, when the object is a timer's sink.
  STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                      UINT*) override {
    return S_OK;
  }

  STDMETHODIMP get_MsgResponse(HookwatchResponse* response) override;
  STDMETHODIMP put_MsgResponse(HookwatchResponse) override { return S_OK; }
  STDMETHODIMP WindowProc(LONG hWnd, LONG iMsg, LONG wParam, LONG lParam, LONG* result) override;

 private:
};

}  // namespace soak
