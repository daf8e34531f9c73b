// Helpers of the stand-ins' tests: creating a stand-in by ProgID as the
// program does, and catching the run-time error of a late-bound call.
#pragma once

#include <windows.h>

#include <string>

#include "com/ComPtr.h"
#include "core/RuntimeError.h"
#include "core/Variant.h"

namespace standin_tests {

formsrt::ComPtr<IDispatch> CreateByProgId(const wchar_t* progId);

template <class Body>
formsrt::RuntimeError CaughtError(Body&& body) {
  try {
    body();
  } catch (const formsrt::RuntimeError& e) {
    return e;
  }
  return formsrt::RuntimeError(0, L"nothing raised");
}

// A 32-bit variable passed by reference, as the program passes its counters.
inline VARIANT ByReference(LONG& variable) {
  VARIANT reference;
  V_VT(&reference) = VT_BYREF | VT_I4;
  V_I4REF(&reference) = &variable;
  return reference;
}

std::wstring TextOf(const formsrt::Variant& value);
LONG Int32Of(const formsrt::Variant& value);

}  // namespace standin_tests
