// Reading the optional VARIANT arguments of the list view's Add methods.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <string>

namespace standins {

// The stand-in appends only: an argument it does not support must be left
// out, or the call fails with error 5 naming it.
void RequireOmitted(const VARIANT& argument, const wchar_t* name);
// The text of an optional argument; empty when omitted; error 13 when it
// does not convert to text.
std::wstring OptionalText(const VARIANT& argument);

}  // namespace standins
