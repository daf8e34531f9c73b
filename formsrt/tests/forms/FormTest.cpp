// A form reached through its automation surface by name, as a control
// reaches a form of its host, with real windows under the virtual display.
#include <gtest/gtest.h>
#include <olectl.h>

#include "ByReference.h"
#include "ErrorNumber.h"
#include "com/LateBound.h"
#include "com/ModuleCounts.h"
#include "core/RuntimeError.h"
#include "forms/Form.h"
#include "forms/CheckBox.h"
#include "forms/CommandButton.h"
#include "forms/Label.h"
#include "forms/PictureBox.h"
#include "forms/TextBox.h"
#include "forms/WindowClass.h"
#include "platform/Platform.h"
#include "forms/Screen.h"

using namespace formsrt;
using testing_support::ByReference;
using testing_support::ComErrorOf;
using testing_support::ErrorNumberOf;

namespace {

int g_windowsCreated;
int g_windowsDestroyed;

HWND WINAPI CountingCreateWindow(DWORD extendedStyle, LPCWSTR className, LPCWSTR text, DWORD style,
                                 int x, int y, int width, int height, HWND parent, HMENU menu,
                                 HINSTANCE instance, LPVOID parameter) {
  HWND created = ::CreateWindowExW(extendedStyle, className, text, style, x, y, width, height,
                                   parent, menu, instance, parameter);
  if (created) ++g_windowsCreated;
  return created;
}

BOOL WINAPI CountingDestroyWindow(HWND hwnd) {
  BOOL destroyed = ::DestroyWindow(hwnd);
  if (destroyed) ++g_windowsDestroyed;
  return destroyed;
}

WNDPROC g_formProcedure;
int g_subclassedMessages;

// An outside component's subclass of the form: it keeps state in the
// window's user data and passes every message on.
LRESULT CALLBACK OutsideSubclass(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_CLOSE) ++g_subclassedMessages;
  return ::CallWindowProcW(g_formProcedure, hwnd, message, wParam, lParam);
}

constexpr TwipsRect kClientBounds{1500, 1200, 4800, 3600};

class FormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form_ = Form::Create(L"Automation", kClientBounds);
    ASSERT_EQ(S_OK, form_->QueryInterface(IID_IDispatch, dispatch_.PutVoid()));
  }

  float Twips(const wchar_t* name) {
    Variant value = GetProperty(dispatch_.Get(), name);
    EXPECT_EQ(VT_R4, value.Type()) << name;
    return V_R4(&value.Get());
  }

  short WindowState() { return V_I2(&GetProperty(dispatch_.Get(), L"WindowState").Get()); }

  void SetWindowState(short state) {
    PutProperty(dispatch_.Get(), L"WindowState", Variant::FromInt16(state).Get());
  }

  RECT WindowRect() {
    RECT r{};
    ::GetWindowRect(form_->Handle(), &r);
    return r;
  }

  ComPtr<Form> form_;
  ComPtr<IDispatch> dispatch_;
};

}  // namespace

TEST_F(FormTest, IsRecognisedByItsInterfaceAndAnswersHwndAndCaptionByName) {
  ComPtr<IRuntimeForm> recognised;
  EXPECT_EQ(S_OK, dispatch_->QueryInterface(IID_IRuntimeForm, recognised.PutVoid()));

  Variant hwnd = GetProperty(dispatch_.Get(), L"hwnd");
  ASSERT_EQ(VT_I4, hwnd.Type());
  EXPECT_EQ(HandleToLong(form_->Handle()), V_I4(&hwnd.Get()));

  PutProperty(dispatch_.Get(), L"Caption", Variant::FromText(L"Renamed").Get());
  EXPECT_STREQ(L"Renamed", V_BSTR(&GetProperty(dispatch_.Get(), L"Caption").Get()));
  wchar_t title[32] = {};
  ::GetWindowTextW(form_->Handle(), title, 32);
  EXPECT_STREQ(L"Renamed", title);
}

