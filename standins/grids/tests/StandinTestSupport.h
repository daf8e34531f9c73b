// Helpers of the stand-ins' tests: creating a stand-in by ProgID as the
// program does, catching the run-time error of a late-bound call, and filling
// a list view's collections as the program does.
#pragma once

#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "com/ComPtr.h"
#include "com/EarlyBound.h"
#include "com/LateBound.h"
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

// A list view's collection, fetched by DISPID (7 the items, 2 the column headers).
template <class Interface>
formsrt::ComPtr<Interface> Collection(IDispatch* listView, DISPID id) {
  formsrt::Variant held = formsrt::GetProperty(listView, id);
  formsrt::ComPtr<Interface> collection;
  HRESULT hr = formsrt::RequireObject(held.Get())->QueryInterface(__uuidof(Interface), collection.PutVoid());
  EXPECT_EQ(S_OK, hr);
  formsrt::CheckCall(hr);  // what follows would call through a null collection
  return collection;
}

// An item or a column header added with its text alone.
template <class Added, class Collection>
formsrt::ComPtr<Added> AddWithText(Collection* collection, const std::wstring& text) {
  const VARIANT omitted = formsrt::Variant::Omitted().Get();
  formsrt::ComPtr<Added> added;
  formsrt::CheckCall(collection->Add(omitted, omitted, formsrt::Variant::FromText(text).Get(), omitted, omitted,
                                     added.Put()));
  return added;
}

template <class Collection>
LONG CountOf(const Collection& collection) {
  LONG count = -1;
  formsrt::CheckCall(collection->get_Count(&count));
  return count;
}

}  // namespace standin_tests
