// A host built on another forms runtime or language: its forms answer by
// name and do not implement IRuntimeForm, and match names as their language
// does (in any case, exactly as documented, or as a script object spelt in
// lower case). The tray, the events, the host's menu, flashing, placement
// and centring work with each such form as with one of ours; an object that
// is no form is refused with error 13 and changes nothing the control keeps.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "ByNameForm.h"
#include "FakeMessageBox.h"
#include "TrayTestSupport.h"
#include "platform/Platform.h"
#include "core/RuntimeError.h"
#include "forms/Screen.h"

using namespace tray_test;
using formsrt::ComPtr;
using testing_support::ByNameForm;
using testing_support::NameMatching;

namespace {

// The references an object holds, learnt from what AddRef and Release answer.
ULONG ReferencesOf(IDispatch* object) {
  object->AddRef();
  return object->Release();
}

IUnknown* IdentityOf(IDispatch* object) {
  ComPtr<IUnknown> identity;
  object->QueryInterface(IID_IUnknown, identity.PutVoid());
  return identity.Get();
}

std::vector<NOTIFYICONDATAA> g_added;
std::vector<HWND> g_flashed;
std::vector<HWND> g_broughtToFront;
std::vector<std::pair<std::string, HWND>> g_placed;

BOOL WINAPI RecordingSetWindowPos(HWND hwnd, HWND, int, int, int, int, UINT) {
  g_placed.push_back({"SetWindowPos", hwnd});
  return TRUE;
}

LONG WINAPI RecordingSetWindowLongA(HWND hwnd, int, LONG) {
  g_placed.push_back({"SetWindowLongA", hwnd});
  return 0;
}

// The move loop is not entered: it would wait for the mouse.
LRESULT WINAPI RecordingSendMessageA(HWND hwnd, UINT, WPARAM, LPARAM) {
  g_placed.push_back({"SendMessageA", hwnd});
  return 0;
}

BOOL WINAPI RecordingNotifyIcon(DWORD operation, PNOTIFYICONDATAA data) {
  if (operation == NIM_ADD) {
    NOTIFYICONDATAA copy{};
    std::memcpy(&copy, data, data->cbSize);
    g_added.push_back(copy);
  }
  return ::Shell_NotifyIconA(operation, data);
}

BOOL WINAPI RecordingFlashWindow(HWND hwnd, BOOL invert) {
  g_flashed.push_back(hwnd);
  return ::FlashWindow(hwnd, invert);
}

BOOL WINAPI RecordingSetForegroundWindow(HWND hwnd) {
  g_broughtToFront.push_back(hwnd);
  return ::SetForegroundWindow(hwnd);
}

class OtherRuntimeHost : public ::testing::TestWithParam<NameMatching> {
 protected:
  void SetUp() override {
    g_added.clear();
    g_flashed.clear();
    g_broughtToFront.clear();
    g_placed.clear();
    shell_->Shell_NotifyIconA = RecordingNotifyIcon;
    user32_->FlashWindow = RecordingFlashWindow;
    user32_->SetForegroundWindow = RecordingSetForegroundWindow;
  }

  long Call(const wchar_t* member, std::vector<IDispatch*> objects) {
    return ErrorNumberWithObjects(control_->Dispatch(), member, objects);
  }

  long LoadIcon(IDispatch* form, IDispatch* menu) { return Call(L"STxLoadIcon", {form, menu}); }

  formsrt::PlatformOverride<formsrt::Shell32Api> shell_{formsrt::Shell32()};
  formsrt::PlatformOverride<formsrt::User32Api> user32_{formsrt::User32()};
  testing_support::FakeMessageBox boxes_;
  HostForm menus_ = MakeHostForm(L"Menus of the other runtime");
  ComPtr<ByNameForm> form_ = ByNameForm::Create(L"Other runtime form", GetParam());
  ComPtr<QuennetProbe> control_ = QuennetProbe::Create();
};

}  // namespace

TEST_P(OtherRuntimeHost, TheFormsIconAppearsInTheTrayAndGoesWithTheControl) {
  ASSERT_TRUE(TrayWindowIsUp()) << "no Shell_TrayWnd";
  HWND owner = control_->PichookWindow();
  ASSERT_EQ(0, LoadIcon(form_.Get(), menus_.menu.Get()));
  ASSERT_EQ(1u, g_added.size());
  EXPECT_EQ(form_->IconHandle(), g_added[0].hIcon);
  EXPECT_TRUE(TrayHolds(owner));
  control_.Reset();
  EXPECT_FALSE(TrayHolds(owner));
}

