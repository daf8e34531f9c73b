// Form1 in process, with the multimedia timer faked through the platform
// seam and the grid stand-ins made from their own code here: what the test
// run asks of the timer, every call it makes on the three controls, and
// where a failure stops it.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "CallLog.h"
#include "ErrorNumber.h"
#include "Form1.h"
#include "StandinsInThisProcess.h"
#include "WindowTree.h"
#include "platform/Platform.h"
#include "core/RuntimeError.h"

using namespace formsrt;
using namespace testing_support;

namespace {

std::vector<std::string> g_timerCalls;
std::vector<DWORD> g_clock;  // the values timeGetTime gives, in turn
size_t g_clockReads;

MMRESULT WINAPI RecordBeginPeriod(UINT period) {
  g_timerCalls.push_back("begin " + std::to_string(period));
  return TIMERR_NOERROR;
}

MMRESULT WINAPI RecordEndPeriod(UINT period) {
  g_timerCalls.push_back("end " + std::to_string(period));
  return TIMERR_NOERROR;
}

DWORD WINAPI FakeTimeGetTime() {
  g_timerCalls.push_back("time");
  return g_clock.at(std::min(g_clockReads++, g_clock.size() - 1));
}

class Form1Test : public ::testing::Test {
 protected:
  void SetUp() override {
    g_timerCalls.clear();
    g_clockReads = 0;
    g_clock = {1000};
    winmm_->timeBeginPeriod = RecordBeginPeriod;
    winmm_->timeEndPeriod = RecordEndPeriod;
    winmm_->timeGetTime = FakeTimeGetTime;
  }
  void TearDown() override { form_.Window().Unload(); }

  std::vector<HWND> ChildrenOfClass(const wchar_t* className) {
    std::vector<HWND> matching;
    for (HWND child : Descendants(form_.Window().Handle())) {
      if (_wcsicmp(ClassOf(child).c_str(), className) == 0) matching.push_back(child);
    }
    std::sort(matching.begin(), matching.end(), [](HWND a, HWND b) { return TopOf(a) < TopOf(b); });
    return matching;
  }
  void SetRows(const wchar_t* text) { ::SetWindowTextW(ChildrenOfClass(L"Edit").at(0), text); }
  std::vector<std::wstring> Labels() {
    std::vector<std::wstring> texts;
    for (HWND label : ChildrenOfClass(L"Static")) texts.push_back(TextOf(label));
    return texts;
  }
  long ClickError() { return testing_support::ErrorNumberOf([this] { form_.cmdTest_Click(); }); }

  PlatformOverride<WinmmApi> winmm_{Winmm()};
  standins::StandinsInThisProcess standins_;  // before the form, which creates them
  gridrace::Form1 form_;
};

std::wstring Quoted(const std::wstring& text) { return L"String \"" + text + L"\""; }

std::wstring N(LONG number) { return std::to_wstring(number); }

std::wstring Cell(LONG row, LONG column) { return L"Row" + N(row) + L";Col" + N(column); }

// The calls of each fill as its table lists them, for `rows` rows.
std::vector<std::wstring> ListViewFill(LONG rows) {
  auto added = [](const wchar_t* collection, const std::wstring& text) {
    return std::wstring(collection) + L".Add(omitted, omitted, " + Quoted(text) + L", omitted, omitted)";
  };
  std::vector<std::wstring> calls = {L"ListView.ListItems", L"ListItems.Clear()",
                                     L"ListView.ColumnHeaders", L"ColumnHeaders.Clear()"};
  for (LONG c = 1; c <= 10; ++c) {
    calls.insert(calls.end(), {L"ListView.ColumnHeaders", added(L"ColumnHeaders", L"Col" + N(c))});
  }
  for (LONG i = 1; i <= rows; ++i) {
    calls.insert(calls.end(), {L"ListView.ListItems", added(L"ListItems", L"Row" + N(i) + L";Col 1")});
    for (LONG c = 2; c <= 10; ++c) {
      calls.push_back(L"ListItem.SubItems(Integer " + N(c - 1) + L") = " + Quoted(Cell(i, c)));
    }
  }
  return calls;
}

std::vector<std::wstring> CvntGridFill(LONG rows) {
  std::vector<std::wstring> calls = {L"cvntGrid.Redraw = Boolean False",
                                     L"cvntGrid.Clear(Boolean True)"};
  for (LONG c = 1; c <= 10; ++c) {
    calls.push_back(L"cvntGrid.AddColumn(String null, " + Quoted(L"Col" + N(c)) + L")");
  }
  calls.push_back(L"cvntGrid.Rows = Long& " + N(rows));
  for (LONG i = 1; i <= rows; ++i) {
    for (LONG c = 1; c <= 10; ++c) {
      calls.push_back(L"cvntGrid.CellText(Long& " + N(i) + L", Long& " + N(c) + L") = " +
                      Quoted(Cell(i, c)));
    }
  }
  calls.push_back(L"cvntGrid.Redraw = Boolean True");
  return calls;
}

std::vector<std::wstring> FlexGridFill(LONG rows) {
  std::vector<std::wstring> calls = {L"FlexGrid.Redraw = Boolean False", L"FlexGrid.Cols = Long 10",
                                     L"FlexGrid.FixedCols = Long 0",
                                     L"FlexGrid.Rows = Long " + N(rows + 1),
                                     L"FlexGrid.Row = Long 0"};
  for (LONG c = 1; c <= 10; ++c) {
    calls.insert(calls.end(), {L"FlexGrid.Col = Long " + N(c - 1), L"FlexGrid.Text = " + Quoted(L"Col" + N(c))});
  }
  calls.push_back(L"FlexGrid.FixedRows = Long 1");
  for (LONG i = 1; i <= rows; ++i) {
    for (LONG c = 1; c <= 10; ++c) {
      calls.insert(calls.end(), {L"FlexGrid.Row = Long& " + N(i), L"FlexGrid.Col = Long " + N(c - 1),
                                 L"FlexGrid.Text = " + Quoted(Cell(i, c))});
    }
  }
  calls.push_back(L"FlexGrid.Redraw = Boolean True");
  return calls;
}

// Call by call: the first that differs, with its number.
void ExpectCalls(const std::vector<std::wstring>& expected, const std::vector<std::wstring>& made) {
  for (size_t i = 0; i < std::max(expected.size(), made.size()); ++i) {
    std::wstring want = i < expected.size() ? expected[i] : L"(no more calls)";
    std::wstring got = i < made.size() ? made[i] : L"(no more calls)";
    if (want != got) {
      ADD_FAILURE() << "call " << i << ": expected " << testing::PrintToString(want) << ", made "
                    << testing::PrintToString(got);
      return;
    }
  }
}

}  // namespace

