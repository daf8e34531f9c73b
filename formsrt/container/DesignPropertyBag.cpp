#include "container/DesignPropertyBag.h"

#include "com/ComBoundary.h"
#include "com/Conversions.h"

namespace formsrt {

STDMETHODIMP DesignPropertyBag::QueryInterface(REFIID iid, void** out) {
  return QueryObject<IPropertyBag>(this, iid, out);
}

Variant* DesignPropertyBag::Find(LPCOLESTR name) {
  for (auto& [key, value] : properties_) {
    if (CompareIgnoringCase(key, name) == 0) return &value;
  }
  return nullptr;
}

STDMETHODIMP DesignPropertyBag::Read(LPCOLESTR name, VARIANT* value, IErrorLog*) {
  if (!name || !value) return E_POINTER;
  const Variant* stored = Find(name);
  if (!stored) return E_INVALIDARG;
  VARTYPE wanted = V_VT(value);
  ::VariantInit(value);
  if (wanted == VT_EMPTY) return ::VariantCopy(value, const_cast<VARIANT*>(&stored->Get()));
  HRESULT hr = ::VariantChangeType(value, const_cast<VARIANT*>(&stored->Get()), 0, wanted);
  return FAILED(hr) && hr != E_OUTOFMEMORY ? DISP_E_TYPEMISMATCH : hr;
}

STDMETHODIMP DesignPropertyBag::Write(LPCOLESTR name, VARIANT* value) {
  if (!name || !value) return E_POINTER;
  return ComBoundary(L"Form", IID_IPropertyBag, [&] {
    Variant copy(*value);
    if (Variant* stored = Find(name)) {
      *stored = std::move(copy);
    } else {
      properties_.emplace_back(name, std::move(copy));
    }
  });
}

}  // namespace formsrt
