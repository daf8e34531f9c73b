// QuennetCtl's shell, desktop and mouse commands with the platform faked:
// the exact command lines, show commands and platform arguments, the
// fallbacks for launchers that current platforms lack, and the message boxes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "FakeMessageBox.h"
#include "FakeProgramStart.h"
#include "TestDoubles.h"
#include "core/Bstr.h"
#include "com/ComPtr.h"
#include "platform/Platform.h"
#include "core/RuntimeError.h"
#include "core/Variant.h"

namespace {

using formsrt::Bstr;
using formsrt::ComPtr;
using formsrt::Variant;
using testing_support::FakeMessageBox;
using testing_support::FakeProgramStart;
using quennet_test::ByReference;
using quennet_test::ErrorNumberOfCall;
using quennet_test::kAppletNotFoundBox;
using quennet_test::kFunctionErrorBox;
using quennet_test::Shown;
using quennet_test::ShownBox;

constexpr HRESULT kFileNotFound = formsrt::HresultFromErrorNumber(formsrt::error::FileNotFound);

// Texts handed to the commands: a plain name, blanks, nothing, characters
// outside any 8-bit code page, and quotes and commas that must not be escaped.
const std::vector<std::wstring> kCallerTexts = {
    L"desk.cpl", L"C:\\My Documents\\read me.txt", L"", L"r\u00e9sum\u00e9 \u4e2d\u6587",
    L"\"a\",b c"};

// Makes the named programs missing while it lives: a command line that starts
// with one of them fails with "file not found". Every start is handed on first
// to the program start underneath (a FakeProgramStart), which records it.
class MissingPrograms {
 public:
  explicit MissingPrograms(std::vector<std::wstring> programs)
      : kernel32_(formsrt::Kernel32()), programs_(std::move(programs)) {
    active_ = this;
    underlying_ = kernel32_->CreateProcessW;
    kernel32_->CreateProcessW = &MissingPrograms::CreateProcessW;
  }
  ~MissingPrograms() { active_ = nullptr; }
  MissingPrograms(const MissingPrograms&) = delete;
  MissingPrograms& operator=(const MissingPrograms&) = delete;

 private:
  static BOOL WINAPI CreateProcessW(LPCWSTR application, LPWSTR commandLine,
                                    LPSECURITY_ATTRIBUTES processAttributes,
                                    LPSECURITY_ATTRIBUTES threadAttributes, BOOL inherit,
                                    DWORD flags, LPVOID environment, LPCWSTR folder,
                                    LPSTARTUPINFOW startup, LPPROCESS_INFORMATION process) {
    BOOL started = active_->underlying_(application, commandLine, processAttributes,
                                        threadAttributes, inherit, flags, environment, folder,
                                        startup, process);
    std::wstring_view line(commandLine ? commandLine : L"");
    for (const std::wstring& program : active_->programs_) {
      if (line.substr(0, program.size() + 1) == program + L" ") {
        ::SetLastError(ERROR_FILE_NOT_FOUND);
        return FALSE;
      }
    }
    return started;
  }

  static inline MissingPrograms* active_ = nullptr;
  formsrt::PlatformOverride<formsrt::Kernel32Api> kernel32_;
  decltype(formsrt::Kernel32Api::CreateProcessW) underlying_;
  std::vector<std::wstring> programs_;
};

struct ShellOpen {
  std::wstring verb;
  std::wstring file;
  bool hasParameters;
  INT show;
  bool operator==(const ShellOpen&) const = default;
};

// Stands in for the shell's ShellExecuteW: records what was opened and
// answers with the test's outcome (above 32 is success).
class FakeShellOpen {
 public:
  explicit FakeShellOpen(INT_PTR outcome) : shell32_(formsrt::Shell32()), outcome_(outcome) {
    active_ = this;
    shell32_->ShellExecuteW = &FakeShellOpen::ShellExecuteW;
  }
  ~FakeShellOpen() { active_ = nullptr; }
  FakeShellOpen(const FakeShellOpen&) = delete;
  FakeShellOpen& operator=(const FakeShellOpen&) = delete;

  const std::vector<ShellOpen>& Opened() const { return opened_; }

 private:
  static HINSTANCE WINAPI ShellExecuteW(HWND, LPCWSTR verb, LPCWSTR file, LPCWSTR parameters,
                                        LPCWSTR, INT show) {
    active_->opened_.push_back({verb ? verb : L"", file ? file : L"", parameters != nullptr, show});
    return reinterpret_cast<HINSTANCE>(active_->outcome_);
  }

