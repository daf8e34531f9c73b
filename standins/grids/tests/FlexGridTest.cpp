// The flex grid stand-in through late binding, as the program calls it.
#include <gtest/gtest.h>

#include <utility>

#include "GridDispatchIds.h"
#include "StandinTestSupport.h"
#include "com/LateBound.h"

using namespace formsrt;
using namespace standin_tests;

namespace {

class FlexGridTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(grid_ = CreateByProgId(L"MSFlexGridLib.MSFlexGrid")); }
  void Put(DISPID id, const VARIANT& value) { PutProperty(grid_.Get(), id, value); }
  LONG Get(DISPID id) { return Int32Of(GetProperty(grid_.Get(), id)); }
  std::wstring Cell(LONG row, LONG column) {
    return TextOf(GetProperty(grid_.Get(), DISPID_FLEXGRID_TEXTMATRIX,
                              {Variant::FromInt32(row).Get(), Variant::FromInt32(column).Get()}));
  }
  ComPtr<IDispatch> grid_;
};

}  // namespace

TEST_F(FlexGridTest, TakesTheProgramsSequenceAndHoldsWhatItWasGiven) {
  EXPECT_EQ(2, Get(DISPID_FLEXGRID_ROWS));
  EXPECT_EQ(2, Get(DISPID_FLEXGRID_COLS));
  EXPECT_EQ(1, Get(DISPID_FLEXGRID_FIXEDROWS));
  EXPECT_EQ(1, Get(DISPID_FLEXGRID_FIXEDCOLS));

  Put(DISPID_FLEXGRID_REDRAW, Variant::FromBool(false).Get());
  Put(DISPID_FLEXGRID_COLS, Variant::FromInt32(10).Get());
  Put(DISPID_FLEXGRID_FIXEDCOLS, Variant::FromInt32(0).Get());
  Put(DISPID_FLEXGRID_ROWS, Variant::FromInt32(3).Get());
  Put(DISPID_FLEXGRID_ROW, Variant::FromInt32(0).Get());
  for (LONG c = 1; c <= 10; ++c) {
    Put(DISPID_FLEXGRID_COL, Variant::FromInt32(c - 1).Get());
    Put(DISPID_FLEXGRID_TEXT, Variant::FromText(L"Col" + std::to_wstring(c)).Get());
  }
  Put(DISPID_FLEXGRID_FIXEDROWS, Variant::FromInt32(1).Get());
  for (LONG i = 1; i <= 2; ++i) {
    for (LONG c = 1; c <= 10; ++c) {
      Put(DISPID_FLEXGRID_ROW, ByReference(i));
      Put(DISPID_FLEXGRID_COL, Variant::FromInt32(c - 1).Get());
      Put(DISPID_FLEXGRID_TEXT,
          Variant::FromText(L"Row" + std::to_wstring(i) + L";Col" + std::to_wstring(c)).Get());
    }
  }
  Put(DISPID_FLEXGRID_REDRAW, Variant::FromBool(true).Get());

  EXPECT_EQ(VARIANT_TRUE, V_BOOL(&GetProperty(grid_.Get(), DISPID_FLEXGRID_REDRAW).Get()));
  EXPECT_EQ(3, Get(DISPID_FLEXGRID_ROWS));
  EXPECT_EQ(10, Get(DISPID_FLEXGRID_COLS));
  EXPECT_EQ(1, Get(DISPID_FLEXGRID_FIXEDROWS));
  EXPECT_EQ(0, Get(DISPID_FLEXGRID_FIXEDCOLS));
  EXPECT_EQ(2, Get(DISPID_FLEXGRID_ROW));
  EXPECT_EQ(9, Get(DISPID_FLEXGRID_COL));
  EXPECT_EQ(L"Row2;Col10", TextOf(GetProperty(grid_.Get(), DISPID{DISPID_FLEXGRID_TEXT})));
  EXPECT_EQ(L"Col1", Cell(0, 0));
  EXPECT_EQ(L"Row1;Col1", Cell(1, 0));
  EXPECT_EQ(L"Row2;Col5", Cell(2, 4));
  // The type library gives the same DISPIDs by name.
  EXPECT_EQ(DISPID_FLEXGRID_TEXTMATRIX, LookupMember(grid_.Get(), L"TextMatrix"));
  EXPECT_EQ(DISPID_FLEXGRID_REDRAW, LookupMember(grid_.Get(), L"redraw"));

  // Re-dimensioning keeps the cells that remain; shrinking below the fixed
  // rows lowers them so that a grid of only its header row stays valid.
  Put(DISPID_FLEXGRID_ROWS, Variant::FromInt32(1).Get());
  EXPECT_EQ(L"Col3", Cell(0, 2));
  EXPECT_EQ(0, Get(DISPID_FLEXGRID_ROW));
  Put(DISPID_FLEXGRID_ROWS, Variant::FromInt32(0).Get());
  EXPECT_EQ(0, Get(DISPID_FLEXGRID_FIXEDROWS));
}

