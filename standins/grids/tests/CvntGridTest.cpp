// The cvntGrid stand-in through late binding, as the program calls it.
#include <gtest/gtest.h>

#include "GridDispatchIds.h"
#include "StandinTestSupport.h"
#include "com/LateBound.h"

using namespace formsrt;
using namespace standin_tests;

namespace {

VARIANT NullString() {
  VARIANT text;
  V_VT(&text) = VT_BSTR;
  V_BSTR(&text) = nullptr;
  return text;
}

class CvntGridTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(grid_ = CreateByProgId(L"CorvantisGrid.cvntGrid")); }

  void Fill(LONG rows) {
    PutProperty(grid_.Get(), DISPID_CVNTGRID_REDRAW, Variant::FromBool(false).Get());
    CallMethod(grid_.Get(), DISPID_CVNTGRID_CLEAR, {Variant::FromBool(true).Get()});
    for (LONG c = 1; c <= 3; ++c) {
      CallMethod(grid_.Get(), DISPID_CVNTGRID_ADDCOLUMN,
                 {NullString(), Variant::FromText(L"Col" + std::to_wstring(c)).Get()});
    }
    PutProperty(grid_.Get(), DISPID_CVNTGRID_ROWS, ByReference(rows));
    for (LONG i = 1; i <= rows; ++i) {
      for (LONG c = 1; c <= 3; ++c) {
        SetCell(i, c, L"Row" + std::to_wstring(i) + L";Col" + std::to_wstring(c));
      }
    }
    PutProperty(grid_.Get(), DISPID_CVNTGRID_REDRAW, Variant::FromBool(true).Get());
  }
  void SetCell(LONG row, LONG column, const std::wstring& text) {
    PutProperty(grid_.Get(), DISPID_CVNTGRID_CELLTEXT, Variant::FromText(text).Get(),
                {ByReference(row), ByReference(column)});
  }
  std::wstring Cell(LONG row, LONG column) {
    return TextOf(GetProperty(grid_.Get(), DISPID_CVNTGRID_CELLTEXT,
                              {ByReference(row), ByReference(column)}));
  }
  LONG Get(DISPID id) { return Int32Of(GetProperty(grid_.Get(), id)); }

  ComPtr<IDispatch> grid_;
};

}  // namespace

TEST_F(CvntGridTest, TakesTheProgramsSequenceAndHoldsWhatItWasGiven) {
  Fill(4);
  EXPECT_EQ(4, Get(DISPID_CVNTGRID_ROWS));
  EXPECT_EQ(3, Get(DISPID_CVNTGRID_COLS));
  EXPECT_EQ(L"Col2", TextOf(GetProperty(grid_.Get(), DISPID_CVNTGRID_COLUMNHEADER,
                                        {Variant::FromInt32(2).Get()})));
  EXPECT_EQ(L"Row1;Col1", Cell(1, 1));
  EXPECT_EQ(L"Row4;Col3", Cell(4, 3));

  Fill(2);  // the clear resets rows and columns: nothing accumulates
  EXPECT_EQ(2, Get(DISPID_CVNTGRID_ROWS));
  EXPECT_EQ(3, Get(DISPID_CVNTGRID_COLS));
  EXPECT_EQ(L"Row2;Col3", Cell(2, 3));

  // Clear with False empties the cells and keeps rows, columns and headers.
  CallMethod(grid_.Get(), DISPID_CVNTGRID_CLEAR, {Variant::FromBool(false).Get()});
  EXPECT_EQ(2, Get(DISPID_CVNTGRID_ROWS));
  EXPECT_EQ(L"", Cell(2, 3));
  EXPECT_EQ(L"Col3", TextOf(GetProperty(grid_.Get(), DISPID_CVNTGRID_COLUMNHEADER,
                                        {Variant::FromInt32(3).Get()})));

  // Row counts and cell indexes by value are accepted too.
  PutProperty(grid_.Get(), DISPID_CVNTGRID_ROWS, Variant::FromInt32(0).Get());
  EXPECT_EQ(0, Get(DISPID_CVNTGRID_ROWS));
}

TEST_F(CvntGridTest, WrongArgumentsGiveClearAutomationErrors) {
  Fill(2);
  RuntimeError row = CaughtError([&] { SetCell(3, 1, L"x"); });
  EXPECT_EQ(error::SubscriptOutOfRange, row.Number());
  EXPECT_EQ(L"Row 3 is outside the grid's rows 1 to 2", row.Description());
  EXPECT_EQ(error::SubscriptOutOfRange, CaughtError([&] { SetCell(0, 1, L"x"); }).Number());
  EXPECT_EQ(error::SubscriptOutOfRange, CaughtError([&] { SetCell(1, 4, L"x"); }).Number());
  EXPECT_EQ(error::SubscriptOutOfRange, CaughtError([&] { Cell(1, 0); }).Number());
  RuntimeError negative = CaughtError(
      [&] { PutProperty(grid_.Get(), DISPID_CVNTGRID_ROWS, Variant::FromInt32(-1).Get()); });
  EXPECT_EQ(error::InvalidPropertyValue, negative.Number());
  EXPECT_EQ(L"The row count cannot be negative: -1", negative.Description());
  EXPECT_EQ(error::TypeMismatch, CaughtError([&] {
                                   PutProperty(grid_.Get(), DISPID_CVNTGRID_ROWS,
                                               Variant::FromText(L"many").Get());
                                 }).Number());
  EXPECT_EQ(error::WrongArgumentCount, CaughtError([&] {
                                         CallMethod(grid_.Get(), DISPID_CVNTGRID_ADDCOLUMN,
                                                    {Variant::FromText(L"only one").Get()});
                                       }).Number());
  EXPECT_EQ(error::ArgumentNotOptional, CaughtError([&] {
                                          CallMethod(grid_.Get(), DISPID_CVNTGRID_CLEAR,
                                                     {Variant::Omitted().Get()});
                                        }).Number());
  EXPECT_EQ(error::MemberNotSupported, CaughtError([&] {
                                         PutProperty(grid_.Get(), DISPID_CVNTGRID_COLS,
                                                     Variant::FromInt32(3).Get());
                                       }).Number());
  EXPECT_EQ(L"Row2;Col3", Cell(2, 3));  // nothing changed on the way
}