TEST_F(FormTest, ClientAreaIsPlacedInTwipsAndTheOuterSizeReadsInTwips) {
  RECT client{};
  ::GetClientRect(form_->Handle(), &client);
  EXPECT_EQ(Screen::PixelsFromTwipsX(4800), client.right);
  EXPECT_EQ(Screen::PixelsFromTwipsY(3600), client.bottom);

  RECT outer = WindowRect();
  EXPECT_FLOAT_EQ((outer.right - outer.left) * Screen::TwipsPerPixelX(), Twips(L"Width"));
  EXPECT_FLOAT_EQ((outer.bottom - outer.top) * Screen::TwipsPerPixelY(), Twips(L"Height"));
  EXPECT_GT(Twips(L"Height"), 3600.0f);  // the caption and frame count
}

TEST_F(FormTest, MoveTakesLeftAndTopInTwipsByReferenceAndKeepsTheSize) {
  form_->Show();
  float width = Twips(L"Width");
  float height = Twips(L"Height");
  SHORT left = 1500, top = 750;
  CallMethod(dispatch_.Get(), L"Move", {ByReference(VT_I2, &left), ByReference(VT_I2, &top)});

  RECT outer = WindowRect();
  EXPECT_EQ(Screen::PixelsFromTwipsX(1500), outer.left);
  EXPECT_EQ(Screen::PixelsFromTwipsY(750), outer.top);
  EXPECT_FLOAT_EQ(1500.0f, Twips(L"Left"));
  EXPECT_FLOAT_EQ(750.0f, Twips(L"Top"));
  EXPECT_FLOAT_EQ(width, Twips(L"Width"));
  EXPECT_FLOAT_EQ(height, Twips(L"Height"));
  EXPECT_EQ(left, 1500);  // read, not written back

  CallMethod(dispatch_.Get(), L"Move", {Variant::FromDouble(0).Get(), Variant::FromDouble(0).Get(),
                                        Variant::FromDouble(6000).Get(), Variant::FromDouble(4500).Get()});
  EXPECT_FLOAT_EQ(6000.0f, Twips(L"Width"));
  EXPECT_FLOAT_EQ(4500.0f, Twips(L"Height"));
  EXPECT_EQ(error::TypeMismatch, ErrorNumberOf([&] {
              CallMethod(dispatch_.Get(), L"Move",
                         {Variant::FromDouble(0).Get(), Variant::FromText(L"left").Get()});
            }));
}

TEST_F(FormTest, WindowStateMinimisesMaximisesAndRestoresTheSameSize) {
  form_->Show();
  RECT normal = WindowRect();
  EXPECT_EQ(window_state::Normal, WindowState());

  SetWindowState(window_state::Maximized);
  EXPECT_TRUE(::IsZoomed(form_->Handle()));
  EXPECT_EQ(window_state::Maximized, WindowState());
  SHORT left = 0, top = 0;
  EXPECT_EQ(384, ErrorNumberOf([&] {
              CallMethod(dispatch_.Get(), L"Move", {ByReference(VT_I2, &left), ByReference(VT_I2, &top)});
            }));

  SetWindowState(window_state::Normal);
  EXPECT_EQ(window_state::Normal, WindowState());
  RECT restored = WindowRect();
  EXPECT_EQ(normal.right - normal.left, restored.right - restored.left);
  EXPECT_EQ(normal.bottom - normal.top, restored.bottom - restored.top);

  SetWindowState(window_state::Minimized);
  EXPECT_TRUE(::IsIconic(form_->Handle()));
  EXPECT_EQ(window_state::Minimized, WindowState());
  SetWindowState(window_state::Normal);
  EXPECT_FALSE(::IsIconic(form_->Handle()));

  EXPECT_EQ(error::InvalidPropertyValue, ErrorNumberOf([&] { SetWindowState(3); }));
}

TEST_F(FormTest, AHiddenFormTakesItsWindowStateWhenShown) {
  SetWindowState(window_state::Maximized);
  EXPECT_FALSE(::IsWindowVisible(form_->Handle()));
  form_->Show();
  EXPECT_TRUE(::IsZoomed(form_->Handle()));
}

