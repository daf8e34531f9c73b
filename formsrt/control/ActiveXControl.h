// A control class derives from ActiveXControl<its dual interface>: the
// control base plus IDispatch driven by the module's type library.
#pragma once

#include "control/ControlBase.h"
#include "com/TypeInformation.h"
#include "com/TypeLibDispatch.h"

namespace formsrt {

template <class DualInterface>
class ActiveXControl : public ControlBase, public DispatchImpl<DualInterface> {
 public:
  // One IUnknown for every interface of the object.
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    return ControlBase::QueryInterface(iid, out);
  }
  STDMETHODIMP_(ULONG) AddRef() override { return ControlBase::AddRef(); }
  STDMETHODIMP_(ULONG) Release() override { return ControlBase::Release(); }

 protected:
  // `window`: none for a ControlWindow, or the control's own InPlaceWindow.
  template <class... Window>
  explicit ActiveXControl(const ControlDescription& description, Window&... window)
      : ControlBase(description, window...),
        DispatchImpl<DualInterface>(ModuleTypeInfo(description.defaultInterface)) {}

  IDispatch* DefaultDispatch() override { return static_cast<DualInterface*>(this); }
};

}  // namespace formsrt
