#include "HookwatchTimer.h"

#include <ocidl.h>
#include <olectl.h>

#include "com/ConnectionPointContainer.h"
#include "HiddenTimerWindow.h"
#include "LibraryTitle.h"
#include "Hookwatch.h"
#include "com/ComBoundary.h"
#include "com/ComModule.h"
#include "com/RuntimeError.h"
#include "com/TypeLibDispatch.h"

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
        events_(AddConnectionPoint(DIID___HookwatchTimer, ConnectionPoint::Accepts::EventDispatch)),
        timer_([this] { RaiseThatTime(); }) {}

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
    *milliseconds = timer_.Running() ? interval_ : kStopped;
    return S_OK;
  }

  // -1 stops the timer; so do 0 and the other negative values, which no
  // timer could run at.
  STDMETHODIMP put_Interval(LONG* milliseconds) override {
    if (!milliseconds) return E_POINTER;
    return ComBoundary(kLibraryTitle, IID_IHookwatchTimer, [&] {
      if (*milliseconds <= 0) {
        timer_.Stop();
        return;
      }
      timer_.Start(static_cast<UINT>(*milliseconds));
      interval_ = *milliseconds;
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
  HiddenTimerWindow timer_;
  LONG interval_ = kStopped;
};

}  // namespace

HRESULT CreateHookwatchTimer(REFIID iid, void** object) {
  return CreateAndQuery<HookwatchTimer>(iid, object);
}

}  // namespace hookwatch
