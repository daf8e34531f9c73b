#include "SoakOptions.h"

#include <cwchar>
#include <string_view>

namespace soak {

namespace {

std::optional<long> Count(const wchar_t* text) {
  wchar_t* end = nullptr;
  long value = std::wcstol(text, &end, 10);
  if (end == text || *end != L'\0' || value < 1) return std::nullopt;
  return value;
}

}  // namespace

std::optional<SoakOptions> ParseOptions(int argc, wchar_t** argv) {
  SoakOptions options;
  for (int i = 1; i < argc; i += 2) {
    if (i + 1 >= argc) return std::nullopt;
    std::wstring_view name(argv[i]);
    if (name == L"--class") {
      options.onlyClass = argv[i + 1];
      continue;
    }
    std::optional<long> value = Count(argv[i + 1]);
    if (!value) return std::nullopt;
    if (name == L"--creations") {
      options.creations = *value;
    } else if (name == L"--calls") {
      options.calls = *value;
    } else if (name == L"--memory-bound-kb") {
      options.memoryBoundKb = *value;
    } else {
      return std::nullopt;
    }
  }
  return options;
}

}  // namespace soak
