// The control container with real controls: the grid stand-ins and
// QuennetCtl, placed on a runtime form by ProgID.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "ErrorNumber.h"
#include "GridDispatchIds.h"
#include "GridQuery.h"
#include "com/LateBound.h"
#include "core/RuntimeError.h"
#include "container/HostedControl.h"
#include "forms/Form.h"
#include "forms/Screen.h"
#include "WindowTree.h"

using namespace formsrt;
using namespace testing_support;

namespace {

class HostedControlTest : public ::testing::Test {
 protected:
  void SetUp() override { form_ = Form::Create(L"Container", TwipsRect{600, 600, 6000, 4000}); }
  void TearDown() override {
    if (form_->IsLoaded()) form_->Unload();
  }
  ComPtr<Form> form_;
};

}  // namespace

TEST_F(HostedControlTest, PlacesAControlAtItsRectangleWithItsSavedProperties) {
  PropertyValues saved{{L"DisableIcons", Variant::FromBool(true)},
                         {L"backgroundpicturewidth", Variant::FromInt32(7)},
                         {L"backgroundpictureheight", Variant::FromText(L"9")}};
  TwipsRect bounds{180, 2280, 6195, 2295};
  auto& grid = form_->Add<HostedControl>(L"grdTest", L"CorvantisGrid.cvntGrid", bounds,
                                         AmbientProperties{}, saved);
  EXPECT_EQ(VARIANT_TRUE, V_BOOL(&GetProperty(grid.Object(), DISPID_CVNTGRID_DISABLEICONS).Get()));
  EXPECT_EQ(7, V_I4(&GetProperty(grid.Object(), DISPID_CVNTGRID_BACKGROUNDPICTUREWIDTH).Get()));
  EXPECT_EQ(9, V_I4(&GetProperty(grid.Object(), DISPID_CVNTGRID_BACKGROUNDPICTUREHEIGHT).Get()));

  HWND window = grid.Handle();
  ASSERT_TRUE(window);
  EXPECT_EQ(standins::kCvntGridWindowClass, ClassOf(window));
  EXPECT_EQ(form_->Handle(), ::GetParent(window));
  EXPECT_TRUE(::GetWindowLongW(window, GWL_STYLE) & WS_VISIBLE);  // shown with its form
  EXPECT_EQ(Edges(Screen::PixelsFromTwips(bounds)), Edges(PlacedIn(form_->Handle(), window)));

  PropertyValues again = grid.SaveProperties();
  ASSERT_EQ(3u, again.Entries().size());
  EXPECT_EQ(L"disableicons", again.Entries()[0].first);

  form_->Unload();  // the form releases its controls with its window
  EXPECT_FALSE(::IsWindow(window));
}

TEST_F(HostedControlTest, GivesTheAmbientFontToTheControl) {
  auto& list = form_->Add<HostedControl>(L"lvwTest", L"ComctlLib.ListView", TwipsRect{120, 120, 6315, 2055},
                                         AmbientProperties{.fontName = L"Tahoma", .fontPoints = 8.25});
  HWND listView = ::FindWindowExW(list.Handle(), nullptr, WC_LISTVIEWW, nullptr);
  ASSERT_TRUE(listView);
  auto font = reinterpret_cast<HFONT>(::SendMessageW(listView, WM_GETFONT, 0, 0));
  ASSERT_TRUE(font);
  LOGFONTW description{};
  ::GetObjectW(font, sizeof(description), &description);
  EXPECT_STREQ(L"Tahoma", description.lfFaceName);
}

TEST_F(HostedControlTest, AnUnknownProgIdCannotBeCreated) {
  EXPECT_EQ(error::CannotCreateObject, ErrorNumberOf([&] {
              form_->Add<HostedControl>(L"missing", L"No.Such.Control", TwipsRect{0, 0, 100, 100});
            }));
}

TEST_F(HostedControlTest, QuennetCtlReadsItsThreePropertiesBackFromASavedBag) {
  PropertyValues saved{{L"QuietErrors", Variant::FromBool(true)},
                         {L"STxMenu", Variant::FromBool(true)},
                         {L"STxTrayTTT", Variant::FromText(L"Saved tip")}};
  auto& control = form_->Add<HostedControl>(L"QuennetCtl1", L"Quennet.QuennetCtl",
                                            TwipsRect{120, 120, 480, 480}, AmbientProperties{},
                                            saved);
  EXPECT_EQ(VARIANT_TRUE, V_BOOL(&GetProperty(control.Object(), L"QuietErrors").Get()));
  EXPECT_EQ(VARIANT_TRUE, V_BOOL(&GetProperty(control.Object(), L"STxMenu").Get()));
  EXPECT_STREQ(L"Saved tip", V_BSTR(&GetProperty(control.Object(), L"STxTrayTTT").Get()));
}
