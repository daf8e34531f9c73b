// Window placement and caption flashing: the exact calls on a scripted host
// form and on the platform seam, and the effects on real forms of the runtime.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <string>
#include <vector>

#include "TrayTestSupport.h"
#include "core/Conversions.h"
#include "platform/Platform.h"
#include "forms/Screen.h"

using namespace tray_test;
using formsrt::ComPtr;
using formsrt::Variant;

namespace {

using Calls = std::vector<std::string>;
Calls g_platformCalls;

std::string Text(const char* format, ...) {
  char text[160];
  va_list arguments;
  va_start(arguments, format);
  std::vsnprintf(text, sizeof(text), format, arguments);
  va_end(arguments);
  return text;
}

long long Number(HWND handle) { return reinterpret_cast<LONG_PTR>(handle); }

HWND g_lastPositioned = nullptr;

BOOL WINAPI RecordingSetWindowPos(HWND hwnd, HWND after, int x, int y, int cx, int cy, UINT flags) {
  g_lastPositioned = hwnd;
  g_platformCalls.push_back(Text("SetWindowPos %lld %lld %d %d %d %d 0x%x", Number(hwnd),
                                 Number(after), x, y, cx, cy, flags));
  return TRUE;
}

LONG WINAPI RecordingSetWindowLongA(HWND hwnd, int index, LONG value) {
  g_platformCalls.push_back(Text("SetWindowLongA %lld %d 0x%lx", Number(hwnd), index, value));
  return 0;
}

BOOL WINAPI RecordingReleaseCapture() {
  g_platformCalls.push_back("ReleaseCapture");
  return TRUE;
}

LRESULT WINAPI RecordingSendMessageA(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  g_platformCalls.push_back(Text("SendMessageA %lld 0x%x 0x%llx %lld", Number(hwnd), message,
                                 static_cast<unsigned long long>(wParam),
                                 static_cast<long long>(lParam)));
  return 0;
}

// Flashes for real, after recording the window and the invert argument.
BOOL WINAPI RecordingFlashWindow(HWND hwnd, BOOL invert) {
  g_platformCalls.push_back(Text("FlashWindow %lld %d", Number(hwnd), invert));
  return ::FlashWindow(hwnd, invert);
}

class PlacementCalls : public ::testing::Test {
 protected:
  void SetUp() override {
    g_platformCalls.clear();
    user32_->SetWindowPos = RecordingSetWindowPos;
    user32_->SetWindowLongA = RecordingSetWindowLongA;
    user32_->ReleaseCapture = RecordingReleaseCapture;
    user32_->SendMessageA = RecordingSendMessageA;
    form_->hwnd = 0x1234;
  }

  // Calls a method of the control through IDispatch with the form by reference.
  long Call(const wchar_t* member) {
    return ErrorNumberWithObjects(control_->Dispatch(), member, {form_.Get()});
  }

  static bool ScreenIs1024By768At96Dpi() {
    return formsrt::Screen::WidthTwips() == 15360 && formsrt::Screen::HeightTwips() == 11520;
  }

  formsrt::PlatformOverride<formsrt::User32Api> user32_{formsrt::User32()};
  ComPtr<ScriptedForm> form_ = ScriptedForm::Create();
  ComPtr<QuennetProbe> control_ = QuennetProbe::Create();
};

}  // namespace

TEST_F(PlacementCalls, CentringRestoresFirstThenMeasuresAndMovesByReferenceWithTiesToEven) {
  ASSERT_TRUE(ScreenIs1024By768At96Dpi())
      << "the expected numbers are for the test environment's 15360 x 11520 twips";
  struct Case {
    short state;
    double width, height;
    std::vector<std::string> calls;
  } cases[] = {
      // Left 5272.5, Top 3960
      {2, 4815, 3600, {"get WindowState", "put WindowState I2 0", "get Width", "get Height",
                       "Move I2& 5272, I2& 3960"}},
      // Left 5257.5, Top 3959.5
      {1, 4845, 3601, {"get WindowState", "put WindowState I2 0", "get Width", "get Height",
                       "Move I2& 5258, I2& 3960"}},
      // Larger than the screen: partly off it, not clamped.
      {0, 20000, 12000, {"get WindowState", "get Width", "get Height", "Move I2& -2320, I2& -240"}},
  };
  for (const Case& c : cases) {
    form_->calls.clear();
    form_->windowState = c.state;
    form_->width = c.width;
    form_->height = c.height;
    EXPECT_EQ(0, Call(L"FCxCenterForm"));
    EXPECT_EQ(c.calls, form_->calls) << "width " << c.width;
  }
}

