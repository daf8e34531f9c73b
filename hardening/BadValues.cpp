#include "BadValues.h"

#include <iterator>
#include <limits>

#include "com/TypeDescriptions.h"
#include "com/ComPtr.h"
#include "com/QueryObject.h"

namespace hardening {

namespace {

constexpr size_t kHugeTextLength = 100000;

formsrt::Variant ArrayOfThree() {
  formsrt::Variant array;
  SAFEARRAY* elements = ::SafeArrayCreateVector(VT_VARIANT, 0, 3);
  if (!elements) return array;
  VARIANT* put = array.Put();
  V_VT(put) = VT_ARRAY | VT_VARIANT;
  V_ARRAY(put) = elements;
  return array;
}

bool IsEnumeration(ITypeInfo* owner, HREFTYPE reference) {
  formsrt::ComPtr<ITypeInfo> referenced;
  if (FAILED(owner->GetRefTypeInfo(reference, referenced.Put()))) return false;
  formsrt::TypeAttributes attributes(referenced.Get());
  return attributes && (attributes->typekind == TKIND_ENUM || attributes->typekind == TKIND_ALIAS);
}

}  // namespace

formsrt::Variant NullPointer(VARTYPE type) {
  formsrt::Variant value;
  V_VT(value.Put()) = type;
  V_BYREF(value.Raw()) = nullptr;
  return value;
}

// In the order of the enumerations.
const wchar_t* NameOf(BadValue value) {
  static constexpr const wchar_t* kNames[] = {
      L"Empty",      L"Null",       L"omitted",     L"Nothing",     L"null BSTR",
      L"100,000-character BSTR",    L"unrelated object",           L"array",
      L"-1",         L"2147483647", L"-2147483648", L"1E+300",      L"a form",
      L"a menu of the form",        L"a picture",   L"a by-name form of another runtime"};
  static_assert(std::size(kNames) == std::size(kBadValues));
  auto index = static_cast<size_t>(value);
  return index < std::size(kNames) ? kNames[index] : L"?";
}

const wchar_t* NameOf(Passing passing) {
  static constexpr const wchar_t* kNames[] = {L"by value", L"as VARIANT reference", L"as typed reference"};
  static_assert(std::size(kNames) == std::size(kPassings));
  auto index = static_cast<size_t>(passing);
  return index < std::size(kNames) ? kNames[index] : L"?";
}

STDMETHODIMP UnrelatedObject::QueryInterface(REFIID iid, void** out) {
  return formsrt::QueryObject<IDispatch>(this, iid, out);
}

STDMETHODIMP UnrelatedObject::GetTypeInfoCount(UINT* count) {
  if (!count) return E_POINTER;
  *count = 0;
  return S_OK;
}

formsrt::Variant MakeBadValue(BadValue kind, const ValueObjects& objects) {
  switch (kind) {
    case BadValue::Empty:
      return formsrt::Variant();
    case BadValue::Null: {
      formsrt::Variant null;
      V_VT(null.Put()) = VT_NULL;
      return null;
    }
    case BadValue::Omitted:
      return formsrt::Variant::Omitted();
    case BadValue::NullDispatch:
      return NullPointer(VT_DISPATCH);
    case BadValue::NullText:
      return NullPointer(VT_BSTR);
    case BadValue::HugeText:
      return formsrt::Variant::FromText(std::wstring(kHugeTextLength, L'W'));
    case BadValue::UnrelatedObject:
      return formsrt::Variant::FromDispatch(objects.unrelated);
    case BadValue::Array:
      return ArrayOfThree();
    case BadValue::MinusOne:
      return formsrt::Variant::FromInt32(-1);
    case BadValue::LargestLong:
      return formsrt::Variant::FromInt32(std::numeric_limits<LONG>::max());
    case BadValue::SmallestLong:
      return formsrt::Variant::FromInt32(std::numeric_limits<LONG>::min());
    case BadValue::HugeDouble:
      return formsrt::Variant::FromDouble(1e300);
    case BadValue::RuntimeForm:
      return formsrt::Variant::FromDispatch(objects.form);
    case BadValue::FormMenu:
      return formsrt::Variant::FromDispatch(objects.menu);
    case BadValue::Picture:
      return formsrt::Variant::FromDispatch(objects.picture);
    case BadValue::ByNameForm:
      return formsrt::Variant::FromDispatch(objects.byNameForm);
  }
  return formsrt::Variant();
}

formsrt::Variant PlausibleValue(ITypeInfo* owner, const TYPEDESC& type) {
  switch (type.vt) {
    case VT_BSTR:
      return formsrt::Variant::FromText(L"1");
    case VT_BOOL:
      return formsrt::Variant::FromBool(false);
    case VT_DISPATCH:
      return NullPointer(VT_DISPATCH);
    case VT_UNKNOWN:
      return NullPointer(VT_UNKNOWN);
    case VT_PTR:
      return NullPointer(VT_DISPATCH);  // an interface pointer
    case VT_USERDEFINED:
      return IsEnumeration(owner, type.hreftype) ? formsrt::Variant::FromInt32(0)
                                                 : NullPointer(VT_DISPATCH);
    case VT_I2:
    case VT_UI1:
    case VT_I1:
    case VT_UI2:
      return formsrt::Variant::FromInt16(1);
    case VT_R4:
    case VT_R8:
      return formsrt::Variant::FromDouble(1);
    default:
      return formsrt::Variant::FromInt32(1);  // long, VARIANT and the rest
  }
}

}  // namespace hardening