TEST_F(FormTest, IconIsAPictureWhoseHandleIsTheFormsIcon) {
  HICON icon = ::CopyIcon(::LoadIconW(nullptr, IDI_WARNING));
  ASSERT_NE(nullptr, icon);
  form_->SetIcon(icon);

  Variant picture = GetProperty(dispatch_.Get(), L"Icon");
  ASSERT_EQ(VT_DISPATCH, picture.Type());
  Variant handle = GetProperty(V_DISPATCH(&picture.Get()), L"Handle");
  EXPECT_EQ(HandleToLong(icon), V_I4(&handle.Get()));
  ICONINFO info{};
  ASSERT_TRUE(::GetIconInfo(icon, &info));
  ::DeleteObject(info.hbmColor);
  ::DeleteObject(info.hbmMask);
  EXPECT_EQ(reinterpret_cast<LPARAM>(icon), ::SendMessageW(form_->Handle(), WM_GETICON, ICON_BIG, 0));
}

namespace {

std::vector<HICON> g_destroyedIcons;

BOOL WINAPI RecordingDestroyIcon(HICON icon) {
  g_destroyedIcons.push_back(icon);
  return ::DestroyIcon(icon);
}

}  // namespace

// A replaced icon may still show in a picture "Icon" gave or in a tray
// record: each goes, once, with the form object only.
TEST_F(FormTest, EveryIconGivenLivesUntilTheFormGoesAndIsDestroyedOnce) {
  PlatformOverride<User32Api> user32(User32());
  user32->DestroyIcon = RecordingDestroyIcon;
  g_destroyedIcons.clear();
  HICON first = ::CopyIcon(::LoadIconW(nullptr, IDI_WARNING));
  HICON second = ::CopyIcon(::LoadIconW(nullptr, IDI_ERROR));
  form_->SetIcon(first);
  Variant shown = GetProperty(dispatch_.Get(), L"Icon");
  form_->SetIcon(second);
  EXPECT_TRUE(g_destroyedIcons.empty());
  ICONINFO info{};
  ASSERT_TRUE(::GetIconInfo(first, &info));
  ::DeleteObject(info.hbmColor);
  ::DeleteObject(info.hbmMask);
  shown = Variant();
  dispatch_.Reset();
  form_.Reset();
  EXPECT_EQ((std::vector<HICON>{first, second}), g_destroyedIcons);
}

TEST_F(FormTest, LoadRaisesOnceAndClosingAsksQueryUnloadWhichMayCancel) {
  int loads = 0;
  std::vector<int> unloadModes;
  bool cancel = true;
  form_->onLoad = [&] { ++loads; };
  form_->onQueryUnload = [&](bool& cancelUnload, int mode) {
    unloadModes.push_back(mode);
    cancelUnload = cancel;
  };
  Label& label = form_->Add<Label>(TwipsRect{60, 60, 2000, 255}, L"Label1");
  HWND labelWindow = label.Handle();

  form_->Show();
  form_->Show();
  EXPECT_EQ(1, loads);

  ::SendMessageW(form_->Handle(), WM_CLOSE, 0, 0);
  EXPECT_TRUE(form_->IsLoaded());
  cancel = false;
  EXPECT_TRUE(form_->Unload());
  EXPECT_EQ((std::vector<int>{unload_mode::FormControlMenu, unload_mode::FormCode}), unloadModes);

  EXPECT_FALSE(::IsWindow(labelWindow));
  EXPECT_EQ(0, V_I4(&GetProperty(dispatch_.Get(), L"hwnd").Get()));
  EXPECT_EQ(364, ErrorNumberOf([&] { GetProperty(dispatch_.Get(), L"Width"); }));
}

