#include "StandinTestSupport.h"

#include <gtest/gtest.h>

namespace standin_tests {

formsrt::ComPtr<IDispatch> CreateByProgId(const wchar_t* progId) {
  CLSID clsid{};
  EXPECT_EQ(S_OK, ::CLSIDFromProgID(progId, &clsid)) << "is the stand-in registered?";
  formsrt::ComPtr<IDispatch> object;
  EXPECT_EQ(S_OK, ::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                                     object.PutVoid()));
  return object;
}

std::wstring TextOf(const formsrt::Variant& value) {
  EXPECT_EQ(VT_BSTR, value.Type());
  if (value.Type() != VT_BSTR) return L"<not a text>";
  BSTR text = V_BSTR(&value.Get());
  return {text ? text : L"", ::SysStringLen(text)};
}

LONG Int32Of(const formsrt::Variant& value) {
  EXPECT_EQ(VT_I4, value.Type());
  return V_I4(&value.Get());
}

}  // namespace standin_tests
