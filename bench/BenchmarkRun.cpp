#include "BenchmarkRun.h"

#include <windows.h>

#include <cstdio>

#include "BuildCommit.h"

namespace suite_bench {

namespace {

#ifdef _WIN64
constexpr const char* kTarget = "x64";
#else
constexpr const char* kTarget = "x86";
#endif

// Wine names its version through an export of its ntdll; Windows has none.
const char* PlatformName() {
  using VersionFunction = const char*(CDECL*)();
  HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
  auto version = reinterpret_cast<VersionFunction>(
      reinterpret_cast<void (*)()>(ntdll ? ::GetProcAddress(ntdll, "wine_get_version") : nullptr));
  if (!version) return "Windows";
  static char name[64];
  std::snprintf(name, sizeof(name), "Wine %s", version());
  return name;
}

}  // namespace

void PrintRunHeader(const char* benchmark) {
  SYSTEMTIME now{};
  ::GetLocalTime(&now);
  SYSTEM_INFO system{};
  ::GetSystemInfo(&system);
  std::printf("%s: %04u-%02u-%02u %02u:%02u, commit %s, target %s, %lu processors, %s\n", benchmark,
              now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, SUITE_BUILD_COMMIT, kTarget,
              system.dwNumberOfProcessors, PlatformName());
  std::fflush(stdout);
}

}  // namespace suite_bench
