// The standard report of an unhandled run-time error, seen from outside: a
// test program raises one, the test finds its box by the program's title,
// reads it, answers it, and sees the program end with the error number.
#include <gtest/gtest.h>

#include <future>
#include <string>

#include "ProcessRunner.h"

using testing_support::ProcessResult;
using testing_support::RunProcess;

namespace {

constexpr wchar_t kProbeTitle[] = L"UnhandledErrorProbe";

BOOL CALLBACK CollectStaticText(HWND child, LPARAM found) {
  wchar_t className[16] = {};
  ::GetClassNameW(child, className, 16);
  wchar_t text[256] = {};
  ::GetWindowTextW(child, text, 256);
  if (_wcsicmp(className, L"Static") == 0 && text[0]) {
    *reinterpret_cast<std::wstring*>(found) = text;
  }
  return TRUE;
}

struct ProbeRun {
  std::wstring boxText;
  bool probeFormShown = false;  // while the report was up
  ProcessResult process;
};

ProbeRun RunProbeAndAnswerItsBox(const wchar_t* mode) {
  std::wstring commandLine =
      L"\"" + testing_support::ExecutableFolder() + L"UnhandledErrorProbe.exe\" " + mode;
  auto running = std::async(std::launch::async, [&] { return RunProcess(commandLine, 60000); });
  ProbeRun run;
  for (int attempt = 0; attempt < 300 && run.boxText.empty(); ++attempt) {
    if (HWND box = ::FindWindowW(L"#32770", kProbeTitle)) {
      ::EnumChildWindows(box, CollectStaticText, reinterpret_cast<LPARAM>(&run.boxText));
      run.probeFormShown = ::IsWindowVisible(::FindWindowW(L"FormsrtForm", L"Probe"));
      ::PostMessageW(box, WM_COMMAND, IDOK, 0);
    } else {
      ::Sleep(100);
    }
  }
  run.process = running.get();
  return run;
}

}  // namespace

TEST(UnhandledError, AnErrorInAnEventHandlerIsReportedAndEndsTheProgram) {
  ProbeRun run = RunProbeAndAnswerItsBox(L"handler");
  EXPECT_EQ(L"Run-time error '13':\n\nType mismatch", run.boxText);
  EXPECT_FALSE(run.process.timedOut);
  EXPECT_EQ(13u, run.process.exitCode);
}

TEST(UnhandledError, AnErrorInATimerTickGetsTheSameReport) {
  ProbeRun run = RunProbeAndAnswerItsBox(L"timer");
  EXPECT_EQ(L"Run-time error '6':\n\nOverflow", run.boxText);
  EXPECT_EQ(6u, run.process.exitCode);
}

TEST(UnhandledError, AComFailureIsReportedByItsCode) {
  ProbeRun run = RunProbeAndAnswerItsBox(L"com");
  EXPECT_EQ(L"Run-time error '-2147024894 (80070002)':\n\nAutomation error", run.boxText);
  EXPECT_EQ(0x80070002u, run.process.exitCode);
}

TEST(UnhandledError, AnErrorInFormLoadEndsTheProgramBeforeTheFormShows) {
  ProbeRun run = RunProbeAndAnswerItsBox(L"load");
  EXPECT_EQ(L"Run-time error '424':\n\nObject required", run.boxText);
  EXPECT_EQ(424u, run.process.exitCode);
  EXPECT_FALSE(run.probeFormShown);
}
