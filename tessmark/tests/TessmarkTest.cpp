// The real Tessmark.exe, driven through its window as a user drives it, with
// its debug output read as a debug viewer reads it.
#include <gtest/gtest.h>

#include <regex>
#include <thread>

#include "CursorKept.h"
#include "DebugOutputMonitor.h"
#include "ProcessRunner.h"
#include "TessmarkProcess.h"
#include "forms/Screen.h"

namespace tessmark_tests {

namespace {

using namespace std::chrono_literals;

constexpr wchar_t kCaption[] = L"Corvantis Hookwatch Tester";
const std::string kGotMessage = "Got Message";
constexpr auto kStartLimit = 20s;
constexpr auto kEventLimit = 3s;
// Time for a message that should not come to show up all the same.
constexpr auto kQuietTime = 700ms;

bool ShowsTimeOfDay(const std::wstring& text) {
  static const std::wregex kTime(L"([01][0-9]|2[0-3]):[0-5][0-9]:[0-5][0-9]");
  return std::regex_match(text, kTime);
}

POINT PixelsFromTwips(int x, int y) {
  return {formsrt::Screen::PixelsFromTwipsX(x), formsrt::Screen::PixelsFromTwipsY(y)};
}

class TessmarkTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form_ = program_.WaitForWindow(kCaption, kStartLimit);
    ASSERT_NE(nullptr, form_) << "the form did not appear";
    shownAt_ = std::chrono::steady_clock::now();
    check1_ = ChildAtTwips(form_, 300, 300, 1095, 255);
    check2_ = ChildAtTwips(form_, 300, 660, 1155, 375);
    label1_ = ChildAtTwips(form_, 1500, 300, 1035, 255);
    label2_ = ChildAtTwips(form_, 1500, 720, 1035, 255);
    lblTimer_ = ChildAtTwips(form_, 60, 60, 4995, 195);
    lblSubClass_ = ChildAtTwips(form_, 60, 1260, 4995, 735);
    // The resize as the form is first shown gives the first line.
    ASSERT_EQ(1u, LinesSettledAt(1)) << "lines as the form was shown";
    linesAtStart_ = GotMessageLines();
  }

  size_t GotMessageLines() const { return monitor_.CountOf(program_.Id(), kGotMessage); }

  // Waits for the expected number of lines, then a while longer: the quiet
  // time shows that no extra line comes.
  size_t LinesSettledAt(size_t expected) const {
    WaitUntil([&] { return GotMessageLines() >= expected; }, kEventLimit);
    std::this_thread::sleep_for(kQuietTime);
    return GotMessageLines();
  }

  // The lines since the test began, once the expected number has come.
  size_t NewLinesSettledAt(size_t expected) const {
    return LinesSettledAt(linesAtStart_ + expected) - linesAtStart_;
  }
  size_t NewLines() const { return GotMessageLines() - linesAtStart_; }

  bool BothLabelsShowTheTime() const {
    return ShowsTimeOfDay(TextOf(label1_)) && ShowsTimeOfDay(TextOf(label2_));
  }

