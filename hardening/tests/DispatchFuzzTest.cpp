// Every member of every class through IDispatch::Invoke with bad input: the
// answers, the object afterwards, and what is left behind (objects of the
// library, references to the arguments, private memory).
#include <gtest/gtest.h>

#include <cstdio>

#include "DesktopFakes.h"
#include "DispatchFuzzer.h"
#include "FuzzTargets.h"
#include "FuzzTestNames.h"
#include "StrayBoxWatchdog.h"

namespace {

using hardening::FuzzTarget;

// Private bytes that a second round may add (heap that the allocator keeps);
// a leaked 100,000-character argument alone is 200 kB.
constexpr SIZE_T kMemoryNoise = 1 << 20;

struct RoundResult {
  std::vector<std::wstring> faults;
  size_t calls = 0;
  size_t messageBoxes = 0;
  size_t programStarts = 0;
};

// One object, every member. The fakes live for the round only: what they
// record (texts of 100,000 characters) must not count as memory kept.
RoundResult FuzzOneObject(const FuzzTarget& target, hardening::UnrelatedObject& unrelated) {
  RoundResult round;
  hardening::DesktopFakes fakes;
  auto object = hardening::Create<IDispatch>(target);
  if (!object) {
    round.faults.push_back(target.progId + L": cannot be created");
    return round;
  }
  hardening::DispatchFuzzer fuzzer(object.Get(), target.progId, target.knownGoodProperty,
                                   target.skippedMembers, unrelated);
  fuzzer.Run();
  round.faults = fuzzer.Faults();
  round.calls = fuzzer.CallCount();
  round.messageBoxes = fakes.MessageBoxCount();
  round.programStarts = fakes.ProgramStartCount();
  return round;
}

class DispatchFuzzTest : public ::testing::TestWithParam<size_t> {};

TEST_P(DispatchFuzzTest, EveryMemberAnswersBadInputAndLeavesNothingBehind) {
  const FuzzTarget& target = hardening::FuzzTargets()[GetParam()];
  hardening::StrayBoxWatchdog watchdog;
  hardening::UnrelatedObject unrelated;

  RoundResult first = FuzzOneObject(target, unrelated);
  SIZE_T memoryBefore = hardening::PrivateBytes();
  FuzzOneObject(target, unrelated);
  SIZE_T memoryAfter = hardening::PrivateBytes();

  for (const std::wstring& fault : first.faults) ADD_FAILURE() << Narrow(fault);
  EXPECT_GT(first.calls, 20u);
  EXPECT_EQ(1u, unrelated.references) << "references to an argument object were kept";
  EXPECT_TRUE(hardening::ServerIsIdle(target)) << "objects of the library are still alive";
  EXPECT_TRUE(hardening::HeapsAreIntact());
  EXPECT_LT(memoryAfter, memoryBefore + kMemoryNoise);
  for (const std::wstring& box : watchdog.ClosedBoxes())
    ADD_FAILURE() << "a message box no fake caught: " << Narrow(box);
  std::printf(
      "%ls: %zu calls a round; private bytes %zu before round 2, %zu after; "
      "%zu message boxes and %zu program starts answered by the fakes\n",
      target.progId.c_str(), first.calls, static_cast<size_t>(memoryBefore),
      static_cast<size_t>(memoryAfter), first.messageBoxes, first.programStarts);
}

INSTANTIATE_TEST_SUITE_P(EveryClass, DispatchFuzzTest,
                         ::testing::Range<size_t>(0, hardening::FuzzTargets().size()), TargetName);

}  // namespace
