// The tray icon: the records handed to the shell (platform seam faked), the
// callback through pichook with host forms of the runtime, and the icon in
// the platform's real tray window.
#include <gtest/gtest.h>
#include <olectl.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "FakeMessageBox.h"
#include "DisplayDpi.h"
#include "TrayTestSupport.h"
#include "core/Bstr.h"
#include "com/LateBound.h"
#include "platform/Platform.h"
#include "core/RuntimeError.h"

using namespace tray_test;
using formsrt::ComPtr;
using formsrt::Variant;

namespace {

struct ShellCall {
  DWORD operation;
  std::vector<BYTE> record;
};
std::vector<ShellCall> g_shellCalls;
BOOL g_shellAnswer = TRUE;

BOOL WINAPI RecordingNotifyIcon(DWORD operation, PNOTIFYICONDATAA data) {
  const BYTE* bytes = reinterpret_cast<const BYTE*>(data);
  g_shellCalls.push_back({operation, {bytes, bytes + data->cbSize}});
  return g_shellAnswer;
}

// The operations of the calls so far, in order.
std::vector<DWORD> Operations() {
  std::vector<DWORD> operations;
  for (const ShellCall& call : g_shellCalls) operations.push_back(call.operation);
  return operations;
}

// The tip field: the text, a NUL, then spaces to 64 bytes.
std::string PaddedTip(std::string text) {
  text.push_back('\0');
  text.resize(64, ' ');
  return text;
}

std::vector<BYTE> ExpectedRecord(HWND owner, UINT flags, UINT message, HICON icon,
                                 const std::string& tip) {
  NOTIFYICONDATAA record;
  std::memset(&record, 0, sizeof(record));
  record.cbSize = NOTIFYICONDATAA_V1_SIZE;
  record.hWnd = owner;
  record.uID = 1;
  record.uFlags = flags;
  record.uCallbackMessage = message;
  record.hIcon = icon;
  std::memcpy(record.szTip, tip.data(), 64);
  const BYTE* bytes = reinterpret_cast<const BYTE*>(&record);
  return {bytes, bytes + NOTIFYICONDATAA_V1_SIZE};
}

HICON IconOf(formsrt::Form& form) {
  ComPtr<IPictureDisp> picture;
  form.get_Icon(picture.Put());
  ComPtr<IPicture> icon;
  picture.As(icon);
  OLE_HANDLE handle = 0;
  icon->get_Handle(&handle);
  return static_cast<HICON>(LongToHandle(handle));
}

HRESULT LoadIcon(QuennetProbe& control, IDispatch* form, IDispatch* menu) {
  Variant formArgument = Variant::FromDispatch(form);
  Variant menuArgument = Variant::FromDispatch(menu);
  Variant result;
  return control.STxLoadIcon(formArgument.Raw(), menuArgument.Raw(), result.Put());
}

void SetTip(QuennetProbe& control, const std::wstring& tip) {
  formsrt::Bstr text(tip);
  control.put_STxTrayTTT(text.Get());
}

void AnnounceNewTaskbar() {
  ::SendMessageTimeoutW(HWND_BROADCAST, ::RegisterWindowMessageW(L"TaskbarCreated"), 0, 0,
                        SMTO_ABORTIFHUNG, 2000, nullptr);
}

class TrayRecord : public ::testing::Test {
 protected:
  void SetUp() override {
    g_shellCalls.clear();
    g_shellAnswer = TRUE;
    shell_->Shell_NotifyIconA = RecordingNotifyIcon;
  }

  // The tip field, the last 64 bytes, of each record the shell is given when
  // the icon is loaded with `tip` set.
  std::vector<std::string> TipsShownFor(const std::wstring& tip) {
    g_shellCalls.clear();
    SetTip(*control_.Get(), tip);
    LoadIcon(*control_.Get(), host_.form.Get(), host_.menu.Get());
    std::vector<std::string> tips;
    for (const ShellCall& call : g_shellCalls) tips.push_back({call.record.end() - 64, call.record.end()});
    return tips;
  }

