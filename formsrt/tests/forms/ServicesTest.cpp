// The runtime services: message box, program start and debug output,
// through the platform seam's fakes and for real.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "FakeMessageBox.h"
#include "FakeProgramStart.h"
#include "ErrorNumber.h"
#include "core/RuntimeError.h"
#include "services/DebugOutput.h"
#include "services/MessageBox.h"
#include "services/ProgramStart.h"

using namespace formsrt;
using testing_support::ErrorNumberOf;
using testing_support::FakeMessageBox;
using testing_support::FakeProgramStart;

namespace {

std::string g_debugText;

void WINAPI RecordDebugString(LPCSTR text) { g_debugText += text; }

}  // namespace

TEST(MessageBoxService, ShowsTextStyleAndCaptionOwnedByTheActiveWindow) {
  HWND active = reinterpret_cast<HWND>(0x2468);
  FakeMessageBox boxes(IDOK, active);
  EXPECT_EQ(IDOK, ShowMessageBox(L"Applet not found", message_box_style::OkOnly, std::nullopt, L"Quennet"));
  ShowMessageBox(L"Function only returns string", message_box_style::Exclamation,
                 L"Function Error", L"Quennet");
  std::vector<std::tuple<HWND, std::wstring, std::wstring, UINT>> shown;  // owner, text, caption, style
  for (const auto& box : boxes.Boxes()) shown.emplace_back(box.owner, box.text, box.caption, box.style);
  EXPECT_EQ((decltype(shown){{active, L"Applet not found", L"Quennet", 0},
                             {active, L"Function only returns string", L"Function Error", 48}}),
            shown);
}

TEST(ProgramStart, PassesTheCommandLineAndShowStyleAndClosesBothHandles) {
  FakeProgramStart starts;
  EXPECT_EQ(FakeProgramStart::kProcessId,
            StartProgram(L"rundll32.exe url.dll,FileProtocolHandler C:\\", show_style::Hidden));
  StartProgram(L"start.exe", show_style::MinimizedFocus);
  StartProgram(L"start.exe", show_style::MaximizedFocus);
  std::vector<WORD> shows;
  for (const auto& start : starts.Starts()) shows.push_back(start.showWindow);
  ASSERT_EQ((std::vector<WORD>{SW_HIDE, SW_SHOWMINIMIZED, SW_SHOWMAXIMIZED}), shows);
  EXPECT_EQ(L"rundll32.exe url.dll,FileProtocolHandler C:\\", starts.Starts()[0].commandLine);
  EXPECT_TRUE(starts.Starts()[0].startupFlags & STARTF_USESHOWWINDOW);
  const HANDLE thread = FakeProgramStart::kThreadHandle, process = FakeProgramStart::kProcessHandle;
  EXPECT_EQ((std::vector<HANDLE>{thread, process, thread, process, thread, process}), starts.ClosedHandles());
}

TEST(ProgramStart, FailuresBecomeRuntimeErrors) {
  struct Case {
    DWORD failure;
    long number;
  } cases[] = {{ERROR_FILE_NOT_FOUND, 53}, {ERROR_PATH_NOT_FOUND, 53}, {ERROR_ACCESS_DENIED, 70},
               {ERROR_BAD_EXE_FORMAT, 5}};
  for (const Case& c : cases) {
    FakeProgramStart starts(c.failure);
    EXPECT_EQ(c.number, ErrorNumberOf([] { StartProgram(L"missing.exe", show_style::Hidden); }))
        << c.failure;
    EXPECT_TRUE(starts.ClosedHandles().empty());
  }
  FakeProgramStart starts;
  EXPECT_EQ(5, ErrorNumberOf([] { StartProgram(L"start.exe", 5); }));
  EXPECT_EQ(5, ErrorNumberOf([] { StartProgram(L"  ", show_style::Hidden); }));
  EXPECT_TRUE(starts.Starts().empty());
}

TEST(ProgramStart, StartsARealProgramHiddenAndReturnsAtOnce) {
  DWORD id = StartProgram(L"cmd.exe /c exit 7", show_style::Hidden);
  ASSERT_NE(0u, id);
  HANDLE process = ::OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id);
  ASSERT_NE(nullptr, process);
  EXPECT_EQ(WAIT_OBJECT_0, ::WaitForSingleObject(process, 30000));
  DWORD exitCode = 0;
  ::GetExitCodeProcess(process, &exitCode);
  ::CloseHandle(process);
  EXPECT_EQ(7u, exitCode);

  EXPECT_EQ(error::FileNotFound,
            ErrorNumberOf([] { StartProgram(L"no_such_program_anywhere.exe /x", show_style::Hidden); }));
  EXPECT_EQ(error::FileNotFound, ErrorNumberOf([] {
              StartProgram(L"C:\\no\\such\\folder\\program.exe", show_style::NormalFocus);
            }));
}

TEST(DebugOutput, WritesOneLineInTheEightBitCodePage) {
  g_debugText.clear();
  PlatformOverride<Kernel32Api> kernel32(Kernel32());
  kernel32->OutputDebugStringA = RecordDebugString;
  DebugPrint(L"Got Message");
  DebugPrint(L"caf\u00e9");
  EXPECT_EQ("Got Message\r\ncaf\xe9\r\n", g_debugText);
}
