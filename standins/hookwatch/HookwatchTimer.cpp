#include "HookwatchTimer.h"

#include <ocidl.h>
#include <olectl.h>

#include "com/ConnectionPointContainer.h"
#include "LibraryTitle.h"
#include "Hookwatch.h"
#include "com/ComBoundary.h"
#include "com/ComObject.h"
#include "core/RuntimeError.h"
#include "com/TypeInformation.h"
#include "com/TypeLibDispatch.h"
#include "forms/IntervalTimer.h"
#include "services/UnhandledError.h"

using namespace formsrt;

namespace hookwatch {

namespace {

constexpr DISPID kThatTime = 1;  // as the type library numbers the event
constexpr LONG kStopped = -1;

class HookwatchTimer : public DispatchImpl<IHookwatchTimer>,
                       public ConnectionPointContainer,
                       public ISupportErrorInfo,
                       private ComObjectBase {
 public:
  HookwatchTimer()
      : DispatchImpl(ModuleTypeInfo(IID_IHookwatchTimer)),
        events_(AddConnectionPoint(DIID___HookwatchTimer, ConnectionPoint::Accepts::EventDispatch)) {
    // What a tick leaves untrapped ends the tick only: the client's process goes on.
    timer_.onTick = [this] { RunControlHandler([this] { RaiseThatTime(); }); };
  }

  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    return QueryObject<Offer<IHookwatchTimer, IDispatch>, IConnectionPointContainer, ISupportErrorInfo>(
        this, iid, out);
  }
  STDMETHODIMP_(ULONG) AddRef() override { return AddRefImpl(); }
  STDMETHODIMP_(ULONG) Release() override { return ReleaseImpl(); }

  STDMETHODIMP InterfaceSupportsErrorInfo(REFIID iid) override {
    return iid == IID_IHookwatchTimer ? S_OK : S_FALSE;
  }

  STDMETHODIMP get_Interval(LONG* milliseconds) override {
    if (!milliseconds) return E_POINTER;
    *milliseconds = timer_.Running() ? static_cast<LONG>(timer_.Interval()) : kStopped;
    return S_OK;
  }

  // -1 stops the timer; so do 0 and the other negative values, which no
  // timer could run at.
  STDMETHODIMP put_Interval(LONG* milliseconds) override {
    if (!milliseconds) return E_POINTER;
    return ComBoundary(kLibraryTitle, IID_IHookwatchTimer, [&] {
      timer_.SetInterval(*milliseconds > 0 ? static_cast<UINT>(*milliseconds) : 0);
      if (*milliseconds > 0 && !timer_.Running()) Raise(error::OutOfMemory);
    });
  }

 private:
  void RaiseThatTime() {
    // A handler may release the last reference to this timer.
    ComPtr<IHookwatchTimer> keepAlive(this);
    DISPPARAMS noArguments{nullptr, nullptr, 0, 0};
    events_.InvokeEach(kThatTime, noArguments);
  }

  ConnectionPoint& events_;
  IntervalTimer timer_;
};

}  // namespace

HRESULT CreateHookwatchTimer(REFIID iid, void** object) {
  return CreateAndQuery<HookwatchTimer>(iid, object);
}

}  // namespace hookwatch
