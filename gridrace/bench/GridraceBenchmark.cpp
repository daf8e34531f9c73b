// How fast the three fills of Gridrace run, with the program's own form and
// code: for 1,000, 10,000 and 100,000 rows, each control's milliseconds (as
// its label shows them) and microseconds per cell; for the two grids, the
// ratio to writing the same texts straight into a stand-in's cell store,
// without COM; and the process's private memory after each test.
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

#include "CellStore.h"
#include "Form1.h"
#include "com/Conversions.h"
#include "com/RuntimeError.h"

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

// The same cells as a grid fill, written straight into a cell store.
double DirectStoreMilliseconds(LONG rows) {
  LARGE_INTEGER start, end;
  ::QueryPerformanceCounter(&start);
  standins::CellStore store;
  store.SetColumnCount(kColumns);
  store.SetRowCount(rows + 1);
  for (LONG c = 1; c <= kColumns; ++c) store.SetText(0, c - 1, L"Col" + formsrt::Int32ToText(c));
  for (LONG i = 1; i <= rows; ++i) {
    for (LONG c = 1; c <= kColumns; ++c) {
      store.SetText(i, c - 1, L"Row" + formsrt::Int32ToText(i) + L";Col" + formsrt::Int32ToText(c));
    }
  }
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

void RunOne(gridrace::Form1& form, LONG rows) {
  HWND window = form.Window().Handle();
  std::wstring count = std::to_wstring(rows);
  ::SetWindowTextW(ChildrenOfClass(window, L"Edit").at(0), count.c_str());
  form.cmdTest_Click();
  std::vector<HWND> labels = ChildrenOfClass(window, L"Static");
  const char* names[] = {"ListView", "cvntGrid", "FlexGrid"};
  double cells = static_cast<double>(rows) * kColumns;
  double direct = DirectStoreMilliseconds(rows);
  for (size_t n = 0; n < 3; ++n) {
    double ms = _wtof(TextOf(labels.at(n)).c_str());
    std::printf("%8ld  %-9s %9.0f ms  %7.2f us/cell", static_cast<long>(rows), names[n], ms,
                cells > 0 ? ms * 1000.0 / cells : 0.0);
    if (n > 0) std::printf("  direct %7.1f ms  ratio %5.1f", direct, direct > 0 ? ms / direct : 0.0);
    std::printf("\n");
  }
  std::printf("          private memory after the test: %.0f MB\n", PrivateMegabytes());
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<LONG> counts;
  for (int i = 1; i < argc; ++i) counts.push_back(std::atol(argv[i]));
  if (counts.empty()) counts = {1000, 10000, 100000, 1000};
  if (FAILED(::OleInitialize(nullptr))) return 1;
  int status = 0;
  try {
    gridrace::Form1 form;
    form.Show();
    std::printf("private memory at start: %.0f MB\n", PrivateMegabytes());
    for (LONG rows : counts) RunOne(form, rows);
    form.Window().Unload();
  } catch (const formsrt::RuntimeError& e) {
    std::fprintf(stderr, "run-time error %ld: %ls\n", e.Number(), e.Description().c_str());
    status = 2;
  }
  ::OleUninitialize();
  return status;
}