TEST_F(PlacementCalls, ACentringOutsideSixteenBitsFailsWithOverflowAfterTheRestoreAndBeforeMove) {
  form_->windowState = 2;
  form_->width = 100000;
  EXPECT_EQ(6, Call(L"FCxCenterForm"));
  EXPECT_EQ((Calls{"get WindowState", "put WindowState I2 0", "get Width"}), form_->calls);
}

TEST_F(PlacementCalls, TopmostAndNormalAreOneSetWindowPosEachThatKeepsPlaceAndSize) {
  EXPECT_EQ(0, Call(L"FCxMakeTop"));
  EXPECT_EQ(0, Call(L"FCxMakeNormal"));
  EXPECT_EQ((Calls{"SetWindowPos 4660 -1 0 0 0 0 0x3", "SetWindowPos 4660 -2 0 0 0 0 0x3"}),
            g_platformCalls);
}

TEST_F(PlacementCalls, TransparentReplacesTheExtendedStyleThenAppliesTheFrameReadingHwndEachTime) {
  EXPECT_EQ(0, Call(L"FCxTransparent"));
  EXPECT_EQ((Calls{"SetWindowLongA 4660 -20 0x20", "SetWindowPos 4660 -2 0 0 0 0 0x23"}),
            g_platformCalls);
  EXPECT_EQ((Calls{"get hwnd", "get hwnd"}), form_->calls);
}

TEST_F(PlacementCalls, AltMoveReleasesTheCaptureThenSendsTheCaptionMoveCommand) {
  EXPECT_EQ(0, Call(L"FCxAltMove"));
  EXPECT_EQ((Calls{"ReleaseCapture", "SendMessageA 4660 0x112 0xf012 0"}), g_platformCalls);
}

// A window handle is a 32-bit value in the host's hands; the platform gets
// it as a handle of its own width, sign-extended on x64.
TEST_F(PlacementCalls, ANegativeHandleIsPassedSignExtended) {
  form_->hwnd = -2;
  Call(L"FCxMakeTop");
  ASSERT_EQ(1u, g_platformCalls.size());
  EXPECT_EQ("SetWindowPos -2 -1 0 0 0 0 0x3", g_platformCalls[0]);
#ifdef _WIN64
  EXPECT_EQ(0xFFFFFFFFFFFFFFFEull, reinterpret_cast<UINT_PTR>(g_lastPositioned));
#else
  EXPECT_EQ(0xFFFFFFFEu, reinterpret_cast<UINT_PTR>(g_lastPositioned));
#endif
  form_->hwnd = 0x7FFF1234;
  Call(L"FCxMakeTop");
  EXPECT_EQ(0x7FFF1234u, reinterpret_cast<UINT_PTR>(g_lastPositioned));
}

// Each member given Empty, Nothing, and an object that is no form.
TEST_F(PlacementCalls, ClientsSeeTheErrorNumbersOfTheRuntime) {
  HostForm host = MakeHostForm(L"Errors host");
  const std::pair<const wchar_t*, long> members[] = {
      {L"FCxCenterForm", 438}, {L"FCxMakeTop", 438},     {L"FCxMakeNormal", 438},
      {L"FCxAltMove", 438},    {L"FCxFlashWindow", 13}, {L"FCxTransparent", 438}};
  for (const auto& [member, notAForm] : members) {
    SCOPED_TRACE(member);
    Variant empty;
    EXPECT_EQ(424, ErrorNumberOfCall(control_->Dispatch(), member, {ByReference(empty)}));
    EXPECT_EQ(91, ErrorNumberWithObjects(control_->Dispatch(), member, {nullptr}));
    EXPECT_EQ(notAForm, ErrorNumberWithObjects(control_->Dispatch(), member, {host.menu.Get()}));
  }
}

// Real forms of the runtime.

namespace {

class RealPlacement : public ::testing::Test {
 protected:
  long Call(const wchar_t* member, IDispatch* object) {
    return ErrorNumberWithObjects(control_->Dispatch(), member, {object});
  }
  long Call(const wchar_t* member, formsrt::Form& form) { return Call(member, &form); }

  static RECT Bounds(formsrt::Form& form) {
    RECT bounds{};
    ::GetWindowRect(form.Handle(), &bounds);
    return bounds;
  }

  static LONG ExtendedStyle(formsrt::Form& form) {
    return ::GetWindowLongW(form.Handle(), GWL_EXSTYLE);
  }

  static short WindowState(formsrt::Form& form) {
    short state = -1;
    form.get_WindowState(&state);
    return state;
  }

  HostForm host_ = MakeHostForm(L"Placed host");
  ComPtr<QuennetProbe> control_ = QuennetProbe::Create();
};

// The left or top edge in pixels that centring by the normal size gives.
int CentredPixels(double screenTwips, double formTwips, float twipsPerPixel) {
  short twips = formsrt::ToInt16((screenTwips - formTwips) / 2);
  return static_cast<int>(std::lround(twips / twipsPerPixel));
}

}  // namespace

