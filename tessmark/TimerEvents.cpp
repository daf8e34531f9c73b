#include "TimerEvents.h"

#include <utility>

#include "com/ComObject.h"
#include "com/OutParameters.h"
#include "core/RuntimeError.h"
#include "services/UnhandledError.h"

namespace tessmark {

namespace {

constexpr DISPID kThatTime = 1;

}  // namespace

// The event interface __HookwatchTimer, an IDispatch that knows the one
// event by its DISPID. Disconnect stops the handler even
// if the timer still holds the sink.
class TimerEvents::Sink final : private formsrt::ComObjectBase, public __HookwatchTimer {
 public:
  explicit Sink(std::function<void()> onThatTime) : onThatTime_(std::move(onThatTime)) {}

  void Disconnect() { onThatTime_ = nullptr; }

  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    return formsrt::QueryObject<formsrt::Offer<__HookwatchTimer, IDispatch>>(this, iid, out);
  }
  STDMETHODIMP_(ULONG) AddRef() override { return AddRefImpl(); }
  STDMETHODIMP_(ULONG) Release() override { return ReleaseImpl(); }

  STDMETHODIMP GetTypeInfoCount(UINT* count) override {
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
  }
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
    formsrt::ClearOutParameters(info);
    return E_NOTIMPL;
  }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS*, VARIANT* result, EXCEPINFO*,
                      UINT*) override {
    if (result) ::VariantInit(result);
    if (id != kThatTime) return DISP_E_MEMBERNOTFOUND;
    if (onThatTime_) formsrt::RunEventHandler(onThatTime_);
    return S_OK;
  }

 private:
  std::function<void()> onThatTime_;
};

TimerEvents::TimerEvents(IHookwatchTimer& timer, std::function<void()> onThatTime)
    : sink_(formsrt::ComPtr<Sink>::Attach(new Sink(std::move(onThatTime)))) {
  formsrt::ComPtr<IConnectionPointContainer> container;
  formsrt::ThrowIfFailed(timer.QueryInterface(IID_IConnectionPointContainer, container.PutVoid()));
  formsrt::ThrowIfFailed(container->FindConnectionPoint(DIID___HookwatchTimer, point_.Put()));
  formsrt::ThrowIfFailed(point_->Advise(static_cast<IDispatch*>(sink_.Get()), &cookie_));
}

TimerEvents::~TimerEvents() {
  sink_->Disconnect();
  point_->Unadvise(cookie_);
}

}  // namespace tessmark