  void Resize(int width, int height) const {
    ::SetWindowPos(form_, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }

  testing_support::CursorKept cursor_;  // the presses move the real pointer
  DebugOutputMonitor monitor_;
  TessmarkProcess program_;
  HWND form_ = nullptr;
  HWND check1_ = nullptr, check2_ = nullptr;
  HWND label1_ = nullptr, label2_ = nullptr, lblTimer_ = nullptr, lblSubClass_ = nullptr;
  size_t linesAtStart_ = 0;
  std::chrono::steady_clock::time_point shownAt_;
};

TEST_F(TessmarkTest, ShowsItsFormWithBothTimersTicked) {
  RECT client{};
  ::GetClientRect(form_, &client);
  EXPECT_EQ(formsrt::Screen::PixelsFromTwipsX(5085), client.right);
  EXPECT_EQ(formsrt::Screen::PixelsFromTwipsY(2925), client.bottom);

  EXPECT_EQ(L"Timer 1", TextOf(check1_));
  EXPECT_EQ(L"Timer 2", TextOf(check2_));
  EXPECT_EQ(BST_CHECKED, ::SendMessageW(check1_, BM_GETCHECK, 0, 0));
  EXPECT_EQ(BST_CHECKED, ::SendMessageW(check2_, BM_GETCHECK, 0, 0));
  EXPECT_EQ(L"All Code Timer Test:", TextOf(lblTimer_));
  EXPECT_EQ(
      L"Click or resize the form to test the subclassing. This form subclasses the WM_MOUSEDOWN "
      L"and WM_SIZE messages and outputs a debug message whenever one is encountered.",
      TextOf(lblSubClass_));

  // Tab order: the check boxes first, then the labels in their order.
  HWND tabOrder[] = {check1_, check2_, label1_, label2_, lblTimer_, lblSubClass_};
  HWND child = ::GetWindow(form_, GW_CHILD);
  for (HWND expected : tabOrder) {
    EXPECT_EQ(expected, child);
    child = ::GetWindow(child, GW_HWNDNEXT);
  }
}

TEST_F(TessmarkTest, BothLabelsShowTheTimeOfDayWithinASecond) {
  EXPECT_TRUE(WaitUntil([&] { return BothLabelsShowTheTime(); }, kEventLimit))
      << "Label1: " << testing::PrintToString(TextOf(label1_))
      << " Label2: " << testing::PrintToString(TextOf(label2_));
  EXPECT_LT(std::chrono::steady_clock::now() - shownAt_, 1500ms);
  EXPECT_EQ(0u, NewLines());
}

TEST_F(TessmarkTest, OnlyALeftPressOnTheFormOrALabelGivesALine) {
  PressAt(form_, PixelsFromTwips(2500, 2500), MouseButton::Left);
  EXPECT_EQ(1u, NewLinesSettledAt(1));
  Release(MouseButton::Left);  // the press counts, not the release
  EXPECT_EQ(1u, NewLinesSettledAt(1));

  ClickAt(form_, PixelsFromTwips(3000, 2600), MouseButton::Right);
  ClickAt(form_, PixelsFromTwips(3500, 2700), MouseButton::Middle);
  // The press on the label comes after the other two, so its line shows
  // that they were handled and gave none.
  ClickAt(form_, PixelsFromTwips(2500, 1500), MouseButton::Left);
  EXPECT_EQ(2u, NewLinesSettledAt(2));
}

TEST_F(TessmarkTest, EachResizeGivesOneLine) {
  RECT outer{};
  ::GetWindowRect(form_, &outer);
  int width = outer.right - outer.left, height = outer.bottom - outer.top;
  Resize(width + 40, height + 30);
  EXPECT_EQ(1u, NewLinesSettledAt(1));
  Resize(width + 80, height);
  Resize(width, height);
  EXPECT_EQ(3u, NewLinesSettledAt(3));

  ::ShowWindow(form_, SW_MINIMIZE);
  EXPECT_EQ(4u, NewLinesSettledAt(4));
  ::ShowWindow(form_, SW_RESTORE);
  EXPECT_EQ(5u, NewLinesSettledAt(5));
}

// Each box switches its own timer: unticked, its label freezes while the
// other goes on; ticked again, it resumes.
class TimerBoxTest : public TessmarkTest, public ::testing::WithParamInterface<int> {
 protected:
  HWND Box() const { return GetParam() == 1 ? check1_ : check2_; }
  HWND Label() const { return GetParam() == 1 ? label1_ : label2_; }
  HWND OtherLabel() const { return GetParam() == 1 ? label2_ : label1_; }
  // The program has handled every message before this round trip: a tick
  // it was handling when the box changed has landed.
  void WaitUntilHandled() const {
    DWORD_PTR answer = 0;
    ::SendMessageTimeoutW(form_, WM_NULL, 0, 0, SMTO_BLOCK, 5000, &answer);
  }
};

TEST_P(TimerBoxTest, UntickingFreezesItsLabelUntilTickedAgain) {
  HWND box = Box(), label = Label(), otherLabel = OtherLabel();
  ASSERT_TRUE(WaitUntil([&] { return BothLabelsShowTheTime(); }, kEventLimit));
  RECT area{};
  ::GetClientRect(box, &area);
  ClickAt(box, {8, area.bottom / 2});
  ASSERT_TRUE(WaitUntil([&] { return ::SendMessageW(box, BM_GETCHECK, 0, 0) == BST_UNCHECKED; },
                        kEventLimit));
  WaitUntilHandled();

  std::wstring frozen = TextOf(label);
  std::wstring otherBefore = TextOf(otherLabel);
  std::this_thread::sleep_for(1500ms);  // shows that no tick comes: three would at 500 ms
  EXPECT_EQ(frozen, TextOf(label));
  EXPECT_NE(otherBefore, TextOf(otherLabel));

  ClickAt(box, {8, area.bottom / 2 + 1});
  EXPECT_TRUE(WaitUntil([&] { return TextOf(label) != frozen; }, 1500ms));
  EXPECT_TRUE(ShowsTimeOfDay(TextOf(label)));
  // A press on a check box is the box's own, not the form's.
  EXPECT_EQ(0u, NewLines());
}

INSTANTIATE_TEST_SUITE_P(BothBoxes, TimerBoxTest, ::testing::Values(1, 2),
                         [](const ::testing::TestParamInfo<int>& info) {
                           return "Check" + std::to_string(info.param);
                         });

TEST_F(TessmarkTest, ClosingTheFormEndsTheProgramCleanly) {
  ASSERT_TRUE(WaitUntil([&] { return BothLabelsShowTheTime(); }, kEventLimit));
  ::PostMessageW(form_, WM_CLOSE, 0, 0);
  std::optional<DWORD> exitCode = program_.WaitForExit(10s);
  ASSERT_TRUE(exitCode.has_value()) << "the program still runs";
  EXPECT_EQ(0u, *exitCode);
}

// Hookwatch.dll unregistered for as long as this object lives; the test
// environment registered it, and gets it back registered.
class ComponentUnregistered {
 public:
  ComponentUnregistered() { EXPECT_EQ(0u, Regsvr32(L"/u /s")); }
  ~ComponentUnregistered() { EXPECT_EQ(0u, Regsvr32(L"/s")); }