  formsrt::PlatformOverride<formsrt::Shell32Api> shell_{formsrt::Shell32()};
  HostForm host_ = MakeHostForm(L"Tray record host");
  ComPtr<QuennetProbe> control_ = QuennetProbe::Create();
};

}  // namespace

TEST_F(TrayRecord, LoadAddsIcon1OfPichookWithFlags7CallbackMessage0x200AndTheFormsIcon) {
  SetTip(*control_.Get(), L"Quennet demo");
  ASSERT_EQ(S_OK, LoadIcon(*control_.Get(), host_.form.Get(), host_.menu.Get()));
  ASSERT_EQ((std::vector<DWORD>{NIM_ADD}), Operations());
  EXPECT_EQ(ExpectedRecord(control_->PichookWindow(), 7, 0x200, IconOf(*host_.form.Get()),
                           PaddedTip("Quennet demo")),
            g_shellCalls[0].record);
}

// The record as the shell reads it, laid out by hand for each target: on x86
// the 88 bytes of 32-bit fields, on x64 the same fields with 8-byte handles.
TEST_F(TrayRecord, TheShellReadsTheRecordOfItsTargetByteForByte) {
  struct Layout {
    size_t size, window, id, flags, message, icon, tip, handleBytes;
  };
#ifdef _WIN64
  constexpr Layout layout{104, 8, 16, 20, 24, 32, 40, 8};
#else
  constexpr Layout layout{88, 4, 8, 12, 16, 20, 24, 4};
#endif
  SetTip(*control_.Get(), L"Layout");
  ASSERT_EQ(S_OK, LoadIcon(*control_.Get(), host_.form.Get(), host_.menu.Get()));
  ASSERT_EQ(1u, g_shellCalls.size());
  const std::vector<BYTE>& record = g_shellCalls[0].record;
  ASSERT_EQ(layout.size, record.size());
  auto field = [&](size_t offset, size_t bytes) {
    unsigned long long value = 0;
    std::memcpy(&value, record.data() + offset, bytes);
    return value;
  };
  EXPECT_EQ((std::vector<unsigned long long>{layout.size, reinterpret_cast<UINT_PTR>(control_->PichookWindow()), 1, 7,
                                              0x200, reinterpret_cast<UINT_PTR>(IconOf(*host_.form.Get()))}),
            (std::vector{field(0, 4), field(layout.window, layout.handleBytes), field(layout.id, 4), field(layout.flags, 4),
                         field(layout.message, 4), field(layout.icon, layout.handleBytes)}));
  EXPECT_EQ(PaddedTip("Layout"), std::string(record.begin() + layout.tip, record.end()));
  EXPECT_EQ(layout.size, layout.tip + 64);
}

TEST_F(TrayRecord, TipIsCutTo63CharactersAndAlwaysEndsWithANul) {
  struct Case {
    std::string text, expectedTip;
  } cases[] = {
      {"", PaddedTip("")},
      {std::string(63, 'a'), std::string(63, 'a') + '\0'},
      {std::string(64, 'b'), std::string(63, 'b') + '\0'},
      {std::string(200, 'c'), std::string(63, 'c') + '\0'},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(std::vector{c.expectedTip}, TipsShownFor(std::wstring(c.text.begin(), c.text.end())))
        << "tip of " << c.text.size() << " characters";
  }
}

TEST_F(TrayRecord, ACutThatWouldSplitASurrogatePairLeavesOutTheWholePair) {
  EXPECT_EQ(std::vector{std::string(62, 'a') + '\0' + ' '}, TipsShownFor(std::wstring(62, L'a') + L"\U0001F600"));
}

TEST_F(TrayRecord, TipIsInTheSystemCodePage) {
  ASSERT_EQ(1252u, ::GetACP()) << "the expected bytes are those of the test environment's code page";
  EXPECT_EQ(std::vector{PaddedTip("Gr\xFC\xDF"
                                  "e \x80")},
            TipsShownFor(L"Gr\u00fc\u00dfe \u20ac"));
}

