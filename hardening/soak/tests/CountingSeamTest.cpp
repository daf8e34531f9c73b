// The soak's verdicts rest on the counting seam: these cases check that it
// counts what is left held, notices what ended with a window, and keeps
// the fakes' handles honest.
#define OEMRESOURCE  // the platform's own bitmaps and icons, OBM_ and OIC_
#include <gtest/gtest.h>

#include <tuple>

#include "CountingSeam.h"

namespace {

using formsrt::Kernel32;
using formsrt::User32;
using soak::CountingSeam;
using soak::SeamCounts;

HWND NewWindow(HWND parent = nullptr) {
  return User32().CreateWindowExW(0, L"STATIC", L"", parent ? WS_CHILD : WS_POPUP, 0, 0, 10, 10,
                                  parent, nullptr, nullptr, nullptr);
}

TEST(CountingSeam, AWindowLeftAliveIsHeldAndAChildEndsWithItsParent) {
  CountingSeam seam;
  HWND parent = NewWindow();
  HWND child = NewWindow(parent);
  ASSERT_TRUE(child);
  EXPECT_EQ(2, seam.Read().windows.Held());
  ::DestroyWindow(child);  // not through the seam: noticed when read
  EXPECT_EQ(1, seam.Read().windows.Held());
  User32().DestroyWindow(parent);
  SeamCounts counts = seam.Read();
  EXPECT_EQ(std::make_tuple(2, 2), std::make_tuple(counts.windows.acquired, counts.windows.released));
}

TEST(CountingSeam, TimersEndWhenKilledOrWithTheirWindowAndARestartIsNoNewTimer) {
  CountingSeam seam;
  HWND window = NewWindow();
  User32().SetTimer(window, 1, 1000, nullptr);
  User32().SetTimer(window, 1, 2000, nullptr);
  User32().SetTimer(window, 2, 1000, nullptr);
  EXPECT_EQ(2, seam.Read().timers.Held());
  User32().KillTimer(window, 1);
  EXPECT_EQ(1, seam.Read().timers.Held());
  User32().DestroyWindow(window);
  SeamCounts counts = seam.Read();
  EXPECT_EQ(std::make_tuple(2, 0), std::make_tuple(counts.timers.acquired, counts.timers.Held()));
}

TEST(CountingSeam, ABlockNotFreedIsHeld) {
  CountingSeam seam;
  HGLOBAL kept = Kernel32().GlobalAlloc(GMEM_MOVEABLE, 16);
  HGLOBAL freed = Kernel32().GlobalAlloc(GMEM_MOVEABLE, 16);
  Kernel32().GlobalFree(freed);
  EXPECT_EQ(1, seam.Read().globalBlocks.Held());
  Kernel32().GlobalFree(kept);
  EXPECT_EQ(0, seam.Read().globalBlocks.Held());
}

TEST(CountingSeam, AFakedProgramStartGivesHandlesThatMustBeClosed) {
  CountingSeam seam;
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  wchar_t commandLine[] = L"notepad.exe";
  ASSERT_TRUE(Kernel32().CreateProcessW(nullptr, commandLine, nullptr, nullptr, FALSE, 0, nullptr,
                                        nullptr, &startup, &process));
  Kernel32().CloseHandle(process.hThread);
  SeamCounts counts = seam.Read();
  EXPECT_EQ(std::make_tuple(1, 1), std::make_tuple(counts.kernelHandles.Held(), counts.fakedCalls));
  Kernel32().CloseHandle(process.hProcess);
  EXPECT_EQ(0, seam.Read().kernelHandles.Held());
}

TEST(CountingSeam, EveryMixerOpenGetsTheOneRealHandleAndIsCountedUntilClosed) {
  CountingSeam seam;
  HMIXER first = nullptr, second = nullptr;
  ASSERT_EQ(MMSYSERR_NOERROR, formsrt::Winmm().mixerOpen(&first, 0, 0, 0, 0))
      << "no mixer device: run inside the test environment";
  ASSERT_EQ(MMSYSERR_NOERROR, formsrt::Winmm().mixerOpen(&second, 0, 0, 0, 0));
  EXPECT_EQ(first, second);
  formsrt::Winmm().mixerClose(first);
  EXPECT_EQ(1, seam.Read().mixerHandles.Held());
  formsrt::Winmm().mixerClose(second);
  EXPECT_EQ(0, seam.Read().mixerHandles.Held());
}

TEST(CountingSeam, AFontOrBitmapNotDeletedAndAnIconNotDestroyedAreHeld) {
  CountingSeam seam;
  HFONT font = formsrt::Gdi32().CreateFontW(-11, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0,
                                            0, 0, L"Tahoma");
  auto bitmap = static_cast<HBITMAP>(
      User32().LoadImageW(nullptr, MAKEINTRESOURCEW(OBM_CHECK), IMAGE_BITMAP, 0, 0, 0));
  auto icon = static_cast<HICON>(
      User32().LoadImageW(nullptr, MAKEINTRESOURCEW(OIC_SAMPLE), IMAGE_ICON, 0, 0, 0));
  User32().LoadImageW(nullptr, MAKEINTRESOURCEW(OIC_SAMPLE), IMAGE_ICON, 0, 0, LR_SHARED);
  ASSERT_TRUE(font && bitmap && icon);
  auto held = [&] {
    SeamCounts counts = seam.Read();
    return std::make_tuple(counts.fonts.Held(), counts.bitmaps.Held(), counts.icons.Held());
  };
  EXPECT_EQ(std::make_tuple(1, 1, 1), held()) << "a shared icon is no acquisition";
  formsrt::Gdi32().DeleteObject(font);
  formsrt::Gdi32().DeleteObject(bitmap);
  User32().DestroyIcon(icon);
  EXPECT_EQ(std::make_tuple(0, 0, 0), held());
}

TEST(CountingSeam, AContextNotGivenBackOrGivenBackWithASelectionIsHeld) {
  CountingSeam seam;
  HDC screen = User32().GetDC(nullptr);
  HDC memory = formsrt::Gdi32().CreateCompatibleDC(screen);
  ASSERT_TRUE(screen && memory);
  EXPECT_EQ(2, seam.Read().deviceContexts.Held());
  HGDIOBJ font = ::GetStockObject(DEFAULT_GUI_FONT);
  HGDIOBJ original = formsrt::Gdi32().SelectObject(memory, font);
  formsrt::Gdi32().SelectObject(memory, ::GetStockObject(ANSI_FIXED_FONT));  // still not the original
  formsrt::Gdi32().SelectObject(memory, ::GetStockObject(DC_PEN));       // another kind
  EXPECT_EQ(2, seam.Read().selections.Held());
  formsrt::Gdi32().SelectObject(memory, original);
  EXPECT_EQ(1, seam.Read().selections.Held()) << "the pen is still selected";
  formsrt::Gdi32().DeleteDC(memory);
  User32().ReleaseDC(nullptr, screen);
  SeamCounts counts = seam.Read();
  EXPECT_EQ(std::make_tuple(0, 1), std::make_tuple(counts.deviceContexts.Held(), counts.selections.Held()));
}

TEST(CountingSeam, TheSeamIsPutBackWhenCountingEnds) {
  formsrt::User32Api before = User32();
  { CountingSeam seam; }
  EXPECT_EQ(before.CreateWindowExW, User32().CreateWindowExW);
  EXPECT_EQ(before.MessageBoxW, User32().MessageBoxW);
  formsrt::Gdi32Api gdiBefore = formsrt::Gdi32();
  { CountingSeam seam; }
  EXPECT_EQ(gdiBefore.SelectObject, formsrt::Gdi32().SelectObject);
}

}  // namespace
