// Persistence helpers for a control's properties in its container's property
// bag, each with a default: a value equal to its default is not written, and
// a value that the bag lacks reads as its default.
#pragma once

#include <windows.h>
#include <ocidl.h>

#include <string_view>

#include "com/Variant.h"

namespace formsrt {

// The value stored under `name`, converted to the default's type by the
// runtime's rules (error 13 when it cannot be, 6 when it does not fit); the
// default when the bag holds nothing under that name. An Empty default
// takes the stored value as it is.
Variant ReadProperty(IPropertyBag* bag, std::wstring_view name, const Variant& defaultValue);

// Stores `value` under `name` unless it equals the default.
void WriteProperty(IPropertyBag* bag, std::wstring_view name, const Variant& value,
                   const Variant& defaultValue);

}  // namespace formsrt