TEST_F(RealPlacement, MaximisedAndMinimisedFormsAreRestoredAndCentredByTheirNormalSize) {
  formsrt::Form& form = *host_.form.Get();
  float width = 0, height = 0;
  form.get_Width(&width);
  form.get_Height(&height);
  for (short state : {formsrt::window_state::Maximized, formsrt::window_state::Minimized}) {
    form.put_WindowState(state);
    ASSERT_EQ(state, WindowState(form));
    EXPECT_EQ(0, Call(L"FCxCenterForm", form));
    EXPECT_EQ(formsrt::window_state::Normal, WindowState(form));
    RECT bounds = Bounds(form);
    EXPECT_EQ(
        CentredPixels(formsrt::Screen::WidthTwips(), width, formsrt::Screen::TwipsPerPixelX()),
        bounds.left);
    EXPECT_EQ(
        CentredPixels(formsrt::Screen::HeightTwips(), height, formsrt::Screen::TwipsPerPixelY()),
        bounds.top);
    EXPECT_EQ(static_cast<LONG>(width / formsrt::Screen::TwipsPerPixelX()),
              bounds.right - bounds.left);
  }
}

TEST_F(RealPlacement, AFormLargerThanTheScreenIsPlacedAtNegativeCoordinates) {
  formsrt::Form& form = *host_.form.Get();
  float width = static_cast<float>(formsrt::Screen::WidthTwips() + 3000);
  form.put_Width(width);
  EXPECT_EQ(0, Call(L"FCxCenterForm", form));
  EXPECT_LT(Bounds(form).left, 0);
}

TEST_F(RealPlacement, TopmostComesAndGoes) {
  formsrt::Form& form = *host_.form.Get();
  EXPECT_EQ(0, Call(L"FCxMakeTop", form));
  EXPECT_TRUE(ExtendedStyle(form) & WS_EX_TOPMOST);
  EXPECT_EQ(0, Call(L"FCxMakeNormal", form));
  EXPECT_FALSE(ExtendedStyle(form) & WS_EX_TOPMOST);
}

// The platform keeps WS_EX_WINDOWEDGE for a sizing frame whatever is set;
// every other earlier bit (the form's WS_EX_CONTROLPARENT, topmost) goes.
TEST_F(RealPlacement, TransparentLeavesOnlyTheTransparentStyleAndEndsTopmost) {
  formsrt::Form& form = *host_.form.Get();
  Call(L"FCxMakeTop", form);
  ASSERT_TRUE(ExtendedStyle(form) & WS_EX_TOPMOST);
  EXPECT_EQ(0, Call(L"FCxTransparent", form));
  EXPECT_EQ(WS_EX_TRANSPARENT, ExtendedStyle(form) & ~WS_EX_WINDOWEDGE);
}

// Flashing, observed as the caption's active look (WM_NCACTIVATE) changes.

