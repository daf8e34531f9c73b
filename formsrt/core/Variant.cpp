#include "core/Variant.h"

#include <new>

#include "core/Bstr.h"

namespace formsrt {

namespace {

void CopyOrThrow(VARIANT* to, const VARIANT* from) {
  HRESULT hr = ::VariantCopy(to, const_cast<VARIANT*>(from));
  if (hr == E_OUTOFMEMORY) throw std::bad_alloc();
}

}  // namespace

Variant::Variant(const Variant& other) : Variant() { CopyOrThrow(&v_, &other.v_); }

Variant::Variant(Variant&& other) noexcept : v_(other.v_) { ::VariantInit(&other.v_); }

Variant::Variant(const VARIANT& borrowed) : Variant() { CopyOrThrow(&v_, &borrowed); }

Variant& Variant::operator=(Variant other) noexcept {
  VARIANT held = v_;
  v_ = other.v_;
  other.v_ = held;
  return *this;
}

Variant Variant::FromInt16(SHORT value) {
  Variant v;
  V_VT(&v.v_) = VT_I2;
  V_I2(&v.v_) = value;
  return v;
}

Variant Variant::FromInt32(LONG value) {
  Variant v;
  V_VT(&v.v_) = VT_I4;
  V_I4(&v.v_) = value;
  return v;
}

Variant Variant::FromDouble(double value) {
  Variant v;
  V_VT(&v.v_) = VT_R8;
  V_R8(&v.v_) = value;
  return v;
}

Variant Variant::FromBool(bool value) {
  Variant v;
  V_VT(&v.v_) = VT_BOOL;
  V_BOOL(&v.v_) = value ? VARIANT_TRUE : VARIANT_FALSE;
  return v;
}

Variant Variant::FromText(std::wstring_view text) {
  Variant v;
  V_BSTR(&v.v_) = Bstr(text).Detach();
  V_VT(&v.v_) = VT_BSTR;
  return v;
}

Variant Variant::FromDispatch(IDispatch* borrowed) {
  Variant v;
  V_VT(&v.v_) = VT_DISPATCH;
  V_DISPATCH(&v.v_) = borrowed;
  if (borrowed) borrowed->AddRef();
  return v;
}

Variant Variant::Omitted() {
  Variant v;
  V_VT(&v.v_) = VT_ERROR;
  V_ERROR(&v.v_) = DISP_E_PARAMNOTFOUND;
  return v;
}

VARIANT* Variant::Put() {
  ::VariantClear(&v_);
  return &v_;
}

void Variant::MoveTo(VARIANT* out) {
  *out = v_;
  ::VariantInit(&v_);
}

}  // namespace formsrt
