// The demo run of scripts/main.sh: starts Gridrace.exe, presses Test with
// the default row count, waits until the form has drawn what the test left,
// prints the three timings and where the form is on the screen, waits while
// the script takes its screenshot (until a line arrives on standard input),
// then closes the form.
#include <cstdio>
#include <iostream>
#include <string>

#include "GridraceWindows.h"

int main() {
  try {
    gridrace_tests::GridraceWindows program;
    std::printf("rows: %ls\n", program.RowText().c_str());
    program.PressTest();
    program.WaitUntilDrawn();  // the screenshot shows what the test left
    std::vector<std::wstring> labels = program.LabelTexts();
    const char* controls[] = {"ListView (lblLvw)", "cvntGrid (lblGrid)", "FlexGrid (lblMSGrid)"};
    for (size_t n = 0; n < labels.size(); ++n) {
      std::printf("%-22s %ls ms\n", controls[n], labels[n].c_str());
    }
    RECT form = program.FormBounds();
    std::printf("form %ld %ld %ld %ld\n", form.left, form.top, form.right - form.left,
                form.bottom - form.top);
    std::fflush(stdout);
    std::string line;
    std::getline(std::cin, line);
    program.CloseForm();
    return static_cast<int>(program.WaitForExit(30000));
  } catch (const std::exception& e) {
    std::fprintf(stderr, "demo: %s\n", e.what());
    return 1;
  }
}