TEST_F(FormTest, AnUnloadedFormsFailingMembersLeaveTheirOutParametersEmpty) {
  form_->Show();
  ASSERT_TRUE(form_->Unload());
  Bstr caption(L"sentinel");
  BSTR held = caption.Get();
  EXPECT_EQ(HresultFromErrorNumber(364), form_->get_Caption(&held));
  EXPECT_EQ(nullptr, held);
  SHORT state = 7;
  EXPECT_EQ(HresultFromErrorNumber(364), form_->get_WindowState(&state));
  EXPECT_EQ(0, state);
  FLOAT width = 7;
  EXPECT_EQ(HresultFromErrorNumber(364), form_->get_Width(&width));
  EXPECT_EQ(0, width);
  EXPECT_EQ(E_POINTER, form_->get_hWnd(nullptr));
  EXPECT_EQ(E_POINTER, form_->get_Icon(nullptr));
}

TEST_F(FormTest, AWindowDestroyedFromOutsideTakesItsControlsAlong) {
  HWND labelWindow = form_->Add<Label>(TwipsRect{60, 60, 2000, 255}, L"Label1").Handle();
  ::DestroyWindow(form_->Handle());
  EXPECT_FALSE(form_->IsLoaded());
  EXPECT_FALSE(::IsWindow(labelWindow));
}

TEST(FormWindows, EveryWindowOfAFormAndItsControlsIsDestroyedWithIt) {
  g_windowsCreated = g_windowsDestroyed = 0;
  PlatformOverride<User32Api> user32(User32());
  user32->CreateWindowExW = CountingCreateWindow;
  user32->DestroyWindow = CountingDestroyWindow;
  for (bool unloadFirst : {false, true}) {
    ComPtr<Form> form = Form::Create(L"Counted", kClientBounds);
    form->Add<Label>(TwipsRect{60, 60, 1000, 255}, L"Label1");
    form->Add<TextBox>(TwipsRect{60, 400, 1000, 300});
    form->Add<CommandButton>(TwipsRect{60, 800, 1000, 375}, L"&Test");
    form->Add<CheckBox>(TwipsRect{60, 1200, 1000, 255}, L"Timer 1");
    form->Add<PictureBox>(TwipsRect{60, 1600, 1000, 1000});
    form->Show();
    if (unloadFirst) form->Unload();
  }
  EXPECT_EQ(12, g_windowsCreated);
  EXPECT_EQ(g_windowsCreated, g_windowsDestroyed);
}

ATOM WINAPI RefusingRegisterClassExW(const WNDCLASSEXW*) {
  ::SetLastError(ERROR_NOT_ENOUGH_MEMORY);
  return 0;
}

// A class the platform would not register raises its error and is not taken
// for registered: the next window of the class registers it again.
TEST(FormWindows, AClassThePlatformRefusedIsRegisteredAtTheNextTry) {
  constexpr wchar_t kClass[] = L"FormsrtRefusedOnce";
  {
    PlatformOverride<User32Api> user32(User32());
    user32->RegisterClassExW = RefusingRegisterClassExW;
    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_NOT_ENOUGH_MEMORY),
              ComErrorOf([&] { RegisterTargetClass(kClass, 0, nullptr); }));
  }
  WNDCLASSEXW found{};
  found.cbSize = sizeof(found);
  EXPECT_FALSE(::GetClassInfoExW(ThisModule(), kClass, &found));
  RegisterTargetClass(kClass, 0, nullptr);
  EXPECT_TRUE(::GetClassInfoExW(ThisModule(), kClass, &found));
}

TEST_F(FormTest, AnOutsideSubclassThatUsesTheUserDataLeavesTheFormWorking) {
  bool asked = false;
  form_->onQueryUnload = [&](bool&, int) { asked = true; };
  form_->Show();
  HWND hwnd = form_->Handle();
  ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0x1234);
  g_subclassedMessages = 0;
  g_formProcedure = reinterpret_cast<WNDPROC>(
      ::SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(OutsideSubclass)));
  ::SendMessageW(hwnd, WM_CLOSE, 0, 0);
  EXPECT_EQ(1, g_subclassedMessages);
  EXPECT_TRUE(asked);
  EXPECT_FALSE(form_->IsLoaded());
}
