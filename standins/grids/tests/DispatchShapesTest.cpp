// Invoke with DISPPARAMS that contradict themselves or pass an argument by
// reference through a null pointer: the hand-dispatched grids refuse each
// with a DISP_E_ code, before any argument is read.
#include <gtest/gtest.h>

#include "GridDispatchIds.h"
#include "StandinTestSupport.h"
#include "core/Variant.h"

using namespace formsrt;
using namespace standin_tests;

namespace {

struct Member {
  const wchar_t* progId;
  DISPID id;
  WORD flags;
};

// A put and a method of each grid that read their arguments.
const Member kMembers[] = {
    {L"CorvantisGrid.cvntGrid", DISPID_CVNTGRID_ROWS, DISPATCH_PROPERTYPUT},
    {L"CorvantisGrid.cvntGrid", DISPID_CVNTGRID_ADDCOLUMN, DISPATCH_METHOD},
    {L"MSFlexGridLib.MSFlexGrid", DISPID_FLEXGRID_ROWS, DISPATCH_PROPERTYPUT},
    {L"MSFlexGridLib.MSFlexGrid", DISPID_FLEXGRID_TEXTMATRIX, DISPATCH_PROPERTYGET},
};

HRESULT Invoke(IDispatch* grid, const Member& member, DISPPARAMS* params, UINT* argErr = nullptr) {
  Variant result;
  return grid->Invoke(member.id, IID_NULL, LOCALE_USER_DEFAULT, member.flags, params,
                      result.Put(), nullptr, argErr);
}

VARIANT NullReference(VARTYPE type) {
  VARIANT reference;
  V_VT(&reference) = VT_BYREF | type;
  V_BYREF(&reference) = nullptr;
  return reference;
}

}  // namespace

TEST(DispatchShapes, ContradictoryParametersAreBadParameterCounts) {
  for (const Member& member : kMembers) {
    SCOPED_TRACE(testing::PrintToString(std::wstring(member.progId)) + " " +
                 std::to_string(member.id));
    ComPtr<IDispatch> grid = CreateByProgId(member.progId);
    ASSERT_TRUE(grid);
    VARIANT argument = Variant::FromInt32(1).Get();
    DISPID put = DISPID_PROPERTYPUT;
    DISPPARAMS argumentsMissing{nullptr, nullptr, 2, 0};
    DISPPARAMS namesMissing{&argument, nullptr, 1, 1};
    DISPPARAMS moreNamesThanArguments{&argument, &put, 1, 2};
    EXPECT_EQ(DISP_E_BADPARAMCOUNT, Invoke(grid.Get(), member, nullptr));
    EXPECT_EQ(DISP_E_BADPARAMCOUNT, Invoke(grid.Get(), member, &argumentsMissing));
    EXPECT_EQ(DISP_E_BADPARAMCOUNT, Invoke(grid.Get(), member, &namesMissing));
    EXPECT_EQ(DISP_E_BADPARAMCOUNT, Invoke(grid.Get(), member, &moreNamesThanArguments));
  }
}

TEST(DispatchShapes, ANullReferenceIsATypeMismatchAtItsArgument) {
  LONG row = 1;
  VARIANT rowReference = ByReference(row);
  VARIANT nullInside = NullReference(VT_I4);
  VARIANT variantToNull;
  V_VT(&variantToNull) = VT_BYREF | VT_VARIANT;
  V_VARIANTREF(&variantToNull) = &nullInside;
  for (const Member& member : kMembers) {
    ComPtr<IDispatch> grid = CreateByProgId(member.progId);
    ASSERT_TRUE(grid);
    for (VARIANT bad : {NullReference(VT_I4), NullReference(VT_BSTR), NullReference(VT_VARIANT),
                        variantToNull}) {
      SCOPED_TRACE(V_VT(&bad));
      // The null reference last in rgvarg: the first argument as the caller writes it.
      VARIANT arguments[] = {rowReference, bad};
      DISPID put = DISPID_PROPERTYPUT;
      bool isPut = member.flags == DISPATCH_PROPERTYPUT;
      DISPPARAMS params{arguments, isPut ? &put : nullptr, 2, isPut ? 1u : 0u};
      UINT argErr = 99;
      EXPECT_EQ(DISP_E_TYPEMISMATCH, Invoke(grid.Get(), member, &params, &argErr));
      EXPECT_EQ(1u, argErr);
    }
  }
}
