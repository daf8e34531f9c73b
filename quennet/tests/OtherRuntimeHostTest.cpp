// A host built on another forms runtime: its forms answer by name and do not
// implement IRuntimeForm. The tray, the events, the host's menu, flashing and
// placement work with such a form as with one of ours; an object that is no
// form is refused with error 13 and changes nothing that the control keeps.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "ByNameForm.h"
#include "FakeMessageBox.h"
#include "TrayTestSupport.h"
#include "com/Platform.h"
#include "forms/Screen.h"

using namespace tray_test;
using formsrt::ComPtr;
using formsrt::Variant;
using testing_support::ByNameForm;

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

class OtherRuntimeHost : public ::testing::Test {
 protected:
  void SetUp() override {
    g_added.clear();
    g_flashed.clear();
    g_broughtToFront.clear();
    shell_->Shell_NotifyIconA = RecordingNotifyIcon;
    user32_->FlashWindow = RecordingFlashWindow;
    user32_->SetForegroundWindow = RecordingSetForegroundWindow;
  }

  long Call(const wchar_t* member, std::vector<IDispatch*> objects) {
    std::vector<Variant> values;
    for (IDispatch* object : objects) values.push_back(Variant::FromDispatch(object));
    std::vector<VARIANT> arguments;
    for (Variant& value : values) arguments.push_back(ByReference(*value.Raw()));
    return ErrorNumberOfCall(control_->Dispatch(), member, arguments);
  }

  long LoadIcon(IDispatch* form, IDispatch* menu) { return Call(L"STxLoadIcon", {form, menu}); }

  formsrt::PlatformOverride<formsrt::Shell32Api> shell_{formsrt::Shell32()};
  formsrt::PlatformOverride<formsrt::User32Api> user32_{formsrt::User32()};
  testing_support::FakeMessageBox boxes_;
  HostForm menus_ = MakeHostForm(L"Menus of the other runtime");
  ComPtr<ByNameForm> form_ = ByNameForm::Create(L"Other runtime form");
  ComPtr<QuennetCtlProbe> control_ = QuennetCtlProbe::Create();
};

}  // namespace

TEST_F(OtherRuntimeHost, TheFormsIconAppearsInTheTrayAndGoesWithTheControl) {
  ASSERT_TRUE(TrayWindowIsUp()) << "no Shell_TrayWnd";
  HWND owner = control_->PichookWindow();
  ASSERT_EQ(0, LoadIcon(form_.Get(), menus_.menu.Get()));
  ASSERT_EQ(1u, g_added.size());
  EXPECT_EQ(form_->IconHandle(), g_added[0].hIcon);
  EXPECT_TRUE(TrayHolds(owner));
  control_.Reset();
  EXPECT_FALSE(TrayHolds(owner));
}

TEST_F(OtherRuntimeHost, EventsArriveAndARightReleaseCallsTheFormsPopupMenuWithTheKeptMenu) {
  EventRecorder recorder(*control_.Get());
  ASSERT_EQ(0, LoadIcon(form_.Get(), menus_.menu.Get()));
  control_->Notify(WM_LBUTTONDBLCLK);
  control_->Notify(WM_RBUTTONDOWN);
  control_->Notify(WM_RBUTTONUP);
  std::vector<RaisedEvent> expected = {
      {kSTxDBLClick, VARIANT_TRUE}, {kSTxClick, VARIANT_FALSE}, {kSTxMouseUp, VARIANT_FALSE}};
  EXPECT_EQ(expected, recorder.Events());
  ASSERT_EQ(1u, form_->PoppedUpMenus().size());
  EXPECT_EQ(IdentityOf(menus_.menu.Get()), form_->PoppedUpMenus()[0]);
  EXPECT_TRUE(boxes_.Boxes().empty());
  // The host's own PopupMenu decides about the foreground; the control does not.
  EXPECT_TRUE(g_broughtToFront.empty());
}