  static inline FakeShellOpen* active_ = nullptr;
  formsrt::PlatformOverride<formsrt::Shell32Api> shell32_;
  INT_PTR outcome_;
  std::vector<ShellOpen> opened_;
};

class ShellCommands : public quennet_test::ControlCalls {};

TEST_F(ShellCommands, StartedCommandsAppendTheCallersTextUnchangedWithTheirShowCommands) {
  struct Command {
    HRESULT (STDMETHODCALLTYPE _QuennetCtl::*method)(BSTR*, VARIANT*);
    std::wstring prefix;
    WORD show;
  };
  const Command commands[] = {
      {&_QuennetCtl::FCxLaunchCPA, L"rundll.exe shell32.dll,Control_RunDLL ", SW_SHOWMINIMIZED},
      {&_QuennetCtl::FCxShellNav, L"rundll32.exe url.dll,FileProtocolHandler ", SW_SHOWMAXIMIZED},
      {&_QuennetCtl::FCxOpenMail, L"start.exe mailto:", SW_HIDE},
  };
  FakeMessageBox boxes;
  for (const Command& command : commands) {
    for (const std::wstring& text : kCallerTexts) {
      SCOPED_TRACE(command.prefix + text);
      FakeProgramStart starts;
      ASSERT_HRESULT_SUCCEEDED(CallWithText(command.method, text, result.Put()));
      EXPECT_EQ(VT_EMPTY, result.Type());
      ASSERT_EQ(1u, starts.Starts().size());
      EXPECT_EQ(command.prefix + text, starts.Starts()[0].commandLine);
      EXPECT_EQ(command.show, starts.Starts()[0].showWindow);
      EXPECT_TRUE(starts.Starts()[0].startupFlags & STARTF_USESHOWWINDOW);
    }
  }
  EXPECT_TRUE(boxes.Boxes().empty());
}

TEST_F(ShellCommands, LaunchCPAFallsBackToThe32BitLauncherWhenTheOldOneIsMissing) {
  FakeMessageBox boxes;
  FakeProgramStart starts;
  MissingPrograms missing({L"rundll.exe"});
  ASSERT_HRESULT_SUCCEEDED(
      CallWithText(&_QuennetCtl::FCxLaunchCPA, L"no such applet.cpl", result.Put()));
  EXPECT_EQ(VT_EMPTY, result.Type());
  ASSERT_EQ(2u, starts.Starts().size());
  EXPECT_EQ(L"rundll.exe shell32.dll,Control_RunDLL no such applet.cpl",
            starts.Starts()[0].commandLine);
  EXPECT_EQ(L"rundll32.exe shell32.dll,Control_RunDLL no such applet.cpl",
            starts.Starts()[1].commandLine);
  EXPECT_EQ(SW_SHOWMINIMIZED, starts.Starts()[1].showWindow);
  EXPECT_TRUE(boxes.Boxes().empty());
}

TEST_F(ShellCommands, LaunchCPAShowsAppletNotFoundWhenNoLauncherStarts) {
  struct Case {
    const char* name;
    DWORD failure;
    std::vector<std::wstring> missing;
    size_t attempts;
  };
  const Case cases[] = {
      {"both launchers missing", ERROR_FILE_NOT_FOUND, {}, 2},
      {"old launcher missing, new one refused", ERROR_ACCESS_DENIED, {L"rundll.exe"}, 2},
      // Only a missing program is worth a second try.
      {"old launcher refused", ERROR_ACCESS_DENIED, {}, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakeMessageBox boxes;
    FakeProgramStart starts(c.failure);
    MissingPrograms missing(c.missing);
    ASSERT_EQ(S_OK, CallWithText(&_QuennetCtl::FCxLaunchCPA, L"x.cpl", result.Put()));
    EXPECT_EQ(VT_EMPTY, result.Type());
    EXPECT_EQ(c.attempts, starts.Starts().size());
    EXPECT_EQ(std::vector<ShownBox>{kAppletNotFoundBox}, Shown(boxes.Boxes()));
  }
}

TEST_F(ShellCommands, QuietErrorsSilencesAppletNotFoundAndStillReportsSuccess) {
  ASSERT_HRESULT_SUCCEEDED(control->put_QuietErrors(VARIANT_TRUE));
  FakeMessageBox boxes;
  FakeProgramStart starts(ERROR_FILE_NOT_FOUND);
  ASSERT_EQ(S_OK, CallWithText(&_QuennetCtl::FCxLaunchCPA, L"x.cpl", result.Put()));
  EXPECT_EQ(VT_EMPTY, result.Type());
  EXPECT_EQ(2u, starts.Starts().size());
  EXPECT_TRUE(boxes.Boxes().empty());
}

TEST_F(ShellCommands, ShellNavReportsAMissingHandlerAsFileNotFound) {
  FakeMessageBox boxes;
  FakeProgramStart starts(ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(kFileNotFound, CallWithText(&_QuennetCtl::FCxShellNav, L"http://x/", result.Put()));
  EXPECT_EQ(1u, starts.Starts().size());
  EXPECT_TRUE(boxes.Boxes().empty());
}

TEST_F(ShellCommands, OpenMailHandsTheAddressToTheShellWhenStartIsMissing) {
  for (const std::wstring& sendTo : kCallerTexts) {
    SCOPED_TRACE(sendTo);
    FakeProgramStart starts(ERROR_FILE_NOT_FOUND);
    FakeShellOpen shell(42);
    ASSERT_EQ(S_OK, CallWithText(&_QuennetCtl::FCxOpenMail, sendTo, result.Put()));
    EXPECT_EQ(VT_EMPTY, result.Type());
    ASSERT_EQ(1u, starts.Starts().size());
    EXPECT_EQ((std::vector<ShellOpen>{{L"open", L"mailto:" + sendTo, false, SW_SHOWNORMAL}}), shell.Opened());
  }
}

TEST_F(ShellCommands, OpenMailFailsOnlyWhenStartAndTheShellBothFail) {
  {
    FakeProgramStart starts;
    FakeShellOpen shell(42);
    ASSERT_EQ(S_OK, CallWithText(&_QuennetCtl::FCxOpenMail, L"a@b.c", result.Put()));
    EXPECT_TRUE(shell.Opened().empty());
  }
  {
    // QuietErrors governs message boxes only, never errors to the caller.
    ASSERT_HRESULT_SUCCEEDED(control->put_QuietErrors(VARIANT_TRUE));
    FakeMessageBox boxes;
    FakeProgramStart starts(ERROR_FILE_NOT_FOUND);
    FakeShellOpen shell(SE_ERR_NOASSOC);
    EXPECT_EQ(kFileNotFound, CallWithText(&_QuennetCtl::FCxOpenMail, L"a@b.c", result.Put()));
    EXPECT_EQ(1u, shell.Opened().size());
    EXPECT_TRUE(boxes.Boxes().empty());
  }
  {
    // A start.exe that exists but may not run is reported as it is.
    FakeProgramStart starts(ERROR_ACCESS_DENIED);
    FakeShellOpen shell(42);
    EXPECT_EQ(formsrt::HresultFromErrorNumber(70),
              CallWithText(&_QuennetCtl::FCxOpenMail, L"a@b.c", result.Put()));
    EXPECT_TRUE(shell.Opened().empty());
  }
}

class ShellCommandsReturnPath : public ShellCommands {
 protected:
  HRESULT ReturnPath(const std::wstring& folderName) {
    path = Bstr();
    return CallWithText(&_QuennetCtl::FCxReturnPath, folderName, path.Put());
  }

  Bstr path;
};

TEST_F(ShellCommandsReturnPath, UnknownNamesShowTheFunctionErrorUnlessQuiet) {
  const std::wstring names[] = {L"windows", L"TEMP", L"system", L"Temp ", L"",
                                std::wstring(L"Temp\0x", 6)};
  for (VARIANT_BOOL quiet : {VARIANT_FALSE, VARIANT_TRUE}) {
    ASSERT_HRESULT_SUCCEEDED(control->put_QuietErrors(quiet));
    for (const std::wstring& name : names) {
      SCOPED_TRACE(name);
      FakeMessageBox boxes;
      ASSERT_EQ(S_OK, ReturnPath(name));
      EXPECT_EQ(L"", path.View());
      EXPECT_EQ(quiet ? std::vector<ShownBox>{} : std::vector<ShownBox>{kFunctionErrorBox},
                Shown(boxes.Boxes()));
    }
  }
}

// A folder reader that knows a path of kLongPathLength characters and
// records the buffer sizes it is offered.
constexpr UINT kLongPathLength = 300;
std::vector<UINT> g_offeredSizes;
bool g_pathGrowsBetweenCalls = false;

UINT ReportLongPath(LPSTR buffer, UINT size) {
  g_offeredSizes.push_back(size);
  UINT length = kLongPathLength + (g_pathGrowsBetweenCalls ? 10 * g_offeredSizes.size() : 0);
  if (size <= length) return length + 1;
  std::string path = "C:\\" + std::string(length - 4, 'd') + "\\";
  memcpy(buffer, path.c_str(), length + 1);
  return length;
}

UINT WINAPI LongWindowsDirectory(LPSTR buffer, UINT size) { return ReportLongPath(buffer, size); }
UINT WINAPI LongSystemDirectory(LPSTR buffer, UINT size) { return ReportLongPath(buffer, size); }
DWORD WINAPI LongTempPath(DWORD size, LPSTR buffer) { return ReportLongPath(buffer, size); }

TEST_F(ShellCommandsReturnPath, APathLongerThanTheBufferIsReturnedWhole) {
  formsrt::PlatformOverride<formsrt::Kernel32Api> kernel32(formsrt::Kernel32());
  kernel32->GetWindowsDirectoryA = &LongWindowsDirectory;
  kernel32->GetSystemDirectoryA = &LongSystemDirectory;
  kernel32->GetTempPathA = &LongTempPath;
  for (const wchar_t* name : {L"Windows", L"System", L"Temp"}) {
    SCOPED_TRACE(name);
    g_offeredSizes.clear();
    g_pathGrowsBetweenCalls = false;
    ASSERT_EQ(S_OK, ReturnPath(name));
    EXPECT_EQ(kLongPathLength, path.Length());
    EXPECT_EQ(L"C:\\ddd", path.View().substr(0, 6));
    EXPECT_EQ(L'\\', path.View().back());
    ASSERT_EQ(2u, g_offeredSizes.size());
    EXPECT_EQ(255u, g_offeredSizes[0]);

    // A path that changes between the two calls yields nothing rather than
    // a cut-off path.
    g_pathGrowsBetweenCalls = true;
    ASSERT_EQ(S_OK, ReturnPath(name));
    EXPECT_EQ(L"", path.View());
  }
}

// The wallpaper, the desktop icons and the pointer through faked user32.
std::vector<std::string> g_wallpaperCalls;  // "action parameter file name flags"
BOOL g_wallpaperResult = TRUE;

BOOL WINAPI RecordSystemParametersInfo(UINT action, UINT parameter, PVOID data, UINT flags) {
  g_wallpaperCalls.push_back(std::to_string(action) + " " + std::to_string(parameter) + " " +
                             static_cast<const char*>(data) + " " + std::to_string(flags));
  return g_wallpaperResult;
}

TEST_F(ShellCommands, SetWallpaperPassesTheNameAsAnsiTextWithAction20AndFlags3) {
  user32->SystemParametersInfoA = &RecordSystemParametersInfo;
  for (BOOL platformResult : {TRUE, FALSE, 7}) {
    g_wallpaperCalls.clear();
    g_wallpaperResult = platformResult;
    BSTR fileName = ::SysAllocString(L"C:\\My Pictures\\sea.bmp");
    LONG returned = -1;
    ASSERT_EQ(S_OK, control->FCxSetWallpaper(&fileName, &returned));
    EXPECT_EQ(platformResult, returned);
    EXPECT_STREQ(L"C:\\My Pictures\\sea.bmp", fileName);
    ::SysFreeString(fileName);
    EXPECT_EQ(std::vector<std::string>{"20 0 C:\\My Pictures\\sea.bmp 3"}, g_wallpaperCalls);
  }
}

const HWND kProgman = reinterpret_cast<HWND>(0x1110);
const HWND kDesktopView = reinterpret_cast<HWND>(0x2220);
const HWND kIconList = reinterpret_cast<HWND>(0x3330);
std::vector<std::string> g_desktopCalls;

HWND WINAPI FindProgman(LPCSTR className, LPCSTR title) {
  g_desktopCalls.push_back(std::string("find ") + className + (title ? " titled" : ""));
  return kProgman;
}

HWND WINAPI FirstChild(HWND window, UINT relation) {
  g_desktopCalls.push_back("child " + std::to_string(relation));
  return window == kProgman ? kDesktopView : window == kDesktopView ? kIconList : nullptr;
}

LRESULT WINAPI RecordMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  g_desktopCalls.push_back((window == kIconList ? "icon list " : "other ") +
                           std::to_string(message) + " " + std::to_string(wParam) + " " +
                           std::to_string(lParam));
  return 0;
}

TEST_F(ShellCommands, AlignDeskIconsSendsArrangeLeftToTheDesktopsListView) {
  user32->FindWindowA = &FindProgman;
  user32->GetWindow = &FirstChild;
  user32->SendMessageA = &RecordMessage;
  g_desktopCalls.clear();
  ASSERT_EQ(S_OK, control->FCxAlignDeskIcons(result.Put()));
  EXPECT_EQ(VT_EMPTY, result.Type());
  const std::vector<std::string> expected = {"find Progman", "child 5", "child 5",
                                             "icon list 4118 1 0"};
  EXPECT_EQ(expected, g_desktopCalls);
}

std::vector<std::pair<int, int>> g_cursorSet;
std::vector<POINT> g_cursorReads;  // answered in order; an empty list fails

BOOL WINAPI RecordSetCursorPos(int x, int y) {
  g_cursorSet.push_back({x, y});
  return TRUE;
}

BOOL WINAPI NextCursorPos(LPPOINT point) {
  if (g_cursorReads.empty()) return FALSE;
  *point = g_cursorReads.front();
  g_cursorReads.erase(g_cursorReads.begin());
  return TRUE;
}

TEST_F(ShellCommands, SetMousePosWidensTheCoordinatesWithTheirSign) {
  user32->SetCursorPos = &RecordSetCursorPos;
  g_cursorSet.clear();
  short x = -1, y = -32768;
  ASSERT_EQ(S_OK, control->FCxSetMousePos(&x, &y, result.Put()));
  x = 32767;
  y = 0;
  ASSERT_EQ(S_OK, control->FCxSetMousePos(&x, &y, result.Put()));
  EXPECT_EQ(VT_EMPTY, result.Type());
  EXPECT_EQ((std::vector<std::pair<int, int>>{{-1, -32768}, {32767, 0}}), g_cursorSet);
}

TEST_F(ShellCommands, EachPointerReadAsksAfreshAndAFailedReadKeepsTheLastPosition) {
  user32->GetCursorPos = &NextCursorPos;
  Variant x, y;

  g_cursorReads.clear();
  ASSERT_EQ(S_OK, control->FCxGMP_X(x.Put()));
  EXPECT_EQ(VT_I4, x.Type());
  EXPECT_EQ(0, V_I4(&x.Get()));  // never read before

  g_cursorReads = {{70000, -5}, {-3, 90000}};
  ASSERT_EQ(S_OK, control->FCxGMP_X(x.Put()));
  ASSERT_EQ(S_OK, control->FCxGMP_Y(y.Put()));
  EXPECT_EQ(VT_I4, y.Type());
  EXPECT_EQ(70000, V_I4(&x.Get()));
  EXPECT_EQ(90000, V_I4(&y.Get()));  // the second read's y, not the first's

  ASSERT_EQ(S_OK, control->FCxGMP_X(x.Put()));
  EXPECT_EQ(-3, V_I4(&x.Get()));
}

// A script passes its variables as VT_VARIANT|VT_BYREF; they keep their value
// and type unless the member changed them.
TEST_F(ShellCommands, AScriptsVariablesKeepTheirValueAndTypeUnlessTheMemberChangedThem) {
  user32->SetCursorPos = &RecordSetCursorPos;
  user32->SystemParametersInfoA = &RecordSystemParametersInfo;
  FakeMessageBox boxes;
  g_cursorSet.clear();

  Variant x = Variant::FromDouble(10.6);
  Variant y = Variant::FromInt32(5);
  EXPECT_EQ(0, ErrorNumberOfCall(control.Get(), L"FCxSetMousePos",
                                 {ByReference(x), ByReference(y)}));
  EXPECT_EQ((std::vector<std::pair<int, int>>{{11, 5}}), g_cursorSet);
  EXPECT_EQ(VT_R8, x.Type());
  EXPECT_EQ(10.6, V_R8(&x.Get()));
  EXPECT_EQ(VT_I4, y.Type());

  Variant folder;
  EXPECT_EQ(0, ErrorNumberOfCall(control.Get(), L"FCxReturnPath", {ByReference(folder)}));
  EXPECT_EQ(VT_EMPTY, folder.Type());

  Variant number = Variant::FromInt16(42);
  EXPECT_EQ(0, ErrorNumberOfCall(control.Get(), L"FCxSetWallpaper", {ByReference(number)}));
  EXPECT_EQ(VT_I2, number.Type());
  ASSERT_EQ(1252u, ::GetACP()) << "the expected text is that of the test environment's code page";
  Variant unrepresentable = Variant::FromText(L"C:\\\u4e2d.bmp");
  EXPECT_EQ(0,
            ErrorNumberOfCall(control.Get(), L"FCxSetWallpaper", {ByReference(unrepresentable)}));
  ASSERT_EQ(VT_BSTR, unrepresentable.Type());
  EXPECT_STREQ(L"C:\\?.bmp", V_BSTR(&unrepresentable.Get()));
}

}  // namespace
