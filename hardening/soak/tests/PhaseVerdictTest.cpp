// What fails a soak phase: at the soak's default counts and bound, a leak of
// a few hundred bytes per creation, memory that grows in one half only, a
// counted resource held, an object left in the module, a failed call.
#include <gtest/gtest.h>

#include <utility>

#include "PhaseResult.h"
#include "SoakOptions.h"

namespace {

using soak::PhasePassed;
using soak::PhaseResult;

const long kDefaultBoundKb = soak::SoakOptions{}.memoryBoundKb;

PhaseResult QuietPhase() {
  soak::SoakOptions defaults;
  return {L"a phase", defaults.creations, 1.0, {}, {0, 0}, 0, {}, 0, 0};
}

PhaseResult Leaking(long long bytesPerRepetition) {
  PhaseResult phase = QuietPhase();
  long long perHalf = bytesPerRepetition * phase.repetitions / 2;
  phase.memoryChange[0] = phase.memoryChange[1] = perHalf;
  return phase;
}

TEST(PhaseVerdict, ASteadyLeakOfAFewHundredBytesPerCreationFails) {
  EXPECT_TRUE(PhasePassed(QuietPhase(), kDefaultBoundKb));
  EXPECT_TRUE(PhasePassed(Leaking(45), kDefaultBoundKb));  // the platform list view's, measured
  EXPECT_FALSE(PhasePassed(Leaking(200), kDefaultBoundKb));
  EXPECT_FALSE(PhasePassed(Leaking(300), kDefaultBoundKb));
}

TEST(PhaseVerdict, MemoryGrownInEitherHalfBeyondTheBoundFails) {
  PhaseResult oneOff = QuietPhase();
  oneOff.memoryChange[0] = 200 * 1024;  // a heap extended once
  EXPECT_TRUE(PhasePassed(oneOff, kDefaultBoundKb));
  for (int half : {0, 1}) {
    PhaseResult grown = QuietPhase();
    grown.memoryChange[half] = kDefaultBoundKb * 1024LL;
    EXPECT_FALSE(PhasePassed(grown, kDefaultBoundKb)) << "half " << half;
  }
}

TEST(PhaseVerdict, AHeldResourceAnObjectOrLockLeftOrAFailedCallFails) {
  const std::pair<const char*, void (*)(PhaseResult&)> faults[] = {
      {"held", [](PhaseResult& p) { p.counts.selections = {3, 2}; }},
      {"object", [](PhaseResult& p) { p.objectsLeft = 1; }},
      {"lock", [](PhaseResult& p) { p.locksLeft = 1; }},
      {"failed", [](PhaseResult& p) { p.failures = 1; }}};
  for (const auto& [name, fault] : faults) {
    PhaseResult phase = QuietPhase();
    fault(phase);
    EXPECT_FALSE(PhasePassed(phase, kDefaultBoundKb)) << name;
  }
}

}  // namespace