TEST_F(FlexGridTest, WrongArgumentsGiveClearAutomationErrors) {
  RuntimeError row = CaughtError([&] { Put(DISPID_FLEXGRID_ROW, Variant::FromInt32(2).Get()); });
  EXPECT_EQ(error::InvalidPropertyValue, row.Number());
  EXPECT_EQ(L"Invalid Row value 2: it must be 0 to 1", row.Description());
  const std::pair<DISPID, LONG> invalid[] = {{DISPID_FLEXGRID_COL, -1}, {DISPID_FLEXGRID_ROWS, -1},
                                             {DISPID_FLEXGRID_FIXEDROWS, 3}, {DISPID_FLEXGRID_FIXEDCOLS, 3}};
  for (const auto& [id, value] : invalid) {
    EXPECT_EQ(error::InvalidPropertyValue, CaughtError([&] { Put(id, Variant::FromInt32(value).Get()); }).Number())
        << id << " = " << value;
  }
  EXPECT_EQ(error::TypeMismatch, CaughtError([&] {
                                   Put(DISPID_FLEXGRID_ROW, Variant::FromText(L"two").Get());
                                 }).Number());
  VARIANT notText;  // an object without a default value
  V_VT(&notText) = VT_UNKNOWN;
  V_UNKNOWN(&notText) = grid_.Get();
  EXPECT_EQ(error::TypeMismatch, CaughtError([&] { Put(DISPID_FLEXGRID_TEXT, notText); }).Number());
  EXPECT_EQ(error::SubscriptOutOfRange, CaughtError([&] { Cell(2, 0); }).Number());
  EXPECT_EQ(error::WrongArgumentCount, CaughtError([&] {
                                         GetProperty(grid_.Get(), DISPID_FLEXGRID_TEXTMATRIX,
                                                     {Variant::FromInt32(0).Get()});
                                       }).Number());
  EXPECT_EQ(
      error::MemberNotSupported,
      CaughtError([&] { Put(DISPID_FLEXGRID_TEXTMATRIX, Variant::FromInt32(0).Get()); }).Number());
  EXPECT_EQ(error::MemberNotSupported, CaughtError([&] { Get(999); }).Number());
  // Nothing changed on the way.
  EXPECT_EQ(2, Get(DISPID_FLEXGRID_ROWS));
  EXPECT_EQ(1, Get(DISPID_FLEXGRID_ROW));
}

TEST_F(FlexGridTest, ARefusedCallLeavesTheResultEmpty) {
  for (REFIID wrong : {IID_IUnknown, IID_IDispatch}) {
    VARIANT result;
    V_VT(&result) = VT_I4;
    V_I4(&result) = 0x5EED;
    DISPPARAMS none{};
    EXPECT_EQ(DISP_E_UNKNOWNINTERFACE,
              grid_->Invoke(DISPID_FLEXGRID_ROWS, wrong, 0, DISPATCH_PROPERTYGET, &none, &result,
                            nullptr, nullptr));
    EXPECT_EQ(VT_EMPTY, V_VT(&result));
  }
}
