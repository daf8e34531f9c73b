// A form's pop-up menu shown at the mouse through "PopupMenu" by name, and
// closed by the test from inside the menu's own message loop.
#include <gtest/gtest.h>

#include "TestSupport.h"
#include "com/LateBound.h"
#include "com/RuntimeError.h"
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
    return forms_test::ErrorNumberOf([&] { CallMethod(dispatch_.Get(), L"PopupMenu", {menu}); });
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
  VARIANT heldByReference;  // as a control keeps what its host passed by reference
  V_VT(&heldByReference) = VT_BYREF | VT_DISPATCH;
  V_DISPATCHREF(&heldByReference) = &menu;
  PopUp(heldByReference, true);
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