TEST_F(TrayRecord, ClearDeletesWithTheLoadedRecordAfterRewritingOnlySizeOwnerAndId) {
  SetTip(*control_.Get(), L"kept");
  LoadIcon(*control_.Get(), host_.form.Get(), host_.menu.Get());
  SetTip(*control_.Get(), L"not yet shown");
  EXPECT_EQ(S_OK, control_->STxClearIcon());
  ASSERT_EQ((std::vector<DWORD>{NIM_ADD, NIM_DELETE}), Operations());
  EXPECT_EQ(g_shellCalls[0].record, g_shellCalls[1].record);
}

TEST_F(TrayRecord, ClearWithoutAnIconDeletesWithAnOtherwiseEmptyRecordEveryTime) {
  g_shellAnswer = FALSE;  // the shell knows no such icon; nobody is told
  EXPECT_EQ(S_OK, control_->STxClearIcon());
  EXPECT_EQ(S_OK, control_->STxClearIcon());
  ASSERT_EQ(2u, g_shellCalls.size());
  auto expected = ExpectedRecord(control_->PichookWindow(), 0, 0, nullptr, PaddedTip(""));
  EXPECT_EQ(expected, g_shellCalls[0].record);
  EXPECT_EQ(expected, g_shellCalls[1].record);
}

TEST_F(TrayRecord, ARefusedAddIsNotReported) {
  g_shellAnswer = FALSE;
  EXPECT_EQ(S_OK, LoadIcon(*control_.Get(), host_.form.Get(), host_.menu.Get()));
}

TEST_F(TrayRecord, ChangingTheTipCallsNoShellAndASecondLoadAddsTheSameIdAgain) {
  SetTip(*control_.Get(), L"first");
  LoadIcon(*control_.Get(), host_.form.Get(), host_.menu.Get());
  SetTip(*control_.Get(), L"second");
  EXPECT_EQ(1u, g_shellCalls.size());
  LoadIcon(*control_.Get(), host_.form.Get(), host_.menu.Get());
  ASSERT_EQ((std::vector<DWORD>{NIM_ADD, NIM_ADD}), Operations());
  EXPECT_EQ(ExpectedRecord(control_->PichookWindow(), 7, 0x200, IconOf(*host_.form.Get()),
                           PaddedTip("second")),
            g_shellCalls[1].record);
}

TEST_F(TrayRecord, AnObjectWithoutIconFailsBeforeAnythingIsShown) {
  ComPtr<ScriptedForm> notAForm = ScriptedForm::Create();
  EXPECT_EQ(formsrt::HresultFromErrorNumber(438),
            LoadIcon(*control_.Get(), notAForm.Get(), host_.menu.Get()));
  EXPECT_TRUE(g_shellCalls.empty());
}

TEST_F(TrayRecord, ANewTaskbarGetsTheShownIconAgainWithTheSameRecord) {
  LoadIcon(*control_.Get(), host_.form.Get(), host_.menu.Get());
  SetTip(*control_.Get(), L"changed since");
  AnnounceNewTaskbar();
  ASSERT_EQ((std::vector<DWORD>{NIM_ADD, NIM_ADD}), Operations());
  EXPECT_EQ(g_shellCalls[0].record, g_shellCalls[1].record);
}

TEST_F(TrayRecord, ANewTaskbarDoesNotBringBackAClearedOrNeverShownIcon) {
  AnnounceNewTaskbar();
  EXPECT_TRUE(g_shellCalls.empty());
  LoadIcon(*control_.Get(), host_.form.Get(), host_.menu.Get());
  control_->STxClearIcon();
  AnnounceNewTaskbar();
  EXPECT_EQ(2u, g_shellCalls.size());
}

namespace {

struct FilterCall {
  bool perWindow;
  UINT message;
  DWORD action;
  bool operator==(const FilterCall&) const = default;
};
std::vector<FilterCall> g_filterCalls;

BOOL WINAPI RecordingFilterForWindow(HWND, UINT message, DWORD action, void*) {
  g_filterCalls.push_back({true, message, action});
  return TRUE;
}

BOOL WINAPI RecordingFilterForProcess(UINT message, DWORD action) {
  g_filterCalls.push_back({false, message, action});
  return TRUE;
}

}  // namespace

