// The bad arguments that the dispatch fuzzer hands to every member, the real
// objects it hands them too (a form, a menu of it, a picture, a form of
// another runtime reached by name), the plausible
// values it puts in the other positions, and an unrelated object that counts
// the references taken on it.
#pragma once

#include <oaidl.h>
#include <windows.h>

#include <string>

#include "core/Variant.h"

namespace hardening {

enum class BadValue {
  Empty,
  Null,
  Omitted,
  NullDispatch,
  NullText,
  HugeText,
  UnrelatedObject,
  Array,
  MinusOne,
  LargestLong,
  SmallestLong,
  HugeDouble,
  RuntimeForm,
  FormMenu,
  Picture,
  ByNameForm,
};
inline constexpr BadValue kBadValues[] = {
    BadValue::Empty,       BadValue::Null,         BadValue::Omitted,     BadValue::NullDispatch,
    BadValue::NullText,    BadValue::HugeText,     BadValue::UnrelatedObject, BadValue::Array,
    BadValue::MinusOne,    BadValue::LargestLong,  BadValue::SmallestLong, BadValue::HugeDouble,
    BadValue::RuntimeForm, BadValue::FormMenu,     BadValue::Picture,      BadValue::ByNameForm};

// The real objects among the values: with one of them a member may succeed.
inline bool IsRealObject(BadValue value) {
  return value == BadValue::RuntimeForm || value == BadValue::FormMenu ||
         value == BadValue::Picture || value == BadValue::ByNameForm;
}

// How an argument reaches the member: as it is, as VT_VARIANT|VT_BYREF (what
// a script passes for a variable), or as a typed reference (VT_BSTR|VT_BYREF).
enum class Passing { ByValue, ByVariantReference, ByTypedReference };
inline constexpr Passing kPassings[] = {Passing::ByValue, Passing::ByVariantReference,
                                        Passing::ByTypedReference};

const wchar_t* NameOf(BadValue value);

// A value of `type` whose pointer is null: Nothing, a null BSTR, or with
// VT_BYREF a reference through a null pointer.
formsrt::Variant NullPointer(VARTYPE type);
const wchar_t* NameOf(Passing passing);

// An automation object that belongs to no library of ours: no type
// information, no members. It lives on the caller's stack and only counts.
class UnrelatedObject : public IDispatch {
 public:
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
  STDMETHODIMP_(ULONG) AddRef() override { return ++references; }
  STDMETHODIMP_(ULONG) Release() override { return --references; }
  STDMETHODIMP GetTypeInfoCount(UINT* count) override;
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return DISP_E_BADINDEX; }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
    return DISP_E_UNKNOWNNAME;
  }
  STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                      UINT*) override {
    return DISP_E_MEMBERNOTFOUND;
  }

  ULONG references = 1;  // the owner's own
};

// What the object values refer to.
struct ValueObjects {
  IDispatch* unrelated;
  IDispatch* form;
  IDispatch* menu;
  IDispatch* picture;
  IDispatch* byNameForm;
};

formsrt::Variant MakeBadValue(BadValue kind, const ValueObjects& objects);

// A value that a member would accept for a parameter of this type: "1" for
// text, 1 for numbers and variants, False, 0 for an enumeration, Nothing for
// an object. `type` is the parameter's type with one pointer level removed.
formsrt::Variant PlausibleValue(ITypeInfo* owner, const TYPEDESC& type);

}  // namespace hardening
