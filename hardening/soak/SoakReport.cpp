#include "SoakReport.h"

#include <cstdio>

namespace soak {

namespace {

// Only what the phase touched.
void PrintTally(const char* what, const Tally& tally) {
  if (tally.acquired == 0 && tally.released == 0) return;
  std::printf("  %-16s acquired %9ld  released %9ld  held %+ld\n", what, tally.acquired,
              tally.released, tally.Held());
}

}  // namespace

bool PhasePassed(const PhaseResult& phase, long memoryBoundKb) {
  bool balanced = true;
  for (const NamedTally& named : kTallies) balanced &= (phase.counts.*named.tally).Held() == 0;
  long long bound = memoryBoundKb * 1024LL;
  bool memoryQuiet = phase.memoryChange[0] < bound && phase.memoryChange[1] < bound;
  return balanced && memoryQuiet && phase.failures == 0 && phase.objectsLeft == 0 &&
         phase.locksLeft == 0;
}

bool ReportPhase(const PhaseResult& phase, long memoryBoundKb) {
  std::printf("%ls: %ld times, %.1f s\n", phase.what.c_str(), phase.repetitions, phase.seconds);
  for (const NamedTally& named : kTallies) PrintTally(named.name, phase.counts.*named.tally);
  std::printf("  %-16s %ld\n", "faked calls", phase.counts.fakedCalls);
  std::printf("  %-16s %+lld then %+lld bytes (bound %ld KiB a half)\n", "private memory",
              phase.memoryChange[0], phase.memoryChange[1], memoryBoundKb);
  std::printf("  %-16s %ld objects, %ld locks\n", "left in module", phase.objectsLeft,
              phase.locksLeft);
  std::printf("  %-16s %ld\n", "failed calls", phase.failures);
  for (const std::wstring& failed : phase.failed) std::printf("    %ls\n", failed.c_str());
  bool passed = PhasePassed(phase, memoryBoundKb);
  if (!passed) std::printf("  FAILED\n");
  std::fflush(stdout);
  return passed;
}

}  // namespace soak
