// How fast the three fills of Gridrace run, with the program's own form and
// code: for each row count given (by default 1,000, 10,000, 100,000 and
// 1,000 again), each control's milliseconds as its label shows them, and
// beside them the milliseconds of writing the same texts straight into a
// cell store such as the control keeps them in, without COM, and the ratio
// of the two; then how long the form takes to draw what the fills left, and
// the process's private memory after the test.
//
//   wine64 gridrace_bench.exe [rows ...]
#include <windows.h>
#include <ole2.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "BenchmarkRun.h"
#include "CellStore.h"
#include "Form1.h"
#include "core/Conversions.h"
#include "core/RuntimeError.h"

namespace {

constexpr LONG kColumns = 10;

struct ClassSearch {
  const wchar_t* className;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectOfClass(HWND child, LPARAM context) {
  auto* search = reinterpret_cast<ClassSearch*>(context);
  wchar_t name[32] = {};
  ::GetClassNameW(child, name, 32);
  if (_wcsicmp(name, search->className) == 0) search->found.push_back(child);
  return TRUE;
}

std::vector<HWND> ChildrenOfClass(HWND parent, const wchar_t* className) {
  ClassSearch search{className, {}};
  ::EnumChildWindows(parent, CollectOfClass, reinterpret_cast<LPARAM>(&search));
  std::sort(search.found.begin(), search.found.end(), [](HWND a, HWND b) {
    RECT ra, rb;
    ::GetWindowRect(a, &ra);
    ::GetWindowRect(b, &rb);
    return ra.top < rb.top;
  });
  return search.found;
}

std::wstring TextOf(HWND window) {
  wchar_t text[64] = {};
  ::GetWindowTextW(window, text, 64);
  return text;
}

double Milliseconds(LARGE_INTEGER from, LARGE_INTEGER to) {
  LARGE_INTEGER frequency;
  ::QueryPerformanceFrequency(&frequency);
  return (to.QuadPart - from.QuadPart) * 1000.0 / frequency.QuadPart;
}

// The texts of a fill written straight into a cell store, as the controls
// keep them: row 0 the headers "Col1" to "Col10", row i the cells "Row<i>;Col<c>",
// the first cell "Row<i>;" followed by `firstColumn` (the list view's items
// are "Row<i>;Col 1", the grids' first cells "Row<i>;Col1").
double DirectStoreMilliseconds(LONG rows, const wchar_t* firstColumn) {
  LARGE_INTEGER start, end;
  ::QueryPerformanceCounter(&start);
  standins::CellStore store;
  store.SetColumnCount(kColumns);
  store.SetRowCount(rows + 1);
  for (LONG c = 1; c <= kColumns; ++c) store.SetText(0, c - 1, L"Col" + formsrt::Int32ToText(c));
  for (LONG i = 1; i <= rows; ++i) {
    store.SetText(i, 0, L"Row" + formsrt::Int32ToText(i) + L";" + firstColumn);
    for (LONG c = 2; c <= kColumns; ++c) {
      store.SetText(i, c - 1, L"Row" + formsrt::Int32ToText(i) + L";Col" + formsrt::Int32ToText(c));
    }
  }
  ::QueryPerformanceCounter(&end);
  return Milliseconds(start, end);
}

// Draws every window of the form that a fill left to be drawn, the
// controls' scroll bars and headers included, as the program's message loop
// does after a test.
double DrawMilliseconds(HWND form) {
  LARGE_INTEGER start, end;
  ::QueryPerformanceCounter(&start);
  ::RedrawWindow(form, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
  MSG message;
  while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&message);
  ::QueryPerformanceCounter(&end);
  return Milliseconds(start, end);
}

// The committed private memory. Wine reports it as PagefileUsage (which is
// what Windows reports there too) and leaves PrivateUsage at 0.
double PrivateMegabytes() {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof(counters);
  ::GetProcessMemoryInfo(::GetCurrentProcess(), &counters, sizeof(counters));
  return counters.PagefileUsage / (1024.0 * 1024.0);
}

// Ratio of a fill to its direct store, by control: at most this is the goal.
constexpr double kGoalRatio = 3.0;

// One test, as a press of Test makes it; false when a fill took more than
// the goal's ratio to its direct store.
bool RunOne(gridrace::Form1& form, LONG rows) {
  HWND window = form.Window().Handle();
  std::wstring count = std::to_wstring(rows);
  ::SetWindowTextW(ChildrenOfClass(window, L"Edit").at(0), count.c_str());
  form.cmdTest_Click();
  double drawn = DrawMilliseconds(window);
  std::vector<HWND> labels = ChildrenOfClass(window, L"Static");
  const char* names[] = {"ListView", "cvntGrid", "FlexGrid"};
  const double direct[] = {DirectStoreMilliseconds(rows, L"Col 1"),
                           DirectStoreMilliseconds(rows, L"Col1"),
                           DirectStoreMilliseconds(rows, L"Col1")};
  double cells = static_cast<double>(rows) * kColumns;
  bool withinGoal = true;
  for (size_t n = 0; n < 3; ++n) {
    double ms = _wtof(TextOf(labels.at(n)).c_str());
    double ratio = direct[n] > 0 ? ms / direct[n] : 0.0;
    // A fill the label shows as 0 ms took less than the clock's step.
    withinGoal = withinGoal && (ms == 0 || ratio <= kGoalRatio);
    std::printf("%8ld  %-9s %6.0f ms  %6.2f us/cell  direct store %7.1f ms  ratio %5.1f\n",
                static_cast<long>(rows), names[n], ms, cells > 0 ? ms * 1000.0 / cells : 0.0,
                direct[n], ratio);
  }
  std::printf("          drawn after the test in %.1f ms; private memory after the test: %.0f MB\n",
              drawn, PrivateMegabytes());
  std::fflush(stdout);
  return withinGoal;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<LONG> counts;
  for (int i = 1; i < argc; ++i) counts.push_back(std::atol(argv[i]));
  if (counts.empty()) counts = {1000, 10000, 100000, 1000};
  suite_bench::PrintRunHeader("gridrace_bench");
  if (FAILED(::OleInitialize(nullptr))) return 2;
  int status = 0;
  try {
    gridrace::Form1 form;
    form.Show();
    DrawMilliseconds(form.Window().Handle());
    std::printf("private memory at start: %.0f MB\n", PrivateMegabytes());
    bool withinGoal = true;
    for (LONG rows : counts) withinGoal = RunOne(form, rows) && withinGoal;
    std::printf("%s\n", withinGoal ? "every fill within 3 x its direct store"
                                   : "FAILED: a fill took more than 3 x its direct store");
    status = withinGoal ? 0 : 1;
    form.Window().Unload();
  } catch (const formsrt::RuntimeError& e) {
    std::fprintf(stderr, "run-time error %ld: %ls\n", e.Number(), e.Description().c_str());
    status = 2;
  }
  ::OleUninitialize();
  return status;
}
