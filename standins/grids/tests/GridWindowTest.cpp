// The grids' windows on a form: scroll bars that follow the content, and
// nothing updated while the redraw switch is off.
#include <gtest/gtest.h>

#include "GridDispatchIds.h"
#include "GridQuery.h"
#include "com/LateBound.h"
#include "container/HostedControl.h"
#include "forms/Form.h"

using namespace formsrt;

namespace {

SCROLLINFO VerticalScroll(HWND window) {
  SCROLLINFO info{};
  info.cbSize = sizeof(info);
  info.fMask = SIF_ALL;
  ::GetScrollInfo(window, SB_VERT, &info);
  return info;
}

}  // namespace

TEST(GridWindow, ScrollBarsFollowTheContentOnlyWhileRedrawIsOn) {
  ComPtr<Form> form = Form::Create(L"Grid", TwipsRect{600, 600, 6500, 3000});
  auto& grid = form->Add<HostedControl>(L"grdMS", L"MSFlexGridLib.MSFlexGrid",
                                        TwipsRect{180, 180, 6195, 1935});
  form->Show();
  HWND window = grid.Handle();
  ASSERT_TRUE(window);
  EXPECT_EQ(standins::kFlexGridWindowClass,
            [&] {
              wchar_t name[64] = {};
              ::GetClassNameW(window, name, 64);
              return std::wstring(name);
            }());
  EXPECT_EQ(0, VerticalScroll(window).nMax);  // two rows, one of them fixed

  PutProperty(grid.Object(), DISPID_FLEXGRID_REDRAW, Variant::FromBool(false).Get());
  PutProperty(grid.Object(), DISPID_FLEXGRID_ROWS, Variant::FromInt32(101).Get());
  EXPECT_EQ(0, VerticalScroll(window).nMax);  // held off
  EXPECT_EQ(101, ::SendMessageW(window, standins::kGridQueryRowCount, 0, 0));

  PutProperty(grid.Object(), DISPID_FLEXGRID_REDRAW, Variant::FromBool(true).Get());
  SCROLLINFO shown = VerticalScroll(window);
  EXPECT_EQ(99, shown.nMax);  // the 100 scrollable rows
  EXPECT_GT(shown.nPage, 0u);
  // The bars were set with the window's drawing held off: it is shown again,
  // with its client and frame left to be drawn, and drawing them leaves
  // nothing behind.
  EXPECT_TRUE(::IsWindowVisible(window));
  EXPECT_TRUE(::GetUpdateRect(window, nullptr, FALSE));
  ::UpdateWindow(window);
  EXPECT_FALSE(::GetUpdateRect(window, nullptr, FALSE));

  ::SendMessageW(window, WM_VSCROLL, SB_BOTTOM, 0);
  EXPECT_EQ(100 - static_cast<int>(shown.nPage), VerticalScroll(window).nPos);
  form->Unload();
}
