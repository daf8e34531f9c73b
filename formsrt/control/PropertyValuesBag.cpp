#include "control/PropertyValuesBag.h"

#include "com/ComBoundary.h"
#include "com/QueryObject.h"
#include "core/RuntimeError.h"

namespace formsrt {

namespace {

constexpr wchar_t kErrorSource[] = L"PropertyBag";

}  // namespace

ComPtr<PropertyValuesBag> PropertyValuesBag::Create(PropertyValues values) {
  return ComPtr<PropertyValuesBag>::Attach(new PropertyValuesBag(std::move(values)));
}

STDMETHODIMP PropertyValuesBag::QueryInterface(REFIID iid, void** out) {
  return QueryObject<IPropertyBag>(this, iid, out);
}

STDMETHODIMP PropertyValuesBag::Read(LPCOLESTR name, VARIANT* value, IErrorLog*) {
  if (!name || !value) return E_POINTER;
  return ComBoundary(kErrorSource, IID_IPropertyBag, [&] {
    const Variant* stored = values_.Find(name);
    if (!stored) throw ComError(E_INVALIDARG);
    VARTYPE wanted = V_VT(value);
    ::VariantInit(value);
    auto* source = const_cast<VARIANT*>(&stored->Get());
    if (wanted == VT_EMPTY) return ThrowIfFailed(::VariantCopy(value, source));
    HRESULT hr = ::VariantChangeType(value, source, 0, wanted);
    if (FAILED(hr)) throw ComError(hr == E_OUTOFMEMORY ? hr : DISP_E_TYPEMISMATCH);
  });
}

STDMETHODIMP PropertyValuesBag::Write(LPCOLESTR name, VARIANT* value) {
  if (!name || !value) return E_POINTER;
  return ComBoundary(kErrorSource, IID_IPropertyBag, [&] { values_.Set(name, Variant(*value)); });
}

}  // namespace formsrt