TEST_P(OtherRuntimeHost, EventsArriveAndARightReleaseCallsTheFormsPopupMenuWithTheKeptMenu) {
  EventRecorder recorder(*control_.Get());
  ASSERT_EQ(0, LoadIcon(form_.Get(), menus_.menu.Get()));
  control_->Notify(WM_LBUTTONDBLCLK);
  control_->Notify(WM_RBUTTONDOWN);
  control_->Notify(WM_RBUTTONUP);
  EXPECT_EQ((RaisedEvents{{kSTxDBLClick, VARIANT_TRUE}, {kSTxClick, VARIANT_FALSE},
                          {kSTxMouseUp, VARIANT_FALSE}}),
            recorder.Events());
  EXPECT_EQ(std::vector<IUnknown*>{IdentityOf(menus_.menu.Get())}, form_->PoppedUpMenus());
  EXPECT_TRUE(boxes_.Boxes().empty());
  // The host's own PopupMenu decides about the foreground; the control does not.
  EXPECT_TRUE(g_broughtToFront.empty());
}

TEST_P(OtherRuntimeHost, FlashingInvertsTheCaptionOfTheFormsWindowOnEveryTick) {
  control_->FlashTimer().SetInterval(50);
  ASSERT_EQ(0, Call(L"FCxFlashWindow", {form_.Get()}));
  ASSERT_TRUE(PumpMessagesUntil([] { return g_flashed.size() >= 2; }, 3000));
  EXPECT_EQ(std::vector<HWND>(g_flashed.size(), form_->Handle()), g_flashed);
}

TEST_P(OtherRuntimeHost, CentringMovesTheFormsWindow) {
  ::SetWindowPos(form_->Handle(), nullptr, 0, 0, 320, 240, SWP_NOZORDER);
  ASSERT_EQ(0, Call(L"FCxCenterForm", {form_.Get()}));
  RECT bounds{};
  ::GetWindowRect(form_->Handle(), &bounds);
  int screenWidth = ::GetSystemMetrics(SM_CXSCREEN);
  EXPECT_NEAR((screenWidth - 320) / 2, bounds.left, 1);
}

TEST_P(OtherRuntimeHost, TheKeptFormsAndMenusAreReleasedWhenReplacedAndWhenTheControlEnds) {
  ComPtr<ByNameForm> second = ByNameForm::Create(L"Second form of the other runtime", GetParam());
  IDispatch* firstMenu = menus_.menu.Get();
  ComPtr<formsrt::Menu> secondMenu = menus_.form->AddMenu(L"Second");
  ULONG firstMenuAlone = ReferencesOf(firstMenu);
  ULONG secondMenuAlone = ReferencesOf(secondMenu.Get());

  LoadIcon(form_.Get(), firstMenu);
  Call(L"FCxFlashWindow", {form_.Get()});
  EXPECT_EQ(std::make_tuple(3u, firstMenuAlone + 1), std::make_tuple(form_->References(), ReferencesOf(firstMenu)));

  LoadIcon(second.Get(), secondMenu.Get());
  Call(L"FCxFlashWindow", {second.Get()});
  EXPECT_EQ(std::make_tuple(1u, firstMenuAlone, 3u),
            std::make_tuple(form_->References(), ReferencesOf(firstMenu), second->References()));

  control_.Reset();
  EXPECT_EQ(std::make_tuple(1u, secondMenuAlone), std::make_tuple(second->References(), ReferencesOf(secondMenu.Get())));
}

TEST_P(OtherRuntimeHost, AMenuItemThatLoadsTheIconAgainCannotReleaseTheFormOrMenuInUse) {
  ComPtr<ByNameForm> second = ByNameForm::Create(L"Form loaded from the menu", GetParam());
  IDispatch* firstMenu = menus_.menu.Get();
  ULONG firstMenuAlone = ReferencesOf(firstMenu);
  LoadIcon(form_.Get(), firstMenu);
  ULONG formInUse = 0;
  ULONG menuInUse = 0;
  form_->onPopupMenu = [&](IDispatch*) {
    LoadIcon(second.Get(), menus_.form.Get());
    formInUse = form_->References();
    menuInUse = ReferencesOf(firstMenu);
  };
  control_->Notify(WM_RBUTTONUP);
  // The test's reference and the menu step's own.
  EXPECT_EQ(std::make_tuple(2u, firstMenuAlone + 1, 1u, firstMenuAlone),
            std::make_tuple(formInUse, menuInUse, form_->References(), ReferencesOf(firstMenu)));
  EXPECT_TRUE(boxes_.Boxes().empty());
}

