// Loading every class that persists itself from damaged streams and from
// property bags that answer at random. The fuzz program persistence_fuzz
// runs the same with many more cases.
#include <gtest/gtest.h>

#include <cstdio>

#include "DesktopFakes.h"
#include "FuzzTargets.h"
#include "FuzzTestNames.h"
#include "PersistenceFuzzer.h"
#include "StrayBoxWatchdog.h"

namespace {

constexpr std::uint32_t kSeed = 20261208;
constexpr size_t kStreamCases = 3000;
constexpr size_t kBagCases = 300;

class PersistenceFuzzTest : public ::testing::TestWithParam<size_t> {};

TEST_P(PersistenceFuzzTest, DamagedInputFailsClearlyAndLeavesTheControlUsable) {
  const hardening::FuzzTarget& target = hardening::FuzzTargets()[GetParam()];
  hardening::StrayBoxWatchdog watchdog;
  hardening::DesktopFakes fakes;
  {
    hardening::PersistenceFuzzer fuzzer(target, kSeed);
    bool stream = fuzzer.HasStream();
    bool bag = fuzzer.HasPropertyBag();
    if (!stream && !bag) GTEST_SKIP() << "does not persist itself";
    if (stream) fuzzer.FuzzStreams(kStreamCases);
    if (bag) fuzzer.FuzzPropertyBags(kBagCases);
    for (const std::wstring& fault : fuzzer.Faults()) ADD_FAILURE() << Narrow(fault);
    EXPECT_EQ(0u, fuzzer.KeptReferences());
    const hardening::PersistenceCounts& streams = fuzzer.StreamCounts();
    const hardening::PersistenceCounts& bags = fuzzer.BagCounts();
    if (fuzzer.SavedStreamBytes() > 0) {  // a control that keeps nothing accepts any stream
      EXPECT_GT(streams.refused, kStreamCases / 2);
      EXPECT_GT(streams.loaded, 0u);
    }
    std::printf("%ls: streams %zu (%zu loaded, %zu refused), bags %zu (%zu loaded, %zu refused)\n",
                target.progId.c_str(), streams.cases, streams.loaded, streams.refused, bags.cases,
                bags.loaded, bags.refused);
  }
  EXPECT_TRUE(hardening::ServerIsIdle(target));
  EXPECT_TRUE(hardening::HeapsAreIntact());
  EXPECT_TRUE(watchdog.ClosedBoxes().empty());
}

INSTANTIATE_TEST_SUITE_P(EveryClass, PersistenceFuzzTest,
                         ::testing::Range<size_t>(0, hardening::FuzzTargets().size()), TargetName);

}  // namespace
