// Late-bound calls on outside automation objects, by name or by DISPID,
// with failures mapped to the runtime's error numbers: no object 424, a null
// reference 91, an unknown member 438, and the callee's own error otherwise.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <initializer_list>
#include <span>

#include "com/ComPtr.h"
#include "core/Variant.h"

namespace formsrt {

// The object that a VARIANT holds (looking through VT_BYREF): raises 424 when
// it holds no object and 91 when it holds a null reference.
ComPtr<IDispatch> RequireObject(const VARIANT& holder);

// The member's DISPID, found as the object's own language finds it (see
// LateBound.cpp); raises 438 for a name the object does not know.
DISPID LookupMember(IDispatch* object, const wchar_t* name);
// Whether the object knows the name, found the same way.
bool KnowsMember(IDispatch* object, const wchar_t* name);

// Arguments are given in their natural order; a VT_BYREF argument lets the
// callee write into the caller's storage.
Variant InvokeMember(IDispatch* object, DISPID member, WORD flags,
                     std::span<const VARIANT> arguments);

Variant GetProperty(IDispatch* object, DISPID member, std::initializer_list<VARIANT> indexes = {});
Variant GetProperty(IDispatch* object, const wchar_t* name);
void PutProperty(IDispatch* object, DISPID member, const VARIANT& value,
                 std::initializer_list<VARIANT> indexes = {});
void PutProperty(IDispatch* object, const wchar_t* name, const VARIANT& value);
Variant CallMethod(IDispatch* object, DISPID member, std::initializer_list<VARIANT> arguments = {});
Variant CallMethod(IDispatch* object, const wchar_t* name,
                   std::initializer_list<VARIANT> arguments = {});

// Raises the runtime error that a failed IDispatch::Invoke stands for.
[[noreturn]] void RaiseInvokeFailure(HRESULT hr, EXCEPINFO& excepInfo);

}  // namespace formsrt
