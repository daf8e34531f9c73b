#include "HookwatchGlobal.h"

#include "com/ComObject.h"
#include "Hookwatch.h"
#include "LibraryTitle.h"
#include "WindowHooks.h"
#include "WindowMessage.h"
#include "com/ComBoundary.h"
#include "com/OutParameters.h"
#include "com/ComObject.h"
#include "core/RuntimeError.h"
#include "com/TypeInformation.h"
#include "com/TypeLibDispatch.h"

using namespace formsrt;

namespace hookwatch {

namespace {

// A late-bound caller can hand over any object where ISubClass is declared
// (the platform's dispatch passes the pointer on unchecked), so the client is
// asked for ISubClass rather than trusted: an object without it is error 13.
ComPtr<ISubClass> ClientIn(ISubClass** client) {
  if (!client || !*client) Raise(error::ObjectNotSet);
  ComPtr<ISubClass> subClass;
  if (FAILED((*client)->QueryInterface(IID_ISubClass, subClass.PutVoid())))
    Raise(error::TypeMismatch);
  return subClass;
}

class HookwatchGlobal;

// The application-global object of this thread while it lives: every
// creation on the thread gets it, so all attachments of the thread's windows
// go through one object, as they do for a client that keeps just one.
thread_local HookwatchGlobal* t_threadGlobal = nullptr;

class HookwatchGlobal : public DispatchImpl<IHookwatchGlobal>,
                        public ISupportErrorInfo,
                        private ComObjectBase {
 public:
  HookwatchGlobal() : DispatchImpl(ModuleTypeInfo(IID_IHookwatchGlobal)) { t_threadGlobal = this; }
  ~HookwatchGlobal() override {
    if (t_threadGlobal == this) t_threadGlobal = nullptr;
  }

  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    return formsrt::QueryObject<Offer<IHookwatchGlobal, IDispatch>, ISupportErrorInfo>(this, iid, out);
  }
  STDMETHODIMP_(ULONG) AddRef() override { return AddRefImpl(); }
  STDMETHODIMP_(ULONG) Release() override { return ReleaseImpl(); }

  STDMETHODIMP InterfaceSupportsErrorInfo(REFIID iid) override {
    return iid == IID_IHookwatchGlobal ? S_OK : S_FALSE;
  }

  STDMETHODIMP AttachMessage(ISubClass** client, LONG hWnd, LONG iMsg) override {
    return Guard(
        [&] { hooks_.Attach(ClientIn(client).Get(), HandleFromLong(hWnd), MessageFrom(iMsg)); });
  }

  STDMETHODIMP DetachMessage(ISubClass** client, LONG hWnd, LONG iMsg) override {
    return Guard(
        [&] { hooks_.Detach(ClientIn(client).Get(), HandleFromLong(hWnd), MessageFrom(iMsg)); });
  }

  STDMETHODIMP get_AttachmentCount(LONG* count) override {
    formsrt::ClearOutParameters(count);
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
  if (!t_threadGlobal) return CreateAndQuery<HookwatchGlobal>(iid, object);
  if (!object) return E_POINTER;
  return t_threadGlobal->QueryInterface(iid, object);
}

}  // namespace hookwatch
