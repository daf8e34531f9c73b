// The arguments of one IDispatch::Invoke call, read in the caller's order
// (a property put's value comes last), looking through by-reference
// arguments. A missing or unconvertible argument raises the runtime error a
// client expects: 449 Argument not optional, 13 Type mismatch.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <list>
#include <string_view>

#include "core/Bstr.h"

namespace standins {

class DispatchArguments {
 public:
  // Refuses named arguments other than the value of a property put. The
  // parameters must not contradict themselves (HandwrittenDispatch checks).
  DispatchArguments(const DISPPARAMS& params, WORD flags);

  UINT Count() const { return count_; }
  // Raises error 450 (wrong number of arguments) unless Count() is expected.
  void RequireCount(UINT expected) const;

  LONG Int32(UINT position) const;
  bool Boolean(UINT position) const;
  // A null string is the empty text. The view lives as long as this object.
  std::wstring_view Text(UINT position) const;

 private:
  bool IsOmitted(UINT position) const;
  const VARIANT& At(UINT position) const;
  VARIANT Converted(UINT position, VARTYPE type) const;

  const VARIANT* args_;
  UINT count_;
  mutable std::list<formsrt::Bstr> convertedTexts_;
};

}  // namespace standins
