// A form's pop-up menu shown at the mouse through "PopupMenu" by name, and
// closed by the test from inside the menu's own message loop.
#include <gtest/gtest.h>

#include <vector>

#include "ByReference.h"
#include "CursorKept.h"
#include "MessagePump.h"
#include "ErrorNumber.h"
#include "com/LateBound.h"
#include "platform/Platform.h"
#include "core/RuntimeError.h"
#include "forms/Form.h"

using namespace formsrt;

namespace {

HWND g_form;
bool g_menuWasOpen;
bool g_chooseFirstItem;

// Runs inside the menu's modal loop: notes that the menu is up, then either
// picks the first item with the keyboard or dismisses the menu.
void CALLBACK AnswerMenu(HWND, UINT, UINT_PTR timer, DWORD) {
  ::KillTimer(nullptr, timer);
  g_menuWasOpen = ::FindWindowW(L"#32768", nullptr) != nullptr;
  if (g_chooseFirstItem) {
    ::PostMessageW(g_form, WM_KEYDOWN, VK_DOWN, 0);
    ::PostMessageW(g_form, WM_KEYDOWN, VK_RETURN, 0);
  } else {
    ::EndMenu();
  }
}

class MenuTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form_ = Form::Create(L"Menu host", TwipsRect{1500, 1500, 3000, 2000});
    form_->Show();
    g_form = form_->Handle();
    g_menuWasOpen = false;
    menu_ = form_->AddMenu(L"mnuTray");
    menu_->AddItem(L"&Restore", [this] { ++restores_; });
    menu_->AddItem(L"E&xit", [] {});
    ASSERT_EQ(S_OK, form_->QueryInterface(IID_IDispatch, dispatch_.PutVoid()));
  }

  void PopUp(const VARIANT& menu, bool chooseFirstItem) {
    g_chooseFirstItem = chooseFirstItem;
    ::SetTimer(nullptr, 0, 200, AnswerMenu);
    CallMethod(dispatch_.Get(), L"PopupMenu", {menu});
  }

  long PopUpError(const VARIANT& menu) {
    return testing_support::ErrorNumberOf([&] { CallMethod(dispatch_.Get(), L"PopupMenu", {menu}); });
  }

  ComPtr<Form> form_;
  ComPtr<Menu> menu_;
  ComPtr<IDispatch> dispatch_;
  int restores_ = 0;
};

}  // namespace

TEST_F(MenuTest, PopupMenuShowsTheMenuAndReturnsWhenItIsDismissed) {
  PopUp(Variant::FromDispatch(menu_.Get()).Get(), false);
  EXPECT_TRUE(g_menuWasOpen);
  EXPECT_EQ(0, restores_);
  EXPECT_EQ(nullptr, ::FindWindowW(L"#32768", nullptr));
}

TEST_F(MenuTest, AChosenItemRunsAfterTheMenuCloses) {
  IDispatch* menu = menu_.Get();
  PopUp(testing_support::ByReference(VT_DISPATCH, &menu), true);  // as a control keeps what its host passed by reference
  EXPECT_TRUE(g_menuWasOpen);
  EXPECT_EQ(1, restores_);
}

TEST_F(MenuTest, PopupMenuFailsForAnythingButAMenuOfThatForm) {
  EXPECT_EQ(error::ObjectRequired, PopUpError(Variant::FromText(L"mnuTray").Get()));
  EXPECT_EQ(error::ObjectNotSet, PopUpError(Variant::FromDispatch(nullptr).Get()));
  EXPECT_EQ(error::TypeMismatch, PopUpError(Variant::FromDispatch(dispatch_.Get()).Get()));

  ComPtr<Form> other = Form::Create(L"Other", TwipsRect{0, 0, 1500, 1500});
  ComPtr<Menu> othersMenu = other->AddMenu(L"mnuOther");
  EXPECT_EQ(error::TypeMismatch, PopUpError(Variant::FromDispatch(othersMenu.Get()).Get()));
}

TEST_F(MenuTest, TheMenuIsAnAutomationObjectWithItsCaption) {
  Variant caption = GetProperty(menu_.Get(), L"Caption");
  EXPECT_STREQ(L"mnuTray", V_BSTR(&caption.Get()));
}

// What the platform needs for a menu to close when the user clicks
// elsewhere: the form in front while the menu is tracked, and a message to
// the form after it.

