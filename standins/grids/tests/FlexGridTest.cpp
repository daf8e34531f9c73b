// The flex grid stand-in through late binding, as the program calls it.
#include <gtest/gtest.h>

#include "StandinTestSupport.h"
#include "com/LateBound.h"

using namespace formsrt;
using namespace standin_tests;

namespace {

constexpr DISPID kText = 0, kRows = 4, kCols = 5, kFixedRows = 6, kFixedCols = 7, kRow = 10,
                 kCol = 11, kRedraw = 25, kTextMatrix = 0x100;

class FlexGridTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(grid_ = CreateByProgId(L"MSFlexGridLib.MSFlexGrid")); }
  void Put(DISPID id, const VARIANT& value) { PutProperty(grid_.Get(), id, value); }
  LONG Get(DISPID id) { return Int32Of(GetProperty(grid_.Get(), id)); }
  std::wstring Cell(LONG row, LONG column) {
    return TextOf(GetProperty(grid_.Get(), kTextMatrix,
                              {Variant::FromInt32(row).Get(), Variant::FromInt32(column).Get()}));
  }
  ComPtr<IDispatch> grid_;
};

}  // namespace

TEST_F(FlexGridTest, TakesTheProgramsSequenceAndHoldsWhatItWasGiven) {
  EXPECT_EQ(2, Get(kRows));
  EXPECT_EQ(2, Get(kCols));
  EXPECT_EQ(1, Get(kFixedRows));
  EXPECT_EQ(1, Get(kFixedCols));

  Put(kRedraw, Variant::FromBool(false).Get());
  Put(kCols, Variant::FromInt32(10).Get());
  Put(kFixedCols, Variant::FromInt32(0).Get());
  Put(kRows, Variant::FromInt32(3).Get());
  Put(kRow, Variant::FromInt32(0).Get());
  for (LONG c = 1; c <= 10; ++c) {
    Put(kCol, Variant::FromInt32(c - 1).Get());
    Put(kText, Variant::FromText(L"Col" + std::to_wstring(c)).Get());
  }
  Put(kFixedRows, Variant::FromInt32(1).Get());
  for (LONG i = 1; i <= 2; ++i) {
    for (LONG c = 1; c <= 10; ++c) {
      Put(kRow, ByReference(i));
      Put(kCol, Variant::FromInt32(c - 1).Get());
      Put(kText, Variant::FromText(L"Row" + std::to_wstring(i) + L";Col" + std::to_wstring(c)).Get());
    }
  }
  Put(kRedraw, Variant::FromBool(true).Get());

  EXPECT_EQ(VARIANT_TRUE, V_BOOL(&GetProperty(grid_.Get(), kRedraw).Get()));
  EXPECT_EQ(3, Get(kRows));
  EXPECT_EQ(10, Get(kCols));
  EXPECT_EQ(1, Get(kFixedRows));
  EXPECT_EQ(0, Get(kFixedCols));
  EXPECT_EQ(2, Get(kRow));
  EXPECT_EQ(9, Get(kCol));
  EXPECT_EQ(L"Row2;Col10", TextOf(GetProperty(grid_.Get(), kText)));
  EXPECT_EQ(L"Col1", Cell(0, 0));
  EXPECT_EQ(L"Row1;Col1", Cell(1, 0));
  EXPECT_EQ(L"Row2;Col5", Cell(2, 4));
  // The type library gives the same DISPIDs by name.
  EXPECT_EQ(kTextMatrix, LookupMember(grid_.Get(), L"TextMatrix"));
  EXPECT_EQ(kRedraw, LookupMember(grid_.Get(), L"redraw"));

  // Re-dimensioning keeps the cells that remain; shrinking below the fixed
  // rows lowers them so that a grid of only its header row stays valid.
  Put(kRows, Variant::FromInt32(1).Get());
  EXPECT_EQ(L"Col3", Cell(0, 2));
  EXPECT_EQ(0, Get(kRow));
  Put(kRows, Variant::FromInt32(0).Get());
  EXPECT_EQ(0, Get(kFixedRows));
}

TEST_F(FlexGridTest, WrongArgumentsGiveClearAutomationErrors) {
  RuntimeError row = CaughtError([&] { Put(kRow, Variant::FromInt32(2).Get()); });
  EXPECT_EQ(error::InvalidPropertyValue, row.Number());
  EXPECT_EQ(L"Invalid Row value 2: it must be 0 to 1", row.Description());
  EXPECT_EQ(error::InvalidPropertyValue, CaughtError([&] { Put(kCol, Variant::FromInt32(-1).Get()); }).Number());
  EXPECT_EQ(error::InvalidPropertyValue, CaughtError([&] { Put(kRows, Variant::FromInt32(-1).Get()); }).Number());
  EXPECT_EQ(error::InvalidPropertyValue, CaughtError([&] { Put(kFixedRows, Variant::FromInt32(3).Get()); }).Number());
  EXPECT_EQ(error::InvalidPropertyValue, CaughtError([&] { Put(kFixedCols, Variant::FromInt32(3).Get()); }).Number());
  EXPECT_EQ(error::TypeMismatch, CaughtError([&] { Put(kRow, Variant::FromText(L"two").Get()); }).Number());
  VARIANT notText;  // an object without a default value
  V_VT(&notText) = VT_UNKNOWN;
  V_UNKNOWN(&notText) = grid_.Get();
  EXPECT_EQ(error::TypeMismatch, CaughtError([&] { Put(kText, notText); }).Number());
  EXPECT_EQ(error::SubscriptOutOfRange, CaughtError([&] { Cell(2, 0); }).Number());
  EXPECT_EQ(error::WrongArgumentCount, CaughtError([&] {
              GetProperty(grid_.Get(), kTextMatrix, {Variant::FromInt32(0).Get()});
            }).Number());
  EXPECT_EQ(error::MemberNotSupported, CaughtError([&] { Put(kTextMatrix, Variant::FromInt32(0).Get()); }).Number());
  EXPECT_EQ(error::MemberNotSupported, CaughtError([&] { Get(999); }).Number());
  // Nothing changed on the way.
  EXPECT_EQ(2, Get(kRows));
  EXPECT_EQ(1, Get(kRow));
}

TEST_F(FlexGridTest, ARefusedCallLeavesTheResultEmpty) {
  for (REFIID wrong : {IID_IUnknown, IID_IDispatch}) {
    VARIANT result;
    V_VT(&result) = VT_I4;
    V_I4(&result) = 0x5EED;
    DISPPARAMS none{};
    EXPECT_EQ(DISP_E_UNKNOWNINTERFACE,
              grid_->Invoke(kRows, wrong, 0, DISPATCH_PROPERTYGET, &none, &result, nullptr, nullptr));
    EXPECT_EQ(VT_EMPTY, V_VT(&result));
  }
}
