// What the dispatch fuzzer reads of an object's type information: its
// members, the arguments a caller passes them, and the type they return.
#pragma once

#include <oaidl.h>
#include <windows.h>

#include <string>
#include <vector>

#include "core/Variant.h"

namespace hardening {

struct MemberDescription {
  DISPID id;
  std::wstring name;
  INVOKEKIND kind;
  // One per parameter that a caller passes (not the result, not the locale).
  std::vector<formsrt::Variant> plausibleArguments;
  std::vector<bool> byReference;
  // The VARIANT type a success returns: VT_EMPTY for none, VT_VARIANT for
  // any, VT_DISPATCH for an object (VT_UNKNOWN accepted).
  VARTYPE result;
};

// The members of the object's dispatch type information, without the
// restricted ones (IUnknown's and IDispatch's own).
std::vector<MemberDescription> DispatchMembers(IDispatch* object);

// Whether a result of that VARIANT type is what the member declares.
bool IsDeclaredResult(VARTYPE declared, VARTYPE returned);

}  // namespace hardening
