// Gridrace.exe end to end, driven through its windows as a user would.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "GridraceWindows.h"

using gridrace_tests::GridraceWindows;
using Grid = GridraceWindows::Grid;

namespace {

bool IsWholeNumber(const std::wstring& text) {
  return !text.empty() && text.find_first_not_of(L"0123456789") == std::wstring::npos;
}

// What every control holds after a test with `rows` rows.
void ExpectFilled(const GridraceWindows& program, LONG rows) {
  // The list's items and headers, then each grid's rows (header and data) and columns, and fixed rows.
  EXPECT_EQ(std::make_tuple(rows, 10, rows + 1, rows + 1, 10, rows + 1, 10, 1),
            std::make_tuple(program.ListItemCount(), program.ListHeaderCount(), program.Rows(Grid::ListView),
                            program.Rows(Grid::Cvnt), program.Columns(Grid::Cvnt), program.Rows(Grid::Flex),
                            program.Columns(Grid::Flex), program.FixedRows(Grid::Flex)));
  for (Grid grid : {Grid::ListView, Grid::Cvnt, Grid::Flex}) {
    EXPECT_EQ(L"Col1", program.CellText(grid, 0, 0));
    EXPECT_EQ(L"Col10", program.CellText(grid, 0, 9));
  }
  for (const std::wstring& label : program.LabelTexts()) EXPECT_TRUE(IsWholeNumber(label)) << label;
}

void ExpectUntouched(const GridraceWindows& program) {
  // No list items, headers or cvntGrid columns; the flex grid's own two rows and columns.
  EXPECT_EQ(std::make_tuple(0, 0, 0, 2, 2), std::make_tuple(program.ListItemCount(), program.ListHeaderCount(),
                                                           program.Columns(Grid::Cvnt), program.Rows(Grid::Flex),
                                                           program.Columns(Grid::Flex)));
  EXPECT_EQ(std::vector<std::wstring>(3, L"Label1"), program.LabelTexts());
}

}  // namespace

TEST(GridraceProgram, FillsTheThreeControlsAndRepeatsAndRoundsTheRowCount) {
  GridraceWindows program;
  EXPECT_EQ(L"1000", program.RowText());
  ExpectUntouched(program);

  program.PressTest();
  ExpectFilled(program, 1000);
  EXPECT_EQ(L"Row1;Col 1", program.CellText(Grid::ListView, 1, 0));
  for (LONG c = 2; c <= 10; ++c) {
    EXPECT_EQ(L"Row1;Col" + std::to_wstring(c), program.CellText(Grid::ListView, 1, c - 1));
  }
  for (Grid grid : {Grid::Cvnt, Grid::Flex}) {
    for (LONG c = 1; c <= 10; ++c) {
      EXPECT_EQ(L"Row1;Col" + std::to_wstring(c), program.CellText(grid, 1, c - 1));
    }
    EXPECT_EQ(L"Row1000;Col10", program.CellText(grid, 1000, 9));
    EXPECT_EQ(L"<outside the grid>", program.CellText(grid, 1001, 0));
  }
  EXPECT_EQ(L"Row7;Col3", program.CellText(Grid::ListView, 7, 2));

  program.PressTest();  // a second press leaves the same content
  ExpectFilled(program, 1000);
  EXPECT_EQ(L"Row1000;Col 1", program.CellText(Grid::ListView, 1000, 0));

  const std::pair<const wchar_t*, LONG> counts[] = {{L"0", 0}, {L"12.5", 12}, {L"13.5", 14}};
  for (const auto& [text, rows] : counts) {
    SCOPED_TRACE(text);
    program.SetRowText(text);
    program.PressTest();
    ExpectFilled(program, rows);
  }
  EXPECT_EQ(L"Row14;Col10", program.CellText(Grid::Cvnt, 14, 9));

  program.CloseForm();  // the controls are released and the program ends cleanly
  EXPECT_EQ(0u, program.WaitForExit(30000));
}

TEST(GridraceProgram, TextThatIsNoNumberShowsTheStandardReportBeforeTouchingAnythingAndEnds) {
  for (const wchar_t* text : {L"", L"abc"}) {
    GridraceWindows program;
    program.SetRowText(text);
    program.PressTestWithoutWaiting();
    std::wstring report = program.WaitForMessageBoxText(30000);
    EXPECT_NE(std::wstring::npos, report.find(L"Run-time error '13'")) << report;
    EXPECT_NE(std::wstring::npos, report.find(L"Type mismatch")) << report;
    ExpectUntouched(program);
    program.CloseMessageBox();
    EXPECT_EQ(13u, program.WaitForExit(30000));
  }
}
