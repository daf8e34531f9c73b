#include "PropertyBag.h"

#include <new>

#include "com/Bstr.h"
#include "com/Conversions.h"
#include "com/RuntimeError.h"

namespace formsrt {

namespace {

bool SameValue(const Variant& a, const Variant& b) {
  VARIANT left = a.Get();
  VARIANT right = b.Get();
  return ::VarCmp(&left, &right, LOCALE_USER_DEFAULT, 0) == static_cast<HRESULT>(VARCMP_EQ);
}

}  // namespace

Variant PropertyBag::Read(const wchar_t* key, VARTYPE type, const Variant& defaultValue) {
  Variant stored;
  HRESULT hr = Lookup(key, stored);
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

VARIANT_BOOL PropertyBag::ReadBoolean(const wchar_t* key, VARIANT_BOOL defaultValue) {
  return V_BOOL(&Read(key, VT_BOOL, Variant::FromBool(defaultValue != VARIANT_FALSE)).Get());
}

std::wstring PropertyBag::ReadText(const wchar_t* key, std::wstring_view defaultValue) {
  Variant text = Read(key, VT_BSTR, Variant::FromText(defaultValue));
  return Bstr::Copy(V_BSTR(&text.Get())).Str();
}

void PropertyBag::Write(const wchar_t* key, const Variant& value, const Variant& defaultValue) {
  if (!saveAll_ && SameValue(value, defaultValue)) return;
  Store(key, value);
}

void PropertyBag::WriteBoolean(const wchar_t* key, VARIANT_BOOL value, VARIANT_BOOL defaultValue) {
  Write(key, Variant::FromBool(value != VARIANT_FALSE),
        Variant::FromBool(defaultValue != VARIANT_FALSE));
}

void PropertyBag::WriteText(const wchar_t* key, std::wstring_view value,
                            std::wstring_view defaultValue) {
  Write(key, Variant::FromText(value), Variant::FromText(defaultValue));
}

HRESULT ContainerPropertyBag::Lookup(const wchar_t* key, Variant& value) {
  // No error log here: a missing key is not an error, it means the default.
  return bag_->Read(key, value.Put(), nullptr);
}

void ContainerPropertyBag::Store(const wchar_t* key, const Variant& value) {
  VARIANT held = value.Get();
  ThrowIfFailed(bag_->Write(key, &held));
}

void ContainerPropertyBag::ReportUnreadable(const wchar_t* key, HRESULT why) {
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

HRESULT StoredProperties::Lookup(const wchar_t* key, Variant& value) {
  for (const Entry& entry : entries_) {
    if (EqualsOrdinalIgnoringCase(entry.first, key)) {
      value = entry.second;
      return S_OK;
    }
  }
  return E_INVALIDARG;
}

void StoredProperties::Store(const wchar_t* key, const Variant& value) {
  entries_.emplace_back(key, value);
}

}  // namespace formsrt
