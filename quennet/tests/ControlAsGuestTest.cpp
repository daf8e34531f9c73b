// The control is a guest in its host's process: a failure inside one of its
// window procedures ends that message and nothing else. The failures are
// injected through the platform seam; were one to reach the runtime's
// unhandled-error report, this test program would end there.
#include <gtest/gtest.h>

#include <new>

#include "TrayTestSupport.h"
#include "platform/Platform.h"

using namespace tray_test;
using formsrt::ComPtr;

namespace {

int g_failures;

[[noreturn]] void Fail() {
  ++g_failures;
  throw std::bad_alloc();
}

int WINAPI FailingMessageBoxW(HWND, LPCWSTR, LPCWSTR, UINT) { Fail(); }
BOOL WINAPI FailingFlashWindow(HWND, BOOL) { Fail(); }
BOOL WINAPI FailingNotifyIcon(DWORD operation, PNOTIFYICONDATAA) {
  if (operation != NIM_ADD) return TRUE;
  Fail();
}

BOOL WINAPI AcceptingNotifyIcon(DWORD, PNOTIFYICONDATAA) { return TRUE; }

class ControlAsGuest : public ::testing::Test {
 protected:
  void SetUp() override { g_failures = 0; }

  formsrt::PlatformOverride<formsrt::User32Api> user32_{formsrt::User32()};
  formsrt::PlatformOverride<formsrt::Shell32Api> shell_{formsrt::Shell32()};
  HostForm host_ = MakeHostForm(L"Host of a guest");
  ComPtr<QuennetProbe> control_ = QuennetProbe::Create();
};

}  // namespace

TEST_F(ControlAsGuest, AFailedMenuErrorBoxEndsTheNotificationAndTheNextOneIsHandled) {
  user32_->MessageBoxW = FailingMessageBoxW;
  EventRecorder recorder(*control_.Get());
  // Nothing kept: the menu step fails and shows the menu error box, which fails too.
  control_->Notify(WM_RBUTTONUP);
  EXPECT_EQ(1, g_failures);
  control_->Notify(WM_LBUTTONDOWN);
  EXPECT_EQ((RaisedEvents{{kSTxMouseUp, VARIANT_FALSE}, {kSTxClick, VARIANT_TRUE}}),
            recorder.Events());
}

TEST_F(ControlAsGuest, AFailedTickEndsTheTickAndTheTimerGoesOn) {
  user32_->FlashWindow = FailingFlashWindow;
  ASSERT_EQ(0, ErrorNumberWithObjects(control_->Dispatch(), L"FCxFlashWindow", {host_.form.Get()}));
  control_->FlashTimer().SetInterval(50);
  EXPECT_TRUE(PumpMessagesUntil([] { return g_failures >= 3; }, 3000));
  EXPECT_TRUE(control_->FlashTimer().Enabled());
}

TEST_F(ControlAsGuest, AFailedAddForANewTaskbarEndsTheAnnouncementAndTheIconStaysWanted) {
  shell_->Shell_NotifyIconA = AcceptingNotifyIcon;
  ASSERT_EQ(0, ErrorNumberWithObjects(control_->Dispatch(), L"STxLoadIcon",
                                      {host_.form.Get(), host_.menu.Get()}));
  shell_->Shell_NotifyIconA = FailingNotifyIcon;
  UINT taskbarCreated = ::RegisterWindowMessageW(L"TaskbarCreated");
  for (int announcement = 0; announcement < 2; ++announcement) {
    ::SendMessageTimeoutW(HWND_BROADCAST, taskbarCreated, 0, 0, SMTO_ABORTIFHUNG, 2000, nullptr);
  }
  EXPECT_EQ(2, g_failures);
}
