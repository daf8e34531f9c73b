// The design-time properties of one control on a form, saved as a list of
// named values, offered to the control as an IPropertyBag. Names match
// without regard to case, as the persistence format of forms does.
#pragma once

#include <windows.h>
#include <ocidl.h>

#include <string>
#include <utility>
#include <vector>

#include "com/ComModule.h"
#include "com/Variant.h"

namespace formsrt {

using DesignProperties = std::vector<std::pair<std::wstring, Variant>>;

class DesignPropertyBag final : public IPropertyBag, private ComObjectBase {
 public:
  explicit DesignPropertyBag(DesignProperties properties) : properties_(std::move(properties)) {}

  const DesignProperties& Properties() const { return properties_; }

  STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
  STDMETHODIMP_(ULONG) AddRef() override { return AddRefImpl(); }
  STDMETHODIMP_(ULONG) Release() override { return ReleaseImpl(); }

  // A missing name gives E_INVALIDARG; with a requested type (other than
  // VT_EMPTY) the value is converted to it or DISP_E_TYPEMISMATCH returned.
  STDMETHODIMP Read(LPCOLESTR name, VARIANT* value, IErrorLog* errorLog) override;
  STDMETHODIMP Write(LPCOLESTR name, VARIANT* value) override;

 private:
  Variant* Find(LPCOLESTR name);

  DesignProperties properties_;
};

}  // namespace formsrt
