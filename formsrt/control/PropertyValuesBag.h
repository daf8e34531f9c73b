// A PropertyValues offered as an IPropertyBag: how a container hands a
// control its saved design-time properties and collects what it saves, and
// how the control base reads and writes the values of a stream. Every
// entry point runs through the COM boundary.
#pragma once

#include <windows.h>
#include <ocidl.h>

#include "com/ComObject.h"
#include "com/ComPtr.h"
#include "control/PropertyValues.h"

namespace formsrt {

// ComObjectBase first: its `delete this` then frees the pointer that `new`
// gave, which the compiler can see through a ComPtr of this final class.
class PropertyValuesBag final : private ComObjectBase, public IPropertyBag {
 public:
  static ComPtr<PropertyValuesBag> Create(PropertyValues values = {});

  const PropertyValues& Values() const { return values_; }

  STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
  STDMETHODIMP_(ULONG) AddRef() override { return AddRefImpl(); }
  STDMETHODIMP_(ULONG) Release() override { return ReleaseImpl(); }

  // A missing name gives E_INVALIDARG; with a requested type (other than
  // VT_EMPTY) the value is converted to it or DISP_E_TYPEMISMATCH returned.
  STDMETHODIMP Read(LPCOLESTR name, VARIANT* value, IErrorLog* errorLog) override;
  // Replaces the value of that name, or adds the name after the others.
  STDMETHODIMP Write(LPCOLESTR name, VARIANT* value) override;

 private:
  explicit PropertyValuesBag(PropertyValues values) : values_(std::move(values)) {}

  PropertyValues values_;
};

}  // namespace formsrt
