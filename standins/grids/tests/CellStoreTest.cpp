#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "CellStore.h"
#include "FailingAllocations.h"
#include "StandinTestSupport.h"
#include "core/RuntimeError.h"

using namespace standins;
namespace error = formsrt::error;
using standin_tests::CaughtError;
using standin_tests::EveryAllocationFailingInTurn;
using standin_tests::FailingAllocation;

namespace {

std::wstring PositionText(LONG row, LONG column) {
  return std::to_wstring(row) + L"," + std::to_wstring(column);
}

// Every cell's text, row by row: the whole store as one value.
using Cells = std::vector<std::vector<std::wstring>>;
Cells CellsOf(const CellStore& store) {
  Cells cells(store.RowCount());
  for (LONG row = 0; row < store.RowCount(); ++row) {
    for (LONG column = 0; column < store.ColumnCount(); ++column) {
      cells[row].emplace_back(store.Text(row, column));
    }
  }
  return cells;
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
  EXPECT_EQ((Cells{{L"a", L"", L""}, {L"", L"d", L"f"}}), CellsOf(store));
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
  EXPECT_EQ((Cells{{L"0,0", L"0,1", L""}, {L"1,0", L"1,1", L""}, {L"2,0", L"2,1", L""}, {L"", L"", L""},
                   {L"", L"", L""}}),
            CellsOf(store));
}

TEST(CellStore, RefusesCellsOutsideAndNegativeCounts) {
  CellStore store;
  store.SetRowCount(3);
  store.SetColumnCount(2);
  EXPECT_EQ(error::SubscriptOutOfRange, CaughtError([&] { store.SetText(3, 0, L"x"); }).Number());
  EXPECT_EQ(error::SubscriptOutOfRange, CaughtError([&] { store.Text(0, -1); }).Number());
  EXPECT_EQ(error::InvalidPropertyValue, CaughtError([&] { store.SetRowCount(-1); }).Number());
  EXPECT_EQ(error::OutOfMemory, CaughtError([&] { store.SetRowCount(0x7FFFFFFF); }).Number());
  // Too many cells is refused at once, however the size is reached.
  EXPECT_EQ(error::OutOfMemory, CaughtError([&] { store.SetColumnCount(0x2000001); }).Number());
  CellStore oneRow;
  oneRow.SetRowCount(1);
  EXPECT_EQ(error::OutOfMemory, CaughtError([&] { oneRow.SetColumnCount(0x7FFFFFFF); }).Number());
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
  EXPECT_EQ(error::OutOfMemory, CaughtError([&] { wide.SetRowCount(429496730); }).Number());
  EXPECT_EQ(2, wide.RowCount());
  EXPECT_EQ(L"kept", wide.Text(1, 9));

  CellStore tall;
  tall.SetRowCount(429496730);  // no columns yet: no cells
  EXPECT_EQ(error::OutOfMemory, CaughtError([&] { tall.SetColumnCount(10); }).Number());
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
                                   EXPECT_EQ((Cells{{L"old", L""}, {L"other", L"last"}}), CellsOf(store));
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
  EXPECT_EQ((Cells{{L"x", L"y"}}), CellsOf(store));
  store.SetText(0, 0, L"z");  // and compacts now
  EXPECT_EQ(L"y", store.Text(0, 1));
}

// A cut that leaves most of the pool dead text compacts it: that is the
// cut's one allocation, here made to fail, which the cut survives.
TEST(CellStore, CuttingTheRowOrColumnOfMostTextCompactsThePool) {
  for (bool cutRows : {true, false}) {
    CellStore store;
    store.SetRowCount(cutRows ? 2 : 1);
    store.SetColumnCount(cutRows ? 1 : 2);
    store.SetText(cutRows ? 1 : 0, cutRows ? 0 : 1, std::wstring(70000, L'a'));
    store.SetText(0, 0, L"kept");
    FailingAllocation compaction(1);
    cutRows ? store.SetRowCount(1) : store.SetColumnCount(1);
    EXPECT_TRUE(compaction.Reached()) << (cutRows ? "rows" : "columns");
    EXPECT_EQ(Cells{{L"kept"}}, CellsOf(store));
  }
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
  EXPECT_EQ((Cells{{L"0,0", L"0,1", L"", L""}, {L"1,0", L"1,1", L"", L""}, {L"2,0", L"2,1", L"", L""}}),
            CellsOf(store));
  store.SetRowCount(5);
  EXPECT_EQ(L"", store.Text(4, 0));
  store.SetText(4, 3, L"new");
  EXPECT_EQ(L"new", store.Text(4, 3));

  store.Clear();
  store.SetRowCount(2000);
  store.SetColumnCount(1);
  store.SetColumnCount(10);
  EXPECT_EQ(Cells(2000, std::vector<std::wstring>(10)), CellsOf(store));
}
