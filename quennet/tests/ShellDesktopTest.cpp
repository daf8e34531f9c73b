// QuennetCtl's shell, desktop and mouse commands on the real platform: the
// folder paths, the pointer, the wallpaper and the desktop icons as the
// platform (Wine, here) gives them.
#include <gtest/gtest.h>

#include <fstream>
#include <string>

#include "CursorKept.h"
#include "FakeMessageBox.h"
#include "TestDoubles.h"
#include "core/Bstr.h"
#include "com/ComPtr.h"
#include "core/Conversions.h"
#include "com/LateBound.h"
#include "core/Variant.h"

namespace {

using formsrt::Bstr;
using formsrt::ComPtr;
using formsrt::Variant;
using testing_support::FakeMessageBox;

class ShellDesktop : public quennet_test::ControlCalls {
 protected:
  std::wstring ReturnPath(const wchar_t* folderName) {
    Bstr path;
    EXPECT_EQ(S_OK, CallWithText(&_QuennetCtl::FCxReturnPath, folderName, path.Put()));
    return path.Str();
  }

  POINT ReadPointer() {
    Variant x, y;
    EXPECT_EQ(S_OK, control->FCxGMP_X(x.Put()));
    EXPECT_EQ(S_OK, control->FCxGMP_Y(y.Put()));
    EXPECT_EQ(VT_I4, x.Type());
    EXPECT_EQ(VT_I4, y.Type());
    return {V_I4(&x.Get()), V_I4(&y.Get())};
  }
};

std::wstring PlatformPath(UINT (*read)(UINT, LPWSTR)) {
  wchar_t buffer[MAX_PATH + 1] = {};
  return std::wstring(buffer, read(MAX_PATH + 1, buffer));
}

// Only the temporary folder's path ends with a separator.
TEST_F(ShellDesktop, ReturnPathNamesTheThreeFoldersAsThePlatformGivesThem) {
  FakeMessageBox boxes;
  const struct {
    const wchar_t* name;
    UINT (*read)(UINT, LPWSTR);
    bool endsWithSeparator;
  } folders[] = {
      {L"Windows", [](UINT size, LPWSTR to) { return ::GetWindowsDirectoryW(to, size); }, false},
      {L"System", [](UINT size, LPWSTR to) { return ::GetSystemDirectoryW(to, size); }, false},
      {L"Temp", [](UINT size, LPWSTR to) -> UINT { return ::GetTempPathW(size, to); }, true},
  };
  for (const auto& folder : folders) {
    std::wstring path = ReturnPath(folder.name);
    EXPECT_EQ(0, _wcsicmp(PlatformPath(folder.read).c_str(), path.c_str())) << path;
    ASSERT_GT(path.size(), 3u) << path;
    EXPECT_EQ(folder.endsWithSeparator, path.back() == L'\\') << path;
  }
  EXPECT_TRUE(boxes.Boxes().empty());
}

TEST_F(ShellDesktop, ReturnPathMatchesNoFolderNameInAnotherCase) {
  FakeMessageBox boxes;
  for (const wchar_t* name : {L"windows", L"SYSTEM", L"temp"}) {
    EXPECT_EQ(L"", ReturnPath(name)) << name;
  }
  EXPECT_EQ(3u, boxes.Boxes().size());
}

TEST_F(ShellDesktop, ThePointerReadsBackWhereItWasPutAs32BitIntegers) {
  testing_support::CursorKept cursor;
  short x = 123, y = 234;
  ASSERT_EQ(S_OK, control->FCxSetMousePos(&x, &y, result.Put()));
  EXPECT_EQ(VT_EMPTY, result.Type());
  POINT read = ReadPointer();
  EXPECT_EQ(123, read.x);
  EXPECT_EQ(234, read.y);

  // The platform keeps the pointer on the screen.
  x = -500;
  y = -32768;
  ASSERT_EQ(S_OK, control->FCxSetMousePos(&x, &y, result.Put()));
  read = ReadPointer();
  EXPECT_GE(read.x, ::GetSystemMetrics(SM_XVIRTUALSCREEN));
  EXPECT_GE(read.y, ::GetSystemMetrics(SM_YVIRTUALSCREEN));
  EXPECT_LT(read.x, 100);
  EXPECT_LT(read.y, 100);
}

TEST_F(ShellDesktop, AlignDeskIconsWithoutADesktopWindowDoesNothingAndReportsNothing) {
  ASSERT_EQ(nullptr, ::FindWindowA("Progman", nullptr)) << "this desktop has a Progman window";
  FakeMessageBox boxes;
  EXPECT_EQ(S_OK, control->FCxAlignDeskIcons(result.Put()));
  EXPECT_EQ(VT_EMPTY, result.Type());
  EXPECT_TRUE(boxes.Boxes().empty());
}

std::wstring TempFile(const wchar_t* name) {
  wchar_t folder[MAX_PATH + 1] = {};
  ::GetTempPathW(MAX_PATH + 1, folder);
  return std::wstring(folder) + name;
}

// A 1 x 1 pixel, 24-bit bitmap.
void WriteBitmap(const std::wstring& path) {
  const unsigned char bitmap[] = {
      'B', 'M', 58, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0,                     // file header
      40, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 24, 0, 0, 0, 0, 0, 4, 0,  // info header
      0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
      0x20, 0x40, 0x80, 0};  // one blue-green-red pixel, padded to 4 bytes
  std::ofstream file(path.c_str(), std::ios::binary);
  file.write(reinterpret_cast<const char*>(bitmap), sizeof(bitmap));
}

std::string DesktopWallpaper() {
  char wallpaper[MAX_PATH + 1] = {};
  ::SystemParametersInfoA(SPI_GETDESKWALLPAPER, sizeof(wallpaper), wallpaper, 0);
  return wallpaper;
}

// Puts the test prefix's wallpaper back when a test has changed it.
class ShellWallpaper : public ShellDesktop {
 protected:
  void TearDown() override {
    ::SystemParametersInfoA(SPI_SETDESKWALLPAPER, 0, previous_.data(),
                            SPIF_UPDATEINIFILE | SPIF_SENDWININICHANGE);
  }

