#include "HookwatchTimer.h"

#include <ocidl.h>
#include <olectl.h>

#include "com/ComModule.h"
#include "com/ConnectionPoint.h"
#include "HiddenTimerWindow.h"
#include "LibraryTitle.h"
#include "Hookwatch.h"
#include "com/ComBoundary.h"
#include "com/ComModule.h"
#include "com/RuntimeError.h"
#include "com/TypeInformation.h"
#include "com/TypeLibDispatch.h"

using namespace formsrt;

namespace hookwatch {

namespace {

constexpr DISPID kThatTime = 1;  // as the type library numbers the event
constexpr LONG kStopped = -1;

class HookwatchTimer : public DispatchImpl<IHookwatchTimer>,
                       public IConnectionPointContainer,
                       public ISupportErrorInfo,
                       private ComObjectBase {
 public:
  HookwatchTimer()
      : DispatchImpl(ModuleTypeInfo(IID_IHookwatchTimer)),
        events_(*this, DIID___HookwatchTimer, formsrt::ConnectionPoint::Accepts::EventDispatch),
        timer_([this] { RaiseThatTime(); }) {}

  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    return formsrt::QueryDualObject<IHookwatchTimer, IConnectionPointContainer, ISupportErrorInfo>(this, iid,
                                                                                         out);
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

  STDMETHODIMP EnumConnectionPoints(IEnumConnectionPoints** points) override {
    if (points) *points = nullptr;
    return E_NOTIMPL;
  }

  STDMETHODIMP FindConnectionPoint(REFIID iid, IConnectionPoint** point) override {
    if (!point) return E_POINTER;
    *point = nullptr;
    if (iid != DIID___HookwatchTimer) return CONNECT_E_NOCONNECTION;
    events_.AddRef();
    *point = &events_;
    return S_OK;
  }

 private:
  void RaiseThatTime() {
    // A handler may release the last reference to this timer.
    ComPtr<IHookwatchTimer> keepAlive(this);
    DISPPARAMS noArguments{nullptr, nullptr, 0, 0};
    events_.InvokeEach(kThatTime, noArguments);
  }

  formsrt::ConnectionPoint events_;
  HiddenTimerWindow timer_;
  LONG interval_ = kStopped;
};

}  // namespace

HRESULT CreateHookwatchTimer(REFIID iid, void** object) {
  return CreateAndQuery<HookwatchTimer>(iid, object);
}

}  // namespace hookwatch