namespace {

struct PlatformCall {
  const char* entry;
  HWND window;
  std::vector<LONG_PTR> arguments;
  bool operator==(const PlatformCall&) const = default;
};
std::vector<PlatformCall> g_calls;

BOOL WINAPI RecordingSetForegroundWindow(HWND window) {
  g_calls.push_back({"SetForegroundWindow", window, {}});
  return TRUE;
}

// Shows nothing and reports that nothing was chosen.
BOOL WINAPI RecordingTrackPopupMenuEx(HMENU, UINT flags, int, int, HWND owner, LPTPMPARAMS) {
  g_calls.push_back({"TrackPopupMenuEx", owner, {static_cast<LONG_PTR>(flags)}});
  return 0;
}

BOOL WINAPI RecordingPostMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  g_calls.push_back(
      {"PostMessageW", window, {static_cast<LONG_PTR>(message), static_cast<LONG_PTR>(wParam), lParam}});
  return ::PostMessageW(window, message, wParam, lParam);
}

POINT g_clickAt;
bool g_clickedOutside;
bool g_closedByTheTest;

void Click(POINT at) {
  ::SetCursorPos(at.x, at.y);
  INPUT input[2]{};
  input[0].type = input[1].type = INPUT_MOUSE;
  input[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  input[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  ::SendInput(2, input, sizeof(INPUT));
}

// Once the menu is up, clicks outside it, on the window in front.
void CALLBACK ClickOutsideTheMenu(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND menu = ::FindWindowW(L"#32768", nullptr);
  if (!menu || !::IsWindowVisible(menu) || g_clickedOutside) return;
  ::KillTimer(nullptr, timer);
  g_clickedOutside = true;
  Click(g_clickAt);
}

// If the click did not close the menu, the test does, so that it ends.
void CALLBACK CloseTheMenu(HWND, UINT, UINT_PTR timer, DWORD) {
  ::KillTimer(nullptr, timer);
  if (!::FindWindowW(L"#32768", nullptr)) return;
  g_closedByTheTest = true;
  ::EndMenu();
}

}  // namespace

TEST_F(MenuTest, TheFormIsInFrontWhileItsMenuIsTrackedAndHearsFromThePlatformAfterwards) {
  g_calls.clear();
  {
    PlatformOverride<User32Api> user32(User32());
    user32->SetForegroundWindow = RecordingSetForegroundWindow;
    user32->TrackPopupMenuEx = RecordingTrackPopupMenuEx;
    user32->PostMessageW = RecordingPostMessageW;
    CallMethod(dispatch_.Get(), L"PopupMenu", {Variant::FromDispatch(menu_.Get()).Get()});
  }
  // The choice comes back from the call, not as a command; either button chooses.
  std::vector<PlatformCall> expected = {
      {"SetForegroundWindow", form_->Handle(), {}},
      {"TrackPopupMenuEx", form_->Handle(), {TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY}},
      {"PostMessageW", form_->Handle(), {WM_NULL, 0, 0}}};
  EXPECT_EQ(expected, g_calls);
}

TEST_F(MenuTest, AMenuPoppedUpWhileAnotherWindowIsInFrontClosesOnAClickOutsideIt) {
  ComPtr<Form> front = Form::Create(L"In front", TwipsRect{7500, 4500, 3000, 2000});
  front->Show();
  testing_support::CursorKept cursor;  // the test clicks with the real pointer
  ::SetForegroundWindow(front->Handle());
  testing_support::PumpMessagesUntil([&] { return ::GetForegroundWindow() == front->Handle(); },
                                     2000);
  testing_support::PumpMessagesFor(200);
  RECT frontBounds{};
  ::GetWindowRect(front->Handle(), &frontBounds);
  g_clickAt = {(frontBounds.left + frontBounds.right) / 2, (frontBounds.top + frontBounds.bottom) / 2};
  g_clickedOutside = false;
  g_closedByTheTest = false;
  RECT formBounds{};
  ::GetWindowRect(form_->Handle(), &formBounds);
  ::SetCursorPos(formBounds.left + 20, formBounds.top + 40);  // the menu shows here
  ::SetTimer(nullptr, 0, 50, ClickOutsideTheMenu);
  UINT_PTR fallback = ::SetTimer(nullptr, 0, 5000, CloseTheMenu);
  CallMethod(dispatch_.Get(), L"PopupMenu", {Variant::FromDispatch(menu_.Get()).Get()});
  ::KillTimer(nullptr, fallback);
  EXPECT_TRUE(g_clickedOutside);
  EXPECT_FALSE(g_closedByTheTest);
  EXPECT_EQ(0, restores_);
}
