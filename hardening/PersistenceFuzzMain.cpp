// persistence_fuzz [cases [seed]]: the persistence fuzzer of the tests with
// many more cases (100,000 streams and 10,000 property bags per class by
// default). Prints every fault; exit status 0 when there was none.
#include <ole2.h>

#include <cstdio>
#include <cstdlib>

#include "DesktopFakes.h"
#include "FuzzTargets.h"
#include "PersistenceFuzzer.h"
#include "StrayBoxWatchdog.h"

namespace {

size_t FuzzClass(const hardening::FuzzTarget& target, size_t cases, std::uint32_t seed) {
  hardening::PersistenceFuzzer fuzzer(target, seed);
  if (fuzzer.HasStream()) fuzzer.FuzzStreams(cases);
  if (fuzzer.HasPropertyBag()) fuzzer.FuzzPropertyBags(cases / 10);
  for (const std::wstring& fault : fuzzer.Faults()) std::printf("FAULT %ls\n", fault.c_str());
  std::printf("%ls: streams %zu (%zu loaded), bags %zu (%zu loaded), %zu faults\n",
              target.progId.c_str(), fuzzer.StreamCounts().cases, fuzzer.StreamCounts().loaded,
              fuzzer.BagCounts().cases, fuzzer.BagCounts().loaded, fuzzer.Faults().size());
  bool intact = hardening::HeapsAreIntact();
  if (!intact) std::printf("FAULT %ls: a heap of the process is damaged\n", target.progId.c_str());
  return fuzzer.Faults().size() + fuzzer.KeptReferences() + (intact ? 0 : 1);
}

}  // namespace

int main(int argc, char** argv) {
  size_t cases = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 100000;
  std::uint32_t seed = argc > 2 ? std::strtoul(argv[2], nullptr, 10) : 1;
  if (FAILED(::OleInitialize(nullptr))) return 2;
  size_t faults = 0;
  {
    hardening::StrayBoxWatchdog watchdog;
    hardening::DesktopFakes fakes;
    for (const hardening::FuzzTarget& target : hardening::FuzzTargets())
      faults += FuzzClass(target, cases, seed);
    for (const std::wstring& box : watchdog.ClosedBoxes())
      std::printf("FAULT a message box no fake caught: %ls\n", box.c_str());
  }
  ::OleUninitialize();
  return faults == 0 ? 0 : 1;
}
