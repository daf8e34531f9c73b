// A caller's variable handed to a member by reference: typed, as a compiled
// client passes it (VT_I2|VT_BYREF, ...), or as a script passes a variable
// (VT_VARIANT|VT_BYREF).
#pragma once

#include <windows.h>
#include <oleauto.h>

#include "core/Variant.h"

namespace testing_support {

inline VARIANT ByReference(VARTYPE type, void* variable) {
  VARIANT reference;
  V_VT(&reference) = static_cast<VARTYPE>(VT_BYREF | type);
  V_BYREF(&reference) = variable;
  return reference;
}

inline VARIANT ByReference(formsrt::Variant& variable) { return ByReference(VT_VARIANT, variable.Raw()); }

}  // namespace testing_support