// An elevated host hears a restarted shell through the newest message filter
// the platform has; before Vista there is no filter and nothing to call.
TEST_F(TrayRecord, TheAnnouncementIsLetThroughTheNewestMessageFilterThePlatformHas) {
  UINT taskbarCreated = ::RegisterWindowMessageW(L"TaskbarCreated");
  formsrt::PlatformOverride<formsrt::User32Api> user32(formsrt::User32());
  user32->ChangeWindowMessageFilterEx = RecordingFilterForWindow;
  user32->ChangeWindowMessageFilter = RecordingFilterForProcess;
  std::vector<std::vector<FilterCall>> expected = {
      {{true, taskbarCreated, 1}}, {{false, taskbarCreated, 1}}, {}};
  control_.Reset();  // only the controls made here show an icon
  for (const std::vector<FilterCall>& calls : expected) {
    g_filterCalls.clear();
    g_shellCalls.clear();
    ComPtr<QuennetProbe> control = QuennetProbe::Create();
    EXPECT_EQ(calls, g_filterCalls);
    LoadIcon(*control.Get(), host_.form.Get(), host_.menu.Get());
    AnnounceNewTaskbar();
    EXPECT_EQ(2u, g_shellCalls.size());
    if (user32->ChangeWindowMessageFilterEx) {
      user32->ChangeWindowMessageFilterEx = nullptr;
    } else {
      user32->ChangeWindowMessageFilter = nullptr;
    }
  }
}

UINT WINAPI RegistrationRefused(LPCWSTR) { return 0; }

// Where the platform cannot register the announcement there is nothing to
// hear: a broadcast of message 0 does not show the icon again.
TEST_F(TrayRecord, WithoutTheRegisteredAnnouncementNoBroadcastShowsTheIconAgain) {
  formsrt::PlatformOverride<formsrt::User32Api> user32(formsrt::User32());
  user32->RegisterWindowMessageW = RegistrationRefused;
  control_.Reset();
  ComPtr<QuennetProbe> control = QuennetProbe::Create();
  LoadIcon(*control.Get(), host_.form.Get(), host_.menu.Get());
  size_t shown = g_shellCalls.size();
  ::SendMessageTimeoutW(HWND_BROADCAST, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 2000, nullptr);
  EXPECT_EQ(shown, g_shellCalls.size());
}

TEST_F(TrayRecord, DestroyingTheControlDeletesTheIcon) {
  LoadIcon(*control_.Get(), host_.form.Get(), host_.menu.Get());
  HWND owner = control_->PichookWindow();
  control_.Reset();
  ASSERT_EQ((std::vector<DWORD>{NIM_ADD, NIM_DELETE}), Operations());
  NOTIFYICONDATAA deleted;
  std::memcpy(&deleted, g_shellCalls[1].record.data(), NOTIFYICONDATAA_V1_SIZE);
  EXPECT_EQ(owner, deleted.hWnd);
  EXPECT_EQ(1u, deleted.uID);
}

TEST_F(TrayRecord, AHostMayReleaseTheControlInsideAnEvent) {
  LoadIcon(*control_.Get(), host_.form.Get(), host_.menu.Get());
  auto recorder = std::make_unique<EventRecorder>(*control_.Get());
  recorder->OnEvent([&](DISPID, VARIANT_BOOL&) {
    recorder.reset();
    control_.Reset();
  });
  QuennetProbe* control = control_.Get();
  control->Notify(WM_LBUTTONDOWN);
  ASSERT_EQ((std::vector<DWORD>{NIM_ADD, NIM_DELETE}), Operations());
}

// The callback: the shell's notifications as pichook receives them.

namespace {

class TrayCallback : public TrayRecord {
 protected:
  void SetMenu(bool popUp) { control_->put_STxMenu(popUp ? VARIANT_TRUE : VARIANT_FALSE); }
  const std::vector<testing_support::AskedMessageBox>& Boxes() const { return boxes_.Boxes(); }

