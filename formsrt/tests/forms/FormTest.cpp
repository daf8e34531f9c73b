// A form reached through its automation surface by name, as a control
// reaches a form of its host, with real windows under the virtual display.
#include <gtest/gtest.h>
#include <olectl.h>

#include "MessagePump.h"
#include "com/LateBound.h"
#include "com/RuntimeError.h"
#include "forms/Form.h"
#include "forms/Label.h"
#include "forms/Screen.h"

using namespace formsrt;

namespace {

constexpr TwipsRect kClientBounds{1500, 1200, 4800, 3600};

template <class Body>
long ErrorNumberOf(Body&& body) {
  try {
    body();
  } catch (const RuntimeError& failure) {
    return failure.Number();
  }
  return 0;
}

VARIANT ShortReference(SHORT* value) {
  VARIANT reference;
  V_VT(&reference) = VT_BYREF | VT_I2;
  V_I2REF(&reference) = value;
  return reference;
}

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
  CallMethod(dispatch_.Get(), L"Move", {ShortReference(&left), ShortReference(&top)});

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
              CallMethod(dispatch_.Get(), L"Move", {ShortReference(&left), ShortReference(&top)});
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

TEST_F(FormTest, AWindowDestroyedFromOutsideTakesItsControlsAlong) {
  HWND labelWindow = form_->Add<Label>(TwipsRect{60, 60, 2000, 255}, L"Label1").Handle();
  ::DestroyWindow(form_->Handle());
  EXPECT_FALSE(form_->IsLoaded());
  EXPECT_FALSE(::IsWindow(labelWindow));
}