TEST_F(Form1Test, EachFillMakesTheCallsOfItsTableInOrder) {
  for (LONG rows : {2, 0}) {
    SCOPED_TRACE(rows);
    SetRows(std::to_wstring(rows).c_str());
    standins::CallLog log;
    EXPECT_EQ(0, ClickError());
    std::vector<std::wstring> expected = ListViewFill(rows);
    for (auto fill : {CvntGridFill(rows), FlexGridFill(rows)}) {
      expected.insert(expected.end(), fill.begin(), fill.end());
    }
    ExpectCalls(expected, log.Calls());
  }
}

TEST_F(Form1Test, RaisesTheTimerResolutionAroundTheThreeTimedFills) {
  SetRows(L"3");
  g_clock = {100, 105, 200, 230, 300, 301};
  EXPECT_EQ(0, ClickError());
  EXPECT_EQ((std::vector<std::string>{"begin 1", "time", "time", "time", "time", "time", "time",
                                      "end 1"}),
            g_timerCalls);
  EXPECT_EQ((std::vector<std::wstring>{L"5", L"30", L"1"}), Labels());
}

TEST_F(Form1Test, TextThatIsNoNumberFailsBeforeTheTimerIsTouched) {
  SetRows(L"abc");
  EXPECT_EQ(error::TypeMismatch, ClickError());
  SetRows(L"2147483648");
  EXPECT_EQ(error::Overflow, ClickError());
  EXPECT_TRUE(g_timerCalls.empty());
  EXPECT_EQ((std::vector<std::wstring>{L"Label1", L"Label1", L"Label1"}), Labels());
}

TEST_F(Form1Test, AnOverflowingClockStopsTheTestWithoutRestoringTheResolution) {
  SetRows(L"1");
  g_clock = {0x7FFFFFF0, 0x80000010};  // the counter passes 2^31 during the first fill
  EXPECT_EQ(error::Overflow, ClickError());
  EXPECT_EQ((std::vector<std::string>{"begin 1", "time", "time"}), g_timerCalls);
  EXPECT_EQ((std::vector<std::wstring>{L"Label1", L"Label1", L"Label1"}), Labels());
}

// A negative count: the list view's loop does nothing, and cvntGrid refuses
// the negative row count, which stops the test there.
TEST_F(Form1Test, ANegativeRowCountStopsAtTheGridsRowCount) {
  SetRows(L"-3");
  EXPECT_EQ(error::InvalidPropertyValue, ClickError());
  EXPECT_EQ((std::vector<std::wstring>{L"0", L"Label1", L"Label1"}), Labels());
  EXPECT_EQ("begin 1", g_timerCalls.front());
  EXPECT_NE("end 1", g_timerCalls.back());
}

// Every control of the form that takes a font draws with the Tahoma the
// form names, not with a face the platform substituted for a missing one.
TEST_F(Form1Test, TheControlsDrawWithTheTahomaTheFormNames) {
  HDC screen = ::GetDC(nullptr);
  int withFont = 0;
  for (HWND child : Descendants(form_.Window().Handle())) {
    auto font = reinterpret_cast<HFONT>(::SendMessageW(child, WM_GETFONT, 0, 0));
    if (!font) continue;
    ++withFont;
    HGDIOBJ previous = ::SelectObject(screen, font);
    wchar_t face[LF_FACESIZE] = {};
    ::GetTextFaceW(screen, LF_FACESIZE, face);
    ::SelectObject(screen, previous);
    EXPECT_STREQ(L"Tahoma", face) << "font of a " << testing::PrintToString(ClassOf(child));
  }
  ::ReleaseDC(nullptr, screen);
  EXPECT_GE(withFont, 5) << "the text box, the button and the three labels at least";
}
