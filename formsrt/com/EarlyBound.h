// Calls through an outside object's own (vtable) interface: a failed call
// raises the run-time error it carries, with the object's description when
// it set one (IErrorInfo), as late-bound calls do.
#pragma once

#include <windows.h>

namespace formsrt {

// Raises for a failed HRESULT; returns quietly otherwise.
void CheckCall(HRESULT hr);

}  // namespace formsrt
