// The soak program's command line:
//   soak.exe [--creations N] [--calls M] [--memory-bound-kb K] [--class NAME]
#pragma once

#include <optional>
#include <string>

namespace soak {

struct SoakOptions {
  long creations = 10000;     // objects created, used and released per class and way
  long calls = 100000;        // calls of each member
  // Neither half of a phase may add this much private memory: at the default
  // counts a leak of about 105 bytes per creation, or of 11 per call, fails.
  long memoryBoundKb = 512;
  std::wstring onlyClass;     // empty: every class
};

// Nothing when the command line is not understood.
std::optional<SoakOptions> ParseOptions(int argc, wchar_t** argv);

}  // namespace soak
