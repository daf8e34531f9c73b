#include "services/PropertyBagValues.h"

#include <string>

#include "com/RuntimeError.h"

namespace formsrt {

namespace {

Variant ConvertedTo(const Variant& value, VARTYPE type) {
  if (type == VT_EMPTY || value.Type() == type) return value;
  Variant converted;
  HRESULT hr = ::VariantChangeType(converted.Put(), const_cast<VARIANT*>(&value.Get()), 0, type);
  if (FAILED(hr)) Raise(hr == DISP_E_OVERFLOW ? error::Overflow : error::TypeMismatch);
  return converted;
}

bool EqualValues(const Variant& a, const Variant& b) {
  return ::VarCmp(const_cast<VARIANT*>(&a.Get()), const_cast<VARIANT*>(&b.Get()),
                  LOCALE_USER_DEFAULT, 0) == VARCMP_EQ;
}

}  // namespace

Variant ReadProperty(IPropertyBag* bag, std::wstring_view name, const Variant& defaultValue) {
  std::wstring key(name);
  Variant stored;
  HRESULT hr = bag->Read(key.c_str(), stored.Put(), nullptr);
  if (hr == E_INVALIDARG) return defaultValue;  // the bag's answer for a missing name
  ThrowIfFailed(hr);
  return ConvertedTo(stored, defaultValue.Type());
}

void WriteProperty(IPropertyBag* bag, std::wstring_view name, const Variant& value,
                   const Variant& defaultValue) {
  if (EqualValues(value, defaultValue)) return;
  std::wstring key(name);
  ThrowIfFailed(bag->Write(key.c_str(), const_cast<VARIANT*>(&value.Get())));
}

}  // namespace formsrt
