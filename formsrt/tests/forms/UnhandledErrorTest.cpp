// The standard report of an unhandled run-time error, seen from outside: a
// test program raises one, the test finds its box by the program's title,
// reads it, answers it, and sees the program end with the error number.
#include <gtest/gtest.h>

#include <future>
#include <string>

#include "ProcessRunner.h"
#include "WindowTree.h"

using testing_support::ProcessResult;
using testing_support::RunProcess;

namespace {

constexpr wchar_t kProbeTitle[] = L"UnhandledErrorProbe";

// The report boxes the probe shows at once.
int ReportBoxes() {
  int boxes = 0;
  for (HWND box = nullptr; (box = ::FindWindowExW(nullptr, box, L"#32770", kProbeTitle));) ++boxes;
  return boxes;
}

struct ProbeRun {
  std::wstring boxText;
  int boxes = 0;  // a few timer intervals after the first came up
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
      ::Sleep(300);
      run.boxes = ReportBoxes();
      for (HWND child : testing_support::Descendants(box)) {
        std::wstring text = testing_support::TextOf(child);
        if (_wcsicmp(testing_support::ClassOf(child).c_str(), L"Static") == 0 && !text.empty()) run.boxText = text;
      }
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

// Wherever the error is raised (an event handler, a timer's tick, a COM
// failure without a runtime number, a form's load), the report names it and
// the program ends with its number, before any form is shown.
TEST(UnhandledError, EachErrorIsReportedByItsNumberAndEndsTheProgramWithIt) {
  const struct {
    const wchar_t* mode;
    const wchar_t* report;
    DWORD exitCode;
  } cases[] = {
      {L"handler", L"Run-time error '13':\n\nType mismatch", 13},
      {L"timer", L"Run-time error '6':\n\nOverflow", 6},
      {L"com", L"Run-time error '-2147024894 (80070002)':\n\nAutomation error", 0x80070002},
      {L"load", L"Run-time error '424':\n\nObject required", 424},
  };
  for (const auto& c : cases) {
    ProbeRun run = RunProbeAndAnswerItsBox(c.mode);
    EXPECT_EQ(c.report, run.boxText);
    EXPECT_FALSE(run.process.timedOut) << c.mode;
    EXPECT_EQ(c.exitCode, run.process.exitCode) << c.mode;
    EXPECT_FALSE(run.probeFormShown) << c.mode;
    EXPECT_EQ(1, run.boxes) << c.mode << ": one error, one report";
  }
}