  testing_support::FakeMessageBox boxes_;
  EventRecorder recorder_{*control_.Get()};
};

// Closes the pop-up menu as soon as it shows, remembering which menu it was;
// before that, the icon is clicked (the click must be dropped).
HMENU g_shownMenu;
QuennetProbe* g_menuOwner;
void CALLBACK CloseShownMenu(HWND, UINT, UINT_PTR, DWORD) {
  HWND popup = ::FindWindowW(L"#32768", nullptr);
  if (!popup || !::IsWindowVisible(popup)) return;
  g_shownMenu = reinterpret_cast<HMENU>(::SendMessageW(popup, MN_GETHMENU, 0, 0));
  g_menuOwner->Notify(WM_LBUTTONDOWN);
  ::EndMenu();
}

// Notifies a right-button release; returns the menu that popped up, if any.
HMENU RightReleaseShowing(QuennetProbe& control) {
  g_shownMenu = nullptr;
  g_menuOwner = &control;
  UINT_PTR timer = ::SetTimer(nullptr, 0, 50, CloseShownMenu);
  control.Notify(WM_RBUTTONUP);
  ::KillTimer(nullptr, timer);
  return g_shownMenu;
}

constexpr VARIANT_BOOL kTrue = VARIANT_TRUE;
constexpr VARIANT_BOOL kFalse = VARIANT_FALSE;

}  // namespace

TEST_F(TrayCallback, EachMouseMessageRaisesTheEventsOfTheTableWhateverTheHandlerWritesInLeft) {
  SetMenu(false);
  recorder_.OnEvent([](DISPID, VARIANT_BOOL& left) { left = ~left; });
  for (UINT message = 0x200; message <= 0x209; ++message) control_->Notify(message);
  EXPECT_EQ((RaisedEvents{{kSTxClick, kTrue}, {kSTxMouseUp, kTrue}, {kSTxDBLClick, kTrue},
                          {kSTxClick, kFalse}, {kSTxMouseUp, kFalse}, {kSTxDBLClick, kFalse}}),
            recorder_.Events());
  EXPECT_TRUE(Boxes().empty());
}

// The picture box reports the shell's number times TwipsPerPixelX; only the
// same axis gives the number back on a display whose pixels are not square.
TEST_F(TrayCallback, ANonSquareDisplayDecodesTheSameEvents) {
  testing_support::DisplayDpi display(96, 120);
  SetMenu(false);
  for (UINT message : {WM_LBUTTONDOWN, WM_RBUTTONUP, WM_LBUTTONDBLCLK}) control_->Notify(message);
  EXPECT_EQ((RaisedEvents{{kSTxClick, kTrue}, {kSTxMouseUp, kFalse}, {kSTxDBLClick, kTrue}}),
            recorder_.Events());
}

TEST_F(TrayCallback, ANotificationWhileAHandlerRunsAModalLoopIsDroppedForGood) {
  SetMenu(false);
  recorder_.OnEvent([&](DISPID id, VARIANT_BOOL&) {
    if (id != kSTxClick) return;
    ::PostMessageW(control_->PichookWindow(), WM_MOUSEMOVE, 1, WM_LBUTTONUP);
    PumpMessagesFor(100);  // as a modal box would
  });
  control_->Notify(WM_LBUTTONDOWN);
  PumpMessagesFor(100);  // shows that the release posted inside is not raised later either
  control_->Notify(WM_LBUTTONDBLCLK);
  EXPECT_EQ((RaisedEvents{{kSTxClick, kTrue}, {kSTxDBLClick, kTrue}}), recorder_.Events());
}

