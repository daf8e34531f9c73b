#include <gtest/gtest.h>

#include "CellStore.h"
#include "com/RuntimeError.h"

using namespace standins;
using formsrt::RuntimeError;

namespace {

long ErrorNumberOf(void (*body)(CellStore&), CellStore& store) {
  try {
    body(store);
  } catch (const RuntimeError& e) {
    return e.Number();
  }
  return 0;
}

}  // namespace

TEST(CellStore, KeepsTextsPerCellThroughGrowthOfRowsAndColumns) {
  CellStore store;
  store.SetRowCount(2);
  store.SetColumnCount(2);
  store.SetText(0, 0, L"a");
  store.SetText(1, 1, L"d");
  store.SetColumnCount(3);  // the layout changes: texts stay at their cells
  store.SetText(1, 2, L"f");
  EXPECT_EQ(L"a", store.Text(0, 0));
  EXPECT_EQ(L"", store.Text(0, 1));
  EXPECT_EQ(L"d", store.Text(1, 1));
  EXPECT_EQ(L"f", store.Text(1, 2));
  store.SetRowCount(1);
  store.SetRowCount(2);  // a dropped row comes back empty
  EXPECT_EQ(L"", store.Text(1, 1));
  store.SetColumnCount(1);
  EXPECT_EQ(L"a", store.Text(0, 0));
}

TEST(CellStore, RefusesCellsOutsideAndNegativeCounts) {
  CellStore store;
  store.SetRowCount(3);
  store.SetColumnCount(2);
  EXPECT_EQ(formsrt::error::SubscriptOutOfRange,
            ErrorNumberOf([](CellStore& s) { s.SetText(3, 0, L"x"); }, store));
  EXPECT_EQ(formsrt::error::SubscriptOutOfRange,
            ErrorNumberOf([](CellStore& s) { s.Text(0, -1); }, store));
  EXPECT_EQ(formsrt::error::InvalidPropertyValue,
            ErrorNumberOf([](CellStore& s) { s.SetRowCount(-1); }, store));
  EXPECT_EQ(formsrt::error::OutOfMemory,
            ErrorNumberOf([](CellStore& s) { s.SetRowCount(0x7FFFFFFF); }, store));
  EXPECT_FALSE(store.Contains(0, 2));
  EXPECT_TRUE(store.Contains(2, 1));
}

TEST(CellStore, OverwritingManyTimesKeepsOnlyTheLatestTexts) {
  CellStore store;
  store.SetRowCount(100);
  store.SetColumnCount(10);
  for (int round = 0; round < 200; ++round) {
    for (LONG row = 0; row < 100; ++row) {
      for (LONG column = 0; column < 10; ++column) {
        store.SetText(row, column, L"R" + std::to_wstring(round) + L"C" + std::to_wstring(column));
      }
    }
  }
  EXPECT_EQ(L"R199C7", store.Text(42, 7));
  store.ClearTexts();
  EXPECT_EQ(100, store.RowCount());
  EXPECT_EQ(L"", store.Text(42, 7));
  store.Clear();
  EXPECT_EQ(0, store.RowCount());
  EXPECT_EQ(0, store.ColumnCount());
}
