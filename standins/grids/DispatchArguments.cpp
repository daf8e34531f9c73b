#include "DispatchArguments.h"

#include "core/RuntimeError.h"

namespace standins {

namespace {

using formsrt::Raise;
namespace error = formsrt::error;

// Looks through VT_BYREF|VT_VARIANT to the variant that holds the value.
const VARIANT& Dereferenced(const VARIANT& arg) {
  const VARIANT* v = &arg;
  while (V_VT(v) == (VT_BYREF | VT_VARIANT) && V_VARIANTREF(v)) v = V_VARIANTREF(v);
  return *v;
}

std::wstring_view BorrowedText(BSTR text) { return {text ? text : L"", ::SysStringLen(text)}; }

}  // namespace

DispatchArguments::DispatchArguments(const DISPPARAMS& params, WORD flags)
    : args_(params.rgvarg), count_(params.cArgs) {
  UINT named = params.cNamedArgs;
  bool isPut = flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF);
  bool onlyPutValue = named == 1 && isPut && params.rgdispidNamedArgs[0] == DISPID_PROPERTYPUT;
  if (named > 0 && !onlyPutValue) throw formsrt::ComError(DISP_E_NONAMEDARGS);
  if (isPut && named == 0) throw formsrt::ComError(DISP_E_PARAMNOTOPTIONAL);
}

void DispatchArguments::RequireCount(UINT expected) const {
  if (count_ != expected) Raise(error::WrongArgumentCount);
}

// DISPPARAMS lists the arguments last to first, and the put value (the one
// named argument) first, so the caller's order is simply the reverse.
const VARIANT& DispatchArguments::At(UINT position) const {
  if (position >= count_) Raise(error::ArgumentNotOptional);
  return Dereferenced(args_[count_ - 1 - position]);
}

bool DispatchArguments::IsOmitted(UINT position) const {
  if (position >= count_) return true;
  const VARIANT& arg = At(position);
  return V_VT(&arg) == VT_ERROR && V_ERROR(&arg) == DISP_E_PARAMNOTFOUND;
}

VARIANT DispatchArguments::Converted(UINT position, VARTYPE type) const {
  const VARIANT& arg = At(position);
  if (IsOmitted(position)) Raise(error::ArgumentNotOptional);
  VARIANT converted;
  ::VariantInit(&converted);
  HRESULT hr = ::VariantChangeType(&converted, const_cast<VARIANT*>(&arg), 0, type);
  if (hr == DISP_E_OVERFLOW) Raise(error::Overflow);
  if (FAILED(hr)) Raise(error::TypeMismatch);
  return converted;
}

LONG DispatchArguments::Int32(UINT position) const {
  const VARIANT& arg = At(position);
  if (V_VT(&arg) == VT_I4) return V_I4(&arg);
  if (V_VT(&arg) == (VT_BYREF | VT_I4)) return *V_I4REF(&arg);
  VARIANT converted = Converted(position, VT_I4);
  return V_I4(&converted);
}

bool DispatchArguments::Boolean(UINT position) const {
  VARIANT converted = Converted(position, VT_BOOL);
  return V_BOOL(&converted) != VARIANT_FALSE;
}

std::wstring_view DispatchArguments::Text(UINT position) const {
  const VARIANT& arg = At(position);
  if (V_VT(&arg) == VT_BSTR) return BorrowedText(V_BSTR(&arg));
  if (V_VT(&arg) == (VT_BYREF | VT_BSTR)) return BorrowedText(*V_BSTRREF(&arg));
  VARIANT converted = Converted(position, VT_BSTR);
  convertedTexts_.push_back(formsrt::Bstr::Attach(V_BSTR(&converted)));
  return convertedTexts_.back().View();
}

}  // namespace standins