TEST_F(TrayCallback, ARightReleasePopsUpTheKeptMenuOnlyWithSTxMenuTrue) {
  LoadIcon(*control_.Get(), host_.form.Get(), host_.menu.Get());
  SetMenu(false);
  EXPECT_EQ(nullptr, RightReleaseShowing(*control_.Get()));
  SetMenu(true);
  EXPECT_EQ(host_.menu->Handle(), RightReleaseShowing(*control_.Get()));
  EXPECT_EQ((RaisedEvents{{kSTxMouseUp, kFalse}, {kSTxMouseUp, kFalse}}), recorder_.Events());
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(TrayCallback, ASecondLoadPopsUpTheLastFormsMenu) {
  HostForm other = MakeHostForm(L"Second host");
  LoadIcon(*control_.Get(), host_.form.Get(), host_.menu.Get());
  LoadIcon(*control_.Get(), other.form.Get(), other.menu.Get());
  EXPECT_EQ(other.menu->Handle(), RightReleaseShowing(*control_.Get()));
  EXPECT_TRUE(Boxes().empty());
}

TEST_F(TrayCallback, AKeptObjectThatIsNoMenuShowsTheErrorBoxAndTheNextClickWorks) {
  LoadIcon(*control_.Get(), host_.form.Get(), host_.form.Get());
  boxes_.whileShown = [&] { control_->Notify(WM_LBUTTONDOWN); };  // dropped: the box is up
  EXPECT_EQ(nullptr, RightReleaseShowing(*control_.Get()));
  EXPECT_EQ(std::vector<quennet_test::ShownBox>{quennet_test::kMenuErrorBox},
            quennet_test::Shown(Boxes()));
  control_->Notify(WM_LBUTTONDOWN);
  EXPECT_EQ((RaisedEvents{{kSTxMouseUp, kFalse}, {kSTxClick, kTrue}}), recorder_.Events());
}

TEST_F(TrayCallback, WithoutAnyLoadTheMenuStepShowsTheErrorBoxEvenWhenErrorsAreQuiet) {
  control_->put_QuietErrors(VARIANT_TRUE);
  RightReleaseShowing(*control_.Get());
  EXPECT_EQ(1u, Boxes().size());
}

TEST_F(TrayCallback, AHostCanLoadTheIconLateBoundWithItsFormAndMenuByValue) {
  Variant form = Variant::FromDispatch(host_.form.Get());
  Variant menu = Variant::FromDispatch(host_.menu.Get());
  formsrt::CallMethod(control_->Dispatch(), L"STxLoadIcon", {form.Get(), menu.Get()});
  EXPECT_EQ(host_.menu->Handle(), RightReleaseShowing(*control_.Get()));
  ASSERT_EQ((std::vector<DWORD>{NIM_ADD}), Operations());
}

// The platform's own tray window.

TEST(RealTray, TheIconAppearsInTheTrayAndLeavesItOnClearAndOnDestruction) {
  HostForm host = MakeHostForm(L"Real tray host");
  ASSERT_TRUE(TrayWindowIsUp()) << "no Shell_TrayWnd";
  ComPtr<QuennetProbe> control = QuennetProbe::Create();
  HWND owner = control->PichookWindow();
  EXPECT_FALSE(TrayHolds(owner));
  LoadIcon(*control.Get(), host.form.Get(), host.menu.Get());
  EXPECT_TRUE(TrayHolds(owner));
  control->STxClearIcon();
  EXPECT_FALSE(TrayHolds(owner));
  LoadIcon(*control.Get(), host.form.Get(), host.menu.Get());
  control.Reset();
  EXPECT_FALSE(TrayHolds(owner));
}

TEST(RealTray, ANewTaskbarGetsBackAShownIconButNotAClearedOne) {
  HostForm host = MakeHostForm(L"Restarted tray host");
  ASSERT_TRUE(TrayWindowIsUp()) << "no Shell_TrayWnd";
  ComPtr<QuennetProbe> shown = QuennetProbe::Create();
  ComPtr<QuennetProbe> cleared = QuennetProbe::Create();
  LoadIcon(*shown.Get(), host.form.Get(), host.menu.Get());
  LoadIcon(*cleared.Get(), host.form.Get(), host.menu.Get());
  cleared->STxClearIcon();
  // What a restarted shell has lost.
  NOTIFYICONDATAA lost{};
  lost.cbSize = NOTIFYICONDATAA_V1_SIZE;
  lost.hWnd = shown->PichookWindow();
  lost.uID = 1;
  ASSERT_TRUE(::Shell_NotifyIconA(NIM_DELETE, &lost));
  AnnounceNewTaskbar();
  EXPECT_TRUE(TrayHolds(shown->PichookWindow()));
  EXPECT_FALSE(TrayHolds(cleared->PichookWindow()));
}
