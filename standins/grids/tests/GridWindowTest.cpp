// The grids' windows on a form: scroll bars that follow the content,
// nothing updated while the redraw switch is off, and rows as high as their
// font, measured again when it could not be or the font was set.
#include <gtest/gtest.h>
#include <olectl.h>
#include <commctrl.h>

#include <string>

#include "GridDispatchIds.h"
#include "GridQuery.h"
#include "StandinsInThisProcess.h"
#include "platform/Platform.h"
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

std::wstring ClassOf(HWND window) {
  wchar_t name[64] = {};
  ::GetClassNameW(window, name, 64);
  return name;
}

// The device context of one flex grid window, the first whose context is
// asked for, is refused while `refuse` holds; the asks for it are counted.
struct RefusedGridContext {
  static HDC WINAPI GetDC(HWND window) {
    if (window && ClassOf(window) == standins::kFlexGridWindowClass) {
      if (!grid) grid = window;
      if (window == grid) {
        ++asked;
        if (refuse) return nullptr;
      }
    }
    return ::GetDC(window);
  }
  static inline HWND grid = nullptr;
  static inline bool refuse = true;
  static inline int asked = 0;
};

// Counts the frame paints of the window it subclasses.
LRESULT CALLBACK CountFramePaints(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                  DWORD_PTR count) {
  if (message == WM_NCPAINT) ++*reinterpret_cast<int*>(count);
  return ::DefSubclassProc(window, message, wParam, lParam);
}

}  // namespace

// Two grids of one size, one of which first gets no device context to
// measure its rows with: once it does, it shows as many rows as the other;
// a font set (here the same one again) is measured anew.
TEST(GridWindow, RowsAreMeasuredAgainAfterARefusedContextAndWhenTheFontIsSet) {
  standins::StandinsInThisProcess inProcess;  // the stand-ins' code, through this program's seam
  PlatformOverride<User32Api> user32(User32());
  user32->GetDC = RefusedGridContext::GetDC;
  ComPtr<Form> form = Form::Create(L"Grids", TwipsRect{600, 600, 6500, 3000});
  HostedControl* grids[] = {
      &form->Add<HostedControl>(L"grdOne", L"MSFlexGridLib.MSFlexGrid", TwipsRect{180, 180, 2900, 1935}),
      &form->Add<HostedControl>(L"grdTwo", L"MSFlexGridLib.MSFlexGrid", TwipsRect{3300, 180, 2900, 1935}),
  };
  form->Show();
  ASSERT_TRUE(RefusedGridContext::grid);
  if (grids[1]->Handle() == RefusedGridContext::grid) std::swap(grids[0], grids[1]);
  ASSERT_EQ(RefusedGridContext::grid, grids[0]->Handle());
  auto rowsShown = [&](int grid, LONG rows) {
    PutProperty(grids[grid]->Object(), DISPID_FLEXGRID_ROWS, Variant::FromInt32(rows).Get());
    return VerticalScroll(grids[grid]->Handle()).nPage;
  };
  UINT measured = rowsShown(1, 101);
  EXPECT_GT(measured, 0u);
  rowsShown(0, 101);
  RefusedGridContext::refuse = false;
  EXPECT_EQ(measured, rowsShown(0, 102));

  int asked = RefusedGridContext::asked;
  ComPtr<IOleControl> control;
  ASSERT_EQ(S_OK, grids[0]->Object()->QueryInterface(IID_IOleControl, control.PutVoid()));
  EXPECT_EQ(S_OK, control->OnAmbientPropertyChange(DISPID_AMBIENT_FONT));
  EXPECT_EQ(asked + 1, RefusedGridContext::asked);
  EXPECT_EQ(measured, VerticalScroll(grids[0]->Handle()).nPage);
  form->Unload();
}

TEST(GridWindow, ScrollBarsFollowTheContentOnlyWhileRedrawIsOn) {
  ComPtr<Form> form = Form::Create(L"Grid", TwipsRect{600, 600, 6500, 3000});
  auto& grid = form->Add<HostedControl>(L"grdMS", L"MSFlexGridLib.MSFlexGrid",
                                        TwipsRect{180, 180, 6195, 1935});
  form->Show();
  HWND window = grid.Handle();
  ASSERT_TRUE(window);
  EXPECT_EQ(standins::kFlexGridWindowClass, ClassOf(window));
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
  int framePaints = 0;
  ::SetWindowSubclass(window, CountFramePaints, 1, reinterpret_cast<DWORD_PTR>(&framePaints));
  ::UpdateWindow(window);
  EXPECT_EQ(1, framePaints);
  EXPECT_FALSE(::GetUpdateRect(window, nullptr, FALSE));
  // A bar that only changes its range is drawn with the frame too.
  PutProperty(grid.Object(), DISPID_FLEXGRID_ROWS, Variant::FromInt32(201).Get());
  ::UpdateWindow(window);
  ::RemoveWindowSubclass(window, CountFramePaints, 1);
  EXPECT_EQ(2, framePaints);
  PutProperty(grid.Object(), DISPID_FLEXGRID_ROWS, Variant::FromInt32(101).Get());

  ::SendMessageW(window, WM_VSCROLL, SB_BOTTOM, 0);
  EXPECT_EQ(100 - static_cast<int>(shown.nPage), VerticalScroll(window).nPos);
  ::SendMessageW(window, WM_VSCROLL, SB_TOP, 0);
  EXPECT_EQ(0, VerticalScroll(window).nPos);
  form->Unload();
}
