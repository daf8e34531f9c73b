// Checks of the DISPPARAMS that IDispatch::Invoke receives, made before
// anything reads the arguments or the names that they claim to have.
#pragma once

#include <oaidl.h>
#include <windows.h>

#include <optional>

namespace formsrt {

// No DISPPARAMS, arguments or names counted but not given, or more names
// than arguments.
bool ContradictoryDispatchParams(const DISPPARAMS* params);

// The position in rgvarg of the first argument passed by reference through
// a null pointer, looking through references to variants; the parameters
// must not contradict themselves.
std::optional<UINT> NullReferenceArgument(const DISPPARAMS& params);

}  // namespace formsrt
