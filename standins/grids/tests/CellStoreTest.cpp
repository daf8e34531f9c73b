#include <gtest/gtest.h>

#include <string>

#include "CellStore.h"
#include "FailingAllocations.h"
#include "core/RuntimeError.h"

using namespace standins;
using formsrt::RuntimeError;
using standin_tests::EveryAllocationFailingInTurn;
using standin_tests::FailingAllocation;

namespace {

long ErrorNumberOf(void (*body)(CellStore&), CellStore& store) {
  try {
    body(store);
  } catch (const RuntimeError& e) {
    return e.Number();
  }
  return 0;
}

std::wstring PositionText(LONG row, LONG column) {
  return std::to_wstring(row) + L"," + std::to_wstring(column);
}

// Every cell of rows x columns holds its own position, "row,column".
void FillWithPositions(CellStore& store, LONG rows, LONG columns) {
  store.SetRowCount(rows);
  store.SetColumnCount(columns);
  for (LONG row = 0; row < rows; ++row) {
    for (LONG column = 0; column < columns; ++column) store.SetText(row, column, PositionText(row, column));
  }
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

TEST(CellStore, FewerColumnsKeepEachRowsFirstCellsAndWhatGrowsBackIsEmpty) {
  CellStore store;
  FillWithPositions(store, 3, 3);
  store.SetColumnCount(2);
  store.SetRowCount(5);
  store.SetColumnCount(3);
  for (LONG row = 0; row < 5; ++row) {
    for (LONG column = 0; column < 3; ++column) {
      bool kept = row < 3 && column < 2;
      EXPECT_EQ(kept ? PositionText(row, column) : L"", store.Text(row, column))
          << row << "," << column;
    }
  }
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
  // Too many cells is refused at once, however the size is reached.
  EXPECT_EQ(formsrt::error::OutOfMemory,
            ErrorNumberOf([](CellStore& s) { s.SetColumnCount(0x2000001); }, store));
  CellStore oneRow;
  oneRow.SetRowCount(1);
  EXPECT_EQ(formsrt::error::OutOfMemory,
            ErrorNumberOf([](CellStore& s) { s.SetColumnCount(0x7FFFFFFF); }, oneRow));
  EXPECT_EQ(0, oneRow.ColumnCount());
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

// Sizes are multiplied in 64 bits on both targets: in 32-bit arithmetic 10
// columns of 429,496,730 rows are 4 cells, and writes went past the store.
TEST(CellStore, AGridTooLargeInEitherOrderIsRefusedAndKeepsItsSize) {
  CellStore wide;
  wide.SetColumnCount(10);
  wide.SetRowCount(2);
  wide.SetText(1, 9, L"kept");
  EXPECT_EQ(formsrt::error::OutOfMemory,
            ErrorNumberOf([](CellStore& s) { s.SetRowCount(429496730); }, wide));
  EXPECT_EQ(2, wide.RowCount());
  EXPECT_EQ(L"kept", wide.Text(1, 9));

  CellStore tall;
  tall.SetRowCount(429496730);  // no columns yet: no cells
  EXPECT_EQ(formsrt::error::OutOfMemory,
            ErrorNumberOf([](CellStore& s) { s.SetColumnCount(10); }, tall));
  EXPECT_EQ(0, tall.ColumnCount());
  EXPECT_FALSE(tall.Contains(429496729, 9));
}

TEST(CellStore, WritesAndResizesThatRunOutOfMemoryChangeNothing) {
  const std::wstring longer(100, L'n');
  struct Change {
    const char* what;
    void (*apply)(CellStore&, const std::wstring&);
  };
  const Change changes[] = {
      {"a longer text", [](CellStore& s, const std::wstring& t) { s.SetText(0, 0, t); }},
      {"more columns", [](CellStore& s, const std::wstring&) { s.SetColumnCount(5); }},
      {"more rows", [](CellStore& s, const std::wstring&) { s.SetRowCount(100); }},
  };
  for (const Change& change : changes) {
    SCOPED_TRACE(change.what);
    CellStore store;
    store.SetRowCount(2);
    store.SetColumnCount(2);
    store.SetText(0, 0, L"old");
    store.SetText(1, 0, L"other");
    store.SetText(1, 1, L"last");
    EveryAllocationFailingInTurn([&] { change.apply(store, longer); },
                                 [&] {
                                   EXPECT_EQ(2, store.RowCount());
                                   EXPECT_EQ(2, store.ColumnCount());
                                   EXPECT_EQ(L"old", store.Text(0, 0));
                                   EXPECT_EQ(L"other", store.Text(1, 0));
                                   EXPECT_EQ(L"last", store.Text(1, 1));
                                 });
    EXPECT_EQ(L"other", store.Text(1, 0));
  }
}

// Compacting the pool is a saving: a write that would compact it succeeds
// without the room for a new pool, and the old pool stays.
TEST(CellStore, AWriteSucceedsWhenThePoolCannotBeCompacted) {
  CellStore store;
  store.SetRowCount(1);
  store.SetColumnCount(2);
  const std::wstring big(40000, L'a');
  store.SetText(0, 0, big);
  store.SetText(0, 1, big);
  store.SetText(0, 0, L"x");
  {
    FailingAllocation compaction(1);  // the pool has room for "y": compacting is all that allocates
    EXPECT_NO_THROW(store.SetText(0, 1, L"y"));
    EXPECT_TRUE(compaction.Reached());
  }
  EXPECT_EQ(L"x", store.Text(0, 0));
  EXPECT_EQ(L"y", store.Text(0, 1));
  store.SetText(0, 0, L"z");  // and compacts now
  EXPECT_EQ(L"y", store.Text(0, 1));
}

// A store cut down from a large fill keeps its room: what stays keeps its
// texts through the cut, the compaction after it and a widening in place,
// and every cell that comes back or is new reads empty, after a clear too.
TEST(CellStore, CutFromALargeFillKeepsWhatStaysAndWhatReturnsIsEmpty) {
  CellStore store;
  FillWithPositions(store, 2000, 10);
  store.SetRowCount(3);  // fewer cells stay than go; the pool is compacted
  EXPECT_EQ(L"2,9", store.Text(2, 9));
  store.SetColumnCount(2);
  store.SetColumnCount(4);  // wider again, within the room the cells had
  for (LONG row = 0; row < 3; ++row) {
    for (LONG column = 0; column < 4; ++column) {
      std::wstring expected = column < 2 ? PositionText(row, column) : L"";
      EXPECT_EQ(expected, store.Text(row, column)) << row << "," << column;
    }
  }
  store.SetRowCount(5);
  EXPECT_EQ(L"", store.Text(4, 0));
  store.SetText(4, 3, L"new");
  EXPECT_EQ(L"new", store.Text(4, 3));

  store.Clear();
  store.SetRowCount(2000);
  store.SetColumnCount(1);
  store.SetColumnCount(10);
  for (LONG row : {0, 1, 4, 1999}) {
    for (LONG column = 0; column < 10; ++column) EXPECT_EQ(L"", store.Text(row, column));
  }
}