TEST_P(OtherRuntimeHost, AnObjectThatIsNoFormGivesError13AndTheKeptFormAndMenuStay) {
  LoadIcon(form_.Get(), menus_.menu.Get());
  Call(L"FCxFlashWindow", {form_.Get()});
  ComPtr<ByNameForm> iconOnly = ByNameForm::Create(L"An object with an icon only", GetParam());
  iconOnly->knowsWindowHandle = false;
  ComPtr<IDispatch> dictionary;
  CLSID dictionaryClass{};
  ASSERT_EQ(S_OK, ::CLSIDFromProgID(L"Scripting.Dictionary", &dictionaryClass));
  ASSERT_EQ(S_OK, ::CoCreateInstance(dictionaryClass, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                                     dictionary.PutVoid()));
  ComPtr<formsrt::Menu> otherMenu = menus_.form->AddMenu(L"Not kept");
  ULONG otherMenuAlone = ReferencesOf(otherMenu.Get());

  EXPECT_EQ(13, LoadIcon(iconOnly.Get(), otherMenu.Get()));
  for (IDispatch* notAForm : {static_cast<IDispatch*>(iconOnly.Get()), dictionary.Get(),
                              static_cast<IDispatch*>(menus_.menu.Get())}) {
    EXPECT_EQ(13, Call(L"FCxFlashWindow", {notAForm}));
  }
  EXPECT_EQ(std::make_tuple(1u, otherMenuAlone), std::make_tuple(iconOnly->References(), ReferencesOf(otherMenu.Get())));

  control_->Notify(WM_RBUTTONUP);
  EXPECT_EQ(std::vector<IUnknown*>{IdentityOf(menus_.menu.Get())}, form_->PoppedUpMenus());
  control_->FlashTimer().SetInterval(50);
  ASSERT_TRUE(PumpMessagesUntil([] { return !g_flashed.empty(); }, 3000));
  EXPECT_EQ(form_->Handle(), g_flashed[0]);
}

TEST_P(OtherRuntimeHost, EachPlacementMemberReachesTheFormsWindow) {
  user32_->SetWindowPos = RecordingSetWindowPos;
  user32_->SetWindowLongA = RecordingSetWindowLongA;
  user32_->SendMessageA = RecordingSendMessageA;
  HWND window = form_->Handle();
  for (const wchar_t* member : {L"FCxMakeTop", L"FCxMakeNormal", L"FCxTransparent", L"FCxAltMove"}) {
    EXPECT_EQ(0, Call(member, {form_.Get()})) << member;
  }
  std::vector<std::pair<std::string, HWND>> expected = {
      {"SetWindowPos", window},   {"SetWindowPos", window}, {"SetWindowLongA", window},
      {"SetWindowPos", window},   {"SendMessageA", window}};
  EXPECT_EQ(expected, g_placed);
}

TEST_P(OtherRuntimeHost, ATickThatCannotReachItsFormStopsTheFlashingAndKeepsTheForm) {
  control_->FlashTimer().SetInterval(50);
  ASSERT_EQ(0, Call(L"FCxFlashWindow", {form_.Get()}));
  ASSERT_TRUE(PumpMessagesUntil([] { return !g_flashed.empty(); }, 3000));
  form_->windowHandleFailure = RPC_E_DISCONNECTED;
  ASSERT_TRUE(PumpMessagesUntil([&] { return !control_->FlashTimer().Enabled(); }, 3000));
  size_t flashes = g_flashed.size();
  PumpMessagesFor(200);  // shows that no tick comes any more
  EXPECT_EQ(flashes, g_flashed.size());
  EXPECT_EQ(2u, form_->References());
}

TEST_P(OtherRuntimeHost, AFormThatCannotGiveItsWindowIsRefusedAtOnceAndTheTargetStays) {
  control_->FlashTimer().SetInterval(50);
  ASSERT_EQ(0, Call(L"FCxFlashWindow", {form_.Get()}));
  ComPtr<ByNameForm> gone = ByNameForm::Create(L"A form that went away", GetParam());
  gone->windowHandleFailure = formsrt::HresultFromErrorNumber(364);
  EXPECT_EQ(364, Call(L"FCxFlashWindow", {gone.Get()}));
  EXPECT_EQ(1u, gone->References());
  ASSERT_TRUE(PumpMessagesUntil([] { return g_flashed.size() >= 2; }, 3000));
  EXPECT_EQ(std::vector<HWND>(g_flashed.size(), form_->Handle()), g_flashed);
}

std::string NameOf(const ::testing::TestParamInfo<NameMatching>& info) {
  switch (info.param) {
    case NameMatching::IgnoringCase: return "IgnoringCase";
    case NameMatching::Exact: return "Exact";
    case NameMatching::ScriptInLowerCase: return "ScriptInLowerCase";
  }
  return "";
}

INSTANTIATE_TEST_SUITE_P(Names, OtherRuntimeHost,
                         ::testing::Values(NameMatching::IgnoringCase, NameMatching::Exact,
                                           NameMatching::ScriptInLowerCase),
                         NameOf);