TEST_F(OtherRuntimeHost, FlashingInvertsTheCaptionOfTheFormsWindowOnEveryTick) {
  control_->FlashTimer().SetInterval(50);
  ASSERT_EQ(0, Call(L"FCxFlashWindow", {form_.Get()}));
  ASSERT_TRUE(PumpMessagesUntil([] { return g_flashed.size() >= 2; }, 3000));
  EXPECT_EQ(std::vector<HWND>(g_flashed.size(), form_->Handle()), g_flashed);
}

TEST_F(OtherRuntimeHost, CentringMovesTheFormsWindow) {
  ::SetWindowPos(form_->Handle(), nullptr, 0, 0, 320, 240, SWP_NOZORDER);
  ASSERT_EQ(0, Call(L"FCxCenterForm", {form_.Get()}));
  RECT bounds{};
  ::GetWindowRect(form_->Handle(), &bounds);
  int screenWidth = ::GetSystemMetrics(SM_CXSCREEN);
  EXPECT_NEAR((screenWidth - 320) / 2, bounds.left, 1);
}

TEST_F(OtherRuntimeHost, TheKeptFormsAndMenusAreReleasedWhenReplacedAndWhenTheControlEnds) {
  ComPtr<ByNameForm> second = ByNameForm::Create(L"Second form of the other runtime");
  IDispatch* firstMenu = menus_.menu.Get();
  ComPtr<formsrt::Menu> secondMenu = menus_.form->AddMenu(L"Second");
  ULONG firstMenuAlone = ReferencesOf(firstMenu);
  ULONG secondMenuAlone = ReferencesOf(secondMenu.Get());

  LoadIcon(form_.Get(), firstMenu);
  Call(L"FCxFlashWindow", {form_.Get()});
  EXPECT_EQ(3u, form_->References());
  EXPECT_EQ(firstMenuAlone + 1, ReferencesOf(firstMenu));

  LoadIcon(second.Get(), secondMenu.Get());
  Call(L"FCxFlashWindow", {second.Get()});
  EXPECT_EQ(1u, form_->References());
  EXPECT_EQ(firstMenuAlone, ReferencesOf(firstMenu));
  EXPECT_EQ(3u, second->References());

  control_.Reset();
  EXPECT_EQ(1u, second->References());
  EXPECT_EQ(secondMenuAlone, ReferencesOf(secondMenu.Get()));
}

TEST_F(OtherRuntimeHost, AMenuItemThatLoadsTheIconAgainCannotReleaseTheFormOrMenuInUse) {
  ComPtr<ByNameForm> second = ByNameForm::Create(L"Form loaded from the menu");
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
  EXPECT_EQ(2u, formInUse);
  EXPECT_EQ(firstMenuAlone + 1, menuInUse);
  EXPECT_EQ(1u, form_->References());
  EXPECT_EQ(firstMenuAlone, ReferencesOf(firstMenu));
  EXPECT_TRUE(boxes_.Boxes().empty());
}

TEST_F(OtherRuntimeHost, AnObjectThatIsNoFormGivesError13AndTheKeptFormAndMenuStay) {
  LoadIcon(form_.Get(), menus_.menu.Get());
  Call(L"FCxFlashWindow", {form_.Get()});
  ComPtr<ByNameForm> iconOnly = ByNameForm::Create(L"An object with an icon only");
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
  EXPECT_EQ(1u, iconOnly->References());
  EXPECT_EQ(otherMenuAlone, ReferencesOf(otherMenu.Get()));

  control_->Notify(WM_RBUTTONUP);
  ASSERT_EQ(1u, form_->PoppedUpMenus().size());
  EXPECT_EQ(IdentityOf(menus_.menu.Get()), form_->PoppedUpMenus()[0]);
  control_->FlashTimer().SetInterval(50);
  ASSERT_TRUE(PumpMessagesUntil([] { return !g_flashed.empty(); }, 3000));
  EXPECT_EQ(form_->Handle(), g_flashed[0]);
}