 private:
  std::string previous_ = DesktopWallpaper();
};

TEST_F(ShellWallpaper, SetWallpaperReturnsThePlatformsResultAndStoresTheSetting) {
  std::wstring picture = TempFile(L"quennet wallpaper.bmp");
  WriteBitmap(picture);
  BSTR fileName = ::SysAllocString(picture.c_str());
  LONG returned = 0;
  ASSERT_EQ(S_OK, control->FCxSetWallpaper(&fileName, &returned));
  EXPECT_NE(0, returned);
  EXPECT_EQ(picture, fileName);
  ::SysFreeString(fileName);
  EXPECT_EQ(0, _stricmp(formsrt::ToAnsi(picture).c_str(), DesktopWallpaper().c_str()));
  ::DeleteFileW(picture.c_str());
}

// Through late binding, as a host calls it: the file name comes back in the
// caller's variable, through the 8-bit code page.
TEST_F(ShellWallpaper, SetWallpaperWritesTheFileNameBackThroughTheCodePage) {
  std::wstring picture = TempFile(L"quennet \u4e2d\u00e9.bmp");
  char ansi[MAX_PATH * 2] = {};
  ::WideCharToMultiByte(CP_ACP, 0, picture.c_str(), -1, ansi, sizeof(ansi), nullptr, nullptr);
  wchar_t roundTrip[MAX_PATH * 2] = {};
  ::MultiByteToWideChar(CP_ACP, 0, ansi, -1, roundTrip, MAX_PATH * 2);

  ComPtr<IDispatch> dispatch;
  ASSERT_HRESULT_SUCCEEDED(control.As(dispatch));
  Bstr fileName;
  BSTR* storage = fileName.Put();
  *storage = ::SysAllocString(picture.c_str());
  Variant returned = formsrt::CallMethod(dispatch.Get(), L"FCxSetWallpaper", {testing_support::ByReference(VT_BSTR, storage)});
  EXPECT_EQ(VT_I4, returned.Type());
  EXPECT_EQ(roundTrip, fileName.View());
  // An 8-bit code page cannot hold both scripts: the name comes back changed.
  if (::GetACP() != CP_UTF8) {
    EXPECT_NE(picture, fileName.View());
  }
  EXPECT_EQ(ansi, DesktopWallpaper());
}

}  // namespace