namespace {

struct LookChange {
  HWND window;
  bool active;
};
std::vector<LookChange> g_lookChanges;

LRESULT CALLBACK WatchLook(int code, WPARAM wParam, LPARAM lParam) {
  auto* message = reinterpret_cast<const CWPSTRUCT*>(lParam);
  if (code == HC_ACTION && message->message == WM_NCACTIVATE) {
    g_lookChanges.push_back({message->hwnd, message->wParam != 0});
  }
  return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

class Flashing : public RealPlacement {
 protected:
  void SetUp() override {
    g_lookChanges.clear();
    g_platformCalls.clear();
    user32_->FlashWindow = RecordingFlashWindow;
    hook_ = ::SetWindowsHookExW(WH_CALLWNDPROC, WatchLook, nullptr, ::GetCurrentThreadId());
  }
  void TearDown() override { ::UnhookWindowsHookEx(hook_); }

  size_t FlashesOf(HWND window) const {
    size_t count = 0;
    for (const LookChange& change : g_lookChanges) count += change.window == window;
    return count;
  }

  // A short interval for the tests that count ticks.
  void Quicken() { control_->FlashTimer().SetInterval(50); }

  formsrt::PlatformOverride<formsrt::User32Api> user32_{formsrt::User32()};
  HHOOK hook_ = nullptr;
};

}  // namespace

TEST_F(Flashing, NothingFlashesDuringTheCallAndTheFirstInversionComesOneSecondLater) {
  HWND window = host_.form->Handle();
  DWORD start = ::GetTickCount();
  EXPECT_EQ(0, Call(L"FCxFlashWindow", *host_.form.Get()));
  EXPECT_TRUE(g_platformCalls.empty());
  EXPECT_TRUE(control_->FlashTimer().Enabled());
  ASSERT_TRUE(PumpMessagesUntil([&] { return !g_platformCalls.empty(); }, 3000));
  DWORD elapsed = ::GetTickCount() - start;
  EXPECT_GE(elapsed, 900u);
  EXPECT_LE(elapsed, 1800u);
  EXPECT_EQ(Text("FlashWindow %lld -1", Number(window)), g_platformCalls[0]);
  Variant result;
  control_->FCxStopFlashWindow(result.Put());
}

TEST_F(Flashing, EachTickInvertsTheCaptionOnceAndStopLeavesTheLastLook) {
  Quicken();
  HWND window = host_.form->Handle();
  Call(L"FCxFlashWindow", *host_.form.Get());
  ASSERT_TRUE(PumpMessagesUntil([&] { return FlashesOf(window) == 3; }, 3000));
  Variant result;
  EXPECT_EQ(S_OK, control_->FCxStopFlashWindow(result.Put()));
  EXPECT_EQ(VT_EMPTY, result.Type());
  PumpMessagesFor(300);  // shows that no tick comes after the stop
  ASSERT_EQ(3u, g_lookChanges.size());
  EXPECT_NE(g_lookChanges[0].active, g_lookChanges[1].active);
  EXPECT_NE(g_lookChanges[1].active, g_lookChanges[2].active);
  EXPECT_EQ(3u, g_platformCalls.size());
  EXPECT_FALSE(control_->FlashTimer().Enabled());
}

TEST_F(Flashing, ASecondFlashCallSwapsTheTargetAndKeepsTheTimerRunning) {
  Quicken();
  HostForm second = MakeHostForm(L"Second flashed host");
  Call(L"FCxFlashWindow", *host_.form.Get());
  ASSERT_TRUE(PumpMessagesUntil([&] { return FlashesOf(host_.form->Handle()) == 1; }, 3000));
  Call(L"FCxFlashWindow", *second.form.Get());
  ASSERT_TRUE(PumpMessagesUntil([&] { return FlashesOf(second.form->Handle()) == 2; }, 3000));
  EXPECT_EQ(1u, FlashesOf(host_.form->Handle()));
}

TEST_F(Flashing, ANonFormLeavesTargetAndTimerAsTheyWere) {
  Quicken();
  EXPECT_EQ(13, Call(L"FCxFlashWindow", host_.menu.Get()));
  EXPECT_FALSE(control_->FlashTimer().Enabled());
  Call(L"FCxFlashWindow", *host_.form.Get());
  EXPECT_EQ(13, Call(L"FCxFlashWindow", host_.menu.Get()));
  EXPECT_TRUE(control_->FlashTimer().Enabled());
  ASSERT_TRUE(PumpMessagesUntil([&] { return FlashesOf(host_.form->Handle()) == 2; }, 3000));
}

TEST_F(Flashing, ATickOnAnUnloadedFormDoesNothingAndTheTimerGoesOn) {
  Quicken();
  Call(L"FCxFlashWindow", *host_.form.Get());
  host_.form->Unload();
  ASSERT_TRUE(PumpMessagesUntil([&] { return g_platformCalls.size() >= 2; }, 3000));
  EXPECT_TRUE(control_->FlashTimer().Enabled());
  for (const std::string& call : g_platformCalls) EXPECT_EQ("FlashWindow 0 -1", call);
}

namespace {

std::vector<std::pair<HWND, UINT_PTR>> g_runningTimers;

UINT_PTR WINAPI CountingSetTimer(HWND hwnd, UINT_PTR id, UINT elapse, TIMERPROC procedure) {
  UINT_PTR result = ::SetTimer(hwnd, id, elapse, procedure);
  if (result) g_runningTimers.push_back({hwnd, id});
  return result;
}

BOOL WINAPI CountingKillTimer(HWND hwnd, UINT_PTR id) {
  std::erase(g_runningTimers, std::pair{hwnd, id});
  return ::KillTimer(hwnd, id);
}

}  // namespace

TEST_F(Flashing, ADestroyedControlLeavesNoTimerRunning) {
  g_runningTimers.clear();
  user32_->SetTimer = CountingSetTimer;
  user32_->KillTimer = CountingKillTimer;
  Quicken();
  Call(L"FCxFlashWindow", *host_.form.Get());
  ASSERT_EQ(1u, g_runningTimers.size());
  control_.Reset();
  EXPECT_TRUE(g_runningTimers.empty());
  size_t flashes = g_platformCalls.size();
  PumpMessagesFor(200);  // shows that no tick comes any more
  EXPECT_EQ(flashes, g_platformCalls.size());
}
