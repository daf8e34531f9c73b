// What the soak knows of a class: how to create it, what one use of a
// created object is, and the members that may be called over and over
// without harm.
#pragma once

#include <windows.h>

#include <oaidl.h>

#include <functional>
#include <vector>

#include "Hookwatch.h"
#include "com/ComPtr.h"
#include "core/Variant.h"

namespace soak {

// Throws (a run-time error of the runtime) when the call fails.
using Call = std::function<void(IDispatch* object)>;

struct MemberCall {
  const wchar_t* name;
  Call call;
};

struct SoakedClass {
  const wchar_t* name;
  CLSID clsid;
  const wchar_t* progId;
  bool isControl;  // also created, used and released inside a container
  Call use;        // what every creation does before the object is released
  // In an order that leaves the object as it found it, so that a long run
  // accumulates nothing the object is meant to keep.
  std::vector<MemberCall> members;
};

// What the calls work on: the soak program's own form and its menu, and the
// client for the subclassing component.
struct SoakHost {
  formsrt::ComPtr<IDispatch> form;
  formsrt::ComPtr<IDispatch> menu;
  HWND formWindow;
  formsrt::ComPtr<ISubClass> subClassClient;
};

// How a late-bound call passes its arguments: each is a fresh copy of the
// given value, passed as a script passes a variable (VT_VARIANT|VT_BYREF), as
// a compiled client passes a typed reference (VT_I4|VT_BYREF, ...), or by value.
enum class Passing { Variable, TypedReference, Value };

// Calls by name; a property put takes the value as its last argument.
Call Method(const wchar_t* name, std::vector<formsrt::Variant> arguments = {},
            Passing passing = Passing::Variable);
// A method whose result `check` examines; it throws when the result is a failure.
using ResultCheck = std::function<void(const formsrt::Variant& result)>;
Call CheckedMethod(const wchar_t* name, std::vector<formsrt::Variant> arguments, ResultCheck check);
Call Get(const wchar_t* name);
Call Put(const wchar_t* name, std::vector<formsrt::Variant> arguments,
         Passing passing = Passing::Value);
// A member of the object that the property `holder` (with its indexes) returns.
Call Through(const wchar_t* holder, std::vector<formsrt::Variant> indexes, Call call);
// The calls one after the other.
Call Each(std::vector<Call> calls);
// The object drawn into a memory device context through IViewObject::Draw,
// as a container draws a control that is not in place.
Call Drawn();

// Every class the soak covers, by soak module.
std::vector<SoakedClass> VanterboxClasses(const SoakHost& host);
std::vector<SoakedClass> HookwatchClasses(const SoakHost& host);
std::vector<SoakedClass> QuennetClasses(const SoakHost& host);
std::vector<SoakedClass> GridClasses(const SoakHost& host);

}  // namespace soak