 private:
  static DWORD Regsvr32(const std::wstring& options) {
    std::wstring dll =
        testing_support::ExecutableFolder() + L"..\\..\\standins\\hookwatch\\Hookwatch.dll";
    return testing_support::RunProcess(L"regsvr32 " + options + L" \"" + dll + L"\"").exitCode;
  }
};

TEST(TessmarkWithoutComponent, ShowsTheStandardReportBeforeTheFormAndFails) {
  ComponentUnregistered unregistered;
  TessmarkProcess program;
  HWND report = program.WaitForWindow(L"Tessmark", kStartLimit);
  ASSERT_NE(nullptr, report) << "no error report";
  EXPECT_EQ(L"Run-time error '429':\n\nActiveX component can't create object",
            TextOf(::GetDlgItem(report, 0xFFFF)));
  HWND form = program.FindWindowNamed(kCaption);
  EXPECT_TRUE(form == nullptr || !::IsWindowVisible(form)) << "the form was shown";

  ::PostMessageW(report, WM_COMMAND, IDOK, 0);
  std::optional<DWORD> exitCode = program.WaitForExit(10s);
  ASSERT_TRUE(exitCode.has_value()) << "the program still runs";
  EXPECT_EQ(429u, *exitCode);
}

}  // namespace

}  // namespace tessmark_tests
