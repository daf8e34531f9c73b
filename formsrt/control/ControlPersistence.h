// The part of the control base that saves and loads it: through a stream
// (IPersistStreamInit) and through a property bag (IPersistPropertyBag), both
// by way of the control's UserControl_* property handlers, which the control
// base gives and the control overrides.
#pragma once

#include <windows.h>
#include <ocidl.h>

#include "control/ControlDescription.h"
#include "control/PropertyBag.h"
#include "control/PropertyValues.h"

namespace formsrt {

class ControlPersistence : public IPersistStreamInit, public IPersistPropertyBag {
 public:
  // IPersist, IPersistStreamInit, IPersistPropertyBag
  STDMETHODIMP GetClassID(CLSID* clsid) override;
  STDMETHODIMP IsDirty() override { return dirty_ ? S_OK : S_FALSE; }
  STDMETHODIMP Load(LPSTREAM stream) override;
  STDMETHODIMP Save(LPSTREAM stream, BOOL clearDirty) override;
  STDMETHODIMP GetSizeMax(ULARGE_INTEGER* size) override;
  STDMETHODIMP InitNew() override;
  STDMETHODIMP Load(IPropertyBag* bag, IErrorLog* errorLog) override;
  STDMETHODIMP Save(IPropertyBag* bag, BOOL clearDirty, BOOL saveAll) override;

 protected:
  explicit ControlPersistence(const ControlDescription& description)
      : description_(description) {}
  ~ControlPersistence() = default;

  // Exactly one of InitProperties (a new instance) or ReadProperties (a
  // saved one) runs; WriteProperties runs on every save.
  virtual void UserControl_InitProperties() = 0;
  virtual void UserControl_ReadProperties(PropertyBag&) = 0;
  virtual void UserControl_WriteProperties(PropertyBag&) = 0;

  // A property changed since the last save.
  void MarkDirty() { dirty_ = true; }

 private:
  void RequireUninitialised() const;
  void LoadFrom(PropertyBag& bag);
  PropertyValues CollectProperties();

  const ControlDescription& description_;
  bool initialised_ = false;
  bool dirty_ = false;
};

}  // namespace formsrt
