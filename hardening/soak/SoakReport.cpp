#include "SoakReport.h"

#include <cstdio>

namespace soak {

namespace {

bool PrintTally(const char* what, const Tally& tally) {
  std::printf("  %-16s acquired %9ld  released %9ld  held %+ld\n", what, tally.acquired,
              tally.released, tally.Held());
  return tally.Held() == 0;
}

}  // namespace

bool ReportPhase(const PhaseResult& phase, long memoryBoundKb) {
  std::printf("%ls: %ld times, %.1f s\n", phase.what.c_str(), phase.repetitions, phase.seconds);
  const SeamCounts& counts = phase.counts;
  bool balanced = PrintTally("windows", counts.windows);
  balanced &= PrintTally("timers", counts.timers);
  balanced &= PrintTally("global blocks", counts.globalBlocks);
  balanced &= PrintTally("mixer handles", counts.mixerHandles);
  balanced &= PrintTally("subclasses", counts.subclasses);
  balanced &= PrintTally("tray icons", counts.trayIcons);
  balanced &= PrintTally("kernel handles", counts.kernelHandles);
  std::printf("  %-16s %ld\n", "faked calls", counts.fakedCalls);
  // A leak of the bound over the whole phase shows as half of it in each half.
  long long halfBound = memoryBoundKb * 512LL;
  bool memoryQuiet = phase.memoryChange[0] <= halfBound || phase.memoryChange[1] <= halfBound;
  std::printf("  %-16s %+lld then %+lld bytes (leak bound %ld KiB)\n", "private memory",
              phase.memoryChange[0], phase.memoryChange[1], memoryBoundKb);
  std::printf("  %-16s %ld\n", "failed calls", phase.failures);
  for (const std::wstring& failed : phase.failed) std::printf("    %ls\n", failed.c_str());
  bool passed = balanced && memoryQuiet && phase.failures == 0;
  if (!passed) std::printf("  FAILED\n");
  std::fflush(stdout);
  return passed;
}

}  // namespace soak
