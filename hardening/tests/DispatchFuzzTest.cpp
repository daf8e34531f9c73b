// Every member of every class through IDispatch::Invoke with bad input: the
// answers, the object afterwards, and what is left behind (objects of the
// library, references to the arguments, private memory).
#include <gtest/gtest.h>

#include <cstdio>

#include "DesktopFakes.h"
#include "DirectMixerControl.h"
#include "DispatchFuzzer.h"
#include "FuzzArguments.h"
#include "FuzzTargets.h"
#include "ProcessMemory.h"
#include "FuzzTestNames.h"
#include "MenuCloser.h"
#include "MixerSettingsKept.h"
#include "StrayBoxWatchdog.h"

namespace {

using hardening::FuzzTarget;

// Private bytes that a second round may add (heap that the allocator keeps);
// a leaked 100,000-character argument alone is 200 kB.
constexpr SIZE_T kMemoryNoise = 1 << 20;

struct RoundResult {
  std::vector<std::wstring> faults;
  size_t calls = 0;
  size_t successes = 0;
  size_t menusClosed = 0;
  size_t messageBoxes = 0;
  size_t programStarts = 0;
};

// One object, every member. The fakes and the argument objects live for the
// round only: what the fakes record (texts of 100,000 characters) must not
// count as memory kept, and the objects must be gone before the library is
// asked whether it holds any.
RoundResult FuzzOneObject(const FuzzTarget& target, hardening::UnrelatedObject& unrelated) {
  RoundResult round;
  hardening::DesktopFakes fakes;
  hardening::MenuCloser menus;
  size_t menusBefore = hardening::MenuCloser::Closed();
  hardening::FuzzArguments arguments;
  {
    auto object = hardening::Create<IDispatch>(target, arguments);
    if (!object) {
      round.faults.push_back(target.progId + L": cannot be created");
      return round;
    }
    hardening::ValueObjects values{&unrelated, arguments.Form(), arguments.Menu(),
                                   arguments.Picture(), arguments.ByNameForm()};
    hardening::DispatchFuzzer fuzzer(
        object.Get(),
        {target.progId, target.knownGoodProperty, target.changesKnownGood, target.skippedMembers},
        values);
    fuzzer.Run();
    round.faults = fuzzer.Faults();
    round.calls = fuzzer.CallCount();
    round.successes = fuzzer.SuccessCount();
  }
  if (arguments.ByNameFormReferences() != 1)
    round.faults.push_back(target.progId + L": references to the by-name form were kept");
  round.menusClosed = hardening::MenuCloser::Closed() - menusBefore;
  round.messageBoxes = fakes.MessageBoxCount();
  round.programStarts = fakes.ProgramStartCount();
  return round;
}

class DispatchFuzzTest : public ::testing::TestWithParam<size_t> {};

TEST_P(DispatchFuzzTest, EveryMemberAnswersBadInputAndLeavesNothingBehind) {
  const FuzzTarget& target = hardening::FuzzTargets()[GetParam()];
  hardening::StrayBoxWatchdog watchdog;
  hardening::UnrelatedObject unrelated;
  LONG volumeBefore = vanterbox_direct::DirectSpeakersVolume(false, 0);
  RoundResult first;
  SIZE_T memoryBefore, memoryAfter;
  {
    vanterbox_direct::MixerSettingsKept mixerSettings;  // qzMixerVolume's members set them
    first = FuzzOneObject(target, unrelated);
    memoryBefore = testing_support::PrivateBytes();
    FuzzOneObject(target, unrelated);
    memoryAfter = testing_support::PrivateBytes();
  }
  EXPECT_NE(-1, volumeBefore) << "the test environment has a mixer with a speakers volume";
  // 32-bit Wine reads some levels back one lower than they were set.
  EXPECT_NEAR(volumeBefore, vanterbox_direct::DirectSpeakersVolume(false, 0), 1)
      << "the mixer's volume was not put back";

  for (const std::wstring& fault : first.faults) ADD_FAILURE() << Narrow(fault);
  EXPECT_GT(first.calls, 20u);
  EXPECT_EQ(1u, unrelated.references) << "references to an argument object were kept";
  EXPECT_TRUE(hardening::ServerIsIdle(target)) << "objects of the library are still alive";
  EXPECT_TRUE(hardening::HeapsAreIntact());
  EXPECT_LT(memoryAfter, memoryBefore + kMemoryNoise);
  for (const std::wstring& box : watchdog.ClosedBoxes())
    ADD_FAILURE() << "a message box no fake caught: " << Narrow(box);
  std::printf(
      "%ls: %zu calls a round, %zu succeeded; private bytes %zu before round 2, %zu after; "
      "%zu message boxes, %zu program starts and %zu pop-up menus answered\n",
      target.progId.c_str(), first.calls, first.successes, static_cast<size_t>(memoryBefore),
      static_cast<size_t>(memoryAfter), first.messageBoxes, first.programStarts,
      first.menusClosed);
}

INSTANTIATE_TEST_SUITE_P(EveryClass, DispatchFuzzTest,
                         ::testing::Range<size_t>(0, hardening::FuzzTargets().size()), TargetName);

}  // namespace
