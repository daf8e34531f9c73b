#include "control/PropertyBag.h"

#include <new>

#include "core/Bstr.h"
#include "core/RuntimeError.h"

namespace formsrt {

namespace {

bool SameValue(const Variant& a, const Variant& b) {
  VARIANT left = a.Get();
  VARIANT right = b.Get();
  return ::VarCmp(&left, &right, LOCALE_USER_DEFAULT, 0) == static_cast<HRESULT>(VARCMP_EQ);
}

Variant FromBoolean(VARIANT_BOOL value) { return Variant::FromBool(value != VARIANT_FALSE); }

}  // namespace

VARIANT_BOOL PropertyBag::Read(const PersistedProperty<VARIANT_BOOL>& property) {
  Variant value = ReadValue(property.key, VT_BOOL, FromBoolean(property.defaultValue));
  return V_BOOL(&value.Get());
}

LONG PropertyBag::Read(const PersistedProperty<LONG>& property) {
  Variant value = ReadValue(property.key, VT_I4, Variant::FromInt32(property.defaultValue));
  return V_I4(&value.Get());
}

std::wstring PropertyBag::Read(const PersistedProperty<std::wstring_view>& property) {
  Variant text = ReadValue(property.key, VT_BSTR, Variant::FromText(property.defaultValue));
  return Bstr::Copy(V_BSTR(&text.Get())).Str();
}

void PropertyBag::Write(const PersistedProperty<VARIANT_BOOL>& property, VARIANT_BOOL value) {
  WriteValue(property.key, FromBoolean(value), FromBoolean(property.defaultValue));
}

void PropertyBag::Write(const PersistedProperty<LONG>& property, LONG value) {
  WriteValue(property.key, Variant::FromInt32(value), Variant::FromInt32(property.defaultValue));
}

void PropertyBag::Write(const PersistedProperty<std::wstring_view>& property,
                        std::wstring_view value) {
  WriteValue(property.key, Variant::FromText(value), Variant::FromText(property.defaultValue));
}

Variant PropertyBag::ReadValue(const wchar_t* key, VARTYPE type, const Variant& defaultValue) {
  // No error log for the bag: a missing key is not an error, it means the default.
  Variant stored;
  HRESULT hr = bag_->Read(key, stored.Put(), nullptr);
  if (hr == E_INVALIDARG) return defaultValue;
  if (hr == E_OUTOFMEMORY) throw std::bad_alloc();
  Variant converted;
  if (SUCCEEDED(hr)) hr = ::VariantChangeType(converted.Put(), stored.Raw(), 0, type);
  if (hr == E_OUTOFMEMORY) throw std::bad_alloc();
  if (FAILED(hr)) {
    ReportUnreadable(key, hr);
    return defaultValue;
  }
  return converted;
}

void PropertyBag::WriteValue(const wchar_t* key, const Variant& value, const Variant& defaultValue) {
  if (!saveAll_ && SameValue(value, defaultValue)) return;
  VARIANT held = value.Get();
  ThrowIfFailed(bag_->Write(key, &held));
}

void PropertyBag::ReportUnreadable(const wchar_t* key, HRESULT why) {
  if (!errorLog_) return;
  long number = why == DISP_E_TYPEMISMATCH ? error::TypeMismatch : error::InvalidPropertyValue;
  Bstr source(source_);
  Bstr description(StandardErrorText(number) + L": " + key);
  EXCEPINFO info{};
  info.bstrSource = source.Get();
  info.bstrDescription = description.Get();
  info.scode = why;
  errorLog_->AddError(key, &info);
}

}  // namespace formsrt
