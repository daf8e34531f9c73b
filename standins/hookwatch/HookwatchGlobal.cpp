#include "HookwatchGlobal.h"

#include "Hookwatch.h"
#include "LibraryTitle.h"
#include "WindowHooks.h"
#include "WindowMessage.h"
#include "com/ComBoundary.h"
#include "com/ComModule.h"
#include "com/RuntimeError.h"
#include "com/TypeLibDispatch.h"

using namespace formsrt;

namespace hookwatch {

namespace {

ISubClass* ClientIn(ISubClass** client) {
  if (!client || !*client) Raise(error::ObjectNotSet);
  return *client;
}

class HookwatchGlobal : public DispatchImpl<IHookwatchGlobal>,
                        public ISupportErrorInfo,
                        private ComObjectBase {
 public:
  HookwatchGlobal() : DispatchImpl(ModuleTypeInfo(IID_IHookwatchGlobal)) {}

  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (iid == IID_IUnknown || iid == IID_IDispatch) {
      return OfferInterface<IHookwatchGlobal>(IID_IHookwatchGlobal, this, out) ? S_OK
                                                                                : E_NOINTERFACE;
    }
    if (OfferInterface<IHookwatchGlobal>(iid, this, out) ||
        OfferInterface<ISupportErrorInfo>(iid, this, out)) {
      return S_OK;
    }
    return E_NOINTERFACE;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return AddRefImpl(); }
  STDMETHODIMP_(ULONG) Release() override { return ReleaseImpl(); }

  STDMETHODIMP InterfaceSupportsErrorInfo(REFIID iid) override {
    return iid == IID_IHookwatchGlobal ? S_OK : S_FALSE;
  }

  STDMETHODIMP AttachMessage(ISubClass** client, LONG hWnd, LONG iMsg) override {
    return Guard([&] { hooks_.Attach(ClientIn(client), HandleFromLong(hWnd), MessageFrom(iMsg)); });
  }

  STDMETHODIMP DetachMessage(ISubClass** client, LONG hWnd, LONG iMsg) override {
    return Guard([&] { hooks_.Detach(ClientIn(client), HandleFromLong(hWnd), MessageFrom(iMsg)); });
  }

  STDMETHODIMP get_AttachmentCount(LONG* count) override {
    if (!count) return E_POINTER;
    return Guard([&] { *count = hooks_.AttachmentCount(); });
  }

 private:
  static UINT MessageFrom(LONG iMsg) { return static_cast<UINT>(iMsg); }

  template <class Body>
  HRESULT Guard(Body&& body) {
    return ComBoundary(kLibraryTitle, IID_IHookwatchGlobal, std::forward<Body>(body));
  }

  WindowHooks hooks_;
};

}  // namespace

HRESULT CreateHookwatchGlobal(REFIID iid, void** object) {
  return CreateAndQuery<HookwatchGlobal>(iid, object);
}

}  // namespace hookwatch
